"""What assistive technology (screen readers and the like) learns about vantu's select widgets.

Qt asks an interface factory for a ``QAccessibleInterface`` per object; this module adds one
for the select field (a combo box), its input (the same combo box, as the input is where focus
lives), and the option list with a list item per option. The field's buttons keep Qt's own
button interface, named here ("Clear", "Open" / "Close"), which already offers the press
action.

Lifetimes. An interface made by the factory belongs to Qt, which deletes it with its widget; it
reads its widget through Qt's guarded pointer (``widget()``) and holds no Python reference to
it. Rows have no object of their own: each is registered with Qt when first asked for and held
by a registry on its list, which unregisters every row (so Qt deletes it) when the options
change and when the registry itself goes, before Python lets go of them.
"""
from __future__ import annotations

import weakref
from collections.abc import Callable
from typing import Any

import shiboken6
from PySide6.QtCore import QObject, QPoint, QRect
from PySide6.QtGui import (
    QAccessible,
    QAccessibleEvent,
    QAccessibleInterface,
    QAccessibleStateChangeEvent,
    QAccessibleValueChangeEvent,
)
from PySide6.QtWidgets import QAccessibleWidget, QWidget

from vantu.hooks import State
from vantu.i18n.use_translation import i18n, translate

__all__ = [
    "FieldInterface",
    "InputInterface",
    "ListInterface",
    "RowInterface",
    "field_description",
    "field_name",
    "field_value",
    "install",
    "list_shown",
    "name_field_buttons",
    "notify",
    "row_focused",
    "rows_reset",
]

Role = QAccessible.Role
Text = QAccessible.Text

CLEAR_TEXT = "Clear"
OPEN_TEXT = "Open"
CLOSE_TEXT = "Close"


def _alive(obj: Any) -> bool:
    return obj is not None and shiboken6.isValid(obj)


def _resolve(value: Any) -> Any:
    return value.value if isinstance(value, State) else value


def _is_select_field(obj: Any) -> bool:
    return _alive(obj) and hasattr(obj, "_selected_change") and hasattr(obj, "_inputField")


def notify(event: QAccessibleEvent) -> None:
    """Hands ``event`` to Qt, which passes it on to the assistive technology."""
    QAccessible.updateAccessibility(event)


# -- what a select field says ---------------------------------------------------------------


def field_name(field: Any) -> str:
    """The field's label in the current language, with the "*" of a required field."""
    label = getattr(field, "_label", None)
    if label is None or label == "":
        return ""
    name = translate(label)
    return name + "*" if _resolve(getattr(field, "_required", False)) else name


def _option_text(option: Any, getter: Any) -> str:
    from vantu.material.list_view.list_view import option_label

    return option_label(option, getter if callable(getter) else None)


def field_value(field: Any) -> str:
    """The text the field shows, whole (never elided): the chosen option's label, or the chosen
    labels joined by ", " (a multiple field's value renderer, when it shows its text, decides)."""
    value = field.value
    getter = getattr(field, "_getOptionLabel", None)
    if getattr(field, "_multiple", False):
        if not isinstance(value, (list, tuple)) or not value:
            return ""
        render = getattr(field, "_renderValue", None)
        if callable(render) and not getattr(field, "_renderTags", None):
            return str(render(value))
        return ", ".join(_option_text(option, getter) for option in value)
    if value is None or (isinstance(value, str) and value == ""):
        return ""
    if isinstance(value, dict):
        return _option_text(value, getter)
    from vantu.material.list_view.list_view import option_key

    for option in getattr(field, "_options", ()):
        try:
            if option == value or option_key(option, getter if callable(getter) else None) == value:
                return _option_text(option, getter)
        except Exception:  # an option that cannot be compared names nothing
            continue
    return str(value)


def field_description(field: Any) -> str:
    """The helper text, else the placeholder given to the field, in the current language."""
    for name in ("_helperText", "_placeholder"):
        text = _resolve(getattr(field, name, None))
        if isinstance(text, str) and text:
            return translate(text)
    return ""


def _popup_open(field: Any) -> bool:
    popup = getattr(field, "_popup", None)
    return _alive(popup) and popup.isVisible()


def _field_state(field: Any, state: QAccessible.State) -> QAccessible.State:
    state.focusable = True
    state.hasPopup = True
    state.expandable = True
    expanded = _popup_open(field)
    state.expanded = expanded
    state.collapsed = not expanded
    state.readOnly = bool(_resolve(getattr(field, "_readOnly", False)))
    getter = getattr(field, "_getError", None)
    state.invalid = bool(getter()) if callable(getter) else bool(_resolve(getattr(field, "_error", False)))
    if not field.isEnabled():
        state.disabled = True
    return state


