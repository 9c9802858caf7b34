"""What a person sees and does on a focused field: its focus look, a centred filled placeholder,
the popup sized to its rows with hoverable rows, and the keys that open, walk and close it."""
import pytest
from PySide6.QtCore import QEvent, QPoint, QRect, Qt
from PySide6.QtGui import QColor, QCursor, QKeyEvent
from PySide6.QtTest import QTest
from PySide6.QtWidgets import QApplication, QLabel, QLineEdit

from vantu.hooks import State
from vantu.material.list_view.list_view import ROW_HEIGHT
from vantu.material.styles import useTheme

from .conftest import FRUITS, PEOPLE, label, render_tags


def focus(qtbot, field):
    field.window().activateWindow()
    field._inputField.setFocus()
    qtbot.waitUntil(field._inputField.hasFocus)


def unfocus(qtbot, field):
    field._inputField.clearFocus()
    qtbot.waitUntil(lambda: not field._inputField.hasFocus())


def settle(field):
    """Lets the host's layout and the style catch up (a focus change re-measures the frame)."""
    QApplication.processEvents()
    field.parentWidget().layout().activate()
    QApplication.processEvents()


def image_of(field):
    """The field as the window paints it (the page behind its transparent parts included)."""
    settle(field)
    window = field.window()
    return window.grab(QRect(field.mapTo(window, QPoint(0, 0)), field.size())).toImage()


def near(colour, name, tolerance=40):
    other = QColor(name)
    return all(abs(a - b) <= tolerance for a, b in zip(colour.getRgb()[:3], other.getRgb()[:3]))


def edge_colours(field, variant):
    """Colours of the frame's edge: the two left columns (outlined) or the two bottom rows."""
    image = image_of(field)
    if variant == "outlined":
        y = (8 + field.height()) // 2
        return [image.pixelColor(x, y) for x in (0, 1)]
    x = field.width() // 3
    return [image.pixelColor(x, field.height() - 1 - d) for d in (0, 1)]


def title_rows(field):
    """The rows of the strip above the input where the title's text paints."""
    image = image_of(field)
    top = field._inputField.geometry().top()
    paper = image.pixelColor(field.width() - 30, top - 4).lightness()
    return [y for y in range(0, top) if any(image.pixelColor(x, y).lightness() < paper - 60 for x in range(14, 50))]


def title_colour(field):
    """The most saturated colour among the title's pixels."""
    image = image_of(field)
    top = field._inputField.geometry().top()
    pixels = [image.pixelColor(x, y) for x in range(12, 60) for y in range(0, top)]
    return max(pixels, key=lambda c: c.hsvSaturation() * (255 - c.lightness()))


PRIMARY = useTheme().palette["primary"]["main"]
ERROR = useTheme().palette["error"]["main"]


