#include "child_process.h"

#include "../startup/launcher_state.h"

namespace {

// A local function, so that the pointer below is a link-time constant: the launcher's entry runs
// no dynamic initializers.
BOOL WINAPI createProcess(LPCSTR program, LPSTR commandLine, LPSECURITY_ATTRIBUTES process,
                          LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags,
                          LPVOID environment, LPCSTR folder, LPSTARTUPINFOA startup,
                          LPPROCESS_INFORMATION info) {
    return CreateProcessA(program, commandLine, process, thread, inherit, flags, environment,
                          folder, startup, info);
}

}  // namespace

ProcessStart processStart = createProcess;

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
    return processStart(nullptr, commandLine, nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr,
                        launcherState.exeDirectory, &startup, &child) != FALSE;
}
