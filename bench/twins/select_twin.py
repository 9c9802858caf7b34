"""SelectBase's construction, choice and event filter written in plain Python.

A subclass of the native SelectBase whose methods on those paths are the native bodies written
line for line in Python, calling the same services (the style, getter and serializer mixins,
FlowWidget, useState, useEffect, the theme, translation) and the same Qt calls in the same
order. Everything else (signals, the popup, key handling) is inherited unchanged; the benchmark
checks that the twin's paths reach no native body.
"""
from __future__ import annotations

import traceback
import weakref
from functools import partial

from PySide6.QtCore import QEvent, QSize, Qt
from PySide6.QtGui import QCursor, QFontMetrics, QIcon
from PySide6.QtWidgets import QFrame, QGroupBox, QHBoxLayout, QLineEdit, QPlainTextEdit, QPushButton, QSizePolicy, QWidget
from shiboken6 import isValid

import vantu
from vantu.hooks import State, useEffect, useState
from vantu.i18n.use_translation import i18n
from vantu.material.accessibility import name_field_buttons
from vantu.material.select._getter import SelectGetterMixin
from vantu.material.select._serializer import SelectSerializer
from vantu.material.select._style import SelectStyleMixin
from vantu.material.select.flow_widget import FlowWidget
from vantu.material.select.pickcore import SelectBase
from vantu.material.styles import useTheme
from vantu.material.widget_base import PyWidgetBase
from vantu.utils.translator import getTranslatedText
from vantu.vantu_assets import VANTU_ASSETS

_ALIGN_RIGHT_VCENTER = Qt.AlignmentFlag.AlignRight | Qt.AlignmentFlag.AlignVCenter
_LINE_SHEET = ("\n                QLineEdit {\n                    border: none;\n                    width: 100%;\n"
               "                    background-color: transparent;\n                }\n")
_PLAIN_SHEET = ("\n                QPlainTextEdit {\n                    width: 100%;\n"
                "                    background-color: transparent;\n                }\n")


def _print(*values) -> None:
    if vantu._diagnostics[0]:
        print(*values)


def _icon(name: str) -> QIcon:
    return QIcon(getattr(VANTU_ASSETS.ICONS, name))


def _owner_of(inp):
    owner = inp._owner()
    if owner is None or not isValid(owner):
        return None
    return owner


class PyLineEdit(QLineEdit):
    """The single-line input, as the native one: press and focus-out go to the field."""

    def __init__(self, owner) -> None:
        QLineEdit.__init__(self)
        self._owner = weakref.ref(owner)

    def mousePressEvent(self, event) -> None:
        owner = _owner_of(self)
        if owner is None:
            return QLineEdit.mousePressEvent(self, event)
        return owner.onInputFieldMousePressEvent(event)

    def focusOutEvent(self, event) -> None:
        owner = _owner_of(self)
        if owner is None:
            return QLineEdit.focusOutEvent(self, event)
        if event.reason() in (Qt.FocusReason.TabFocusReason, Qt.FocusReason.BacktabFocusReason):
            popup = getattr(owner, "_popup", None)
            if popup and popup.isVisible():
                owner._hide_popup()
        result = owner.onInputFieldFocusOutEvent(event)
        owner.style_sync_state()
        return result

    def focusInEvent(self, event) -> None:
        result = QLineEdit.focusInEvent(self, event)
        owner = _owner_of(self)
        if owner is not None:
            owner.style_sync_state()
        return result

    def keyPressEvent(self, event) -> None:
        owner = _owner_of(self)
        if owner is not None and owner._on_input_key_press(event):
            event.accept()
            return None
        return QLineEdit.keyPressEvent(self, event)


