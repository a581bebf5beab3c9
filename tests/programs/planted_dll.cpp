// A DLL that an attacker might plant beside a program under the name of a system DLL. Whenever a
// process loads it, it appends that process's module path to "planted.log" beside itself, and it
// does nothing else.
#include <windows.h>

#include <string.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char log[MAX_PATH];
    const DWORD length = GetModuleFileNameA(self, log, sizeof log);
    char* slash = strrchr(log, '\\');
    if (length == 0 || length >= sizeof log || slash == nullptr) return TRUE;
    strcpy(slash + 1, "planted.log");
    char loader[MAX_PATH + 2] = "";
    GetModuleFileNameA(nullptr, loader, MAX_PATH);
    strcat(loader, "\r\n");
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, loader, static_cast<DWORD>(strlen(loader)), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
