// The host input's application-wide filter, in front of its Python handler: the input watches
// every event of the application once its list's window exists, and hears only those its
// handler acts on (presses while the list is up, keys of the tags' typing field, and the Show,
// Hide and activation of the list's window). The rest is answered False with no Python call.
#include "common/qtevent.h"
#include "select_mixin/select_mixin.h"

namespace select_mixin {

namespace {

namespace qe = vantu::qtevent;

enum Verdict { Unknown = -1, Handled = 0, Quiet = 1 };

// The decision from the event's type and the input's own dictionary alone, with no Python
// call; Unknown when an attribute is not in that dictionary (a class default, a property).
Verdict native_verdict(PyObject *self, PyObject *watched, PyObject *event) noexcept {
    switch (qe::type_of(event)) {
        case -1:
            return Unknown;  // not readable here: the handler decides
        case qe::MouseButtonPress: {
            PyObject *showing = qe::own_attr(self, VN("_popupShowing").ptr());
            return showing == Py_False ? Quiet : showing == Py_True ? Handled : Unknown;
        }
        case qe::KeyPress: {
            PyObject *line = qe::own_attr(self, VN("_inputFieldMultiple").ptr());
            return line == nullptr ? Unknown : line == watched ? Handled : Quiet;
        }
        case qe::Show:
        case qe::Hide:
        case qe::WindowActivate: {
            PyObject *popup = qe::own_attr(self, VN("_popup").ptr());
            return popup == nullptr ? Unknown : popup != Py_None && popup == watched ? Handled : Quiet;
        }
        default:
            return Quiet;
    }
}

// `name` of the input: its own dictionary entry, else an ordinary attribute lookup (a class
// default, a property); None when it has none.
nb::object input_attr(nb::handle self, nb::handle name) {
    if (PyObject *own = qe::own_attr(self.ptr(), name.ptr())) return nb::borrow(own);
    return vantu::getattr_or_none(self, name);
}

// The same decision for the cases the input's own dictionary leaves open.
bool quiet_event(nb::handle self, nb::handle watched, nb::handle event) {
    switch (qe::type_of(event.ptr())) {
        case -1:
            return false;
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

PyObject *_input_event_filter_shortcut(PyObject *const *args, size_t nargs) noexcept {
    if (nargs != 3) return nullptr;
    try {
        if (native_verdict(args[0], args[1], args[2]) == Quiet) return nb::bool_(false).release().ptr();
    } catch (...) {
        PyErr_Clear();
    }
    return nullptr;
}

nb::object _input_event_filter(Args a) {
    nb::handle self = a[0], watched = a[1], event = a[2];
    switch (native_verdict(self.ptr(), watched.ptr(), event.ptr())) {
        case Quiet:
            return nb::bool_(false);
        case Unknown:
            if (quiet_event(self, watched, event)) return nb::bool_(false);
            break;
        case Handled:
            break;
    }
    return self.attr(VN("_filter_application_event"))(watched, event);
}

}  // namespace select_mixin
