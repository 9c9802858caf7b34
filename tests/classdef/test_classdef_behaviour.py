"""A class defined from C++ behaves for Qt, PySide6 and users like a Python class."""
import gc
import inspect
import types
import weakref

import pytest
from PySide6.QtCore import QCoreApplication, QEvent, QObject, Qt, Signal
from PySide6.QtWidgets import QLineEdit, QWidget

from vantu._testing._classdef_probe import ProbeWidget
from vantu._testing.probe_mixin import ProbeMixin


class Source(QObject):
    sig = Signal(object)
    bare = Signal()


def flush_deletes(qapp):
    QCoreApplication.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    qapp.processEvents()
    gc.collect()


class TestGeneratedMethods:
    def test_methods_are_plain_python_functions_with_honest_signatures(self):
        for name in ("__init__", "focusOutEvent", "resizeEvent", "eventFilter", "on_value", "typed"):
            fn = ProbeWidget.__dict__[name]
            assert type(fn) is types.FunctionType, name
            assert fn.__qualname__ == f"ProbeWidget.{name}"
            assert fn.__module__ == "vantu._testing._classdef_probe"
            assert fn.__doc__
        assert str(inspect.signature(ProbeWidget.__init__)) == "(self, parent=None, *args, **kwargs)"
        assert str(inspect.signature(ProbeWidget.on_value)) == "(self, value=None)"
        assert str(inspect.signature(ProbeWidget.typed)) == "(self, data: dict, text: str)"
        assert ProbeWidget.on_value.__code__.co_argcount == 2

    def test_class_is_made_by_qt_metaclass_with_signals_in_namespace(self):
        assert type(ProbeWidget) is type(QWidget)
        assert ProbeWidget.__mro__[1] is QWidget and ProbeMixin in ProbeWidget.__mro__
        assert "valueChanged" in ProbeWidget.__dict__ and "pinged" in ProbeWidget.__dict__
        assert ProbeWidget.KINDS == ("a", "b")

    def test_private_names_are_mangled(self, qtbot):
        assert "_ProbeWidget__secret" in ProbeWidget.__dict__
        assert "__secret" not in ProbeWidget.__dict__
        w = ProbeWidget()
        qtbot.addWidget(w)
        assert w._ProbeWidget__secret() == "mangled"

    def test_wrong_argument_count_gives_the_interpreters_error(self, qtbot):
        w = ProbeWidget()
        qtbot.addWidget(w)
        with pytest.raises(TypeError, match=r"on_value\(\) takes from 1 to 2 positional arguments but 3 were given"):
            w.on_value(1, 2)
        with pytest.raises(TypeError, match="unexpected keyword argument 'nope'"):
            w.on_value(nope=1)

    def test_calls_without_keywords_fill_defaults_as_the_function_would(self, qtbot):
        w = ProbeWidget()
        qtbot.addWidget(w)
        w.on_value()
        ProbeWidget.on_value(w, 3)
        fn = ProbeWidget.on_value
        old = fn.__defaults__
        fn.__defaults__ = ("changed",)
        try:
            w.on_value()
        finally:
            fn.__defaults__ = old
        assert w.events == [("value", None), ("value", 3), ("value", "changed")]
        assert ProbeWidget.describe(7) == (ProbeWidget, 7)

        def again():
            return w.call_back(again)

        with pytest.raises(RecursionError):
            w.call_back(again)

    @pytest.mark.parametrize(
        "data, text, message",
        [
            ([], "x", "Argument 'data' has incorrect type (expected dict, got list)"),
            (None, "x", "Argument 'data' has incorrect type (expected dict, got NoneType)"),
            ({}, None, "Argument 'text' has incorrect type (expected str, got NoneType)"),
            ({}, 3, "Argument 'text' has incorrect type (expected str, got int)"),
        ],
    )
    def test_annotated_arguments_are_checked_for_their_exact_type(self, qtbot, data, text, message):
        w = ProbeWidget()
        qtbot.addWidget(w)
        with pytest.raises(TypeError) as info:
            w.typed(data, text)
        assert str(info.value) == message

    def test_subclass_of_an_annotated_type_is_refused(self, qtbot):
        class MyDict(dict):
            pass

        w = ProbeWidget()
        qtbot.addWidget(w)
        with pytest.raises(TypeError, match="expected dict, got MyDict"):
            w.typed(MyDict(), "x")
        assert w.typed({"k": 1}, "x") == ({"k": 1}, "x")

    def test_python_exceptions_pass_through_unchanged(self, qtbot):
        w = ProbeWidget()
        qtbot.addWidget(w)
        err = KeyError("mine")

        def fail():
            raise err

        with pytest.raises(KeyError) as info:
            w.call_back(fail)
        assert info.value is err

    def test_classmethod_receives_the_class(self):
        class Sub(ProbeWidget):
            pass

        assert Sub.describe(1) == (Sub, 1)

    def test_diagnostic_lines_follow_stdout(self, qtbot, capsys):
        w = ProbeWidget()
        qtbot.addWidget(w)
        w.say([1, "a"])
        assert capsys.readouterr().out == "{'value': [1, 'a']}\n"


