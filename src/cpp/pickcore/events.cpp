// Pointer, focus and event filtering: hover, resize, focus in and out (with the reconciliation
// of the input's text), presses on the input, and the filter that closes the popup.
#include "pickcore/pickcore.h"

namespace pickcore::select_base {

namespace {

nb::object base(const char *name) { return G.QGroupBox.attr(name); }

// Focus left while the pointer is on one of the field's buttons: give it back to the input on
// the next turn of the loop. The timer's context is the field, so it dies with the field.
bool refocus_if_under(nb::handle self, nb::handle button) {
    if (button.is_none()) return false;
    nb::object under = G.QApplication.attr("widgetAt")(G.QCursor.attr("pos")());
    if (!under.is(button)) return false;
    try {
        nb::object input = self.attr(VN("_inputField"));
        G.QTimer.attr("singleShot")(0, self, input.attr(VN("setFocus")));
    } catch (nb::python_error &e) {
        vantu::py_print_always({nb::str("Error setting focus: ") + nb::str(e.value())});
    }
    return true;
}

}  // namespace

nb::object enterEvent(Args a) {
    nb::handle self = a.self();
    self.attr(VN("setProperty"))("hovered", true);
    self.attr(VN("style_update"))();
    if (vantu::truthy(self.attr(VN("value")))) {
        nb::object clear = vantu::getattr_or_none(self, VN("_btn_clear_text"));
        if (!clear.is_none() && !vantu::truthy(clear.attr(VN("isVisible"))())) clear.attr(VN("setVisible"))(true);
    }
    return base("enterEvent")(self, a[1]);
}

nb::object leaveEvent(Args a) {
    nb::handle self = a.self();
    self.attr(VN("setProperty"))("hovered", false);
    self.attr(VN("style_update"))();
    return base("leaveEvent")(self, a[1]);
}

nb::object resizeEvent(Args a) {
    a.self().attr(VN("setup_action_frame_and_adornment"))();
    return base("resizeEvent")(a.self(), a[1]);
}

nb::object focusInEvent(Args a) {
    nb::handle self = a.self();
    self.attr(VN("_show_label"))();
    if (py_equal(self.attr(VN("_variant")), nb::str("filled"))) self.attr(VN("_set_filled_foucusin_prop"))(true);
    return base("focusInEvent")(self, a[1]);
}

nb::object focusOutEvent(Args a) {
    nb::handle self = a.self();
    nb::object clear = vantu::getattr_or_none(self, VN("_btn_clear_text"));
    if (refocus_if_under(self, clear)) return nb::none();
    if (refocus_if_under(self, self.attr(VN("_btnSelect")))) return nb::none();
    nb::object input = self.attr(VN("_inputField"));
    if (vantu::truthy(self.attr(VN("_multiple")))) {
        nb::object keys = self.attr(VN("_selectedKeys")).attr(VN("value"));
        if (keys.is_none() || nb::len(keys) == 0) {
            self.attr(VN("_hide_label"))();
            set_placeholder(self, self.attr(VN("_label")));
        }
    } else {
        bool plain = vantu::is_instance(input, G.QPlainTextEdit);
        nb::object text = plain ? input.attr(VN("toPlainText"))() : input.attr(VN("text"))();
        nb::object lowered = text.attr("lower")();
        nb::object getter = self.attr(VN("_getOptionLabel"));
        bool have_getter = vantu::truthy(getter);
        // The option whose label is the text exactly, else the first one that matches it in
        // other letter case ("Apple" and "apple" are two options).
        nb::object chosen, chosen_label;
        for (nb::handle option : self.attr(VN("_options"))) {
            nb::object label = have_getter ? getter(option) : nb::borrow(option);
            nb::object shown = nb::str(label);
            if (py_equal(shown, text)) {
                chosen = nb::borrow(option);
                chosen_label = shown;
                break;
            }
            if (!chosen.is_valid() && py_equal(shown.attr("lower")(), lowered)) {
                chosen = nb::borrow(option);
                chosen_label = shown;
            }
        }
        bool matched = chosen.is_valid();
        if (matched) {
            self.attr(VN("base_set_value"))(chosen);
            input.attr(plain ? VN("setPlainText") : VN("setText"))(chosen_label);
            if (!plain) input.attr(VN("setCursorPosition"))(0);
            sync_selected_key(self);
        } else {
            self.attr(VN("base_set_value"))(nb::none());
            input.attr(plain ? VN("setPlainText") : VN("setText"))("");
            set_placeholder(self, self.attr(VN("_label")));
            sync_selected_key(self);
        }
    }
    if (self.attr(VN("value")).is_none()) {
        if (py_equal(self.attr(VN("_variant")), nb::str("filled"))) self.attr(VN("_set_filled_foucusin_prop"))(false);
        self.attr(VN("_hide_label"))();
    }
    if (!vantu::truthy(self.attr(VN("underMouse"))()) && !clear.is_none() &&
        vantu::truthy(clear.attr(VN("isVisible"))()))
        clear.attr(VN("hide"))();
    return base("focusOutEvent")(self, a[1]);
}

nb::object onInputFieldFocusOutEvent(Args a) {
    nb::handle self = a.self();
    self.attr(VN("focusOutEvent"))(a[1]);
    return base("focusOutEvent")(self, a[1]);
}

nb::object onInputFieldMousePressEvent(Args a) {
    nb::handle self = a.self();
    self.attr(VN("_toggle_popup"))();
    return base("mousePressEvent")(self, a[1]);
}

nb::object eventFilter(Args a) {
    nb::handle self = a.self();
    nb::handle obj = a[1], event = a[2];
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    // QGroupBox filters nothing (QObject's answer is always False): skip asking it for the many
    // events seen before a popup exists.
    if (popup.is_none()) return nb::bool_(false);
    if (obj.is(self)) {
        // Hidden (itself, or with its window) or disabled, the field takes its list down: a list
        // left up would outlive what it belongs to, and a disabled one would ignore clicks.
        nb::object type = event.attr(VN("type"))();
        if ((type.equal(G.ev_hide) || (type.equal(G.ev_enabled_change) && !vantu::truthy(self.attr(VN("isEnabled"))()))) &&
            vantu::truthy(popup.attr(VN("isVisible"))()))
            self.attr(VN("_hide_popup"))();
    }
    if (obj.is(popup) && event.attr(VN("type"))().equal(G.ev_window_activate)) {
        // Platforms that activate every new window (offscreen, some compositors) hand the
        // popup the keyboard: give it back to the field's window, where the input keeps it.
        self.attr(VN("window"))().attr(VN("activateWindow"))();
    }
    if (vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))())) {
        nb::object type = event.attr(VN("type"))();
        bool press = type.equal(G.ev_mouse_press);
        if (press || type.equal(G.ev_wheel)) {
            // "Under the pointer" also by the event's own position: the hover flag lags behind
            // during mouse grabs and synthetic input.
            nb::object where = vantu::getattr_or_none(event, VN("globalPosition"));
            nb::object pos = where.is_none() ? G.QCursor.attr("pos")() : where().attr(VN("toPoint"))();
            bool over_field = vantu::truthy(self.attr(VN("underMouse"))()) ||
                              vantu::truthy(self.attr(VN("rect"))().attr(VN("contains"))(self.attr(VN("mapFromGlobal"))(pos)));
            bool in_popup = vantu::truthy(popup.attr(VN("geometry"))().attr(VN("contains"))(pos));
            if (press) {
                if (!over_field && !in_popup) self.attr(VN("_hide_popup"))();
            } else {
                bool over_popup = in_popup || vantu::truthy(popup.attr(VN("underMouse"))());
                if ((!over_field && !over_popup) || obj.equal(self.attr(VN("_inputField")))) self.attr(VN("_hide_popup"))();
            }
        }
    }
    return base("eventFilter")(self, obj, event);
}

