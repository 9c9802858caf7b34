"""Opening, placing, closing and toggling the option popup of the select mixin."""
from __future__ import annotations

import uuid
from types import SimpleNamespace

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st
from PySide6.QtCore import QPoint, Qt
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import QApplication

from vantu.material.entrybox._select import MenuView, _place_popup
from vantu.vantu_assets import VANTU_ASSETS



def same_icon(button, path: str) -> bool:
    a = button.icon().pixmap(16, 16).toImage()
    b = QIcon(path).pixmap(16, 16).toImage()
    return a == b


def anchor(h) -> QPoint:
    return h.mapToGlobal(QPoint(0, h.height()))


@pytest.fixture
def main_height(qapp, monkeypatch):
    """main_height(n): the application's main window reports height n."""

    def set_height(n):
        monkeypatch.setattr(qapp, "mainWindow", SimpleNamespace(height=lambda: n))

    return set_height


class TestOpening:
    def test_first_opening_builds_container_and_window_once(self, host):
        h = host()
        h.select_show_popup()
        menu, popup = h._menu, h._popup
        assert isinstance(menu, MenuView) and menu.objectName().startswith("MenuView-")
        assert str(uuid.UUID(popup.objectName())) == popup.objectName()
        assert popup.isVisible() and h._popupShowing is True
        assert popup.parent() is h and popup.layout().itemAt(0).widget() is menu
        flags = popup.windowFlags()
        for flag in (Qt.WindowType.Window, Qt.WindowType.FramelessWindowHint, Qt.WindowType.NoDropShadowWindowHint):
            assert flags & flag
        assert popup.focusPolicy() == Qt.FocusPolicy.NoFocus
        assert popup.testAttribute(Qt.WidgetAttribute.WA_TranslucentBackground)
        assert popup.testAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating)
        margins = popup.layout().contentsMargins()
        assert (margins.left(), margins.top(), margins.right(), margins.bottom()) == (0, 0, 9, 9)
        h.select_hide_popup()
        h.select_show_popup()
        assert h._menu is menu and h._popup is popup and popup.objectName() == popup.objectName()

    def test_list_gets_the_hosts_options_keys_and_handler(self, host):
        h = host(_options=["a", "b", "c"])
        h.select_show_popup()
        view = h._menu.listView
        assert view.model().rowCount() == 3
        assert view._selected is h._selectedKeys

    def test_opening_while_open_does_nothing(self, host):
        opened = []
        h = host(_onOpen=lambda: opened.append(1))
        h.select_show_popup()
        h._popup.move(5, 5)
        h.select_show_popup()
        assert opened == [1] and h._popup.pos() == QPoint(5, 5)

    def test_container_is_as_wide_as_the_input_at_every_opening(self, host):
        h = host()
        h.select_show_popup()
        assert h._menu.width() == h.width()
        h.select_hide_popup()
        h.resize(300, 30)
        h.select_show_popup()
        assert h._menu.width() == 300

    def test_loading_rows_only_for_an_empty_option_list(self, host):
        h = host()
        h.options_now = []
        h.select_show_popup()
        assert h.calls.count(("loading",)) == 1
        h.select_hide_popup()
        h.options_now = ["a"]
        h.select_show_popup()
        assert h.calls.count(("loading",)) == 1

    def test_icons_follow_the_popup(self, host, qtbot):
        h = host()
        qtbot.waitUntil(lambda: not h._btnSelect.icon().isNull())
        h.select_show_popup()
        assert same_icon(h._btnSelect, VANTU_ASSETS.ICONS.ARROW_UP)
        h.select_hide_popup()
        assert same_icon(h._btnSelect, VANTU_ASSETS.ICONS.ARROW_DOWN)

    def test_date_time_icons(self, host):
        h = host(_isDateTimeType=True)
        h.select_show_popup()
        assert same_icon(h._btnSelect, VANTU_ASSETS.ICONS.CLOSE)
        h.select_hide_popup()
        assert same_icon(h._btnSelect, VANTU_ASSETS.ICONS.CALENDAR)

    def test_application_filter_is_installed_with_the_window(self, host, qtbot):
        seen = []
        h = host()
        h.eventFilter = lambda watched, event: seen.append(event.type()) or False
        h.select_show_popup()
        other = QApplication.instance().mainWindow
        qtbot.mouseClick(other, Qt.MouseButton.LeftButton)
        assert seen

    def test_open_and_close_callbacks(self, host):
        seen = []
        h = host(_onOpen=lambda: seen.append("open"), _onClose=lambda: seen.append("close"))
        h.select_show_popup()
        h.select_hide_popup()
        h._onOpen, h._onClose = "x", None  # not callable: skipped
        h.select_show_popup()
        h.select_hide_popup()
        assert seen == ["open", "close"]


