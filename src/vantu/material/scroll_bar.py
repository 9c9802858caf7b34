"""Scrollbar: a scroll area around a column of children.

Built through a render scheduler while hidden (a ``Lazy`` page), the children are held back,
hidden but keeping their room, until the scroll area is shown: then the ones in view are shown
at once and the rest a few at a time on the following event-loop turns, or at once as soon as a
scroll or resize brings them into view. Showing a page of thousands of widgets in one step
costs every widget its show, move and resize events; this way the step that reveals the page
costs what is in view.
"""
from __future__ import annotations

import time
from bisect import bisect_left
from collections.abc import Sequence

from PySide6.QtCore import QRect, Qt, QTimer
from PySide6.QtWidgets import QBoxLayout, QFrame, QScrollArea, QVBoxLayout, QWidget
from shiboken6 import isValid

from vantu.material._container_base import ContainerBase, check_choice, check_number, px
from vantu.material.component import Component

__all__ = ["Scrollbar"]

_RELEASE_BUDGET = 0.004
"""Seconds of showing held-back children per event-loop turn, after the reveal."""

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
        self._held: list[tuple[QWidget, bool]] = []  # hidden until shown: (child, its own retain flag)
        self._release_timer: QTimer | None = None

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
        ctx = self._ctx
        if ctx is None or ctx.scheduler is None or widget.isHidden() or self._body.isVisible():
            return  # built at once, hidden on purpose, or shown as soon as placed
        policy = widget.sizePolicy()
        retains = policy.retainSizeWhenHidden()
        if not retains:
            policy.setRetainSizeWhenHidden(True)
            widget.setSizePolicy(policy)
        widget.setVisible(False)
        if not self._held:
            bar = self.scrollArea.verticalScrollBar()
            bar.valueChanged.connect(self._release_in_view)
            bar.rangeChanged.connect(self._release_in_view)
        self._held.append((widget, retains))

    def heldBack(self) -> int:
        """Children still waiting to be shown (0 once every child is shown)."""
        return len(self._held)

    def showEvent(self, event) -> None:
        QFrame.showEvent(self, event)
        if self._held:
            self._release_in_view()

    def _release_in_view(self, *_ignored: object) -> None:
        """Shows the held-back children in view now, and starts showing the rest turn by turn."""
        if not self._held or not isValid(self) or not self.isVisible():
            return
        content, viewport = self._body, self.scrollArea.viewport()
        layout = self._layout
        layout.activate()
        if layout.geometry() != content.contentsRect():
            # Shown this turn: the content has its size, its layout may not have heard of it yet.
            layout.setGeometry(content.contentsRect())
        top = -content.y()
        bottom = top + viewport.height()
        held = self._held
        held[:] = [entry for entry in held if isValid(entry[0])]  # deleted meanwhile: nothing to show
        # Children lie in a column in their order: the first one in view ends at or below the top.
        first = bisect_left(held, top, key=lambda entry: entry[0].geometry().bottom())
        last = first
        while last < len(held) and held[last][0].y() <= bottom:
            last += 1
        in_view = held[first:last]
        del held[first:last]
        for widget, retains in in_view:
            self._release(widget, retains)
        if held:
            if self._release_timer is None:
                self._release_timer = QTimer(self)
                self._release_timer.setSingleShot(True)
                self._release_timer.timeout.connect(self._release_some)
            self._release_timer.start(0)
        else:
            self._stop_holding()

    def _release_some(self) -> None:
        held = self._held
        if not held or not self.isVisible():
            return
        start = time.perf_counter()
        released = 0
        while released < len(held):
            widget, retains = held[released]
            released += 1
            self._release(widget, retains)
            if time.perf_counter() - start > _RELEASE_BUDGET:
                break
        del held[:released]
        if held:
            self._release_timer.start(0)
        else:
            self._stop_holding()

    def _release(self, widget: QWidget, retains: bool) -> None:
        if not isValid(widget) or widget.parentWidget() is not self._body:
            return  # deleted or moved away meanwhile
        if widget.isHidden():
            widget.setVisible(True)
        if not retains:
            policy = widget.sizePolicy()
            policy.setRetainSizeWhenHidden(False)
            widget.setSizePolicy(policy)

    def _stop_holding(self) -> None:
        bar = self.scrollArea.verticalScrollBar()
        bar.valueChanged.disconnect(self._release_in_view)
        bar.rangeChanged.disconnect(self._release_in_view)
