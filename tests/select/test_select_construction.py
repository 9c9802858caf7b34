"""Construction of the select field: order effects, names, input kind, title, outside State, bad input."""
import gc
import weakref

import pytest
from PySide6.QtCore import Qt
from PySide6.QtWidgets import QApplication, QLineEdit, QPlainTextEdit, QWidget
from shiboken6 import isValid

from vantu.hooks import State
from vantu.i18n.use_translation import i18n
from vantu.material.select import pickcore
from vantu.material.select.pickcore import HeightItem, MenuView, SelectBase
from vantu.material.styles import set_theme_mode

from .conftest import FRUITS, flush_deletes, label, render_tags

LINE_SHEET = (
    "\n                QLineEdit {\n                    border: none;\n                    width: 100%;\n"
    "                    background-color: transparent;\n                }\n"
)
PLAIN_SHEET = (
    "\n                QPlainTextEdit {\n                    width: 100%;\n"
    "                    background-color: transparent;\n                }\n"
)


class TestModule:
    def test_module_globals_follow_the_import_list(self):
        names = list(vars(pickcore))
        order = ["asyncio", "Optional", "uuid", "QVBoxLayout", "QCursor", "State", "getTranslatedText", "FlowWidget",
                 "TagsView", "useState", "useTheme", "translate", "i18n", "VANTU_ASSETS", "Iconify", "PyWidgetBase",
                 "ListView", "useEffect", "Component", "RenderContext", "SelectSerializer", "SelectStyleMixin",
                 "SelectGetterMixin", "MenuView", "HeightItem", "SelectBase"]
        positions = [names.index(n) for n in order]
        assert positions == sorted(positions)

    def test_class_bases_and_attributes(self):
        from PySide6.QtWidgets import QFrame, QGroupBox

        assert SelectBase.__bases__[0] is QGroupBox
        assert [b.__name__ for b in SelectBase.__bases__[1:]] == ["SelectSerializer", "SelectStyleMixin", "SelectGetterMixin"]
        assert MenuView.__bases__[0] is QFrame and MenuView.__bases__[1].__name__ == "Component"
        assert SelectBase.VALID_VARIANTS == ["filled", "outlined", "standard"]
        assert SelectBase.VALID_SIZES == ["medium", "small"]
        assert SelectBase.VALID_MARGINS == ["dense", "none", "normal"]
        assert SelectBase.VALID_COLORS == ["primary", "secondary", "error", "info", "success", "warning"]
        assert "_SelectBase__init_ui" in vars(SelectBase) and "__init_ui" not in vars(SelectBase)

    def test_height_item_is_a_plain_widget(self, qtbot):
        item = HeightItem()
        qtbot.addWidget(item)
        assert isinstance(item, QWidget)


class TestConstructionOrder:
    def test_value_beats_default_value_and_nothing_is_emitted(self, make_field, capsys):
        seen = []
        field = make_field(options=list(FRUITS), getOptionLabel=label, defaultValue="apple", value="banana",
                           onChange=seen.append)
        assert field.value == "banana"
        assert field._inputField.text() == "banana"
        assert seen == []
        out = capsys.readouterr().out.splitlines()
        assert "{'value': 'apple'}" in out and "{'value': 'banana'}" in out
        assert out.index("{'value': 'apple'}") < out.index("{'value': 'banana'}")

    def test_no_value_changed_during_construction(self, qtbot, host):
        emitted = []

        class Watching(SelectBase):
            def setValue(self, v=None):
                emitted.append(v)
                super().setValue(v)

        field = Watching(host, options=list(FRUITS), defaultValue="apple")
        assert emitted == [] and field.value == "apple"
        assert field._init_done is True

    def test_state_value_keeps_the_field_in_step_silently(self, make_field, qtbot):
        holder = State("apple")
        calls = []
        field = make_field(options=list(FRUITS), getOptionLabel=label, value=holder, onChange=calls.append)
        with qtbot.assertNotEmitted(field.valueChanged):
            holder.setValue("cherry")
        assert field.value == "cherry" and field._inputField.text() == "cherry"
        assert calls == []

    def test_error_state_sets_the_property_and_plain_error_does_not(self, make_field):
        err = State(False)
        field = make_field(options=[], error=err)
        assert field.property("error") is None
        err.setValue(True)
        assert field.property("error") is True
        plain = make_field(options=[], error=True)
        assert plain.property("error") is None

    def test_full_width_puts_width_into_sx(self, make_field):
        assert make_field(options=[], fullWidth=True)._sx == {"width": "100%"}
        kept = make_field(options=[], fullWidth=True, sx={"width": "10px", "color": "red"})
        assert kept._sx == {"width": "100%", "color": "red"}

    def test_kwargs_always_hold_variant_and_size(self, make_field):
        field = make_field(options=[], ctx="C")
        assert field._kwargs["variant"] == "outlined" and field._kwargs["size"] == "medium"
        assert field._ctx == "C" and make_field(options=[])._ctx is None

    def test_disabled_field_starts_disabled(self, make_field):
        assert not make_field(options=[], disabled=True).isEnabled()

    def test_initial_attributes(self, make_field):
        field = make_field(options=[])
        assert field._menu is None and field._popup is None and field._tagsWidget is None
        assert field._selected_options == {} and field._inputFieldHasFocusIn is False


