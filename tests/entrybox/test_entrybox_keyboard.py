"""The entry box with the keyboard alone: in select mode (the list's keys, the chips, clearing) and
as a date input (the picker's keys, typed dates that do not exist). Real key events only; the
sessions check that no mouse event happened at all."""
from __future__ import annotations

import pytest
from PySide6.QtCore import QDate, QEvent, QObject, Qt
from PySide6.QtWidgets import QLineEdit, QVBoxLayout, QWidget

from vantu.i18n.use_translation import set_language
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox

K = Qt.Key
SHIFT = Qt.KeyboardModifier.ShiftModifier
ALT = Qt.KeyboardModifier.AltModifier
FRUITS = [{"label": name} for name in ("Apple", "Banana", "Cherry", "Mango", "Orange")]


def label(option):
    return option["label"]


def off(option):
    return option["label"] == "Banana"


class _MouseWatch(QObject):
    KINDS = (QEvent.Type.MouseButtonPress, QEvent.Type.MouseButtonRelease, QEvent.Type.MouseButtonDblClick)

    def __init__(self) -> None:
        super().__init__()
        self.count = 0

    def eventFilter(self, watched, event) -> bool:
        if event.type() in self.KINDS:
            self.count += 1
        return False


@pytest.fixture
def no_mouse(qapp):
    watch = _MouseWatch()
    qapp.installEventFilter(watch)
    yield
    qapp.removeEventFilter(watch)
    assert watch.count == 0


@pytest.fixture
def form(qtbot):
    """form(**kwargs) -> (before, box, after): the entry box between two line edits, the first focused."""
    windows = []  # pytest-qt holds widgets weakly; the test keeps its windows

    def make(**kwargs):
        window = QWidget()
        windows.append(window)
        qtbot.addWidget(window)
        layout = QVBoxLayout(window)
        before, after = QLineEdit(), QLineEdit()
        layout.addWidget(before)
        box = EntryBox(**kwargs).renderUi(RenderContext(window), window)
        layout.addWidget(box)
        layout.addWidget(after)
        window.resize(340, 200)
        with qtbot.waitExposed(window):
            window.show()
        window.activateWindow()
        before.setFocus()
        qtbot.waitUntil(before.hasFocus)
        return before, box, after
    return make


def current(inp) -> str | None:
    view = inp._menu.listView
    row = view.currentRow()
    return None if row < 0 else view.model().data(view.model().index(row, 0))


