#include "folder_identity.h"

#include <windows.h>

#include "child_process.h"

bool identifyFolder(const char* path, FolderIdentity& identity) {
    // Opened for nothing but its attributes; a folder opens only with backup semantics.
    const HANDLE opened =
        CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    KernelHandle folder(opened);
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(folder, &information)) return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
                information.nFileIndexLow};
    return true;
}
