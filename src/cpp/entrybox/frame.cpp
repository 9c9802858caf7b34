// EntryBox construction (records the configuration), rendering and mouse release.
#include "entrybox/entry_box.h"

namespace entry_box {
namespace {

struct QtRefs {
    nb::handle other_focus, ibeam, transparent_for_mouse, super_type;
};

const QtRefs &qt() {
    static const QtRefs refs = [] {
        nb::handle Qt = global(VN("Qt"));
        return QtRefs{
            vantu::Forever(Qt.attr("FocusReason").attr("OtherFocusReason")).h(),
            vantu::Forever(Qt.attr("CursorShape").attr("IBeamCursor")).h(),
            vantu::Forever(Qt.attr("WidgetAttribute").attr("WA_TransparentForMouseEvents")).h(),
            vantu::Forever(nb::module_::import_("builtins").attr("super")).h(),
        };
    }();
    return refs;
}

/// super(EntryBox, self): the next class in the instance's own MRO, as a Python method would reach it.
nb::object super_of(nb::handle self) { return qt().super_type(cls(), self); }

}  // namespace

nb::object __init__(Args a) {
    nb::handle self = a.self();
    nb::handle helper = a[2];
    // Refuse a helper text the label could never show before anything is stored.
    if (!helper.is_none() && !PyUnicode_CheckExact(helper.ptr()) && !vantu::is_instance(helper, global(VN("State"))))
        vantu::raise(PyExc_TypeError,
                     "Argument 'helperText' has incorrect type (expected State, str or None, got %.200s)",
                     Py_TYPE(helper.ptr())->tp_name);
    self.attr(VN("_args")) = a[11];
    self.attr(VN("_kwargs")) = a[12];
    self.attr(VN("_fullWidth")) = a[10];
    self.attr(VN("_onBlur")) = a[3];
    self.attr(VN("_onFocus")) = a[4];
    self.attr(VN("_onClick")) = a[5];
    self.attr(VN("_onKeyDown")) = a[6];
    self.attr(VN("_onKeyUp")) = a[7];
    self.attr(VN("_onMouseEnter")) = a[8];
    self.attr(VN("_onMouseLeave")) = a[9];
    self.attr(VN("_helperText")) = helper;
    return nb::none();
}

nb::object renderUi(Args a) {
    nb::handle self = a.self();
    nb::handle ctx = a[1];
    super_of(self).attr(VN("__init__"))(a[2]);

    self.attr(VN("setLayout"))(global(VN("QVBoxLayout"))());
    nb::object layout = self.attr(VN("layout"))();
    layout.attr(VN("setContentsMargins"))(0, 0, 0, 0);
    layout.attr(VN("setSpacing"))(0);
    self.attr(VN("setCursor"))(qt().ibeam);

    // InputBase(*args, parent=self, ctx=ctx, **kwargs): parent and ctx come before the extra keywords.
    nb::dict kwargs;
    kwargs[VN("parent")] = self;
    kwargs[VN("ctx")] = ctx;
    nb::object extra = self.attr(VN("_kwargs"));
    nb::object args = self.attr(VN("_args"));
    nb::object input_base = nb::borrow(global(VN("InputBase")));
    nb::object input;
    {
        nb::object merged_args = nb::steal(PySequence_Tuple(args.ptr()));
        if (!merged_args.is_valid()) vantu::throw_pending();
        nb::object all_kwargs = nb::steal(PyDict_New());
        if (PyDict_Update(all_kwargs.ptr(), kwargs.ptr()) < 0) vantu::throw_pending();
        nb::object keys = nb::steal(PyMapping_Keys(extra.ptr()));
        if (!keys.is_valid()) vantu::throw_pending();
        for (nb::handle key : keys) {
            if (PyDict_Contains(all_kwargs.ptr(), key.ptr()) == 1) {
                // The interpreter's own wording for a class called with a doubled keyword.
                nb::object module = input_base.attr("__module__");
                nb::object qualname = input_base.attr("__qualname__");
                vantu::raise(PyExc_TypeError, "%S.%S() got multiple values for keyword argument '%S'",
                             module.ptr(), qualname.ptr(), key.ptr());
            }
            all_kwargs[key] = extra[key];
        }
        input = nb::steal(PyObject_Call(input_base.ptr(), merged_args.ptr(), all_kwargs.ptr()));
        if (!input.is_valid()) vantu::throw_pending();
    }
    self.attr(VN("_input")) = input;
    layout.attr(VN("addWidget"))(input);

    nb::object label = global(VN("QLabel"))();
    self.attr(VN("_helperLabel")) = label;
    label.attr(VN("setAttribute"))(qt().transparent_for_mouse);
    // The sheet's margin alone places the text: without this a styled label adds an indent
    // of half an "x" and the helper text no longer lines up with the field's text.
    label.attr(VN("setIndent"))(0);
    layout.attr(VN("addWidget"))(label);

    self.attr(VN("_updateHelperText"))();

    static const char *const pairs[][2] = {
        {"focusIn", "_handle_focus_in"},   {"blur", "_handle_blur"},       {"clicked", "_handle_clicked"},
        {"keyDown", "_handle_key_down"},   {"keyUp", "_handle_key_up"},    {"mouseEnter", "_handle_mouse_enter"},
        {"mouseLeave", "_handle_mouse_leave"},
    };
    for (const auto &p : pairs) input.attr(p[0]).attr(VN("connect"))(self.attr(p[1]));

    nb::object helper = self.attr(VN("_helperText"));
    if (vantu::is_instance(helper, global(VN("State")))) {
        nb::list deps;
        deps.append(helper);
        global(VN("useEffect"))(self.attr(VN("_updateHelperText")), deps, nb::arg("component") = self);
    }
    return nb::borrow(self);
}

nb::object mouseReleaseEvent(Args a) {
    nb::handle self = a.self();
    nb::object input = self.attr(VN("_input"));
    input.attr(VN("_inputField")).attr(VN("setFocus"))(qt().other_focus);
    if (vantu::truthy(input.attr(VN("_select")))) input.attr(VN("select_show_popup"))();
    return super_of(self).attr(VN("mouseReleaseEvent"))(a[1]);
}

}  // namespace entry_box
