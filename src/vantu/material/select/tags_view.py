"""``TagsView``: a removable tag (a Material 3 input chip) with a label and a delete control."""
from __future__ import annotations

from collections.abc import Callable
from typing import Any

from PySide6.QtCore import QSize, Qt, Slot
from PySide6.QtGui import QKeyEvent
from PySide6.QtWidgets import QFrame, QHBoxLayout, QLabel, QPushButton, QSizePolicy, QWidget

from vantu.i18n.use_translation import i18n, translate
from vantu.material.styles import useTheme
from vantu.vantu_assets import VANTU_ASSETS

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
        self.setSizePolicy(QSizePolicy.Policy.Fixed, QSizePolicy.Policy.Fixed)
        layout = QHBoxLayout(self)
        self.label = QLabel(str(label), self)
        self.label.setObjectName("tagLabel")
        layout.addWidget(self.label)
        self.deleteButton = _DeleteButton(self)
        self.deleteButton.setObjectName("tagDelete")
        self.deleteButton.setIcon(VANTU_ASSETS.ICONS.CLOSE)
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
        """Chip measures and colours from the theme's "tag" style; follows light/dark switches."""
        theme = useTheme()
        style = theme.components["KelSelect"]["styles"]["tag"]({"size": self._size})
        style = {**style, **style.get("props", {}).get(self._size, {})}
        slots = style.get("slots", {})
        height, icon = style.get("height", 32), style.get("iconSize", 18)
        border = 1 if style.get("border", "none") != "none" else 0
        # Measures in the layout (the border takes a pixel of each margin), colours in the sheet.
        self.setFixedHeight(height)
        self.layout().setContentsMargins(style.get("paddingLeft", 12) - border, 0,
                                         style.get("paddingRight", 8) - border, 0)
        self.layout().setSpacing(style.get("spacing", 8))
        self.deleteButton.setFixedSize(icon, icon)
        self.deleteButton.setIconSize(QSize(icon, icon))
        # Every box property of the delete control is set here: sheets of the application (a
        # button padding, say) would otherwise squeeze its icon out of its box.
        self.setStyleSheet(
            f"TagsView {{background-color: {style.get('backgroundColor', 'transparent')};"
            f" border: {style.get('border', 'none')}; border-radius: {style.get('borderRadius', 8)}px;}}"
            f"TagsView:hover {{background-color: {slots.get('hover', {}).get('backgroundColor', 'transparent')};}}"
            f"QLabel {{color: {style.get('color', 'black')}; font-size: {style.get('fontSize', 14)}px;"
            f" font-weight: {style.get('fontWeight', 500)}; background: transparent; border: none; padding: 0px;}}"
            f"QPushButton {{border: none; background: transparent; padding: 0px; margin: 0px;"
            f" min-width: {icon}px; max-width: {icon}px; min-height: {icon}px; max-height: {icon}px;"
            f" border-radius: {icon // 2}px;}}"
            f"QPushButton:hover {{background: {slots.get('deleteHover', {}).get('backgroundColor', 'transparent')};}}"
            # Reached with Tab, the control shows that the keyboard is on it.
            f"QPushButton:focus {{outline: none; background: {slots.get('deleteFocus', {}).get('backgroundColor', 'transparent')};"
            f" border: 1px solid {theme.palette['primary']['main']};}}"
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
