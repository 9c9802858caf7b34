"""The entry box's Material 3 measures, read back from the pixels it draws, at scale 1 and at
scale 2 (``QT_SCALE_FACTOR=2``, in a process of its own: the suite's application exists)."""
from __future__ import annotations

import json
import os
import subprocess
import sys

from PySide6.QtCore import QPoint
from PySide6.QtGui import QColor, QFontInfo, QImage, QPalette
from PySide6.QtWidgets import QApplication, QVBoxLayout, QWidget

from vantu.material.component import RenderContext
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.styles import useTheme

BACKGROUND = QColor("#FFFFFF")


def _far(a: QColor, b: QColor) -> int:
    return abs(a.red() - b.red()) + abs(a.green() - b.green()) + abs(a.blue() - b.blue())


def _inked_rows(image: QImage, x: int, top: int, bottom: int) -> list[int]:
    return [y for y in range(top, bottom) if _far(QColor(image.pixel(x, y)), BACKGROUND) > 24]


def measure() -> dict[str, float]:
    """Draws entry boxes on a white window and measures them, in logical pixels."""
    app = QApplication.instance() or QApplication([])
    window = QWidget()
    palette = window.palette()
    palette.setColor(QPalette.ColorRole.Window, BACKGROUND)
    window.setPalette(palette)
    window.setAutoFillBackground(True)
    layout = QVBoxLayout(window)
    ctx = RenderContext(window)
    boxes = {
        "medium": EntryBox(label="Name", value="Lan", helperText="Help"),
        "small": EntryBox(label="Name", value="Lan", size="small"),
        "resting": EntryBox(label="Name"),
        "tags": EntryBox(label="Fruits", select=True, multiple=True, renderTags=True, options=["Fig", "Kiwi"],
                         getOptionLabel=str, value=["Fig", "Kiwi"]),
    }
    for box in boxes.values():
        box.renderUi(ctx, window)
        layout.addWidget(box)
    window.resize(360, 420)
    window.show()
    window.setFocus()  # no field focused: every outline at rest
    for _ in range(10):
        app.processEvents()
    image = window.grab().toImage()
    ratio = image.devicePixelRatio()

    def at(widget: QWidget, point: QPoint = QPoint(0, 0)) -> QPoint:
        p = widget.mapTo(window, point)
        return QPoint(round(p.x() * ratio), round(p.y() * ratio))

    def outline_height(box: EntryBox) -> float:
        frame = box._input._frame
        top, column = at(frame), at(frame, QPoint(frame.width() * 3 // 4, 0)).x()
        rows = _inked_rows(image, column, top.y() - 4, top.y() + round((frame.height() + 4) * ratio))
        return (rows[-1] - rows[0] + 1) / ratio

    got: dict[str, float] = {"ratio": ratio}
    got["field"] = outline_height(boxes["medium"])
    got["small field"] = outline_height(boxes["small"])
    chips = sorted(boxes["tags"]._input._flowWidget.findChildren(Tag), key=lambda chip: chip.x())
    chip = chips[0]
    corner = at(chip)
    rows = _inked_rows(image, at(chip, QPoint(chip.width() // 2, 0)).x(), corner.y() - 4,
                       corner.y() + round((chip.height() + 4) * ratio))
    got["chip"] = (rows[-1] - rows[0] + 1) / ratio
    # Where the top edge of the outline is drawn in full: the end of the rounded corner.
    outline = QColor(useTheme().palette["divider"])
    straight = next(x for x in range(corner.x(), corner.x() + round(chip.width() * ratio))
                    if _far(QColor(image.pixel(x, rows[0])), outline) < 40)
    got["chip corner"] = (straight - corner.x()) / ratio
    got["chip gap"] = chips[1].x() - chips[0].geometry().right() - 1
    got["chip icon"] = chip.deleteButton.iconSize().width()
    medium = boxes["medium"]
    helper = medium._helperLabel
    got["helper gap"] = (helper.mapTo(window, helper.contentsRect().topLeft()).y()
                         - medium._input._frame.mapTo(window, QPoint(0, medium._input._frame.height())).y())
    got["helper start"] = helper.mapTo(window, helper.contentsRect().topLeft()).x() - medium.mapTo(window, QPoint()).x()
    got["helper size"] = QFontInfo(helper.font()).pixelSize()
    got["floated label"] = QFontInfo(medium._input._titleLabel.font()).pixelSize()
    got["value"] = QFontInfo(medium._input._inputField.font()).pixelSize()
    resting = boxes["resting"]._input
    got["resting label"] = QFontInfo(resting._inputField.font()).pixelSize() if (
        resting._inputField.placeholderText() == "Name" and resting._titleLabel.isHidden()) else 0
    window.close()
    window.deleteLater()
    return got


MATERIAL = {"field": 56, "small field": 40, "chip": 32, "chip gap": 8, "chip icon": 18, "helper gap": 4,
            "helper start": 16, "helper size": 12, "floated label": 12, "value": 16, "resting label": 16}


def check(got: dict[str, float], ratio: float) -> None:
    assert got["ratio"] == ratio
    assert {key: got[key] for key in MATERIAL} == MATERIAL
    assert abs(got["chip corner"] - 8) <= 2, got["chip corner"]  # 8 px corners, not a pill's 16


def test_material_measures_at_scale_1(qapp):
    check(measure(), 1.0)


def test_material_measures_at_scale_2():
    env = dict(os.environ, QT_SCALE_FACTOR="2", QT_QPA_PLATFORM="offscreen")
    done = subprocess.run([sys.executable, __file__], capture_output=True, text=True, env=env, timeout=120)
    assert done.returncode == 0, done.stderr
    check(json.loads(done.stdout.strip().splitlines()[-1]), 2.0)


if __name__ == "__main__":
    print(json.dumps(measure()))