namespace {

nb::object list_of(nb::handle self) {
    nb::object menu = vantu::getattr_or_none(self, VN("_menu"));
    return menu.is_none() ? nb::none() : vantu::getattr_or_none(menu, VN("listView"));
}

}  // namespace

nb::object _on_input_key_press(Args a) {
    nb::handle self = a.self();
    nb::handle event = a[1];
    long key = nb::cast<long>(nb::int_(event.attr(VN("key"))()));
    bool alt = vantu::truthy(event.attr(VN("modifiers"))() & G.AltModifier);
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    bool open = vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))());
    if (!open) {
        // Down or Alt+Down opens the list, as on a combo box.
        if (key != G.key_down) return nb::bool_(false);
        if (vantu::truthy(self.attr(VN("_readOnly")))) return nb::bool_(false);
        self.attr(VN("_show_popup"))();
        return nb::bool_(true);
    }
    if (key == G.key_escape || (alt && (key == G.key_up || key == G.key_down))) {
        self.attr(VN("_hide_popup"))();
        return nb::bool_(true);
    }
    nb::object list = list_of(self);
    if (list.is_none() || !vantu::truthy(vantu::getattr_or_none(list, VN("moveCurrentRow")))) return nb::bool_(false);
    if (key == G.key_down || key == G.key_up) {
        list.attr(VN("moveCurrentRow"))(key == G.key_down ? 1 : -1);
    } else if (key == G.key_page_down || key == G.key_page_up) {
        // A page: the rows the list shows at once.
        long row_h = nb::cast<long>(list.attr(VN("sizeHintForRow"))(0));
        long rows = row_h > 0 ? nb::cast<long>(list.attr(VN("viewport"))().attr(VN("height"))()) / row_h : 1;
        if (rows < 1) rows = 1;
        list.attr(VN("moveCurrentRow"))(key == G.key_page_down ? rows : -rows);
    } else if (key == G.key_home || key == G.key_end) {
        list.attr(VN("setCurrentRow"))(list.attr(VN("firstEnabledRow"))(key == G.key_end));
    } else if (key == G.key_return || key == G.key_enter) {
        list.attr(VN("chooseCurrentRow"))();
    } else {
        return nb::bool_(false);
    }
    return nb::bool_(true);
}

}  // namespace pickcore::select_base
