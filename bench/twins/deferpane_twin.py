"""Lazy and estimate_steps written in plain Python, as the native bodies do them."""
from __future__ import annotations

from collections.abc import Callable

from PySide6.QtCore import QEvent, QObject, QTimer
from PySide6.QtWidgets import QFrame, QSizePolicy, QVBoxLayout, QWidget
from shiboken6 import isValid

from vantu.material.box import Box
from vantu.material.collapse import Collapse
from vantu.material.component import RenderContext, RenderScheduler
from vantu.material.container import Container
from vantu.material.grid import Grid
from vantu.material.masonry import Masonry
from vantu.material.paper import Paper
from vantu.material.scroll_bar import Scrollbar
from vantu.material.section import Section
from vantu.material.stack import Stack
from vantu.material.tab import Tab
from vantu.material.table_view_cell import TableViewCell
from vantu.material.tabs import Tabs
from vantu.material.view import View

CONTAINERS = (Container, Scrollbar, Box, Stack, Masonry, Grid, Section, Paper, Tabs, Tab, Collapse, View,
              TableViewCell)


def estimate_steps(node) -> int:
    if not isinstance(node, CONTAINERS):
        return 0
    children = node._children
    if not children:
        return 0
    direct = len(children)
    nested = 0
    for child in children:
        if isinstance(child, CONTAINERS):
            nested += estimate_steps(child)
    return direct + nested


class _LazyFinish(QObject):
    def __init__(self, owner, fallback, placeholder, real_container) -> None:
        QObject.__init__(self, owner)
        self._fallback = fallback
        self._placeholder = placeholder
        self._real_container = real_container
        if fallback is not None:
            fallback.installEventFilter(self)

    def eventFilter(self, obj, event) -> bool:
        if event.type() == QEvent.Type.Show:
            obj.removeEventFilter(self)
            obj.repaint()
        return False

    def on_finished(self) -> None:
        self._placeholder.setVisible(False)
        fallback = self._fallback
        if fallback is not None and isValid(fallback):
            fallback.setVisible(False)
        QTimer.singleShot(100, self, self._reveal)

    def _reveal(self) -> None:
        self._real_container.setVisible(True)


class PyLazy(QWidget):
    """Lazy's constructor in Python."""

    def __init__(self, root_component, fallback=None, onProgress=None, onFinished=None, parent=None) -> None:
        QWidget.__init__(self, parent)
        ctx = RenderContext()
        scheduler = RenderScheduler(ctx, chunk_per_tick=30, parent=self)
        ctx.scheduler = scheduler
        layout = QVBoxLayout(self)
        layout.setContentsMargins(0, 2, 0, 0)
        self.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Expanding)
        placeholder = QWidget(self)
        ph_layout = QVBoxLayout(placeholder)
        ph_layout.setContentsMargins(0, 0, 0, 0)
        ph_layout.setSpacing(8)
        has_fallback = isinstance(fallback, QWidget)
        if has_fallback:
            layout.addWidget(fallback)
            fallback.setVisible(True)
        real_container = QFrame(self)
        real_layout = QVBoxLayout(real_container)
        real_layout.setContentsMargins(0, 0, 0, 0)
        real_layout.setSpacing(0)
        root_widget = root_component.renderUi(ctx, parent=real_container)
        real_layout.addWidget(root_widget)
        real_container.setVisible(False)
        layout.addWidget(real_container)
        finish = _LazyFinish(self, fallback if has_fallback else None, placeholder, real_container)
        ctx.finished.connect(finish.on_finished)
        ctx.set_total(estimate_steps(root_component))
        if isinstance(onProgress, Callable):
            ctx.progressChanged.connect(onProgress)
        if isinstance(onFinished, Callable):
            ctx.finished.connect(onFinished)
