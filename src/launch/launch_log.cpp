// The wording of every event lives here. Lines are assembled on the heap and handed to the sink
// whole, under the sink's lock: the main thread and the worker may both write (the worker is still
// running when the user closes the splash window), and the sink may be writing its file.
#include "launch_log.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "command_string.h"
#include "packed_texts.h"
#include "runtime_list.h"
#include "runtime_output.h"
#include "runtime_places.h"

namespace {

struct LaunchLog {
    LogSink sink;
    bool on;
    bool cut;
    size_t written;
};
LaunchLog launchLog;

const char cutLine[] =
    "log cut: it neared its limit of 262144 bytes; only the run's end follows\r\n";
// The lines that end the run (its outcome, message boxes, the exit code) keep this much room at
// the log's end, which no other line may take.
const size_t closingRoom = 4096;
// Of the runtime's output of one start, at most this many lines of its first part and of its last.
const uint32_t outputLinesKept = 64;

// The sink's lock, which waits: a thread never spins while the other writes the file.
class LogLock {
public:
    LogLock() { launchLog.sink.lock(); }
    ~LogLock() { launchLog.sink.unlock(); }
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
};

// The whole line goes, or none of it and the cut line once, so that the log stays within its
// limit and never ends in half a line. After the cut only the lines that end the run come.
void emit(const char* line, size_t length, bool closing) {
    LogLock lock;
    if (!launchLog.on || (launchLog.cut && !closing)) return;
    const size_t limit = launchLogLimit - (closing ? 0 : closingRoom);
    if (launchLog.written + length + (sizeof cutLine - 1) > limit) {
        if (launchLog.cut) return;
        launchLog.cut = true;
        launchLog.sink.write(cutLine, sizeof cutLine - 1);
        launchLog.written += sizeof cutLine - 1;
        return;
    }
    launchLog.sink.write(line, length);
    launchLog.written += length;
}

void appendFormat(CommandString& line, const char* format, ...);

// A text from outside, with its control characters but the tab escaped (\r, \n, \x1b), so that it
// stays on its line.
void appendEscaped(CommandString& line, const char* text, size_t length) {
    for (const char* end = text + length; text < end;) {
        const char* plain = text;
        while (plain < end && (static_cast<unsigned char>(*plain) >= ' ' || *plain == '\t') &&
               *plain != 0x7F) {
            ++plain;
        }
        line.appendText(text, static_cast<size_t>(plain - text));
        if (plain == end) return;
        const unsigned char c = static_cast<unsigned char>(*plain);
        const char escaped[5] = {'\\',
                                 c == '\r'   ? 'r'
                                 : c == '\n' ? 'n'
                                             : 'x',
                                 "0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15], '\0'};
        line.appendText(escaped, escaped[1] == 'x' ? 4 : 2);
        text = plain + 1;
    }
}

// In the order of CandidateOrigin and of PassOverReason.
const char originTexts[] =
    "the -javahome value\0a folder beside the launcher\0the registry\0JAVA_HOME\0"
    "the program search\0a folder nothing registers, in ";
const char reasonTexts[] =
    "already tried\0folder missing\0version outside the tiers\0not set, empty or too long";

void appendOrigin(CommandString& line, CandidateOrigin origin, const RuntimeCandidate* node) {
    const bool user = origin == fromRegistry && node != nullptr && node->place == currentUserHive;
    line.appendText(user ? "the current user's registry" : packedText(originTexts, origin));
    if (node == nullptr) return;
    const RuntimeVersion& v = node->version;
    if (origin == fromFolderSearch) {
        appendFormat(line,
                     (v.major | v.minor | v.micro | v.update) == 0
                         ? "%s, no version in its release file"
                         : "%s, version %v from its release file",
                     placeName(node->place), &v);
    } else if (origin == fromRegistry) {
        appendFormat(line, ", HK%s\\SOFTWARE\\%s, %sversion %v", user ? "CU" : "LM",
                     node->registryKey,
                     user                               ? ""
                     : node->place == otherRegistryView ? "the other registry view, "
                                                        : "the launcher's own view, ",
                     &v);
    }
}

// Appends the pieces that the format names, each other character standing for itself:
//   %s  a text; nothing for null
//   %q  a text from outside, in double quotes and escaped; none, unquoted, for null
//   %b  bytes from outside, given as their address and a size_t count, escaped
//   %u  an unsigned 32-bit number, %d a signed one
//   %v  a version, given by its address: 1.4.2.3, or 23.0.0.0 (a pre-release)
//   %o  where a candidate came from, given as its CandidateOrigin and its node (or null)
void appendFormatList(CommandString& line, const char* format, va_list arguments) {
    for (;;) {
        const char* mark = strchr(format, '%');
        if (mark == nullptr) {
            line.appendText(format);
            return;
        }
        line.appendText(format, static_cast<size_t>(mark - format));
        format = mark + 2;
        switch (mark[1]) {
            case 's':
                line.appendText(va_arg(arguments, const char*));
                break;
            case 'q': {
                const char* text = va_arg(arguments, const char*);
                if (text == nullptr) {
                    line.appendText("none");
                    break;
                }
                line.appendChar('"');
                appendEscaped(line, text, strlen(text));
                line.appendChar('"');
                break;
            }
            case 'b': {
                const char* bytes = va_arg(arguments, const char*);
                appendEscaped(line, bytes, va_arg(arguments, size_t));
                break;
            }
            case 'u':
                line.appendDigits(va_arg(arguments, uint32_t), false);
                break;
            case 'd':
                line.appendDecimal(va_arg(arguments, int32_t));
                break;
            case 'v': {
                const RuntimeVersion& v = *va_arg(arguments, const RuntimeVersion*);
                appendFormat(line, "%d.%d.%d.%d%s", v.major, v.minor, v.micro, v.update,
                             v.preRelease ? " (a pre-release)" : nullptr);
                break;
            }
            case 'o': {
                const CandidateOrigin origin = static_cast<CandidateOrigin>(va_arg(arguments, int));
                appendOrigin(line, origin, va_arg(arguments, const RuntimeCandidate*));
                break;
            }
        }
    }
}

void appendFormat(CommandString& line, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    appendFormatList(line, format, arguments);
    va_end(arguments);
}

// Hands the line on in UTF-8.
void emitInUtf8(const char* line, LineText text) {
    const char* at = line;
    while (*at != '\0' && static_cast<unsigned char>(*at) < 0x80) ++at;  // ASCII is UTF-8 already
    char* converted = *at != '\0' && launchLog.sink.inUtf8 != nullptr
                          ? launchLog.sink.inUtf8(line, text == closingText ? launcherText : text)
                          : nullptr;
    const char* written = converted != nullptr ? converted : line;
    emit(written, strlen(written), text == closingText);
    free(converted);
}

// One line: the time, the formatted words, CR LF. With the log off nothing happens, and nothing
// is allocated.
void logLineList(LineText text, const char* format, va_list arguments) {
    if (!launchLog.on) return;
    CommandString line;
    line.appendDigits(launchLog.sink.milliseconds(), false);
    line.appendChar(' ');
    appendFormatList(line, format, arguments);
    line.appendText("\r\n");
    if (line.hasBuffer()) emitInUtf8(line.textOrEmpty(), text);
}

void logLineOf(LineText text, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    logLineList(text, format, arguments);
    va_end(arguments);
}

void logLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    logLineList(launcherText, format, arguments);
    va_end(arguments);
}

// The lines of a runtime's output, each led by "runtime: "; a line ends at a line feed, and a
// carriage return before it goes with it. Of more than head + tail lines, the first `head` and
// the last `tail`, with one line between them that says how many were left out: 8 KiB of bare
// line ends would otherwise take 8,000 lines of the log.
void logOutputLines(const char* text, size_t length, uint32_t head, uint32_t tail) {
    uint32_t lines = length > 0 && text[length - 1] != '\n' ? 1 : 0;
    for (size_t i = 0; i < length; ++i) lines += text[i] == '\n';
    const uint32_t leftOut = lines > head + tail ? lines - head - tail : 0;
    for (uint32_t index = 0; length > 0; ++index) {
        size_t line = 0;
        while (line < length && text[line] != '\n') ++line;
        const size_t taken = line < length ? line + 1 : line;
        if (line > 0 && text[line - 1] == '\r') --line;
        if (leftOut > 0 && index == head) {
            logLine("%u lines of the runtime's output left out here", leftOut);
        }
        if (index < head || index >= head + leftOut) {
            logLineOf(runtimeText, "runtime: %b", text, line);
        }
        text += taken;
        length -= taken;
    }
}

}  // namespace

