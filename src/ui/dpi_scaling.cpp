#include "dpi_scaling.h"

namespace {

bool usableDpi(int32_t dpi) {
    return dpi >= designDpi / 2 && dpi <= 100 * designDpi;
}

// value * 96 / dpi, rounded as MulDiv rounds. Split so that no product leaves 32 bits unless the
// result does: value = q * dpi + r, where r takes value's sign and |r| < dpi.
int32_t toDesignUnits(int32_t value, int32_t dpi) {
    const int32_t q = value / dpi, r = value % dpi;
    const int32_t half = value < 0 ? -(dpi / 2) : dpi / 2;
    return q * designDpi + (r * designDpi + half) / dpi;
}

}  // namespace

int32_t scaledLength(int32_t length, int32_t dpi) {
    if (!usableDpi(dpi)) return length;
    return (length * dpi + designDpi / 2) / designDpi;
}

ScreenRect unawareWorkArea(const ScreenRect& physical, int32_t systemDpi) {
    if (!usableDpi(systemDpi) || systemDpi == designDpi) return physical;
    return {toDesignUnits(physical.left, systemDpi), toDesignUnits(physical.top, systemDpi),
            toDesignUnits(physical.right, systemDpi), toDesignUnits(physical.bottom, systemDpi)};
}
