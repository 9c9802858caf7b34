"""ListView: rows, marks, disabled rows, clicks and height, driven with real clicks."""
import gc
import weakref

import pytest
from PySide6.QtCore import QEvent, QObject, QRectF, Qt
from PySide6.QtGui import QColor, QCursor
from PySide6.QtWidgets import QLabel, QWidget
from shiboken6 import isValid

from vantu.hooks import State, useState
from vantu.material.list_view import ListView
from vantu.i18n.use_translation import set_language
from vantu.material.list_view.list_view import MAX_VISIBLE_HEIGHT, ROW_HEIGHT, KeyRole
from vantu.material.styles import useTheme


def render(qtbot, **kwargs):
    view = ListView(**kwargs).renderUi(ctx=None)
    qtbot.addWidget(view)
    view.resize(240, view.height())
    with qtbot.waitExposed(view):
        view.show()
    return view


def click_row(qtbot, view, row):
    rect = view.visualRect(view.model().index(row, 0))
    qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=rect.center())


class Owner(QObject):
    """Stands in for a field: a label getter and a choice handler."""

    def __init__(self):
        super().__init__()
        self.choices = []

    def _getOptionLabel(self, option):
        return option["label"] if isinstance(option, dict) else option

    def _selected_change(self, data):
        self.choices.append(data)


class TestRowsAndKeys:
    def test_text_options_report_the_text_as_key_and_value(self, qtbot):
        got = []
        view = render(qtbot, model=["apple", "pear"], onChange=got.append)
        click_row(qtbot, view, 1)
        assert got == [{"key": "pear", "value": "pear"}]

    def test_key_is_the_owners_label_for_mapping_options(self, qtbot):
        owner = Owner()
        options = [{"label": "Apple", "value": 1}, {"label": "Pear", "value": 2}]
        view = render(qtbot, model=options, onChange=owner._selected_change)
        assert view.model().index(0, 0).data() == "Apple"
        click_row(qtbot, view, 0)
        assert owner.choices == [{"key": "Apple", "value": options[0]}]

    def test_mapping_without_label_getter_is_keyed_by_its_value(self, qtbot):
        got = []
        view = render(qtbot, model=[{"value": "v1"}, {"label": "x"}], onChange=got.append)
        assert view.model().index(0, 0).data(KeyRole) == "v1"
        assert view.model().index(1, 0).data(KeyRole) == ""
        assert view.model().index(1, 0).data() == "x"

    def test_render_option_text_replaces_the_label(self, qtbot):
        view = render(qtbot, model=["a"], renderOption=lambda o: o.upper())
        assert view.model().index(0, 0).data() == "A"

    def test_render_option_widget_rows_still_report_clicks(self, qtbot):
        got = []
        view = render(qtbot, model=["a", "b"], renderOption=lambda o: QLabel("row " + o), onChange=got.append)
        assert isinstance(view.indexWidget(view.model().index(1, 0)), QLabel)
        click_row(qtbot, view, 1)
        assert got == [{"key": "b", "value": "b"}]


class TestSelectedAndDisabled:
    def test_marks_follow_the_selected_state(self, qtbot):
        holder = QWidget()
        qtbot.addWidget(holder)
        keys, set_keys = useState(initial=["a"], component=holder)
        view = render(qtbot, model=["a", "b"], selected=keys)
        font = Qt.ItemDataRole.FontRole
        assert view.model().index(0, 0).data(font).bold()
        assert view.model().index(1, 0).data(font) is None
        set_keys(["b"])
        assert view.model().index(0, 0).data(font) is None
        assert view.model().index(1, 0).data(font).bold()

    def test_single_key_state_marks_one_row(self, qtbot):
        view = render(qtbot, model=["a", "b"], selected=State("b"))
        assert view.selectedKeys() == "b"
        assert view.is_selected_key("b") and not view.is_selected_key("a")

    def test_disabled_option_is_greyed_and_refuses_clicks(self, qtbot):
        got = []
        view = render(qtbot, model=["a", "b"], getOptionDisabled=lambda o: o == "b", onChange=got.append)
        assert not (view.model().flags(view.model().index(1, 0)) & Qt.ItemFlag.ItemIsEnabled)
        click_row(qtbot, view, 1)
        click_row(qtbot, view, 0)
        assert got == [{"key": "a", "value": "a"}]


