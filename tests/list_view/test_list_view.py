"""ListView: rows, marks, disabled rows, clicks and height, driven with real clicks."""
import gc
import weakref

import pytest
from PySide6.QtCore import QEvent, QObject, Qt
from PySide6.QtGui import QColor, QCursor
from PySide6.QtWidgets import QLabel, QWidget
from shiboken6 import isValid

from vantu.hooks import State, useState
from vantu.material.list_view import ListView
from vantu.material.list_view.list_view import MAX_VISIBLE_HEIGHT, KeyRole


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


class TestHeight:
    def test_height_fits_few_rows(self, qtbot):
        small = render(qtbot, model=["a"])
        bigger = render(qtbot, model=["a", "b", "c"])
        assert small.height() < bigger.height() < MAX_VISIBLE_HEIGHT

    def test_many_rows_scroll_at_the_maximum(self, qtbot):
        view = render(qtbot, model=[f"option {i}" for i in range(10_000)])
        assert view.height() == MAX_VISIBLE_HEIGHT
        assert view.verticalScrollBar().maximum() > 0

    def test_empty_list_renders(self, qtbot):
        view = render(qtbot, model=[], selected=None)
        assert view.model().rowCount() == 0


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
