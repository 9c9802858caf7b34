"""The select mixin's set-up on a host input, in each branch, and its module body."""
from __future__ import annotations

import pytest
from PySide6.QtCore import QSize, Qt
from PySide6.QtWidgets import QPushButton, QWidget

from vantu.hooks import State
from vantu.material.entrybox import _select
from vantu.material.entrybox._flow_widget import FlowWidget
from vantu.material.entrybox._select import EntryBoxSelectMixin, MenuView
from vantu.material.entrybox.eb_line_edit_multiple import EBLineEditMultiple

from .conftest import Host


def states(host) -> list[State]:
    return host.findChildren(State)


class TestModule:
    def test_module_body_names(self):
        for name in ("asyncio", "uuid", "Callable", "TYPE_CHECKING", "Optional", "QTimer", "QPoint", "QSize", "Qt",
                     "QPushButton", "QApplication", "QWidget", "QSizePolicy", "QHBoxLayout", "QSpinBox",
                     "QDoubleSpinBox", "QFrame", "QVBoxLayout", "QIcon", "State", "useState", "VANTU_ASSETS",
                     "ListView", "Component", "RenderContext", "EBLineEditMultiple", "FlowWidget", "TagsView"):
            assert hasattr(_select, name), name
        assert not hasattr(_select, "InputBase")
        assert EntryBoxSelectMixin.__bases__ == (object,)
        assert MenuView.__module__ == "vantu.material.entrybox._select"

    def test_methods_are_python_functions(self):
        for name in ("select_setup_select_mode", "_setIcons", "select_show_popup", "select_hide_popup",
                     "select_toggle_popup", "_btn_select_toggle_popup", "select_update_popup_position",
                     "select_create_menu", "select_about_to_hide", "select_selected_change"):
            fn = EntryBoxSelectMixin.__dict__[name]
            assert fn.__qualname__ == f"EntryBoxSelectMixin.{name}"


class TestNotSelect:
    def test_nothing_is_created(self, host):
        h = host(_select=False)
        assert h._popupShowing is False
        assert h._btnSelect is None and h._btn_clear_text is None and h.action_frame is None
        assert states(h) == [] and h.findChildren(QPushButton) == []
        assert h.calls == []

    def test_running_twice_builds_once(self, host):
        h = host()
        frame = h.action_frame
        EntryBoxSelectMixin.__init__(h)
        assert h.action_frame is frame and len(h.findChildren(QPushButton)) == 2


class TestSelectedKeys:
    def test_single_text_options_start_with_the_first_text(self, host):
        calls = []
        h = host(_getOptionLabel=lambda o: calls.append(o) or o)
        assert h._selectedKeys.value == "a" and calls == []
        h._setSelectedKeys("b")
        assert h._selectedKeys.value == "b"

    def test_single_dict_options_start_with_the_first_label(self, host):
        h = host(_options=[{"value": "x"}], _getOptionLabel=lambda o: "X")
        assert h._selectedKeys.value == "X"

    def test_multiple_with_a_default_starts_with_the_default_labels(self, host):
        options = [{"label": "A", "value": "a"}, {"label": "B", "value": "b"}, "c"]
        h = host(_options=options, _multiple=True, _defaultValue=[options[1], "c"])
        assert h._selectedKeys.value == ["B", "c"]

    def test_multiple_without_a_default_starts_empty(self, host):
        h = host(_multiple=True)
        assert h._selectedKeys.value == []

    def test_multiple_default_given_as_a_state(self, host):
        h = host(_multiple=True, _defaultValue=State(["b"]))
        assert h._selectedKeys.value == ["b"]

    @pytest.mark.parametrize("member", ["_renderOption", "_selectOptions"])
    def test_without_options_the_state_starts_with_the_value(self, host, member):
        h = host(_options=None, value="now", **{member: lambda o: o})
        assert h._selectedKeys.value == "now"

    def test_without_options_or_sources_no_state(self, host):
        h = host(_options=[])
        assert not hasattr(h, "_selectedKeys") and states(h) == []
        assert h.action_frame is not None


class TestLabelGetterRequired:
    @pytest.mark.parametrize("options", [["a"], [{"label": "L"}]])
    def test_options_without_label_getter_raise_and_leave_nothing(self, host, options):
        with pytest.raises(AttributeError) as info:
            host(_options=options, _getOptionLabel=None)
        assert str(info.value) == "Opp!! 'getOptionLabel' is required attribute!"

    def test_nothing_built_stays_behind(self, qtbot):
        h = Host.__new__(Host)
        with pytest.raises(AttributeError):
            Host.__init__(h, _getOptionLabel=None)
        qtbot.addWidget(h)
        assert h.action_frame is None and h._btnSelect is None
        assert states(h) == [] and h.findChildren(QWidget, options=Qt.FindChildOption.FindDirectChildrenOnly) == [h._inputField]


