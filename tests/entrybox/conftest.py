"""Fixtures of the entry box tests: rendering helpers and a recording host for the select mixin."""
from __future__ import annotations

import gc
from typing import Any

import pytest
from PySide6.QtCore import QCoreApplication, QEvent
from PySide6.QtWidgets import QLineEdit, QVBoxLayout, QWidget

from vantu.material.component import RenderContext
from vantu.material.entrybox._select import EntryBoxSelectMixin
from vantu.material.entrybox.entrybox import EntryBox


def flush_deletes(qapp) -> None:
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    qapp.processEvents()
    gc.collect()


@pytest.fixture
def render(qtbot):
    """render(**kwargs) -> a rendered, shown EntryBox inside a 320 px wide window."""
    windows = []  # pytest-qt holds widgets weakly; the test keeps its windows

    def make(*args: Any, show: bool = True, **kwargs: Any) -> EntryBox:
        window = QWidget()
        windows.append(window)
        qtbot.addWidget(window)
        layout = QVBoxLayout(window)
        box = EntryBox(*args, **kwargs)
        box.renderUi(RenderContext(window), window)
        layout.addWidget(box)
        layout.addStretch(1)
        window.resize(320, 240)
        if show:
            with qtbot.waitExposed(window):
                window.show()
        return box

    return make


HOST_DEFAULTS: dict[str, Any] = {
    "_select": True,
    "_options": ["a", "b"],
    "_multiple": False,
    "_defaultValue": None,
    "_getOptionLabel": staticmethod(lambda o: o["label"] if isinstance(o, dict) else o),
    "_renderOption": None,
    "_selectOptions": None,
    "value": None,
    "_renderTags": None,
    "_renderValue": None,
    "_label": "Label",
    "_placeholder": "Pick",
    "_size": "medium",
    "_isDateTimeType": False,
    "_getOptionDisabled": None,
    "_onOpen": None,
    "_onClose": None,
    "_menu": None,
    "_popup": None,
}


class Host(QWidget, EntryBoxSelectMixin):
    """A minimal input carrying the mixin; every host member it is asked for is recorded."""

    def __init__(self, parent=None, **members: Any) -> None:
        QWidget.__init__(self, parent)
        self.calls: list[tuple] = []
        self.options_now: list | None = None
        self._ctx = RenderContext(self)
        self._inputField = QLineEdit(self)
        self._selected_options: dict = {}
        for key, value in HOST_DEFAULTS.items():
            if isinstance(value, staticmethod):
                value = value.__func__
            setattr(self, key, members.pop(key, value))
        for key, value in members.items():
            setattr(self, key, value)
        self.resize(240, 30)
        EntryBoxSelectMixin.__init__(self)

    def _getOptions(self):
        return list(self._options or []) if self.options_now is None else self.options_now

    def setup_action_frame_and_adornment(self):
        self.calls.append(("setup_action_frame_and_adornment",))

    def base_on_btn_clear_text_clicked(self, *args):
        self.calls.append(("clear",))

    def autocomplete_on_text_changed(self, text):
        self.calls.append(("autocomplete", text))

    def autocomplete_render_loading_menu_items(self):
        self.calls.append(("loading",))

    def tags_setup_tags(self, key=None, option=None):
        self.calls.append(("tags_setup_tags", key, option))
        if key in self._selected_options:
            self._selected_options.pop(key)
        else:
            found = next((o for o in self._options or [] if self._getOptionLabel(o) == key), option)
            self._selected_options[key] = found

    def tags_update_selected_options(self, key):
        self.calls.append(("tags_update_selected_options", key))
        if key in self._selected_options:
            self._selected_options.pop(key)
        else:
            found = next((o for o in self._options or [] if self._getOptionLabel(o) == key), key)
            self._selected_options[key] = found

    def base_set_value(self, value):
        self.calls.append(("base_set_value", value))
        self.value = value

    def onMouseEnter(self, event=None):
        self.calls.append(("onMouseEnter",))

    def onMouseLeave(self, event=None):
        self.calls.append(("onMouseLeave",))

    def onFocusInMultiple(self, event=None):
        self.calls.append(("onFocusInMultiple",))

    def onFocusOut(self, event=None):
        self.calls.append(("onFocusOut",))

    def onMouseRelease(self, event=None):
        self.calls.append(("onMouseRelease",))

    def onInputChange(self, text=""):
        self.calls.append(("onInputChange", text))

    def onMultipleInputFieldClicked(self, event=None):
        self.calls.append(("onMultipleInputFieldClicked",))

    def eventFilter(self, watched, event):
        return False

    def names(self) -> list[str]:
        return [c[0] for c in self.calls]


@pytest.fixture
def host(qtbot):
    """host(**members) -> a shown Host at the top-left of the main window's area."""
    hosts = []

    def make(show: bool = True, **members: Any) -> Host:
        h = Host(**members)
        hosts.append(h)
        qtbot.addWidget(h)
        if show:
            h.move(100, 100)
            with qtbot.waitExposed(h):
                h.show()
        return h

    return make
