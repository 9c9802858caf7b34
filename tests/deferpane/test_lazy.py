"""Lazy: its widget tree, the finish and the 100 ms reveal, callbacks, errors and lifetime."""
import gc
import inspect
import weakref

import pytest
from PySide6.QtCore import QElapsedTimer
from PySide6.QtWidgets import QFrame, QLabel, QProgressBar, QSizePolicy, QVBoxLayout, QWidget
from shiboken6 import isValid

from vantu.deferpane import Lazy
from vantu.material.component import RenderContext
from vantu.material.stack import Stack
from vantu.material.typography import Typography


def make(qtbot, root=None, **kwargs):
    lazy = Lazy(root if root is not None else Stack(children=[Typography(text="hello")]), **kwargs)
    qtbot.addWidget(lazy)
    return lazy


class TestWidgetTree:
    def test_frame_layouts_and_size_policy(self, qtbot, dp):
        fallback = QLabel("loading")
        lazy = make(qtbot, fallback=fallback)
        layout = lazy.layout()
        assert isinstance(layout, QVBoxLayout)
        assert layout.contentsMargins().top() == 2 and layout.contentsMargins().left() == 0
        assert layout.contentsMargins().right() == 0 and layout.contentsMargins().bottom() == 0
        policy = lazy.sizePolicy()
        assert policy.horizontalPolicy() == policy.verticalPolicy() == QSizePolicy.Policy.Expanding
        content = dp.content_of(lazy)
        # The fallback first, then the content frame; the placeholder is in no layout.
        assert [layout.itemAt(i).widget() for i in range(layout.count())] == [fallback, content]
        assert content.layout().spacing() == 0
        assert content.layout().contentsMargins().top() == 0
        placeholders = [c for c in lazy.children() if type(c) is QWidget]
        assert len(placeholders) == 1
        assert placeholders[0].layout().spacing() == 8 and placeholders[0].layout().count() == 0

    def test_root_widget_sits_in_the_hidden_content_frame(self, qtbot, dp):
        root = Stack(children=[Typography(text="a")])
        lazy = make(qtbot, root)
        content = dp.content_of(lazy)
        assert root.parentWidget() is content and content.layout().itemAt(0).widget() is root
        assert content.isHidden()

    def test_no_instance_attributes_of_its_own(self, qtbot):
        lazy = make(qtbot)
        own = {k for k, v in vars(lazy).items() if type(v).__name__ != "SignalInstance"}
        assert own == set()

    def test_signature_and_argument_count_errors(self):
        params = list(inspect.signature(Lazy).parameters)
        assert params == ["root_component", "fallback", "onProgress", "onFinished", "parent"]
        with pytest.raises(TypeError) as info:
            Lazy()
        assert str(info.value) == "__init__() takes at least 1 positional argument (0 given)"
        with pytest.raises(TypeError) as info:
            Lazy(fallback=QLabel())
        assert str(info.value) == "__init__() takes at least 1 positional argument (0 given)"
        with pytest.raises(TypeError) as info:
            Lazy(Stack(), None, None, None, None, None)
        assert str(info.value) == "__init__() takes at most 5 positional arguments (6 given)"
        with pytest.raises(TypeError, match="unexpected keyword argument 'nope'"):
            Lazy(Stack(), nope=1)

    def test_parent_is_honoured(self, qtbot, host):
        lazy = Lazy(Stack(), parent=host)
        assert lazy.parentWidget() is host


