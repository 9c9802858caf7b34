"""Looks of the entry box's input: the style sheets of its frame, title and buttons, and
restyling when its state (hover, focus, error, enabled) changes."""
from __future__ import annotations

import functools
from collections.abc import Mapping
from typing import Any

from vantu.hooks import State
from vantu.material.styles import get_qss_style, useTheme

__all__ = ["InputStyleMixin", "VARIANTS", "FIELD_HEIGHTS", "ACTION_FRAME_WIDTH"]

VARIANTS: tuple[str, ...] = ("outlined", "filled", "standard")
"""Variants the field draws; another text is drawn as "outlined" (and kept as given)."""

ACTION_FRAME_WIDTH = 54
"""Room kept at the right of the field for the clear and arrow buttons."""

FIELD_HEIGHTS: dict[str, int] = {"medium": 56, "small": 40}
"""Height of the field's frame (its border included), as Material text fields have it. The
frame sits ``LABEL_STRIP`` pixels below the input's top, as the select field's box does."""

_PLACE_KEYS = ("left", "top")


@functools.lru_cache(maxsize=256)
def _style_sheets(theme: Any, mode: str, color: Any, variant: str, size: str, states: tuple[bool, ...],
                  tags: bool = False) -> tuple[str, str, tuple[int, int]]:
    """Style sheets of the field frame and of the title, and the title's place (left, top), for
    one look; the theme is read once per look.

    With ``tags`` the frame's sheet also colours the chips of a multiple selection, so they
    follow the theme with the frame.
    """
    styles = theme.components["KelInput"]["styles"]
    own = {"color": color, "variant": variant, "size": size}
    on = tuple(name for name, flag in zip(("hover", "focus", "error", "disabled"), states) if flag)

    def block(style: Mapping[str, Any], names: tuple[str, ...]) -> str:
        props = style.get("props", {})
        slots = style.get("slots", {})
        parts = [get_qss_style(style), get_qss_style(props.get(variant)), get_qss_style(props.get(size))]
        parts.extend(get_qss_style(slots.get(name)) for name in names)
        return " ".join(p for p in parts if p)

    root_style = styles["root"](own)
    root = block(root_style, tuple(n for n in on if n != "hover"))
    # The hovered look is a rule of its own, restating every declaration in the slots' order,
    # so that a hover changes a property of the frame instead of its sheet (see _refresh_style).
    hovered = block(root_style, ("hover", *(n for n in on if n != "hover")))
    field = block(styles["inputField"](own), ("disabled",) if states[3] else ())
    label = styles["label"](own)
    place = {k: v for k, v in label.get("props", {}).get(variant, {}).items() if k in _PLACE_KEYS}
    label = dict(label, props={k: {n: v for n, v in props.items() if n not in _PLACE_KEYS}
                               for k, props in label.get("props", {}).items()})
    title = block(label, tuple(n for n in on if n != "hover"))
    frame = (f"#InputBaseFrame {{{root}}} #InputBaseFrame[hovered=\"true\"] {{{hovered}}}"
             f" QLineEdit#InputBaseField {{{field}}}")
    if tags:
        # The chips' layout keeps its own room for the buttons at the end: no text padding there.
        frame += " QLineEdit#InputBaseField {padding-right: 0px; padding-left: 0px;}"
        tag = styles["tag"](own)
        field_style = styles["inputField"](own)
        size_style = field_style.get("props", {}).get(size, {})
        field_style = dict(field_style, **{k: v for k, v in size_style.items() if k == "fontSize"})
        tag_slots = tag.get("slots", {})
        text_keys = ("color", "fontSize", "fontWeight")
        tag_text = get_qss_style({k: tag[k] for k in text_keys if k in tag})
        chip = get_qss_style({k: v for k, v in tag.items() if k not in text_keys})
        disabled = tag_slots.get("disabled", {})
        frame += (
            f" #EntryBoxTag {{{chip}}}"
            f" #EntryBoxTag:hover {{{get_qss_style(tag_slots.get('hover'))}}}"
            f" #EntryBoxTag:disabled {{{get_qss_style({k: v for k, v in disabled.items() if k != 'color'})}}}"
            f" #EntryBoxTagLabel {{{tag_text} background: transparent; border: none; padding: 0px;}}"
            f" #EntryBoxTagLabel:disabled {{{get_qss_style({k: v for k, v in disabled.items() if k == 'color'})}}}"
            # Every box property of the delete control is set: an application's button padding
            # would otherwise squeeze its icon out of its 18 pixels.
            " #EntryBoxTagDelete {border: none; padding: 0px; margin: 0px;"
            " min-width: 18px; max-width: 18px; min-height: 18px; max-height: 18px; border-radius: 9px;"
            f" {get_qss_style(tag_slots.get('delete'))}}}"
            f" #EntryBoxTagDelete:hover {{{get_qss_style(tag_slots.get('deleteHover'))}}}"
            # Typed text and the label shown in it as large as in a field of text.
            " #EBLineEditMultiple {" + get_qss_style({k: field_style[k] for k in ("color", "fontSize", "placeholderTextColor")
                                                      if k in field_style}) + "}"
        )
    return (frame, f"#InputBaseLabel {{{title}}}", (place.get("left", 0), place.get("top", 0)))


