"""Focus and pointer events of the input: its field reports them, the tags' typing field
hands them over, and the popups go when they should: on a press away from them, when focus
leaves the input, and when the input is hidden or disabled."""
from __future__ import annotations

import weakref
from typing import TYPE_CHECKING, Any

from PySide6.QtCore import QEvent, QObject, Qt, QTimer
from PySide6.QtWidgets import QApplication, QLineEdit, QWidget

if TYPE_CHECKING:
    from collections.abc import Callable

    from ._input_base import InputBase

__all__ = ["FieldEdit", "InputEventsMixin"]

_PRESS = QEvent.Type.MouseButtonPress
_KEY_PRESS = QEvent.Type.KeyPress
_SHOW = QEvent.Type.Show
_HIDE = QEvent.Type.Hide
_ACTIVATE = QEvent.Type.WindowActivate
_WINDOW_SWITCH = Qt.FocusReason.ActiveWindowFocusReason
# Focus that goes to another window or to a menu has not left the input for good.
_KEEPS_POPUPS = (Qt.FocusReason.ActiveWindowFocusReason, Qt.FocusReason.PopupFocusReason)
_TAB_REASONS = (Qt.FocusReason.TabFocusReason, Qt.FocusReason.BacktabFocusReason)


class FieldEdit(QLineEdit):
    """The editable field; hands its focus, pointer, key and size events to its input.

    The input is held weakly: the field never keeps its owner alive.
    """

    def __init__(self, host: InputBase) -> None:
        super().__init__()
        self._host = weakref.ref(host)

    # Called as (field, event) before the field paints; True when it drew the field itself.
    _paint_first: Callable[[QLineEdit, Any], bool] | None = None

    def paintEvent(self, event) -> None:
        paint = self._paint_first
        if paint is not None and paint(self, event):
            return
        super().paintEvent(event)

    def _tell(self, handler: str, *args: Any) -> None:
        host = self._host()
        if host is not None:
            getattr(host, handler)(*args)

    def focusInEvent(self, event) -> None:
        super().focusInEvent(event)
        self._tell("_handle_field_focus_in", event.reason())

    def focusOutEvent(self, event) -> None:
        super().focusOutEvent(event)
        self._tell("_handle_field_focus_out", event.reason())

    def mouseReleaseEvent(self, event) -> None:
        super().mouseReleaseEvent(event)
        self._tell("_handle_field_released", event)

    def keyPressEvent(self, event) -> None:
        host = self._host()
        if host is not None and host._handle_key_down(event):
            return  # the input's own key (its list's, its picker's): not text
        super().keyPressEvent(event)

    def keyReleaseEvent(self, event) -> None:
        self._tell("_handle_key_up", event)
        super().keyReleaseEvent(event)

    def enterEvent(self, event) -> None:
        super().enterEvent(event)
        host = self._host()
        if host is not None:
            host._handle_field_entered()

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        host = self._host()
        if host is not None:
            host._handle_field_left()

    def resizeEvent(self, event) -> None:
        super().resizeEvent(event)
        self._tell("_place_action_frame")
        if event.size().width() != event.oldSize().width():
            self._tell("_fit_tags")