def name_field_buttons(field: Any) -> None:
    """Names the field's clear button "Clear" and its arrow "Open" or "Close" (by the popup), in
    the current language. Qt's button interface reads these names and offers the press action."""
    if not _alive(field):
        return
    clear = getattr(field, "_btn_clear_text", None)
    if _alive(clear):
        name = translate(CLEAR_TEXT)
        if clear.accessibleName() != name:
            clear.setAccessibleName(name)
    arrow = getattr(field, "_btnSelect", None)
    if _alive(arrow):
        name = translate(CLOSE_TEXT if _popup_open(field) else OPEN_TEXT)
        if arrow.accessibleName() != name:
            arrow.setAccessibleName(name)
    _named_fields.add(field)


_named_fields: weakref.WeakSet[Any] = weakref.WeakSet()


def _retranslate_buttons(*_: Any) -> None:
    for field in list(_named_fields):
        name_field_buttons(field)


i18n.langChanged.connect(_retranslate_buttons)


class FieldInterface(QAccessibleWidget):
    """The select field as a combo box: its label, shown text, helper or placeholder text, and
    its states. Its children are Qt's (the input, the button frame) and the option list."""

    def __init__(self, field: QWidget) -> None:
        super().__init__(field, Role.ComboBox)

    def text(self, t: QAccessible.Text) -> str:
        field = self.widget()
        if field is None:
            return ""
        if t == Text.Name:
            return field.accessibleName() or field_name(field)
        if t == Text.Value:
            return field_value(field)
        if t == Text.Description:
            return field.accessibleDescription() or field_description(field)
        return super().text(t)

    def state(self) -> QAccessible.State:
        state = super().state()
        field = self.widget()
        if field is None:
            return state
        field_state = _field_state(field, state)
        input_field = getattr(field, "_inputField", None)
        field_state.focused = bool(_alive(input_field) and input_field.hasFocus())
        return field_state

    def _list(self) -> Any:
        field = self.widget()
        menu = getattr(field, "_menu", None) if field is not None else None
        view = getattr(menu, "listView", None) if _alive(menu) else None
        return view if _alive(view) else None

    def childCount(self) -> int:
        return super().childCount() + (1 if self._list() is not None else 0)

    def child(self, index: int) -> QAccessibleInterface | None:
        own = super().childCount()
        if index < own:
            return super().child(index)
        view = self._list()
        if index == own and view is not None:
            return QAccessible.queryAccessibleInterface(view)
        return None

    def indexOfChild(self, child: QAccessibleInterface) -> int:
        view = self._list()
        if view is not None and child is not None and child.object() is view:
            return super().childCount()
        return super().indexOfChild(child)

    def actionNames(self) -> list[str]:
        return [QAccessibleWidget.showMenuAction(), *super().actionNames()]

    def doAction(self, name: str) -> None:
        field = self.widget()
        if field is not None and name in (QAccessibleWidget.showMenuAction(), QAccessibleWidget.pressAction()):
            field._toggle_popup()
            return
        super().doAction(name)


class InputInterface(QAccessibleWidget):
    """The field's input, which holds the keyboard focus: described as its field is, so the
    combo box, its label and its value are what a screen reader speaks when the field is
    reached."""

    def __init__(self, widget: QWidget) -> None:
        super().__init__(widget, Role.ComboBox)

    def _field(self) -> Any:
        widget = self.widget()
        if widget is None:
            return None
        owner = getattr(widget, "_owner", None)
        field = owner() if callable(owner) else widget.parentWidget()
        return field if _is_select_field(field) else None

    def text(self, t: QAccessible.Text) -> str:
        widget, field = self.widget(), self._field()
        if widget is None or field is None:
            return super().text(t) if widget is not None else ""
        if t == Text.Name:
            return widget.accessibleName() or field.accessibleName() or field_name(field)
        if t == Text.Value:
            return field_value(field)
        if t == Text.Description:
            return widget.accessibleDescription() or field.accessibleDescription() or field_description(field)
        return super().text(t)

    def state(self) -> QAccessible.State:
        state = super().state()
        field = self._field()
        return _field_state(field, state) if field is not None else state

    def actionNames(self) -> list[str]:
        return [QAccessibleWidget.showMenuAction(), *super().actionNames()]

    def doAction(self, name: str) -> None:
        field = self._field()
        if field is not None and name == QAccessibleWidget.showMenuAction():
            field._toggle_popup()
            return
        super().doAction(name)


