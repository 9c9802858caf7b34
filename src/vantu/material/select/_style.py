"""``SelectStyleMixin``: the select field's style sheet, built from the theme's "KelSelect" styles."""
from __future__ import annotations

import re
from typing import Any

from PySide6.QtCore import QEvent
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import QApplication, QSizePolicy

from vantu.hooks import State
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

# Sheets differ between fields only by the object name: build each one once per theme and look.
_NAME = "\x00name\x00"
_TEMPLATES: dict[tuple, str] = {}

_PX = re.compile(r"^\s*(\d+)(px)?\s*$")
# Size entries of ``sx`` that Qt style sheets do not understand as CSS does.
_SIZE_KEYS = ("width", "minWidth", "maxWidth", "height")


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
        }

    def _style_rule(self, fn: Any, own: dict[str, Any]) -> tuple[str, dict[str, Any], str]:
        style = fn(own)
        props = style.get("props", {})
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
            key = (theme.mode, own["variant"], own["size"], own["color"], own["multiple"], self._plain_error(),
                   tuple(sorted(sx.items())))
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
        return template.replace(_NAME, self.objectName())

    def _style_template(self, theme: Any, own: dict[str, Any], sx_in: dict[str, Any]) -> str:
        styles = theme.components["KelSelect"]["styles"]
        # The sheet is set on the field itself, so its rules reach only the field's own widgets:
        # inner parts need no field prefix, and plain id selectors spare Qt the class-name
        # checks it would run for every rule and widget.
        me = f"#{_NAME}"
        root, root_slots, variant = self._style_rule(styles["root"], own)
        sx = dict(sx_in)
        for key in _SIZE_KEYS:
            sx.pop(key, None)
        root = (root + " " + get_qss_style(sx)).strip()
        title, title_slots, _ = self._style_rule(styles["title"], own)
        field, field_slots, _ = self._style_rule(styles["inputField"], own)
        button, button_slots, _ = self._style_rule(styles["actionButton"], own)
        if self._plain_error():
            # A plain error flag has no property to select on: the sheet itself carries it.
            root = (root + " " + get_qss_style(root_slots.get("error"))).strip()
            title = (title + " " + get_qss_style(title_slots.get("error"))).strip()
        focus = get_qss_style(root_slots.get("focus"))
        focus_error = get_qss_style(root_slots.get("focusError"))
        focus_title = get_qss_style(title_slots.get("focus"))
        if self._plain_error():
            # Focused, a field in error keeps the error colour in its thicker border and title.
            focus = (focus + " " + focus_error).strip()
            focus_title = ""
        rules = [
            f"{me} {{{root}}}",
            f"{me}[hasTitle=\"true\"] {{{get_qss_style(root_slots.get('titled'))}}}",
            f"{me}[hovered=\"true\"] {{{get_qss_style(root_slots.get('hover'))}}}",
            f"{me}:focus, {me}[focused=\"true\"] {{{focus}}}",
            f"{me}[focused=\"true\"][hasTitle=\"true\"] {{{get_qss_style(root_slots.get('titledFocus'))}}}",
            f"{me}[filledHasValue=\"true\"] {{{get_qss_style(root_slots.get('filled'))}}}",
            f"{me}[multipleHasValue=\"true\"] {{{get_qss_style(root_slots.get('filled'))}}}",
            f"{me}[error=\"true\"] {{{get_qss_style(root_slots.get('error'))}}}",
            f"{me}[error=\"true\"][focused=\"true\"] {{{focus_error}}}",
            f"{me}:disabled {{{get_qss_style(root_slots.get('disabled'))}}}",
            f"{me}::title {{{title}}}",
            f"{me}[focused=\"true\"]::title {{{focus_title}}}",
            f"{me}[error=\"true\"]::title {{{get_qss_style(title_slots.get('error'))}}}",
            f"{me}::title:disabled {{{get_qss_style(title_slots.get('disabled'))}}}",
            f"{me}[hasStartAdornment=\"true\"] #inputField {{padding-left: 28px;}}",
            f"#inputField {{{field}}}",
            # A line of text stops before the buttons; tags keep their own right margin for them.
            f"QLineEdit#inputField {{padding-right: {self._style_text_end(own)}px;}}",
            # Qt ignores pseudo-states on ancestors: the input is disabled with the field anyway.
            f"#inputField:disabled {{{get_qss_style(field_slots.get('disabled'))}}}",
            f"#actionframe {{background: transparent; border: none;}}",
            f"#actionframe QPushButton {{{button}}}",
            f"#actionframe QPushButton:hover {{{get_qss_style(button_slots.get('hover'))}}}",
            f"#actionframe QPushButton:pressed {{{get_qss_style(button_slots.get('pressed'))}}}",
            # The frame is flush with the field's right edge; of a single select's 24-pixel arrow
            # button only its first 20 pixels show. The margins draw each button as a 16-pixel
            # circle, the arrow's centred 10 pixels from the edge in both modes, clear of the border.
            f"#actionframe QPushButton {{margin: 4px {'2px 4px 6px' if own['multiple'] else '6px 4px 2px'};"
            f" border-radius: 8px;}}",
        ]
        # Only the filled variant lays its value out differently under a title.
        rules = [rule for rule in rules if "hasTitle" not in rule or not rule.endswith("{}")]
        return "\n".join(rules)

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
        if text != self.styleSheet():  # re-applying the same sheet would re-polish every child
            self.setStyleSheet(text)

    def style_sync_state(self) -> None:
        """Brings the "focused" and "hasTitle" properties up to date and, when one changed,
        re-applies the style and lets the frame re-measure its padding."""
        field = getattr(self, "_inputField", None)
        focused = bool(field is not None and field.hasFocus())
        titled = bool(self.title())
        changed = False
        for name, state in (("focused", focused), ("hasTitle", titled)):
            if bool(self.property(name)) != state:
                self.setProperty(name, state)
                changed = True
        if changed:
            self.style_update()
            # The group box measures its padding on a style change only.
            QApplication.sendEvent(self, QEvent(QEvent.Type.StyleChange))

    def style_update(self) -> None:
        """Re-apply the style after a dynamic property changed."""
        style = self.style()
        style.unpolish(self)
        style.polish(self)
        self.update()
