// The borderless splash window: its class, its creation in the middle of the work area, and its
// window procedure with the status line.
#pragma once

#include <windows.h>

extern const char splashClassName[];

void registerSplashClass(HINSTANCE instance);

// Creates the hidden window at the place computed from launcherState.workArea.
HWND createSplashWindow(HINSTANCE instance);

LRESULT CALLBACK splashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