class TestNamesAndInput:
    def test_object_names_are_distinct(self, make_field):
        a, b = make_field(options=[]), make_field(options=[])
        assert a.objectName().startswith("SelectBase-") and b.objectName().startswith("SelectBase-")
        assert a.objectName() != b.objectName()
        assert a._inputField.objectName() == "inputField"
        assert a.action_frame.objectName() == "actionframe"

    def test_single_and_multiple_without_tags_use_a_line_edit(self, make_field):
        for kwargs in ({}, {"renderTags": render_tags}, {"multiple": True}):
            field = make_field(options=[], **kwargs)
            assert isinstance(field._inputField, QLineEdit)
            assert field._inputField.styleSheet() == LINE_SHEET
            assert field._inputField.isReadOnly()

    def test_multiple_with_tags_uses_a_plain_text_edit(self, make_field):
        field = make_field(options=[], multiple=True, renderTags=render_tags)
        assert isinstance(field._inputField, QPlainTextEdit)
        assert field._inputField.styleSheet() == PLAIN_SHEET
        assert field._inputField.layout().contentsMargins().right() == 54


class TestPlaceholderAndTitle:
    def test_label_is_the_placeholder_without_default(self, make_field):
        assert make_field(options=list(FRUITS), label="Fruit")._inputField.placeholderText() == "Fruit"

    def test_no_placeholder_from_label_with_a_default(self, make_field):
        assert make_field(options=list(FRUITS), label="Fruit", defaultValue="apple")._inputField.placeholderText() == ""

    def test_required_title_has_an_asterisk(self, make_field):
        field = make_field(options=[], label="Fruit", required=True)
        field._show_label()
        assert field.title() == "Fruit*"

    def test_hidden_label(self, make_field):
        field = make_field(options=[], label="Fruit", hiddenLabel=True)
        field.setTitle("keep")
        field._show_label()
        field._set_translated_label()
        assert field.title() == "keep"
        field._hide_label()
        assert field.title() == ""

    def test_language_change_retitles_only_a_shown_title(self, make_field):
        chosen = make_field(options=list(FRUITS), label="Fruit", value="apple")
        empty = make_field(options=list(FRUITS), label="Fruit")
        assert chosen.title() == "Fruit" and empty.title() == ""
        try:
            i18n.set_language("vi")
            assert chosen.title() == "Trái cây"
            # The empty field shows its label once, as the placeholder, now translated.
            assert empty.title() == "" and empty._inputField.placeholderText() == "Trái cây"
            i18n.set_language("en")
            assert chosen.title() == "Fruit" and empty._inputField.placeholderText() == "Fruit"
        finally:
            i18n.set_language("en")

    def test_language_change_translates_the_placeholder_text_and_keeps_an_own_one(self, make_field):
        cleared = make_field(options=list(FRUITS), label="Fruit", placeholder="Fruit")
        cleared._on_clear_text()
        own = make_field(options=list(FRUITS), label="Fruit")
        own._inputField.setPlaceholderText("type here")
        try:
            i18n.set_language("vi")
            assert cleared._inputField.placeholderText() == "Trái cây"
            assert own._inputField.placeholderText() == "type here"
        finally:
            i18n.set_language("en")


