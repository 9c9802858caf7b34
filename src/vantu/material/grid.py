"""Grid: children in rows of a fixed number of equal columns."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QGridLayout, QWidget

from vantu.material._container_base import ContainerBase, check_number, px
from vantu.material.component import Component

__all__ = ["Grid"]


class Grid(ContainerBase):
    """Lays children out row by row, ``columns`` to a row, columns of equal width."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        columns: int = 2,
        spacing: float = 1,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets, placed left to right, then down.
            columns: number of columns (at least 1).
            spacing: gap between cells, in spacing units of 8 px.
            padding: inner space, in spacing units.
        """
        ContainerBase.__init__(self, children, padding=padding)
        self._columns = int(check_number("columns", columns, 1, integer=True))
        self._spacing = check_number("spacing", spacing)

    def _setup(self) -> None:
        layout = QGridLayout(self)
        pad = px(self._padding)
        layout.setContentsMargins(pad, pad, pad, pad)
        layout.setSpacing(px(self._spacing))
        for column in range(self._columns):
            layout.setColumnStretch(column, 1)
        self._layout = layout

    def _place_child(self, widget: QWidget, index: int) -> None:
        row, column = divmod(index, self._columns)
        self._layout.addWidget(widget, row, column)
