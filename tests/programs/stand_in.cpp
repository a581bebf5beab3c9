// Plays a program the launcher starts (a Java runtime, jview, the installer, the page viewer). It
// records what it received and then behaves as the file "<its own name>.behaviour" beside it says:
//
//   log=PATH          where to append the record (default: "<its own name>.log" beside it)
//   action=exit       exit (default) | hang | window
//   code=N            exit code (default 0)
//   delay=MS          wait before acting; delay-random=MS adds a random share of that many
//   at=MICROS         wait before acting until the performance counter's clock (micro_clock.h)
//                     reads MICROS, so that a watcher can place the action in its cycle
//   title=TEXT        the window's title, for action=window
//   title-after=MS    with action=window: create the window without a title and give it its
//                     title that long after (its record's window time is then the titling's)
//   lifetime=MS       with action=window: exit with `code` that long after the window opened
//   load=NAME         load the DLL NAME by name first, as a program without a restricted DLL
//                     search would
//   check-main=1      like a runtime, fail with exit code 1 unless the main class it finds is
//                     com.quarvel.browser.Browser (default 1; 0 for installer and page viewer)
//   shim=PATH         act as a package manager's shim: start PATH with its own command-line
//                     tail, wait for it and exit with its exit code (the other actions are not
//                     taken)
//   check-handle=V P  record whether the handle value V names, in this process, the file P: a
//                     handle of its starter that it inherited (may be given more than once)
//   stderr=TEXT       write TEXT to its standard error before acting, as a runtime that refuses
//                     the application does ("\r", "\n" and "\t" in it stand for CR, LF and tab)
//   stderr-bytes=N    write N bytes (lines of a stack trace's length) to its standard error first
//   signal=NAME       once its record is written, set the event NAME where it exists, so that a
//                     watcher can wait for the start without looking for the record meanwhile
//
// Besides its command line, folder and arguments it records its start-up information (flags,
// C runtime handle table, standard handles, show command) and whether it has a console window; and,
// as a Java runtime reads them (through the ANSI calls, in the system's code page), whether each
// path it was handed names something: its folder, its program (given with a folder) and the
// documents folder of launcher.mydocs. A path misread into look-alikes names nothing.
//
// A record is a block of "key value" lines ending in "end", written at once (a window's times,
// before its creation and once it stands, follow on a line of their own); times are
// microseconds on the system-wide performance counter, so that they compare across processes, but
// "created" is the process's creation time as GetProcessTimes gives it. A program that cannot
// write its record ends at once with exit code 97.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "micro_clock.h"
#include "startup/command_line.h"

namespace {

// Its own path, in ANSI; through the short form when the ANSI code page cannot spell the long one
// (no look-alikes: Ł is not L).
std::string ownPath() {
    wchar_t wide[MAX_PATH], shortWide[MAX_PATH];
    char path[MAX_PATH];
    GetModuleFileNameW(nullptr, wide, MAX_PATH);
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path, sizeof path, nullptr, &lossy);
    if (lossy && GetShortPathNameW(wide, shortWide, MAX_PATH) > 0) {
        WideCharToMultiByte(CP_ACP, 0, shortWide, -1, path, sizeof path, nullptr, nullptr);
    }
    return path;
}

std::string ownPathWithoutExtension() {
    std::string text = ownPath();
    const size_t dot = text.rfind('.');
    if (dot != std::string::npos && text.find('\\', dot) == std::string::npos) text.erase(dot);
    return text;
}

struct Behaviour {
    std::string log;
    std::string action = "exit";
    int code = 0;
    int delay = 0;
    int delayRandom = 0;
    long long at = 0;
    std::string title = "QuarVel";
    int lifetime = -1;
    int titleAfter = -1;
    bool checkMain = true;
    std::string load;
    std::vector<std::string> checkHandles;
    std::string shim;
    std::string errorText;
    int errorBytes = 0;
    std::string signal;
};

std::string unescaped(const std::string& value) {
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (value[i] == '\\' && (next == 'r' || next == 'n' || next == 't')) {
            text += next == 'r' ? '\r' : next == 'n' ? '\n' : '\t';
            ++i;
        } else {
            text += value[i];
        }
    }
    return text;
}

