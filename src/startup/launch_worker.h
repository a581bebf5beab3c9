// The one background thread: it drives one launch to its end and then asks the process to end.
#pragma once

#include <windows.h>

DWORD WINAPI launchWorker(void* parameter);
