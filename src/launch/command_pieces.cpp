#include "command_pieces.h"

#include <string.h>

#include "../startup/launcher_state.h"
#include "../startup/letters.h"
#include "../ui/dpi_scaling.h"

const char applicationClassPath[] = "quarvel.jar;.";
const char applicationMainClass[] = "com.quarvel.browser.Browser";

void appendFolder(CommandString& line, const char* folder) {
    const size_t length = folder != nullptr ? strlen(folder) : 0;
    if (length == 0) return;
    line.appendText(folder);
    if (finalBackslashes(folder) == 0) line.appendChar('\\');
}

void appendQuotedArgument(CommandString& line, const char* prefix, const char* name,
                          const char* value) {
    line.appendText(" \"").appendText(prefix).appendText(name).appendText(value);
    for (size_t n = finalBackslashes(value); n > 0; --n) line.appendChar('\\');
    line.appendChar('"');
}

void appendLauncherProperties(CommandString& line, const char* prefix) {
    if (launcherState.documentsDirectory != nullptr) {
        appendQuotedArgument(line, prefix, "launcher.mydocs=", launcherState.documentsDirectory);
    }
    // The runtime, and the application in it, work in the units of a program unaware of DPI.
    const ScreenRect area = unawareWorkArea(launcherState.workArea, launcherState.systemDpi);
    line.appendText(" \"").appendText(prefix).appendText("launcher.workarea=");
    line.appendDecimal(area.left).appendChar('_').appendDecimal(area.top).appendChar('_');
    line.appendDecimal(wrappingDifference(area.right, area.left)).appendChar('_');
    line.appendDecimal(wrappingDifference(area.bottom, area.top)).appendChar('"');
}

void appendClassPathAndMain(CommandString& line) {
    line.appendText(applicationClassPath).appendChar(' ').appendText(applicationMainClass);
}

void appendAppArguments(CommandString& line) {
    if (launcherState.appArguments == nullptr) return;
    line.appendChar(' ').appendText(launcherState.appArguments);
}
