// Value, options and shown text: setters, the shown text, elision, clearing and the choice handler.
#include "pickcore/pickcore.h"

namespace pickcore {

nb::object key_for_value(nb::handle self, nb::handle value) {
    if (value.is_none() || (is_str(value) && nb::len(value) == 0)) return nb::none();
    if (is_dict(value)) return label_of(self, value);
    // A text value names an option by its label (as the shown text does), or by its "value".
    nb::object by_value = nb::none();
    for (nb::handle option : self.attr(VN("_options"))) {
        if (is_str(option)) {
            if (py_equal(option, value)) return label_of(self, option);
        } else if (is_dict(option)) {
            nb::object key = label_of(self, option);
            if (py_equal(key, value)) return key;
            if (by_value.is_none() && py_equal(nb::borrow<nb::dict>(option).attr("get")("value"), value))
                by_value = key;
        }
    }
    return by_value.is_none() ? nb::borrow(value) : by_value;
}

nb::list selection_keys(nb::handle self) {
    nb::list keys;
    nb::object getter = self.attr(VN("_getOptionLabel"));
    for (nb::handle option : nb::list(self.attr(VN("_selected_options")).attr("values")())) {
        if (is_str(option))
            keys.append(option);
        else  // mappings, and options of any other kind (numbers, say), by their label
            keys.append(vantu::truthy(getter) ? getter(option) : label_of(self, option));
    }
    return keys;
}

void sync_multiple_selection(nb::handle self) {
    nb::object setter = vantu::getattr_or_none(self, VN("_setSelectedKeys"));
    if (setter.is_none()) return;  // still under construction: the build method calls again
    nb::object value = self.attr(VN("value"));
    nb::list options;
    if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr()))
        options = nb::list(value);
    else if (!value.is_none())
        options.append(value);
    // Filed as default options are: label -> option, a later option with the same label winning.
    nb::dict selected;
    for (nb::handle option : options) selected[label_of(self, option)] = option;
    self.attr(VN("_selected_options")) = selected;
    setter(selection_keys(self));
    if (!vantu::truthy(self.attr(VN("_renderTags"))) || vantu::getattr_or_none(self, VN("_flowWidget")).is_none())
        return;
    try {
        self.attr(VN("tags")) = self.attr(VN("_renderTags"))(selected, self.attr(VN("getTagProps")));
    } catch (nb::python_error &e) {
        G.print_exc(e.value());  // as when a choice adds a tag: the field stays usable
    }
    nb::object tags = vantu::getattr_or_none(self, VN("tags"));
    replace_flow(self, tags.is_none() ? nb::object(nb::list()) : tags);
    // The label never shows through a row of tags.
    if (nb::len(selected)) self.attr(VN("_inputField")).attr(VN("setPlaceholderText"))("");
}

void sync_selected_key(nb::handle self) {
    if (vantu::truthy(self.attr(VN("_multiple")))) return;
    nb::object setter = vantu::getattr_or_none(self, VN("_setSelectedKeys"));
    if (setter.is_none()) return;  // still under construction: set once the state exists
    setter(key_for_value(self, self.attr(VN("value"))));
}

}  // namespace pickcore

