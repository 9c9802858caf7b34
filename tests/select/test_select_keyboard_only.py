"""The select field driven by the keyboard alone: opening, walking and type-ahead in the list,
type-ahead on the closed field, clearing, tag removal, and leaving, on real key events."""
import pytest
from PySide6.QtCore import QEvent, QObject, Qt
from PySide6.QtWidgets import QApplication, QLineEdit

from .conftest import FRUITS, PEOPLE, label, render_tags

K = Qt.Key


class MouseCounter(QObject):
    """Counts the mouse presses and releases the application sees."""

    TYPES = {QEvent.Type.MouseButtonPress, QEvent.Type.MouseButtonRelease, QEvent.Type.MouseButtonDblClick}

    def __init__(self):
        super().__init__()
        self.count = 0

    def eventFilter(self, obj, event):
        if event.type() in self.TYPES:
            self.count += 1
        return False


@pytest.fixture
def short_interval(qapp):
    """Type-ahead prefixes end after 80 ms, so a test can start a new one by waiting."""
    before = qapp.keyboardInputInterval()
    qapp.setKeyboardInputInterval(80)
    yield 120
    qapp.setKeyboardInputInterval(before)


@pytest.fixture
def between(make_field, host, qtbot):
    """Builds a field between two line edits of the host window; the first has focus."""

    def make(**kwargs):
        before = QLineEdit(host)
        host.layout().addWidget(before)
        field = make_field(show=False, **kwargs)
        after = QLineEdit(host)
        host.layout().addWidget(after)
        host.resize(300, 140)
        with qtbot.waitExposed(host):
            host.show()
        host.activateWindow()
        before.setFocus()
        qtbot.waitUntil(before.hasFocus)
        return field, before, after

    return make


def press(qtbot, key, modifier=Qt.KeyboardModifier.NoModifier):
    qtbot.keyClick(QApplication.focusWidget(), key, modifier)
    QApplication.processEvents()  # as between a person's key presses


def typed(qtbot, text):
    qtbot.keyClicks(QApplication.focusWidget(), text)
    QApplication.processEvents()


def is_open(field):
    return field._popup is not None and field._popup.isVisible()


def current(field):
    return field._menu.listView.currentRow()


def test_single_field_filled_changed_cleared_and_left_with_keys_only(between, qtbot, qapp, short_interval):
    field, before, after = between(options=list(FRUITS), label="Fruit", getOptionLabel=label)
    mice = MouseCounter()
    qapp.installEventFilter(mice)
    try:
        press(qtbot, K.Key_Tab)
        assert field._inputField.hasFocus()
        typed(qtbot, "b")  # closed: chooses, as a click on the row would
        assert field.value == "banana" and field._inputField.text() == "banana" and not is_open(field)
        press(qtbot, K.Key_F4)  # opens on the chosen row
        assert is_open(field) and current(field) == 1
        press(qtbot, K.Key_Down)
        press(qtbot, K.Key_Return)
        assert field.value == "cherry" and not is_open(field)
        press(qtbot, K.Key_Down, Qt.KeyboardModifier.AltModifier)
        press(qtbot, K.Key_Home)
        press(qtbot, K.Key_Escape)  # closes without choosing
        assert field.value == "cherry" and not is_open(field)
        press(qtbot, K.Key_Delete)
        assert field.value == "" and field._inputField.text() == ""
        qtbot.wait(short_interval)
        typed(qtbot, "A")
        assert field.value == "apple"
        press(qtbot, K.Key_Backspace)
        assert field.value == "" and field._selectedKeys.value is None
        press(qtbot, K.Key_Up)
        assert is_open(field)
        press(qtbot, K.Key_Tab)  # closes and moves on
        qtbot.waitUntil(after.hasFocus)
        assert not is_open(field) and field.value is None
    finally:
        qapp.removeEventFilter(mice)
    assert mice.count == 0


