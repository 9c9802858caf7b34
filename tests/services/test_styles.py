"""Theme object, light/dark switching, component style functions and QSS conversion."""
import pytest
from PySide6.QtGui import QColor, QPalette
from PySide6.QtWidgets import QLabel, QWidget

from vantu.hooks import useEffect
from vantu.material.styles import (
    DARK_PALETTE,
    LIGHT_PALETTE,
    get_qss_style,
    set_theme_mode,
    toggle_theme_mode,
    useTheme,
)


@pytest.fixture(autouse=True)
def light_theme():
    set_theme_mode("light")
    yield
    set_theme_mode("light")


def helper_label_sheet(color=None, error=False, standard=False):
    """The helper-label sheet as the entry box assembles it."""
    style = useTheme().components["KelInput"].get("styles")["helperLabel"]({"color": color})
    error_qss = get_qss_style(style["slots"]["error"]) if error else ""
    standard_qss = get_qss_style(style["props"]["standard"]) if standard else ""
    return f"QLabel {{ {get_qss_style(style)} {error_qss} {standard_qss} }}"


class TestQssConversion:
    @pytest.mark.parametrize(
        ("style", "qss"),
        [
            ({"fontSize": 12, "marginTop": 4}, "font-size: 12px; margin-top: 4px;"),
            ({"fontWeight": 500, "opacity": 0.5}, "font-weight: 500; opacity: 0.5;"),
            ({"padding": (4, 8), "borderTopLeftRadius": 2.5}, "padding: 4px 8px; border-top-left-radius: 2.5px;"),
            ({"color": "#FF0000", "width": "100%"}, "color: #FF0000; width: 100%;"),
            ({"color": None, "slots": {"error": {"color": "red"}}, "margin": 0}, "margin: 0px;"),
            ({}, ""),
            (None, ""),
        ],
    )
    def test_declarations(self, style, qss):
        assert get_qss_style(style) == qss

    def test_non_mapping_is_refused(self):
        with pytest.raises(TypeError, match="'style'"):
            get_qss_style("color: red")


class TestTheme:
    def test_one_shared_theme_with_complete_palette(self):
        theme = useTheme()
        assert useTheme() is theme
        assert theme.mode == "light" and theme.palette is LIGHT_PALETTE
        assert theme.shape["borderRadius"] == 4
        assert theme.typography["fontFamily"]
        for palette in (LIGHT_PALETTE, DARK_PALETTE):
            for name in ("primary", "secondary", "error", "info", "success", "warning"):
                assert set(palette[name]) == {"main", "light", "dark", "contrastText"}
            assert set(palette["background"]) >= {"default", "paper"}
            assert set(palette["text"]) >= {"primary", "secondary", "disabled"}
            assert set(palette["action"]) >= {"hover", "selected", "disabled"}
            for value in _colours(palette):
                assert QColor(value).isValid(), value

    def test_switch_updates_palette_before_effects_run(self, qtbot):
        theme = useTheme()
        w = QWidget()
        qtbot.addWidget(w)
        seen = []
        useEffect(lambda: seen.append((theme.state.value, theme.palette["mode"])), [theme.state], component=w)
        set_theme_mode("dark")
        set_theme_mode("dark")
        assert toggle_theme_mode() == "light"
        assert seen == [("dark", "dark"), ("light", "light")]

    @pytest.mark.parametrize("mode", ["Dark", "", None, "blue"])
    def test_unknown_mode_is_refused_and_nothing_changes(self, mode):
        with pytest.raises(ValueError, match=r"'mode'.*'light', 'dark'"):
            set_theme_mode(mode)
        assert useTheme().mode == "light" and useTheme().state.value == "light"

    def test_named_and_literal_colours_resolve(self):
        theme = useTheme()
        assert theme.resolve_color(None) == LIGHT_PALETTE["primary"]["main"]
        assert theme.resolve_color("success") == LIGHT_PALETTE["success"]["main"]
        assert theme.resolve_color("#123456") == "#123456"
        set_theme_mode("dark")
        assert theme.resolve_color("error") == DARK_PALETTE["error"]["main"]


class TestComponentStyles:
    def test_helper_label_base_error_and_standard(self, qtbot):
        label = QLabel("helper")
        qtbot.addWidget(label)
        label.setStyleSheet(helper_label_sheet())
        label.ensurePolished()
        assert label.palette().color(QPalette.WindowText) == QColor(LIGHT_PALETTE["text"]["secondary"])
        assert label.font().pixelSize() == 12
        assert label.contentsMargins().left() == 16  # under the entry box's floating label

        label.setStyleSheet(helper_label_sheet(error=True, standard=True))
        label.ensurePolished()
        assert label.palette().color(QPalette.WindowText) == QColor(LIGHT_PALETTE["error"]["main"])
        assert label.contentsMargins().left() == 2

    def test_style_functions_follow_the_mode(self):
        helper = useTheme().components["KelInput"]["styles"]["helperLabel"]
        light = helper({"color": "primary"})["slots"]["error"]["color"]
        set_theme_mode("dark")
        assert helper({"color": "primary"})["slots"]["error"]["color"] == DARK_PALETTE["error"]["main"] != light

    @pytest.mark.parametrize("mode", ["light", "dark"])
    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    def test_every_slot_gives_sheets_qt_accepts(self, qtbot, qtlog, mode, variant):
        set_theme_mode(mode)
        components = useTheme().components
        w = QWidget()
        qtbot.addWidget(w)
        for key in ("KelInput", "KelSelect"):
            for slot, function in components[key].get("styles").items():
                style = function({"color": "secondary", "variant": variant, "size": "small"})
                blocks = [style, *style.get("slots", {}).values(), *style.get("props", {}).values()]
                for block in blocks:
                    w.setStyleSheet(f"QWidget {{ {get_qss_style(block)} }}")
                    w.ensurePolished()
        assert not [r for r in qtlog.records if "parse" in r.message.lower()]

    def test_select_entry_covers_variants_and_sizes(self):
        styles = useTheme().components["KelSelect"]["styles"]
        for slot in ("root", "inputField", "title"):
            props = styles[slot]({"color": None})["props"]
            assert {"outlined", "filled", "standard", "small", "medium"} <= props.keys()


def _colours(palette):
    for value in palette.values():
        if isinstance(value, dict):
            yield from _colours(value)
        elif isinstance(value, str) and value.startswith("#"):
            yield value
