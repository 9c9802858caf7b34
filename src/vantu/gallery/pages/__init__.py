"""Gallery pages, in the order the navigation lists them: (key, title, builder)."""
from __future__ import annotations

from vantu.gallery.pages import deferred_page, entry_page, foundations, select_page

PAGES = [
    ("select", "Select", select_page.build),
    ("entrybox", "Entry box", entry_page.build),
    ("deferred", "Deferred content", deferred_page.build),
    ("foundations", "Foundations", foundations.build),
]
