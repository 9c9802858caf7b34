"""``vantu.apply_theme``: a plain application follows the theme, once, and can stop."""
import pytest
from PySide6.QtCore import QCoreApplication, QEvent, QPoint
from PySide6.QtGui import QPalette
from PySide6.QtWidgets import QDialog, QLabel, QMainWindow, QVBoxLayout, QWidget
from shiboken6 import isValid

import vantu
from vantu.material.styles import DARK_PALETTE, LIGHT_PALETTE, ThemeFollower, set_theme_mode


@pytest.fixture
def restore(qapp):
    before_sheet, before_palette = qapp.styleSheet(), qapp.palette()
    set_theme_mode("light")
    yield
    set_theme_mode("light")
    for follower in qapp.findChildren(ThemeFollower):
        follower.remove()
    qapp.setStyleSheet(before_sheet)
    qapp.setPalette(before_palette)


def test_once_per_application_leaving_its_sheet_and_undone_by_remove(qapp, restore):
    own_sheet = "QLabel#Mine { font-weight: bold; }"
    qapp.setStyleSheet(own_sheet)
    own_palette = qapp.palette()
    text = lambda: qapp.palette().color(QPalette.ColorRole.WindowText).name().upper()  # noqa: E731
    follower = vantu.apply_theme(qapp)
    assert vantu.apply_theme() is follower and qapp.findChildren(ThemeFollower) == [follower]
    assert text() == LIGHT_PALETTE["text"]["primary"]
    set_theme_mode("dark")
    assert text() == DARK_PALETTE["text"]["primary"] and qapp.styleSheet() == own_sheet
    follower.remove()
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    assert not isValid(follower) and qapp.palette() == own_palette
    set_theme_mode("light")  # no longer followed
    assert qapp.palette() == own_palette


@pytest.mark.parametrize("app", ["app", 3])
def test_anything_but_an_application_is_refused(app):
    with pytest.raises(TypeError, match="'app' must be a QApplication, got"):
        vantu.apply_theme(app)


def test_a_plain_window_and_dialog_follow_a_switch(qapp, qtbot, restore):
    vantu.apply_theme(qapp)
    window = QMainWindow()
    qtbot.addWidget(window)
    bar = window.addToolBar("tools")
    bar.setObjectName("Tools")
    bar.addWidget(QLabel("tool"))
    body = QWidget()
    QVBoxLayout(body).addWidget(QLabel("plain"))
    window.setCentralWidget(body)
    # The application styles its window once it is built, as applications do; all of it applies.
    window.setStyleSheet("QToolBar#Tools { padding: 12px; }")
    dialog = QDialog(window)
    dialog.resize(40, 40)
    with qtbot.waitExposed(window):
        window.show()
    dialog.show()
    assert bar.height() >= bar.widgetForAction(bar.actions()[0]).height() + 24
    for mode, palette in (("dark", DARK_PALETTE), ("light", LIGHT_PALETTE)):
        set_theme_mode(mode)
        qtbot.wait(10)
        for shown in (window, dialog):
            corner = QPoint(2, shown.height() - 3)  # clear of the tool bar
            assert shown.grab().toImage().pixelColor(corner).name().upper() == palette["background"]["default"]
        label = body.findChild(QLabel)
        assert label.palette().color(QPalette.ColorRole.WindowText).name().upper() == palette["text"]["primary"]
