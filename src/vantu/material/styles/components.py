"""Style functions of the input family ("KelInput") and of the select field ("KelSelect").

Every entry of ``theme.components`` is ``{"styles": {slot: function}}``. A
style function takes ``ownState``, a dict describing the widget, and returns
a style mapping for ``get_qss_style``:

- plain keys are the declarations for the slot's base rule;
- ``"slots"`` maps a widget state to extra declarations for that state
  ("hover", "focus", "error", "disabled", ...);
- ``"props"`` maps a variant ("outlined", "filled", "standard") or a size
  ("small", "medium") to extra declarations.

``ownState`` keys (all optional; missing ones take the default):

- ``"color"``: a palette colour name ("primary", "secondary", "error",
  "info", "success", "warning"), any QSS colour ("#RRGGBB", "red"), or
  ``None`` for primary;
- ``"variant"``: "outlined" (default), "filled" or "standard";
- ``"size"``: "medium" (default) or "small".

The functions read the theme when called, so a mode switch needs no rebuild.
"""
from __future__ import annotations

from collections.abc import Callable
from typing import TYPE_CHECKING, Any

if TYPE_CHECKING:
    from vantu.material.styles.theme import Theme

__all__ = ["build_components"]

StyleFunction = Callable[[dict], dict]

# Where the entry box's label sits over its field, from the input's top-left corner: the
# same places the select field gives its title, so the two line up side by side. The frame
# starts ``LABEL_STRIP`` pixels down; an outlined label straddles its top border.
LABEL_STRIP = 8
LABEL_PLACES: dict[str, dict[str, int]] = {
    "outlined": {"left": 10, "top": 0, "smallTop": 0},
    "filled": {"left": 12, "top": 14, "smallTop": 10},
    "standard": {"left": 0, "top": 0, "smallTop": 0},
}


def _frame_padding(variant: str, small: bool) -> tuple[int, int, int, int]:
    """Padding (top, right, bottom, left) of the field's frame, the select field's own: the value
    sits mid-box when outlined, under the label when filled, over the underline when standard.
    An outlined frame keeps a pixel inside its 1-pixel outline for the focus ring's second one."""
    if variant == "filled":
        return (15, 0, 1, 12) if small else (21, 0, 4, 12)
    if variant == "standard":
        return (10, 0, 1, 0) if small else (16, 0, 6, 0)
    return (1, 1, 1, 14)


def _thicker(variant: str, padding: tuple[int, int, int, int]) -> tuple[int, int, int, int]:
    """The frame's padding under its 2-pixel focus line: a pixel less where the line is thicker,
    so neither the box nor what it holds moves when the field takes focus."""
    top, right, bottom, left = padding
    if variant == "outlined":
        return (top - 1, right - 1, bottom - 1, left - 1)
    return (top, right, bottom - 1, left)


def _variant_boxes(p: dict[str, Any], radius: Any, padding: Any) -> dict[str, dict[str, Any]]:
    """The box of each variant, shared by the text field and the select field."""
    line = f"1px solid {p['outline']}"
    return {
        "outlined": {"border": line, "borderRadius": radius, "padding": padding},
        "filled": {
            "backgroundColor": p["filled"]["background"],
            "border": "none",
            "borderBottom": line,
            "borderTopLeftRadius": radius,
            "borderTopRightRadius": radius,
            "borderBottomLeftRadius": 0,
            "borderBottomRightRadius": 0,
            "padding": padding,
        },
        "standard": {"border": "none", "borderBottom": line, "borderRadius": 0, "padding": padding},
    }


