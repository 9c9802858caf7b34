"""Focus and pointer events of the input: its field reports them, the tags' typing field
hands them over, and a press away from an open popup closes it."""
from __future__ import annotations

import weakref
from typing import TYPE_CHECKING, Any

from PySide6.QtCore import QEvent, QObject
from PySide6.QtWidgets import QLineEdit, QWidget

if TYPE_CHECKING:
    from ._input_base import InputBase

__all__ = ["FieldEdit", "InputEventsMixin"]


class FieldEdit(QLineEdit):
    """The editable field; hands its focus, pointer, key and size events to its input.

    The input is held weakly: the field never keeps its owner alive.
    """

    def __init__(self, host: InputBase) -> None:
        super().__init__()
        self._host = weakref.ref(host)

    def _tell(self, handler: str, *args: Any) -> None:
        host = self._host()
        if host is not None:
            getattr(host, handler)(*args)

    def focusInEvent(self, event) -> None:
        super().focusInEvent(event)
        self._tell("_handle_field_focus_in")

    def focusOutEvent(self, event) -> None:
        super().focusOutEvent(event)
        self._tell("_handle_field_focus_out")

    def mouseReleaseEvent(self, event) -> None:
        super().mouseReleaseEvent(event)
        self._tell("_handle_field_released", event)

    def keyPressEvent(self, event) -> None:
        self._tell("_handle_key_down", event)
        super().keyPressEvent(event)

    def keyReleaseEvent(self, event) -> None:
        self._tell("_handle_key_up", event)
        super().keyReleaseEvent(event)

    def enterEvent(self, event) -> None:
        super().enterEvent(event)
        self._tell("_handle_field_entered")

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        self._tell("_handle_field_left")

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

    def _handle_field_focus_in(self) -> None:
        self._focused = True
        self._refresh_style()
        self._update_label()
        self.focusIn.emit()

    def _handle_field_focus_out(self) -> None:
        self._focused = False
        self._refresh_style()
        self._update_label()
        self.blur.emit()

    def _handle_field_released(self, event: Any) -> None:
        self.clicked.emit(event)
        if not self._select:
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
        self._refresh_style()

    def _pointer_left(self) -> None:
        self._hovered = False
        self._update_clear_button()
        self._refresh_style()

    # Handlers given to the tags' line edit.
    def onMouseEnter(self, event: Any = None) -> None:
        self.mouseEnter.emit()

    def onMouseLeave(self, event: Any = None) -> None:
        self.mouseLeave.emit()

    def onFocusInMultiple(self, event: Any = None) -> None:
        self._handle_field_focus_in()

    def onFocusOut(self, event: Any = None) -> None:
        self._handle_field_focus_out()

    def onMouseRelease(self, event: Any = None) -> None:
        self.clicked.emit(event)
        if self._select and not self._popupShowing:
            self.select_show_popup()

    def onInputChange(self, text: str = "") -> None:
        if self._select and not self._popupShowing:
            self.select_show_popup()

    def onMultipleInputFieldClicked(self, event: Any = None) -> None:
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            line.setFocus()
        if self._select and not self._popupShowing:
            self.select_show_popup()

    def _filter_application_event(self, watched: QObject, event: QEvent) -> bool:
        # Installed on the whole application once the popup exists: keep the common path short.
        if event.type() != QEvent.Type.MouseButtonPress or not self._popupShowing:
            return False
        if not watched.isWidgetType() or self._owns(watched):
            return False
        self.select_hide_popup()
        return False

    def _owns(self, widget: QWidget) -> bool:
        if widget is self or self.isAncestorOf(widget):
            return True
        popup = self._popup
        return popup is not None and (widget is popup or popup.isAncestorOf(widget))
