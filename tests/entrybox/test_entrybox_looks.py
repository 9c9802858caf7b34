"""What the entry box looks like to a user: sizes, text edges, colours in both themes,
texts after a language switch, and the date input's calendar button and picker."""
from __future__ import annotations

import gc
import weakref

import pytest
from PySide6.QtCore import QDate, QPoint, Qt
from PySide6.QtGui import QColor, QIcon, QPalette
from PySide6.QtWidgets import QApplication

from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.component import RenderContext
from vantu.material.entrybox._date_picker import parse_date_time
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.styles import set_theme_mode, useTheme
from vantu.material.styles.palette import DARK_PALETTE, LIGHT_PALETTE
from vantu.vantu_assets import VANTU_ASSETS

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
        assert text_colour(chips[0].label) == QColor(LIGHT_PALETTE["text"]["secondary"])
        dark()
        assert text_colour(chips[0].label) == QColor(DARK_PALETTE["text"]["secondary"])
        box._input.setValue(["Mango"])  # chips made in the dark theme
        chip = box._input._flowWidget.findChildren(Tag)[0]
        assert text_colour(chip.label) == QColor(DARK_PALETTE["text"]["secondary"])

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

    def test_buttons_and_message_row_follow_a_theme_switch(self, render, qtbot, dark):
        box = render(options=[], getOptionLabel=str, select=True)
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert inp._popupShowing
        plain = f"#{inp._menu.objectName()} {{background: white;}}"  # the select mode's own, in every theme
        row = inp._menu._messageRow

        def row_colours() -> tuple[QColor, QColor]:
            return text_colour(row), QColor(row.grab().toImage().pixel(2, 2))

        assert inp._menu.styleSheet() == plain
        assert LIGHT_PALETTE["action"]["hover"] in inp.action_frame.styleSheet()
        assert row.isVisible()
        assert row_colours() == (QColor(LIGHT_PALETTE["text"]["secondary"]), QColor(LIGHT_PALETTE["background"]["paper"]))
        dark()
        assert inp._menu.styleSheet() == plain
        assert DARK_PALETTE["action"]["hover"] in inp.action_frame.styleSheet()
        assert row_colours() == (QColor(DARK_PALETTE["text"]["secondary"]), QColor(DARK_PALETTE["background"]["paper"]))


class TestHover:
    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    def test_the_pointer_recolours_the_frame_on_screen_and_back(self, render, qtbot, variant):
        box = render(label="Fruit", variant=variant, options=["Apple"], getOptionLabel=str, defaultValue="Apple")
        inp, window = box._input, box.window()
        window.move(1200, 0)  # clear of the main window: the pointer goes to the first window under it
        inp._inputField.clearFocus()
        qtbot.waitUntil(lambda: not inp._focused)
        inside = inp._inputField.mapTo(window, inp._inputField.rect().center())
        outside = QPoint(inside.x(), window.height() - 5)

        def on_screen():
            qtbot.wait(30)  # the repaint is posted
            shown = window.screen().grabWindow(window.winId()).toImage()
            drawn = window.grab().toImage()
            # What the screen shows is what a full repaint draws: nothing left stale.
            assert shown.convertToFormat(drawn.format()) == drawn
            return drawn

        qtbot.mouseMove(window, outside)
        away = on_screen()
        qtbot.mouseMove(window, inside)
        assert inp._hovered and inp._btn_clear_text.isVisible()
        assert on_screen() != away
        qtbot.mouseMove(window, outside)
        assert on_screen() == away


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


def click_day(qtbot, picker, day: int) -> None:
    """A real click on ``day`` of the month the picker shows."""
    grid = picker.grid
    month = grid.month
    qtbot.mouseClick(grid, Qt.MouseButton.LeftButton, pos=grid.dayRect(QDate(month.year(), month.month(), day)).center())


