"""Two-phase components and the chunked render machinery that builds them.

A ``Component`` records its configuration in its constructor; the framework
later calls ``renderUi(ctx, parent)``, which builds the Qt widget. Work that a
component wants spread over the event loop goes through ``ctx.schedule(unit)``;
with a ``RenderScheduler`` attached, units run a chunk per event-loop turn, so
a large tree never blocks painting.
"""
from __future__ import annotations

import time
from collections import deque
from collections.abc import Callable
from typing import Any

from PySide6.QtCore import QObject, QTimer, Signal, Slot
from PySide6.QtWidgets import QWidget
from shiboken6 import isValid

__all__ = ["Component", "RenderContext", "RenderScheduler"]

_REPORT_INTERVAL = 0.016
"""Seconds between two progress reports while building: one a frame is all a progress bar can show."""


class Component:
    """Base of renderable components, meant to be mixed after a Qt widget class.

    ``class MenuView(QFrame, Component)``: a plain class (no metaclass, no
    slots), so it combines with Qt's own metaclass. Its constructor touches
    neither Qt nor the instance and may run any number of times.
    """

    def __init__(self, **_ignored: Any) -> None:
        pass

    def renderUi(self, ctx: RenderContext | None = None, parent: QWidget | None = None) -> QWidget:
        """Build the widget under ``parent`` and return it; subclasses implement this."""
        raise NotImplementedError(f"{type(self).__name__} must implement renderUi(ctx, parent)")


def _check_total(total: Any) -> int:
    if type(total) is bool or not isinstance(total, int):
        raise TypeError(f"'total' must be an int, got {type(total).__name__}")
    if total < 0:
        raise ValueError(f"'total' must be 0 or more, got {total}")
    return int(total)


class RenderContext(QObject):
    """What one rendering pass shares: its scheduler, its progress and its end.

    Signals:
        progressChanged(done, total): after a chunk of units, once the total
            is known, and at most once a frame (16 ms) while building: a
            progress bar repainted after every chunk would cost more than it
            shows. ``total`` grows with ``done`` when more units ran than
            announced, and the last report before ``finished`` is always
            ``(total, total)``.
        finished(): once, on an event-loop turn after the last unit ran and
            the total is known (also for a total of 0 with nothing scheduled).
    """

    progressChanged = Signal(int, int)
    finished = Signal()

    def __init__(self, parent: QObject | None = None) -> None:
        super().__init__(parent)
        self.scheduler: RenderScheduler | None = None
        self._done = 0
        self._total: int | None = None
        self._finished = False
        self._finish_posted = False
        self._reported: tuple[int, int] | None = None
        self._reported_at = float("-inf")

    @property
    def done(self) -> int:
        """Units run so far (counted per chunk when a scheduler runs them)."""
        return self._done

    @property
    def total(self) -> int:
        """The announced number of units (0 until ``set_total``)."""
        return self._total or 0

    @property
    def is_finished(self) -> bool:
        """True once ``finished`` has been emitted."""
        return self._finished

    def set_total(self, total: int) -> None:
        """Announce how many units the pass will take; ``finished`` can come after this."""
        self._total = _check_total(total)
        scheduler = self.scheduler
        if scheduler is not None:
            scheduler._request_turn()
        elif not self._finish_posted and not self._finished:
            # Units already ran inline; still finish on a later turn, as a
            # scheduled pass would.
            self._finish_posted = True
            QTimer.singleShot(0, self._finish_inline)

    def schedule(self, unit: Callable[[], Any]) -> None:
        """Run ``unit()`` through the scheduler, or right away when there is none."""
        if not callable(unit):
            raise TypeError(f"'unit' must be a callable taking no arguments, got {type(unit).__name__}")
        scheduler = self.scheduler
        if scheduler is None:
            self._done += 1
            unit()
            return
        # Hot path: plain attribute access only (method lookups on Qt
        # objects cost several times more).
        scheduler._queue.append(unit)
        if not scheduler._armed:
            scheduler._request_turn()

    def _report(self, final: bool) -> None:
        if self._total is None:
            return
        done = self._done
        total = self._total if self._total > done else done
        report = (total, total) if final else (done, total)
        if report[1] == 0 or report == self._reported:
            return
        if not final:
            now = time.perf_counter()
            if now - self._reported_at < _REPORT_INTERVAL:
                return  # the final report, or a later one, tells it
            self._reported_at = now
        self._reported = report
        self.progressChanged.emit(*report)

    def _finish(self) -> None:
        if self._finished:
            return
        self._finished = True
        self._report(final=True)
        self.finished.emit()

    @Slot()
    def _finish_inline(self) -> None:
        self._finish_posted = False
        if self.scheduler is None:
            self._finish()
        else:
            self.scheduler._request_turn()


