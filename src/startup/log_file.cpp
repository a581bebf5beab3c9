// The file is created with the user's own rights, at the path the user gave and nowhere else; an
// existing one is replaced. Nothing is read from it. The name is taken whole, in UTF-16, so that a
// folder the ANSI code page cannot spell still takes the log; a relative one names a file in the
// folder the launcher was started in, before the launcher makes its own folder the current one.
// The clock is the time since the system created this process, so that the first line already
// counts the loader's part.
//
// Lines wait in memory, and the file is only created at the first flush, which comes once the
// first runtime has had its first watch cycle to start: work of the launcher's in the moments
// after a process start slows that start down, and the log must not.
#include "log_file.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "../launch/launch_log.h"
#include "ansi_path.h"
#include "log_name.h"
#include "system_function.h"
#include "version.h"

namespace {

// On the heap, so that a launcher without its log pays nothing for it, not even in its file.
struct LogState {
    wchar_t path[MAX_PATH];
    char pending[16 * 1024];
    CRITICAL_SECTION lock;  // a lock that waits: the file may be slow to write
};
LogState* logState;
size_t pendingCount;
HANDLE logFile;
bool logFailed;            // could not be created or written: given up
ULONGLONG processCreated;  // in 100-ns units

ULONGLONG fileTimeValue(const FILETIME& time) {
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

uint32_t millisecondsSinceStart() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    // In floating point: a 64-bit division would bring in the compiler's helper for it.
    const double elapsed =
        static_cast<double>(static_cast<LONGLONG>(fileTimeValue(now) - processCreated));
    return elapsed > 0 ? static_cast<uint32_t>(static_cast<int32_t>(elapsed / 10000)) : 0;
}

// Whether an opened log is a plain file of its own: a disk file, not a link (the last step of the
// name is not followed) and with no other name. Where other users may write (ProgramData, Public,
// C:\Temp), one of them could otherwise make an elevated launcher overwrite a file of their
// choosing, or talk to a device or a pipe.
bool plainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
           information.nNumberOfLinks == 1 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// The file is opened without being emptied, and emptied (an earlier run's log replaced) only once
// it is known to be the log's own.
HANDLE openLog() {
    const HANDLE file =
        CreateFileW(logState->path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    if (plainFile(file) && SetEndOfFile(file)) return file;
    CloseHandle(file);
    static const char refused[] =
        "QuarVel Launcher: QUARVEL_LAUNCHER_LOG is a link, a device or a file of several names: "
        "no log\r\n";
    DWORD written = 0;
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        WriteFile(error, refused, sizeof refused - 1, &written, nullptr);
    }
    return nullptr;
}

void writeToFile(const char* bytes, size_t count) {
    if (logFailed || count == 0) return;
    if (logFile == nullptr) {
        logFile = openLog();  // open until the process ends, which closes it
        if (logFile == nullptr) {
            logFailed = true;
            return;
        }
    }
    DWORD written = 0;
    // A full disk or a lost network share ends the log there, silently.
    if (!WriteFile(logFile, bytes, static_cast<DWORD>(count), &written, nullptr) ||
        written != count) {
        logFailed = true;
    }
}

void flushPending() {
    writeToFile(logState->pending, pendingCount);
    pendingCount = 0;
}

void lockLog() {
    EnterCriticalSection(&logState->lock);
}

void unlockLog() {
    LeaveCriticalSection(&logState->lock);
}

void keepBytes(const char* bytes, size_t count) {
    const size_t capacity = sizeof logState->pending;
    if (pendingCount + count > capacity) flushPending();
    if (count > capacity) {
        writeToFile(bytes, count);
        return;
    }
    memcpy(logState->pending + pendingCount, bytes, count);
    pendingCount += count;
}

// The text in UTF-8, on the heap; null when it cannot be had.
char* wideInUtf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    char* converted = size > 0 ? static_cast<char*>(malloc(static_cast<size_t>(size))) : nullptr;
    if (converted != nullptr) {
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, converted, size, nullptr, nullptr);
    }
    return converted;
}

