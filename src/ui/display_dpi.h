// The DPI that the splash window is laid out and drawn for. The manifest makes the launcher aware
// of each monitor's DPI, so that Windows does not stretch its bitmap.
#pragma once

#include <windows.h>

// The system's DPI: the primary monitor's when the user signed in.
int systemDpi();
// The DPI of the monitor the window stands on, as the system last told the window.
int windowDpi(HWND window);
