"""Type hints of the native `entrybox` module."""
from typing import Any, Callable, ClassVar, Optional, Union

from PySide6.QtCore import Signal
from PySide6.QtGui import QMouseEvent
from PySide6.QtWidgets import QLabel, QWidget

from vantu.hooks import State
from vantu.material.component import Component, RenderContext

from ._input_base import InputBase

class EntryBox(QWidget, Component):
    focusIn: ClassVar[Signal]
    blur: ClassVar[Signal]
    clicked: ClassVar[Signal]
    keyDown: ClassVar[Signal]
    keyUp: ClassVar[Signal]
    mouseEnter: ClassVar[Signal]
    mouseLeave: ClassVar[Signal]

    _args: tuple[Any, ...]
    _kwargs: dict[str, Any]
    _fullWidth: Any
    _onBlur: Optional[Callable[..., Any]]
    _onFocus: Optional[Callable[..., Any]]
    _onClick: Optional[Callable[..., Any]]
    _onKeyDown: Optional[Callable[..., Any]]
    _onKeyUp: Optional[Callable[..., Any]]
    _onMouseEnter: Optional[Callable[..., Any]]
    _onMouseLeave: Optional[Callable[..., Any]]
    _helperText: Optional[Union[State, str]]
    _input: InputBase
    _helperLabel: QLabel

    def __init__(
        self,
        parent: Any = None,
        helperText: Optional[Union[State, str]] = None,
        onBlur: Optional[Callable] = None,
        onFocus: Optional[Callable] = None,
        onClick: Optional[Callable] = None,
        onKeyDown: Optional[Callable] = None,
        onKeyUp: Optional[Callable] = None,
        onMouseEnter: Optional[Callable] = None,
        onMouseLeave: Optional[Callable] = None,
        fullWidth: Optional[Union[State, str]] = None,
        *args: Any,
        **kwargs: Any,
    ) -> None: ...
    def renderUi(self, ctx: RenderContext, parent: Optional[QWidget] = None) -> QWidget: ...
    def _getHelperText(self) -> Optional[str]: ...
    def _setError(self, error: bool) -> None: ...
    def _updateHelperText(self) -> None: ...
    def mouseReleaseEvent(self, event: QMouseEvent) -> None: ...
    @classmethod
    def _get_stylesheet(cls, color: str, error: str, variant: str) -> str: ...
    def _handle_focus_in(self) -> None: ...
    def _handle_blur(self) -> None: ...
    def _handle_clicked(self, event: Any) -> None: ...
    def _handle_key_down(self, event: Any) -> None: ...
    def _handle_key_up(self, event: Any) -> None: ...
    def _handle_mouse_enter(self) -> None: ...
    def _handle_mouse_leave(self) -> None: ...
