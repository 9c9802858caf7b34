"""Gallery pages, in the order the navigation lists them: (key, title, builder)."""
from __future__ import annotations

from vantu.gallery.pages import foundations

PAGES = [
    ("foundations", "Foundations", foundations.build),
]
