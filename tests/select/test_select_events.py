"""Pointer, focus and the event filter, and whole uses of the field with real Qt events."""
import pytest
from PySide6.QtCore import QEvent, QPoint, QPointF, Qt
from PySide6.QtGui import QCursor, QEnterEvent, QFocusEvent, QWheelEvent
from PySide6.QtWidgets import QApplication, QPushButton

from vantu.material.select.pickcore import SelectBase

from .conftest import FRUITS, PEOPLE, label, render_tags


def focus_out(widget):
    QApplication.sendEvent(widget, QFocusEvent(QEvent.Type.FocusOut, Qt.FocusReason.OtherFocusReason))


def wheel(widget):
    pos = QPointF(5, 5)
    glob = QPointF(widget.mapToGlobal(QPoint(5, 5)))
    event = QWheelEvent(pos, glob, QPoint(0, 0), QPoint(0, -120), Qt.MouseButton.NoButton,
                        Qt.KeyboardModifier.NoModifier, Qt.ScrollPhase.NoScrollPhase, False)
    QApplication.sendEvent(widget, event)


def click_row(qtbot, view, row):
    rect = view.visualRect(view.model().index(row, 0))
    qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=rect.center())


def pointer_over(monkeypatch, widget):
    """Makes QApplication.widgetAt report `widget` under the pointer."""
    monkeypatch.setattr(QApplication, "widgetAt", staticmethod(lambda *a: widget))


class TestHoverAndFocusIn:
    def test_enter_and_leave(self, multi):
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        QApplication.sendEvent(multi, QEnterEvent(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5)))
        assert multi.property("hovered") is True and multi._btn_clear_text.isVisible()
        QApplication.sendEvent(multi, QEvent(QEvent.Type.Leave))
        assert multi.property("hovered") is False and multi._btn_clear_text.isVisible()

    def test_enter_without_clear_button(self, single):
        single.setValue("apple")
        QApplication.sendEvent(single, QEnterEvent(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5)))
        assert single.property("hovered") is True

    def test_focus_in_shows_label_and_filled_prop(self, make_field):
        field = make_field(options=list(FRUITS), label="Fruit", variant="filled")
        field._hide_label()
        QApplication.sendEvent(field, QFocusEvent(QEvent.Type.FocusIn))
        assert field.title() == "Fruit" and field.property("filledHasValue") is True


class TestFocusOut:
    def test_other_case_text_selects_the_option(self, single, qtbot):
        single._inputField.setText("BANANA")
        with qtbot.waitSignal(single.valueChanged) as blocker:
            focus_out(single._inputField)
        assert blocker.args == ["banana"] and single._inputField.text() == "banana"

    def test_unknown_text_clears(self, single):
        single._inputField.setText("plum")
        focus_out(single._inputField)
        assert single.value is None and single._inputField.text() == ""
        assert single._inputField.placeholderText() == "Fruit" and single.title() == ""

    def test_no_options_clears_any_text(self, make_field):
        field = make_field(options=[], label="L")
        field._inputField.setText("x")
        focus_out(field._inputField)
        assert field._inputField.text() == "" and field.value is None

    def test_filled_value_none_resets_the_prop(self, make_field):
        field = make_field(options=list(FRUITS), variant="filled")
        field._set_filled_foucusin_prop(True)
        focus_out(field._inputField)
        assert field.property("filledHasValue") is False

    def test_multiple_without_keys_shows_label_as_placeholder(self, multi):
        multi.setTitle("People")
        focus_out(multi._inputField)
        assert multi.title() == "" and multi._inputField.placeholderText() == "People"

    def test_multiple_with_keys_hides_the_clear_button_only(self, multi):
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        multi._btn_clear_text.show()
        multi._show_label()
        focus_out(multi._inputField)
        assert not multi._btn_clear_text.isVisible() and multi.title() == "People"

    @pytest.mark.parametrize("button", ["_btnSelect", "_btn_clear_text"])
    def test_pointer_on_a_button_keeps_everything_and_refocuses(self, multi, qtbot, monkeypatch, button):
        multi._inputField.setPlaceholderText("kept")
        multi.setTitle("People")
        target = getattr(multi, button)
        pointer_over(monkeypatch, target)
        seen = []
        monkeypatch.setattr(type(multi._inputField), "setFocus", lambda self, *a: seen.append(a))
        focus_out(multi._inputField)
        assert multi._inputField.placeholderText() == "kept" and multi.title() == "People"
        qtbot.waitUntil(lambda: len(seen) == 1)

    def test_refocus_failure_prints_and_returns(self, single, monkeypatch, capsys):
        pointer_over(monkeypatch, single._btnSelect)

        def broken(*a):
            raise RuntimeError("no timer")

        monkeypatch.setattr("PySide6.QtCore.QTimer.singleShot", broken)
        single._inputField.setText("plum")
        single.focusOutEvent(QFocusEvent(QEvent.Type.FocusOut))
        assert "Error setting focus: no timer" in capsys.readouterr().out
        assert single._inputField.text() == "plum"

    def test_real_cursor_over_the_arrow_is_seen(self, single, qtbot):
        centre = single._btnSelect.mapToGlobal(single._btnSelect.rect().center())
        QCursor.setPos(centre)
        if QApplication.widgetAt(QCursor.pos()) is not single._btnSelect:
            pytest.skip("this platform does not move the cursor")
        single._inputField.setText("plum")
        focus_out(single._inputField)
        assert single._inputField.text() == "plum"


