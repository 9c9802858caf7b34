// The field's title (its translated label) and the dynamic properties its style sheet reads.
#include "pickcore/pickcore.h"

namespace pickcore {

void set_placeholder(nb::handle self, nb::handle key) {
    nb::object text = key.is_none() ? nb::str("") : nb::str(G.getTranslatedText(key));
    self.attr(VN("_inputField")).attr(VN("setPlaceholderText"))(text);
    self.attr(VN("_placeholderSource")) = key.is_none() ? nb::none() : nb::object(nb::make_tuple(key, text));
}

bool shows_value(nb::handle self) {
    nb::object value = self.attr(VN("value"));
    if (vantu::truthy(self.attr(VN("_multiple")))) return vantu::truthy(value);
    return !value.is_none() && !py_equal(value, nb::str(""));
}

void reflect_value(nb::handle self) {
    if (shows_value(self)) {
        self.attr(VN("_show_label"))();
        return;
    }
    nb::object input = self.attr(VN("_inputField"));
    if (vantu::truthy(self.attr(VN("hasFocus"))()) || vantu::truthy(input.attr(VN("hasFocus"))())) return;
    // Empty and unfocused: the label moves back into the field as its placeholder (most fields
    // are built that way already: nothing to redo then).
    if (vantu::truthy(self.attr(VN("title"))())) self.attr(VN("_hide_label"))();
    nb::object label = self.attr(VN("_label"));
    nb::object source = vantu::getattr_or_none(self, VN("_placeholderSource"));
    if (!source.is_none() && source[0].is(label) &&
        py_equal(input.attr(VN("placeholderText"))(), source[1]))
        return;
    set_placeholder(self, label);
}

}  // namespace pickcore

namespace pickcore::select_base {

nb::object _set_translated_label(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_hiddenLabel")))) return nb::none();
    nb::object text = G.getTranslatedText(self.attr(VN("_label")));
    if (vantu::truthy(self.attr(VN("_required"))))
        self.attr(VN("setTitle"))(nb::str(text) + nb::str("*"));
    else
        self.attr(VN("setTitle"))(text);
    self.attr(VN("style_sync_state"))();  // the filled variant lays its value out under a title
    return nb::none();
}

nb::object _show_label(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_hiddenLabel")))) return nb::none();
    self.attr(VN("_set_translated_label"))();
    return nb::none();
}

nb::object _retranslate_label(Args a) {
    nb::handle self = a.self();
    // Only a title on show is retitled: an empty field shows its label as the placeholder, and
    // titling it as well would show the label twice.
    if (vantu::truthy(self.attr(VN("title"))())) self.attr(VN("_set_translated_label"))();
    nb::object source = vantu::getattr_or_none(self, VN("_placeholderSource"));
    if (source.is_none()) return nb::none();
    nb::object input = vantu::getattr_or_none(self, VN("_inputField"));
    if (input.is_none()) return nb::none();
    // Left alone when the application has set a placeholder of its own since.
    nb::object shown = input.attr(VN("placeholderText"))();
    if (!vantu::truthy(shown) || !py_equal(shown, source[1])) return nb::none();
    set_placeholder(self, source[0]);
    return nb::none();
}

nb::object _hide_label(Args a) {
    a.self().attr(VN("setTitle"))("");
    a.self().attr(VN("style_sync_state"))();
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
