"""The choice handler: single picks, multiple additions and removals, and its printed line."""
from __future__ import annotations

import pytest

LINE = "select_selected_change___________values"


def by_label(o):
    return o["label"] if isinstance(o, dict) else o


class TestSingle:
    def test_pick_by_key_scans_the_labels(self, host):
        options = [{"value": "one"}, {"value": "two"}]
        h = host(_options=options, _getOptionLabel=lambda o: {"one": "A", "two": "B"}[o["value"]])
        h.select_show_popup()
        h.select_selected_change({"key": "B"})
        assert h._selectedKeys.value == "B"
        assert ("base_set_value", options[1]) in h.calls
        assert h._selected_options == {"B": "B"}
        assert not h._popupShowing and not h._popup.isVisible()

    def test_a_given_value_is_used_without_scanning(self, host):
        scanned = []
        h = host(_getOptionLabel=lambda o: scanned.append(o) or o)
        scanned.clear()
        h.select_selected_change({"key": "B", "value": 7})
        assert ("base_set_value", 7) in h.calls and scanned == []

    def test_the_last_option_with_the_label_wins(self, host):
        options = [{"label": "A", "n": 1}, {"label": "A", "n": 2}]
        h = host(_options=options, _getOptionLabel=by_label)
        h.select_selected_change({"key": "A"})
        assert ("base_set_value", options[1]) in h.calls

    def test_no_match_gives_none_and_earlier_entries_stay(self, host):
        h = host()
        h.select_selected_change({"key": "a"})
        h.select_selected_change({"key": "zz"})
        assert ("base_set_value", None) in h.calls
        assert h._selected_options == {"a": "a", "zz": "zz"}

    def test_a_choice_without_key_uses_none(self, host):
        h = host()
        h.select_selected_change({})
        assert h._selectedKeys.value is None and h._selected_options == {None: None}

    @pytest.mark.parametrize("bad", [None, ["key"], 3, "a"])
    def test_anything_but_a_dict_is_refused_before_any_change(self, host, bad):
        h = host()
        before = list(h.calls)
        with pytest.raises(TypeError, match=r"Argument 'data' has incorrect type \(expected dict, got "):
            h.select_selected_change(bad)
        assert h.calls == before and h._selectedKeys.value == "a"

    def test_a_dict_subclass_is_refused(self, host):
        class D(dict):
            pass

        with pytest.raises(TypeError, match="expected dict, got D"):
            host().select_selected_change(D(key="a"))


class TestMultipleWithTags:
    def test_adding_sets_keys_from_the_record_and_closes(self, host):
        options = ["a", {"label": "C", "value": "c"}]
        h = host(_options=options, _multiple=True, _renderTags=True, _getOptionLabel=by_label)
        h._selected_options = {"a": "a"}
        h._setSelectedKeys(["a"])
        h.select_show_popup()
        h.select_selected_change({"key": "C", "value": options[1]})
        assert ("tags_setup_tags", "C", "C") in h.calls
        assert h._selectedKeys.value == ["a", "C"]
        assert ("base_set_value", ["a", options[1]]) in h.calls
        assert not h._popupShowing

    def test_removing_keeps_the_popup_open_and_prints_the_values(self, host, capsys):
        h = host(_options=["a", "b"], _multiple=True, _renderTags=True)
        h._selected_options = {"a": "a", "b": "b"}
        h._setSelectedKeys(["a", "b"])
        h.select_show_popup()
        h.select_selected_change({"key": "a", "value": "a"})
        assert h._selectedKeys.value == ["b"]
        assert ("tags_setup_tags", "a", None) in h.calls
        assert capsys.readouterr().out == f"{LINE} ['b']\n"
        assert ("base_set_value", ["b"]) in h.calls
        assert h._popupShowing and h._popup.isVisible()

    def test_removing_takes_only_the_first_occurrence(self, host):
        h = host(_multiple=True, _renderTags=True)
        h._setSelectedKeys(["a", "b", "a"])
        h._selected_options = {"a": "a", "b": "b"}
        h.select_selected_change({"key": "a"})
        assert h._selectedKeys.value == ["b", "a"]


class TestMultipleWithoutTags:
    def test_adding_with_a_value_renderer_refreshes_the_text(self, host):
        h = host(_multiple=True, value=[], _renderValue=lambda v: "|".join(v))
        h.select_selected_change({"key": "a", "value": "a"})
        h.select_selected_change({"key": "b", "value": "b"})
        assert h.calls.count(("tags_update_selected_options", "a")) == 1
        assert h._selectedKeys.value == ["a", "b"] and h._inputField.text() == "a|b"

    def test_removing_with_a_value_renderer_refreshes_the_text(self, host, capsys):
        h = host(_multiple=True, value=[], _renderValue=lambda v: "|".join(v))
        for key in ("a", "b", "a"):
            h.select_selected_change({"key": key, "value": key})
        assert h._selectedKeys.value == ["b"] and h._inputField.text() == "b"
        assert capsys.readouterr().out == f"{LINE} ['b']\n"

    def test_removing_without_renderers_keeps_keys_value_and_record_in_line(self, host, capsys):
        h = host(_multiple=True)
        h.select_selected_change({"key": "a", "value": "a"})
        h.select_selected_change({"key": "b", "value": "b"})
        h.select_selected_change({"key": "a", "value": "a"})
        assert h._selectedKeys.value == ["b"]
        assert h._selected_options == {"b": "b"}
        assert h.value == ["b"]
        assert capsys.readouterr().out == f"{LINE} ['b']\n"

    def test_dict_options_without_label_getter_add_values_but_no_keys(self, host):
        h = host(_options=[], _multiple=True, _renderOption=lambda o: o, _getOptionLabel=None)
        h._selected_options = {}
        h.tags_update_selected_options = lambda key: h._selected_options.update({key: {"value": key}})
        h.select_selected_change({"key": "x"})
        assert h._selectedKeys.value == []
        assert h.value == [{"value": "x"}]

    def test_other_kinds_in_the_record_are_skipped(self, host):
        h = host(_multiple=True)
        h._selected_options = {"n": 5}
        h.select_selected_change({"key": "a", "value": "a"})
        assert h._selectedKeys.value == ["a"] and h.value == ["a"]
