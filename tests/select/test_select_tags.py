"""Selection modes and tags: initial selected keys, the action frame, tag rebuilds and deletion."""
import pytest
from PySide6.QtCore import QPoint, QRect, QSize
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import QApplication, QPushButton

from vantu.hooks import State
from vantu.material.select.flow_widget import FlowWidget

from .conftest import FRUITS, PEOPLE, label, render_tags


def flows(field):
    """Tag containers currently inside the input (detached ones are gone from it at once)."""
    return [w for w in field._inputField.children() if w.objectName() == "flowWidget"]


class TestSelectedKeysStart:
    # A single select names the option it shows (see test_select_keys.py); with nothing shown
    # that is None, whatever the first option is.
    def test_single_text_options_name_the_shown_option(self, make_field):
        assert make_field(options=["a", "b"])._selectedKeys.value is None
        assert make_field(options=["a", "b"], defaultValue="b")._selectedKeys.value == "b"

    def test_single_dict_options(self, make_field):
        assert make_field(options=list(PEOPLE), getOptionLabel=label)._selectedKeys.value is None
        assert make_field(options=list(PEOPLE), getOptionLabel=label, value=PEOPLE[1])._selectedKeys.value == "Bob"
        assert make_field(options=[{"value": "v"}], value={"value": "v"})._selectedKeys.value == "v"
        assert make_field(options=[{"label": "x"}])._selectedKeys.value is None

    def test_no_options_start_at_the_value(self, make_field):
        assert make_field(options=[], renderOption=lambda o: o, value="v")._selectedKeys.value == "v"
        assert make_field(options=[])._selectedKeys.value is None

    def test_multiple_starts_as_a_list_of_default_labels(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label, renderTags=render_tags,
                           defaultValue=[PEOPLE[2], PEOPLE[0]])
        assert field._selectedKeys.value == ["Cid", "Ann"]
        assert list(field._selected_options) == ["Cid", "Ann"]
        assert [t.label.text() for t in field.tags] == ["Cid", "Ann"]

    def test_multiple_without_default_starts_empty_and_first_choice_works(self, multi):
        assert multi._selectedKeys.value == []
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        assert multi._selectedKeys.value == ["Ann"]

    def test_default_popup_marks_default_options(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label, renderTags=render_tags,
                           defaultValue=[PEOPLE[1]])
        field._show_popup()
        view = field._menu.listView
        assert view.is_selected_key("Bob") and not view.is_selected_key("Ann")

    def test_two_defaults_with_one_label_keep_the_later(self, make_field):
        a, b = {"label": "Same", "value": 1}, {"label": "Same", "value": 2}
        field = make_field(options=[a, b], multiple=True, getOptionLabel=label, renderTags=render_tags, defaultValue=[a, b])
        assert field._selected_options == {"Same": b}

    def test_empty_default_keeps_the_first_container(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, renderTags=render_tags, getOptionLabel=label, defaultValue=[])
        assert field._selected_options == {} and len(flows(field)) == 1


class TestActionFrame:
    def test_single_frame_holds_only_the_arrow(self, single):
        assert single.action_frame.width() == 20
        assert not hasattr(single, "_btn_clear_text")
        assert single.action_frame.findChildren(QPushButton) == [single._btnSelect]

    def test_multiple_frame_holds_clear_then_arrow(self, multi):
        frame = multi.action_frame
        assert frame.width() == 54
        layout = frame.layout()
        assert [layout.itemAt(i).widget() for i in range(layout.count())] == [multi._btn_clear_text, multi._btnSelect]
        assert not multi._btn_clear_text.isVisible()

    # Flush with the right edge in every variant, 3 pixels below the vertical centre.
    @pytest.mark.parametrize("variant, size, frame, pos", [
        ("standard", (200, 40), (54, 24), (146, 11)), ("standard", (200, 21), (54, 30), (146, -2)),
        ("outlined", (200, 40), (54, 24), (146, 11)), ("filled", (200, 21), (54, 30), (146, -2)),
    ])
    def test_frame_placement(self, make_field, variant, size, frame, pos):
        field = make_field(options=[], show=False, variant=variant)
        field.setParent(None)
        field.setStyleSheet("")  # the theme's minimum height would override the size asked for
        field.setFixedSize(*size)
        field.action_frame.setFixedSize(*frame)
        field.setup_action_frame_and_adornment()
        assert (field.action_frame.x(), field.action_frame.y()) == pos
        field.deleteLater()

    def test_placement_before_the_frame_exists_is_harmless(self, make_field):
        field = make_field(options=[])
        del field.action_frame
        field.setup_action_frame_and_adornment()

    def test_frame_follows_resizes(self, single, qtbot):
        single.setFixedWidth(250)
        qtbot.waitUntil(lambda: single.action_frame.geometry().right() == single.width() - 1)

    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    @pytest.mark.parametrize("multiple", [False, True])
    def test_arrow_draws_whole_inside_the_frame(self, make_field, qtbot, variant, multiple):
        field = make_field(options=list(FRUITS), variant=variant, multiple=multiple)
        qtbot.waitUntil(field.action_frame.isVisible)
        frame, arrow = field.action_frame, field._btnSelect
        assert arrow.size() == QSize(24, 24) and arrow.iconSize().width() <= frame.width() == (54 if multiple else 20)
        window = field.window()

        def frame_image():
            QApplication.processEvents()
            return window.grab(QRect(frame.mapTo(window, QPoint(0, 0)), frame.size())).toImage()

        with_icon = frame_image()
        icon = arrow.icon()
        arrow.setIcon(QIcon())
        without = frame_image()
        arrow.setIcon(icon)
        drawn = [x for x in range(frame.width()) for y in range(frame.height())
                 if with_icon.pixel(x, y) != without.pixel(x, y)]
        glyph = icon.pixmap(arrow.iconSize()).toImage()
        inked = [x for x in range(glyph.width()) for y in range(glyph.height()) if glyph.pixelColor(x, y).alpha()]
        # Every column of the glyph shows, centred 10 pixels from the field's right edge.
        assert max(drawn) - min(drawn) == max(inked) - min(inked)
        centre = frame.x() + (min(drawn) + max(drawn) + 1) / 2
        assert abs(field.width() - centre - 10) <= 1


