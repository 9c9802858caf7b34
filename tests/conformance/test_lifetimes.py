"""Every component, once deleted, hears nothing more, leaves no window behind and is collected."""
import gc
import weakref

import pytest
from PySide6.QtCore import QCoreApplication, QEvent, Qt
from PySide6.QtWidgets import QApplication, QLabel, QWidget

from vantu.deferpane import Lazy
from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView
from vantu.material.stack import Stack
from vantu.material.styles import set_theme_mode
from vantu.material.typography import Typography

FRUITS = ["Apple", "Banana", "Cherry"]


def tags(selected, getTagProps):
    return [TagsView(label=k, onDelete=getTagProps({"key": k, "value": o})["onDelete"]) for k, o in selected.items()]


def single_select(states):
    return SelectBase(label="Fruit", options=FRUITS, value=states["value"], error=states["error"])


def multiple_select(states):
    return SelectBase(label="Fruits", options=FRUITS, multiple=True, renderTags=tags, defaultValue=["Apple"],
                      getOptionLabel=str, error=states["error"])


def entry_select(states):
    return EntryBox(label="Fruit", helperText=states["helper"], select=True, options=FRUITS,
                    getOptionLabel=str).renderUi(RenderContext())


def entry_tags(states):
    return EntryBox(label="Fruits", helperText=states["helper"], select=True, multiple=True, renderTags=True,
                    options=FRUITS, getOptionLabel=str).renderUi(RenderContext())


def lazy_page(states):
    tree = Stack(children=[Stack(children=[Typography(f"line {i}") for i in range(40)]) for _ in range(5)])
    return Lazy(tree, fallback=QLabel("Loading"), onProgress=print, onFinished=lambda: None)


def open_popup(widget):
    if isinstance(widget, SelectBase):
        widget._show_popup()
    elif isinstance(widget, EntryBox):
        widget._input.select_show_popup()


@pytest.mark.parametrize("build", [single_select, multiple_select, entry_select, entry_tags, lazy_page])
def test_deleted_component_hears_nothing_and_is_collected(qapp, qtbot, capfd, build):
    states = {"value": State("Banana"), "error": State(False), "helper": State("Pick one")}
    widget = build(states)
    qtbot.addWidget(widget)
    with qtbot.waitExposed(widget):
        widget.show()
    open_popup(widget)
    qapp.processEvents()
    ref = weakref.ref(widget)
    before = {id(w) for w in QApplication.topLevelWidgets()}

    widget.deleteLater()
    del widget
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    qapp.processEvents()
    try:
        set_theme_mode("dark")
        set_language("vi")
        states["value"].setValue("Cherry")
        states["error"].setValue(True)
        states["helper"].setValue("Changed")
        qtbot.wait(150)  # past any pending zero-delay and reveal timers
    finally:
        set_theme_mode("light")
        set_language("en")
    gc.collect()
    assert ref() is None
    left = [w for w in QApplication.topLevelWidgets() if w.isVisible() and w.parentWidget() is not None]
    assert not left, f"windows left behind: {left}"
    assert capfd.readouterr().err == ""
    assert len({id(w) for w in QApplication.topLevelWidgets()} - before) == 0
