"""Screenshots of what a user sees: the window with its open popups painted where they are."""
from __future__ import annotations

from PySide6.QtCore import QPoint
from PySide6.QtGui import QImage, QPainter
from PySide6.QtTest import QTest
from PySide6.QtCore import Qt
from PySide6.QtWidgets import QApplication, QWidget


def composite(window: QWidget) -> QImage:
    """The window, with every visible top-level child window (popups) painted over it."""
    image = window.grab().toImage()
    painter = QPainter(image)
    origin = window.mapToGlobal(QPoint(0, 0))
    for top in QApplication.topLevelWidgets():
        if top is window or not top.isVisible() or top.isWindow() is False:
            continue
        if top.parentWidget() is None:
            continue  # another application window, not a popup of ours
        pos = top.mapToGlobal(QPoint(0, 0)) - origin
        painter.drawPixmap(pos, top.grab())
    painter.end()
    return image


def click(widget: QWidget, pos: QPoint | None = None) -> None:
    """A real left click, as a user makes it, then the events it causes."""
    QTest.mouseClick(widget, Qt.MouseButton.LeftButton, Qt.KeyboardModifier.NoModifier,
                     pos if pos is not None else widget.rect().center())
    settle()


def click_to_open(field: QWidget) -> None:
    """A click where a user opens a field's list: past any tags, short of the buttons."""
    inset = 60
    x = inset if field.layoutDirection() == Qt.LayoutDirection.RightToLeft else field.width() - inset
    spot = QPoint(x, field.height() // 2)
    receiver = field.childAt(spot) or field
    click(receiver, receiver.mapFrom(field, spot))


def settle(rounds: int = 3) -> None:
    app = QApplication.instance()
    for _ in range(rounds):
        app.processEvents()