class TestFinishAndReveal:
    def test_fallback_hidden_at_finish_and_content_shown_100ms_later(self, qtbot, host, dp):
        fallback = QProgressBar()
        seen = {}
        clock = QElapsedTimer()

        def on_finished():
            clock.start()
            seen["fallback"] = fallback.isVisible()
            seen["content"] = dp.content_of(lazy).isVisible()

        lazy = Lazy(Stack(children=dp.leaves(40)), fallback=fallback, onFinished=on_finished)
        host.layout().addWidget(lazy)
        lazy.show()
        assert fallback.isVisible()
        qtbot.waitUntil(lambda: "fallback" in seen, timeout=2000)
        assert seen == {"fallback": False, "content": False}
        content = dp.content_of(lazy)
        qtbot.waitUntil(content.isVisible, timeout=2000)
        assert clock.elapsed() >= 90  # the timer's own tolerance aside, not before 100 ms
        assert not fallback.isVisible()

    def test_without_fallback_the_lazy_is_blank_until_the_reveal(self, qtbot, host, dp):
        root = Stack(children=dp.leaves(3))
        lazy = Lazy(root)
        host.layout().addWidget(lazy)
        lazy.show()
        visible = [c for c in lazy.findChildren(QWidget) if c.isVisible()]
        # Only the empty placeholder is shown, and it has nothing to paint.
        assert len(visible) == 1 and visible[0].layout().count() == 0
        qtbot.waitUntil(dp.content_of(lazy).isVisible, timeout=2000)
        assert not visible[0].isVisible()
        assert all(leaf.isVisible() for leaf in root.findChildren(Typography))

    def test_string_fallback_is_ignored(self, qtbot, dp):
        lazy = make(qtbot, fallback="Loading...")
        assert lazy.layout().count() == 1
        with qtbot.waitSignal(dp.scheduler_of(lazy).ctx.finished, timeout=2000):
            pass
        lazy.show()
        qtbot.waitUntil(dp.content_of(lazy).isVisible, timeout=2000)

    def test_own_handler_runs_before_the_callers_on_finished(self, qtbot, dp):
        fallback = QLabel("wait")
        calls = []
        lazy = make(qtbot, fallback=fallback,
                    onFinished=lambda *args: calls.append((fallback.isHidden(), content.isHidden(), args)))
        content = dp.content_of(lazy)
        qtbot.waitUntil(lambda: bool(calls), timeout=2000)
        assert calls == [(True, True, ())]  # fallback already hidden, content not yet revealed

    def test_on_progress_gets_the_contexts_arguments_unchanged(self, qtbot, dp):
        got = []
        lazy = make(qtbot, Stack(children=dp.leaves(70)), onProgress=lambda *args: got.append(args))
        ctx = dp.scheduler_of(lazy).ctx
        direct = []
        ctx.progressChanged.connect(lambda *args: direct.append(args))
        with qtbot.waitSignal(ctx.finished, timeout=3000):
            pass
        assert got == direct
        assert got[0] == (30, 70) and got[-1] == (70, 70)  # 70 units at 30 per turn

    def test_a_finish_emitted_twice_reveals_twice_and_hides_again(self, qtbot, dp):
        fallback = QLabel("wait")
        finished = []
        lazy = make(qtbot, fallback=fallback, onFinished=lambda: finished.append(1))
        lazy.show()
        ctx = dp.scheduler_of(lazy).ctx
        qtbot.waitUntil(dp.content_of(lazy).isVisible, timeout=2000)
        fallback.show()  # something showed it again; a second finish hides it again
        ctx.finished.emit()
        assert fallback.isHidden() and finished == [1, 1]
        qtbot.wait(150)
        assert dp.content_of(lazy).isVisible()

    def test_non_container_root_still_reaches_on_finished(self, qtbot, dp):
        done, progress = [], []
        lazy = make(qtbot, Typography(text="leaf"), onFinished=lambda: done.append(1), onProgress=progress.append)
        qtbot.waitUntil(lambda: done == [1], timeout=2000)
        assert progress == [] and lazy.isWidgetType()  # a total of 0 reports no progress

    def test_non_callables_are_ignored(self, qtbot, dp):
        lazy = make(qtbot, onProgress="no", onFinished=42)
        lazy.show()
        qtbot.waitUntil(dp.content_of(lazy).isVisible, timeout=2000)


class TestFailures:
    def test_root_without_render_ui_raises_out_of_the_constructor(self, qtbot):
        class NotAComponent:
            pass

        with pytest.raises(AttributeError, match="renderUi"):
            Lazy(NotAComponent(), fallback=QLabel("x"))

    def test_render_errors_pass_through_and_leave_the_built_part(self, qtbot):
        class Boom(Stack):
            def renderUi(self, ctx=None, parent=None):
                raise ValueError("render failed")

        parent = QWidget()
        qtbot.addWidget(parent)
        with pytest.raises(ValueError, match="render failed"):
            Lazy(Boom(), fallback=QLabel("x"), parent=parent)
        lazy = parent.findChild(Lazy)
        assert lazy is not None and lazy.findChild(QLabel) is not None

    def test_estimate_errors_pass_through(self, qtbot):
        root = Stack(children=[Typography()])
        root.renderUi = lambda ctx, parent=None: QLabel(parent)
        del root._children
        with pytest.raises(AttributeError, match="_children"):
            Lazy(root)


