"""The native modules against the same methods written in plain Python (bench/twins/).

Each twin is the native class with the methods of one hot path written line for line in Python
on the same services and Qt calls; before timing, every twin path is run once with the native
bodies counted, so a twin that still reaches one would be refused. The ratio is native time over
Python time: under 1 the C++ build is faster; the target, 0.67, is C++ 1.5x as fast.

Paths: SelectBase construction (single, 50 options; multiple with tags), a choice in single and
in multiple selection (10 tags rebuilt), the event filter of 20 opened fields under an unrelated
mouse move, EntryBox.renderUi with a helper text, estimate_steps over 100,000 nodes, and Lazy
construction.
"""
from __future__ import annotations

import time
import types
from collections import Counter

from PySide6.QtCore import QCoreApplication, QEvent, QPointF, Qt
from PySide6.QtGui import QMouseEvent
from PySide6.QtWidgets import QApplication, QLabel, QVBoxLayout, QWidget

from bench.timing import Benchmark, Measured
from bench.twins.deferpane_twin import PyLazy
from bench.twins.deferpane_twin import estimate_steps as py_estimate_steps
from bench.twins.entrybox_twin import PyEntryBox
from bench.twins.select_twin import PySelectBase
from vantu.deferpane import Lazy, estimate_steps
from vantu.material.box import Box
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.grid import Grid
from vantu.material.paper import Paper
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView
from vantu.material.stack import Stack
from vantu.material.typography import Typography

TARGET = 1 / 1.5
OPTIONS = [f"Option {i}" for i in range(50)]
NATIVE_MODULES = ("vantu.material.select.pickcore", "vantu.material.entrybox._select",
                  "vantu.material.entrybox.entrybox", "vantu.deferpane")
# A plain entry box's input keeps the library's InputBase, whose select mixin constructor is native.
ALLOWED = {"EntryBoxSelectMixin.__init__", "EntryBoxSelectMixin.select_setup_select_mode"}


def render_tags(selected, getTagProps):
    return [TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
            for key, option in selected.items()]


def _ignore(*_args) -> None:
    pass


def _flush() -> None:
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    QApplication.processEvents()


def native_calls(run) -> Counter:
    """Runs ``run`` and counts the native bodies it reached, by class and method name."""
    import importlib

    counts: Counter = Counter()
    patched = []
    for name in NATIVE_MODULES:
        module = importlib.import_module(name)
        for cls in [v for v in vars(module).values() if isinstance(v, type) and v.__module__ == name]:
            for attr, fn in list(cls.__dict__.items()):
                if isinstance(fn, types.FunctionType) and fn.__code__.co_filename == "<vantu generated>":
                    def counted(*args, _fn=fn, _key=f"{cls.__name__}.{attr}", **kwargs):
                        counts[_key] += 1
                        return _fn(*args, **kwargs)

                    setattr(cls, attr, counted)
                    patched.append((cls, attr, fn))
    try:
        run()
    finally:
        for cls, attr, fn in patched:
            setattr(cls, attr, fn)
    return counts


