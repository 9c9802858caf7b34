"""Box: the plain container, a column (or row) of children with optional padding."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QBoxLayout, QWidget

from vantu.material._container_base import ContainerBase, check_choice, check_number, px
from vantu.material.component import Component

__all__ = ["Box"]

DIRECTIONS = {
    "column": QBoxLayout.Direction.TopToBottom,
    "row": QBoxLayout.Direction.LeftToRight,
    "column-reverse": QBoxLayout.Direction.BottomToTop,
    "row-reverse": QBoxLayout.Direction.RightToLeft,
}


class Box(ContainerBase):
    """A transparent box that lays its children out in one direction."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        direction: str = "column",
        spacing: float = 0,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets.
            direction: "column", "row", "column-reverse" or "row-reverse".
            spacing: gap between children, in spacing units of 8 px.
            padding: inner space, in spacing units.
        """
        ContainerBase.__init__(self, children, padding=padding)
        self._direction = check_choice("direction", direction, tuple(DIRECTIONS))
        self._spacing = check_number("spacing", spacing)

    def _setup(self) -> None:
        self._layout = self._box(self, DIRECTIONS[self._direction], px(self._spacing))
