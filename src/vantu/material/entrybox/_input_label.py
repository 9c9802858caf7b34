"""The input's label: translated, shown inside the empty field as its placeholder or floated
over the frame (notched into an outline, inside a filled box, above an underline)."""
from __future__ import annotations

from typing import Any

from vantu.utils.translator import getTranslatedText

__all__ = ["InputLabelMixin"]


class InputLabelMixin:
    """Texts of the label and placeholder, and where the label sits."""

    def _set_translated_texts(self, *_: Any) -> None:
        label = self._label
        if label:
            text = getTranslatedText(label)
            self._titleLabel.setText(f"{text} *" if self._required else text)
        self._translate_date_texts()
        self._update_label()
        self._retranslate_list()

    def _shows_tags(self) -> bool:
        return bool(self._select and self._multiple and self._renderTags)

    def _update_label(self) -> None:
        """Floats the label over the frame, or shows it in the field as the placeholder while
        the field is empty, unfocused and has no placeholder of its own, as the select field
        does (a field of tags shows it in its typing field)."""
        label = self._label
        title = self._titleLabel
        line = getattr(self, "_inputFieldMultiple", None) if self._shows_tags() else None
        empty = not self._value if line is not None else not self._inputField.text()
        inside = bool(label) and empty and not self._focused and not self._placeholder
        if line is not None:
            line._placeholder = title.text() if inside else self._placeholder
            line._update_placeholder()
        else:
            if inside:
                placeholder = title.text()
            else:
                placeholder = getTranslatedText(self._placeholder) if self._placeholder else ""
            if self._inputField.placeholderText() != placeholder:
                self._inputField.setPlaceholderText(placeholder)
        floating = bool(label) and not inside
        if title.isHidden() == floating:
            title.setVisible(floating)
        self._place_label()

    def _place_label(self) -> None:
        """Puts the label where the select field puts its title: notched into an outline,
        inside a filled box, above an underline."""
        title = self._titleLabel
        if title.isHidden() or not self.isVisible():
            return  # placed when shown
        left, top = self._labelPlace
        hint = title.sizeHint()
        # A label longer than the field is cut at its right border.
        width = max(0, min(hint.width(), self.width() - left - (0 if self._variant == "standard" else left)))
        title.setGeometry(left, top, width, hint.height())
        title.raise_()
