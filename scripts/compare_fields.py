"""Side-by-side look of the select field and the entry box, per variant and size, in both themes.

    QT_QPA_PLATFORM=offscreen python scripts/compare_fields.py OUTDIR

Writes OUTDIR/fields-light.png and OUTDIR/fields-dark.png (drawn at twice the size, so a one
pixel difference shows). Each row: a select field, then an entry box with the same settings.
"""
from __future__ import annotations

import sys
from pathlib import Path

from PySide6.QtCore import Qt
from PySide6.QtGui import QColor, QPalette
from PySide6.QtWidgets import QApplication, QGridLayout, QLabel, QWidget

ROWS = [
    # (title, kwargs shared by both fields)
    *[(f"{variant} {size}", {"variant": variant, "size": size, "value": "Grape"})
      for variant in ("outlined", "filled", "standard") for size in ("medium", "small")],
    ("outlined empty", {}),
    ("filled empty", {"variant": "filled"}),
    ("standard empty", {"variant": "standard"}),
    ("error", {"value": "Grape", "error": True}),
    ("disabled", {"value": "Grape", "disabled": True}),
    ("focused", {"value": "Grape", "_focus": True}),
    ("tags", {"multiple": True, "_tags": True, "value": ["Apple", "Cherry"]}),
    ("tags small", {"multiple": True, "_tags": True, "value": ["Apple", "Cherry"], "size": "small"}),
    ("tags empty", {"multiple": True, "_tags": True, "value": []}),
    ("tags filled", {"multiple": True, "_tags": True, "value": ["Apple"], "variant": "filled"}),
]
WIDTH = 300
FRUITS = ["Apple", "Banana", "Cherry", "Grape"]


def render_tags(selected, getTagProps):
    from vantu.material.select.tags_view import TagsView

    return [TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
            for key, option in selected.items()]


def build(mode: str) -> tuple[QWidget, list]:
    from vantu.material.component import RenderContext
    from vantu.material.entrybox.entrybox import EntryBox
    from vantu.material.select.pickcore import SelectBase
    from vantu.material.styles import set_theme_mode, useTheme

    set_theme_mode(mode)
    p = useTheme().palette
    window = QWidget()
    palette = window.palette()
    palette.setColor(QPalette.ColorRole.Window, QColor(p["background"]["default"]))
    palette.setColor(QPalette.ColorRole.WindowText, QColor(p["text"]["primary"]))
    window.setPalette(palette)
    window.setAutoFillBackground(True)
    grid = QGridLayout(window)
    grid.setContentsMargins(16, 16, 16, 16)
    grid.setHorizontalSpacing(24)
    grid.setVerticalSpacing(12)
    ctx = RenderContext()
    focus = []
    for row, (title, shared) in enumerate(ROWS):
        shared = dict(shared)
        wants_focus = shared.pop("_focus", False)
        tags = shared.pop("_tags", False)
        caption = QLabel(title)
        grid.addWidget(caption, row, 0, Qt.AlignmentFlag.AlignTop)
        select_kwargs = dict(shared, label="Fruits", options=FRUITS)
        entry_kwargs = dict(shared, label="Fruits", helperText="Helper")
        if tags:
            select_kwargs.update(renderTags=render_tags, getOptionLabel=str,
                                 defaultValue=select_kwargs.pop("value"))
            entry_kwargs.update(select=True, options=FRUITS, renderTags=True, getOptionLabel=str)
        select = SelectBase(**select_kwargs)
        select.setFixedWidth(WIDTH)
        grid.addWidget(select, row, 1, Qt.AlignmentFlag.AlignTop)
        entry = EntryBox(**entry_kwargs).renderUi(ctx, parent=window)
        entry.setFixedWidth(WIDTH)
        grid.addWidget(entry, row, 2, Qt.AlignmentFlag.AlignTop)
        if wants_focus:
            focus.append((select, entry))
    return window, focus


def shoot(window: QWidget, focus: list, path: Path) -> None:
    app = QApplication.instance()
    window.show()
    for _ in range(5):
        app.processEvents()
    image = window.grab().toImage()
    # Focus is one widget at a time: paint the focused rows over the plain shot.
    from PySide6.QtCore import QPoint
    from PySide6.QtGui import QPainter

    painter = QPainter(image)
    for pair in focus:
        for widget in pair:
            target = widget._input._inputField if hasattr(widget, "_input") else widget
            target.setFocus()
            for _ in range(5):
                app.processEvents()
            pos = widget.mapTo(window, QPoint(0, 0))
            painter.drawPixmap(pos, widget.grab())
    painter.end()
    image.scaled(image.width() * 2, image.height() * 2, Qt.AspectRatioMode.IgnoreAspectRatio,
                 Qt.TransformationMode.FastTransformation).save(str(path))


def main() -> None:
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    app = QApplication.instance() or QApplication(sys.argv)
    for mode in ("light", "dark"):
        window, focus = build(mode)
        shoot(window, focus, out / f"fields-{mode}.png")
        window.close()
        window.deleteLater()
    print("wrote", out)
    del app


if __name__ == "__main__":
    main()
