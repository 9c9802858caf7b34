"""How the select field looks, read from its pixels: Material 3 measures at scale 1 and 2, the
label's notch on any background, the error colours, right-to-left mirroring and elided long text.

Run as a script, the file prints the measures as JSON (the scale-2 test runs it that way)."""
from __future__ import annotations

import json
import os
import subprocess
import sys

import pytest
from PySide6.QtCore import QEvent, QPoint, QRect, Qt
from PySide6.QtGui import QColor, QCursor, QFontInfo, QHelpEvent, QIcon, QImage
from PySide6.QtWidgets import QApplication, QToolTip, QVBoxLayout, QWidget

from vantu.hooks import State
from vantu.material.select._decor import title_rect
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView
from vantu.material.styles import useTheme
from vantu.vantu_assets import VANTU_ASSETS

FRUITS = ["Apple", "Banana", "Cherry", "HHHH"]
LONG = "Pomegranate from the orchard on the southern hill"
PAGE = "#FFFFFF"


def render_tags(selected, getTagProps):
    return [TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
            for key, option in selected.items()]


def host_with(*fields: SelectBase, background: str = PAGE, rtl: bool = False) -> QWidget:
    window = QWidget()
    window.setObjectName("looksHost")
    window.setStyleSheet(f"QWidget#looksHost {{background: {background};}}")
    if rtl:
        window.setLayoutDirection(Qt.LayoutDirection.RightToLeft)
    layout = QVBoxLayout(window)
    for field in fields:
        field.setFixedWidth(300)
        layout.addWidget(field)
    layout.addStretch()
    window.resize(340, 120 * len(fields) + 60)
    window.show()
    QApplication.processEvents()
    return window


def grab(widget: QWidget, rect: QRect | None = None) -> QImage:
    """``widget`` (or ``rect`` of it) as its window paints it, in device pixels."""
    window = widget.window()
    rect = rect if rect is not None else widget.rect()
    QApplication.processEvents()
    return window.grab(QRect(widget.mapTo(window, rect.topLeft()), rect.size())).toImage()


def inked(image: QImage, background: QColor, tolerance: int = 40):
    """(x, y) of the pixels that differ from ``background``, in device pixels."""
    b = background.getRgb()
    return [(x, y) for y in range(image.height()) for x in range(image.width())
            if max(abs(c - d) for c, d in zip(image.pixelColor(x, y).getRgb()[:3], b[:3])) > tolerance]


def extent(points, axis: int) -> int:
    values = [p[axis] for p in points]
    return max(values) - min(values) + 1 if values else 0


