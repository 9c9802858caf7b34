"""``Iconify``: a small label that shows one of the library's icons, optionally tinted."""
from __future__ import annotations

import os

from PySide6.QtCore import QSize, Qt
from PySide6.QtGui import QColor, QIcon, QPainter, QPixmap
from PySide6.QtWidgets import QLabel, QWidget

from vantu.hooks.use_state import useEffect
from vantu.material.styles.palette import COLOR_NAMES
from vantu.material.styles.theme import useTheme
from vantu.vantu_assets import VANTU_ASSETS, icon_path

__all__ = ["Iconify"]


def _resolve_key(key: object) -> str:
    if isinstance(key, os.PathLike):  # one of VANTU_ASSETS.ICONS, or a path object
        key = os.fspath(key)
    if isinstance(key, str) and key:
        if os.path.isfile(key):
            return key
        path = icon_path(key)
        if path is not None:
            return path
    known = ", ".join(sorted(vars(VANTU_ASSETS.ICONS)))
    raise ValueError(f"'key' must be an icon file path or one of {known}, got {key!r}")


class Iconify(QLabel):
    """An icon of ``size`` px, painted in ``color`` when one is given.

    Args:
        key: an icon name ("arrow-down", "ARROW_DOWN", "close", "calendar"), one of
            ``VANTU_ASSETS.ICONS`` or the path of an image file.
        color: ``None`` for the icon's own colours, a palette name
            ("primary", "error", ...; follows the theme) or any colour QColor reads.
        size: edge length in px.
        parent: parent widget.
    """

    def __init__(self, key: str = "", color: str | None = None, size: int = 20, parent: QWidget | None = None) -> None:
        path = _resolve_key(key)
        self._check_color(color)
        self._check_size(size)
        super().__init__(parent)
        self.setObjectName(f"Iconify-{id(self)}")
        self.setAlignment(Qt.AlignmentFlag.AlignCenter)
        self.setAttribute(Qt.WidgetAttribute.WA_TranslucentBackground)
        self._path = path
        self._color = color
        self._size = size
        self._follows_theme = False
        self.setFixedSize(size, size)
        self._follow_theme_if_needed()
        self._refresh()

    @staticmethod
    def _check_color(color: object) -> None:
        if color is None or color in COLOR_NAMES:
            return
        if not isinstance(color, str) or not QColor.isValidColorName(color):
            raise ValueError(f"'color' must be None, a palette colour name or a colour text, got {color!r}")

    @staticmethod
    def _check_size(size: object) -> None:
        if type(size) is bool or not isinstance(size, int) or size <= 0:
            raise ValueError(f"'size' must be a positive int, got {size!r}")

    def _follow_theme_if_needed(self) -> None:
        if not self._follows_theme and self._color in COLOR_NAMES:
            self._follows_theme = True
            useEffect(self._refresh, [useTheme().state], component=self)

    def key(self) -> str:
        """The path of the shown icon."""
        return self._path

    def setKey(self, key: str) -> None:
        """Show another icon (a name or a file path)."""
        self._path = _resolve_key(key)
        self._refresh()

    def color(self) -> str | None:
        """The tint given at construction or with ``setColor``."""
        return self._color

    def setColor(self, color: str | None) -> None:
        """Tint the icon with ``color`` (``None`` shows its own colours)."""
        self._check_color(color)
        self._color = color
        self._follow_theme_if_needed()
        self._refresh()

    def iconSize(self) -> int:
        """Edge length of the icon in px."""
        return self._size

    def setIconSize(self, size: int) -> None:
        """Resize the icon to ``size`` px."""
        self._check_size(size)
        self._size = size
        self.setFixedSize(size, size)
        self._refresh()

    def _refresh(self) -> None:
        size = self._size
        ratio = self.devicePixelRatioF()
        pixmap: QPixmap = QIcon(self._path).pixmap(QSize(size, size), ratio)
        if self._color is not None and not pixmap.isNull():
            painter = QPainter(pixmap)
            painter.setCompositionMode(QPainter.CompositionMode.CompositionMode_SourceIn)
            painter.fillRect(pixmap.rect(), QColor(useTheme().resolve_color(self._color)))
            painter.end()
        self.setPixmap(pixmap)
