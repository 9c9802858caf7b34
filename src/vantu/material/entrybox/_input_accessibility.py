"""What assistive technology (``QAccessible``) sees of the entry box's input.

The field (and the typing field of a tags field) of a select, of a date or time input, and of an
input that can show an error reports, through the library's own interface:

- role: ComboBox in select mode, EditableText otherwise;
- name: the label, translated, with the " *" of a required field (the placeholder when there is
  no label); description: the message of a date that does not exist and the entry box's helper
  text; value: the shown text (the chosen labels, joined, in a tags field);
- states: focusable and focused, disabled, read-only or editable, password, invalid in the error
  state, and, with a list or a date picker, expandable with expanded or collapsed following it.

A plain text input keeps Qt's line edit interface (with its caret-level text interface, which an
interface written in Python cannot offer) and is given the same name and description.

Changes are announced: the list or picker opening and closing, the value, the error state. The
buttons carry translated names: "Clear", "Open" / "Close", the calendar button's "Choose date";
a chip's delete control is "Remove <label>". Qt's own button support gives each a press action,
so a clear button that never takes focus can still be pressed.

An application's own ``setAccessibleName`` / ``setAccessibleDescription`` on the field wins.
"""
from __future__ import annotations

from typing import Any

from PySide6.QtGui import QAccessible, QAccessibleEvent, QAccessibleStateChangeEvent, QAccessibleValueChangeEvent
from PySide6.QtWidgets import QAccessibleWidget, QLineEdit, QWidget
from shiboken6 import isValid

from vantu.hooks import State
from vantu.material import accessibility
from vantu.utils.translator import getTranslatedText

__all__ = ["InputAccessibilityMixin", "install_accessibility"]

_FIELD_CLASSES = ("FieldEdit", "EBLineEditMultiple")


def _owner(widget: QWidget) -> Any:
    """The input a field belongs to (``None`` for a field of no input)."""
    host = getattr(widget, "_host", None)
    if callable(host):
        found = host()
        return found if found is not None and isValid(found) else None
    parent = widget.parentWidget()
    while parent is not None:
        if getattr(parent, "_inputFieldMultiple", None) is widget and hasattr(parent, "_accessible_name"):
            return parent
        parent = parent.parentWidget()
    return None


class _FieldAccessible(QAccessibleWidget):
    """The field's interface: Qt's widget interface with the input's role, texts and states."""

    def __init__(self, widget: QWidget) -> None:
        super().__init__(widget, QAccessible.Role.EditableText, "")

    def _host(self) -> Any:
        widget = self.widget()
        return _owner(widget) if widget is not None and isValid(widget) else None

    def role(self) -> QAccessible.Role:
        host = self._host()
        return QAccessible.Role.ComboBox if host is not None and host._select else QAccessible.Role.EditableText

    def text(self, kind: QAccessible.Text) -> str:
        host = self._host()
        widget = self.widget()
        if host is None:
            return super().text(kind)
        if kind == QAccessible.Text.Name:
            return widget.accessibleName() or host._accessible_name()
        if kind == QAccessible.Text.Description:
            return widget.accessibleDescription() or host._accessible_description()
        if kind == QAccessible.Text.Value:
            return host._accessible_value()
        return super().text(kind)

    def state(self) -> QAccessible.State:
        state = super().state()
        host = self._host()
        widget = self.widget()
        if host is None:
            return state
        if isinstance(widget, QLineEdit):
            if widget.echoMode() != QLineEdit.EchoMode.Normal:
                state.passwordEdit = True
            if not widget.isReadOnly():
                state.editable = True
        if host._readOnly:
            state.readOnly = True
        if host._getError():
            state.invalid = True
        if host._select or host._btnCalendar is not None:
            opened = host._accessible_open()
            state.hasPopup = True
            state.expandable = True
            state.expanded = opened
            state.collapsed = not opened
        return state


def _make_field(obj: Any) -> Any:
    if not isinstance(obj, QWidget):
        return None
    host = _owner(obj)
    if host is None or not host._accessible_own_interface():
        return None  # Qt's own line edit interface
    return _FieldAccessible(obj)


