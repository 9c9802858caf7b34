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


@pytest.fixture(params=["native", "python"])
def event_path(request):
    """Runs a test with the application-wide filters reading event types natively, and again
    through Python, as on a binding whose layout the native check refuses."""
    from vantu.material.entrybox import _select
    from vantu.material.select import pickcore

    native = request.param == "native"
    if native and not pickcore._fast_events():
        pytest.skip("this binding has no native reading of event types")
    for module in (pickcore, _select):
        module._fast_events(native)
    yield request.param
    for module in (pickcore, _select):
        module._fast_events(True)
