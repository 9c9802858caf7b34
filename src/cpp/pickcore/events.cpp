// Pointer, focus and event filtering: hover, resize, focus in and out (with the reconciliation
// of the input's text), presses on the input, and the filter that closes the popup.
#include "pickcore/pickcore.h"

#include "common/qtevent.h"

#include <chrono>
#include <unordered_set>
#include <utility>

namespace pickcore::select_base {

namespace {

// The fields whose popup may be up, shared by all: while it is empty, which is nearly always,
// no field's filter has anything to do with a press or a wheel turn. A field joins before its
// popup is shown and when the popup's Show passes its filter, and leaves on the popup's Hide,
// or when its filter finds the popup down. A field gone while in the set leaves its address
// behind: a later object there only takes the full path until its filter finds no popup up.
std::unordered_set<const void *> &popups_may_be_up() {
    static auto *fields = new std::unordered_set<const void *>();  // never destroyed
    return *fields;
}

bool marks_lost = false;  // a mark could not be recorded: every field takes the full path

bool popup_may_be_up(nb::handle self) noexcept {
    if (marks_lost) return true;
    const auto &fields = popups_may_be_up();
    return !fields.empty() && fields.count(self.ptr()) != 0;
}

}  // namespace

void mark_popup_up(nb::handle self, bool up) noexcept {
    try {
        if (up)
            popups_may_be_up().insert(self.ptr());
        else
            popups_may_be_up().erase(self.ptr());
    } catch (...) {
        marks_lost = true;
    }
}

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

namespace {

// Whether `shown.lower()` may equal `lowered`: an ASCII text keeps its length in lower case,
// so one of another length never does (and needs no lower-cased copy).
bool could_match_lowered(nb::handle shown, nb::handle lowered) {
    PyObject *s = shown.ptr(), *l = lowered.ptr();
    if (!PyUnicode_CheckExact(s) || !PyUnicode_CheckExact(l) || !PyUnicode_IS_ASCII(s)) return true;
    return PyUnicode_GET_LENGTH(s) == PyUnicode_GET_LENGTH(l);
}

}  // namespace

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
            if (!chosen.is_valid() && could_match_lowered(shown, lowered) &&
                py_equal(shown.attr("lower")(), lowered)) {
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

namespace {

// The filter's common path, with no call into Python: the event's type read from the C++
// event, and the field's own dictionary for its popup. True when the event is none of the
// filter's business (the answer is then False, as QGroupBox's own filter gives).
bool quiet_event(nb::handle self, nb::handle obj, nb::handle event) {
    namespace qe = vantu::qtevent;
    const int type = qe::type_of(event.ptr());
    if (type < 0) return false;  // not readable here: the full path decides
    switch (type) {
        case qe::MouseButtonPress:
        case qe::Wheel:
            return !popup_may_be_up(self);
        case qe::Hide:
        case qe::EnabledChange:
            if (obj.is(self)) return false;
            [[fallthrough]];
        case qe::Show:
        case qe::WindowActivate: {
            PyObject *popup = qe::own_attr(self.ptr(), VN("_popup").ptr());
            if (popup == nullptr || popup == Py_None || obj.ptr() != popup) return true;
            // The popup's own Show and Hide: whether it may be up from now on.
            if (type == qe::Show || type == qe::Hide) mark_popup_up(self, type == qe::Show);
            return type != qe::WindowActivate;
        }
        default:
            return true;
    }
}

// A press or a wheel turn reached the full path while the popup is down: the mark was stale.
void unmark_if_pointer_event(nb::handle self, nb::handle event) noexcept {
    const int type = vantu::qtevent::type_of(event.ptr());
    if (type == vantu::qtevent::MouseButtonPress || type == vantu::qtevent::Wheel) mark_popup_up(self, false);
}

}  // namespace

// The same first step, before the filter's Python frame: most events of the application end
// here.
PyObject *eventFilter_shortcut(PyObject *const *args, size_t nargs) noexcept {
    if (nargs != 3) return nullptr;
    try {
        if (quiet_event(args[0], args[1], args[2])) return nb::bool_(false).release().ptr();
    } catch (...) {
        PyErr_Clear();
    }
    return nullptr;
}

nb::object eventFilter(Args a) {
    nb::handle self = a.self();
    nb::handle obj = a[1], event = a[2];
    if (quiet_event(self, obj, event)) return nb::bool_(false);
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    // QGroupBox filters nothing (QObject's answer is always False): skip asking it for the many
    // events seen before a popup exists.
    if (popup.is_none()) {
        unmark_if_pointer_event(self, event);
        return nb::bool_(false);
    }
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
    if (!vantu::truthy(popup) || !vantu::truthy(popup.attr(VN("isVisible"))())) {
        unmark_if_pointer_event(self, event);
    } else {
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

namespace {

bool popup_open(nb::handle self) {
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    return vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))());
}

long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The text a key press types: printable, with no Ctrl, Alt or Meta held (Ctrl with Alt is
// AltGr, which types). None for every other key.
nb::object typed_text(nb::handle event) {
    nb::object mods = event.attr(VN("modifiers"))();
    bool ctrl = vantu::truthy(mods & G.ControlModifier);
    bool alt = vantu::truthy(mods & G.AltModifier);
    if (vantu::truthy(mods & G.MetaModifier) || ctrl != alt) return nb::none();
    nb::object text = event.attr(VN("text"))();
    if (!vantu::truthy(text) || !vantu::truthy(text.attr("isprintable")())) return nb::none();
    return text;
}

// Whether the last typed character is recent enough (the application's keyboard input
// interval) for the next one to extend the same prefix.
bool prefix_going_on(nb::handle self, long long now) {
    nb::object at = vantu::getattr_or_none(self, VN("_type_ahead_at"));
    if (at.is_none() || !vantu::truthy(vantu::getattr_or_none(self, VN("_type_ahead_text")))) return false;
    long long interval = nb::cast<long long>(G.QApplication.attr("keyboardInputInterval")());
    return now - nb::cast<long long>(at) <= interval;
}

// The text to look for after typing `text`, and whether the search starts past the current
// option: a new prefix, or one character typed again and again ("b", "b", ...), steps to the
// next match; a longer prefix stays on the current option while it still matches.
std::pair<nb::object, bool> grow_prefix(nb::handle self, nb::handle text) {
    long long now = now_ms();
    nb::object prefix = prefix_going_on(self, now) ? nb::object(self.attr(VN("_type_ahead_text")) + text)
                                                   : nb::borrow(text);
    self.attr(VN("_type_ahead_text")) = prefix;
    self.attr(VN("_type_ahead_at")) = nb::int_(now);
    nb::object folded = prefix.attr("casefold")();
    size_t length = nb::len(folded);
    if (length == 1) return {prefix, true};
    nb::object first = folded[0];
    if (py_equal(first.attr("__mul__")(length), folded)) return {nb::object(prefix[0]), true};
    return {prefix, false};
}

// Type-ahead in the open list: the keyboard moves to the next row whose label starts with the
// prefix.
void type_ahead_in_list(nb::handle self, nb::handle search, bool step) {
    nb::object list = list_of(self);
    if (list.is_none() || !vantu::truthy(vantu::getattr_or_none(list, VN("findRow")))) return;
    long current = nb::cast<long>(list.attr(VN("currentRow"))());
    long start = current < 0 ? 0 : current + (step ? 1 : 0);
    long row = nb::cast<long>(list.attr(VN("findRow"))(search, start));
    if (row >= 0) list.attr(VN("setCurrentRow"))(row);
}

// Type-ahead on a closed single field: the next matching option is chosen as a click on its
// row would choose it.
void type_ahead_choose(nb::handle self, nb::handle search, bool step) {
    nb::object options = self.attr(VN("_options"));
    long count = static_cast<long>(nb::len(options));
    long current = -1;
    if (shows_value(self)) {
        nb::object key = self.attr(VN("_selectedKeys")).attr(VN("value"));
        for (long i = 0; i < count; ++i)
            if (py_equal(label_of(self, options[i]), key)) {
                current = i;
                break;
            }
    }
    long start = current < 0 ? 0 : current + (step ? 1 : 0);
    long index = nb::cast<long>(G.find_option(options, search, start, self.attr(VN("_getOptionLabel")),
                                              self.attr(VN("_getOptionDisabled"))));
    if (index < 0 || index == current) return;
    nb::object option = options[index];
    nb::dict choice;
    choice["key"] = label_of(self, option);
    choice["value"] = option;
    self.attr(VN("_selected_change"))(choice);
}

// Delete and Backspace. A single field: either clears it, as the clear button of a multiple
// field does. A multiple field: Backspace takes the last chosen option away through the path of
// its tag's delete control; Delete (or Ctrl+Backspace) clears it.
bool edit_key(nb::handle self, long key, bool ctrl) {
    if (key != G.key_delete && key != G.key_backspace) return false;
    if (vantu::truthy(self.attr(VN("_readOnly")))) return false;
    if (vantu::truthy(self.attr(VN("_multiple"))) && key == G.key_backspace && !ctrl) {
        nb::list items(self.attr(VN("_selected_options")).attr("items")());
        if (!nb::len(items)) return false;
        nb::object last = items[nb::len(items) - 1];
        nb::dict choice;
        choice["key"] = last[0];
        choice["value"] = last[1];
        self.attr(VN("getTagProps"))(choice)["onDelete"]();
        return true;
    }
    if (!shows_value(self)) return false;
    self.attr(VN("_on_clear_text"))();
    return true;
}

}  // namespace

nb::object _on_input_key_press(Args a) {
    nb::handle self = a.self();
    nb::handle event = a[1];
    long key = nb::cast<long>(nb::int_(event.attr(VN("key"))()));
    nb::object mods = event.attr(VN("modifiers"))();
    bool alt = vantu::truthy(mods & G.AltModifier);
    bool ctrl = vantu::truthy(mods & G.ControlModifier);
    bool open = popup_open(self);
    bool read_only = vantu::truthy(self.attr(VN("_readOnly")));

    nb::object text = typed_text(event);
    // Space types while a prefix is being typed ("new y..."), and otherwise opens or chooses.
    if (!text.is_none() && (key != G.key_space || prefix_going_on(self, now_ms()))) {
        if (read_only) return nb::bool_(false);
        auto [search, step] = grow_prefix(self, text);
        if (open) {
            type_ahead_in_list(self, search, step);
        } else if (vantu::truthy(self.attr(VN("_multiple")))) {
            // A multiple field opens its list at the match.
            self.attr(VN("_show_popup"))();
            if (popup_open(self)) type_ahead_in_list(self, search, step);
        } else {
            type_ahead_choose(self, search, step);
        }
        return nb::bool_(true);
    }
    if (edit_key(self, key, ctrl)) return nb::bool_(true);
    if (!open) {
        // Down, Up (with or without Alt), F4 and Space open the list, as on a combo box.
        if (key != G.key_down && key != G.key_up && key != G.key_f4 && key != G.key_space) return nb::bool_(false);
        if (read_only) return nb::bool_(false);
        self.attr(VN("_show_popup"))();
        return nb::bool_(true);
    }
    if (key == G.key_escape || key == G.key_f4 || (alt && (key == G.key_up || key == G.key_down))) {
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
    } else if (key == G.key_return || key == G.key_enter || key == G.key_space) {
        list.attr(VN("chooseCurrentRow"))();
    } else {
        return nb::bool_(false);
    }
    return nb::bool_(true);
}

}  // namespace pickcore::select_base
