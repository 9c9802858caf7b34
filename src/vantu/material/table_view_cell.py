"""TableViewCell: one cell of a table row, padded and ruled underneath."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtCore import Qt
from PySide6.QtGui import QColor, QPainter
from PySide6.QtWidgets import QBoxLayout, QSizePolicy, QWidget

from vantu.hooks import useEffect
from vantu.material._container_base import ContainerBase, check_choice
from vantu.material.component import Component
from vantu.material.styles import useTheme

__all__ = ["TableViewCell"]

_ALIGN = {
    "left": Qt.AlignmentFlag.AlignLeft,
    "center": Qt.AlignmentFlag.AlignHCenter,
    "right": Qt.AlignmentFlag.AlignRight,
}
_PADDING = {"normal": (16, 16), "checkbox": (4, 16), "none": (0, 0)}  # (sides, top and bottom)


class TableViewCell(ContainerBase):
    """Children in a row, aligned within the cell, with a divider line along the bottom."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        align: str = "left",
        padding: str = "normal",
        head: bool = False,
    ) -> None:
        """Args:
            children: the cell's content.
            align: "left" (default), "center" or "right".
            padding: "normal" (16 px), "checkbox" (4 px at the sides) or "none".
            head: a header cell (medium weight text).
        """
        ContainerBase.__init__(self, children)
        self._align = check_choice("align", align, tuple(_ALIGN))
        self._cellPadding = check_choice("padding", padding, tuple(_PADDING))
        self._head = bool(head)

    def _setup(self) -> None:
        layout = self._box(self, QBoxLayout.Direction.LeftToRight, 8)
        side, vertical = _PADDING[self._cellPadding]
        layout.setContentsMargins(side, vertical, side, vertical + 1)  # + the divider
        layout.setAlignment(_ALIGN[self._align] | Qt.AlignmentFlag.AlignVCenter)
        self.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
        if self._head:
            font = self.font()
            font.setWeight(font.Weight.Medium)
            self.setFont(font)
        self._layout = layout
        useEffect(self._repaint, [useTheme().state], component=self)

    def _repaint(self) -> None:
        self.update()  # the divider colour is read at paint time

    def paintEvent(self, event) -> None:
        painter = QPainter(self)
        painter.setPen(QColor(useTheme().palette["divider"]))
        y = self.height() - 1
        painter.drawLine(0, y, self.width(), y)
        painter.end()
