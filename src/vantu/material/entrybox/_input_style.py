"""Looks of the entry box's input: the style sheets of its frame, title and buttons, and
restyling when its state (hover, focus, error, enabled) changes."""
from __future__ import annotations

import functools
from collections.abc import Mapping
from typing import Any

from PySide6.QtCore import QRect
from PySide6.QtGui import QRegion
from PySide6.QtWidgets import QWidget

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

# Shorthands and the properties each one sets again (all of them, whatever it leaves out).
_SHORTHANDS: dict[str, tuple[str, ...]] = {
    "border": ("border-width", "border-style", "border-color",
               *(f"border-{side}{part}" for side in ("top", "right", "bottom", "left")
                 for part in ("", "-width", "-style", "-color"))),
    "border-color": tuple(f"border-{side}-color" for side in ("top", "right", "bottom", "left")),
    "border-width": tuple(f"border-{side}-width" for side in ("top", "right", "bottom", "left")),
    "border-style": tuple(f"border-{side}-style" for side in ("top", "right", "bottom", "left")),
    **{f"border-{side}": tuple(f"border-{side}-{part}" for part in ("width", "style", "color"))
       for side in ("top", "right", "bottom", "left")},
    "background": ("background-color", "background-image", "background-repeat", "background-position",
                   "background-attachment", "background-clip", "background-origin"),
    "padding": ("padding-top", "padding-right", "padding-bottom", "padding-left"),
    "margin": ("margin-top", "margin-right", "margin-bottom", "margin-left"),
}


def _names(declarations: str) -> list[str] | None:
    """The property names of QSS declarations, in order; None when the text is not plain
    ``name: value;`` pairs."""
    names = []
    for part in declarations.split(";"):
        if not part.strip():
            continue
        name, colon, _ = part.partition(":")
        name = name.strip()
        if not colon or not name or not all(c.isalnum() or c == "-" for c in name):
            return None
        names.append(name)
    return names


_BORDER_COLOURS = frozenset({"border-color", *_SHORTHANDS["border-color"]})


def _hover_area(hover: str, later: str) -> str:
    """What a hover changes of the frame's look, given the hover slot's declarations and those
    of the state slots that follow it: "" nothing (each is set again later, by name or by a
    shorthand), "border" only colours of the border, else "all"."""
    set_hover, set_later = _names(hover), _names(later)
    if set_hover is None or set_later is None:
        return "all"
    covered = set(set_later)
    for name in set_later:
        covered.update(_SHORTHANDS.get(name, ()))
    shown = [name for name in set_hover if name not in covered]
    if not shown:
        return ""
    return "border" if all(name in _BORDER_COLOURS for name in shown) else "all"


def _radius(*styles: Mapping[str, Any] | None) -> int | None:
    """The largest corner radius the styles set (px), 0 for none; None when one is not a number."""
    largest = 0
    for style in styles:
        for key in ("borderRadius", "border-radius"):
            value = (style or {}).get(key)
            if value is None:
                continue
            if isinstance(value, bool) or not isinstance(value, (int, float)):
                text = str(value).strip().removesuffix("px")
                try:
                    value = float(text)
                except ValueError:
                    return None
            largest = max(largest, int(value + 0.999))
    return largest


