// The helper text under the input: its current value, translation and theme style.
#include "entrybox/entry_box.h"

namespace entry_box {

nb::object _getHelperText(Args a) {
    nb::object helper = a.self().attr(VN("_helperText"));
    if (vantu::is_instance(helper, global(VN("State")))) return helper.attr(VN("value"));
    return helper;
}

nb::object _setError(Args) { return nb::none(); }

nb::object _updateHelperText(Args a) {
    nb::handle self = a.self();
    nb::object label = self.attr(VN("_helperLabel"));
    label.attr(VN("setText"))(global(VN("getTranslatedText"))(self.attr(VN("_getHelperText"))()));

    nb::object input = self.attr(VN("_input"));
    nb::object color = vantu::str_of(input.attr(VN("_color")));
    nb::object error = vantu::str_of(input.attr(VN("_getError"))());
    nb::object variant = input.attr(VN("_kwargs")).attr(VN("get"))(VN("variant"));
    label.attr(VN("setStyleSheet"))(self.attr(VN("_get_stylesheet"))(
        nb::arg("color") = color, nb::arg("error") = error, nb::arg("variant") = variant));
    return nb::none();
}

}  // namespace entry_box
