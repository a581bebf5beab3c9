#include "splash_layout.h"

SplashMetrics splashMetrics(int32_t dpi) {
    return {scaledLength(splashWidth, dpi),
            scaledLength(splashHeight, dpi),
            scaledLength(statusStripHeight, dpi),
            scaledLength(statusTextMargin, dpi),
            scaledLength(gridPitch, dpi),
            scaledLength(1, dpi),
            scaledLength(60, dpi),
            scaledLength(27, dpi),
            scaledLength(12, dpi)};
}

ScreenPoint splashPosition(const ScreenRect& workArea, const SplashMetrics& metrics) {
    const int32_t width = wrappingDifference(workArea.right, workArea.left);
    const int32_t height = wrappingDifference(workArea.bottom, workArea.top);
    return {wrappingDifference(width, metrics.width) / 2,
            wrappingDifference(height, metrics.height) / 2};
}

int32_t gridOffset(int32_t extent, const SplashMetrics& metrics) {
    const int32_t pair = 2 * metrics.lineWidth;
    return (wrappingDifference(extent, pair) % metrics.gridPitch) / 2;
}

LogoPlacement logoPlacement(int32_t width, int32_t height, int32_t firstWidth, int32_t firstHeight,
                            int32_t secondWidth) {
    const int32_t logoWidth = static_cast<int32_t>(static_cast<uint32_t>(firstWidth) +
                                                   static_cast<uint32_t>(secondWidth));
    const int32_t x = wrappingDifference(width, logoWidth) / 2;
    const int32_t y = wrappingDifference(height, firstHeight) / 2;
    return {x, y,
            static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(firstWidth))};
}
