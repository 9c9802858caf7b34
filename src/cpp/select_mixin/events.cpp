// The host input's application-wide filter, in front of its Python handler: the input watches
// every event of the application once its list's window exists, and hears only those its
// handler acts on (presses while the list is up, keys of the tags' typing field, and the Show,
// Hide and activation of the list's window). The rest is answered False with no Python call.
#include "common/qtevent.h"
#include "select_mixin/select_mixin.h"

namespace select_mixin {

namespace {

namespace qe = vantu::qtevent;

// `name` of the input: its own dictionary entry, else an ordinary attribute lookup (a class
// default, a property); None when it has none.
nb::object input_attr(nb::handle self, nb::handle name) {
    if (PyObject *own = qe::own_attr(self.ptr(), name.ptr())) return nb::borrow(own);
    return vantu::getattr_or_none(self, name);
}

bool quiet_event(nb::handle self, nb::handle watched, nb::handle event) {
    switch (qe::type_of(event.ptr())) {
        case -1:
            return false;  // not readable here: the handler decides
        case qe::MouseButtonPress:
            return !vantu::truthy(input_attr(self, VN("_popupShowing")));
        case qe::KeyPress:
            return !input_attr(self, VN("_inputFieldMultiple")).is(watched);
        case qe::Show:
        case qe::Hide:
        case qe::WindowActivate: {
            nb::object popup = input_attr(self, VN("_popup"));
            return popup.is_none() || !popup.is(watched);
        }
        default:
            return true;
    }
}

}  // namespace

nb::object _input_event_filter(Args a) {
    nb::handle self = a[0], watched = a[1], event = a[2];
    if (quiet_event(self, watched, event)) return nb::bool_(false);
    return self.attr(VN("_filter_application_event"))(watched, event);
}

}  // namespace select_mixin