class TestSelectByKeys:
    def test_multiple_tags_filled_changed_cleared_and_left(self, form, qtbot, no_mouse):
        before, box, after = form(label="Fruits", select=True, multiple=True, renderTags=True, options=FRUITS,
                                  getOptionLabel=label, getOptionDisabled=off, defaultValue=[FRUITS[2]])
        inp = box._input
        line = inp._inputFieldMultiple
        qtbot.keyClick(before, K.Key_Tab)
        assert line.hasFocus()  # the typing field, not the read-only field under the chips

        qtbot.keyClick(line, K.Key_Down)
        assert inp._popupShowing and current(inp) == "Cherry"  # starts on the chosen option
        for key, row in ((K.Key_Down, "Mango"), (K.Key_Up, "Cherry"), (K.Key_Up, "Apple"), (K.Key_End, "Orange"),
                         (K.Key_Home, "Apple")):  # Up passes over the disabled Banana
            qtbot.keyClick(line, key)
            assert current(inp) == row
        qtbot.keyClick(line, K.Key_Return)
        assert [label(o) for o in inp.value] == ["Cherry", "Apple"] and not inp._popupShowing

        # Typing narrows the list; the arrows move within what is left and Enter takes the row.
        qtbot.keyClicks(line, "an")
        assert inp._popupShowing and current(inp) == "Mango"
        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Enter)
        assert [label(o) for o in inp.value] == ["Cherry", "Apple", "Orange"] and line.text() == ""

        # Enter on a chosen row takes it out and leaves the list open; Escape closes without choosing.
        qtbot.keyClick(line, K.Key_Down, ALT)
        qtbot.keyClick(line, K.Key_End)
        qtbot.keyClick(line, K.Key_Return)
        assert [label(o) for o in inp.value] == ["Cherry", "Apple"] and inp._popupShowing
        qtbot.keyClick(line, K.Key_Up)
        qtbot.keyClick(line, K.Key_Escape)
        assert not inp._popupShowing and len(inp.value) == 2

        # The chips: Left reaches them, Left again moves, Backspace presses the delete control.
        qtbot.keyClick(line, K.Key_Left)
        assert inp._currentChip == 1 and line.hasFocus()
        qtbot.keyClick(line, K.Key_Left)
        qtbot.keyClick(line, K.Key_Backspace)
        assert [label(o) for o in inp.value] == ["Apple"] and inp._currentChip == 0
        qtbot.keyClick(line, K.Key_Escape)
        assert inp._currentChip == -1

        # Backspace with nothing typed takes the last choice; Delete clears them all.
        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Return)
        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Return)
        assert [label(o) for o in inp.value] == ["Apple", "Cherry", "Mango"]
        qtbot.keyClick(line, K.Key_Backspace)
        assert [label(o) for o in inp.value] == ["Apple", "Cherry"]
        qtbot.keyClick(line, K.Key_Delete)
        assert inp.value == [] and inp._selected_options == {}

        qtbot.keyClick(line, K.Key_Down)
        qtbot.keyClick(line, K.Key_Tab)
        assert after.hasFocus() and not inp._popupShowing and not inp._focused
        qtbot.keyClick(after, K.Key_Backtab)  # the typing field keeps its place in the tab order
        assert line.hasFocus()

    def test_single_list_keys(self, form, qtbot, no_mouse):
        options = [f"Option {n:02d}" for n in range(30)]
        before, box, after = form(label="Pick", select=True, options=options, getOptionLabel=str,
                                  getOptionDisabled=lambda o: o == "Option 28", value="Option 25")
        inp = box._input
        field = inp._inputField
        qtbot.keyClick(before, K.Key_Tab)
        qtbot.keyClick(field, K.Key_F4)
        view = inp._menu.listView
        assert current(inp) == "Option 25"
        # Opened scrolled to the chosen option.
        assert view.viewport().rect().contains(view.visualRect(view.model().index(25, 0)).center())
        steps = ((K.Key_PageUp, lambda r: r < 25), (K.Key_End, lambda r: r == 29), (K.Key_Up, lambda r: r == 27),
                 (K.Key_Home, lambda r: r == 0), (K.Key_PageDown, lambda r: 0 < r < 25))
        for key, check in steps:
            qtbot.keyClick(field, key)
            assert check(view.currentRow()), (key, view.currentRow())
        qtbot.keyClick(field, K.Key_Escape)
        assert not inp._popupShowing and inp.value == "Option 25"  # Escape chooses nothing
        qtbot.keyClick(field, K.Key_Up)
        assert inp._popupShowing and current(inp) == "Option 25"
        qtbot.keyClick(field, K.Key_Down)
        qtbot.keyClick(field, K.Key_Return)
        assert inp.value == "Option 26" and field.text() == "Option 26" and not inp._popupShowing
        qtbot.keyClick(field, K.Key_Down)
        qtbot.keyClick(field, K.Key_Up, ALT)
        assert not inp._popupShowing
        qtbot.keyClick(field, K.Key_Backspace)  # the clear button's action, from the keyboard
        assert inp.value is None and field.text() == ""
        qtbot.keyClick(field, K.Key_Tab)
        assert after.hasFocus()


def date_of(text: str) -> QDate:
    return QDate.fromString(text, "yyyy-MM-dd")


