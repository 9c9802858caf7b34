"""What the popup's list shows: the options narrowed by the typed text, or one message row
("Loading..." or "No options") when there is nothing to choose.

The rows are kept current as the typed text and the options change, so the select mode's own
opening (which builds the list on first use) always finds them right."""
from __future__ import annotations

from typing import Any

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QLabel
from shiboken6 import isValid

from vantu.material.list_view.list_view import KeyRole

from vantu.material.styles import useTheme
from vantu.utils.translator import getTranslatedText

__all__ = ["InputListMixin", "MESSAGE_ROW_HEIGHT"]

MESSAGE_ROW_HEIGHT = 48
"""Height of the one row shown when there is nothing to choose."""


def _message_sheet(theme: Any) -> str:
    p = theme.palette
    # Its own paper: it stands in for the list, whose container is plain white.
    return (f"#EntryBoxMenuMessage {{color: {p['text']['secondary']}; background: {p['background']['paper']};"
            " padding: 0px 16px;}")


class InputListMixin:
    """The rows of the option list, kept in line with the typed text and the options."""

    def __init__(self) -> None:
        state = vars(self)
        state.setdefault("_filter_text", "")
        state.setdefault("_menu", None)
        state.setdefault("_popup", None)

    def _getOptions(self) -> list[Any]:
        """The options the list offers now: all of them, narrowed by the typed text."""
        options = list(self._options or [])
        if not options and self._btnCalendar is not None:
            options = self._date_quick_choices()
        text = self._filter_text.strip().lower()
        if not text:
            return options
        return [o for o in options if text in self._text_of(o).lower()]

    def _sync_list_rows(self, *_: Any) -> bool:
        """Shows what ``_getOptions`` gives in the list, if the list exists; True when the list
        changed.

        The message row is built here only for a list that is open: an opening builds it itself.
        """
        menu = self._menu
        if not self._select or not menu or not isValid(menu):
            return False
        options = self._getOptions()
        shown = getattr(menu, "_shownOptions", None)
        if shown is None:
            # A list the select mode has just built shows every option.
            shown = menu._shownOptions = list(self._options or [])
        changed = shown != options
        if changed:
            menu.listView.setOptions(options)
            menu._shownOptions = list(options)
        row = getattr(menu, "_messageRow", None)
        if options:
            if row is not None and isValid(row) and not row.isHidden():
                row.hide()
                menu.listView.show()
                changed = True
        elif self._popupShowing:
            self.autocomplete_render_loading_menu_items()
        popup = self._popup
        if changed and popup is not None and self._popupShowing:
            popup.adjustSize()
            self.select_update_popup_position()
        return changed

    def autocomplete_render_loading_menu_items(self) -> None:
        """Shows one row in place of the list: "Loading..." while loading, else "No options"."""
        menu = self._menu
        if not menu or not isValid(menu):
            return
        row = getattr(menu, "_messageRow", None)
        if row is None or not isValid(row):
            row = QLabel()
            row.setObjectName("EntryBoxMenuMessage")
            row.setMinimumHeight(MESSAGE_ROW_HEIGHT)
            row.setStyleSheet(_message_sheet(useTheme()))
            menu.layout().addWidget(row)
            menu._messageRow = row
        row.setText(getTranslatedText("Loading..." if self._loading else "No options"))
        menu.listView.hide()
        row.show()
        if self._popup is not None:
            self._popup.adjustSize()

    def _restyle_list(self, theme: Any) -> None:
        menu = self._menu
        row = getattr(menu, "_messageRow", None) if menu is not None and isValid(menu) else None
        if row is not None and isValid(row):
            sheet = _message_sheet(theme)
            if row.styleSheet() != sheet:
                row.setStyleSheet(sheet)

    def _retranslate_list(self) -> None:
        menu = self._menu
        row = getattr(menu, "_messageRow", None) if menu is not None and isValid(menu) else None
        if row is not None and isValid(row):
            row.setText(getTranslatedText("Loading..." if self._loading else "No options"))

    def autocomplete_on_text_changed(self, text: str) -> None:
        """Narrows the options to those whose label contains ``text``."""
        self._filter_text = text
        if not self._select:
            return
        self._sync_list_rows()
        if text and not self._popupShowing and self._usable():
            self.select_show_popup()
        elif self._popupShowing:
            self._start_current_row()

    # -- the keyboard's current row ---------------------------------------------------------

    def _list_view(self) -> Any:
        """The open list's rows, when they show (not while a message row stands in for them)."""
        menu = self._menu
        if not menu or not isValid(menu):
            return None
        view = getattr(menu, "listView", None)
        if view is None or not isValid(view) or view.isHidden():
            return None
        return view

    def _start_current_row(self) -> None:
        """Where the keyboard starts in the list: on the first match while text is typed (Enter
        takes it), else on the first chosen option, scrolled into view."""
        view = self._list_view()
        if view is None:
            return
        if self._filter_text.strip():
            view.setCurrentRow(view.firstEnabledRow())
            return
        model = view.model()
        for row in range(model.rowCount()):
            index = model.index(row, 0)
            if model.flags(index) & Qt.ItemFlag.ItemIsEnabled and view.is_selected_key(model.data(index, KeyRole)):
                view.setCurrentRow(row)
                return
        view.setCurrentRow(-1)
