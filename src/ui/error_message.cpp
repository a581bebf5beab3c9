#include "error_message.h"

#include <windows.h>

#include "../launch/launch_log.h"

const char launcherCaption[] = "QuarVel Launcher";

void showLauncherError(const char* text) {
    logMessageBox(text);
    flushLaunchLog();
    MessageBoxA(nullptr, text, launcherCaption, MB_ICONERROR);
}
