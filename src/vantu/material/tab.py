"""Tab: one titled page of a ``Tabs`` container."""
from __future__ import annotations

from collections.abc import Sequence

from PySide6.QtWidgets import QBoxLayout, QWidget

from vantu.material._container_base import ContainerBase, check_number, px
from vantu.material.component import Component

__all__ = ["Tab"]


class Tab(ContainerBase):
    """A page: a column of children, shown by ``Tabs`` under the tab named ``title``."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        title: str = "",
        spacing: float = 1,
        padding: float = 2,
    ) -> None:
        """Args:
            children: child components or widgets.
            title: the tab's label (translated by ``Tabs``).
            spacing: gap between children, in spacing units of 8 px.
            padding: inner space, in spacing units (default 2).
        """
        ContainerBase.__init__(self, children, padding=padding)
        if not isinstance(title, str):
            raise TypeError(f"'title' must be a str, got {type(title).__name__}")
        self._title = title
        self._spacing = check_number("spacing", spacing)

    def title(self) -> str:
        """The tab's label, as configured."""
        return self._title

    def _setup(self) -> None:
        self._layout = self._box(self, QBoxLayout.Direction.TopToBottom, px(self._spacing))
