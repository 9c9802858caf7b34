"""What the select field's style sheet cannot draw: a real gap in the outline behind the floated
label, the label itself (elided when it is longer than the field), and a long value elided with
"…". All of it is drawn, never stored: the title and the input keep their full texts.
"""
from __future__ import annotations

import weakref
from typing import Any

from PySide6.QtCore import QEvent, QObject, QRect, Qt
from PySide6.QtGui import QColor, QFontMetrics, QPainter, QPalette, QRegion
from PySide6.QtWidgets import (
    QGroupBox,
    QLineEdit,
    QPlainTextEdit,
    QStyle,
    QStyleOptionFrame,
    QStyleOptionGroupBox,
    QWidget,
)
from shiboken6 import isValid

from vantu.hooks import State
from vantu.material.widget_base import _TOOLTIP_FILTER_NAME, _TooltipFilter, show_tooltip

__all__ = ["FieldDecor", "decorate", "title_rect"]

DECOR_NAME = "selectFieldDecor"
# QLineEdit keeps this much room (pixels) between its contents rectangle and its text.
_LINE_EDIT_MARGIN = 2
_OUTLINE_TOP = 8  # the field's margin-top: the outline starts this far down
_RTL_ALIGN = Qt.AlignmentFlag.AlignRight | Qt.AlignmentFlag.AlignAbsolute | Qt.AlignmentFlag.AlignVCenter
_WATCHED = frozenset({QEvent.Type.Paint, QEvent.Type.LayoutDirectionChange, QEvent.Type.DynamicPropertyChange,
                      QEvent.Type.Polish, QEvent.Type.StyleChange, QEvent.Type.ToolTip})


def title_rect(field: QGroupBox) -> QRect:
    """Where the group box lays its title's text out (its padding lies around it), in the field's
    coordinates."""
    option = QStyleOptionGroupBox()
    field.initStyleOption(option)
    return field.style().subControlRect(QStyle.ComplexControl.CC_GroupBox, option,
                                        QStyle.SubControl.SC_GroupBoxLabel, field)


