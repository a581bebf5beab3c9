// Starting one runtime command line and deciding whether the application started in it: a
// top-level window of the child titled with "QuarVel", or the child's own exit code 0.
#pragma once

#include <windows.h>

const DWORD watchPollMilliseconds = 300;
const int watchCycles = 300;  // 90 seconds in all

bool runAndWatch(char* commandLine);

BOOL CALLBACK matchApplicationWindow(HWND window, LPARAM processId);
