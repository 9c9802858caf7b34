"""``InputBase``: the entry box's Material text field, with the select mode mixed in.

Without ``select`` it is a labelled line edit. With ``select`` (or ``options``) it is a
Material select: a click opens the option popup, a pick shows the option's label (single
mode) or adds a tag (multiple mode with ``renderTags``), typing in the tags' line edit
narrows the list, and the clear button, shown while the pointer is over a field that has
a value, empties it.
"""
from __future__ import annotations

import functools
import sys
import traceback
import weakref
from collections.abc import Callable, Mapping
from typing import Any

from PySide6.QtCore import QEvent, QObject, QSize, Qt, Signal, Slot
from PySide6.QtWidgets import QFrame, QHBoxLayout, QLabel, QLineEdit, QSizePolicy, QVBoxLayout, QWidget
from shiboken6 import isValid

from vantu.hooks import State, useEffect
from vantu.i18n.use_translation import i18n
from vantu.material.styles import get_qss_style, useTheme
from vantu.material.select._style import themed_icon
from vantu.material.styles.components import LABEL_STRIP
from vantu.utils.translator import getTranslatedText
from vantu.vantu_assets import VANTU_ASSETS

from ._date_picker import DatePicker
from ._flow_widget import FlowWidget
from ._select import EntryBoxSelectMixin
from ._tags_view import TagsView

__all__ = ["InputBase", "DATETIME_TYPES", "VARIANTS"]

VARIANTS: tuple[str, ...] = ("outlined", "filled", "standard")
"""Variants the field draws; another text is drawn as "outlined" (and kept as given)."""

DATETIME_TYPES: tuple[str, ...] = ("date", "time", "datetime")
"""Values of ``type`` that make the field a date or time input."""

ACTION_FRAME_WIDTH = 54
"""Room kept at the right of the field for the clear and arrow buttons."""

END_INSET = 12
"""Gap between a boxed field's right border and its arrow's button, the select field's own."""

_ARROW_FROM_END = 52
# The arrow button (24 px, the action frame's last 24) is centred where the select field
# centres its 20 px one: its last 2 px hang past the border gap, which shows nothing.

FIELD_HEIGHTS: dict[str, int] = {"medium": 56, "small": 40}
"""Height of the field's frame (its border included), as Material text fields have it. The
frame sits ``LABEL_STRIP`` pixels below the input's top, as the select field's box does."""

_PLACE_KEYS = ("left", "top")

_MISSING = object()

# Keyword arguments the field understands, with their defaults. Anything else is kept in
# ``_kwargs`` and as ``_<name>``, as every component of the library does.
_DEFAULTS: dict[str, Any] = {
    "name": None,
    "label": None,
    "placeholder": None,
    "value": _MISSING,
    "defaultValue": None,
    "onChange": None,
    "variant": "outlined",
    "size": "medium",
    "color": None,
    "error": False,
    "disabled": False,
    "readOnly": False,
    "required": False,
    "type": "text",
    "select": None,
    "options": None,
    "multiple": False,
    "getOptionLabel": None,
    "getOptionDisabled": None,
    "renderOption": None,
    "renderTags": None,
    "renderValue": None,
    "selectOptions": None,
    "onOpen": None,
    "onClose": None,
    "loading": False,
}


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

    root = block(styles["root"](own), on)
    field = block(styles["inputField"](own), ("disabled",) if states[3] else ())
    label = styles["label"](own)
    place = {k: v for k, v in label.get("props", {}).get(variant, {}).items() if k in _PLACE_KEYS}
    label = dict(label, props={k: {n: v for n, v in props.items() if n not in _PLACE_KEYS}
                               for k, props in label.get("props", {}).items()})
    title = block(label, tuple(n for n in on if n != "hover"))
    frame = f"#InputBaseFrame {{{root}}} QLineEdit#InputBaseField {{{field}}}"
    if tags:
        tag = styles["tag"](own)
        field_style = styles["inputField"](own)
        size_style = field_style.get("props", {}).get(size, {})
        field_style = dict(field_style, **{k: v for k, v in size_style.items() if k == "fontSize"})
        tag_slots = tag.get("slots", {})
        tag_text = get_qss_style({k: tag[k] for k in ("color", "fontSize") if k in tag})
        chip = get_qss_style({k: v for k, v in tag.items() if k not in ("color", "fontSize")})
        frame += (
            f" #EntryBoxTag {{{chip}}}"
            f" #EntryBoxTag:hover {{{get_qss_style(tag_slots.get('hover'))}}}"
            f" #EntryBoxTagLabel {{{tag_text} background: transparent; border: none; padding: 0px;}}"
            # Every box property of the delete control is set: an application's button padding
            # would otherwise squeeze its glyph out of its 18 pixels.
            " #EntryBoxTagDelete {border: none; background: transparent; padding: 0px; margin: 0px;"
            " min-width: 18px; max-width: 18px; min-height: 18px; max-height: 18px; border-radius: 9px;"
            f" font-size: 14px; font-weight: bold; {get_qss_style(tag_slots.get('delete'))}}}"
            f" #EntryBoxTagDelete:hover {{{get_qss_style(tag_slots.get('deleteHover'))}}}"
            # Typed text and the label shown in it as large as in a field of text.
            " #EBLineEditMultiple {" + get_qss_style({k: field_style[k] for k in ("color", "fontSize")}) + "}"
        )
    return (frame, f"#InputBaseLabel {{{title}}}", (place.get("left", 0), place.get("top", 0)))