# -- the option list ------------------------------------------------------------------------


class _RowRegistry:
    """The row interfaces of one list, each registered with Qt. Unregistering lets Qt delete
    a row; only then may Python drop it (Qt would otherwise keep a dangling one)."""

    def __init__(self) -> None:
        self.rows: dict[int, tuple[RowInterface, int]] = {}

    def clear(self) -> None:
        rows, self.rows = self.rows, {}
        for iface, ident in rows.values():
            if shiboken6.isValid(iface):
                QAccessible.deleteAccessibleInterface(ident)

    def __del__(self) -> None:
        try:
            self.clear()
        except Exception:  # at interpreter exit Qt may be gone already, and its rows with it
            pass


def _registry(view: Any) -> _RowRegistry:
    registry = view.__dict__.get("_accessible_rows")
    if registry is None:
        registry = view._accessible_rows = _RowRegistry()
    return registry


def _row(view: Any, row: int) -> RowInterface | None:
    if not 0 <= row < view.model().rowCount():
        return None
    registry = _registry(view)
    entry = registry.rows.get(row)
    if entry is None or not shiboken6.isValid(entry[0]):
        iface = RowInterface(view, row)
        entry = registry.rows[row] = (iface, QAccessible.registerAccessibleInterface(iface))
    return entry[0]


def rows_reset(view: Any) -> None:
    """The options of ``view`` changed: its row interfaces describe rows that are gone."""
    registry = view.__dict__.get("_accessible_rows")
    if registry is not None:
        registry.clear()


def _owner_of(view: Any) -> Any:
    owner = getattr(view, "owner", None)
    field = owner() if callable(owner) else None
    return field if _alive(field) else None


class ListInterface(QAccessibleWidget):
    """The open option list: a list whose children are its rows."""

    def __init__(self, view: QWidget) -> None:
        super().__init__(view, Role.List)

    def text(self, t: QAccessible.Text) -> str:
        view = self.widget()
        if view is None:
            return ""
        if t == Text.Name:
            field = _owner_of(view)
            return view.accessibleName() or (field_name(field) if _is_select_field(field) else "")
        return super().text(t)

    def parent(self) -> QAccessibleInterface | None:
        view = self.widget()
        field = _owner_of(view) if view is not None else None
        if _is_select_field(field):
            return QAccessible.queryAccessibleInterface(field)
        return super().parent()

    def childCount(self) -> int:
        view = self.widget()
        return view.model().rowCount() if view is not None and view.model() is not None else 0

    def child(self, index: int) -> QAccessibleInterface | None:
        view = self.widget()
        return _row(view, index) if view is not None else None

    def indexOfChild(self, child: QAccessibleInterface) -> int:
        view = self.widget()
        if isinstance(child, RowInterface) and view is not None and child.view() is view and child.isValid():
            return child.row
        return -1

    def childAt(self, x: int, y: int) -> QAccessibleInterface | None:
        view = self.widget()
        if view is None:
            return None
        index = view.indexAt(view.viewport().mapFromGlobal(QPoint(x, y)))
        return _row(view, index.row()) if index.isValid() else None

    def focusChild(self) -> QAccessibleInterface | None:
        view = self.widget()
        if view is None:
            return None
        return _row(view, view.currentRow())


