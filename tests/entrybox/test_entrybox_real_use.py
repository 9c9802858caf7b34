"""The entry box as a user meets it: real clicks, typing and pointer moves on a shown window."""
from __future__ import annotations

import pytest
from PySide6.QtCore import QEvent, QPointF, Qt
from PySide6.QtGui import QEnterEvent
from PySide6.QtWidgets import QApplication, QLabel

from vantu.material.entrybox._tags_view import Tag

OPTIONS = [{"label": "Apple", "value": "a"}, {"label": "Banana", "value": "b"}, {"label": "Cherry", "value": "c"}]


def label(o):
    return o["label"]


def rows(inp) -> list[str]:
    model = inp._menu.listView.model()
    return [model.data(model.index(i, 0)) for i in range(model.rowCount())]


def click_row(qtbot, inp, text: str) -> None:
    view = inp._menu.listView
    row = rows(inp).index(text)
    rect = view.visualRect(view.model().index(row, 0))
    qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=rect.center())


def tags(inp) -> list[Tag]:
    return [t for t in inp._flowWidget.findChildren(Tag)]


def hover(widget, inside: bool) -> None:
    if inside:
        QApplication.sendEvent(widget, QEnterEvent(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3)))
    else:
        QApplication.sendEvent(widget, QEvent(QEvent.Type.Leave))


class TestSingleSelect:
    def test_click_opens_and_a_row_click_chooses(self, render, qtbot):
        changes, closed = [], []
        box = render(label="Fruit", options=OPTIONS, getOptionLabel=label,
                     onChange=lambda i: changes.append(i.value), onClose=lambda: closed.append(1))
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert inp._popup.isVisible() and rows(inp) == ["Apple", "Banana", "Cherry"]
        with qtbot.waitSignal(inp.valueChanged) as blocker:
            click_row(qtbot, inp, "Banana")
        assert blocker.args == [OPTIONS[1]]
        assert inp.value == OPTIONS[1] and inp._inputField.text() == "Banana"
        assert changes == [OPTIONS[1]] and closed == [1]
        assert not inp._popup.isVisible()
        assert inp._selectedKeys.value == "Banana"

    def test_starts_with_nothing_marked_and_shows_a_given_value(self, render):
        empty = render(options=OPTIONS, getOptionLabel=label)
        assert empty._input._selectedKeys.value is None and empty._input._inputField.text() == ""
        given = render(options=OPTIONS, getOptionLabel=label, value=OPTIONS[2])
        assert given._input._selectedKeys.value == "Cherry" and given._input._inputField.text() == "Cherry"

    def test_a_press_outside_closes_the_popup(self, render, qtbot, qapp):
        closed = []
        box = render(options=OPTIONS, getOptionLabel=label, onClose=lambda: closed.append(1))
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert inp._popupShowing
        qtbot.mousePress(qapp.mainWindow, Qt.MouseButton.LeftButton)
        assert not inp._popupShowing and not inp._popup.isVisible() and closed == [1]

    def test_a_press_inside_the_popup_keeps_it(self, render, qtbot):
        box = render(options=OPTIONS, getOptionLabel=label)
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        qtbot.mousePress(inp._menu, Qt.MouseButton.LeftButton)
        assert inp._popupShowing

    def test_clear_button_shows_on_hover_with_a_value_and_clears(self, render, qtbot):
        box = render(options=OPTIONS, getOptionLabel=label, value=OPTIONS[0])
        inp = box._input
        inp._inputField.clearFocus()  # it shows while the input has the keyboard, too
        assert inp._btn_clear_text.isHidden()
        hover(inp, True)
        assert inp._btn_clear_text.isVisible()
        with qtbot.waitSignal(inp.valueChanged) as blocker:
            qtbot.mouseClick(inp._btn_clear_text, Qt.MouseButton.LeftButton)
        assert blocker.args == [None] and inp._inputField.text() == ""
        assert inp._btn_clear_text.isHidden() and inp._selected_options == {}
        hover(inp, False)
        assert inp._btn_clear_text.isHidden()

    def test_escape_closes_and_down_opens(self, render, qtbot):
        box = render(options=OPTIONS, getOptionLabel=label)
        inp = box._input
        qtbot.keyClick(inp._inputField, Qt.Key.Key_Down)
        assert inp._popupShowing
        qtbot.keyClick(inp._inputField, Qt.Key.Key_Escape)
        assert not inp._popupShowing

    @pytest.mark.parametrize("kwargs", [{"disabled": True}, {"readOnly": True}])
    def test_disabled_and_read_only_selects_never_stay_open(self, render, qtbot, kwargs):
        box = render(options=OPTIONS, getOptionLabel=label, helperText="help", **kwargs)
        inp = box._input
        # A release that reaches the entry box (on its own area, or passed on by a disabled
        # input) opens the list as always: it goes again at once.
        for act in (lambda: qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton),
                    lambda: qtbot.keyClick(inp._inputField, Qt.Key.Key_Down),
                    lambda: qtbot.mouseClick(box._helperLabel, Qt.MouseButton.LeftButton)):
            act()
            qtbot.waitUntil(lambda: not inp._popupShowing and not (inp._popup and inp._popup.isVisible()))

    def test_options_without_label_getter_fail_cleanly(self, qtbot):
        from vantu.material.component import RenderContext
        from vantu.material.entrybox.entrybox import EntryBox

        box = EntryBox(options=["a"])
        qtbot.addWidget(box)
        try:
            box.renderUi(RenderContext())
        except AttributeError as error:
            assert str(error) == "Opp!! 'getOptionLabel' is required attribute!"
        else:
            raise AssertionError("no error")
        assert not hasattr(box, "_input") and box.findChildren(QLabel) == []
        from vantu.material.entrybox._input_base import InputBase

        assert box.findChildren(InputBase) == []