class TestFocusLook:
    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    def test_clicked_field_shows_the_primary_two_pixel_edge_and_title(self, make_field, qtbot, variant):
        field = make_field(options=list(FRUITS), label="Fruit", variant=variant, defaultValue="apple")
        unfocus(qtbot, field)  # a shown window gives its first input the focus
        rest_edge = edge_colours(field, variant)
        assert not near(rest_edge[1], PRIMARY)
        qtbot.mouseClick(field._inputField, Qt.MouseButton.LeftButton)  # opens the popup
        assert field._inputField.hasFocus() and field.property("focused") is True
        field._hide_popup()
        qtbot.waitUntil(field._inputField.hasFocus)
        assert field.property("focused") is True
        assert all(near(c, PRIMARY) for c in edge_colours(field, variant))
        assert near(title_colour(field), PRIMARY)
        unfocus(qtbot, field)
        assert field.property("focused") is False
        assert [c.name() for c in edge_colours(field, variant)] == [c.name() for c in rest_edge]

    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    @pytest.mark.parametrize("error", [True, "state"])
    def test_focused_field_in_error_keeps_the_error_colour(self, make_field, qtbot, variant, error):
        field = make_field(options=list(FRUITS), label="Fruit", variant=variant, defaultValue="apple",
                           error=State(True) if error == "state" else True)
        focus(qtbot, field)
        assert all(near(c, ERROR) for c in edge_colours(field, variant))
        assert near(title_colour(field), ERROR)

    @pytest.mark.parametrize("variant", ["outlined", "filled", "standard"])
    @pytest.mark.parametrize("size", ["medium", "small"])
    def test_nothing_moves_when_focus_comes_and_goes(self, make_field, qtbot, variant, size):
        field = make_field(options=list(FRUITS), label="Fruit", variant=variant, size=size, defaultValue="apple")
        unfocus(qtbot, field)

        def layout():
            rows = title_rows(field)
            return field.geometry(), field.sizeHint(), field._inputField.geometry(), rows

        rest = layout()
        assert rest[3], "the title paints"
        focus(qtbot, field)
        assert field.property("focused") is True and layout() == rest
        unfocus(qtbot, field)
        assert field.property("focused") is False and layout() == rest

    def test_opening_and_closing_set_no_property_and_a_press_on_the_arrow_focuses(self, single, qtbot):
        unfocus(qtbot, single)

        def properties():
            return {bytes(name).decode(): single.property(bytes(name).decode()) for name in single.dynamicPropertyNames()}

        before = properties()
        single._show_popup()
        assert properties() == before and single._popup.isVisible()
        single._hide_popup()
        assert properties() == before
        # A click on the arrow focuses the input, which keeps focus (and the look) while open.
        qtbot.mouseClick(single._btnSelect, Qt.MouseButton.LeftButton, pos=QPoint(8, 12))
        assert single._popup.isVisible() and single._inputField.hasFocus()
        assert single.property("focused") is True
        qtbot.mouseClick(single._btnSelect, Qt.MouseButton.LeftButton, pos=QPoint(8, 12))
        assert not single._popup.isVisible() and single.property("focused") is True

    def test_label_rules_are_unchanged_by_the_focus_look(self, single, qtbot):
        focus(qtbot, single)
        assert single.title() == "" and single._inputField.placeholderText() == "Fruit"
        unfocus(qtbot, single)
        assert single.title() == "" and single.value is None

    def test_input_keeps_focus_while_the_popup_is_open(self, single, qtbot):
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        assert single._popup.isVisible()
        # Platforms that activate the new window hand the keyboard back to the field's window.
        qtbot.waitUntil(lambda: QApplication.activeWindow() is single.window())
        qtbot.waitUntil(single._inputField.hasFocus)
        assert single._popup.isVisible()


class TestFilledPlaceholder:
    @pytest.mark.parametrize("size", ["medium", "small"])
    def test_empty_field_centres_its_placeholder_and_a_value_sits_under_the_title(self, make_field, qtbot, size):
        field = make_field(options=list(FRUITS), label="Fruit", variant="filled", size=size)
        settle(field)
        height = field.height()
        box_centre = (8 + field.height()) / 2  # the box starts under an 8-pixel strip
        edit = field._inputField.geometry()
        assert abs((edit.top() + edit.bottom() + 1) / 2 - box_centre) <= 1
        field.setValue("apple")
        field._show_label()
        settle(field)
        assert field.property("hasTitle") is True and field.height() == height
        assert field._inputField.geometry().top() >= edit.top() + 5  # under the title
        field._hide_label()
        settle(field)
        assert field._inputField.geometry() == edit


def rows_shown(field):
    view = field._menu.listView
    return view.height() - view.contentsMargins().top() - view.contentsMargins().bottom()


class TestPopupFitsItsRows:
    @pytest.mark.parametrize("count", [0, 1, 7, 10_000])
    def test_popup_height(self, make_field, count):
        field = make_field(options=[f"option {i}" for i in range(count)], label="L")
        field._show_popup()
        QApplication.processEvents()
        view = field._menu.listView
        if count == 0:
            assert rows_shown(field) == ROW_HEIGHT
            assert view.findChild(QLabel, "ListViewEmptyRow").isVisible()
        elif count < 10:
            assert rows_shown(field) == count * ROW_HEIGHT
            last = view.visualRect(view.model().index(count - 1, 0))
            assert last.bottom() + 1 == view.viewport().height()
        else:
            assert view.verticalScrollBar().maximum() > 0
        # The window holds the surface and its shadow margins, nothing more.
        assert field._popup.height() == field._menu.height() + 9
        assert field._menu.height() == view.height() + field._menu.contentsMargins().top() + field._menu.contentsMargins().bottom()


