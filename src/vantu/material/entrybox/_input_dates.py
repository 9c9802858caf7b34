"""Date and time inputs in select mode: the input's own calendar button, which opens its date
picker (never the select mode's arrow button, which stays hidden), and the quick choice the
option list offers when the application gives no options."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QSize, Qt
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import QPushButton
from shiboken6 import isValid

from vantu.utils.translator import getTranslatedText
from vantu.vantu_assets import VANTU_ASSETS

from ._date_picker import DATETIME_TYPES, DatePickerPopup, now_text

__all__ = ["InputDatesMixin", "CALENDAR_BUTTON_SIZE"]

CALENDAR_BUTTON_SIZE = 24
"""Side of the calendar button, the size of the select mode's arrow button whose place it takes."""


class InputDatesMixin:
    """The calendar button and the date picker of a date or time input."""

    def __init__(self) -> None:
        state = vars(self)
        state.setdefault("_btnCalendar", None)
        state.setdefault("_datePopup", None)

    def _date_kind(self) -> str:
        return self._type if self._type in DATETIME_TYPES else "date"

    def _setup_date_adornment(self) -> None:
        """Builds the calendar button that opens the picker (placed with the action frame)."""
        button = QPushButton(self)
        button.setObjectName("EntryBoxCalendarButton")
        button.setCursor(Qt.CursorShape.PointingHandCursor)
        button.setFixedSize(CALENDAR_BUTTON_SIZE, CALENDAR_BUTTON_SIZE)
        button.setIconSize(QSize(CALENDAR_BUTTON_SIZE, CALENDAR_BUTTON_SIZE))
        button.setFocusPolicy(Qt.FocusPolicy.NoFocus)  # the field keeps the keyboard
        button.setIcon(QIcon(VANTU_ASSETS.ICONS.CALENDAR))
        button.pressed.connect(self._focus_field)
        button.clicked.connect(self.date_toggle_picker)
        self._btnCalendar = button

    def _translate_date_texts(self) -> None:
        if self._btnCalendar is not None:
            self._btnCalendar.setToolTip(getTranslatedText("Choose time" if self._type == "time" else "Choose date"))

    def date_picker_open(self) -> bool:
        """Whether the date picker is up."""
        popup = self._datePopup
        return popup is not None and isValid(popup) and popup.isOpen()

    def date_open_picker(self) -> None:
        """Opens the date picker under the input, closing the option list first: one popup at a time."""
        if self._btnCalendar is None or not self._usable():
            return
        if self._popupShowing:
            self.select_hide_popup()
        popup = self._datePopup
        if popup is None or not isValid(popup):
            popup = self._datePopup = DatePickerPopup(self, self._date_kind())
            popup.picked.connect(self._handle_date_picked)
            popup.closed.connect(self._popup_gone)
        popup.popup(self._value)

    def date_close_picker(self) -> None:
        """Closes the date picker when it is up."""
        if self.date_picker_open():
            self._datePopup.dismiss()

    def date_toggle_picker(self, *_: Any) -> None:
        if self.date_picker_open():
            self.date_close_picker()
        else:
            self.date_open_picker()

    def _handle_date_picked(self, text: str, done: bool) -> None:
        self.setValue(text)  # keys and record follow, as for any value
        if done:
            self.date_close_picker()

    def _date_quick_choices(self) -> list[str]:
        """What the option list of a date input without options offers: this moment's value."""
        return [now_text(self._date_kind())]
