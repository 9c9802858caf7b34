// Where an option popup goes: pure arithmetic in global coordinates, shared by the select
// field and the entry box's select mode, and testable with plain rectangles.
#pragma once

#include <cstdint>

namespace vantu {

/// `v` pulled into the range of int.
int clamp_to_int(std::int64_t v) noexcept;

struct Rect {
    int x, y, w, h;
    // Edges are sums that may pass the int range: computed wide, then held inside it.
    int bottom() const noexcept { return clamp_to_int(std::int64_t{y} + h); }
    int right() const noexcept { return clamp_to_int(std::int64_t{x} + w); }
    bool empty() const noexcept { return w <= 0 || h <= 0; }
};

struct Point {
    int x, y;
};

/// The popup's top-left corner. `anchor` is the field; the popup opens under it unless
/// `limit_y` (the main window's height) minus the field's bottom is less than `menu_h`, the
/// list's height. A popup of `popup_w` x `popup_h` that would then reach outside `bounds` (the
/// screen's available area; ignored when empty) opens on the other side when it fits there,
/// and is otherwise moved inside. All of it is computed in 64 bits; a corner past the int range
/// is held at its end.
Point place_popup(Rect anchor, int menu_h, int popup_w, int popup_h, int limit_y, Rect bounds) noexcept;

}  // namespace vantu