class TestLifetime:
    def test_deleting_before_the_reveal_raises_nothing_and_frees_the_lazy(self, qtbot, dp):
        done = []
        lazy = Lazy(Stack(children=dp.leaves(5)), fallback=QLabel("x"), onFinished=lambda: done.append(1))
        ref = weakref.ref(lazy)
        qtbot.waitUntil(lambda: bool(done), timeout=2000)
        lazy.deleteLater()
        del lazy
        dp.flush_deletes()
        qtbot.wait(150)  # the reveal timer's time passes with nobody to reveal
        gc.collect()
        assert ref() is None

    def test_deleting_mid_build_stops_the_build_quietly(self, qtbot, dp):
        root = Stack(children=dp.leaves(200))
        lazy = Lazy(root)
        ref = weakref.ref(lazy)
        qtbot.wait(1)
        lazy.deleteLater()
        del lazy
        dp.flush_deletes()
        qtbot.wait(50)
        gc.collect()
        assert ref() is None and not isValid(root)

    def test_a_fallback_deleted_by_its_owner_is_skipped_at_the_finish(self, qtbot, dp):
        fallback = QLabel("x")
        done = []
        lazy = make(qtbot, Stack(children=dp.leaves(90)), fallback=fallback, onFinished=lambda: done.append(1))
        fallback.deleteLater()
        dp.flush_deletes()
        qtbot.waitUntil(lambda: bool(done), timeout=2000)
        lazy.show()
        qtbot.waitUntil(dp.content_of(lazy).isVisible, timeout=2000)


def test_the_context_is_a_render_context_with_the_lazys_scheduler(qtbot, dp):
    lazy = make(qtbot)
    scheduler = dp.scheduler_of(lazy)
    assert isinstance(scheduler.ctx, RenderContext) and scheduler.ctx.scheduler is scheduler
    assert scheduler.chunk_per_tick == 30 and scheduler.parent() is lazy
    assert isinstance(dp.content_of(lazy), QFrame)


class TestScrolledPageReveal:
    """A Scrollbar page behind a Lazy: what is in view shows with the reveal, the rest follows."""

    def build(self, qtbot, host, dp):
        from vantu.material.collapse import Collapse
        from vantu.material.paper import Paper
        from vantu.material.scroll_bar import Scrollbar

        closed = Collapse(children=dp.leaves(2), open=False)
        root = Scrollbar(children=[Paper(children=dp.leaves(20, f"p{p}")) for p in range(12)] + [closed])
        lazy = Lazy(root)
        host.layout().addWidget(lazy)
        content = dp.content_of(lazy)
        qtbot.waitUntil(lambda: dp.scheduler_of(lazy).ctx.is_finished, timeout=5000)
        papers = [root._children[p] for p in range(12)]
        assert all(paper.isHidden() and paper.sizePolicy().retainSizeWhenHidden() for paper in papers)
        return root, content, papers, closed

    def test_in_view_at_the_reveal_then_the_rest_on_later_turns(self, qtbot, host, dp):
        root, content, papers, closed = self.build(qtbot, host, dp)
        shown_at_reveal = []
        watch = self._on_show(lambda: shown_at_reveal.extend(p.isVisible() for p in papers))
        content.installEventFilter(watch)
        qtbot.waitUntil(content.isVisible, timeout=2000)
        assert shown_at_reveal[0] and not all(shown_at_reveal)  # the first paper, not the last
        qtbot.waitUntil(lambda: root.heldBack() == 0, timeout=2000)
        assert all(p.isVisible() and not p.sizePolicy().retainSizeWhenHidden() for p in papers)
        assert closed.isHidden()  # hidden on purpose before it was placed: left alone

    def test_scrolling_shows_what_comes_into_view_at_once(self, qtbot, host, dp):
        root, content, papers, _ = self.build(qtbot, host, dp)
        seen = []

        def scroll_to_the_end():  # in the turn of the reveal, before any later turn shows more
            seen.append(papers[-1].isVisible())
            root.scrollArea.ensureWidgetVisible(papers[-1])
            seen.append(papers[-1].isVisible())

        watch = self._on_show(scroll_to_the_end)
        content.installEventFilter(watch)
        qtbot.waitUntil(content.isVisible, timeout=2000)
        assert seen == [False, True]
        assert not papers[-1].visibleRegion().isEmpty()

    def test_children_deleted_before_the_reveal_are_skipped(self, qtbot, host, dp):
        root, content, papers, _ = self.build(qtbot, host, dp)
        for paper in (papers[0], papers[5]):
            paper.deleteLater()
        dp.flush_deletes()
        qtbot.waitUntil(lambda: content.isVisible() and root.heldBack() == 0, timeout=2000)
        assert papers[1].isVisible() and papers[-1].isVisible()

    def test_a_page_built_at_once_holds_nothing_back(self, host, dp):
        from vantu.material.scroll_bar import Scrollbar

        root = Scrollbar(children=[Stack(children=dp.leaves(3)) for _ in range(3)])
        root.renderUi(None, parent=host)
        host.layout().addWidget(root)
        assert root.heldBack() == 0 and not any(child.isHidden() for child in root._children)

    @staticmethod
    def _on_show(callback):
        from PySide6.QtCore import QEvent, QObject

        class Watch(QObject):
            def eventFilter(self, obj, event):
                if event.type() == QEvent.Type.Show:
                    callback()
                return False

        return Watch()
