// The floor under the launcher's start-up, for scripts/bench: the platform calls that launcher.exe
// makes from its process start to the start of a local runtime, in the same order and built and
// linked the same way (no C runtime start-up), with none of the launcher's logic. That includes
// the one status text that the launcher posts before it starts the runtime, and its repaint of
// the status line (the same pens, fonts and text length). What the launcher takes beyond this
// program is what its own code costs.
//
// It is built in steps, each adding one thing that the launcher pays for and the bare floor does
// not, so that the bench can tell what each costs: FLOOR_STEP 0 is the bare floor; the build system
// links the launcher's own resources (manifest, icon, version, dialog) from step 1; step 2 adds the
// restriction of the DLL search; step 3 the wide look-ups of the launcher's folder and the
// documents folder; step 4 stays and waits for the runtime as the launcher's watch does, its
// window-event hooks set. Step 4 is the floor that the launcher is measured against.
//
// Steps 5 to 8 add what the launcher with its log on pays before and while its runtime starts:
// step 5 the log's name made whole and what the first lines tell of the launcher and the system;
// step 6 the pipe for the runtime's error output and the list of the handles it inherits; step 7
// the runtime started with the pipe as its standard error, through the extended start-up
// information; step 8 the read of the pipe that waits in the system while the launcher waits for
// the runtime. Step 8 is the floor that the launcher with its log on is measured against.
#include <windows.h>
#include <shlobj.h>

namespace {

char folder[MAX_PATH];
char documents[MAX_PATH];
HANDLE pipeRead, pipeWrite;
alignas(8) unsigned char handleList[96];
OVERLAPPED arrival;
bool reading;
HWND window;
const UINT statusMessage = WM_USER + 1;
const char statusText[] = "java";  // what the launcher posts for its local runtime

void drawLikeTheBackdrop(HDC dc, const RECT& client) {
    HPEN penA = CreatePen(PS_SOLID, 1, RGB(192, 225, 235));
    HPEN penB = CreatePen(PS_SOLID, 1, RGB(218, 236, 242));
    HGDIOBJ entryPen = SelectObject(dc, penA);
    for (int x = 2; x < client.right; x += 18) {
        SelectObject(dc, penA);
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, client.bottom);
        SelectObject(dc, penB);
        MoveToEx(dc, x + 1, 0, nullptr);
        LineTo(dc, x + 1, client.bottom);
    }
    for (int y = 2; y < client.bottom; y += 18) {
        SelectObject(dc, penA);
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, client.right, y);
        SelectObject(dc, penB);
        MoveToEx(dc, 0, y + 1, nullptr);
        LineTo(dc, client.right, y + 1);
    }
    SelectObject(dc, entryPen);
    DeleteObject(penA);
    DeleteObject(penB);
    HFONT font =
        CreateFontA(-60, -27, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN | DEFAULT_PITCH, nullptr);
    HGDIOBJ entryFont = SelectObject(dc, font);
    SIZE first, second;
    GetTextExtentPoint32A(dc, "Quar", 4, &first);
    GetTextExtentPoint32A(dc, "Vel", 3, &second);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(225, 94, 55));
    TextOutA(dc, 74, 40, "Quar", 4);
    SetTextColor(dc, RGB(0, 135, 14));
    TextOutA(dc, 74 + first.cx, 40, "Vel", 3);
    SelectObject(dc, entryFont);
    DeleteObject(font);
}

void paintLikeTheSplash(HWND target) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(target, &paint);
    RECT client;
    GetClientRect(target, &client);
    drawLikeTheBackdrop(dc, client);
    EndPaint(target, &paint);
}

void drawStatusLikeTheSplash(HWND target, const char* text) {
    HDC dc = GetDC(target);
    RECT client;
    GetClientRect(target, &client);
    HPEN nullPen = CreatePen(PS_NULL, 0, 0);
    HGDIOBJ entryPen = SelectObject(dc, nullPen);
    Rectangle(dc, client.left, client.bottom - 36, client.right, client.bottom);
    SelectObject(dc, entryPen);
    DeleteObject(nullPen);
    drawLikeTheBackdrop(dc, client);
    InflateRect(&client, 0, -5);
    HFONT font =
        CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, nullptr);
    HGDIOBJ entryFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, sizeof statusText - 1, &client,
              DT_SINGLELINE | DT_BOTTOM | DT_CENTER | DT_NOPREFIX);
    SelectObject(dc, entryFont);
    DeleteObject(font);
    ReleaseDC(target, dc);
}

