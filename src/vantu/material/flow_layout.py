"""``FlowLayout``: items left to right, wrapping into rows; used by the tag containers."""
from __future__ import annotations

from PySide6.QtCore import QPoint, QRect, QSize, Qt
from PySide6.QtWidgets import QLayout, QLayoutItem, QStyle, QWidget

__all__ = ["FlowLayout"]


class FlowLayout(QLayout):
    """Places items left to right (right to left in a right-to-left layout) and starts a new row
    when the next one does not fit.

    Args:
        parent: the widget to lay out.
        spacing: gap between items and between rows, in pixels.
        center_rows: centre the rows vertically in the room they leave (a single row of tags
            then sits in the middle of a field, as a value does).
    """

    def __init__(self, parent: QWidget | None = None, spacing: int = 4, center_rows: bool = False) -> None:
        super().__init__(parent)
        self._items: list[QLayoutItem] = []
        self._gap = spacing
        self._center_rows = center_rows
        self._rows_height = 0  # height of the rows at the width last laid out
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
        # The height follows the width through ``sizeHint`` (the rows at the width last laid out)
        # instead: fields keep a fixed height policy, which Qt bounds by the size hint and would
        # otherwise hold at one row.
        return False

    def heightForWidth(self, width: int) -> int:
        return self._arrange(QRect(0, 0, width, 0), move=False)

    def setGeometry(self, rect: QRect) -> None:
        super().setGeometry(rect)
        needed = self._arrange(rect, move=True)
        if needed != self._rows_height:
            # Rows came or went at this width: the owner lays out again and grows or shrinks.
            self._rows_height = needed
            self.invalidate()

    def sizeHint(self) -> QSize:
        """The widest item, and as tall as the rows were at the width last laid out."""
        size = self.minimumSize()
        if self._rows_height > size.height():
            size.setHeight(self._rows_height)
        return size

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
        last = len(self._items) - 1
        for i, item in enumerate(self._items):
            hint = item.sizeHint()
            if x + hint.width() > area.right() + 1 and row_height > 0:
                x, y, row_height = area.x(), y + row_height + self._gap, 0
            width = hint.width()
            if i == last and item.expandingDirections() & Qt.Orientation.Horizontal:
                # A last item that wants width (a typing field) takes what is left of its row.
                width = max(width, area.right() + 1 - x)
            places.append((item, QRect(QPoint(x, y), QSize(width, hint.height()))))
            x += width + self._gap
            row_height = max(row_height, hint.height())
        if move:
            shift = max(0, (area.height() - (y + row_height - area.y())) // 2) if self._center_rows else 0
            owner = self.parentWidget()
            # Rows run from the right in a right-to-left layout.
            direction = owner.layoutDirection() if owner is not None else Qt.LayoutDirection.LeftToRight
            for item, place in places:
                item.setGeometry(QStyle.visualRect(direction, area, place.translated(0, shift)))
        return y + row_height - rect.y() + m.bottom()