class TestMultipleWithTags:
    def make(self, render, **kwargs):
        return render(label="Fruits", options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True, **kwargs)._input

    def test_choosing_adds_tags_and_the_delete_control_removes_them(self, render, qtbot):
        inp = self.make(render)
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, inp, "Apple")
        assert not inp._popupShowing
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, inp, "Cherry")
        assert [t.text() for t in tags(inp)] == ["Apple", "Cherry"]
        assert inp.value == [OPTIONS[0], OPTIONS[2]] and inp._selectedKeys.value == ["Apple", "Cherry"]
        tag = tags(inp)[0]
        with qtbot.waitSignal(inp.valueChanged) as blocker:
            qtbot.mouseClick(tag.deleteButton, Qt.MouseButton.LeftButton)
        assert blocker.args == [[OPTIONS[2]]]
        assert [t.text() for t in tags(inp)] == ["Cherry"]
        assert inp._selectedKeys.value == ["Cherry"] and inp._selected_options == {"Cherry": OPTIONS[2]}

    def test_picking_a_chosen_row_again_takes_it_out(self, render, qtbot, capsys):
        inp = self.make(render)
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, inp, "Apple")
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, inp, "Apple")
        assert inp.value == [] and tags(inp) == [] and inp._popupShowing
        assert "select_selected_change___________values []" in capsys.readouterr().out

    def test_typing_narrows_the_list_and_nothing_left_shows_one_row(self, render, qtbot):
        inp = self.make(render)
        line = inp._inputFieldMultiple
        qtbot.mouseClick(line, Qt.MouseButton.LeftButton)
        qtbot.keyClicks(line, "an")
        assert inp._popupShowing and rows(inp) == ["Banana"]
        qtbot.keyClicks(line, "zz")
        message = inp._menu.findChild(QLabel, "EntryBoxMenuMessage")
        assert message.isVisible() and message.text() == "No options"
        assert not inp._menu.listView.isVisible()
        for _ in range(4):
            qtbot.keyClick(line, Qt.Key.Key_Backspace)
        assert rows(inp) == ["Apple", "Banana", "Cherry"] and not message.isVisible()

    def test_a_click_on_the_box_keeps_the_typed_text(self, render, qtbot):
        # The click hands the keyboard to the typing field without selecting what is typed there.
        box = render(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True, helperText="Pick")
        line = box._input._inputFieldMultiple
        qtbot.mouseClick(line, Qt.MouseButton.LeftButton)
        qtbot.keyClicks(line, "an")
        qtbot.mouseClick(box._helperLabel, Qt.MouseButton.LeftButton)
        qtbot.keyClick(line, Qt.Key.Key_Backspace)
        assert line.text() == "a" and rows(box._input) == ["Apple", "Banana"]

    def test_choosing_a_narrowed_row_clears_the_typed_text(self, render, qtbot):
        inp = self.make(render)
        line = inp._inputFieldMultiple
        qtbot.keyClicks(line, "ch")
        click_row(qtbot, inp, "Cherry")
        assert [t.text() for t in tags(inp)] == ["Cherry"]
        assert line.text() == "" and inp._getOptions() == OPTIONS

    def test_typing_field_signals_reach_the_entry_box(self, render, qtbot):
        box = render(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True)
        downs = []
        box.keyDown.connect(lambda e: downs.append(e.text()))
        qtbot.keyClicks(box._input._inputFieldMultiple, "b")
        assert downs == ["b"]

    def test_backspace_in_an_empty_field_removes_the_last_tag(self, render, qtbot):
        inp = self.make(render, defaultValue=[OPTIONS[0], OPTIONS[1]])
        assert [t.text() for t in tags(inp)] == ["Apple", "Banana"]
        assert inp._selectedKeys.value == ["Apple", "Banana"]
        qtbot.keyClick(inp._inputFieldMultiple, Qt.Key.Key_Backspace)
        assert [t.text() for t in tags(inp)] == ["Apple"] and inp.value == [OPTIONS[0]]

    def test_clear_removes_every_tag(self, render, qtbot):
        inp = self.make(render, defaultValue=[OPTIONS[0]])
        hover(inp, True)
        qtbot.mouseClick(inp._btn_clear_text, Qt.MouseButton.LeftButton)
        assert tags(inp) == [] and inp.value == [] and inp._selectedKeys.value == []

    def test_custom_tag_renderer_gets_the_record_and_tag_props(self, render, qtbot):
        seen = []

        def render_tags(selected, getTagProps):
            seen.append(dict(selected))
            return [Tag("#" + key, onDelete=getTagProps(i)["onDelete"]) for i, key in enumerate(selected)]

        inp = render(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=render_tags,
                     defaultValue=[OPTIONS[1]])._input
        assert [t.text() for t in tags(inp)] == ["#Banana"] and seen[-1] == {"Banana": OPTIONS[1]}
        qtbot.mouseClick(tags(inp)[0].deleteButton, Qt.MouseButton.LeftButton)
        assert inp.value == [] and tags(inp) == []


