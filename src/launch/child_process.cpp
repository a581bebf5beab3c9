#include "child_process.h"

#include "../startup/launcher_state.h"

// Null, so that it takes no room in the file: CreateProcessA.
ProcessStart processStart;

bool startDetachedChild(char* commandLine, PROCESS_INFORMATION& child) {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    // A child inherits none of the launcher's handles, so the launcher's standard handles and the
    // C runtime's handle table would name nothing in it, or other objects. Everything else of the
    // launcher's start-up settings, the show command included, goes on to the child. (Without
    // STARTF_USESTDHANDLES the handle fields may carry a hot key or a monitor instead.)
    if ((startup.dwFlags & STARTF_USESTDHANDLES) != 0) {
        startup.dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
        startup.hStdInput = nullptr;
        startup.hStdOutput = nullptr;
        startup.hStdError = nullptr;
    }
    startup.cbReserved2 = 0;
    startup.lpReserved2 = nullptr;
    ZeroMemory(&child, sizeof child);
    const ProcessStart start = processStart != nullptr ? processStart : CreateProcessA;
    return start(nullptr, commandLine, nullptr, nullptr, FALSE,
                 DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr, launcherState.exeDirectory,
                 &startup, &child) != FALSE;
}
