"""Component base, RenderContext and the chunked RenderScheduler."""
import gc
import time
import weakref

import pytest
import shiboken6
from PySide6.QtCore import QCoreApplication, QEvent, QTimer
from PySide6.QtWidgets import QFrame, QLabel, QVBoxLayout, QWidget

from vantu.material.component import Component, RenderContext, RenderScheduler


class Card(QFrame, Component):
    """A two-phase component as the library writes them."""

    def __init__(self, title="", **kwargs):
        Component.__init__(self)
        Component.__init__(self)
        self._title = title

    def renderUi(self, ctx=None, parent=None):
        QFrame.__init__(self, parent)
        layout = QVBoxLayout(self)
        for n in range(3):
            ctx.schedule(lambda n=n: layout.addWidget(QLabel(f"{self._title} {n}", self)))
        return self


@pytest.fixture
def host(qtbot):
    w = QWidget()
    qtbot.addWidget(w)
    return w


def make(host, chunk=30):
    ctx = RenderContext()
    scheduler = RenderScheduler(ctx, chunk_per_tick=chunk, parent=host)
    ctx.scheduler = scheduler
    return ctx, scheduler


class TestComponent:
    def test_mixes_with_qt_widgets_and_renders_later(self, host, qtbot):
        card = Card(title="Fruit")
        assert card._title == "Fruit"
        ctx, _ = make(host)
        widget = card.renderUi(ctx, parent=host)
        assert widget is card and card.parent() is host
        assert card.findChildren(QLabel) == []
        with qtbot.waitSignal(ctx.finished):
            ctx.set_total(3)
        assert [label.text() for label in card.findChildren(QLabel)] == ["Fruit 0", "Fruit 1", "Fruit 2"]

    def test_render_ui_must_be_implemented(self):
        with pytest.raises(NotImplementedError):
            Component().renderUi()


class TestScheduler:
    def test_hundred_units_take_four_turns_of_at_most_thirty(self, host, qtbot):
        ctx, scheduler = make(host)
        ran = []
        progress = []
        ctx.progressChanged.connect(lambda done, total: progress.append((done, total)))
        for n in range(100):
            ctx.schedule(lambda n=n: ran.append(n))
        ctx.set_total(100)
        assert ran == []
        with qtbot.waitSignal(ctx.finished):
            pass
        assert ran == list(range(100))
        assert scheduler.turns == 4 and scheduler.max_units_per_turn == 30
        # After the first chunk, then at most once a frame, always ending full.
        assert progress[0] == (30, 100) and progress[-1] == (100, 100)
        assert set(progress) <= {(30, 100), (60, 100), (90, 100), (100, 100)} and progress == sorted(progress)
        assert (ctx.done, ctx.total, scheduler.pending) == (100, 100, 0)

    def test_progress_is_reported_at_most_once_a_frame(self, host, qtbot):
        ctx, _ = make(host, chunk=1)
        stamps = []
        ctx.progressChanged.connect(lambda done, total: stamps.append((time.perf_counter(), done)))
        for _ in range(12):
            ctx.schedule(lambda: time.sleep(0.004))
        ctx.set_total(12)
        with qtbot.waitSignal(ctx.finished, timeout=3000):
            pass
        gaps = [later - earlier for (earlier, _), (later, _) in zip(stamps[:-1], stamps[1:-1])]
        assert stamps[0][1] == 1 and stamps[-1][1] == 12 and 2 < len(stamps) < 12
        assert all(gap >= 0.016 for gap in gaps)

    def test_units_scheduled_by_units_go_to_the_end(self, host, qtbot):
        ctx, scheduler = make(host, chunk=3)
        order = []

        def parent_unit(name):
            order.append(name)
            ctx.schedule(lambda: order.append(name + ".child"))

        for name in "abc":
            ctx.schedule(lambda name=name: parent_unit(name))
        ctx.set_total(6)
        with qtbot.waitSignal(ctx.finished):
            pass
        assert order == ["a", "b", "c", "a.child", "b.child", "c.child"]
        assert scheduler.turns == 2 and scheduler.max_units_per_turn == 3

    def test_child_units_fill_the_rest_of_the_chunk(self, host, qtbot):
        ctx, scheduler = make(host)
        order = []
        ctx.schedule(lambda: (order.append(1), ctx.schedule(lambda: order.append(2))))
        ctx.set_total(2)
        with qtbot.waitSignal(ctx.finished):
            pass
        assert order == [1, 2] and scheduler.turns == 1

    @pytest.mark.parametrize("units", [0, 5])
    def test_finished_once_and_never_synchronously(self, host, qtbot, units):
        ctx, scheduler = make(host)
        finished = []
        ctx.finished.connect(lambda: finished.append(ctx.done))
        for _ in range(units):
            ctx.schedule(lambda: None)
        ctx.set_total(units)
        assert finished == []
        qtbot.waitUntil(lambda: finished == [units])
        ctx.set_total(units)
        for _ in range(40):
            ctx.schedule(lambda: None)
        qtbot.waitUntil(lambda: scheduler.pending == 0)
        qtbot.wait(20)
        assert finished == [units]

    def test_total_zero_reports_no_progress(self, host, qtbot):
        ctx, _ = make(host)
        progress = []
        ctx.progressChanged.connect(lambda *a: progress.append(a))
        with qtbot.waitSignal(ctx.finished):
            ctx.set_total(0)
        assert progress == []

    def test_more_units_than_announced_keep_progress_within_total(self, host, qtbot):
        ctx, _ = make(host, chunk=4)
        progress = []
        ctx.progressChanged.connect(lambda *a: progress.append(a))
        for _ in range(6):
            ctx.schedule(lambda: None)
        ctx.set_total(5)
        with qtbot.waitSignal(ctx.finished):
            pass
        assert progress == [(4, 5), (6, 6)]
        assert all(done <= total for done, total in progress)

    def test_fewer_units_than_announced_still_end_at_total(self, host, qtbot):
        ctx, _ = make(host)
        progress = []
        ctx.progressChanged.connect(lambda *a: progress.append(a))
        ctx.schedule(lambda: None)
        with qtbot.waitSignal(ctx.finished):
            ctx.set_total(10)
        assert progress[-1] == (10, 10)

    def test_failing_unit_reaches_qt_and_the_rest_still_runs(self, host, qtbot):
        ctx, scheduler = make(host, chunk=2)
        ran = []

        def boom():
            raise RuntimeError("unit failed")

        for unit in (lambda: ran.append(1), boom, lambda: ran.append(3), lambda: ran.append(4)):
            ctx.schedule(unit)
        ctx.set_total(4)
        with qtbot.captureExceptions() as errors:
            qtbot.waitUntil(lambda: ctx.is_finished)
        assert [str(e[1]) for e in errors] == ["unit failed"]
        assert ran == [1, 3, 4]

    def test_scheduler_dies_with_its_parent_and_stops(self, qtbot, qapp):
        parent = QWidget()
        ctx, scheduler = make(parent)
        ran = []
        ctx.schedule(lambda: ran.append(1))
        parent.deleteLater()
        QCoreApplication.sendPostedEvents(None, QEvent.DeferredDelete)
        assert not shiboken6.isValid(scheduler)
        qtbot.wait(20)
        assert ran == []
        ctx.schedule(lambda: ran.append(2))  # owner gone: dropped, no error
        qtbot.wait(20)
        assert ran == []
        ref = weakref.ref(ctx)
        del ctx, scheduler
        gc.collect()
        assert ref() is None


