// The option popup: building the list container, opening, placing, closing and toggling.
#include "select_mixin/select_mixin.h"

namespace select_mixin {
namespace {

struct QtRefs {
    nb::handle expanding, maximum, no_focus, show_without_activating, window_flags, translucent, align_top;
};

const QtRefs &qt() {
    static const QtRefs refs = [] {
        nb::handle Qt = global(VN("Qt"));
        nb::object policy = global(VN("QSizePolicy")).attr("Policy");
        nb::object type = Qt.attr("WindowType");
        nb::object attr = Qt.attr("WidgetAttribute");
        return QtRefs{
            vantu::Forever(policy.attr("Expanding")).h(),
            vantu::Forever(policy.attr("Maximum")).h(),
            vantu::Forever(Qt.attr("FocusPolicy").attr("NoFocus")).h(),
            vantu::Forever(attr.attr("WA_ShowWithoutActivating")).h(),
            vantu::Forever(type.attr("Window") | type.attr("FramelessWindowHint") |
                           type.attr("NoDropShadowWindowHint"))
                .h(),
            vantu::Forever(attr.attr("WA_TranslucentBackground")).h(),
            vantu::Forever(Qt.attr("AlignmentFlag").attr("AlignTop")).h(),
        };
    }();
    return refs;
}

nb::object application() { return global(VN("QApplication")).attr(VN("instance"))(); }

Rect rect_of(nb::handle r) {
    return Rect{nb::cast<int>(r.attr(VN("x"))()), nb::cast<int>(r.attr(VN("y"))()), nb::cast<int>(r.attr(VN("width"))()),
                nb::cast<int>(r.attr(VN("height"))())};
}

/// The available area of the screen the input is on (the primary screen when it has none).
Rect screen_bounds(nb::handle self) {
    nb::object screen = self.attr(VN("screen"))();
    if (screen.is_none()) screen = global(VN("QApplication")).attr(VN("primaryScreen"))();
    if (screen.is_none()) return Rect{-1000000, -1000000, 2000000, 2000000};
    return rect_of(screen.attr(VN("availableGeometry"))());
}

/// The height the popup may reach down to before it flips above the input: the main
/// window's height when the application has one, else the bottom of the screen.
int limit_y(const Rect &bounds) {
    nb::object main_window = vantu::getattr_or_none(application(), VN("mainWindow"));
    if (!main_window.is_none()) return nb::cast<int>(main_window.attr(VN("height"))());
    return bounds.bottom();
}

/// The popup's window reads in the input's direction: a window does not inherit it.
void follow_direction(nb::handle self, nb::handle popup) {
    nb::object direction = self.attr(VN("layoutDirection"))();
    if (!popup.attr(VN("layoutDirection"))().equal(direction)) {
        popup.attr(VN("setLayoutDirection"))(direction);
        // Laid out again now, so the list is measured and placed in the new direction.
        nb::object layout = popup.attr(VN("layout"))();
        if (!layout.is_none()) {
            layout.attr(VN("invalidate"))();
            layout.attr(VN("activate"))();
        }
    }
}

/// Moves the popup to its place for the input as it is now. The list is as wide as the input
/// and the window's margins (layout margins are never mirrored) stay at its right and bottom,
/// so the list lines up with both edges of the input in either direction.
void place(nb::handle self, nb::handle popup, nb::handle menu) {
    follow_direction(self, popup);
    nb::object point = self.attr(VN("mapToGlobal"))(global(VN("QPoint"))(0, self.attr(VN("height"))()));
    const int height = nb::cast<int>(self.attr(VN("height"))());
    const int width = nb::cast<int>(self.attr(VN("width"))());
    const int menu_h = nb::cast<int>(menu.attr(VN("height"))());
    // The window is wider and taller than the list by its layout's margins.
    const int popup_w = width + nb::cast<int>(popup.attr(VN("width"))()) - nb::cast<int>(menu.attr(VN("width"))());
    const int popup_h = nb::cast<int>(popup.attr(VN("height"))());
    Rect anchor{nb::cast<int>(point.attr(VN("x"))()), nb::cast<int>(point.attr(VN("y"))()) - height, width, height};
    Rect bounds = screen_bounds(self);
    Point p = place_popup(anchor, menu_h, popup_w, popup_h, limit_y(bounds), bounds);
    point.attr(VN("setX"))(p.x);
    point.attr(VN("setY"))(p.y);
    popup.attr(VN("move"))(point);
}

void create_window(nb::handle self) {
    nb::object popup = global(VN("QFrame"))(self);
    self.attr(VN("_popup")) = popup;
    popup.attr(VN("setSizePolicy"))(qt().expanding, qt().maximum);
    popup.attr(VN("setFocusPolicy"))(qt().no_focus);
    popup.attr(VN("setAttribute"))(qt().show_without_activating);
    popup.attr(VN("setWindowFlags"))(qt().window_flags);
    popup.attr(VN("setAttribute"))(qt().translucent);
    application().attr(VN("installEventFilter"))(self);
    nb::object name = nb::steal(PyObject_Str(global(VN("uuid")).attr(VN("uuid4"))().ptr()));
    if (!name.is_valid()) vantu::throw_pending();
    popup.attr(VN("setObjectName"))(name);
    nb::object layout = global(VN("QVBoxLayout"))();
    popup.attr(VN("setLayout"))(layout);
    layout.attr(VN("setAlignment"))(qt().align_top);
    layout.attr(VN("setContentsMargins"))(0, 0, 9, 9);
    layout.attr(VN("addWidget"))(self.attr(VN("_menu")));
    popup.attr(VN("setAutoFillBackground"))(false);
}

void set_arrow(nb::handle self, const char *datetime_icon, const char *other_icon) {
    nb::object icons = global(VN("VANTU_ASSETS")).attr(VN("ICONS"));
    const bool datetime = vantu::truthy(self.attr(VN("_isDateTimeType")));
    nb::object icon = global(VN("QIcon"))(icons.attr(datetime ? datetime_icon : other_icon));
    nb::object button = self.attr(VN("_btnSelect"));
    if (vantu::truthy(button)) button.attr(VN("setIcon"))(icon);
}

void report(nb::handle self, nb::handle name) {
    nb::object callback = self.attr(name);
    if (vantu::is_callable(callback)) callback();
}

}  // namespace

nb::object select_create_menu(Args a) {
    nb::handle self = a.self();
    nb::object menu = global(VN("MenuView"))(
        nb::arg("model") = self.attr(VN("_options")), nb::arg("renderOption") = self.attr(VN("_renderOption")),
        nb::arg("getOptionDisabled") = self.attr(VN("_getOptionDisabled")),
        nb::arg("onChange") = self.attr(VN("select_selected_change")),
        nb::arg("selected") = vantu::getattr_or_none(self, VN("_selectedKeys")));
    menu = menu.attr(VN("renderUi"))(nb::arg("ctx") = self.attr(VN("_ctx")));
    nb::object old = vantu::getattr_or_none(self, VN("_menu"));
    self.attr(VN("_menu")) = menu;
    if (old.is_none() || old.is(menu)) return nb::none();
    // The new list takes the old one's place in an existing window; the old one goes.
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    if (vantu::truthy(popup)) {
        nb::object layout = popup.attr(VN("layout"))();
        layout.attr(VN("replaceWidget"))(old, menu);
        if (layout.attr(VN("indexOf"))(menu).equal(nb::int_(-1))) layout.attr(VN("addWidget"))(menu);
    }
    old.attr(VN("setParent"))(nb::none());
    old.attr(VN("deleteLater"))();
    return nb::none();
}

nb::object select_show_popup(Args a) {
    nb::handle self = a.self();
    if (!vantu::truthy(self.attr(VN("_menu")))) self.attr(VN("select_create_menu"))();
    if (vantu::truthy(self.attr(VN("_popup"))) && vantu::truthy(self.attr(VN("_popupShowing")))) return nb::none();
    if (!vantu::truthy(self.attr(VN("_popup")))) create_window(self);

    nb::object popup = self.attr(VN("_popup"));
    nb::object menu = self.attr(VN("_menu"));
    // Shown off every screen first, so the list has its real height when the side is chosen.
    popup.attr(VN("move"))(-3000, -3000);
    popup.attr(VN("setVisible"))(true);
    place(self, popup, menu);
    menu.attr(VN("setFixedWidth"))(self.attr(VN("width"))());
    menu.attr(VN("setVisible"))(true);
    set_arrow(self, "CLOSE", "ARROW_UP");
    self.attr(VN("_popupShowing")) = true;

    nb::object options = self.attr(VN("_getOptions"))();
    if (options.equal(nb::list())) self.attr(VN("autocomplete_render_loading_menu_items"))();
    report(self, VN("_onOpen"));
    return nb::none();
}

nb::object select_hide_popup(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_select")))) {
        nb::object popup = self.attr(VN("_popup"));
        if (vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))())) popup.attr(VN("setVisible"))(false);
        set_arrow(self, "CALENDAR", "ARROW_DOWN");
    }
    self.attr(VN("_popupShowing")) = false;
    report(self, VN("_onClose"));
    return nb::none();
}

