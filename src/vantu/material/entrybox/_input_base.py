"""``InputBase``: the entry box's Material text field, with the select mode mixed in.

Without ``select`` it is a labelled line edit. With ``select`` (or ``options``) it is a
Material select: a click opens the option popup, a pick shows the option's label (single
mode) or adds a tag (multiple mode with ``renderTags``), typing in the tags' line edit
narrows the list, and the clear button, shown while the pointer is over a field that has
a value, empties it.

Each concern lives in a module of its own beside this one; ``InputBase`` builds the
widgets and wires them together:

- ``_input_value``: the value, its shown text, selected keys and the record of choices;
- ``_input_tags``: the chips of a multiple selection;
- ``_input_list``: what the popup's list shows;
- ``_input_dates``: the calendar button, date picker and typed-date check of a date or time input;
- ``_input_label``: the label, floated or shown inside the empty field;
- ``_input_style``: style sheets and restyling;
- ``_input_keys`` and ``_input_events``: keys, focus, pointer and application events;
- ``_input_accessibility``: what assistive technology sees;
- ``_input_follow``: following theme and language switches.
"""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import QEvent, QMargins, Qt, QTimer, Signal
from PySide6.QtWidgets import QApplication, QFrame, QHBoxLayout, QLabel, QLineEdit, QSizePolicy, QVBoxLayout, QWidget

from vantu.hooks import State, useEffect, useState
from vantu.material.styles.components import LABEL_STRIP

from ._date_picker import DATETIME_TYPES
from ._input_accessibility import InputAccessibilityMixin
from ._input_dates import CALENDAR_BUTTON_SIZE, InputDatesMixin
from ._input_events import FieldEdit, InputEventsMixin
from ._input_follow import InputFollowMixin, follow
from ._input_keys import InputKeysMixin
from ._input_label import ElidingLabel, InputLabelMixin
from ._input_list import InputListMixin
from ._input_style import ACTION_FRAME_WIDTH, FIELD_HEIGHTS, VARIANTS, InputStyleMixin
from ._input_tags import InputTagsMixin
from ._input_value import MISSING, InputValueMixin, unwrap_state
from ._select import EntryBoxSelectMixin, _input_event_filter
from ._tags_view import TAG_HEIGHT

__all__ = ["InputBase", "DATETIME_TYPES", "VARIANTS", "FIELD_HEIGHTS", "ACTION_FRAME_WIDTH"]

_ARROW_FROM_END = 52
# The arrow button (24 px, the action frame's last 24) is centred 10 px from the box's right
# edge, where the select field centres its arrow.
_CALENDAR_FROM_END = 12 + CALENDAR_BUTTON_SIZE
# The calendar glyph fills its button: it keeps Material's 12 px end padding, clear of the outline.

