// What an event filter needs to decide that an event is none of its business, read without the
// binding layer: the type of the QEvent behind PySide's wrapper, and entries of an instance's
// own dictionary.
#pragma once

#include "common/classdef.h"

namespace vantu::qtevent {

// QEvent::Type values the filters look at.
enum Type : int {
    MouseButtonPress = 2,
    KeyPress = 6,
    Show = 17,
    Hide = 18,
    WindowActivate = 24,
    Wheel = 31,
    EnabledChange = 98,
};

/// Sets the fast path up: finds the binding library's pointer lookup in the loaded process and
/// checks, on events of known types, that the type is read where it is expected. Call once at
/// module import; false (and `type_of` always -1) when anything differs.
bool init() noexcept;

/// Whether `init` succeeded.
bool enabled() noexcept;

/// The QEvent::Type of `event`; -1 when it cannot be read this way (no fast path, or not a
/// QEvent wrapper), and the caller then asks Python.
int type_of(PyObject *event) noexcept;

/// Switches the fast path off (tests of the Python path).
void set_enabled(bool on) noexcept;

/// The entry `name` of `obj`'s own instance dictionary, borrowed; nullptr when there is none
/// (no dictionary, no entry). Never sets a Python error.
PyObject *own_attr(PyObject *obj, PyObject *name) noexcept;

/// Body of a generic event filter `eventFilter(self, watched, event)` for a class that names
/// the event types it handles in a class attribute `_gate_types` (a set of ints) and its
/// handler in `_gate_handler` (a method name, called as handler(watched, event)): any other
/// event is answered False with no call into Python.
nb::object gate(vantu::Args a);

/// Sets the fast path up (`init`) and binds in `m` the plain functions `_fast_events(on=None)`
/// (whether event types are read natively; `on` switches it, False forcing the Python path)
/// and `_event_gate` (the generic filter of `gate`).
void register_helpers(nb::module_ &m);

}  // namespace vantu::qtevent
