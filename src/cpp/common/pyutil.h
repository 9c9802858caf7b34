// Small helpers for C++ code that drives Python objects: interned names, process-long
// references, raising Python errors, and calling Python's own print.
#pragma once

#include <nanobind/nanobind.h>

#include <cstddef>
#include <initializer_list>

namespace nb = nanobind;

namespace vantu {

/// A reference kept for the life of the process: never released, so no destructor runs
/// after the interpreter has shut down.
struct Forever {
    PyObject *ptr = nullptr;
    explicit Forever(nb::object o) noexcept : ptr(o.release().ptr()) {}
    operator nb::handle() const noexcept { return ptr; }
    nb::handle h() const noexcept { return ptr; }
};

/// Interned string made once; the caller keeps it for the life of the process.
nb::handle intern(const char *text);

/// Throws the pending Python error as a C++ exception; call right after a failed C-API call.
[[noreturn]] void throw_pending();

/// Sets a Python exception of `type` with a printf-style message and throws it.
[[noreturn]] void raise(PyObject *type, const char *fmt, ...);

/// The exact-type check of annotated arguments, with the interpreter's usual wording.
void check_exact_type(nb::handle value, nb::handle type, const char *name);

/// A diagnostic line: print(*values) through builtins.print (so redirection of sys.stdout is
/// honoured), unless the package's switch (vantu.set_diagnostics, VANTU_DIAGNOSTICS=0) is off.
void py_print(std::initializer_list<nb::handle> values);

/// print(*values) whatever the diagnostics switch says: for reports of a failure.
void py_print_always(std::initializer_list<nb::handle> values);

/// `from <module> import <names>` into the globals of `target`; a failure propagates.
void import_into(nb::module_ &target, const char *module, std::initializer_list<const char *> names);

/// Imports `module` and binds it in the globals of `target` under its own name.
void import_module_into(nb::module_ &target, const char *module, const char *as);

/// isinstance(value, type), raising on error.
bool is_instance(nb::handle value, nb::handle type);

/// callable(value).
inline bool is_callable(nb::handle value) noexcept { return value.is_valid() && PyCallable_Check(value.ptr()); }

/// Python truth value, raising on error.
bool truthy(nb::handle value);

/// str(value), as Python's own str() gives it.
nb::object str_of(nb::handle value);

/// A module global looked up at call time (so tests and users may rebind it); NameError if absent.
nb::handle lookup_global(nb::handle module_dict, nb::handle name);

/// getattr(obj, name, None) without raising AttributeError.
nb::object getattr_or_none(nb::handle obj, nb::handle name);

}  // namespace vantu

/// An interned attribute name, made on first use and kept: `obj.attr(VN("_options"))`.
#define VN(text) ([]() -> nanobind::handle { static const nanobind::handle h_ = ::vantu::intern(text); return h_; }())
