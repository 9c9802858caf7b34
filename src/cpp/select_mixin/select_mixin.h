// EntryBoxSelectMixin: the select mode of the entry box's input. One .cpp per area.
#pragma once

#include "common/classdef.h"
#include "common/placement.h"

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

// events.cpp
nb::object _input_event_filter(Args a);
PyObject *_input_event_filter_shortcut(PyObject *const *args, size_t nargs) noexcept;

// placement.cpp
using vantu::Point;
using vantu::Rect;
using vantu::place_popup;

/// Python face of place_popup, for tests: tuples in, a tuple out.
nb::object _place_popup(Args a);

}  // namespace select_mixin
