"""A page of 3,000 components built by Lazy inside a shown window, as an application would."""
from PySide6.QtCore import QElapsedTimer, QEvent, QObject
from PySide6.QtWidgets import QApplication, QProgressBar, QScrollArea

from vantu.deferpane import Lazy, estimate_steps
from vantu.material.box import Box
from vantu.material.grid import Grid
from vantu.material.paper import Paper
from vantu.material.scroll_bar import Scrollbar
from vantu.material.stack import Stack
from vantu.material.typography import Typography

INNER = (Stack, Grid, Box)


def big_page():
    """1 scroll area + 24 papers + 96 inner containers + 2,880 text leaves = 3,001 components."""
    return Scrollbar(children=[
        Paper(children=[
            INNER[s % 3](children=[Typography(text=f"Item {p}.{s}.{i}") for i in range(30)]) for s in range(4)
        ]) for p in range(24)
    ])


class PaintLog(QObject):
    """Records, for each paint of the watched widget, how many units had been built."""

    def __init__(self, scheduler_ref):
        super().__init__()
        self.scheduler_ref = scheduler_ref
        self.units_at_paint = []

    def eventFilter(self, obj, event):
        if event.type() == QEvent.Type.Paint:
            scheduler = self.scheduler_ref()
            self.units_at_paint.append(scheduler.units_run if scheduler is not None else 0)
        return False


def test_a_3000_component_page_builds_in_small_turns_behind_a_progress_bar(qtbot, host, dp):
    root = big_page()
    leaves = [leaf for inner in root._children for box in inner._children for leaf in box._children]
    assert len(leaves) == 2880 and estimate_steps(root) == 3000

    bar = QProgressBar()
    box = {}
    paints = PaintLog(lambda: box.get("scheduler"))
    bar.installEventFilter(paints)
    progress, finished = [], []

    def on_progress(done, total):
        progress.append((done, total))
        bar.setMaximum(total)
        bar.setValue(done)

    lazy = Lazy(root, fallback=bar, onProgress=on_progress, onFinished=lambda: finished.append(True))
    scheduler = box["scheduler"] = dp.scheduler_of(lazy)
    host.layout().addWidget(lazy)
    lazy.show()

    # Drive the event loop turn by turn and count the units each turn builds.
    per_turn = []
    clock = QElapsedTimer()
    clock.start()
    while not finished and clock.elapsed() < 30_000:
        before = scheduler.units_run
        QApplication.processEvents()
        per_turn.append(scheduler.units_run - before)
    assert finished, "the build did not finish"

    assert paints.units_at_paint and paints.units_at_paint[0] == 0  # the fallback showed first
    assert max(per_turn) <= 30 and scheduler.max_units_per_turn == 30
    assert sum(per_turn) == 3000 and len([n for n in per_turn if n]) >= 100
    assert progress[-1] == (3000, 3000) and bar.value() == bar.maximum() == 3000
    assert all(b >= a for (a, _), (b, _) in zip(progress, progress[1:]))  # progress only grows

    content = dp.content_of(lazy)
    assert not content.isVisible() and not bar.isVisible()
    qtbot.waitUntil(content.isVisible, timeout=2000)

    area = root.findChild(QScrollArea)
    for i, leaf in enumerate(leaves):
        assert leaf.isVisible() and leaf.text() == f"Item {i // 120}.{i // 30 % 4}.{i % 30}"
        area.ensureWidgetVisible(leaf)
        assert not leaf.visibleRegion().isEmpty(), leaf.text()
