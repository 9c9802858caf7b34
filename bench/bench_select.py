"""Select field costs against plain Qt doing the same visible work.

(a) 200 single-selection fields with 50 options: construct, show, destroy; against the same plain
    widgets (group box, line edit, action frame, arrow button) with the same style sheet texts.
(b) First opening of a popup with 10,000 options, against QComboBox.showPopup() with those items.
"""
from __future__ import annotations

from PySide6.QtCore import QCoreApplication, QEvent, Qt
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import (
    QApplication,
    QComboBox,
    QFrame,
    QGroupBox,
    QHBoxLayout,
    QLineEdit,
    QPushButton,
    QVBoxLayout,
    QWidget,
)

from bench.timing import Benchmark
from vantu.material.select.pickcore import SelectBase
from vantu.vantu_assets import VANTU_ASSETS

FIELDS = 200
OPTIONS = [f"Option {i}" for i in range(50)]
BIG = [f"Option {i}" for i in range(10_000)]


def _flush() -> None:
    app = QApplication.instance()
    app.processEvents()
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    app.processEvents()


def _reference_sheets() -> tuple[str, str]:
    probe = SelectBase(options=list(OPTIONS), label="Label")
    sheets = (probe.styleSheet(), probe._inputField.styleSheet())
    probe.deleteLater()
    _flush()
    return sheets


def benchmarks():
    field_sheet, input_sheet = _reference_sheets()
    arrow = VANTU_ASSETS.ICONS.ARROW_DOWN

    def build_fields() -> None:
        host = QWidget()
        layout = QVBoxLayout(host)
        for _ in range(FIELDS):
            layout.addWidget(SelectBase(options=OPTIONS, label="Label"))
        host.show()
        QApplication.instance().processEvents()
        host.deleteLater()
        _flush()

    def build_plain() -> None:
        host = QWidget()
        layout = QVBoxLayout(host)
        for _ in range(FIELDS):
            box = QGroupBox()
            box.setObjectName(f"SelectBase-{id(box)}")
            box.setLayout(QHBoxLayout())
            box.layout().setContentsMargins(0, 0, 0, 0)
            edit = QLineEdit()
            edit.setStyleSheet(input_sheet)
            edit.setPlaceholderText("Label")
            edit.setReadOnly(True)
            edit.setObjectName("inputField")
            edit.setCursor(Qt.CursorShape.PointingHandCursor)
            box.layout().addWidget(edit)
            frame = QFrame(box)
            frame.setObjectName("actionframe")
            frame_layout = QHBoxLayout(frame)
            frame_layout.setContentsMargins(0, 0, 0, 0)
            frame.setFixedWidth(20)
            button = QPushButton()
            button.setFixedSize(24, 24)
            button.setIcon(QIcon(arrow))
            frame_layout.addWidget(button)
            box.setStyleSheet(field_sheet)
            layout.addWidget(box)
        host.show()
        QApplication.instance().processEvents()
        host.deleteLater()
        _flush()

    def open_select() -> None:
        field = SelectBase(options=BIG, label="Label")
        field.resize(300, 56)
        field.show()
        QApplication.instance().processEvents()
        field._show_popup()
        QApplication.instance().processEvents()
        field.deleteLater()
        _flush()

    def open_combo() -> None:
        combo = QComboBox()
        combo.addItems(BIG)
        combo.resize(300, 56)
        combo.show()
        QApplication.instance().processEvents()
        combo.showPopup()
        QApplication.instance().processEvents()
        combo.hidePopup()
        combo.deleteLater()
        _flush()

    return [
        Benchmark(f"select: build, show, destroy {FIELDS} fields x 50 options vs plain Qt", build_fields, build_plain,
                  target=1.5, rounds=7, warmup=1),
        Benchmark("select: first popup with 10,000 options vs QComboBox.showPopup", open_select, open_combo,
                  target=2.0, rounds=9, warmup=1),
    ]