void openLaunchLog(const LogSink& sink) {
    launchLog.sink = sink;
    launchLog.written = 0;
    launchLog.cut = false;
    launchLog.on = true;
}

void closeLaunchLog() {
    if (!launchLog.on) return;
    LogLock lock;
    launchLog.sink.flush();
    launchLog.on = false;
}

bool launchLogOn() {
    return launchLog.on;
}

uint32_t launchLogMilliseconds() {
    return launchLog.on ? launchLog.sink.milliseconds() : 0;
}

void flushLaunchLog() {
    if (!launchLog.on) return;
    LogLock lock;
    launchLog.sink.flush();
}

void logLauncherStart(const SystemDescription& s) {
    logLineOf(utf8Text, "QuarVel Launcher %s (%s, commit %s) at %q", s.version, s.build, s.commit,
              s.path);
    const char* wow64 = s.wow64 > 0    ? ", under WoW64"
                        : s.wow64 == 0 ? ", not under WoW64"
                                       : ", WoW64 unknown";
    if (s.windowsMajor == 0) {
        logLine("Windows of unknown version%s", wow64);
    } else {
        logLine("Windows %u.%u build %u%s", s.windowsMajor, s.windowsMinor, s.windowsBuild, wow64);
    }
}

void logCommandLine(const char* received) {
    logLineOf(utf8Text, "command line: %q", received);
}

