"""The input's value: storing and showing it, following an outside ``State``, and the record
of chosen options with their keys."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import Slot

from vantu.hooks import State

__all__ = ["InputValueMixin", "MISSING", "STATE_DEPTH_LIMIT", "unwrap_state"]

MISSING = object()
"""Marks an argument that was not given."""

STATE_DEPTH_LIMIT = 100
"""Most ``State`` objects nested in one another that a value may come wrapped in."""


def unwrap_state(value: Any, name: str) -> Any:
    """The plain value inside ``value`` (a ``State``, a ``State`` of a ``State``... or a plain
    value); a ``State`` that holds itself, or a longer chain, is refused naming argument ``name``."""
    for _ in range(STATE_DEPTH_LIMIT + 1):
        if not isinstance(value, State):
            return value
        value = value.value
    raise ValueError(f"Argument '{name}': a State that holds itself, or States nested more than "
                     f"{STATE_DEPTH_LIMIT} deep, has no value to use")


class InputValueMixin:
    """Value, shown text, selected keys and the record of chosen options, kept in line."""

    def __init__(self) -> None:
        state = vars(self)
        state.setdefault("_applying", False)
        state.setdefault("_selected_options", {})

    @property
    def value(self) -> Any:
        """The current value: a text, an option, or a list of options in multiple mode."""
        return self._value

    def setValue(self, value: Any) -> None:
        """Sets the value from the application, keeping keys, tags and shown text in line."""
        value = unwrap_state(value, "value")
        if self._select:
            if self._multiple:
                value = list(value) if isinstance(value, (list, tuple)) else ([] if value in (None, "") else [value])
            self._selected_options = self._record_for(value)
            if hasattr(self, "_setSelectedKeys"):
                if self._multiple:
                    self._setSelectedKeys(self._keys_of_record())
                else:
                    self._setSelectedKeys(self._key_of(value) if value is not None else None)
            if self._multiple and self._renderTags:
                self._rebuild_tags()
        self.base_set_value(value)

    def _apply_options_state(self) -> None:
        options = self._optionsState.value
        self._options = list(options) if isinstance(options, (list, tuple)) else []
        self._sync_list_rows()

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
                self._inputField.setText(self._text_of(self._value))
            elif not self._renderTags:
                if callable(self._renderValue):
                    self._inputField.setText(str(self._renderValue(self._value)))
                else:
                    self._inputField.setText(", ".join(self._text_of(o) for o in self._value or []))
        finally:
            self._applying = False
        if hasattr(self, "_labelPlace"):
            self._update_label()

    @Slot(str)
    def _handle_text_changed(self, text: str) -> None:
        if self._isDateTimeType and not self._select:
            self._date_text_changed(text)  # a typed date is checked before it is taken
            return
        if self._applying or self._select:
            return
        if not self._focused:
            self._update_label()  # text set from outside: the label may float or go back inside
        self._value = text
        self.valueChanged.emit(text)
        if callable(self._onChange):
            self._onChange(self)

    # -- options, keys and the record of chosen options ---------------------------------

    def _key_of(self, option: Any) -> Any:
        """The key a chosen ``option`` is filed under: a text is its own key, anything else
        the label getter's result, whatever its type (an id number, say)."""
        if option is None:
            return ""
        if isinstance(option, str):
            return option
        if callable(self._getOptionLabel):
            return self._getOptionLabel(option)
        if isinstance(option, dict):
            return option.get("label") or option.get("value") or ""
        return option

    def _text_of(self, option: Any) -> str:
        """The text shown for ``option``."""
        key = self._key_of(option)
        return key if isinstance(key, str) else str(key)

    def _find_option(self, key: Any) -> Any:
        for option in self._options or []:
            if self._key_of(option) == key:
                return option
        return MISSING

    def _record_for(self, value: Any) -> dict[Any, Any]:
        """The chosen options of ``value`` as key -> option."""
        if value is None or value == "":
            return {}
        items = value if isinstance(value, list) else [value]
        return {self._key_of(o): o for o in items}

    def _keys_of_record(self) -> list[Any]:
        return [self._key_of(o) for o in self._selected_options.values()]

    # -- clearing ----------------------------------------------------------------------

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
        self._sync_list_rows()

    def _update_clear_button(self) -> None:
        button = getattr(self, "_btn_clear_text", None)
        if button is None:
            return
        value = self._value
        has_value = bool(value) if self._multiple else value not in (None, "")
        # Shown under the pointer and while the input has the keyboard, so assistive technology
        # finds it (it never takes focus itself).
        button.setVisible((self._hovered or self._focused) and has_value and self.isEnabled() and not self._readOnly)
