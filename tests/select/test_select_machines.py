"""Random sessions with a field, as a person has them: clicks on the input, the arrow, list rows,
tags and the clear button, keys, focus moving to a neighbour, outside State values, theme and
language switches, and deleting the field. After every step the value, the shown text, the
selected keys and the tags agree, at most one list is open, and a deleted field leaves nothing."""
import gc
import weakref

import shiboken6
from hypothesis import settings
from hypothesis import strategies as st
from hypothesis.stateful import RuleBasedStateMachine, invariant, precondition, rule, run_state_machine_as_test
from PySide6.QtCore import QPoint, Qt
from PySide6.QtTest import QTest
from PySide6.QtWidgets import QApplication, QLineEdit, QVBoxLayout, QWidget

from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView
from vantu.material.styles import set_theme_mode
from vantu.utils.translator import getTranslatedText

from .conftest import flush_deletes, label

SINGLE = [{"label": "Apple", "value": 1}, {"label": "apple", "value": 2}, {"label": "Banana", "value": 3},
          {"label": "Cherry", "value": 4}]
MULTIPLE = [{"label": "Ann", "value": 1}, {"label": 0, "value": 2}, {"label": "", "value": 3},
            {"label": "Dee", "value": 4}]
KEYS = [Qt.Key.Key_Down, Qt.Key.Key_Up, Qt.Key.Key_Return, Qt.Key.Key_Escape, Qt.Key.Key_Tab]
SETTINGS = settings(max_examples=10, stateful_step_count=20, deadline=None)


def render_tags(selected, getTagProps):
    return [TagsView(label=str(key), onDelete=getTagProps({"key": key, "value": option})["onDelete"])
            for key, option in selected.items()]


def settle():
    for _ in range(2):
        QApplication.processEvents()


def click(widget, pos=None):
    """A left click where a person makes it: the pointer moves there, and the click lands on
    whatever shows at that point of `widget`."""
    spot = widget.mapToGlobal(pos if pos is not None else widget.rect().center())
    target = QApplication.widgetAt(spot) or widget
    QTest.mouseMove(target, target.mapFromGlobal(spot))
    QTest.mouseClick(target, Qt.MouseButton.LeftButton, Qt.KeyboardModifier.NoModifier, target.mapFromGlobal(spot))
    settle()


def open_popups():
    return [w for w in QApplication.topLevelWidgets() if w.isVisible() and w.parentWidget() is not None]


def windows():
    return {w for w in QApplication.topLevelWidgets() if w.objectName() != "qtooltip_label"}


