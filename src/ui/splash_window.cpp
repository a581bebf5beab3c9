// The window keeps no state: not the status text, nor any pen, brush or font between messages.
#include "splash_window.h"

#include <stdlib.h>
#include <string.h>

#include "backdrop.h"
#include "gdi_owners.h"
#include "splash_layout.h"
#include "status_message.h"

const char splashClassName[] = "QuarVelLauncherClass";

namespace {

void onPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    drawBackdrop(dc, client);
    EndPaint(window, &paint);
}

void drawStatusLine(HWND window, const char* text) {
    WindowDC dc(window);
    RECT r;
    GetClientRect(window, &r);
    {
        // The strip takes the DC's default brush, white, not the class background.
        GdiObject<HPEN> nullPen(CreatePen(PS_NULL, 0, 0));
        ScopedSelection keepPen(dc, nullPen);
        Rectangle(dc, r.left, r.bottom - statusStripHeight, r.right, r.bottom);
    }
    drawBackdrop(dc, r);
    InflateRect(&r, 0, -statusTextMargin);
    GdiObject<HFONT> font(CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      FF_SWISS | DEFAULT_PITCH, nullptr));
    ScopedSelection keepFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    if (text != nullptr) {
        DrawTextA(dc, text, static_cast<int>(strlen(text)), &r,
                  DT_SINGLELINE | DT_BOTTOM | DT_CENTER | DT_NOPREFIX);  // a folder's & is shown
    }
}

void onStatus(HWND window, char* text) {
    drawStatusLine(window, text);
    free(text);  // the copy that postStatus made for this message
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
    const ScreenPoint at = splashPosition(launcherState.workArea);
    return CreateWindowExA(WS_EX_TOOLWINDOW, splashClassName, nullptr, 0, at.x, at.y, splashWidth,
                           splashHeight, nullptr, nullptr, instance, nullptr);
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
        case WM_LAUNCHER_STATUS:
            onStatus(window, reinterpret_cast<char*>(lParam));
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
