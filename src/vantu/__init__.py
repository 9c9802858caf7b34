"""vantu: Material Design widgets for PySide6 desktop applications.

The package root stays light on purpose: importing ``vantu`` loads nothing
from Qt. Components live in their own modules (``vantu.material.select``,
``vantu.material.entrybox``, ``vantu.deferpane``) and the services they share
in ``vantu.hooks``, ``vantu.material.styles``, ``vantu.i18n`` and
``vantu.utils``.

Some operations of the select field and the entry box print a diagnostic line on
standard output. ``VANTU_DIAGNOSTICS=0`` in the environment, or
``set_diagnostics(False)`` at run time, turns them off.
"""
import os as _os

__all__ = ["diagnostics_enabled", "set_diagnostics"]

# The native modules keep a reference to this very list and read its one item before every
# diagnostic line: a pointer comparison, no lookup. Change it only through set_diagnostics.
_diagnostics = [_os.environ.get("VANTU_DIAGNOSTICS", "1").strip().lower() not in ("0", "false", "no", "off")]


def set_diagnostics(enabled: bool) -> None:
    """Turn the components' diagnostic lines on standard output on or off."""
    _diagnostics[0] = bool(enabled)


def diagnostics_enabled() -> bool:
    """Whether the components print their diagnostic lines."""
    return _diagnostics[0]
