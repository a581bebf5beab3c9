// The arithmetic of display scaling: a design length at a DPI, and the desktop work area as a
// program unaware of DPI sees it. Signed 32-bit throughout.
#pragma once

#include <stdint.h>

#include "../startup/launcher_state.h"

// The DPI every design length is given at (100 %).
const int32_t designDpi = 96;

// A design length at the DPI, to the nearest pixel (halves up). A DPI the system did not tell or
// that no display has (below 48, as a LogPixels anyone may set can be, or beyond a hundredfold,
// where the product could overflow) counts as the design's.
int32_t scaledLength(int32_t length, int32_t dpi);

// The work area in the units of a program unaware of DPI, which is what a Java runtime works in:
// each value scaled by 96 / the system's DPI and rounded to the nearest, halves away from zero, as
// the system's own MulDiv rounds. At 96 DPI, or at one that counts as the design's, it is
// unchanged.
ScreenRect unawareWorkArea(const ScreenRect& physical, int32_t systemDpi);
