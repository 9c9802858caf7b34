"""What assistive technology sees of the select field, through QAccessible: the field and its
input as a combo box, the open list and its rows, the buttons, the focus event of the current
row, and interfaces that outlive their widgets."""
import gc
import weakref

import pytest
import shiboken6
from PySide6.QtCore import QEvent, Qt
from PySide6.QtGui import QAccessible
from PySide6.QtWidgets import QAccessibleWidget

from vantu.hooks import State
from vantu.i18n import set_language
from vantu.material.accessibility import RowInterface

from .conftest import FRUITS, PEOPLE, flush_deletes, label, render_tags

Name, Value, Description = QAccessible.Text.Name, QAccessible.Text.Value, QAccessible.Text.Description


def iface(obj):
    return QAccessible.queryAccessibleInterface(obj)


def states(interface, *names):
    state = interface.state()
    return {name: bool(getattr(state, name)) for name in names}


@pytest.fixture
def vietnamese():
    yield lambda: set_language("vi")
    set_language("en")


def test_field_and_input_are_a_combo_box_with_label_value_and_description(make_field, qtbot, vietnamese):
    error = State(False)
    field = make_field(options=list(PEOPLE), label="Country", getOptionLabel=label, required=True,
                       placeholder="Choose an option", value=PEOPLE[1], error=error)
    for target in (field, field._inputField):
        info = iface(target)
        assert info.role() == QAccessible.Role.ComboBox
        assert (info.text(Name), info.text(Value), info.text(Description)) == ("Country*", "Bob", "Choose an option")
        assert states(info, "focusable", "expandable", "collapsed", "expanded", "hasPopup", "invalid") == {
            "focusable": True, "expandable": True, "collapsed": True, "expanded": False, "hasPopup": True,
            "invalid": False}
    info = iface(field)
    assert info.childCount() == 2 and info.child(0).object() is field._inputField
    field._inputField.setFocus()
    qtbot.waitUntil(field._inputField.hasFocus)
    assert states(info, "focused") == {"focused": True}
    field._show_popup()
    assert states(info, "expanded", "collapsed") == {"expanded": True, "collapsed": False}
    assert info.child(info.childCount() - 1).object() is field._menu.listView
    error.value = True
    vietnamese()
    assert states(info, "invalid") == {"invalid": True}
    assert (info.text(Name), info.text(Description)) == ("Quốc gia*", "Chọn một mục")


@pytest.mark.parametrize("kwargs, value", [
    ({"multiple": True, "renderTags": render_tags, "defaultValue": [PEOPLE[0], PEOPLE[2]]}, "Ann, Cid"),
    ({"multiple": True, "renderValue": lambda v: f"{len(v)} people", "value": [PEOPLE[0]]}, "1 people"),
    ({"readOnly": True, "disabled": True}, ""),
])
def test_value_and_states_of_other_fields(make_field, kwargs, value):
    field = make_field(options=list(PEOPLE), label="People", getOptionLabel=label, **kwargs)
    info = iface(field)
    assert info.text(Value) == iface(field._inputField).text(Value) == value
    expected = bool(kwargs.get("readOnly"))
    assert states(info, "readOnly", "disabled") == {"readOnly": expected, "disabled": expected}


