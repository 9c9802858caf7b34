"""``TagsView``: a removable tag (chip) with a label and a delete control."""
from __future__ import annotations

from collections.abc import Callable
from typing import Any

from PySide6.QtCore import Qt, Slot
from PySide6.QtGui import QKeyEvent
from PySide6.QtWidgets import QFrame, QHBoxLayout, QLabel, QPushButton, QWidget

from vantu.i18n.use_translation import i18n, translate
from vantu.material.styles import useTheme

__all__ = ["TagsView"]

REMOVE_TEXT = "Remove %1"
"""The delete control's name for assistive technology; %1 is the tag's label (translated)."""


class _DeleteButton(QPushButton):
    """The tag's delete control: reached with Tab, pressed with Space (as any button) or Enter."""

    def keyPressEvent(self, event: QKeyEvent) -> None:
        if event.key() in (Qt.Key.Key_Return, Qt.Key.Key_Enter) and not event.modifiers() & ~Qt.KeyboardModifier.KeypadModifier:
            self.click()
            return
        super().keyPressEvent(event)


class TagsView(QFrame):
    """A chip showing ``label``; its delete control calls ``onDelete()``.

    For a select field, bind the option's choice dictionary so that deleting the tag
    deselects it::

        def renderTags(selected, getTagProps):
            return [TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
                    for key, option in selected.items()]
    """

    def __init__(
        self,
        label: Any = "",
        onDelete: Callable[[], Any] | None = None,
        parent: QWidget | None = None,
        size: str = "medium",
        **kwargs: Any,
    ) -> None:
        if onDelete is not None and not callable(onDelete):
            raise TypeError(f"TagsView: 'onDelete' must be callable, got {type(onDelete).__name__}")
        super().__init__(parent)
        self._onDelete = onDelete
        self.setObjectName("tag")
        self.setAttribute(Qt.WidgetAttribute.WA_StyledBackground, True)
        self._size = size
        layout = QHBoxLayout(self)
        layout.setContentsMargins(10, 2, 4, 2)
        layout.setSpacing(4)
        self.label = QLabel(str(label), self)
        self.label.setObjectName("tagLabel")
        layout.addWidget(self.label)
        self.deleteButton = _DeleteButton("\u2715", self)
        self.deleteButton.setObjectName("tagDelete")
        self.deleteButton.setFixedSize(18, 18)
        self.deleteButton.setCursor(Qt.CursorShape.PointingHandCursor)
        # Tab reaches it; a click leaves focus where it was (in the field's input).
        self.deleteButton.setFocusPolicy(Qt.FocusPolicy.TabFocus)
        self.deleteButton.clicked.connect(self._handle_delete)
        layout.addWidget(self.deleteButton)
        self._name_delete_control()
        i18n.langChanged.connect(self._name_delete_control)
        self._apply_theme()
        useTheme().state.valueChanged.connect(self._apply_theme)

    @Slot()
    def _name_delete_control(self, *_: Any) -> None:
        self.deleteButton.setAccessibleName(translate(REMOVE_TEXT).replace("%1", self.label.text()))

    @Slot()
    def _apply_theme(self, *_: Any) -> None:
        """Chip colours from the theme's "tag" style; follows light/dark switches."""
        theme = useTheme()
        style = theme.components["KelSelect"]["styles"]["tag"]({"size": self._size})
        props = style.get("props", {}).get(self._size, {})
        # Qt draws no rounding at all for a radius over half the height: keep it under.
        radius = min(props.get("borderRadius", style.get("borderRadius", 12)), 11)
        font = props.get("fontSize", style.get("fontSize", 13))
        color = style.get("color", "black")
        p = theme.palette
        # Every box property of the delete control is set here: sheets of the application (a
        # button padding, say) would otherwise squeeze its glyph out of its 18 pixels.
        self.setStyleSheet(
            f"TagsView {{background-color: {style.get('backgroundColor', 'transparent')}; border: none;"
            f" border-radius: {radius}px; min-height: 22px;}}"
            f"TagsView:hover {{background-color: {style.get('slots', {}).get('hover', {}).get('backgroundColor', 'transparent')};}}"
            f"QLabel {{color: {color}; font-size: {font}px; background: transparent; border: none; padding: 0px;}}"
            f"QPushButton {{color: {p['text']['secondary']}; border: none; background: transparent;"
            f" padding: 0px; margin: 0px; min-width: 18px; max-width: 18px; min-height: 18px; max-height: 18px;"
            f" border-radius: 9px;"
            f" font-size: 14px; font-weight: bold;}}"
            f"QPushButton:hover {{color: {p['text']['primary']}; background: {p['action']['hover']};}}"
            # Reached with Tab, the control shows that the keyboard is on it.
            f"QPushButton:focus {{outline: none; color: {p['primary']['main']}; background: {p['action']['focus']};"
            f" border: 1px solid {p['primary']['main']};}}"
        )

    def renderUi(self, ctx: Any = None, parent: QWidget | None = None) -> QWidget:
        """Built already; kept so containers can treat it as a component."""
        if parent is not None:
            self.setParent(parent)
        return self

    def _handle_delete(self, *_: Any) -> None:
        if self._onDelete is None:
            return
        if self.deleteButton.hasFocus():
            # The tag goes away with its control: the keyboard goes back to the field's input
            # (the nearest ancestor that takes focus) rather than nowhere.
            holder = self.parentWidget()
            while holder is not None and holder.focusPolicy() == Qt.FocusPolicy.NoFocus:
                holder = holder.parentWidget()
            if holder is not None:
                holder.setFocus(Qt.FocusReason.OtherFocusReason)
        self._onDelete()
