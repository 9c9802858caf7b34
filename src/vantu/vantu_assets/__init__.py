"""Files shipped with the library: ``VANTU_ASSETS.ICONS`` holds the icons.

The icons are Material-style glyphs drawn for this library on a 20 px grid (the arrows are the
Material ``arrow_drop_down`` triangle, 10 x 5), stored as SVG next to this module. In a box smaller
than its design size a glyph keeps that size, centred, as long as it fits: the arrows stay 10 x 5 in
Qt's default 16 px icon box instead of shrinking to a speck.

Every member of ``VANTU_ASSETS.ICONS`` is a ``QIcon`` (so ``QIcon(VANTU_ASSETS.ICONS.CLOSE)`` copies
it) that paints its glyph in the current theme's icon colour: a widget holding one needs no code of
its own to follow light/dark switches. ``os.fspath(icon)`` (or ``icon.path``) gives the SVG file, and
``icon_path(name)`` the file of an icon by name.
"""
from __future__ import annotations

from pathlib import Path
from types import SimpleNamespace
from typing import Any

from PySide6.QtCore import QRect, QRectF, QSize, Qt
from PySide6.QtGui import QColor, QIcon, QIconEngine, QImage, QPainter, QPixmap
from PySide6.QtSvg import QSvgRenderer
from shiboken6 import isValid

from vantu.material.styles import useTheme

__all__ = ["ICONS_DIR", "VANTU_ASSETS", "AssetIcon", "icon_colour", "icon_path"]

ICONS_DIR: Path = Path(__file__).resolve().parent / "icons"

_PATHS: dict[str, str] = {
    "ARROW_DOWN": str(ICONS_DIR / "arrow_down.svg"),
    "ARROW_UP": str(ICONS_DIR / "arrow_up.svg"),
    "CLOSE": str(ICONS_DIR / "close.svg"),
    "CALENDAR": str(ICONS_DIR / "calendar.svg"),
}


# Smallest box (logical px) each glyph is drawn for; a smaller box shows its centre.
_DESIGN_BOX: dict[str, int] = {
    _PATHS["ARROW_DOWN"]: 20,
    _PATHS["ARROW_UP"]: 20,
    _PATHS["CLOSE"]: 18,
}


def icon_colour(mode: QIcon.Mode = QIcon.Mode.Normal) -> QColor:
    """The colour the library's icons take in the current theme: on light surfaces the grey the
    files are drawn in, on dark ones the secondary text colour; disabled, the disabled text colour."""
    theme = useTheme()
    palette = theme.palette
    if mode == QIcon.Mode.Disabled:
        return QColor(palette["text"]["disabled"])
    if theme.mode == "light":
        return QColor(palette["grey"]["600"])
    return QColor(palette["text"]["secondary"])


# Rendered glyphs by (file, device size, icon mode, theme mode); emptied on every theme switch.
_PIXMAPS: dict[tuple[Any, ...], QPixmap] = {}
_PIXMAP_LIMIT = 256
_RENDERERS: dict[str, QSvgRenderer] = {}
# Counts theme switches: an engine's last answer holds while it is unchanged.
_GENERATION = [0]


