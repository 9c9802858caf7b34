"""Cost of the hot service calls, as ratios against plain-Qt baselines measured in the same run.

Run: PYTHONPATH=src QT_QPA_PLATFORM=offscreen .venv/bin/python bench/bench_services.py
"""
from __future__ import annotations

import os
import platform
import statistics
import time

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

import PySide6
from PySide6.QtCore import QCoreApplication, QEvent, QObject, Signal, Slot
from PySide6.QtWidgets import QApplication, QWidget

from vantu.hooks import State, useEffect, useState
from vantu.material.component import RenderContext, RenderScheduler
from vantu.material.styles import get_qss_style, useTheme

REPEATS = 21


class _PlainState(QObject):
    changed = Signal(object)


class _Receiver(QObject):
    @Slot()
    def run(self) -> None:
        pass


def _median_ns(fn, n: int) -> tuple[float, float]:
    samples = []
    for _ in range(REPEATS):
        start = time.perf_counter_ns()
        fn(n)
        samples.append((time.perf_counter_ns() - start) / n)
    return statistics.median(samples), statistics.pstdev(samples)


def _report(name: str, candidate, baseline, n: int) -> None:
    candidate(n // 10)
    baseline(n // 10)  # warm-up, same for both
    c, c_sd = _median_ns(candidate, n)
    b, b_sd = _median_ns(baseline, n)
    print(f"{name:34s} {c:9.0f} ns vs {b:9.0f} ns  ratio {c / b:5.2f}  (sd {c_sd:.0f} / {b_sd:.0f}, N={n})")


def main() -> None:
    app = QApplication.instance() or QApplication([])
    host = QWidget()
    theme_state = useTheme().state

    class Field(QWidget):
        def refresh(self) -> None:
            pass

    def release(field: QWidget) -> None:
        # Both sides pay the same deletion, so the theme's connection list
        # does not grow from one repeat to the next.
        field.deleteLater()
        QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)

    def hooks(n: int) -> None:
        field = Field(host)
        for _ in range(n):
            useState(initial=None, component=field)
            useEffect(field.refresh, [theme_state], component=field)
        release(field)

    def plain_qobjects(n: int) -> None:
        field = Field(host)
        for _ in range(n):
            _PlainState(field)
            receiver = _Receiver(field)
            theme_state.valueChanged.connect(receiver.run)
        release(field)

    state = State(0)

    def setter(n: int) -> None:
        for i in range(n):
            state.setValue(i)

    plain = _PlainState()

    def plain_emit(n: int) -> None:
        for i in range(n):
            plain.changed.emit(i)

    style = useTheme().components["KelInput"]["styles"]["helperLabel"]({"color": None})

    def qss(n: int) -> None:
        for _ in range(n):
            get_qss_style(style)

    def join_baseline(n: int) -> None:
        for _ in range(n):
            " ".join(f"{k}: {v};" for k, v in style.items() if not isinstance(v, dict))

    def scheduled(n: int) -> None:
        ctx = RenderContext()
        RenderScheduler(ctx, chunk_per_tick=30, parent=host)
        for _ in range(n):
            ctx.schedule(_noop)
        ctx.set_total(n)
        while not ctx.is_finished:
            app.processEvents()

    def direct(n: int) -> None:
        for _ in range(n):
            _noop()
            app.processEvents() if _ % 30 == 0 else None

    print(f"Python {platform.python_version()}, PySide6 {PySide6.__version__}")
    _report("useState+useEffect / QObject+connect", hooks, plain_qobjects, 2000)
    _report("State.setValue / Signal.emit", setter, plain_emit, 20000)
    _report("get_qss_style / str.join", qss, join_baseline, 20000)
    _report("scheduled unit / direct call", scheduled, direct, 3000)


def _noop() -> None:
    pass


if __name__ == "__main__":
    main()
