"""Deferred content: counting build steps, and building a page through Lazy against building it at once.

(a) estimate_steps on a tree of 100,000 nodes against the same walk in plain Python.
(b) a 3,000-component page built by Lazy (30 units per event-loop turn) against the same page
    built synchronously with no scheduler; once with a plain label as fallback, once with a
    progress bar driven by onProgress (its repaint after every turn is part of the cost). Both sides start from the same unbuilt component
    tree, end when the page is painted, and exclude the Lazy's deliberate 100 ms reveal delay.
    Reported besides: the longest event-loop turn of the Lazy build and the turn that reveals the
    content, in ms and as a ratio to building 30 text leaves directly. The first turn also lays out
    and repaints the host window around the newly shown Lazy, so the longest
    turn after it is reported too.
"""
from __future__ import annotations

import statistics
import time

from PySide6.QtCore import QCoreApplication, QEvent, QEventLoop, QTimer
from PySide6.QtWidgets import QApplication, QLabel, QProgressBar, QVBoxLayout, QWidget

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


def page_tree() -> Scrollbar:
    """3,001 components, 3,000 build units: a scroll area of 24 papers of 4 stacks of 30 text leaves."""
    return Scrollbar(children=[
        Paper(children=[
            Stack(children=[Typography(text=f"Item {p}.{s}.{i}") for i in range(30)]) for s in range(4)
        ]) for p in range(24)
    ])


def _flush() -> None:
    """Delete what was dropped and let the window repaint, so no round inherits the last one's work."""
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    loop = QEventLoop()
    QTimer.singleShot(30, loop.quit)  # repaints wait for the platform's short update delay
    loop.exec()


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
        self.in_progress: list[float] = []
        self.longest_later: list[float] = []
        self.units_per_turn = 0

    def lazy(self) -> Measured:
        return self._lazy(with_progress=True)

    def lazy_quiet(self) -> Measured:
        return self._lazy(with_progress=False)

    def _lazy(self, with_progress: bool) -> Measured:
        root = page_tree()
        # A Material linear progress indicator: a thin bar without text, as the gallery shows it.
        bar = QProgressBar()
        bar.setTextVisible(False)
        bar.setFixedHeight(4)
        done: list[float] = []

        def progress(value: int, total: int) -> None:
            begin = time.perf_counter()
            bar.setMaximum(total)
            bar.setValue(value)  # repaints the bar at once when the change shows
            spent[0] += time.perf_counter() - begin

        spent = [0.0]

        start = time.perf_counter()
        lazy = Lazy(root, fallback=bar if with_progress else QLabel("Loading..."),
                    onProgress=progress if with_progress else None,
                    onFinished=lambda: done.append(time.perf_counter()))
        self.layout.addWidget(lazy)
        lazy.show()
        turns = []
        while not done:
            turns.append(_turn())
        build = done[0] - start
        content = root.parentWidget()
        reveal = 0.0
        while not content.isVisible():  # idle until the 100 ms reveal: not counted
            reveal = _turn()
        paint = _turn()
        if with_progress:
            self.in_progress.append(spent[0])
            self.longest.append(max(turns))
            self.longest_later.append(max(turns[1:]))
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
            "longest turn after the first (median of rounds)":
                f"{statistics.median(self.longest_later) * 1e3:.2f} ms = {statistics.median(self.longest_later) / base:.1f}x 30 leaves",
            "turn that reveals the content (median)": f"{reveal * 1e3:.2f} ms = {reveal / base:.1f}x 30 leaves",
            "first paint after the reveal (median)": f"{paint * 1e3:.2f} ms = {paint / base:.1f}x 30 leaves",
            "most units run in one turn": self.units_per_turn,
            "time inside onProgress, repainting the bar (median per build)":
                f"{statistics.median(self.in_progress) * 1e3:.1f} ms",
        }


def _units(lazy: Lazy) -> int:
    from vantu.material.component import RenderScheduler

    scheduler = lazy.findChild(RenderScheduler)
    return scheduler.max_units_per_turn if scheduler is not None else 0


def benchmarks():
    # The big tree is dropped once (a) is done: 100,000 live objects would slow every later
    # garbage collection, and so the page builds of (b).
    trees = {"wide": wide_tree()}
    assert estimate_steps(trees["wide"]) == python_estimate(trees["wide"]) == 100_000

    def release() -> dict:
        trees.clear()
        return {}

    page = PageBench()
    return [
        Benchmark("deferpane: estimate_steps, 100,000 nodes, C++ vs Python", lambda: estimate_steps(trees["wide"]),
                  lambda: python_estimate(trees["wide"]), target=1 / 3, extra=release),
        Benchmark("deferpane: 3,000-component page, Lazy with a label fallback vs synchronous", page.lazy_quiet,
                  page.sync, target=1.2, rounds=15),
        Benchmark("deferpane: 3,000-component page, Lazy with a progress bar vs synchronous", page.lazy, page.sync,
                  target=1.2, rounds=15, extra=page.extra),
    ]
