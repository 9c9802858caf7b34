"""What the field shows and what its popup marks stay in step: the selected key follows every way
the value changes, the label floats over a value and is the placeholder of an empty field, and the
surfaces follow the theme (outline notch, popup, chips, icons)."""
import pytest
from PySide6.QtCore import QPoint, QRect, Qt
from PySide6.QtGui import QColor, QFocusEvent
from PySide6.QtWidgets import QApplication, QVBoxLayout, QWidget

from vantu.hooks import State
from vantu.material.list_view.list_view import MenuSurfaceEffect
from vantu.material.select.pickcore import SelectBase
from vantu.material.styles import set_theme_mode, useTheme
from vantu.vantu_assets import VANTU_ASSETS

from .conftest import FRUITS, PEOPLE, label, render_tags

COUNTRIES = [{"label": "France", "value": "fr"}, {"label": "Japan", "value": "jp"}, {"label": "Peru", "value": "pe"}]


def marked_rows(field):
    """Texts of the rows the open popup marks as selected."""
    view = field._menu.listView
    model = view.model()
    # The keyboard's current row has a tint of its own (it starts on the chosen row).
    return [model.index(r, 0).data() for r in range(model.rowCount())
            if model.index(r, 0).data(Qt.ItemDataRole.BackgroundRole) not in (None, view.current_brush)]


def click_row(qtbot, field, row):
    view = field._menu.listView
    rect = view.visualRect(view.model().index(row, 0))
    qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=rect.center())


def focus_out(field):
    field.onInputFieldFocusOutEvent(QFocusEvent(QFocusEvent.Type.FocusOut, Qt.FocusReason.OtherFocusReason))


@pytest.fixture
def dark():
    set_theme_mode("dark")
    yield useTheme()
    set_theme_mode("light")


class TestSelectedKeyFollowsTheValue:
    def test_empty_field_marks_nothing(self, single):
        assert single._selectedKeys.value is None
        single._show_popup()
        assert marked_rows(single) == []

    @pytest.mark.parametrize("how", ["value", "defaultValue", "state"])
    def test_a_shown_value_is_the_marked_option(self, make_field, how):
        arg = State("banana") if how == "state" else "banana"
        field = make_field(options=list(FRUITS), label="Fruit", **{"value" if how != "defaultValue" else how: arg})
        assert field._inputField.text() == "banana" and field._selectedKeys.value == "banana"
        field._show_popup()
        assert marked_rows(field) == ["banana"]

    def test_labels_name_mapping_options(self, make_field):
        by_label = make_field(options=COUNTRIES, getOptionLabel=label, value="Japan")
        by_option = make_field(options=COUNTRIES, getOptionLabel=label, value=COUNTRIES[2])
        by_value = make_field(options=COUNTRIES, getOptionLabel=label, value="fr")
        assert by_label._selectedKeys.value == "Japan"
        assert by_option._selectedKeys.value == "Peru"
        assert by_value._selectedKeys.value == "France"

    def test_state_changes_move_the_mark_silently(self, make_field, qtbot):
        country = State("Japan")
        calls = []
        field = make_field(options=COUNTRIES, label="Country", getOptionLabel=label, value=country,
                           onChange=calls.append)
        field._show_popup()
        with qtbot.assertNotEmitted(field.valueChanged):
            country.setValue("Peru")
        assert field._inputField.text() == "Peru" and marked_rows(field) == ["Peru"]
        with qtbot.assertNotEmitted(field.valueChanged):
            country.setValue(None)
        assert calls == []
        assert field._selectedKeys.value is None and marked_rows(field) == []
        assert field._inputField.text() == ""  # nothing chosen from outside: nothing shown

    def test_outside_none_without_label_getter_shows_nothing(self, make_field, capsys):
        fruit = State("apple")
        field = make_field(options=list(FRUITS), value=fruit)
        fruit.setValue(None)
        assert "_update_input_text+++++++++++++++ None" in capsys.readouterr().out
        assert field._inputField.text() == "" and field._selectedKeys.value is None

    def test_clicking_a_row_then_clearing(self, single, qtbot):
        single._show_popup()
        click_row(qtbot, single, 2)
        assert single.value == "cherry" and single._selectedKeys.value == "cherry"
        single._show_popup()
        assert marked_rows(single) == ["cherry"]
        single._on_clear_text()
        assert single.value == "" and single._selectedKeys.value is None
        single._show_popup()
        assert marked_rows(single) == []

    def test_focus_out_reconciliation_moves_the_mark(self, single):
        single._inputField.setText("BANANA")
        focus_out(single)
        assert single._inputField.text() == "banana" and single._selectedKeys.value == "banana"
        single._inputField.setText("plum")
        focus_out(single)
        assert single.value is None and single._selectedKeys.value is None

    def test_multiple_keeps_its_list(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label, renderTags=render_tags,
                           defaultValue=[PEOPLE[1]])
        assert field._selectedKeys.value == ["Bob"]


