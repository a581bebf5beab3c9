#include "surroundings.h"

#include <windows.h>
#include <shlobj.h>
#include <string.h>

#include "folder_text.h"
#include "launcher_state.h"

namespace {

char exeFolder[MAX_PATH];
char documentsFolder[MAX_PATH];

// The narrow form of a path loses the letters that the ANSI code page cannot represent (a
// Cyrillic folder name under a Western code page comes out as question marks, which name
// nothing). The short 8.3 form of the same path then names the same object in plain ANSI. When
// `wide` has no exact narrow form but its short form has one, that replaces `path`; otherwise
// `path` is left as the narrow call gave it.
void preferLosslessForm(char* path, const wchar_t* wide) {
    char narrow[MAX_PATH];
    BOOL lossy = FALSE;
    // A code page that cannot report lost characters (UTF-8) loses none: the call then fails.
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, &lossy) == 0 ||
        !lossy) {
        return;
    }
    wchar_t shortWide[MAX_PATH];
    const DWORD length = GetShortPathNameW(wide, shortWide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, shortWide, -1, narrow, MAX_PATH, nullptr, &lossy) == 0 ||
        lossy) {
        return;
    }
    memcpy(path, narrow, strlen(narrow) + 1);
}

// Releases the shell's allocator on every way out.
class ShellAllocator {
public:
    explicit ShellAllocator(IMalloc* allocator) : allocator_(allocator) {}
    ~ShellAllocator() { allocator_->Release(); }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;

private:
    IMalloc* allocator_;
};

}  // namespace

void fixExeDirectory() {
    const DWORD length = GetModuleFileNameA(nullptr, exeFolder, sizeof exeFolder);
    // A path that filled the buffer was cut short, and older systems then leave it without a NUL.
    if (length == 0 || length >= sizeof exeFolder) {
        exeFolder[0] = '\0';
        return;
    }
    wchar_t wide[MAX_PATH];
    const DWORD wideLength = GetModuleFileNameW(nullptr, wide, MAX_PATH);
    if (wideLength > 0 && wideLength < MAX_PATH) preferLosslessForm(exeFolder, wide);
    trimToFolder(exeFolder);
    launcherState.exeDirectory = exeFolder;
    SetCurrentDirectoryA(exeFolder);
}

void findDocumentsFolder() {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return;
    ShellAllocator shellAllocator(allocator);
    LPITEMIDLIST items = nullptr;
    // When the shell cannot locate the folder, the empty text stands for it.
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items))) {
        const BOOL converted = SHGetPathFromIDListA(items, documentsFolder);
        wchar_t wide[MAX_PATH];
        if (converted && SHGetPathFromIDListW(items, wide))
            preferLosslessForm(documentsFolder, wide);
        allocator->Free(items);
        if (!converted) {
            documentsFolder[0] = '\0';
            return;
        }
    }
    trimDocumentsFolder(documentsFolder);
    launcherState.documentsDirectory = documentsFolder;
}
