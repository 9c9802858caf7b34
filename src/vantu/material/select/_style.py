"""``SelectStyleMixin``: the select field's style sheet, built from the theme's "KelSelect" styles."""
from __future__ import annotations

import re
from typing import Any

from PySide6.QtCore import QEvent, Qt, QTimer
from PySide6.QtGui import QIcon, QRegion
from PySide6.QtWidgets import QApplication, QSizePolicy

from vantu.hooks import State
from vantu.material.select._decor import decorate
from vantu.material.styles import get_qss_style, useTheme

__all__ = ["SelectStyleMixin", "DYNAMIC_PROPERTIES", "themed_icon"]


def themed_icon(icon: object) -> QIcon:
    """``QIcon(icon)``. The library's icons (``VANTU_ASSETS.ICONS``) follow the theme by
    themselves; this stays for callers written when they did not."""
    return QIcon(icon)


DYNAMIC_PROPERTIES: tuple[str, ...] = (
    "error", "hovered", "multipleHasValue", "filledHasValue", "hasStartAdornment", "focused", "hasTitle",
)
"""Dynamic properties of the field that its style sheet selects on. "focused": the field's input
has keyboard focus (a click on the input or the arrow focuses it, and it keeps focus while the
list is open); "hasTitle": the label is shown as the frame's title. Both are kept by
``style_sync_state``, which the input's focus changes and the title changes call."""

# The dynamic properties the sheet's rules select on.
_SELECTED = tuple(name for name in DYNAMIC_PROPERTIES if name != "hovered")

# Sheets differ between fields only by the object name: build each one once per theme and look.
_NAME = "\x00name\x00"
# Where the hover rule also selects the field itself, when a hover is forced on it.
_FORCED_HOVER = "\x00hover\x00"
_TEMPLATES: dict[tuple, str] = {}
_LOOKS: dict[tuple, dict[str, Any]] = {}

_PX = re.compile(r"^\s*(\d+)(px)?\s*$")
# Size entries of ``sx`` that Qt style sheets do not understand as CSS does.
_SIZE_KEYS = ("width", "minWidth", "maxWidth", "height")


def _mirrored(style: Any) -> Any:
    """``style`` read right to left: left and right paddings trade places (nested slots too). A
    group box keeps its padding where the sheet says in either direction, while its layout and
    title follow the reading direction."""
    if not isinstance(style, dict):
        return style
    out = {}
    for key, value in style.items():
        if key == "padding" and isinstance(value, (tuple, list)) and len(value) == 4:
            top, right, bottom, left = value
            value = (top, left, bottom, right)
        elif key in ("paddingLeft", "paddingRight"):
            key = "paddingRight" if key == "paddingLeft" else "paddingLeft"
        elif isinstance(value, dict):
            value = _mirrored(value)
        out[key] = value
    return out


def _px(value: Any) -> int | None:
    if isinstance(value, bool):
        return None
    if isinstance(value, int):
        return value
    if isinstance(value, str):
        match = _PX.match(value)
        if match:
            return int(match.group(1))
    return None


