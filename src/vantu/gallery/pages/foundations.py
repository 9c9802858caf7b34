"""Foundations: the theme's colours and type scale, the icons, and the translated texts."""
from __future__ import annotations

from PySide6.QtWidgets import QFrame, QLabel, QWidget

from vantu.gallery.pages._layout import Page
from vantu.hooks import useEffect
from vantu.material.iconify import Iconify
from vantu.material.styles import COLOR_NAMES, useTheme


class Swatch(QFrame):
    """A colour chip that follows the theme."""

    def __init__(self, name: str) -> None:
        super().__init__()
        self._name = name
        self.setFixedSize(120, 56)
        self._label = QLabel(name, self)
        self._label.setGeometry(12, 0, 108, 56)
        useEffect(self._restyle, [useTheme().state], component=self)
        self._restyle()

    def _restyle(self) -> None:
        colour = useTheme().palette[self._name]
        self.setStyleSheet(
            f"QFrame {{ background: {colour['main']}; border-radius: 12px; }}"
            f"QLabel {{ color: {colour['contrastText']}; background: transparent; font-weight: 600; }}"
        )


def build(window) -> QWidget:
    page = Page("Foundations")
    colours = page.section("Colours", columns=6)
    for name in COLOR_NAMES:
        page.demo(colours, name, Swatch(name))
    icons = page.section("Icons", columns=6)
    for key in ("ARROW_DOWN", "ARROW_UP", "CLOSE", "CALENDAR"):
        icon = Iconify(key=key, color="primary", size=28)
        icon.setToolTip(key)
        page.demo(icons, key, icon)
    words = page.section("Translated texts", columns=4)
    for key in ("Select", "Choose an option", "No options", "Helper text"):
        page.demo(words, key, page.text(key, "section"))
    return page.finish()
