"""Section: a titled block of content."""
from __future__ import annotations

from collections.abc import Sequence
from typing import Any

from PySide6.QtWidgets import QBoxLayout, QLabel, QWidget

from vantu.hooks import State
from vantu.material._container_base import ContainerBase, check_number, px
from vantu.material.component import Component
from vantu.material.typography import Typography

__all__ = ["Section"]


class Section(ContainerBase):
    """A column of children under an optional title (type scale "h6")."""

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        title: str | State | None = None,
        spacing: float = 1,
        padding: float = 0,
    ) -> None:
        """Args:
            children: child components or widgets.
            title: heading text (translated), or a ``State`` holding it; None for no heading.
            spacing: gap between heading and children, in spacing units of 8 px.
            padding: inner space, in spacing units.
        """
        ContainerBase.__init__(self, children, padding=padding)
        if title is not None and not isinstance(title, (str, State)):
            raise TypeError(f"'title' must be a str or a State, got {type(title).__name__}")
        self._title: Any = title
        self._spacing = check_number("spacing", spacing)
        self.titleLabel: QLabel | None = None

    def _setup(self) -> None:
        self._layout = self._box(self, QBoxLayout.Direction.TopToBottom, px(self._spacing))
        if self._title is None:
            return
        # A Typography: it follows the State, the language and the theme by itself.
        label = Typography(self._title, "h6").renderUi(None, parent=self)
        label.setObjectName("SectionTitle")
        self.titleLabel = label
        self._layout.addWidget(label)
