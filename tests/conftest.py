"""Test set-up shared by every component: offscreen Qt and a shown main window."""
import os

os.environ["QT_QPA_PLATFORM"] = "offscreen"

import pytest
from PySide6.QtWidgets import QMainWindow


@pytest.fixture(scope="session", autouse=True)
def main_window(qapp):
    """The one application carries a real, shown main window, as applications do."""
    window = QMainWindow()
    window.setObjectName("TestMainWindow")
    window.resize(1024, 768)
    window.show()
    qapp.mainWindow = window
    qapp.processEvents()
    yield window
    qapp.mainWindow = None
    window.close()
    window.deleteLater()
    qapp.processEvents()
