"""Scenes shared by the select field's and the entry box's benchmarks: unrelated events under
100 application-wide filters, hover, and memory per widget (measured in a fresh interpreter)."""
from __future__ import annotations

import os
import subprocess
import sys
import textwrap
import time
from typing import Callable

from PySide6.QtCore import QCoreApplication, QEvent, QPoint, QPointF, Qt
from PySide6.QtGui import QCursor, QMouseEvent, QWheelEvent
from PySide6.QtTest import QTest
from PySide6.QtWidgets import QApplication, QComboBox, QGroupBox, QVBoxLayout, QWidget

from bench.timing import Benchmark, Measured

FILTERS = 100
EVENTS = 300
CLEAR_X = 1200
"""Windows that the pointer must reach stand right of the main window (1024 wide at the origin):
the offscreen platform gives the pointer to the first window that contains it."""


def flush() -> None:
    app = QApplication.instance()
    app.processEvents()
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    app.processEvents()


class QuietBox(QGroupBox):
    """The floor of an application-wide filter written in Python: it only says no."""

    def eventFilter(self, obj, event):  # noqa: N802 - Qt's name
        return False


def _events() -> dict[str, Callable[[], QEvent]]:
    at, glob = QPointF(20, 20), QPointF(120, 120)
    return {
        "mouse press": lambda: QMouseEvent(QEvent.Type.MouseButtonPress, at, glob, Qt.MouseButton.LeftButton,
                                           Qt.MouseButton.LeftButton, Qt.KeyboardModifier.NoModifier),
        "wheel": lambda: QWheelEvent(at, glob, QPoint(0, 0), QPoint(0, 120), Qt.MouseButton.NoButton,
                                     Qt.KeyboardModifier.NoModifier, Qt.ScrollPhase.NoScrollPhase, False),
        "mouse move": lambda: QMouseEvent(QEvent.Type.MouseMove, at, glob, Qt.MouseButton.NoButton,
                                          Qt.MouseButton.NoButton, Qt.KeyboardModifier.NoModifier),
    }


def event_benchmarks(label: str, make: Callable[[QWidget], QWidget], open_once: Callable[[QWidget], QWidget],
                     target: float = 1.2) -> list[Benchmark]:
    """Unrelated events (sent to a window of their own) while `FILTERS` widgets made by `make`,
    each opened once by `open_once` (which returns the widget that now filters the
    application), filter the application; against as many `QuietBox`es installed the same way.
    Only one set is installed while its side is timed."""
    app = QApplication.instance()
    host = QWidget()
    layout = QVBoxLayout(host)
    widgets = [make(host) for _ in range(FILTERS)]
    for widget in widgets:
        layout.addWidget(widget)
    host.resize(400, 600)
    host.show()
    flush()
    filters = []
    for widget in widgets:
        filters.append(open_once(widget))
        flush()
    boxes = [QuietBox(host) for _ in range(FILTERS)]
    target_window = QWidget()
    target_window.resize(200, 200)
    target_window.move(700, 100)
    target_window.show()
    flush()
    scene = (host, widgets, boxes, target_window)  # kept alive by the closures
    for widget in filters:
        app.removeEventFilter(widget)

    def only(active: list[QWidget]) -> None:
        for widget in (*filters, *boxes):
            app.removeEventFilter(widget)
        for widget in active:
            app.installEventFilter(widget)

    def side(active: list[QWidget], make_event: Callable[[], QEvent]) -> Callable[[], Measured]:
        def run() -> Measured:
            only(active)
            event = make_event()
            start = time.perf_counter_ns()
            for _ in range(EVENTS):
                QApplication.sendEvent(scene[3], event)
            elapsed = time.perf_counter_ns() - start
            only([])  # nothing else in the run pays for these filters
            return Measured(elapsed / EVENTS)
        return run

    out = []
    for name, make_event in _events().items():
        out.append(Benchmark(f"{label}: {name} with {FILTERS} opened, vs {FILTERS} Python filters",
                             side(filters, make_event), side(boxes, make_event), target=target, unit="us",
                             rounds=15, warmup=2))
    return out


