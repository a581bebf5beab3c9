// The arithmetic of the splash window: its lengths at the display's DPI, where it stands, where
// its grid lines fall and where the logo goes. Signed 32-bit throughout, with division truncating
// toward zero, as the painting code expects.
#pragma once

#include <stdint.h>

#include "../startup/launcher_state.h"
#include "dpi_scaling.h"

// The design, at 96 DPI.
const int32_t splashWidth = 366;
const int32_t splashHeight = 150;
const int32_t statusStripHeight = 36;
const int32_t statusTextMargin = 5;
const int32_t gridPitch = 18;

// Every length of the splash window at one DPI: the design's, scaled by dpi/96 and rounded.
struct SplashMetrics {
    int32_t width;
    int32_t height;
    int32_t stripHeight;  // the status strip along the bottom
    int32_t textMargin;   // above and below the status text box
    int32_t gridPitch;
    int32_t lineWidth;   // each grid line, and the step from a pair's first line to its second
    int32_t logoHeight;  // the logo font's character height
    int32_t logoWidth;   // and its average character width
    int32_t statusFontHeight;
};

SplashMetrics splashMetrics(int32_t dpi);

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// Screen position of the window's top-left corner. It depends only on the work area's size: the
// work area's own left and top are deliberately not added.
ScreenPoint splashPosition(const ScreenRect& workArea, const SplashMetrics& metrics);

// Space before the first grid pair for an extent of the given size, which centres the pattern.
int32_t gridOffset(int32_t extent, const SplashMetrics& metrics);

// Calls visit(at) for each grid pair between start and end: the first line covers lineWidth
// pixels from `at`, the second as many from `at + lineWidth`.
template <typename Visit>
void forEachGridPair(int32_t start, int32_t end, const SplashMetrics& metrics, Visit visit) {
    for (int32_t at = start + gridOffset(wrappingDifference(end, start), metrics); at < end;
         at += metrics.gridPitch) {
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
