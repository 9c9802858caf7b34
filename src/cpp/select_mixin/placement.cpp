// Pure placement arithmetic of the option popup, kept apart so it can be tested with rectangles.
#include "select_mixin/select_mixin.h"

#include <algorithm>

namespace select_mixin {

Point place_popup(Rect anchor, int menu_h, int popup_w, int popup_h, int limit_y, Rect bounds) noexcept {
    const int below = anchor.bottom();
    const int above = anchor.y - menu_h;
    const bool flipped = limit_y - below < menu_h;
    int y = flipped ? above : below;

    auto fits = [&](int top) { return top >= bounds.y && top + popup_h <= bounds.bottom(); };
    if (!fits(y)) {
        const int other = flipped ? below : above;
        if (fits(other)) {
            y = other;
        } else {
            // Fits on neither side: keep the chosen side but pull the window onto the screen.
            y = std::max(bounds.y, std::min(y, bounds.bottom() - popup_h));
        }
    }
    int x = anchor.x;
    if (x + popup_w > bounds.right()) x = bounds.right() - popup_w;
    if (x < bounds.x) x = bounds.x;
    return {x, y};
}

nb::object _place_popup(Args a) {
    auto rect = [](nb::handle t) {
        return Rect{nb::cast<int>(t[0]), nb::cast<int>(t[1]), nb::cast<int>(t[2]), nb::cast<int>(t[3])};
    };
    Rect anchor = rect(a[0]);
    nb::handle size = a[2];
    Point p = place_popup(anchor, nb::cast<int>(a[1]), nb::cast<int>(size[0]), nb::cast<int>(size[1]),
                          nb::cast<int>(a[3]), rect(a[4]));
    return nb::make_tuple(p.x, p.y);
}

}  // namespace select_mixin
