"""Rendering and destroying entry boxes against building the same widget tree by hand.

The baseline builds, from Python, the widgets one rendered entry box consists of (the box,
its input with title, frame and line edit, and the helper label) and gives them the very
style sheet texts the entry box ends up with. The difference is the cost of the library:
argument handling, translation, theme lookups and the cached helper-label sheet.
"""
from __future__ import annotations

import gc

from PySide6.QtCore import QCoreApplication, QEvent, Qt
from PySide6.QtWidgets import QFrame, QHBoxLayout, QLabel, QLineEdit, QVBoxLayout, QWidget

from bench.timing import Benchmark
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox

COUNT = 200


def _flush() -> None:
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    QCoreApplication.processEvents()


def _texts() -> dict[str, str]:
    """The style sheet texts of one rendered entry box."""
    host = QWidget()
    box = EntryBox(helperText="Helper text", label="Name", placeholder="Type here")
    box.renderUi(RenderContext(host), host)
    inp = box._input
    texts = {
        "helper": box._helperLabel.styleSheet(),
        "frame": inp._frame.styleSheet(),
        "title": inp._titleLabel.styleSheet(),
        "helper_text": box._helperLabel.text(),
    }
    host.deleteLater()
    _flush()
    return texts


def benchmarks():
    texts = _texts()

    def candidate():
        host = QWidget()
        ctx = RenderContext(host)
        layout = QVBoxLayout(host)
        for _ in range(COUNT):
            box = EntryBox(helperText="Helper text", label="Name", placeholder="Type here")
            layout.addWidget(box.renderUi(ctx, host))
        host.deleteLater()
        _flush()

    def baseline():
        host = QWidget()
        layout = QVBoxLayout(host)
        for _ in range(COUNT):
            box = QWidget(host)
            box_layout = QVBoxLayout()
            box.setLayout(box_layout)
            box_layout.setContentsMargins(0, 0, 0, 0)
            box_layout.setSpacing(0)
            box.setCursor(Qt.CursorShape.IBeamCursor)
            inp = QWidget(box)
            inp_layout = QVBoxLayout(inp)
            inp_layout.setContentsMargins(0, 0, 0, 0)
            title = QLabel("Name")
            title.setStyleSheet(texts["title"])
            inp_layout.addWidget(title)
            frame = QFrame()
            frame.setStyleSheet(texts["frame"])
            frame_layout = QHBoxLayout(frame)
            field = QLineEdit()
            field.setPlaceholderText("Type here")
            frame_layout.addWidget(field)
            inp_layout.addWidget(frame)
            box_layout.addWidget(inp)
            helper = QLabel()
            helper.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
            box_layout.addWidget(helper)
            helper.setText(texts["helper_text"])
            helper.setStyleSheet(texts["helper"])
            layout.addWidget(box)
        host.deleteLater()
        _flush()

    gc.collect()
    return [
        Benchmark(f"entrybox: render and destroy {COUNT} with helper text, vs the same widgets by hand",
                  candidate, baseline, target=1.5, rounds=9),
    ]