def install_accessibility() -> None:
    """Lets Qt ask for the library's interface of an input's fields."""
    accessibility.register(_FIELD_CLASSES, _make_field)


class InputAccessibilityMixin:
    """The input's side: its texts for the interface, button names, and announcements."""

    def _setup_accessibility(self) -> None:
        install_accessibility()
        self.valueChanged.connect(self._announce_value)

    def _accessible_own_interface(self) -> bool:
        """Whether the fields need the library's interface: a select, a date input, or an input
        whose error can show."""
        error = self._error
        return bool(self._select or self._isDateTimeType or isinstance(error, State) or error)

    def _refresh_accessible_texts(self) -> None:
        """Name and description of a plain text input's field, which Qt's own interface reads
        from the widget (kept when the application set its own)."""
        if self._accessible_own_interface():
            return
        field = self._inputField
        for getter, setter, text in ((field.accessibleName, field.setAccessibleName, self._accessible_name()),
                                     (field.accessibleDescription, field.setAccessibleDescription,
                                      self._accessible_description())):
            given = vars(self).setdefault("_a11yGiven", {})
            key = setter.__name__
            if getter() in ("", given.get(key)):
                setter(text)
                given[key] = text

    def _accessible_fields(self) -> list[QWidget]:
        fields = [self._inputField]
        line = getattr(self, "_inputFieldMultiple", None)
        if line is not None:
            fields.append(line)
        return [f for f in fields if isValid(f)]

    def _accessible_name(self) -> str:
        if self._label:
            text = getTranslatedText(self._label)
            return f"{text} *" if self._required else text
        return getTranslatedText(self._placeholder) if self._placeholder else ""

    def _accessible_description(self) -> str:
        parts = []
        message = getattr(self, "_dateMessage", None)
        if self._dateInvalid and message is not None and isValid(message):
            parts.append(message.text())
        box = self.parentWidget()
        helper = getattr(box, "_helperLabel", None) if getattr(box, "_input", None) is self else None
        if helper is not None and isValid(helper) and helper.text():
            parts.append(helper.text())
        return ". ".join(parts)

    def _accessible_value(self) -> str:
        if self._select and self._multiple and self._renderTags:
            return ", ".join(self._text_of(option) for option in self._selected_options.values())
        return self._inputField.displayText()

    def _accessible_open(self) -> bool:
        popup = self._popup
        return bool(popup is not None and isValid(popup) and popup.isVisible()) or self.date_picker_open()

    def _name_buttons(self, opened: bool | None = None) -> None:
        """Translated names (and tooltips) of the clear and arrow buttons; a plain field's texts."""
        self._refresh_accessible_texts()
        clear = getattr(self, "_btn_clear_text", None)
        if clear is not None and isValid(clear):
            clear.setAccessibleName(getTranslatedText("Clear"))
            clear.setToolTip(clear.accessibleName())
        arrow = getattr(self, "_btnSelect", None)
        if arrow is not None and isValid(arrow):
            if opened is None:
                opened = self._accessible_open()
            arrow.setAccessibleName(getTranslatedText("Close" if opened else "Open"))
            arrow.setToolTip(arrow.accessibleName())

    def _popup_state_changed(self, opened: bool) -> None:
        """The list or the date picker opened or closed: the arrow's name and the expanded state follow."""
        self._name_buttons(opened)
        changed = QAccessible.State()
        changed.expanded = True
        changed.collapsed = True
        for field in self._accessible_fields():
            QAccessible.updateAccessibility(QAccessibleStateChangeEvent(field, changed))

    def _error_state_changed(self) -> None:
        changed = QAccessible.State()
        changed.invalid = True
        for field in self._accessible_fields():
            QAccessible.updateAccessibility(QAccessibleStateChangeEvent(field, changed))
            QAccessible.updateAccessibility(QAccessibleEvent(field, QAccessible.Event.DescriptionChanged))

    def _announce_value(self, *_: Any) -> None:
        text = self._accessible_value()
        for field in self._accessible_fields():
            QAccessible.updateAccessibility(QAccessibleValueChangeEvent(field, text))
