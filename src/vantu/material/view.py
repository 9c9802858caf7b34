"""View: a page area on the theme's background colour."""
from __future__ import annotations

from vantu.material.box import Box
from vantu.material.styles import useTheme

__all__ = ["View"]


class View(Box):
    """A Box that fills its area with the page background (``background.default``).

    Use it as the root of a page; options as for ``Box``.
    """

    _surface = True

    def _surface_colors(self) -> tuple[str, str | None]:
        return useTheme().palette["background"]["default"], None

    def _radius(self) -> int:
        return 0
