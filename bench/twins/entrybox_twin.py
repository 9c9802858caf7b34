"""EntryBox's construction and rendering written in plain Python.

A subclass of the native EntryBox whose constructor, renderUi and helper-text methods are the
native bodies written line for line in Python on the same services. The input is the library's
own InputBase, as for the native EntryBox: its select mixin's constructor (four attributes and
an early return for a plain input) stays native.
"""
from __future__ import annotations

from functools import lru_cache

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QLabel, QVBoxLayout, QWidget

from vantu.hooks import State, useEffect
from vantu.material.entrybox._input_base import InputBase
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.styles import get_qss_style, useTheme
from vantu.utils.translator import getTranslatedText

_HANDLERS = (("focusIn", "_handle_focus_in"), ("blur", "_handle_blur"), ("clicked", "_handle_clicked"),
             ("keyDown", "_handle_key_down"), ("keyUp", "_handle_key_up"), ("mouseEnter", "_handle_mouse_enter"),
             ("mouseLeave", "_handle_mouse_leave"))


class PyEntryBox(EntryBox):
    """EntryBox with its constructor, renderUi and helper text in Python."""

    def __init__(self, parent=None, helperText=None, onBlur=None, onFocus=None, onClick=None, onKeyDown=None,
                 onKeyUp=None, onMouseEnter=None, onMouseLeave=None, fullWidth=None, *args, **kwargs) -> None:
        if helperText is not None and type(helperText) is not str and not isinstance(helperText, State):
            raise TypeError("Argument 'helperText' has incorrect type (expected State, str or None, got "
                            f"{type(helperText).__name__})")
        self._args = args
        self._kwargs = kwargs
        self._fullWidth = fullWidth
        self._onBlur = onBlur
        self._onFocus = onFocus
        self._onClick = onClick
        self._onKeyDown = onKeyDown
        self._onKeyUp = onKeyUp
        self._onMouseEnter = onMouseEnter
        self._onMouseLeave = onMouseLeave
        self._helperText = helperText

    def renderUi(self, ctx, parent=None) -> QWidget:
        QWidget.__init__(self, parent)
        self.setLayout(QVBoxLayout())
        layout = self.layout()
        layout.setContentsMargins(0, 0, 0, 0)
        layout.setSpacing(0)
        self.setCursor(Qt.CursorShape.IBeamCursor)
        kwargs = {"parent": self, "ctx": ctx}
        for key in self._kwargs:
            if key in kwargs:
                raise TypeError(f"{InputBase.__module__}.{InputBase.__qualname__}() got multiple values for "
                                f"keyword argument '{key}'")
            kwargs[key] = self._kwargs[key]
        inp = InputBase(*tuple(self._args), **kwargs)
        self._input = inp
        layout.addWidget(inp)
        label = QLabel()
        self._helperLabel = label
        label.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        label.setIndent(0)
        layout.addWidget(label)
        self._updateHelperText()
        for signal, handler in _HANDLERS:
            getattr(inp, signal).connect(getattr(self, handler))
        if isinstance(self._helperText, State):
            useEffect(self._updateHelperText, [self._helperText], component=self)
        return self

    def _getHelperText(self):
        helper = self._helperText
        return helper.value if isinstance(helper, State) else helper

    def _updateHelperText(self) -> None:
        label = self._helperLabel
        label.setText(getTranslatedText(self._getHelperText()))
        inp = self._input
        label.setStyleSheet(self._get_stylesheet(color=str(inp._color), error=str(inp._getError()),
                                                 variant=inp._kwargs.get("variant")))

    @classmethod
    @lru_cache(maxsize=128)
    def _get_stylesheet(cls, color: str, error: str, variant: str) -> str:
        components = useTheme().components
        if color in ("None", "none"):
            color = None
        helper_label = components["KelInput"].get("styles")["helperLabel"]({"color": color})
        helper_qss = get_qss_style(helper_label)
        error_qss = get_qss_style(helper_label["slots"]["error"]) if error == "True" else ""
        standard_qss = get_qss_style(helper_label["props"]["standard"]) if variant == "standard" else ""
        return (f"\n            QLabel {{\n                {helper_qss}"
                f"\n                /* KelInput_helperLabel_slot_color_qss */\n                {error_qss}"
                f"\n                {standard_qss}\n            }}\n        ")

    def _handle_focus_in(self) -> None:
        self.focusIn.emit()
        if callable(self._onFocus):
            self._onFocus(self)

    def _handle_blur(self) -> None:
        self.blur.emit()
        if callable(self._onBlur):
            self._onBlur(self)

    def _handle_clicked(self, event) -> None:
        self.clicked.emit(event)
        if callable(self._onClick):
            self._onClick(self, event)

    def _handle_key_down(self, event) -> None:
        self.keyDown.emit(event)
        if callable(self._onKeyDown):
            self._onKeyDown(self, event)

    def _handle_key_up(self, event) -> None:
        self.keyUp.emit(event)
        if callable(self._onKeyUp):
            self._onKeyUp(self, event)

    def _handle_mouse_enter(self) -> None:
        self.mouseEnter.emit()
        if callable(self._onMouseEnter):
            self._onMouseEnter(self)

    def _handle_mouse_leave(self) -> None:
        self.mouseLeave.emit()
        if callable(self._onMouseLeave):
            self._onMouseLeave(self)