@functools.lru_cache(maxsize=8)
def _action_sheet(theme: Any, mode: str) -> str:
    """Style sheet of the clear and arrow buttons (and of the popup's message row)."""
    style = theme.components["KelInput"]["styles"]["actionButton"]({})
    slots = style.get("slots", {})
    return (
        f"QPushButton {{{get_qss_style({k: v for k, v in style.items() if k not in ('slots', 'props')})}}}"
        f" QPushButton:hover {{{get_qss_style(slots.get('hover'))}}}"
        f" QPushButton:pressed {{{get_qss_style(slots.get('pressed'))}}}"
    )


def _clear_helper_sheets() -> None:
    """Forgets the entry boxes' cached helper-label sheets, which were made for the old theme."""
    module = sys.modules.get("vantu.material.entrybox.entrybox")
    clear = getattr(getattr(getattr(module, "EntryBox", None), "_get_stylesheet", None), "cache_clear", None)
    if clear is not None:
        clear()



class _Followers(QObject):
    """Restyles and re-translates every live input when the theme or the language changes.

    One listener for all inputs instead of one per input: inputs are held weakly, and one
    whose widget is gone is skipped.
    """

    def __init__(self) -> None:
        super().__init__()
        self._inputs: weakref.WeakSet[InputBase] = weakref.WeakSet()
        useTheme().state.valueChanged.connect(self._handle_theme_changed)
        i18n.langChanged.connect(self._handle_language_changed)

    def add(self, item: InputBase) -> None:
        self._inputs.add(item)

    def _live(self) -> list[InputBase]:
        return [item for item in list(self._inputs) if isValid(item)]

    def _handle_theme_changed(self, *_: Any) -> None:
        _clear_helper_sheets()
        for item in self._live():
            item._refresh_style()
            item._tell_host()

    def _handle_language_changed(self, *_: Any) -> None:
        for item in self._live():
            item._set_translated_texts()
            item._tell_host()


_followers: _Followers | None = None


def _follow(item: InputBase) -> None:
    global _followers
    if _followers is None:
        _followers = _Followers()
    _followers.add(item)


def _set_list_options(menu: Any, options: list[Any]) -> None:
    """Shows ``options`` in the popup's list, leaving it alone when it already shows them."""
    if getattr(menu, "_shownOptions", None) == options:
        return
    menu.listView.setOptions(options)
    menu._shownOptions = list(options)


class _FieldEdit(QLineEdit):
    """The editable field; hands its focus, pointer, key and size events to its input.

    The input is held weakly: the field never keeps its owner alive.
    """

    def __init__(self, host: InputBase) -> None:
        super().__init__()
        self._host = weakref.ref(host)

    def _tell(self, handler: str, *args: Any) -> None:
        host = self._host()
        if host is not None:
            getattr(host, handler)(*args)

    def focusInEvent(self, event) -> None:
        super().focusInEvent(event)
        self._tell("_handle_field_focus_in")

    def focusOutEvent(self, event) -> None:
        super().focusOutEvent(event)
        self._tell("_handle_field_focus_out")

    def mouseReleaseEvent(self, event) -> None:
        super().mouseReleaseEvent(event)
        self._tell("_handle_field_released", event)

    def keyPressEvent(self, event) -> None:
        self._tell("_handle_key_down", event)
        super().keyPressEvent(event)

    def keyReleaseEvent(self, event) -> None:
        self._tell("_handle_key_up", event)
        super().keyReleaseEvent(event)

    def enterEvent(self, event) -> None:
        super().enterEvent(event)
        self._tell("_handle_field_entered")

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        self._tell("_handle_field_left")

    def resizeEvent(self, event) -> None:
        super().resizeEvent(event)
        self._tell("_place_action_frame")
        if event.size().width() != event.oldSize().width():
            self._tell("_fit_tags")


class _TagDelete:
    """The ``onDelete`` of one tag: takes its option out of the selection.

    Holds the input weakly, so a tag never keeps its input alive.
    """

    def __init__(self, host: InputBase, index: int) -> None:
        self._host = weakref.ref(host)
        self._index = index

    def __call__(self, key: Any = _MISSING) -> None:
        host = self._host()
        if host is None or not isValid(host):
            return
        host._on_tag_deleted(self._index if key is _MISSING else key)


