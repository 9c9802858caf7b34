"""Random user sessions on an entry box in select mode, driven with real events and checked
against a plain model after every step: value, shown text, selected keys, record and tags
agree, at most one popup is up, and nothing is left once the box is deleted."""
from __future__ import annotations

import gc
import weakref

from hypothesis import HealthCheck, settings
from hypothesis import strategies as st
from hypothesis.stateful import RuleBasedStateMachine, invariant, precondition, rule, run_state_machine_as_test
from PySide6.QtCore import QPoint, QPointF, Qt
from PySide6.QtGui import QEnterEvent
from PySide6.QtTest import QTest
from PySide6.QtWidgets import QApplication, QLineEdit, QVBoxLayout, QWidget

from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.component import RenderContext
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.styles import set_theme_mode

from .conftest import flush_deletes

# A falsy, non-text label among them: 0 is a key like any other.
OPTIONS = [{"label": name} for name in ("Ant", "Bee", "Cat", "Dog")] + [{"label": 0}]
LEFT = Qt.MouseButton.LeftButton


def label(o):
    return o["label"]


def shown(o) -> str:
    return str(label(o))


def settle() -> None:
    for _ in range(3):
        QApplication.processEvents()


class EntryBoxSession(RuleBasedStateMachine):
    """Shared rules; ``multiple`` picks the mode."""

    multiple = True

    def __init__(self):
        super().__init__()
        self.window = QWidget()
        layout = QVBoxLayout(self.window)
        self.state = State([] if self.multiple else None)
        extra = {"multiple": True, "renderTags": True} if self.multiple else {}
        self.box = EntryBox(label="Animals", options=OPTIONS, getOptionLabel=label, value=self.state,
                            helperText="Pick some", **extra).renderUi(RenderContext(self.window), self.window)
        # A second entry box and a plain line edit: somewhere for clicks and focus to go.
        self.other_box = EntryBox(label="Other", options=["x", "y"], getOptionLabel=str).renderUi(
            RenderContext(self.window), self.window)
        self.other = QLineEdit()
        for widget in (self.box, self.other_box, self.other):
            layout.addWidget(widget)
        self.window.resize(320, 300)
        self.window.show()
        QTest.qWaitForWindowExposed(self.window)
        self.input = self.box._input
        self.model: list | dict | None = [] if self.multiple else None
        self.typed = ""
        self.open = False
        settle()

    # -- helpers ---------------------------------------------------------------------

    def usable(self) -> bool:
        return self.input.isEnabled() and self.window.isVisible()

    def rows(self) -> list:
        options = OPTIONS
        if self.typed.strip():
            options = [o for o in options if self.typed.strip().lower() in shown(o).lower()]
        return options

    def popups(self) -> list[QWidget]:
        found = []
        for owner in (self.input, self.other_box._input):
            for popup in (owner._popup, owner._datePopup):
                if popup is not None and popup.isVisible():
                    found.append(popup)
        return found

    def choose(self, option) -> None:
        if not self.multiple:
            self.model, self.open = option, False
        elif option in self.model:
            self.model.remove(option)
        else:
            self.model.append(option)
            self.typed, self.open = "", False

    # -- pointer ---------------------------------------------------------------------

    @rule()
    def click_helper_text(self):
        # The entry box's own area: focus to the field and the list opens (one turn only when
        # the input cannot be used).
        QTest.mouseClick(self.box._helperLabel, LEFT)
        self.open = self.usable()

    @rule()
    def click_arrow(self):
        QTest.mouseClick(self.input._btnSelect, LEFT)
        if self.usable():
            self.open = not self.open

    @rule(index=st.integers(0, len(OPTIONS) - 1))
    def click_row(self, index):
        if not self.usable():
            return
        if not self.open:
            QTest.mouseClick(self.input._btnSelect, LEFT)
            self.open = True
        rows = self.rows()
        if index >= len(rows):
            return
        view = self.input._menu.listView
        QTest.mouseClick(view.viewport(), LEFT, pos=view.visualRect(view.model().index(index, 0)).center())
        self.choose(rows[index])

    @rule()
    def click_other_box(self):
        QTest.mouseClick(self.other_box._input._inputField, LEFT)
        self.open = False

    @rule()
    def click_other_field(self):
        QTest.mouseClick(self.other, LEFT)
        self.open = False

    @rule()
    def clear_with_the_button(self):
        QApplication.sendEvent(self.input, QEnterEvent(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3)))
        button = self.input._btn_clear_text
        if button.isVisible():
            QTest.mouseClick(button, LEFT)
            self.model = [] if self.multiple else None
            self.typed = ""

    # -- keys and focus ----------------------------------------------------------------

    def focus_inside(self) -> QWidget | None:
        """The widget of the input that has the keyboard, if one has it."""
        focus = QApplication.focusWidget()
        return focus if focus is not None and self.input.isAncestorOf(focus) else None

    @rule()
    def press_down(self):
        focus = self.focus_inside()
        if focus is not None:
            QTest.keyClick(focus, Qt.Key.Key_Down)
            self.open = True

    @rule()
    def press_escape(self):
        focus = self.focus_inside()
        if focus is not None:
            QTest.keyClick(focus, Qt.Key.Key_Escape)
            self.open = False

    @rule()
    def tab_away(self):
        focus = self.focus_inside()
        if focus is None:
            return
        QTest.keyClick(focus, Qt.Key.Key_Tab)
        now = QApplication.focusWidget()
        if now is None or not self.input.isAncestorOf(now):
            self.open = False

    # -- outside -------------------------------------------------------------------------

    @rule(picks=st.lists(st.sampled_from(OPTIONS), unique_by=id, max_size=3))
    def set_state(self, picks):
        new = picks if self.multiple else (picks[0] if picks else None)
        if new != self.state.value:
            self.model = list(new) if self.multiple else new
        self.state.setValue(new)

    @rule(mode=st.sampled_from(["light", "dark"]))
    def switch_theme(self, mode):
        set_theme_mode(mode)

    @rule(language=st.sampled_from(["en", "vi"]))
    def switch_language(self, language):
        set_language(language)

    @rule()
    def toggle_disabled(self):
        self.input.setEnabled(not self.input.isEnabled())
        if not self.input.isEnabled():
            self.open = False

    @rule()
    def hide_and_show_window(self):
        self.window.hide()
        assert self.popups() == []
        self.window.show()
        QTest.qWaitForWindowExposed(self.window)
        self.open = False

    # -- checks --------------------------------------------------------------------------

    @invariant()
    def agrees(self):
        settle()
        inp = self.input
        popups = self.popups()
        assert len(popups) <= 1
        assert inp._popupShowing == self.open == (inp._popup is not None and inp._popup.isVisible())
        if self.open:
            assert popups == [inp._popup]
            focus = QApplication.focusWidget()
            assert focus is not None and inp.isAncestorOf(focus)  # the list never takes the keyboard
            if inp._menu.listView.isVisible():
                model = inp._menu.listView.model()
                rows = [model.data(model.index(r, 0)) for r in range(model.rowCount())]
                assert rows == [shown(o) for o in self.rows()]
        assert inp.value == self.model
        if self.multiple:
            keys = [label(o) for o in self.model]
            assert inp._selectedKeys.value == keys and list(inp._selected_options) == keys
            assert [t.text() for t in inp._flowWidget.findChildren(Tag)] == [str(k) for k in keys]
            assert inp._inputFieldMultiple.text() == self.typed
        else:
            assert inp._selectedKeys.value == (None if self.model is None else label(self.model))
            assert inp._inputField.text() == ("" if self.model is None else shown(self.model))

    def teardown(self):
        app = QApplication.instance()
        ref = weakref.ref(self.input)
        del self.input
        self.box.deleteLater()
        del self.box
        flush_deletes(app)
        gc.collect()
        assert ref() is None
        # Nothing left listening: an outside value, the theme and the language reach no one.
        self.state.setValue([OPTIONS[2]] if self.multiple else OPTIONS[2])
        set_theme_mode("dark")
        set_theme_mode("light")
        set_language("vi")
        set_language("en")
        self.window.close()
        self.window.deleteLater()
        flush_deletes(app)