// Writes to its standard error as a runtime's System.err does: the handle it was started with,
// whole, waiting for a full pipe to take it; nothing when it has none.
void writeError(const Behaviour& b) {
    std::string text = b.errorText;
    const size_t wanted = text.size() + static_cast<size_t>(b.errorBytes);
    for (int line = 0; text.size() < wanted; ++line) {
        text += "\tat com.quarvel.browser.Frame" + std::to_string(line) +
                ".open(Frame.java:" + std::to_string(100 + line % 900) + ")\r\n";
    }
    text.resize(wanted);
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    for (size_t at = 0; at < text.size() && error != nullptr && error != INVALID_HANDLE_VALUE;
         at += written) {
        if (!WriteFile(error, text.data() + at, static_cast<DWORD>(text.size() - at), &written,
                       nullptr)) {
            return;
        }
    }
}

Behaviour readBehaviour(const std::string& base) {
    Behaviour b;
    b.log = base + ".log";
    const std::string path = base + ".behaviour";
    FILE* file = fopen(path.c_str(), "r");
    // One that is there but held by its writer is waited for: its defaults would make a failing
    // runtime succeed.
    for (int attempt = 0; file == nullptr && attempt < 500 &&
                          GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++attempt) {
        Sleep(20);
        file = fopen(path.c_str(), "r");
    }
    if (file == nullptr) return b;
    char line[1024];
    while (fgets(line, sizeof line, file) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const size_t equals = text.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = text.substr(0, equals), value = text.substr(equals + 1);
        if (key == "log") b.log = value;
        if (key == "action") b.action = value;
        if (key == "code") b.code = atoi(value.c_str());
        if (key == "delay") b.delay = atoi(value.c_str());
        if (key == "delay-random") b.delayRandom = atoi(value.c_str());
        if (key == "at") b.at = atoll(value.c_str());
        if (key == "title") b.title = value;
        if (key == "lifetime") b.lifetime = atoi(value.c_str());
        if (key == "title-after") b.titleAfter = atoi(value.c_str());
        if (key == "check-main") b.checkMain = value != "0";
        if (key == "load") b.load = value;
        if (key == "check-handle") b.checkHandles.push_back(value);
        if (key == "shim") b.shim = value;
        if (key == "stderr") b.errorText = unescaped(value);
        if (key == "stderr-bytes") b.errorBytes = atoi(value.c_str());
        if (key == "signal") b.signal = value;
    }
    fclose(file);
    return b;
}

// Appends the text in one write, so that records of programs running at once never interleave,
// sharing the file with readers, writers and deleters. A log that stays unavailable (the test
// removing it, a reader holding it without sharing) is tried again for up to ten seconds.
bool append(const std::string& log, const std::string& text) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL wrote =
                WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(file);
            return wrote && written == text.size();
        }
        Sleep(20);
    }
    return false;
}

// Its own creation time, as GetProcessTimes gives it to anyone who opens it: with the identifier
// it tells this process from a later one that was handed the same identifier.
unsigned long long ownCreationTime() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return static_cast<unsigned long long>(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

// A program that cannot leave its record ends with this code and does nothing else, so that
// what a test sees is never a runtime that ran unrecorded.
const int unrecordedExitCode = 97;

// "reach WHAT 1 PATH" when the path names a file or folder here, "reach WHAT 0 PATH" when not.
std::string reachLine(const char* what, const std::string& path) {
    const bool found = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    return std::string("reach ") + what + (found ? " 1 " : " 0 ") + path + "\n";
}

// The paths it was handed, each as it reads them: its folder, the program of its command line
// where that names a folder (the platform's program search finds a bare name), the documents.
std::string reachedPaths(int argc, char** argv, const char* folder) {
    std::string lines = reachLine("folder", folder);
    const std::string line = GetCommandLineA();
    const bool quoted = !line.empty() && line[0] == '"';
    std::string program = line.substr(quoted ? 1 : 0, line.find(quoted ? '"' : ' ', 1) - quoted);
    if (program.find('\\') != std::string::npos) {
        if (program.size() < 4 || program.compare(program.size() - 4, 4, ".exe") != 0) {
            program += ".exe";
        }
        lines += reachLine("program", program);
    }
    const std::string documents = "-Dlauncher.mydocs=";
    for (int i = 1; i < argc; ++i) {
        if (documents.compare(0, std::string::npos, argv[i], documents.size()) == 0) {
            lines += reachLine("documents", argv[i] + documents.size());
        }
    }
    return lines;
}

// The first argument that is neither an option nor an option's value, as a runtime finds it.
std::string mainClass(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-cp" || arg == "-classpath" || arg == "/cp") {
            ++i;
        } else if (arg.empty() || (arg[0] != '-' && arg[0] != '/')) {
            return arg;
        }
    }
    return "";
}

