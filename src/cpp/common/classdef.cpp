// The class-definition layer (see classdef.h): Python source for each forwarding function is
// generated once at import, compiled by the interpreter, and closed over a fast C entry point.
#include "common/classdef.h"

#include <deque>
#include <string>
#include <string_view>

namespace vantu {

namespace detail {
vectorcallfunc plain_call = nullptr;
}  // namespace detail

namespace {

struct TypeCheck {
    size_t index;
    nb::handle type;
    std::string name;
};

/// Everything one forwarding function needs at call time; lives as long as the process.
struct Entry {
    Body body;
    std::vector<TypeCheck> checks;
    PyMethodDef def;
    // The shape of a signature that calls without keywords can fill in C: its positional
    // parameters (self or cls included), then an optional *args and **kwargs. -1 when the
    // signature has keyword-only parameters: such functions always run their Python frame.
    Py_ssize_t positional = -1;
    bool star_args = false;
    bool star_kwargs = false;
};

std::deque<Entry> &entries() {
    static auto *all = new std::deque<Entry>();  // never destroyed: functions outlive modules
    return *all;
}

void set_error_from(const nb::builtin_exception &e) {
    PyObject *type = PyExc_RuntimeError;
    switch (e.type()) {
        case nb::exception_type::type_error: type = PyExc_TypeError; break;
        case nb::exception_type::value_error: type = PyExc_ValueError; break;
        case nb::exception_type::key_error: type = PyExc_KeyError; break;
        case nb::exception_type::index_error: type = PyExc_IndexError; break;
        case nb::exception_type::attribute_error: type = PyExc_AttributeError; break;
        default: break;
    }
    PyErr_SetString(type, e.what());
}

PyObject *run_body(Entry *entry, PyObject *const *args, Py_ssize_t nargs) noexcept {
    try {
        for (const TypeCheck &c : entry->checks) check_exact_type(args[c.index], c.type, c.name.c_str());
        nb::object result = entry->body(Args(args, static_cast<size_t>(nargs)));
        if (PyErr_Occurred()) {
            // A body must not return with an error set; surface it instead of hiding it.
            return nullptr;
        }
        return result.is_valid() ? result.release().ptr() : nb::none().release().ptr();
    } catch (nb::python_error &e) {
        e.restore();
    } catch (const nb::builtin_exception &e) {
        set_error_from(e);
    } catch (const nb::cast_error &) {
        PyErr_SetString(PyExc_TypeError, "unable to convert a Python object in a native method");
    } catch (const std::exception &e) {
        PyErr_SetString(PyExc_RuntimeError, e.what());
    }
    return nullptr;
}

PyObject *entry_point(PyObject *capsule, PyObject *const *args, Py_ssize_t nargs) noexcept {
    auto *entry = static_cast<Entry *>(PyCapsule_GetPointer(capsule, nullptr));
    if (!entry) return nullptr;
    return run_body(entry, args, nargs);
}

/// The entry of a generated function (its one closure cell holds the C function over the
/// entry's capsule), or nullptr if the function was changed since it was made.
Entry *entry_of(PyObject *fn) noexcept {
    PyObject *closure = PyFunction_GET_CLOSURE(fn);
    if (!closure || !PyTuple_Check(closure) || PyTuple_GET_SIZE(closure) != 1) return nullptr;
    PyObject *c_entry = PyCell_GET(PyTuple_GET_ITEM(closure, 0));
    if (!c_entry || !PyCFunction_Check(c_entry)) return nullptr;
    PyObject *capsule = PyCFunction_GET_SELF(c_entry);
    if (!capsule || !PyCapsule_IsValid(capsule, nullptr)) return nullptr;
    return static_cast<Entry *>(PyCapsule_GetPointer(capsule, nullptr));
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\n')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

/// Top-level comma split, aware of brackets and quotes.
std::vector<std::string_view> split_params(std::string_view text) {
    std::vector<std::string_view> out;
    int depth = 0;
    char quote = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            --depth;
        } else if (c == ',' && depth == 0) {
            out.push_back(trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    std::string_view last = trim(text.substr(start));
    if (!last.empty()) out.push_back(last);
    return out;
}

std::string_view param_name(std::string_view p) {
    while (!p.empty() && p.front() == '*') p.remove_prefix(1);
    size_t end = p.find_first_of(":=");
    return trim(p.substr(0, end));
}

}  // namespace

namespace detail {

// Anything it does not fill in (keywords, a wrong count) goes to the interpreter's plain call,
// whose frame does the same and raises Python's own errors.
PyObject *direct_call(PyObject *fn, PyObject *const *args, size_t nargsf, PyObject *kwnames) noexcept {
    constexpr Py_ssize_t room = 16;
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    Entry *entry = kwnames ? nullptr : entry_of(fn);
    if (!entry || entry->positional < 0 || nargs > room) return plain_call(fn, args, nargsf, kwnames);
    const Py_ssize_t positional = entry->positional;
    // Held for the call: the body may replace the function's defaults while it runs.
    nb::object defaults = nb::borrow(PyFunction_GET_DEFAULTS(fn));
    const Py_ssize_t n_defaults = defaults.is_valid() ? PyTuple_GET_SIZE(defaults.ptr()) : 0;
    if (nargs < positional - n_defaults || (nargs > positional && !entry->star_args))
        return plain_call(fn, args, nargsf, kwnames);
    PyObject *call[room + 2];
    Py_ssize_t n = 0;
    for (; n < positional; ++n)
        call[n] = n < nargs ? args[n] : PyTuple_GET_ITEM(defaults.ptr(), n - (positional - n_defaults));
    nb::object rest, options;
    if (entry->star_args) {
        const Py_ssize_t extra = nargs > positional ? nargs - positional : 0;
        rest = nb::steal(PyTuple_New(extra));
        if (!rest.is_valid()) return nullptr;
        for (Py_ssize_t i = 0; i < extra; ++i)
            PyTuple_SET_ITEM(rest.ptr(), i, nb::borrow(args[positional + i]).release().ptr());
        call[n++] = rest.ptr();
    }
    if (entry->star_kwargs) {
        options = nb::steal(PyDict_New());
        if (!options.is_valid()) return nullptr;
        call[n++] = options.ptr();
    }
    // No Python frame counts this call, so the C call does.
    if (Py_EnterRecursiveCall(" while calling a native method")) return nullptr;
    PyObject *result = run_body(entry, call, n);
    Py_LeaveRecursiveCall();
    return result;
}

}  // namespace detail

std::string mangle(const char *class_name, const char *name) {
    std::string_view n(name);
    if (n.size() > 2 && n.substr(0, 2) == "__" && n.substr(n.size() - 2) != "__") {
        std::string_view cls(class_name);
        while (!cls.empty() && cls.front() == '_') cls.remove_prefix(1);
        return "_" + std::string(cls) + std::string(n);
    }
    return std::string(n);
}

nb::object make_function(nb::module_ &module, const Method &method, const char *qualname_prefix) {
    const char *first = method.binding == Binding::Instance      ? "self"
                        : method.binding == Binding::ClassMethod ? "cls"
                                                                 : nullptr;
    std::vector<std::string_view> params = split_params(method.params ? method.params : "");
    std::string signature, call;
    std::vector<std::string_view> call_names;
    if (first) {
        signature = first;
        call = first;
    }
    // The signature's shape, for calls filled in C (see Entry).
    Py_ssize_t positional = first ? 1 : 0;
    bool star_args = false, star_kwargs = false, keyword_only = false;
    for (std::string_view p : params) {
        if (p == "/") continue;
        if (p.substr(0, 2) == "**") star_kwargs = true;
        else if (p == "*") keyword_only = true;
        else if (p.substr(0, 1) == "*") star_args = true;
        else if (star_args || star_kwargs) keyword_only = true;
        else ++positional;
    }
    for (std::string_view p : params) {
        if (!signature.empty()) signature += ", ";
        signature += p;
        if (p == "*" || p == "/") continue;
        std::string_view name = param_name(p);
        call_names.push_back(name);
        if (!call.empty()) call += ", ";
        call += name;
    }
    std::string src = "def __vantu_make__(__vantu_body__):\n    def ";
    src += method.name;
    src += "(" + signature + ")";
    if (method.returns) src += std::string(" -> ") + method.returns;
    src += ":\n        return __vantu_body__(" + call + ")\n    return ";
    src += method.name;
    src += "\n";

    nb::dict globals = nb::borrow<nb::dict>(module.attr("__dict__"));
    // Extension modules start without __builtins__; generated code needs it as a module would.
    if (!globals.contains("__builtins__")) globals["__builtins__"] = nb::module_::import_("builtins");
    nb::dict locals;
    nb::object code = nb::steal(Py_CompileString(src.c_str(), "<vantu generated>", Py_file_input));
    if (!code.is_valid()) throw_pending();
    nb::object done = nb::steal(PyEval_EvalCode(code.ptr(), globals.ptr(), locals.ptr()));
    if (!done.is_valid()) throw_pending();

    Entry &entry = entries().emplace_back();
    entry.body = method.body;
    if (!keyword_only) {
        entry.positional = positional;
        entry.star_args = star_args;
        entry.star_kwargs = star_kwargs;
    }
    entry.def = PyMethodDef{method.name, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&entry_point)),
                            METH_FASTCALL, nullptr};
    nb::object capsule = nb::steal(PyCapsule_New(&entry, nullptr, nullptr));
    if (!capsule.is_valid()) throw_pending();
    nb::object c_entry = nb::steal(PyCFunction_New(&entry.def, capsule.ptr()));
    if (!c_entry.is_valid()) throw_pending();

