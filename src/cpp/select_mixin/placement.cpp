// The Python face of the shared popup placement, for tests: tuples in, a tuple out.
#include "select_mixin/select_mixin.h"

namespace select_mixin {

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
