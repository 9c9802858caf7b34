"""The date and time picker of a date or time input: ``DatePicker`` (a Material date picker and,
for times, a column of times) and ``DatePickerPopup`` (the frameless window that holds it under
the input, opened with ``popup`` and closed with ``dismiss``).

"date" gets the date picker: a header with the date, the month's grid of 40 px day cells (today
outlined, the chosen day filled), the previous and next month, and a grid of years. "time" gets a
column of times every half hour, "datetime" both side by side. The picker reports a pick as text
("2026-12-08", "14:30", "2026-12-08 14:30"), the form the input stores as its value. Its words
(months, weekdays, header) come from the library's catalogue, so they follow ``set_language``.

The picker never takes the keyboard: the input keeps it and hands the picker its keys
(``handleKey``).
"""
from __future__ import annotations

import re
from typing import Any

from PySide6.QtCore import QDate, QDateTime, QEvent, QObject, QPoint, QPointF, QRect, QRectF, QSize, QTime, Qt, Signal
from PySide6.QtGui import QAccessible, QAccessibleEvent, QColor, QFont, QFontMetrics, QPainter, QPainterPath, QPen
from PySide6.QtWidgets import (
    QAbstractButton, QApplication, QFrame, QHBoxLayout, QLabel, QListWidget, QScrollArea, QSizePolicy,
    QStackedWidget, QVBoxLayout, QWidget,
)

from vantu.i18n.use_translation import i18n, translate
from vantu.material.styles import useTheme

__all__ = ["DatePicker", "DatePickerPopup", "DATETIME_TYPES", "DATE_FORMAT", "TIME_FORMAT", "now_text",
           "parse_date_time", "typed_value", "looks_complete", "CELL", "YEAR_RANGE"]

DATETIME_TYPES: tuple[str, ...] = ("date", "time", "datetime")
"""Values of an input's ``type`` that make it a date or time input."""

DATE_FORMAT = "yyyy-MM-dd"
TIME_FORMAT = "HH:mm"
TIME_STEP_MINUTES = 30

CELL = 40
"""Side of a day cell (logical pixels, so it scales with the screen)."""
GRID_INSET = 12
"""Room between the surface's edges and the grid."""
YEAR_CELL = QSize(88, 52)
YEAR_PILL = QSize(72, 36)
YEAR_RANGE = (1900, 2100)
"""Years the picker offers (a value outside widens the range to it)."""
TIME_ROW = 36
TIMES_WIDTH = 88
RADIUS = 16
SHADOW_MARGIN = 9
"""Transparent room right of and under the surface for its shadow, as the option list keeps."""

MONTHS = ("January", "February", "March", "April", "May", "June", "July", "August", "September",
          "October", "November", "December")
WEEKDAYS = ("Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday")
WEEKDAYS_SHORT = ("Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun")
FIRST_WEEKDAY = {"vi": 1}
"""First column of the month grid per language (Qt's day numbers: 1 Monday ... 7 Sunday); Sunday
for the others."""

_DATE_SHAPE = re.compile(r"^\d{4}-\d{1,2}-\d{1,2}$")
_TIME_SHAPE = re.compile(r"^\d{1,2}:\d{2}$")


def parse_date_time(text: Any) -> tuple[QDate | None, QTime | None]:
    """The date and time found in a value text; ``None`` for a part it does not hold."""
    if not isinstance(text, str):
        return None, None
    date = time = None
    for part in text.strip().replace("T", " ").split():
        d = QDate.fromString(part, DATE_FORMAT)
        if d.isValid():
            date = d
            continue
        t = QTime.fromString(part[:5], TIME_FORMAT)
        if t.isValid():
            time = t
    return date, time


def _parts(text: str) -> list[str]:
    return text.strip().replace("T", " ").split()


def typed_value(text: Any, kind: str) -> str | None:
    """The value text for what a user typed ("2024-2-5" gives "2024-02-05"), or ``None`` when it
    names no date or time that exists ("2024-13-45", "25:00", half-typed text)."""
    if not isinstance(text, str):
        return None
    parts = _parts(text)
    want = {"date": 1, "time": 1}.get(kind, 2)
    if len(parts) != want:
        return None
    date = time = None
    if kind != "time":
        if not _DATE_SHAPE.match(parts[0]):
            return None
        date = QDate.fromString(parts[0], "yyyy-M-d")
        if not date.isValid():
            return None
    if kind != "date":
        if not _TIME_SHAPE.match(parts[-1]):
            return None
        time = QTime.fromString(parts[-1], "H:mm")
        if not time.isValid():
            return None
    if kind == "date":
        return date.toString(DATE_FORMAT)
    if kind == "time":
        return time.toString(TIME_FORMAT)
    return f"{date.toString(DATE_FORMAT)} {time.toString(TIME_FORMAT)}"


def looks_complete(text: Any, kind: str) -> bool:
    """Whether ``text`` has the whole shape of a value of ``kind``: a complete text that
    ``typed_value`` refuses names a date or time that does not exist."""
    if not isinstance(text, str):
        return False
    parts = _parts(text)
    if kind == "date":
        return len(parts) == 1 and bool(_DATE_SHAPE.match(parts[0]))
    if kind == "time":
        return len(parts) == 1 and bool(_TIME_SHAPE.match(parts[0]))
    return len(parts) == 2 and bool(_DATE_SHAPE.match(parts[0])) and bool(_TIME_SHAPE.match(parts[1]))


