#include "ansi_path.h"

#include <string.h>

namespace {

// The exact narrow form; false when a letter would be lost. A code page that cannot report lost
// letters (UTF-8) loses none, and the call then fails.
bool exactNarrow(const wchar_t* wide, char* narrow, unsigned capacity) {
    BOOL lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, static_cast<int>(capacity), nullptr,
                               &lossy) != 0 &&
           !lossy;
}

}  // namespace

bool ansiPath(const wchar_t* wide, char* narrow, unsigned capacity) {
    char converted[MAX_PATH + 1];
    if (!exactNarrow(wide, converted, capacity)) {
        wchar_t shortWide[MAX_PATH];
        const DWORD length = GetShortPathNameW(wide, shortWide, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !exactNarrow(shortWide, converted, capacity)) {
            return false;
        }
    }
    memcpy(narrow, converted, strlen(converted) + 1);
    return true;
}

bool readAnsiVariable(const char* name, char* buffer, unsigned capacity) {
    wchar_t wideName[32], value[MAX_PATH + 1];
    size_t i = 0;
    for (; name[i] != '\0' && i + 1 < sizeof wideName / sizeof wideName[0]; ++i) {
        wideName[i] = static_cast<unsigned char>(name[i]);
    }
    wideName[i] = 0;
    if (capacity > MAX_PATH + 1) capacity = MAX_PATH + 1;
    const DWORD length = GetEnvironmentVariableW(wideName, value, capacity);
    return length > 0 && length < capacity && ansiPath(value, buffer, capacity);
}
