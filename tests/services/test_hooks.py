"""State, useState and useEffect: change notification and widget lifetimes."""
import gc
import weakref

import pytest
import shiboken6
from PySide6.QtCore import QCoreApplication, QEvent, QObject
from PySide6.QtWidgets import QWidget

from vantu.hooks import State, useEffect, useState
from vantu.hooks.use_state import State as StateFromModule


def destroy(qapp, widget):
    widget.deleteLater()
    qapp.processEvents()
    QCoreApplication.sendPostedEvents(None, QEvent.DeferredDelete)


class Host(QWidget):
    def __init__(self):
        super().__init__()
        self.calls = 0

    def refresh(self):
        self.calls += 1


class TestState:
    def test_both_import_paths_name_one_class(self):
        assert State is StateFromModule

    def test_setter_emits_new_value_once_per_real_change(self, qtbot):
        state = State(1)
        seen = []
        state.valueChanged.connect(seen.append)
        state.value = 2
        state.value = 2
        state.setValue(3)
        assert seen == [2, 3]
        assert state.value == 3

    def test_equal_value_of_other_type_counts_as_change(self):
        state = State(1)
        seen = []
        state.valueChanged.connect(seen.append)
        state.value = True
        assert seen == [True] and state.value is True

    def test_uncomparable_values_are_treated_as_changed(self):
        class Weird:
            def __eq__(self, other):
                raise ValueError("no truth value")

        state = State(Weird())
        seen = []
        state.valueChanged.connect(seen.append)
        new = Weird()
        state.value = new
        assert seen == [new]

    def test_setter_after_owner_deleted_raises_nothing(self, qapp):
        owner = QWidget()
        state, set_state = useState(initial="a", component=owner)
        destroy(qapp, owner)
        set_state("b")
        assert state.value == "b"


class TestUseState:
    def test_returns_owned_state_and_setter(self, qtbot):
        w = QWidget()
        qtbot.addWidget(w)
        state, set_state = useState(initial=[1], component=w)
        assert isinstance(state, State) and state.parent() is w
        assert state.value == [1]
        with qtbot.waitSignal(state.valueChanged) as blocker:
            set_state(["x", "y"])
        assert blocker.args == [["x", "y"]]
        assert state.value == ["x", "y"]

    def test_state_dies_with_its_component(self, qapp):
        w = QWidget()
        state, _ = useState(initial=0, component=w)
        destroy(qapp, w)
        assert not shiboken6.isValid(state)

    @pytest.mark.parametrize("component", [None, "widget", object()])
    def test_component_is_required(self, component):
        with pytest.raises(TypeError, match="'component'"):
            useState(initial=1, component=component)
        with pytest.raises(TypeError, match="'component'"):
            useState(initial=1)

    def test_arguments_are_keyword_only(self, qtbot):
        with pytest.raises(TypeError):
            useState(1, QWidget())


class TestUseEffect:
    def test_effect_follows_changes_but_not_registration(self, qtbot):
        w = Host()
        qtbot.addWidget(w)
        state = State("a")
        useEffect(w.refresh, [state], component=w)
        assert w.calls == 0
        state.value = "b"
        state.value = "b"
        state.value = "c"
        assert w.calls == 2

    def test_any_of_several_deps_triggers(self, qtbot):
        w = QWidget()
        qtbot.addWidget(w)
        a, b = State(0), State(0)
        calls = []
        useEffect(lambda: calls.append((a.value, b.value)), (a, b), component=w)
        a.value = 1
        b.value = 2
        assert calls == [(1, 0), (1, 2)]

    def test_signal_like_dependency_is_accepted(self, qtbot):
        class Source(QObject):
            from PySide6.QtCore import Signal
            valueChanged = Signal(object)

        w = QWidget()
        qtbot.addWidget(w)
        source = Source()
        calls = []
        useEffect(lambda: calls.append(1), [source], component=w)
        source.valueChanged.emit("x")
        assert calls == [1]

    def test_bound_method_effect_stops_and_releases_widget(self, qapp):
        w = Host()
        state = State(0)
        useEffect(w.refresh, [state], component=w)
        state.value = 1
        assert w.calls == 1
        ref = weakref.ref(w)
        destroy(qapp, w)
        del w
        gc.collect()
        assert ref() is None
        state.value = 2  # nobody left to call; must not raise

    def test_lambda_effect_stops_and_releases_widget(self, qapp):
        w = Host()
        state = State(0)
        useEffect(lambda: w.refresh(), [state], component=w)
        state.value = 1
        assert w.calls == 1
        calls_seen = []
        useEffect(lambda: calls_seen.append(1), [state], component=w)
        ref = weakref.ref(w)
        destroy(qapp, w)
        del w
        gc.collect()
        assert ref() is None
        state.value = 2
        assert calls_seen == []

    def test_bound_method_effect_forms_no_reference_cycle(self):
        w = Host()
        state = State(0)
        useEffect(w.refresh, [state], component=w)
        ref = weakref.ref(w)
        del w  # plain reference counting, no gc run: nothing may hold the widget
        assert ref() is None
        state.value = 1

    def test_builtin_method_effect_forms_no_reference_cycle(self, qtbot):
        w = QWidget()
        with qtbot.waitExposed(w):
            w.show()
        state = State(0)
        useEffect(w.hide, [state], component=w)
        state.value = 1
        assert not w.isVisible()
        ref = weakref.ref(w)
        del w
        assert ref() is None
        state.value = 2

    def test_lambda_effect_released_when_python_drops_toplevel(self):
        w = Host()
        state = State(0)
        useEffect(lambda: w.refresh(), [state], component=w)
        ref = weakref.ref(w)
        del w
        gc.collect()
        assert ref() is None
        state.value = 5

    def test_effect_of_one_widget_survives_deletion_of_another(self, qapp, qtbot):
        keep, gone = Host(), Host()
        qtbot.addWidget(keep)
        state = State(0)
        useEffect(keep.refresh, [state], component=keep)
        useEffect(gone.refresh, [state], component=gone)
        destroy(qapp, gone)
        state.value = 1
        assert keep.calls == 1

    def test_effect_exception_reaches_qt_dispatch(self, qtbot):
        w = QWidget()
        qtbot.addWidget(w)
        state = State(0)

        def boom():
            raise ValueError("effect failed")

        useEffect(boom, [state], component=w)
        with qtbot.captureExceptions() as errors:
            state.value = 1
        assert [type(e[1]) for e in errors] == [ValueError]
        assert state.value == 1

    @pytest.mark.parametrize("deps", [None, State(0), "abc", [1], [State(0), None]])
    def test_bad_deps_are_refused_without_side_effects(self, qtbot, deps):
        w = QWidget()
        qtbot.addWidget(w)
        with pytest.raises(TypeError, match="'deps'"):
            useEffect(lambda: None, deps, component=w)
        assert w.findChildren(QObject) == []

    def test_component_and_callback_are_checked(self, qtbot):
        state = State(0)
        with pytest.raises(TypeError, match="'component'"):
            useEffect(lambda: None, [state])
        with pytest.raises(TypeError, match="'callback'"):
            useEffect(None, [state], component=QWidget())
