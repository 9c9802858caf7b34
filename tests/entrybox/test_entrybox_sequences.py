"""Random choice sequences on a multiple select with tags, checked against a plain model."""
from __future__ import annotations

from hypothesis import settings
from hypothesis import strategies as st
from hypothesis.stateful import RuleBasedStateMachine, invariant, rule, run_state_machine_as_test

from vantu.material.component import RenderContext
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox

OPTIONS = [{"label": name, "value": name.lower()} for name in ("Ant", "Bee", "Cat", "Dog")] + ["Eel"]


def label(o):
    return o["label"] if isinstance(o, dict) else o


def test_choices_keep_keys_value_record_and_tags_in_line(qapp):
    class Machine(RuleBasedStateMachine):
        def __init__(self):
            super().__init__()
            self.box = EntryBox(options=OPTIONS, getOptionLabel=label, multiple=True, renderTags=True)
            self.box.renderUi(RenderContext())
            self.input = self.box._input
            self.model: list = []

        @rule(option=st.sampled_from(OPTIONS))
        def pick(self, option):
            self.input.select_selected_change({"key": label(option), "value": option})
            if option in self.model:
                self.model.remove(option)
            else:
                self.model.append(option)

        @rule()
        def delete_first_tag(self):
            tags = self.input._flowWidget.findChildren(Tag)
            if tags:
                tags[0].deleteButton.click()
                self.model.pop(0)

        @rule()
        def clear(self):
            self.input.base_on_btn_clear_text_clicked()
            self.model = []

        @invariant()
        def agrees(self):
            keys = [label(o) for o in self.model]
            assert self.input.value == self.model
            assert self.input._selectedKeys.value == keys
            assert list(self.input._selected_options) == keys
            assert [t.text() for t in self.input._flowWidget.findChildren(Tag)] == keys

        def teardown(self):
            self.box.deleteLater()

    run_state_machine_as_test(Machine, settings=settings(max_examples=25, stateful_step_count=12, deadline=None))
