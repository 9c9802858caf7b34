"""Turning style mappings (camelCase keys, plain values) into QSS declarations."""
from __future__ import annotations

import re
from collections.abc import Mapping
from typing import Any

__all__ = ["get_qss_style", "UNITLESS_PROPERTIES"]

UNITLESS_PROPERTIES: frozenset[str] = frozenset(
    {"font-weight", "opacity", "line-height", "z-index", "flex", "flex-grow", "flex-shrink", "order"}
)
"""Kebab-case properties whose numbers are written without "px"."""

_UPPER = re.compile(r"(?<!^)([A-Z])")
# Style keys repeat across thousands of calls; convert each one once.
_KEBAB: dict[str, str] = {}


def _kebab(key: str) -> str:
    name = _KEBAB.get(key)
    if name is None:
        name = _KEBAB[key] = _UPPER.sub(r"-\1", key).lower()
    return name


def _value(prop: str, value: Any) -> str:
    kind = type(value)
    if kind is str:
        return value
    if kind is bool:
        return "true" if value else "false"
    if kind is int or kind is float or isinstance(value, (int, float)):
        if prop in UNITLESS_PROPERTIES:
            return f"{value:g}" if kind is float else str(value)
        return f"{value:g}px" if kind is float else f"{value}px"
    if kind is list or kind is tuple:
        # (4, 8) -> "4px 8px", as margin/padding shorthands expect.
        return " ".join(_value(prop, part) for part in value)
    return str(value)


def get_qss_style(style: Mapping[str, Any] | None) -> str:
    """Return the QSS declarations of ``style``, e.g. ``"font-size: 12px; margin-top: 4px;"``.

    camelCase keys become kebab-case; numbers get "px" except for unitless
    properties (font-weight, opacity, ...); strings are kept as written;
    lists and tuples are joined with spaces; nested mappings (such as
    "slots" and "props") and ``None`` values are skipped. ``None`` or an
    empty mapping gives "".
    """
    if style is None:
        return ""
    if type(style) is not dict and not isinstance(style, Mapping):
        raise TypeError(f"get_qss_style(): 'style' must be a mapping, got {type(style).__name__}")
    parts = []
    append = parts.append
    kebab = _KEBAB
    for key, value in style.items():
        kind = type(value)
        if kind is str:
            # The common case first: colours, borders and keywords.
            append(f"{kebab.get(key) or _kebab(key)}: {value};")
        elif value is None or kind is dict or isinstance(value, Mapping):
            continue
        else:
            prop = kebab.get(key) or _kebab(key)
            append(f"{prop}: {_value(prop, value)};")
    return " ".join(parts)
