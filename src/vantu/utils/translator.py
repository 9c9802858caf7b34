"""``getTranslatedText``: the text a component shows for a label or key."""
from __future__ import annotations

from typing import Any

from vantu.i18n.use_translation import translate

__all__ = ["getTranslatedText"]


def getTranslatedText(text: Any) -> str:
    """Return ``text`` in the current language.

    ``None`` (an absent label or helper text) gives ``""``; texts without a
    translation come back unchanged, other values as their ``str()``.
    """
    return translate(text)
