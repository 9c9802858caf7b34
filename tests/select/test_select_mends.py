"""Faults the field once had, driven as a user meets them: outside values in multiple mode,
options with falsy labels, letter case on leaving, errors while pruning, a text given as parent,
and a popup outliving its hidden or disabled field."""
import pytest
from PySide6.QtCore import Qt
from PySide6.QtWidgets import QApplication, QLineEdit, QWidget

from vantu.hooks import State
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView

from .conftest import PEOPLE, label


def tags_of(selected, getTagProps):
    return [TagsView(label=str(key), onDelete=getTagProps({"key": key, "value": option})["onDelete"])
            for key, option in selected.items()]


def click_on(qtbot, widget, pos=None):
    """A click where a person makes it: on whatever widget shows at that point."""
    spot = widget.mapToGlobal(pos if pos is not None else widget.rect().center())
    target = QApplication.widgetAt(spot)
    qtbot.mouseClick(target, Qt.MouseButton.LeftButton, pos=target.mapFromGlobal(spot))


def open_list(qtbot, field):
    if not (field._popup and field._popup.isVisible()):
        click_on(qtbot, field._inputField)
    assert field._popup.isVisible()
    return field._menu.listView


def click_row(qtbot, field, row):
    view = open_list(qtbot, field)
    rect = view.visualRect(view.model().index(row, 0))
    qtbot.mouseClick(view.viewport(), Qt.MouseButton.LeftButton, pos=rect.center())


def shown_tags(field):
    return [tag.label.text() for tag in field.tags]


class TestMultipleSelection:
    @pytest.mark.parametrize("options", [
        [{"label": 0, "value": "zero"}, {"label": "", "value": "blank"}, {"label": 2, "value": "two"}],
        ["", "b", "c"],
    ])
    def test_a_falsy_label_is_chosen_shown_and_removed(self, make_field, qtbot, options):
        getter = label
        field = make_field(options=options, multiple=True, getOptionLabel=getter, renderTags=tags_of)
        for row in (0, 1):
            click_row(qtbot, field, row)
        assert field.value == options[:2]
        assert field._selectedKeys.value == [getter(o) for o in options[:2]]
        assert shown_tags(field) == [str(getter(o)) for o in options[:2]]
        qtbot.mouseClick(field.tags[0].deleteButton, Qt.MouseButton.LeftButton)
        assert field.value == options[1:2] and field._selectedKeys.value == [getter(options[1])]
        click_row(qtbot, field, 1)  # the list takes it out too
        assert field.value == [] and field.tags == [] and field._selectedKeys.value == []

    @pytest.mark.parametrize("shown", ["tags", "text"])
    def test_an_outside_value_is_the_selection_the_next_choice_adds_to(self, make_field, qtbot, shown):
        state = State([PEOPLE[0]])
        extra = {"renderTags": tags_of} if shown == "tags" else {"renderValue": lambda v: ", ".join(label(o) for o in v or [])}
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label, value=state, **extra)

        def selection():
            text = shown_tags(field) if shown == "tags" else field._inputField.text()
            return field.value, field._selectedKeys.value, list(field._selected_options), text

        assert selection()[1:] == (["Ann"], ["Ann"], ["Ann"] if shown == "tags" else "Ann")
        click_row(qtbot, field, 1)
        # Without tags a choice is filed by its label (the option itself with tags).
        added = PEOPLE[1] if shown == "tags" else "Bob"
        assert selection()[:3] == ([PEOPLE[0], added], ["Ann", "Bob"], ["Ann", "Bob"])
        state.setValue([PEOPLE[2]])
        assert selection()[1:] == (["Cid"], ["Cid"], ["Cid"] if shown == "tags" else "Cid")
        field.setControlledState([PEOPLE[0], PEOPLE[2]])
        click_row(qtbot, field, 2)  # Cid again: taken out, Ann stays
        assert selection()[:3] == ([PEOPLE[0]], ["Ann"], ["Ann"])
        field.setControlledState(None)
        assert selection()[1:3] == ([], [])

    def test_a_value_replaces_the_default_in_tags_and_keys(self, make_field):
        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label, renderTags=tags_of,
                           defaultValue=[PEOPLE[0]], value=[PEOPLE[1]])
        assert shown_tags(field) == ["Bob"] and field._selectedKeys.value == ["Bob"]
        assert field._inputField.placeholderText() == ""

    def test_an_error_while_pruning_surfaces_at_once(self, make_field):
        class Key:
            armed = False

            def __hash__(self):
                return 1  # every key probes past the first one

            def __eq__(self, other):
                if Key.armed and self is not other:
                    raise RuntimeError("compared while armed")
                return self is other

        field = make_field(options=list(PEOPLE), multiple=True, getOptionLabel=label)
        first, second = Key(), Key()
        field._selected_options = {first: PEOPLE[0], second: PEOPLE[1]}
        Key.armed = True
        with pytest.raises(RuntimeError, match="compared while armed"):
            field.base_set_value([PEOPLE[0]])
        Key.armed = False
        field.setValue([])  # nothing was left pending


class TestSingleSelection:
    def test_leaving_keeps_the_option_whose_label_matches_exactly(self, make_field, qtbot, host):
        other = QLineEdit(host)
        host.layout().addWidget(other)
        field = make_field(options=["Apple", "apple", "Pear"], getOptionLabel=str)
        click_row(qtbot, field, 1)
        assert field.value == "apple" and field._inputField.hasFocus()
        qtbot.mouseClick(other, Qt.MouseButton.LeftButton)
        assert other.hasFocus()
        assert field.value == "apple" and field._inputField.text() == "apple" and field._selectedKeys.value == "apple"
        # Text in another case takes the first option that matches it.
        field._inputField.setText("APPLE")
        field._inputField.setFocus()
        other.setFocus()
        assert field.value == "Apple" and field._inputField.text() == "Apple"

    @pytest.mark.parametrize("parent", ["Fruits", 5, object()])
    def test_a_parent_that_is_no_widget_is_refused(self, parent):
        with pytest.raises(TypeError, match="'parent'.*expected QWidget or None"):
            SelectBase(parent, options=["a"])

    def test_parent_by_position_or_keyword(self, qtbot):
        host = QWidget()
        qtbot.addWidget(host)
        assert SelectBase(host).parentWidget() is host and SelectBase(parent=host).parentWidget() is host
        assert SelectBase(None).title() == ""


class TestPopupFollowsItsField:
    @pytest.mark.parametrize("what", ["hide field", "disable field", "hide window", "close window", "disable window"])
    def test_closes_when_its_field_goes_away_or_is_disabled(self, single, host, qtbot, what):
        open_list(qtbot, single)
        action, target = what.split()
        widget = single if target == "field" else host
        {"hide": widget.hide, "close": widget.close, "disable": lambda: widget.setEnabled(False)}[action]()
        qtbot.waitUntil(lambda: not single._popup.isVisible())
        assert single._popupShowed is False

    def test_hiding_something_else_leaves_it_open(self, single, host, qtbot):
        other = QWidget(host)
        host.layout().addWidget(other)
        open_list(qtbot, single)
        other.hide()
        other.setEnabled(False)
        assert single._popup.isVisible()
