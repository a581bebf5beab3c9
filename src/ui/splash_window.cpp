// The window keeps no state: not the status text, nor any pen, brush or font between messages.
// Each paint and each status line asks for the window's DPI and lays itself out for it.
#include "splash_window.h"

#include <stdlib.h>

#include "backdrop.h"
#include "display_dpi.h"
#include "gdi_owners.h"
#include "splash_layout.h"
#include "status_message.h"

const char splashClassName[] = "QuarVelLauncherClass";

namespace {

const UINT dpiChangedMessage = 0x02E0;  // WM_DPICHANGED, since Windows 8.1
const UINT placeFlags = SWP_NOZORDER | SWP_NOACTIVATE;

void onPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    drawBackdrop(dc, client, splashMetrics(windowDpi(window)));
    EndPaint(window, &paint);
}

void drawStatusLine(HWND window, const wchar_t* text) {
    WindowDC dc(window);
    RECT r;
    GetClientRect(window, &r);
    const SplashMetrics metrics = splashMetrics(windowDpi(window));
    {
        // The strip takes the DC's default brush, white, not the class background.
        GdiObject<HPEN> nullPen(CreatePen(PS_NULL, 0, 0));
        ScopedSelection keepPen(dc, nullPen);
        Rectangle(dc, r.left, r.bottom - metrics.stripHeight, r.right, r.bottom);
    }
    drawBackdrop(dc, r, metrics);
    InflateRect(&r, 0, -metrics.textMargin);
    GdiObject<HFONT> font(CreateFontA(metrics.statusFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                      FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, nullptr));
    ScopedSelection keepFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    if (text != nullptr) {
        DrawTextW(dc, text, -1, &r,
                  DT_SINGLELINE | DT_BOTTOM | DT_CENTER | DT_NOPREFIX);  // a folder's & is shown
    }
}

void onStatus(HWND window, wchar_t* text) {
    drawStatusLine(window, text);
    free(text);  // the copy that postStatus made for this message
}

// The user changed the scaling, or the window came onto a monitor of another DPI: it takes the
// place Windows suggests, which the new DPI scaled, and is painted anew for it.
void onDpiChanged(HWND window, const RECT* suggested) {
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 placeFlags | SWP_NOCOPYBITS);
}

}  // namespace

void registerSplashClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = splashWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = splashClassName;
    RegisterClassExA(&windowClass);
}

HWND createSplashWindow(HINSTANCE instance) {
    // Laid out for the system's DPI, then for its monitor's once it stands there, should the user
    // have changed that monitor's scaling since signing in.
    const int dpi = launcherState.systemDpi;
    SplashMetrics metrics = splashMetrics(dpi);
    ScreenPoint at = splashPosition(launcherState.workArea, metrics);
    const HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, splashClassName, nullptr, 0, at.x, at.y, metrics.width,
                        metrics.height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    const int monitorDpi = windowDpi(window);
    if (monitorDpi != dpi) {
        metrics = splashMetrics(monitorDpi);
        at = splashPosition(launcherState.workArea, metrics);
        SetWindowPos(window, nullptr, at.x, at.y, metrics.width, metrics.height, placeFlags);
    }
    return window;
}

LRESULT CALLBACK splashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCALCSIZE:  // the client area keeps the whole window: no caption, no border
            return 0;
        case WM_NCACTIVATE:  // and none is drawn when the activation changes
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            onPaint(window);
            return 0;
        case dpiChangedMessage:
            onDpiChanged(window, reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_LAUNCHER_STATUS:
            onStatus(window, reinterpret_cast<wchar_t*>(lParam));
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
