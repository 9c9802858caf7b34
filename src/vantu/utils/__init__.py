"""Small helpers shared by the components."""
from vantu.utils.translator import getTranslatedText

__all__ = ["getTranslatedText"]
