// Windows 10 (1607) tells a window's DPI, Windows 8.1 a monitor's; older systems have one DPI for
// every screen, that of a screen DC. The newer functions are looked up, never imported, so that the
// launcher still starts where they are missing.
#include "display_dpi.h"

#include "../startup/system_function.h"
#include "gdi_owners.h"

namespace {

typedef UINT(WINAPI* GetDpiForWindowCall)(HWND window);
typedef UINT(WINAPI* GetDpiForSystemCall)();
typedef HMONITOR(WINAPI* MonitorFromWindowCall)(HWND window, DWORD flags);
typedef HRESULT(WINAPI* GetDpiForMonitorCall)(HMONITOR monitor, int type, UINT* x, UINT* y);
typedef HMODULE(WINAPI* LoadLibraryExACall)(LPCSTR name, HANDLE reserved, DWORD flags);

int screenDpi() {
    WindowDC screen(nullptr);
    return screen == nullptr ? 0 : GetDeviceCaps(screen, LOGPIXELSY);
}

// The calls that tell a window's or a monitor's DPI, looked up once: the window asks at every
// paint. Only the main thread, which owns the window, asks.
struct DpiCalls {
    bool resolved;
    GetDpiForWindowCall forWindow;    // Windows 10 1607
    MonitorFromWindowCall monitorOf;  // with forMonitor: Windows 8.1 and the first Windows 10s
    GetDpiForMonitorCall forMonitor;
};
DpiCalls dpiCalls;

const DpiCalls& resolvedDpiCalls() {
    if (dpiCalls.resolved) return dpiCalls;
    dpiCalls.resolved = true;
    dpiCalls.forWindow = systemFunction<GetDpiForWindowCall>("user32.dll", "GetDpiForWindow");
    if (dpiCalls.forWindow != nullptr) return dpiCalls;
    // shcore.dll, which only the system folder may supply, stays loaded for the process.
    const LoadLibraryExACall load = systemFunction<LoadLibraryExACall>(kernel32, "LoadLibraryExA");
    const DWORD searchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32, since Windows 8
    if (load == nullptr || load("shcore.dll", nullptr, searchSystem32) == nullptr) return dpiCalls;
    dpiCalls.monitorOf = systemFunction<MonitorFromWindowCall>("user32.dll", "MonitorFromWindow");
    dpiCalls.forMonitor = systemFunction<GetDpiForMonitorCall>("shcore.dll", "GetDpiForMonitor");
    return dpiCalls;
}

// The DPI of the window's monitor, or 0 when the system cannot tell it.
int monitorDpi(const DpiCalls& calls, HWND window) {
    if (calls.monitorOf == nullptr || calls.forMonitor == nullptr) return 0;
    UINT x = 0, y = 0;
    const int effectiveDpi = 0;  // MDT_EFFECTIVE_DPI, the one the user's scaling chose
    const DWORD nearest = 2;     // MONITOR_DEFAULTTONEAREST
    return calls.forMonitor(calls.monitorOf(window, nearest), effectiveDpi, &x, &y) == S_OK
               ? static_cast<int>(y)
               : 0;
}

}  // namespace

int systemDpi() {
    const GetDpiForSystemCall call =
        systemFunction<GetDpiForSystemCall>("user32.dll", "GetDpiForSystem");
    return call != nullptr ? static_cast<int>(call()) : screenDpi();
}

int windowDpi(HWND window) {
    const DpiCalls& calls = resolvedDpiCalls();
    if (calls.forWindow != nullptr) return static_cast<int>(calls.forWindow(window));
    const int dpi = monitorDpi(calls, window);
    return dpi > 0 ? dpi : screenDpi();
}
