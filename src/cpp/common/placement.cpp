// Popup placement (see placement.h).
#include "common/placement.h"

#include <algorithm>

namespace vantu {

Point place_popup(Rect anchor, int menu_h, int popup_w, int popup_h, int limit_y, Rect bounds) noexcept {
    const int below = anchor.bottom();
    const int above = anchor.y - menu_h;
    const bool flipped = limit_y - below < menu_h;
    int y = flipped ? above : below;
    int x = anchor.x;
    if (bounds.empty()) return {x, y};

    auto fits = [&](int top) { return top >= bounds.y && top + popup_h <= bounds.bottom(); };
    if (!fits(y)) {
        const int other = flipped ? below : above;
        if (fits(other))
            y = other;
        else  // fits on neither side: pull it onto the screen, its top first
            y = popup_h > bounds.h ? bounds.y : std::clamp(y, bounds.y, bounds.bottom() - popup_h);
    }
    if (x + popup_w > bounds.right()) x = bounds.right() - popup_w;
    if (x < bounds.x) x = bounds.x;
    return {x, y};
}

}  // namespace vantu
