// The folder search's view of the file system: environment variables read whole and made ANSI
// paths, folders listed by their entries' wide names (with the short name beside each) made ANSI
// exactly, and at most the start of a file read, never through a link named like it.
#include "unregistered_runtimes.h"

#include <windows.h>
#include <aclapi.h>
#include <string.h>

#include "../startup/ansi_path.h"
#include "../startup/system_function.h"
#include "child_process.h"
#include "runtime_places.h"
#include "trusted_owners.h"

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

// A symbolic link or a mount point named like the file is not followed, and only a disk file is
// read (a pipe could keep the search waiting); a file with another reparse point (deduplicated on
// a server, a cloud placeholder) is read as any other. Only a file with a reparse point is looked
// up for its tag: the search for one costs far more than its attributes, and the folder search
// reads a release file for every home.
size_t readStart(const char* path, char* buffer, size_t capacity) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(path, &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        FindClose(search);
        const DWORD tag = found.dwReserved0;  // the reparse point's tag
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT)) {
            return 0;
        }
    }
    const HANDLE opened = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return 0;
    KernelHandle file(opened);
    if (GetFileType(file) != FILE_TYPE_DISK) return 0;
    DWORD read = 0;
    if (!ReadFile(file, buffer, static_cast<DWORD>(capacity), &read, nullptr)) return 0;
    return read;
}

// A SID copied out, when it fits; its length (eight bytes and four a sub-authority), or 0.
size_t copySid(PSID sid, uint8_t* copy) {
    const size_t length = sid != nullptr ? 8 + 4 * static_cast<const uint8_t*>(sid)[1] : 0;
    if (length == 0 || length > sidBytesLimit) return 0;
    memcpy(copy, sid, length);
    return length;
}

size_t ownerOf(const char* path, uint8_t* sid) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return 0;
    }
    const size_t length = copySid(owner, sid);
    LocalFree(descriptor);
    return length;
}

size_t userOfLauncher(uint8_t* sid) {
    HANDLE token;
    if (!OpenProcessToken(thisProcess(), TOKEN_QUERY, &token)) return 0;
    KernelHandle owner(token);
    union {
        TOKEN_USER user;
        uint8_t room[sizeof(TOKEN_USER) + sidBytesLimit];
    } information;
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenUser, &information, sizeof information, &size)) return 0;
    return copySid(information.user.User.Sid, sid);
}

const FolderAccess windowsFolders = {readAnsiVariable, listFolder, isFile,
                                     readStart,        ownerOf,    userOfLauncher};

}  // namespace

void collectUnregisteredRuntimes(RuntimeList& list) {
    collectFolderRuntimes(windowsFolders, list);
}
