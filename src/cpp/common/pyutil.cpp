// Helpers for driving Python objects from C++ (see pyutil.h).
#include "common/pyutil.h"

#include <cstdarg>

namespace vantu {

nb::handle intern(const char *text) {
    PyObject *s = PyUnicode_InternFromString(text);
    if (!s) throw_pending();
    return s;  // kept for the life of the process
}

void throw_pending() { throw nb::python_error(); }

void raise(PyObject *type, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    PyErr_FormatV(type, fmt, ap);
    va_end(ap);
    throw nb::python_error();
}

void check_exact_type(nb::handle value, nb::handle type, const char *name) {
    if (Py_TYPE(value.ptr()) == reinterpret_cast<PyTypeObject *>(type.ptr())) return;
    raise(PyExc_TypeError, "Argument '%.200s' has incorrect type (expected %.200s, got %.200s)", name,
          reinterpret_cast<PyTypeObject *>(type.ptr())->tp_name, Py_TYPE(value.ptr())->tp_name);
}

namespace {

void call_print(std::initializer_list<nb::handle> values) {
    static const Forever print_fn(nb::module_::import_("builtins").attr("print"));
    nb::tuple args = nb::steal<nb::tuple>(PyTuple_New(static_cast<Py_ssize_t>(values.size())));
    if (!args.is_valid()) throw_pending();
    Py_ssize_t i = 0;
    for (nb::handle v : values) PyTuple_SET_ITEM(args.ptr(), i++, nb::borrow(v).release().ptr());
    nb::object r = nb::steal(PyObject_Call(print_fn.ptr, args.ptr(), nullptr));
    if (!r.is_valid()) throw_pending();
}

// The package's one switch: a one-item list that set_diagnostics() changes in place, so each
// module's copy of this code keeps the list and reads the item, with no lookup per line.
PyObject *diagnostics_switch() {
    static const Forever flag([] {
        nb::object f = nb::module_::import_("vantu").attr("_diagnostics");
        if (!PyList_CheckExact(f.ptr()) || PyList_GET_SIZE(f.ptr()) != 1)
            raise(PyExc_TypeError, "vantu._diagnostics must be a one-item list");
        return f;
    }());
    return flag.ptr;
}

}  // namespace

void py_print(std::initializer_list<nb::handle> values) {
    if (PyList_GET_ITEM(diagnostics_switch(), 0) != Py_True) return;
    call_print(values);
}

void py_print_always(std::initializer_list<nb::handle> values) { call_print(values); }

void import_into(nb::module_ &target, const char *module, std::initializer_list<const char *> names) {
    nb::module_ src = nb::module_::import_(module);
    for (const char *name : names) target.attr(name) = src.attr(name);
}

void import_module_into(nb::module_ &target, const char *module, const char *as) {
    nb::module_::import_(module);  // makes sure submodules are loaded
    target.attr(as) = nb::module_::import_(module);
}

bool is_instance(nb::handle value, nb::handle type) {
    int r = PyObject_IsInstance(value.ptr(), type.ptr());
    if (r < 0) throw_pending();
    return r == 1;
}

bool truthy(nb::handle value) {
    int r = PyObject_IsTrue(value.ptr());
    if (r < 0) throw_pending();
    return r == 1;
}

nb::object str_of(nb::handle value) {
    nb::object s = nb::steal(PyObject_Str(value.ptr()));
    if (!s.is_valid()) throw_pending();
    return s;
}

nb::handle lookup_global(nb::handle module_dict, nb::handle name) {
    PyObject *v = PyDict_GetItemWithError(module_dict.ptr(), name.ptr());
    if (!v) {
        if (!PyErr_Occurred()) PyErr_Format(PyExc_NameError, "name '%U' is not defined", name.ptr());
        throw_pending();
    }
    return v;
}

nb::object getattr_or_none(nb::handle obj, nb::handle name) {
    PyObject *r = nullptr;
#if PY_VERSION_HEX >= 0x030D0000
    if (PyObject_GetOptionalAttr(obj.ptr(), name.ptr(), &r) < 0) throw_pending();
#else
    if (_PyObject_LookupAttr(obj.ptr(), name.ptr(), &r) < 0) throw_pending();
#endif
    return r ? nb::steal(r) : nb::none();
}

}  // namespace vantu
