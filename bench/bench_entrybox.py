"""Entry box costs against plain Qt doing the same visible work.

(a) Unrelated events (press, wheel, move) with 100 opened select entry boxes, whose inputs filter
    the application, against 100 Python group boxes whose eventFilter only returns False.
(b) The pointer moving into an entry box and out again, against a QComboBox.
(c) 200 entry boxes with helper text: render, show, destroy with the pointer over them; against
    the same widget tree built by hand, with the very style sheet texts, cursors and placeholder
    the entry box ends up with.
"""
from __future__ import annotations

import gc

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QApplication, QFrame, QHBoxLayout, QLabel, QLineEdit, QVBoxLayout, QWidget

from bench._scenes import CLEAR_X, event_benchmarks, flush, hover_benchmark, pointer_over
from bench.timing import Benchmark
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox

COUNT = 200
OPTIONS = [f"Option {i}" for i in range(50)]


def _texts() -> dict[str, str]:
    """The style sheet texts of one rendered entry box."""
    host = QWidget()
    box = EntryBox(helperText="Helper text", label="Name", placeholder="Type here")
    box.renderUi(RenderContext(host), host)
    host.show()
    flush()
    inp = box._input
    texts = {
        "helper": box._helperLabel.styleSheet(),
        "input": inp.styleSheet(),
        "frame": inp._frame.styleSheet(),
        "field": inp._inputField.styleSheet(),
        "title": inp._titleLabel.styleSheet(),
        "helper_text": box._helperLabel.text(),
        "placeholder": inp._inputField.placeholderText(),
        "title_text": inp._titleLabel.text(),
    }
    host.deleteLater()
    flush()
    return texts


def _select_box(parent: QWidget) -> QWidget:
    return EntryBox(label="Fruit", select=True, options=OPTIONS, getOptionLabel=str).renderUi(RenderContext(parent),
                                                                                              parent)


def benchmarks():
    texts = _texts()

    def page(build) -> None:
        host = QWidget()
        host.move(CLEAR_X, 0)
        host.resize(420, 700)
        pointer_over(host)
        ctx = RenderContext(host)
        layout = QVBoxLayout(host)
        for _ in range(COUNT):
            layout.addWidget(build(host, ctx))
        host.show()
        QApplication.instance().processEvents()
        host.deleteLater()
        flush()

    def candidate():
        page(lambda host, ctx: EntryBox(helperText="Helper text", label="Name", placeholder="Type here")
             .renderUi(ctx, host))

    def by_hand(host: QWidget, _ctx) -> QWidget:
        box = QWidget(host)
        box_layout = QVBoxLayout()
        box.setLayout(box_layout)
        box_layout.setContentsMargins(0, 0, 0, 0)
        box_layout.setSpacing(0)
        box.setCursor(Qt.CursorShape.IBeamCursor)
        inp = QWidget(box)
        inp.setStyleSheet(texts["input"])
        inp_layout = QVBoxLayout(inp)
        inp_layout.setContentsMargins(0, 0, 0, 0)
        frame = QFrame()
        frame.setObjectName("InputBaseFrame")
        frame.setStyleSheet(texts["frame"])
        frame_layout = QHBoxLayout(frame)
        frame_layout.setContentsMargins(0, 0, 0, 0)
        field = QLineEdit()
        field.setObjectName("InputBaseField")
        field.setFrame(False)
        field.setStyleSheet(texts["field"])
        field.setPlaceholderText(texts["placeholder"])
        frame_layout.addWidget(field)
        inp_layout.addWidget(frame)
        title = QLabel(texts["title_text"], inp)
        title.setObjectName("InputBaseLabel")
        title.setIndent(0)
        title.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        title.setStyleSheet(texts["title"])
        box_layout.addWidget(inp)
        helper = QLabel()
        helper.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        box_layout.addWidget(helper)
        helper.setText(texts["helper_text"])
        helper.setStyleSheet(texts["helper"])
        return box

    def baseline():
        page(by_hand)

    def opened(box: QWidget) -> QWidget:
        box._input.select_show_popup()
        box._input.select_hide_popup()
        return box._input

    gc.collect()
    return [
        *event_benchmarks("entrybox", _select_box, opened),
        hover_benchmark("entrybox", _select_box),
        Benchmark(f"entrybox: render, show, destroy {COUNT} with helper text, pointer over them, vs by hand",
                  candidate, baseline, target=1.2, rounds=9),
    ]