LRESULT CALLBACK floorWindowProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paintLikeTheSplash(target);
            return 0;
        case statusMessage:
            drawStatusLikeTheSplash(target, reinterpret_cast<const char*>(lParam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(target, message, wParam, lParam);
    }
}

typedef void (*AnyFunction)();
template <typename Call>
Call kernelFunction(const char* name) {
    return reinterpret_cast<Call>(
        reinterpret_cast<AnyFunction>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// Step 6: the pipe for the runtime's error output, made as the launcher makes it (its own end
// read by reads that wait in the system, the runtime's end opened by name), and the list of the one
// handle the runtime inherits, that end.
bool makeErrorPipe() {
    typedef BOOL(WINAPI * Initialize)(void*, DWORD, DWORD, SIZE_T*);
    typedef BOOL(WINAPI * Update)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*);
    const Initialize initialize = kernelFunction<Initialize>("InitializeProcThreadAttributeList");
    const Update update = kernelFunction<Update>("UpdateProcThreadAttribute");
    kernelFunction<AnyFunction>("DeleteProcThreadAttributeList");
    SIZE_T size = sizeof handleList;
    if (initialize == nullptr || update == nullptr || !initialize(handleList, 1, 0, &size)) {
        return false;
    }
    arrival.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char name[64];
    wsprintfA(name, "\\\\.\\pipe\\QuarVel.Floor.%lu", GetTickCount());
    pipeRead =
        CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | 0x00080000,
                         PIPE_TYPE_BYTE | PIPE_WAIT | 0x00000008, 1, 0, 64 * 1024, 0, nullptr);
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    pipeWrite = CreateFileA(name, GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, 0, nullptr);
    return pipeRead != INVALID_HANDLE_VALUE && pipeWrite != INVALID_HANDLE_VALUE &&
           update(handleList, 0, 0x20002, &pipeWrite, sizeof pipeWrite, nullptr, nullptr);
}

// Step 8: a read of the pipe that waits in the system, made anew each time one is done.
void readNext() {
    static char chunk[4096];
    reading = ReadFile(pipeRead, chunk, sizeof chunk, nullptr, &arrival) ||
              GetLastError() == ERROR_IO_PENDING;
}

// As the watch's hooks do with each window event: ask whose window it is.
void CALLBACK onWindowEvent(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
}

// The launcher stays while its runtime starts: it notes the runtime's creation time, sets the
// watch's hooks for windows created, shown or named, and waits on the runtime and its messages in
// 100 ms steps (a runtime that ends is followed by a second's pause before the window goes), from
// step 8 on taking what the runtime writes to its error output as it arrives. A parent that stays
// costs the runtime's start more than one that quits at once.
void watchLikeTheLauncher(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    if (FLOOR_STEP >= 8) readNext();
    const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
    const HWINEVENTHOOK hooks[] = {SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr,
                                                   onWindowEvent, 0, 0, flags),
                                   SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE,
                                                   nullptr, onWindowEvent, 0, 0, flags)};
    for (;;) {
        const HANDLE waits[] = {process, arrival.hEvent};
        const DWORD count = reading ? 2 : 1;
        const DWORD woke = MsgWaitForMultipleObjects(count, waits, FALSE, 100, QS_ALLINPUT);
        if (woke == WAIT_TIMEOUT) continue;
        if (woke == WAIT_OBJECT_0 + count) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            continue;
        }
        if (woke != WAIT_OBJECT_0 + 1) break;
        reading = arrival.Internal == 0;  // else the pipe broke
        if (reading) readNext();
    }
    for (HWINEVENTHOOK hook : hooks) {
        if (hook != nullptr) UnhookWinEvent(hook);
    }
    if (reading) CancelIo(pipeRead);
    Sleep(1000);
}

