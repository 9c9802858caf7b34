"""The gallery starts offscreen, shows every page, follows the switches and saves screenshots."""
from PySide6.QtCore import Qt

from vantu.gallery.__main__ import main
from vantu.gallery.window import GalleryWindow
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


def test_screenshot_mode_saves_a_png_per_page(tmp_path, qapp, capsys):
    main_window = qapp.mainWindow
    try:
        assert main(["--screenshot", str(tmp_path)]) == 0
    finally:
        qapp.mainWindow = main_window
    pngs = sorted(p.name for p in tmp_path.glob("*.png"))
    assert pngs and pngs[0].startswith("01-")
    assert str(tmp_path) in capsys.readouterr().out

