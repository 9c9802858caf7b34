"""Material 3 baseline colours, typography and shape, as plain mappings.

Colours are "#RRGGBB", or "#AARRGGBB" when translucent: the form that both
QColor and Qt style sheets read.
"""
from __future__ import annotations

from typing import Any

__all__ = ["LIGHT_PALETTE", "DARK_PALETTE", "PALETTES", "TYPOGRAPHY", "SHAPE", "COLOR_NAMES"]

COLOR_NAMES: tuple[str, ...] = ("primary", "secondary", "error", "info", "success", "warning")
"""Palette entries that carry main/light/dark/contrastText and that a component's ``color`` may name."""

_COMMON = {"black": "#000000", "white": "#FFFFFF"}
_GREY = {
    "50": "#FAFAFA", "100": "#F5F5F5", "200": "#EEEEEE", "300": "#E0E0E0", "400": "#BDBDBD",
    "500": "#9E9E9E", "600": "#757575", "700": "#616161", "800": "#424242", "900": "#212121",
}

LIGHT_PALETTE: dict[str, Any] = {
    "mode": "light",
    "primary": {"main": "#6750A4", "light": "#7F67BE", "dark": "#4F378B", "contrastText": "#FFFFFF"},
    "secondary": {"main": "#625B71", "light": "#7A7289", "dark": "#4A4458", "contrastText": "#FFFFFF"},
    "error": {"main": "#B3261E", "light": "#DC362E", "dark": "#8C1D18", "contrastText": "#FFFFFF"},
    "info": {"main": "#0061A4", "light": "#3D8FD1", "dark": "#00497D", "contrastText": "#FFFFFF"},
    "success": {"main": "#386A20", "light": "#5A8F3E", "dark": "#275012", "contrastText": "#FFFFFF"},
    "warning": {"main": "#7D5700", "light": "#A47400", "dark": "#5F4100", "contrastText": "#FFFFFF"},
    "background": {"default": "#FEF7FF", "paper": "#FFFFFF"},
    "text": {"primary": "#1D1B20", "secondary": "#49454F", "disabled": "#611D1B20"},
    "divider": "#CAC4D0",
    "outline": "#79747E",
    "action": {
        "active": "#8A1D1B20",
        "hover": "#141D1B20",
        "selected": "#1F6750A4",
        "focus": "#1F1D1B20",
        "disabled": "#611D1B20",
        "disabledBackground": "#1F1D1B20",
    },
    "filled": {"background": "#E6E0E9", "hover": "#DED8E1"},
    "tooltip": {"background": "#322F35", "text": "#F5EFF7"},
    "common": _COMMON,
    "grey": _GREY,
}
"""Light colours (Material 3 baseline, purple primary)."""

DARK_PALETTE: dict[str, Any] = {
    "mode": "dark",
    "primary": {"main": "#D0BCFF", "light": "#EADDFF", "dark": "#9A82DB", "contrastText": "#381E72"},
    "secondary": {"main": "#CCC2DC", "light": "#E8DEF8", "dark": "#958DA5", "contrastText": "#332D41"},
    "error": {"main": "#F2B8B5", "light": "#F9DEDC", "dark": "#E46962", "contrastText": "#601410"},
    "info": {"main": "#9ECAFF", "light": "#D1E4FF", "dark": "#5FA3E5", "contrastText": "#003258"},
    "success": {"main": "#9CD67D", "light": "#B8F397", "dark": "#6FA052", "contrastText": "#0C3900"},
    "warning": {"main": "#F8BD49", "light": "#FFDEA8", "dark": "#C6922F", "contrastText": "#422C00"},
    "background": {"default": "#141218", "paper": "#1D1B20"},
    "text": {"primary": "#E6E0E9", "secondary": "#CAC4D0", "disabled": "#61E6E0E9"},
    "divider": "#49454F",
    "outline": "#938F99",
    "action": {
        "active": "#8AE6E0E9",
        "hover": "#14E6E0E9",
        "selected": "#1FD0BCFF",
        "focus": "#1FE6E0E9",
        "disabled": "#61E6E0E9",
        "disabledBackground": "#1FE6E0E9",
    },
    "filled": {"background": "#36343B", "hover": "#3D3A42"},
    "tooltip": {"background": "#E6E0E9", "text": "#322F35"},
    "common": _COMMON,
    "grey": _GREY,
}
"""Dark colours (Material 3 baseline, purple primary)."""

PALETTES: dict[str, dict[str, Any]] = {"light": LIGHT_PALETTE, "dark": DARK_PALETTE}

TYPOGRAPHY: dict[str, Any] = {
    "fontFamily": "Roboto",
    "fontSize": 14,
    "htmlFontSize": 16,
    "fontWeightLight": 300,
    "fontWeightRegular": 400,
    "fontWeightMedium": 500,
    "fontWeightBold": 700,
    "h6": {"fontSize": 20, "fontWeight": 500},
    "subtitle1": {"fontSize": 16, "fontWeight": 400},
    "subtitle2": {"fontSize": 14, "fontWeight": 500},
    "body1": {"fontSize": 16, "fontWeight": 400},
    "body2": {"fontSize": 14, "fontWeight": 400},
    "button": {"fontSize": 14, "fontWeight": 500},
    "caption": {"fontSize": 12, "fontWeight": 400},
    # Material 3 "label large": chips and menu items.
    "labelLarge": {"fontSize": 14, "fontWeight": 500},
    "overline": {"fontSize": 12, "fontWeight": 400},
}
"""Font family and the type scale (sizes in px)."""

SHAPE: dict[str, int] = {"borderRadius": 4}
