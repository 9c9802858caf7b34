"""What the entry box looks like to a user: sizes, text edges, colours in both themes,
texts after a language switch, and the date input's calendar."""
from __future__ import annotations

import gc
import weakref

import pytest
from PySide6.QtCore import QDate, Qt
from PySide6.QtGui import QColor, QPalette
from PySide6.QtWidgets import QApplication, QCalendarWidget

from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.component import RenderContext
from vantu.material.entrybox._date_picker import DatePicker, parse_date_time
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.styles import set_theme_mode, useTheme
from vantu.material.styles.palette import DARK_PALETTE, LIGHT_PALETTE

from .conftest import flush_deletes


@pytest.fixture
def dark():
    """Switches to the dark theme for the test's second half; always back to light after."""
    yield lambda: set_theme_mode("dark")
    set_theme_mode("light")


def text_colour(widget) -> QColor:
    widget.ensurePolished()
    return widget.palette().color(QPalette.ColorRole.WindowText)


def ink_left(widget, box) -> int:
    """Left-most column of dark pixels of ``widget``'s text, in ``box`` coordinates."""
    image = box.grab().toImage()
    top = widget.mapTo(box, widget.rect().topLeft())
    for x in range(top.x(), min(120, image.width())):  # from the widget's own edge: not the outline
        for y in range(top.y() + 2, top.y() + widget.height() - 2):
            if QColor(image.pixel(x, y)).lightness() < 140:
                return x - box._input._frame.mapTo(box, box._input._frame.rect().topLeft()).x()
    raise AssertionError(f"no text drawn in {widget.objectName() or widget}")


class TestSizeAndEdges:
    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    def test_fields_are_56_or_40_px_tall_whatever_the_state(self, render, qtbot, variant):
        for size, height in (("medium", 56), ("small", 40)):
            box = render(label="Name", variant=variant, size=size, helperText="Help")
            frame = box._input._frame
            assert frame.height() == height
            box._input._inputField.setFocus()
            qtbot.waitUntil(lambda: box._input._focused)
            assert frame.height() == height
            box._input._error = True
            box._input._refresh_style()
            assert frame.height() == height

    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    def test_label_text_and_helper_start_at_one_edge(self, render, variant):
        box = render(label="HHH", value="HHH", helperText="HHH", variant=variant)
        inp = box._input
        label, value, helper = (ink_left(w, box) for w in (inp._titleLabel, inp._inputField, box._helperLabel))
        # The value starts a hair inside the label, as the select field has it.
        assert abs(label - helper) <= 2 and 0 <= value - label <= 2, (label, value, helper)
        inp._handle_field_focus_in()  # a focus ring does not move the text
        QApplication.processEvents()
        assert ink_left(inp._inputField, box) == value

    def test_a_tags_field_keeps_its_height_until_the_tags_wrap(self, render):
        fruits = ["Apple", "Banana", "Cherry", "Grape", "Mango", "Orange", "Pear"]
        box = render(options=fruits, getOptionLabel=str, multiple=True, renderTags=True, value=fruits[:1])
        assert box._input._frame.height() == 56
        box._input.setValue(fruits)
        box._input._flowWidget.layout().activate()
        box.window().adjustSize()
        assert box._input._frame.height() > 56  # two rows of chips, nothing clipped


class TestThemes:
    def test_chips_follow_a_theme_switch(self, render, dark):
        box = render(options=["Apple", "Mango"], getOptionLabel=str, multiple=True, renderTags=True,
                     value=["Apple", "Mango"])
        chips = box._input._flowWidget.findChildren(Tag)
        assert [c.text() for c in chips] == ["Apple", "Mango"]
        assert text_colour(chips[0].label) == QColor(LIGHT_PALETTE["text"]["primary"])
        dark()
        assert text_colour(chips[0].label) == QColor(DARK_PALETTE["text"]["primary"])
        box._input.setValue(["Mango"])  # chips made in the dark theme
        chip = box._input._flowWidget.findChildren(Tag)[0]
        assert text_colour(chip.label) == QColor(DARK_PALETTE["text"]["primary"])

    def test_helper_text_follows_a_theme_switch_in_and_out_of_error(self, render, dark):
        plain = render(helperText="Help")
        wrong = render(helperText="Help", error=True)
        assert text_colour(plain._helperLabel) == QColor(LIGHT_PALETTE["text"]["secondary"])
        assert text_colour(wrong._helperLabel) == QColor(LIGHT_PALETTE["error"]["main"])
        dark()
        assert text_colour(plain._helperLabel) == QColor(DARK_PALETTE["text"]["secondary"])
        assert text_colour(wrong._helperLabel) == QColor(DARK_PALETTE["error"]["main"])
        set_theme_mode("light")
        assert text_colour(wrong._helperLabel) == QColor(LIGHT_PALETTE["error"]["main"])

    def test_an_error_state_colours_outline_label_and_helper(self, render):
        error = State(False)
        box = render(label="Email", helperText="Enter a valid address", error=error)
        inp, red = box._input, LIGHT_PALETTE["error"]["main"]
        assert red not in inp._frame.styleSheet() and text_colour(box._helperLabel) != QColor(red)
        error.setValue(True)
        assert red in inp._frame.styleSheet()
        assert text_colour(inp._titleLabel) == QColor(red) and text_colour(box._helperLabel) == QColor(red)
        error.setValue(False)
        assert text_colour(box._helperLabel) == QColor(LIGHT_PALETTE["text"]["secondary"])

    def test_a_focused_field_in_error_has_a_two_pixel_error_outline(self, render, qtbot):
        box = render(label="Email", error=True)
        inp = box._input
        inp._inputField.setFocus()
        qtbot.waitUntil(lambda: inp._focused)
        image = inp._frame.grab().toImage()
        middle = image.height() // 2
        red = QColor(LIGHT_PALETTE["error"]["main"])
        assert QColor(image.pixel(0, middle)) == red and QColor(image.pixel(1, middle)) == red
        assert QColor(image.pixel(2, middle)) != red

    def test_buttons_and_popup_surface_follow_a_theme_switch(self, render, qtbot, dark):
        box = render(options=[], getOptionLabel=str, select=True)
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert inp._popupShowing
        assert LIGHT_PALETTE["background"]["paper"] in inp._menu.styleSheet()
        assert LIGHT_PALETTE["action"]["hover"] in inp.action_frame.styleSheet()
        row = inp._menu._messageRow
        assert row.isVisible() and text_colour(row) == QColor(LIGHT_PALETTE["text"]["secondary"])
        dark()
        assert DARK_PALETTE["background"]["paper"] in inp._menu.styleSheet()
        assert "white" not in inp._menu.styleSheet()
        assert DARK_PALETTE["action"]["hover"] in inp.action_frame.styleSheet()
        assert text_colour(row) == QColor(DARK_PALETTE["text"]["secondary"])


