// Starting a detached child the way every program the launcher runs is started: no console, the
// launcher's own environment and start-up settings, and the launcher's folder as current folder.
#pragma once

#include <windows.h>

// Owns one kernel handle.
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    operator HANDLE() const { return handle_; }

private:
    HANDLE handle_;
};

// False when the process could not be started; GetLastError then tells why.
bool startDetachedChild(char* commandLine, PROCESS_INFORMATION& child);

// How a child is started: CreateProcessA (null), unless a test puts a failure in its place.
typedef BOOL(WINAPI* ProcessStart)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                   BOOL, DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA,
                                   LPPROCESS_INFORMATION);
extern ProcessStart processStart;
