// Microseconds on the system-wide performance counter: the one clock that the stand-in programs
// and the tests both read, so that their times compare across processes.
#pragma once

#include <windows.h>

inline long long nowMicros() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / frequency.QuadPart * 1000000 +
           now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}
