"""Files shipped with the library: ``VANTU_ASSETS.ICONS`` holds the icon paths.

The icons are 24 px Material-style glyphs drawn for this library, stored as
SVG next to this module; every member is a path that ``QIcon`` accepts.
"""
from __future__ import annotations

from pathlib import Path
from types import SimpleNamespace

__all__ = ["ICONS_DIR", "VANTU_ASSETS", "icon_path"]

ICONS_DIR: Path = Path(__file__).resolve().parent / "icons"


class _Icons(SimpleNamespace):
    """Icon file paths by name (``ARROW_DOWN``, ``ARROW_UP``, ``CLOSE``, ``CALENDAR``)."""


_ICONS = _Icons(
    ARROW_DOWN=str(ICONS_DIR / "arrow_down.svg"),
    ARROW_UP=str(ICONS_DIR / "arrow_up.svg"),
    CLOSE=str(ICONS_DIR / "close.svg"),
    CALENDAR=str(ICONS_DIR / "calendar.svg"),
)

VANTU_ASSETS = SimpleNamespace(ICONS=_ICONS)
"""The library's assets; ``VANTU_ASSETS.ICONS.CLOSE`` etc. are file paths (str)."""


def icon_path(name: str) -> str | None:
    """Return the path of the icon called ``name`` ("arrow-down", "ARROW_DOWN", "close"...), or None."""
    key = name.strip().upper().replace("-", "_").replace(" ", "_")
    return getattr(_ICONS, key, None) if key and not key.startswith("_") else None
