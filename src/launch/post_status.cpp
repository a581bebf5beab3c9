#include "post_status.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "../startup/launcher_state.h"
#include "../ui/status_message.h"

bool postStatus(const char* text) {
    char* copy = nullptr;
    if (text != nullptr) {
        const size_t size = strlen(text) + 1;
        copy = static_cast<char*>(malloc(size));
        if (copy == nullptr) return false;
        memcpy(copy, text, size);
    }
    if (PostMessageA(launcherState.splashWindow, WM_LAUNCHER_STATUS, 0,
                     reinterpret_cast<LPARAM>(copy))) {
        return true;
    }
    free(copy);  // nobody else will
    return false;
}
