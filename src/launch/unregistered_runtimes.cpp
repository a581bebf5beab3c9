// The folder search's view of the file system: environment variables read whole and made ANSI
// paths, folders listed through the ANSI calls (which give a short name beside a long one), and at
// most the start of a file read, never through a link named like it.
#include "unregistered_runtimes.h"

#include <windows.h>
#include <string.h>

#include "../startup/ansi_path.h"
#include "child_process.h"
#include "runtime_places.h"

namespace {

void listFolder(const char* folder, FolderVisit visit, void* context) {
    char pattern[MAX_PATH];
    const size_t length = strlen(folder);
    if (length + 3 > sizeof pattern) return;
    memcpy(pattern, folder, length);
    memcpy(pattern + length, "\\*", 3);
    WIN32_FIND_DATAA found;
    const HANDLE listing = FindFirstFileA(pattern, &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    while (visit(context, found.cFileName, found.cAlternateFileName, found.dwFileAttributes) &&
           FindNextFileA(listing, &found)) {
    }
    FindClose(listing);
}

bool isFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

size_t readStart(const char* path, char* buffer, size_t capacity) {
    const HANDLE opened =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return 0;
    KernelHandle file(opened);
    DWORD read = 0;
    if (!ReadFile(file, buffer, static_cast<DWORD>(capacity), &read, nullptr)) return 0;
    return read;
}

const FolderAccess windowsFolders = {readAnsiVariable, listFolder, isFile, readStart};

}  // namespace

void collectUnregisteredRuntimes(RuntimeList& list) {
    collectFolderRuntimes(windowsFolders, list);
}
