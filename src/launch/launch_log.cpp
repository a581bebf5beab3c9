// The wording of every event lives here. Lines are assembled on the heap and handed to the sink
// whole, under the sink's lock: the main thread and the worker may both write (the worker is still
// running when the user closes the splash window), and the sink may be writing its file.
#include "launch_log.h"

#include <new>

#include <string.h>

#include "command_string.h"
#include "runtime_list.h"

namespace {

struct LaunchLog {
    LogSink sink;
    bool on;
    bool cut;
    size_t written;
};
LaunchLog launchLog;

const char cutLine[] = "log cut: it reached its limit of 262144 bytes\r\n";

// The sink's lock, which waits: a thread never spins while the other writes the file.
class LogLock {
public:
    LogLock() { launchLog.sink.lock(); }
    ~LogLock() { launchLog.sink.unlock(); }
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
};

// The whole line goes, or none of it and the cut line once, so that the log stays within its
// limit and never ends in half a line.
void emit(const char* line, size_t length) {
    LogLock lock;
    if (!launchLog.on || launchLog.cut) return;
    if (launchLog.written + length + (sizeof cutLine - 1) > launchLogLimit) {
        launchLog.cut = true;
        launchLog.sink.write(cutLine, sizeof cutLine - 1);
        launchLog.written += sizeof cutLine - 1;
        return;
    }
    launchLog.sink.write(line, length);
    launchLog.written += length;
}

// One line: the time, the words, CR LF. With the log off nothing happens: the text is only made
// when the log is on, so that nothing is allocated either.
class Line {
public:
    __attribute__((noinline)) Line() {
        if (!launchLog.on) return;
        text_ = new (storage_) CommandString;
        number(launchLog.sink.milliseconds());
        words(" ");
    }
    __attribute__((noinline)) ~Line() {
        if (text_ == nullptr) return;
        text_->appendText("\r\n");
        if (text_->hasBuffer()) emit(text_->textOrEmpty(), strlen(text_->textOrEmpty()));
        text_->~CommandString();
    }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    Line& words(const char* text) {
        if (text_ != nullptr) text_->appendText(text);
        return *this;
    }
    // A text from outside, in quotes, with its line breaks shown as \r and \n so that it stays
    // on its line; null shows as none.
    Line& quoted(const char* text) {
        if (text_ == nullptr) return *this;
        if (text == nullptr) return words("none");
        text_->appendChar('"');
        if (strpbrk(text, "\r\n") == nullptr) {  // the common case, in one piece
            text_->appendText(text).appendChar('"');
            return *this;
        }
        for (const char* c = text; *c != '\0'; ++c) {
            if (*c == '\r') {
                text_->appendText("\\r");
            } else if (*c == '\n') {
                text_->appendText("\\n");
            } else {
                text_->appendChar(*c);
            }
        }
        text_->appendChar('"');
        return *this;
    }
    // Every number the log shows fits in 32 bits: times, process ids, exit codes, errors.
    Line& number(uint32_t value) {
        if (text_ == nullptr) return *this;
        char digits[12];
        char* at = digits + sizeof digits;
        *--at = '\0';
        do {
            *--at = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        return words(at);
    }
    Line& signedNumber(int32_t value) {
        if (value < 0) words("-");
        return number(value < 0 ? 0 - static_cast<uint32_t>(value) : static_cast<uint32_t>(value));
    }

private:
    alignas(CommandString) unsigned char storage_[sizeof(CommandString)];
    CommandString* text_ = nullptr;
};

void describeVersion(Line& line, const RuntimeVersion& v) {
    line.signedNumber(v.major).words(".").signedNumber(v.minor).words(".");
    line.signedNumber(v.micro).words(".").signedNumber(v.update);
}

// In the order of CandidateOrigin and of PassOverReason.
const char* const originTexts[] = {"the -javahome value", "a folder beside the launcher",
                                   "the registry", "JAVA_HOME", "the program search"};
const char* const reasonTexts[] = {"already tried", "folder missing", "version outside the tiers",
                                   "not set, empty or too long"};

void describeOrigin(Line& line, CandidateOrigin origin, const RuntimeCandidate* node) {
    line.words(originTexts[origin]);
    if (origin != fromRegistry || node == nullptr) return;
    if (node->registryKey != nullptr) line.words(", HKLM\\").words(node->registryKey);
    line.words(node->otherView ? ", the other registry view" : ", the launcher's own view");
    line.words(", version ");
    describeVersion(line, node->version);
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
    if (!launchLog.on) return;
    Line()
        .words("QuarVel Launcher ")
        .words(s.version)
        .words(" (")
        .words(s.build)
        .words(", commit ")
        .words(s.commit)
        .words(") at ")
        .quoted(s.path);
    Line line;
    line.words("Windows ");
    if (s.windowsMajor == 0) {
        line.words("of unknown version");
    } else {
        line.number(s.windowsMajor).words(".").number(s.windowsMinor).words(" build ");
        line.number(s.windowsBuild);
    }
    line.words(s.wow64 > 0    ? ", under WoW64"
               : s.wow64 == 0 ? ", not under WoW64"
                              : ", WoW64 unknown");
}

void logCommandLine(const char* received) {
    Line().words("command line: ").quoted(received);
}

void logParsedCommandLine(const char* javaHome, const char* arguments) {
    if (!launchLog.on) return;
    Line().words("-javahome: ").quoted(javaHome);
    Line().words("passed on to the application: ").quoted(arguments);
}

void logInstallOffer(bool setupFound) {
    Line().words(setupFound ? "setup.exe lies beside the launcher: the installation is offered"
                            : "no setup.exe beside the launcher: no installation offer");
}

void logOfferChoice(intptr_t dialogResult) {
    Line line;
    line.words("the user chose: ");
    switch (dialogResult) {
        case 6:
            line.words("run the program directly");
            break;
        case 7:
            line.words("install");
            break;
        case 2:
            line.words("cancel");
            break;
        default:
            line.words("nothing (the dialog gave ")
                .signedNumber(static_cast<int32_t>(dialogResult));
            line.words(")");
    }
}

void logCandidate(CandidateOrigin origin, const char* home, const RuntimeCandidate* node) {
    Line line;
    line.words("candidate ").quoted(home).words(" from ");
    describeOrigin(line, origin, node);
}

void logPassedOver(CandidateOrigin origin, const char* home, const RuntimeCandidate* node,
                   PassOverReason reason) {
    Line line;
    line.words("passed over ");
    if (home != nullptr) line.quoted(home).words(" from ");
    describeOrigin(line, origin, node);
    line.words(": ").words(reasonTexts[reason]);
}

void logApplicationStartedWith(const char* home) {
    Line().words("the application started with ").quoted(home);
}

void logStart(const char* commandLine, const char* folder) {
    Line().words("start ").quoted(commandLine).words(" in ").quoted(folder);
}

void logStartFailed(uint32_t error, const char* errorText) {
    Line().words("could not start: error ").number(error).words(", ").quoted(errorText);
}

void logStarted(uint32_t processId) {
    Line().words("started, process ").number(processId);
}

void logShellStart(bool started) {
    Line().words(started ? "handed to the shell, which asks for consent to elevate"
                         : "the shell could not start it either");
}

void logWindowSeen(uint32_t afterMilliseconds) {
    Line().words("the application's window was seen after ").number(afterMilliseconds).words(" ms");
}

void logRuntimeEnded(uint32_t exitCode, uint32_t afterMilliseconds) {
    Line()
        .words("the runtime ended with exit code ")
        .number(exitCode)
        .words(" after ")
        .number(afterMilliseconds)
        .words(" ms");
}

void logNoWindow(uint32_t afterMilliseconds) {
    Line()
        .words("no window before the watch ran out after ")
        .number(afterMilliseconds)
        .words(" ms: the runtime was ended");
}

void logArchiveMissing(const char* path) {
    Line().words("the application archive is missing: ").quoted(path);
}

void logNothingStarted(const char* page) {
    Line().words("no runtime started the application: opening ").quoted(page);
}

void logPageOpened(bool opened, intptr_t result) {
    Line()
        .words(opened ? "the page was opened (" : "the page could not be opened (")
        .words("result ")
        .signedNumber(static_cast<int32_t>(result))
        .words(")");
}

void logMessageBox(const char* text) {
    Line().words("message box: ").quoted(text);
}

void logExit(int code) {
    Line().words("exit code ").signedNumber(code);
}
