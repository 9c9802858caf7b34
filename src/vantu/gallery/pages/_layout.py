"""Small building blocks shared by the gallery pages: a page column, titles and captioned demos."""
from __future__ import annotations

from PySide6.QtCore import QEvent, Qt
from PySide6.QtWidgets import QApplication, QGridLayout, QLabel, QSizePolicy, QVBoxLayout, QWidget
from shiboken6 import isValid

from vantu.i18n.use_translation import i18n, translate


class Page(QWidget):
    """A column of sections; texts registered with `text()` follow the language switch."""

    def __init__(self, title: str) -> None:
        super().__init__()
        self._texts: list[tuple[QLabel, str]] = []
        self._aligned: list[QLabel] = []  # further texts that start at the start edge
        self._grids: list[QGridLayout] = []
        self.column = QVBoxLayout(self)
        self.column.setContentsMargins(32, 24, 32, 32)
        self.column.setSpacing(12)
        self.column.addWidget(self.text(title, "pageTitle"))
        i18n.langChanged.connect(self._retranslate)

    def text(self, key: str, role: str = "caption") -> QLabel:
        label = QLabel(translate(key))
        label.setProperty("role", role)
        label.setIndent(0)  # a styled label would indent its text, out of line with the rest
        label.setAlignment(_start_alignment(QApplication.layoutDirection()))
        if role == "caption":
            # Captions wrap to their column instead of widening it.
            label.setWordWrap(True)
            label.setSizePolicy(QSizePolicy.Policy.Ignored, QSizePolicy.Policy.Preferred)
        self._texts.append((label, key))
        return label

    def section(self, title: str, columns: int = 3) -> QGridLayout:
        self.column.addWidget(self.text(title, "section"))
        holder = QWidget(self)
        grid = QGridLayout(holder)
        grid.setContentsMargins(0, 0, 0, 0)
        grid.setHorizontalSpacing(24)
        grid.setVerticalSpacing(16)
        self.column.addWidget(holder)
        for col in range(columns):
            # Equal columns that never collapse, so every section lines up with the others.
            grid.setColumnStretch(col, 1)
            grid.setColumnMinimumWidth(col, (800 - 24 * (columns - 1)) // columns)
        grid._next = 0  # next free cell
        grid._columns = columns
        self._grids.append(grid)
        return grid

    def demo(self, grid: QGridLayout, caption: str | None, widget: QWidget) -> QWidget:
        """Puts `widget` with its caption (if any) under it into the next cell of `grid`."""
        cell = QWidget()
        box = QVBoxLayout(cell)
        box.setContentsMargins(0, 0, 0, 0)
        box.setSpacing(8)  # apart from a helper text the demo may show under itself
        box.addWidget(widget)
        if caption is not None:
            box.addWidget(self.text(caption))
        box.addStretch(1)
        row, col = divmod(grid._next, grid._columns)
        grid.addWidget(cell, row, col)
        grid._next += 1
        return widget

    def finish(self) -> "Page":
        # Every column of every section holds a widget: Qt leaves out the spacing of an empty
        # column, which would shift the columns of a short section against the others.
        for grid in self._grids:
            for index in range(grid._next, grid._columns):
                grid.addWidget(QWidget(), 0, index)
        self.column.addStretch(1)
        return self

    def _retranslate(self, *_ignored) -> None:
        for label, key in self._texts:
            label.setText(translate(key))

    def changeEvent(self, event) -> None:
        super().changeEvent(event)
        if event.type() == QEvent.Type.LayoutDirectionChange:
            # The page's texts start at the start edge, whatever direction their words read in.
            align = _start_alignment(self.layoutDirection())
            for label in self.start_aligned():
                label.setAlignment(align)

    def align_to_start(self, label: QLabel) -> QLabel:
        """Keeps ``label`` aligned to the start edge in either direction, as the page's texts are."""
        label.setAlignment(_start_alignment(QApplication.layoutDirection()))
        self._aligned.append(label)
        return label

    def start_aligned(self) -> list[QLabel]:
        """The page's own texts, aligned to the start edge in either direction."""
        return [*(label for label, _key in self._texts), *(label for label in self._aligned if isValid(label))]


def _start_alignment(direction: Qt.LayoutDirection) -> Qt.AlignmentFlag:
    if direction == Qt.LayoutDirection.RightToLeft:
        return Qt.AlignmentFlag.AlignAbsolute | Qt.AlignmentFlag.AlignRight | Qt.AlignmentFlag.AlignVCenter
    return Qt.AlignmentFlag.AlignLeft | Qt.AlignmentFlag.AlignVCenter