// Whether `value` is a handle of this process to the same file as `path` (same volume and index).
bool namesFile(UINT_PTR value, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION held, named;
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(value), &held)) return false;
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BOOL read = GetFileInformationByHandle(file, &named);
    CloseHandle(file);
    return read && held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
}

// As the shims of package managers do: the real program gets the same arguments, the shim's
// handles and console, and the shim waits for it and hands on its exit code.
int runAsShim(const std::string& program) {
    std::string line = "\"" + program + "\" " + commandLineTail(GetCommandLineA());
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION real;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &real)) {
        return 2;
    }
    WaitForSingleObject(real.hProcess, INFINITE);
    DWORD code = 3;
    GetExitCodeProcess(real.hProcess, &code);
    CloseHandle(real.hThread);
    CloseHandle(real.hProcess);
    return static_cast<int>(code);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const long long started = nowMicros();
    const Behaviour b = readBehaviour(ownPathWithoutExtension());
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    std::string record = "begin\nprogram " + ownPathWithoutExtension() + "\npid " +
                         std::to_string(GetCurrentProcessId()) + "\ncreated " +
                         std::to_string(ownCreationTime()) + "\ncmdline " + GetCommandLineA() +
                         "\ncwd " + folder + "\nstarted " + std::to_string(started) + "\n";
    for (int i = 0; i < argc; ++i) record += "arg " + std::string(argv[i]) + "\n";
    record += reachedPaths(argc, argv, folder);
    // What it was handed for its standard handles: the start-up flags, the size of the C
    // runtime's handle table, and the three handle values.
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    record += "startup " + std::to_string(startup.dwFlags) + " " +
              std::to_string(startup.cbReserved2) + " " +
              std::to_string(reinterpret_cast<UINT_PTR>(startup.hStdInput)) + " " +
              std::to_string(reinterpret_cast<UINT_PTR>(startup.hStdOutput)) + " " +
              std::to_string(reinterpret_cast<UINT_PTR>(startup.hStdError)) + "\n";
    record += "show " + std::to_string(startup.wShowWindow) + "\nconsole " +
              std::to_string(GetConsoleWindow() != nullptr) + "\n";
    for (const std::string& check : b.checkHandles) {
        const size_t blank = check.find(' ');
        const std::string value = check.substr(0, blank);
        const std::string path = blank == std::string::npos ? "" : check.substr(blank + 1);
        record += "handle " + value + " " +
                  (namesFile(strtoull(value.c_str(), nullptr, 10), path) ? "open" : "closed") +
                  "\n";
    }

    if (b.checkMain && mainClass(argc, argv) != "com.quarvel.browser.Browser") {
        if (!append(b.log, record + "error could not find the main class\nend\n")) {
            return unrecordedExitCode;
        }
        Behaviour refusal = b;  // as the java launcher says it
        refusal.errorText =
            "Error: Could not find or load main class " + mainClass(argc, argv) + "\r\n";
        writeError(refusal);
        return 1;
    }
    if (!append(b.log, record + "end\n")) return unrecordedExitCode;
    if (!b.signal.empty()) {
        const HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, b.signal.c_str());
        if (event != nullptr) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
    if (!b.shim.empty()) return runAsShim(b.shim);
    writeError(b);
    if (!b.load.empty()) LoadLibraryA(b.load.c_str());

    int delay = b.delay;
    if (b.delayRandom > 0) {
        srand(static_cast<unsigned>(started));
        delay += rand() % b.delayRandom;
    }
    Sleep(delay);
    while (nowMicros() < b.at) Sleep(1);
    if (b.action == "hang") Sleep(INFINITE);
    if (b.action != "window") return b.code;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "StandInWindow";
    RegisterClassA(&windowClass);
    // Taken before the window exists, so that a watcher's measured delay is never too short.
    long long opening = nowMicros();
    const HWND window = CreateWindowA("StandInWindow", b.titleAfter < 0 ? b.title.c_str() : "",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                      nullptr, windowClass.hInstance, nullptr);
    if (b.titleAfter >= 0) {
        Sleep(b.titleAfter);
        opening = nowMicros();
        SetWindowTextA(window, b.title.c_str());
    }
    // And once it stands: a window may take its opener a while (on an emulated CPU, 100 ms).
    const long long opened = nowMicros();
    append(b.log, "window " + std::to_string(opening) + " " + std::to_string(opened) + "\n");
    if (b.lifetime >= 0) SetTimer(nullptr, 0, static_cast<UINT>(b.lifetime), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) return b.code;
        DispatchMessageA(&message);
    }
    return b.code;
}