class TestMultipleWithoutTags:
    def test_rendered_value_follows_choices(self, render, qtbot):
        inp = render(options=OPTIONS, getOptionLabel=label, multiple=True,
                     renderValue=lambda v: f"{len(v)} chosen")._input
        assert inp._inputField.text() == "0 chosen"
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, inp, "Apple")
        assert inp._inputField.text() == "1 chosen"

    def test_plain_text_of_labels_and_deselection_keep_in_line(self, render, qtbot):
        inp = render(options=OPTIONS, getOptionLabel=label, multiple=True)._input
        for name in ("Apple", "Banana"):
            qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
            click_row(qtbot, inp, name)
        assert inp._inputField.text() == "Apple, Banana"
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, inp, "Apple")
        assert inp.value == [OPTIONS[1]] and inp._selectedKeys.value == ["Banana"]
        assert inp._inputField.text() == "Banana"


class TestEmptyAndLoading:
    def test_empty_options_show_no_options(self, render, qtbot):
        inp = render(select=True, options=[], getOptionLabel=label)._input
        inp.select_show_popup()
        message = inp._menu.findChild(QLabel, "EntryBoxMenuMessage")
        assert message.isVisible() and message.text() == "No options"

    def test_loading_shows_loading(self, render):
        inp = render(select=True, options=[], getOptionLabel=label, loading=True)._input
        inp.select_show_popup()
        assert inp._menu.findChild(QLabel, "EntryBoxMenuMessage").text() == "Loading..."


