"""Random sequences of choices, tag deletions, clearing and focus loss against a plain model."""
import gc
import weakref

from hypothesis import settings
from hypothesis import strategies as st
from hypothesis.stateful import RuleBasedStateMachine, invariant, rule, run_state_machine_as_test
from PySide6.QtCore import QEvent, Qt
from PySide6.QtGui import QFocusEvent
from PySide6.QtWidgets import QApplication, QWidget

from vantu.material.select.pickcore import SelectBase

from .conftest import PEOPLE, flush_deletes, label, render_tags

OPTIONS = PEOPLE + [{"label": "Dee", "value": 4}]


def make_machine(with_tags):
    class MultipleSelect(RuleBasedStateMachine):
        """The field's keys, value, tags and text against an ordered list of chosen labels."""

        def __init__(self):
            super().__init__()
            kwargs = {"renderTags": render_tags} if with_tags else {}
            self.field = SelectBase(options=list(OPTIONS), multiple=True, getOptionLabel=label, label="People", **kwargs)
            self.field.resize(320, 56)
            self.model = []

        @rule(index=st.integers(0, len(OPTIONS) - 1))
        def choose(self, index):
            option = OPTIONS[index]
            self.field._selected_change({"key": label(option), "value": option})
            key = label(option)
            if key in self.model:
                self.model.remove(key)
            else:
                self.model.append(key)

        @rule(index=st.integers(0, 5))
        def delete_tag(self, index):
            if not with_tags or not self.model:
                return
            tag = self.field.tags[index % len(self.field.tags)]
            tag.deleteButton.click()
            self.model.remove(tag.label.text())

        @rule()
        def clear(self):
            self.field._on_clear_text()
            self.model = []

        @rule()
        def lose_focus(self):
            QApplication.sendEvent(self.field._inputField, QFocusEvent(QEvent.Type.FocusOut, Qt.FocusReason.OtherFocusReason))

        @invariant()
        def agrees_with_the_model(self):
            field = self.field
            assert list(field._selectedKeys.value) == self.model
            assert [label(v) for v in (field.value or [])] == self.model
            assert list(field._selected_options) == self.model
            if with_tags:
                assert [t.label.text() for t in getattr(field, "tags", [])] == self.model
                flows = [w for w in field._inputField.children() if w.objectName() == "flowWidget"]
                assert len(flows) == 1
            else:
                shown = ", ".join(self.model)
                assert field._inputField.toolTip() == shown or (not self.model and field._inputField.text() == "")

        def teardown(self):
            self.field.deleteLater()

    return MultipleSelect


def test_tagged_multiple_select_follows_any_sequence(qapp):
    run_state_machine_as_test(make_machine(True), settings=settings(max_examples=30, stateful_step_count=15, deadline=None))
    flush_deletes(qapp)


def test_text_multiple_select_follows_any_sequence(qapp):
    run_state_machine_as_test(make_machine(False), settings=settings(max_examples=30, stateful_step_count=15, deadline=None))
    flush_deletes(qapp)


def test_used_multiple_field_is_collected(qtbot, qapp):
    field = SelectBase(options=list(OPTIONS), multiple=True, getOptionLabel=label, renderTags=render_tags)
    field.show()
    field._show_popup()
    field._selected_change({"key": "Ann", "value": OPTIONS[0]})
    field.tags[0].deleteButton.click()
    field._selected_change({"key": "Bob", "value": OPTIONS[1]})
    ref = weakref.ref(field)
    field.deleteLater()
    del field
    flush_deletes(qapp)
    gc.collect()
    assert ref() is None


def test_failure_inside_construction_leaves_nothing_behind(qtbot, qapp):
    parent = QWidget()
    qtbot.addWidget(parent)

    def broken(option):
        raise KeyError("no label")

    try:
        SelectBase(parent, options=["a"], multiple=True, defaultValue=["a"], getOptionLabel=broken)
    except KeyError:
        pass
    else:
        raise AssertionError("the label getter's error must reach the caller")
    assert not [c for c in parent.children() if isinstance(c, SelectBase)]
    flush_deletes(qapp)
