#include "launch_lines.h"

#include <string.h>

#include "command_pieces.h"

namespace {

bool needsQuotes(const char* text) {
    return text != nullptr && (strchr(text, ' ') != nullptr || strchr(text, '\t') != nullptr);
}

// The home folder's program, quoted as a whole when the folder needs it.
void appendProgram(CommandString& line, const char* home, const char* program) {
    const bool quoted = needsQuotes(home);
    if (quoted) line.appendChar('"');
    appendFolder(line, home);
    line.appendText(program);
    if (quoted) line.appendChar('"');
}

// The program with its options and the launcher properties, which every home-folder line shares.
void appendRuntimeHead(CommandString& line, const char* home, const char* program,
                       const char* options) {
    appendProgram(line, home, program);
    line.appendText(options);
    appendLauncherProperties(line, "-D");
}

void appendShortClassPathTail(CommandString& line) {
    line.appendText(" -cp ");
    appendClassPathAndMain(line);
    appendAppArguments(line);
}

}  // namespace

void buildJavaLine(CommandString& line, const char* home) {
    appendRuntimeHead(line, home, "bin\\java", nullptr);
    appendShortClassPathTail(line);
}

void buildJreLine(CommandString& line, const char* home) {
    appendRuntimeHead(line, home, "bin\\jre", " -mx64m");
    appendShortClassPathTail(line);
}

void buildJreFallbackLine(CommandString& line, const char* home) {
    appendRuntimeHead(line, home, "bin\\java", " -mx64m");
    line.appendText(" -classpath ");
    // The class path ends in "." here, never in a backslash, so a closing quote stays one.
    const bool quoted = needsQuotes(home);
    if (quoted) line.appendChar('"');
    appendFolder(line, home);
    line.appendText("lib\\classes.zip;").appendText(applicationClassPath);
    if (quoted) line.appendChar('"');
    line.appendChar(' ').appendText(applicationMainClass);
    appendAppArguments(line);
}

void buildSearchedJavaLine(CommandString& line) {
    appendRuntimeHead(line, nullptr, "java", nullptr);
    appendShortClassPathTail(line);
}

void buildJviewLine(CommandString& line) {
    line.appendText("jview");
    appendLauncherProperties(line, "/d:");
    line.appendText(" /cp ");
    appendClassPathAndMain(line);
    appendAppArguments(line);
}