    nb::object fn = locals["__vantu_make__"](c_entry);
    std::string qualname = qualname_prefix ? std::string(qualname_prefix) + "." + method.name : method.name;
    fn.attr("__qualname__") = nb::str(qualname.c_str());
    if (method.doc) fn.attr("__doc__") = nb::str(method.doc);

    // Exact-type checks for parameters annotated with builtin text and container types.
    nb::dict annotations = nb::borrow<nb::dict>(fn.attr("__annotations__"));
    const size_t offset = first ? 1 : 0;
    for (size_t i = 0; i < call_names.size(); ++i) {
        nb::str key(call_names[i].data(), call_names[i].size());
        if (!annotations.contains(key)) continue;
        nb::handle ann = annotations[key];
        if (ann.is(reinterpret_cast<PyObject *>(&PyDict_Type)) || ann.is(reinterpret_cast<PyObject *>(&PyUnicode_Type)) ||
            ann.is(reinterpret_cast<PyObject *>(&PyList_Type)) || ann.is(reinterpret_cast<PyObject *>(&PyTuple_Type)))
            entry.checks.push_back({i + offset, ann, std::string(call_names[i])});
    }
#if PY_VERSION_HEX >= 0x030C0000
    // Only over the interpreter's plain call of Python functions, which the direct entry falls
    // back to (and a shortcut, through the direct entry).
    vectorcallfunc own = PyVectorcall_Function(fn.ptr());
    if (!detail::plain_call) detail::plain_call = own;
    if (own && own == detail::plain_call) {
        if (method.shortcut && entry.checks.empty())
            PyFunction_SetVectorcall(reinterpret_cast<PyFunctionObject *>(fn.ptr()), method.shortcut);
        else if (entry.positional >= 0)
            PyFunction_SetVectorcall(reinterpret_cast<PyFunctionObject *>(fn.ptr()), &detail::direct_call);
    }
#endif
    return fn;
}

nb::object define_class(nb::module_ &module, const ClassRecipe &recipe) {
    nb::dict ns;
    ns["__module__"] = module.attr("__name__");
    ns["__qualname__"] = nb::str(recipe.name);
    if (recipe.doc) ns["__doc__"] = nb::str(recipe.doc);
    for (const auto &[key, value] : recipe.attrs) ns[key] = value;
    for (const Method &m : recipe.methods) {
        nb::object fn = make_function(module, m, recipe.name);
        if (m.decorate) fn = m.decorate(fn);
        if (m.binding == Binding::ClassMethod) {
            fn = nb::module_::import_("builtins").attr("classmethod")(fn);
        }
        ns[nb::str(mangle(recipe.name, m.name).c_str())] = fn;
    }
    nb::handle metaclass = reinterpret_cast<PyObject *>(Py_TYPE(recipe.bases[0].ptr()));
    nb::object cls = metaclass(nb::str(recipe.name), recipe.bases, ns);
    module.attr(recipe.name) = cls;
    return cls;
}

}  // namespace vantu
