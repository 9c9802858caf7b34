// The choice handler: what a pick in the popup does to the keys, the value, the tags and the text.
#include "select_mixin/select_mixin.h"

namespace select_mixin {
namespace {

nb::object entry(nb::handle data, const char *name) {
    PyObject *v = PyDict_GetItemString(data.ptr(), name);
    return v ? nb::borrow(v) : nb::none();
}

nb::list selected_values(nb::handle self) {
    nb::list values;
    for (nb::handle option : self.attr(VN("_selected_options")).attr(VN("values"))()) values.append(option);
    return values;
}

void show_rendered_value(nb::handle self) {
    nb::object render_value = self.attr(VN("_renderValue"));
    if (vantu::truthy(render_value))
        self.attr(VN("_inputField")).attr(VN("setText"))(render_value(self.attr(VN("value"))));
}

nb::object take_out(nb::handle self, nb::handle key) {
    nb::object keys = self.attr(VN("_selectedKeys")).attr(VN("value")).attr(VN("copy"))();
    keys.attr(VN("remove"))(key);
    self.attr(VN("_setSelectedKeys"))(keys);
    if (vantu::truthy(self.attr(VN("_renderTags"))))
        self.attr(VN("tags_setup_tags"))(nb::arg("key") = key);
    else
        // With or without a value renderer the record must lose the option, so keys, value and
        // shown text keep agreeing.
        self.attr(VN("tags_update_selected_options"))(key);
    nb::list values = selected_values(self);
    vantu::py_print({nb::str("select_selected_change___________values"), values});
    self.attr(VN("base_set_value"))(values);
    show_rendered_value(self);
    return nb::none();
}

nb::object add(nb::handle self, nb::handle key) {
    if (vantu::truthy(self.attr(VN("_renderTags"))))
        self.attr(VN("tags_setup_tags"))(nb::arg("key") = key, nb::arg("option") = key);
    else
        self.attr(VN("tags_update_selected_options"))(key);
    nb::list keys, values;
    nb::object get_label = self.attr(VN("_getOptionLabel"));
    const bool has_label = vantu::truthy(get_label);
    for (nb::handle option : self.attr(VN("_selected_options")).attr(VN("values"))()) {
        if (PyDict_Check(option.ptr())) {
            values.append(option);
            if (has_label) keys.append(get_label(option));
        } else if (PyUnicode_Check(option.ptr())) {
            values.append(option);
            keys.append(option);
        }
    }
    self.attr(VN("_setSelectedKeys"))(keys);
    self.attr(VN("base_set_value"))(values);
    show_rendered_value(self);
    self.attr(VN("select_hide_popup"))();
    return nb::none();
}

}  // namespace

nb::object select_selected_change(Args a) {
    nb::handle self = a.self();
    nb::handle data = a[1];
    nb::object key = entry(data, "key");
    nb::object value = entry(data, "value");

    if (vantu::truthy(self.attr(VN("_multiple")))) {
        int found = PySequence_Contains(self.attr(VN("_selectedKeys")).attr(VN("value")).ptr(), key.ptr());
        if (found < 0) vantu::throw_pending();
        return found ? take_out(self, key) : add(self, key);
    }

    if (!vantu::truthy(value)) {
        value = nb::none();
        nb::object get_label = self.attr(VN("_getOptionLabel"));
        // The last option with that label wins.
        for (nb::handle option : self.attr(VN("_options"))) {
            if (get_label(option).equal(key)) value = nb::borrow(option);
        }
    }
    self.attr(VN("_setSelectedKeys"))(key);
    self.attr(VN("base_set_value"))(value);
    nb::dict update;
    update[key] = key;
    self.attr(VN("_selected_options")).attr(VN("update"))(update);
    self.attr(VN("select_hide_popup"))();
    return nb::none();
}

}  // namespace select_mixin
