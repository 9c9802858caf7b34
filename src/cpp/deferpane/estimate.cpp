// estimate_steps: counts the build steps of a component tree, one per child of every
// container reached from the root through containers.
#include "deferpane/deferpane.h"

#include <vector>

namespace deferpane {
namespace {

// The container classes, in the order they are tested; set once at registration.
vantu::Forever *container_classes = nullptr;

// Types already classified, checked by pointer before any isinstance call. Entries hold a
// strong reference, so a freed type can never be mistaken for a new one at the same address.
struct Known {
    PyTypeObject *type;
    bool container;
};
std::vector<Known> *known = nullptr;
constexpr size_t kKnownLimit = 64;

// True when no container class customises isinstance through its metaclass; only then does a
// type's answer hold for all of its instances.
bool metaclasses_plain = false;

bool plain_metaclass(nb::handle cls) {
    static const vantu::Forever type_check(nb::borrow(reinterpret_cast<PyObject *>(&PyType_Type)).attr("__instancecheck__"));
    nb::object check = nb::borrow(reinterpret_cast<PyObject *>(Py_TYPE(cls.ptr()))).attr("__instancecheck__");
    return check.is(type_check.h());
}

// isinstance also consults `obj.__class__`; a type that redefines it may answer per instance.
bool class_attribute_plain(PyTypeObject *type) {
    PyObject *mro = type->tp_mro;
    if (!mro) return false;
    for (Py_ssize_t i = 0, n = PyTuple_GET_SIZE(mro); i < n; ++i) {
        PyObject *base = PyTuple_GET_ITEM(mro, i);
        if (base == reinterpret_cast<PyObject *>(&PyBaseObject_Type)) continue;
        PyObject *dict = reinterpret_cast<PyTypeObject *>(base)->tp_dict;
        if (!dict) return false;
        int has = PyDict_Contains(dict, VN("__class__").ptr());
        if (has < 0) vantu::throw_pending();
        if (has) return false;
    }
    return true;
}

bool is_container(nb::handle node) {
    PyTypeObject *type = Py_TYPE(node.ptr());
    for (const Known &k : *known)
        if (k.type == type) return k.container;
    bool result = vantu::is_instance(node, container_classes->h());
    if (metaclasses_plain && known->size() < kKnownLimit && class_attribute_plain(type)) {
        nb::borrow(reinterpret_cast<PyObject *>(type)).release();  // the cache keeps the type
        known->push_back({type, result});
    }
    return result;
}

struct RecursionGuard {
    RecursionGuard() {
        if (Py_EnterRecursiveCall(" in estimate_steps")) vantu::throw_pending();
    }
    ~RecursionGuard() { Py_LeaveRecursiveCall(); }
};

Py_ssize_t count(nb::handle node);

Py_ssize_t count_children(nb::handle children) {
    if (PyList_CheckExact(children.ptr())) {
        Py_ssize_t direct = PyList_GET_SIZE(children.ptr());
        Py_ssize_t nested = 0;
        // Re-read the size each step, as Python's list iterator does: a child's `_children`
        // may be a property with side effects.
        for (Py_ssize_t i = 0; i < PyList_GET_SIZE(children.ptr()); ++i) {
            nb::object child = nb::borrow(PyList_GET_ITEM(children.ptr(), i));
            if (is_container(child)) nested += count(child);
        }
        return direct + nested;
    }
    if (PyTuple_CheckExact(children.ptr())) {
        Py_ssize_t direct = PyTuple_GET_SIZE(children.ptr());
        Py_ssize_t nested = 0;
        for (Py_ssize_t i = 0; i < direct; ++i) {
            nb::handle child = PyTuple_GET_ITEM(children.ptr(), i);
            if (is_container(child)) nested += count(child);
        }
        return direct + nested;
    }
    Py_ssize_t direct = PyObject_Size(children.ptr());
    if (direct < 0) vantu::throw_pending();
    nb::object it = nb::steal(PyObject_GetIter(children.ptr()));
    if (!it.is_valid()) vantu::throw_pending();
    Py_ssize_t nested = 0;
    while (true) {
        nb::object child = nb::steal(PyIter_Next(it.ptr()));
        if (!child.is_valid()) {
            if (PyErr_Occurred()) vantu::throw_pending();
            break;
        }
        if (is_container(child)) nested += count(child);
    }
    return direct + nested;
}

// Steps under a node already known to be a container.
Py_ssize_t count(nb::handle node) {
    RecursionGuard guard;
    nb::object children = nb::steal(PyObject_GetAttr(node.ptr(), VN("_children").ptr()));
    if (!children.is_valid()) vantu::throw_pending();
    if (!vantu::truthy(children)) return 0;
    return count_children(children);
}

nb::object estimate_steps(vantu::Args a) {
    nb::handle node = a[0];
    if (!is_container(node)) return nb::int_(0);
    return nb::steal(PyLong_FromSsize_t(count(node)));
}

}  // namespace

void register_estimate_steps(nb::module_ &m, nb::tuple classes) {
    container_classes = new vantu::Forever(classes);  // process-long, like the module
    known = new std::vector<Known>();
    metaclasses_plain = true;
    for (nb::handle cls : classes) metaclasses_plain = metaclasses_plain && plain_metaclass(cls);
    vantu::Method method{"estimate_steps", "node: Component", estimate_steps,
                         "Number of build steps of the tree under `node`: one for every child of every "
                         "container reached from it through containers; 0 for a non-container.",
                         vantu::Binding::Plain, "int"};
    m.attr("estimate_steps") = vantu::make_function(m, method, nullptr);
}

}  // namespace deferpane
