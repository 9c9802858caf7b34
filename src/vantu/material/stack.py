"""Stack: children in one column or row with a fixed gap between them."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QWidget

from vantu.material.box import Box
from vantu.material.component import Component

__all__ = ["Stack"]

class Stack(Box):
    """A one-dimensional layout with spacing; ``direction`` as for ``Box``."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        direction: str = "column",
        spacing: float = 1,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets.
            direction: "column" (default), "row", "column-reverse" or "row-reverse".
            spacing: gap between children in spacing units of 8 px (default 1).
            padding: inner space, in spacing units.
        """
        Box.__init__(self, children, direction=direction, spacing=spacing, padding=padding)
