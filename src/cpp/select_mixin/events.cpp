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

}  // namespace

PyObject *_input_event_filter_shortcut(PyObject *const *args, size_t nargs) noexcept {
    if (nargs == 3 && native_verdict(args[0], args[1], args[2]) == Quiet) return nb::bool_(false).release().ptr();
    return nullptr;
}

nb::object _input_event_filter(Args a) {
    nb::handle self = a[0], watched = a[1], event = a[2];
    // Undecided here (an attribute not yet in the input's dictionary, an unreadable event): the
    // handler decides, as it would for every event.
    if (native_verdict(self.ptr(), watched.ptr(), event.ptr()) == Quiet) return nb::bool_(false);
    return self.attr(VN("_filter_application_event"))(watched, event);
}

}  // namespace select_mixin
