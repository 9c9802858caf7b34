"""vantu: Material Design widgets for PySide6 desktop applications.

The package root stays light on purpose: importing ``vantu`` loads nothing
from Qt. Components live in their own modules (``vantu.material.select``,
``vantu.material.entrybox``, ``vantu.deferpane``) and the services they share
in ``vantu.hooks``, ``vantu.material.styles``, ``vantu.i18n`` and
``vantu.utils``. ``vantu.apply_theme(app)`` makes a whole application follow
the theme.
"""
from __future__ import annotations

from typing import Any

__all__ = ["apply_theme"]


def apply_theme(app: Any = None) -> Any:
    """Make ``app`` (default: the running ``QApplication``) follow the theme: window and
    dialog backgrounds, the application palette and scroll bars, now and after every
    ``set_theme_mode``. Idempotent; returns the follower object (``remove()`` undoes it).
    """
    from vantu.material.styles.app_theme import apply_theme as _apply_theme

    return _apply_theme(app)
