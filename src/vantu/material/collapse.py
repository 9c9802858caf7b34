"""Collapse: shows or hides its children as one block."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtCore import Signal
from PySide6.QtWidgets import QWidget

from vantu.hooks import State, useEffect
from vantu.material._container_base import ContainerBase
from vantu.material.component import Component

__all__ = ["Collapse"]


class Collapse(ContainerBase):
    """A column of children that is shown while open and hidden while closed.

    Signals:
        openChanged(bool): after the open state has changed.
    """

    openChanged = Signal(bool)

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        open: bool | State = True,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets.
            open: whether the content shows, or a ``State`` that the collapse follows.
            padding: inner space, in spacing units of 8 px.
        """
        ContainerBase.__init__(self, children, padding=padding)
        self._open = open

    def _setup(self) -> None:
        super()._setup()
        self._isOpen = bool(self._open.value if isinstance(self._open, State) else self._open)
        # A closed collapse stays hidden when its parent is revealed.
        self.setVisible(self._isOpen)
        if isinstance(self._open, State):
            useEffect(self._follow_state, [self._open], component=self)

    def _follow_state(self) -> None:
        self.setOpen(bool(self._open.value))

    def isOpen(self) -> bool:
        """Whether the content shows (before ``renderUi``: the configured value)."""
        if not self._built:
            return bool(self._open.value if isinstance(self._open, State) else self._open)
        return self._isOpen

    def setOpen(self, open: bool) -> None:
        """Show (True) or hide (False) the content; emits ``openChanged`` on a change."""
        open = bool(open)
        if open == self._isOpen:
            return
        self._isOpen = open
        self.setVisible(open)
        self.openChanged.emit(open)

    def toggle(self) -> None:
        """Open when closed, close when open."""
        self.setOpen(not self._isOpen)
