"""The popup: build on first use, reuse, placement under and above, toggling, screen bounds."""
import uuid

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st
from PySide6.QtCore import QPoint, QRect, QSize, Qt
from PySide6.QtGui import QIcon

from vantu.hooks import State
from vantu.material.select.pickcore import MenuView, place_popup
from vantu.vantu_assets import VANTU_ASSETS

from .conftest import FRUITS, label


def same_icon(button, path):
    return button.icon().pixmap(16).toImage() == QIcon(path).pixmap(16).toImage()


@pytest.fixture
def low_host(host):
    """The host window in the middle of the 800 x 800 offscreen screen: room above and below."""
    host.move(100, 400)
    return host


def field_bottom_left(field):
    return field.mapToGlobal(QPoint(0, field.height()))


class TestBuildAndReuse:
    def test_first_opening_builds_and_second_reuses(self, single, qapp):
        assert single._menu is None and single._popup is None
        single._show_popup()
        menu, popup = single._menu, single._popup
        assert popup.isVisible() and single._popupShowed is True
        assert menu.objectName().startswith("MenuView-")
        uuid.UUID(popup.objectName())
        assert popup.styleSheet() == "#" + popup.objectName() + " {background: transparent;border: none;}"
        flags = popup.windowFlags()
        assert flags & Qt.WindowType.FramelessWindowHint and flags & Qt.WindowType.NoDropShadowWindowHint
        assert popup.focusPolicy() == Qt.FocusPolicy.NoFocus
        assert popup.testAttribute(Qt.WidgetAttribute.WA_TranslucentBackground)
        m = popup.layout().contentsMargins()
        assert (m.left(), m.top(), m.right(), m.bottom()) == (0, 0, 9, 9)
        assert same_icon(single._btnSelect, VANTU_ASSETS.ICONS.ARROW_UP)
        single._hide_popup()
        assert same_icon(single._btnSelect, VANTU_ASSETS.ICONS.ARROW_DOWN) and single._popupShowed is False
        single._show_popup()
        assert single._menu is menu and single._popup is popup and popup.isVisible()

    def test_menu_view_names_are_distinct(self, qtbot):
        a = MenuView(model=["x"]).renderUi()
        b = MenuView(model=["y"]).renderUi()
        qtbot.addWidget(a)
        qtbot.addWidget(b)
        assert a.objectName() != b.objectName()
        assert a.styleSheet() == "#" + a.objectName() + " {background: white;}"

    def test_read_only_never_opens(self, make_field):
        field = make_field(options=list(FRUITS), readOnly=True)
        field._show_popup()
        field._toggle_popup()
        assert field._menu is None and field._popup is None
        assert same_icon(field._btnSelect, VANTU_ASSETS.ICONS.ARROW_DOWN)

    def test_hide_before_any_opening(self, single):
        single._hide_popup()
        assert single._popupShowed is False

    def test_toggle_twice(self, single):
        single._toggle_popup()
        assert single._popup.isVisible()
        single._toggle_popup(True)
        assert not single._popup.isVisible()

    def test_open_flag_trusted_after_hiding_by_other_means(self, single):
        single._show_popup()
        single._popup.hide()
        single._show_popup()
        assert not single._popup.isVisible()
        single._hide_popup()
        single._show_popup()
        assert single._popup.isVisible()

    def test_no_options_opens_an_empty_popup(self, make_field):
        field = make_field(options=[])
        field._show_popup()
        assert field._popup.isVisible() and field._menu.listView.model().rowCount() == 0

    def test_update_popup_position(self, single):
        single._update_popup_position()
        assert single._popup is None
        single._show_popup()
        single._update_popup_position()
        corner = field_bottom_left(single)
        # The window asks for 50 px; its layout's minimum (the list's own height) may win.
        assert single._popup.pos() == corner
        assert single._popup.height() == max(50, single._popup.minimumSizeHint().height())

    def test_container_width_follows_the_field(self, single, host):
        single._show_popup()
        assert single._menu.width() == single.width()
        single._hide_popup()
        host.resize(260, 60)
        single.resize(260, 56)
        single._show_popup()
        assert single._menu.width() == 260

    def test_rebuilt_container_replaces_the_old_inside_the_window(self, make_field, qapp):
        render = State(None)
        field = make_field(options=list(FRUITS), multiple=True, renderOption=render)
        field._show_popup()
        old = field._menu
        render.setValue(lambda o: o.upper())
        layout = field._popup.layout()
        assert layout.count() == 1 and layout.itemAt(0).widget() is field._menu
        assert field._menu.parent() is field._popup
        from .conftest import flush_deletes
        from shiboken6 import isValid

        flush_deletes(qapp)
        assert not isValid(old)


