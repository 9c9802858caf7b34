"""What the popup's list shows: the options narrowed by the typed text, or one message row
("Loading..." or "No options") when there is nothing to choose."""
from __future__ import annotations

from typing import Any

from PySide6.QtWidgets import QLabel
from shiboken6 import isValid

from vantu.material.styles import useTheme
from vantu.utils.translator import getTranslatedText

from ._date_picker import DATETIME_TYPES, DatePicker
from ._select import EntryBoxSelectMixin

__all__ = ["InputListMixin"]


def _set_list_options(menu: Any, options: list[Any]) -> None:
    """Shows ``options`` in the popup's list, leaving it alone when it already shows them."""
    if getattr(menu, "_shownOptions", None) == options:
        return
    menu.listView.setOptions(options)
    menu._shownOptions = list(options)


class InputListMixin:
    """The rows of the option list, kept in line with the typed text and the options."""

    def __init__(self) -> None:
        state = vars(self)
        state.setdefault("_filter_text", "")
        state.setdefault("_menu", None)
        state.setdefault("_popup", None)

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

    def _getOptions(self) -> list[Any]:
        """The options the list offers now: all of them, narrowed by the typed text."""
        options = list(self._options or [])
        text = self._filter_text.strip().lower()
        if not text:
            return options
        return [o for o in options if text in self._label_of(o).lower()]