class Paths:
    """Both builds of every path, sharing one hidden host."""

    def __init__(self) -> None:
        self.host = QWidget()
        self.host.resize(400, 300)
        QVBoxLayout(self.host)
        # Fields whose popup has been opened once: each is an application event filter for good.
        self.opened = {cls: [self._opened(cls) for _ in range(20)] for cls in (SelectBase, PySelectBase)}
        app = QApplication.instance()
        for fields in self.opened.values():  # filtering only while their own path is timed
            for field in fields:
                app.removeEventFilter(field)
        self.single = {cls: cls(self.host, label="Fruit", options=OPTIONS) for cls in (SelectBase, PySelectBase)}
        self.multiple = {
            cls: cls(self.host, label="Fruit", options=OPTIONS, multiple=True, renderTags=render_tags,
                     getOptionLabel=str, defaultValue=OPTIONS[:10])
            for cls in (SelectBase, PySelectBase)
        }
        self.target = QWidget()
        self.move = QMouseEvent(QEvent.Type.MouseMove, QPointF(3, 3), QPointF(3, 3), Qt.MouseButton.NoButton,
                                Qt.MouseButton.NoButton, Qt.KeyboardModifier.NoModifier)
        self.tree = Stack(children=[
            (Paper, Box, Grid, Stack)[i % 4](children=[Typography(text="leaf") for _ in range(19)]) for i in range(5000)
        ])

    def _opened(self, cls):
        field = cls(self.host, label="Fruit", options=OPTIONS[:5])
        field._show_popup()
        field._hide_popup()
        return field

    # ---- the paths, each taking the class (or function) to use ---------------------------

    def construct(self, cls, **kwargs) -> Measured:
        start = time.perf_counter_ns()
        fields = [cls(self.host, label="Fruit", options=OPTIONS, **kwargs) for _ in range(20)]
        elapsed = time.perf_counter_ns() - start
        for field in fields:
            field.setParent(None)
            field.deleteLater()
        _flush()
        return Measured(elapsed)

    def construct_multiple(self, cls) -> Measured:
        return self.construct(cls, multiple=True, renderTags=render_tags, getOptionLabel=str,
                              defaultValue=OPTIONS[:3])

    def choose_single(self, cls) -> None:
        field = self.single[cls]
        for i in range(100):
            option = OPTIONS[i % 2]
            field._selected_change({"key": option, "value": option})

    def choose_multiple(self, cls) -> Measured:
        field = self.multiple[cls]
        start = time.perf_counter_ns()
        for _ in range(5):  # takes option 10 in and out again: 10 or 11 tags rebuilt each time
            field._selected_change({"key": OPTIONS[10], "value": OPTIONS[10]})
        elapsed = time.perf_counter_ns() - start
        _flush()
        return Measured(elapsed)

    def filter(self, cls) -> Measured:
        app = QApplication.instance()
        for field in self.opened[cls]:
            app.installEventFilter(field)
        target, event = self.target, self.move
        send = QApplication.sendEvent
        start = time.perf_counter_ns()
        for _ in range(500):
            send(target, event)
        elapsed = time.perf_counter_ns() - start
        for field in self.opened[cls]:
            app.removeEventFilter(field)
        return Measured(elapsed)

    def entry_box(self, cls) -> Measured:
        ctx = RenderContext()
        start = time.perf_counter_ns()
        boxes = [cls(label="Name", helperText="Your full name").renderUi(ctx, parent=self.host) for _ in range(20)]
        elapsed = time.perf_counter_ns() - start
        for box in boxes:
            box.setParent(None)
            box.deleteLater()
        _flush()
        return Measured(elapsed)

    def estimate(self, fn) -> None:
        fn(self.tree)

    def lazy(self, cls) -> Measured:
        roots = [Stack(children=[Typography(text="a"), Typography(text="b")]) for _ in range(50)]
        start = time.perf_counter_ns()
        lazies = [cls(root, fallback=QLabel("wait"), onProgress=_ignore, onFinished=_ignore, parent=self.host)
                  for root in roots]
        elapsed = time.perf_counter_ns() - start
        for lazy in lazies:
            lazy.setParent(None)
            lazy.deleteLater()
        _flush()
        return Measured(elapsed)

    def check_twins(self) -> None:
        """Every twin path reaches no native body (but the allowed ones)."""
        runs = {
            "construction": lambda: self.construct(PySelectBase),
            "multiple construction": lambda: self.construct_multiple(PySelectBase),
            "single choice": lambda: self.choose_single(PySelectBase),
            "multiple choice": lambda: self.choose_multiple(PySelectBase),
            "event filter": lambda: self.filter(PySelectBase),
            "entry box": lambda: self.entry_box(PyEntryBox),
            "Lazy": lambda: self.lazy(PyLazy),
        }
        for name, run in runs.items():
            reached = {k: v for k, v in native_calls(run).items() if k not in ALLOWED}
            assert not reached, f"the Python twin's {name} reached native bodies: {reached}"


def benchmarks():
    import contextlib
    import os

    with open(os.devnull, "w") as sink, contextlib.redirect_stdout(sink):  # the fields' diagnostic lines
        paths = Paths()
        paths.check_twins()
    return [
        Benchmark("native vs Python: SelectBase construction, 20 single fields", lambda: paths.construct(SelectBase),
                  lambda: paths.construct(PySelectBase), target=TARGET),
        Benchmark("native vs Python: SelectBase construction, 20 multiple fields with tags",
                  lambda: paths.construct_multiple(SelectBase), lambda: paths.construct_multiple(PySelectBase),
                  target=TARGET),
        Benchmark("native vs Python: 100 choices, single selection", lambda: paths.choose_single(SelectBase),
                  lambda: paths.choose_single(PySelectBase), target=TARGET),
        Benchmark("native vs Python: 5 choices, multiple selection with 10 tags",
                  lambda: paths.choose_multiple(SelectBase), lambda: paths.choose_multiple(PySelectBase),
                  target=TARGET),
        Benchmark("native vs Python: event filter, 20 opened fields, 500 mouse moves",
                  lambda: paths.filter(SelectBase), lambda: paths.filter(PySelectBase), target=TARGET),
        Benchmark("native vs Python: EntryBox.renderUi with helper text, 20 boxes",
                  lambda: paths.entry_box(EntryBox), lambda: paths.entry_box(PyEntryBox), target=TARGET),
        Benchmark("native vs Python: estimate_steps, 100,000 nodes", lambda: paths.estimate(estimate_steps),
                  lambda: paths.estimate(py_estimate_steps), target=TARGET),
        Benchmark("native vs Python: Lazy construction, 50 small pages", lambda: paths.lazy(Lazy),
                  lambda: paths.lazy(PyLazy), target=TARGET),
    ]
