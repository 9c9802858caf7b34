// The event filters' fast path (see qtevent.h). PySide6 calls a Python-level eventFilter for
// every event of the application; most of them are of no interest, and asking `event.type()`
// through the binding layer costs more than the rest of the filter. Shiboken's own lookup of
// the C++ pointer is taken from the already loaded library (never a second copy), and the
// type is the 16-bit field that follows QEvent's vtable pointer: checked at import on events
// of known types, off if anything differs.
#include "common/qtevent.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace vantu::qtevent {
namespace {

using CppPointer = void *(*)(PyObject *, PyTypeObject *);  // Shiboken::Object::cppPointer(SbkObject *, PyTypeObject *)

CppPointer cpp_pointer = nullptr;
PyTypeObject *qevent_type = nullptr;
bool ready = false;
bool switched_on = true;

int read_type(PyObject *event) noexcept {
    void *cpp = cpp_pointer(event, qevent_type);
    if (!cpp) return -1;
    std::uint16_t type;
    std::memcpy(&type, static_cast<const char *>(cpp) + sizeof(void *), sizeof type);
    return type;
}

// The library behind shiboken6's module, as the process loaded it.
void *loaded_shiboken() {
    nb::module_ shiboken = nb::module_::import_("shiboken6.Shiboken");
    nb::object os_path = nb::module_::import_("os.path");
    nb::object folder = os_path.attr("dirname")(os_path.attr("dirname")(shiboken.attr("__file__")));
    nb::list found = nb::list(nb::module_::import_("glob").attr("glob")(
        os_path.attr("join")(folder, "shiboken6", "libshiboken6*.so*")));
    for (nb::handle path : found) {
        std::string full = nb::str(path).c_str();
        std::string base = full.substr(full.find_last_of('/') + 1);
        // By name first (what the module's own dependency resolved to), then by path.
        for (const std::string &name : {base, full})
            if (void *lib = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD)) return lib;
    }
    return nullptr;
}

bool check_layout() {
    nb::object QEvent = nb::module_::import_("PySide6.QtCore").attr("QEvent");
    nb::object Type = QEvent.attr("Type");
    for (int t : std::initializer_list<int>{MouseButtonPress, KeyPress, Show, Hide, WindowActivate, Wheel, EnabledChange,
                                            1000, 65535}) {
        nb::object event = QEvent(Type(t));
        int expected = nb::cast<int>(event.attr("type")().attr("value"));
        if (expected != t || read_type(event.ptr()) != t) return false;
    }
    // A subclass's wrapper reaches the same QEvent.
    nb::object gui = nb::module_::import_("PySide6.QtGui");
    nb::object core = nb::module_::import_("PySide6.QtCore");
    nb::object qt = core.attr("Qt");
    nb::object press = gui.attr("QMouseEvent")(Type(static_cast<int>(MouseButtonPress)), core.attr("QPointF")(1, 2),
                                               core.attr("QPointF")(3, 4), qt.attr("MouseButton").attr("LeftButton"),
                                               qt.attr("MouseButton").attr("LeftButton"),
                                               qt.attr("KeyboardModifier").attr("NoModifier"));
    return read_type(press.ptr()) == MouseButtonPress;
}

}  // namespace

bool init() noexcept {
    static bool done = false;
    if (done) return ready;
    done = true;
    try {
        void *lib = loaded_shiboken();
        if (!lib) return false;
        cpp_pointer = reinterpret_cast<CppPointer>(dlsym(lib, "_ZN8Shiboken6Object10cppPointerEP9SbkObjectP11_typeobject"));
        dlclose(lib);  // the process keeps it loaded: NOLOAD took a reference of its own
        if (!cpp_pointer) return false;
        nb::object QEvent = nb::module_::import_("PySide6.QtCore").attr("QEvent");
        // Released on purpose: the class stays referenced for the life of the process.
        qevent_type = reinterpret_cast<PyTypeObject *>(QEvent.release().ptr());
        ready = true;
        if (!check_layout()) ready = false;
    } catch (...) {
        ready = false;
    }
    if (PyErr_Occurred()) PyErr_Clear();
    return ready;
}

bool enabled() noexcept { return ready && switched_on; }

void set_enabled(bool on) noexcept { switched_on = on; }

int type_of(PyObject *event) noexcept {
    if (!ready || !switched_on || !PyObject_TypeCheck(event, qevent_type)) return -1;
    return read_type(event);
}

PyObject *own_attr(PyObject *obj, PyObject *name) noexcept {
    nb::object dict = nb::steal(PyObject_GenericGetDict(obj, nullptr));
    if (!dict.is_valid()) {
        PyErr_Clear();
        return nullptr;
    }
    PyObject *value = PyDict_GetItemWithError(dict.ptr(), name);  // borrowed; the instance keeps it
    if (!value && PyErr_Occurred()) PyErr_Clear();
    return value;
}

namespace {

// Whether the gate's class names the event's type among those it handles: 1 no, 0 yes or no
// such set, -1 with a Python error set.
int gate_closed(PyObject *self, PyObject *event) noexcept {
    const int type = type_of(event);
    if (type < 0) return 0;
    // Class attributes, read from the type's own cache of its attributes.
    PyObject *types = _PyType_Lookup(Py_TYPE(self), VN("_gate_types").ptr());
    if (!types || !PyAnySet_Check(types)) return 0;
    nb::object key = nb::steal(PyLong_FromLong(type));
    if (!key.is_valid()) return -1;
    const int found = PySet_Contains(types, key.ptr());
    return found < 0 ? -1 : !found;
}

PyObject *gate_shortcut(PyObject *const *args, size_t nargs) noexcept {
    if (nargs != 3) return nullptr;
    const int closed = gate_closed(args[0], args[2]);
    if (closed > 0) return nb::bool_(false).release().ptr();
    if (closed < 0) PyErr_Clear();  // the function runs and meets the error itself
    return nullptr;
}

}  // namespace

nb::object gate(vantu::Args a) {
    const int closed = gate_closed(a[0].ptr(), a[2].ptr());
    if (closed < 0) vantu::throw_pending();
    if (closed) return nb::bool_(false);
    nb::handle self = a[0];
    nb::object handler = self.attr(nb::getattr(nb::borrow(reinterpret_cast<PyObject *>(Py_TYPE(self.ptr()))), VN("_gate_handler")));
    return handler(a[1], a[2]);
}

namespace {

nb::object fast_events(vantu::Args a) {
    if (!a[0].is_none()) set_enabled(vantu::truthy(a[0]));
    return nb::bool_(enabled());
}

}  // namespace

void register_helpers(nb::module_ &m) {
    init();
    m.attr("_fast_events") = vantu::make_function(
        m,
        {"_fast_events", "on=None", fast_events,
         "Whether event filters read event types without the binding layer; `on` switches it (False "
         "forces the Python path, as on a binding whose layout is not the expected one).",
         vantu::Binding::Plain},
        nullptr);
    m.attr("_event_gate") = vantu::make_function(
        m,
        {"eventFilter", "self, watched, event", gate,
         "An event filter for classes that name the event types they handle in `_gate_types` (a set of "
         "ints) and their handler in `_gate_handler`: other events are answered False at once.",
         vantu::Binding::Plain, nullptr, nullptr, vantu::shortcut<gate_shortcut>},
        nullptr);
}

}  // namespace vantu::qtevent
