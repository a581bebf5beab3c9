#include "splash_layout.h"

ScreenPoint splashPosition(const ScreenRect& workArea) {
    const int32_t width = wrappingDifference(workArea.right, workArea.left);
    const int32_t height = wrappingDifference(workArea.bottom, workArea.top);
    return {wrappingDifference(width, splashWidth) / 2,
            wrappingDifference(height, splashHeight) / 2};
}

int32_t gridOffset(int32_t extent) {
    return (wrappingDifference(extent, 2) % gridPitch) / 2;
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