class TestLabelOverAValue:
    def test_outside_value_floats_the_label(self, make_field):
        field = make_field(options=list(FRUITS), label="Fruit", defaultValue="apple")
        assert field.title() == "Fruit"
        assert make_field(options=list(FRUITS), label="Fruit").title() == ""

    def test_state_emptied_then_filled(self, make_field):
        fruit = State("apple")
        field = make_field(options=list(FRUITS), label="Fruit", value=fruit, show=False)
        fruit.setValue(None)
        assert field.title() == "" and field._inputField.placeholderText() == "Fruit"
        fruit.setValue("cherry")
        assert field.title() == "Fruit" and field._inputField.text() == "cherry"

    def test_a_focused_empty_field_keeps_its_floating_label(self, make_field, qtbot):
        fruit = State("apple")
        field = make_field(options=list(FRUITS), label="Fruit", value=fruit)
        field._inputField.setFocus()
        qtbot.waitUntil(field._inputField.hasFocus)
        fruit.setValue(None)
        assert field.title() == "Fruit" and field._inputField.text() == ""

    def test_tags_field_shows_its_label_somewhere(self, make_field):
        empty = make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                           renderTags=render_tags, show=False)
        chosen = make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                            renderTags=render_tags, defaultValue=[PEOPLE[0]])
        assert empty.title() == "" and empty._inputField.placeholderText() == "People"
        assert chosen.title() == "People"


class TestTextStopsBeforeTheButtons:
    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    def test_long_text_leaves_the_arrow_clear(self, make_field, qtbot, variant):
        long = "W" * 80
        field = make_field(options=[long], label="Fruit", value=long, variant=variant)
        qtbot.waitUntil(field.action_frame.isVisible)
        window = field.window()

        def columns():
            QApplication.processEvents()
            image = window.grab(QRect(field.mapTo(window, QPoint(0, 0)), field.size())).toImage()
            return image

        with_text = columns()
        field._inputField.setText("")
        arrow_only = columns()
        field._inputField.setText(long)
        field._inputField.setCursorPosition(0)
        edit = field._inputField.geometry()
        text = [x for x in range(field.width()) for y in range(edit.top() + 2, edit.bottom() - 1)
                if with_text.pixel(x, y) != arrow_only.pixel(x, y)]
        frame = field.action_frame.geometry()
        arrow = [x for x in range(frame.left(), frame.right() + 1) for y in range(frame.top(), frame.bottom() + 1)
                 if arrow_only.pixelColor(x, y).lightness() < 200]
        # The text stops a few pixels before the arrow's glyph, elided with its ellipsis as close
        # to it as the glyphs' widths allow.
        assert arrow and max(text) < min(arrow) - 3
        assert max(text) >= min(arrow) - 12 - field._inputField.fontMetrics().horizontalAdvance("W")
        assert field._inputField.cursorPosition() == 0

    def test_rendered_text_of_a_multiple_select_fits_whole(self, make_field, qtbot):
        from PySide6.QtGui import QFontMetrics

        field = make_field(options=list(FRUITS), multiple=True,
                           renderValue=lambda value: ", ".join(value * 4))
        for option in FRUITS:
            field._selected_change({"key": option, "value": option})
        edit = field._inputField
        edit.grab()  # a line edit settles its scrolling when it paints
        assert edit.text().endswith("…") and edit.cursorPosition() == 0
        start = edit.cursorRect().center().x()
        edit.setCursorPosition(len(edit.text()))
        edit.grab()
        # No scrolling was needed to reach the end: the elided text fits in the visible room.
        advance = QFontMetrics(edit.font()).horizontalAdvance(edit.text())
        assert abs(edit.cursorRect().center().x() - (start + advance)) <= 2


class TestMaterialHeights:
    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    @pytest.mark.parametrize("size, box", [("medium", 56), ("small", 40)])
    def test_box_height(self, qtbot, variant, size, box):
        window = QWidget()
        qtbot.addWidget(window)
        layout = QVBoxLayout(window)
        field = SelectBase(options=list(FRUITS), label="Fruit", variant=variant, size=size, value="apple")
        layout.addWidget(field)
        layout.addStretch(1)
        window.resize(300, 400)  # room to spare: a text field does not stretch into it
        window.show()
        qtbot.waitExposed(window)
        # The box lies under the 8-pixel strip that the label straddles.
        qtbot.waitUntil(lambda: field.height() == 8 + box)


