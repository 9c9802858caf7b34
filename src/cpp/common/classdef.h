// Defines Python classes from C++: each method is a real Python function, generated at
// import time, that forwards its arguments to a C++ body (the way dataclasses writes methods).
#pragma once

#include "common/pyutil.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace vantu {

/// What a C++ body receives: the first parameter (self or cls) at [0], then every parameter
/// of the Python signature in order; a `*args` parameter arrives as a tuple and `**kwargs` as a dict.
class Args {
public:
    Args(PyObject *const *items, size_t count) noexcept : items_(items), count_(count) {}
    nb::handle operator[](size_t i) const noexcept { return items_[i]; }
    size_t size() const noexcept { return count_; }
    nb::handle self() const noexcept { return items_[0]; }

private:
    PyObject *const *items_;
    size_t count_;
};

using Body = nb::object (*)(Args);

/// A native answer tried before a generated function's Python frame, for calls that need no
/// Python at all (the many events an application-wide filter has no business with). Given the
/// positional arguments (self first), it returns a new reference to exactly what the function
/// would return, having done exactly what the function would do; or nullptr, with no Python
/// error set, to run the function as usual.
using Shortcut = PyObject *(*)(PyObject *const *args, size_t nargs) noexcept;

namespace detail {

/// The interpreter's own way of calling a Python function, taken from the first generated
/// function (one per extension module).
extern vectorcallfunc plain_call;

/// The call entry of every generated function: a call without keywords goes straight to its
/// C++ body, with defaults, *args and **kwargs filled in as its frame would; anything else takes
/// `plain_call`.
PyObject *direct_call(PyObject *fn, PyObject *const *args, size_t nargsf, PyObject *kwnames) noexcept;

template <Shortcut S>
PyObject *call_with_shortcut(PyObject *fn, PyObject *const *args, size_t nargsf, PyObject *kwnames) noexcept {
    if (!kwnames) {
        if (PyObject *answer = S(args, static_cast<size_t>(PyVectorcall_NARGS(nargsf)))) return answer;
    }
    return direct_call(fn, args, nargsf, kwnames);
}

}  // namespace detail

/// The call entry of a function with the shortcut `S`: `Method::shortcut = vantu::shortcut<f>`.
template <Shortcut S>
inline constexpr vectorcallfunc shortcut = &detail::call_with_shortcut<S>;

enum class Binding { Instance, ClassMethod, Plain };

/// One Python-visible function: `params` is its parameter list as Python writes it, after
/// self/cls (for example "parent=None, *args, **kwargs" or "data: dict"). Parameters annotated
/// with a builtin container or text type (`dict`, `str`, `list`, `tuple`) are checked for that
/// exact type before the body runs.
struct Method {
    const char *name;
    const char *params;
    Body body;
    const char *doc;
    Binding binding = Binding::Instance;
    const char *returns = nullptr;  // return annotation text, if any
    nb::object (*decorate)(nb::object fn) = nullptr;  // applied before classmethod wrapping
    // The function's call entry when it has a native shortcut (`vantu::shortcut<f>`); the
    // function stays the same Python function, whose body runs whenever the shortcut declines.
    vectorcallfunc shortcut = nullptr;
};

/// A class: bases in order, class attributes in definition order (signals included, so the
/// metaclass sees them), then the methods.
struct ClassRecipe {
    const char *name;
    const char *doc;
    nb::tuple bases;
    std::vector<std::pair<const char *, nb::object>> attrs;
    std::vector<Method> methods;
};

/// Builds the class through the metaclass of its first base, binds it in `module` and returns it.
nb::object define_class(nb::module_ &module, const ClassRecipe &recipe);

/// Builds a function whose globals are the module's, with `qualname` as its qualified name.
/// For Binding::ClassMethod the result is the plain function (the caller decorates it).
nb::object make_function(nb::module_ &module, const Method &method, const char *qualname_prefix);

/// Python's private-name mangling: "__init_ui" in class "SelectBase" -> "_SelectBase__init_ui".
std::string mangle(const char *class_name, const char *name);

}  // namespace vantu
