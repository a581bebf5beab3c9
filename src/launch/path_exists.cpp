#include "path_exists.h"

#include <windows.h>

bool pathExists(const char* path, int expectFolder) {
    const DWORD expected = expectFolder == 1 ? FILE_ATTRIBUTE_DIRECTORY : 0;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == expected) {
        return true;
    }
    // The search also answers for patterns, by their first match.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == expected;
}
