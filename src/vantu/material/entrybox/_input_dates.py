"""Date and time inputs: the input's own calendar button, which opens its date picker (never the
select mode's arrow button, which stays hidden), typed dates checked as they are typed, and the
quick choice the option list offers when the application gives no options.

A date input without select mode is a text field that takes typed dates ("2026-12-08",
"2026-12-8"): a date that exists becomes the value; one that does not ("2026-13-45") puts the
input in the error state with a message under it, and the value stays what it was."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QSize, Qt
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import QLabel, QPushButton, QWidget
from shiboken6 import isValid

from vantu.material.styles import get_qss_style, useTheme
from vantu.utils.translator import getTranslatedText
from vantu.vantu_assets import VANTU_ASSETS

from ._date_picker import DATETIME_TYPES, DatePickerPopup, looks_complete, now_text, typed_value

__all__ = ["InputDatesMixin", "CALENDAR_BUTTON_SIZE"]

CALENDAR_BUTTON_SIZE = 24
"""Side of the calendar button, the size of the select mode's arrow button whose place it takes."""

_CALENDAR_FROM_END = 22
"""The calendar button's left edge from the box's right edge: centred where the select field
centres its arrow, as in select mode."""



def _button_name(kind: str) -> str:
    if kind == "time":
        return getTranslatedText("Choose time")
    if kind == "datetime":
        return getTranslatedText("Choose date and time")
    return getTranslatedText("Choose date")


def _invalid_text(kind: str) -> str:
    if kind == "time":
        return getTranslatedText("Invalid time")
    if kind == "datetime":
        return getTranslatedText("Invalid date and time")
    return getTranslatedText("Invalid date")


class _CalendarButton(QPushButton):
    """The calendar button, flat and round in the theme as the select mode's buttons are (select
    mode restyles it with them)."""

    def __init__(self, parent: QWidget) -> None:
        super().__init__(parent)
        self.applyTheme()
        useTheme().state.valueChanged.connect(self.applyTheme)

    def applyTheme(self, *_: Any) -> None:
        style = dict(useTheme().components["KelInput"]["styles"]["actionButton"]({}))
        slots = style.pop("slots", {})
        style.pop("props", None)
        self.setStyleSheet(f"QPushButton {{{get_qss_style(style)}}}"
                           f" QPushButton:hover {{{get_qss_style(slots.get('hover'))}}}"
                           f" QPushButton:pressed {{{get_qss_style(slots.get('pressed'))}}}")


class _DateMessage(QLabel):
    """The line under a date input whose typed date does not exist, in the helper text's error look."""

    def __init__(self) -> None:
        super().__init__()
        self.setObjectName("InputBaseDateMessage")
        self.setIndent(0)
        self.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        useTheme().state.valueChanged.connect(self.applyTheme)

    def applyTheme(self, *_: Any, variant: str | None = None) -> None:
        if variant is not None:
            self._variant = variant
        styles = useTheme().components["KelInput"]["styles"]["helperLabel"]({"color": None})
        rules = get_qss_style(styles) + get_qss_style(styles["slots"]["error"])
        if getattr(self, "_variant", None) == "standard":
            rules += get_qss_style(styles["props"]["standard"])
        self.setStyleSheet(f"QLabel {{{rules}}}")


