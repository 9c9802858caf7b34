"""``FlowWidget``: the chosen options' tags and the typing field, laid out in wrapping rows."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QMargins, QPoint, QRect, QSize, Qt
from PySide6.QtWidgets import QLayout, QLayoutItem, QSizePolicy, QWidget

__all__ = ["FlowLayout", "FlowWidget"]


class FlowLayout(QLayout):
    """Places items left to right and starts a new row when the next one does not fit."""

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
        return self._arrange(QRect(0, 0, width, 0), apply=False)

    def setGeometry(self, rect: QRect) -> None:
        super().setGeometry(rect)
        self._arrange(rect, apply=True)

    def sizeHint(self) -> QSize:
        return self.minimumSize()

    def minimumSize(self) -> QSize:
        size = QSize()
        for item in self._items:
            size = size.expandedTo(item.minimumSize())
        m: QMargins = self.contentsMargins()
        return size + QSize(m.left() + m.right(), m.top() + m.bottom())

    def _arrange(self, rect: QRect, apply: bool) -> int:
        m = self.contentsMargins()
        area = rect.adjusted(m.left(), m.top(), -m.right(), -m.bottom())
        x, y, row_height = area.x(), area.y(), 0
        last = len(self._items) - 1
        for i, item in enumerate(self._items):
            hint = item.sizeHint()
            if x + hint.width() > area.right() + 1 and row_height > 0:
                x, y, row_height = area.x(), y + row_height + self._gap, 0
            width = hint.width()
            if i == last and item.expandingDirections() & Qt.Orientation.Horizontal:
                # The typing field takes what is left of its row.
                width = max(hint.width(), area.right() + 1 - x)
            if apply:
                item.setGeometry(QRect(QPoint(x, y), QSize(width, hint.height())))
            x += width + self._gap
            row_height = max(row_height, hint.height())
        return y + row_height - rect.y() + m.bottom()


class FlowWidget:
    """Builds the container of a multiple selection: the host's tags, then ``children``.

    Args:
        entryBox: the input that owns the tags; its ``tags_render_tags()`` (when it has one)
            gives the tag widgets.
        children: widgets placed after the tags, such as the typing field.
    """

    def __init__(self, entryBox: Any, children: list[QWidget] | None = None, **kwargs: Any) -> None:
        self._entryBox = entryBox
        self._children = list(children or [])
        self._kwargs = kwargs

    def renderUi(self, ctx: Any = None, parent: QWidget | None = None) -> QWidget:
        """Build the container under ``parent`` and return it."""
        widget = QWidget(parent)
        widget.setObjectName("EntryBoxFlow")
        widget.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
        layout = FlowLayout(widget)
        render_tags = getattr(self._entryBox, "tags_render_tags", None)
        tags = render_tags() if callable(render_tags) else []
        for child in [*tags, *self._children]:
            layout.addWidget(child)
        return widget
