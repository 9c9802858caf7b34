"""The entry box next to the select field in a form: the same label places, heights, value
and arrow places, chips, and the notch following the theme."""
from __future__ import annotations

import pytest
from PySide6.QtCore import QPoint, QRect, QSize, Qt
from PySide6.QtGui import QColor, QIcon, QImage, QPalette
from PySide6.QtWidgets import QApplication, QGridLayout, QPushButton, QWidget

from vantu.material.component import RenderContext
from vantu.material.entrybox._tags_view import Tag
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView
from vantu.material.styles import set_theme_mode, useTheme
from vantu.material.styles.palette import DARK_PALETTE, LIGHT_PALETTE
from vantu.vantu_assets import VANTU_ASSETS

FRUITS = ["Apple", "Cherry", "Grape"]
LOOKS = [(variant, size) for variant in ("outlined", "filled", "standard") for size in ("medium", "small")]


@pytest.fixture
def form(qtbot):
    """form(**kwargs) -> (window, select field, entry box) side by side, both 240 px wide."""
    windows = []

    def make(entry_extra=None, select_extra=None, **shared):
        window = QWidget()
        windows.append(window)
        qtbot.addWidget(window)
        palette = window.palette()
        palette.setColor(QPalette.ColorRole.Window, QColor(useTheme().palette["background"]["default"]))
        window.setPalette(palette)
        window.setAutoFillBackground(True)
        grid = QGridLayout(window)
        select = SelectBase(label="Fruits", options=FRUITS, **shared, **(select_extra or {}))
        entry = EntryBox(label="Fruits", select=True, options=FRUITS, getOptionLabel=str, **shared,
                         **(entry_extra or {})).renderUi(RenderContext(window), window)
        for column, widget in enumerate((select, entry)):
            widget.setFixedWidth(240)
            grid.addWidget(widget, 0, column, Qt.AlignmentFlag.AlignTop)
        with qtbot.waitExposed(window):
            window.show()
        unfocus(qtbot, entry)
        return window, select, entry

    yield make
    set_theme_mode("light")


def unfocus(qtbot, box) -> None:
    """Takes the focus the window gave its first field away, so both fields look at rest."""
    box.window().setFocus()
    qtbot.waitUntil(lambda: not box._input._focused)
    QApplication.processEvents()


def same_pixels(icon: QIcon, path: str) -> bool:
    return icon.pixmap(16, 16).toImage() == QIcon(path).pixmap(16, 16).toImage()


def crop(window: QWidget, image: QImage, widget: QWidget) -> QImage:
    at = widget.mapTo(window, QPoint(0, 0))
    return image.copy(QRect(at.x(), at.y(), widget.width(), widget.height()))


def differing(a: QImage, b: QImage) -> int:
    assert a.size() == b.size()
    return sum(a.pixel(x, y) != b.pixel(x, y) for y in range(a.height()) for x in range(a.width()))


def ink(image: QImage, rows: range, columns: range, background: QColor) -> tuple[int, int, int, int] | None:
    """Bounding box (left, top, right, bottom) of the pixels in ``rows`` x ``columns`` that are not ``background``."""
    found = [(x, y) for y in rows for x in columns if QColor(image.pixel(x, y)) != background]
    if not found:
        return None
    xs, ys = [x for x, _ in found], [y for _, y in found]
    return min(xs), min(ys), max(xs), max(ys)


class TestGeometry:
    @pytest.mark.parametrize(("variant", "size"), LOOKS)
    def test_heights_and_label_places_match_the_select_field(self, form, variant, size):
        window, select, entry = form(variant=variant, size=size, value="Grape")
        inp = entry._input
        assert inp.height() == select.height() == (64 if size == "medium" else 48)
        frame, title = inp._frame.geometry(), inp._titleLabel.geometry()
        assert frame.top() == 8 and frame.height() == (56 if size == "medium" else 40)
        assert inp._titleLabel.isVisible()
        if variant == "outlined":
            # Notched: the label straddles the frame's top border.
            assert title.top() < frame.top() < title.bottom()
        elif variant == "filled":
            assert frame.top() < title.top() and title.bottom() < inp._inputField.mapTo(inp, QPoint(0, 0)).y()
        else:
            assert title.top() == 0 and title.left() == 0

    @pytest.mark.parametrize(("variant", "size"), LOOKS)
    def test_label_value_and_arrow_draw_where_the_select_field_draws_them(self, form, variant, size):
        window, select, entry = form(variant=variant, size=size, value="Grape")
        shot = window.grab().toImage()
        left, right = crop(window, shot, select), crop(window, shot, entry._input)
        height = left.height()
        probe_row = 3 if variant != "filled" else height - 6
        for columns, rows in (
            (range(6, 60), range(0, 26 if variant == "filled" else 8)),  # label, clear of the corner
            (range(2, 80), range(26 if variant != "filled" else 30, height - 3)),  # value
        ):
            background = QColor(left.pixel(100, probe_row))
            assert ink(left, rows, columns, background) == ink(right, rows, columns, background)
        # The arrow: the entry box draws its icon at Qt's default size, so only its centre is compared.
        arrow = [ink(image, range(16, height - 3), range(170, 238), QColor(left.pixel(100, 16))) for image in (left, right)]
        centres = [((a[0] + a[2]) / 2, (a[1] + a[3]) / 2) for a in arrow]
        assert abs(centres[0][0] - centres[1][0]) <= 1 and abs(centres[0][1] - centres[1][1]) <= 1, arrow

    def test_an_empty_field_shows_its_label_inside_as_the_select_field_does(self, form, qtbot):
        window, select, entry = form()
        inp = entry._input
        shot = window.grab().toImage()
        # Left of the arrow, which the entry box draws at Qt's default icon size.
        left, right = (crop(window, shot, w).copy(0, 0, 170, w.height()) for w in (select, inp))
        assert differing(left, right) <= 2  # a corner's antialiasing
        assert inp._titleLabel.isHidden() and inp._inputField.placeholderText() == "Fruits"
        inp._inputField.setFocus()
        qtbot.waitUntil(lambda: not inp._titleLabel.isHidden())
        assert inp._inputField.placeholderText() == ""