def hover_benchmark(label: str, make: Callable[[QWidget], QWidget], target: float = 5.0,
                    passes: int = 40) -> Benchmark:
    """The pointer moving into a widget and out again, against the same moves over a QComboBox."""

    def window_with(widget_factory: Callable[[QWidget], QWidget], y: int) -> tuple[QWidget, QWidget]:
        window = QWidget()
        window.resize(400, 160)
        window.move(CLEAR_X, y)
        layout = QVBoxLayout(window)
        widget = widget_factory(window)
        layout.addWidget(widget)
        layout.addStretch(1)
        window.show()
        flush()
        return window, widget

    def combo(parent: QWidget) -> QWidget:
        box = QComboBox(parent)
        box.addItems([f"Option {i}" for i in range(50)])
        return box

    field_window, field = window_with(make, 0)
    combo_window, box = window_with(combo, 300)
    scene = (field_window, field, combo_window, box)

    def moves(window: QWidget, widget: QWidget) -> Callable[[], Measured]:
        inside = widget.geometry().center()
        outside = QPoint(inside.x(), window.height() - 5)

        def run() -> Measured:
            QTest.mouseMove(window, outside)
            start = time.perf_counter_ns()
            for _ in range(passes):
                QTest.mouseMove(window, inside)
                QTest.mouseMove(window, outside)
            return Measured((time.perf_counter_ns() - start) / passes)
        run.scene = scene  # type: ignore[attr-defined]
        return run

    return Benchmark(f"{label}: pointer in and out, vs QComboBox", moves(field_window, field),
                     moves(combo_window, box), target=target, unit="us", rounds=25, warmup=1)


def pointer_over(widget: QWidget) -> None:
    """Rests the pointer in the middle of `widget`'s window (where new children appear)."""
    QCursor.setPos(widget.mapToGlobal(widget.rect().center()))


_MEMORY_SCRIPT = """
import os, sys
os.environ["QT_QPA_PLATFORM"] = "offscreen"
from PySide6.QtCore import qInstallMessageHandler
qInstallMessageHandler(lambda *_: None)
from PySide6.QtWidgets import QApplication, QMainWindow, QScrollArea, QWidget, QVBoxLayout
import gc, contextlib
app = QApplication([])
window = QMainWindow(); window.resize(1024, 768); window.show(); app.mainWindow = window

def rss():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")

{setup}

def build(parent):
{build}

def one_page(count):
    area = QScrollArea(); area.resize(420, 600)
    page = QWidget(); layout = QVBoxLayout(page)
    keep = [build(page) for _ in range(count)]
    for w in keep:
        layout.addWidget(w)
    area.setWidget(page); area.show()
    for _ in range(3):
        app.processEvents()
    return area, keep

with open(os.devnull, "w") as sink, contextlib.redirect_stdout(sink):
    warm = one_page(20)  # first-use costs (imports, icons, theme) out of the figure
    gc.collect(); app.processEvents()
    before = rss()
    kept = one_page({count})
    gc.collect(); app.processEvents()
    after = rss()
print((after - before) / {count})
"""


def rss_per_widget(setup: str, build: str, count: int = 1000) -> Callable[[], Measured]:
    """Resident memory per widget over `count` widgets shown in a scroll area, measured in a
    fresh interpreter; `build` is the body of `build(parent)`, returning the widget."""
    script = _MEMORY_SCRIPT.format(setup=textwrap.dedent(setup), build=textwrap.indent(textwrap.dedent(build), "    "),
                                   count=count)

    def run() -> Measured:
        env = dict(os.environ, VANTU_DIAGNOSTICS="0")
        out = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, env=env, check=True)
        return Measured(float(out.stdout.strip().splitlines()[-1]))
    return run