class InputDatesMixin:
    """The calendar button, the date picker and the typed-date check of a date or time input."""

    def __init__(self) -> None:
        state = vars(self)
        state.setdefault("_btnCalendar", None)
        state.setdefault("_datePopup", None)
        state.setdefault("_dateInvalid", False)
        state.setdefault("_dateMessage", None)

    def _date_kind(self) -> str:
        return self._type if self._type in DATETIME_TYPES else "date"

    def _getError(self) -> bool:
        # A typed date that does not exist is an error as much as the application's own.
        return bool(self._dateInvalid) or super()._getError()

    # -- the calendar button -------------------------------------------------------------------

    def _date_setup(self) -> None:
        """A date input without select mode gets its calendar button here (select mode places it
        with its action frame)."""
        if not self._isDateTimeType or self._btnCalendar is not None:
            return
        self._setup_date_adornment()
        if not self._select:
            self._inputField.setTextMargins(0, 0, CALENDAR_BUTTON_SIZE + 4, 0)

    def _setup_date_adornment(self) -> None:
        """Builds the calendar button that opens the picker (placed with the action frame)."""
        button = _CalendarButton(self)
        button.setObjectName("EntryBoxCalendarButton")
        button.setCursor(Qt.CursorShape.PointingHandCursor)
        button.setFixedSize(CALENDAR_BUTTON_SIZE, CALENDAR_BUTTON_SIZE)
        button.setIconSize(QSize(CALENDAR_BUTTON_SIZE, CALENDAR_BUTTON_SIZE))
        button.setFocusPolicy(Qt.FocusPolicy.NoFocus)  # the field keeps the keyboard
        button.setIcon(QIcon(VANTU_ASSETS.ICONS.CALENDAR))
        button.pressed.connect(self._focus_field)
        button.clicked.connect(self.date_toggle_picker)
        self._btnCalendar = button

    def _place_calendar_alone(self) -> None:
        """Puts the calendar button of an input without action frame mid-box at the end edge."""
        button = self._btnCalendar
        if button is None:
            return
        box = self._frame.geometry()
        x = box.x() + box.width() - _CALENDAR_FROM_END
        if self.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            x = box.x() + _CALENDAR_FROM_END - CALENDAR_BUTTON_SIZE
        button.move(x, box.y() + box.height() // 2 - 13)
        button.raise_()

    def _translate_date_texts(self) -> None:
        kind = self._date_kind()
        if self._btnCalendar is not None:
            name = _button_name(kind)
            self._btnCalendar.setToolTip(name)
            self._btnCalendar.setAccessibleName(name)
        message = self._dateMessage
        if message is not None and isValid(message):
            message.setText(_invalid_text(kind))
        # The buttons' spoken names follow the language with the tooltips.
        self._name_buttons()

    # -- the picker ----------------------------------------------------------------------------

    def date_picker_open(self) -> bool:
        """Whether the date picker is up."""
        popup = self._datePopup
        return popup is not None and isValid(popup) and popup.isOpen()

    def date_open_picker(self, keyboard: bool = False) -> None:
        """Opens the date picker under the input, closing the option list first: one popup at a
        time. ``keyboard``: opened by a key, so the keyboard's day shows at once."""
        if self._btnCalendar is None or not self._usable():
            return
        if self._popupShowing:
            self.select_hide_popup()
        popup = self._datePopup
        if popup is None or not isValid(popup):
            popup = self._datePopup = DatePickerPopup(self, self._date_kind())
            popup.picked.connect(self._handle_date_picked)
            popup.opened.connect(self._handle_date_opened)
            popup.closed.connect(self._handle_date_closed)
        shown = self._value
        if not self._select:
            # What the field shows, if it is a date (a half-typed text leaves the value's).
            shown = typed_value(self._inputField.text(), self._date_kind()) or shown
        popup.popup(shown, keyboard)

    def date_close_picker(self) -> None:
        """Closes the date picker when it is up."""
        if self.date_picker_open():
            self._datePopup.dismiss()

    def date_toggle_picker(self, *_: Any) -> None:
        if self.date_picker_open():
            self.date_close_picker()
        else:
            self.date_open_picker()

    def _handle_date_opened(self) -> None:
        self._popup_state_changed(True)

    def _handle_date_closed(self) -> None:
        self._popup_state_changed(False)
        self._popup_gone()

    def _handle_date_picked(self, text: str, done: bool) -> None:
        self.setValue(text)  # keys and record follow, as for any value
        self._set_date_invalid(False)
        if done:
            self.date_close_picker()

    def _date_quick_choices(self) -> list[str]:
        """What the option list of a date input without options offers: this moment's value."""
        return [now_text(self._date_kind())]

    # -- typed dates -----------------------------------------------------------------------------

    def _date_text_changed(self, text: str) -> None:
        """The field's text changed (typed, or shown for a value). A whole date that does not
        exist is an error at once. A date in its full form ("2026-02-05") is the value at once;
        a shorter one ("2026-2-5") when the field is left or Enter pressed, so that the days on
        the way ("2026-02-2" on the way to "2026-02-29") are never taken."""
        kind = self._date_kind()
        value = "" if not text.strip() else typed_value(text, kind)
        if value is not None:
            self._set_date_invalid(False)
        elif looks_complete(text, kind):
            self._set_date_invalid(True)
        if self._applying:
            return  # the value is being shown: it is the value already
        if not self._focused:
            self._update_label()
        if value is not None and value == text.strip():
            self._take_typed_date(value)

    def _take_typed_date(self, value: str) -> None:
        if value == self._value:
            return
        self._value = value
        self.valueChanged.emit(value)
        if callable(self._onChange):
            self._onChange(self)
        if value and self.date_picker_open():
            self._datePopup.picker.setValue(value, True)  # the picker follows the typing

    def _date_commit_text(self) -> None:
        """Enter, or leaving the field: a text that is no date is an error; a date is shown in
        its full form ("2026-2-5" becomes "2026-02-05")."""
        if self._select or not self._isDateTimeType:
            return
        text = self._inputField.text()
        if not text.strip():
            self._set_date_invalid(False)
            return
        value = typed_value(text, self._date_kind())
        if value is None:
            self._set_date_invalid(True)
            return
        self._take_typed_date(value)
        if text != value:
            self._show_value()

    def _set_date_invalid(self, invalid: bool) -> None:
        if bool(invalid) == self._dateInvalid:
            return
        self._dateInvalid = bool(invalid)
        message = self._dateMessage
        if invalid and (message is None or not isValid(message)):
            message = self._dateMessage = _DateMessage()
            self.layout().addWidget(message)
        if message is not None and isValid(message):
            if invalid:
                message.applyTheme(variant=self._variant)
                message.setText(_invalid_text(self._date_kind()))
            message.setVisible(bool(invalid))
        self._refresh_style()
        self._tell_host()
        self._error_state_changed()
