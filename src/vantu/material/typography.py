"""Typography: a text label in one of the theme's type styles."""
from __future__ import annotations

from typing import Any

from PySide6.QtGui import QColor, QFont, QPalette
from PySide6.QtWidgets import QLabel, QWidget
from shiboken6 import isValid

from vantu.hooks import State, useEffect
from vantu.i18n.use_translation import i18n
from vantu.material._container_base import check_choice
from vantu.material.component import Component, RenderContext
from vantu.material.styles import COLOR_NAMES, TYPOGRAPHY, useTheme
from vantu.utils.translator import getTranslatedText

__all__ = ["Typography", "VARIANTS", "variant_font"]

VARIANTS: tuple[str, ...] = tuple(k for k, v in TYPOGRAPHY.items() if isinstance(v, dict))
"""Type styles of the theme: "h6", "subtitle1", "body1", "caption", ..."""

_TEXT_COLORS = ("textPrimary", "textSecondary")

_fonts: dict[str, QFont] = {}


def variant_font(variant: str) -> QFont:
    """The font of a type style (made once per style; callers get a copy)."""
    font = _fonts.get(variant)
    if font is None:
        style = TYPOGRAPHY[variant]
        font = QFont(TYPOGRAPHY["fontFamily"])
        font.setPixelSize(style["fontSize"])
        font.setWeight(QFont.Weight(style.get("fontWeight", TYPOGRAPHY["fontWeightRegular"])))
        if variant == "overline":
            font.setCapitalization(QFont.Capitalization.AllUppercase)
        _fonts[variant] = font
    return QFont(font)


class Typography(QLabel, Component):
    """One line (or a wrapped paragraph) of text in a Material type style.

    The text colour is inherited from the surrounding surface unless
    ``color`` names one.
    """

    def __init__(
        self,
        text: str | State = "",
        variant: str = "body1",
        *,
        color: str | None = None,
        wrap: bool = False,
    ) -> None:
        """Args:
            text: the text (translated), or a ``State`` holding it.
            variant: a type style of the theme ("body1", "h6", "caption", ...).
            color: None to inherit, "textPrimary", "textSecondary", or a palette
                colour name ("primary", "error", ...).
            wrap: wrap long text over several lines.
        """
        Component.__init__(self)
        if not isinstance(text, (str, State)):
            raise TypeError(f"'text' must be a str or a State, got {type(text).__name__}")
        self._text: Any = text
        self._variant = check_choice("variant", variant, VARIANTS)
        if color is not None:
            check_choice("color", color, _TEXT_COLORS + COLOR_NAMES)
        self._color = color
        self._wrap = bool(wrap)
        self._built = False

    def renderUi(self, ctx: RenderContext | None = None, parent: QWidget | None = None) -> QWidget:
        """Make the label under ``parent`` and return it."""
        if self._built:
            return self
        QLabel.__init__(self, parent)
        self._built = True
        self.setObjectName(f"Typography-{id(self)}")
        self.setFont(variant_font(self._variant))
        if self._wrap:
            self.setWordWrap(True)
        self._update_text()
        if isinstance(self._text, State):
            useEffect(self._update_text, [self._text], component=self)
        i18n.langChanged.connect(self._retranslate)
        if self._color is not None:
            self._apply_color()
            useEffect(self._apply_color, [useTheme().state], component=self)
        return self

    def variant(self) -> str:
        """The type style."""
        return self._variant

    def _update_text(self) -> None:
        text = self._text.value if isinstance(self._text, State) else self._text
        self.setText(getTranslatedText(text))

    def _retranslate(self, *_ignored: Any) -> None:
        self._update_text()

    def _apply_color(self) -> None:
        if not isValid(self):
            return
        palette = useTheme().palette
        if self._color == "textPrimary":
            colour = palette["text"]["primary"]
        elif self._color == "textSecondary":
            colour = palette["text"]["secondary"]
        else:
            colour = palette[self._color]["main"]
        pal = QPalette(self.palette())
        pal.setColor(QPalette.ColorRole.WindowText, QColor(colour))
        self.setPalette(pal)
