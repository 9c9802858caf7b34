"""The entry box's list as its select mode opens it, and as a user expects it: opened without
taking the keyboard, one list at a time, gone with its input; values that cannot be unwrapped
are refused; any label is a key."""
from __future__ import annotations

from types import SimpleNamespace

import pytest
from PySide6.QtCore import QPoint, Qt
from PySide6.QtTest import QTest
from PySide6.QtWidgets import QApplication, QLineEdit, QVBoxLayout, QWidget

from vantu.hooks import State
from vantu.material.component import RenderContext
from vantu.material.entrybox._input_base import InputBase
from vantu.material.entrybox._select import EntryBoxSelectMixin
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.select.pickcore import SelectBase

OPTIONS = [{"label": "Apple"}, {"label": "Banana"}, {"label": "Cherry"}]
LEFT = Qt.MouseButton.LeftButton


def label(o):
    return o["label"]


def settle() -> None:
    for _ in range(3):
        QApplication.processEvents()


def click_row(inp, text: str) -> None:
    view = inp._menu.listView
    model = view.model()
    row = [model.data(model.index(r, 0)) for r in range(model.rowCount())].index(text)
    QTest.mouseClick(view.viewport(), LEFT, pos=view.visualRect(model.index(row, 0)).center())


def visible_popups(*owners) -> list:
    found = []
    for owner in owners:
        for name in ("_popup", "_datePopup"):
            popup = getattr(owner, name, None)
            if popup is not None and popup.isVisible():
                found.append(popup)
    return found


def test_the_input_keeps_every_method_of_its_select_mode():
    fixed = ("select_setup_select_mode", "_setIcons", "select_show_popup", "select_hide_popup",
             "select_toggle_popup", "_btn_select_toggle_popup", "select_update_popup_position",
             "select_create_menu", "select_about_to_hide", "select_selected_change")
    assert [name for name in fixed if getattr(InputBase, name) is not getattr(EntryBoxSelectMixin, name)] == []


class TestOpening:
    def test_opening_while_open_changes_nothing(self, render, qtbot):
        opened = []
        box = render(options=OPTIONS, getOptionLabel=label, helperText="help", onOpen=lambda: opened.append(1))
        inp = box._input
        qtbot.waitUntil(lambda: not inp._btnSelect.icon().isNull())
        qtbot.mouseClick(box._helperLabel, LEFT)
        inp._popup.move(5, 5)
        icon = inp._btnSelect.icon().cacheKey()
        qtbot.mouseClick(box._helperLabel, LEFT)
        assert opened == [1] and inp._popup.pos() == QPoint(5, 5) and inp._btnSelect.icon().cacheKey() == icon

    def test_the_message_row_is_built_once_per_opening(self, render, qtbot):
        box = render(select=True, options=[], getOptionLabel=str, helperText="help")
        inp = box._input
        calls = []
        build = inp.autocomplete_render_loading_menu_items
        inp.autocomplete_render_loading_menu_items = lambda: calls.append(1) or build()
        for opening in (1, 2):
            qtbot.mouseClick(box._helperLabel, LEFT)
            assert inp._popupShowing and len(calls) == opening
            qtbot.keyClick(inp._inputField, Qt.Key.Key_Escape)

    def test_a_narrowed_list_is_placed_by_its_new_height(self, render, qtbot, qapp, monkeypatch):
        monkeypatch.setattr(qapp, "mainWindow", SimpleNamespace(height=lambda: 0))  # no room below
        box = render(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True)
        box.window().move(100, 400)
        inp = box._input
        qtbot.keyClicks(inp._inputFieldMultiple, "c")  # the first key opens the list
        model = inp._menu.listView.model()
        assert [model.data(model.index(r, 0)) for r in range(model.rowCount())] == ["Cherry"]
        # Right above the field, with the height of the one row left.
        assert inp._popup.pos().y() + inp._menu.height() == inp.mapToGlobal(QPoint(0, 0)).y()

    @pytest.mark.parametrize("how", ["field", "arrow", "down key", "helper text", "typing"])
    def test_opening_leaves_the_keyboard_in_the_field(self, render, qtbot, how):
        blurred = []
        box = render(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True, helperText="help",
                     onBlur=lambda b: blurred.append(1))
        inp, line = box._input, box._input._inputFieldMultiple
        box.window().activateWindow()
        line.setFocus()
        qtbot.waitUntil(line.hasFocus)
        blurred.clear()
        act = {
            "field": lambda: qtbot.mouseClick(line, LEFT),
            "arrow": lambda: qtbot.mouseClick(inp._btnSelect, LEFT),
            "down key": lambda: qtbot.keyClick(line, Qt.Key.Key_Down),
            "helper text": lambda: qtbot.mouseClick(box._helperLabel, LEFT),
            "typing": lambda: qtbot.keyClicks(line, "an"),
        }[how]
        act()
        settle()
        focus = QApplication.focusWidget()
        assert inp._popupShowing and inp.isAncestorOf(focus)
        assert QApplication.activeWindow() is box.window()
        if how != "helper text":  # the entry box itself moves the keyboard to the field
            assert focus is line and blurred == []


    def test_a_platform_that_keeps_the_keyboard_on_the_list_is_noticed_when_it_closes(self, render, qtbot, qapp):
        blurred = []
        box = render(options=OPTIONS, getOptionLabel=label, onBlur=lambda b: blurred.append(1))
        inp = box._input
        box.window().activateWindow()
        inp._inputField.setFocus()
        qtbot.waitUntil(inp._inputField.hasFocus)
        box.window().activateWindow = lambda: None  # the platform refuses to hand it back
        qtbot.keyClick(inp._inputField, Qt.Key.Key_Down)
        settle()
        assert inp._popupShowing and QApplication.activeWindow() is inp._popup and blurred == []
        qtbot.mouseClick(qapp.mainWindow, LEFT)
        assert not inp._popupShowing and blurred == [1] and not inp._focused