class TestHoverInThePopup:
    def test_real_mouse_moves_tint_the_row_under_the_pointer(self, single, qtbot, qapp):
        # The offscreen platform moves the pointer into the first window under it, and the
        # main window lies under the popup: it steps aside for the test.
        home = qapp.mainWindow.pos()
        qapp.mainWindow.move(3000, 3000)
        try:
            single._show_popup()
            view = single._menu.listView
            qtbot.waitExposed(single._popup)

            def colour(row):
                image = view.viewport().grab().toImage()
                return image.pixelColor(4, view.visualRect(view.model().index(row, 0)).center().y()).name()

            def move_to(row):
                target = view.visualRect(view.model().index(row, 0)).center()
                QCursor.setPos(view.viewport().mapToGlobal(target))
                QTest.mouseMove(view.viewport(), target)

            plain = colour(1)
            move_to(1)
            qtbot.waitUntil(lambda: colour(1) != plain)
            assert colour(0) == plain and colour(2) == plain
            move_to(2)
            qtbot.waitUntil(lambda: colour(2) != plain)
            assert colour(1) == plain
        finally:
            QCursor.setPos(799, 799)
            qapp.mainWindow.move(home)


def click_row(qtbot, field, row):
    view = field._menu.listView
    qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=view.visualRect(view.model().index(row, 0)).center())


def key(qtbot, field, code, modifier=Qt.KeyboardModifier.NoModifier):
    qtbot.keyClick(field._inputField, code, modifier)


