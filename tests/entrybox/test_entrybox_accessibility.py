"""What assistive technology sees of the entry box, asked through ``QAccessible`` as a screen
reader asks: the input's role, name, description, value and states, and its buttons' names and
press actions."""
from __future__ import annotations

import pytest
from PySide6.QtCore import Qt
from PySide6.QtGui import QAccessible, QAccessibleActionInterface

from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.entrybox._tags_view import Tag

T = QAccessible.Text
R = QAccessible.Role


def ask(widget):
    return QAccessible.queryAccessibleInterface(widget)


def press(qtbot, widget) -> None:
    """Presses a button through its accessible action, as assistive technology does."""
    action = ask(widget).actionInterface()
    assert QAccessibleActionInterface.pressAction() in action.actionNames()
    with qtbot.waitSignal(widget.clicked):
        action.doAction(QAccessibleActionInterface.pressAction())


@pytest.fixture
def english():
    yield
    set_language("en")


class TestInput:
    def test_select_reads_as_a_combo_box(self, render, qtbot):
        error = State(False)
        box = render(label="Country", required=True, select=True, options=["Vietnam", "Japan"], getOptionLabel=str,
                     value="Vietnam", helperText="Where you live", error=error)
        inp = box._input
        field = ask(inp._inputField)
        assert field.role() == R.ComboBox
        assert (field.text(T.Name), field.text(T.Description), field.text(T.Value)) == (
            "Country *", "Where you live", "Vietnam")
        state = field.state()
        assert state.expandable and state.collapsed and not state.expanded and not state.invalid and state.focusable
        inp._inputField.setFocus()
        qtbot.keyClick(inp._inputField, Qt.Key.Key_Down)
        assert field.state().expanded and not field.state().collapsed and field.state().focused
        qtbot.keyClick(inp._inputField, Qt.Key.Key_Escape)
        assert field.state().collapsed
        error.setValue(True)
        assert field.state().invalid and field.text(T.Description) == "Where you live"
        inp.setEnabled(False)
        assert field.state().disabled

    def test_text_input_name_description_and_own_names(self, render, english):
        box = render(label="Email", helperText="We never share it", value="a@b.c")
        field = box._input._inputField
        field.setFocus()
        face = ask(field)
        assert face.role() == R.EditableText and face.state().editable and not face.state().expandable
        assert (face.text(T.Name), face.text(T.Description), face.text(T.Value)) == (
            "Email", "We never share it", "a@b.c")
        assert face.textInterface() is not None  # Qt's own, caret and all
        set_language("vi")
        assert face.text(T.Name) == "Email" and face.text(T.Description) == "We never share it"
        field.setAccessibleName("Work email")  # the application's own name wins
        set_language("en")
        assert face.text(T.Name) == "Work email"
        secret = ask(render(label="Password", type="password", value="hunter2")._input._inputField)
        assert secret.state().passwordEdit and "hunter2" not in secret.text(T.Value)

    def test_tags_field_reads_its_choices_and_a_bad_date_is_invalid(self, render, qtbot):
        box = render(label="Fruits", select=True, multiple=True, renderTags=True, options=["Apple", "Mango"],
                     getOptionLabel=str, defaultValue=["Apple", "Mango"])
        line = ask(box._input._inputFieldMultiple)
        assert line.role() == R.ComboBox and line.text(T.Name) == "Fruits" and line.text(T.Value) == "Apple, Mango"

        box = render(label="Date", type="date", helperText="Your birthday")
        field = box._input._inputField
        face = ask(field)
        assert face.role() == R.EditableText and face.state().expandable and face.state().collapsed
        field.setFocus()
        qtbot.keyClicks(field, "2024-02-30")
        assert face.state().invalid and face.text(T.Description) == "Invalid date. Your birthday"


class TestButtons:
    def test_clear_and_arrow_are_named_and_pressable(self, render, qtbot, english):
        box = render(label="Country", select=True, options=["Vietnam", "Japan"], getOptionLabel=str, value="Japan")
        inp = box._input
        inp._inputField.setFocus()
        clear, arrow = ask(inp._btn_clear_text), ask(inp._btnSelect)
        assert clear.text(T.Name) == "Clear" and arrow.text(T.Name) == "Open"
        assert inp._btn_clear_text.focusPolicy() == Qt.FocusPolicy.NoFocus  # as set by the select mode
        press(qtbot, inp._btnSelect)
        assert inp._popupShowing and arrow.text(T.Name) == "Close"
        press(qtbot, inp._btnSelect)
        assert not inp._popupShowing and arrow.text(T.Name) == "Open"
        assert inp._btn_clear_text.isVisible()  # shown while the input has the keyboard
        press(qtbot, inp._btn_clear_text)
        assert inp.value is None
        set_language("vi")
        assert (clear.text(T.Name), arrow.text(T.Name)) == ("Xóa", "Mở")

    def test_calendar_and_chip_delete_controls(self, render, qtbot, english):
        box = render(type="date")
        calendar = ask(box._input._btnCalendar)
        assert calendar.text(T.Name) == "Choose date"
        press(qtbot, box._input._btnCalendar)
        picker = box._input._datePopup.picker
        assert box._input.date_picker_open()
        assert [ask(b).text(T.Name) for b in (picker.previousButton, picker.nextButton, picker.yearButton)] == [
            "Previous month", "Next month", "Choose year"]
        assert ask(render(type="datetime")._input._btnCalendar).text(T.Name) == "Choose date and time"

        box = render(label="Fruits", select=True, multiple=True, renderTags=True, options=["Apple", "Mango"],
                     getOptionLabel=str, defaultValue=["Apple", "Mango"])
        tags = box._input._flowWidget.findChildren(Tag)
        assert [ask(t.deleteButton).text(T.Name) for t in tags] == ["Remove Apple", "Remove Mango"]
        press(qtbot, tags[0].deleteButton)
        assert box._input.value == ["Mango"]
        set_language("vi")
        assert ask(box._input._flowWidget.findChildren(Tag)[0].deleteButton).text(T.Name) == "Gỡ bỏ Mango"
        assert calendar.text(T.Name) == "Chọn ngày"
