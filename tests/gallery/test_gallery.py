"""The gallery starts offscreen, shows every page, follows the switches and saves screenshots."""
import os

import pytest
from PySide6.QtCore import QPoint, Qt

from vantu.gallery.__main__ import DEFAULT_SHOTS, main
from vantu.gallery.window import GalleryWindow, set_direction
from vantu.i18n.use_translation import i18n, set_language
from vantu.material.styles import set_theme_mode, useTheme


def test_every_page_shows_and_switches_reach_all_pages(qtbot, capfd):
    window = GalleryWindow()
    qtbot.addWidget(window)
    with qtbot.waitExposed(window):
        window.show()
    try:
        for key, _title, page in window.pages:
            assert window.show_page(key) is page
            qtbot.waitUntil(page.isVisible)
        qtbot.mouseClick(window._switches["dark"], Qt.MouseButton.LeftButton)
        assert useTheme().mode == "dark"
        assert useTheme().palette["background"]["default"] in window.styleSheet()
        qtbot.mouseClick(window._switches["vi"], Qt.MouseButton.LeftButton)
        assert i18n.lang == "vi"
        assert window.nav.item(0).text() != "Foundations" or window._switches["vi"].text() != "Vietnamese"
    finally:
        set_theme_mode("light")
        set_language("en")
    assert capfd.readouterr().err == ""


def test_screenshot_mode_saves_every_page_and_popup_named_by_look_and_scale(tmp_path, qapp, capsys):
    main_window = qapp.mainWindow
    try:
        assert main(["--screenshot", str(tmp_path), "--look", "dark-vi-rtl"]) == 0
    finally:
        qapp.mainWindow = main_window
        set_direction("ltr")
    pngs = {p.name for p in tmp_path.glob("*.png")}
    shots = ["01-select", "01-select-popup", "01-select-popup-multiple", "01-select-popup-above", "02-entrybox",
             "02-entrybox-popup", "02-entrybox-popup-tags", "02-entrybox-date-picker", "03-deferred",
             "03-deferred-built", "04-foundations"]
    assert pngs == {f"{shot}-dark-vi-rtl@1x.png" for shot in shots}
    assert str(tmp_path) in capsys.readouterr().out
    assert useTheme().mode == "light" and i18n.lang == "en"  # the look in force before is back


@pytest.mark.parametrize("argv", [["--look", "dark-fr-rtl"], ["--scale", "0"]])
def test_screenshot_options_are_checked(argv, tmp_path, capsys):
    with pytest.raises(SystemExit):
        main(["--screenshot", str(tmp_path), *argv])
    assert "error" in capsys.readouterr().err


@pytest.mark.parametrize("platform", ["offscreen", "xcb"])
def test_without_a_display_it_saves_screenshots_and_exits_whatever_the_platform_says(
        platform, qapp, tmp_path, monkeypatch):
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        monkeypatch.delenv(name, raising=False)
    monkeypatch.setenv("QT_QPA_PLATFORM", platform)
    monkeypatch.chdir(tmp_path)
    saved_into = []
    monkeypatch.setattr(GalleryWindow, "save_screenshots", lambda self, folder: saved_into.append(folder) or [])
    monkeypatch.setattr(type(qapp), "exec", lambda *args: pytest.fail("the gallery waits for a display"))
    main_window = qapp.mainWindow
    try:
        assert main([]) == 0
    finally:
        qapp.mainWindow = main_window
    assert saved_into == [DEFAULT_SHOTS]
    assert os.environ["QT_QPA_PLATFORM"].startswith("offscreen:")



def _popups_of(page):
    from vantu.material.entrybox.entrybox import EntryBox
    from vantu.material.select.pickcore import SelectBase

    for field in page.findChildren(SelectBase):
        yield field, field._inputField, lambda f=field: bool(f._popup is not None and f._popup.isVisible())
    for box in page.findChildren(EntryBox):
        inp = box._input
        if inp._select:
            # A date input's field opens its date picker, any other its list.
            yield box, inp._inputField, lambda i=inp: any(
                getattr(i, name, None) is not None and getattr(i, name).isVisible() for name in ("_popup", "_datePopup"))


def test_every_popup_opens_and_closes_in_both_themes_and_languages(qtbot, capfd):
    window = GalleryWindow()
    qtbot.addWidget(window)
    with qtbot.waitExposed(window):
        window.show()
    opened = 0
    try:
        for switch in (None, "dark", "vi", "rtl"):
            if switch:
                qtbot.mouseClick(window._switches[switch], Qt.MouseButton.LeftButton)
            for key, _title, page in window.pages:
                window.show_page(key)
                scroll = page.parentWidget().parentWidget()
                for owner, target, is_open in _popups_of(page):
                    if not owner.isEnabled():
                        continue
                    scroll.ensureWidgetVisible(owner)
                    qtbot.waitUntil(target.isVisible)
                    # After any tags, before the buttons (mirrored right to left): where a user clicks to open.
                    end = 60 if target.isRightToLeft() else target.width() - 60
                    spot = QPoint(end, target.height() // 2)
                    receiver = target.childAt(spot) or target  # the widget a real click lands on
                    qtbot.mouseClick(receiver, Qt.MouseButton.LeftButton, pos=receiver.mapFrom(target, spot))
                    if getattr(owner, "_readOnly", False):
                        assert not is_open()
                        continue
                    qtbot.waitUntil(is_open)
                    opened += 1
                    # A press outside the field and its popup closes it.
                    qtbot.mouseClick(page, Qt.MouseButton.LeftButton, pos=QPoint(5, 5))
                    qtbot.waitUntil(lambda: not is_open())
    finally:
        set_theme_mode("light")
        set_language("en")
        set_direction("ltr")
    assert opened >= 4 * 12
    assert capfd.readouterr().err == ""