class TestDateInput:
    def test_its_own_calendar_button_opens_the_picker(self, render, qtbot):
        picked = []
        box = render(label="Date", type="date", select=True, options=[], getOptionLabel=str,
                     onChange=lambda i: picked.append(i.value))
        inp = box._input
        qtbot.waitUntil(lambda: not inp._btnSelect.icon().isNull())
        # The select mode's arrow stays hidden, with its down arrow; the calendar is the input's own.
        assert inp._btnSelect.isHidden()
        assert inp._btnSelect.icon().pixmap(16).toImage() == QIcon(VANTU_ASSETS.ICONS.ARROW_DOWN).pixmap(16).toImage()
        button = inp._btnCalendar
        assert button.isVisible() and not button.icon().isNull() and button.toolTip() == "Choose date"
        qtbot.mouseClick(button, Qt.MouseButton.LeftButton)
        popup = inp._datePopup
        assert popup.isOpen() and not inp._popupShowing and inp._popup is None
        picker = popup.picker
        today = QDate.currentDate()
        assert picker.shownMonth() == QDate(today.year(), today.month(), 1) and picker.chosenDate() is None
        # Back a month with the chevron, then a year in the year grid.
        qtbot.mouseClick(picker.previousButton, Qt.MouseButton.LeftButton)
        assert picker.shownMonth() == QDate(today.year(), today.month(), 1).addMonths(-1)
        qtbot.mouseClick(picker.yearButton, Qt.MouseButton.LeftButton)
        assert picker.yearsShown() and not picker.previousButton.isVisible()
        year = picker.shownMonth().year() - 1
        qtbot.mouseClick(picker.years, Qt.MouseButton.LeftButton, pos=picker.years.yearRect(year).center())
        assert not picker.yearsShown() and picker.shownMonth().year() == year
        month = picker.shownMonth()
        click_day(qtbot, picker, 14)
        chosen = QDate(month.year(), month.month(), 14).toString("yyyy-MM-dd")
        assert picked == [chosen] and inp._inputField.text() == chosen
        assert not popup.isOpen() and inp._selectedKeys.value == chosen
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        assert popup.isOpen() and picker.chosenDate() == QDate(month.year(), month.month(), 14)  # reopens on it
        assert picker.shownMonth() == month
        qtbot.mouseClick(button, Qt.MouseButton.LeftButton)
        assert not popup.isOpen()

    def test_its_list_offers_this_moment_and_one_popup_is_up_at_a_time(self, render, qtbot):
        box = render(label="Date", type="date", select=True, options=[])
        inp = box._input
        qtbot.mouseClick(inp._btnCalendar, Qt.MouseButton.LeftButton)
        assert inp._datePopup.isOpen()
        # A release on the entry box's padding opens the select mode's list: the picker goes.
        qtbot.mouseClick(inp._frame, Qt.MouseButton.LeftButton, pos=QPoint(6, 8))
        assert inp._popupShowing and not inp._datePopup.isOpen()
        today = QDate.currentDate().toString("yyyy-MM-dd")
        view = inp._menu.listView
        assert [view.model().data(view.model().index(r, 0)) for r in range(view.model().rowCount())] == [today]
        qtbot.mouseClick(inp._btnCalendar, Qt.MouseButton.LeftButton)
        assert inp._datePopup.isOpen() and not inp._popupShowing and not inp._popup.isVisible()
        qtbot.keyClick(inp._inputField, Qt.Key.Key_Escape)
        assert not inp._datePopup.isOpen()
        qtbot.mouseClick(inp._frame, Qt.MouseButton.LeftButton, pos=QPoint(6, 8))
        qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=view.visualRect(view.model().index(0, 0)).center())
        assert inp.value == today and inp._inputField.text() == today and not inp._popupShowing

    def test_time_and_date_time_inputs(self, render, qtbot):
        box = render(type="time", select=True, options=[], getOptionLabel=str)
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        times = inp._datePopup.picker.times
        assert inp._datePopup.picker.grid is None and times.item(0).text() == "00:00" and times.count() == 48
        assert inp._btnCalendar.toolTip() == "Choose time"
        item = times.findItems("14:30", Qt.MatchFlag.MatchExactly)[0]
        qtbot.mouseClick(times.viewport(), Qt.MouseButton.LeftButton, pos=times.visualItemRect(item).center())
        assert inp.value == "14:30" and not inp._datePopup.isOpen()

        box = render(type="datetime", select=True, options=[], getOptionLabel=str, value="2026-01-02 09:00")
        inp = box._input
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        picker = inp._datePopup.picker
        assert picker.chosenDate() == QDate(2026, 1, 2) and picker.times.currentItem().text() == "09:00"
        assert picker.headline.text() == "Fri, January 2, 09:00"
        click_day(qtbot, picker, 5)
        assert inp.value == "2026-01-05 09:00" and inp._datePopup.isOpen()  # a day alone does not finish
        item = picker.times.findItems("10:30", Qt.MatchFlag.MatchExactly)[0]
        picker.times.scrollToItem(item)
        qtbot.mouseClick(picker.times.viewport(), Qt.MouseButton.LeftButton, pos=picker.times.visualItemRect(item).center())
        assert inp.value == "2026-01-05 10:30" and not inp._datePopup.isOpen()

    def test_picker_follows_the_theme_and_the_language(self, render, qtbot, dark):
        box = render(type="date", value="2026-08-17")
        qtbot.mouseClick(box._input._btnCalendar, Qt.MouseButton.LeftButton)
        popup = box._input._datePopup
        picker = popup.picker

        def surface() -> QColor:
            return popup.grab().toImage().pixelColor(popup.width() // 2, 8)

        def chosen_fill() -> QColor:
            return picker.grid.grab().toImage().pixelColor(picker.grid.dayRect(QDate(2026, 8, 17)).center() + QPoint(0, 12))

        assert surface() == QColor(LIGHT_PALETTE["background"]["paper"])
        assert chosen_fill() == QColor(LIGHT_PALETTE["primary"]["main"])
        assert (picker.headline.text(), picker.yearButton.text()) == ("Mon, August 17", "August 2026")
        dark()
        set_language("vi")
        try:
            assert surface() == QColor(DARK_PALETTE["background"]["paper"])
            assert chosen_fill() == QColor(DARK_PALETTE["primary"]["main"])
            assert (picker.headline.text(), picker.yearButton.text()) == ("T2, 17 Tháng 8", "Tháng 8 năm 2026")
            assert picker.grid.firstDay().dayOfWeek() == 1  # Vietnamese weeks start on Monday
        finally:
            set_language("en")
        assert picker.grid.firstDay().dayOfWeek() == 7

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
        box.show()
        box._input.date_open_picker()
        assert box._input._datePopup.isOpen()
        ref = weakref.ref(box._input)
        box.deleteLater()
        del box
        flush_deletes(qapp)
        gc.collect()
        assert ref() is None
        set_theme_mode("dark")  # nothing left listening raises
        set_theme_mode("light")
        assert useTheme().mode == "light"


def ink_span(widget, box) -> tuple[int, int]:
    """Left-most and right-most columns of dark pixels of ``widget``, in ``box`` coordinates."""
    image = box.grab().toImage()
    top = widget.mapTo(box, QPoint(0, 0))
    columns = [x for x in range(top.x(), top.x() + widget.width())
               if any(QColor(image.pixel(x, y)).lightness() < 140 for y in range(top.y() + 2, top.y() + widget.height() - 2))]
    assert columns, f"no text drawn in {widget.objectName() or widget}"
    return columns[0], columns[-1]


def right_to_left(box) -> None:
    box.window().setLayoutDirection(Qt.LayoutDirection.RightToLeft)
    for _ in range(3):  # the boxes are laid out again on the next turn
        QApplication.processEvents()


class TestRightToLeft:
    def test_a_select_mirrors_buttons_texts_label_and_popup(self, render, qtbot):
        box = render(label="Country", select=True, options=["Vietnam", "Japan"], getOptionLabel=str, value="Japan",
                     helperText="Where you live")
        inp = box._input
        starts = [ink_span(widget, box)[0] for widget in (inp._inputField, box._helperLabel)]
        right_to_left(box)
        frame = inp._frame.geometry()
        # The arrow is centred 10 px in from the start (left) edge.
        arrow = inp._btnSelect.geometry().translated(inp.action_frame.pos())
        assert arrow.center().x() in (frame.left() + 9, frame.left() + 10)
        assert inp._inputField.textMargins().left() == 54 and inp._inputField.textMargins().right() == 0
        # Value and helper text end as far in from the right as they start from the left when
        # left to right, give or take the letters' bearings and the room QLineEdit keeps for its
        # cursor at the end of right-aligned text.
        for widget, start in zip((inp._inputField, box._helperLabel), starts):
            assert abs(box.width() - 1 - ink_span(widget, box)[1] - start) <= 6, widget
        assert inp._titleLabel.geometry().right() == inp.width() - 1 - 10
        qtbot.mouseClick(inp._inputField, Qt.MouseButton.LeftButton)
        qtbot.waitUntil(lambda: inp._popupShowing)
        menu = inp._menu
        assert inp._popup.layoutDirection() == Qt.LayoutDirection.RightToLeft
        assert menu.mapToGlobal(QPoint(menu.width(), 0)).x() == inp.mapToGlobal(QPoint(inp.width(), 0)).x()

    def test_chips_flow_from_the_right_clear_of_the_buttons(self, render):
        box = render(label="Fruits", select=True, multiple=True, renderTags=True, options=["Fig", "Kiwi"],
                     getOptionLabel=str, value=["Fig", "Kiwi"])
        inp = box._input
        right_to_left(box)
        assert inp._inputField.layout().contentsMargins().left() == 54
        first, second = (chip for chip in inp._flowWidget.findChildren(Tag) if chip.text() in ("Fig", "Kiwi"))
        flow = inp._flowWidget
        assert first.geometry().right() == flow.width() - 1 and second.geometry().right() == first.x() - 9
        # The chip itself mirrored: 12 px before its label on the right, its icon 8 px in from the left.
        assert first.deleteButton.x() == 8 and first.label.geometry().right() == first.width() - 1 - 12
        assert inp.action_frame.geometry().right() < inp._inputField.mapTo(inp, flow.geometry().topLeft()).x() + 54 + 2

    def test_switching_back_restores_every_box(self, render):
        box = render(label="Name", value="Lan", helperText="Help")
        inp = box._input
        before = (inp._frame.contentsRect(), box._helperLabel.contentsRect(), ink_span(inp._inputField, box))
        right_to_left(box)
        assert inp._frame.contentsRect() != before[0]  # the start padding moved to the right
        box.window().setLayoutDirection(Qt.LayoutDirection.LeftToRight)
        for _ in range(3):
            QApplication.processEvents()
        assert (inp._frame.contentsRect(), box._helperLabel.contentsRect(), ink_span(inp._inputField, box)) == before


class TestLongText:
    VALUE = "12 Nguyen Thi Minh Khai Street, District 1, Ho Chi Minh City, Vietnam"
    LABEL = "The name of the organisation you work for, written out in full"

    @pytest.mark.parametrize("direction", [Qt.LayoutDirection.LeftToRight, Qt.LayoutDirection.RightToLeft])
    def test_value_and_label_are_elided_with_their_full_text_as_tooltip(self, render, qtbot, direction):
        changes = []
        box = render(label=self.LABEL, value=self.VALUE, onChange=lambda i: changes.append(i.value))
        box.window().setLayoutDirection(direction)
        inp, edit = box._input, box._input._inputField
        box.window().setFocus()
        qtbot.waitUntil(lambda: not inp._focused)
        box.grab()  # drawn elided
        assert edit.toolTip() == self.VALUE and inp.toolTip() == self.LABEL
        assert inp._titleLabel.text() == self.LABEL and inp._titleLabel.geometry().right() < inp.width()
        # Being edited: the field shows the value itself, scrolled as Qt scrolls it.
        edit.setFocus()
        qtbot.waitUntil(lambda: inp._focused)
        box.grab()
        assert edit.toolTip() == "" and edit.text() == inp.value == self.VALUE and changes == []
        qtbot.keyClick(edit, Qt.Key.Key_End)
        qtbot.keyClicks(edit, "!")
        assert inp.value == self.VALUE + "!"

    def test_short_texts_have_no_tooltip(self, render):
        box = render(label="Name", value="Lan")
        box.window().setFocus()
        QApplication.processEvents()
        assert box._input._inputField.toolTip() == "" and box._input.toolTip() == ""
