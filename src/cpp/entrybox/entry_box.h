// EntryBox: the text-entry component. One .cpp per area; this header ties them together.
#pragma once

#include "common/classdef.h"

namespace entry_box {

using vantu::Args;

/// Names the module body imported, looked up at call time so that a patched module global
/// (a test's theme, say) is the one used.
nb::handle global(nb::handle name);

/// The class object, once defined; `super()` calls start after it.
nb::handle cls();

// frame.cpp
nb::object __init__(Args a);
nb::object renderUi(Args a);
nb::object mouseReleaseEvent(Args a);

// helper_text.cpp
nb::object _getHelperText(Args a);
nb::object _setError(Args a);
nb::object _updateHelperText(Args a);

// stylesheet.cpp
nb::object _get_stylesheet(Args a);
nb::object cache_stylesheet(nb::object fn);

// handlers.cpp
nb::object _handle_focus_in(Args a);
nb::object _handle_blur(Args a);
nb::object _handle_clicked(Args a);
nb::object _handle_key_down(Args a);
nb::object _handle_key_up(Args a);
nb::object _handle_mouse_enter(Args a);
nb::object _handle_mouse_leave(Args a);

}  // namespace entry_box