class TestContextWithoutScheduler:
    def test_units_run_at_once_and_finish_comes_later(self, qtbot):
        ctx = RenderContext()
        ran = []
        ctx.schedule(lambda: ran.append(1))
        assert ran == [1] and ctx.done == 1
        finished = []
        ctx.finished.connect(lambda: finished.append(True))
        ctx.set_total(1)
        assert finished == []
        qtbot.waitUntil(lambda: finished == [True])

    @pytest.mark.parametrize(("args", "error"), [((None,), TypeError), ((-1,), ValueError), ((True,), TypeError)])
    def test_bad_total_is_refused(self, args, error):
        with pytest.raises(error, match="'total'"):
            RenderContext().set_total(*args)

    def test_bad_arguments_are_named(self, host):
        with pytest.raises(TypeError, match="'unit'"):
            RenderContext().schedule("not callable")
        with pytest.raises(TypeError, match="'ctx'"):
            RenderScheduler(None, parent=host)
        with pytest.raises(ValueError, match="'chunk_per_tick'"):
            RenderScheduler(RenderContext(), chunk_per_tick=0, parent=host)

    def test_scheduler_attaches_itself_when_context_has_none(self, host):
        ctx = RenderContext()
        scheduler = RenderScheduler(ctx, parent=host)
        assert ctx.scheduler is scheduler and scheduler.ctx is ctx


def test_other_events_run_between_chunks(qtbot):
    """A zero-delay timer queued before the pass starts runs between its chunks."""
    host = QWidget()
    qtbot.addWidget(host)
    ctx, _ = make(host, chunk=1)
    events = []
    ctx.schedule(lambda: events.append("unit1"))
    ctx.schedule(lambda: events.append("unit2"))
    QTimer.singleShot(0, host, lambda: events.append("other"))
    ctx.set_total(2)
    with qtbot.waitSignal(ctx.finished):
        pass
    assert events.index("other") < events.index("unit2")