def now_text(kind: str) -> str:
    """The value text of this moment for ``kind``: today, the time to the minute, or both."""
    now = QDateTime.currentDateTime()
    date, time = now.date().toString(DATE_FORMAT), now.time().toString(TIME_FORMAT)
    return {"date": date, "time": time}.get(kind, f"{date} {time}")


def first_weekday() -> int:
    return FIRST_WEEKDAY.get(i18n.lang, 7)


def month_title(date: QDate) -> str:
    """"August 2026" in the library's language."""
    return translate("{month} {year}").format(month=translate(MONTHS[date.month() - 1]), year=date.year())


def headline(date: QDate) -> str:
    """"Mon, August 17" in the library's language."""
    return translate("{weekday}, {month} {day}").format(
        weekday=translate(WEEKDAYS_SHORT[date.dayOfWeek() - 1]), month=translate(MONTHS[date.month() - 1]),
        day=date.day())


def spoken_date(date: QDate) -> str:
    """"Monday, August 17, 2026": what assistive technology says for a day."""
    return translate("{weekday}, {month} {day}, {year}").format(
        weekday=translate(WEEKDAYS[date.dayOfWeek() - 1]), month=translate(MONTHS[date.month() - 1]),
        day=date.day(), year=date.year())


def _font(pixels: int, weight: QFont.Weight = QFont.Weight.Normal) -> QFont:
    font = QFont(QApplication.font())
    font.setFamilies([useTheme().typography.get("fontFamily", "Roboto"), *QApplication.font().families()])
    font.setPixelSize(pixels)
    font.setWeight(weight)
    return font


class _Colours:
    """The theme's colours the picker paints with, read once per theme switch."""

    def __init__(self) -> None:
        theme = useTheme()
        p = theme.palette
        self.mode = theme.mode
        self.surface = QColor(p["background"]["paper"])
        self.outline = QColor(p["divider"])
        self.text = QColor(p["text"]["primary"])
        self.variant = QColor(p["text"]["secondary"])
        self.primary = QColor(theme.resolve_color("primary"))
        self.on_primary = QColor(theme.contrast_text("primary"))
        self.hover = QColor(p["action"]["hover"])
        self.focus = QColor(p["action"]["focus"])


def _circle(painter: QPainter, centre: QPointF, radius: float) -> None:
    painter.drawEllipse(centre, radius, radius)


class _Cells(QWidget):
    """What the day and year grids share: hover, a keyboard mark, and the marks' painting."""

    def __init__(self) -> None:
        super().__init__()
        self.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.setMouseTracking(True)
        self.colours = _Colours()
        self.keyboard = False  # the keyboard's mark shows once keys are in use
        self._hover: Any = None

    def _at(self, pos: QPoint) -> Any:
        raise NotImplementedError

    def mouseMoveEvent(self, event) -> None:
        hover = self._at(event.position().toPoint())
        if hover != self._hover:
            self._hover = hover
            self.update()

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        self._hover = None
        self.update()

    def _paint_mark(self, painter: QPainter, shape: QRectF, text: str, *, chosen: bool, current: bool,
                    hovered: bool, focused: bool, font: QFont) -> None:
        c = self.colours
        radius = min(shape.width(), shape.height()) / 2
        painter.setPen(Qt.PenStyle.NoPen)
        if chosen:
            painter.setBrush(c.primary)
            painter.drawRoundedRect(shape, radius, radius)
        if hovered or focused:
            painter.setBrush(c.focus if focused else c.hover)
            painter.drawRoundedRect(shape, radius, radius)
        if current and not chosen:
            painter.setBrush(Qt.BrushStyle.NoBrush)
            painter.setPen(QPen(c.primary, 1))
            painter.drawRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5)
        if focused:
            painter.setBrush(Qt.BrushStyle.NoBrush)
            painter.setPen(QPen(c.on_primary if chosen else c.text, 2))
            painter.drawRoundedRect(shape.adjusted(2, 2, -2, -2), radius - 2, radius - 2)
        painter.setPen(c.on_primary if chosen else (c.primary if current else c.text))
        painter.setFont(font)
        painter.drawText(shape, Qt.AlignmentFlag.AlignCenter, text)