def _render(path: str, size: QSize, mode: QIcon.Mode, scale: float) -> QPixmap:
    width = max(1, round(size.width() * scale))
    height = max(1, round(size.height() * scale))
    theme_mode = useTheme().mode
    key = (path, width, height, mode, theme_mode)
    pixmap = _PIXMAPS.get(key)
    if pixmap is None:
        renderer = _RENDERERS.get(path)
        if renderer is None:
            renderer = _RENDERERS[path] = QSvgRenderer(path)
        image = QImage(width, height, QImage.Format.Format_ARGB32_Premultiplied)
        image.fill(Qt.GlobalColor.transparent)
        painter = QPainter(image)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        # Drawn in its design box when the box asked for is smaller, centred on whole pixels so
        # that its straight edges stay sharp.
        box = round(_DESIGN_BOX.get(path, 0) * scale)
        drawn_w, drawn_h = max(width, box), max(height, box)
        painter.translate(-((drawn_w - width) // 2), -((drawn_h - height) // 2))
        renderer.render(painter, QRectF(0, 0, drawn_w, drawn_h))
        painter.resetTransform()
        # The glyph's coverage in the theme's colour.
        painter.setCompositionMode(QPainter.CompositionMode.CompositionMode_SourceIn)
        painter.fillRect(QRect(0, 0, width, height), icon_colour(mode))
        painter.end()
        pixmap = QPixmap.fromImage(image)
        if len(_PIXMAPS) >= _PIXMAP_LIMIT:
            _PIXMAPS.clear()
        _PIXMAPS[key] = pixmap
    # A copy shares the pixel data; the caller may set its own ratio on it.
    copy = QPixmap(pixmap)
    copy.setDevicePixelRatio(scale)
    return copy


# Engines that Qt asked for with clone(): Qt owns them, but their Python side must outlive the
# call, so they are held here until Qt has deleted them.
_CLONES: list[QIconEngine] = []


class _ThemedEngine(QIconEngine):
    """Draws an SVG file in the theme's icon colour, at any size and pixel ratio."""

    def __init__(self, path: str) -> None:
        super().__init__()
        self._path = path
        self._last: tuple[Any, ...] = ()  # (size, mode, scale, generation, pixmap) of the last answer

    def clone(self) -> QIconEngine:
        _CLONES[:] = [engine for engine in _CLONES if isValid(engine)]
        twin = _ThemedEngine(self._path)
        _CLONES.append(twin)
        return twin

    def key(self) -> str:
        return "vantu-themed-svg"

    def isNull(self) -> bool:
        return False

    def actualSize(self, size: QSize, mode: QIcon.Mode, state: QIcon.State) -> QSize:
        return QSize(size)

    def pixmap(self, size: QSize, mode: QIcon.Mode, state: QIcon.State) -> QPixmap:
        return _render(self._path, size, mode, 1.0)

    def scaledPixmap(self, size: QSize, mode: QIcon.Mode, state: QIcon.State, scale: float) -> QPixmap:
        # A button asks again at every repaint (a hover, say): the same question, the same answer.
        last = self._last
        if last and last[0] == size and last[1] == mode and last[2] == scale and last[3] == _GENERATION[0]:
            return last[4]
        pixmap = _render(self._path, size, mode, scale)
        self._last = (QSize(size), mode, scale, _GENERATION[0], pixmap)
        return pixmap

    def paint(self, painter: QPainter, rect: QRect, mode: QIcon.Mode, state: QIcon.State) -> None:
        device = painter.device()
        scale = device.devicePixelRatioF() if device is not None else 1.0
        painter.drawPixmap(rect, _render(self._path, rect.size(), mode, scale))


class AssetIcon(QIcon):
    """One of the library's icons: a ``QIcon`` drawn in the theme's icon colour. ``path`` (and
    ``os.fspath``) give its SVG file."""

    def __init__(self, name: str, path: str) -> None:
        super().__init__(_ThemedEngine(path))
        self._name = name
        self._path = path

    @property
    def path(self) -> str:
        """The SVG file the icon draws."""
        return self._path

    def __fspath__(self) -> str:
        return self._path

    def __repr__(self) -> str:
        return f"<AssetIcon {self._name}>"


class _Icons(SimpleNamespace):
    """The library's icons by name (``ARROW_DOWN``, ``ARROW_UP``, ``CLOSE``, ``CALENDAR``)."""


_ICONS = _Icons(**{name: AssetIcon(name, path) for name, path in _PATHS.items()})

VANTU_ASSETS = SimpleNamespace(ICONS=_ICONS)
"""The library's assets; ``VANTU_ASSETS.ICONS.CLOSE`` etc. are themed ``QIcon`` objects."""


def icon_path(name: str) -> str | None:
    """Return the path of the icon called ``name`` ("arrow-down", "ARROW_DOWN", "close"...), or None."""
    key = name.strip().upper().replace("-", "_").replace(" ", "_")
    return _PATHS.get(key)


def _follow_theme(*_: Any) -> None:
    # Glyphs are drawn when painted: after a switch every window paints them afresh.
    _PIXMAPS.clear()
    _GENERATION[0] += 1
    from PySide6.QtWidgets import QApplication

    app = QApplication.instance()
    if isinstance(app, QApplication):
        for window in app.topLevelWidgets():
            window.update()


useTheme().state.valueChanged.connect(_follow_theme)