namespace pickcore::select_base {

namespace {

bool is_line_edit(nb::handle w) { return vantu::is_instance(w, G.QLineEdit); }

nb::list as_key_list(nb::handle keys) {
    if (PyList_Check(keys.ptr()) || PyTuple_Check(keys.ptr())) return nb::list(keys);
    nb::list out;
    if (!keys.is_none()) out.append(keys);
    return out;
}

// Text of a multiple select that has neither a value renderer nor tags: the labels of the
// selected options, joined.
nb::str joined_labels(nb::handle self, nb::handle value) {
    if (value.is_none() || !(PyList_Check(value.ptr()) || PyTuple_Check(value.ptr()))) {
        return value.is_none() ? nb::str("") : nb::str(label_of(self, value));
    }
    nb::list parts;
    for (nb::handle option : value) parts.append(nb::str(label_of(self, option)));
    return nb::borrow<nb::str>(nb::str(", ").attr("join")(parts));
}

}  // namespace

nb::object onChange(Args a) {
    nb::handle self = a.self();
    vantu::py_print({nb::str("SelectBase___onChange___"), a[1]});
    self.attr(VN("base_set_value"))(a[1], nb::arg("setText") = false);
    return nb::none();
}

nb::object setValue(Args a) {
    nb::handle self = a.self();
    vantu::py_print({nb::str("Select------setValue"), a[1], self.attr(VN("_onChange"))});
    self.attr(VN("value")) = a[1];
    self.attr(VN("valueChanged")).attr(VN("emit"))(self.attr(VN("value")));
    nb::object on_change = self.attr(VN("_onChange"));
    if (vantu::is_callable(on_change)) on_change(self);
    return nb::none();
}

nb::object base_set_value(Args a) {
    nb::handle self = a.self();
    nb::handle value = a[1];
    if (is_list(value)) {
        nb::dict selected = nb::borrow<nb::dict>(self.attr(VN("_selected_options")));
        nb::list items = nb::list(selected.attr("items")());
        for (nb::handle item : items) {
            nb::object option = item[1];
            if (!contains_value(value, option) && PyDict_DelItem(selected.ptr(), nb::object(item[0]).ptr()) < 0)
                vantu::throw_pending();
        }
    }
    self.attr(VN("setValue"))(value);
    nb::object now = self.attr(VN("value"));
    if (vantu::truthy(self.attr(VN("_multiple")))) {
        self.attr(VN("_set_multiple_has_value_prop"))(!now.is_none());
    } else if (py_equal(self.attr(VN("_variant")), nb::str("filled"))) {
        self.attr(VN("_set_filled_has_value_prop"))(!now.is_none());
    }
    if (!value.is_none() && !py_equal(self.attr(VN("value")), nb::str(""))) self.attr(VN("_show_label"))();
    if (vantu::truthy(a[3])) self.attr(VN("_update_input_text"))();
    return nb::none();
}

nb::object _update_input_text(Args a) {
    nb::handle self = a.self();
    nb::object value = self.attr(VN("value"));
    nb::object input = self.attr(VN("_inputField"));
    nb::object getter = self.attr(VN("_getOptionLabel"));
    if (!vantu::truthy(self.attr(VN("_multiple")))) {
        if (is_dict(value)) {
            if (vantu::truthy(getter)) {
                input.attr(VN("setText"))(nb::str(getter(value)));
                input.attr(VN("setCursorPosition"))(0);
            }
        } else if (vantu::truthy(getter)) {
            for (nb::handle option : self.attr(VN("_options"))) {
                bool match = false;
                if (is_dict(option))
                    match = py_equal(getter(option), value);
                else if (is_str(option))
                    match = py_equal(option, value);
                else
                    continue;
                if (match) {
                    input.attr(VN("setText"))(nb::str(getter(option)));
                    input.attr(VN("setCursorPosition"))(0);  // a long label shows its beginning
                    break;
                }
            }
        } else {
            vantu::py_print({nb::str("_update_input_text+++++++++++++++"), value});
            input.attr(VN("setText"))(nb::str(value));
            input.attr(VN("setCursorPosition"))(0);
        }
        return nb::none();
    }
    if (vantu::truthy(self.attr(VN("_renderTags")))) return nb::none();  // the tags show the selection
    nb::object render_value = self.attr(VN("_renderValue"));
    if (vantu::truthy(render_value)) {
        vantu::py_print({nb::str("self.value_____________________"), value,
                         nb::handle(reinterpret_cast<PyObject *>(Py_TYPE(value.ptr())))});
        self.attr(VN("setElidedText"))(input, render_value(value));
        return nb::none();
    }
    self.attr(VN("setElidedText"))(input, joined_labels(self, value));
    return nb::none();
}

nb::object setElidedText(Args a) {
    nb::handle self = a.self();
    nb::handle line_edit = a[1];
    if (!is_line_edit(line_edit)) {
        PyErr_SetObject(PyExc_TypeError, nb::str("line_edit phải là QLineEdit").ptr());  // not ASCII: no format
        throw nb::python_error();
    }
    nb::object metrics = G.QFontMetrics(line_edit.attr(VN("font"))());
    long width = nb::cast<long>(line_edit.attr(VN("width"))());
    // Room left of the action frame: 54 px of buttons and margins in multiple selection,
    // the 20 px arrow frame plus a small gap in single selection.
    long available = vantu::truthy(self.attr(VN("_multiple"))) ? width - 62 : width - 28;
    nb::object elided = metrics.attr(VN("elidedText"))(a[2], G.ElideRight, available);
    line_edit.attr(VN("setText"))(elided);
    line_edit.attr(VN("setCursorPosition"))(0);  // should it not fit after all, its start shows
    line_edit.attr(VN("setToolTip"))(a[2]);
    return nb::none();
}

nb::object _set_slot(Args a) {
    nb::handle self = a.self();
    nb::object slot = a[1].attr("get")("slot");
    if (py_equal(slot, nb::str("error")))
        self.attr(VN("_inputField")).attr(VN("setProperty"))("p-error", "true");
    else if (py_equal(slot, nb::str("valid")))
        self.attr(VN("_inputField")).attr(VN("setProperty"))("p-error", "false");
    return nb::none();
}

nb::object _on_clear_text(Args a) {
    nb::handle self = a.self();
    self.attr(VN("_onClearText")) = true;
    nb::object input = self.attr(VN("_inputField"));
    if (vantu::truthy(self.attr(VN("_multiple")))) {
        self.attr(VN("_setSelectedKeys"))(nb::list());
        self.attr(VN("_btn_clear_text")).attr(VN("hide"))();
        self.attr(VN("_selected_options")) = nb::dict();
        self.attr(VN("base_set_value"))(nb::list());
        if (!vantu::getattr_or_none(self, VN("_flowWidget")).is_none()) {
            self.attr(VN("tags")) = nb::list();
            replace_flow(self, self.attr(VN("tags")));
        }
    } else {
        // Nothing is chosen any more: the list marks nothing either.
        self.attr(VN("_setSelectedKeys"))(nb::none());
        self.attr(VN("base_set_value"))(nb::str(""));
        input.attr(VN("setText"))("");
    }
    nb::object placeholder = self.attr(VN("_placeholder"));
    if (vantu::truthy(placeholder))
        set_placeholder(self, placeholder);
    else
        set_placeholder(self, nb::none());  // the label, when there is one, takes the place
    nb::object clear = vantu::getattr_or_none(self, VN("_btn_clear_text"));
    if (!clear.is_none()) clear.attr(VN("hide"))();
    return nb::none();
}

nb::object _update_selected_options(Args a) {
    nb::handle self = a.self();
    nb::handle key = a[1];
    nb::dict selected = nb::borrow<nb::dict>(self.attr(VN("_selected_options")));
    if (has_key(selected, key)) {
        // Default options are filed as label -> option: the label finds them too.
        if (PyDict_DelItem(selected.ptr(), key.ptr()) < 0) vantu::throw_pending();
    } else if (!contains_value(selected.attr("values")(), key)) {
        selected[key] = key;
    } else {
        del_first_value(selected, key);
    }
    return nb::none();
}

nb::object _selected_change(Args a) {
    nb::handle self = a.self();
    nb::dict data = nb::borrow<nb::dict>(a[1]);
    nb::object key = data.attr("get")("key");
    nb::object value = data.attr("get")("value");
    vantu::py_print({nb::str("data______________"), data});
    if (!vantu::truthy(self.attr(VN("_multiple")))) {
        self.attr(VN("_setSelectedKeys"))(key);
        self.attr(VN("base_set_value"))(value);
        nb::borrow<nb::dict>(self.attr(VN("_selected_options")))[key] = key;
        self.attr(VN("_hide_popup"))();
        self.attr(VN("style_set_stylesheet"))();
        return nb::none();
    }
    nb::object input = self.attr(VN("_inputField"));
    bool tags = vantu::truthy(self.attr(VN("_renderTags")));
    nb::object render_value = self.attr(VN("_renderValue"));
    bool shows_value = vantu::truthy(render_value) && is_line_edit(input);
    nb::list current = as_key_list(self.attr(VN("_selectedKeys")).attr(VN("value")));
    if (contains_value(current, key)) {
        nb::list remaining = nb::list(current);
        remaining.attr("remove")(key);
        self.attr(VN("_setSelectedKeys"))(remaining);
        if (tags)
            self.attr(VN("_setup_tags"))(nb::arg("key") = key);
        else
            self.attr(VN("_update_selected_options"))(key);
        self.attr(VN("base_set_value"))(nb::list(self.attr(VN("_selected_options")).attr("values")()));
        if (shows_value) self.attr(VN("setElidedText"))(input, render_value(self.attr(VN("value"))));
        return nb::none();
    }
    if (tags)
        self.attr(VN("_setup_tags"))(nb::arg("key") = key, nb::arg("option") = key);
    else
        self.attr(VN("_update_selected_options"))(key);
    nb::list keys = selection_keys(self);
    nb::list values = nb::list(self.attr(VN("_selected_options")).attr("values")());
    self.attr(VN("_setSelectedKeys"))(keys);
    self.attr(VN("base_set_value"))(values);
    if (nb::len(values) && tags) input.attr(VN("setPlaceholderText"))("");
    if (shows_value) self.attr(VN("setElidedText"))(input, render_value(self.attr(VN("value"))));
    self.attr(VN("_hide_popup"))();
    self.attr(VN("style_set_stylesheet"))();
    return nb::none();
}

}  // namespace pickcore::select_base