// A line in UTF-8, by way of UTF-16: from the launcher's code page, or for a runtime's words, from
// the system's. Null where the line is UTF-8 already or cannot be converted.
char* lineInUtf8(const char* line, LineText text) {
    const UINT from = text == runtimeText ? systemCodePage() : GetACP();
    if (text == utf8Text || from == CP_UTF8) return nullptr;
    const int length = MultiByteToWideChar(from, 0, line, -1, nullptr, 0);
    wchar_t* wide = length > 0
                        ? static_cast<wchar_t*>(malloc(static_cast<size_t>(length) * sizeof *wide))
                        : nullptr;
    if (wide == nullptr) return nullptr;
    MultiByteToWideChar(from, 0, line, -1, wide, length);
    char* converted = wideInUtf8(wide);
    free(wide);
    return converted;
}

// RtlGetVersion tells the real version whatever the manifest declares.
void windowsVersion(SystemDescription& system) {
    struct VersionInfo {
        ULONG size, major, minor, build, platform;
        WCHAR servicePack[128];
    } info;
    typedef LONG(WINAPI * RtlGetVersionCall)(VersionInfo*);
    const RtlGetVersionCall call = systemFunction<RtlGetVersionCall>("ntdll.dll", "RtlGetVersion");
    info.size = sizeof info;
    if (call == nullptr || call(&info) != 0) return;
    system.windowsMajor = info.major;
    system.windowsMinor = info.minor;
    system.windowsBuild = info.build;
}

int underWow64() {
    typedef BOOL(WINAPI * IsWow64ProcessCall)(HANDLE, BOOL*);
    const IsWow64ProcessCall call = systemFunction<IsWow64ProcessCall>(kernel32, "IsWow64Process");
    BOOL wow64 = FALSE;
    if (call == nullptr) return 0;  // systems before XP SP2 have no WoW64 that would tell
    return call(thisProcess(), &wow64) ? (wow64 ? 1 : 0) : -1;
}

}  // namespace

void openLogFile() {
    wchar_t named[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QUARVEL_LAUNCHER_LOG", named, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    dropQuotes(named);
    if (named[0] == 0) return;
    logState = static_cast<LogState*>(malloc(sizeof(LogState)));
    if (logState == nullptr) return;
    const DWORD full = GetFullPathNameW(named, MAX_PATH, logState->path, nullptr);
    if (full == 0 || full >= MAX_PATH) {
        free(logState);
        logState = nullptr;
        return;
    }
    InitializeCriticalSection(&logState->lock);
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(thisProcess(), &created, &exited, &kernel, &user)) {
        GetSystemTimeAsFileTime(&created);  // then the times count from here
    }
    processCreated = fileTimeValue(created);
    static const LogSink sink = {
        millisecondsSinceStart, keepBytes, flushPending, lockLog, unlockLog, lineInUtf8};
    openLaunchLog(sink);

    wchar_t wideSelf[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, wideSelf, MAX_PATH);
    char* self = wideInUtf8(wideSelf);
    SystemDescription system = {LAUNCHER_VERSION_TEXT,
                                LAUNCHER_COMMIT,
#ifdef _WIN64
                                "x86_64",
#else
                                "i686",
#endif
                                self,
                                0,
                                0,
                                0,
                                underWow64()};
    windowsVersion(system);
    logLauncherStart(system);
    free(self);
}

void logReceivedCommandLine() {
    if (!launchLogOn()) return;
    char* received = wideInUtf8(GetCommandLineW());
    logCommandLine(received);
    free(received);
}

void logStartResult(bool started, unsigned long error, unsigned long processId) {
    if (!launchLogOn()) return;
    if (started) {
        logStarted(processId);
        return;
    }
    char text[pathBytes];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 &&
           (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) {
        --length;
    }
    text[length] = '\0';
    logStartFailed(error, text);
}
