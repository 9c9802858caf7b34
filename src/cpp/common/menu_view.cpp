// MenuView (see menu_view.h): built in two phases; the constructor keeps its keyword
// arguments and renderUi builds the frame around a ListView made from them.
#include "common/menu_view.h"

namespace vantu {
namespace {

// Qt classes and library names this module imported, fetched once when the class is defined.
struct Refs {
    nb::handle QFrame, QVBoxLayout, QSizePolicy, Component, ListView;
    nb::handle expanding, maximum;
};
Refs refs;

nb::object object_name(nb::handle self, const char *prefix) {
    return nb::str(prefix) + nb::str(nb::int_(nb::steal(PyLong_FromVoidPtr(self.ptr()))));
}

nb::object init(Args a) {
    a.self().attr(VN("_kwargs")) = nb::dict(nb::borrow<nb::dict>(a[1]));
    return nb::none();
}

nb::object render_ui(Args a) {
    nb::handle self = a.self();
    try {
        refs.QFrame.attr(VN("__init__"))(self, a[2]);
    } catch (nb::python_error &) {
        // A second renderUi on a built frame: keep what exists and hand it back.
        return nb::borrow(self);
    }
    nb::object name = object_name(self, "MenuView-");
    self.attr(VN("setObjectName"))(name);
    self.attr(VN("_ctx")) = a[1];
    nb::object layout = refs.QVBoxLayout();
    self.attr(VN("setLayout"))(layout);
    layout.attr(VN("setContentsMargins"))(0, 0, 0, 0);
    self.attr(VN("setSizePolicy"))(refs.expanding, refs.maximum);
    nb::dict kwargs = nb::borrow<nb::dict>(self.attr(VN("_kwargs")));
    nb::object list_view = refs.ListView(**kwargs).attr(VN("renderUi"))(nb::arg("ctx") = self.attr(VN("_ctx")));
    self.attr(VN("listView")) = list_view;
    layout.attr(VN("addWidget"))(list_view);
    self.attr(VN("setStyleSheet"))(nb::str("#") + name + nb::str(" {background: white;}"));
    return nb::borrow(self);
}

}  // namespace

nb::object register_menu_view(nb::module_ &module) {
    refs.QFrame = module.attr("QFrame");
    refs.QVBoxLayout = module.attr("QVBoxLayout");
    refs.QSizePolicy = module.attr("QSizePolicy");
    refs.Component = module.attr("Component");
    refs.ListView = module.attr("ListView");
    nb::object policy = refs.QSizePolicy.attr("Policy");
    refs.expanding = Forever(policy.attr("Expanding")).h();  // kept for the life of the process
    refs.maximum = Forever(policy.attr("Maximum")).h();
    ClassRecipe recipe{
        "MenuView",
        "The popup's option container: a frame holding the option list.",
        nb::make_tuple(refs.QFrame, refs.Component),
        {},
        {
            {"__init__", "**kwargs", init, "Keeps the keyword arguments for the option list; builds nothing yet."},
            {"renderUi", "ctx: RenderContext = None, parent: Optional[QWidget] = None", render_ui,
             "Builds the frame and its option list under `parent` and returns the frame.", Binding::Instance,
             "QWidget"},
        }};
    return define_class(module, recipe);
}

}  // namespace vantu
