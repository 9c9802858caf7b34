"""Container: centres its content horizontally and caps its width at a breakpoint."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QBoxLayout, QSizePolicy, QWidget

from vantu.material._container_base import ContainerBase, check_choice
from vantu.material.component import Component

__all__ = ["Container"]

MAX_WIDTHS = {"xs": 444, "sm": 600, "md": 900, "lg": 1200, "xl": 1536}
"""Breakpoint widths in px."""


class Container(ContainerBase):
    """A column of children, at most ``maxWidth`` wide, with side gutters."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        maxWidth: str | None = "lg",
        disableGutters: bool = False,
    ) -> None:
        """Args:
            children: child components or widgets.
            maxWidth: "xs", "sm", "md", "lg" (default), "xl", or None for no cap.
            disableGutters: drop the 24 px side padding.
        """
        ContainerBase.__init__(self, children)
        self._maxWidth = None if maxWidth is None else check_choice("maxWidth", maxWidth, tuple(MAX_WIDTHS))
        self._disableGutters = bool(disableGutters)

    def _setup(self) -> None:
        self._layout = self._box(self, QBoxLayout.Direction.TopToBottom, 0)
        gutter = 0 if self._disableGutters else 24
        self._layout.setContentsMargins(gutter, 0, gutter, 0)
        if self._maxWidth is not None:
            self.setMaximumWidth(MAX_WIDTHS[self._maxWidth])
        self.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
