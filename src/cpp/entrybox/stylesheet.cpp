// The helper label's style sheet, built from the theme's "KelInput" helperLabel slot and
// cached per class, colour, error flag and variant.
#include "entrybox/entry_box.h"

namespace entry_box {

nb::object cache_stylesheet(nb::object fn) {
    return global(VN("lru_cache"))(nb::arg("maxsize") = 128)(fn);
}

nb::object _get_stylesheet(Args a) {
    // a[0] is the class; the three texts were checked for their exact type on entry.
    nb::object color = nb::borrow(a[1]);
    nb::handle error = a[2];
    nb::handle variant = a[3];

    nb::object theme = global(VN("useTheme"))();
    nb::object components = theme.attr(VN("components"));
    if (color.equal(nb::str("None")) || color.equal(nb::str("none"))) color = nb::none();
    nb::dict own_state;
    own_state["color"] = color;

    nb::handle get_qss_style = global(VN("get_qss_style"));
    nb::object kel_input = components[VN("KelInput")].attr(VN("get"))(VN("styles"));
    nb::object helper_label = kel_input[VN("helperLabel")](own_state);
    nb::object helper_qss = get_qss_style(helper_label);
    nb::object error_qss = nb::str("");
    if (nb::borrow(error).equal(nb::str("True"))) error_qss = get_qss_style(helper_label[VN("slots")][VN("error")]);
    nb::object standard_qss = nb::str("");
    if (nb::borrow(variant).equal(nb::str("standard")))
        standard_qss = get_qss_style(helper_label[VN("props")][VN("standard")]);

    nb::object sheet = nb::str("\n            QLabel {\n                ") + vantu::str_of(helper_qss) +
                    nb::str("\n                /* KelInput_helperLabel_slot_color_qss */\n                ") +
                    vantu::str_of(error_qss) + nb::str("\n                ") + vantu::str_of(standard_qss) +
                    nb::str("\n            }\n        ");
    return sheet;
}

}  // namespace entry_box