class PyPlainTextEdit(QPlainTextEdit):
    """The tag-holding input of a multiple field, as the native one."""

    def __init__(self, owner) -> None:
        QPlainTextEdit.__init__(self)
        self._owner = weakref.ref(owner)

    def mousePressEvent(self, event) -> None:
        owner = _owner_of(self)
        if owner is None:
            return QPlainTextEdit.mousePressEvent(self, event)
        return owner.onInputFieldMousePressEvent(event)

    def focusOutEvent(self, event) -> None:
        return _plain_focus_out(self, event)

    def focusInEvent(self, event) -> None:
        result = QPlainTextEdit.focusInEvent(self, event)
        owner = _owner_of(self)
        if owner is not None:
            owner.style_sync_state()
        return result

    def keyPressEvent(self, event) -> None:
        owner = _owner_of(self)
        if owner is not None and owner._on_input_key_press(event):
            event.accept()
            return None
        return QPlainTextEdit.keyPressEvent(self, event)

    def sizeHint(self) -> QSize:
        hint = QPlainTextEdit.sizeHint(self)
        layout = self.layout()
        if layout is None:
            return hint
        rows = layout.sizeHint().height()
        return QSize(hint.width(), max(rows + 2 * self.frameWidth(), 30))

    def minimumSizeHint(self) -> QSize:
        hint = QPlainTextEdit.minimumSizeHint(self)
        return QSize(hint.width(), self.sizeHint().height())


def _plain_focus_out(inp, event):
    owner = _owner_of(inp)
    if owner is None:
        return QPlainTextEdit.focusOutEvent(inp, event)
    if event.reason() in (Qt.FocusReason.TabFocusReason, Qt.FocusReason.BacktabFocusReason):
        popup = getattr(owner, "_popup", None)
        if popup and popup.isVisible():
            owner._hide_popup()
    result = owner.onInputFieldFocusOutEvent(event)
    owner.style_sync_state()
    return result


# ---- module helpers, as the native ones -------------------------------------------------

def _label_of(self, option):
    getter = self._getOptionLabel
    if getter:
        return getter(option)
    if isinstance(option, str):
        return option
    if isinstance(option, dict):
        v = option.get("value")
        return v if v else ""
    return option


def _set_placeholder(self, key) -> None:
    text = "" if key is None else str(getTranslatedText(key))
    self._inputField.setPlaceholderText(text)
    self._placeholderSource = None if key is None else (key, text)


def _shows_value(self) -> bool:
    value = self.value
    if self._multiple:
        return bool(value)
    return value is not None and value != ""


def _reflect_value(self) -> None:
    if _shows_value(self):
        self._show_label()
        return
    inp = self._inputField
    if self.hasFocus() or inp.hasFocus():
        return
    if self.title():
        self._hide_label()
    label = self._label
    source = getattr(self, "_placeholderSource", None)
    if source is not None and source[0] is label and inp.placeholderText() == source[1]:
        return
    _set_placeholder(self, label)


def _key_for_value(self, value):
    if value is None or (isinstance(value, str) and len(value) == 0):
        return None
    if isinstance(value, dict):
        return _label_of(self, value)
    by_value = None
    for option in self._options:
        if isinstance(option, str):
            if option == value:
                return _label_of(self, option)
        elif isinstance(option, dict):
            key = _label_of(self, option)
            if key == value:
                return key
            if by_value is None and option.get("value") == value:
                by_value = key
    return value if by_value is None else by_value


def _sync_selected_key(self) -> None:
    if self._multiple:
        return
    setter = getattr(self, "_setSelectedKeys", None)
    if setter is None:
        return
    setter(_key_for_value(self, self.value))


def _selection_keys(self) -> list:
    keys = []
    getter = self._getOptionLabel
    for option in list(self._selected_options.values()):
        keys.append(option if isinstance(option, str) else (getter(option) if getter else _label_of(self, option)))
    return keys


def _sync_multiple_selection(self) -> None:
    setter = getattr(self, "_setSelectedKeys", None)
    if setter is None:
        return
    value = self.value
    options = list(value) if isinstance(value, (list, tuple)) else ([] if value is None else [value])
    selected = {}
    for option in options:
        selected[_label_of(self, option)] = option
    self._selected_options = selected
    setter(_selection_keys(self))
    if not self._renderTags or getattr(self, "_flowWidget", None) is None:
        return
    try:
        self.tags = self._renderTags(selected, self.getTagProps)
    except Exception as error:  # noqa: BLE001 - as the native field: report and stay usable
        traceback.print_exception(error)
    tags = getattr(self, "tags", None)
    _replace_flow(self, [] if tags is None else tags)
    if len(selected):
        self._inputField.setPlaceholderText("")


