"""What the components undo when the interpreter exits.

Fields and inputs watch the whole application once their popup exists. At interpreter exit
PySide tears its wrappers down while the application may still deliver events (deferred
deletes, child removals) to those watchers, which would then meet half-destroyed objects.
Taking the watchers off first leaves nothing to meet them.
"""
from __future__ import annotations

import atexit

__all__ = ["drop_application_filters"]


def drop_application_filters() -> None:
    """Takes every widget off the application's event filters (a no-op for the others)."""
    from PySide6.QtWidgets import QApplication

    app = QApplication.instance()
    if app is None:
        return
    try:
        widgets = app.allWidgets()
    except RuntimeError:  # the application is already going
        return
    for widget in widgets:
        app.removeEventFilter(widget)


# PySide registers its own shutdown when it is imported, before this module: callbacks run in
# reverse order, so this one runs first.
atexit.register(drop_application_filters)