void logParsedCommandLine(const char* javaHome, const char* arguments) {
    logLine("-javahome: %q", javaHome);
    logLine("passed on to the application: %q", arguments);
}

void logInstallOffer(bool setupFound) {
    logLine(setupFound ? "setup.exe lies beside the launcher: the installation is offered"
                       : "no setup.exe beside the launcher: no installation offer");
}

void logOfferChoice(intptr_t dialogResult) {
    const int32_t result = static_cast<int32_t>(dialogResult);
    if (result == 6 || result == 7 || result == 2) {
        logLine("the user chose: %s", result == 6   ? "run the program directly"
                                      : result == 7 ? "install"
                                                    : "cancel");
    } else {
        logLine("the user chose: nothing (the dialog gave %d)", result);
    }
}

void logCandidate(CandidateOrigin origin, const char* home, const RuntimeCandidate* node) {
    logLine("candidate %q from %o", home, origin, node);
}

void logPassedOver(CandidateOrigin origin, const char* home, const RuntimeCandidate* node,
                   PassOverReason reason) {
    if (home == nullptr) {
        logLine("passed over %o: %s", origin, node, packedText(reasonTexts, reason));
    } else {
        logLine("passed over %q from %o: %s", home, origin, node, packedText(reasonTexts, reason));
    }
}

void logApplicationStartedWith(const char* home) {
    logLineOf(closingText, "the application started with %q", home);
}

void logStart(const char* commandLine, const char* folder) {
    logLine("start %q in %q", commandLine, folder);
}

void logStartFailed(uint32_t error, const char* errorText) {
    logLine("could not start: error %u, %q", error, errorText);
}

void logStarted(uint32_t processId) {
    logLine("started, process %u", processId);
}

void logShellStart(bool started) {
    logLine(started ? "handed to the shell, which asks for consent to elevate"
                    : "the shell could not start it either");
}

void logWindowSeen(uint32_t afterMilliseconds) {
    logLine("the application's window was seen after %u ms", afterMilliseconds);
}

void logRuntimeEnded(uint32_t exitCode, uint32_t afterMilliseconds) {
    logLine("the runtime ended with exit code %u after %u ms", exitCode, afterMilliseconds);
}

void logNoWindow(uint32_t afterMilliseconds) {
    logLine("no window before the watch ran out after %u ms: the runtime was ended",
            afterMilliseconds);
}

void logArchiveMissing(const char* path) {
    logLineOf(closingText, "the application archive is missing: %q", path);
}

void logNothingStarted(const char* page) {
    logLineOf(closingText, "no runtime started the application: opening %q", page);
}

void logPageOpened(bool opened, intptr_t result) {
    logLineOf(
        closingText,
        opened ? "the page was opened (result %d)" : "the page could not be opened (result %d)",
        static_cast<int32_t>(result));
}

void logMessageBox(const char* text) {
    logLineOf(closingText, "message box: %q", text);
}

void logExit(int code) {
    logLineOf(closingText, "exit code %d", code);
}

void logRuntimeOutput(RuntimeOutput& output) {
    if (!launchLog.on || output.total == 0) return;
    output.arrange();
    const uint32_t leftOut = output.leftOut();
    if (leftOut == 0) {
        logOutputLines(output.kept, output.total, outputLinesKept, outputLinesKept);
        return;
    }
    logOutputLines(output.kept, runtimeOutputPart, outputLinesKept, 0);
    logLine("%u bytes of the runtime's output left out here", leftOut);
    logOutputLines(output.kept + runtimeOutputPart, runtimeOutputPart, 0, outputLinesKept);
}

void logOutputNotCollected() {
    logLine("the runtime's error output cannot be collected here");
}

void logOutputStartRefused(uint32_t error) {
    logLine("refused with a pipe for its error output (error %u): started as with the log off",
            error);
}

void logNameRefused(const char* what, const char* name, NameRefusal why) {
    logLine("passed over %s%s: %s", what, name,
            why == tooLong ? "the system gave no path of at most 260 characters"
                           : "its name has no form in the ANSI code page, nor a short one");
}

void logOwnerNotTrusted(const char* home, const char* place) {
    logLine("passed over %q in %s: others may write there, and its folder's owner is not trusted",
            home, place);
}

void logNoRuntimeForm(const char* path, uint32_t systemCodePage) {
    logLine("%q has no form in code page %u, nor a short one: handed to the runtime as it is", path,
            systemCodePage);
}