class TestProperties:
    def test_setters_write_without_repolish(self, make_field):
        field = make_field(options=[])
        field._set_filled_foucusin_prop(True)
        field._set_filled_has_value_prop(False)
        assert field.property("filledHasValue") is False
        field._set_multiple_has_value_prop(True)
        field._set_prop_has_start_adornment(True)
        assert field.property("multipleHasValue") is True and field.property("hasStartAdornment") is True

    def test_hovered_prop_follows_state_bool_and_disabled(self, make_field):
        hovered = State(True)
        field = make_field(options=[], hovered=hovered)
        field._set_hovered_prop()
        assert field.property("hovered") is True
        off = make_field(options=[], hovered=True, disabled=True)
        sheet = off.styleSheet()
        off._set_hovered_prop()
        assert off.property("hovered") is None and off.styleSheet() == sheet
        odd = make_field(options=[], hovered="yes")
        odd._set_hovered_prop()
        assert odd.property("hovered") is None

    def test_style_sheet_selects_on_the_dynamic_properties(self, make_field):
        sheet = make_field(options=[], variant="filled").styleSheet()
        for prop in ("error", "multipleHasValue", "filledHasValue", "hasStartAdornment"):
            assert f'[{prop}="true"]' in sheet
        assert ":hover {" in sheet  # the pointer's hover; "hovered" forced away from it: see the looks tests

    def test_value_text_is_dark_when_enabled_and_dim_when_disabled(self, make_field, qapp):
        def darkest(field):
            qapp.processEvents()
            window = field.window()
            image = window.grab().toImage()  # as the window paints it, sheets of the ancestors included
            edit = field._inputField
            corner = edit.mapTo(window, edit.rect().topLeft())
            return min(image.pixelColor(x, y).lightness()
                       for x in range(corner.x() + 2, corner.x() + 80) for y in range(corner.y() + 2, corner.y() + edit.height() - 2))

        enabled = make_field(options=["Banana"], defaultValue="Banana")
        disabled = make_field(options=["Banana"], defaultValue="Banana", disabled=True)
        assert darkest(enabled) < 80 < darkest(disabled)

    def test_theme_switch_restyles(self, make_field):
        field = make_field(options=[])
        before = field.styleSheet()
        try:
            set_theme_mode("dark")
            assert field.styleSheet() != before
        finally:
            set_theme_mode("light")


class TestBadInput:
    @pytest.mark.parametrize(
        "kwargs, fragment",
        [
            ({"options": "abc"}, "'options'"),
            ({"options": [1, 2]}, "'options'"),
            ({"options": [], "getOptionLabel": "label"}, "'getOptionLabel'"),
            ({"options": [], "variant": "fancy"}, "'variant' must be one of filled, outlined, standard"),
            ({"options": [], "size": "huge"}, "'size'"),
            ({"options": [], "color": "pink"}, "'color'"),
            ({"options": [], "margin": "wide"}, "'margin'"),
        ],
    )
    def test_refused_with_a_clear_error_and_nothing_left_in_the_parent(self, qtbot, kwargs, fragment, qapp):
        parent = QWidget()
        qtbot.addWidget(parent)
        with pytest.raises((TypeError, ValueError), match=fragment):
            SelectBase(parent, **kwargs)
        assert not [c for c in parent.children() if isinstance(c, SelectBase)]
        flush_deletes(qapp)


class TestLifetime:
    def test_deleted_field_is_collected_and_hears_nothing(self, qtbot, qapp):
        value = State("apple")
        err = State(False)
        field = SelectBase(options=list(FRUITS), label="Fruit", value=value, error=err, getOptionLabel=label)
        field.show()
        field._show_popup()
        field._hide_popup()
        ref = weakref.ref(field)
        field.deleteLater()
        del field
        flush_deletes(qapp)
        gc.collect()
        assert ref() is None
        # None of these may reach the deleted field or raise.
        i18n.set_language("vi")
        i18n.set_language("en")
        set_theme_mode("dark")
        set_theme_mode("light")
        value.setValue("pear")
        err.setValue(True)
        qapp.processEvents()

    def test_field_deleted_with_its_popup_open_leaves_no_window(self, qtbot, qapp):
        field = SelectBase(options=list(FRUITS))
        field.show()
        field._show_popup()
        name = field._popup.objectName()
        field.deleteLater()
        del field
        flush_deletes(qapp)
        assert not [w for w in QApplication.topLevelWidgets() if isValid(w) and w.objectName() == name]
        qtbot.mouseClick(qapp.mainWindow, Qt.MouseButton.LeftButton)  # the app-wide filter is gone too

    def test_pending_refocus_dies_with_the_field(self, qtbot, qapp, monkeypatch):
        field = SelectBase(options=list(FRUITS))
        field.show()
        monkeypatch.setattr("PySide6.QtWidgets.QApplication.widgetAt", lambda *a: field._btnSelect)
        field.focusOutEvent(None)
        field.deleteLater()
        flush_deletes(qapp)
        qapp.processEvents()  # the 0 ms timer had the field as context: nothing runs, nothing raises
