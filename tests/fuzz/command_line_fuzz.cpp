// Any command line, of any length and content, is split without reading outside its buffer, and
// what it yields points inside that buffer.
#include <stdint.h>

#include <initializer_list>
#include <stdlib.h>
#include <string.h>

#include "startup/command_line.h"
#include "startup/launcher_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exactly sized heap copy, so that ASan catches a read one byte past the NUL.
    char* text = static_cast<char*>(malloc(size + 1));
    memcpy(text, data, size);
    text[size] = '\0';
    const size_t length = strlen(text);
    memset(&launcherState, 0, sizeof launcherState);
    parseCommandLine(text);
    for (char* p : {launcherState.javaHomeOverride, launcherState.appArguments}) {
        if (p != nullptr && (p < text || p > text + length)) abort();
    }
    if (launcherState.appArguments != nullptr &&
        (launcherState.appArguments[0] == '\0' || launcherState.appArguments[0] == ' ')) {
        abort();
    }
    free(text);
    return 0;
}