class TestLabelStates:
    def test_text_field_label_floats_on_focus_and_stays_up_with_a_value(self, render, qtbot):
        box = render(label="Name")
        inp = box._input
        unfocus(qtbot, box)
        assert inp._titleLabel.isHidden() and inp._inputField.placeholderText() == "Name"
        inp._inputField.setFocus()
        qtbot.waitUntil(lambda: inp._focused)
        assert inp._titleLabel.isVisible() and inp._inputField.placeholderText() == ""
        qtbot.keyClicks(inp._inputField, "Lan")
        inp._inputField.clearFocus()
        qtbot.waitUntil(lambda: not inp._focused)
        assert inp._titleLabel.isVisible()
        inp.setValue("")  # emptied from outside: the label goes back inside
        assert inp._titleLabel.isHidden() and inp._inputField.placeholderText() == "Name"

    def test_a_placeholder_of_its_own_keeps_the_label_up(self, render):
        box = render(label="Email", placeholder="you@example.com")
        inp = box._input
        assert inp._titleLabel.isVisible() and inp._inputField.placeholderText() == "you@example.com"

    def test_a_required_label_inside_keeps_its_mark(self, render, qtbot):
        box = render(label="Name", required=True)
        unfocus(qtbot, box)
        assert box._input._inputField.placeholderText() == "Name *"

    def test_a_long_label_is_cut_at_the_border(self, render):
        box = render(label="A label far longer than any field could ever show " * 2, value="x")
        inp = box._input
        assert inp._titleLabel.geometry().right() < inp.width()


class TestNotchAndTheme:
    @pytest.mark.parametrize("direction", [Qt.LayoutDirection.LeftToRight, Qt.LayoutDirection.RightToLeft])
    def test_the_notch_is_a_gap_in_the_outline_on_any_background(self, render, qtbot, direction):
        box = render(label="Fruits", value="Grape")
        window = box.window()
        window.setLayoutDirection(direction)
        palette = window.palette()  # a window of its own colour
        palette.setColor(QPalette.ColorRole.Window, QColor("#2E7D32"))
        window.setPalette(palette)
        window.setAutoFillBackground(True)
        inp = box._input
        inp._inputField.setFocus()
        qtbot.waitUntil(lambda: inp._focused)
        green = QColor("#2E7D32")

        def top_edge() -> list[QColor]:
            QApplication.processEvents()
            image = window.grab().toImage()
            y = inp._frame.mapTo(window, QPoint(0, 0)).y()
            title = inp._titleLabel.geometry()
            return [QColor(image.pixel(inp.mapTo(window, QPoint(x, 0)).x(), y))
                    for x in (title.left() + 2, title.right() - 2, title.left() - 4, title.right() + 4)]

        inside_left, inside_right, before, after = top_edge()
        # Behind the label's padding the window shows; beside it, the (focused) outline.
        outline = QColor(LIGHT_PALETTE["primary"]["main"])
        assert inside_left == green and inside_right == green and before == outline and after == outline
        if direction == Qt.LayoutDirection.RightToLeft:
            assert inp._titleLabel.geometry().right() == inp.width() - 1 - 10  # mirrored place
        set_theme_mode("dark")
        try:
            inside_left, _, before, _ = top_edge()
            assert inside_left == green and before == QColor(DARK_PALETTE["primary"]["main"])
            assert DARK_PALETTE["primary"]["main"].lower() in inp._titleLabel.styleSheet().lower()
        finally:
            set_theme_mode("light")

    def test_focus_turns_the_label_primary_and_error_turns_it_red(self, render, qtbot):
        box = render(label="Fruits", value="Grape")
        inp = box._input
        inp._inputField.setFocus()
        qtbot.waitUntil(lambda: inp._focused)
        inp._titleLabel.ensurePolished()
        assert inp._titleLabel.palette().color(QPalette.ColorRole.WindowText) == QColor(LIGHT_PALETTE["primary"]["main"])
        wrong = render(label="Fruits", value="Grape", error=True)._input
        wrong._titleLabel.ensurePolished()
        assert wrong._titleLabel.palette().color(QPalette.ColorRole.WindowText) == QColor(LIGHT_PALETTE["error"]["main"])

    def test_button_icons_come_from_the_select_mode_alone(self, render, qtbot):
        box = render(label="Fruits", select=True, options=FRUITS, getOptionLabel=str, show=False)
        inp = box._input
        assert inp._btnSelect.icon().isNull() and inp._btn_clear_text.icon().isNull()  # none set before the timer
        qtbot.waitUntil(lambda: not inp._btnSelect.icon().isNull())
        assert same_pixels(inp._btnSelect.icon(), VANTU_ASSETS.ICONS.ARROW_DOWN)
        assert same_pixels(inp._btn_clear_text.icon(), VANTU_ASSETS.ICONS.CLOSE)
        keys = inp._btnSelect.icon().cacheKey(), inp._btn_clear_text.icon().cacheKey()
        set_theme_mode("dark")  # the icon source follows the theme; the input sets nothing
        try:
            assert (inp._btnSelect.icon().cacheKey(), inp._btn_clear_text.icon().cacheKey()) == keys
        finally:
            set_theme_mode("light")