class FieldSession(RuleBasedStateMachine):
    """A host window with the field under test, a neighbouring select field and a line edit."""

    OPTIONS: list = []
    FIELD_ARGS: dict = {}

    def __init__(self):
        super().__init__()
        set_theme_mode("light")
        set_language("en")
        self.host = QWidget()
        self.host.setGeometry(100, 100, 320, 240)
        QVBoxLayout(self.host)
        self.other = QLineEdit(self.host)
        self.neighbour = SelectBase(self.host, options=["x", "y"], label="Other")
        self.host.layout().addWidget(self.other)
        self.host.layout().addWidget(self.neighbour)
        self.state = State(self.initial_value())
        self.host.show()
        QTest.qWaitForWindowExposed(self.host)
        self.host.activateWindow()
        QTest.qWaitForWindowActive(self.host)
        self.field = None
        self.build()

    def initial_value(self):
        raise NotImplementedError

    def build(self):
        self.field = SelectBase(self.host, options=list(self.OPTIONS), label="Fruits", getOptionLabel=label,
                                value=self.state, **self.FIELD_ARGS)
        self.host.layout().addWidget(self.field)
        settle()

    def popup_open(self):
        return bool(self.field._popup) and self.field._popup.isVisible()

    def list_view(self):
        return self.field._menu.listView

    # -- what a person does ------------------------------------------------------------

    def empty_spot(self):
        """A point of the input that no tag covers, as a person aims at."""
        field_input = self.field._inputField
        for x in range(4, field_input.width(), 6):
            point = QPoint(x, field_input.height() // 2)
            hit = QApplication.widgetAt(field_input.mapToGlobal(point))
            if hit is not None and (hit is field_input or hit.objectName() == "flowWidget" or hit is field_input.viewport()):
                return point
        raise AssertionError("the tags cover the whole input")

    @rule()
    def click_input(self):
        was_open = self.popup_open()
        click(self.field._inputField, self.empty_spot())
        assert self.popup_open() != was_open or self.field._readOnly

    @rule()
    def click_arrow(self):
        was_open = self.popup_open()
        button = self.field._btnSelect
        click(button, QPoint(8, button.height() // 2))  # within what shows of it
        assert self.popup_open() != was_open
        assert self.field._inputField.hasFocus()

    @precondition(lambda self: self.popup_open())
    @rule(row=st.integers(0, 3))
    def click_row(self, row):
        view = self.list_view()
        option = self.OPTIONS[row]
        before = list(self.field.value or []) if self.multiple() else None
        click(view.viewport(), view.visualRect(view.model().index(row, 0)).center())
        if not self.multiple():
            assert self.field.value == option and not self.popup_open()
        elif option in before:
            assert option not in self.field.value and self.popup_open()
        else:
            assert self.field.value == before + [option] and not self.popup_open()

    @precondition(lambda self: self.field._inputField.hasFocus())
    @rule(key=st.sampled_from(KEYS))
    def press_key(self, key):
        QTest.keyClick(self.field._inputField, key)
        settle()

    @rule()
    def click_elsewhere(self):
        click(self.other)
        assert self.other.hasFocus() and not self.popup_open()

    @rule()
    def open_the_neighbour(self):
        click(self.neighbour._inputField)
        assert self.neighbour._popup.isVisible() and not self.popup_open()
        click(self.neighbour._inputField)

    @rule(mode=st.sampled_from(["light", "dark"]))
    def switch_theme(self, mode):
        set_theme_mode(mode)
        settle()

    @rule(lang=st.sampled_from(["en", "vi"]))
    def switch_language(self, lang):
        set_language(lang)
        settle()

    @rule()
    def delete_and_build_again(self):
        field = self.field
        parts = [field._inputField, field.action_frame] + ([field._popup] if field._popup else [])
        others = windows() - set(parts)
        ref = weakref.ref(field)
        field.deleteLater()
        self.field = field = None
        flush_deletes(QApplication.instance())
        gc.collect()
        assert ref() is None
        assert not [p for p in parts if shiboken6.isValid(p)]
        assert windows() <= others  # no popup or other window left behind
        # Nothing reaches the deleted field any more.
        set_theme_mode("dark")
        set_language("vi")
        self.state.setValue(self.initial_value())
        set_theme_mode("light")
        set_language("en")
        self.build()

    # -- what must hold after every step -----------------------------------------------

    @invariant()
    def one_popup_at_most(self):
        assert len(open_popups()) <= 1
        if self.field is not None:
            assert bool(self.field._popupShowed if hasattr(self.field, "_popupShowed") else False) == self.popup_open()

    def multiple(self):
        return bool(self.FIELD_ARGS.get("multiple"))

    def teardown(self):
        self.host.close()
        self.host.deleteLater()
        flush_deletes(QApplication.instance())
        set_theme_mode("light")
        set_language("en")


class SingleSession(FieldSession):
    OPTIONS = SINGLE

    def initial_value(self):
        return None

    @rule(choice=st.sampled_from([None, ""] + SINGLE))
    def set_outside_value(self, choice):
        changes = self.state.value != choice or type(self.state.value) is not type(choice)
        self.state.setValue(choice)
        settle()
        if changes:
            assert self.field.value == choice

    @invariant()
    def value_text_and_key_agree(self):
        field = self.field
        value, text = field.value, field._inputField.text()
        if value is None or value == "":
            assert text == "" and field._selectedKeys.value is None
            assert field.title() == "" or field._inputField.hasFocus()
        else:
            assert value in SINGLE
            assert text == label(value) and field._selectedKeys.value == label(value)
            assert field.title() == getTranslatedText("Fruits")
        if field._menu is not None:  # the list marks what the field shows
            assert field._menu.listView.selectedKeys() == field._selectedKeys.value


class MultipleSession(FieldSession):
    OPTIONS = MULTIPLE
    FIELD_ARGS = {"multiple": True, "renderTags": render_tags}

    def initial_value(self):
        return []

    @rule(rows=st.lists(st.integers(0, 3), unique=True, max_size=3))
    def set_outside_value(self, rows):
        chosen = [MULTIPLE[row] for row in rows]
        changes = self.state.value != chosen
        self.state.setValue(chosen)
        settle()
        if changes:
            assert self.field.value == chosen

    @precondition(lambda self: getattr(self.field, "tags", []))
    @rule(index=st.integers(0, 3))
    def delete_a_tag(self, index):
        tags = self.field.tags
        tag = tags[index % len(tags)]

        removed = list(self.field._selected_options.values())[index % len(tags)]
        click(tag.deleteButton)
        assert removed not in self.field.value

    @rule()
    def clear_all(self):
        QTest.mouseMove(self.field, QPoint(20, self.field.height() // 2))
        settle()
        clear = self.field._btn_clear_text
        if not clear.isVisible():
            return  # shown on hover when there is a value
        click(clear)
        assert self.field.value == [] and self.field.tags == []

    @invariant()
    def value_keys_and_tags_agree(self):
        field = self.field
        chosen = list(field._selected_options.values())
        keys = [label(option) for option in chosen]
        assert list(field.value or []) == chosen
        assert list(field._selected_options) == keys
        assert field._selectedKeys.value == keys
        assert [tag.label.text() for tag in getattr(field, "tags", [])] == [str(key) for key in keys]
        flows = [w for w in field._inputField.children() if w.objectName() == "flowWidget"]
        assert len(flows) == 1 and flows[0] is field._flowWidget
        if field._menu is not None:
            assert field._menu.listView.selectedKeys() == frozenset(keys)
        if keys:
            assert field._inputField.placeholderText() == ""
        elif not field._inputField.hasFocus():
            # The label shows: as the placeholder, or as the title where the clear button left it.
            name = getTranslatedText("Fruits")
            assert name in (field._inputField.placeholderText(), field.title())


def test_single_select_sessions(qapp):
    run_state_machine_as_test(SingleSession, settings=SETTINGS)


def test_multiple_select_with_tags_sessions(qapp):
    run_state_machine_as_test(MultipleSession, settings=SETTINGS)