class TestDateByKeys:
    def test_date_input_filled_changed_cleared_and_left(self, form, qtbot, no_mouse):
        changes = []
        before, box, after = form(label="Date", type="date", onChange=lambda i: changes.append(i.value))
        inp = box._input
        field = inp._inputField
        assert inp._btnCalendar is not None and inp._btnCalendar.isVisible()  # type="date" alone
        qtbot.keyClick(before, K.Key_Tab)
        assert field.hasFocus()

        today = QDate.currentDate()
        qtbot.keyClick(field, K.Key_Down)
        picker = inp._datePopup.picker
        assert inp.date_picker_open() and picker.focusDate() == today
        for key in (K.Key_Right, K.Key_Right, K.Key_PageDown):
            qtbot.keyClick(field, key)
        qtbot.keyClick(field, K.Key_Return)
        filled = today.addDays(2).addMonths(1)
        assert date_of(inp.value) == filled and field.text() == inp.value and not inp.date_picker_open()
        assert field.hasFocus()

        qtbot.keyClick(field, K.Key_F4)
        assert picker.focusDate() == filled  # starts on the chosen day
        qtbot.keyClick(field, K.Key_Left)
        qtbot.keyClick(field, K.Key_Escape)  # closes without picking
        assert not inp.date_picker_open() and date_of(inp.value) == filled
        qtbot.keyClick(field, K.Key_Down, ALT)
        qtbot.keyClick(field, K.Key_Up)
        qtbot.keyClick(field, K.Key_Enter)
        assert date_of(inp.value) == filled.addDays(-7)

        # Typed: a date that does not exist is an error and not the value; one that exists is.
        kept = inp.value
        qtbot.keyClick(field, K.Key_A, Qt.KeyboardModifier.ControlModifier)
        qtbot.keyClicks(field, "2024-13-45")
        assert inp._getError() and inp.value == kept and inp._dateMessage.isVisible()
        qtbot.keyClick(field, K.Key_A, Qt.KeyboardModifier.ControlModifier)
        qtbot.keyClicks(field, "2024-2-5")
        assert not inp._getError() and inp.value == kept and inp._dateMessage.isHidden()
        qtbot.keyClick(field, K.Key_Return)  # a short form is taken on Enter (or on leaving)
        assert inp.value == "2024-02-05" and field.text() == "2024-02-05"

        qtbot.keyClick(field, K.Key_A, Qt.KeyboardModifier.ControlModifier)
        qtbot.keyClick(field, K.Key_Backspace)
        assert inp.value == "" and not inp._getError()
        qtbot.keyClick(field, K.Key_Tab)
        assert after.hasFocus() and not inp._focused
        assert changes == [changes[0], changes[1], "2024-02-05", ""] and changes[0] != changes[1]

    @pytest.mark.parametrize("keys, expected", [
        ([K.Key_Right], "2026-03-15"),
        ([K.Key_Left], "2026-03-13"),
        ([K.Key_Down], "2026-03-21"),
        ([K.Key_Up, K.Key_Up], "2026-02-28"),
        ([K.Key_PageDown], "2026-04-14"),
        ([K.Key_PageUp], "2026-02-14"),
        ([(K.Key_PageDown, SHIFT)], "2027-03-14"),
        ([K.Key_Home], "2026-03-01"),
        ([K.Key_End, K.Key_Right], "2026-04-01"),
    ])
    def test_picker_keys_move_the_day(self, form, qtbot, keys, expected):
        _, box, _ = form(type="date", value="2026-03-14")
        inp = box._input
        field = inp._inputField
        field.setFocus()
        qtbot.keyClick(field, K.Key_Down)
        for key in keys:
            key, mods = key if isinstance(key, tuple) else (key, Qt.KeyboardModifier.NoModifier)
            qtbot.keyClick(field, key, mods)
        picker = inp._datePopup.picker
        assert picker.focusDate() == date_of(expected)
        assert picker.shownMonth() == QDate(date_of(expected).year(), date_of(expected).month(), 1)
        qtbot.keyClick(field, K.Key_Return)
        assert inp.value == expected and not inp.date_picker_open()

    def test_year_grid_and_right_to_left_keys(self, form, qtbot):
        _, box, _ = form(type="date", value="2026-03-14")
        inp = box._input
        field = inp._inputField
        field.setFocus()
        qtbot.keyClick(field, K.Key_F4)
        picker = inp._datePopup.picker
        picker.yearButton.click()
        for key in (K.Key_Right, K.Key_Down):
            qtbot.keyClick(field, key)
        assert picker.years.focus == 2030
        qtbot.keyClick(field, K.Key_Return)
        assert not picker.yearsShown() and picker.focusDate() == QDate(2030, 3, 14) and inp.value == "2026-03-14"
        picker.yearButton.click()
        qtbot.keyClick(field, K.Key_Escape)  # the years go back to the days; a second Escape closes
        assert inp.date_picker_open() and not picker.yearsShown()
        qtbot.keyClick(field, K.Key_Escape)
        assert not inp.date_picker_open()

        box.setLayoutDirection(Qt.LayoutDirection.RightToLeft)
        qtbot.keyClick(field, K.Key_Down)
        qtbot.keyClick(field, K.Key_Left)  # forward in a right-to-left month
        assert picker.focusDate() == QDate(2026, 3, 15)
        grid = picker.grid
        assert grid.dayRect(QDate(2026, 3, 14)).x() < grid.dayRect(QDate(2026, 3, 13)).x()

    def test_time_keys(self, form, qtbot):
        _, box, _ = form(type="datetime", value="2026-01-02 09:00")
        inp = box._input
        field = inp._inputField
        field.setFocus()
        qtbot.keyClick(field, K.Key_Down)
        qtbot.keyClick(field, K.Key_Right)
        qtbot.keyClick(field, K.Key_Return)  # the day; the keys go on to the times
        assert inp.value == "2026-01-03 09:00" and inp.date_picker_open()
        qtbot.keyClick(field, K.Key_Down)
        qtbot.keyClick(field, K.Key_Return)
        assert inp.value == "2026-01-03 09:30" and not inp.date_picker_open()

        _, box, _ = form(type="time", value="14:30")
        inp = box._input
        inp._inputField.setFocus()
        for key in (K.Key_Down, K.Key_Down, K.Key_PageUp, K.Key_Return):
            qtbot.keyClick(inp._inputField, key)
        assert inp.value == "13:00" and not inp.date_picker_open()

    @pytest.mark.parametrize("kind, typed, value, error", [
        ("date", "2024-13-45", None, True),
        ("date", "2023-02-29", None, True),
        ("date", "2024-04-31", None, True),
        ("date", "2024-02-29", "2024-02-29", False),
        ("date", "2024-1", None, True),  # half typed: an error once the field is left
        ("time", "25:00", None, True),
        ("time", "7:05", "07:05", False),
        ("datetime", "2024-02-30 10:00", None, True),
        ("datetime", "2024-2-3 9:30", "2024-02-03 09:30", False),
    ])
    def test_typed_values_are_checked(self, form, qtbot, kind, typed, value, error):
        before, box, after = form(label="When", type=kind, helperText="As you like")
        inp = box._input
        field = inp._inputField
        qtbot.keyClick(before, K.Key_Tab)
        qtbot.keyClicks(field, typed)
        qtbot.keyClick(field, K.Key_Tab)
        assert inp.value == value and inp._getError() is error
        message = inp._dateMessage
        assert (message is not None and message.isVisible()) is error
        if error:
            assert message.text().startswith("Invalid")
            # The outline and the helper text take the error look, as for the application's error.
            assert box._helperLabel.styleSheet() == box._get_stylesheet(color="None", error="True",
                                                                        variant="outlined")
            set_language("vi")
            try:
                assert "không hợp lệ" in message.text()
            finally:
                set_language("en")
        else:
            assert field.text() == value  # shown in full once the field is left
