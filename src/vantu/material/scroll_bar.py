"""Scrollbar: a scroll area around a column of children."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QBoxLayout, QFrame, QScrollArea, QVBoxLayout, QWidget

from vantu.material._container_base import ContainerBase, check_choice, check_number, px
from vantu.material.component import Component

__all__ = ["Scrollbar"]

_POLICIES = {
    "auto": Qt.ScrollBarPolicy.ScrollBarAsNeeded,
    "always": Qt.ScrollBarPolicy.ScrollBarAlwaysOn,
    "hidden": Qt.ScrollBarPolicy.ScrollBarAlwaysOff,
}


class Scrollbar(ContainerBase):
    """Children in a column that scrolls when it is taller (or wider) than the frame."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        vertical: str = "auto",
        horizontal: str = "hidden",
        maxHeight: int | None = None,
        spacing: float = 0,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets.
            vertical: vertical scroll bar: "auto" (default), "always" or "hidden".
            horizontal: horizontal scroll bar: "hidden" (default), "auto" or "always".
            maxHeight: cap on the frame's height in px; None to take the room given.
            spacing: gap between children, in spacing units of 8 px.
            padding: inner space of the scrolled content, in spacing units.
        """
        ContainerBase.__init__(self, children, padding=padding)
        self._vertical = check_choice("vertical", vertical, tuple(_POLICIES))
        self._horizontal = check_choice("horizontal", horizontal, tuple(_POLICIES))
        self._maxHeight = None if maxHeight is None else int(check_number("maxHeight", maxHeight, 1, integer=True))
        self._spacing = check_number("spacing", spacing)

    def _setup(self) -> None:
        outer = QVBoxLayout(self)
        outer.setContentsMargins(0, 0, 0, 0)
        area = QScrollArea(self)
        area.setObjectName("ScrollbarArea")
        area.setFrameShape(QFrame.Shape.NoFrame)
        area.setWidgetResizable(True)
        area.setVerticalScrollBarPolicy(_POLICIES[self._vertical])
        area.setHorizontalScrollBarPolicy(_POLICIES[self._horizontal])
        content = QWidget()
        content.setObjectName("ScrollbarContent")
        self._layout = self._box(content, QBoxLayout.Direction.TopToBottom, px(self._spacing))
        self._layout.addStretch(1)
        area.setWidget(content)
        outer.addWidget(area)
        if self._maxHeight is not None:
            self.setMaximumHeight(self._maxHeight)
        self.scrollArea = area
        self._body = content

    def _place_child(self, widget: QWidget, index: int) -> None:
        # Before the closing stretch, so the content stays at the top.
        self._layout.insertWidget(self._layout.count() - 1, widget)
