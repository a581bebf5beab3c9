#include "launch_lines.h"

#include <string.h>

#include "command_pieces.h"

namespace {

bool needsQuotes(const char* text) {
    return text != nullptr && strpbrk(text, " \t") != nullptr;
}

// The home folder's program, quoted as a whole when the folder needs it.
void appendProgram(CommandString& line, const char* home, const char* program) {
    const bool quoted = needsQuotes(home);
    if (quoted) line.appendChar('"');
    appendFolder(line, home);
    line.appendText(program);
    if (quoted) line.appendChar('"');
}

}  // namespace

void buildJavaLine(CommandString& line, const char* home) {
    appendProgram(line, home, "bin\\java");
    appendLauncherProperties(line, "-D");
    line.appendText(" -cp ");
    appendClassPathAndMain(line);
    appendAppArguments(line);
}

void buildJreLine(CommandString& line, const char* home) {
    appendProgram(line, home, "bin\\jre");
    line.appendText(" -mx64m");
    appendLauncherProperties(line, "-D");
    line.appendText(" -cp ");
    appendClassPathAndMain(line);
    appendAppArguments(line);
}

void buildJreFallbackLine(CommandString& line, const char* home) {
    appendProgram(line, home, "bin\\java");
    line.appendText(" -mx64m");
    appendLauncherProperties(line, "-D");
    line.appendText(" -classpath ");
    if (needsQuotes(home)) {
        // The class path ends in "." here, never in a backslash, so the closing quote stays one.
        line.appendChar('"');
        appendFolder(line, home);
        line.appendText("lib\\classes.zip;").appendText(applicationClassPath).appendChar('"');
        line.appendChar(' ').appendText(applicationMainClass);
    } else {
        appendFolder(line, home);
        line.appendText("lib\\classes.zip;");
        appendClassPathAndMain(line);
    }
    appendAppArguments(line);
}

void buildJviewLine(CommandString& line) {
    line.appendText("jview");
    appendLauncherProperties(line, "/d:");
    line.appendText(" /cp ");
    appendClassPathAndMain(line);
    appendAppArguments(line);
}
