"""The date and time picker of a date or time input: ``DatePicker`` (the calendar and the
column of times) and ``DatePickerPopup`` (the frameless window that holds it under the input,
opened and closed with ``open`` and ``close``).

"date" gets a month calendar, "time" a column of times every half hour, "datetime" both.
The picker reports a pick as text ("2026-12-08", "14:30", "2026-12-08 14:30"), the form
the input stores as its value.
"""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QDate, QDateTime, QEvent, QObject, QPoint, QTime, Qt, Signal
from PySide6.QtGui import QBrush, QColor, QTextCharFormat
from PySide6.QtWidgets import (
    QApplication, QCalendarWidget, QFrame, QHBoxLayout, QListWidget, QSizePolicy, QVBoxLayout, QWidget,
)

from vantu.material.styles import useTheme

__all__ = ["DatePicker", "DatePickerPopup", "DATETIME_TYPES", "DATE_FORMAT", "TIME_FORMAT", "now_text",
           "parse_date_time"]

DATETIME_TYPES: tuple[str, ...] = ("date", "time", "datetime")
"""Values of an input's ``type`` that make it a date or time input."""

DATE_FORMAT = "yyyy-MM-dd"
TIME_FORMAT = "HH:mm"
TIME_STEP_MINUTES = 30


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


def now_text(kind: str) -> str:
    """The value text of this moment for ``kind``: today, the time to the minute, or both."""
    now = QDateTime.currentDateTime()
    date, time = now.date().toString(DATE_FORMAT), now.time().toString(TIME_FORMAT)
    return {"date": date, "time": time}.get(kind, f"{date} {time}")


