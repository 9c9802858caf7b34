"""The input's label: translated, shown inside the empty field as its placeholder or floated
over the frame (notched into an outline, inside a filled box, above an underline).

Texts that do not fit are elided with "…" where they are drawn, never in the value or the
label's own text, and their full text shows as a tooltip."""
from __future__ import annotations

import unicodedata
from typing import Any

from PySide6.QtCore import QEvent, QObject, QRect, Qt
from PySide6.QtGui import QPainter, QPalette, QRegion
from PySide6.QtWidgets import QLabel, QLineEdit, QStyle, QStyleOptionFrame

from vantu.utils.translator import getTranslatedText

from ._select import _event_gate

__all__ = ["InputLabelMixin", "ElidingLabel", "NOTCH_DEPTH", "draw_elided", "text_direction"]

NOTCH_DEPTH = 2
"""Rows of the outline (its focused width) left out behind a notched label."""

# Everything but the notch: a region larger than any field, so the mask never needs the
# frame's size.
_EVERYWHERE = QRect(-(1 << 20), -(1 << 20), 1 << 21, 1 << 21)

# Where QLineEdit draws its text inside its contents (its own fixed margins).
_EDIT_H_MARGIN = 2


def text_direction(text: str) -> Qt.LayoutDirection:
    """The direction ``text`` reads in: that of its first strongly directional character."""
    for char in text:
        kind = unicodedata.bidirectional(char)
        if kind == "L":
            return Qt.LayoutDirection.LeftToRight
        if kind in ("R", "AL"):
            return Qt.LayoutDirection.RightToLeft
    return Qt.LayoutDirection.LeftToRight


def draw_elided(painter: QPainter, rect: QRect, align: Qt.AlignmentFlag, text: str) -> None:
    """Draws ``text`` cut with "…" at its end to fit ``rect``: shaped in its own direction (the
    "…" follows its last letter), placed by ``align`` (a visual alignment)."""
    painter.setLayoutDirection(text_direction(text))
    shown = painter.fontMetrics().elidedText(text, Qt.TextElideMode.ElideRight, rect.width())
    painter.drawText(rect, int(align | Qt.AlignmentFlag.AlignAbsolute), shown)


class ElidingLabel(QLabel):
    """A label whose text, when wider than the label, is drawn cut with "…" at its end.

    ``text()`` keeps the whole text; only the drawing is shortened.
    """

    def is_elided(self) -> bool:
        text = self.text()
        return bool(text) and self.fontMetrics().horizontalAdvance(text) > self.contentsRect().width()

    def paintEvent(self, event) -> None:
        if not self.is_elided():
            super().paintEvent(event)
            return
        painter = QPainter(self)
        painter.setPen(self.palette().color(self.foregroundRole()))
        # Aligned as QLabel aligns plain text: by the text's own direction.
        draw_elided(painter, self.contentsRect(), QStyle.visualAlignment(text_direction(self.text()), self.alignment()),
                    self.text())
        painter.end()


def _edit_text_rect(edit: QLineEdit) -> QRect:
    """The line QLineEdit draws its text in: its contents less its text margins and own margins."""
    option = QStyleOptionFrame()
    edit.initStyleOption(option)
    rect = edit.style().subElementRect(QStyle.SubElement.SE_LineEditContents, option, edit)
    rect = rect.marginsRemoved(edit.textMargins())
    return rect.adjusted(_EDIT_H_MARGIN, 0, -_EDIT_H_MARGIN, 0)


def _edit_elides(edit: QLineEdit) -> bool:
    """Whether ``edit`` shows its value elided: a normal (not hidden) value wider than the field,
    while nobody is editing it."""
    text = edit.text()
    if not text or edit.hasFocus() or edit.echoMode() != QLineEdit.EchoMode.Normal:
        return False
    return edit.fontMetrics().horizontalAdvance(text) > _edit_text_rect(edit).width()


def _placeholder_tip(edit: QLineEdit) -> str:
    """The placeholder of an empty field when Qt draws it elided, else ""."""
    text = edit.placeholderText()
    if edit.text() or not text or edit.hasFocus():
        return ""
    return text if edit.fontMetrics().horizontalAdvance(text) > _edit_text_rect(edit).width() else ""


