"""The seven handlers: the entry box's own signal first, then the callback, from real events."""
from __future__ import annotations

import pytest
from PySide6.QtCore import QEvent, QPointF, Qt
from PySide6.QtGui import QEnterEvent
from PySide6.QtWidgets import QApplication, QLineEdit

HANDLERS = [
    ("_handle_focus_in", "focusIn", "onFocus", False),
    ("_handle_blur", "blur", "onBlur", False),
    ("_handle_clicked", "clicked", "onClick", True),
    ("_handle_key_down", "keyDown", "onKeyDown", True),
    ("_handle_key_up", "keyUp", "onKeyUp", True),
    ("_handle_mouse_enter", "mouseEnter", "onMouseEnter", False),
    ("_handle_mouse_leave", "mouseLeave", "onMouseLeave", False),
]


class TestEachHandler:
    @pytest.mark.parametrize("handler, signal, callback, with_event", HANDLERS)
    def test_signal_comes_before_the_callback_with_the_right_arguments(self, render, handler, signal, callback, with_event):
        order = []
        event = object()
        box = render(show=False, **{callback: lambda *a: order.append(("callback", a))})
        getattr(box, signal).connect(lambda *a: order.append(("signal", a)))
        getattr(box, handler)(*([event] if with_event else []))
        if with_event:
            assert order == [("signal", (event,)), ("callback", (box, event))]
        else:
            assert order == [("signal", ()), ("callback", (box,))]

    @pytest.mark.parametrize("handler, signal, callback, with_event", HANDLERS)
    def test_non_callable_callbacks_are_ignored(self, render, handler, signal, callback, with_event):
        seen = []
        box = render(show=False, **{callback: "not callable"})
        getattr(box, signal).connect(lambda *a: seen.append(a))
        assert getattr(box, handler)(*([1] if with_event else [])) is None
        assert len(seen) == 1

    def test_a_callback_set_after_construction_is_used(self, render):
        box = render()
        seen = []
        box._onClick = lambda b, e: seen.append(e)
        box._handle_clicked("e")
        assert seen == ["e"]

    def test_a_raising_callback_surfaces_after_the_signal(self, render):
        seen = []

        def boom(box):
            raise ValueError("boom")

        box = render(show=False, onFocus=boom)
        box.focusIn.connect(lambda: seen.append("signal"))
        with pytest.raises(ValueError, match="boom"):
            box._handle_focus_in()
        assert seen == ["signal"]


class TestRealEvents:
    def test_typing_gives_key_signals_and_the_value(self, render, qtbot):
        downs, ups, changes = [], [], []
        box = render(label="Name", onKeyDown=lambda b, e: downs.append(e.text()), onChange=lambda i: changes.append(i.value))
        box.keyUp.connect(lambda e: ups.append(e.key()))
        field = box._input._inputField
        qtbot.keyClicks(field, "hi")
        assert field.text() == "hi" and box._input.value == "hi"
        assert downs == ["h", "i"] and ups == [Qt.Key.Key_H, Qt.Key.Key_I]
        assert changes == ["h", "hi"]

    def test_focus_in_and_out_of_the_field(self, render, qtbot):
        events = []
        box = render(label="Name", onFocus=lambda b: events.append("focus"), onBlur=lambda b: events.append("blur"))
        other = QLineEdit()
        box.window().layout().addWidget(other)
        other.show()
        box.window().activateWindow()
        other.setFocus()
        qtbot.waitUntil(other.hasFocus)
        events.clear()
        box._input._inputField.setFocus(Qt.FocusReason.MouseFocusReason)
        qtbot.waitUntil(lambda: events == ["focus"])
        other.setFocus(Qt.FocusReason.TabFocusReason)
        qtbot.waitUntil(lambda: events == ["focus", "blur"])

    def test_click_on_the_field_reports_the_event(self, render, qtbot):
        seen = []
        box = render(label="Name", onClick=lambda b, e: seen.append((b, e.type())))
        with qtbot.waitSignal(box.clicked) as blocker:
            qtbot.mouseClick(box._input._inputField, Qt.MouseButton.LeftButton)
        assert seen == [(box, QEvent.Type.MouseButtonRelease)]
        assert blocker.args[0] is not None

    def test_pointer_enter_and_leave_of_the_field(self, render):
        seen = []
        box = render(onMouseEnter=lambda b: seen.append("enter"), onMouseLeave=lambda b: seen.append("leave"))
        field = box._input._inputField
        QApplication.sendEvent(field, QEnterEvent(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5)))
        QApplication.sendEvent(field, QEvent(QEvent.Type.Leave))
        assert seen == ["enter", "leave"]