class InputEventsMixin:
    """What focus, pointer and application-wide events do to the input and its popup."""

    def __init__(self) -> None:
        state = vars(self)
        state.setdefault("_hovered", False)
        state.setdefault("_focused", False)
        state.setdefault("_refocusing", False)

    def _usable(self) -> bool:
        """Whether the input's popups may be up: it is shown, enabled and editable."""
        return self.isVisible() and self.isEnabled() and not self._readOnly

    def _close_popups(self) -> None:
        if getattr(self, "_popupShowing", False):  # may run before the select mode is set up
            self.select_hide_popup()
        self.date_close_picker()

    def _focus_inside(self) -> bool:
        now = QApplication.focusWidget()
        return now is not None and self.isAncestorOf(now)

    def _own_popup_active(self) -> bool:
        active = QApplication.activeWindow()
        return active is not None and (active is self._popup or active is self._datePopup)

    def _focus_field(self) -> None:
        """Gives the keyboard to the field (the typing field of a tags field)."""
        line = getattr(self, "_inputFieldMultiple", None)
        (line if line is not None else self._inputField).setFocus(Qt.FocusReason.MouseFocusReason)

    def _handle_field_focus_in(self, reason: Qt.FocusReason = Qt.FocusReason.OtherFocusReason) -> None:
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None and self._inputField.hasFocus() and self._shows_tags():
            # The keyboard belongs in the typing field, not the read-only one under the chips. The
            # reason goes along: only Tab selects what was typed, so a click does not let the next
            # key replace it.
            line.setFocus(reason if reason in _TAB_REASONS else Qt.FocusReason.OtherFocusReason)
        if self._focused:
            return  # back from a popup's window, which the platform had activated
        self._focused = True
        self._refresh_style()
        self._update_label()
        self._update_clear_button()
        self._refresh_accessible_texts()  # read by assistive technology as the field gets the keyboard
        self.focusIn.emit()

    def _handle_field_focus_out(self, reason: Qt.FocusReason = Qt.FocusReason.OtherFocusReason) -> None:
        if reason == _WINDOW_SWITCH and self._own_popup_active():
            return  # the popup's window took the keyboard; it is handed straight back
        if self._refocusing:
            return  # the tags are being rebuilt around the typing field, which gets focus back
        if self._focus_inside():
            return  # from the field to the tags' typing field or back: still in the input
        self._focused = False
        self._leave_chips()
        self._date_commit_text()
        self._refresh_style()
        self._update_label()
        self._update_clear_button()
        self.blur.emit()
        if reason not in _KEEPS_POPUPS:
            # Focus went elsewhere (Tab, a click, code): the lists of two fields are never up together.
            self._close_popups()

    def _handle_field_released(self, event: Any) -> None:
        self.clicked.emit(event)
        if not self._select or not self._usable():
            return
        if self._btnCalendar is not None:
            self.date_toggle_picker()
            return
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            line.setFocus()
        if not self._popupShowing:
            self.select_show_popup()
        else:
            self.select_hide_popup()

    def _handle_field_entered(self) -> None:
        self.mouseEnter.emit()

    def _handle_field_left(self) -> None:
        self.mouseLeave.emit()

    def _pointer_entered(self) -> None:
        self._hovered = True
        self._update_clear_button()
        self._refresh_hover()

    def _pointer_left(self) -> None:
        self._hovered = False
        self._update_clear_button()
        self._refresh_hover()

    # Handlers given to the tags' line edit.
    def onMouseEnter(self, event: Any = None) -> None:
        self.mouseEnter.emit()

    def onMouseLeave(self, event: Any = None) -> None:
        self.mouseLeave.emit()

    def onFocusInMultiple(self, event: Any = None) -> None:
        self._handle_field_focus_in(event.reason() if hasattr(event, "reason") else Qt.FocusReason.OtherFocusReason)

    def onFocusOut(self, event: Any = None) -> None:
        reason = event.reason() if hasattr(event, "reason") else Qt.FocusReason.OtherFocusReason
        self._handle_field_focus_out(reason)

    def onMouseRelease(self, event: Any = None) -> None:
        self.clicked.emit(event)
        if self._select and not self._popupShowing and self._usable():
            self.select_show_popup()

    def onInputChange(self, text: str = "") -> None:
        if self._select and not self._popupShowing and self._usable():
            self.select_show_popup()

    def onMultipleInputFieldClicked(self, event: Any = None) -> None:
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            line.setFocus()
        if self._select and not self._popupShowing and self._usable():
            self.select_show_popup()

    # -- the input going away, and the application-wide filter -------------------------------

    def _input_hidden(self) -> None:
        """Hidden itself or with its window (closed, say): no popup stays up without it."""
        self._close_popups()

    def _enabled_changed(self) -> None:
        if not self.isEnabled():
            self._close_popups()

    def _filter_application_event(self, watched: QObject, event: QEvent) -> bool:
        # Installed on the whole application once the list's window exists: every event of the
        # application passes here, so the common path is one call and a few comparisons.
        kind = event.type()
        if kind == _PRESS:
            if self._popupShowing and watched.isWidgetType() and not self._press_keeps_list(watched, event):
                self.select_hide_popup()
        elif kind == _KEY_PRESS:
            # The tags' typing field: the input's own keys never reach it (it is watched by the
            # input, and by the application-wide filter once a list has opened).
            line = getattr(self, "_inputFieldMultiple", None)
            if line is not None and watched is line and self._use_key(event, line):
                self.keyDown.emit(event)
                return True
        elif kind == _SHOW or kind == _ACTIVATE or kind == _HIDE:
            popup = self._popup
            if popup is not None and watched is popup:
                if kind == _ACTIVATE:
                    # Platforms that activate every new window (offscreen, some compositors) hand
                    # the list the keyboard: give it back to the input's window.
                    self.window().activateWindow()
                elif kind == _SHOW:
                    self._list_shown()
                else:
                    self._popup_state_changed(False)
                    self._popup_gone()
        return False

    def _popup_gone(self) -> None:
        """A popup closed: if the platform kept the keyboard away from the input after all (it
        may refuse to hand it back), the input is no longer focused."""
        if self._focused and not self._focus_inside():
            self._handle_field_focus_out(Qt.FocusReason.PopupFocusReason)

    def _list_shown(self) -> None:
        """The list's window is being shown: the date picker goes (one popup at a time), the rows
        are brought up to date before the list is measured, and the list of an input that cannot
        be used goes again right after its opening."""
        self.date_close_picker()
        if self._sync_list_rows():
            self._popup.adjustSize()  # laid out again now: the opening measures the list next
        self._start_current_row()
        self._popup_state_changed(True)
        if not self._usable():
            # Not now: the opening is still under way. A timer of the input's own, so it goes
            # with the input and lets go of it.
            timer = QTimer(self)
            timer.setSingleShot(True)
            timer.timeout.connect(self._close_unusable_list)
            timer.timeout.connect(timer.deleteLater)
            timer.start(0)

    def _close_unusable_list(self) -> None:
        if self._popupShowing and not self._usable():
            self.select_hide_popup()

    def _area(self) -> QWidget:
        """The entry box holding the input (its release opens the list anyway), else the input."""
        host = self.parentWidget()
        return host if host is not None and getattr(host, "_input", None) is self else self

    def _press_keeps_list(self, watched: QWidget, event: QEvent) -> bool:
        """Whether a press leaves the list up: one on the entry box or on the list."""
        area = self._area()
        if watched is area or area.isAncestorOf(watched):
            return True
        popup = self._popup
        if popup is not None and (watched is popup or popup.isAncestorOf(watched)):
            return True
        # A press the entry box leaves unhandled travels up to its window: it was still on the box.
        if watched.window() is area.window():
            return area.rect().contains(area.mapFromGlobal(event.globalPosition().toPoint()))
        return False
