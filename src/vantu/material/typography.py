"""Typography: a text label in one of the theme's type styles."""
from __future__ import annotations

import weakref
from typing import Any

from PySide6.QtCore import Qt, QTimer
from PySide6.QtGui import QColor, QFont, QPalette
from PySide6.QtWidgets import QApplication, QLabel, QWidget
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


def _shared_font(variant: str) -> QFont:
    """The cached font itself: Qt shares it with every label that takes it."""
    font = _fonts.get(variant)
    if font is None:
        variant_font(variant)
        font = _fonts[variant]
    return font


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
    """Style-sheet declarations of a type style in the current theme ("" for "inherit").

    For applications that style their own labels like a ``Typography``; the
    ``Typography`` itself takes its font and colour without a sheet.
    """
    colour = text_color(color)
    if colour is None:
        return ""  # "inherit": no sheet of its own, so the palette reaches it
    style = TYPOGRAPHY[variant]
    weight = style.get("fontWeight", TYPOGRAPHY["fontWeightRegular"])
    return f"color: {colour}; font-size: {style['fontSize']}px; font-weight: {weight};"


_palettes: dict[str, QPalette] = {}


def _text_palette(colour: str) -> QPalette:
    """A palette that sets only the text roles, so every other role still comes from the parent."""
    palette = _palettes.get(colour)
    if palette is None:
        palette = QPalette()
        for role in (QPalette.ColorRole.WindowText, QPalette.ColorRole.Text):
            palette.setColor(role, QColor(colour))
        _palettes[colour] = palette
    return palette


# Every shown Typography follows theme and language switches through one connection each,
# instead of two connections (and a hook object) per label.
_live: weakref.WeakSet[Typography] = weakref.WeakSet()
_following = False


def _follow(label: Typography) -> None:
    global _following
    if not _following:
        _following = True
        i18n.langChanged.connect(_retranslate_all)
        useTheme().state.valueChanged.connect(_recolour_all)
        app = QApplication.instance()
        if app is not None:
            app.layoutDirectionChanged.connect(_realign_soon)
    _live.add(label)


def _retranslate_all(*_ignored: Any) -> None:
    for label in list(_live):
        if isValid(label):
            label._update_text()


def _recolour_all(*_ignored: Any) -> None:
    for label in list(_live):
        if label._color != "inherit" and isValid(label):
            label._apply_color()


def _realign_soon(*_ignored: Any) -> None:
    # Told before the widgets take the new direction: realign once they have it.
    QTimer.singleShot(0, QApplication.instance(), _realign_all)


def _realign_all(*_ignored: Any) -> None:
    for label in list(_live):
        if isValid(label):
            label._align_to_start()


_HORIZONTAL = Qt.AlignmentFlag.AlignHorizontal_Mask | Qt.AlignmentFlag.AlignAbsolute
_START_RTL = Qt.AlignmentFlag.AlignRight | Qt.AlignmentFlag.AlignAbsolute


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
        text = self._text
        QLabel.__init__(self, getTranslatedText(text.value if isinstance(text, State) else text), parent)
        self._built = True
        self.setObjectName(f"Typography-{id(self)}")
        self.setFont(_shared_font(self._variant))
        if self._wrap:
            self.setWordWrap(True)
        if isinstance(text, State):
            useEffect(self._update_text, [text], component=self)
        if self._color != "inherit":
            self.setPalette(_text_palette(text_color(self._color)))
        self._align_to_start()
        _follow(self)
        return self

    def _align_to_start(self) -> None:
        # A label aligns by its text's own direction, so Latin text would stay on the left of a
        # right-to-left page; in such a layout it is put on the start edge explicitly.
        align = self.alignment()
        rtl = self.layoutDirection() == Qt.LayoutDirection.RightToLeft
        horizontal = _START_RTL if rtl else Qt.AlignmentFlag.AlignLeft
        if align & _HORIZONTAL != horizontal:
            self.setAlignment((align & ~_HORIZONTAL) | horizontal)

    def variant(self) -> str:
        """The type style."""
        return self._variant

    def _update_text(self) -> None:
        text = self._text.value if isinstance(self._text, State) else self._text
        self.setText(getTranslatedText(text))

    def _retranslate(self, *_ignored: Any) -> None:
        self._update_text()

    def _apply_color(self) -> None:
        """Take the theme's text colour after a switch.

        The colour lives in the label's palette, not in a style sheet of its own (a sheet per
        label costs a style-sheet parse and a sheet polish for every label). Under an ancestor's
        style sheet, Qt keeps the palette a widget had when it was polished and puts it back on
        every later polish, so the label is unpolished, given its new palette, and polished again:
        the new palette is then the one kept.
        """
        if not isValid(self):
            return
        palette = _text_palette(text_color(self._color))
        if not self.testAttribute(Qt.WidgetAttribute.WA_WState_Polished):
            self.setPalette(palette)
            return
        style = self.style()
        style.unpolish(self)
        self.setPalette(palette)
        style.polish(self)
        self.update()
