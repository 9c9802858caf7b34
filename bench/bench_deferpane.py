"""Deferred content: counting build steps, and building a page through Lazy against building it at once.

(a) estimate_steps on a tree of 100,000 nodes against the same walk in plain Python.
(b) pages of 3,000 and 30,000 text leaves (a scroll area of papers of 4 stacks of 30 leaves) built
    by Lazy (30 units per event-loop turn) against the same page built synchronously with no
    scheduler. Both sides start from the same unbuilt component tree. The synchronous side ends
    when the page is painted; the Lazy side adds up its build turns, the turn that reveals the
    content, the first paint after it and the turns that show the rest of the scrolled page,
    and leaves out the deliberate 100 ms reveal delay. The 3,000-leaf page is also built with a
    progress bar driven by onProgress (its repaint after every turn is part of the cost).
    Reported besides, against one build chunk (30 text leaves built directly): the turn that
    reveals the content, the first paint after it, and the longest of every other turn.
"""
from __future__ import annotations

import statistics
import time

from PySide6.QtCore import QCoreApplication, QEvent, QEventLoop, QTimer
from PySide6.QtWidgets import QApplication, QLabel, QProgressBar, QVBoxLayout, QWidget

from bench.timing import Benchmark, Measured
from bench.twins.deferpane_twin import estimate_steps as python_estimate  # the reference walk in Python
from vantu.deferpane import Lazy, estimate_steps
from vantu.material.box import Box
from vantu.material.grid import Grid
from vantu.material.masonry import Masonry
from vantu.material.paper import Paper
from vantu.material.scroll_bar import Scrollbar
from vantu.material.section import Section
from vantu.material.stack import Stack
from vantu.material.tab import Tab
from vantu.material.table_view_cell import TableViewCell
from vantu.material.typography import Typography

_INNER = (Stack, Paper, Box, Grid, Section, TableViewCell, Tab, Masonry)


def wide_tree() -> Stack:
    """100,001 nodes (100,000 steps): a root, 5,000 containers of eight kinds, 19 text leaves in each."""
    return Stack(children=[
        _INNER[i % len(_INNER)](children=[Typography(text="leaf") for _ in range(19)]) for i in range(5000)
    ])


def page_tree(papers: int = 25) -> Scrollbar:
    """A scroll area of papers of 4 stacks of 30 text leaves: 120 leaves and 5 build units besides per paper."""
    return Scrollbar(children=[
        Paper(children=[
            Stack(children=[Typography(text=f"Item {p}.{s}.{i}") for i in range(30)]) for s in range(4)
        ]) for p in range(papers)
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


def chunk_time() -> float:
    """Median time to build 30 text leaves directly: the work of one build turn."""
    host = QWidget()
    times = []
    for _ in range(41):
        stack = Stack(children=[Typography(text=f"x{i}") for i in range(30)])
        start = time.perf_counter()
        stack.renderUi(None, parent=host)
        times.append(time.perf_counter() - start)
    host.deleteLater()
    _flush()
    return statistics.median(times)


def _verdict(value: float, target: float) -> str:
    return f"(target <= {target:g}: {'met' if value <= target else 'MISSED'})"


class PageBench:
    """Both sides of (b) for one page size, sharing one shown host window and recording the Lazy's turns."""

    def __init__(self, papers: int, record_progress: bool) -> None:
        self.papers = papers
        self.record_progress = record_progress  # which variant's turns the extra numbers describe
        self.host = QWidget()
        self.host.resize(1024, 768)
        self.layout = QVBoxLayout(self.host)
        self.host.show()
        _flush()
        self.reveal: list[float] = []
        self.paint: list[float] = []
        self.longest: list[float] = []
        self.first: list[float] = []
        self.rest: list[float] = []
        self.in_progress: list[float] = []
        self.units_per_turn = 0

    def lazy(self) -> Measured:
        return self._lazy(with_progress=True)

    def lazy_quiet(self) -> Measured:
        return self._lazy(with_progress=False)

    def _lazy(self, with_progress: bool) -> Measured:
        root = page_tree(self.papers)
        # A Material linear progress indicator: a thin bar without text, as the gallery shows it.
        bar = QProgressBar()
        bar.setTextVisible(False)
        bar.setFixedHeight(4)
        done: list[float] = []
        spent = [0.0]

        def progress(value: int, total: int) -> None:
            begin = time.perf_counter()
            bar.setMaximum(total)
            bar.setValue(value)  # repaints the bar at once when the change shows
            spent[0] += time.perf_counter() - begin

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
        rest = []
        while root.heldBack():  # the rest of the scrolled page, shown on the following turns
            rest.append(_turn())
        if with_progress == self.record_progress:
            self.in_progress.append(spent[0])
            self.first.append(turns[0])
            self.longest.append(max(turns[1:] + rest))
            self.reveal.append(reveal)
            self.paint.append(paint)
            self.rest.append(sum(rest))
        self.units_per_turn = max(self.units_per_turn, _units(lazy))
        lazy.setParent(None)
        lazy.deleteLater()
        _flush()
        return Measured(int((build + reveal + paint + sum(rest)) * 1e9))

    def sync(self) -> Measured:
        root = page_tree(self.papers)
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
        base = chunk_time()
        reveal = statistics.median(self.reveal)
        paint = statistics.median(self.paint)
        longest = statistics.median(self.longest)
        out = {
            "one build chunk, 30 text leaves built directly (median)": f"{base * 1e3:.2f} ms",
            "turn that reveals the content (median)":
                f"{reveal * 1e3:.2f} ms = {reveal / base:.1f}x one chunk {_verdict(reveal / base, 2)}",
            "first paint after the reveal (median)": f"{paint * 1e3:.2f} ms {_verdict(paint * 1e3, 16)}",
            "longest other turn, build and after the reveal (median of rounds)":
                f"{longest * 1e3:.2f} ms = {longest / base:.1f}x one chunk {_verdict(longest * 1e3, 16)}",
            "first turn, which also lays out and paints the host window around the new Lazy (median)":
                f"{statistics.median(self.first) * 1e3:.2f} ms {_verdict(statistics.median(self.first) * 1e3, 16)}",
            "turns after the first paint that show the rest of the page, together (median)":
                f"{statistics.median(self.rest) * 1e3:.1f} ms",
            "most units run in one turn": self.units_per_turn,
        }
        if self.record_progress:
            out["time inside onProgress, repainting the bar (median per build)"] = \
                f"{statistics.median(self.in_progress) * 1e3:.1f} ms"
        return out


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

    small, large = PageBench(25, record_progress=True), PageBench(250, record_progress=False)
    return [
        Benchmark("deferpane: estimate_steps, 100,000 nodes, C++ vs Python", lambda: estimate_steps(trees["wide"]),
                  lambda: python_estimate(trees["wide"]), target=1 / 3, extra=release),
        Benchmark("deferpane: 3,000-leaf page, Lazy with a label fallback vs synchronous", small.lazy_quiet,
                  small.sync, target=1.1, rounds=15),
        Benchmark("deferpane: 3,000-leaf page, Lazy with a progress bar vs synchronous", small.lazy, small.sync,
                  target=1.1, rounds=15, extra=small.extra),
        Benchmark("deferpane: 30,000-leaf page, Lazy with a label fallback vs synchronous", large.lazy_quiet,
                  large.sync, target=1.1, rounds=5, warmup=1, extra=large.extra),
    ]
