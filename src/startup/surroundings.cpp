#include "surroundings.h"

#include <windows.h>
#include <shlobj.h>
#include <string.h>

#include "ansi_path.h"
#include "folder_text.h"
#include "launcher_state.h"

namespace {

char exeFolder[MAX_PATH];
char documentsFolder[MAX_PATH];

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
    if (wideLength > 0 && wideLength < MAX_PATH) ansiPath(wide, exeFolder);
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
        if (converted && SHGetPathFromIDListW(items, wide)) ansiPath(wide, documentsFolder);
        allocator->Free(items);
        if (!converted) {
            documentsFolder[0] = '\0';
            return;
        }
    }
    trimDocumentsFolder(documentsFolder);
    launcherState.documentsDirectory = documentsFolder;
}
