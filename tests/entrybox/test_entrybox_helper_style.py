"""The helper label: its text (plain, reactive, absent), its style sheet and the sheet's cache."""
from __future__ import annotations

import functools
from types import SimpleNamespace

import pytest

from vantu.hooks import State
from vantu.i18n.use_translation import set_language
from vantu.material.component import RenderContext
from vantu.material.entrybox import entrybox as entrybox_module
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.styles import get_qss_style

INDENT16 = "\n" + " " * 16


def expected_sheet(helper: str, error: str = "", standard: str = "") -> str:
    return (
        "\n" + " " * 12 + "QLabel {" + INDENT16 + helper + INDENT16 + "/* KelInput_helperLabel_slot_color_qss */"
        + INDENT16 + error + INDENT16 + standard + "\n" + " " * 12 + "}\n" + " " * 8
    )


class FakeTheme:
    """A theme whose helper-label style function counts its calls and records its argument."""

    def __init__(self):
        self.calls: list[dict] = []

        def helperLabel(own):
            self.calls.append(dict(own))
            return {"color": own["color"] or "grey", "slots": {"error": {"color": "red"}},
                    "props": {"standard": {"marginLeft": 0}}}

        self.components = {"KelInput": {"styles": {"helperLabel": helperLabel}}}


@pytest.fixture
def theme(monkeypatch):
    fake = FakeTheme()
    monkeypatch.setattr(entrybox_module, "useTheme", lambda: fake)
    EntryBox._get_stylesheet.cache_clear()
    yield fake
    EntryBox._get_stylesheet.cache_clear()


class TestHelperText:
    def test_plain_text_is_translated(self, render):
        set_language("vi")
        try:
            box = render(helperText="Required")
            assert box._helperLabel.text() == "Bắt buộc"
        finally:
            set_language("en")

    def test_state_text_follows_every_change(self, render):
        helper = State("first")
        box = render(helperText=helper)
        assert box._helperLabel.text() == "first"
        helper.setValue("second")
        assert box._helperLabel.text() == "second"
        assert box._getHelperText() == "second"

    def test_only_a_state_registers_an_effect(self, monkeypatch, qtbot):
        registered = []
        monkeypatch.setattr(entrybox_module, "useEffect", lambda cb, deps, component=None: registered.append((cb, deps, component)))
        plain = EntryBox(helperText="x")
        plain.renderUi(RenderContext())
        qtbot.addWidget(plain)
        assert registered == []
        helper = State("y")
        box = EntryBox(helperText=helper)
        box.renderUi(RenderContext())
        qtbot.addWidget(box)
        (cb, deps, component), = registered
        assert cb == box._updateHelperText and deps == [helper] and component is box

    def test_absent_helper_text_shows_what_translation_gives_for_none(self, render):
        box = render()
        assert box._getHelperText() is None
        assert box._helperLabel.text() == "" and box._helperLabel.isVisibleTo(box)

    def test_set_error_changes_nothing(self, render):
        box = render(helperText="h", error=True)
        before = (box._helperLabel.text(), box._helperLabel.styleSheet())
        assert box._setError(True) is None and box._setError(False) is None
        assert (box._helperLabel.text(), box._helperLabel.styleSheet()) == before


class TestStyleKeysFromTheInput:
    def test_error_flag_adds_the_error_rules(self, render):
        plain = render(helperText="h")._helperLabel.styleSheet()
        error = render(helperText="h", error=State(True))._helperLabel.styleSheet()
        assert "/* KelInput_helperLabel_slot_color_qss */" in plain
        assert error != plain and error.count("color:") == plain.count("color:") + 1

    def test_keys_are_the_text_forms_of_colour_error_and_variant(self, render, monkeypatch):
        seen = []
        real = EntryBox.__dict__["_get_stylesheet"]

        def spy(cls, **keys):
            seen.append(keys)
            return real.__get__(None, cls)(**keys)

        monkeypatch.setattr(EntryBox, "_get_stylesheet", classmethod(spy))
        render(helperText="h", color="secondary", error=True, variant="standard")
        render(helperText="h")
        assert seen == [
            {"color": "secondary", "error": "True", "variant": "standard"},
            {"color": "None", "error": "False", "variant": "outlined"},
        ]

    def test_non_string_variant_is_refused_by_the_style_sheet(self, qtbot):
        box = EntryBox(helperText="h", variant=3)
        qtbot.addWidget(box)
        with pytest.raises(TypeError) as info:
            box.renderUi(RenderContext())
        assert str(info.value) == "Argument 'variant' has incorrect type (expected str, got int)"
        assert box._helperLabel.text() == "h"  # the text was set before the style failed