def pixel(widget, x, y):
    return QColor(widget.grab().toImage().pixelColor(x, y))


class TestThemedSurfaces:
    def test_label_notch_takes_the_page_colour(self, make_field, host, dark, qtbot):
        page = dark.palette["background"]["default"]
        host.setObjectName("host")
        host.setStyleSheet(f"QWidget#host {{background: {page};}}")
        field = make_field(options=list(FRUITS), label="Fruit", value="apple")
        QApplication.processEvents()
        image = host.grab().toImage()
        top = field.mapTo(host, QPoint(0, 8))
        # Just right of the label's left edge the outline is hidden by the label's background...
        assert image.pixelColor(top.x() + 11, top.y()).name() == QColor(page).name()
        # ...and further along the top edge the outline shows.
        assert image.pixelColor(top.x() + field.width() - 30, top.y()).name() != QColor(page).name()

    def test_popup_container_is_plain_white_and_the_list_makes_the_surface(self, single, qtbot):
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        menu, view, popup = single._menu, single._menu.listView, single._popup
        assert menu.styleSheet() == "#" + menu.objectName() + " {background: white;}"
        assert menu.height() == view.height() and menu.width() == single.width()
        assert isinstance(menu.graphicsEffect(), MenuSurfaceEffect)
        for mode in ("light", "dark"):
            set_theme_mode(mode)
            QApplication.processEvents()
            image = popup.grab().toImage()
            w, h = menu.width(), menu.height()
            paper = QColor(useTheme().palette["background"]["paper"])
            assert image.pixelColor(w // 2, h // 2) == paper  # the list's own surface
            # The corners are cut (see-through), the shadow lies right of and under the surface.
            for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
                assert image.pixelColor(x, y).alpha() < 128
            assert 0 < image.pixelColor(w + 2, h // 2).alpha() < 255
            assert 0 < image.pixelColor(w // 2, h + 2).alpha() < 255
            # No white container showing along the edges or in the corners of a dark surface.
            if mode == "dark":
                edges = [(x, y) for x in range(w) for y in range(h) if min(x, y, w - 1 - x, h - 1 - y) < 4]
                assert not [p for p in edges if image.pixelColor(*p).lightness() > 200]
        set_theme_mode("light")

    def test_tags_follow_the_theme_and_show_their_delete_control(self, make_field, qtbot, dark):
        field = make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                           renderTags=render_tags, defaultValue=[PEOPLE[0]])
        page = dark.palette["background"]["default"]
        field.window().setStyleSheet(f"background: {page};")
        tag = field.tags[0]
        qtbot.waitUntil(tag.isVisible)
        QApplication.processEvents()
        image = field.window().grab().toImage()
        # An outlined chip: the page shows inside, a quiet outline (lighter than the page) around.
        inside = image.pixelColor(tag.mapTo(field.window(), QPoint(4, tag.height() // 2)))
        edge = image.pixelColor(tag.mapTo(field.window(), QPoint(0, tag.height() // 2)))
        assert inside.name() == QColor(page).name()
        assert edge.name() == QColor(dark.palette["divider"]).name()
        button = tag.deleteButton
        assert button.width() == 18 and button.height() == 18
        glyph = button.grab().toImage()
        bright = sum(1 for x in range(glyph.width()) for y in range(glyph.height())
                     if glyph.pixelColor(x, y).lightness() > 150)
        assert bright >= 6  # the cross is drawn, in a light colour

    def test_arrow_is_light_on_dark_and_follows_switches(self, single):
        def lightest(field):
            image = field._btnSelect.icon().pixmap(20).toImage()
            return max(image.pixelColor(x, y).lightness() for x in range(image.width())
                       for y in range(image.height()) if image.pixelColor(x, y).alpha() > 200)

        light = lightest(single)
        try:
            set_theme_mode("dark")
            assert lightest(single) > light + 40
            single._show_popup()
            dark_up = single._btnSelect.icon().pixmap(20).toImage()
        finally:
            set_theme_mode("light")
        # Back in light mode the open popup's arrow is the file's own up arrow again.
        from PySide6.QtGui import QIcon
        assert single._btnSelect.icon().pixmap(16).toImage() == QIcon(VANTU_ASSETS.ICONS.ARROW_UP).pixmap(16).toImage()
        assert dark_up != QIcon(VANTU_ASSETS.ICONS.ARROW_UP).pixmap(20).toImage()