class TestKeyboard:
    def test_down_opens_arrows_walk_enter_chooses(self, single, qtbot):
        focus(qtbot, single)
        key(qtbot, single, Qt.Key.Key_Down)
        assert single._popup.isVisible()
        view = single._menu.listView
        assert view.currentRow() == -1
        key(qtbot, single, Qt.Key.Key_Down)
        key(qtbot, single, Qt.Key.Key_Down)
        key(qtbot, single, Qt.Key.Key_Down)
        key(qtbot, single, Qt.Key.Key_Up)
        assert view.currentRow() == 1
        with qtbot.waitSignal(single.valueChanged) as blocker:
            key(qtbot, single, Qt.Key.Key_Return)
        assert blocker.args == ["banana"] and single._inputField.text() == "banana"
        assert not single._popup.isVisible()
        qtbot.waitUntil(single._inputField.hasFocus)
        assert single.property("focused") is True

    def test_alt_down_opens_and_walking_starts_after_the_choice(self, single, qtbot):
        qtbot.mouseClick(single._inputField, Qt.MouseButton.LeftButton)
        click_row(qtbot, single, 0)
        assert single.value == "apple"
        focus(qtbot, single)
        key(qtbot, single, Qt.Key.Key_Down, Qt.KeyboardModifier.AltModifier)
        assert single._popup.isVisible()
        key(qtbot, single, Qt.Key.Key_Down)
        assert single._menu.listView.currentRow() == 1
        key(qtbot, single, Qt.Key.Key_End)
        assert single._menu.listView.currentRow() == 2
        key(qtbot, single, Qt.Key.Key_Home)
        assert single._menu.listView.currentRow() == 0
        key(qtbot, single, Qt.Key.Key_Up, Qt.KeyboardModifier.AltModifier)
        assert not single._popup.isVisible()

    def test_escape_closes_and_the_field_stays_focused(self, single, qtbot):
        focus(qtbot, single)
        key(qtbot, single, Qt.Key.Key_Down)
        key(qtbot, single, Qt.Key.Key_Down)
        key(qtbot, single, Qt.Key.Key_Escape)
        assert not single._popup.isVisible() and single.value is None
        qtbot.waitUntil(single._inputField.hasFocus)
        assert single.property("focused") is True
        key(qtbot, single, Qt.Key.Key_Down)  # a new opening starts with no keyboard row
        assert single._popup.isVisible() and single._menu.listView.currentRow() == -1

    @pytest.mark.parametrize("key_name", ["Key_Tab", "Key_Backtab"])
    def test_tabbing_away_closes_the_list(self, make_field, qtbot, key_name):
        first = make_field(options=list(FRUITS), label="Fruit", getOptionLabel=label)
        host = first.parentWidget()
        other = QLineEdit(host)
        host.layout().addWidget(other)
        host.resize(300, 100)
        other.show()
        qtbot.waitUntil(other.isVisible)
        focus(qtbot, first)
        key(qtbot, first, Qt.Key.Key_Down)
        assert first._popup.isVisible()
        qtbot.keyClick(first._inputField, getattr(Qt.Key, key_name))
        qtbot.waitUntil(lambda: not first._inputField.hasFocus())
        assert not first._popup.isVisible()
        assert first.property("focused") is False

    def test_page_keys_move_by_a_screenful_of_many_options(self, make_field, qtbot):
        field = make_field(options=[f"option {i}" for i in range(10_000)], label="L")
        focus(qtbot, field)
        key(qtbot, field, Qt.Key.Key_Down)
        key(qtbot, field, Qt.Key.Key_PageDown)
        view = field._menu.listView
        page = view.viewport().height() // ROW_HEIGHT
        assert view.currentRow() == page - 1
        assert view.viewport().rect().contains(view.visualRect(view.model().index(view.currentRow(), 0)))
        key(qtbot, field, Qt.Key.Key_End)
        assert view.currentRow() == 9_999
        assert view.viewport().rect().contains(view.visualRect(view.model().index(9_999, 0)))

    def test_disabled_options_are_passed_over(self, make_field, qtbot):
        field = make_field(options=list(FRUITS), label="L", getOptionDisabled=lambda o: o == "banana")
        focus(qtbot, field)
        key(qtbot, field, Qt.Key.Key_Down)
        key(qtbot, field, Qt.Key.Key_Down)
        key(qtbot, field, Qt.Key.Key_Down)
        assert field._menu.listView.currentRow() == 2
        key(qtbot, field, Qt.Key.Key_Return)
        assert field.value == "cherry"

    def test_multiple_enter_toggles_and_the_popup_closes_only_on_an_addition(self, make_field, qtbot):
        field = make_field(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                           renderTags=render_tags)
        focus(qtbot, field)
        key(qtbot, field, Qt.Key.Key_Down)
        key(qtbot, field, Qt.Key.Key_Down)
        key(qtbot, field, Qt.Key.Key_Return)
        assert field.value == [PEOPLE[0]] and not field._popup.isVisible()
        key(qtbot, field, Qt.Key.Key_Down)
        key(qtbot, field, Qt.Key.Key_Down)  # starts on the chosen row: moves past it
        key(qtbot, field, Qt.Key.Key_Up)
        key(qtbot, field, Qt.Key.Key_Return)
        assert field.value == [] and field._popup.isVisible()

    def test_read_only_field_lets_the_keys_pass(self, make_field, qtbot):
        field = make_field(options=list(FRUITS), label="L", readOnly=True)
        focus(qtbot, field)
        event = QKeyEvent(QEvent.Type.KeyPress, Qt.Key.Key_Down, Qt.KeyboardModifier.NoModifier)
        assert field._on_input_key_press(event) is False
        key(qtbot, field, Qt.Key.Key_Down)
        assert field._popup is None

    def test_other_keys_and_closed_popup_keys_are_not_taken(self, single, qtbot):
        event = QKeyEvent(QEvent.Type.KeyPress, Qt.Key.Key_Escape, Qt.KeyboardModifier.NoModifier)
        assert single._on_input_key_press(event) is False  # closed: Escape is the window's
        single._show_popup()
        for code, modifier, text in ((Qt.Key.Key_F5, Qt.KeyboardModifier.NoModifier, ""),
                                     (Qt.Key.Key_A, Qt.KeyboardModifier.ControlModifier, "\x01")):
            assert single._on_input_key_press(QKeyEvent(QEvent.Type.KeyPress, code, modifier, text)) is False

    def test_the_event_filter_still_never_takes_a_key(self, single):
        single._show_popup()
        for code in (Qt.Key.Key_Down, Qt.Key.Key_Escape, Qt.Key.Key_Return):
            event = QKeyEvent(QEvent.Type.KeyPress, code, Qt.KeyboardModifier.NoModifier)
            assert single.eventFilter(single._inputField, event) is False
        assert single._popup.isVisible() and single._menu.listView.currentRow() == -1


def title_ink(field):
    """The darkest lightness inside the title's strip (the text's ink)."""
    image = image_of(field)
    return min(image.pixelColor(x, y).lightness() for x in range(14, 50) for y in range(0, 7))


def test_a_disabled_field_greys_its_title(make_field):
    enabled = make_field(options=list(FRUITS), label="Fruit", getOptionLabel=label, value="Apple")
    disabled = make_field(options=list(FRUITS), label="Fruit", getOptionLabel=label, value="Apple", disabled=True)
    disabled.show()
    QApplication.processEvents()
    assert enabled.title() == disabled.title() == "Fruit"
    assert title_ink(disabled) > title_ink(enabled) + 20