@pytest.mark.usefixtures("event_path")
class TestEventFilter:
    def test_press_outside_closes_and_inside_keeps(self, single, qtbot, qapp):
        single._show_popup()
        view = single._menu.listView
        qtbot.mousePress(view.viewport(), Qt.MouseButton.LeftButton, pos=QPoint(5, 5))
        assert single._popup.isVisible()
        qtbot.mouseClick(qapp.mainWindow, Qt.MouseButton.LeftButton, pos=QPoint(500, 500))
        assert not single._popup.isVisible()

    def test_wheel_over_input_closes(self, single):
        single._show_popup()
        wheel(single._inputField)
        assert not single._popup.isVisible()

    def test_wheel_over_the_list_keeps_it_open(self, single):
        single._show_popup()
        wheel(single._menu.listView.viewport())
        assert single._popup.isVisible()

    def test_wheel_away_closes(self, single, qapp):
        single._show_popup()
        wheel(qapp.mainWindow)
        assert not single._popup.isVisible()

    @pytest.mark.parametrize("how", ["disable", "hide"])
    def test_a_disabled_or_hidden_field_closes_it_after_any_earlier_opening(self, single, how):
        for _ in range(2):  # the second opening finds the window built and its flags kept
            single._show_popup()
            assert single._popup.isVisible()
            single._hide_popup()
        single._show_popup()
        single.setEnabled(False) if how == "disable" else single.hide()
        assert not single._popup.isVisible()

    def test_filter_never_consumes(self, single):
        single._show_popup()
        assert single.eventFilter(single._inputField, QEvent(QEvent.Type.Wheel)) is False

    def test_subclass_filter_sees_every_application_event(self, host, qtbot, qapp):
        class Watching(SelectBase):
            def eventFilter(self, obj, event):  # noqa: N802
                seen.append(event.type())
                return super().eventFilter(obj=obj, event=event)

        seen = []
        field = Watching(host, options=list(FRUITS))
        host.layout().addWidget(field)
        host.show()
        field._show_popup()
        field._hide_popup()
        seen.clear()
        qtbot.mouseMove(qapp.mainWindow, QPoint(400, 400))
        qtbot.mouseClick(qapp.mainWindow, Qt.MouseButton.LeftButton, pos=QPoint(500, 500))
        assert {QEvent.Type.MouseMove, QEvent.Type.MouseButtonPress} <= set(seen)
        field._show_popup()
        qtbot.mouseClick(qapp.mainWindow, Qt.MouseButton.LeftButton, pos=QPoint(500, 500))
        assert not field._popup.isVisible()


class TestRealUse:
    def test_single_choice_with_the_real_list(self, single, qtbot):
        got = []
        single._onChange = got.append
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        assert single._popup.isVisible()
        with qtbot.waitSignal(single.valueChanged) as blocker:
            click_row(qtbot, single._menu.listView, 1)
        assert blocker.args == ["banana"] and got == [single]
        assert single._inputField.text() == "banana" and not single._popup.isVisible()
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        assert single._menu.listView.is_selected_key("banana")

    def test_press_on_input_toggles(self, single, qtbot):
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        assert not single._popup.isVisible()

    def test_arrow_button_toggles(self, single, qtbot):
        qtbot.mouseClick(single._btnSelect, Qt.MouseButton.LeftButton)
        assert single._popup.isVisible()

    def test_multiple_tags_through_real_clicks(self, multi, qtbot):
        # Presses land on the tag area that covers the input.
        qtbot.mouseClick(multi._flowWidget, Qt.MouseButton.LeftButton)
        click_row(qtbot, multi._menu.listView, 0)
        assert [t.label.text() for t in multi.tags] == ["Ann"] and not multi._popup.isVisible()
        qtbot.mouseClick(multi._flowWidget, Qt.MouseButton.LeftButton, pos=QPoint(150, 10))
        assert multi._popup.isVisible()
        click_row(qtbot, multi._menu.listView, 2)
        qtbot.mouseClick(multi._btnSelect, Qt.MouseButton.LeftButton)
        click_row(qtbot, multi._menu.listView, 0)
        assert [t.label.text() for t in multi.tags] == ["Cid"] and multi._popup.isVisible()
        assert multi._selectedKeys.value == ["Cid"] and multi.value == [PEOPLE[2]]

    def test_tag_delete_control_removes_it(self, multi, qtbot, qapp):
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        multi._selected_change({"key": "Bob", "value": PEOPLE[1]})
        multi._inputField.show()
        tag = multi.tags[0]
        qtbot.waitUntil(tag.deleteButton.isVisible)
        qtbot.mouseClick(tag.deleteButton, Qt.MouseButton.LeftButton)
        assert [t.label.text() for t in multi.tags] == ["Bob"]
        assert multi._selectedKeys.value == ["Bob"] and multi.value == [PEOPLE[1]]
        qapp.processEvents()

    def test_clear_button_click_clears(self, multi, qtbot):
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        multi._btn_clear_text.show()
        qtbot.mouseClick(multi._btn_clear_text, Qt.MouseButton.LeftButton)
        assert multi.value == [] and multi.tags == [] and not multi._btn_clear_text.isVisible()

    def test_disabled_option_cannot_be_chosen(self, make_field, qtbot):
        field = make_field(options=list(FRUITS), getOptionLabel=label, getOptionDisabled=lambda o: o == "apple")
        qtbot.mouseClick(field._inputField, Qt.MouseButton.LeftButton)
        values = []
        field.valueChanged.connect(values.append)
        click_row(qtbot, field._menu.listView, 0)
        assert "apple" not in values and field._popup.isVisible()
