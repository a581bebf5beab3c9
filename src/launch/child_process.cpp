#include "child_process.h"

#include "../startup/system_function.h"
#include "command_string.h"
#include "runtime_output.h"

// Null, so that they take no room in the file: CreateProcessA, and the calls looked up.
ProcessStart processStart;
const AttributeListCalls* attributeListCalls;

namespace {

const DWORD handleListAttribute = 0x20002;     // PROC_THREAD_ATTRIBUTE_HANDLE_LIST
const DWORD extendedStartupInfo = 0x00080000;  // EXTENDED_STARTUPINFO_PRESENT
const DWORD hasShellData = 0x400;              // STARTF_HASSHELLDATA: hStdOutput is a monitor

// STARTUPINFOEXA.
struct StartupWithList {
    STARTUPINFOA info;
    void* attributes;
};

const AttributeListCalls& listCalls() {
    static AttributeListCalls found;  // only the worker starts runtimes
    if (attributeListCalls != nullptr) return *attributeListCalls;
    if (found.remove == nullptr) {
        found.initialize = systemFunction<decltype(found.initialize)>(
            kernel32, "InitializeProcThreadAttributeList");
        found.update =
            systemFunction<decltype(found.update)>(kernel32, "UpdateProcThreadAttribute");
        found.remove =
            systemFunction<decltype(found.remove)>(kernel32, "DeleteProcThreadAttributeList");
    }
    return found;
}

char arrived[4096];  // what the read that waits takes; only the worker reads a runtime's output

// A new pipe, named for this moment of this launcher: the launcher's end (`read`) is its first
// instance and its only one, which no other computer may write to, opened for reads that wait in
// the system; the runtime's end (`write`, inheritable) is opened by that name at once, and then no
// other writer can connect. False when either cannot be had.
bool makePipe(HANDLE& read, HANDLE& write) {
    static unsigned made;                    // only the worker makes pipes
    const DWORD firstInstance = 0x00080000;  // FILE_FLAG_FIRST_PIPE_INSTANCE
    const DWORD localOnly = 0x00000008;      // PIPE_REJECT_REMOTE_CLIENTS, Vista and later
    for (int attempt = 0; attempt < 8; ++attempt) {
        CommandString name;
        name.appendText("\\\\.\\pipe\\QuarVel.Launcher.")
            .appendDigits(GetTickCount() + ++made, false);
        read = CreateNamedPipeA(
            name.textOrEmpty(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | firstInstance,
            PIPE_TYPE_BYTE | PIPE_WAIT | localOnly, 1, 0, 64 * 1024, 0, nullptr);
        if (read != INVALID_HANDLE_VALUE) {
            SECURITY_ATTRIBUTES inheritable;
            inheritable.nLength = sizeof inheritable;
            inheritable.lpSecurityDescriptor = nullptr;
            inheritable.bInheritHandle = TRUE;
            write = CreateFileA(name.textOrEmpty(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                                0, nullptr);
            if (write != INVALID_HANDLE_VALUE) return true;
            write = nullptr;
            return false;
        }
        read = nullptr;
        // Only where a pipe of that name is another's is the next name tried.
        if (GetLastError() != ERROR_ACCESS_DENIED && GetLastError() != ERROR_PIPE_BUSY) break;
    }
    return false;
}

}  // namespace

ErrorOutputPipe::ErrorOutputPipe(bool wanted) {
    if (!wanted) return;
    const AttributeListCalls& calls = listCalls();
    SIZE_T size = sizeof list_;
    if (calls.initialize == nullptr || calls.update == nullptr || calls.remove == nullptr ||
        !calls.initialize(list_, 1, 0, &size)) {
        return;
    }
    listMade_ = true;
    // A handle in the list must be inheritable; the list keeps every other one from the child.
    // The runtime writes through it as through any pipe, waiting while the pipe is full.
    overlapped_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (overlapped_.hEvent == nullptr || !makePipe(read_, write_)) return;
    ready_ =
        calls.update(list_, 0, handleListAttribute, &write_, sizeof write_, nullptr, nullptr) != 0;
}

ErrorOutputPipe::~ErrorOutputPipe() {
    if (waiting_) stopReading();
    closeWriteEnd();
    if (read_ != nullptr) CloseHandle(read_);
    if (overlapped_.hEvent != nullptr) CloseHandle(overlapped_.hEvent);
    if (listMade_) listCalls().remove(list_);
}

void ErrorOutputPipe::closeWriteEnd() {
    if (write_ != nullptr) CloseHandle(write_);
    write_ = nullptr;
}

void ErrorOutputPipe::readNext() {
    // Done at once or later, the read sets the event when it is done (and clears it as it begins).
    waiting_ = ReadFile(read_, arrived, sizeof arrived, nullptr, &overlapped_) ||
               GetLastError() == ERROR_IO_PENDING;
}

void ErrorOutputPipe::startReading(RuntimeOutput& output) {
    output_ = &output;
    if (ready_) readNext();
}

// Once the read's event is set, the system has left its status and count in the OVERLAPPED (as
// GetOverlappedResult reads them).
void ErrorOutputPipe::takeArrival() {
    if (overlapped_.Internal != 0) {
        waiting_ = false;  // the pipe broke, every writer gone: nothing more comes
        return;
    }
    output_->add(arrived, overlapped_.InternalHigh);
    readNext();
}

void ErrorOutputPipe::stopReading() {
    for (int chunks = 0;
         waiting_ && chunks < 256 && WaitForSingleObject(overlapped_.hEvent, 0) == 0; ++chunks) {
        takeArrival();
    }
    if (!waiting_) return;
    // What it takes while it is cancelled is kept too; only then may its buffer go.
    CancelIo(read_);
    WaitForSingleObject(overlapped_.hEvent, INFINITE);
    if (overlapped_.Internal == 0) output_->add(arrived, overlapped_.InternalHigh);
    waiting_ = false;
}

bool startDetachedChild(char* commandLine, const char* folder, PROCESS_INFORMATION& child,
                        ErrorOutputPipe* errorOutput) {
    StartupWithList startup;
    STARTUPINFOA& info = startup.info;
    GetStartupInfoA(&info);
    // A child inherits none of the launcher's handles, so the launcher's standard handles and the
    // C runtime's handle table would name nothing in it, or other objects. Everything else of the
    // launcher's start-up settings, the show command included, goes on to the child. (Without
    // STARTF_USESTDHANDLES the handle fields may carry a hot key or a monitor instead.)
    if ((info.dwFlags & STARTF_USESTDHANDLES) != 0) {
        info.dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
        info.hStdInput = nullptr;
        info.hStdOutput = nullptr;
        info.hStdError = nullptr;
    }
    info.cbReserved2 = 0;
    info.lpReserved2 = nullptr;
    DWORD flags = DETACHED_PROCESS | NORMAL_PRIORITY_CLASS;
    BOOL inherit = FALSE;
    // With the log on: the pipe as its standard error, and that handle alone inherited. Its
    // standard input and output stay as without the log: none.
    if (errorOutput != nullptr && errorOutput->ready()) {
        info.cb = sizeof startup;
        // A hot key and a monitor travel in the handle fields, which now hold handles.
        info.dwFlags &= ~static_cast<DWORD>(STARTF_USEHOTKEY | hasShellData);
        info.dwFlags |= STARTF_USESTDHANDLES;
        info.hStdInput = nullptr;
        info.hStdOutput = nullptr;
        info.hStdError = errorOutput->writeEnd();
        startup.attributes = errorOutput->handleList();
        flags |= extendedStartupInfo;
        inherit = TRUE;
    }
    ZeroMemory(&child, sizeof child);
    const ProcessStart start = processStart != nullptr ? processStart : CreateProcessA;
    return start(nullptr, commandLine, nullptr, nullptr, inherit, flags, nullptr, folder, &info,
                 &child) != FALSE;
}