class RowInterface(QAccessibleInterface):
    """One option of a list: a list item carrying the option's label, selected when chosen,
    focused when it is the keyboard's current row, disabled when it cannot be chosen."""

    def __init__(self, view: Any, row: int) -> None:
        super().__init__()
        self._view = weakref.ref(view)
        self.row = row

    def view(self) -> Any:
        view = self._view()
        return view if _alive(view) else None

    def isValid(self) -> bool:
        view = self.view()
        return view is not None and view.model() is not None and self.row < view.model().rowCount()

    def object(self) -> QObject | None:
        return None

    def window(self) -> Any:
        view = self.view()
        return view.window().windowHandle() if view is not None else None

    def parent(self) -> QAccessibleInterface | None:
        view = self.view()
        return QAccessible.queryAccessibleInterface(view) if view is not None else None

    def child(self, index: int) -> QAccessibleInterface | None:
        return None

    def childCount(self) -> int:
        return 0

    def indexOfChild(self, child: QAccessibleInterface) -> int:
        return -1

    def childAt(self, x: int, y: int) -> QAccessibleInterface | None:
        return None

    def text(self, t: QAccessible.Text) -> str:
        if t != Text.Name or not self.isValid():
            return ""
        return self.view().rowText(self.row)

    def setText(self, t: QAccessible.Text, text: str) -> None:
        pass

    def rect(self) -> QRect:
        if not self.isValid():
            return QRect()
        view = self.view()
        area = view.visualRect(view.model().index(self.row, 0))
        return QRect(view.viewport().mapToGlobal(area.topLeft()), area.size())

    def role(self) -> QAccessible.Role:
        return Role.ListItem

    def state(self) -> QAccessible.State:
        state = QAccessible.State()
        if not self.isValid():
            state.invisible = True
            return state
        view = self.view()
        state.selectable = True
        state.focusable = True
        state.selected = view.isRowChosen(self.row)
        state.focused = view.currentRow() == self.row
        state.disabled = not view.isRowEnabled(self.row)
        area = view.visualRect(view.model().index(self.row, 0))
        if not view.isVisible() or not view.viewport().rect().intersects(area):
            state.invisible = True
        return state


# -- telling assistive technology what changed ----------------------------------------------


def row_focused(view: Any, row: int) -> None:
    """The keyboard's current row of ``view`` moved to ``row``: a screen reader speaks it."""
    if not QAccessible.isActive() or not view.isVisible():
        return
    iface = _row(view, row)
    if iface is not None:
        notify(QAccessibleEvent(iface, QAccessible.Event.Focus))


def list_shown(view: Any, shown: bool) -> None:
    """The list of a field opened or closed: the field and its input are expanded or
    collapsed, and the arrow's name follows."""
    field = _owner_of(view)
    if not _is_select_field(field):
        return
    name_field_buttons(field)
    if not QAccessible.isActive():
        return
    changed = QAccessible.State()
    changed.expanded = True
    changed.collapsed = True
    input_field = field._inputField
    for target in (field, input_field):
        if _alive(target):
            notify(QAccessibleStateChangeEvent(target, changed))
    if not shown and _alive(input_field) and input_field.hasFocus():
        # Back from the list's rows to the field, where the keyboard has stayed.
        notify(QAccessibleEvent(input_field, QAccessible.Event.Focus))


def _value_changed(field_ref: Callable[[], Any], *_: Any) -> None:
    field = field_ref()
    if not _is_select_field(field) or not QAccessible.isActive():
        return
    text = field_value(field)
    for target in (field, field._inputField):
        if _alive(target):
            notify(QAccessibleValueChangeEvent(target, text))


# -- the factory ----------------------------------------------------------------------------


def _make_field(field: Any) -> QAccessibleInterface:
    if not field.__dict__.get("_accessible_follows_value"):
        field._accessible_follows_value = True
        # Through a weak reference: the connection ends with the field and never keeps it.
        field.valueChanged.connect(_ValueRelay(weakref.ref(field)))
    name_field_buttons(field)
    return FieldInterface(field)


class _ValueRelay:
    """Calls ``_value_changed`` for one field; holds the field weakly."""

    __slots__ = ("_ref",)

    def __init__(self, ref: Callable[[], Any]) -> None:
        self._ref = ref

    def __call__(self, *args: Any) -> None:
        _value_changed(self._ref, *args)


def _make_input(widget: Any) -> QAccessibleInterface | None:
    owner = getattr(widget, "_owner", None)
    field = owner() if callable(owner) else None
    return InputInterface(widget) if _is_select_field(field) else None


_MAKERS: dict[str, Callable[[Any], QAccessibleInterface | None]] = {
    "SelectBase": _make_field,
    "_SelectLineEdit": _make_input,
    "_SelectPlainTextEdit": _make_input,
    "ListView": ListInterface,
}


def _factory(key: str, obj: QObject) -> QAccessibleInterface | None:
    maker = _MAKERS.get(key)
    if maker is None:
        return None
    return maker(obj)


def register(keys: tuple[str, ...], maker: Callable[[QObject], QAccessibleInterface | None]) -> None:
    """Has the one factory answer for more classes (by class name): other components add theirs
    here instead of installing a factory of their own, which Qt would ask about every object."""
    for key in keys:
        _MAKERS[key] = maker


_installed = False


def install() -> None:
    """Installs the interface factory (once)."""
    global _installed
    if not _installed:
        QAccessible.installFactory(_factory)
        _installed = True


install()