@functools.lru_cache(maxsize=256)
def _style_sheets(theme: Any, mode: str, color: Any, variant: str, size: str, states: tuple[bool, ...],
                  tags: bool = False) -> tuple[str, str, str, tuple[int, int], str, int]:
    """Style sheets of the field frame, of the field and of the title, the title's place (left,
    top), what a hover changes of the frame (see ``_hover_area``) and the frame's corner radius,
    for one look; the theme is read once per look.

    The frame's sheet holds only the frame's own rules: a hover polishes the frame again, which
    reads its sheet again. With ``tags`` the field's sheet also colours the chips of a multiple
    selection (they live in the field), so they follow the theme with the frame.
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
    # A transparent background set first, before anything could set another, draws what no
    # background draws; left out, the frame's rules set no palette, so polishing the frame
    # again (on hover) changes nothing that would repaint it whole.
    if str(root_style.get("backgroundColor", "")).strip().lower() == "transparent":
        root_style = {k: v for k, v in root_style.items() if k != "backgroundColor"}
    root = block(root_style, tuple(n for n in on if n != "hover"))
    root_slots = root_style.get("slots", {})
    later = " ".join(p for p in (get_qss_style(root_slots.get(n)) for n in on if n != "hover") if p)
    hover = get_qss_style(root_slots.get("hover"))
    # Focus, say, may set again all that the hover sets: the hovered look is then the same.
    hover_area = _hover_area(hover, later)
    root_props = root_style.get("props", {})
    radius = _radius(root_style, root_props.get(variant), root_props.get(size),
                     *(root_slots.get(n) for n in on if n != "hover"), root_slots.get("hover"))
    if radius is None and hover_area == "border":
        hover_area = "all"
    # The hovered look is a rule of its own, so that a hover changes a property of the frame
    # instead of its sheet (see _refresh_style). Matched after the frame's own rule, it only
    # needs the hover's declarations and those of the states that must stay over them.
    hovered = " ".join(p for p in (hover, later) if p)
    field = block(styles["inputField"](own), ("disabled",) if states[3] else ())
    label = styles["label"](own)
    place = {k: v for k, v in label.get("props", {}).get(variant, {}).items() if k in _PLACE_KEYS}
    label = dict(label, props={k: {n: v for n, v in props.items() if n not in _PLACE_KEYS}
                               for k, props in label.get("props", {}).items()})
    title = block(label, tuple(n for n in on if n != "hover"))
    frame = f"#InputBaseFrame {{{root}}} #InputBaseFrame[hovered=\"true\"] {{{hovered}}}"
    field = f"QLineEdit#InputBaseField {{{field}}}"
    if tags:
        # The chips' layout keeps its own room for the buttons at the end: no text padding there.
        field += " QLineEdit#InputBaseField {padding-right: 0px; padding-left: 0px;}"
        tag = styles["tag"](own)
        field_style = styles["inputField"](own)
        size_style = field_style.get("props", {}).get(size, {})
        field_style = dict(field_style, **{k: v for k, v in size_style.items() if k == "fontSize"})
        tag_slots = tag.get("slots", {})
        text_keys = ("color", "fontSize", "fontWeight")
        tag_text = get_qss_style({k: tag[k] for k in text_keys if k in tag})
        chip = get_qss_style({k: v for k, v in tag.items() if k not in text_keys})
        disabled = tag_slots.get("disabled", {})
        field += (
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
    return (frame, field, f"#InputBaseLabel {{{title}}}", (place.get("left", 0), place.get("top", 0)), hover_area,
            radius or 0)


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


def _border_region(frame: QWidget, radius: int) -> QRegion:
    """Where the frame draws its border: outside its contents (its border and padding) and in
    its rounded corners. A hover that only colours the border repaints nothing else, so the
    field and the chips inside it keep their pixels."""
    rect = frame.rect()
    region = QRegion(rect).subtracted(QRegion(frame.contentsRect()))
    corner = radius + 2  # the curve lies in its radius square; a pixel more for antialiasing
    if corner > 2:
        for x, y in ((rect.left(), rect.top()), (rect.right() - corner + 1, rect.top()),
                     (rect.left(), rect.bottom() - corner + 1), (rect.right() - corner + 1, rect.bottom() - corner + 1)):
            region = region.united(QRect(x, y, corner, corner))
    return region


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
            look = _style_sheets(theme, theme.mode, self._color, variant, size, states, tags)
        except TypeError:  # a colour that cannot be a cache key
            look = _style_sheets.__wrapped__(theme, theme.mode, self._color, variant, size, states, tags)
        frame, field, title, place, hover_area, radius = look
        if field != self._inputField.styleSheet():
            self._inputField.setStyleSheet(field)
        self._frameLook = (frame, hover_area, radius)
        self._apply_frame_look(frame, hover_area, radius)
        if title != self._titleLabel.styleSheet():
            self._titleLabel.setStyleSheet(title)
            self._labelPlace = place
            self._place_label()
        if self._select:
            self._refresh_select_style(theme)

    def _refresh_hover(self) -> None:
        """After the pointer came or went: only the frame's hovered look follows it (every other
        state that the looks depend on restyles the input when it changes)."""
        look = getattr(self, "_frameLook", None)
        if look is None:
            self._refresh_style()
        else:
            self._show_hover(look[1], look[2])

    def _apply_frame_look(self, sheet: str, hover_area: str, radius: int) -> None:
        """Gives the frame its sheet and the hovered look of the moment."""
        box = self._frame
        if sheet != box.styleSheet():
            hovered = bool(self._hovered)
            box.setProperty("hovered", hovered)
            self._frameHovered = hovered
            box.setStyleSheet(sheet)
        else:
            self._show_hover(hover_area, radius)

    def _show_hover(self, hover_area: str, radius: int) -> None:
        """Flips the frame's "hovered" property (which only the input sets) to the input's hover,
        and shows what that changes: ``hover_area`` and ``radius`` as ``_style_sheets`` gives
        them for the frame's sheet."""
        hovered = bool(self._hovered)
        if getattr(self, "_frameHovered", None) is hovered:
            return
        box = self._frame
        box.setProperty("hovered", hovered)
        self._frameHovered = hovered
        if not hover_area:
            # Both looks are the same: the frame, polished with either, stays as it is until its
            # sheet changes (and a new sheet is polished with the property as it is then).
            return
        # Only the frame's own rules change: it alone is polished again (as Qt polishes after a
        # sheet change: its cached rules dropped, then polish), its children keep theirs. Its
        # rules set no palette or font, so this repaints nothing by itself.
        box.style().polish(box)
        if hover_area == "border":
            key = (box.width(), box.height(), box.contentsRect().getRect(), radius)
            cached = getattr(self, "_borderRegion", None)
            if cached is None or cached[0] != key:
                cached = self._borderRegion = (key, _border_region(box, radius))
            box.update(cached[1])
        else:
            box.update()

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