class TestActionFrame:
    def test_frame_and_buttons(self, host):
        h = host()
        frame = h.action_frame
        assert frame.parent() is h and frame.width() == 54 and frame.minimumWidth() == frame.maximumWidth() == 54
        layout = frame.layout()
        assert layout.contentsMargins().left() == layout.contentsMargins().right() == 0
        assert layout.alignment() == Qt.AlignmentFlag.AlignRight | Qt.AlignmentFlag.AlignVCenter
        assert [layout.itemAt(i).widget() for i in range(layout.count())] == [h._btn_clear_text, h._btnSelect]
        for button in (h._btn_clear_text, h._btnSelect):
            assert button.size() == QSize(24, 24) and button.cursor().shape() == Qt.CursorShape.PointingHandCursor
        assert h._btn_clear_text.isHidden() and not h._btnSelect.isHidden()
        assert h._btn_clear_text.focusPolicy() == Qt.FocusPolicy.NoFocus
        assert h._btn_clear_text.testAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating)
        assert h.calls[-1] == ("setup_action_frame_and_adornment",)

    def test_clear_button_calls_the_host(self, host, qtbot):
        h = host()
        h._btn_clear_text.show()
        qtbot.mouseClick(h._btn_clear_text, Qt.MouseButton.LeftButton)
        assert ("clear",) in h.calls

    def test_icons_arrive_one_event_loop_turn_later(self, host, qtbot):
        h = host(show=False)
        assert h._btnSelect.icon().isNull() and h._btn_clear_text.icon().isNull()
        qtbot.waitUntil(lambda: not h._btnSelect.icon().isNull())
        assert not h._btn_clear_text.icon().isNull()

    def test_date_time_mode_hides_the_arrow(self, host):
        h = host(_isDateTimeType=True)
        assert h._btnSelect.isHidden() and h._btnSelect.iconSize() == QSize(24, 24)
        assert h.action_frame.width() == 54

    def test_flow_layout_view_presses_go_to_the_host(self, host, qtbot):
        view = QWidget()
        qtbot.addWidget(view)
        h = host(_flow_layout_view=view)
        view.show()
        qtbot.mouseClick(view, Qt.MouseButton.LeftButton)
        assert ("onMultipleInputFieldClicked",) in h.calls


class TestMultipleMode:
    def test_tags_mode_builds_the_typing_field_inside_the_input(self, host, qtbot):
        h = host(_multiple=True, _renderTags=True)
        line = h._inputFieldMultiple
        assert isinstance(line, EBLineEditMultiple) and line._selectedKeys is h._selectedKeys
        assert h._inputField.isReadOnly() and h._inputField.placeholderText() == ""
        layout = h._inputField.layout()
        assert layout.contentsMargins().right() == 54 and layout.itemAt(0).widget() is h._flowWidget
        assert h._flowWidget.isAncestorOf(line)
        qtbot.keyClicks(line, "ab")
        assert [c for c in h.calls if c[0] == "autocomplete"] == [("autocomplete", "a"), ("autocomplete", "ab")]
        assert ("onInputChange", "ab") in h.calls

    def test_typing_field_reports_pointer_and_focus_to_the_host(self, host, qtbot):
        h = host(_multiple=True, _renderTags=True)
        line = h._inputFieldMultiple
        qtbot.mouseClick(line, Qt.MouseButton.LeftButton)
        assert ("onMouseRelease",) in h.calls

    def test_without_tags_the_value_renderer_shows_the_value(self, host):
        h = host(_multiple=True, value=["a", "b"], _renderValue=lambda v: "+".join(v))
        assert h._inputField.text() == "a+b"
        assert not hasattr(h, "_inputFieldMultiple")

    def test_state_renderer_rebuilds_the_menu(self, host):
        renderer = State(lambda o: o)
        h = host(_multiple=True, _renderOption=renderer)
        h.select_create_menu()
        first = h._menu
        renderer.setValue(lambda o: o.upper())
        assert h._menu is not first


class TestFlowWidget:
    def test_lays_out_the_hosts_tags_then_the_children(self, qtbot):
        class Tags:
            def __init__(self):
                self.tags = [QPushButton("t1"), QPushButton("t2")]

            def tags_render_tags(self):
                return self.tags

        owner, child = Tags(), QPushButton("edit")
        widget = FlowWidget(owner, [child]).renderUi(ctx=None)
        qtbot.addWidget(widget)
        widget.resize(100, 200)
        widget.show()
        layout = widget.layout()
        assert [layout.itemAt(i).widget() for i in range(layout.count())] == [*owner.tags, child]
        assert layout.heightForWidth(40) > layout.heightForWidth(1000)