class InputBase(QWidget, EntryBoxSelectMixin):
    """A Material text field; with ``select`` or ``options`` it is a select.

    Keyword arguments (each kept as ``_<name>``; all of them also in ``_kwargs``):
        label, placeholder: texts, translated.
        value: the current value (a ``State`` is followed); defaultValue: the value to start
            with when ``value`` is not given.
        onChange: called with the input after each change of the value.
        variant: "outlined" (default), "filled" or "standard". size: "medium" or "small".
        color: a palette colour name or a QSS colour. error: a flag or a ``State``.
        disabled, readOnly, required: flags.
        type: "text", "password", or "date", "time", "datetime": a date or time input, whose
            popup (with ``select``) is a calendar and/or a column of half-hour times and
            whose value is the picked text ("2026-12-08", "14:30", "2026-12-08 14:30").
        select, options, multiple: select mode, its options (texts or dicts) and multiple
            selection. getOptionLabel (required with options), getOptionDisabled,
            renderOption, renderTags (a callable ``(selected_options, getTagProps) -> widgets``
            or True for the default tags), renderValue (value -> shown text), selectOptions.
        onOpen, onClose: called when the popup opens and closes. loading: the popup shows
            "Loading..." instead of "No options" while there is nothing to choose.

    Signals: focusIn, blur, clicked(event), keyDown(event), keyUp(event), mouseEnter,
    mouseLeave (from the field's real events) and valueChanged(value).
    """

    focusIn = Signal()
    blur = Signal()
    clicked = Signal(object)
    keyDown = Signal(object)
    keyUp = Signal(object)
    mouseEnter = Signal()
    mouseLeave = Signal()
    valueChanged = Signal(object)

    def __init__(self, *args: Any, parent: QWidget | None = None, ctx: Any = None, **kwargs: Any) -> None:
        config = dict(_DEFAULTS)
        config.update(kwargs)
        options = config["options"]
        self._optionsState = options if isinstance(options, State) else None
        if self._optionsState is not None:
            options = options.value
        if options is not None and not isinstance(options, (list, tuple)):
            raise TypeError(f"Argument 'options' must be a list of options or None, got {type(options).__name__}")
        getter = config["getOptionLabel"]
        if getter is not None and not callable(getter):
            raise TypeError(f"Argument 'getOptionLabel' must be callable or None, got {type(getter).__name__}")

        QWidget.__init__(self, parent)
        self.setObjectName(f"InputBase-{id(self)}")
        self._args = args
        self._ctx = ctx
        self._kwargs = dict(kwargs)
        variant = config["variant"]
        if variant is None:
            variant = "outlined"
        self._kwargs["variant"] = variant
        # Defaults live on the class; only what was given lands on the instance.
        for key, val in kwargs.items():
            if key != "value":
                setattr(self, f"_{key}", val)
        self._variant = variant
        self._options = list(options) if options is not None else None
        self._select = bool(config["select"]) if config["select"] is not None else options is not None
        self._multiple = bool(config["multiple"])
        self._isDateTimeType = config["type"] in DATETIME_TYPES
        self._menu = None
        self._popup = None
        self._filter_text = ""
        self._hovered = False
        self._focused = False
        self._applying = False
        self._selected_options: dict[Any, Any] = {}

        raw_value = config["value"]
        self._valueState = raw_value if isinstance(raw_value, State) else None
        if raw_value is _MISSING or raw_value is None:
            start = config["defaultValue"]
        else:
            start = raw_value.value if self._valueState is not None else raw_value
        if isinstance(start, State):
            start = start.value
        if self._multiple and self._select:
            start = list(start) if isinstance(start, (list, tuple)) else ([] if start in (None, "") else [start])
        self._value = start

        self._build()
        if self._select:
            self._selected_options = self._record_for(start)
        try:
            EntryBoxSelectMixin.__init__(self)
        except BaseException:
            # Nothing half-built stays reachable from the parent.
            self.setParent(None)
            self.deleteLater()
            raise
        if self._select:
            self._after_select_setup()
        self._show_value()
        self._set_translated_texts()
        self._refresh_style()
        self._connect()

    # -- building ---------------------------------------------------------------

    def _build(self) -> None:
        root = QVBoxLayout(self)
        # The label's strip: an outlined label straddles the frame's top border, as the
        # select field's title does, instead of taking a line of its own.
        root.setContentsMargins(0, LABEL_STRIP, 0, 0)
        root.setSpacing(0)
        self._frame = QFrame()
        self._frame.setObjectName("InputBaseFrame")
        self._frame.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
        self._frame.setMinimumHeight(FIELD_HEIGHTS.get(self._size, FIELD_HEIGHTS["medium"]))
        frame_layout = QHBoxLayout(self._frame)
        frame_layout.setContentsMargins(0, 0, 0, 0)  # the frame's padding places the value
        frame_layout.setSpacing(0)
        self._inputField = _FieldEdit(self)
        self._inputField.setObjectName("InputBaseField")
        self._inputField.setFrame(False)
        if self._type == "password":
            self._inputField.setEchoMode(QLineEdit.EchoMode.Password)
        self._inputField.setReadOnly(bool(self._readOnly) or bool(self._select))
        frame_layout.addWidget(self._inputField)
        root.addWidget(self._frame)
        # Placed by hand over the frame (see ``_place_label``), above it in paint order.
        self._titleLabel = QLabel(self)
        self._titleLabel.setObjectName("InputBaseLabel")
        self._titleLabel.setIndent(0)  # its padding alone sets where the text starts
        self._titleLabel.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        self._labelPlace = (0, 0)
        self.setEnabled(not self._disabled)

    def _after_select_setup(self) -> None:
        """Brings the selected keys in line with the starting value."""
        if hasattr(self, "_setSelectedKeys"):
            if self._multiple:
                self._setSelectedKeys(self._keys_of_record())
            else:
                self._setSelectedKeys(self._label_of(self._value) if self._value is not None else None)
        if self._multiple and self._renderTags:
            # The field grows with the rows of chips instead of clipping them.
            self._inputField.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
            if self._variant not in ("filled", "standard"):
                # Rows of chips keep clear of the notched label and of the bottom border (one
                # row sits mid-box anyway).
                self._frame.layout().setContentsMargins(0, 6, 0, 6)
            self._rebuild_tags()
            self._inputFieldMultiple.keyDown.connect(self._handle_multiple_key_down)
            self._inputFieldMultiple.keyUp.connect(self._handle_key_up)
        if self.action_frame is not None:
            self.action_frame.show()
        if self._btnSelect is not None:
            # Material's drop-down arrow is a 24 px icon; at Qt's default 16 px it is a speck.
            self._btnSelect.setIconSize(QSize(24, 24))
        if self._isDateTimeType and self._btnSelect is not None:
            # The mixin hides the arrow of a date input; here it is the calendar button.
            self._btnSelect.show()

    def _setIcons(self) -> None:
        EntryBoxSelectMixin._setIcons(self)
        self._theme_icons()

    def _theme_icons(self) -> None:
        """The buttons' icons in the theme's icon colour, as the select field draws its own
        (the files' grey is too dim on a dark surface)."""
        icons = VANTU_ASSETS.ICONS
        showing = bool(getattr(self, "_popupShowing", False))
        arrow = getattr(self, "_btnSelect", None)
        if arrow is not None:
            if self._isDateTimeType:
                arrow.setIcon(themed_icon(icons.CLOSE if showing else icons.CALENDAR))
            else:
                arrow.setIcon(themed_icon(icons.ARROW_UP if showing else icons.ARROW_DOWN))
        clear = getattr(self, "_btn_clear_text", None)
        if clear is not None:
            clear.setIcon(themed_icon(icons.CLOSE))
        self._iconMode = useTheme().mode

    def _connect(self) -> None:
        self._inputField.textChanged.connect(self._handle_text_changed)
        _follow(self)
        if isinstance(self._error, State):
            useEffect(self._handle_error_changed, [self._error], component=self)
        if self._valueState is not None:
            useEffect(self._apply_value_state, [self._valueState], component=self)
        if self._optionsState is not None:
            useEffect(self._apply_options_state, [self._optionsState], component=self)

    def setup_action_frame_and_adornment(self) -> None:
        """Places the clear and arrow buttons over the right end of the field."""
        if self.action_frame is None:
            return
        if not (self._multiple and self._renderTags):
            self._inputField.setTextMargins(0, 0, ACTION_FRAME_WIDTH + self._end_inset(), 0)
        self._place_action_frame()

    def _end_inset(self) -> int:
        return 0 if self._variant == "standard" else END_INSET

    def _place_action_frame(self) -> None:
        """The clear and arrow buttons sit mid-box at the right end, where the select field has its own."""
        frame = getattr(self, "action_frame", None)
        if frame is None:
            return
        box = self._frame.geometry()
        x = box.x() + box.width() - self._end_inset() - _ARROW_FROM_END
        frame.setGeometry(x, box.y() + box.height() // 2 - 13, ACTION_FRAME_WIDTH, 24)
        frame.raise_()

    def resizeEvent(self, event) -> None:
        super().resizeEvent(event)
        self._place_action_frame()
        self._place_label()
        if self._popup is not None and self._popupShowing:
            self.select_update_popup_position()

    def showEvent(self, event) -> None:
        super().showEvent(event)
        self._place_action_frame()
        self._place_label()

    # -- texts and looks -----------------------------------------------------------

    def _set_translated_texts(self, *_: Any) -> None:
        label = self._label
        if label:
            text = getTranslatedText(label)
            self._titleLabel.setText(f"{text} *" if self._required else text)
        if self._isDateTimeType and getattr(self, "_btnSelect", None) is not None:
            self._btnSelect.setToolTip(getTranslatedText("Choose time" if self._type == "time" else "Choose date"))
        self._update_label()
        if self._menu is not None and isValid(self._menu):
            row = getattr(self._menu, "_messageRow", None)
            if row is not None and isValid(row) and row.isVisible():
                self.autocomplete_render_loading_menu_items()

    def _shows_tags(self) -> bool:
        return bool(self._select and self._multiple and self._renderTags)

    def _update_label(self) -> None:
        """Floats the label over the frame, or shows it in the field as the placeholder while
        the field is empty, unfocused and has no placeholder of its own, as the select field
        does (a field of tags shows it in its typing field)."""
        label = self._label
        title = self._titleLabel
        line = getattr(self, "_inputFieldMultiple", None) if self._shows_tags() else None
        empty = not self._value if line is not None else not self._inputField.text()
        inside = bool(label) and empty and not self._focused and not self._placeholder
        if line is not None:
            line._placeholder = title.text() if inside else self._placeholder
            line._update_placeholder()
        else:
            if inside:
                placeholder = title.text()
            else:
                placeholder = getTranslatedText(self._placeholder) if self._placeholder else ""
            if self._inputField.placeholderText() != placeholder:
                self._inputField.setPlaceholderText(placeholder)
        floating = bool(label) and not inside
        if title.isHidden() == floating:
            title.setVisible(floating)
        self._place_label()

    def _place_label(self) -> None:
        """Puts the label where the select field puts its title: notched into an outline,
        inside a filled box, above an underline."""
        title = self._titleLabel
        if title.isHidden() or not self.isVisible():
            return  # placed when shown
        left, top = self._labelPlace
        hint = title.sizeHint()
        # A label longer than the field is cut at its right border.
        width = max(0, min(hint.width(), self.width() - left - (0 if self._variant == "standard" else left)))
        title.setGeometry(left, top, width, hint.height())
        title.raise_()

    def _getError(self) -> bool:
        """The current error flag (a ``State`` error is read now)."""
        error = self._error
        return bool(error.value if isinstance(error, State) else error)

    def _refresh_style(self, *_: Any) -> None:
        theme = useTheme()
        variant = self._variant if self._variant in VARIANTS else "outlined"
        size = self._size if self._size in ("small", "medium") else "medium"
        states = (self._hovered, self._focused, self._getError(), not self.isEnabled())
        tags = bool(self._select and self._multiple and self._renderTags)
        try:
            frame, title, place = _style_sheets(theme, theme.mode, self._color, variant, size, states, tags)
        except TypeError:  # a colour that cannot be a cache key
            frame, title, place = _style_sheets.__wrapped__(theme, theme.mode, self._color, variant, size, states, tags)
        if frame != self._frame.styleSheet():
            self._frame.setStyleSheet(frame)
        if title != self._titleLabel.styleSheet():
            self._titleLabel.setStyleSheet(title)
            self._labelPlace = place
            self._place_label()
        if self._select:
            self._refresh_select_style(theme)

    def _refresh_select_style(self, theme: Any) -> None:
        """Buttons, popup container and message row in the theme's colours."""
        actions = _action_sheet(theme, theme.mode)
        frame = getattr(self, "action_frame", None)
        if frame is not None and frame.styleSheet() != actions:
            frame.setStyleSheet(actions)
        if frame is not None and getattr(self, "_iconMode", None) != theme.mode:
            self._theme_icons()
        menu = self._menu
        if menu is None or not isValid(menu):
            return
        if isinstance(menu, DatePicker):
            menu.applyTheme()
            return
        self._style_menu(theme)

    def _style_menu(self, theme: Any) -> None:
        """The list's container as a Material menu surface: the paper colour, a thin outline
        in place of the shadow a frameless window cannot cast, and room inside the rounded
        corners so the rows never paint over them."""
        menu = self._menu
        p = theme.palette
        sheet = (
            f"#{menu.objectName()} {{background: {p['background']['paper']}; border: 1px solid {p['divider']};"
            f" border-radius: {theme.shape['borderRadius']}px; padding: 4px 0px;}}"
            f" #EntryBoxMenuMessage {{color: {p['text']['secondary']}; background: transparent;}}"
        )
        if menu.styleSheet() != sheet:
            menu.setStyleSheet(sheet)

    def _handle_error_changed(self) -> None:
        self._refresh_style()
        self._tell_host()

    def _tell_host(self) -> None:
        """Lets the entry box holding this input restyle and re-translate its helper text."""
        host = self.parentWidget()
        update = getattr(host, "_updateHelperText", None)
        if update is not None and getattr(host, "_helperLabel", None) is not None and getattr(host, "_input", None) is self:
            update()

    # -- value ---------------------------------------------------------------------

    @property
    def value(self) -> Any:
        """The current value: a text, an option, or a list of options in multiple mode."""
        return self._value

    def setValue(self, value: Any) -> None:
        """Sets the value from the application, keeping keys, tags and shown text in line."""
        if self._select:
            if self._multiple:
                value = list(value) if isinstance(value, (list, tuple)) else ([] if value in (None, "") else [value])
            self._selected_options = self._record_for(value)
            if hasattr(self, "_setSelectedKeys"):
                if self._multiple:
                    self._setSelectedKeys(self._keys_of_record())
                else:
                    self._setSelectedKeys(self._label_of(value) if value is not None else None)
            if self._multiple and self._renderTags:
                self._rebuild_tags()
        self.base_set_value(value)

    def _apply_options_state(self) -> None:
        options = self._optionsState.value
        self._options = list(options) if isinstance(options, (list, tuple)) else []
        if self._menu:
            self._refresh_menu_rows()

    def _apply_value_state(self) -> None:
        self.setValue(self._valueState.value)

    def base_set_value(self, value: Any) -> None:
        """Stores ``value``, shows it, emits ``valueChanged`` and calls ``onChange``."""
        self._value = value
        self._show_value()
        self.valueChanged.emit(value)
        if callable(self._onChange):
            self._onChange(self)
        self._update_clear_button()

    def _show_value(self) -> None:
        self._applying = True
        try:
            if not self._select:
                text = "" if self._value is None else str(self._value)
                if self._inputField.text() != text:
                    self._inputField.setText(text)
            elif not self._multiple:
                self._inputField.setText(self._label_of(self._value) if self._value is not None else "")
            elif not self._renderTags:
                if callable(self._renderValue):
                    self._inputField.setText(str(self._renderValue(self._value)))
                else:
                    self._inputField.setText(", ".join(self._label_of(o) for o in self._value or []))
        finally:
            self._applying = False
        if hasattr(self, "_labelPlace"):
            self._update_label()

    @Slot(str)
    def _handle_text_changed(self, text: str) -> None:
        if self._applying or self._select:
            return
        if not self._focused:
            self._update_label()  # text set from outside: the label may float or go back inside
        self._value = text
        self.valueChanged.emit(text)
        if callable(self._onChange):
            self._onChange(self)

    # -- options, keys and the record of chosen options ---------------------------------

    def _label_of(self, option: Any) -> str:
        if option is None:
            return ""
        if isinstance(option, str):
            return option
        if callable(self._getOptionLabel):
            return str(self._getOptionLabel(option))
        if isinstance(option, dict):
            return str(option.get("label") or option.get("value") or "")
        return str(option)

    def _find_option(self, key: Any) -> Any:
        for option in self._options or []:
            if self._label_of(option) == key:
                return option
        return _MISSING

    def _record_for(self, value: Any) -> dict[Any, Any]:
        """The chosen options of ``value`` as label -> option."""
        if value is None or value == "":
            return {}
        items = value if isinstance(value, list) else [value]
        return {self._label_of(o): o for o in items}

    def _keys_of_record(self) -> list[Any]:
        return [self._label_of(o) for o in self._selected_options.values()]

    def _getOptions(self) -> list[Any]:
        """The options the list offers now: all of them, narrowed by the typed text."""
        options = list(self._options or [])
        text = self._filter_text.strip().lower()
        if not text:
            return options
        return [o for o in options if text in self._label_of(o).lower()]

    def tags_update_selected_options(self, key: Any) -> None:
        """Adds the option filed under ``key`` to the record, or takes it out when present."""
        if key in self._selected_options:
            self._selected_options.pop(key)
            return
        option = self._find_option(key)
        self._selected_options[key] = key if option is _MISSING else option

    # -- tags ----------------------------------------------------------------------

    def tags_setup_tags(self, key: Any = None, option: Any = None) -> None:
        """Adds or removes one option of a multiple selection, then rebuilds the tags."""
        if key:
            found = self._find_option(key)
            if found is not _MISSING:
                option = found
        elif isinstance(option, dict):
            key = self._label_of(option)
        if key in self._selected_options:
            self._selected_options.pop(key)
        else:
            self._selected_options[key] = key if option is None else option
            line = getattr(self, "_inputFieldMultiple", None)
            if line is not None and line.text():
                line.clear()  # the typed text did its work: the next search starts afresh
        self._rebuild_tags()

    def tags_render_tags(self) -> list[QWidget]:
        """The tag widgets of the chosen options (asked for by the flow container)."""
        render = self._renderTags if callable(self._renderTags) else TagsView(self._getOptionLabel)
        try:
            tags = render(self._selected_options, self.getTagProps)
        except Exception:
            traceback.print_exc()
            return []
        if isinstance(tags, QWidget):
            return [tags]
        return [t for t in (tags or []) if isinstance(t, QWidget)]

    def getTagProps(self, index: int) -> dict[str, Any]:
        """Props for the tag at ``index``: ``{"onDelete": callable}`` removing its option."""
        return {"onDelete": _TagDelete(self, index)}

    def _on_tag_deleted(self, index: Any) -> None:
        keys = list(self._selected_options)
        key = keys[index] if isinstance(index, int) and 0 <= index < len(keys) else index
        if isinstance(key, dict):
            self.select_selected_change(key)
            return
        self.select_selected_change({"key": key, "value": self._selected_options.get(key)})

    def _rebuild_tags(self) -> None:
        line = getattr(self, "_inputFieldMultiple", None)
        if line is None:
            return
        had_focus = line.hasFocus()
        old = self._flowWidget
        new = FlowWidget(self, [line]).renderUi(ctx=self._ctx)
        # Tags start where typed text would: the frame's padding is the left edge.
        new.layout().setContentsMargins(0, 2, 0, 2)
        layout = self._inputField.layout()
        if old is not None and isValid(old):
            layout.replaceWidget(old, new)
            old.setParent(None)
            old.deleteLater()
        else:
            layout.addWidget(new)
        layout.setAlignment(new, Qt.AlignmentFlag.AlignVCenter)  # one row of chips sits mid-field
        self._flowWidget = new
        line.show()
        if had_focus:
            line.setFocus()
        self._place_action_frame()
        self._fit_tags()

    def _fit_tags(self) -> None:
        """Makes the frame tall enough for every row of chips (never under the field height)."""
        flow = getattr(self, "_flowWidget", None)
        if flow is None or not isValid(flow) or flow.layout() is None:
            return
        width = max(1, self._inputField.width() - ACTION_FRAME_WIDTH)
        frame = self._frame
        # The frame's padding and borders (its style sheet's) around the chips' rows.
        frame.ensurePolished()
        margins, inner = frame.contentsMargins(), frame.layout().contentsMargins()
        needed = flow.layout().heightForWidth(width) + margins.top() + margins.bottom() + inner.top() + inner.bottom()
        height = max(FIELD_HEIGHTS.get(self._size, FIELD_HEIGHTS["medium"]), needed)
        if frame.minimumHeight() != height:
            frame.setMinimumHeight(height)

    # -- popup content ---------------------------------------------------------------

    def select_show_popup(self, search: Any = None) -> None:
        """Opens the popup with the options narrowed by the typed text; never when read-only or disabled."""
        if self._readOnly or not self.isEnabled():
            return
        self._refresh_menu_rows()
        EntryBoxSelectMixin.select_show_popup(self, search)
        self._theme_icons()

    def select_hide_popup(self) -> None:
        """Closes the popup; the arrow points down again (the calendar shows for a date input)."""
        EntryBoxSelectMixin.select_hide_popup(self)
        self._theme_icons()

    def select_create_menu(self) -> None:
        """A date or time input picks from a calendar or a column of times, not from options."""
        if not self._isDateTimeType:
            EntryBoxSelectMixin.select_create_menu(self)
            self._style_menu(useTheme())
            return
        picker = DatePicker(self._type if self._type in DATETIME_TYPES else "date", self._value)
        picker.picked.connect(self._handle_date_picked)
        self._menu = picker

    def _handle_date_picked(self, text: str, done: bool) -> None:
        self.base_set_value(text)
        if done:
            self.select_hide_popup()

    def _refresh_menu_rows(self) -> None:
        if not self._select:
            return
        if self._isDateTimeType:
            if self._menu:
                self._menu.setValue(self._value)
            else:
                self.select_create_menu()
            return
        if not self._menu:
            self.select_create_menu()
        options = self._getOptions()
        view = self._menu.listView
        _set_list_options(self._menu, options)
        if options:
            row = getattr(self._menu, "_messageRow", None)
            if row is not None and isValid(row):
                row.hide()
            view.show()
        else:
            self.autocomplete_render_loading_menu_items()
        if self._popup is not None and self._popupShowing:
            self._menu.adjustSize()
            self._popup.adjustSize()
            self.select_update_popup_position()

    def autocomplete_render_loading_menu_items(self) -> None:
        """Shows one row in place of the list: "Loading..." while loading, else "No options"."""
        menu = self._menu
        if not menu or isinstance(menu, DatePicker):
            return
        row = getattr(menu, "_messageRow", None)
        if row is None or not isValid(row):
            row = QLabel()
            row.setObjectName("EntryBoxMenuMessage")
            row.setMinimumHeight(48)
            row.setContentsMargins(16, 0, 16, 0)
            menu.layout().addWidget(row)
            menu._messageRow = row
        row.setText(getTranslatedText("Loading..." if self._loading else "No options"))
        menu.listView.hide()
        row.show()
        menu.adjustSize()
        if self._popup is not None:
            self._popup.adjustSize()

    def autocomplete_on_text_changed(self, text: str) -> None:
        """Narrows the options to those whose label contains ``text``."""
        self._filter_text = text
        if not self._select:
            return
        self._refresh_menu_rows()
        if text and not self._popupShowing:
            self.select_show_popup()

    def base_on_btn_clear_text_clicked(self, *_: Any) -> None:
        """Empties the field: no option chosen, no typed text."""
        self._selected_options = {}
        empty: Any = [] if self._multiple else None
        if hasattr(self, "_setSelectedKeys"):
            self._setSelectedKeys([] if self._multiple else None)
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            line.clear()
        self._filter_text = ""
        if self._multiple and self._renderTags:
            self._rebuild_tags()
        self.base_set_value(empty)
        if self._menu:
            self._refresh_menu_rows()

    def _update_clear_button(self) -> None:
        button = getattr(self, "_btn_clear_text", None)
        if button is None:
            return
        value = self._value
        has_value = bool(value) if self._multiple else value not in (None, "")
        button.setVisible(self._hovered and has_value and self.isEnabled() and not self._readOnly)

    # -- events ---------------------------------------------------------------------------

    def _handle_field_focus_in(self) -> None:
        self._focused = True
        self._refresh_style()
        self._update_label()
        self.focusIn.emit()

    def _handle_field_focus_out(self) -> None:
        self._focused = False
        self._refresh_style()
        self._update_label()
        self.blur.emit()

    def _handle_field_released(self, event: Any) -> None:
        self.clicked.emit(event)
        if not self._select:
            return
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            line.setFocus()
        if not self._popupShowing:
            self.select_show_popup()
        else:
            self.select_hide_popup()

    def _handle_key_down(self, event: Any) -> None:
        self.keyDown.emit(event)
        if not self._select:
            return
        key = event.key()
        if key == Qt.Key.Key_Escape and self._popupShowing:
            self.select_hide_popup()
        elif key in (Qt.Key.Key_Down, Qt.Key.Key_Return, Qt.Key.Key_Enter) and not self._popupShowing:
            self.select_show_popup()

    def _handle_multiple_key_down(self, event: Any) -> None:
        line = self._inputFieldMultiple
        if event.key() == Qt.Key.Key_Backspace and not line.text() and self._selected_options:
            # Backspace in an empty field takes the last tag away, as chip inputs do.
            last = list(self._selected_options)[-1]
            self._on_tag_deleted(last)
        self._handle_key_down(event)

    def _handle_key_up(self, event: Any) -> None:
        self.keyUp.emit(event)

    def _handle_field_entered(self) -> None:
        self.mouseEnter.emit()

    def _handle_field_left(self) -> None:
        self.mouseLeave.emit()

    def enterEvent(self, event) -> None:
        super().enterEvent(event)
        self._hovered = True
        self._update_clear_button()
        self._refresh_style()

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        self._hovered = False
        self._update_clear_button()
        self._refresh_style()

    def changeEvent(self, event) -> None:
        super().changeEvent(event)
        if event.type() == QEvent.Type.EnabledChange and hasattr(self, "_frame"):
            self._refresh_style()

    # Handlers given to the tags' line edit.
    def onMouseEnter(self, event: Any = None) -> None:
        self.mouseEnter.emit()

    def onMouseLeave(self, event: Any = None) -> None:
        self.mouseLeave.emit()

    def onFocusInMultiple(self, event: Any = None) -> None:
        self._handle_field_focus_in()

    def onFocusOut(self, event: Any = None) -> None:
        self._handle_field_focus_out()

    def onMouseRelease(self, event: Any = None) -> None:
        self.clicked.emit(event)
        if self._select and not self._popupShowing:
            self.select_show_popup()

    def onInputChange(self, text: str = "") -> None:
        if self._select and not self._popupShowing:
            self.select_show_popup()

    def onMultipleInputFieldClicked(self, event: Any = None) -> None:
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            line.setFocus()
        if self._select and not self._popupShowing:
            self.select_show_popup()

    def eventFilter(self, watched: QObject, event: QEvent) -> bool:
        # Installed on the whole application once the popup exists: keep the common path short.
        if event.type() != QEvent.Type.MouseButtonPress or not self._popupShowing:
            return False
        if not watched.isWidgetType() or self._owns(watched):
            return False
        self.select_hide_popup()
        return False

    def _owns(self, widget: QWidget) -> bool:
        if widget is self or self.isAncestorOf(widget):
            return True
        popup = self._popup
        return popup is not None and (widget is popup or popup.isAncestorOf(widget))


# Defaults of the keyword arguments, read as ``_<name>`` until an instance is given its own.
for _name, _default in _DEFAULTS.items():
    if _name != "value":
        setattr(InputBase, f"_{_name}", _default)
del _name, _default