DWORD WINAPI floorWorker(void*) {
    GetFileAttributesA("quarvel.jar");
    GetFileAttributesA("java");
    PostMessageA(window, statusMessage, 0, reinterpret_cast<LPARAM>(statusText));
    char line[] = "java\\bin\\java -cp quarvel.jar;. com.quarvel.browser.Browser";
    struct {
        STARTUPINFOA info;
        void* attributes;
    } startup;  // STARTUPINFOEXA
    GetStartupInfoA(&startup.info);
    const bool piped = FLOOR_STEP >= 6 && makeErrorPipe();
    const bool extended = piped && FLOOR_STEP >= 7;
    if (extended) {
        startup.info.cb = sizeof startup;
        startup.info.dwFlags |= STARTF_USESTDHANDLES;
        startup.info.hStdInput = startup.info.hStdOutput = nullptr;
        startup.info.hStdError = pipeWrite;
        startup.attributes = handleList;
    }
    PROCESS_INFORMATION child;
    if (CreateProcessA(nullptr, line, nullptr, nullptr, extended,
                       DETACHED_PROCESS | NORMAL_PRIORITY_CLASS |
                           (extended ? EXTENDED_STARTUPINFO_PRESENT : 0),
                       nullptr, folder, &startup.info, &child)) {
        if (piped) CloseHandle(pipeWrite);
        if (FLOOR_STEP >= 4) watchLikeTheLauncher(child.hProcess);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    PostMessageA(window, WM_QUIT, 0, 0);
    return 0;
}

// As the launcher does first of all: no DLL from the current folder or the program's own.
void restrictDllSearch() {
    typedef BOOL(WINAPI * SetDefault)(DWORD);
    typedef BOOL(WINAPI * SetDirectory)(LPCSTR);
    const SetDefault setDefault = kernelFunction<SetDefault>("SetDefaultDllDirectories");
    if (setDefault != nullptr) setDefault(0x00000800);
    const SetDirectory setDirectory = kernelFunction<SetDirectory>("SetDllDirectoryA");
    if (setDirectory != nullptr) setDirectory("");
}

// Step 5, as the launcher with its log on does at its entry: the log's name made whole, its clock
// set from the process's creation, and what its first lines tell: the launcher's path and command
// line in UTF-8, the Windows version and whether it runs under WoW64.
void describeForTheLog() {
    wchar_t named[MAX_PATH], full[MAX_PATH], self[MAX_PATH];
    GetEnvironmentVariableW(L"QUARVEL_LAUNCHER_LOG", named, MAX_PATH);
    GetFullPathNameW(named, MAX_PATH, full, nullptr);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    char utf8[3 * MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, self, -1, utf8, sizeof utf8, nullptr, nullptr);
    WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, utf8, sizeof utf8, nullptr, nullptr);
    typedef LONG(WINAPI * GetVersion)(OSVERSIONINFOW*);
    OSVERSIONINFOW version;
    version.dwOSVersionInfoSize = sizeof version;
    const GetVersion getVersion = reinterpret_cast<GetVersion>(reinterpret_cast<AnyFunction>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    if (getVersion != nullptr) getVersion(&version);
    typedef BOOL(WINAPI * IsWow64)(HANDLE, BOOL*);
    const IsWow64 isWow64 = kernelFunction<IsWow64>("IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64 != nullptr) isWow64(GetCurrentProcess(), &wow64);
}

// The launcher also asks for the wide form of each folder, and converts it to see whether the
// narrow form lost letters.
void convertWide(const wchar_t* wide) {
    char narrow[MAX_PATH];
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, &lossy);
}

void findFolders() {
    const DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
    wchar_t wide[MAX_PATH];
    if (FLOOR_STEP >= 3 && GetModuleFileNameW(nullptr, wide, MAX_PATH) > 0) convertWide(wide);
    for (DWORD at = length; at > 0; --at) {
        if (folder[at - 1] == '\\') {
            folder[at] = '\0';
            break;
        }
    }
    SetCurrentDirectoryA(folder);
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) return;
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items))) {
        SHGetPathFromIDListA(items, documents);
        if (FLOOR_STEP >= 3 && SHGetPathFromIDListW(items, wide)) convertWide(wide);
        allocator->Free(items);
    }
    allocator->Release();
}

int floorMain(HINSTANCE instance, int showCommand) {
    findFolders();
    // A name that is not there is looked for once more by a search, as the launcher does.
    if (GetFileAttributesA("setup.exe") == INVALID_FILE_ATTRIBUTES) {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA("setup.exe", &found);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = floorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "LaunchFloorClass";
    RegisterClassExA(&windowClass);
    RECT workArea;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    window = CreateWindowExA(WS_EX_TOOLWINDOW, "LaunchFloorClass", nullptr, 0,
                             (workArea.right - workArea.left - 366) / 2,
                             (workArea.bottom - workArea.top - 150) / 2, 366, 150, nullptr, nullptr,
                             instance, nullptr);
    if (window == nullptr) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    HANDLE worker = CreateThread(nullptr, 0, floorWorker, nullptr, 0, nullptr);
    if (worker != nullptr) CloseHandle(worker);
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

extern "C" __attribute__((force_align_arg_pointer)) void floorEntry() {
    if (FLOOR_STEP >= 2) restrictDllSearch();
    if (FLOOR_STEP >= 5) describeForTheLog();
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    GetCommandLineA();
    const int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(floorMain(GetModuleHandleA(nullptr), showCommand)));
}
