// The field's title (its translated label) and the dynamic properties its style sheet reads.
#include "pickcore/pickcore.h"

namespace pickcore::select_base {

nb::object _set_translated_label(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_hiddenLabel")))) return nb::none();
    nb::object text = G.getTranslatedText(self.attr(VN("_label")));
    if (vantu::truthy(self.attr(VN("_required"))))
        self.attr(VN("setTitle"))(nb::str(text) + nb::str("*"));
    else
        self.attr(VN("setTitle"))(text);
    return nb::none();
}

nb::object _show_label(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_hiddenLabel")))) return nb::none();
    self.attr(VN("_set_translated_label"))();
    return nb::none();
}

nb::object _hide_label(Args a) {
    a.self().attr(VN("setTitle"))("");
    return nb::none();
}

nb::object _set_hovered_prop(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_disabled")))) return nb::none();
    nb::object hovered = self.attr(VN("_hovered"));
    if (vantu::is_instance(hovered, G.State))
        self.attr(VN("setProperty"))("hovered", hovered.attr(VN("value")));
    else if (PyBool_Check(hovered.ptr()))
        self.attr(VN("setProperty"))("hovered", hovered);
    self.attr(VN("style_set_stylesheet"))();
    return nb::none();
}

nb::object _set_multiple_has_value_prop(Args a) {
    a.self().attr(VN("setProperty"))("multipleHasValue", a[1]);
    return nb::none();
}

nb::object _set_filled_has_value_prop(Args a) {
    a.self().attr(VN("setProperty"))("filledHasValue", a[1]);
    return nb::none();
}

nb::object _set_filled_foucusin_prop(Args a) {
    a.self().attr(VN("setProperty"))("filledHasValue", a[1]);
    return nb::none();
}

nb::object _set_prop_has_start_adornment(Args a) {
    a.self().attr(VN("setProperty"))("hasStartAdornment", a[1]);
    return nb::none();
}

}  // namespace pickcore::select_base