def measures() -> dict:
    """The Material measures of the select field, in logical pixels, read from what is painted."""
    page = QColor(PAGE)
    medium = SelectBase(label="Fruits", options=FRUITS)
    small = SelectBase(label="Fruits", options=FRUITS, size="small")
    titled = SelectBase(label="HHHH", options=FRUITS, value="HHHH")
    tags = SelectBase(label="Fruits", options=FRUITS, multiple=True, renderTags=render_tags, getOptionLabel=str,
                      defaultValue=["Apple"])
    window = host_with(medium, small, titled, tags)
    ratio = window.devicePixelRatioF()
    out: dict = {"ratio": ratio}
    # The box: the outline's rows in a column clear of text and buttons.
    for name, field in (("medium", medium), ("small", small)):
        column = grab(field, QRect(field.width() - 40, 0, 1, field.height()))
        out[f"box_{name}"] = extent(inked(column, page), 1) / ratio
    # The label (title) and the value, as text sizes and as the height of their capitals.
    title = grab(titled, title_rect(titled))
    edit = titled._inputField
    value = grab(edit, QRect(0, 0, edit.fontMetrics().horizontalAdvance("HHHH") + 8, edit.height()))
    out["title_px"] = QFontInfo(titled.font()).pixelSize()
    out["value_px"] = QFontInfo(edit.font()).pixelSize()
    out["cap_ratio"] = extent(inked(title, page, 100), 1) / extent(inked(value, page, 100), 1)
    # The arrow glyph, with the frame painted with and without it.
    frame, arrow = medium.action_frame, medium._btnSelect
    with_icon = grab(frame)
    icon = arrow.icon()
    arrow.setIcon(QIcon())
    without = grab(frame)
    arrow.setIcon(icon)
    glyph = [(x, y) for y in range(with_icon.height()) for x in range(with_icon.width())
             if with_icon.pixel(x, y) != without.pixel(x, y)]
    out["arrow"] = (extent(glyph, 0) / ratio, extent(glyph, 1) / ratio)
    # A chip: its outline's rows in its middle column, where its straight top edge starts, its icon.
    chip = tags.tags[0]
    image = grab(chip)
    middle = [(x, y) for x, y in inked(image, page, 8) if x == image.width() // 2]
    out["chip_height"] = extent(middle, 1) / ratio
    top = min(y for _, y in middle)
    edge = QColor(useTheme().palette["divider"])
    straight = [x for x in range(image.width() // 2)
                if abs(image.pixelColor(x, top).lightness() - edge.lightness()) < 6]
    out["chip_corner"] = min(straight) / ratio
    out["chip_icon"] = [chip.deleteButton.width(), chip.deleteButton.iconSize().width()]
    # A menu row: the chosen row's band in the open list.
    titled._show_popup()
    QApplication.processEvents()
    view = titled._menu.listView.viewport()
    band = view.grab(QRect(view.width() - 20, 0, 1, view.height())).toImage()
    paper = QColor(useTheme().palette["background"]["paper"])
    out["row"] = extent(inked(band, paper, 3), 1) / ratio
    titled._hide_popup()
    window.close()
    window.deleteLater()
    return out


def check(m: dict) -> None:
    assert m["box_medium"] == 56 and m["box_small"] == 40
    assert m["title_px"] == 12 and m["value_px"] == 16
    assert 0.65 <= m["cap_ratio"] <= 0.85  # 12 against 16
    assert 9 <= m["arrow"][0] <= 11 and 4.5 <= m["arrow"][1] <= 6
    assert m["chip_height"] == 32 and 6 <= m["chip_corner"] <= 9 and m["chip_icon"] == [18, 18]
    assert m["row"] == 48


class TestMeasures:
    def test_material_measures_at_scale_1(self, qapp):
        m = measures()
        assert m["ratio"] == 1
        check(m)

    def test_material_measures_at_scale_2(self):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QT_SCALE_FACTOR="2", VANTU_DIAGNOSTICS="0")
        result = subprocess.run([sys.executable, __file__], capture_output=True, text=True, env=env, timeout=120)
        assert result.returncode == 0, result.stderr
        m = json.loads(result.stdout.strip().splitlines()[-1])
        assert m["ratio"] == 2
        check(m)


@pytest.mark.parametrize(("name", "size", "width", "height"), [
    ("ARROW_DOWN", 16, 10, 5), ("ARROW_DOWN", 20, 10, 5), ("ARROW_UP", 16, 10, 5), ("CLOSE", 16, 10, 10),
    ("CLOSE", 18, 10, 10),
])
def test_glyphs_keep_their_size_in_small_boxes(name, size, width, height):
    image = getattr(VANTU_ASSETS.ICONS, name).pixmap(size).toImage()
    ink = [(x, y) for y in range(image.height()) for x in range(image.width()) if image.pixelColor(x, y).alpha() > 96]
    assert abs(extent(ink, 0) - width) <= 1 and abs(extent(ink, 1) - height) <= 1


def strip_matches(image: QImage, background: QImage, rect: QRect, ratio: float) -> bool:
    """Every device pixel of ``rect`` (logical) is the background's own, give or take a glyph's
    antialiased edge."""
    area = QRect(round(rect.x() * ratio), round(rect.y() * ratio), round(rect.width() * ratio),
                 round(rect.height() * ratio))
    return all(max(abs(a - b) for a, b in zip(image.pixelColor(x, y).getRgb()[:3],
                                               background.pixelColor(x, y).getRgb()[:3])) <= 24
               for x in range(area.left(), area.right() + 1) for y in range(area.top(), area.bottom() + 1))


class TestNotch:
    @pytest.mark.parametrize("background", [
        "#0B6E4F",
        "qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #FFE0B2, stop:0.5 #3949AB, stop:1 #80CBC4)",
    ])
    @pytest.mark.parametrize("rtl", [False, True])
    def test_the_window_shows_through_the_gap_behind_the_label(self, qtbot, background, rtl):
        field = SelectBase(label="Fruits", options=FRUITS, value="Apple")
        window = host_with(field, background=background, rtl=rtl)
        qtbot.addWidget(window)
        shown = grab(window)
        field.hide()
        behind = grab(window)
        field.show()
        text = title_rect(field)
        gap = text.adjusted(-4, 0, 4, 0).translated(field.pos())
        # Either side of the text, the full height of the label: no patch of another colour.
        ratio = window.devicePixelRatioF()
        for side in (QRect(gap.left(), gap.top(), 3, gap.height()), QRect(gap.right() - 2, gap.top(), 3, gap.height())):
            assert strip_matches(shown, behind, side, ratio)
        # The outline runs on past the gap, and the label sits at the reading start.
        line = QPoint(field.x() + (30 if rtl else field.width() - 30), field.y() + 8)
        assert shown.pixel(line) != behind.pixel(line)
        assert (text.left() > field.width() // 2) == rtl


ERROR = useTheme().palette["error"]["main"]


def saturated(image: QImage) -> QColor:
    return max((image.pixelColor(x, y) for x in range(image.width()) for y in range(image.height())),
               key=lambda c: c.hsvSaturation() * (255 - c.lightness()))


def near(colour: QColor, name: str, tolerance: int = 40) -> bool:
    return all(abs(a - b) <= tolerance for a, b in zip(colour.getRgb()[:3], QColor(name).getRgb()[:3]))


class TestErrorState:
    def test_label_outline_and_resting_label_take_the_error_colour(self, qtbot):
        error = State(False)
        floated = SelectBase(label="Fruits", options=FRUITS, value="Apple", error=True)
        resting = SelectBase(label="Fruits", options=FRUITS, error=error)
        window = host_with(floated, resting)
        qtbot.addWidget(window)
        assert near(saturated(grab(floated, title_rect(floated))), ERROR)
        assert near(grab(floated, QRect(0, 30, 2, 1)).pixelColor(0, 0), ERROR)

        def placeholder():
            edit = resting._inputField
            return grab(edit, QRect(0, 0, edit.fontMetrics().horizontalAdvance("Fruits"), edit.height()))

        assert not near(saturated(placeholder()), ERROR)
        error.setValue(True)
        assert near(saturated(placeholder()), ERROR) and near(grab(resting, QRect(0, 30, 1, 1)).pixelColor(0, 0), ERROR)
        error.setValue(False)
        assert not near(saturated(placeholder()), ERROR)


class TestHover:
    """The outline darkens under the pointer, with no restyle of the field (the sheet's own
    hover), and for a hover the application forces with ``_set_hovered_prop``."""

    def outline(self, field):
        return grab(field, QRect(0, 30, 1, 1)).pixelColor(0, 0)

    @pytest.fixture(autouse=True)
    def pointer_back(self):
        yield
        QCursor.setPos(799, 799)  # where the other tests expect it: over none of their windows

    def test_pointer_forced_hover_and_a_property_change_in_between(self, qtbot):
        from PySide6.QtTest import QTest

        hovered = State(True)
        field = SelectBase(label="Fruits", options=FRUITS)
        forced = SelectBase(label="Fruits", options=FRUITS, hovered=hovered)
        window = host_with(field, forced)
        qtbot.addWidget(window)
        window.move(1200, 0)  # right of the main window: the pointer reaches this window
        QApplication.processEvents()
        if QApplication.focusWidget() is not None:
            QApplication.focusWidget().clearFocus()  # the focus ring would hide the hover
        away = window.mapToGlobal(QPoint(330, window.height() - 5))
        QTest.mouseMove(window, window.mapFromGlobal(away))
        rest, hover = self.outline(field), useTheme().palette["text"]["primary"]
        assert not near(rest, hover, 10)
        for _ in range(2):
            QTest.mouseMove(field, field.rect().center())
            assert field.property("hovered") is True and near(self.outline(field), hover, 10)
            QTest.mouseMove(window, window.mapFromGlobal(away))
            assert field.property("hovered") is False and self.outline(field) == rest
        # A property the sheet selects on, changed while the pointer rests on the field, shows.
        QTest.mouseMove(field, field.rect().center())
        field.setProperty("error", True)
        field.style_update()
        QTest.mouseMove(window, window.mapFromGlobal(away))
        assert near(self.outline(field), ERROR)
        # Forced: hovered away from the pointer until the pointer has come and gone.
        assert self.outline(forced) == rest
        forced._set_hovered_prop()
        assert near(self.outline(forced), hover, 10)
        QTest.mouseMove(forced, forced.rect().center())
        QTest.mouseMove(window, window.mapFromGlobal(away))
        assert forced.property("hovered") is False and self.outline(forced) == rest


class TestRightToLeft:
    def test_buttons_text_tags_and_popup_mirror_and_come_back(self, qtbot):
        single = SelectBase(label="Fruits", options=FRUITS, value="Apple")
        # A long option makes the list want more than the field's width.
        multiple = SelectBase(label="Fruits", options=[*FRUITS, LONG], multiple=True, renderTags=render_tags,
                              getOptionLabel=str, defaultValue=["Apple", "Banana"])
        window = host_with(single, multiple)
        qtbot.addWidget(window)

        def placed():
            frames = [field.action_frame.x() for field in (single, multiple)]
            edit = single._inputField
            buttons = single.action_frame.geometry()
            ink = [(x, y) for x, y in inked(grab(edit), QColor(PAGE))
                   if not buttons.left() <= x + edit.x() <= buttons.right()]
            first, second = (tag.mapTo(multiple, QPoint(0, 0)).x() for tag in multiple.tags)
            return frames, (min(x for x, _ in ink), max(x for x, _ in ink)), first < second

        ltr = placed()
        assert ltr[0] == [300 - 20, 300 - 54] and ltr[1][0] < 20 and ltr[2]
        window.setLayoutDirection(Qt.LayoutDirection.RightToLeft)
        QApplication.processEvents()
        frames, (start, end), in_order = placed()
        assert frames == [0, 0] and not in_order
        assert end > single._inputField.width() - 24 and start > 100  # the value reads from the right
        assert title_rect(single).right() > single.width() - 20
        multiple._show_popup()
        QApplication.processEvents()
        menu = multiple._menu
        assert menu.mapToGlobal(QPoint(0, 0)).x() == multiple.mapToGlobal(QPoint(0, 0)).x()
        assert menu.width() == multiple.width() and menu.x() == 9  # the shadow's margin on the left
        multiple._hide_popup()
        window.setLayoutDirection(Qt.LayoutDirection.LeftToRight)
        QApplication.processEvents()
        assert placed() == ltr
        multiple._show_popup()
        QApplication.processEvents()
        assert menu.x() == 0 and menu.mapToGlobal(QPoint(0, 0)).x() == multiple.mapToGlobal(QPoint(0, 0)).x()
        multiple._hide_popup()


class TestLongText:
    def test_a_long_value_and_label_are_drawn_elided_and_kept_whole(self, qtbot):
        field = SelectBase(label=LONG, options=[LONG, "Fig"], value=LONG)
        window = host_with(field)
        qtbot.addWidget(window)
        edit = field._inputField
        arrow = field.action_frame.geometry().left() + 5 - edit.x()  # where the glyph starts
        ink = inked(grab(edit, QRect(0, 0, arrow, edit.height())), QColor(PAGE))
        assert arrow - 24 < max(x for x, _ in ink) < arrow - 3
        assert edit.text() == LONG and edit.toolTip() == LONG
        assert field.title() == LONG and field.toolTip() == LONG
        label = inked(grab(field, QRect(0, 0, field.width(), 7)), QColor(PAGE), 100)
        assert max(x for x, _ in label) < field.width() - 10
        # Leaving the field reads the whole text back: the value stays.
        edit.setFocus()
        qtbot.waitUntil(edit.hasFocus)
        edit.clearFocus()
        QApplication.processEvents()
        assert field.value == LONG
        # Short texts are drawn as they are, with no tooltip.
        field.setControlledState("Fig")
        field.setTitle("Fruits")
        grab(field)
        assert edit.toolTip() == "" and field.toolTip() == ""

    def test_elided_title_tooltip_shows_and_input_alone_follows_its_direction(self, qtbot):
        field = SelectBase(label=LONG, options=[LONG], value=LONG)
        window = host_with(field)
        qtbot.addWidget(window)
        grab(field)
        QApplication.sendEvent(field, QHelpEvent(QEvent.Type.ToolTip, QPoint(2, 2), field.mapToGlobal(QPoint(2, 2))))
        qtbot.waitUntil(QToolTip.isVisible)
        assert QToolTip.text() == LONG
        QToolTip.hideText()
        edit = field._inputField
        edit.setLayoutDirection(Qt.LayoutDirection.RightToLeft)
        grab(edit)
        assert edit.alignment() & Qt.AlignmentFlag.AlignRight
        edit.setLayoutDirection(Qt.LayoutDirection.LeftToRight)
        grab(edit)
        assert edit.alignment() & Qt.AlignmentFlag.AlignLeft


if __name__ == "__main__":
    app = QApplication(sys.argv)
    print(json.dumps(measures()))
