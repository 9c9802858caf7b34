"""Typography: a text label in one of the theme's type styles."""
from __future__ import annotations

from typing import Any

from PySide6.QtGui import QFont
from PySide6.QtWidgets import QLabel, QWidget
from shiboken6 import isValid

from vantu.hooks import State, useEffect
from vantu.i18n.use_translation import i18n
from vantu.material._container_base import check_choice
from vantu.material.component import Component, RenderContext
from vantu.material.styles import COLOR_NAMES, TYPOGRAPHY, useTheme
from vantu.utils.translator import getTranslatedText

__all__ = ["Typography", "VARIANTS", "variant_font", "variant_sheet"]

VARIANTS: tuple[str, ...] = tuple(k for k, v in TYPOGRAPHY.items() if isinstance(v, dict))
"""Type styles of the theme: "h6", "subtitle1", "body1", "caption", ..."""

_TEXT_COLORS = ("textPrimary", "textSecondary", "inherit")

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


def text_color(color: str | None) -> str | None:
    """The current theme's colour for a Typography ``color`` (``None`` for "inherit")."""
    palette = useTheme().palette
    if color is None or color == "textPrimary":
        return palette["text"]["primary"]
    if color == "textSecondary":
        return palette["text"]["secondary"]
    if color == "inherit":
        return None
    return palette[color]["main"]


def variant_sheet(variant: str, color: str | None = None) -> str:
    """The label's own style sheet for a type style in the current theme.

    Colours and type sizes go in the widget's own sheet rather than its palette or font:
    once any ancestor (or the application) has a style sheet, Qt copies each descendant's
    palette when it polishes it and puts that copy back on every later polish, so palette
    colours set on a container, or set after a theme switch, never show. A widget's own
    sheet wins over every inherited one and is read again on each polish.
    """
    colour = text_color(color)
    if colour is None:
        return ""  # "inherit": no sheet of its own, so the palette reaches it
    style = TYPOGRAPHY[variant]
    weight = style.get("fontWeight", TYPOGRAPHY["fontWeightRegular"])
    return f"color: {colour}; font-size: {style['fontSize']}px; font-weight: {weight};"


class Typography(QLabel, Component):
    """One line (or a wrapped paragraph) of text in a Material type style.

    The text takes the theme's primary text colour (the colour of text on every
    Material surface) unless ``color`` names another one, and follows theme and
    language switches.
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
            color: None or "textPrimary" for the theme's text colour, "textSecondary",
                a palette colour name ("primary", "error", ...), or "inherit" to take
                the colour from the surrounding widgets' palette and style sheets.
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
        if self._color != "inherit":
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
        self.setStyleSheet(variant_sheet(self._variant, self._color))