class FieldDecor(QObject):
    """Event filter of one select field; a Qt child of the field."""

    def __init__(self, field: QGroupBox) -> None:
        super().__init__(field)
        self.setObjectName(DECOR_NAME)
        self._field = weakref.ref(field)
        self._input: weakref.ref[QWidget] | None = None
        self._title_tip = ""  # the tooltips this object set, so that others' are left alone
        self._value_tip = ""
        # Every event of a widget costs each Python filter on it a call through the binding, and
        # each filter object its memory: the field's tooltips are shown by this one instead.
        self._tips = False
        tip = field.findChild(_TooltipFilter, _TOOLTIP_FILTER_NAME, Qt.FindChildOption.FindDirectChildrenOnly)
        if tip is not None:
            self._tips = True
            field.removeEventFilter(tip)
            tip.setParent(None)  # its wrapper, dropped at once, deletes it
        field.installEventFilter(self)
        inp = getattr(field, "_inputField", None)
        if isinstance(inp, QWidget):
            self._input = weakref.ref(inp)
            if isinstance(inp, QLineEdit):
                # Its long value is drawn by its own paint handler (see ``_paint_line``), not
                # through a filter that would see all of its events.
                self._follow_direction(inp)
            elif isinstance(inp, QPlainTextEdit):
                # Its placeholder (the label of an empty field) is drawn on its viewport.
                inp.viewport().installEventFilter(self)

    # -- events --------------------------------------------------------------------------------

    # Most events of the field and its input are none of the decor's business: the native gate
    # (bound by ``decorate`` once the native module has loaded; this module loads with it)
    # answers them and hands only these types to ``_filter_event``.
    def eventFilter(self, obj: QObject, event: QEvent) -> bool:
        return self._filter_event(obj, event)

    _gate_types = frozenset(t.value for t in _WATCHED)
    _gate_handler = "_filter_event"

    def _filter_event(self, obj: QObject, event: QEvent) -> bool:
        kind = event.type()
        if kind not in _WATCHED:
            return False
        field = self._field()
        if field is None:
            return False
        if kind == QEvent.Type.ToolTip:
            return bool(obj is field and self._tips and show_tooltip(obj, event))
        if obj is field:
            if kind == QEvent.Type.Paint:
                if not self._title_tip and not field.title() and not field.underMouse():
                    return False  # no gap, no hover look, no tip to clear: the group box's own drawing
                self._paint_field(field)
                return True
            if kind == QEvent.Type.Polish:
                field.style_own_hover()  # polished by Qt (first shown): see style_own_hover
                field.style_polished_elsewhere()  # with the properties as they are now
                return False
            if kind == QEvent.Type.LayoutDirectionChange:
                # Paddings and the buttons' place follow the reading direction; the input has
                # already taken the field's new direction.
                field.style_set_stylesheet()
                field.setup_action_frame_and_adornment()
                inp = self._input() if self._input is not None else None
                if inp is not None:
                    self._follow_direction(inp)
            elif kind == QEvent.Type.StyleChange:
                field.style_polished_elsewhere()  # re-polished: a sheet changed above the field (or its own)
            elif kind == QEvent.Type.DynamicPropertyChange:
                name = bytes(event.propertyName())
                if name == b"error":
                    inp = self._input() if self._input is not None else None
                    if inp is not None:
                        # The label shown as placeholder takes the error colour with the field.
                        inp.style().unpolish(inp)
                        inp.style().polish(inp)
                    field.update()
            return False
        if kind == QEvent.Type.Paint:
            inp = self._input() if self._input is not None else None
            if isinstance(inp, QPlainTextEdit) and obj is inp.viewport():
                return self._paint_placeholder(inp)
        return False

    @staticmethod
    def _follow_direction(inp: QWidget) -> None:
        """A line input aligns its text (and placeholder) to the field's reading direction, not
        to the direction of the text's own script."""
        if not isinstance(inp, QLineEdit):
            return
        if inp.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            if inp.alignment() != _RTL_ALIGN:
                inp.setAlignment(_RTL_ALIGN)
        elif inp.alignment() & Qt.AlignmentFlag.AlignAbsolute:
            inp.setAlignment(Qt.AlignmentFlag.AlignLeft | Qt.AlignmentFlag.AlignVCenter)

    # -- the field: outline and title ----------------------------------------------------------------

    def _state(self, field: QGroupBox) -> dict[str, bool]:
        error = field.property("error")
        plain = getattr(field, "_error", False)
        return {
            "disabled": not field.isEnabled(),
            "error": bool(error) or (not isinstance(plain, State) and bool(plain)),
            "focused": field.hasFocus() or bool(field.property("focused")),
        }

    def _paint_field(self, field: QGroupBox) -> None:
        """Paints the frame as the group box does, its outline cut behind the title, then the
        title's text."""
        title = field.title()
        option = QStyleOptionGroupBox()
        field.initStyleOption(option)
        if field.underMouse():
            # The group box marks a hover of its check box only: the frame's hover look (the
            # sheet's ":hover") is chosen from this state.
            option.state |= QStyle.StateFlag.State_MouseOver
        painter = QPainter(field)
        shown = ""
        if title:
            looks = field.style_decor_looks(self._state(field))  # only a title needs them
            pad = looks["titlePadding"]
            rtl = field.layoutDirection() == Qt.LayoutDirection.RightToLeft
            # The title's text rectangle; its padding is the gap's margin on either side.
            rect = title_rect(field).adjusted(-pad, 0, pad, 0)
            limit = self._title_room(field, looks)
            if rect.width() > limit.width():
                rect.setWidth(limit.width())
                if rtl:
                    rect.moveRight(limit.right())
                else:
                    rect.moveLeft(limit.left())
            metrics = QFontMetrics(field.font())
            # Where Qt draws a group box title: half a space further along than its rectangle
            # says (a text that fits is never cut for it).
            lead = metrics.horizontalAdvance(" ") // 2
            text_rect = rect.adjusted(pad, 0, -pad, 0)
            if metrics.horizontalAdvance(title) <= text_rect.width():
                text_rect.translate(-lead if rtl else lead, 0)
                rect = rect.adjusted(-lead if rtl else 0, 0, 0 if rtl else lead, 0)
            if looks["notched"]:
                # The outline stops either side of the title: whatever lies behind the field
                # shows through the gap, on any window.
                gap = QRegion(QRect(rect.left(), 0, rect.width(), _OUTLINE_TOP + 3))
                painter.setClipRegion(QRegion(field.rect()).subtracted(gap))
            field.style().drawComplexControl(QStyle.ComplexControl.CC_GroupBox, option, painter, field)
            painter.setClipping(False)
            shown = metrics.elidedText(title, Qt.TextElideMode.ElideRight, max(0, text_rect.width()))
            painter.setPen(QColor(looks["titleColor"]))
            painter.setFont(field.font())
            align = Qt.AlignmentFlag.AlignTop | (Qt.AlignmentFlag.AlignRight if rtl else Qt.AlignmentFlag.AlignLeft)
            painter.drawText(text_rect, int(align), shown)
        else:
            field.style().drawComplexControl(QStyle.ComplexControl.CC_GroupBox, option, painter, field)
        painter.end()
        self._set_title_tip(field, title if shown != title else "")

    @staticmethod
    def _title_room(field: QGroupBox, looks: dict[str, Any]) -> QRect:
        """The stretch of the top the title may take: its own inset from either edge, and clear
        of the buttons when it sits inside the box."""
        inset = looks["titleInset"]
        end = inset
        if not looks["notched"]:
            frame = getattr(field, "action_frame", None)
            end = max(inset, frame.width() if isinstance(frame, QWidget) else 0)
        if field.layoutDirection() == Qt.LayoutDirection.RightToLeft:
            inset, end = end, inset
        return QRect(inset, 0, max(0, field.width() - inset - end), field.height())

    def _set_title_tip(self, field: QGroupBox, tip: str) -> None:
        current = field.toolTip()
        if tip == self._title_tip or current not in ("", self._title_tip):
            return
        self._title_tip = tip
        field.setToolTip(tip)

    # -- the input: a long value ---------------------------------------------------------------------

    def _paint_value(self, field: QGroupBox, inp: QLineEdit) -> bool:
        """Draws a value too long for the input elided with "…" (the text itself stays whole);
        False lets the input paint itself."""
        text = inp.text()
        if not text:
            self._set_value_tip(inp, "")
            return False
        option = QStyleOptionFrame()
        inp.initStyleOption(option)
        contents = inp.style().subElementRect(QStyle.SubElement.SE_LineEditContents, option, inp)
        margins = inp.textMargins()
        contents = contents.adjusted(margins.left() + _LINE_EDIT_MARGIN, margins.top(),
                                     -margins.right() - _LINE_EDIT_MARGIN, -margins.bottom())
        metrics = inp.fontMetrics()
        if metrics.horizontalAdvance(text) <= contents.width():
            self._set_value_tip(inp, "")
            return False
        self._set_value_tip(inp, text)
        shown = metrics.elidedText(text, Qt.TextElideMode.ElideRight, contents.width())
        painter = QPainter(inp)
        painter.setFont(inp.font())
        role = QPalette.ColorRole.Text
        group = QPalette.ColorGroup.Active if inp.isEnabled() else QPalette.ColorGroup.Disabled
        painter.setPen(inp.palette().color(group, role))
        align = QStyle.visualAlignment(inp.layoutDirection(), inp.alignment())
        painter.drawText(contents, int(align), shown)
        painter.end()
        return True

    def _paint_placeholder(self, inp: QPlainTextEdit) -> bool:
        """The placeholder of an empty tag input, as a line input draws its own: centred in the
        box, at the reading start, clear of the buttons, elided when too long."""
        text = inp.placeholderText()
        if not text or not inp.document().isEmpty():
            self._set_value_tip(inp, "")
            return False
        viewport = inp.viewport()
        room = viewport.rect()
        layout = inp.layout()
        if layout is not None:  # the tags' room: clear of the action frame, at either end
            margins = layout.contentsMargins()
            room = room.adjusted(margins.left(), 0, -margins.right(), 0)
        room = room.adjusted(_LINE_EDIT_MARGIN, 0, -_LINE_EDIT_MARGIN, 0)
        metrics = inp.fontMetrics()
        shown = metrics.elidedText(text, Qt.TextElideMode.ElideRight, max(0, room.width()))
        self._set_value_tip(inp, text if shown != text else "")
        painter = QPainter(viewport)
        painter.setFont(inp.font())
        group = QPalette.ColorGroup.Active if inp.isEnabled() else QPalette.ColorGroup.Disabled
        painter.setPen(inp.palette().color(group, QPalette.ColorRole.PlaceholderText))
        align = Qt.AlignmentFlag.AlignVCenter | Qt.AlignmentFlag.AlignAbsolute | (
            Qt.AlignmentFlag.AlignRight if inp.layoutDirection() == Qt.LayoutDirection.RightToLeft
            else Qt.AlignmentFlag.AlignLeft)
        painter.drawText(room, int(align), shown)
        painter.end()
        return True

    def _set_value_tip(self, inp: QWidget, tip: str) -> None:
        current = inp.toolTip()
        if tip == self._value_tip or current not in ("", self._value_tip):
            return
        self._value_tip = tip
        inp.setToolTip(tip)


def _paint_line(inp: QLineEdit, event: Any) -> None:
    """Paint handler of the select field's line input: its direction followed (a direction set
    on the input alone), then a long value elided by the decor, else the input's own drawing."""
    owner = getattr(inp, "_owner", None)
    field = owner() if owner is not None else None
    decor = None
    if field is not None and isValid(field):
        decor = field.findChild(FieldDecor, DECOR_NAME, Qt.FindChildOption.FindDirectChildrenOnly)
    if decor is not None:
        FieldDecor._follow_direction(inp)
        if not field._multiple and decor._paint_value(field, inp):
            return
    QLineEdit.paintEvent(inp, event)


def decorate(field: QGroupBox) -> FieldDecor:
    """The field's decor, made on first use."""
    if "_gated" not in vars(FieldDecor):
        from vantu.material.select.pickcore import _event_gate, _SelectLineEdit

        FieldDecor.eventFilter = _event_gate
        _SelectLineEdit.paintEvent = _paint_line
        FieldDecor._gated = True
    decor = field.findChild(FieldDecor, DECOR_NAME, Qt.FindChildOption.FindDirectChildrenOnly)
    if decor is None:
        decor = FieldDecor(field)
    return decor
