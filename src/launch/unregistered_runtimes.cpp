// The folder search's view of the file system: environment variables read whole and made ANSI
// paths, folders listed by their entries' wide names (with the short name beside each) made ANSI
// exactly, and at most the start of a file read, never through a link named like it.
#include "unregistered_runtimes.h"

#include <windows.h>
#include <string.h>

#include "../startup/ansi_path.h"
#include "child_process.h"
#include "runtime_places.h"

namespace {

void listFolder(const char* folder, FolderVisit visit, void* context) {
    wchar_t pattern[MAX_PATH];
    const int length = MultiByteToWideChar(CP_ACP, 0, folder, -1, pattern, MAX_PATH - 2);
    if (length == 0) return;
    memcpy(pattern + length - 1, L"\\*", sizeof L"\\*");
    WIN32_FIND_DATAW found;
    const HANDLE listing = FindFirstFileW(pattern, &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    char name[pathBytes], shortName[3 * 14];
    do {
        // The empty text for a name that has no exact ANSI form.
        if (!exactAnsi(found.cFileName, name, sizeof name)) name[0] = '\0';
        if (!exactAnsi(found.cAlternateFileName, shortName, sizeof shortName)) shortName[0] = '\0';
    } while (visit(context, name, shortName, found.dwFileAttributes) &&
             FindNextFileW(listing, &found));
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
