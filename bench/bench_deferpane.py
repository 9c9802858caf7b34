"""Deferred content: counting build steps, and building a page through Lazy against building it at once.

(a) estimate_steps on a tree of 100,000 nodes against the same walk in plain Python.
(b) a 3,000-component page built by Lazy (30 units per event-loop turn) against the same page
    built synchronously with no scheduler. Both sides start from the same unbuilt component
    tree, end when the page is painted, and exclude the Lazy's deliberate 100 ms reveal delay.
    Reported besides: the longest event-loop turn of the Lazy build and the turn that reveals the
    content, in ms and as a ratio to building 30 text leaves directly.
"""
from __future__ import annotations

import statistics
import time

from PySide6.QtCore import QCoreApplication, QEvent
from PySide6.QtWidgets import QApplication, QProgressBar, QVBoxLayout, QWidget

from bench.timing import Benchmark, Measured
from vantu.deferpane import Lazy, estimate_steps
from vantu.material.box import Box
from vantu.material.collapse import Collapse
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
from vantu.material.typography import Typography
from vantu.material.view import View

CONTAINERS = (Container, Scrollbar, Box, Stack, Masonry, Grid, Section, Paper, Tabs, Tab, Collapse, View,
              TableViewCell)
_INNER = (Stack, Paper, Box, Grid, Section, TableViewCell, Tab, Masonry)


def python_estimate(node) -> int:
    """The reference walk, as it would be written in Python."""
    if not isinstance(node, CONTAINERS):
        return 0
    children = node._children
    if not children:
        return 0
    direct = len(children)
    nested = 0
    for child in children:
        if isinstance(child, CONTAINERS):
            nested += python_estimate(child)
    return direct + nested


def wide_tree() -> Stack:
    """100,001 nodes (100,000 steps): a root, 5,000 containers of eight kinds, 19 text leaves in each."""
    return Stack(children=[
        _INNER[i % len(_INNER)](children=[Typography(text="leaf") for _ in range(19)]) for i in range(5000)
    ])


def page_tree() -> View:
    """3,001 components, 3,000 build units: 24 papers of 4 stacks of 30 text leaves."""
    return View(children=[
        Paper(children=[
            Stack(children=[Typography(text=f"Item {p}.{s}.{i}") for i in range(30)]) for s in range(4)
        ]) for p in range(24)
    ])


def _flush() -> None:
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    QApplication.processEvents()


def _turn() -> float:
    start = time.perf_counter()
    QApplication.processEvents()
    return time.perf_counter() - start


class PageBench:
    """Both sides of (b), sharing one shown host window and recording the Lazy's turn times."""

    def __init__(self) -> None:
        self.host = QWidget()
        self.host.resize(1024, 768)
        self.layout = QVBoxLayout(self.host)
        self.host.show()
        _flush()
        self.longest: list[float] = []
        self.reveal: list[float] = []
        self.paint: list[float] = []
        self.units_per_turn = 0

    def lazy(self) -> Measured:
        root = page_tree()
        bar = QProgressBar()
        done: list[float] = []

        def progress(value: int, total: int) -> None:
            bar.setMaximum(total)
            bar.setValue(value)

        start = time.perf_counter()
        lazy = Lazy(root, fallback=bar, onProgress=progress, onFinished=lambda: done.append(time.perf_counter()))
        self.layout.addWidget(lazy)
        turns = []
        while not done:
            turns.append(_turn())
        build = done[0] - start
        content = root.parentWidget()
        reveal = 0.0
        while not content.isVisible():  # idle until the 100 ms reveal: not counted
            reveal = _turn()
        paint = _turn()
        self.longest.append(max(turns))
        self.reveal.append(reveal)
        self.paint.append(paint)
        self.units_per_turn = max(self.units_per_turn, _units(lazy))
        lazy.setParent(None)
        lazy.deleteLater()
        _flush()
        return Measured(int((build + reveal + paint) * 1e9))

    def sync(self) -> Measured:
        root = page_tree()
        start = time.perf_counter()
        page = root.renderUi(None, parent=self.host)
        self.layout.addWidget(page)
        _turn()  # shows and lays out the page
        _turn()  # paints it
        elapsed = time.perf_counter() - start
        page.setParent(None)
        page.deleteLater()
        _flush()
        return Measured(int(elapsed * 1e9))

    def extra(self) -> dict:
        leaves = []
        for _ in range(41):
            stack = Stack(children=[Typography(text=f"x{i}") for i in range(30)])
            start = time.perf_counter()
            stack.renderUi(None, parent=self.host)
            leaves.append(time.perf_counter() - start)
            stack.deleteLater()
        _flush()
        base = statistics.median(leaves)
        longest = statistics.median(self.longest)
        reveal = statistics.median(self.reveal)
        paint = statistics.median(self.paint)
        return {
            "building 30 leaves directly (median)": f"{base * 1e3:.2f} ms",
            "longest turn of the Lazy build (median of rounds)": f"{longest * 1e3:.2f} ms = {longest / base:.1f}x 30 leaves",
            "turn that reveals the content (median)": f"{reveal * 1e3:.2f} ms = {reveal / base:.1f}x 30 leaves",
            "first paint after the reveal (median)": f"{paint * 1e3:.2f} ms = {paint / base:.1f}x 30 leaves",
            "most units run in one turn": self.units_per_turn,
        }


def _units(lazy: Lazy) -> int:
    from vantu.material.component import RenderScheduler

    scheduler = lazy.findChild(RenderScheduler)
    return scheduler.max_units_per_turn if scheduler is not None else 0


def benchmarks():
    tree = wide_tree()
    assert estimate_steps(tree) == python_estimate(tree) == 100_000
    page = PageBench()
    return [
        Benchmark("deferpane: estimate_steps, 100,000 nodes, C++ vs Python", lambda: estimate_steps(tree),
                  lambda: python_estimate(tree), target=1 / 3),
        Benchmark("deferpane: 3,000-component page, Lazy vs synchronous", page.lazy, page.sync, target=1.2,
                  rounds=9, extra=page.extra),
    ]