class TestClosingAndToggling:
    def test_hide_outside_select_mode_leaves_window_and_icon(self, host):
        closed = []
        h = host()
        h.select_show_popup()
        icon = h._btnSelect.icon().cacheKey()
        h._select = False
        h._onClose = lambda: closed.append(1)
        h.select_hide_popup()
        assert h._popup.isVisible() and h._btnSelect.icon().cacheKey() == icon
        assert h._popupShowing is False and closed == [1]

    def test_hide_before_any_opening(self, host):
        h = host()
        h.select_hide_popup()
        assert h._popupShowing is False and h._popup is None

    def test_toggle_opens_a_closed_popup_whatever_the_focus_and_value(self, host):
        h = host(value="x")
        h._inputField.setFocus()
        h.select_toggle_popup()
        assert h._popupShowing

    @pytest.mark.parametrize("value", ["", "x", ["a"]])
    def test_toggle_keeps_an_open_popup_while_the_field_has_focus(self, host, qtbot, value):
        h = host(value=value)
        h.activateWindow()
        h._inputField.setFocus()
        qtbot.waitUntil(h._inputField.hasFocus)
        h.select_show_popup()
        h.select_toggle_popup()
        assert h._popupShowing and h._popup.isVisible()

    def test_toggle_closes_when_focus_is_elsewhere_or_value_is_none(self, host, qtbot):
        h = host(value="x")
        h._inputField.clearFocus()
        qtbot.waitUntil(lambda: not h._inputField.hasFocus())
        h.select_show_popup()
        h.select_toggle_popup()
        assert not h._popupShowing
        h.activateWindow()
        h._inputField.setFocus()
        qtbot.waitUntil(h._inputField.hasFocus)
        h.value = None
        h.select_show_popup()
        h.select_toggle_popup()
        assert not h._popupShowing

    def test_toggle_outside_select_mode_opens_and_closes(self, host):
        h = host()
        h._select = False
        h.select_toggle_popup()
        assert h._popupShowing
        h._popupShowing = True
        h.select_toggle_popup()
        assert not h._popupShowing

    def test_arrow_button_toggles(self, host, qtbot):
        h = host()
        qtbot.mouseClick(h._btnSelect, Qt.MouseButton.LeftButton)
        assert h._popupShowing and h._popup.isVisible()
        qtbot.mouseClick(h._btnSelect, Qt.MouseButton.LeftButton)
        assert not h._popupShowing and not h._popup.isVisible()

    def test_about_to_hide_only_clears_the_flag(self, host):
        h = host()
        h.select_show_popup()
        h.select_about_to_hide()
        assert h._popup.isVisible() and h._popupShowing is False
        h._popup.move(3, 3)
        h.select_show_popup()
        assert h._popup.pos() == anchor(h)