class RenderScheduler(QObject):
    """Runs the units scheduled on a ``RenderContext``, ``chunk_per_tick`` per event-loop turn.

    Units run first-in first-out; a unit may schedule more, which join the end
    of the queue. A unit's exception goes to Qt's dispatch like any slot's,
    and the remaining units run on the next turn.

    Counters (for tests and benchmarks): ``turns`` (timer turns taken),
    ``units_run``, ``max_units_per_turn``, ``last_turn_units`` and ``pending``.
    """

    def __init__(self, ctx: RenderContext, chunk_per_tick: int = 30, parent: QObject | None = None) -> None:
        if not isinstance(ctx, RenderContext):
            raise TypeError(f"'ctx' must be a RenderContext, got {type(ctx).__name__}")
        if type(chunk_per_tick) is bool or not isinstance(chunk_per_tick, int):
            raise TypeError(f"'chunk_per_tick' must be an int, got {type(chunk_per_tick).__name__}")
        if chunk_per_tick < 1:
            raise ValueError(f"'chunk_per_tick' must be at least 1, got {chunk_per_tick}")
        super().__init__(parent)
        # Held strongly: the context must outlive the pass even when its
        # creator keeps no reference (the scheduler's parent keeps us).
        self._ctx = ctx
        self._chunk = chunk_per_tick
        self._queue: deque[Callable[[], Any]] = deque()
        self._armed = False
        self._timer = QTimer(self)
        self._timer.setSingleShot(True)
        self._timer.setInterval(0)
        self._timer.timeout.connect(self._run_turn)
        self.turns = 0
        self.units_run = 0
        self.max_units_per_turn = 0
        self.last_turn_units = 0
        if ctx.scheduler is None:
            ctx.scheduler = self

    @property
    def ctx(self) -> RenderContext:
        """The context whose units this scheduler runs."""
        return self._ctx

    @property
    def chunk_per_tick(self) -> int:
        """Most units run in one event-loop turn."""
        return self._chunk

    @property
    def pending(self) -> int:
        """Units waiting for a later turn."""
        return len(self._queue)

    def _request_turn(self) -> None:
        if self._armed or not isValid(self):
            return
        self._armed = True
        self._timer.start()

    @Slot()
    def _run_turn(self) -> None:
        self._armed = False
        self.turns += 1
        ctx = self._ctx
        queue = self._queue
        popleft = queue.popleft
        chunk = self._chunk
        ran = 0
        try:
            while queue and ran < chunk:
                unit = popleft()
                ran += 1
                unit()
        except BaseException:
            ctx._done += ran
            self._account(ran)
            # Whatever is left (or the finish) still happens next turn.
            self._request_turn()
            raise
        ctx._done += ran
        self._account(ran)
        if queue:
            ctx._report(final=False)
            self._request_turn()
        elif ctx._total is not None and not ctx._finished:
            ctx._finish()
        elif ran:
            ctx._report(final=False)

    def _account(self, ran: int) -> None:
        self.units_run += ran
        self.last_turn_units = ran
        if ran > self.max_units_per_turn:
            self.max_units_per_turn = ran
