// The splash window's picture: a light two-tone grid and the two-colour logo over it.
#pragma once

#include <windows.h>

#include "splash_layout.h"

// Draws lines and text only. Leaves the DC with its entry pen, font and text colour, and with the
// background mode TRANSPARENT.
void drawBackdrop(HDC dc, const RECT& rectangle, const SplashMetrics& metrics);

// How the grid's pens are made: CreatePen (null), unless a test makes it fail.
extern HPEN(WINAPI* backdropCreatePen)(int style, int width, COLORREF colour);