class TestMixinAndSubclassing:
    def test_mixin_runs_from_qt_init_and_explicitly(self, qtbot):
        w = ProbeWidget(None, "extra", colour="red")
        qtbot.addWidget(w)
        assert w.mixin_runs == 2  # once from QWidget.__init__, once explicitly
        assert w.options == {"colour": "red"}
        assert w.objectName().startswith("ProbeWidget-")

    def test_python_subclass_can_override_and_extend(self, qtbot):
        class Sub(ProbeWidget):
            def on_value(self, value=None):
                super().on_value(("sub", value))

        w = Sub()
        qtbot.addWidget(w)
        w.on_value(1)
        assert w.events == [("value", ("sub", 1))]


class TestQtDispatch:
    def test_virtual_overrides_run_on_real_events(self, qtbot):
        w = ProbeWidget()
        qtbot.addWidget(w)
        w.setFocusPolicy(Qt.FocusPolicy.StrongFocus)
        other = QLineEdit(w)
        other.setObjectName("other")
        other.move(0, 40)
        w.resize(160, 90)
        with qtbot.waitExposed(w):
            w.show()
        assert ("resize", (160, 90)) in w.events
        w.activateWindow()
        w.setFocus()
        qtbot.waitUntil(lambda: w.hasFocus())
        other.setFocus(Qt.FocusReason.TabFocusReason)
        qtbot.waitUntil(lambda: any(e[0] == "focusOut" for e in w.events))
        assert ("focusOut", Qt.FocusReason.TabFocusReason) in w.events

    def test_event_filter_sees_key_presses_of_watched_widgets(self, qtbot):
        w = ProbeWidget()
        edit = QLineEdit()
        edit.setObjectName("watched")
        qtbot.addWidget(w)
        qtbot.addWidget(edit)
        edit.installEventFilter(w)
        edit.show()
        qtbot.keyClicks(edit, "ab")
        assert w.events.count(("filteredKey", "watched")) == 2
        assert edit.text() == "ab"  # the filter never consumes

    def test_method_connected_to_signal_runs_on_every_emit(self, qtbot):
        w = ProbeWidget()
        qtbot.addWidget(w)
        src = Source()
        src.sig.connect(w.on_value)
        src.bare.connect(w.on_value)
        src.sig.emit({"a": 1})
        src.sig.emit(None)
        src.bare.emit()
        assert w.events == [("value", {"a": 1}), ("value", None), ("value", None)]

    def test_own_signal_reaches_connected_methods(self, qtbot):
        w = ProbeWidget()
        qtbot.addWidget(w)
        with qtbot.waitSignal(w.valueChanged) as blocker:
            w.valueChanged.emit([1, 2])
        assert blocker.args == [[1, 2]]


class TestLifetime:
    def test_deleted_widget_is_collected_and_its_connections_end(self, qapp):
        src = Source()
        w = ProbeWidget()
        src.sig.connect(w.on_value)
        src.sig.emit(1)
        ref = weakref.ref(w)
        w.deleteLater()
        del w
        flush_deletes(qapp)
        assert ref() is None
        src.sig.emit(2)  # reaches nothing, raises nothing

    def test_child_widget_dies_with_its_parent(self, qapp):
        parent = QWidget()
        w = ProbeWidget(parent)
        ref = weakref.ref(w)
        src = Source()
        src.sig.connect(w.on_value)
        del w
        parent.deleteLater()
        del parent
        flush_deletes(qapp)
        assert ref() is None
        src.sig.emit(3)
