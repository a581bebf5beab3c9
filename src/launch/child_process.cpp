#include "child_process.h"

#include "../startup/system_function.h"
#include "runtime_output.h"

// Null, so that it takes no room in the file: CreateProcessA.
ProcessStart processStart;

namespace {

const DWORD handleListAttribute = 0x20002;     // PROC_THREAD_ATTRIBUTE_HANDLE_LIST
const DWORD extendedStartupInfo = 0x00080000;  // EXTENDED_STARTUPINFO_PRESENT

typedef BOOL(WINAPI* InitializeListCall)(void* list, DWORD count, DWORD flags, SIZE_T* size);
typedef BOOL(WINAPI* UpdateListCall)(void* list, DWORD flags, DWORD_PTR attribute, void* value,
                                     SIZE_T size, void* previous, SIZE_T* returned);
typedef void(WINAPI* DeleteListCall)(void* list);

// STARTUPINFOEXA.
struct StartupWithList {
    STARTUPINFOA info;
    void* attributes;
};

}  // namespace

ErrorOutputPipe::ErrorOutputPipe(bool wanted) {
    if (!wanted) return;
    const InitializeListCall initialize =
        systemFunction<InitializeListCall>(kernel32, "InitializeProcThreadAttributeList");
    const UpdateListCall update =
        systemFunction<UpdateListCall>(kernel32, "UpdateProcThreadAttribute");
    SIZE_T size = sizeof list_;
    if (initialize == nullptr || update == nullptr || !initialize(list_, 1, 0, &size)) return;
    listMade_ = true;
    // A handle in the list must be inheritable; the list keeps every other one from the child.
    SECURITY_ATTRIBUTES inheritable;
    inheritable.nLength = sizeof inheritable;
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    if (!CreatePipe(&read_, &write_, &inheritable, 64 * 1024)) {
        read_ = write_ = nullptr;
        return;
    }
    ready_ = update(list_, 0, handleListAttribute, &write_, sizeof write_, nullptr, nullptr) != 0;
}

ErrorOutputPipe::~ErrorOutputPipe() {
    closeWriteEnd();
    if (read_ != nullptr) CloseHandle(read_);
    if (!listMade_) return;
    const DeleteListCall deleteList =
        systemFunction<DeleteListCall>(kernel32, "DeleteProcThreadAttributeList");
    if (deleteList != nullptr) deleteList(list_);
}

void ErrorOutputPipe::closeWriteEnd() {
    if (write_ != nullptr) CloseHandle(write_);
    write_ = nullptr;
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
