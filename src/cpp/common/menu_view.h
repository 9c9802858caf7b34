// MenuView: the popup's list container, one C++ body shared by the select field and the
// entry box's select mode; each module defines its own Python class from it.
#pragma once

#include "common/classdef.h"

namespace vantu {

/// Defines `MenuView(QFrame, Component)` in `module`. The module must already hold the globals
/// QFrame, QVBoxLayout, QSizePolicy, Component and ListView (its own imports).
nb::object register_menu_view(nb::module_ &module);

}  // namespace vantu
