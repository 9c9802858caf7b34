"""Fixtures for the deferred-content tests: a shown host window, tree builders, deletion flushing."""
import gc
from types import SimpleNamespace

import pytest
from PySide6.QtCore import QCoreApplication, QEvent
from PySide6.QtWidgets import QApplication, QFrame, QVBoxLayout, QWidget

from vantu.material.component import RenderScheduler
from vantu.material.paper import Paper
from vantu.material.stack import Stack
from vantu.material.typography import Typography


def flush_deletes():
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    QApplication.processEvents()
    gc.collect()


def leaves(n, prefix="leaf"):
    return [Typography(text=f"{prefix} {i}") for i in range(n)]


def page(papers=2, stacks=2, per_stack=3):
    """papers x stacks x per_stack text leaves, in papers of stacks."""
    return Stack(children=[
        Paper(children=[Stack(children=leaves(per_stack, f"{p}.{s}")) for s in range(stacks)]) for p in range(papers)
    ])


def scheduler_of(lazy):
    return lazy.findChild(RenderScheduler)


def content_of(lazy):
    """The Lazy's hidden-until-revealed frame: its only direct QFrame child."""
    frames = [c for c in lazy.children() if type(c) is QFrame]
    assert len(frames) == 1
    return frames[0]


@pytest.fixture
def host(qtbot):
    """A shown top-level window with a column layout, for widgets that must really paint."""
    w = QWidget()
    w.setObjectName("DeferHost")
    w.resize(800, 600)
    QVBoxLayout(w)
    qtbot.addWidget(w)
    with qtbot.waitExposed(w):
        w.show()
    return w


@pytest.fixture
def dp():
    """The helpers above, for test modules (which cannot import this file)."""
    return SimpleNamespace(flush_deletes=flush_deletes, leaves=leaves, page=page, scheduler_of=scheduler_of,
                           content_of=content_of)