class TestStylesheet:
    def test_text_without_error_or_standard_variant(self, theme):
        sheet = EntryBox._get_stylesheet(color="primary", error="False", variant="outlined")
        assert sheet == expected_sheet("color: primary;")
        assert sheet.startswith("\n") and sheet.endswith(" " * 8) and not sheet.endswith("\n")
        assert len(sheet) - len("color: primary;") == 153

    def test_error_and_standard_add_their_rules(self, theme):
        sheet = EntryBox._get_stylesheet(color="x", error="True", variant="standard")
        assert sheet == expected_sheet("color: x;", "color: red;", "margin-left: 0px;")

    @pytest.mark.parametrize("error", ["true", "TRUE", "1", "", "False"])
    def test_only_the_exact_text_true_means_error(self, theme, error):
        assert "red" not in EntryBox._get_stylesheet(color="c", error=error, variant="outlined")

    @pytest.mark.parametrize("variant", ["Standard", "filled", "", "outlined"])
    def test_only_standard_adds_the_variant_rules(self, theme, variant):
        assert "margin-left" not in EntryBox._get_stylesheet(color="c", error="x", variant=variant)

    @pytest.mark.parametrize("color, given", [("None", None), ("none", None), ("NONE", "NONE"), ("primary", "primary")])
    def test_none_texts_become_no_colour(self, theme, color, given):
        EntryBox._get_stylesheet(color=color, error="False", variant="v")
        assert theme.calls == [{"color": given}]

    def test_equal_arguments_give_the_same_object_with_one_theme_evaluation(self, theme):
        first = EntryBox._get_stylesheet(color="a", error="False", variant="v")
        second = EntryBox._get_stylesheet(color="a", error="False", variant="v")
        assert first is second and len(theme.calls) == 1

    def test_the_class_is_part_of_the_key(self, theme):
        class Sub(EntryBox):
            pass

        assert Sub._get_stylesheet(color="a", error="e", variant="v") == EntryBox._get_stylesheet(color="a", error="e", variant="v")
        assert len(theme.calls) == 2

    def test_the_first_key_is_evicted_after_128_others(self, theme):
        EntryBox._get_stylesheet(color="first", error="e", variant="v")
        for i in range(127):
            EntryBox._get_stylesheet(color=f"c{i}", error="e", variant="v")
        EntryBox._get_stylesheet(color="first", error="e", variant="v")
        assert len(theme.calls) == 128  # still cached
        EntryBox._get_stylesheet(color="c127", error="e", variant="v")
        EntryBox._get_stylesheet(color="c0", error="e", variant="v")  # now the least recent
        calls = len(theme.calls)
        for i in range(128):
            EntryBox._get_stylesheet(color=f"n{i}", error="e", variant="v")
        EntryBox._get_stylesheet(color="first", error="e", variant="v")
        assert len(theme.calls) == calls + 129
        assert EntryBox._get_stylesheet.cache_info().maxsize == 128

    def test_theme_is_not_read_again_for_a_cached_key(self, theme, monkeypatch):
        EntryBox._get_stylesheet(color="k", error="e", variant="v")
        monkeypatch.setattr(entrybox_module, "useTheme", lambda: pytest.fail("theme read on a hit"))
        EntryBox._get_stylesheet(color="k", error="e", variant="v")

    @pytest.mark.parametrize(
        "keys, message",
        [
            ({"color": None, "error": "e", "variant": "v"}, "Argument 'color' has incorrect type (expected str, got NoneType)"),
            ({"color": "c", "error": True, "variant": None}, "Argument 'error' has incorrect type (expected str, got bool)"),
            ({"color": "c", "error": "e", "variant": None}, "Argument 'variant' has incorrect type (expected str, got NoneType)"),
            ({"color": 1, "error": 2, "variant": 3}, "Argument 'color' has incorrect type (expected str, got int)"),
        ],
    )
    def test_non_text_arguments_name_the_first_bad_one(self, theme, keys, message):
        with pytest.raises(TypeError) as info:
            EntryBox._get_stylesheet(**keys)
        assert str(info.value) == message
        assert theme.calls == [] and EntryBox._get_stylesheet.cache_info().currsize == 0

    def test_a_text_subclass_is_refused(self, theme):
        class Text(str):
            pass

        with pytest.raises(TypeError, match="expected str, got Text"):
            EntryBox._get_stylesheet(color=Text("c"), error="e", variant="v")

    def test_a_failing_theme_lookup_caches_nothing(self, theme, monkeypatch):
        monkeypatch.setattr(entrybox_module, "useTheme", lambda: SimpleNamespace(components={}))
        with pytest.raises(KeyError):
            EntryBox._get_stylesheet(color="c", error="e", variant="v")
        assert EntryBox._get_stylesheet.cache_info().currsize == 0

    def test_wrong_argument_count(self, theme):
        with pytest.raises(TypeError):
            EntryBox._get_stylesheet("a", "b")

    def test_declared_as_classmethod_over_the_cache(self):
        raw = EntryBox.__dict__["_get_stylesheet"]
        assert isinstance(raw, classmethod)
        assert isinstance(raw.__func__, functools._lru_cache_wrapper)

    def test_real_theme_gives_the_helper_label_declarations(self):
        from vantu.material.styles import useTheme

        own = useTheme().components["KelInput"]["styles"]["helperLabel"]({"color": None})
        sheet = EntryBox._get_stylesheet(color="None", error="True", variant="standard")
        assert sheet == expected_sheet(get_qss_style(own), get_qss_style(own["slots"]["error"]),
                                       get_qss_style(own["props"]["standard"]))