class DatePicker(QFrame):
    """Calendar and/or time column for ``kind`` ("date", "time" or "datetime").

    Args:
        kind: which parts to show.
        value: the current value text; its date is marked and its time selected.

    ``picked(text, done)`` reports a pick: the value text, and whether the pick is complete
    (a date-and-time pick is complete once a time is picked; the popup stays open after a
    day is picked).
    """

    picked = Signal(str, bool)

    def __init__(self, kind: str = "date", value: Any = None) -> None:
        super().__init__()
        self.setObjectName("EntryBoxDatePicker")
        self.setAttribute(Qt.WidgetAttribute.WA_StyledBackground, True)
        self.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Maximum)
        self._kind = kind
        layout = QHBoxLayout(self)
        layout.setContentsMargins(4, 4, 4, 4)
        layout.setSpacing(4)
        self.calendar: QCalendarWidget | None = None
        self.times: QListWidget | None = None
        if kind in ("date", "datetime"):
            self.calendar = QCalendarWidget()
            self.calendar.setObjectName("EntryBoxCalendar")
            self.calendar.setGridVisible(False)
            self.calendar.setVerticalHeaderFormat(QCalendarWidget.VerticalHeaderFormat.NoVerticalHeader)
            self.calendar.setFocusPolicy(Qt.FocusPolicy.NoFocus)
            self.calendar.clicked.connect(self._handle_date_clicked)
            self.calendar.activated.connect(self._handle_date_clicked)
            layout.addWidget(self.calendar, 1)
        if kind in ("time", "datetime"):
            self.times = QListWidget()
            self.times.setObjectName("EntryBoxTimes")
            self.times.setFocusPolicy(Qt.FocusPolicy.NoFocus)
            self.times.setFixedWidth(84 if kind == "datetime" else 16777215)
            self.times.setMinimumHeight(220)
            for minutes in range(0, 24 * 60, TIME_STEP_MINUTES):
                self.times.addItem(QTime(minutes // 60, minutes % 60).toString(TIME_FORMAT))
            self.times.itemClicked.connect(self._handle_time_clicked)
            column = QVBoxLayout()
            column.addWidget(self.times)
            layout.addLayout(column)
        self.setValue(value)
        self.applyTheme()

    def setValue(self, value: Any) -> None:
        """Marks the date and time of ``value`` (a value text, or ``None`` for today)."""
        date, time = parse_date_time(value)
        self._date = date
        if self.calendar is not None:
            self.calendar.setSelectedDate(date or QDate.currentDate())
        if self.times is not None:
            self.times.clearSelection()
            if time is not None:
                minutes = time.hour() * 60 + time.minute()
                row = minutes // TIME_STEP_MINUTES
                self.times.setCurrentRow(row)
                self.times.scrollToItem(self.times.item(row), QListWidget.ScrollHint.PositionAtCenter)
            else:
                self.times.scrollToItem(self.times.item(16), QListWidget.ScrollHint.PositionAtTop)  # 08:00

    def applyTheme(self, *_: Any) -> None:
        """Colours from the current theme (call again after a theme switch)."""
        theme = useTheme()
        p = theme.palette
        accent = theme.resolve_color("primary")
        on_accent = theme.contrast_text("primary")
        self.setStyleSheet(
            f"#EntryBoxDatePicker {{background: {p['background']['paper']}; border: 1px solid {p['divider']};"
            f" border-radius: {theme.shape['borderRadius']}px;}}"
            f"#EntryBoxDatePicker QWidget {{color: {p['text']['primary']}; background: {p['background']['paper']};}}"
            f"#EntryBoxDatePicker QToolButton {{border: none; padding: 4px; border-radius: 4px; font-weight: 500;}}"
            f"#EntryBoxDatePicker QToolButton:hover {{background: {p['action']['hover']};}}"
            f"#EntryBoxDatePicker QAbstractItemView {{border: none; outline: 0;"
            f" selection-background-color: {accent}; selection-color: {on_accent};}}"
            f"#EntryBoxDatePicker QAbstractItemView:disabled {{color: {p['text']['disabled']};}}"
            f"#EntryBoxTimes::item {{padding: 6px 10px;}}"
            f"#EntryBoxTimes::item:hover {{background: {p['action']['hover']};}}"
            f"#EntryBoxTimes::item:selected {{background: {accent}; color: {on_accent};}}"
        )
        if self.calendar is not None:
            # Day names and weekends are painted from text formats, not from the sheet.
            header = QTextCharFormat()
            header.setForeground(QBrush(QColor(p["text"]["secondary"])))
            header.setBackground(QBrush(QColor(p["background"]["paper"])))
            self.calendar.setHeaderTextFormat(header)
            days = QTextCharFormat()
            days.setForeground(QBrush(QColor(p["text"]["primary"])))
            for day in (Qt.DayOfWeek.Saturday, Qt.DayOfWeek.Sunday):
                self.calendar.setWeekdayTextFormat(day, days)

    def _value_text(self, date: QDate | None, time: QTime | None) -> str:
        if self._kind == "date":
            return date.toString(DATE_FORMAT)
        if self._kind == "time":
            return time.toString(TIME_FORMAT)
        return f"{date.toString(DATE_FORMAT)} {(time or QTime(0, 0)).toString(TIME_FORMAT)}"

    def _current_time(self) -> QTime | None:
        item = self.times.currentItem() if self.times is not None else None
        return QTime.fromString(item.text(), TIME_FORMAT) if item is not None else None

    def _handle_date_clicked(self, date: QDate) -> None:
        self._date = date
        self.picked.emit(self._value_text(date, self._current_time()), self._kind == "date")

    def _handle_time_clicked(self, item) -> None:
        date = self._date if self._date is not None else QDate.currentDate()
        self.picked.emit(self._value_text(date, QTime.fromString(item.text(), TIME_FORMAT)), True)


def _place(anchor: QWidget, width: int, height: int) -> QPoint:
    """Top-left corner for a window of ``width`` x ``height`` under ``anchor``, or above it when
    the screen has no room below, kept inside the screen."""
    bottom_left = anchor.mapToGlobal(QPoint(0, anchor.height()))
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
    """A ``DatePicker`` in a frameless window under ``owner``.

    ``open(value)`` shows it with ``value`` marked, ``close()`` hides it; it never takes the
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
        layout.setContentsMargins(0, 0, 0, 0)
        self.picker = DatePicker(kind)
        layout.addWidget(self.picker)
        self.picker.picked.connect(self.picked)
        useTheme().state.valueChanged.connect(self.picker.applyTheme)
        self._watching = False

    def isOpen(self) -> bool:
        return self.isVisible()

    def popup(self, value: Any = None) -> None:
        """Shows the picker under its owner with ``value`` marked; nothing when already open."""
        if self.isVisible():
            return
        self.picker.setValue(value)
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
