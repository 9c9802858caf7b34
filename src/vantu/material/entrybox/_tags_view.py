"""Tags of a multiple selection: a chip per chosen option with its delete control."""
from __future__ import annotations

from collections.abc import Callable, Mapping
from typing import Any

from PySide6.QtCore import QRectF, QSize, Qt, Signal
from PySide6.QtGui import QColor, QIcon, QPainter, QPen
from PySide6.QtWidgets import QAbstractButton, QFrame, QHBoxLayout, QLabel, QPushButton, QSizePolicy, QWidget

from vantu.i18n.use_translation import i18n, translate
from vantu.material.styles import useTheme
from vantu.vantu_assets import VANTU_ASSETS

__all__ = ["Tag", "TagsView", "TAG_HEIGHT", "TAG_ICON", "set_keyboard_current"]

TAG_HEIGHT = 32
"""Height of a chip, a Material input chip's."""

TAG_ICON = 18
"""Side of a chip's delete icon."""

_GAP = 8
"""Between a chip's label and its icon. The padding around them (12 before the label, 8 after
the icon, the outline included) is the theme's, so that it mirrors with the layout."""


class _KeyboardRing(QWidget):
    """The ring around the delete control the keyboard is on (the keyboard itself stays in the
    input's typing field); drawn over the control, never in the way of the pointer."""

    def __init__(self, control: QWidget) -> None:
        super().__init__(control)
        self.setObjectName("EntryBoxTagKeyboardRing")
        self.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        self.setGeometry(control.rect())

    def paintEvent(self, event) -> None:
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        theme = useTheme()
        painter.setBrush(QColor(theme.palette["action"]["focus"]))
        painter.setPen(QPen(QColor(theme.resolve_color("primary")), 2))
        side = min(self.width(), self.height()) - 2
        painter.drawEllipse(QRectF((self.width() - side) / 2, (self.height() - side) / 2, side, side))
        painter.end()


def set_keyboard_current(control: QAbstractButton, current: bool) -> None:
    """Marks (or unmarks) ``control``, a chip's delete control, as the one the keyboard is on."""
    ring = control.findChild(_KeyboardRing, options=Qt.FindChildOption.FindDirectChildrenOnly)
    if current and ring is None:
        ring = _KeyboardRing(control)
        ring.show()
    elif not current and ring is not None:
        ring.hide()
        ring.setParent(None)
        ring.deleteLater()


class Tag(QFrame):
    """One chip: the option's label and a delete button (a Material input chip).

    ``deleteRequested`` is emitted when the delete button is clicked; ``onDelete``, when
    given, is called afterwards with no argument.
    """

    deleteRequested = Signal()

    def __init__(self, label: str, onDelete: Callable[[], Any] | None = None, parent=None) -> None:
        super().__init__(parent)
        self.setObjectName("EntryBoxTag")
        self._onDelete = onDelete
        self._labelText = label  # the whole label, however the chip shows it
        self.setSizePolicy(QSizePolicy.Policy.Fixed, QSizePolicy.Policy.Fixed)
        self.setFixedHeight(TAG_HEIGHT)
        layout = QHBoxLayout(self)
        # Style-sheet padding, unlike layout margins, follows a right-to-left layout.
        layout.setContentsMargins(0, 0, 0, 0)
        layout.setSpacing(_GAP)
        self.label = QLabel(label)
        self.label.setObjectName("EntryBoxTagLabel")
        layout.addWidget(self.label)
        # The library's close glyph, drawn in the theme's icon colour.
        self.deleteButton = QPushButton()
        self.deleteButton.setObjectName("EntryBoxTagDelete")
        self.deleteButton.setIcon(QIcon(VANTU_ASSETS.ICONS.CLOSE))
        self.deleteButton.setIconSize(QSize(TAG_ICON, TAG_ICON))
        self.deleteButton.setFixedSize(TAG_ICON, TAG_ICON)
        self.deleteButton.setCursor(Qt.CursorShape.PointingHandCursor)
        self.deleteButton.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.deleteButton.clicked.connect(self._handle_delete_clicked)
        layout.addWidget(self.deleteButton)
        # Reached from the input's keyboard (its focus stays in the typing field) and named for
        # assistive technology, which can press it.
        self._name_delete_control()
        i18n.langChanged.connect(self._name_delete_control)
        # Colours come from the input's frame sheet (``#EntryBoxTag`` rules), which follows the
        # theme; a chip needs no sheet of its own.

    def text(self) -> str:
        return self.label.text()

    def _name_delete_control(self, *_: Any) -> None:
        self.deleteButton.setAccessibleName(translate("Remove {label}").format(label=self._labelText))

    def _handle_delete_clicked(self) -> None:
        self.deleteRequested.emit()
        if callable(self._onDelete):
            self._onDelete()


class TagsView:
    """The default tag renderer: ``TagsView(getOptionLabel)(selected_options, getTagProps)``.

    Called like an application's ``renderTags``: with the chosen options (key -> option) and
    ``getTagProps(index)``, whose ``"onDelete"`` entry removes the tag's option; returns the
    list of ``Tag`` widgets, in the options' order.
    """

    def __init__(self, getOptionLabel: Callable[[Any], Any] | None = None) -> None:
        self._getOptionLabel = getOptionLabel

    def label_of(self, key: Any, option: Any) -> str:
        if isinstance(option, dict) and callable(self._getOptionLabel):
            return str(self._getOptionLabel(option))
        if isinstance(option, str):
            return option
        return str(key)

    def __call__(self, selected_options: Mapping[Any, Any], getTagProps: Callable[[int], dict]) -> list[Tag]:
        tags = []
        for index, (key, option) in enumerate(selected_options.items()):
            props = getTagProps(index)
            tags.append(Tag(self.label_of(key, option), onDelete=props.get("onDelete")))
        return tags