def test_open_list_and_its_rows(make_field, qtbot):
    field = make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                       renderTags=render_tags, defaultValue=[PEOPLE[2]], getOptionDisabled=lambda o: o["value"] == 2)
    field._inputField.setFocus()
    qtbot.keyClick(field._inputField, Qt.Key.Key_Down)
    view = field._menu.listView
    info = iface(view)
    assert info.role() == QAccessible.Role.List and info.text(Name) == "People"
    assert info.parent().object() is field and iface(field).indexOfChild(info) == iface(field).childCount() - 1
    rows = [info.child(i) for i in range(info.childCount())]
    assert [row.role() for row in rows] == [QAccessible.Role.ListItem] * 3
    assert [row.text(Name) for row in rows] == ["Ann", "Bob", "Cid"]
    assert [states(row, "selected", "focused", "disabled") for row in rows] == [
        {"selected": False, "focused": False, "disabled": False},
        {"selected": False, "focused": False, "disabled": True},
        {"selected": True, "focused": True, "disabled": False},  # the list opens on the chosen row
    ]
    assert [info.indexOfChild(row) for row in rows] == [0, 1, 2] and rows[2].parent().object() is view
    assert info.child(0) is rows[0] and info.focusChild() is rows[2]
    centre = rows[0].rect().center()
    assert info.childAt(centre.x(), centre.y()) is rows[0]
    qtbot.keyClick(field._inputField, Qt.Key.Key_Up)  # over the disabled row
    assert states(rows[0], "focused") == {"focused": True} and states(rows[2], "focused") == {"focused": False}


def test_current_row_moves_send_a_focus_event_for_the_row(single, qtbot, monkeypatch):
    spoken, values = [], []
    send = QAccessible.updateAccessibility

    def record(event):
        if event.type() == QAccessible.Event.Focus:
            target = event.accessibleInterface()
            if isinstance(target, RowInterface):
                spoken.append((target.text(Name), target.state().focused))
        elif event.type() == QAccessible.Event.ValueChanged and event.object() is single:
            values.append(event.value())
        send(event)

    monkeypatch.setattr(QAccessible, "updateAccessibility", staticmethod(record))
    QAccessible.setActive(True)
    try:
        iface(single)
        single._inputField.setFocus()
        qtbot.keyClick(single._inputField, Qt.Key.Key_Down)
        qtbot.keyClick(single._inputField, Qt.Key.Key_Down)
        qtbot.keyClick(single._inputField, Qt.Key.Key_End)
        qtbot.keyClicks(single._inputField, "b")
        qtbot.keyClick(single._inputField, Qt.Key.Key_Return)
    finally:
        QAccessible.setActive(False)
    assert spoken == [("apple", True), ("cherry", True), ("banana", True)]
    assert values == ["banana"]


def test_buttons_have_translated_names_and_press_actions(make_field, qtbot, vietnamese):
    field = make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                       renderTags=render_tags, defaultValue=[PEOPLE[0]])
    clear, arrow, tag = (iface(b) for b in (field._btn_clear_text, field._btnSelect, field.tags[0].deleteButton))
    assert [b.text(Name) for b in (clear, arrow, tag)] == ["Clear", "Open", "Remove Ann"]
    assert all(QAccessibleWidget.pressAction() in b.actionInterface().actionNames() for b in (clear, arrow, tag))
    field._show_popup()
    assert arrow.text(Name) == "Close"
    vietnamese()
    assert [b.text(Name) for b in (clear, arrow, tag)] == ["Xóa", "Đóng", "Gỡ Ann"]
    field._hide_popup()
    assert arrow.text(Name) == "Mở"
    clear.actionInterface().doAction(QAccessibleWidget.pressAction())
    qtbot.waitUntil(lambda: field.value == [])
    iface(field).actionInterface().doAction(QAccessibleWidget.showMenuAction())
    assert field._popup.isVisible()


def test_interfaces_outlive_their_widgets_without_keeping_them(make_field, qapp):
    field = make_field(options=list(FRUITS), label="Fruit", multiple=True, renderTags=render_tags,
                       defaultValue=["apple"])
    field._show_popup()
    view = field._menu.listView
    # (Only the library's own interfaces: a Python wrapper of one Qt made, a button's, cannot
    # learn that Qt deleted it.)
    held = [iface(field), iface(field._inputField), iface(view)]
    row = iface(view).child(1)
    ref = weakref.ref(field)
    field.deleteLater()
    del field, view
    flush_deletes(qapp)
    gc.collect()
    assert ref() is None
    for info in [*held, row]:
        assert not shiboken6.isValid(info) or not info.isValid()
    set_language("vi")  # nothing left to rename
    set_language("en")
    QAccessible.queryAccessibleInterface(qapp)  # the cache is still sound
