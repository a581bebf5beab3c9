#include "surroundings.h"

#include <windows.h>
#include <shlobj.h>

#include "folder_text.h"
#include "launcher_state.h"

namespace {

char exeFolder[MAX_PATH];
char documentsFolder[MAX_PATH];

}  // namespace

void fixExeDirectory() {
    const DWORD length = GetModuleFileNameA(nullptr, exeFolder, sizeof exeFolder);
    // A path that filled the buffer was cut short, and older systems then leave it without a NUL.
    if (length == 0 || length >= sizeof exeFolder) {
        exeFolder[0] = '\0';
        return;
    }
    trimToFolder(exeFolder);
    launcherState.exeDirectory = exeFolder;
    SetCurrentDirectoryA(exeFolder);
}

void findDocumentsFolder() {
    IMalloc* shellAllocator = nullptr;
    if (FAILED(SHGetMalloc(&shellAllocator)) || shellAllocator == nullptr) return;
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items))) {
        const BOOL converted = SHGetPathFromIDListA(items, documentsFolder);
        shellAllocator->Free(items);
        if (!converted) {
            shellAllocator->Release();
            documentsFolder[0] = '\0';
            return;
        }
    }
    shellAllocator->Release();
    trimDocumentsFolder(documentsFolder);
    launcherState.documentsDirectory = documentsFolder;
}
