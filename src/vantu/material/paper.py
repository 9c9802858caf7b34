"""Paper: a Material surface, raised by a shadow or drawn with an outline."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QBoxLayout, QWidget

from vantu.material._container_base import ContainerBase, check_choice, check_number, px
from vantu.material.component import Component
from vantu.material.styles import useTheme

__all__ = ["Paper"]


class Paper(ContainerBase):
    """A column of children on the theme's paper colour, with rounded corners."""

    _surface = True

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        elevation: int = 1,
        variant: str = "elevation",
        square: bool = False,
        padding: float = 2,
        spacing: float = 1,
    ) -> None:
        """Args:
            children: child components or widgets.
            elevation: shadow depth, 0 to 24 (drawn up to 4 px deep).
            variant: "elevation" (shadow) or "outlined" (1 px divider outline, no shadow).
            square: square corners instead of the theme's radius.
            padding: inner space, in spacing units of 8 px (default 2).
            spacing: gap between children, in spacing units (default 1).
        """
        ContainerBase.__init__(self, children, padding=padding)
        self._elevation_value = int(check_number("elevation", elevation, 0, integer=True))
        if self._elevation_value > 24:
            raise ValueError(f"'elevation' must be at most 24, got {elevation}")
        self._variant = check_choice("variant", variant, ("elevation", "outlined"))
        self._square = bool(square)
        self._spacing = check_number("spacing", spacing)

    def _setup(self) -> None:
        self._layout = self._box(self, QBoxLayout.Direction.TopToBottom, px(self._spacing))
        pad = px(self._padding)
        # Room for the shadow under the surface, so children never sit on it.
        self._layout.setContentsMargins(pad, pad, pad, pad + min(self._elevation(), 4))

    def _elevation(self) -> int:
        return self._elevation_value if self._variant == "elevation" else 0

    def _surface_colors(self) -> tuple[str, str | None]:
        palette = useTheme().palette
        outline = palette["divider"] if self._variant == "outlined" else None
        return palette["background"]["paper"], outline

    def _radius(self) -> int:
        return 0 if self._square else useTheme().shape["borderRadius"]