class TestChips:
    @pytest.mark.parametrize("mode", ["light", "dark"])
    def test_chips_are_material_input_chips(self, render, mode):
        set_theme_mode(mode)
        try:
            self.check_chips(render)
        finally:
            set_theme_mode("light")

    def check_chips(self, render):
        p = useTheme().palette
        entry = render(label="Fruits", select=True, multiple=True, renderTags=True, options=["Fig", "Kiwi"],
                       getOptionLabel=str, value=["Fig", "Kiwi"])
        first, second = sorted(entry._input._flowWidget.findChildren(Tag), key=lambda tag: tag.x())
        assert first.height() == 32 and first.deleteButton.size() == first.deleteButton.iconSize() == QSize(18, 18)
        assert first.label.x() == 12 and first.deleteButton.geometry().right() == first.width() - 1 - 8
        assert second.x() - first.geometry().right() - 1 == 8  # the gap between chips
        image = first.grab().toImage()
        middle = image.width() // 2
        # Outlined in the outline-variant colour, with corners rounded off, the label in
        # on-surface-variant.
        assert QColor(image.pixel(middle, 0)) == QColor(p["divider"])
        assert QColor(image.pixel(0, 0)) != QColor(p["divider"]) and QColor(image.pixel(0, 16)) == QColor(p["divider"])
        first.label.ensurePolished()
        assert first.label.palette().color(QPalette.ColorRole.WindowText) == QColor(p["text"]["secondary"])
        assert first.label.font().pixelSize() == 14
        # A row of chips sits mid-box, as the select field's value does.
        top = first.mapTo(entry._input._frame, QPoint(0, 0)).y()
        assert abs(top + 16 - entry._input._frame.height() // 2) <= 1


class TestClicks:
    @pytest.mark.parametrize("variant", ["outlined", "filled"])
    def test_a_click_on_the_box_around_the_value_focuses_the_field(self, render, qtbot, variant):
        box = render(label="Name", variant=variant, value="Lan")
        inp = box._input
        unfocus(qtbot, box)
        # The box's padding, left of the value (and above it when filled): not the line edit.
        spot = QPoint(6, 8)
        assert inp._frame.childAt(spot) is None
        qtbot.mouseClick(inp._frame, Qt.MouseButton.LeftButton, pos=spot)
        qtbot.waitUntil(lambda: inp._focused)
        assert inp._titleLabel.isVisible()

    def test_a_click_on_a_select_boxs_padding_opens_the_popup(self, render, qtbot):
        box = render(label="Fruits", variant="filled", select=True, options=FRUITS, getOptionLabel=str)
        inp = box._input
        qtbot.mouseClick(inp._frame, Qt.MouseButton.LeftButton, pos=QPoint(6, 8))
        qtbot.waitUntil(lambda: inp._popupShowing)
        assert same_pixels(inp._btnSelect.icon(), VANTU_ASSETS.ICONS.ARROW_UP)
        inp.select_hide_popup()
        assert same_pixels(inp._btnSelect.icon(), VANTU_ASSETS.ICONS.ARROW_DOWN)
