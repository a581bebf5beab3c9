// Starting one runtime command line and deciding whether the application started in it: a
// top-level window titled with "QuarVel" of the child or of a process it started, or the child's
// own exit code 0. A child still running when the watch runs out is ended with what it started.
#pragma once

#include <windows.h>

#include "window_events.h"

bool runAndWatch(char* commandLine);

// lParam is the ProcessFamily of the watched child.
BOOL CALLBACK matchApplicationWindow(HWND window, LPARAM family);