class TestTextInput:
    def test_variants_and_date_types(self, render):
        for variant in ("outlined", "filled", "standard"):
            inp = render(label="x", variant=variant)._input
            assert inp._kwargs["variant"] == variant
        assert render()._input._kwargs["variant"] == "outlined"
        for kind, flag in (("date", True), ("time", True), ("datetime", True), ("text", False)):
            assert render(type=kind)._input._isDateTimeType is flag

    def test_value_state_is_followed(self, render):
        from vantu.hooks import State

        value = State("one")
        inp = render(value=value)._input
        assert inp._inputField.text() == "one"
        value.setValue("two")
        assert inp._inputField.text() == "two" and inp.value == "two"

    def test_error_state_restyles_the_field(self, render):
        from vantu.hooks import State

        error = State(False)
        inp = render(label="L", error=error)._input
        before = inp._frame.styleSheet()
        error.setValue(True)
        assert inp._getError() is True and inp._frame.styleSheet() != before


class TestThemeAndLanguage:
    def test_theme_switch_restyles_and_language_switch_retranslates(self, render):
        from vantu.i18n.use_translation import set_language
        from vantu.material.styles import set_theme_mode

        inp = render(label="Label", placeholder="Search...")._input
        light = inp._frame.styleSheet()
        set_theme_mode("dark")
        try:
            assert inp._frame.styleSheet() != light
        finally:
            set_theme_mode("light")
        assert inp._frame.styleSheet() == light
        set_language("vi")
        try:
            assert inp._titleLabel.text() == "Nhãn" and inp._inputField.placeholderText() == "Tìm kiếm..."
        finally:
            set_language("en")
        assert inp._titleLabel.text() == "Label"

    def test_deleted_inputs_hear_nothing(self, qapp):
        import gc
        import weakref

        from vantu.material.component import RenderContext
        from vantu.material.entrybox.entrybox import EntryBox
        from vantu.material.styles import set_theme_mode

        from .conftest import flush_deletes

        box = EntryBox(label="x")
        box.renderUi(RenderContext())
        ref = weakref.ref(box._input)
        box.deleteLater()
        del box
        flush_deletes(qapp)
        gc.collect()
        assert ref() is None
        set_theme_mode("dark")  # reaches no deleted input, raises nothing
        set_theme_mode("light")


class TestReactiveOptionsAndLifetime:
    def test_options_state_updates_the_open_list(self, render, qtbot):
        from vantu.hooks import State

        options = State(["a", "b"])
        inp = render(options=options, getOptionLabel=str)._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert rows(inp) == ["a", "b"]
        options.setValue(["c"])
        assert rows(inp) == ["c"]
        click_row(qtbot, inp, "c")
        assert inp.value == "c"

    def test_deleted_select_raises_nothing_later(self, qapp, qtbot):
        import gc
        import weakref

        from vantu.hooks import State
        from vantu.material.component import RenderContext
        from vantu.material.entrybox.entrybox import EntryBox

        from .conftest import flush_deletes

        renderer = State(lambda o: o)
        box = EntryBox(options=["a"], getOptionLabel=str, multiple=True, renderTags=True, renderOption=renderer)
        box.renderUi(RenderContext())
        box.show()
        box._input.select_show_popup()
        ref = weakref.ref(box._input)
        box.deleteLater()
        del box
        flush_deletes(qapp)
        gc.collect()
        assert ref() is None
        renderer.setValue(lambda o: o * 2)  # the menu rebuild connection went with the input
        qtbot.mousePress(qapp.mainWindow, Qt.MouseButton.LeftButton)  # no application filter left
