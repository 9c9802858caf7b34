"""Cost of the hot service calls, as ratios against plain-Qt baselines measured in the same run."""
from __future__ import annotations

import os

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

from PySide6.QtCore import QCoreApplication, QEvent, QObject, Signal, Slot
from PySide6.QtWidgets import QApplication, QWidget

from vantu.hooks import State, useEffect, useState
from vantu.material.component import RenderContext, RenderScheduler
from vantu.material.styles import get_qss_style, useTheme

from bench.timing import Benchmark


class _PlainState(QObject):
    changed = Signal(object)


class _Receiver(QObject):
    @Slot()
    def run(self) -> None:
        pass


def benchmarks() -> list[Benchmark]:
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

    def pair(name, candidate, baseline, n):
        return Benchmark(f"services: {name} (N={n})", lambda: candidate(n), lambda: baseline(n))

    return [
        pair("useState+useEffect vs QObject+connect", hooks, plain_qobjects, 2000),
        pair("State.setValue vs Signal.emit", setter, plain_emit, 20000),
        pair("get_qss_style vs str.join", qss, join_baseline, 20000),
        pair("scheduled unit vs direct call", scheduled, direct, 3000),
    ]


def _noop() -> None:
    pass

