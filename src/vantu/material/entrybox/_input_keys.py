"""Keys in the input: they are reported to the entry box, and in select mode open and close
the popup; Backspace in an empty tags field takes the last tag away."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import Qt

__all__ = ["InputKeysMixin"]

_OPENING_KEYS = (Qt.Key.Key_Down, Qt.Key.Key_Return, Qt.Key.Key_Enter)


class InputKeysMixin:
    """Key presses and releases of the field and of the tags' typing field."""

    def _handle_key_down(self, event: Any) -> None:
        self.keyDown.emit(event)
        if not self._select:
            return
        key = event.key()
        if key == Qt.Key.Key_Escape:
            if self._popupShowing:
                self.select_hide_popup()
            self.date_close_picker()
        elif key in _OPENING_KEYS and not self._popupShowing and not self.date_picker_open() and self._usable():
            # A date input opens its picker; any other select its list.
            if self._btnCalendar is not None:
                self.date_open_picker()
            else:
                self.select_show_popup()

    def _handle_multiple_key_down(self, event: Any) -> None:
        line = self._inputFieldMultiple
        if event.key() == Qt.Key.Key_Backspace and not line.text() and self._selected_options:
            # Backspace in an empty field takes the last tag away, as chip inputs do.
            self._delete_tag_key(list(self._selected_options)[-1])
        self._handle_key_down(event)

    def _handle_key_up(self, event: Any) -> None:
        self.keyUp.emit(event)
