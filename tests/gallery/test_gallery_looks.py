"""What a user sees in the gallery: switches in the state in force, rounded buttons, aligned
columns, one name per swatch, icons of one size."""
import pytest
from PySide6.QtCore import QPoint
from PySide6.QtGui import QImage
from PySide6.QtWidgets import QLabel, QPushButton

from vantu.gallery.pages.foundations import Glyph, Swatch, _ink_rect
from vantu.gallery.window import GalleryWindow, set_direction
from vantu.i18n.use_translation import set_language
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.select.pickcore import SelectBase
from vantu.material.styles import set_theme_mode


@pytest.fixture
def window(qtbot):
    window = GalleryWindow()
    qtbot.addWidget(window)
    with qtbot.waitExposed(window):
        window.show()
    yield window
    set_theme_mode("light")
    set_language("en")
    set_direction("ltr")


def test_switches_show_the_theme_language_and_direction_however_they_changed(window):
    checked = lambda: {key for key, button in window._switches.items() if button.isChecked()}  # noqa: E731
    assert checked() == {"light", "en", "ltr"}
    set_theme_mode("dark")
    set_language("vi")
    set_direction("rtl")
    assert checked() == {"dark", "vi", "rtl"}
    set_theme_mode("light")
    assert checked() == {"light", "vi", "rtl"}


def test_buttons_are_rounded_columns_line_up_and_foundations_show_once(window, qtbot):
    for key, _title, page in window.pages:
        window.show_page(key)
        qtbot.waitUntil(page.isVisible)
        qtbot.wait(20)
        for button in page.findChildren(QPushButton) + list(window._switches.values()):
            if not button.isVisible() or button.width() < 40:  # not a chip's delete control
                continue
            image = button.grab().toImage()
            # A rounded outline leaves the very corner to what lies behind; a square one draws it.
            assert image.pixel(0, 0) != image.pixel(0, button.height() // 2), button.text()
        fields = [f for f in page.findChildren(SelectBase) + page.findChildren(EntryBox) if f.isVisible()]
        if fields:
            lefts = {f.mapTo(page, QPoint(0, 0)).x() for f in fields}
            assert len(lefts) == 3, (key, sorted(lefts))  # three columns, each at one place
    window.show_page("foundations")
    for swatch in window.findChildren(Swatch):
        name = swatch._label.text()
        assert [label for label in window.findChildren(QLabel) if label.isVisible() and label.text() == name] == [swatch._label]
    sizes = set()
    for glyph in window.findChildren(Glyph):
        pixmap = glyph.pixmap()
        ink = _ink_rect(pixmap.toImage().convertToFormat(QImage.Format.Format_ARGB32))
        sizes.add(round(max(ink.width(), ink.height()) / pixmap.devicePixelRatio()))
    assert len(window.findChildren(Glyph)) == 4 and sizes <= {19, 20, 21}, sizes  # logical pixels
