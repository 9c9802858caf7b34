"""Keys in the input. Every key is reported to the entry box; in select mode and in a date input
some are the input's own, and the field never sees them:

- closed: Down, Up, Alt+Down, F4 (and Enter) open the list; a date input opens its picker with
  Down, Alt+Down or F4;
- list open: Up/Down move the current row past disabled options, Page Up/Down by a page,
  Home/End to the ends (while nothing is typed; Ctrl+Home/End always), Enter chooses the current
  row, Escape, Alt+Up and F4 close;
- picker open: the picker's keys (arrows, Page Up/Down, Enter), Escape closes;
- clearing: Backspace or Delete on a single select clears it; with nothing typed in a multiple
  one, Backspace takes the last choice away and Delete or Ctrl+Backspace clears them all;
- tags: Left (Right in a right-to-left layout) at the start of the typing field goes to the
  chips; there Left/Right, Home/End move, Backspace, Delete, Enter or Space press the chip's
  delete control, Escape goes back to the typing field.

Tab is never taken: it closes the list (focus leaves) and moves on."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import Qt
from PySide6.QtGui import QAccessible, QAccessibleEvent
from PySide6.QtWidgets import QAbstractButton, QLineEdit
from shiboken6 import isValid

from ._tags_view import set_keyboard_current

__all__ = ["InputKeysMixin"]

K = Qt.Key
_RETURN = (K.Key_Return, K.Key_Enter)
_PRESS_CHIP = (K.Key_Backspace, K.Key_Delete, K.Key_Return, K.Key_Enter, K.Key_Space)


class InputKeysMixin:
    """Key presses and releases of the field and of the tags' typing field."""

    _currentChip = -1  # the chip the keyboard is on (-1: the typing field)

    def _handle_key_down(self, event: Any) -> bool:
        """A key pressed in the field: reported, then used when it is one of the input's keys.
        True when the input used it (the field then ignores it)."""
        self.keyDown.emit(event)
        return self._use_key(event, self._inputField)

    def _handle_multiple_key_down(self, event: Any) -> None:
        # A key the tags' typing field handles itself (the input's own keys never get here).
        self.keyDown.emit(event)

    def _handle_key_up(self, event: Any) -> None:
        self.keyUp.emit(event)

    # -- which key does what ------------------------------------------------------------------

    def _use_key(self, event: Any, line: QLineEdit) -> bool:
        """Acts on ``event`` pressed in ``line`` (the field or the tags' typing field) when it is
        the input's; True when it was. Keys it does not use change nothing."""
        if not self._usable():
            return False
        key = event.key()
        mods = event.modifiers()
        alt = bool(mods & Qt.KeyboardModifier.AltModifier)
        ctrl = bool(mods & Qt.KeyboardModifier.ControlModifier)
        typing = line is getattr(self, "_inputFieldMultiple", None)
        typed = typing and bool(line.text())
        if self._currentChip >= 0:
            used = self._chip_key(key)
            if used is not None:
                return used
        if self._select and not typed and self._clearing_key(key, ctrl):
            return True
        if typing and self._chips_key(key, line, mods):
            return True
        if self._popupShowing:
            return self._list_key(key, alt, ctrl or not typed)
        if self.date_picker_open():
            return self._picker_key(event, key, alt)
        if self._btnCalendar is not None:
            if key in (K.Key_Down, K.Key_F4) or (self._select and key in _RETURN):
                self.date_open_picker(keyboard=True)
                return True
            if key in _RETURN:
                self._date_commit_text()
            return False
        if self._select and (key in (K.Key_Down, K.Key_F4, K.Key_Up) or key in _RETURN) and not (alt and key == K.Key_Up):
            self.select_show_popup()
            return True
        return False

    def _clearing_key(self, key: int, ctrl: bool) -> bool:
        """Backspace and Delete clear the field (the clear button's action, which never takes
        focus); with several choices Backspace takes only the last one away."""
        if key not in (K.Key_Backspace, K.Key_Delete):
            return False
        if not self._multiple:
            if self._value not in (None, ""):
                self.base_on_btn_clear_text_clicked()
            return True
        if key == K.Key_Backspace and not ctrl:
            if self._selected_options:
                self._delete_tag_key(list(self._selected_options)[-1])
            return True
        if self._value or self._selected_options:
            self.base_on_btn_clear_text_clicked()
        return True

    def _list_key(self, key: int, alt: bool, ends: bool) -> bool:
        if key == K.Key_Escape or key == K.Key_F4 or (alt and key == K.Key_Up):
            self.select_hide_popup()
            return True
        view = self._list_view()
        if key in (K.Key_Up, K.Key_Down):
            if view is not None and not alt:
                view.moveCurrentRow(1 if key == K.Key_Down else -1)
            return True
        if key in (K.Key_PageUp, K.Key_PageDown):
            if view is not None:
                page = max(1, view.viewport().height() // max(1, view.sizeHintForRow(0)) - 1)
                view.moveCurrentRow(page if key == K.Key_PageDown else -page)
            return True
        if key in (K.Key_Home, K.Key_End) and ends:
            if view is not None:
                row = view.firstEnabledRow(fromEnd=key == K.Key_End)
                if row >= 0:
                    view.setCurrentRow(row)
            return True
        if key in _RETURN:
            if view is not None:
                view.chooseCurrentRow()
            return True
        return False

    def _picker_key(self, event: Any, key: int, alt: bool) -> bool:
        picker = self._datePopup.picker
        if key == K.Key_F4 or (alt and key == K.Key_Up):
            self.date_close_picker()
            return True
        if alt and key == K.Key_Down:
            return True
        if picker.handleKey(event):
            return True
        if key == K.Key_Escape:
            self.date_close_picker()
            return True
        return False

    # -- the chips of a tags field ------------------------------------------------------------

    def _chip_controls(self) -> list[QAbstractButton]:
        """The delete controls of the chips, in the order they show."""
        flow = getattr(self, "_flowWidget", None)
        line = getattr(self, "_inputFieldMultiple", None)
        if flow is None or not isValid(flow) or flow.layout() is None:
            return []
        layout = flow.layout()
        controls = []
        for index in range(layout.count()):
            widget = layout.itemAt(index).widget()
            if widget is None or widget is line:
                continue
            control = getattr(widget, "deleteButton", None)
            if not isinstance(control, QAbstractButton):
                control = widget.findChild(QAbstractButton)
            if control is not None and isValid(control) and control.isEnabled():
                controls.append(control)
        return controls

    def _chips_key(self, key: int, line: QLineEdit, mods: Any) -> bool:
        """Left (Right when right-to-left) at the start of the typing field: to the last chip."""
        back = K.Key_Right if self.layoutDirection() == Qt.LayoutDirection.RightToLeft else K.Key_Left
        if key != back or mods not in (Qt.KeyboardModifier.NoModifier, Qt.KeyboardModifier.KeypadModifier):
            return False
        if line.cursorPosition() != 0 or line.hasSelectedText():
            return False
        controls = self._chip_controls()
        if not controls:
            return False
        if self._popupShowing:
            self.select_hide_popup()
        self._set_current_chip(len(controls) - 1, controls)
        return True

    def _chip_key(self, key: int) -> bool | None:
        """A key while the keyboard is on a chip; ``None`` for a key that sends it back to the
        typing field, which then takes the key as usual."""
        controls = self._chip_controls()
        if not controls:
            self._set_current_chip(-1, controls)
            return None
        index = min(self._currentChip, len(controls) - 1)
        rtl = self.layoutDirection() == Qt.LayoutDirection.RightToLeft
        back, on = (K.Key_Right, K.Key_Left) if rtl else (K.Key_Left, K.Key_Right)
        if key == back:
            self._set_current_chip(max(0, index - 1), controls)
        elif key == on:
            self._set_current_chip(index + 1 if index + 1 < len(controls) else -1, controls)
        elif key in (K.Key_Home, K.Key_End):
            self._set_current_chip(0 if key == K.Key_Home else len(controls) - 1, controls)
        elif key in _PRESS_CHIP:
            controls[index].click()  # the chip's own delete, as a click would do it
            after = self._chip_controls()
            self._set_current_chip(min(index, len(after) - 1) if after else -1, after)
        elif key == K.Key_Escape:
            self._set_current_chip(-1, controls)
        elif key in (K.Key_Shift, K.Key_Control, K.Key_Alt, K.Key_Meta):
            pass
        else:
            self._set_current_chip(-1, controls)
            return None
        return True

    def _set_current_chip(self, index: int, controls: list[QAbstractButton]) -> None:
        """Puts the keyboard on the chip at ``index`` (-1: back in the typing field), marks it and
        tells assistive technology, which speaks the control ("Remove Apple")."""
        for control in controls:
            set_keyboard_current(control, False)
        self._currentChip = index
        if 0 <= index < len(controls):
            control = controls[index]
            set_keyboard_current(control, True)
            QAccessible.updateAccessibility(QAccessibleEvent(control, QAccessible.Event.Focus))

    def _leave_chips(self) -> None:
        if self._currentChip >= 0:
            self._set_current_chip(-1, self._chip_controls())