class TestPaintedStates:
    """Rows as a person sees them: hover, selected and disabled rows each look different."""

    @staticmethod
    def row_colour(view, row, x=4):
        image = view.viewport().grab().toImage()
        rect = view.visualRect(view.model().index(row, 0))
        return image.pixelColor(x, rect.center().y())

    @pytest.mark.parametrize("mode", ["light", "dark"])
    def test_hover_and_selected_rows_are_tinted(self, qtbot, qapp, mode):
        from PySide6.QtTest import QTest

        from vantu.material.styles import set_theme_mode, useTheme

        set_theme_mode(mode)
        QCursor.setPos(799, 799)  # away from the list until the test moves it in
        qapp.mainWindow.hide()  # it lies over the list's window and would take the pointer
        try:
            view = render(qtbot, model=["a", "b", "c", "d"], selected="b")
            plain = self.row_colour(view, 2)
            assert plain.name() == QColor(useTheme().palette["background"]["paper"]).name()
            assert self.row_colour(view, 1).name() != plain.name()
            target = view.visualRect(view.model().index(3, 0)).center()
            QCursor.setPos(view.viewport().mapToGlobal(target))
            QTest.mouseMove(view.viewport(), target)
            qtbot.waitUntil(lambda: self.row_colour(view, 3).name() != plain.name())
            assert self.row_colour(view, 2).name() == plain.name()
        finally:
            set_theme_mode("light")
            qapp.mainWindow.show()

    def test_disabled_row_text_is_fainter(self, qtbot):
        view = render(qtbot, model=["Enabled", "Disabled"], getOptionDisabled=lambda o: o == "Disabled")

        def darkest(row):
            image = view.viewport().grab().toImage()
            rect = view.visualRect(view.model().index(row, 0))
            return min(image.pixelColor(x, y).lightness() for x in range(rect.left(), rect.left() + 60)
                       for y in range(rect.top(), rect.bottom()))

        assert darkest(0) + 40 < darkest(1)


def vertical_padding(view):
    margins = view.contentsMargins()
    return margins.top() + margins.bottom()


class TestHeight:
    @pytest.mark.parametrize("count", [1, 7])
    def test_short_list_is_exactly_its_rows(self, qtbot, count):
        view = render(qtbot, model=[f"option {i}" for i in range(count)])
        assert view.height() == count * ROW_HEIGHT + vertical_padding(view)
        last = view.visualRect(view.model().index(count - 1, 0))
        assert last.bottom() + 1 == view.viewport().height()  # no blank band under the last row
        assert view.verticalScrollBar().maximum() == 0

    def test_many_rows_scroll_at_the_maximum(self, qtbot):
        view = render(qtbot, model=[f"option {i}" for i in range(10_000)])
        assert view.height() == MAX_VISIBLE_HEIGHT
        assert view.verticalScrollBar().maximum() > 0

    def test_empty_list_shows_one_no_options_row(self, qtbot):
        view = render(qtbot, model=[], selected=None)
        assert view.model().rowCount() == 0
        assert view.height() == ROW_HEIGHT + vertical_padding(view)
        row = view.findChild(QLabel, "ListViewEmptyRow")
        assert row.isVisible() and row.text() == "No options"
        assert row.width() == view.viewport().width() and row.height() == ROW_HEIGHT
        image = view.viewport().grab().toImage()
        paper = QColor(useTheme().palette["background"]["paper"]).lightness()
        assert min(image.pixelColor(x, y).lightness() for x in range(16, 60) for y in range(8, 28)) < paper - 60

    def test_empty_row_follows_the_language_and_the_options(self, qtbot):
        view = render(qtbot, model=[])
        row = view.findChild(QLabel, "ListViewEmptyRow")
        try:
            set_language("vi")
            assert row.text() == "Không có lựa chọn"
        finally:
            set_language("en")
        view.setOptions(["a", "b"])
        assert not row.isVisible() and view.height() == 2 * ROW_HEIGHT + vertical_padding(view)
        view.setOptions([])
        assert row.isVisible() and row.text() == "No options"


