"""``apply_theme``: make a whole application follow the theme.

The components style themselves; what lies around them (the window and
dialog backgrounds, plain Qt widgets, scroll bars) takes its colours from the
application palette and style sheet, which this module keeps in step with the
theme.
"""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QObject, Qt
from PySide6.QtGui import QColor, QPalette
from PySide6.QtWidgets import QApplication
from shiboken6 import isValid

from vantu.hooks import useEffect
from vantu.material.styles.theme import Theme, useTheme

__all__ = ["ThemeFollower", "apply_theme", "application_palette", "application_sheet"]

_FOLLOWER_NAME = "vantu-theme-follower"
_BEGIN = "/* vantu theme: begin */"
_END = "/* vantu theme: end */"


def _opaque(colour: str, over: str) -> QColor:
    """``colour`` (maybe translucent) as it shows over the solid ``over``."""
    top, bottom = QColor(colour), QColor(over)
    a = top.alphaF()
    return QColor.fromRgbF(
        top.redF() * a + bottom.redF() * (1 - a),
        top.greenF() * a + bottom.greenF() * (1 - a),
        top.blueF() * a + bottom.blueF() * (1 - a),
    )


def application_palette(theme: Theme | None = None) -> QPalette:
    """The Qt palette of the theme's current mode: surfaces, text, selection, tooltips, links."""
    p = (theme or useTheme()).palette
    window, paper = p["background"]["default"], p["background"]["paper"]
    text = QColor(p["text"]["primary"])
    roles = QPalette.ColorRole
    colours = {
        roles.Window: QColor(window),
        roles.WindowText: text,
        roles.Base: QColor(paper),
        roles.AlternateBase: QColor(p["filled"]["background"]),
        roles.Text: text,
        roles.PlaceholderText: QColor(p["text"]["secondary"]),
        roles.Button: QColor(paper),
        roles.ButtonText: text,
        roles.BrightText: QColor(p["error"]["main"]),
        roles.Highlight: QColor(p["primary"]["main"]),
        roles.HighlightedText: QColor(p["primary"]["contrastText"]),
        roles.ToolTipBase: QColor(p["tooltip"]["background"]),
        roles.ToolTipText: QColor(p["tooltip"]["text"]),
        roles.Link: QColor(p["primary"]["main"]),
        roles.LinkVisited: QColor(p["primary"]["dark"]),
        # Bevels and frames of plain Qt widgets.
        roles.Light: _opaque(p["action"]["hover"], paper),
        roles.Midlight: QColor(p["divider"]),
        roles.Mid: QColor(p["outline"]),
        roles.Dark: QColor(p["outline"]),
        roles.Shadow: QColor("#000000"),
    }
    palette = QPalette()
    for role, colour in colours.items():
        palette.setColor(role, colour)
    disabled = _opaque(p["text"]["disabled"], window)
    group = QPalette.ColorGroup.Disabled
    for role in (roles.WindowText, roles.Text, roles.ButtonText, roles.PlaceholderText):
        palette.setColor(group, role, disabled)
    palette.setColor(group, roles.Button, _opaque(p["action"]["disabledBackground"], window))
    palette.setColor(group, roles.Highlight, _opaque(p["action"]["disabledBackground"], window))
    palette.setColor(group, roles.HighlightedText, disabled)
    return palette


def application_sheet(theme: Theme | None = None) -> str:
    """The application style-sheet rules of the theme's current mode.

    Only window and dialog backgrounds and scroll bars: any widget's own sheet, and
    any sheet on its ancestors, comes after these and wins.
    """
    p = (theme or useTheme()).palette
    thumb, thumb_hover = p["outline"], p["text"]["secondary"]
    return f"""{_BEGIN}
QMainWindow, QDialog {{ background-color: {p["background"]["default"]}; }}
QScrollBar:vertical {{ background: transparent; width: 12px; margin: 2px; }}
QScrollBar:horizontal {{ background: transparent; height: 12px; margin: 2px; }}
QScrollBar::handle {{ background: {thumb}; border-radius: 4px; }}
QScrollBar::handle:vertical {{ min-height: 32px; }}
QScrollBar::handle:horizontal {{ min-width: 32px; }}
QScrollBar::handle:hover, QScrollBar::handle:pressed {{ background: {thumb_hover}; }}
QScrollBar::add-line, QScrollBar::sub-line {{ width: 0px; height: 0px; border: none; background: none; }}
QScrollBar::add-page, QScrollBar::sub-page {{ background: transparent; }}
QAbstractScrollArea::corner {{ background: transparent; }}
{_END}"""


def _strip_ours(sheet: str) -> str:
    """The application's own rules: its sheet without the block this module wrote."""
    start = sheet.find(_BEGIN)
    if start < 0:
        return sheet
    end = sheet.find(_END, start)
    if end < 0:
        return sheet
    return (sheet[:start] + sheet[end + len(_END):]).strip("\n")


class ThemeFollower(QObject):
    """Keeps one application's palette and style sheet on the theme's colours.

    A Qt child of the application, made by ``apply_theme``; it lives as long as the
    application unless ``remove()`` is called.
    """

    def __init__(self, app: QApplication) -> None:
        super().__init__(app)
        self.setObjectName(_FOLLOWER_NAME)
        self._app = app
        self._own_palette = QPalette(app.palette())
        self._mode: str | None = None
        useEffect(self.refresh, [useTheme().state], component=self)

    def refresh(self) -> None:
        """Apply the current theme mode (nothing to do when it is already applied)."""
        if not isValid(self):
            return
        theme = useTheme()
        app = self._app
        if theme.mode == self._mode and _BEGIN in app.styleSheet():
            return
        self._mode = theme.mode
        app.setPalette(application_palette(theme))
        # A new sheet re-polishes every widget. That matters beyond the sheet's own rules:
        # widgets under any style sheet keep the palette they were polished with, so only a
        # re-polish lets them see the new application palette.
        own = _strip_ours(app.styleSheet())
        app.setStyleSheet(application_sheet(theme) + ("\n" + own if own else ""))

    def remove(self) -> None:
        """Stop following the theme and give the application back its own palette and rules."""
        if not isValid(self):
            return
        app = self._app
        app.setPalette(self._own_palette)
        app.setStyleSheet(_strip_ours(app.styleSheet()))
        self._mode = None
        self.setParent(None)
        self.deleteLater()


def apply_theme(app: Any = None) -> ThemeFollower:
    """Make ``app`` (default: the running ``QApplication``) follow the theme.

    Sets the application palette from the theme (plain Qt widgets, dialogs, menus),
    paints main windows and dialogs in the page colour, styles the scroll bars, and
    keeps doing so after every ``set_theme_mode``. Rules already in the application's
    style sheet are kept (and win over these). Calling it again for the same
    application changes nothing and returns the same follower; ``remove()`` on the
    follower undoes it.
    """
    if app is None:
        app = QApplication.instance()
        if app is None:
            raise RuntimeError("apply_theme(): create the QApplication first")
    if not isinstance(app, QApplication):
        raise TypeError(f"apply_theme(): 'app' must be a QApplication, got {type(app).__name__}")
    follower = app.findChild(ThemeFollower, _FOLLOWER_NAME, Qt.FindChildOption.FindDirectChildrenOnly)
    if follower is None:
        follower = ThemeFollower(app)
    follower.refresh()
    return follower
