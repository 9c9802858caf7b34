"""Following the theme and the language: one listener restyles and re-translates every live
input, and each input passes the news on to the entry box that holds it."""
from __future__ import annotations

import sys
import weakref
from typing import TYPE_CHECKING, Any

from PySide6.QtCore import QObject
from shiboken6 import isValid

from vantu.i18n.use_translation import i18n
from vantu.material.styles import useTheme

if TYPE_CHECKING:
    from ._input_base import InputBase

__all__ = ["InputFollowMixin", "follow"]


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


def follow(item: InputBase) -> None:
    """Has ``item`` restyled and re-translated on every theme and language switch."""
    global _followers
    if _followers is None:
        _followers = _Followers()
    _followers.add(item)


class InputFollowMixin:
    """The input's side of following: telling its entry box to redo the helper text."""

    def _tell_host(self) -> None:
        """Lets the entry box holding this input restyle and re-translate its helper text."""
        host = self.parentWidget()
        update = getattr(host, "_updateHelperText", None)
        if update is not None and getattr(host, "_helperLabel", None) is not None and getattr(host, "_input", None) is self:
            update()
