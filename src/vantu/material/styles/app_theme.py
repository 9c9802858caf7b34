"""``apply_theme``: make a whole application follow the theme.

The components style themselves; what lies around them (the window and
dialog backgrounds, plain Qt widgets, scroll bars, menus) takes its colours
from the application palette, which this module keeps in step with the theme.

It sets no application style sheet on purpose: with one in place, a style
sheet that an application later sets on a window no longer re-styles the
window's existing tool bars and lists (Qt only re-polishes them, without the
style change they size themselves on).
"""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QObject, Qt
from PySide6.QtGui import QColor, QPalette
from PySide6.QtWidgets import QApplication
from shiboken6 import isValid

from vantu.hooks import useEffect
from vantu.material.styles.theme import Theme, useTheme

__all__ = ["ThemeFollower", "apply_theme", "application_palette"]

_FOLLOWER_NAME = "vantu-theme-follower"


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
        # Buttons and scroll bar handles: a tonal surface that stands out in both modes.
        roles.Button: QColor(p["filled"]["background"]),
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


def _repolish_styled(app: QApplication) -> None:
    """Polish again every widget that a style sheet styles, its own or an ancestor's.

    Qt gives such a widget a copy of its palette when it polishes it and keeps that copy:
    without a new polish it would go on showing the previous application palette.
    """
    for widget in app.allWidgets():
        style = widget.style()
        if style.metaObject().className() == "QStyleSheetStyle":
            style.unpolish(widget)
            style.polish(widget)
            widget.update()


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
        if theme.mode == self._mode:
            return
        self._mode = theme.mode
        self._app.setPalette(application_palette(theme))
        _repolish_styled(self._app)

    def remove(self) -> None:
        """Stop following the theme and give the application back its own palette."""
        if not isValid(self):
            return
        self._app.setPalette(self._own_palette)
        _repolish_styled(self._app)
        self._mode = None
        self.setParent(None)
        self.deleteLater()


def apply_theme(app: Any = None) -> ThemeFollower:
    """Make ``app`` (default: the running ``QApplication``) follow the theme.

    Sets the application palette from the theme: main windows and dialogs take the
    page colour, plain Qt widgets, menus and scroll bars the theme's surfaces and text,
    also under style sheets an application sets on its windows (their rules win where
    they name a colour). It keeps doing so after every ``set_theme_mode``. Calling it
    again for the same application changes nothing and returns the same follower;
    ``remove()`` on the follower gives the application its own palette back.
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
