// Lazy: builds its root component through a chunked render scheduler while a fallback is
// shown, then swaps the two; the finish handling lives in a private QObject child so that it
// dies with the Lazy and nothing can reach a deleted one.
#include "deferpane/deferpane.h"

namespace deferpane {
namespace {

using vantu::Args;

// Module globals fetched once at registration (the module keeps them alive).
struct Refs {
    nb::handle QTimer, QEvent, QWidget, QVBoxLayout, QFrame, QObject, Callable, RenderContext, RenderScheduler;
    nb::handle expanding, required, isValid, finish_class, module_dict;
};
Refs refs;

// --- _LazyFinish: the finish handler shared by one Lazy ---------------------------------

namespace lazy_finish {

nb::object __init__(Args a) {
    nb::handle self = a.self();
    refs.QObject.attr(VN("__init__"))(self, a[1]);
    self.attr(VN("_fallback")) = a[2];
    self.attr(VN("_placeholder")) = a[3];
    self.attr(VN("_real_container")) = a[4];
    if (!a[2].is_none()) a[2].attr(VN("installEventFilter"))(self);
    return nb::none();
}

// The fallback paints as it is first shown, so it is on screen before the scheduler's first
// turn builds anything (a window otherwise repaints only after a short update delay).
nb::object eventFilter(Args a) {
    static const vantu::Forever show(refs.QEvent.attr("Type").attr("Show"));
    if (a[2].attr(VN("type"))().equal(show.h())) {
        a[1].attr(VN("removeEventFilter"))(a.self());
        a[1].attr(VN("repaint"))();
    }
    return nb::bool_(false);
}

nb::object on_finished(Args a) {
    nb::handle self = a.self();
    self.attr(VN("_placeholder")).attr(VN("setVisible"))(false);
    nb::object fallback = self.attr(VN("_fallback"));
    // The fallback is the caller's widget: if they deleted it meanwhile there is nothing to hide.
    if (!fallback.is_none() && vantu::truthy(refs.isValid(fallback))) fallback.attr(VN("setVisible"))(false);
    refs.QTimer.attr(VN("singleShot"))(100, self, self.attr(VN("_reveal")));
    return nb::none();
}

nb::object _reveal(Args a) {
    a.self().attr(VN("_real_container")).attr(VN("setVisible"))(true);
    return nb::none();
}

}  // namespace lazy_finish

// --- Lazy -------------------------------------------------------------------------------

namespace lazy {

nb::object __init__(Args a) {
    nb::handle self = a.self(), root = a[1], fallback = a[2], on_progress = a[3], on_finished = a[4], parent = a[5];
    const char *fmt = "%.200s() takes %.8s %zd positional argument%.1s (%zd given)";
    if (root.is(refs.required)) vantu::raise(PyExc_TypeError, fmt, "__init__", "at least", Py_ssize_t(1), "", Py_ssize_t(0));
    Py_ssize_t extra = PyTuple_GET_SIZE(a[6].ptr());
    if (extra) vantu::raise(PyExc_TypeError, fmt, "__init__", "at most", Py_ssize_t(5), "s", 5 + extra);

    refs.QWidget.attr(VN("__init__"))(self, parent);

    nb::object ctx = refs.RenderContext();
    nb::object scheduler = refs.RenderScheduler(ctx, nb::arg("chunk_per_tick") = 30, nb::arg("parent") = self);
    ctx.attr(VN("scheduler")) = scheduler;

    nb::object layout = refs.QVBoxLayout(self);
    layout.attr(VN("setContentsMargins"))(0, 2, 0, 0);
    self.attr(VN("setSizePolicy"))(refs.expanding, refs.expanding);

    nb::object placeholder = refs.QWidget(self);
    nb::object ph_layout = refs.QVBoxLayout(placeholder);
    ph_layout.attr(VN("setContentsMargins"))(0, 0, 0, 0);
    ph_layout.attr(VN("setSpacing"))(8);

    bool has_fallback = vantu::is_instance(fallback, refs.QWidget);
    if (has_fallback) {
        layout.attr(VN("addWidget"))(fallback);
        fallback.attr(VN("setVisible"))(true);
    }

    nb::object real_container = refs.QFrame(self);
    nb::object real_layout = refs.QVBoxLayout(real_container);
    real_layout.attr(VN("setContentsMargins"))(0, 0, 0, 0);
    real_layout.attr(VN("setSpacing"))(0);

    nb::object root_widget = root.attr(VN("renderUi"))(ctx, nb::arg("parent") = real_container);
    real_layout.attr(VN("addWidget"))(root_widget);

    real_container.attr(VN("setVisible"))(false);
    layout.attr(VN("addWidget"))(real_container);

    nb::object finish = refs.finish_class(self, has_fallback ? nb::borrow(fallback) : nb::none(), placeholder,
                                          real_container);
    ctx.attr(VN("finished")).attr(VN("connect"))(finish.attr(VN("on_finished")));

    nb::object estimate = nb::borrow(PyDict_GetItemWithError(refs.module_dict.ptr(), VN("estimate_steps").ptr()));
    if (!estimate.is_valid()) {
        if (!PyErr_Occurred()) PyErr_SetString(PyExc_NameError, "name 'estimate_steps' is not defined");
        vantu::throw_pending();
    }
    nb::object total = estimate(root);
    ctx.attr(VN("set_total"))(total);

    if (vantu::is_instance(on_progress, refs.Callable)) ctx.attr(VN("progressChanged")).attr(VN("connect"))(on_progress);
    if (vantu::is_instance(on_finished, refs.Callable)) ctx.attr(VN("finished")).attr(VN("connect"))(on_finished);
    return nb::none();
}

}  // namespace lazy

}  // namespace

void register_lazy(nb::module_ &m) {
    refs.QTimer = m.attr("QTimer");
    refs.QWidget = m.attr("QWidget");
    refs.QVBoxLayout = m.attr("QVBoxLayout");
    refs.QFrame = m.attr("QFrame");
    refs.Callable = m.attr("Callable");
    refs.RenderContext = m.attr("RenderContext");
    refs.RenderScheduler = m.attr("RenderScheduler");
    refs.module_dict = m.attr("__dict__");
    refs.QObject = vantu::Forever(nb::module_::import_("PySide6.QtCore").attr("QObject")).h();
    refs.QEvent = vantu::Forever(nb::module_::import_("PySide6.QtCore").attr("QEvent")).h();
    refs.isValid = vantu::Forever(nb::module_::import_("shiboken6").attr("isValid")).h();
    refs.expanding = vantu::Forever(m.attr("QSizePolicy").attr("Policy").attr("Expanding")).h();

    // Stands for a missing root_component, so that a call without it gets the positional-count message.
    m.attr("_REQUIRED") = nb::steal(PyObject_CallNoArgs(reinterpret_cast<PyObject *>(&PyBaseObject_Type)));
    refs.required = m.attr("_REQUIRED");

    vantu::ClassRecipe finish_recipe{
        "_LazyFinish",
        "Finish handler of one Lazy: hides the fallback, then reveals the built content 100 ms later.",
        nb::make_tuple(refs.QObject),
        {},
        {
            {"__init__", "owner, fallback, placeholder, real_container", lazy_finish::__init__,
             "Keeps the widgets to swap; a child of `owner`, so it dies with it."},
            {"eventFilter", "obj, event", lazy_finish::eventFilter,
             "Paints the fallback as soon as it is first shown."},
            {"on_finished", "", lazy_finish::on_finished,
             "Hides the placeholder and the fallback and schedules the reveal."},
            {"_reveal", "", lazy_finish::_reveal, "Shows the built content."},
        }};
    refs.finish_class = vantu::define_class(m, finish_recipe);

    vantu::ClassRecipe recipe{
        "Lazy",
        "A widget that builds `root_component` in chunks on the event loop while `fallback` is shown, "
        "and reveals the built content 100 ms after the build has finished.",
        nb::make_tuple(refs.QWidget),
        {},
        {
            {"__init__",
             "root_component: Component = _REQUIRED, fallback: Optional[QWidget] = None, "
             "onProgress: Optional[Callable] = None, onFinished: Optional[Callable] = None, parent=None, *_extra",
             lazy::__init__,
             "Builds the frame, starts the chunked build of `root_component` and wires the finish.\n\n"
             "Args:\n"
             "    root_component: the component tree to build (it must offer renderUi).\n"
             "    fallback: widget shown while building; anything but a QWidget is ignored.\n"
             "    onProgress: called with the render context's progress arguments.\n"
             "    onFinished: called when the build has finished, after the Lazy's own handler.\n"
             "    parent: parent widget."},
        }};
    nb::object cls = vantu::define_class(m, recipe);

    // What introspection shows: the signature callers use, without the argument-count plumbing.
    vantu::Method shown{"__init__",
                        "root_component: Component, fallback: Optional[QWidget] = None, "
                        "onProgress: Optional[Callable] = None, onFinished: Optional[Callable] = None, parent=None",
                        lazy::__init__, nullptr};
    nb::object honest = vantu::make_function(m, shown, "Lazy");
    cls.attr("__init__").attr("__signature__") = nb::module_::import_("inspect").attr("signature")(honest);
}

}  // namespace deferpane
