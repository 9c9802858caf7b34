"""Value, choices and shown text: setters, pruning, shown text, elision, the choice handler, clearing."""
import pytest
from PySide6.QtGui import QFontMetrics
from PySide6.QtWidgets import QLineEdit, QPlainTextEdit

from .conftest import FRUITS, PEOPLE, label, render_tags

DICT_TYPE_ERROR = "Argument 'data' has incorrect type (expected dict, got {})"


class TestSetters:
    def test_set_value_emits_then_calls_on_change_with_the_field(self, single, qtbot, capsys):
        got = []
        single._onChange = got.append
        with qtbot.waitSignal(single.valueChanged) as blocker:
            single.setValue("pear")
        assert blocker.args == ["pear"] and got == [single]
        assert capsys.readouterr().out.splitlines()[-1].startswith("Select------setValue pear <built-in method append")

    def test_non_callable_on_change_is_skipped(self, single):
        single._onChange = "nope"
        single.setValue("x")
        assert single.value == "x"

    def test_on_change_keeps_the_text(self, single, qtbot, capsys):
        single._inputField.setText("shown")
        with qtbot.waitSignal(single.valueChanged):
            single.onChange("banana")
        assert single.value == "banana" and single._inputField.text() == "shown"
        assert "SelectBase___onChange___ banana" in capsys.readouterr().out

    def test_list_value_prunes_selected_options(self, single):
        single._selected_options.update({"A": "A", "B": "B"})
        single.base_set_value(["A"])
        assert single._selected_options == {"A": "A"}
        single.base_set_value("plain")
        assert single._selected_options == {"A": "A"}

    def test_value_changed_flag_has_no_effect(self, single, qtbot):
        with qtbot.waitSignal(single.valueChanged):
            single.base_set_value("apple", valueChanged=False)

    def test_filled_variant_sets_has_value(self, make_field):
        field = make_field(options=list(FRUITS), variant="filled", getOptionLabel=label)
        field.base_set_value("apple")
        assert field.property("filledHasValue") is True
        field.base_set_value(None)
        assert field.property("filledHasValue") is False

    def test_multiple_counts_an_empty_list_as_a_value(self, multi):
        multi.base_set_value([])
        assert multi.property("multipleHasValue") is True
        multi.base_set_value(None)
        assert multi.property("multipleHasValue") is False

    def test_value_shows_the_label_but_empty_text_does_not(self, single):
        single._hide_label()
        single.base_set_value("")
        assert single.title() == ""
        single.base_set_value("apple")
        assert single.title() == "Fruit"


class TestShownTextSingle:
    def test_value_matching_an_option_shows_its_label(self, make_field):
        field = make_field(options=["apple", "pear"], getOptionLabel=lambda o: o.upper())
        field.setControlledState("apple")  # a text option matches by itself, and shows its label
        assert field._inputField.text() == "APPLE"
        field._inputField.setText("kept")
        field.setControlledState("plum")
        assert field._inputField.text() == "kept"

    def test_mapping_value_uses_the_label_getter(self, make_field):
        field = make_field(options=list(PEOPLE), getOptionLabel=label)
        field.setControlledState(PEOPLE[1])
        assert field._inputField.text() == "Bob"

    def test_mapping_value_without_getter_keeps_the_text(self, make_field):
        field = make_field(options=list(PEOPLE))
        field._inputField.setText("kept")
        field.setControlledState({"value": 9})
        assert field._inputField.text() == "kept"

    def test_no_getter_shows_the_value_as_text(self, make_field, capsys):
        field = make_field(options=[])
        field.setControlledState(7)
        assert field._inputField.text() == "7"
        assert "_update_input_text+++++++++++++++ 7" in capsys.readouterr().out


class TestShownTextMultiple:
    def test_render_value_is_elided_and_printed(self, make_field, capsys):
        field = make_field(options=list(FRUITS), multiple=True, renderValue=lambda v: " | ".join(v or []))
        field.setControlledState(["apple", "cherry"])
        assert field._inputField.text() == "apple | cherry"
        assert field._inputField.toolTip() == "apple | cherry"
        assert "self.value_____________________ ['apple', 'cherry'] <class 'list'>" in capsys.readouterr().out

    def test_tags_leave_the_text(self, multi):
        multi.setControlledState([PEOPLE[0]])
        assert multi._inputField.toPlainText() == ""

    def test_neither_renderer_joins_the_labels(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label)
        field.setControlledState([PEOPLE[0], PEOPLE[2]])
        assert field._inputField.text() == "Ann, Cid"

    def test_both_renderers_show_tags_without_error(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label, renderTags=render_tags,
                           renderValue=lambda v: "x")
        field._selected_change({"key": "Ann", "value": PEOPLE[0]})
        assert isinstance(field._inputField, QPlainTextEdit) and len(field.tags) == 1


