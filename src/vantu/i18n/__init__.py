"""Translation: the ``i18n`` language object, ``translate`` and the catalogues."""
from vantu.i18n.use_translation import (
    SUPPORTED_LANGUAGES,
    TRANSLATIONS,
    add_translations,
    i18n,
    set_language,
    translate,
)

__all__ = ["SUPPORTED_LANGUAGES", "TRANSLATIONS", "add_translations", "i18n", "set_language", "translate"]
