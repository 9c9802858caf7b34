// The `_select` extension: imports in the order the package expects, MenuView, then the mixin.
#include "common/menu_view.h"
#include "common/qtevent.h"
#include "select_mixin/select_mixin.h"

namespace select_mixin {
namespace {
nb::handle module_dict;
}  // namespace

nb::handle global(nb::handle name) { return vantu::lookup_global(module_dict, name); }

void register_mixin(nb::module_ &m) {
    module_dict = vantu::Forever(nb::borrow(m.attr("__dict__"))).h();
    vantu::ClassRecipe recipe{
        "EntryBoxSelectMixin",
        "Select mode for the entry box's input: selected keys, clear and arrow buttons, tags\n"
        "in multiple mode, and the option popup whose choices are written back to the input.",
        nb::make_tuple(nb::handle(reinterpret_cast<PyObject *>(&PyBaseObject_Type))),
        {},
        {
            {"__init__", "**kwargs", __init__, "Sets select mode up on the configured host input."},
            {"select_setup_select_mode", "", select_setup_select_mode,
             "Creates the selected-keys state, the action frame, the tags input and the buttons."},
            {"_setIcons", "", _setIcons, "Gives the arrow and clear buttons their icons."},
            {"select_show_popup", "search=None", select_show_popup, "Opens the option popup under (or above) the input."},
            {"select_hide_popup", "", select_hide_popup, "Closes the option popup."},
            {"select_toggle_popup", "e=None", select_toggle_popup, "Opens a closed popup, closes an open one."},
            {"_btn_select_toggle_popup", "e=None", _btn_select_toggle_popup, "The arrow button's toggle."},
            {"select_update_popup_position", "", select_update_popup_position,
             "Moves a visible popup to its place for the input as it is now."},
            {"select_create_menu", "", select_create_menu, "Builds the list container of the popup."},
            {"select_about_to_hide", "", select_about_to_hide, "Marks the popup closed without touching it."},
            {"select_selected_change", "data: dict", select_selected_change,
             "Applies a choice {'key': ..., 'value': ...} from the option list."},
        }};
    vantu::define_class(m, recipe);
    m.attr("_place_popup") = vantu::make_function(
        m, {"_place_popup", "anchor, menu_height, popup_size, limit_y, bounds", _place_popup,
            "Top-left corner (x, y) of the popup for an input rectangle (x, y, w, h).", vantu::Binding::Plain},
        nullptr);
    vantu::qtevent::register_helpers(m);
    m.attr("_input_event_filter") = vantu::make_function(
        m, {"eventFilter", "self, watched, event", _input_event_filter,
            "The host input's application-wide filter: events its `_filter_application_event` acts on go "
            "there; every other event is answered False at once.", vantu::Binding::Plain, nullptr, nullptr,
            vantu::shortcut<_input_event_filter_shortcut>},
        nullptr);
}

}  // namespace select_mixin

NB_MODULE(_select, m) {
    vantu::import_module_into(m, "asyncio", "asyncio");
    vantu::import_module_into(m, "uuid", "uuid");
    vantu::import_into(m, "typing", {"Callable", "TYPE_CHECKING", "Optional"});
    vantu::import_into(m, "PySide6.QtCore", {"QTimer", "QPoint", "QSize", "Qt"});
    vantu::import_into(m, "PySide6.QtWidgets", {"QPushButton", "QApplication", "QWidget", "QSizePolicy", "QHBoxLayout",
                                                 "QSpinBox", "QDoubleSpinBox", "QFrame", "QVBoxLayout"});
    vantu::import_into(m, "PySide6.QtGui", {"QIcon"});
    vantu::import_into(m, "vantu.hooks.use_state", {"State", "useState"});
    vantu::import_into(m, "vantu.vantu_assets", {"VANTU_ASSETS"});
    vantu::import_into(m, "vantu.material.list_view", {"ListView"});
    vantu::import_into(m, "vantu.material.component", {"Component", "RenderContext"});
    vantu::import_into(m, "vantu.material.entrybox.eb_line_edit_multiple", {"EBLineEditMultiple"});
    vantu::import_into(m, "vantu.material.entrybox._flow_widget", {"FlowWidget"});
    vantu::import_into(m, "vantu.material.entrybox._tags_view", {"TagsView"});
    vantu::register_menu_view(m);
    select_mixin::register_mixin(m);
}