class _ValueElider(QObject):
    """Draws an unfocused line edit's value elided when it is wider than the field, and keeps
    the full value (or the full placeholder, which Qt elides itself) as the field's tooltip
    meanwhile. The value itself is never touched.

    The tooltip is settled where the field is drawn: it follows exactly what the field shows.
    """

    def __init__(self, edit: QLineEdit) -> None:
        super().__init__(edit)
        if hasattr(edit, "_paint_first"):
            # The entry box's own field asks before it paints: no filter sees all its events.
            edit._paint_first = self._filter_event
        else:
            edit.installEventFilter(self)

    # Only paints matter: the native gate answers every other event of the line edit.
    eventFilter = _event_gate
    _gate_types = frozenset({QEvent.Type.Paint.value})
    _gate_handler = "_filter_event"

    def _filter_event(self, watched: QObject, event: QEvent) -> bool:
        if event.type() != QEvent.Type.Paint or not isinstance(watched, QLineEdit):
            return False
        elided = _edit_elides(watched)
        if elided:
            self._paint(watched)
        tip = watched.text() if elided else _placeholder_tip(watched)
        if watched.toolTip() != tip:
            watched.setToolTip(tip)
        return elided

    @staticmethod
    def _paint(edit: QLineEdit) -> None:
        option = QStyleOptionFrame()
        edit.initStyleOption(option)
        painter = QPainter(edit)
        edit.style().drawPrimitive(QStyle.PrimitiveElement.PE_PanelLineEdit, option, painter, edit)
        rect = _edit_text_rect(edit)
        metrics = edit.fontMetrics()
        height = max(metrics.boundingRect(edit.text()).height(), metrics.height())
        # Placed where QLineEdit puts its own text: vertically as it does, horizontally by the
        # text's own direction unless the alignment is absolute.
        align = QStyle.visualAlignment(text_direction(edit.text()), edit.alignment())
        if align & Qt.AlignmentFlag.AlignTop:
            top = rect.y() + 1
        elif align & Qt.AlignmentFlag.AlignBottom:
            top = rect.bottom() + 1 - height - 1
        else:
            top = rect.y() + (rect.height() - height + 1) // 2
        line = QRect(rect.x(), top, rect.width(), height)
        horizontal = align & (Qt.AlignmentFlag.AlignLeft | Qt.AlignmentFlag.AlignRight | Qt.AlignmentFlag.AlignHCenter)
        painter.setClipRect(rect)
        painter.setFont(edit.font())
        painter.setPen(edit.palette().color(QPalette.ColorRole.Text))
        draw_elided(painter, line, (horizontal or Qt.AlignmentFlag.AlignLeft) | Qt.AlignmentFlag.AlignTop, edit.text())
        painter.end()


class InputLabelMixin:
    """Texts of the label and placeholder, and where the label sits."""

    def _setup_elision(self) -> None:
        """Long values and labels: drawn elided, shown whole in a tooltip."""
        self._valueElider = _ValueElider(self._inputField)

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
        inside a filled box, above an underline; mirrored in a right-to-left layout."""
        title = self._titleLabel
        if not self.isVisible():
            return  # placed when shown
        if title.isHidden():
            self._update_notch()
            self._update_tooltips()
            return
        left, top = self._labelPlace
        hint = title.sizeHint()
        # A label longer than the field is elided short of the far border.
        width = max(0, min(hint.width(), self.width() - left - (0 if self._variant == "standard" else left)))
        x = self.width() - left - width if self.layoutDirection() == Qt.LayoutDirection.RightToLeft else left
        title.setGeometry(x, top, width, hint.height())
        title.raise_()
        self._update_notch()
        self._update_tooltips()

    def _update_notch(self) -> None:
        """Leaves the outline out behind a floated outlined label: a real gap, so the notch
        looks right on any background."""
        frame = self._frame
        title = self._titleLabel
        outlined = self._variant not in ("filled", "standard")
        if outlined and not title.isHidden() and title.width() > 0:
            gap = QRect(title.x() - frame.x(), 0, title.width(), NOTCH_DEPTH)
            region = QRegion(_EVERYWHERE).subtracted(QRegion(gap))
            if frame.mask() != region:
                frame.setMask(region)
        elif not frame.mask().isEmpty():
            frame.clearMask()

    def _update_tooltips(self, *_: Any) -> None:
        """The full label as the input's tooltip while the floated label is drawn elided (the
        field keeps its own tooltip for its value)."""
        title = self._titleLabel
        tip = title.text() if not title.isHidden() and isinstance(title, ElidingLabel) and title.is_elided() else ""
        if self.toolTip() != tip:
            self.setToolTip(tip)
