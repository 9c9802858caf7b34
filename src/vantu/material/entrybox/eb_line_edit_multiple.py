"""``EBLineEditMultiple``: the small line edit that follows the tags of a multiple selection."""
from __future__ import annotations

from collections.abc import Callable
from types import MethodType
from typing import Any
from weakref import WeakMethod

from PySide6.QtCore import QSize, Signal
from PySide6.QtGui import QFocusEvent, QKeyEvent, QMouseEvent
from PySide6.QtWidgets import QLineEdit, QSizePolicy

from vantu.utils.translator import getTranslatedText

__all__ = ["EBLineEditMultiple"]

MIN_WIDTH = 8
"""Narrowest the typing field gets on a row full of tags."""


def _hold(fn: Any) -> Any:
    # The handlers are bound methods of the input that contains this field: holding them
    # weakly keeps the child from keeping its parent's wrapper alive.
    if type(fn) is MethodType:
        return WeakMethod(fn)
    return (lambda: fn) if callable(fn) else None


def _call(holder: Any, *args: Any) -> None:
    fn = holder() if holder is not None else None
    if fn is not None:
        fn(*args)


class EBLineEditMultiple(QLineEdit):
    """Where the user types to narrow the options of a multiple selection.

    Args:
        entryBox: the input that holds the tags (kept for the application's use).
        label, placeholder: shown as placeholder while nothing is chosen.
        size: "small" or "medium" (height of the field).
        selectedKeys: the input's selected-keys ``State``; the placeholder shows only while
            it holds no key.
        onMouseEnter, onMouseLeave, onFocusIn, onFocusOut, onMouseRelease: called with the
            event when it happens on this field.
        onChange: called with the text after each edit by the user.

    Signals ``keyDown(event)`` and ``keyUp(event)`` report keys before the field handles them.
    """

    keyDown = Signal(object)
    keyUp = Signal(object)

    def __init__(
        self,
        entryBox: Any = None,
        label: Any = None,
        placeholder: Any = None,
        size: Any = None,
        selectedKeys: Any = None,
        onMouseEnter: Callable | None = None,
        onMouseLeave: Callable | None = None,
        onFocusIn: Callable | None = None,
        onFocusOut: Callable | None = None,
        onMouseRelease: Callable | None = None,
        onChange: Callable | None = None,
        parent=None,
    ) -> None:
        super().__init__(parent)
        self.setObjectName("EBLineEditMultiple")
        self._label = label
        self._placeholder = placeholder
        self._size = size
        self._selectedKeys = selectedKeys
        self._onMouseEnter = _hold(onMouseEnter)
        self._onMouseLeave = _hold(onMouseLeave)
        self._onFocusIn = _hold(onFocusIn)
        self._onFocusOut = _hold(onFocusOut)
        self._onMouseRelease = _hold(onMouseRelease)
        self._onChange = _hold(onChange)
        self.setFrame(False)
        self.setMinimumWidth(MIN_WIDTH)
        self.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Fixed)
        # As tall as a chip: a row of chips and the typing field is one even line, centred in the box.
        self.setFixedHeight(22)
        self.setStyleSheet("QLineEdit {border: none; background: transparent; padding: 0px;}")
        self.textEdited.connect(self._handle_text_edited)
        if selectedKeys is not None and hasattr(selectedKeys, "valueChanged"):
            selectedKeys.valueChanged.connect(self._update_placeholder)
        self._update_placeholder()

    def sizeHint(self) -> QSize:
        hint = super().sizeHint()
        shown = self.text() or self.placeholderText()
        width = self.fontMetrics().horizontalAdvance(shown) + 16 if shown else MIN_WIDTH
        return QSize(max(MIN_WIDTH, width), hint.height())

    def minimumSizeHint(self) -> QSize:
        # A line edit asks for room for a few characters; after the chips a caret's worth will do,
        # and the field widens with what is typed.
        return QSize(MIN_WIDTH, super().minimumSizeHint().height())

    def _update_placeholder(self, *_: Any) -> None:
        keys = getattr(self._selectedKeys, "value", None)
        shown = self._placeholder if self._placeholder is not None else None
        self.setPlaceholderText("" if keys or shown is None else getTranslatedText(shown))

    def _handle_text_edited(self, text: str) -> None:
        _call(self._onChange, text)

    def enterEvent(self, event) -> None:
        super().enterEvent(event)
        _call(self._onMouseEnter, event)

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        _call(self._onMouseLeave, event)

    def focusInEvent(self, event: QFocusEvent) -> None:
        super().focusInEvent(event)
        _call(self._onFocusIn, event)

    def focusOutEvent(self, event: QFocusEvent) -> None:
        super().focusOutEvent(event)
        _call(self._onFocusOut, event)

    def mouseReleaseEvent(self, event: QMouseEvent) -> None:
        super().mouseReleaseEvent(event)
        _call(self._onMouseRelease, event)

    def keyPressEvent(self, event: QKeyEvent) -> None:
        self.keyDown.emit(event)
        super().keyPressEvent(event)

    def keyReleaseEvent(self, event: QKeyEvent) -> None:
        self.keyUp.emit(event)
        super().keyReleaseEvent(event)
