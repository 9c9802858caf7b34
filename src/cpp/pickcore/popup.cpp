// The popup: its container, the frameless window, placement under or above the field, and
// showing, hiding and toggling.
#include "pickcore/pickcore.h"

namespace pickcore {

namespace select_base {

namespace {

Rect rect_of(nb::handle r) {
    return {nb::cast<int>(r.attr("x")()), nb::cast<int>(r.attr("y")()), nb::cast<int>(r.attr("width")()),
            nb::cast<int>(r.attr("height")())};
}

// The screen area the popup must stay in: the available geometry of the field's screen.
nb::object screen_bounds(nb::handle self) {
    nb::object screen = self.attr(VN("screen"))();
    if (screen.is_none()) screen = G.QApplication.attr("primaryScreen")();
    if (screen.is_none()) return nb::none();
    return screen.attr(VN("availableGeometry"))();
}

void build_popup_window(nb::handle self) {
    nb::object popup = G.QFrame(self);
    self.attr(VN("_popup")) = popup;
    popup.attr(VN("setFocusPolicy"))(G.NoFocus);
    popup.attr(VN("setAttribute"))(G.WA_ShowWithoutActivating, true);
    popup.attr(VN("setWindowFlags"))(G.popup_flags);
    popup.attr(VN("setAttribute"))(G.WA_TranslucentBackground, true);
    G.QApplication.attr("instance")().attr(VN("installEventFilter"))(self);
    nb::object name = nb::str(G.uuid4());
    popup.attr(VN("setObjectName"))(name);
    nb::object layout = G.QVBoxLayout();
    popup.attr(VN("setLayout"))(layout);
    layout.attr(VN("setContentsMargins"))(0, 0, 9, 9);
    layout.attr(VN("addWidget"))(self.attr(VN("_menu")));
    popup.attr(VN("setAutoFillBackground"))(false);
    popup.attr(VN("setStyleSheet"))(nb::str("#") + name + nb::str(" {background: transparent;border: none;}"));
}

}  // namespace

nb::object place_popup_py(Args a) {
    // A plain function: anchor, popup, limit_y, bounds at a[0..3].
    nb::handle popup = a[1];
    nb::object bounds = nb::borrow(a[3]);
    Rect b = bounds.is_none() ? Rect{0, 0, 0, 0} : rect_of(bounds);
    const int h = nb::cast<int>(popup.attr("height")());
    Point p = vantu::place_popup(rect_of(a[0]), h, nb::cast<int>(popup.attr("width")()), h, nb::cast<int>(a[2]), b);
    return G.QPoint(p.x, p.y);
}

nb::object _create_menu(Args a) {
    nb::handle self = a.self();
    nb::object menu = G.MenuView(nb::arg("model") = self.attr(VN("_options")),
                                 nb::arg("renderOption") = self.attr(VN("_renderOption")),
                                 nb::arg("getOptionDisabled") = self.attr(VN("_getOptionDisabled")),
                                 nb::arg("onChange") = self.attr(VN("_selected_change")),
                                 nb::arg("selected") = self.attr(VN("_selectedKeys")))
                          .attr(VN("renderUi"))(nb::arg("ctx") = self.attr(VN("_ctx")));
    nb::object old = self.attr(VN("_menu"));
    self.attr(VN("_menu")) = menu;
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    if (!popup.is_none()) {
        // A rebuilt container takes the old one's place inside the existing window.
        nb::object layout = popup.attr(VN("layout"))();
        if (!old.is_none()) {
            layout.attr(VN("removeWidget"))(old);
            old.attr(VN("hide"))();
            old.attr(VN("deleteLater"))();
        }
        layout.attr(VN("addWidget"))(menu);
    }
    return nb::none();
}

nb::object _show_popup(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_readOnly")))) return nb::none();
    if (!vantu::truthy(self.attr(VN("_menu")))) self.attr(VN("_create_menu"))();
    nb::object popup = self.attr(VN("_popup"));
    if (vantu::truthy(popup) && vantu::truthy(vantu::getattr_or_none(self, VN("_popupShowed")))) return nb::none();
    if (!vantu::truthy(popup)) {
        build_popup_window(self);
        popup = self.attr(VN("_popup"));
    }
    int h = nb::cast<int>(self.attr(VN("height"))());
    int w = nb::cast<int>(self.attr(VN("width"))());
    nb::object global_point = self.attr(VN("mapToGlobal"))(G.QPoint(0, h));
    nb::object bounds = screen_bounds(self);
    nb::object main_window = vantu::getattr_or_none(G.QApplication.attr("instance")(), VN("mainWindow"));
    int limit_y;
    if (!main_window.is_none()) {
        limit_y = nb::cast<int>(main_window.attr(VN("height"))());
    } else {
        // No main window to ask: the bottom of the screen's usable area takes its place.
        limit_y = bounds.is_none() ? vantu::clamp_to_int(std::int64_t{nb::cast<int>(global_point.attr("y")())} + 100000)
                                   : rect_of(bounds).bottom();
    }
    // Right to left, the popup mirrors: its shadow margin moves to the left and its top-right
    // corner meets the field's bottom-right one, so the list lines up with the field again.
    const bool rtl = right_to_left(self);
    popup.attr(VN("setLayoutDirection"))(self.attr(VN("layoutDirection"))());
    nb::object popup_layout = popup.attr(VN("layout"))();
    if (rtl)
        popup_layout.attr(VN("setContentsMargins"))(9, 0, 0, 9);
    else
        popup_layout.attr(VN("setContentsMargins"))(0, 0, 9, 9);
    popup.attr(VN("move"))(-3000, -3000);
    // The filter's mark: set here too, in case another filter took the popup's Show event.
    mark_popup_up(self, true);
    popup.attr(VN("setVisible"))(true);
    nb::object menu = self.attr(VN("_menu"));
    int menu_h = nb::cast<int>(menu.attr(VN("height"))());
    int gx = nb::cast<int>(global_point.attr("x")());
    int gy = nb::cast<int>(global_point.attr("y")());
    nb::object m = popup_layout.attr(VN("contentsMargins"))();
    const int popup_w = vantu::clamp_to_int(std::int64_t{w} + nb::cast<int>(m.attr("left")()) +
                                            nb::cast<int>(m.attr("right")()));
    if (rtl) gx = vantu::clamp_to_int(std::int64_t{gx} + w - popup_w);
    Rect b = bounds.is_none() ? Rect{0, 0, 0, 0} : rect_of(bounds);
    Point p = vantu::place_popup(Rect{gx, gy - h, w, h}, menu_h, w, menu_h, limit_y, b);
    popup.attr(VN("move"))(p.x, p.y);
    menu.attr(VN("setFixedWidth"))(w);
    // The window is the container and its margins, however wide a longer row first made it
    // (right to left, its place above was worked out from that width).
    popup.attr(VN("resize"))(popup_w, popup.attr(VN("height"))());
    menu.attr(VN("setVisible"))(true);
    self.attr(VN("_btnSelect")).attr(VN("setIcon"))(icon("ARROW_UP"));
    self.attr(VN("_popupShowed")) = true;
    // Every opening starts with the keyboard on the chosen option, scrolled into view.
    nb::object list = vantu::getattr_or_none(menu, VN("listView"));
    if (!list.is_none() && vantu::truthy(vantu::getattr_or_none(list, VN("resetCurrentRow"))))
        list.attr(VN("resetCurrentRow"))();
    return nb::none();
}

nb::object _hide_popup(Args a) {
    nb::handle self = a.self();
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    if (vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))())) popup.attr(VN("setVisible"))(false);
    nb::object down = icon("ARROW_DOWN");
    nb::object button = vantu::getattr_or_none(self, VN("_btnSelect"));
    if (vantu::truthy(button)) button.attr(VN("setIcon"))(down);
    self.attr(VN("_popupShowed")) = false;
    return nb::none();
}

nb::object _toggle_popup(Args a) {
    nb::handle self = a.self();
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    if (vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))()))
        self.attr(VN("_hide_popup"))();
    else
        self.attr(VN("_show_popup"))();
    return nb::none();
}

nb::object _update_popup_position(Args a) {
    nb::handle self = a.self();
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    if (popup.is_none()) return nb::none();
    nb::object p = self.attr(VN("mapToGlobal"))(G.QPoint(0, self.attr(VN("height"))()));
    popup.attr(VN("setGeometry"))(p.attr("x")(), p.attr("y")(), self.attr(VN("width"))(), 50);
    return nb::none();
}

}  // namespace select_base
}  // namespace pickcore