class TestTags:
    def test_setup_tags_adds_then_removes_with_one_container(self, multi):
        multi._setup_tags(key="Ann")
        assert list(multi._selected_options) == ["Ann"] and len(flows(multi)) == 1
        multi._setup_tags(key="Bob")
        assert [t.label.text() for t in multi.tags] == ["Ann", "Bob"] and len(flows(multi)) == 1
        multi._setup_tags(key="Ann")
        assert list(multi._selected_options) == ["Bob"] and len(flows(multi)) == 1
        assert multi._flowWidget.layout().count() == 1

    def test_tag_props_refuse_integers(self, multi):
        multi._selected_change({"key": "Ann", "value": PEOPLE[0]})
        for call in (lambda: multi.getTagProps(3)["onDelete"](), lambda: multi.getTagProps(3)["onDelete"](5)):
            with pytest.raises(TypeError, match="Argument 'data' has incorrect type"):
                call()
        assert multi._selectedKeys.value == ["Ann"]

    def test_tag_props_pass_the_argument_through(self, multi, monkeypatch):
        seen = []
        monkeypatch.setattr(type(multi), "_on_tag_deleted", lambda self, index: seen.append(index))
        multi.getTagProps(3)["onDelete"]()
        multi.getTagProps(3)["onDelete"](5)
        assert seen == [3, 5]

    def test_a_failing_tag_builder_prints_and_the_field_goes_on(self, make_field, capsys):
        def broken(selected, getTagProps):
            raise RuntimeError("tag builder broke")

        field = make_field(options=list(FRUITS), multiple=True, renderTags=broken)
        field._selected_change({"key": "apple", "value": "apple"})
        assert "RuntimeError: tag builder broke" in capsys.readouterr().err
        assert len(flows(field)) == 1
        field._on_clear_text()
        assert field.value == []

    def test_flow_press_toggles_the_popup(self, multi):
        multi.onFlowlayoutMousePressEvent()
        assert multi._popup.isVisible()
        multi.onFlowlayoutMousePressEvent(object())
        assert not multi._popup.isVisible()

    def test_reactive_option_renderer_rebuilds_the_menu(self, make_field):
        render = State(lambda o: o.upper())
        field = make_field(options=list(FRUITS), multiple=True, renderOption=render)
        field._show_popup()
        first = field._menu
        render.setValue(lambda o: o.title())
        assert field._menu is not first
        assert field._menu.listView.model().index(0, 0).data() == "Apple"


class TestFlowWidget:
    def test_children_flow_into_rows(self, qtbot):
        from PySide6.QtWidgets import QLabel

        owner_calls = []

        class Owner:
            def onFlowlayoutMousePressEvent(self, event):
                owner_calls.append(event)

        owner = Owner()
        labels = [QLabel("tag %d" % i) for i in range(8)]
        area = FlowWidget(owner, children=labels).renderUi(ctx=None)
        qtbot.addWidget(area)
        area.resize(120, 200)
        area.show()
        qtbot.waitUntil(lambda: labels[-1].y() > labels[0].y())
        from PySide6.QtCore import QPoint, Qt

        qtbot.mouseClick(area, Qt.MouseButton.LeftButton, pos=QPoint(119, 199))
        assert len(owner_calls) == 1
        with pytest.raises(TypeError, match="children"):
            FlowWidget(owner, children="x")
