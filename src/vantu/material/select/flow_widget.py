"""``FlowWidget``: lays its children out in rows that wrap, as tags inside a select field."""
from __future__ import annotations

import weakref
from typing import Any

from PySide6.QtCore import QPoint, QRect, QSize, Qt
from PySide6.QtGui import QMouseEvent
from PySide6.QtWidgets import QLayout, QLayoutItem, QSizePolicy, QWidget

__all__ = ["FlowLayout", "FlowWidget"]


class FlowLayout(QLayout):
    """Places items left to right and starts a new row when the width runs out."""

    def __init__(self, parent: QWidget | None = None, spacing: int = 4) -> None:
        super().__init__(parent)
        self._items: list[QLayoutItem] = []
        self._gap = spacing
        self.setContentsMargins(0, 0, 0, 0)

    def addItem(self, item: QLayoutItem) -> None:
        self._items.append(item)

    def count(self) -> int:
        return len(self._items)

    def itemAt(self, index: int) -> QLayoutItem | None:
        return self._items[index] if 0 <= index < len(self._items) else None

    def takeAt(self, index: int) -> QLayoutItem | None:
        return self._items.pop(index) if 0 <= index < len(self._items) else None

    def expandingDirections(self) -> Qt.Orientation:
        return Qt.Orientation(0)

    def hasHeightForWidth(self) -> bool:
        return True

    def heightForWidth(self, width: int) -> int:
        return self._arrange(QRect(0, 0, width, 0), move=False)

    def setGeometry(self, rect: QRect) -> None:
        super().setGeometry(rect)
        self._arrange(rect, move=True)

    def sizeHint(self) -> QSize:
        return self.minimumSize()

    def minimumSize(self) -> QSize:
        size = QSize()
        for item in self._items:
            size = size.expandedTo(item.minimumSize())
        m = self.contentsMargins()
        return size + QSize(m.left() + m.right(), m.top() + m.bottom())

    def _arrange(self, rect: QRect, move: bool) -> int:
        m = self.contentsMargins()
        area = rect.adjusted(m.left(), m.top(), -m.right(), -m.bottom())
        x, y, row_height = area.x(), area.y(), 0
        places: list[tuple[QLayoutItem, QRect]] = []
        for item in self._items:
            hint = item.sizeHint()
            if x + hint.width() > area.right() + 1 and row_height > 0:
                x = area.x()
                y += row_height + self._gap
                row_height = 0
            places.append((item, QRect(QPoint(x, y), hint)))
            x += hint.width() + self._gap
            row_height = max(row_height, hint.height())
        used = y + row_height - area.y()
        if move:
            # Rows that leave room are centred in it, as a value is centred in a text field.
            shift = max(0, (area.height() - used) // 2)
            for item, place in places:
                item.setGeometry(place.translated(0, shift))
        return y + row_height - rect.y() + m.bottom()


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
        layout = FlowLayout(area)
        for child in self._children:
            widget = child
            if not isinstance(widget, QWidget) and hasattr(widget, "renderUi"):
                widget = widget.renderUi(ctx=ctx)
            if not isinstance(widget, QWidget):
                raise TypeError(f"FlowWidget: children must be widgets, got {type(child).__name__}")
            layout.addWidget(widget)
        return area
