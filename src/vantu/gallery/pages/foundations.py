"""Foundations: the theme's colours, the icons, and the library's own words in the current language."""
from __future__ import annotations

from PySide6.QtCore import QRect, QSize, Qt
from PySide6.QtGui import QColor, QIcon, QImage, QPainter, QPixmap
from PySide6.QtWidgets import QFrame, QLabel, QVBoxLayout, QWidget

from vantu.gallery.pages._layout import Page
from vantu.hooks import useEffect
from vantu.i18n.use_translation import i18n, translate
from vantu.material.styles import COLOR_NAMES, useTheme
from vantu.vantu_assets import VANTU_ASSETS

ICON_SIZE = 24
INK = 20
"""Material icons draw within 20 of their 24 pixels."""
ICONS = (("ARROW_DOWN", "Arrow down"), ("ARROW_UP", "Arrow up"), ("CLOSE", "Close"), ("CALENDAR", "Calendar"))
LIBRARY_WORDS = ("Select", "Choose an option", "No options", "Loading...", "Choose date", "Choose time",
                 "Required", "Clear")
"""Words the components show by themselves; each is shown translated, over its key."""


class Swatch(QFrame):
    """A colour chip that follows the theme, named in the current language."""

    def __init__(self, name: str) -> None:
        super().__init__()
        self._name = name
        self.setFixedSize(120, 56)
        self._label = QLabel(self)
        self._label.setGeometry(12, 0, 96, 56)  # 12 px in from either edge
        useEffect(self._restyle, [useTheme().state], component=self)
        i18n.langChanged.connect(self._retranslate)
        self._restyle()
        self._retranslate()

    def _retranslate(self, *_ignored) -> None:
        self._label.setText(translate(self._name.capitalize()))

    def _restyle(self) -> None:
        colour = useTheme().palette[self._name]
        self.setStyleSheet(
            f"QFrame {{ background: {colour['main']}; border-radius: 12px; }}"
            f"QLabel {{ color: {colour['contrastText']}; background: transparent; font-weight: 600; }}"
        )


class Glyph(QLabel):
    """An icon of the library with its drawing fitted to a ``ICON_SIZE`` box, so a small glyph
    (the 10-pixel drop-down arrows) shows as large as the others beside it."""

    def __init__(self, key: str) -> None:
        super().__init__()
        self._path = getattr(VANTU_ASSETS.ICONS, key)
        self.setFixedSize(ICON_SIZE + 16, ICON_SIZE + 16)
        self.setAlignment(Qt.AlignmentFlag.AlignCenter)
        self.setToolTip(key)
        useEffect(self._refresh, [useTheme().state], component=self)
        self._refresh()

    def _refresh(self) -> None:
        ratio = self.devicePixelRatioF()
        # Drawn at a ratio of 1 and handed the screen's ratio at the end: an image of another
        # ratio would be drawn at its logical size, smaller.
        big = QIcon(self._path).pixmap(QSize(96, 96), 1.0).toImage().convertToFormat(QImage.Format.Format_ARGB32)
        big.setDevicePixelRatio(1.0)
        drawn = _ink_rect(big)
        side = round(ICON_SIZE * ratio)
        ink = round(INK * ratio)
        scaled = big.copy(drawn).scaled(ink, ink, Qt.AspectRatioMode.KeepAspectRatio,
                                        Qt.TransformationMode.SmoothTransformation)
        pixmap = QPixmap(side, side)
        pixmap.fill(Qt.GlobalColor.transparent)
        painter = QPainter(pixmap)
        painter.drawImage((side - scaled.width()) // 2, (side - scaled.height()) // 2, scaled)
        painter.setCompositionMode(QPainter.CompositionMode.CompositionMode_SourceIn)
        painter.fillRect(pixmap.rect(), QColor(useTheme().palette["primary"]["main"]))
        painter.end()
        pixmap.setDevicePixelRatio(ratio)
        self.setPixmap(pixmap)


def _ink_rect(image: QImage) -> QRect:
    """The smallest rectangle holding every visible pixel of ``image``."""
    xs, ys = [], []
    for y in range(image.height()):
        for x in range(image.width()):
            if image.pixelColor(x, y).alpha() > 16:
                xs.append(x)
                ys.append(y)
    if not xs:
        return image.rect()
    return QRect(min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)


def build(window) -> QWidget:
    page = Page("Foundations")
    colours = page.section("Colours", columns=6)
    for name in COLOR_NAMES:
        swatch = page.demo(colours, None, Swatch(name))
        page.align_to_start(swatch._label)
    icons = page.section("Icons", columns=6)
    for key, name in ICONS:
        page.demo(icons, name, Glyph(key))
    words = page.section("Translated texts", columns=4)
    for key in LIBRARY_WORDS:
        pair = QWidget()
        column = QVBoxLayout(pair)
        column.setContentsMargins(0, 0, 0, 0)
        column.setSpacing(0)
        column.addWidget(page.text(key, "section"))
        original = page.align_to_start(QLabel(key))  # the key itself, untranslated
        original.setProperty("role", "caption")
        original.setIndent(0)
        column.addWidget(original)
        page.demo(words, None, pair)
    return page.finish()
