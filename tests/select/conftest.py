"""Fixtures for the select field: fields shown in a host window at a known place."""
import pytest
from PySide6.QtCore import QEvent
from PySide6.QtGui import QCursor
from PySide6.QtWidgets import QVBoxLayout, QWidget

from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView

FRUITS = ["apple", "banana", "cherry"]
PEOPLE = [{"label": "Ann", "value": 1}, {"label": "Bob", "value": 2}, {"label": "Cid", "value": 3}]


def label(option):
    return option["label"] if isinstance(option, dict) else option


def render_tags(selected, getTagProps):
    """Tags as applications write them: each deletes its own choice."""
    return [
        TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
        for key, option in selected.items()
    ]


def flush_deletes(qapp):
    qapp.processEvents()
    qapp.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    qapp.processEvents()


@pytest.fixture
def host(qtbot):
    """A top-level window at a known place, holding the fields of a test."""
    QCursor.setPos(799, 799)  # away from every test window, so no field starts under the pointer
    window = QWidget()
    window.setLayout(QVBoxLayout())
    window.layout().setContentsMargins(0, 0, 0, 0)
    qtbot.addWidget(window)
    window.setGeometry(100, 100, 300, 60)
    return window


@pytest.fixture
def make_field(qtbot, host):
    """Build a SelectBase inside the host window, shown at 300 x 56."""

    def make(show=True, **kwargs):
        field = SelectBase(host, **kwargs)
        host.layout().addWidget(field)
        if show:
            with qtbot.waitExposed(host):
                host.show()
            host.resize(300, 60)
            field.resize(300, 56)
        return field

    return make


@pytest.fixture
def single(make_field):
    return make_field(options=list(FRUITS), label="Fruit", getOptionLabel=label)


@pytest.fixture
def multi(make_field):
    return make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label, renderTags=render_tags)