class MultipleSession(EntryBoxSession):
    multiple = True

    @rule(text=st.sampled_from(["a", "e", "0", "x", "do"]))
    def type_text(self, text):
        line = self.input._inputFieldMultiple
        QTest.mouseClick(line, LEFT)
        if not self.usable():
            return
        self.open = True
        QTest.keyClick(line, Qt.Key.Key_End)  # the click put the cursor where it landed
        QTest.keyClicks(line, text)
        self.typed += text

    @rule()
    def press_backspace(self):
        line = self.input._inputFieldMultiple
        if not self.usable() or QApplication.focusWidget() is not line:
            return
        QTest.keyClick(line, Qt.Key.Key_Backspace)
        if self.typed:
            self.typed, self.open = self.typed[:-1], True
        elif self.model:
            self.model.pop()

    @rule(index=st.integers(0, 2))
    def delete_tag(self, index):
        tags = self.input._flowWidget.findChildren(Tag)
        if index >= len(tags) or not self.usable():
            return
        QTest.mouseClick(tags[index].deleteButton, LEFT)
        self.model.pop(index)


class SingleSession(EntryBoxSession):
    multiple = False

    @rule()
    def click_field(self):
        QTest.mouseClick(self.input._inputField, LEFT, pos=QPoint(10, 10))
        if self.usable():
            self.open = not self.open


SETTINGS = settings(max_examples=30, stateful_step_count=16, deadline=None,
                    suppress_health_check=[HealthCheck.too_slow])


def test_multiple_with_tags(qapp):
    run_state_machine_as_test(MultipleSession, settings=SETTINGS)


def test_single(qapp):
    run_state_machine_as_test(SingleSession, settings=settings(SETTINGS, max_examples=12))
