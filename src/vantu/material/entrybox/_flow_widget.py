"""``FlowWidget``: the chosen options' tags and the typing field, laid out in wrapping rows."""
from __future__ import annotations

from typing import Any

from PySide6.QtWidgets import QSizePolicy, QWidget

from vantu.material.flow_layout import FlowLayout

__all__ = ["FlowLayout", "FlowWidget"]


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
        layout = FlowLayout(widget, spacing=8)  # the Material gap between chips, and between their rows
        render_tags = getattr(self._entryBox, "tags_render_tags", None)
        tags = render_tags() if callable(render_tags) else []
        for child in [*tags, *self._children]:
            layout.addWidget(child)
        return widget