class _MonthGrid(_Cells):
    """The weekday names and the month's days, 40 px each; ``dayClicked(date)`` on a click."""

    dayClicked = Signal(QDate)

    def __init__(self) -> None:
        super().__init__()
        self.setObjectName("DatePickerDays")
        self.setFixedSize(7 * CELL, 7 * CELL)
        today = QDate.currentDate()
        self.month = QDate(today.year(), today.month(), 1)
        self.chosen: QDate | None = None
        self.focus = today

    def firstDay(self) -> QDate:
        """The day in the grid's first cell (it may belong to the month before)."""
        back = (self.month.dayOfWeek() - first_weekday()) % 7
        return self.month.addDays(-back)

    def _column_x(self, column: int) -> int:
        if self.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            column = 6 - column
        return column * CELL

    def dayRect(self, date: QDate) -> QRect:
        """The cell of ``date`` in this month's grid (an empty rectangle for another month)."""
        if date.year() != self.month.year() or date.month() != self.month.month():
            return QRect()
        offset = self.firstDay().daysTo(date)
        return QRect(self._column_x(offset % 7), (1 + offset // 7) * CELL, CELL, CELL)

    def _at(self, pos: QPoint) -> QDate | None:
        row, x = pos.y() // CELL, pos.x()
        if row < 1 or row > 6 or not 0 <= x < 7 * CELL or pos.y() < 0:
            return None
        column = x // CELL
        if self.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            column = 6 - column
        date = self.firstDay().addDays((row - 1) * 7 + column)
        return date if date.month() == self.month.month() else None

    def mouseReleaseEvent(self, event) -> None:
        if event.button() == Qt.MouseButton.LeftButton:
            date = self._at(event.position().toPoint())
            if date is not None:
                self.dayClicked.emit(date)

    def paintEvent(self, event) -> None:
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        c = self.colours
        painter.setFont(_font(13, QFont.Weight.Medium))
        painter.setPen(c.text)
        for column in range(7):
            day = (first_weekday() - 1 + column) % 7
            painter.drawText(QRect(self._column_x(column), 0, CELL, CELL), Qt.AlignmentFlag.AlignCenter,
                             translate(WEEKDAYS_SHORT[day]))
        today = QDate.currentDate()
        font = _font(14)
        date = self.month
        while date.month() == self.month.month():
            cell = QRectF(self.dayRect(date))
            self._paint_mark(painter, cell, str(date.day()), chosen=date == self.chosen, current=date == today,
                             hovered=date == self._hover, focused=self.keyboard and date == self.focus, font=font)
            date = date.addDays(1)
        painter.end()


class _YearGrid(_Cells):
    """Years in three columns; ``yearClicked(year)`` on a click."""

    yearClicked = Signal(int)

    def __init__(self) -> None:
        super().__init__()
        self.setObjectName("DatePickerYears")
        self.first, self.last = YEAR_RANGE
        self.chosen: int | None = None
        self.focus = QDate.currentDate().year()
        self._resize()

    def setRange(self, first: int, last: int) -> None:
        if (first, last) != (self.first, self.last):
            self.first, self.last = first, last
            self._resize()

    def _resize(self) -> None:
        rows = (self.last - self.first) // 3 + 1
        self.setFixedSize(3 * YEAR_CELL.width(), rows * YEAR_CELL.height())

    def yearRect(self, year: int) -> QRect:
        index = year - self.first
        column = index % 3
        if self.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            column = 2 - column
        return QRect(column * YEAR_CELL.width(), index // 3 * YEAR_CELL.height(), YEAR_CELL.width(),
                     YEAR_CELL.height())

    def _at(self, pos: QPoint) -> int | None:
        if pos.x() < 0 or pos.y() < 0 or pos.x() >= self.width():
            return None
        column = pos.x() // YEAR_CELL.width()
        if self.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            column = 2 - column
        year = self.first + pos.y() // YEAR_CELL.height() * 3 + column
        return year if self.first <= year <= self.last else None

    def mouseReleaseEvent(self, event) -> None:
        if event.button() == Qt.MouseButton.LeftButton:
            year = self._at(event.position().toPoint())
            if year is not None:
                self.yearClicked.emit(year)

    def paintEvent(self, event) -> None:
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        font = _font(14)
        current = QDate.currentDate().year()
        clip = event.rect()
        for year in range(self.first, self.last + 1):
            cell = self.yearRect(year)
            if not cell.intersects(clip):
                continue
            pill = QRectF(0, 0, YEAR_PILL.width(), YEAR_PILL.height())
            pill.moveCenter(QRectF(cell).center())
            self._paint_mark(painter, pill, str(year), chosen=year == self.chosen, current=year == current,
                             hovered=year == self._hover, focused=self.keyboard and year == self.focus, font=font)
        painter.end()


class _IconButton(QAbstractButton):
    """A 40 px round icon button painted in the theme: a chevron pointing back or on."""

    def __init__(self, forward: bool, name: str) -> None:
        super().__init__()
        self.setObjectName(name)
        self.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.setCursor(Qt.CursorShape.PointingHandCursor)
        self.setAttribute(Qt.WidgetAttribute.WA_Hover)  # repainted as the pointer comes and goes
        self.setFixedSize(CELL, CELL)
        self.forward = forward
        self.colours = _Colours()

    def paintEvent(self, event) -> None:
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        c = self.colours
        if self.isDown() or self.underMouse():
            painter.setPen(Qt.PenStyle.NoPen)
            painter.setBrush(c.focus if self.isDown() else c.hover)
            _circle(painter, QPointF(CELL / 2, CELL / 2), CELL / 2)
        forward = self.forward != (self.layoutDirection() == Qt.LayoutDirection.RightToLeft)
        sign = 1 if forward else -1
        pen = QPen(c.variant, 2)
        pen.setCapStyle(Qt.PenCapStyle.RoundCap)
        pen.setJoinStyle(Qt.PenJoinStyle.RoundJoin)
        painter.setPen(pen)
        mid = CELL / 2
        path = QPainterPath(QPointF(mid - 2.5 * sign, mid - 6))
        path.lineTo(QPointF(mid + 3.5 * sign, mid))
        path.lineTo(QPointF(mid - 2.5 * sign, mid + 6))
        painter.drawPath(path)
        painter.end()


class _MonthYearButton(QAbstractButton):
    """"August 2026 ▾": switches between the days and the years."""

    def __init__(self) -> None:
        super().__init__()
        self.setObjectName("DatePickerYearButton")
        self.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.setCursor(Qt.CursorShape.PointingHandCursor)
        self.setAttribute(Qt.WidgetAttribute.WA_Hover)  # repainted as the pointer comes and goes
        self.setFixedHeight(CELL)
        self.open = False
        self.colours = _Colours()

    def sizeHint(self) -> QSize:
        # The text, then room for the triangle (26 px) at the end.
        return QSize(12 + QFontMetrics(_font(14, QFont.Weight.Medium)).horizontalAdvance(self.text()) + 26, CELL)

    def paintEvent(self, event) -> None:
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        c = self.colours
        rect = QRectF(self.rect())
        if self.isDown() or self.underMouse():
            painter.setPen(Qt.PenStyle.NoPen)
            painter.setBrush(c.focus if self.isDown() else c.hover)
            painter.drawRoundedRect(rect, CELL / 2, CELL / 2)
        rtl = self.layoutDirection() == Qt.LayoutDirection.RightToLeft
        painter.setFont(_font(14, QFont.Weight.Medium))
        painter.setPen(c.variant)
        text = rect.adjusted(12, 0, -26, 0) if not rtl else rect.adjusted(26, 0, -12, 0)
        align = (Qt.AlignmentFlag.AlignRight if rtl else Qt.AlignmentFlag.AlignLeft) | Qt.AlignmentFlag.AlignVCenter
        painter.drawText(text, align, self.text())
        # The small triangle: down while the days show, up while the years do.
        x = rect.left() + 13 if rtl else rect.right() - 13
        y = rect.center().y()
        path = QPainterPath()
        if self.open:
            path.moveTo(x - 5, y + 2.5)
            path.lineTo(x + 5, y + 2.5)
            path.lineTo(x, y - 2.5)
        else:
            path.moveTo(x - 5, y - 2.5)
            path.lineTo(x + 5, y - 2.5)
            path.lineTo(x, y + 2.5)
        path.closeSubpath()
        painter.setPen(Qt.PenStyle.NoPen)
        painter.setBrush(c.variant)
        painter.drawPath(path)
        painter.end()


class DatePicker(QFrame):
    """Material date picker and/or time column for ``kind`` ("date", "time" or "datetime").

    Args:
        kind: which parts to show.
        value: the current value text; its date is chosen and its time selected.

    ``picked(text, done)`` reports a pick: the value text, and whether the pick is complete
    (a date-and-time pick is complete once a time is picked; the popup stays open after a
    day is picked).
    """

    picked = Signal(str, bool)

    def __init__(self, kind: str = "date", value: Any = None) -> None:
        super().__init__()
        self.setObjectName("EntryBoxDatePicker")
        self.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.setSizePolicy(QSizePolicy.Policy.Fixed, QSizePolicy.Policy.Fixed)
        self._kind = kind
        self._zone = "times" if kind == "time" else "days"
        self._date: QDate | None = None
        outer = QVBoxLayout(self)
        outer.setContentsMargins(0, 0, 0, 0)
        outer.setSpacing(0)

        header = QWidget()
        header.setObjectName("DatePickerHeader")
        column = QVBoxLayout(header)
        column.setContentsMargins(24, 16, 12, 12)
        column.setSpacing(4)
        self.supporting = QLabel()
        self.supporting.setObjectName("DatePickerSupporting")
        self.headline = QLabel()
        self.headline.setObjectName("DatePickerHeadline")
        column.addWidget(self.supporting)
        column.addWidget(self.headline)
        outer.addWidget(header)
        self.divider = QFrame()
        self.divider.setObjectName("DatePickerDivider")
        self.divider.setFixedHeight(1)
        outer.addWidget(self.divider)

        self.grid: _MonthGrid | None = None
        self.years: _YearGrid | None = None
        self.yearScroll: QScrollArea | None = None
        self.yearButton: _MonthYearButton | None = None
        self.previousButton: _IconButton | None = None
        self.nextButton: _IconButton | None = None
        self.pages: QStackedWidget | None = None
        self.times: QListWidget | None = None
        body = QHBoxLayout()
        body.setContentsMargins(GRID_INSET, 4 if kind != "time" else 8, GRID_INSET, GRID_INSET)
        body.setSpacing(8)
        if kind in ("date", "datetime"):
            body.addLayout(self._build_calendar())
        if kind in ("time", "datetime"):
            self.times = QListWidget()
            self.times.setObjectName("EntryBoxTimes")
            self.times.setFocusPolicy(Qt.FocusPolicy.NoFocus)
            self.times.setHorizontalScrollBarPolicy(Qt.ScrollBarPolicy.ScrollBarAlwaysOff)
            self.times.setUniformItemSizes(True)
            if kind == "datetime":
                self.times.setFixedSize(TIMES_WIDTH, 8 * CELL)
            else:
                self.times.setFixedSize(7 * CELL - 80, 6 * CELL)
            for minutes in range(0, 24 * 60, TIME_STEP_MINUTES):
                self.times.addItem(QTime(minutes // 60, minutes % 60).toString(TIME_FORMAT))
            for row in range(self.times.count()):
                self.times.item(row).setSizeHint(QSize(0, TIME_ROW))
            self.times.itemClicked.connect(self._handle_time_clicked)
            body.addWidget(self.times, 0, Qt.AlignmentFlag.AlignTop)
        outer.addLayout(body)
        i18n.langChanged.connect(self.retranslate)
        self.setValue(value)
        self.retranslate()
        self.applyTheme()

    def _build_calendar(self) -> QVBoxLayout:
        column = QVBoxLayout()
        column.setContentsMargins(0, 0, 0, 0)
        column.setSpacing(0)
        nav = QHBoxLayout()
        nav.setContentsMargins(0, 4, 0, 4)
        nav.setSpacing(0)
        self.yearButton = _MonthYearButton()
        self.yearButton.clicked.connect(self.toggleYears)
        self.previousButton = _IconButton(False, "DatePickerPrevious")
        self.previousButton.clicked.connect(self.showPreviousMonth)
        self.nextButton = _IconButton(True, "DatePickerNext")
        self.nextButton.clicked.connect(self.showNextMonth)
        nav.addWidget(self.yearButton)
        nav.addStretch(1)
        nav.addWidget(self.previousButton)
        nav.addWidget(self.nextButton)
        column.addLayout(nav)
        self.grid = _MonthGrid()
        self.grid.dayClicked.connect(self._handle_day_clicked)
        self.years = _YearGrid()
        self.years.yearClicked.connect(self._handle_year_clicked)
        self.yearScroll = QScrollArea()
        self.yearScroll.setObjectName("DatePickerYearScroll")
        self.yearScroll.setFrameShape(QFrame.Shape.NoFrame)
        self.yearScroll.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.yearScroll.setHorizontalScrollBarPolicy(Qt.ScrollBarPolicy.ScrollBarAlwaysOff)
        self.yearScroll.setWidget(self.years)
        # The surface shows through (a scroll area fills its widget and viewport by default).
        self.yearScroll.viewport().setAutoFillBackground(False)
        self.years.setAutoFillBackground(False)
        self.yearScroll.setAlignment(Qt.AlignmentFlag.AlignHCenter)
        self.yearScroll.setFixedSize(7 * CELL, 7 * CELL)
        self.pages = QStackedWidget()
        self.pages.setObjectName("DatePickerPages")
        self.pages.addWidget(self.grid)
        self.pages.addWidget(self.yearScroll)
        self.pages.setFixedSize(7 * CELL, 7 * CELL)
        column.addWidget(self.pages)
        return column

    # -- state -------------------------------------------------------------------------------

    def kind(self) -> str:
        return self._kind

    def chosenDate(self) -> QDate | None:
        return self._date

    def focusDate(self) -> QDate | None:
        """The day the keyboard is on (and Enter picks)."""
        return self.grid.focus if self.grid is not None else None

    def shownMonth(self) -> QDate | None:
        return self.grid.month if self.grid is not None else None

    def yearsShown(self) -> bool:
        return self.pages is not None and self.pages.currentWidget() is self.yearScroll

    def zone(self) -> str:
        """Where the keys go: "days", "years" or "times"."""
        return "years" if self.yearsShown() else self._zone

    def setValue(self, value: Any, keyboard: bool = False) -> None:
        """Marks the date and time of ``value`` (a value text, or ``None`` for nothing chosen); the
        keyboard starts on its day, or today. With ``keyboard`` the keyboard's mark shows at once."""
        date, time = parse_date_time(value)
        self._date = date
        self._zone = "times" if self._kind == "time" else "days"
        if self.grid is not None:
            self.grid.chosen = date
            self.grid.keyboard = self.years.keyboard = keyboard
            self.pages.setCurrentWidget(self.grid)
            self.yearButton.open = False
            self._move_focus(date or QDate.currentDate())
        if self.times is not None:
            self.times.clearSelection()
            self.times.setCurrentRow(-1)
            if time is not None:
                row = (time.hour() * 60 + time.minute()) // TIME_STEP_MINUTES
                self.times.setCurrentRow(row)
                self.times.scrollToItem(self.times.item(row), QListWidget.ScrollHint.PositionAtCenter)
            else:
                self.times.scrollToItem(self.times.item(16), QListWidget.ScrollHint.PositionAtTop)  # 08:00
        self._update_texts()

    def _bounds(self) -> tuple[int, int]:
        """First and last year on offer: the picker's range, widened to the chosen date."""
        first, last = YEAR_RANGE
        if self._date is not None:
            first, last = min(first, self._date.year()), max(last, self._date.year())
        return first, last

    def _move_focus(self, date: QDate) -> None:
        first, last = self._bounds()
        if date.year() < first:
            date = QDate(first, 1, 1)
        elif date.year() > last:
            date = QDate(last, 12, 31)
        grid = self.grid
        self.years.setRange(first, last)
        grid.focus = date
        month = QDate(date.year(), date.month(), 1)
        if month != grid.month:
            grid.month = month
        grid.setAccessibleName(spoken_date(date))
        grid.update()
        self._update_texts()
        QAccessible.updateAccessibility(QAccessibleEvent(grid, QAccessible.Event.NameChanged))

    def showPreviousMonth(self) -> None:
        self._step_month(-1)

    def showNextMonth(self) -> None:
        self._step_month(1)

    def _step_month(self, months: int) -> None:
        focus = self.grid.focus.addMonths(months)
        self._move_focus(focus)

    def toggleYears(self) -> None:
        """Shows the years instead of the days, or the days again."""
        if self.pages is None:
            return
        if self.yearsShown():
            self.pages.setCurrentWidget(self.grid)
        else:
            self.years.chosen = self._date.year() if self._date is not None else None
            self.years.focus = self.grid.focus.year()
            self.pages.setCurrentWidget(self.yearScroll)
            self._scroll_to_year(self.years.focus, centre=True)
        self.yearButton.open = self.yearsShown()
        self.previousButton.setVisible(not self.yearsShown())
        self.nextButton.setVisible(not self.yearsShown())
        self.yearButton.update()

    def _scroll_to_year(self, year: int, centre: bool = False) -> None:
        rect = self.years.yearRect(year)
        # Mid-view on opening, else just enough to show it (while arrows move).
        margin = self.yearScroll.height() // 2 if centre else YEAR_CELL.height()
        self.yearScroll.ensureVisible(rect.center().x(), rect.center().y(), 0, margin)
        self.years.update()

    def _handle_year_clicked(self, year: int) -> None:
        focus = self.grid.focus
        day = min(focus.day(), QDate(year, focus.month(), 1).daysInMonth())
        self.toggleYears()
        self._move_focus(QDate(year, focus.month(), day))

    def _handle_day_clicked(self, date: QDate) -> None:
        self._pick_day(date)

    def _pick_day(self, date: QDate) -> None:
        self._date = date
        self.grid.chosen = date
        self._move_focus(date)
        if self._kind == "datetime":
            self._zone = "times"
            if self.times.currentRow() < 0:
                self.times.setCurrentRow(16)  # 08:00, a working morning
        self.picked.emit(self._value_text(date, self._current_time()), self._kind == "date")

    # -- keys --------------------------------------------------------------------------------

    def handleKey(self, event: Any) -> bool:
        """Uses a key pressed in the input while the picker is up; False when it is not the
        picker's (the input then handles it). Arrows move by day, Page Up/Down by month (with
        Shift by year), Home/End go to the month's ends, Enter picks; in the years, arrows move
        by year and Enter or Escape goes back to the days; in the times, Up/Down move and Enter
        picks."""
        key = event.key()
        zone = self.zone()
        if zone == "times":
            return self._time_key(key)
        rtl = self.layoutDirection() == Qt.LayoutDirection.RightToLeft
        left, right = (1, -1) if rtl else (-1, 1)
        if zone == "years":
            steps = {Qt.Key.Key_Left: left, Qt.Key.Key_Right: right, Qt.Key.Key_Up: -3, Qt.Key.Key_Down: 3,
                     Qt.Key.Key_PageUp: -12, Qt.Key.Key_PageDown: 12}
            if key in steps:
                years = self.years
                years.keyboard = True
                years.focus = max(years.first, min(years.last, years.focus + steps[key]))
                self._scroll_to_year(years.focus)
                return True
            if key in (Qt.Key.Key_Return, Qt.Key.Key_Enter):
                self._handle_year_clicked(self.years.focus)
                self.grid.keyboard = True
                return True
            if key == Qt.Key.Key_Escape:
                self.toggleYears()
                return True
            return False
        focus = self.grid.focus
        shift = bool(event.modifiers() & Qt.KeyboardModifier.ShiftModifier)
        target = None
        if key == Qt.Key.Key_Left:
            target = focus.addDays(left)
        elif key == Qt.Key.Key_Right:
            target = focus.addDays(right)
        elif key == Qt.Key.Key_Up:
            target = focus.addDays(-7)
        elif key == Qt.Key.Key_Down:
            target = focus.addDays(7)
        elif key == Qt.Key.Key_PageUp:
            target = focus.addYears(-1) if shift else focus.addMonths(-1)
        elif key == Qt.Key.Key_PageDown:
            target = focus.addYears(1) if shift else focus.addMonths(1)
        elif key == Qt.Key.Key_Home:
            target = QDate(focus.year(), focus.month(), 1)
        elif key == Qt.Key.Key_End:
            target = QDate(focus.year(), focus.month(), focus.daysInMonth())
        elif key in (Qt.Key.Key_Return, Qt.Key.Key_Enter):
            self.grid.keyboard = True
            self._pick_day(focus)
            return True
        elif key in (Qt.Key.Key_Tab, Qt.Key.Key_Backtab) and self.times is not None:
            return False
        if target is None:
            return False
        self.grid.keyboard = True
        self._move_focus(target)
        return True

    def _time_key(self, key: int) -> bool:
        times = self.times
        rows = times.count()
        row = times.currentRow()
        steps = {Qt.Key.Key_Up: -1, Qt.Key.Key_Down: 1, Qt.Key.Key_PageUp: -4, Qt.Key.Key_PageDown: 4}
        if key in steps:
            start = row if row >= 0 else 15  # 07:30, so Down lands on 08:00
            row = max(0, min(rows - 1, start + steps[key]))
        elif key == Qt.Key.Key_Home:
            row = 0
        elif key == Qt.Key.Key_End:
            row = rows - 1
        elif key in (Qt.Key.Key_Return, Qt.Key.Key_Enter):
            if row >= 0:
                self._handle_time_clicked(times.item(row))
            return True
        elif key in (Qt.Key.Key_Left, Qt.Key.Key_Right) and self.grid is not None:
            self._zone = "days"  # back to the days of a date and time
            self.grid.keyboard = True
            self.grid.update()
            return True
        else:
            return False
        times.setCurrentRow(row)
        times.scrollToItem(times.item(row))
        return True

    # -- texts and looks ---------------------------------------------------------------------

    def retranslate(self, *_: Any) -> None:
        """Words in the library's current language."""
        self._update_texts()
        if self.grid is not None:
            self.grid.update()
            self.grid.setAccessibleName(spoken_date(self.grid.focus))
            self.previousButton.setAccessibleName(translate("Previous month"))
            self.nextButton.setAccessibleName(translate("Next month"))
            self.previousButton.setToolTip(translate("Previous month"))
            self.nextButton.setToolTip(translate("Next month"))
            self.yearButton.setAccessibleName(translate("Choose year"))
            self.years.setAccessibleName(translate("Select year"))

    def _update_texts(self) -> None:
        kind = self._kind
        if kind == "date":
            self.supporting.setText(translate("Select date"))
        elif kind == "time":
            self.supporting.setText(translate("Select time"))
        else:
            self.supporting.setText(translate("Select date and time"))
        time = self._current_time()
        if kind == "time":
            self.headline.setText(time.toString(TIME_FORMAT) if time is not None else "--:--")
        else:
            shown = self.grid.focus if self.grid is not None else QDate.currentDate()
            text = headline(shown)
            if kind == "datetime" and time is not None:
                text = f"{text}, {time.toString(TIME_FORMAT)}"
            self.headline.setText(text)
            self.yearButton.setText(month_title(self.grid.month))
            self.yearButton.updateGeometry()
            self.yearButton.setFixedWidth(self.yearButton.sizeHint().width())

    def applyTheme(self, *_: Any) -> None:
        """Colours from the current theme (call again after a theme switch)."""
        theme = useTheme()
        p = theme.palette
        accent = theme.resolve_color("primary")
        on_accent = theme.contrast_text("primary")
        family = theme.typography.get("fontFamily", "Roboto")
        self.setStyleSheet(
            "#EntryBoxDatePicker {background: transparent; border: none;}"
            f"#DatePickerHeader, #DatePickerHeader QLabel {{background: transparent; font-family: '{family}';}}"
            f"#DatePickerSupporting {{color: {p['text']['secondary']}; font-size: 12px; font-weight: 500;}}"
            f"#DatePickerHeadline {{color: {p['text']['primary']}; font-size: 24px;}}"
            f"#DatePickerDivider {{background: {p['divider']}; border: none;}}"
            # The surface shows through everything, whatever sheet the application's windows carry.
            "#DatePickerPages, #DatePickerYearScroll, #DatePickerYearScroll > QWidget, #DatePickerYears"
            " {background: transparent; border: none;}"
            f"#EntryBoxTimes {{background: transparent; border: none; outline: 0; color: {p['text']['primary']};"
            f" font-family: '{family}'; font-size: 14px;}}"
            "#EntryBoxTimes::item {padding: 0px 12px; border-radius: 18px;}"
            f"#EntryBoxTimes::item:hover {{background: {p['action']['hover']};}}"
            f"#EntryBoxTimes::item:selected {{background: {accent}; color: {on_accent};}}"
            f"QScrollBar:vertical {{background: transparent; width: 8px; margin: 2px 0px 2px 0px; border: none;}}"
            f"QScrollBar::handle:vertical {{background: {p['divider']}; border-radius: 2px; min-height: 24px;}}"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {height: 0px; border: none;}"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {background: transparent;}"
        )
        for widget in (self.grid, self.years, self.yearButton, self.previousButton, self.nextButton):
            if widget is not None:
                widget.colours = _Colours()
                widget.update()
        self.update()

    # -- picks -------------------------------------------------------------------------------

    def _value_text(self, date: QDate | None, time: QTime | None) -> str:
        if self._kind == "date":
            return date.toString(DATE_FORMAT)
        if self._kind == "time":
            return time.toString(TIME_FORMAT)
        return f"{date.toString(DATE_FORMAT)} {(time or QTime(0, 0)).toString(TIME_FORMAT)}"

    def _current_time(self) -> QTime | None:
        item = self.times.currentItem() if self.times is not None else None
        return QTime.fromString(item.text(), TIME_FORMAT) if item is not None else None

    def _handle_time_clicked(self, item) -> None:
        date = self._date if self._date is not None else QDate.currentDate()
        self.times.setCurrentItem(item)
        self._update_texts()
        self.picked.emit(self._value_text(date, QTime.fromString(item.text(), TIME_FORMAT)), True)


def _place(anchor: QWidget, width: int, height: int) -> QPoint:
    """Top-left corner for a window of ``width`` x ``height`` under ``anchor``, or above it when
    the screen has no room below, kept inside the screen; in a right-to-left layout it lines up
    with the anchor's right edge."""
    rtl = anchor.layoutDirection() == Qt.LayoutDirection.RightToLeft
    corner = QPoint(anchor.width() - width + SHADOW_MARGIN, anchor.height()) if rtl else QPoint(0, anchor.height())
    bottom_left = anchor.mapToGlobal(corner)
    screen = anchor.screen() or QApplication.primaryScreen()
    if screen is None:
        return bottom_left
    area = screen.availableGeometry()
    x, y = bottom_left.x(), bottom_left.y()
    if y + height > area.bottom() + 1 and y - anchor.height() - height >= area.top():
        y -= anchor.height() + height
    x = max(area.left(), min(x, area.right() + 1 - width))
    y = max(area.top(), min(y, area.bottom() + 1 - height))
    return QPoint(x, y)


class DatePickerPopup(QFrame):
    """A ``DatePicker`` on a rounded, shadowed surface in a frameless window under ``owner``.

    ``popup(value)`` shows it with ``value`` chosen, ``dismiss()`` hides it; it never takes the
    keyboard from the owner's window, and a press anywhere but on it or on ``owner`` closes it.
    ``picked(text, done)`` passes the picker's picks on; ``opened`` and ``closed`` report the
    window's state.
    """

    picked = Signal(str, bool)
    opened = Signal()
    closed = Signal()

    def __init__(self, owner: QWidget, kind: str = "date") -> None:
        super().__init__(owner)
        self.setObjectName("EntryBoxDatePopup")
        self.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.setAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating, True)
        flags = Qt.WindowType.Window | Qt.WindowType.FramelessWindowHint | Qt.WindowType.NoDropShadowWindowHint
        self.setWindowFlags(flags)
        self.setAttribute(Qt.WidgetAttribute.WA_TranslucentBackground, True)
        layout = QVBoxLayout(self)
        layout.setContentsMargins(0, 0, SHADOW_MARGIN, SHADOW_MARGIN)
        self.picker = DatePicker(kind)
        layout.addWidget(self.picker)
        self.picker.picked.connect(self.picked)
        useTheme().state.valueChanged.connect(self._handle_theme_changed)
        self._colours = _Colours()
        self._watching = False

    def _handle_theme_changed(self, *_: Any) -> None:
        self._colours = _Colours()
        self.picker.applyTheme()
        self.update()

    def isOpen(self) -> bool:
        return self.isVisible()

    def popup(self, value: Any = None, keyboard: bool = False) -> None:
        """Shows the picker under its owner with ``value`` chosen; nothing when already open.
        ``keyboard``: opened by a key, so the keyboard's day is marked at once."""
        if self.isVisible():
            return
        owner = self.parentWidget()
        if owner is not None:
            self.setLayoutDirection(owner.layoutDirection())  # a window does not inherit it
        self.picker.setValue(value, keyboard)
        self.adjustSize()
        self.move(_place(self.parentWidget(), self.width(), self.height()))
        # Presses are watched only while the picker is up.
        QApplication.instance().installEventFilter(self)
        self._watching = True
        self.show()
        self.opened.emit()

    def dismiss(self) -> bool:
        """Hides the picker; nothing when it is not open. (Not ``close()``: that stays the
        window's own, with its close event.)"""
        if self._watching:
            QApplication.instance().removeEventFilter(self)
            self._watching = False
        if not self.isVisible():
            return False
        self.hide()
        self.closed.emit()
        return True

    def paintEvent(self, event) -> None:
        # The surface: a soft shadow right and below, the rounded sheet and its hairline edge.
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        c = self._colours
        surface = QRectF(0, 0, self.width() - SHADOW_MARGIN, self.height() - SHADOW_MARGIN)
        blur, (dx, dy) = 6, (1, 2)
        strength = 0.55 if c.mode == "dark" else 0.22
        painter.setPen(Qt.PenStyle.NoPen)
        for step in range(blur, 0, -1):
            grow = step - 1
            painter.setBrush(QColor(0, 0, 0, max(1, round(255 * strength / blur))))
            painter.drawRoundedRect(surface.translated(dx, dy).adjusted(-grow / 2, -grow / 2, grow, grow),
                                    RADIUS + grow / 2, RADIUS + grow / 2)
        painter.setBrush(c.surface)
        painter.drawRoundedRect(surface, RADIUS, RADIUS)
        painter.setBrush(Qt.BrushStyle.NoBrush)
        painter.setPen(QPen(c.outline, 1))
        painter.drawRoundedRect(surface.adjusted(0.5, 0.5, -0.5, -0.5), RADIUS - 0.5, RADIUS - 0.5)
        painter.end()

    def event(self, event: QEvent) -> bool:
        if event.type() == QEvent.Type.WindowActivate:
            # Platforms that activate every new window (offscreen, some compositors) hand the
            # picker the keyboard: give it back to the owner's window.
            owner = self.parentWidget()
            if owner is not None:
                owner.window().activateWindow()
        return super().event(event)

    def eventFilter(self, watched: QObject, event: QEvent) -> bool:
        if event.type() == QEvent.Type.MouseButtonPress and watched.isWidgetType():
            owner = self.parentWidget()
            inside = watched is self or self.isAncestorOf(watched)
            on_owner = owner is not None and (watched is owner or owner.isAncestorOf(watched))
            if not inside and not on_owner:
                self.dismiss()
        return False
