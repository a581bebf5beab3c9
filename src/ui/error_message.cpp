#include "error_message.h"

#include <windows.h>

const char launcherCaption[] = "QuarVel Launcher";

void showLauncherError(const char* text) {
    MessageBoxA(nullptr, text, launcherCaption, MB_ICONERROR);
}
