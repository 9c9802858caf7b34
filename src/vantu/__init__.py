"""vantu: Material Design widgets for PySide6 desktop applications.

The package root stays light on purpose: importing ``vantu`` loads nothing
from Qt. Components live in their own modules (``vantu.material.select``,
``vantu.material.entrybox``, ``vantu.deferpane``) and the services they share
in ``vantu.hooks``, ``vantu.material.styles``, ``vantu.i18n`` and
``vantu.utils``. ``vantu.apply_theme(app)`` makes a whole application follow
the theme.

Some operations of the select field and the entry box print a diagnostic line on
standard output. ``VANTU_DIAGNOSTICS=0`` in the environment, or
``set_diagnostics(False)`` at run time, turns them off.
"""
from __future__ import annotations

import os as _os
from typing import Any

__all__ = ["apply_theme", "diagnostics_enabled", "set_diagnostics"]

# The native modules keep a reference to this very list and read its one item before every
# diagnostic line: a pointer comparison, no lookup. Change it only through set_diagnostics.
_diagnostics = [_os.environ.get("VANTU_DIAGNOSTICS", "1").strip().lower() not in ("0", "false", "no", "off")]


def set_diagnostics(enabled: bool) -> None:
    """Turn the components' diagnostic lines on standard output on or off."""
    _diagnostics[0] = bool(enabled)


def diagnostics_enabled() -> bool:
    """Whether the components print their diagnostic lines."""
    return _diagnostics[0]


def apply_theme(app: Any = None) -> Any:
    """Make ``app`` (default: the running ``QApplication``) follow the theme: window and
    dialog backgrounds, the application palette and scroll bars, now and after every
    ``set_theme_mode``. Idempotent; returns the follower object (``remove()`` undoes it).
    """
    from vantu.material.styles.app_theme import apply_theme as _apply_theme

    return _apply_theme(app)
