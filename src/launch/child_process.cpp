#include "child_process.h"

#include "../startup/launcher_state.h"

bool startDetachedChild(char* commandLine, PROCESS_INFORMATION& child) {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    ZeroMemory(&child, sizeof child);
    return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                          DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr,
                          launcherState.exeDirectory, &startup, &child) != FALSE;
}
