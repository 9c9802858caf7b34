// The deferpane extension: estimate_steps and Lazy, one area file each, wired in module.cpp.
#pragma once

#include "common/classdef.h"

namespace deferpane {

/// Defines `estimate_steps(node)` in `m`, recognising instances of `classes` as containers.
void register_estimate_steps(nb::module_ &m, nb::tuple classes);

/// Defines `Lazy` (and its private finish handler class) in `m`; needs the module's imports
/// and `estimate_steps` bound first.
void register_lazy(nb::module_ &m);

}  // namespace deferpane