def _input_styles(theme: Theme) -> dict[str, StyleFunction]:
    """Slots of "KelInput": "root", "inputField", "label", "helperLabel", "actionButton", "tag".

    The field looks like the select field: the same frame, padding and fonts, the label placed
    as ``LABEL_PLACES`` says (its "left" and "top" are read by the input, not by Qt); the
    frame's height is set by the input itself (56 px, 40 px small).
    """

    def root(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        color = theme.resolve_color(ownState.get("color"))
        variant = ownState.get("variant") or "outlined"
        padding = _frame_padding(variant, ownState.get("size") == "small")
        radius = theme.shape["borderRadius"]
        if variant == "outlined":
            focus = {"border": f"2px solid {color}", "padding": _thicker(variant, padding)}
        else:
            focus = {"borderBottom": f"2px solid {color}", "padding": _thicker(variant, padding)}
        hover = {"borderColor": p["text"]["primary"]}
        if variant == "filled":
            hover["backgroundColor"] = p["filled"]["hover"]
        # Only the colour: a focused field in error keeps the focus ring's width.
        error = {"borderColor": p["error"]["main"]}
        return {
            "backgroundColor": "transparent",
            "borderRadius": radius,
            "slots": {
                "hover": hover,
                "focus": focus,
                "error": error,
                "disabled": {"borderColor": p["action"]["disabled"]},
            },
            "props": {
                **_variant_boxes(p, radius, padding),
                "small": {},
                "medium": {},
            },
        }

    def inputField(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        color = theme.resolve_color(ownState.get("color"))
        body1 = theme.typography["body1"]
        return {
            "color": p["text"]["primary"],
            "backgroundColor": "transparent",
            "border": "none",
            "fontSize": body1["fontSize"],
            "padding": 0,
            "selectionBackgroundColor": color,
            "selectionColor": theme.contrast_text(ownState.get("color")),
            # Without it Qt draws the placeholder (the label, while the field is empty) in the
            # text colour at half strength: below AA contrast in both themes.
            "placeholderTextColor": p["text"]["secondary"],
            "slots": {
                "placeholder": {"color": p["text"]["secondary"]},
                "disabled": {"color": p["text"]["disabled"], "placeholderTextColor": p["text"]["disabled"]},
            },
            "props": {
                # The frame's padding sets the left edge; the right one keeps typed text off the border.
                "outlined": {"paddingRight": 14},
                "filled": {"paddingRight": 12},
                "standard": {"paddingRight": 0},
                "small": {"fontSize": theme.typography["body2"]["fontSize"], "minHeight": 20},
                "medium": {"fontSize": body1["fontSize"], "minHeight": 24},
            },
        }

    def label(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        small = ownState.get("size") == "small"
        places = {
            variant: {"left": place["left"], "top": place["smallTop" if small else "top"]}
            for variant, place in LABEL_PLACES.items()
        }
        return {
            "color": p["text"]["secondary"],
            "fontSize": theme.typography["caption"]["fontSize"],
            "padding": 0,
            "backgroundColor": "transparent",
            "slots": {
                "focus": {"color": theme.resolve_color(ownState.get("color"))},
                "error": {"color": p["error"]["main"]},
                "disabled": {"color": p["text"]["disabled"]},
            },
            "props": {
                # The outlined label sits in a notch of the outline: the input leaves the line
                # out behind it, so the label needs no background and suits any surface.
                "outlined": dict(places["outlined"], padding=(0, 6)),
                "filled": dict(places["filled"], paddingLeft=2),
                "standard": dict(places["standard"], paddingLeft=2),
                "small": {},
                "medium": {},
            },
        }

    def helperLabel(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        return {
            "color": p["text"]["secondary"],
            "fontSize": theme.typography["caption"]["fontSize"],
            "fontWeight": theme.typography["caption"]["fontWeight"],
            # Material supporting text: 4 px under the field, 16 px in from its start edge
            # (under the label's first letter; the value starts 1 to 2 px further in), in body
            # small. Style-sheet margins mirror in a right-to-left layout.
            "marginTop": 4,
            "marginLeft": 16,
            "marginRight": 14,
            "padding": 0,
            "backgroundColor": "transparent",
            "slots": {
                # Not applied by the entry box: its helper text keeps the
                # neutral colour unless the field is in error.
                "color": {"color": theme.resolve_color(ownState.get("color"))},
                "error": {"color": p["error"]["main"]},
                "disabled": {"color": p["text"]["disabled"]},
            },
            "props": {
                "outlined": {},
                "filled": {},
                "standard": {"marginLeft": 2, "marginRight": 0},
            },
        }

    def actionButton(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        return {
            "backgroundColor": "transparent",
            "border": "none",
            "borderRadius": 12,
            "padding": 0,
            "slots": {
                "hover": {"backgroundColor": p["action"]["hover"]},
                "pressed": {"backgroundColor": p["action"]["focus"]},
            },
        }

    def tag(ownState: dict) -> dict[str, Any]:
        """A Material input chip: outlined in the outline-variant colour with 8 px corners, its
        label in label large (14 px, medium weight) in the on-surface-variant colour. Its height
        (32 px) and its 18 px delete icon, drawn in the theme's icon colour, are the chip's own."""
        p = theme.palette
        label_large = theme.typography["button"]
        return {
            "color": p["text"]["secondary"],
            "fontSize": label_large["fontSize"],
            "fontWeight": label_large["fontWeight"],
            "backgroundColor": "transparent",
            "border": f"1px solid {p['divider']}",
            "borderRadius": 8,
            # 12 px before the label and 8 after the icon, the outline included.
            "padding": (0, 7, 0, 11),
            "slots": {
                "hover": {"backgroundColor": p["action"]["hover"]},
                "disabled": {"color": p["text"]["disabled"], "borderColor": p["action"]["disabledBackground"]},
                "delete": {"backgroundColor": "transparent"},
                "deleteHover": {"backgroundColor": p["action"]["hover"]},
            },
        }

    return {
        "root": root,
        "inputField": inputField,
        "label": label,
        "helperLabel": helperLabel,
        "actionButton": actionButton,
        "tag": tag,
    }


def _select_styles(theme: Theme) -> dict[str, StyleFunction]:
    """Slots of "KelSelect": "root", "inputField", "title", "actionButton", "popup", "option", "tag".

    - "root": the field frame (a QGroupBox); slots "hover", "focus" (the field's input has
      keyboard focus or its popup is open), "focusError", "titled" and "titledFocus" (the
      label is shown as title: the filled variant moves its value down under it), "error",
      "disabled", "filled" (has a value); props per variant and size.
    - "inputField": the read-only input showing the value; slots
      "placeholder", "disabled", "error"; props per variant and size.
    - "title": the floating label (the group box title sub-control); slots
      "focus", "error", "disabled"; props per variant and size.
    - "actionButton": the clear and arrow buttons; slots "hover", "pressed".
    - "popup": the option list's window; "option": one row of it, slots
      "hover", "selected", "disabled"; "tag": a chosen option shown as a chip,
      slots "hover".
    """

    def root(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        color = theme.resolve_color(ownState.get("color"))
        variant = ownState.get("variant") or "outlined"
        radius = theme.shape["borderRadius"]
        error_color = p["error"]["main"]
        # Material heights: the box (below the 8-pixel strip the outlined label straddles) is
        # 56 pixels, 40 when small. QSS min-height counts the content only, so the padding and
        # borders of each variant come off. The buttons sit in the right end padding, which the
        # input keeps free (see the "inputField" rule of the field's sheet).
        # Paddings are (top, right, bottom, left). A focused field's border is 2 pixels: its
        # padding gives up the extra pixel, so neither the box nor its content moves.
        small = ownState.get("size") == "small"
        box = 40 if small else 56
        if variant == "filled":
            # With its label shown the value sits low, under it; without, the placeholder is
            # centred in the box.
            titled, untitled = ((15, 0, 1, 12), (9, 0, 7, 12)) if small else ((21, 0, 4, 12), (13, 0, 12, 12))
            borders = 1
        elif variant == "standard":
            titled = untitled = (10, 0, 1, 0) if small else (16, 0, 6, 0)
            borders = 1
        else:
            titled = untitled = (1, 1, 1, 14)
            borders = 2

        def thicker(padding: tuple[int, int, int, int]) -> tuple[int, int, int, int]:
            top, right, bottom, left = padding
            if variant == "outlined":
                return (top - 1, right - 1, bottom - 1, left - 1)
            return (top, right, bottom - 1, left)

        if variant == "outlined":
            focus = {"border": f"2px solid {color}"}
            focus_error = {"border": f"2px solid {error_color}"}
            error = {"border": f"1px solid {error_color}"}
            hover = {"border": f"1px solid {p['text']['primary']}"}
        else:
            focus = {"borderBottom": f"2px solid {color}"}
            focus_error = {"borderBottom": f"2px solid {error_color}"}
            error = {"borderBottom": f"1px solid {error_color}"}
            hover = {"borderBottom": f"1px solid {p['text']['primary']}"}
            if variant == "filled":
                hover["backgroundColor"] = p["filled"]["hover"]
        content = {"minHeight": box - borders - untitled[0] - untitled[2]}
        return {
            "backgroundColor": "transparent",
            "color": p["text"]["primary"],
            # The group box draws its title in its own font (a title rule cannot size it): the
            # field's font is the label's caption size, the input sets the body size for the value.
            "fontSize": theme.typography["caption"]["fontSize"],
            "borderRadius": radius,
            "marginTop": 8,
            "slots": {
                "hover": hover,
                # Focus and its paddings, without and with the label shown as title.
                "focus": dict(focus, padding=thicker(untitled)),
                "focusError": focus_error,
                "titled": {"padding": titled} if titled != untitled else {},
                "titledFocus": {"padding": thicker(titled)} if titled != untitled else {},
                "error": error,
                "disabled": {"borderColor": p["action"]["disabled"], "color": p["text"]["disabled"]},
                "filled": {},
            },
            "props": {
                **_variant_boxes(p, radius, untitled),
                "small": content,
                "medium": content,
            },
        }

    def inputField(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        body1 = theme.typography["body1"]
        return {
            "color": p["text"]["primary"],
            "backgroundColor": "transparent",
            "border": "none",
            "padding": 0,
            "fontSize": body1["fontSize"],
            "selectionBackgroundColor": "transparent",
            "selectionColor": p["text"]["primary"],
            # Qt's own placeholder colour is the text colour at half strength: too faint for AA.
            "placeholderTextColor": p["text"]["secondary"],
            "slots": {
                "placeholder": {"color": p["text"]["secondary"]},
                "disabled": {"color": p["text"]["disabled"], "placeholderTextColor": p["text"]["disabled"]},
                "error": {"color": p["text"]["primary"]},
            },
            "props": {
                "outlined": {},
                "filled": {},
                "standard": {},
                "small": {"fontSize": theme.typography["body2"]["fontSize"], "minHeight": 20},
                "medium": {"fontSize": body1["fontSize"], "minHeight": 24},
            },
        }

    def title(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        caption = theme.typography["caption"]
        return {
            "color": p["text"]["secondary"],
            "fontSize": caption["fontSize"],
            "subcontrolOrigin": "margin",
            "subcontrolPosition": "top left",
            "padding": (0, 4),
            "left": 10,
            "slots": {
                "focus": {"color": theme.resolve_color(ownState.get("color"))},
                "error": {"color": p["error"]["main"]},
                "disabled": {"color": p["text"]["disabled"]},
            },
            "props": {
                # The label notches the outline: painted in the colour of the surface the field
                # stands on, it hides the line behind it.
                "outlined": {"left": 10, "padding": (0, 4), "backgroundColor": p["background"]["default"]},
                "filled": {"left": 12, "padding": 0, "top": 14 if ownState.get("size") != "small" else 10},
                "standard": {"left": 0, "padding": 0},
                "small": {"fontSize": caption["fontSize"]},
                "medium": {"fontSize": caption["fontSize"]},
            },
        }

    def actionButton(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        return {
            # No padding or minimum size: the buttons have fixed sizes, which these would outgrow.
            "backgroundColor": "transparent",
            "border": "none",
            "borderRadius": 10,
            "padding": 0,
            "margin": 0,
            "color": p["action"]["active"],
            "slots": {
                "hover": {"backgroundColor": p["action"]["hover"]},
                "pressed": {"backgroundColor": p["action"]["focus"]},
            },
            "props": {},
        }

    def popup(ownState: dict) -> dict[str, Any]:
        p = theme.palette
        return {
            "backgroundColor": p["background"]["paper"],
            "border": f"1px solid {p['divider']}",
            "borderRadius": theme.shape["borderRadius"],
            "padding": (8, 0),
        }

    def option(ownState: dict) -> dict[str, Any]:
        """A row of the option list: a Material 3 menu item, 48 px high with 12 px side padding
        and its label in "label large"."""
        p = theme.palette
        label = theme.typography["labelLarge"]
        return {
            "color": p["text"]["primary"],
            "backgroundColor": "transparent",
            "fontSize": label["fontSize"],
            "fontWeight": label["fontWeight"],
            "padding": (0, 12),
            "minHeight": 48,
            "slots": {
                "hover": {"backgroundColor": p["action"]["hover"]},
                "selected": {"backgroundColor": p["action"]["selected"]},
                "disabled": {"color": p["text"]["disabled"]},
            },
            "props": {"small": {"fontSize": theme.typography["body2"]["fontSize"], "minHeight": 40}},
        }

    def tag(ownState: dict) -> dict[str, Any]:
        """A chosen option as a Material 3 input chip: outlined, 32 px high with 8 px corners, the
        label in "label large" 12 px from the start, an 18 px delete icon 8 px from the end and
        8 px from the label. "small" is a denser 24 px chip for small fields."""
        p = theme.palette
        label = theme.typography["labelLarge"]
        return {
            "color": p["text"]["secondary"],
            "backgroundColor": "transparent",
            "border": f"1px solid {p['divider']}",
            "borderRadius": 8,
            "height": 32,
            "paddingLeft": 12,
            "paddingRight": 8,
            "spacing": 8,
            "iconSize": 18,
            "fontSize": label["fontSize"],
            "fontWeight": label["fontWeight"],
            "slots": {
                "hover": {"backgroundColor": p["action"]["hover"]},
                "delete": {"color": p["text"]["secondary"]},
                "deleteHover": {"backgroundColor": p["action"]["hover"]},
                "deleteFocus": {"backgroundColor": p["action"]["focus"]},
            },
            "props": {
                "small": {"height": 24, "borderRadius": 8, "paddingLeft": 8, "paddingRight": 4, "spacing": 4,
                          "iconSize": 16, "fontSize": 12},
                "medium": {},
            },
        }

    return {
        "root": root,
        "inputField": inputField,
        "title": title,
        "actionButton": actionButton,
        "popup": popup,
        "option": option,
        "tag": tag,
    }


def build_components(theme: Theme) -> dict[str, dict[str, Any]]:
    """Return the theme's ``components`` mapping: key -> ``{"styles": {slot: function}}``."""
    return {
        "KelInput": {"styles": _input_styles(theme)},
        "KelSelect": {"styles": _select_styles(theme)},
    }
