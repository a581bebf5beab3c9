// Grid pens and the logo font are created for one call and deleted before it returns: nothing
// graphical is cached between paints. Every length comes from the metrics of the window's DPI.
#include "backdrop.h"

#include "gdi_owners.h"
#include "splash_layout.h"

namespace {

const COLORREF penAColour = RGB(192, 225, 235);
const COLORREF penBColour = RGB(218, 236, 242);
const COLORREF firstHalfColour = RGB(225, 94, 55);
const COLORREF secondHalfColour = RGB(0, 135, 14);
const char firstHalf[] = "Quar";
const char secondHalf[] = "Vel";

// A line as wide as a scaled pixel, drawn as that many adjacent one-pixel lines: a wider pen is
// centred on its path, and where the odd pixel of an even width falls is the rasteriser's choice.
void drawLine(HDC dc, HPEN pen, int width, int x1, int y1, int x2, int y2) {
    SelectObject(dc, pen);
    const bool vertical = x1 == x2;
    for (int i = 0; i < width; ++i) {
        MoveToEx(dc, vertical ? x1 + i : x1, vertical ? y1 : y1 + i, nullptr);
        LineTo(dc, vertical ? x2 + i : x2, vertical ? y2 : y2 + i);
    }
}

void drawGrid(HDC dc, const RECT& r, const SplashMetrics& metrics) {
    HPEN(WINAPI* const createPen)
    (int, int, COLORREF) = backdropCreatePen != nullptr ? backdropCreatePen : CreatePen;
    GdiObject<HPEN> penA(createPen(PS_SOLID, 1, penAColour));
    GdiObject<HPEN> penB(createPen(PS_SOLID, 1, penBColour));
    // The grid takes both pens. Without one, nothing is selected: the DC keeps its entry pen, and
    // the pen that was made is not left selected where it could not be deleted.
    if (penA == nullptr || penB == nullptr) return;
    ScopedSelection keepPen(dc, penA);
    const int line = metrics.lineWidth;
    // Vertical pairs first: where lines cross, the horizontal pair drawn last shows.
    forEachGridPair(r.left, r.right, metrics, [&](int32_t x) {
        drawLine(dc, penA, line, x, r.top, x, r.bottom);
        drawLine(dc, penB, line, x + line, r.top, x + line, r.bottom);
    });
    forEachGridPair(r.top, r.bottom, metrics, [&](int32_t y) {
        drawLine(dc, penA, line, r.left, y, r.right, y);
        drawLine(dc, penB, line, r.left, y + line, r.right, y + line);
    });
}

void drawLogo(HDC dc, const RECT& r, const SplashMetrics& metrics) {
    // A negative height asks for a character height rather than a cell height.
    GdiObject<HFONT> font(CreateFontA(-metrics.logoHeight, -metrics.logoWidth, 0, 0, FW_BOLD, FALSE,
                                      FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      FF_ROMAN | DEFAULT_PITCH, nullptr));
    ScopedSelection keepFont(dc, font);
    SIZE first = {0, 0};
    SIZE second = {0, 0};
    GetTextExtentPoint32A(dc, firstHalf, 4, &first);
    GetTextExtentPoint32A(dc, secondHalf, 3, &second);
    const LogoPlacement at =
        logoPlacement(r.right - r.left, r.bottom - r.top, first.cx, first.cy, second.cx);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF entryColour = SetTextColor(dc, firstHalfColour);
    TextOutA(dc, at.x, at.y, firstHalf, 4);
    SetTextColor(dc, secondHalfColour);
    TextOutA(dc, at.secondX, at.y, secondHalf, 3);
    SetTextColor(dc, entryColour);
}

}  // namespace

// Null, so that it takes no room in the file: CreatePen.
HPEN(WINAPI* backdropCreatePen)(int style, int width, COLORREF colour);

void drawBackdrop(HDC dc, const RECT& rectangle, const SplashMetrics& metrics) {
    drawGrid(dc, rectangle, metrics);
    drawLogo(dc, rectangle, metrics);
}
