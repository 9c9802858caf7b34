"""Observable values (``State``) and the hooks that tie them to a widget.

A hook's work lives in a small QObject child of the widget that asked for it,
so Qt removes every connection when the widget is deleted; nothing here keeps
a widget alive.
"""
from __future__ import annotations

from collections.abc import Callable
from types import MethodType
from typing import Any
from weakref import WeakMethod

from PySide6.QtCore import QObject, Signal, Slot
from shiboken6 import isValid

__all__ = ["State", "useState", "useEffect"]


class State(QObject):
    """An observable value holder.

    ``valueChanged`` carries the new value and is emitted after each real
    change. Setting the very same object, or an equal value of the same type,
    stores it silently: effects only run when something a user could see
    has changed (``1`` and ``True`` compare equal, but are not the same value).
    """

    valueChanged = Signal(object)

    def __init__(self, initial: Any = None, parent: QObject | None = None) -> None:
        """Create a state holding ``initial``; ``parent`` owns it the Qt way."""
        super().__init__(parent)
        self._value = initial

    @property
    def value(self) -> Any:
        """The current value."""
        return self._value

    @value.setter
    def value(self, new: Any) -> None:
        _store(self, new)

    def setValue(self, new: Any) -> None:
        """Store ``new``, then emit ``valueChanged`` if it differs from the old value."""
        _store(self, new)

    def __repr__(self) -> str:
        return f"State({self._value!r})"


def _store(state: State, new: Any) -> None:
    # A function rather than a method: attribute lookups of methods on Qt
    # objects are slow, and setters sit on hot paths.
    old = state._value
    state._value = new
    if new is old:
        return
    if type(new) is type(old):
        try:
            if old == new:
                return
        except Exception:
            # Values whose comparison cannot give a truth value
            # (arrays, odd __eq__) count as changed.
            pass
    try:
        state.valueChanged.emit(new)
    except RuntimeError:
        # The owner is gone and took the C++ side with it: there is
        # nobody left to notify, which is not the caller's fault.
        if isValid(state):
            raise


def _check_component(component: Any, hook: str) -> None:
    if not isinstance(component, QObject):
        raise TypeError(
            f"{hook}() needs the owning widget as keyword argument 'component' "
            f"(a QObject), got {type(component).__name__}"
        )
    if not isValid(component):
        raise RuntimeError(
            f"{hook}(): 'component' has no live Qt object (deleted, or its Qt constructor has not run yet)"
        )


def useState(*, initial: Any = None, component: QObject | None = None) -> tuple[State, Callable[[Any], None]]:
    """Create a ``State`` owned by ``component`` and return it with its setter.

    The state is a Qt child of ``component`` and lives exactly as long as it.
    The setter takes one positional argument; ``state.value`` reads the new
    value as soon as it returns.
    """
    _check_component(component, "useState")
    state = State(initial, component)
    return state, state.setValue


_STRONG, _WEAK, _UNBOUND = "strong", "weak", "unbound"


class _Effect(QObject):
    """Runs one effect callback for one component.

    A bound method of the component is held through a ``WeakMethod`` (or, for
    builtin and extension methods, as the plain function called with this
    effect's parent); any other callable, often a lambda closing over the
    component, is held until the component's ``destroyed`` signal. As a Qt
    child the effect dies with the component in any case.
    """

    def __init__(self, component: QObject, callback: Callable[[], Any]) -> None:
        super().__init__(component)
        if type(callback) is MethodType and callback.__self__ is component:
            self._fn: Any = WeakMethod(callback)
            self._kind = _WEAK
            return
        if getattr(callback, "__self__", None) is component:
            # Bound methods of other kinds (builtin, extension-generated):
            # keep the function alone and supply the component on each call.
            func = getattr(callback, "__func__", None)
            if func is None:
                func = getattr(type(component), getattr(callback, "__name__", ""), None)
            if func is not None:
                self._fn = func
                self._kind = _UNBOUND
                return
        self._fn = callback
        self._kind = _STRONG
        # A bound method of this child: it holds the effect, never the component.
        component.destroyed.connect(self._release)

    @Slot()
    def _run(self) -> None:
        fn = self._fn
        if fn is None:
            return
        kind = self._kind
        if kind is _WEAK:
            fn = fn()
            if fn is None or not isValid(fn.__self__):
                self._drop()
                return
            fn()
            return
        owner = self.parent()
        if owner is None or not isValid(owner):
            self._drop()
            return
        if kind is _UNBOUND:
            fn(owner)
        else:
            fn()

    @Slot()
    def _release(self) -> None:
        self._fn = None

    def _drop(self) -> None:
        self._fn = None
        if isValid(self):
            self.deleteLater()


def useEffect(callback: Callable[[], Any], deps: list | tuple, component: QObject | None = None) -> None:
    """Call ``callback()`` whenever a value in ``deps`` changes, while ``component`` lives.

    ``deps`` is a list or tuple of ``State`` objects (or anything with a
    ``valueChanged`` signal, such as the theme's state). The callback does
    not run at registration; callers apply the current value themselves.
    """
    if not callable(callback):
        raise TypeError(f"useEffect(): 'callback' must be callable, got {type(callback).__name__}")
    if not isinstance(deps, (list, tuple)):
        raise TypeError(
            f"useEffect(): 'deps' must be a list or tuple of State objects, got {type(deps).__name__}"
        )
    signals = []
    for index, dep in enumerate(deps):
        if isinstance(dep, State):
            signals.append(dep.valueChanged)
            continue
        signal = getattr(dep, "valueChanged", None)
        if signal is None or not hasattr(signal, "connect"):
            raise TypeError(
                f"useEffect(): 'deps' must hold State objects; item {index} is {type(dep).__name__}"
            )
        signals.append(signal)
    _check_component(component, "useEffect")
    if not signals:
        return
    effect = _Effect(component, callback)
    run = effect._run
    for signal in signals:
        signal.connect(run)