@functools.lru_cache(maxsize=8)
def _action_sheet(theme: Any, mode: str) -> str:
    """Style sheet of the clear, arrow and calendar buttons."""
    style = theme.components["KelInput"]["styles"]["actionButton"]({})
    slots = style.get("slots", {})
    return (
        f"QPushButton {{{get_qss_style({k: v for k, v in style.items() if k not in ('slots', 'props')})}}}"
        f" QPushButton:hover {{{get_qss_style(slots.get('hover'))}}}"
        f" QPushButton:pressed {{{get_qss_style(slots.get('pressed'))}}}"
    )


class InputStyleMixin:
    """Style sheets of the frame, the title and the select mode's buttons and popup surface."""

    def _getError(self) -> bool:
        """The current error flag (a ``State`` error is read now)."""
        error = self._error
        return bool(error.value if isinstance(error, State) else error)

    def _refresh_style(self, *_: Any) -> None:
        theme = useTheme()
        variant = self._variant if self._variant in VARIANTS else "outlined"
        size = self._size if self._size in ("small", "medium") else "medium"
        # Hover is not part of the sheets' key: the frame's "hovered" property selects it.
        states = (False, self._focused, self._getError(), not self.isEnabled())
        tags = bool(self._select and self._multiple and self._renderTags)
        try:
            frame, title, place = _style_sheets(theme, theme.mode, self._color, variant, size, states, tags)
        except TypeError:  # a colour that cannot be a cache key
            frame, title, place = _style_sheets.__wrapped__(theme, theme.mode, self._color, variant, size, states, tags)
        hovered = bool(self._hovered)
        if frame != self._frame.styleSheet():
            self._frame.setProperty("hovered", hovered)
            self._frame.setStyleSheet(frame)
        elif self._frame.property("hovered") is not hovered:
            # Only the frame's own rules change: it alone is polished again, its children keep theirs.
            self._frame.setProperty("hovered", hovered)
            style = self._frame.style()
            style.unpolish(self._frame)
            style.polish(self._frame)
            self._frame.update()
        if title != self._titleLabel.styleSheet():
            self._titleLabel.setStyleSheet(title)
            self._labelPlace = place
            self._place_label()
        if self._select:
            self._refresh_select_style(theme)

    def _refresh_select_style(self, theme: Any) -> None:
        """Buttons and the list's message row in the theme's colours."""
        actions = _action_sheet(theme, theme.mode)
        frame = getattr(self, "action_frame", None)
        if frame is not None and frame.styleSheet() != actions:
            frame.setStyleSheet(actions)
        calendar = getattr(self, "_btnCalendar", None)
        if calendar is not None and calendar.styleSheet() != actions:
            calendar.setStyleSheet(actions)
        self._restyle_list(theme)

    def _handle_error_changed(self) -> None:
        self._refresh_style()
        self._tell_host()