class TestPlacement:
    def test_under_the_input_when_the_main_window_leaves_room(self, host, main_height):
        h = host()
        h.select_show_popup()
        menu_h = h._menu.height()
        h.select_hide_popup()
        main_height(anchor(h).y() + menu_h)
        h.select_show_popup()
        assert h._popup.pos() == anchor(h)

    def test_above_the_input_with_one_pixel_less(self, host, main_height):
        h = host()
        h.move(100, 400)
        h.select_show_popup()
        menu_h = h._menu.height()
        h.select_hide_popup()
        main_height(anchor(h).y() + menu_h - 1)
        h.select_show_popup()
        top = h.mapToGlobal(QPoint(0, 0)).y()
        assert h._popup.pos() == QPoint(anchor(h).x(), top - menu_h)

    def test_without_a_main_window_the_screen_bottom_decides(self, host, qapp, monkeypatch):
        monkeypatch.delattr(qapp, "mainWindow")
        h = host()
        h.move(100, 790 - 30 - 20)
        h.select_show_popup()
        top = h.mapToGlobal(QPoint(0, 0)).y()
        assert h._popup.pos().y() == top - h._menu.height()

    def test_a_popup_that_would_leave_the_screen_opens_on_the_other_side(self, host, main_height):
        main_height(100000)  # the main window rule alone would say "under"
        h = host()
        h.move(100, 700)
        h.select_show_popup()
        top = h.mapToGlobal(QPoint(0, 0)).y()
        assert h._popup.pos().y() == top - h._menu.height()
        screen = h.screen().availableGeometry()
        assert screen.contains(h._popup.frameGeometry())

    def test_a_popup_that_fits_nowhere_is_moved_inside_the_screen(self, host, main_height):
        main_height(100000)
        h = host(_options=[str(i) for i in range(40)])
        h.resize(240, 380)
        h.move(500, 210)
        h.select_show_popup()
        screen = h.screen().availableGeometry()
        geometry = h._popup.frameGeometry()
        assert screen.contains(geometry.topLeft()) and geometry.bottom() <= screen.bottom()
        assert geometry.right() <= screen.right()

    def test_update_position_moves_a_visible_popup_and_widens_it(self, host, main_height):
        h = host()
        h.select_show_popup()
        h.move(150, 150)
        h.resize(260, 30)
        h._popup.move(0, 0)
        h.select_update_popup_position()
        assert h._popup.pos() == anchor(h) and h._popup.minimumWidth() == 260

    def test_update_position_on_a_hidden_or_missing_popup_does_nothing(self, host):
        h = host()
        h.select_update_popup_position()  # never opened
        h.select_show_popup()
        h.select_hide_popup()
        h._popup.move(7, 7)
        h.select_update_popup_position()
        assert h._popup.pos() == QPoint(7, 7)


class TestRebuiltContainer:
    def test_new_container_replaces_the_old_one_inside_the_window(self, host, qapp):
        h = host()
        h.select_show_popup()
        old = h._menu
        h.select_hide_popup()
        h.select_create_menu()
        new = h._menu
        assert new is not old
        layout = h._popup.layout()
        assert layout.count() == 1 and layout.itemAt(0).widget() is new
        assert old.parent() is None
        h.select_show_popup()
        assert new.isVisible() and new.window() is h._popup
        from .conftest import flush_deletes
        import shiboken6

        flush_deletes(qapp)
        assert not shiboken6.isValid(old)


class TestPlacePopup:
    BOUNDS = (0, 0, 800, 800)

    def test_rules(self):
        # under: room below by the main window and on the screen
        assert _place_popup((10, 100, 200, 30), 80, (209, 89), 768, self.BOUNDS) == (10, 130)
        # main window too short: above
        assert _place_popup((10, 300, 200, 30), 80, (209, 89), 409, self.BOUNDS) == (10, 220)
        # screen too short below: above even though the main window says under
        assert _place_popup((10, 750, 200, 30), 80, (209, 89), 5000, self.BOUNDS) == (10, 670)
        # above would leave the screen: under
        assert _place_popup((10, 20, 200, 30), 80, (209, 89), 0, self.BOUNDS) == (10, 50)
        # right edge: pulled left
        assert _place_popup((700, 100, 200, 30), 80, (209, 89), 768, self.BOUNDS) == (591, 130)

    @settings(max_examples=300, deadline=None)
    @given(
        x=st.integers(-100, 900), y=st.integers(0, 780), w=st.integers(10, 400), h=st.integers(10, 60),
        menu=st.integers(10, 700), limit=st.integers(0, 2000),
    )
    def test_a_popup_that_fits_the_screen_stays_on_it(self, x, y, w, h, menu, limit):
        popup = (w + 9, menu + 9)
        px, py = _place_popup((x, y, w, h), menu, popup, limit, self.BOUNDS)
        if popup[1] <= 800 and popup[0] <= 800:
            assert 0 <= py and py + popup[1] <= 800
            assert 0 <= px and px + popup[0] <= 800
        # when the main window rule's side fits on the screen it is kept
        under = limit - (y + h) >= menu
        side = (y + h) if under else (y - menu)
        if 0 <= side and side + popup[1] <= 800:
            assert py == side