class TestPlacement:
    def test_under_when_the_main_window_leaves_room(self, make_field, low_host, qapp):
        field = make_field(options=list(FRUITS), getOptionLabel=label)
        field._show_popup()
        menu_h = field._menu.height()
        corner = field_bottom_left(field)
        field._hide_popup()
        qapp.mainWindow.resize(qapp.mainWindow.width(), corner.y() + menu_h)
        try:
            field._show_popup()
            assert field._popup.pos() == corner
            field._hide_popup()
            qapp.mainWindow.resize(qapp.mainWindow.width(), corner.y() + menu_h - 1)
            field._show_popup()
            assert field._popup.pos() == QPoint(corner.x(), corner.y() - field.height() - menu_h)
        finally:
            qapp.mainWindow.resize(1024, 768)

    def test_without_main_window_the_screen_bottom_decides(self, make_field, low_host, qapp, monkeypatch):
        monkeypatch.setattr(qapp, "mainWindow", None)
        field = make_field(options=list(FRUITS), getOptionLabel=label)
        field._show_popup()
        assert field._popup.isVisible()
        assert field._popup.pos() == field_bottom_left(field)

    def test_without_main_window_a_field_near_the_screen_bottom_opens_above(self, make_field, host, qapp, monkeypatch):
        monkeypatch.delattr(qapp, "mainWindow")
        host.move(100, 700)
        field = make_field(options=list(FRUITS), getOptionLabel=label)
        field._show_popup()
        top = field.mapToGlobal(QPoint(0, 0))
        assert field._popup.pos() == QPoint(top.x(), top.y() - field._menu.height())

    def test_flipped_above_near_the_top_opens_under_instead(self, make_field, host, qapp):
        # A short main window says "above", but above the field there is no screen left.
        host.move(100, 20)
        field = make_field(options=list(FRUITS), getOptionLabel=label)
        qapp.mainWindow.resize(qapp.mainWindow.width(), 100)
        try:
            field._show_popup()
            assert field._popup.pos() == field_bottom_left(field)
            screen = field.screen().availableGeometry()
            assert screen.contains(QRect(field._popup.pos(), field._menu.size()))
        finally:
            qapp.mainWindow.resize(1024, 768)


class TestPlacePopup:
    anchor = QRect(100, 300, 200, 50)  # bottom edge at y = 350

    def test_main_window_rule_without_bounds(self):
        assert place_popup(self.anchor, QSize(200, 100), 450, None) == QPoint(100, 350)
        assert place_popup(self.anchor, QSize(200, 100), 449, None) == QPoint(100, 200)

    def test_flip_to_the_side_that_fits(self):
        screen = QRect(0, 0, 800, 420)
        # The rule says under (tall window), but the screen ends at 420: above fits.
        assert place_popup(self.anchor, QSize(200, 100), 2000, screen) == QPoint(100, 200)
        top = QRect(100, 20, 200, 50)
        assert place_popup(top, QSize(200, 100), 0, QRect(0, 0, 800, 800)) == QPoint(100, 70)

    def test_clamped_when_neither_side_fits(self):
        screen = QRect(0, 0, 800, 400)
        assert place_popup(self.anchor, QSize(200, 380), 2000, screen) == QPoint(100, 20)
        assert place_popup(self.anchor, QSize(200, 900), 2000, screen) == QPoint(100, 0)

    def test_kept_inside_horizontally(self):
        assert place_popup(QRect(700, 100, 200, 50), QSize(200, 50), 2000, QRect(0, 0, 800, 800)).x() == 600
        assert place_popup(QRect(-50, 100, 200, 50), QSize(200, 50), 2000, QRect(0, 0, 800, 800)).x() == 0

    MAX, MIN = 2**31 - 1, -(2**31)

    @pytest.mark.parametrize(("anchor", "popup", "limit", "bounds", "corner"), [
        # Sums past the int range are made wide: the rules still hold at the ends of the range.
        ((MAX - 300, MAX - 200, 200, 50), (400, 300), MIN, None, (MAX - 300, MAX - 500)),
        ((MAX - 300, MAX - 200, 200, 50), (400, 100), MAX, None, (MAX - 300, MAX - 150)),
        ((MAX - 300, MAX - 200, 200, 50), (400, 300), MAX, (MAX - 1000, MAX - 1000, 1000, 1000), (MAX - 400, MAX - 500)),
        ((MIN + 10, MIN + 10, 200, 50), (200, 300), MAX, None, (MIN + 10, MIN + 60)),
        # A corner past the range is held at its end.
        ((MIN + 10, MIN + 10, 200, 50), (200, 300), MIN, None, (MIN + 10, MIN)),
    ])
    def test_ends_of_the_coordinate_range(self, anchor, popup, limit, bounds, corner):
        bounds = QRect(*bounds) if bounds else None
        assert place_popup(QRect(*anchor), QSize(*popup), limit, bounds) == QPoint(*corner)

    @settings(max_examples=200, deadline=None)
    @given(
        x=st.integers(-200, 1000), y=st.integers(-200, 1000), w=st.integers(1, 400), h=st.integers(1, 80),
        pw=st.integers(1, 400), ph=st.integers(1, 600), limit=st.integers(0, 2000),
    )
    def test_inside_the_bounds_whenever_it_fits(self, x, y, w, h, pw, ph, limit):
        bounds = QRect(0, 0, 800, 700)
        p = place_popup(QRect(x, y, w, h), QSize(pw, ph), limit, bounds)
        assert bounds.contains(QRect(p, QSize(pw, ph)))
