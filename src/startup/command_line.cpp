// Only the space counts as a blank here: a tab belongs to the word it stands in.
#include "command_line.h"

#include <string.h>

#include "launcher_state.h"

namespace {

const char javaHomeOption[] = "-javahome";
const size_t javaHomeOptionLength = sizeof javaHomeOption - 1;

char* skipBlanks(char* at) {
    while (*at == ' ') ++at;
    return at;
}

// Whether the text starts with the option, byte for byte; the comparison ends at the text's NUL,
// so a short line is never read past its end.
bool startsWithOption(const char* at) {
    for (const char* option = javaHomeOption; *option != '\0'; ++option, ++at) {
        if (*at != *option) return false;
    }
    return true;
}

}  // namespace

void parseCommandLine(char* text) {
    if (text == nullptr) return;
    char* at = skipBlanks(text);
    if (startsWithOption(at)) {
        at = skipBlanks(at + javaHomeOptionLength);
        char delimiter = ' ';
        if (*at == '"') {
            delimiter = '"';
            ++at;
        }
        launcherState.javaHomeOverride = at;
        while (*at != '\0' && *at != delimiter) ++at;
        // An unclosed quote lets the value run to the end of the line, leaving no arguments.
        if (*at == delimiter) {
            *at = '\0';
            at = skipBlanks(at + 1);
        }
    }
    if (*at != '\0') launcherState.appArguments = at;
}

namespace {

// Blanks, tabs and the control characters all end a program name, as the platform's own start-up
// code decides.
bool endsProgramName(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

char* commandLineTail(char* commandLine) {
    if (commandLine == nullptr) return nullptr;
    char* at = commandLine;
    // Quotes may stand anywhere in the name (C:\"My Disc"\launcher.exe) and each one toggles.
    for (bool quoted = false; *at != '\0' && (quoted || !endsProgramName(*at)); ++at) {
        if (*at == '"') quoted = !quoted;
    }
    while (*at != '\0' && endsProgramName(*at)) ++at;
    return at;
}
