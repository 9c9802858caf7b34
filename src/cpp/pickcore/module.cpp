// The pickcore extension: module-body imports in order, then MenuView, HeightItem, SelectBase.
#include "pickcore/pickcore.h"

#include "common/menu_view.h"
#include "common/qtevent.h"

using namespace pickcore;
using vantu::Binding;

namespace {

nb::object signal(std::initializer_list<nb::handle> types) {
    nb::tuple args = nb::steal<nb::tuple>(PyTuple_New(static_cast<Py_ssize_t>(types.size())));
    Py_ssize_t i = 0;
    for (nb::handle t : types) PyTuple_SET_ITEM(args.ptr(), i++, nb::borrow(t).release().ptr());
    return G.Signal(*args);
}

nb::object text_list(std::initializer_list<const char *> items) {
    nb::list out;
    for (const char *s : items) out.append(nb::str(s));
    return out;
}

}  // namespace

NB_MODULE(pickcore, m) {
    vantu::import_module_into(m, "asyncio", "asyncio");
    vantu::import_into(m, "typing", {"Optional"});
    vantu::import_module_into(m, "uuid", "uuid");
    vantu::import_into(m, "PySide6.QtWidgets",
                       {"QVBoxLayout", "QWidget", "QHBoxLayout", "QPlainTextEdit", "QLineEdit", "QApplication",
                        "QSizePolicy", "QPushButton", "QFrame", "QGroupBox", "QLabel"});
    vantu::import_into(m, "PySide6.QtCore", {"Qt", "QPoint", "Signal", "QTimer", "QEvent"});
    vantu::import_into(m, "PySide6.QtGui", {"QCursor", "QFontMetrics", "QIcon"});
    vantu::import_into(m, "vantu.hooks", {"State"});
    vantu::import_into(m, "vantu.utils.translator", {"getTranslatedText"});
    vantu::import_into(m, "vantu.material.select.flow_widget", {"FlowWidget"});
    vantu::import_into(m, "vantu.material.select.tags_view", {"TagsView"});
    vantu::import_into(m, "vantu.hooks", {"useState"});
    vantu::import_into(m, "vantu.material.styles", {"useTheme"});
    vantu::import_into(m, "vantu.i18n.use_translation", {"translate", "i18n"});
    vantu::import_into(m, "vantu.vantu_assets", {"VANTU_ASSETS"});
    vantu::import_into(m, "vantu.material.iconify", {"Iconify"});
    vantu::import_into(m, "vantu.material.widget_base", {"PyWidgetBase"});
    vantu::import_into(m, "vantu.material.list_view.list_view", {"ListView"});
    vantu::import_into(m, "vantu.hooks", {"useEffect"});
    vantu::import_into(m, "vantu.material.component", {"Component", "RenderContext"});
    vantu::import_into(m, "vantu.material.select._serializer", {"SelectSerializer"});
    vantu::import_into(m, "vantu.material.select._style", {"SelectStyleMixin"});
    vantu::import_into(m, "vantu.material.select._getter", {"SelectGetterMixin"});

    vantu::register_menu_view(m);
    load_globals(m);
    register_inputs(m);

    vantu::ClassRecipe height_item{"HeightItem",
                                 "A plain spacer widget for other modules' layouts.",
                                 nb::make_tuple(G.QWidget),
                                 {},
                                 {{"__init__", "", height_item::__init__, "Builds an empty widget."}}};
    vantu::define_class(m, height_item);

    namespace sb = select_base;
    nb::handle object_type = reinterpret_cast<PyObject *>(&PyBaseObject_Type);
    vantu::ClassRecipe recipe{
        "SelectBase",
        "A Material select field: a group box showing the chosen option(s) in a read-only input, "
        "with a clear button, an arrow button and a popup list of options.",
        nb::make_tuple(G.QGroupBox, G.SelectSerializer, G.SelectStyleMixin, G.SelectGetterMixin),
        {
            {"showPlaceholder", signal({})},
            {"valueChanged", signal({object_type})},
            {"updatePopupPosition", signal({})},
            {"createMenu", signal({})},
            {"renderSearchMenuItems", signal({object_type})},
            {"VALID_COLORS", text_list({"primary", "secondary", "error", "info", "success", "warning"})},
            {"VALID_MARGINS", text_list({"dense", "none", "normal"})},
            {"VALID_SIZES", text_list({"medium", "small"})},
            {"VALID_VARIANTS", text_list({"filled", "outlined", "standard"})},
        },
        {
            {"__init__", "parent=None, *args, **kwargs", sb::__init__, "Builds the field from keyword arguments.",
             Binding::Instance, "None"},
            {"__init_ui", "", sb::__init_ui, "Builds the layout, input, select mode and style."},
            {"_setup_default_tags", "", sb::_setup_default_tags, "Shows the default options of a multiple select."},
            {"_setup_select_mode", "", sb::_setup_select_mode, "Selected keys, action frame, buttons and tags."},
            {"_create_menu", "", sb::_create_menu, "Builds the popup's option container."},
            {"onFlowlayoutMousePressEvent", "event=None", sb::onFlowlayoutMousePressEvent,
             "A press on the tag area toggles the popup."},
            {"onChange", "value=None", sb::onChange, "Sets the value from outside, keeping the shown text."},
            {"_base_on_error_state_changed", "", sb::_base_on_error_state_changed, "Follows the error state."},
            {"base_update_style", "", sb::base_update_style, "Re-polishes after a dynamic property change."},
            {"_connect_signals_props", "", sb::_connect_signals_props, "Follows outside State arguments."},
            {"setControlledState", "v=None", sb::setControlledState, "Applies an outside value silently."},
            {"setValue", "v=None", sb::setValue, "Stores the value, emits valueChanged, calls onChange."},
            {"base_set_value", "value=None, valueChanged=True, setText=True", sb::base_set_value,
             "The central value setter."},
            {"_update_input_text", "", sb::_update_input_text, "Recomputes the shown text from the value."},
            {"setElidedText", "line_edit: QLineEdit, text: str", sb::setElidedText,
             "Shows text elided to the input's width, the full text as tooltip."},
            {"_set_slot", "data", sb::_set_slot, "Marks the input valid or in error."},
            {"_update_popup_position", "", sb::_update_popup_position, "Moves the popup under the field."},
            {"_hide_popup", "", sb::_hide_popup, "Closes the popup."},
            {"_on_clear_text", "e=None", sb::_on_clear_text, "Clears the selection."},
            {"getTagProps", "index", sb::getTagProps, "Props for a tag: its onDelete callable."},
            {"_on_tag_deleted", "index", sb::_on_tag_deleted, "A tag's delete control was used."},
            {"_update_selected_options", "key=None, option=None", sb::_update_selected_options,
             "Toggles a key in the selected options."},
            {"_setup_tags", "key=None, option=None", sb::_setup_tags, "Adds or removes a tag and rebuilds them."},
            {"_selected_change", "data: dict", sb::_selected_change, "Handles a choice in the option list."},
            {"_show_label", "", sb::_show_label, "Shows the title unless hidden."},
            {"_set_translated_label", "", sb::_set_translated_label, "Sets the title to the translated label."},
            {"_retranslate_label", "", sb::_retranslate_label,
             "After a language switch: translates a shown title and the label placeholder again."},
            {"_hide_label", "", sb::_hide_label, "Clears the title."},
            {"_set_hovered_prop", "", sb::_set_hovered_prop, "Copies the hovered state into its property."},
            {"_set_multiple_has_value_prop", "state", sb::_set_multiple_has_value_prop, "Sets multipleHasValue."},
            {"_set_filled_has_value_prop", "state: bool", sb::_set_filled_has_value_prop, "Sets filledHasValue."},
            {"_set_filled_foucusin_prop", "state: bool", sb::_set_filled_foucusin_prop,
             "Sets filledHasValue on focus changes."},
            {"_set_prop_has_start_adornment", "state: bool", sb::_set_prop_has_start_adornment,
             "Sets hasStartAdornment."},
            {"setup_action_frame_and_adornment", "", sb::setup_action_frame_and_adornment,
             "Places the action frame at the right edge."},
            {"_toggle_popup", "e=None", sb::_toggle_popup, "Opens or closes the popup."},
            {"_show_popup", "search=None", sb::_show_popup, "Opens the popup under or above the field."},
            {"leaveEvent", "event", sb::leaveEvent, "Pointer left."},
            {"resizeEvent", "event", sb::resizeEvent, "Re-places the action frame."},
            {"focusInEvent", "event", sb::focusInEvent, "Shows the label."},
            {"focusOutEvent", "event", sb::focusOutEvent, "Reconciles the text with the options."},
            {"enterEvent", "event", sb::enterEvent, "Pointer entered."},
            {"onInputFieldFocusOutEvent", "event", sb::onInputFieldFocusOutEvent, "The input lost focus."},
            {"onInputFieldMousePressEvent", "event", sb::onInputFieldMousePressEvent, "A press on the input."},
            {"eventFilter", "obj, event", sb::eventFilter, "Closes the popup on outside presses and wheel turns.",
             Binding::Instance, nullptr, nullptr, vantu::shortcut<sb::eventFilter_shortcut>},
            {"_on_input_key_press", "event", sb::_on_input_key_press,
             "Keys on the input: Down or Alt+Down opens the list; while it is open Up, Down, Page Up/Down, "
             "Home and End move its current row, Enter chooses it, Escape or Alt+Up/Down closes it. "
             "Returns True when the key was used."},
        }};
    vantu::define_class(m, recipe);

    vantu::Method place{"place_popup", "anchor, popup, limit_y, bounds", sb::place_popup_py,
                        "Top-left corner (QPoint) of a popup of size `popup` for a field at `anchor` (global "
                        "QRect): under it, or above when `limit_y` minus the field's bottom is less than the "
                        "popup's height; then kept inside `bounds` (QRect), flipping side when that fits.",
                        Binding::Plain};
    m.attr("place_popup") = vantu::make_function(m, place, nullptr);

    vantu::qtevent::register_helpers(m);
}
