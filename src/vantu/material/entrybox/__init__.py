"""The entry box: ``EntryBox`` and its input, ``InputBase``, with the select mode.

Names are loaded on first use, so importing the package loads no native module.
"""
from __future__ import annotations

from importlib import import_module
from typing import Any

__all__ = ["EntryBox", "EntryBoxSelectMixin", "InputBase", "MenuView"]

_WHERE = {
    "EntryBox": ".entrybox",
    "InputBase": "._input_base",
    "EntryBoxSelectMixin": "._select",
    "MenuView": "._select",
}


def __getattr__(name: str) -> Any:
    where = _WHERE.get(name)
    if where is None:
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    value = getattr(import_module(where, __name__), name)
    globals()[name] = value
    return value