# Keyword arguments the field understands, with their defaults. Anything else is kept in
# ``_kwargs`` and as ``_<name>``, as every component of the library does.
_DEFAULTS: dict[str, Any] = {
    "name": None,
    "label": None,
    "placeholder": None,
    "value": MISSING,
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


class InputBase(
    QWidget,
    InputValueMixin,
    InputTagsMixin,
    InputListMixin,
    InputDatesMixin,
    InputLabelMixin,
    InputStyleMixin,
    InputKeysMixin,
    InputEventsMixin,
    InputFollowMixin,
    InputAccessibilityMixin,
    EntryBoxSelectMixin,
):
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
            calendar button (or Down, Alt+Down, F4) opens a Material date picker and/or a column
            of half-hour times, and whose value is the picked or typed text ("2026-12-08",
            "14:30", "2026-12-08 14:30"); a typed date that does not exist is an error.
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
        # Refused before anything is built: a State that holds itself has no value.
        raw_value = config["value"]
        if raw_value is MISSING or raw_value is None:
            start = unwrap_state(config["defaultValue"], "defaultValue")
        else:
            start = unwrap_state(raw_value, "value")

        QWidget.__init__(self, parent)
        for mixin in (InputValueMixin, InputListMixin, InputDatesMixin, InputEventsMixin):
            mixin.__init__(self)
        self.setObjectName(f"InputBase-{id(self)}")
        self._args = args
        self._ctx = ctx
        self._kwargs = dict(kwargs)
        variant = config["variant"]
        if variant is None:
            variant = "outlined"
        self._kwargs["variant"] = variant
        # Defaults live on the class; only what was given lands on the instance (never over
        # the concerns' own state).
        own = set(vars(self))
        for key, val in kwargs.items():
            if key != "value" and f"_{key}" not in own:
                setattr(self, f"_{key}", val)
        self._variant = variant
        self._options = list(options) if options is not None else None
        self._select = bool(config["select"]) if config["select"] is not None else options is not None
        self._multiple = bool(config["multiple"])
        self._isDateTimeType = config["type"] in DATETIME_TYPES

        self._valueState = raw_value if isinstance(raw_value, State) else None
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
        self._date_setup()
        self._show_value()
        self._set_translated_texts()
        self._refresh_style()
        self._apply_direction()
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
        self._inputField = FieldEdit(self)
        self._inputField.setObjectName("InputBaseField")
        self._inputField.setFrame(False)
        if self._type == "password":
            self._inputField.setEchoMode(QLineEdit.EchoMode.Password)
        self._inputField.setReadOnly(bool(self._readOnly) or bool(self._select))
        frame_layout.addWidget(self._inputField)
        root.addWidget(self._frame)
        # Placed by hand over the frame (see ``_place_label``), above it in paint order.
        self._titleLabel = ElidingLabel(self)
        self._titleLabel.setObjectName("InputBaseLabel")
        self._titleLabel.setIndent(0)  # its padding alone sets where the text starts
        self._titleLabel.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        self._labelPlace = (0, 0)
        self._setup_elision()
        self.setEnabled(not self._disabled)

    def _after_select_setup(self) -> None:
        """Brings the selected keys in line with the starting value."""
        if not hasattr(self, "_setSelectedKeys"):
            # No options yet (they may come later, through a State): choices still need keys.
            self._selectedKeys, self._setSelectedKeys = useState(initial=[] if self._multiple else None,
                                                                 component=self)
        if self._multiple:
            self._setSelectedKeys(self._keys_of_record())
        else:
            self._setSelectedKeys(self._key_of(self._value) if self._value is not None else None)
        if self._multiple and self._renderTags:
            # The field grows with the rows of chips instead of clipping them.
            self._inputField.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
            if self._variant not in ("filled", "standard") and self._size != "small":
                # Rows of chips keep clear of the notched label and of the bottom border (one
                # row sits mid-box anyway); a small box has just the room for one row.
                self._frame.layout().setContentsMargins(0, 6, 0, 6)
            # As tall as a chip: chips and typed text make one even row.
            self._inputFieldMultiple.setFixedHeight(TAG_HEIGHT)
            self._rebuild_tags()
            # Tab goes to the typing field; the read-only field under the chips is no stop of its own.
            self._inputField.setFocusPolicy(Qt.FocusPolicy.ClickFocus)
            self._inputFieldMultiple.keyDown.connect(self._handle_multiple_key_down)
            self._inputFieldMultiple.keyUp.connect(self._handle_key_up)
        if self.action_frame is not None:
            self.action_frame.show()
        if self._btnSelect is not None:
            # A press on the arrow puts the keyboard in the field, not on the button.
            self._btnSelect.setFocusPolicy(Qt.FocusPolicy.NoFocus)
            self._btnSelect.pressed.connect(self._focus_field)

    def _connect(self) -> None:
        self._inputField.textChanged.connect(self._handle_text_changed)
        self._setup_accessibility()
        follow(self)
        if isinstance(self._error, State):
            useEffect(self._handle_error_changed, [self._error], component=self)
        if self._valueState is not None:
            useEffect(self._apply_value_state, [self._valueState], component=self)
        if self._optionsState is not None:
            useEffect(self._apply_options_state, [self._optionsState], component=self)
        if self._select and self._multiple and isinstance(self._renderOption, State):
            # Connected after the select mode's own rebuild of the list: the new list gets the
            # typed text's rows.
            self._renderOption.valueChanged.connect(self._sync_list_rows)

    def setup_action_frame_and_adornment(self) -> None:
        """Places the clear and arrow buttons over the right end of the field; a date or time
        input gets its calendar button there."""
        if self.action_frame is None:
            return
        if self._isDateTimeType and self._btnCalendar is None:
            self._setup_date_adornment()
        if not (self._multiple and self._renderTags):
            self._inputField.setTextMargins(0, 0, ACTION_FRAME_WIDTH, 0)
        self._apply_direction()

    def _right_to_left(self) -> bool:
        return self.layoutDirection() == Qt.LayoutDirection.RightToLeft

    def _apply_direction(self) -> None:
        """Mirrors the field for a right-to-left layout: text at the right, the room kept for
        the buttons at the left, the buttons and the label placed again."""
        rtl = self._right_to_left()
        # Line edits and labels align by their text's own direction; the field aligns by the layout's.
        align = (Qt.AlignmentFlag.AlignAbsolute | Qt.AlignmentFlag.AlignRight if rtl
                 else Qt.AlignmentFlag.AlignLeft) | Qt.AlignmentFlag.AlignVCenter
        for edit in (self._inputField, getattr(self, "_inputFieldMultiple", None), self._host_helper()):
            if edit is not None and edit.alignment() != align:
                edit.setAlignment(align)
        if self.action_frame is not None:
            room = (ACTION_FRAME_WIDTH, 0, 0, 0) if rtl else (0, 0, ACTION_FRAME_WIDTH, 0)
            if self._multiple and self._renderTags:
                layout = self._inputField.layout()
                if layout is not None and layout.contentsMargins() != QMargins(*room):
                    layout.setContentsMargins(*room)
            elif self._inputField.textMargins() != QMargins(*room):
                self._inputField.setTextMargins(*room)
        self._place_action_frame()
        self._place_label()

    def _host_helper(self) -> QLabel | None:
        """The helper label of the entry box holding this input, once it exists."""
        host = self.parentWidget()
        if host is not None and getattr(host, "_input", None) is self:
            return getattr(host, "_helperLabel", None)
        return None

    def _direction_changed(self) -> None:
        """After a switch of direction: style-sheet paddings and margins are laid out once, in
        the direction of the moment, so every box of the entry box is laid out again."""
        host = self.parentWidget()
        area = host if host is not None and getattr(host, "_input", None) is self else self
        change = QEvent(QEvent.Type.StyleChange)
        for widget in (area, *area.findChildren(QFrame)):
            if not widget.isWindow():
                QApplication.sendEvent(widget, change)
        self._apply_direction()

    def _place_action_frame(self) -> None:
        """The clear and arrow buttons sit mid-box at the end of the field, where the select
        field has its own: at the right, or at the left in a right-to-left layout.

        The calendar button of a date input stands where a Material trailing icon does, 12 px
        in from the end; the action frame moves inwards, so the clear button sits beside it.
        """
        frame = getattr(self, "action_frame", None)
        if frame is None:
            self._place_calendar_alone()  # a date input without select mode
            return
        box = self._frame.geometry()
        rtl = self._right_to_left()

        def mirrored(x: int, width: int) -> int:
            return box.x() + box.x() + box.width() - x - width if rtl else x

        x = box.x() + box.width() - _ARROW_FROM_END
        y = box.y() + box.height() // 2 - 13
        calendar = self._btnCalendar
        if calendar is not None:
            at = box.x() + box.width() - _CALENDAR_FROM_END
            calendar.move(mirrored(at, CALENDAR_BUTTON_SIZE), y)
            calendar.raise_()
            # The clear button (the frame's last 24 px) ends 6 px before the calendar.
            x = at - 6 - ACTION_FRAME_WIDTH
        frame.setGeometry(mirrored(x, ACTION_FRAME_WIDTH), y, ACTION_FRAME_WIDTH, 24)
        frame.raise_()

    # -- Qt events, handed to the concerns -------------------------------------------

    def resizeEvent(self, event) -> None:
        super().resizeEvent(event)
        self._place_action_frame()
        self._place_label()
        if self._popup is not None and self._popupShowing:
            self.select_update_popup_position()

    def showEvent(self, event) -> None:
        super().showEvent(event)
        self._apply_direction()  # places the buttons and the label, and aligns the helper text

    def enterEvent(self, event) -> None:
        super().enterEvent(event)
        self._pointer_entered()

    def leaveEvent(self, event) -> None:
        super().leaveEvent(event)
        self._pointer_left()

    def hideEvent(self, event) -> None:
        super().hideEvent(event)
        self._input_hidden()

    def changeEvent(self, event) -> None:
        super().changeEvent(event)
        if event.type() == QEvent.Type.EnabledChange and hasattr(self, "_frame"):
            self._refresh_style()
            self._enabled_changed()
        elif event.type() == QEvent.Type.LayoutDirectionChange and hasattr(self, "_frame"):
            self._apply_direction()
            # The entry box's helper label switches after its input: the boxes are redone
            # once the whole entry box has switched.
            QTimer.singleShot(0, self, self._direction_changed)

    # The application-wide filter sees every event: the native gate answers most of them without
    # a call into Python and hands the rest to ``_filter_application_event``.
    eventFilter = _input_event_filter


# Defaults of the keyword arguments, read as ``_<name>`` until an instance is given its own.
for _name, _default in _DEFAULTS.items():
    if _name != "value":
        setattr(InputBase, f"_{_name}", _default)
del _name, _default