class TestCurrentRow:
    """The keyboard's row: moved by steps past disabled rows, chosen like a click."""

    def test_moves_skip_disabled_rows_and_stop_at_the_ends(self, qtbot):
        view = render(qtbot, model=["a", "b", "c", "d"], getOptionDisabled=lambda o: o == "b")
        assert view.currentRow() == -1
        assert view.moveCurrentRow(1) == 0
        assert view.moveCurrentRow(1) == 2
        assert view.moveCurrentRow(5) == 3
        assert view.moveCurrentRow(1) == 3
        assert view.moveCurrentRow(-1) == 2
        assert view.moveCurrentRow(-1) == 0
        assert view.moveCurrentRow(-1) == 0
        assert (view.firstEnabledRow(), view.firstEnabledRow(fromEnd=True)) == (0, 3)

    def test_up_from_no_row_starts_at_the_end_and_moves_start_from_the_selected_row(self, qtbot):
        assert render(qtbot, model=["a", "b", "c"]).moveCurrentRow(-1) == 2
        view = render(qtbot, model=["a", "b", "c"], selected="b")
        assert view.moveCurrentRow(1) == 2
        view.setCurrentRow(-1)
        assert view.moveCurrentRow(-1) == 0
        last = render(qtbot, model=["a", "b"], selected="b")
        assert last.moveCurrentRow(1) == 1  # nowhere further: stays on the chosen row

    def test_choosing_reports_like_a_click_and_refuses_disabled_rows(self, qtbot):
        got = []
        view = render(qtbot, model=["a", "b"], getOptionDisabled=lambda o: o == "b", onChange=got.append)
        assert view.chooseCurrentRow() is False
        view.moveCurrentRow(1)
        assert view.chooseCurrentRow() is True
        view.setCurrentRow(1)
        assert view.chooseCurrentRow() is False
        assert got == [{"key": "a", "value": "a"}]

    def test_far_row_scrolls_into_view_and_new_options_forget_it(self, qtbot):
        view = render(qtbot, model=[f"option {i}" for i in range(10_000)])
        view.setCurrentRow(9_000)
        rect = view.visualRect(view.model().index(9_000, 0))
        assert view.viewport().rect().contains(rect)
        view.setOptions(["x"])
        assert view.currentRow() == -1
        view.setCurrentRow(5)  # out of range: no row
        assert view.currentRow() == -1

    def test_current_row_is_tinted_and_differs_on_the_selected_row(self, qtbot):
        QCursor.setPos(799, 799)  # no row under the pointer: only the keyboard tints
        view = render(qtbot, model=["a", "b", "c"], selected="b")
        colour = TestPaintedStates.row_colour
        plain, selected = colour(view, 0).name(), colour(view, 1).name()
        view.setCurrentRow(0)
        qtbot.waitUntil(lambda: colour(view, 0).name() != plain)
        view.setCurrentRow(1)
        qtbot.waitUntil(lambda: colour(view, 1).name() not in (plain, selected))
        assert colour(view, 0).name() == plain

    @pytest.mark.parametrize("call, arg", [("setCurrentRow", "1"), ("moveCurrentRow", 1.0), ("moveCurrentRow", True)])
    def test_rows_and_steps_must_be_ints(self, qtbot, call, arg):
        view = render(qtbot, model=["a"])
        with pytest.raises(TypeError, match="row" if call == "setCurrentRow" else "step"):
            getattr(view, call)(arg)


class TestBadInput:
    @pytest.mark.parametrize(
        "kwargs, name",
        [
            ({"model": "abc"}, "model"),
            ({"model": [], "onChange": 3}, "onChange"),
            ({"model": [], "getOptionDisabled": "x"}, "getOptionDisabled"),
            ({"model": [], "renderOption": 1}, "renderOption"),
        ],
    )
    def test_wrong_arguments_name_the_argument(self, kwargs, name):
        with pytest.raises(TypeError, match=name):
            ListView(**kwargs)


def test_a_deleted_list_is_collected_and_hears_no_more_state(qtbot, qapp):
    holder = QWidget()
    qtbot.addWidget(holder)
    keys, set_keys = useState(initial=[], component=holder)
    owner = Owner()
    view = ListView(model=["a"], selected=keys, onChange=owner._selected_change).renderUi()
    ref = weakref.ref(view)
    view.deleteLater()
    del view
    qapp.processEvents()
    qapp.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    gc.collect()
    assert ref() is None
    set_keys(["a"])  # nothing left to notify; must not raise


