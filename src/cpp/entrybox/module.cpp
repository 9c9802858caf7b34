// The `entrybox` extension: imports in the order the package expects, then the EntryBox class.
#include "entrybox/entry_box.h"

namespace entry_box {
namespace {
nb::handle module_dict;
nb::handle the_class;
}  // namespace

nb::handle global(nb::handle name) { return vantu::lookup_global(module_dict, name); }

nb::handle cls() { return the_class; }

void register_entry_box(nb::module_ &m) {
    module_dict = vantu::Forever(nb::borrow(m.attr("__dict__"))).h();
    nb::handle Signal = m.attr("Signal");
    nb::handle object_type = reinterpret_cast<PyObject *>(&PyBaseObject_Type);
    using vantu::Binding;
    vantu::ClassRecipe recipe{
        "EntryBox",
        "Material text entry: an input with a translated helper text under it.\n\n"
        "Re-emits the input's focus, blur, click, key and pointer signals and calls the\n"
        "matching optional callbacks. Built in two phases: the constructor records its\n"
        "arguments, renderUi(ctx, parent) builds the widget.",
        nb::make_tuple(m.attr("QWidget"), m.attr("Component")),
        {
            {"focusIn", Signal()},
            {"blur", Signal()},
            {"clicked", Signal(object_type)},
            {"keyDown", Signal(object_type)},
            {"keyUp", Signal(object_type)},
            {"mouseEnter", Signal()},
            {"mouseLeave", Signal()},
        },
        {
            {"__init__",
             "parent=None, helperText: Optional[Union[State, str]] = None, onBlur: Optional[Callable] = None, "
             "onFocus: Optional[Callable] = None, onClick: Optional[Callable] = None, "
             "onKeyDown: Optional[Callable] = None, onKeyUp: Optional[Callable] = None, "
             "onMouseEnter: Optional[Callable] = None, onMouseLeave: Optional[Callable] = None, "
             "fullWidth: Optional[Union[State, str]] = None, *args, **kwargs",
             __init__,
             "Records the configuration; every argument the entry box does not use goes to its input."},
            {"renderUi", "ctx: RenderContext, parent: Optional[QWidget] = None", renderUi,
             "Builds the input and the helper label under `parent`; returns the entry box.", Binding::Instance,
             "QWidget"},
            {"_getHelperText", "", _getHelperText, "The current helper text (a State's value, a text or None)."},
            {"_setError", "error: bool", _setError, "Accepted for compatibility; the input shows errors itself."},
            {"_updateHelperText", "", _updateHelperText, "Shows the translated helper text, styled from the theme."},
            {"mouseReleaseEvent", "event", mouseReleaseEvent,
             "Focuses the editable field and, in select mode, opens the option popup."},
            {"_get_stylesheet", "color: str, error: str, variant: str", _get_stylesheet,
             "Style sheet of the helper label for a colour, error flag and variant (cached).", Binding::ClassMethod,
             "str", cache_stylesheet},
            {"_handle_focus_in", "", _handle_focus_in, "Emits focusIn, then calls onFocus(entry_box)."},
            {"_handle_blur", "", _handle_blur, "Emits blur, then calls onBlur(entry_box)."},
            {"_handle_clicked", "event", _handle_clicked, "Emits clicked(event), then calls onClick(entry_box, event)."},
            {"_handle_key_down", "event", _handle_key_down,
             "Emits keyDown(event), then calls onKeyDown(entry_box, event)."},
            {"_handle_key_up", "event", _handle_key_up, "Emits keyUp(event), then calls onKeyUp(entry_box, event)."},
            {"_handle_mouse_enter", "", _handle_mouse_enter, "Emits mouseEnter, then calls onMouseEnter(entry_box)."},
            {"_handle_mouse_leave", "", _handle_mouse_leave, "Emits mouseLeave, then calls onMouseLeave(entry_box)."},
        }};
    the_class = vantu::Forever(vantu::define_class(m, recipe)).h();
}

}  // namespace entry_box

NB_MODULE(entrybox, m) {
    vantu::import_into(m, "functools", {"lru_cache"});
    vantu::import_into(m, "typing", {"Optional", "Union", "Callable"});
    vantu::import_into(m, "PySide6.QtWidgets", {"QWidget", "QVBoxLayout", "QLabel"});
    vantu::import_into(m, "PySide6.QtCore", {"Signal", "Qt"});
    vantu::import_into(m, "vantu.hooks", {"State", "useEffect"});
    vantu::import_into(m, "vantu.material.styles", {"useTheme"});
    vantu::import_into(m, "vantu.utils.translator", {"getTranslatedText"});
    vantu::import_into(m, "vantu.material.styles", {"get_qss_style"});
    vantu::import_into(m, "vantu.material.component", {"Component", "RenderContext"});
    vantu::import_into(m, "vantu.material.entrybox._input_base", {"InputBase"});
    entry_box::register_entry_box(m);
}
