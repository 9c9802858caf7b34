// EntryBoxSelectMixin: the select mode of the entry box's input. One .cpp per area.
#pragma once

#include "common/classdef.h"

namespace select_mixin {

using vantu::Args;

/// A module global, looked up at call time.
nb::handle global(nb::handle name);

// frame.cpp
nb::object __init__(Args a);
nb::object select_setup_select_mode(Args a);
nb::object _setIcons(Args a);

// popup.cpp
nb::object select_create_menu(Args a);
nb::object select_show_popup(Args a);
nb::object select_hide_popup(Args a);
nb::object select_toggle_popup(Args a);
nb::object _btn_select_toggle_popup(Args a);
nb::object select_update_popup_position(Args a);
nb::object select_about_to_hide(Args a);

// selection.cpp
nb::object select_selected_change(Args a);

// placement.cpp
struct Rect {
    int x, y, w, h;
    int bottom() const noexcept { return y + h; }
    int right() const noexcept { return x + w; }
};
struct Point {
    int x, y;
};

/// Where the popup's top-left corner goes. `anchor` is the input in global coordinates; the
/// popup opens under it unless `limit_y` (the main window's height) minus the input's bottom
/// is less than `menu_h`. A popup that would then reach outside `bounds` (the screen's
/// available area) opens on the other side when it fits there, else is moved inside.
Point place_popup(Rect anchor, int menu_h, int popup_w, int popup_h, int limit_y, Rect bounds) noexcept;

/// Python face of place_popup, for tests: tuples in, a tuple out.
nb::object _place_popup(Args a);

}  // namespace select_mixin
