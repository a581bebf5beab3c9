// Only the worker thread watches children, and EnumWindows calls back on that same thread, so the
// found flag needs no lock.
//
// The application's window may open in the child or in any process it started, directly or
// further down (a package manager's java.exe is a shim that starts the real runtime and waits for
// it). Each look takes a snapshot of the system's processes and adds the child's new descendants
// to its family before the windows are enumerated; nothing is attached to the child, so the
// application outlives the launcher exactly as it would without the watch.
//
// Between its looks every 300 ms the watch waits for the child's end or for Windows to tell of a
// window created, shown or named (out-of-context WinEvent hooks, delivered as messages to the
// worker while it waits); one of the family's makes it look at once, from the second cycle on.
// With the log on it also takes what the runtime writes to its error output as it arrives.
#include "child_watch.h"

#include <stdlib.h>
#include <string.h>

#include <tlhelp32.h>

#include "../startup/launcher_state.h"
#include "../startup/log_file.h"
#include "child_process.h"
#include "launch_log.h"
#include "process_family.h"
#include "runtime_output.h"

namespace {

bool applicationWindowFound;
RuntimeOutput runtimeOutput;  // of the start being watched; only the worker watches

uint64_t creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return static_cast<uint64_t>(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

void* openMember(uint32_t id, uint64_t* created) {
    const DWORD queryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION, since Vista
    HANDLE process = OpenProcess(queryLimited | PROCESS_TERMINATE, FALSE, id);
    if (process == nullptr)
        process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    if (process == nullptr) return nullptr;
    *created = creationTime(process);
    return process;
}

void closeMember(void* handle) {
    if (handle != nullptr) CloseHandle(handle);
}

const ProcessAccess processAccess = {openMember, closeMember};

// The rows of one process snapshot, in a buffer that grows as needed.
class SnapshotRows {
public:
    SnapshotRows() = default;
    ~SnapshotRows() { free(rows_); }
    SnapshotRows(const SnapshotRows&) = delete;
    SnapshotRows& operator=(const SnapshotRows&) = delete;
    void add(uint32_t id, uint32_t parentId) {
        if (count_ == capacity_) {
            const size_t grown = capacity_ == 0 ? 256 : capacity_ * 2;
            void* larger = realloc(rows_, grown * sizeof *rows_);
            if (larger == nullptr) return;
            rows_ = static_cast<ProcessEntry*>(larger);
            capacity_ = grown;
        }
        rows_[count_++] = {id, parentId};
    }
    const ProcessEntry* rows() const { return rows_; }
    size_t count() const { return count_; }

private:
    ProcessEntry* rows_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

// Adds to the family what its members have started since the last look; returns how many.
size_t adoptDescendants(ProcessFamily& family) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    KernelHandle owner(snapshot);
    SnapshotRows rows;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        rows.add(entry.th32ProcessID, entry.th32ParentProcessID);
    }
    return family.adopt(rows.rows(), rows.count());
}

// Ends every descendant of a child that failed to start the application, so that none is left
// running unseen; those started meanwhile by the ones being ended go too (a few rounds, so that
// a family that keeps starting processes cannot hold the worker here).
void endDescendants(ProcessFamily& family) {
    size_t ended = 1;  // the child itself is ended through its own handle
    int rounds = 0;
    do {
        for (; ended < family.size(); ++ended) TerminateProcess(family[ended].handle, 1);
    } while (++rounds < 8 && adoptDescendants(family) > 0);
}

// Whether a title holds "QuarVel", letter case and all (a loop where wcsstr would be an import).
bool namesQuarVel(const wchar_t* title) {
    static const wchar_t name[] = L"QuarVel";
    for (; *title != 0; ++title) {
        size_t i = 0;
        while (name[i] != 0 && title[i] == name[i]) ++i;
        if (name[i] == 0) return true;
    }
    return false;
}

// The watch in progress, as the window events' callback sees it. Only the worker watches, and the
// callback runs on its thread while it waits.
struct EventWatch {
    const ProcessFamily* family;
    bool lookNow;
};
EventWatch eventWatch;

void CALLBACK onWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                            DWORD) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (windowEventCounts(event, object, child, eventWatch.family->contains(owner))) {
        eventWatch.lookNow = true;
    }
}

// The hooks of one watch, for windows created or shown and for windows named, removed when it
// ends: no event of one start counts for another. Where Windows refuses them, the watch looks
// every 300 ms alone.
class WindowEventHooks {
public:
    explicit WindowEventHooks(const ProcessFamily& family) {
        eventWatch = {&family, false};
        const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
        hooks_[0] =
            SetWinEventHook(objectCreated, objectShown, nullptr, onWindowEvent, 0, 0, flags);
        hooks_[1] = SetWinEventHook(objectNamed, objectNamed, nullptr, onWindowEvent, 0, 0, flags);
    }
    ~WindowEventHooks() {
        for (HWINEVENTHOOK hook : hooks_) {
            if (hook != nullptr) UnhookWinEvent(hook);
        }
    }
    WindowEventHooks(const WindowEventHooks&) = delete;
    WindowEventHooks& operator=(const WindowEventHooks&) = delete;

private:
    HWINEVENTHOOK hooks_[2];
};