class TestLanguage:
    def test_label_placeholder_and_helper_follow_a_language_switch(self, render):
        box = render(label="Label", placeholder="Search...", helperText="Required")
        inp = box._input
        set_language("vi")
        try:
            assert inp._titleLabel.text() == "Nhãn"
            assert inp._inputField.placeholderText() == "Tìm kiếm..."
            assert box._helperLabel.text() == "Bắt buộc"
        finally:
            set_language("en")
        assert box._helperLabel.text() == "Required"


class TestDateInput:
    def test_shows_its_calendar_button_and_picks_a_day(self, render, qtbot):
        picked = []
        box = render(label="Date", type="date", select=True, options=[], getOptionLabel=str,
                     onChange=lambda i: picked.append(i.value))
        inp = box._input
        qtbot.waitUntil(lambda: not inp._btnSelect.icon().isNull())
        assert inp._btnSelect.isVisible()
        assert inp._btnSelect.icon().cacheKey() != 0
        qtbot.mouseClick(inp._btnSelect, Qt.MouseButton.LeftButton)
        assert inp._popupShowing and isinstance(inp._menu, DatePicker)
        assert getattr(inp._menu, "_messageRow", None) is None  # no "No options" row
        calendar = inp._menu.findChild(QCalendarWidget)
        day = QDate(2026, 3, 14)
        calendar.setSelectedDate(day)
        calendar.clicked.emit(day)
        assert picked == ["2026-03-14"] and inp._inputField.text() == "2026-03-14"
        assert not inp._popupShowing and not inp._popup.isVisible()
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert inp._popupShowing and calendar.selectedDate() == day  # reopens on the chosen day

    def test_time_and_date_time_inputs(self, render, qtbot):
        box = render(type="time", select=True, options=[], getOptionLabel=str)
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        times = inp._menu.times
        assert inp._menu.calendar is None and times.item(0).text() == "00:00" and times.count() == 48
        item = times.findItems("14:30", Qt.MatchFlag.MatchExactly)[0]
        qtbot.mouseClick(times.viewport(), Qt.MouseButton.LeftButton, pos=times.visualItemRect(item).center())
        assert inp.value == "14:30" and not inp._popupShowing

        box = render(type="datetime", select=True, options=[], getOptionLabel=str, value="2026-01-02 09:00")
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        picker = inp._menu
        assert picker.calendar.selectedDate() == QDate(2026, 1, 2) and picker.times.currentItem().text() == "09:00"
        picker.calendar.clicked.emit(QDate(2026, 1, 5))
        assert inp.value == "2026-01-05 09:00" and inp._popupShowing  # a day alone does not finish
        picker.times.itemClicked.emit(picker.times.findItems("10:30", Qt.MatchFlag.MatchExactly)[0])
        assert inp.value == "2026-01-05 10:30" and not inp._popupShowing

    def test_picker_follows_the_theme(self, render, qtbot, dark):
        box = render(type="date", select=True, options=[], getOptionLabel=str)
        qtbot.mouseClick(box._input._inputField, Qt.MouseButton.LeftButton)
        assert LIGHT_PALETTE["background"]["paper"] in box._input._menu.styleSheet()
        dark()
        assert DARK_PALETTE["background"]["paper"] in box._input._menu.styleSheet()

    @pytest.mark.parametrize("text, date, time", [
        ("2026-12-08", QDate(2026, 12, 8), None),
        ("07:45", None, "07:45"),
        ("2026-12-08T07:45:00", QDate(2026, 12, 8), "07:45"),
        ("next week", None, None),
        (None, None, None),
    ])
    def test_value_texts_are_read_back(self, text, date, time):
        got_date, got_time = parse_date_time(text)
        assert got_date == date
        assert (got_time.toString("HH:mm") if got_time is not None else None) == time

    def test_deleted_date_input_is_collected(self, qapp):
        box = EntryBox(type="date", select=True, options=[], getOptionLabel=str)
        box.renderUi(RenderContext())
        box._input.select_show_popup()
        ref = weakref.ref(box._input)
        box.deleteLater()
        del box
        flush_deletes(qapp)
        gc.collect()
        assert ref() is None
        set_theme_mode("dark")  # nothing left listening raises
        set_theme_mode("light")
        assert useTheme().mode == "light"