def test_multiple_field_filled_changed_cleared_and_left_with_keys_only(between, qtbot, qapp, short_interval):
    field, before, after = between(options=list(PEOPLE), label="People", multiple=True, getOptionLabel=label,
                                   renderTags=render_tags)
    mice = MouseCounter()
    qapp.installEventFilter(mice)
    try:
        press(qtbot, K.Key_Tab)
        press(qtbot, K.Key_Space)
        assert is_open(field) and current(field) == -1
        press(qtbot, K.Key_Down)
        press(qtbot, K.Key_Return)
        assert field.value == [PEOPLE[0]] and not is_open(field)
        typed(qtbot, "c")  # closed: opens at the match
        assert is_open(field) and current(field) == 2 and field.value == [PEOPLE[0]]
        press(qtbot, K.Key_Return)
        assert field.value == [PEOPLE[0], PEOPLE[2]]
        press(qtbot, K.Key_Backspace)  # the last tag goes
        assert field.value == [PEOPLE[0]] and [t.label.text() for t in field.tags] == ["Ann"]
        press(qtbot, K.Key_Tab)  # on to the tag's delete control
        assert QApplication.focusWidget() is field.tags[0].deleteButton
        press(qtbot, K.Key_Return)
        assert field.value == [] and field._inputField.hasFocus()
        qtbot.wait(short_interval)
        press(qtbot, K.Key_Up)
        press(qtbot, K.Key_End)
        press(qtbot, K.Key_Space)  # chooses the current row
        typed(qtbot, "a")
        press(qtbot, K.Key_Return)
        assert field.value == [PEOPLE[2], PEOPLE[0]]
        press(qtbot, K.Key_Delete)
        assert field.value == [] and field._selectedKeys.value == [] and not field._btn_clear_text.isVisible()
        press(qtbot, K.Key_Tab)
        qtbot.waitUntil(after.hasFocus)
        assert not is_open(field)
    finally:
        qapp.removeEventFilter(mice)
    assert mice.count == 0


OPTIONS = ["apple", "Avocado", "banana", "Blueberry", "blackberry", "New York", "Newark", "cherry"]


def disabled(option):
    return option == "Blueberry"


@pytest.mark.parametrize("start, keys, expected", [
    (None, ["b"], "banana"),
    (None, ["bbb"], "banana"),  # one letter again and again steps through its options, wraps
    (None, ["bb"], "blackberry"),  # passing the disabled one
    (None, ["bl"], "blackberry"),
    (None, ["AV"], "Avocado"),  # whatever the case
    (None, ["new y"], "New York"),  # a space inside a prefix
    (None, ["newa"], "Newark"),
    ("cherry", ["a"], "apple"),  # from the chosen option on, wrapping round
    ("banana", ["b"], "blackberry"),
    ("banana", ["ba"], "banana"),  # a longer prefix stays while it matches
    ("apple", ["zz"], "apple"),  # no match: nothing moves
    (None, ["b", "c"], "cherry"),  # a pause ends the prefix
])
@pytest.mark.parametrize("closed", [False, True], ids=["open", "closed"])
def test_type_ahead(make_field, qtbot, short_interval, start, keys, expected, closed):
    field = make_field(options=list(OPTIONS), label="L", getOptionDisabled=disabled, value=start)
    field._inputField.setFocus()
    qtbot.waitUntil(field._inputField.hasFocus)
    if not closed:
        press(qtbot, K.Key_Down)
    for i, text in enumerate(keys):
        if i:
            qtbot.wait(short_interval)
        typed(qtbot, text)
    if closed:
        assert field.value == expected and not is_open(field)
    else:
        assert is_open(field) and field._menu.listView.rowText(current(field)) == expected
        assert field.value == start


def test_closed_type_ahead_goes_through_the_choice_handler_as_the_list_does(make_field, qtbot):
    field = make_field(options=list(PEOPLE), label="People", getOptionLabel=label)
    seen = []
    handler = field._selected_change

    def spy(data):
        seen.append(data)
        return handler(data)

    field._selected_change = spy
    field._inputField.setFocus()
    typed(qtbot, "b")
    assert seen == [{"key": "Bob", "value": PEOPLE[1]}] and field.value == PEOPLE[1]


def test_a_read_only_field_takes_no_changing_key(make_field, qtbot):
    field = make_field(options=list(FRUITS), label="L", readOnly=True, value="banana")
    field._inputField.setFocus()
    for key in (K.Key_Delete, K.Key_Backspace, K.Key_Space, K.Key_F4):
        press(qtbot, key)
    typed(qtbot, "c")
    assert field.value == "banana" and field._popup is None


def test_the_list_opens_on_the_chosen_option_scrolled_into_view(make_field, qtbot):
    field = make_field(options=[f"option {i}" for i in range(10_000)], label="L", value="option 5000")
    field._inputField.setFocus()
    press(qtbot, K.Key_F4)
    view = field._menu.listView
    assert view.currentRow() == 5000
    assert view.viewport().rect().contains(view.visualRect(view.model().index(5000, 0)))
    press(qtbot, K.Key_F4)
    assert not is_open(field)
