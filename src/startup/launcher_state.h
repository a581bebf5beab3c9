// The process-wide values of one launcher run. The start-up writes them on the main thread before
// the worker exists; everyone else only reads them, so no lock guards them.
#pragma once

#include <stdint.h>

struct HWND__;  // the platform's window handle, kept opaque so this header stays portable

struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct LauncherState {
    char* javaHomeOverride;  // points into the command-line buffer; may be the empty text
    char* appArguments;      // points into the command-line buffer; never the empty text
    char* exeDirectory;      // with its trailing backslash
    // The same as a runtime reads it, which is in the system's code page: the same text, or its
    // short form where that code page cannot spell it. The current folder, and a runtime's.
    const char* runtimeDirectory;
    // No trailing backslash except for a drive root; in the form a runtime reads, as it is only
    // ever handed to one.
    const char* documentsDirectory;
    ScreenRect workArea;  // in physical pixels, as the launcher, aware of DPI, is told it
    int32_t systemDpi;    // the DPI programs unaware of DPI are scaled from; 0 when unknown
    HWND__* splashWindow;
};

extern LauncherState launcherState;

// Two's-complement difference, as the platform's 32-bit arithmetic gives it, without the undefined
// behaviour of a signed overflow.
inline int32_t wrappingDifference(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
