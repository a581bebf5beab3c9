// Starting a detached child the way every program the launcher runs is started: no console, the
// launcher's own environment and start-up settings, and the launcher's folder as current folder.
#pragma once

#include <windows.h>

// Owns one kernel handle.
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    operator HANDLE() const { return handle_; }

private:
    HANDLE handle_;
};

struct RuntimeOutput;

// The pipe that takes a runtime's error output while the log is on, and the list of the handles
// a child inherits, which holds its write end alone: the launcher may hold inheritable handles of
// its own parent's, and none of them may reach the application. Only systems that take such a
// list (Vista and later, looked up) have it; elsewhere ready() is false and children start as
// with the log off.
//
// The launcher's end is read as what the runtime writes arrives, without a thread of its own: a
// read waits in the system, and the watch waits for its signal beside the child's end, so that a
// runtime never waits on a full pipe (its window would open late). A thread made at the runtime's
// start would slow that start down.
class ErrorOutputPipe {
public:
    explicit ErrorOutputPipe(bool wanted);
    ~ErrorOutputPipe();
    ErrorOutputPipe(const ErrorOutputPipe&) = delete;
    ErrorOutputPipe& operator=(const ErrorOutputPipe&) = delete;

    bool ready() const { return ready_; }
    HANDLE writeEnd() const { return write_; }
    void* handleList() { return list_; }
    // Once the child holds its copy: the pipe then breaks when the last of its writers has gone.
    void closeWriteEnd();
    // Reads into `output` from now on, which is the pipe's until stopReading().
    void startReading(RuntimeOutput& output);
    // Set when the read that waits has taken something; null while none waits (the pipe broke).
    HANDLE arrival() const { return waiting_ ? overlapped_.hEvent : nullptr; }
    // Once arrival() is set: hands on what was read, and waits for more.
    void takeArrival();
    // Adds what has arrived and no more (at most 1 MiB, so that a runtime that writes without end
    // cannot hold the launcher), and ends the read that waits.
    void stopReading();

private:
    void readNext();

    HANDLE read_ = nullptr;
    HANDLE write_ = nullptr;
    RuntimeOutput* output_ = nullptr;
    OVERLAPPED overlapped_ = {};
    bool waiting_ = false;
    bool listMade_ = false;
    bool ready_ = false;
    alignas(8) unsigned char list_[96];  // a PROC_THREAD_ATTRIBUTE_LIST of one attribute
};

// Starts the child in `folder` (null: the launcher's current one). False when the process could not
// be started; GetLastError then tells why. With a ready pipe, the child's standard error is the
// pipe's write end, the one handle it inherits.
bool startDetachedChild(char* commandLine, const char* folder, PROCESS_INFORMATION& child,
                        ErrorOutputPipe* errorOutput = nullptr);

// The calls that make the list of the handles a child inherits, which only Vista and later have:
// looked up in kernel32 (null), unless a test takes them away.
struct AttributeListCalls {
    BOOL(WINAPI* initialize)(void* list, DWORD count, DWORD flags, SIZE_T* size);
    BOOL(WINAPI* update)
    (void* list, DWORD flags, DWORD_PTR attribute, void* value, SIZE_T size, void* previous,
     SIZE_T* returned);
    void(WINAPI* remove)(void* list);
};
extern const AttributeListCalls* attributeListCalls;

// How a child is started: CreateProcessA (null), unless a test puts a failure in its place.
typedef BOOL(WINAPI* ProcessStart)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                   BOOL, DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA,
                                   LPPROCESS_INFORMATION);
extern ProcessStart processStart;
