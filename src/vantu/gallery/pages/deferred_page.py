"""Deferred content: a page of several thousand components built in chunks behind a progress bar."""
from __future__ import annotations

import time

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QLabel, QProgressBar, QPushButton, QVBoxLayout, QWidget

from vantu.deferpane import Lazy, estimate_steps
from vantu.gallery.pages._layout import Page
from vantu.gallery.pages._shots import settle
from vantu.i18n.use_translation import translate
from vantu.material.grid import Grid
from vantu.material.paper import Paper
from vantu.material.section import Section
from vantu.material.stack import Stack
from vantu.material.typography import Typography

SECTIONS = 12
CARDS = 16
LINES = 14


def big_tree():
    """Sections of cards of text lines: SECTIONS * (1 + CARDS * (1 + LINES)) units."""
    sections = []
    for s in range(SECTIONS):
        cards = [
            Paper(children=[Typography(f"Card {s + 1}.{c + 1}", "subtitle1")]
                  + [Typography(f"Line {i + 1}", "body2") for i in range(LINES)], padding=1.5, spacing=0.25)
            for c in range(CARDS)
        ]
        sections.append(Section(children=[Grid(children=cards, columns=4, spacing=2)], title=f"Section {s + 1}"))
    return Stack(children=sections, spacing=3)


class DeferredPage(Page):
    def __init__(self) -> None:
        super().__init__("Deferred content")
        self.finished = False
        self.status = QLabel()
        self.status.setProperty("role", "caption")
        self.column.addWidget(self.status)
        self.rebuild = QPushButton()
        self.rebuild.setObjectName("Rebuild")
        self.rebuild.clicked.connect(self.start)
        self.column.addWidget(self.rebuild, 0, Qt.AlignmentFlag.AlignLeft)
        self.holder = QWidget()
        self.holder_layout = QVBoxLayout(self.holder)
        self.holder_layout.setContentsMargins(0, 0, 0, 0)
        self.column.addWidget(self.holder, 1)
        self.lazy = None
        self._elapsed_ms = None
        self._retranslate()
        self.start()

    def start(self) -> None:
        if self.lazy is not None:
            self.lazy.setParent(None)
            self.lazy.deleteLater()
        self.finished = False
        self._elapsed_ms = None
        tree = big_tree()
        self.total = estimate_steps(tree)
        # The fallback: a thin bar at the top of the page, the count in the status line above.
        self.fallback = QWidget()
        column = QVBoxLayout(self.fallback)
        column.setContentsMargins(0, 8, 0, 0)
        self.bar = QProgressBar(self.fallback)
        self.bar.setRange(0, max(self.total, 1))
        self.bar.setTextVisible(False)
        self.bar.setFixedHeight(6)
        column.addWidget(self.bar)
        column.addStretch(1)
        self._done = 0
        self._started = time.perf_counter()
        self.lazy = Lazy(tree, fallback=self.fallback, onProgress=self.on_progress, onFinished=self.on_finished,
                         parent=self.holder)
        self.holder_layout.addWidget(self.lazy)
        self._retranslate()

    def on_progress(self, done, total) -> None:
        self.bar.setMaximum(max(total, 1))
        self.bar.setValue(done)
        self._done = done
        self._update_status()

    def on_finished(self) -> None:
        self._elapsed_ms = (time.perf_counter() - self._started) * 1000
        self.finished = True
        self._retranslate()

    def _retranslate(self, *_ignored) -> None:
        super()._retranslate()
        if not hasattr(self, "status"):
            return
        self.rebuild.setText(translate("Build again"))
        self._update_status()

    def _update_status(self) -> None:
        if self._elapsed_ms is None:
            self.status.setText(translate("Building the page in chunks: {done} of {count}...").format(
                done=getattr(self, "_done", 0), count=getattr(self, "total", 0)))
        else:
            self.status.setText(
                translate("Built {count} components in {ms} ms").format(count=getattr(self, "total", 0),
                                                                         ms=round(self._elapsed_ms)))

    def start_aligned(self) -> list[QLabel]:
        return [*super().start_aligned(), self.status]

    def wait_until_shown(self, timeout_s: float = 30) -> None:
        deadline = time.monotonic() + timeout_s
        while not (self.finished and self.lazy.findChildren(QWidget) and self._revealed()):
            if time.monotonic() > deadline:
                raise TimeoutError("the deferred page did not finish")
            settle(1)
            time.sleep(0.005)

    def _revealed(self) -> bool:
        frames = [w for w in self.lazy.children() if isinstance(w, QWidget) and w is not self.fallback]
        return any(f.isVisible() for f in frames if f.layout() is not None and f.layout().count())

    def extra_screenshots(self, window):
        self.wait_until_shown()
        settle(10)  # the revealed page lays itself out over a few posted layout requests
        from vantu.gallery.pages._shots import composite

        return [("built", composite(window))]


def build(window) -> QWidget:
    return DeferredPage()
