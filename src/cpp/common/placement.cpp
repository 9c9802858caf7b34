// Popup placement (see placement.h).
#include "common/placement.h"

#include <algorithm>
#include <limits>

namespace vantu {

int clamp_to_int(std::int64_t v) noexcept {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

Point place_popup(Rect anchor, int menu_h, int popup_w, int popup_h, int limit_y, Rect bounds) noexcept {
    using i64 = std::int64_t;
    const i64 below = i64{anchor.y} + anchor.h;
    const i64 above = i64{anchor.y} - menu_h;
    const bool flipped = i64{limit_y} - below < menu_h;
    i64 y = flipped ? above : below;
    i64 x = anchor.x;
    if (!bounds.empty()) {
        const i64 top = bounds.y, bottom = i64{bounds.y} + bounds.h;
        const i64 left = bounds.x, right = i64{bounds.x} + bounds.w;
        auto fits = [&](i64 t) { return t >= top && t + popup_h <= bottom; };
        if (!fits(y)) {
            const i64 other = flipped ? below : above;
            if (fits(other))
                y = other;
            else  // fits on neither side: pull it onto the screen, its top first
                y = popup_h > bounds.h ? top : std::clamp(y, top, bottom - popup_h);
        }
        if (x + popup_w > right) x = right - popup_w;
        if (x < left) x = left;
    }
    return {clamp_to_int(x), clamp_to_int(y)};
}

}  // namespace vantu
