"""``PyWidgetBase``: small helpers every widget of the library may use, as a mixin or statically."""
from __future__ import annotations

import sys

from PySide6.QtCore import QEvent, QObject, QRect, Qt
from PySide6.QtGui import QColor, QFont, QHelpEvent, QPalette
from PySide6.QtWidgets import QToolTip, QWidget

from vantu.material.styles.theme import useTheme

__all__ = ["PyWidgetBase"]

_TOOLTIP_FILTER_NAME = "vantu-tooltip-filter"


def _apply_tooltip_theme() -> None:
    """Give QToolTip the theme's colours and type; done once per theme mode."""
    global _tooltip_mode
    theme = useTheme()
    if _tooltip_mode == theme.mode:
        return
    colours = theme.palette["tooltip"]
    palette = QToolTip.palette()
    background, text = QColor(colours["background"]), QColor(colours["text"])
    for group in (QPalette.ColorGroup.Active, QPalette.ColorGroup.Inactive):
        palette.setColor(group, QPalette.ColorRole.ToolTipBase, background)
        palette.setColor(group, QPalette.ColorRole.ToolTipText, text)
    QToolTip.setPalette(palette)
    font = QFont(QToolTip.font())
    font.setPixelSize(theme.typography["caption"]["fontSize"])
    QToolTip.setFont(font)
    _tooltip_mode = theme.mode


_tooltip_mode: str | None = None


class _TooltipFilter(QObject):
    """Shows the watched widget's tooltip in the theme's colours.

    A Qt child of the widget it watches: it holds no Python reference to the
    widget and goes away with it.
    """

    # Asked for every event of the watched widget; where a native module offers the gate that
    # answers other event types without entering Python, ``_installTooltipFilter`` binds it.
    _gate_types = frozenset({QEvent.Type.ToolTip.value})
    _gate_handler = "_show_tip"

    def eventFilter(self, watched: QObject, event: QEvent) -> bool:
        return self._show_tip(watched, event)

    def _show_tip(self, watched: QObject, event: QEvent) -> bool:
        return show_tooltip(watched, event)


def show_tooltip(watched: QObject, event: QEvent) -> bool:
    """The tooltip filter's answer to ``event`` for ``watched``: its tooltip in the theme's
    colours (or none at all when it has none); other events are not its business."""
    if event.type() != QEvent.Type.ToolTip:
        return False
    text = watched.toolTip() if isinstance(watched, QWidget) else ""
    if not text:
        QToolTip.hideText()
        event.ignore()
        return True
    _apply_tooltip_theme()
    position = event.globalPos() if isinstance(event, QHelpEvent) else None
    if position is None:
        return False
    QToolTip.showText(position, text, watched, QRect(), watched.toolTipDuration())
    return True


def _gate_tooltip_filter() -> None:
    """Binds the native event gate to the tooltip filter once a module offering it is loaded
    (this module is loaded by them, never the other way round)."""
    for name in ("vantu.material.select.pickcore", "vantu.material.entrybox._select"):
        gate = getattr(sys.modules.get(name), "_event_gate", None)
        if gate is not None:
            _TooltipFilter.eventFilter = gate
            _TooltipFilter._gated = True
            return


class PyWidgetBase:
    """Mixin with the library's per-widget helpers.

    Its constructor takes no arguments (keyword arguments are ignored), touches
    no Qt state and may run more than once, so any widget class can mix it in.
    """

    def __init__(self, **_ignored: object) -> None:
        pass

    @staticmethod
    def _installTooltipFilter(widget: QWidget) -> QObject:
        """Show ``widget``'s tooltip in the theme's style; installing twice is a no-op.

        Returns the filter object (a Qt child of ``widget``).
        """
        if not isinstance(widget, QWidget):
            raise TypeError(f"'widget' must be a QWidget, got {type(widget).__name__}")
        existing = widget.findChild(_TooltipFilter, _TOOLTIP_FILTER_NAME, Qt.FindChildOption.FindDirectChildrenOnly)
        if existing is not None:
            return existing
        if "_gated" not in vars(_TooltipFilter):
            _gate_tooltip_filter()
        tooltip_filter = _TooltipFilter(widget)
        tooltip_filter.setObjectName(_TOOLTIP_FILTER_NAME)
        widget.installEventFilter(tooltip_filter)
        return tooltip_filter

    @staticmethod
    def _repolish(widget: QWidget) -> None:
        """Re-apply style-sheet rules after a dynamic property of ``widget`` changed."""
        style = widget.style()
        style.unpolish(widget)
        style.polish(widget)
        widget.update()
