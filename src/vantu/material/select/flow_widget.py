"""``FlowWidget``: lays its children out in rows that wrap, as tags inside a select field."""
from __future__ import annotations

import weakref
from typing import Any

from PySide6.QtCore import Qt
from PySide6.QtGui import QMouseEvent
from PySide6.QtWidgets import QSizePolicy, QWidget

from vantu.material.flow_layout import FlowLayout

__all__ = ["FlowLayout", "FlowWidget"]

ROW_MARGIN = 6
"""Room (pixels) above the first row of tags and below the last."""


class _FlowArea(QWidget):
    """The widget a ``FlowWidget`` renders: its empty area opens the owner's popup."""

    def __init__(self, owner: Any, parent: QWidget | None = None) -> None:
        super().__init__(parent)
        self._owner = weakref.ref(owner) if owner is not None else None
        self.setObjectName("flowWidget")
        self.setAttribute(Qt.WidgetAttribute.WA_StyledBackground, False)
        self.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
        self.setCursor(Qt.CursorShape.PointingHandCursor)

    def mousePressEvent(self, event: QMouseEvent) -> None:
        owner = self._owner() if self._owner is not None else None
        handler = getattr(owner, "onFlowlayoutMousePressEvent", None)
        if callable(handler):
            handler(event)
            event.accept()
            return
        super().mousePressEvent(event)


class FlowWidget:
    """A container component whose children flow in wrapping rows.

    Args:
        owner: the widget whose ``onFlowlayoutMousePressEvent`` hears presses on the empty area.
        children: widgets (or components with ``renderUi``) to lay out, in order.
    """

    def __init__(self, owner: Any = None, children: list | tuple | None = None, **kwargs: Any) -> None:
        if children is None:
            children = []
        if not isinstance(children, (list, tuple)):
            raise TypeError(f"FlowWidget: 'children' must be a list of widgets, got {type(children).__name__}")
        self._owner = owner
        self._children = list(children)
        self._kwargs = kwargs

    def renderUi(self, ctx: Any = None, parent: QWidget | None = None) -> QWidget:
        """Build the container with its children and return it."""
        area = _FlowArea(self._owner, parent)
        layout = FlowLayout(area, center_rows=True)
        # Rows of chips keep clear of the field's outline above and below.
        layout.setContentsMargins(0, ROW_MARGIN, 0, ROW_MARGIN)
        for child in self._children:
            widget = child
            if not isinstance(widget, QWidget) and hasattr(widget, "renderUi"):
                widget = widget.renderUi(ctx=ctx)
            if not isinstance(widget, QWidget):
                raise TypeError(f"FlowWidget: children must be widgets, got {type(child).__name__}")
            layout.addWidget(widget)
        return area
