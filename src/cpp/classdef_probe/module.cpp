// A small widget class defined through the shared class layer, used by the tests to prove
// that such classes behave for Qt and PySide6 exactly like classes written in Python.
#include "common/classdef.h"

namespace {

using vantu::Args;

struct Globals {
    nb::handle QWidget, QEvent, Signal, ProbeMixin;
};
Globals g;

nb::object init(Args a) {
    nb::handle self = a.self();
    g.QWidget.attr(VN("__init__"))(self, a[1]);
    g.ProbeMixin.attr(VN("__init__"))(self, **nb::borrow<nb::dict>(a[3]));
    self.attr(VN("events")) = nb::list();
    self.attr(VN("setObjectName"))(nb::str("ProbeWidget-") + nb::str(nb::steal(PyLong_FromVoidPtr(self.ptr()))));
    return nb::none();
}

void record(nb::handle self, const char *what, nb::handle detail) {
    nb::list events = nb::borrow<nb::list>(self.attr(VN("events")));
    events.append(nb::make_tuple(what, detail));
}

nb::object focus_out(Args a) {
    record(a.self(), "focusOut", a[1].attr(VN("reason"))());
    return g.QWidget.attr(VN("focusOutEvent"))(a.self(), a[1]);
}

nb::object resize(Args a) {
    nb::object size = a[1].attr(VN("size"))();
    record(a.self(), "resize", nb::make_tuple(size.attr(VN("width"))(), size.attr(VN("height"))()));
    return g.QWidget.attr(VN("resizeEvent"))(a.self(), a[1]);
}

nb::object event_filter(Args a) {
    static const vantu::Forever key_press(g.QEvent.attr("Type").attr("KeyPress"));
    if (a[2].attr(VN("type"))().equal(key_press.h())) record(a.self(), "filteredKey", a[1].attr(VN("objectName"))());
    return g.QWidget.attr(VN("eventFilter"))(a.self(), a[1], a[2]);
}

nb::object on_value(Args a) {
    record(a.self(), "value", a[1]);
    return nb::none();
}

nb::object typed(Args a) { return nb::make_tuple(a[1], a[2]); }

nb::object secret(Args) { return nb::str("mangled"); }

nb::object call_back(Args a) { return a[1](); }

nb::object say(Args a) {
    nb::dict line;
    line["value"] = a[1];
    vantu::py_print({line});
    return nb::none();
}

nb::object describe(Args a) { return nb::make_tuple(a[0], a[1]); }

}  // namespace

NB_MODULE(_classdef_probe, m) {
    vantu::import_into(m, "PySide6.QtWidgets", {"QWidget"});
    vantu::import_into(m, "PySide6.QtCore", {"QEvent", "Signal"});
    vantu::import_into(m, "vantu._testing.probe_mixin", {"ProbeMixin"});
    g = {m.attr("QWidget"), m.attr("QEvent"), m.attr("Signal"), m.attr("ProbeMixin")};

    vantu::ClassRecipe recipe{
        "ProbeWidget",
        "A widget whose methods are all C++ bodies behind generated Python functions.",
        nb::make_tuple(g.QWidget, g.ProbeMixin),
        {{"valueChanged", g.Signal(nb::handle(reinterpret_cast<PyObject *>(&PyBaseObject_Type)))},
         {"pinged", g.Signal()},
         {"KINDS", nb::make_tuple("a", "b")}},
        {
            {"__init__", "parent=None, *args, **kwargs", init, "Builds the probe."},
            {"focusOutEvent", "event", focus_out, "Records focus loss."},
            {"resizeEvent", "event", resize, "Records the new size."},
            {"eventFilter", "obj, event", event_filter, "Records key presses on watched objects."},
            {"on_value", "value=None", on_value, "Records a value."},
            {"typed", "data: dict, text: str", typed, "Exact-type checked arguments."},
            {"__secret", "", secret, "A private method."},
            {"call_back", "fn", call_back, "Calls fn and returns its result."},
            {"describe", "x", describe, "Returns (cls, x).", vantu::Binding::ClassMethod},
            {"say", "value", say, "Prints {'value': value}."},
        }};
    vantu::define_class(m, recipe);
}