nb::object select_toggle_popup(Args a) {
    nb::handle self = a.self();
    const bool select = vantu::truthy(self.attr(VN("_select")));
    if (select && !vantu::truthy(self.attr(VN("_popupShowing")))) {
        self.attr(VN("select_show_popup"))();
        return nb::none();
    }
    if (select) {
        nb::object value = self.attr(VN("value"));
        const bool has_value = vantu::truthy(value) || value.equal(nb::str(""));
        if (has_value && vantu::truthy(self.attr(VN("_inputField")).attr(VN("hasFocus"))())) return nb::none();
    }
    if (vantu::truthy(self.attr(VN("_popup"))) && vantu::truthy(self.attr(VN("_popupShowing"))))
        self.attr(VN("select_hide_popup"))();
    else
        self.attr(VN("select_show_popup"))();
    return nb::none();
}

nb::object _btn_select_toggle_popup(Args a) {
    nb::handle self = a.self();
    if (vantu::truthy(self.attr(VN("_popup"))) && vantu::truthy(self.attr(VN("_popupShowing"))))
        self.attr(VN("select_hide_popup"))();
    else
        self.attr(VN("select_show_popup"))();
    return nb::none();
}

nb::object select_update_popup_position(Args a) {
    nb::handle self = a.self();
    nb::object popup = vantu::getattr_or_none(self, VN("_popup"));
    // Never opened: there is nothing to move yet.
    if (popup.is_none()) return nb::none();
    if (!vantu::truthy(popup.attr(VN("isVisible"))())) return nb::none();
    place(self, popup, self.attr(VN("_menu")));
    popup.attr(VN("setMinimumWidth"))(self.attr(VN("width"))());
    return nb::none();
}

nb::object select_about_to_hide(Args a) {
    a.self().attr(VN("_popupShowing")) = false;
    return nb::none();
}

}  // namespace select_mixin