def test_a_deleted_empty_list_is_collected_and_hears_no_more_languages(qtbot, qapp):
    view = ListView(model=[]).renderUi()
    ref = weakref.ref(view)
    view.deleteLater()
    del view
    qapp.processEvents()
    qapp.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    gc.collect()
    assert ref() is None
    try:
        set_language("vi")  # nothing left to retranslate; must not raise
    finally:
        set_language("en")


def test_a_theme_switch_restyles_every_live_list(qtbot, qapp):
    from vantu.material.styles import set_theme_mode

    first, second = render(qtbot, model=["a"]), render(qtbot, model=["b"])
    gone = ListView(model=["c"]).renderUi()
    gone.deleteLater()
    del gone
    qapp.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    light = first.styleSheet()
    try:
        set_theme_mode("dark")  # the deleted list is passed over
        assert first.styleSheet() == second.styleSheet() != light
        paper = QColor(useTheme().palette["background"]["paper"])
        assert TestPaintedStates.row_colour(second, 0).name() == paper.name()
    finally:
        set_theme_mode("light")
    assert first.styleSheet() == second.styleSheet() == light


class TestMenuSurface:
    def test_the_list_makes_the_container_it_fills_a_rounded_shadowed_surface(self, qtbot):
        from PySide6.QtWidgets import QFrame, QVBoxLayout

        from vantu.material.list_view.list_view import SHADOW_MARGIN, MenuSurfaceEffect

        window = QWidget()
        qtbot.addWidget(window)
        outer = QVBoxLayout(window)
        outer.setContentsMargins(0, 0, SHADOW_MARGIN, SHADOW_MARGIN)
        container = QFrame()
        container.setObjectName("box")
        container.setStyleSheet("#box {background: white;}")
        QVBoxLayout(container).setContentsMargins(0, 0, 0, 0)
        view = ListView(model=["a", "b"]).renderUi(ctx=None)
        container.layout().addWidget(view)
        outer.addWidget(container)
        effect = container.graphicsEffect()
        assert isinstance(effect, MenuSurfaceEffect)
        # Bounded by the room the window keeps for it; set once.
        room = QRectF(container.rect()).adjusted(0, 0, SHADOW_MARGIN, SHADOW_MARGIN)
        assert room.contains(effect.boundingRectFor(QRectF(container.rect())))
        container.layout().removeWidget(view)
        container.layout().addWidget(view)
        assert container.graphicsEffect() is effect
        window.setAttribute(Qt.WidgetAttribute.WA_TranslucentBackground)
        with qtbot.waitExposed(window):
            window.show()
        image = window.grab().toImage()
        w, h = container.width(), container.height()
        paper = QColor(useTheme().palette["background"]["paper"])
        assert image.pixelColor(w // 2, h // 2) == paper
        assert image.pixelColor(0, 0).alpha() == 0  # the white container's corner is cut
        assert image.pixelColor(w + 3, h // 2).alpha() > 0 and image.pixelColor(w // 2, h + 3).alpha() > 0
        assert image.pixelColor(w + SHADOW_MARGIN - 1, 2).alpha() == 0


def test_row_interfaces_follow_the_options_and_die_with_the_list(qtbot, qapp):
    from PySide6.QtGui import QAccessible

    options = State(["apple", "banana", "cherry"])
    view = render(qtbot, model=options, renderOption=lambda o: o.upper())
    info = QAccessible.queryAccessibleInterface(view)
    old = info.child(2)
    assert (info.childCount(), old.text(QAccessible.Text.Name)) == (3, "CHERRY")
    options.value = ["pear"]  # rows that are gone are unregistered, and Qt deletes them
    assert not isValid(old) and info.childCount() == 1
    row = info.child(0)
    assert row.text(QAccessible.Text.Name) == "PEAR" and view.findRow("P") == 0 and view.findRow("x") == -1
    ref = weakref.ref(view)
    view.deleteLater()
    del view
    qapp.sendPostedEvents(None, QEvent.Type.DeferredDelete)
    gc.collect()
    assert ref() is None and not isValid(row)
