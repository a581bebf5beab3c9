// The launcher's log of one run, for the user and their support: what it was given, what it found
// and tried, what became of each start, and how the run ended. One event a line, each line led by
// the milliseconds since the launcher started. The log is off unless the shell opens it; then every
// call returns at once and nothing is allocated. It only observes: no call changes what the
// launcher does.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct RuntimeCandidate;
struct RuntimeOutput;

// What a line's texts from outside are written in: the launcher's ANSI code page (its paths, the
// message boxes), the system's (what a runtime wrote), or UTF-8 already. A line that ends the run
// is in the launcher's code page too; it may take the room kept for such lines at the log's end.
enum LineText { launcherText, runtimeText, utf8Text, closingText };

// Where the lines go. The shell keeps them until a moment when the launcher waits anyway, then
// writes them to the file the user named; a write that fails is the sink's to give up on, silently.
// Every write and flush happens under the sink's lock, which waits rather than spins.
struct LogSink {
    uint32_t (*milliseconds)();  // since the launcher started
    void (*write)(const char* bytes, size_t count);
    void (*flush)();
    void (*lock)();
    void (*unlock)();
    // The log is UTF-8, so that it reads alike on every machine: a line that holds more than
    // ASCII is handed here first (a line that ends the run as launcherText), and a heap copy of it
    // in UTF-8 comes back (freed by the log), or null to take it as it is. Null: every line is
    // taken as it is.
    char* (*inUtf8)(const char* line, LineText text);
};

// Turns the log on. Called once, on the main thread, before any other thread exists.
void openLaunchLog(const LogSink& sink);
bool launchLogOn();
// The sink's clock, or 0 when the log is off.
uint32_t launchLogMilliseconds();
// Hands what the sink holds to the file: once a started runtime has had its first watch cycle,
// before a box or dialog waits for the user, and at the end.
void flushLaunchLog();
// Hands what the sink holds to the file and turns the log off: at the end, so that a worker still
// running then adds nothing that would never be written.
void closeLaunchLog();

// The log holds at most this many bytes, the line that says it was cut included. The lines that
// end the run keep room of their own at its end.
const size_t launchLogLimit = 256 * 1024;

struct SystemDescription {
    const char* version;    // the launcher's
    const char* commit;     // that it was built from
    const char* build;      // "i686" or "x86_64"
    const char* path;       // its own full path
    uint32_t windowsMajor;  // 0 when the system did not tell
    uint32_t windowsMinor;
    uint32_t windowsBuild;
    int wow64;  // 1 under WoW64, 0 not, -1 unknown
};
// The path is in UTF-8.
void logLauncherStart(const SystemDescription& system);
// The command line as received, in UTF-8, before the parse writes into it; then what was made of
// it.
void logCommandLine(const char* received);
void logParsedCommandLine(const char* javaHome, const char* arguments);

void logInstallOffer(bool setupFound);
void logOfferChoice(intptr_t dialogResult);

// Where a runtime candidate came from.
enum CandidateOrigin {
    fromJavaHomeSwitch,    // the -javahome value
    fromLocalFolder,       // java or ..\java beside the launcher
    fromRegistry,          // a registered runtime; its node tells key, view and version
    fromJavaHomeVariable,  // the JAVA_HOME environment variable
    fromProgramSearch,     // jview or java, found by the platform's program search
    fromFolderSearch,      // a folder where runtimes are put; its node tells the place and version
};
enum PassOverReason { alreadyTried, folderMissing, outsideTheTiers, variableUnset };

// node: the list's entry, for fromRegistry and fromFolderSearch; null otherwise.
void logCandidate(CandidateOrigin origin, const char* home, const RuntimeCandidate* node);
void logPassedOver(CandidateOrigin origin, const char* home, const RuntimeCandidate* node,
                   PassOverReason reason);
void logApplicationStartedWith(const char* home);

// One start: its exact line and folder, then the start's result and the watch's.
void logStart(const char* commandLine, const char* folder);
void logStartFailed(uint32_t error, const char* errorText);
void logStarted(uint32_t processId);
// An installer that needs elevation, handed to the shell, which asks the user for consent.
void logShellStart(bool started);
void logWindowSeen(uint32_t afterMilliseconds);
void logRuntimeEnded(uint32_t exitCode, uint32_t afterMilliseconds);
void logNoWindow(uint32_t afterMilliseconds);
// After the watch's result: what the runtime wrote to its error output, a line each led by
// "runtime: ", or where there was too much, its first and last 4 KiB with a line between them
// that says how much was left out; of many lines, the first and the last 64, and a line saying how
// many lay between. Arranges the output for that.
void logRuntimeOutput(RuntimeOutput& output);
// The system cannot hand a child one handle alone (before Vista): the runtime starts without one.
void logOutputNotCollected();
// Windows refused the start with the pipe for the runtime's error output: it is started again as
// with the log off.
void logOutputStartRefused(uint32_t error);

// Why a name was not read: paths are read whole or not at all, and never used misspelt.
enum NameRefusal { tooLong, noAnsiForm };
// `what` and `name` (null: none) together say which: "the variable ", "USERPROFILE".
void logNameRefused(const char* what, const char* name, NameRefusal why);
// A home in a place where other users may make folders (`place`: its name in the log), whose
// folder's owner is none that is trusted, or cannot be told: not taken.
void logOwnerNotTrusted(const char* home, const char* place);
// A path that the system's code page cannot spell and that has no short name: handed to the
// runtime as it is, which will read look-alikes in it.
void logNoRuntimeForm(const char* path, uint32_t systemCodePage);

void logArchiveMissing(const char* path);
void logNothingStarted(const char* page);
void logPageOpened(bool opened, intptr_t result);
void logMessageBox(const char* text);
void logExit(int code);