class SelectStyleMixin:
    """Computes and applies the select field's style sheet; needs ``objectName`` and the
    configuration attributes ``_variant``, ``_size``, ``_color``, ``_sx``."""

    def __init__(self, **_ignored: Any) -> None:
        pass

    def _plain_error(self) -> bool:
        """True for an error given as a plain true value (a ``State`` works through the property)."""
        error = getattr(self, "_error", False)
        return not isinstance(error, State) and bool(error)

    def _style_own_state(self) -> dict[str, Any]:
        return {
            "variant": getattr(self, "_variant", "outlined"),
            "size": getattr(self, "_size", "medium"),
            "color": getattr(self, "_color", None),
            "multiple": bool(getattr(self, "_multiple", False)),
            "tags": bool(getattr(self, "_multiple", False)) and bool(getattr(self, "_renderTags", None)),
            "rtl": self.layoutDirection() == Qt.LayoutDirection.RightToLeft,
        }

    def _style_rule(self, fn: Any, own: dict[str, Any], mirror: bool = False,
                    content: dict[str, Any] | None = None) -> tuple[str, dict[str, Any], str]:
        style = fn(own)
        if mirror and own["rtl"]:
            style = _mirrored(style)
        props = style.get("props", {})
        if content is not None:
            # The box's content height, taken out for the caller to place elsewhere.
            size_props = dict(props.get(own["size"]) or {})
            content["minHeight"] = size_props.pop("minHeight", None)
            props = {**props, own["size"]: size_props}
            style = {**style, "props": props}
        base = get_qss_style(style)
        base += " " + get_qss_style(props.get(own["variant"]))
        base += " " + get_qss_style(props.get(own["size"]))
        return base.strip(), style.get("slots", {}), own["variant"]

    def style_sheet_text(self) -> str:
        """The style sheet for the field in the current theme and state (not applied)."""
        theme = useTheme()
        own = self._style_own_state()
        sx = getattr(self, "_sx", None) or {}
        try:
            key = (theme.mode, own["variant"], own["size"], own["color"], own["multiple"], own["tags"], own["rtl"],
                   self._plain_error(), tuple(sorted(sx.items())))
            hash(key)
        except TypeError:
            key = None
        template = _TEMPLATES.get(key) if key is not None else None
        if template is None:
            template = self._style_template(theme, own, sx)
            if key is not None:
                if len(_TEMPLATES) > 256:
                    _TEMPLATES.clear()
                _TEMPLATES[key] = template
        forced = f', #{_NAME}[hovered="true"]' if self._style_hover_forced() else ""
        return template.replace(_FORCED_HOVER, forced).replace(_NAME, self.objectName())

    def _style_hover_forced(self) -> bool:
        """A "hovered" property set while the pointer is elsewhere (by ``_set_hovered_prop``)
        shows as a hover: the sheet's hover rule then also selects on the property."""
        return self.property("hovered") is True and not self.underMouse()

    def _style_template(self, theme: Any, own: dict[str, Any], sx_in: dict[str, Any]) -> str:
        styles = theme.components["KelSelect"]["styles"]
        # The sheet is set on the field itself, so its rules reach only the field's own widgets:
        # inner parts need no field prefix, and plain id selectors spare Qt the class-name
        # checks it would run for every rule and widget.
        me = f"#{_NAME}"
        # Rows of tags grow the field: its tag input, not the frame, then holds the box's content
        # height as a minimum (a minimum on the frame would hold the field at one row).
        content: dict[str, Any] | None = {} if own["tags"] else None
        root, root_slots, variant = self._style_rule(styles["root"], own, mirror=True, content=content)
        sx = dict(sx_in)
        for key in _SIZE_KEYS:
            sx.pop(key, None)
        root = (root + " " + get_qss_style(sx)).strip()
        title, _title_slots, _ = self._style_rule(styles["title"], own)
        field, field_slots, _ = self._style_rule(styles["inputField"], own)
        button, button_slots, _ = self._style_rule(styles["actionButton"], own)
        if self._plain_error():
            # A plain error flag has no property to select on: the sheet itself carries it.
            root = (root + " " + get_qss_style(root_slots.get("error"))).strip()
        focus = get_qss_style(root_slots.get("focus"))
        focus_error = get_qss_style(root_slots.get("focusError"))
        if self._plain_error():
            # Focused, a field in error keeps the error colour in its thicker border.
            focus = (focus + " " + focus_error).strip()
        error_colour = useTheme().palette["error"]["main"]
        placeholder_error = f"placeholder-text-color: {error_colour};"
        disabled_placeholder = get_qss_style({"placeholderTextColor": field_slots.get("disabled", {}).get(
            "placeholderTextColor")})
        rules = [
            f"{me} {{{root}}}",
            f"{me}[hasTitle=\"true\"] {{{get_qss_style(root_slots.get('titled'))}}}",
            # The pointer's own hover is a pseudo-state: Qt follows it with no restyle. A hover
            # given by the application (``_set_hovered_prop``) away from the pointer is written
            # into the sheet instead (see ``style_sheet_text``).
            f"{me}:hover{_FORCED_HOVER} {{{get_qss_style(root_slots.get('hover'))}}}",
            f"{me}:focus, {me}[focused=\"true\"] {{{focus}}}",
            f"{me}[focused=\"true\"][hasTitle=\"true\"] {{{get_qss_style(root_slots.get('titledFocus'))}}}",
            f"{me}[filledHasValue=\"true\"] {{{get_qss_style(root_slots.get('filled'))}}}",
            f"{me}[multipleHasValue=\"true\"] {{{get_qss_style(root_slots.get('filled'))}}}",
            f"{me}[error=\"true\"] {{{get_qss_style(root_slots.get('error'))}}}",
            f"{me}[error=\"true\"][focused=\"true\"] {{{focus_error}}}",
            f"{me}:disabled {{{get_qss_style(root_slots.get('disabled'))}}}",
            # The title keeps its place and size here; its text, in the colour of the field's
            # state and elided to the field, is drawn by the field's decor (see ``_decor``).
            f"{me}::title {{{title} color: transparent; background-color: transparent;}}",
            f"{me}[hasStartAdornment=\"true\"] #inputField {{padding-left: 28px;}}",
            f"#inputField {{{field}{' ' + placeholder_error if self._plain_error() else ''}}}",
            *([f"QPlainTextEdit#inputField {{{get_qss_style({'minHeight': content['minHeight']})}}}"]
              if content and content.get("minHeight") is not None else []),
            # The label resting in an empty field is the placeholder: in error, the error colour.
            f"{me}[error=\"true\"] #inputField {{{placeholder_error}}}",
            f"{me}[error=\"true\"] #inputField:disabled {{{disabled_placeholder}}}",
            # A line of text stops before the buttons; tags keep their own right margin for them.
            f"QLineEdit#inputField {{padding-right: {self._style_text_end(own)}px;}}",
            # Qt ignores pseudo-states on ancestors: the input is disabled with the field anyway.
            f"#inputField:disabled {{{get_qss_style(field_slots.get('disabled'))}}}",
            f"#actionframe {{background: transparent; border: none;}}",
            f"#actionframe QPushButton {{{button}}}",
            f"#actionframe QPushButton:hover {{{get_qss_style(button_slots.get('hover'))}}}",
            f"#actionframe QPushButton:pressed {{{get_qss_style(button_slots.get('pressed'))}}}",
            # The frame is flush with the field's end edge; of a single select's 24-pixel arrow
            # button only its first 20 pixels show. The margins draw each button as a 16-pixel
            # circle, the arrow's centred 10 pixels from the edge in both modes, clear of the border.
            # (Qt mirrors a button's margins right to left; the layout keeps the button at the
            # frame's left, so one setting serves both modes there.)
            f"#actionframe QPushButton {{margin: 4px {self._style_button_margins(own)};"
            f" border-radius: 8px;}}",
        ]
        # Only the filled variant lays its value out differently under a title.
        rules = [rule for rule in rules if "hasTitle" not in rule or not rule.endswith("{}")]
        return "\n".join(rules)

    def style_decor_looks(self, state: dict[str, bool]) -> dict[str, Any]:
        """What the decor draws for the field in ``state`` (keys "disabled", "error",
        "focused"): "titleColor", "titlePadding" and "titleInset" (pixels), and "notched" (the
        outline has a gap behind the title). Read from the same "KelSelect" styles as the sheet,
        with the same precedence as its rules."""
        theme = useTheme()
        own = self._style_own_state()
        plain_error = self._plain_error()
        key = (theme.mode, own["variant"], own["size"], own["color"], plain_error, tuple(sorted(state.items())))
        looks = _LOOKS.get(key)
        if looks is not None:
            return looks
        title = theme.components["KelSelect"]["styles"]["title"](own)
        variant = own["variant"]
        slots = title.get("slots", {})
        props = title.get("props", {}).get(variant, {})
        colour = title.get("color")
        if state["focused"] and not plain_error:
            colour = slots.get("focus", {}).get("color", colour)
        if state["error"] or plain_error:
            colour = slots.get("error", {}).get("color", colour)
        if state["disabled"]:
            colour = slots.get("disabled", {}).get("color", colour)
        padding = props.get("padding", title.get("padding", 0))
        if isinstance(padding, (tuple, list)):
            padding = padding[-1]
        looks = {
            "titleColor": colour,
            "titlePadding": int(padding),
            "titleInset": int(props.get("left", title.get("left", 0))),
            "notched": variant == "outlined",
        }
        if len(_LOOKS) > 512:
            _LOOKS.clear()
        _LOOKS[key] = looks
        return looks

    @staticmethod
    def _style_button_margins(own: dict[str, Any]) -> str:
        """Right, bottom and left margins of the action buttons."""
        if own["multiple"] or own["rtl"]:
            return "2px 4px 6px"
        return "6px 4px 2px"

    @staticmethod
    def _style_text_end(own: dict[str, Any]) -> int:
        """Room the input leaves at its right end, so a long text stops before the arrow. A single
        select's arrow is drawn 14 pixels from the field's edge at most; the text keeps 6 more
        (less the border and padding right of the input). A multiple select's text is elided to
        the input's width less 62 pixels: its room is the rest of that (the line edit keeps 2
        pixels of margin on each side), which the clear button, shown on hover only, barely touches."""
        if own["multiple"]:
            return 62 - 4
        edge = 2 if own["variant"] == "outlined" else 0  # border and padding right of the input
        return 20 - edge

    def _apply_sx_sizes(self) -> None:
        sx = getattr(self, "_sx", None) or {}
        width = sx.get("width")
        if width == "100%":
            policy = self.sizePolicy()
            policy.setHorizontalPolicy(QSizePolicy.Policy.Expanding)
            self.setSizePolicy(policy)
        elif _px(width) is not None:
            self.setFixedWidth(_px(width))
        if _px(sx.get("minWidth")) is not None:
            self.setMinimumWidth(_px(sx["minWidth"]))
        if _px(sx.get("maxWidth")) is not None:
            self.setMaximumWidth(_px(sx["maxWidth"]))
        if _px(sx.get("height")) is not None:
            self.setFixedHeight(_px(sx["height"]))

    def style_set_stylesheet(self) -> None:
        """Compute the style sheet from the theme and the field's state and apply it."""
        if getattr(self, "_sx", None):
            self._apply_sx_sizes()
        text = self.style_sheet_text()
        self._style_forced_hover = self._style_hover_forced()
        if text != self.styleSheet():  # re-applying the same sheet would re-polish every child
            self.setStyleSheet(text)
            self._style_baked = self._style_selected()  # polished just now, with these
            self.style_own_hover()
        decorate(self)
        self.update()

    def style_sync_state(self) -> None:
        """Brings the "focused" and "hasTitle" properties up to date and, when one changed,
        re-applies the style and lets the frame re-measure its padding (on the next turn of the
        loop, once: focus that leaves and comes straight back, as when a platform activates a
        popup's window and hands the keyboard back, then restyles nothing)."""
        field = getattr(self, "_inputField", None)
        focused = bool(field is not None and field.hasFocus())
        titled = bool(self.title())
        changed = False
        for name, state in (("focused", focused), ("hasTitle", titled)):
            if bool(self.property(name)) != state:
                self.setProperty(name, state)
                changed = True
        if changed:
            timer = getattr(self, "_style_sync_timer", None)
            if timer is None:
                # The field's own timer: it goes with the field and holds nothing of it.
                timer = self._style_sync_timer = QTimer(self)
                timer.setSingleShot(True)
                timer.setInterval(0)
                timer.timeout.connect(self._style_sync_flush)
            if not timer.isActive():
                timer.start()

    def _style_sync_flush(self) -> None:
        if self._style_repolish():
            # The group box measures its padding on a style change only.
            QApplication.sendEvent(self, QEvent(QEvent.Type.StyleChange))
            self._style_baked = self._style_selected()

    def _style_selected(self) -> tuple:
        """The properties the sheet's rules select on, as they are now ("hovered" is not one:
        the pointer's hover is the sheet's ``:hover``, and a forced hover is in its text)."""
        return tuple(map(self.property, _SELECTED))

    def _style_repolish(self) -> bool:
        """Re-polishes the field when the properties its rules select on differ from those it
        was last polished with (never known before its first polish); True if it did."""
        selected = self._style_selected()
        if selected == getattr(self, "_style_baked", None):
            return False
        style = self.style()
        style.unpolish(self)
        style.polish(self)
        self._style_baked = selected
        self.style_own_hover()
        self.update()
        return True

    def style_update(self) -> None:
        """Re-apply the style after a dynamic property changed.

        Re-polishing makes Qt parse the field's sheet again, so it is done only when a property
        the sheet selects on changed (see ``_style_repolish``); a hover alone repaints the
        outline."""
        if getattr(self, "_style_forced_hover", False) and self.property("hovered") is not True:
            self.style_set_stylesheet()  # the forced hover ends: the sheet no longer carries it
        if self._style_repolish():
            return
        # Only the hover changed: the outline, not the input it surrounds, is drawn again.
        ring = QRegion(self.rect())
        inp = getattr(self, "_inputField", None)
        if inp is not None and inp.isVisible():
            ring = ring.subtracted(QRegion(inp.geometry()))
        self.update(ring)

    def style_own_hover(self) -> None:
        """The field repaints its outline on hover itself (``style_update``, from the pointer
        handlers): Qt's own hover tracking, which a sheet with a ":hover" rule switches on, would
        repaint the whole field and its input on every move in and out."""
        self.setAttribute(Qt.WidgetAttribute.WA_Hover, False)

    def style_polished_elsewhere(self) -> None:
        """Qt (or code outside the mixin) polishes the field now, with its properties as they
        are: Qt's first polish, a sheet changed above the field, ``base_update_style``."""
        self._style_baked = self._style_selected()