def _retire_widget(self, widget) -> None:
    retired = getattr(self, "_retired_widgets", None)
    kept = [w for w in retired if isValid(w)] if retired is not None else []
    widget.setParent(None)
    widget.deleteLater()
    kept.append(widget)
    self._retired_widgets = kept


def _replace_flow(self, tags) -> None:
    _retire_widget(self, self._flowWidget)
    flow = FlowWidget(self, children=tags).renderUi(ctx=self._ctx)
    self._flowWidget = flow
    inp = self._inputField
    inp.layout().addWidget(flow)
    previous = inp
    for widget in flow.findChildren(QWidget):
        if not (widget.focusPolicy().value & 1):
            continue
        QWidget.setTabOrder(previous, widget)
        previous = widget


def _tag_on_delete(field_ref, index, *key):
    field = field_ref()
    if field is None or not isValid(field):
        return None
    return field._on_tag_deleted(key[0] if key else index)


def _apply_controlled_value(field_ref):
    field = field_ref()
    if field is None or not isValid(field):
        return None
    field.setControlledState(field._value.value)
    return None


def _right_to_left(widget) -> bool:
    return widget.layoutDirection() == Qt.LayoutDirection.RightToLeft


class PySelectBase(SelectBase):
    """SelectBase with its construction, choice and event filter in Python."""

    def __init__(self, parent=None, *args, **kwargs) -> None:
        if parent is not None and not isinstance(parent, QWidget):
            raise TypeError(f"Argument 'parent' has incorrect type (expected QWidget or None, got "
                            f"{type(parent).__name__})")
        QGroupBox.__init__(self, parent)
        try:
            SelectSerializer.__init__(self, **kwargs)
            self.setObjectName("SelectBase-" + str(id(self)))
            copy = dict(kwargs)
            copy["variant"] = self._variant
            copy["size"] = self._size
            self._kwargs = copy
            self._ctx = kwargs["ctx"] if "ctx" in kwargs else None
            SelectStyleMixin.__init__(self, **kwargs)
            SelectGetterMixin.__init__(self, **kwargs)
            self._SelectBase__init_ui()
        except Exception:
            self.setParent(None)
            self.deleteLater()
            raise

    def _SelectBase__init_ui(self) -> None:
        self._init_done = False
        self._connect_signals_props()
        self.theme = useTheme()
        i18n.langChanged.connect(self._retranslate_label)
        if self._fullWidth:
            if not self._sx:
                self._sx = {}
            self._sx["width"] = "100%"
        self.value = None
        self._tagsWidget = None
        self._selected_options = {}
        self._inputFieldHasFocusIn = False
        self._inputField = None
        self._popup = None
        self._btnSelect = None
        self._menu = None

        self.setLayout(QHBoxLayout())
        self.layout().setContentsMargins(0, 0, 0, 0)
        self.setSizePolicy(QSizePolicy.Policy.Preferred, QSizePolicy.Policy.Fixed)
        plain = bool(self._multiple) and bool(self._renderTags)
        inp = PyPlainTextEdit(self) if plain else PyLineEdit(self)
        self._inputField = inp
        inp.setStyleSheet(_PLAIN_SHEET if plain else _LINE_SHEET)
        if not self._defaultValue:
            _set_placeholder(self, self._label)
        inp.setReadOnly(True)
        inp.setObjectName("inputField")
        inp.setCursor(Qt.CursorShape.PointingHandCursor)
        self.layout().addWidget(inp)

        default = self._defaultValue
        if default is not None:
            self.setControlledState(default.value if isinstance(default, State) else default)
        value = self._value
        if value is not None:
            self.setControlledState(value.value if isinstance(value, State) else value)
        if self._disabled:
            self.setEnabled(False)
        PyWidgetBase._installTooltipFilter(self)
        self._setup_select_mode()
        self.theme = useTheme()
        useEffect(self.style_set_stylesheet, [self.theme.state], component=self)
        self.style_set_stylesheet()
        if self._multiple:
            self._setup_default_tags()
            if self._value is not None:
                _sync_multiple_selection(self)
        _sync_selected_key(self)
        _reflect_value(self)
        name_field_buttons(self)
        self._init_done = True

    def setControlledState(self, value) -> None:
        self.value = value
        _print({"value": self.value})
        self._update_input_text()
        v = self.value
        if not self._multiple and (v is None or v == ""):
            inp = self._inputField
            (inp.setPlainText if isinstance(inp, QPlainTextEdit) else inp.setText)("")
        _sync_selected_key(self)
        if self._multiple:
            _sync_multiple_selection(self)
        if getattr(self, "_init_done", None):
            _reflect_value(self)

    def _connect_signals_props(self) -> None:
        value = self._value
        if isinstance(value, State):
            useEffect(partial(_apply_controlled_value, weakref.ref(self)), [value], component=self)
        error = self._error
        if isinstance(error, State):
            useEffect(self._base_on_error_state_changed, [error], component=self)
            if error.value:
                self._base_on_error_state_changed()

    def _setup_select_mode(self) -> None:
        options = self._options
        multiple = bool(self._multiple)
        if multiple:
            keys = []
            default = self._defaultValue
            default = default.value if isinstance(default, State) else default
            if default:
                for option in default:
                    keys.append(_label_of(self, option))
            self._keys_state(keys)
        elif options:
            first = options[0]
            if isinstance(first, str):
                initial = first
            elif self._getOptionLabel:
                initial = self._getOptionLabel(first)
            else:
                v = first.get("value")
                initial = v if v else ""
            self._keys_state(initial)
        else:
            self._keys_state(self.value)

        frame = QFrame(self)
        self.action_frame = frame
        frame.setObjectName("actionframe")
        frame.setSizePolicy(QSizePolicy.Policy.Maximum, QSizePolicy.Policy.Maximum)
        layout = QHBoxLayout(frame)
        layout.setContentsMargins(0, 0, 0, 0)
        frame.setFixedWidth(20)
        layout.setAlignment(_ALIGN_RIGHT_VCENTER)

        if multiple:
            inp = self._inputField
            if self._renderTags:
                flow = FlowWidget(self, []).renderUi(ctx=self._ctx)
                self._flowWidget = flow
                inp.setReadOnly(True)
                inner = QHBoxLayout()
                inner.setContentsMargins(0, 0, 54, 0)
                inp.setLayout(inner)
                inp.setPlaceholderText("")
                inner.addWidget(flow)
            elif self._renderValue and self.value:
                self.setElidedText(inp, self._renderValue(self.value))
            render = self._renderOption
            if isinstance(render, State):
                render.valueChanged.connect(self._create_menu)
            clear = QPushButton()
            self._btn_clear_text = clear
            clear.setFixedSize(24, 24)
            clear.setIcon(_icon("CLOSE"))
            clear.setIconSize(QSize(18, 18))
            clear.setCursor(Qt.CursorShape.PointingHandCursor)
            clear.clicked.connect(self._on_clear_text)
            layout.addWidget(clear)
            clear.hide()
            clear.setFocusPolicy(Qt.FocusPolicy.NoFocus)
            clear.setAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating, True)
            frame.setFixedWidth(54)

        arrow = QPushButton()
        self._btnSelect = arrow
        arrow.setCursor(Qt.CursorShape.PointingHandCursor)
        arrow.setFixedSize(24, 24)
        arrow.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        arrow.setAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating, True)
        arrow.setIcon(_icon("ARROW_DOWN"))
        arrow.setIconSize(QSize(20, 20))
        arrow.clicked.connect(self._toggle_popup)
        arrow.pressed.connect(self._inputField.setFocus)
        layout.addWidget(arrow)

        self._inputField.installEventFilter(self)
        self.setup_action_frame_and_adornment()

    def _keys_state(self, initial) -> None:
        pair = useState(initial=initial, component=self)
        self._selectedKeys = pair[0]
        self._setSelectedKeys = pair[1]

    def _setup_default_tags(self) -> None:
        default = self._defaultValue
        default = default.value if isinstance(default, State) else default
        if not default:
            return
        selected = self._selected_options
        for option in default:
            selected[_label_of(self, option)] = option
        render_tags = self._renderTags
        if not render_tags:
            self._update_input_text()
            return
        tags = render_tags(selected, self.getTagProps)
        self.tags = tags
        _replace_flow(self, tags)

    def setup_action_frame_and_adornment(self) -> None:
        frame = getattr(self, "action_frame", None)
        if frame is None:
            return
        w, h = self.width(), self.height()
        fw, fh = frame.width(), frame.height()
        y = (h + 6 - fh) // 2
        rtl = _right_to_left(self)
        frame.move(0 if rtl else w - fw, y)
        inp = getattr(self, "_inputField", None)
        if inp is not None and self._multiple and self._renderTags:
            inner = inp.layout()
            if inner is not None:
                m = inner.contentsMargins()
                start, end = m.left(), m.right()
                if (rtl and start < end) or (not rtl and end < start):
                    inner.setContentsMargins(end, m.top(), start, m.bottom())
        if not frame.isVisible():
            frame.show()

    # ---- a choice -------------------------------------------------------------------------

    def _selected_change(self, data: dict) -> None:
        if type(data) is not dict:
            raise TypeError(f"Argument 'data' has incorrect type (expected dict, got {type(data).__name__})")
        key = data.get("key")
        value = data.get("value")
        _print("data______________", data)
        if not self._multiple:
            self._setSelectedKeys(key)
            self.base_set_value(value)
            self._selected_options[key] = key
            self._hide_popup()
            self.style_set_stylesheet()
            return
        inp = self._inputField
        tags = bool(self._renderTags)
        render_value = self._renderValue
        shows_value = bool(render_value) and isinstance(inp, QLineEdit)
        current = self._selectedKeys.value
        current = list(current) if isinstance(current, (list, tuple)) else ([] if current is None else [current])
        if key in current:
            remaining = list(current)
            remaining.remove(key)
            self._setSelectedKeys(remaining)
            if tags:
                self._setup_tags(key=key)
            else:
                self._update_selected_options(key)
            self.base_set_value(list(self._selected_options.values()))
            if shows_value:
                self.setElidedText(inp, render_value(self.value))
            return
        if tags:
            self._setup_tags(key=key, option=key)
        else:
            self._update_selected_options(key)
        keys = _selection_keys(self)
        values = list(self._selected_options.values())
        self._setSelectedKeys(keys)
        self.base_set_value(values)
        if len(values) and tags:
            inp.setPlaceholderText("")
        if shows_value:
            self.setElidedText(inp, render_value(self.value))
        self._hide_popup()
        self.style_set_stylesheet()

    def setValue(self, v=None) -> None:
        _print("Select------setValue", v, self._onChange)
        self.value = v
        self.valueChanged.emit(self.value)
        if callable(self._onChange):
            self._onChange(self)

    def base_set_value(self, value=None, valueChanged=True, setText=True) -> None:
        if isinstance(value, list):
            selected = self._selected_options
            for key, option in list(selected.items()):
                if option not in value:
                    del selected[key]
        self.setValue(value)
        now = self.value
        if self._multiple:
            self._set_multiple_has_value_prop(now is not None)
        elif self._variant == "filled":
            self._set_filled_has_value_prop(now is not None)
        if value is not None and self.value != "":
            self._show_label()
        if setText:
            self._update_input_text()

    def _update_input_text(self) -> None:
        value = self.value
        inp = self._inputField
        getter = self._getOptionLabel
        if not self._multiple:
            if isinstance(value, dict):
                if getter:
                    inp.setText(str(getter(value)))
                    inp.setCursorPosition(0)
            elif getter:
                for option in self._options:
                    if isinstance(option, dict):
                        match = getter(option) == value
                    elif isinstance(option, str):
                        match = option == value
                    else:
                        continue
                    if match:
                        inp.setText(str(getter(option)))
                        inp.setCursorPosition(0)
                        break
            else:
                _print("_update_input_text+++++++++++++++", value)
                inp.setText(str(value))
                inp.setCursorPosition(0)
            return
        if self._renderTags:
            return
        if self._renderValue:
            _print("self.value_____________________", value, type(value))
            self.setElidedText(inp, self._renderValue(value))
            return
        if value is None or not isinstance(value, (list, tuple)):
            text = "" if value is None else str(_label_of(self, value))
        else:
            text = ", ".join(str(_label_of(self, option)) for option in value)
        self.setElidedText(inp, text)

    def _show_label(self) -> None:
        if self._hiddenLabel:
            return
        self._set_translated_label()

    def _set_translated_label(self) -> None:
        if self._hiddenLabel:
            return
        text = getTranslatedText(self._label)
        self.setTitle(str(text) + "*" if self._required else text)
        self.style_sync_state()

    def _hide_label(self) -> None:
        self.setTitle("")
        self.style_sync_state()

    def _hide_popup(self) -> None:
        popup = getattr(self, "_popup", None)
        if popup and popup.isVisible():
            popup.setVisible(False)
        down = _icon("ARROW_DOWN")
        button = getattr(self, "_btnSelect", None)
        if button:
            button.setIcon(down)
        self._popupShowed = False

    def _set_multiple_has_value_prop(self, value) -> None:
        self.setProperty("multipleHasValue", value)

    def getTagProps(self, index) -> dict:
        return {"onDelete": partial(_tag_on_delete, weakref.ref(self), index)}

    def _setup_tags(self, key=None, option=None) -> None:
        if key is not None:
            getter = self._getOptionLabel
            for o in self._options:
                if (getter(o) if getter else _label_of(self, o)) == key:
                    option = o
                    break
        elif option and isinstance(option, dict):
            key = _label_of(self, option)
        selected = self._selected_options
        render_tags = self._renderTags
        try:
            filed = key in selected
        except TypeError:
            filed = False
        if filed or option in selected.values():
            if filed:
                del selected[key]
            else:
                for k, v in list(selected.items()):
                    if v == option:
                        del selected[k]
                        break
            self.tags = render_tags(selected, self.getTagProps)
        else:
            try:
                selected.update({key: option})
                self.tags = render_tags(selected, self.getTagProps)
            except Exception as error:  # noqa: BLE001 - as the native field
                traceback.print_exception(error)
        tags = getattr(self, "tags", None)
        _replace_flow(self, [] if tags is None else tags)

    # ---- the event filter -----------------------------------------------------------------

    def eventFilter(self, obj, event) -> bool:
        popup = getattr(self, "_popup", None)
        if popup is None:
            return False
        if obj is self:
            kind = event.type()
            if (kind == QEvent.Type.Hide or (kind == QEvent.Type.EnabledChange and not self.isEnabled())) \
                    and popup.isVisible():
                self._hide_popup()
        if obj is popup and event.type() == QEvent.Type.WindowActivate:
            self.window().activateWindow()
        if popup and popup.isVisible():
            kind = event.type()
            press = kind == QEvent.Type.MouseButtonPress
            if press or kind == QEvent.Type.Wheel:
                where = getattr(event, "globalPosition", None)
                pos = QCursor.pos() if where is None else where().toPoint()
                over_field = self.underMouse() or self.rect().contains(self.mapFromGlobal(pos))
                in_popup = popup.geometry().contains(pos)
                if press:
                    if not over_field and not in_popup:
                        self._hide_popup()
                else:
                    over_popup = in_popup or popup.underMouse()
                    if (not over_field and not over_popup) or obj == self._inputField:
                        self._hide_popup()
        return QGroupBox.eventFilter(self, obj, event)