class TestElidedText:
    def test_multiple_elides_to_width_minus_62(self, make_field):
        field = make_field(options=[], multiple=True)
        edit = QLineEdit()
        edit.resize(300, 30)
        text = "a long long text " * 20
        field.setElidedText(edit, text)
        expected = QFontMetrics(edit.font()).elidedText(text, __import__("PySide6.QtCore").QtCore.Qt.TextElideMode.ElideRight, 238)
        assert edit.text() == expected and edit.toolTip() == text

    def test_single_elides_to_width_minus_28(self, make_field):
        from PySide6.QtCore import Qt

        field = make_field(options=[])
        edit = QLineEdit()
        edit.resize(200, 30)
        text = "word " * 50
        field.setElidedText(edit, text)
        assert edit.text() == QFontMetrics(edit.font()).elidedText(text, Qt.TextElideMode.ElideRight, 172)

    def test_errors_leave_the_edit_alone(self, make_field):
        field = make_field(options=[])
        edit = QLineEdit("same")
        with pytest.raises(TypeError, match="Argument 'text' has incorrect type"):
            field.setElidedText(edit, None)
        with pytest.raises(TypeError, match="line_edit phải là QLineEdit"):
            field.setElidedText(QPlainTextEdit(), "x")
        assert edit.text() == "same"


class TestChoice:
    def test_single_choice_in_order(self, single, qtbot, capsys):
        order = []
        single.valueChanged.connect(lambda v: order.append(("signal", v, single._selectedKeys.value)))
        single._onChange = lambda f: order.append(("onChange", f.value))
        single._show_popup()
        single._selected_change({"key": "banana", "value": "banana"})
        assert order == [("signal", "banana", "banana"), ("onChange", "banana")]
        assert single._inputField.text() == "banana"
        assert single._selected_options == {"banana": "banana"}
        assert not single._popup.isVisible()
        assert "data______________ {'key': 'banana', 'value': 'banana'}" in capsys.readouterr().out

    @pytest.mark.parametrize("bad, name", [(3, "int"), ([("key", 1)], "list"), (None, "NoneType")])
    def test_non_dict_is_refused_with_the_exact_message(self, single, bad, name):
        with pytest.raises(TypeError) as info:
            single._selected_change(bad)
        assert str(info.value) == DICT_TYPE_ERROR.format(name)
        assert single.value is None

    def test_multiple_choose_then_unchoose(self, multi):
        multi._show_popup()
        multi._selected_change({"key": "Bob", "value": PEOPLE[1]})
        assert multi._selectedKeys.value == ["Bob"] and multi.value == [PEOPLE[1]]
        assert not multi._popup.isVisible()
        multi._show_popup()
        multi._selected_change({"key": "Bob", "value": PEOPLE[1]})
        assert multi._selectedKeys.value == [] and multi.value == []
        assert multi._popup.isVisible()

    def test_render_value_mode_toggles_keys_and_text(self, make_field):
        field = make_field(options=list(FRUITS), multiple=True, renderValue=lambda v: ",".join(v))
        field._selected_change({"key": "apple", "value": "apple"})
        field._selected_change({"key": "cherry", "value": "cherry"})
        assert field._inputField.text() == "apple,cherry"
        field._selected_change({"key": "apple", "value": "apple"})
        assert field.value == ["cherry"] and field._inputField.text() == "cherry"

    def test_neither_renderer_keys_value_and_text_agree(self, make_field):
        field = make_field(options=list(FRUITS), multiple=True, defaultValue=["banana"])
        assert field._selectedKeys.value == ["banana"] and field._inputField.text() == "banana"
        field._selected_change({"key": "apple", "value": "apple"})
        assert field._selectedKeys.value == ["banana", "apple"] and field._inputField.text() == "banana, apple"
        field._selected_change({"key": "banana", "value": "banana"})
        assert field._selectedKeys.value == ["apple"] and field.value == ["apple"]
        assert field._selected_options == {"apple": "apple"} and field._inputField.text() == "apple"

    def test_update_selected_options_toggles(self, single):
        single._update_selected_options("k")
        assert single._selected_options == {"k": "k"}
        single._update_selected_options("k")
        assert single._selected_options == {}


class TestClearing:
    def test_multiple_clear(self, multi, qtbot):
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        with qtbot.waitSignal(multi.valueChanged) as blocker:
            multi._on_clear_text()
        assert blocker.args == [[]] and multi._selectedKeys.value == [] and multi._selected_options == {}
        assert multi._onClearText is True and not multi._btn_clear_text.isVisible()
        flows = multi._inputField.findChildren(type(multi._flowWidget))
        assert len([f for f in flows if f.parent() is multi._inputField]) == 1
        assert multi._flowWidget.layout().count() == 0

    def test_single_clear_empties_value_and_text(self, single):
        single._selected_change({"key": "apple", "value": "apple"})
        single._on_clear_text()
        assert single.value == "" and single._inputField.text() == ""

    @pytest.mark.parametrize(
        "kwargs, placeholder", [({"placeholder": "Pick"}, "Pick"), ({"label": "Fruit"}, ""), ({}, "")]
    )
    def test_placeholder_after_clearing(self, make_field, kwargs, placeholder):
        field = make_field(options=list(FRUITS), **kwargs)
        field._on_clear_text()
        assert field._inputField.placeholderText() == placeholder

    def test_render_value_clear(self, make_field):
        field = make_field(options=list(FRUITS), multiple=True, renderValue=lambda v: ",".join(v), placeholder="Pick")
        field._selected_change({"key": "apple", "value": "apple"})
        field._on_clear_text()
        assert field.value == [] and field._selected_options == {} and field._inputField.placeholderText() == "Pick"


class TestSlot:
    def test_slot_values(self, single):
        single._set_slot({"slot": "error"})
        assert single._inputField.property("p-error") == "true"
        single._set_slot({"slot": "other"})
        single._set_slot({})
        assert single._inputField.property("p-error") == "true"
        single._set_slot({"slot": "valid"})
        assert single._inputField.property("p-error") == "false"
