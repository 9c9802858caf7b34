// vantu.deferpane: deferred building of a component tree behind a fallback widget.
#include "deferpane/deferpane.h"

NB_MODULE(deferpane, m) {
    vantu::import_into(m, "typing", {"Callable", "Optional"});
    vantu::import_into(m, "PySide6.QtCore", {"QTimer"});
    vantu::import_into(m, "PySide6.QtWidgets", {"QWidget", "QVBoxLayout", "QSizePolicy", "QFrame"});
    vantu::import_into(m, "vantu.material.component", {"Component", "RenderContext", "RenderScheduler"});
    vantu::import_into(m, "vantu.material.scroll_bar", {"Scrollbar"});
    vantu::import_into(m, "vantu.material.box", {"Box"});
    vantu::import_into(m, "vantu.material.container", {"Container"});
    vantu::import_into(m, "vantu.material.stack", {"Stack"});
    vantu::import_into(m, "vantu.material.masonry", {"Masonry"});
    vantu::import_into(m, "vantu.material.collapse", {"Collapse"});
    vantu::import_into(m, "vantu.material.grid", {"Grid"});
    vantu::import_into(m, "vantu.material.section", {"Section"});
    vantu::import_into(m, "vantu.material.paper", {"Paper"});
    vantu::import_into(m, "vantu.material.tabs", {"Tabs"});
    vantu::import_into(m, "vantu.material.tab", {"Tab"});
    vantu::import_into(m, "vantu.material.view", {"View"});
    vantu::import_into(m, "vantu.material.table_view_cell", {"TableViewCell"});

    // The order in which containers are recognised.
    nb::list classes;
    for (const char *name : {"Container", "Scrollbar", "Box", "Stack", "Masonry", "Grid", "Section", "Paper", "Tabs",
                             "Tab", "Collapse", "View", "TableViewCell"})
        classes.append(m.attr(name));
    deferpane::register_estimate_steps(m, nb::tuple(classes));
    deferpane::register_lazy(m);
}