@pytest.fixture
def form(qtbot):
    """Two entry boxes, a select field and a line edit in one window."""
    window = QWidget()
    qtbot.addWidget(window)
    layout = QVBoxLayout(window)
    single = EntryBox(label="One", options=OPTIONS, getOptionLabel=label).renderUi(RenderContext(window), window)
    tags = EntryBox(label="Many", options=OPTIONS, getOptionLabel=label, multiple=True,
                    renderTags=True).renderUi(RenderContext(window), window)
    select = SelectBase(label="Field", options=["x", "y"])
    line = QLineEdit()
    for widget in (single, tags, select, line):
        layout.addWidget(widget)
    window.resize(320, 360)
    with qtbot.waitExposed(window):
        window.show()
    window.activateWindow()
    return window, single._input, tags._input, select, line


class TestOneListAtATime:
    @pytest.mark.parametrize("away", ["other entry box", "select field", "line edit", "tab"])
    def test_focus_or_a_click_elsewhere_closes_the_list(self, form, qtbot, away, event_path):
        window, single, tags, select, line = form
        qtbot.mouseClick(single._inputField, LEFT)
        assert single._popupShowing
        if away == "tab":
            qtbot.keyClick(single._inputField, Qt.Key.Key_Tab)
            assert not single.isAncestorOf(QApplication.focusWidget())
        else:
            target = {"other entry box": tags._inputFieldMultiple, "select field": select._inputField,
                      "line edit": line}[away]
            qtbot.mouseClick(target, LEFT)
        settle()
        assert not single._popupShowing and not single._popup.isVisible()
        assert len(visible_popups(single, tags, select)) <= 1

    def test_the_select_fields_list_goes_when_an_entry_box_opens(self, form, qtbot):
        window, single, tags, select, line = form
        qtbot.mouseClick(select._inputField, LEFT)
        assert select._popup.isVisible()
        qtbot.mouseClick(tags._inputFieldMultiple, LEFT)
        settle()
        assert visible_popups(single, tags, select) == [tags._popup]


class TestGoingAway:
    @pytest.mark.parametrize("popup", ["list", "date picker"])
    @pytest.mark.parametrize("how", ["hide input", "disable input", "hide window", "close window"])
    def test_a_popup_goes_with_its_input(self, render, qtbot, popup, how):
        closed = []
        kind = {"type": "date", "options": []} if popup == "date picker" else {"options": OPTIONS}
        box = render(select=True, getOptionLabel=label, onClose=lambda: closed.append(1), **kind)
        inp = box._input
        qtbot.mouseClick(inp._btnCalendar if popup == "date picker" else inp._inputField, LEFT)
        window = inp._datePopup if popup == "date picker" else inp._popup
        assert window.isVisible()
        {"hide input": inp.hide, "disable input": lambda: inp.setEnabled(False),
         "hide window": box.window().hide, "close window": box.window().close}[how]()
        settle()
        assert not window.isVisible() and not inp._popupShowing
        if popup == "list":
            assert closed == [1]


class TestRefusedValues:
    @pytest.mark.parametrize("argument", ["value", "defaultValue"])
    @pytest.mark.parametrize("depth", [0, 5000])  # a State holding itself, and a chain far too long
    def test_a_state_without_end_is_refused(self, render, argument, depth):
        if depth == 0:
            state = State(None)
            state.setValue(state)
        else:
            state = State([OPTIONS[0]])
            for _ in range(depth):
                state = State(state)
        with pytest.raises(ValueError, match=f"Argument '{argument}': a State that holds itself"):
            render(options=OPTIONS, getOptionLabel=label, multiple=True, show=False, **{argument: state})

    def test_a_short_chain_is_unwrapped(self, render):
        state = State([OPTIONS[1]])
        for _ in range(20):
            state = State(state)
        inp = render(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True, defaultValue=state)._input
        assert inp.value == [OPTIONS[1]] and inp._selectedKeys.value == ["Banana"]

    def test_the_select_mode_refuses_one_too(self, host):
        state = State(None)
        state.setValue(state)
        with pytest.raises(ValueError, match="a State that holds itself, or States nested more than 100 deep"):
            host(_multiple=True, _defaultValue=state, show=False)


class TestLabelsThatAreNotTexts:
    OPTIONS = [{"id": 7, "name": "Seven"}, {"id": 0, "name": "Zero"}]

    @pytest.mark.parametrize("tags", [True, False])
    def test_any_label_is_a_key(self, render, qtbot, tags):
        inp = render(options=self.OPTIONS, getOptionLabel=lambda o: o["id"], multiple=True, renderTags=tags)._input
        opener = inp._inputFieldMultiple if tags else inp._inputField
        for text in ("7", "0"):
            qtbot.mouseClick(opener, LEFT)
            click_row(inp, text)
        assert inp.value == self.OPTIONS and inp._selectedKeys.value == [7, 0]
        assert inp._selected_options == {7: self.OPTIONS[0], 0: self.OPTIONS[1]}
        if tags:
            assert [t.text() for t in inp._flowWidget.findChildren(Tag)] == ["7", "0"]
            qtbot.keyClick(inp._inputFieldMultiple, Qt.Key.Key_Backspace)  # the last tag, not the one at index 0
        else:
            assert inp._inputField.text() == "7, 0"
            qtbot.mouseClick(opener, LEFT)
            click_row(inp, "0")
        assert inp.value == [self.OPTIONS[0]] and inp._selectedKeys.value == [7]
        assert inp._selected_options == {7: self.OPTIONS[0]}
