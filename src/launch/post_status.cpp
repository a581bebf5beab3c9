#include "post_status.h"

#include <windows.h>
#include <stdlib.h>

#include "../startup/launcher_state.h"
#include "../ui/status_message.h"

bool postStatus(const char* text) {
    wchar_t* copy = nullptr;
    if (text != nullptr) {
        const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (length > 0) copy = static_cast<wchar_t*>(malloc(length * sizeof *copy));
        if (copy == nullptr) return false;
        MultiByteToWideChar(CP_ACP, 0, text, -1, copy, length);
    }
    if (PostMessageA(launcherState.splashWindow, WM_LAUNCHER_STATUS, 0,
                     reinterpret_cast<LPARAM>(copy))) {
        return true;
    }
    free(copy);  // nobody else will
    return false;
}