// The family's windows: true when the application's window is among them.
bool familyWindowFound(ProcessFamily& family) {
    eventWatch.lookNow = false;
    applicationWindowFound = false;
    EnumWindows(matchApplicationWindow, reinterpret_cast<LPARAM>(&family));
    return applicationWindowFound;
}

// One look: what the family has started since the last, then its windows.
bool lookForWindow(ProcessFamily& family) {
    adoptDescendants(family);
    return familyWindowFound(family);
}

enum CycleEnd { lookDue, childEnded, seenEarly };

// Waits out one 300 ms cycle, or until the child ends (or the wait fails), taking what the runtime
// writes to its error output as it arrives. From the second cycle on, a window event of the family
// cuts the wait short for a look at its windows within it (the window's process is one the family
// holds already, so none is looked for); one told while the last look went on, too, as no new
// message would wake the wait for it.
CycleEnd waitOutCycle(HANDLE process, ErrorOutputPipe& errors, ProcessFamily& family, int cycle) {
    const DWORD begun = GetTickCount();
    for (DWORD waited = 0; waited < watchPollMilliseconds; waited = GetTickCount() - begun) {
        if (eventWatch.lookNow && eventMayLook(cycle) && familyWindowFound(family)) {
            return seenEarly;
        }
        const HANDLE waits[] = {process, errors.arrival()};
        const DWORD count = waits[1] != nullptr ? 2 : 1;
        const DWORD woke = MsgWaitForMultipleObjects(count, waits, FALSE,
                                                     watchPollMilliseconds - waited, QS_ALLINPUT);
        if (woke == WAIT_TIMEOUT) break;
        if (count == 2 && woke == WAIT_OBJECT_0 + 1) {
            errors.takeArrival();
            continue;
        }
        if (woke != WAIT_OBJECT_0 + count) return childEnded;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return lookDue;
}

}  // namespace

BOOL CALLBACK matchApplicationWindow(HWND window, LPARAM family) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (!reinterpret_cast<const ProcessFamily*>(family)->contains(owner)) return TRUE;
    // In UTF-16: the first 99 characters, which in the launcher's UTF-8 could take three times as
    // many bytes.
    wchar_t title[100] = L"";
    GetWindowTextW(window, title, 100);
    if (!namesQuarVel(title)) return TRUE;
    // A console that a descendant was given (the runtime behind a shim is a console program) is
    // never the application's window, though its title may hold the name: it is the title of the
    // launcher's start-up information, which a shortcut named QuarVel sets, or a program's path.
    // Windows' console windows have the first class, Wine's the second.
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "ConsoleWindowClass") == 0 ||
        strcmp(className, "WineConsoleClass") == 0) {
        return TRUE;
    }
    applicationWindowFound = true;
    return FALSE;
}

bool runAndWatch(char* commandLine) {
    PROCESS_INFORMATION child;
    // The runtime starts in the launcher's folder, in the form it can read.
    const char* folder = launcherState.runtimeDirectory;
    logStart(commandLine, folder);
    ErrorOutputPipe errors(launchLogOn());
    if (launchLogOn() && !errors.ready()) logOutputNotCollected();
    bool started = startDetachedChild(commandLine, folder, child, &errors);
    // The log never changes what starts: a start that Windows refuses with the pipe and its list
    // is made again as with the log off.
    if (!started && errors.ready()) {
        logOutputStartRefused(GetLastError());
        started = startDetachedChild(commandLine, folder, child);
    }
    const DWORD error = started ? 0 : GetLastError();
    errors.closeWriteEnd();
    logStartResult(started, error, child.dwProcessId);
    if (!started) return false;
    runtimeOutput.clear();
    const uint32_t startedAt = launchLogMilliseconds();
    // Declared thread first, so that the process handle is closed first.
    KernelHandle thread(child.hThread);
    KernelHandle process(child.hProcess);
    // The child is held through its own handle; the family holds its descendants.
    ProcessFamily family(processAccess);
    family.add(child.dwProcessId, creationTime(process), nullptr);
    // So that the runtime never waits on a full pipe: read as it arrives.
    errors.startReading(runtimeOutput);
    bool windowSeen = false;  // the application keeps running
    {
        const WindowEventHooks hooks(family);
        for (int cycle = 0; cycle < watchCycles && !windowSeen; ++cycle) {
            const CycleEnd end = waitOutCycle(process, errors, family, cycle);
            if (end == childEnded) break;
            if (cycle == 0) flushLaunchLog();  // the child has had its moment to start
            windowSeen = end == seenEarly || lookForWindow(family);
        }
    }
    const uint32_t watched = launchLogMilliseconds() - startedAt;
    // An exit code that cannot be read is a failed start, and the child must not linger.
    DWORD exitCode = STILL_ACTIVE;
    if (windowSeen) {
        logWindowSeen(watched);
    } else if (!GetExitCodeProcess(process, &exitCode) || exitCode == STILL_ACTIVE) {
        exitCode = STILL_ACTIVE;
        TerminateProcess(process, 1);
        endDescendants(family);
        logNoWindow(watched);
    } else {
        logRuntimeEnded(exitCode, watched);
    }
    // What has arrived by now, and no more; the pipe closes with `errors`, and an application that
    // writes on finds its error output gone, as without the log.
    errors.stopReading();
    logRuntimeOutput(runtimeOutput);
    return windowSeen || exitCode == 0;
}
