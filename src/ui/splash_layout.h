// The arithmetic of the splash window: where it stands, where its grid lines fall and where the
// logo goes. Signed 32-bit throughout, with division truncating toward zero, as the painting code
// expects.
#pragma once

#include <stdint.h>

#include "../startup/launcher_state.h"

const int32_t splashWidth = 366;
const int32_t splashHeight = 150;
const int32_t statusStripHeight = 36;
const int32_t statusTextMargin = 5;
const int32_t gridPitch = 18;

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// Screen position of the window's top-left corner. It depends only on the work area's size: the
// work area's own left and top are deliberately not added.
ScreenPoint splashPosition(const ScreenRect& workArea);

// Space before the first grid pair for an extent of the given size, which centres the pattern.
int32_t gridOffset(int32_t extent);

// Calls visit(at) for each grid pair between start and end: lines stand at `at` and `at + 1`.
template <typename Visit>
void forEachGridPair(int32_t start, int32_t end, Visit visit) {
    for (int32_t at = start + gridOffset(wrappingDifference(end, start)); at < end;
         at += gridPitch) {
        visit(at);
    }
}

struct LogoPlacement {
    int32_t x;        // left of "Quar"
    int32_t y;        // top of both halves
    int32_t secondX;  // left of "Vel": where the measured first half ends
};

// Centres the two-part logo as one word, vertically on the height of its first half.
LogoPlacement logoPlacement(int32_t width, int32_t height, int32_t firstWidth, int32_t firstHeight,
                            int32_t secondWidth);
