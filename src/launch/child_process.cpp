#include "child_process.h"

#include "../startup/system_function.h"
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
    // The launcher's own end need not be.
    SECURITY_ATTRIBUTES inheritable;
    inheritable.nLength = sizeof inheritable;
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    if (!CreatePipe(&read_, &write_, &inheritable, 64 * 1024)) {
        read_ = write_ = nullptr;
        return;
    }
    SetHandleInformation(read_, HANDLE_FLAG_INHERIT, 0);
    ready_ =
        calls.update(list_, 0, handleListAttribute, &write_, sizeof write_, nullptr, nullptr) != 0;
}

ErrorOutputPipe::~ErrorOutputPipe() {
    stopReading();
    closeWriteEnd();
    if (read_ != nullptr) CloseHandle(read_);
    if (listMade_) listCalls().remove(list_);
}

void ErrorOutputPipe::closeWriteEnd() {
    if (write_ != nullptr) CloseHandle(write_);
    write_ = nullptr;
}

DWORD WINAPI ErrorOutputPipe::readAll(void* pipe) {
    ErrorOutputPipe& self = *static_cast<ErrorOutputPipe*>(pipe);
    char chunk[2048];
    DWORD read = 0;
    // Until the last writer has gone, or the read is cut short.
    while (self.stopping_ == 0 && ReadFile(self.read_, chunk, sizeof chunk, &read, nullptr) &&
           read > 0) {
        self.output_->add(chunk, read);
    }
    return 0;
}

bool ErrorOutputPipe::startReading(RuntimeOutput& output) {
    cancel_ = systemFunction<decltype(cancel_)>(kernel32, "CancelSynchronousIo");
    if (!ready_ || cancel_ == nullptr) return false;
    output_ = &output;
    reader_ = CreateThread(nullptr, 0, readAll, this, 0, nullptr);
    return reader_ != nullptr;
}

void ErrorOutputPipe::stopReading() {
    if (reader_ == nullptr) return;
    InterlockedExchange(&stopping_, 1);
    // The reader may be between two reads when first asked: it is asked again.
    do {
        cancel_(reader_);
    } while (WaitForSingleObject(reader_, 10) == WAIT_TIMEOUT);
    CloseHandle(reader_);
    reader_ = nullptr;
}

void ErrorOutputPipe::drainInto(RuntimeOutput& output) {
    if (read_ == nullptr) return;
    char chunk[2048];
    for (size_t taken = 0; taken < 1024 * 1024;) {
        DWORD available = 0, read = 0;
        if (!PeekNamedPipe(read_, nullptr, 0, nullptr, &available, nullptr) || available == 0 ||
            !ReadFile(read_, chunk, available < sizeof chunk ? available : sizeof chunk, &read,
                      nullptr) ||
            read == 0) {
            return;
        }
        output.add(chunk, read);
        taken += read;
    }
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
