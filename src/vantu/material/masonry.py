"""Masonry: columns filled by placing each child under the currently shortest column."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QBoxLayout, QVBoxLayout, QWidget

from vantu.material._container_base import ContainerBase, check_number, px
from vantu.material.component import Component

__all__ = ["Masonry"]


class Masonry(ContainerBase):
    """Children of differing heights packed into ``columns`` columns, shortest first."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        columns: int = 3,
        spacing: float = 1,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets.
            columns: number of columns (at least 1).
            spacing: gap between items, in spacing units of 8 px.
            padding: inner space, in spacing units.
        """
        ContainerBase.__init__(self, children, padding=padding)
        self._columns = int(check_number("columns", columns, 1, integer=True))
        self._spacing = check_number("spacing", spacing)

    def _setup(self) -> None:
        gap = px(self._spacing)
        row = self._box(self, QBoxLayout.Direction.LeftToRight, gap)
        self._columnLayouts: list[QVBoxLayout] = []
        self._heights = [0] * self._columns
        for _ in range(self._columns):
            column = QVBoxLayout()
            column.setContentsMargins(0, 0, 0, 0)
            column.setSpacing(gap)
            column.addStretch(1)
            row.addLayout(column, 1)
            self._columnLayouts.append(column)
        self._layout = row

    def _place_child(self, widget: QWidget, index: int) -> None:
        # Heights come from size hints, known as soon as the child is built and polished.
        widget.ensurePolished()
        target = min(range(self._columns), key=self._heights.__getitem__)
        column = self._columnLayouts[target]
        column.insertWidget(column.count() - 1, widget)
        self._heights[target] += max(widget.sizeHint().height(), 1) + px(self._spacing)

    def columnOf(self, widget: QWidget) -> int:
        """Index of the column holding ``widget``, or -1."""
        for i, column in enumerate(self._columnLayouts):
            if column.indexOf(widget) >= 0:
                return i
        return -1
