// The seven handlers that pass the input's events on: own signal first, then the callback.
#include "entrybox/entry_box.h"

namespace entry_box {
namespace {

nb::object relay(nb::handle self, nb::handle signal, nb::handle callback) {
    self.attr(signal).attr(VN("emit"))();
    // Read again when calling: the callback may be replaced by a slot of the signal.
    if (vantu::is_callable(self.attr(callback))) self.attr(callback)(self);
    return nb::none();
}

nb::object relay_event(nb::handle self, nb::handle signal, nb::handle callback, nb::handle event) {
    self.attr(signal).attr(VN("emit"))(event);
    if (vantu::is_callable(self.attr(callback))) self.attr(callback)(self, event);
    return nb::none();
}

}  // namespace

nb::object _handle_focus_in(Args a) { return relay(a.self(), VN("focusIn"), VN("_onFocus")); }
nb::object _handle_blur(Args a) { return relay(a.self(), VN("blur"), VN("_onBlur")); }
nb::object _handle_clicked(Args a) { return relay_event(a.self(), VN("clicked"), VN("_onClick"), a[1]); }
nb::object _handle_key_down(Args a) { return relay_event(a.self(), VN("keyDown"), VN("_onKeyDown"), a[1]); }
nb::object _handle_key_up(Args a) { return relay_event(a.self(), VN("keyUp"), VN("_onKeyUp"), a[1]); }
nb::object _handle_mouse_enter(Args a) { return relay(a.self(), VN("mouseEnter"), VN("_onMouseEnter")); }
nb::object _handle_mouse_leave(Args a) { return relay(a.self(), VN("mouseLeave"), VN("_onMouseLeave")); }

}  // namespace entry_box
