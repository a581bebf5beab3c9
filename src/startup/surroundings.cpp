#include "surroundings.h"

#include <windows.h>
#include <shlobj.h>
#include <string.h>

#include "../launch/launch_log.h"
#include "ansi_path.h"
#include "folder_text.h"
#include "launcher_state.h"

namespace {

char exeFolder[pathBytes];
char runtimeFolder[pathBytes];
char documentsFolder[pathBytes];
char runtimeDocuments[pathBytes];

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

// A folder's path in the launcher's code page (through its short form where need be); false, with
// the reason in the log, when the system gave it cut short or not at all, or it has no ANSI form.
bool folderPath(bool whole, const wchar_t* wide, char* narrow, const char* what) {
    if (whole && ansiPath(wide, narrow)) return true;
    logNameRefused(what, nullptr, whole ? noAnsiForm : tooLong);
    return false;
}

}  // namespace

void fixExeDirectory() {
    wchar_t wide[MAX_PATH + 1];
    // A path that filled the buffer was cut short, and older systems then leave it without a NUL.
    const DWORD length = GetModuleFileNameW(nullptr, wide, MAX_PATH + 1);
    if (length == 0) return;
    if (!folderPath(length <= MAX_PATH, wide, exeFolder, "the launcher's own folder")) return;
    trimToFolder(exeFolder);
    launcherState.exeDirectory = exeFolder;
    // Relative paths (a local runtime's java\bin\java) resolve against the current folder: in
    // the runtime's form, the runtime finds its own files.
    launcherState.runtimeDirectory = runtimePath(exeFolder, runtimeFolder, sizeof runtimeFolder);
    SetCurrentDirectoryA(launcherState.runtimeDirectory);
}

void findDocumentsFolder() {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return;
    ShellAllocator shellAllocator(allocator);
    LPITEMIDLIST items = nullptr;
    // When the shell cannot locate the folder, the empty text stands for it.
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items))) {
        wchar_t wide[MAX_PATH];
        const bool read = folderPath(SHGetPathFromIDListW(items, wide) != FALSE, wide,
                                     documentsFolder, "the documents folder");
        allocator->Free(items);
        if (!read) return;
    }
    trimDocumentsFolder(documentsFolder);
    // Only runtimes are handed it.
    launcherState.documentsDirectory =
        runtimePath(documentsFolder, runtimeDocuments, sizeof runtimeDocuments);
}
