// Only the worker thread watches children, and EnumWindows calls back on that same thread, so the
// found flag needs no lock.
#include "child_watch.h"

#include <string.h>

#include "child_process.h"

namespace {

bool applicationWindowFound;

}  // namespace

BOOL CALLBACK matchApplicationWindow(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId)) return TRUE;
    char title[100] = "";
    GetWindowTextA(window, title, sizeof title);
    if (strstr(title, "QuarVel") == nullptr) return TRUE;
    applicationWindowFound = true;
    return FALSE;
}

bool runAndWatch(char* commandLine) {
    PROCESS_INFORMATION child;
    if (!startDetachedChild(commandLine, child)) return false;
    // Declared thread first, so that the process handle is closed first.
    KernelHandle thread(child.hThread);
    KernelHandle process(child.hProcess);
    for (int cycle = 0; cycle < watchCycles; ++cycle) {
        if (WaitForSingleObject(process, watchPollMilliseconds) != WAIT_TIMEOUT) break;
        applicationWindowFound = false;
        EnumWindows(matchApplicationWindow, static_cast<LPARAM>(child.dwProcessId));
        if (applicationWindowFound) return true;  // the application keeps running
    }
    // An exit code that cannot be read is a failed start, and the child must not linger.
    DWORD exitCode = STILL_ACTIVE;
    if (!GetExitCodeProcess(process, &exitCode)) exitCode = STILL_ACTIVE;
    if (exitCode == STILL_ACTIVE) TerminateProcess(process, 1);
    return exitCode == 0;
}
