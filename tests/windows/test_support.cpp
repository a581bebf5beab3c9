#include "test_support.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>
#include <sstream>

namespace testing_support {

std::string testProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.rfind('\\'));
}

std::string standInPath() {
    return testProgramFolder() + "\\stand_in.exe";
}
std::string launcherPath() {
    return testProgramFolder() + "\\launcher.exe";
}

std::string elsewhereFolder() {
    const std::string root = testProgramFolder() + "\\scratch";
    const std::string folder = root + "\\elsewhere";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

namespace {

// Wide, so that it also removes what a test made under names the ANSI code page cannot spell.
void removeWideTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeWideTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

void removeTree(const std::string& path) {
    const std::wstring wide = wideText(path);
    if (!wide.empty()) removeWideTree(wide);  // never the root of the current drive
}

std::wstring wideText(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

ScratchFolder::ScratchFolder(const std::string& name) {
    const std::string root = testProgramFolder() + "\\scratch";
    CreateDirectoryA(root.c_str(), nullptr);
    path_ = root + "\\" + name;
    removeTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

void ScratchFolder::makeFolder(const std::string& relative) const {
    // Creates each level in turn.
    for (size_t at = 0; at != std::string::npos;) {
        at = relative.find('\\', at + 1);
        CreateDirectoryA((*this / relative.substr(0, at)).c_str(), nullptr);
    }
}

void ScratchFolder::writeFile(const std::string& relative, const std::string& content) const {
    const size_t slash = relative.rfind('\\');
    if (slash != std::string::npos) makeFolder(relative.substr(0, slash));
    std::ofstream file(*this / relative, std::ios::binary);
    file << content;
}

void ScratchFolder::placeStandIn(const std::string& relative, const std::string& behaviour) const {
    const size_t slash = relative.rfind('\\');
    if (slash != std::string::npos) makeFolder(relative.substr(0, slash));
    CopyFileA(standInPath().c_str(), (*this / relative).c_str(), FALSE);
    const std::string base = relative.substr(0, relative.rfind('.'));
    writeFile(base + ".behaviour", behaviour);
}

void ScratchFolder::placeLauncher() const {
    CopyFileA(launcherPath().c_str(), (*this / "launcher.exe").c_str(), FALSE);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<Record> readRecords(const std::string& logPath) {
    std::vector<Record> records;
    std::istringstream lines(readFile(logPath));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (key == "begin") records.emplace_back();
        if (records.empty()) continue;
        Record& r = records.back();
        if (key == "program") r.program = value;
        if (key == "pid") r.pid = static_cast<DWORD>(std::stoul(value));
        if (key == "created") r.created = std::stoull(value);
        if (key == "cmdline") r.commandLine = value;
        if (key == "cwd") r.folder = value;
        if (key == "started") r.started = std::stoll(value);
        if (key == "window") {
            std::istringstream times(value);
            times >> r.windowOpened >> r.windowStood;
        }
        if (key == "arg") r.args.push_back(value);
        if (key == "error") r.failedMainClass = true;
        if (key == "show") r.showCommand = static_cast<unsigned>(std::stoul(value));
        if (key == "console") r.hasConsole = value == "1";
        if (key == "handle") r.handles.push_back(value);
        if (key == "reach") r.reached.push_back(value);
        if (key == "startup") {
            std::istringstream fields(value);
            UINT_PTR handle = 0;
            fields >> r.startupFlags >> r.reserved2;
            while (fields >> handle) r.standardHandles.push_back(handle);
        }
    }
    return records;
}

Process::Process(const std::string& commandLine, const std::string& folder,
                 const STARTUPINFOA* startup, BOOL inheritHandles, DWORD creationFlags) {
    ZeroMemory(&info_, sizeof info_);
    STARTUPINFOA defaults;
    ZeroMemory(&defaults, sizeof defaults);
    defaults.cb = sizeof defaults;
    STARTUPINFOA settings = startup != nullptr ? *startup : defaults;
    // Wine has once failed to start a launcher.exe copied a moment before with ERROR_INTERNAL_ERROR
    // (1359), a failure of the platform's own: the program never ran, so it is started once more,
    // and the test's output says so. Any other failure, or a second one, fails the test.
    for (int attempt = 0;; ++attempt) {
        std::string line = commandLine;
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, inheritHandles, creationFlags,
                           nullptr, folder.empty() ? nullptr : folder.c_str(), &settings, &info_)) {
            return;
        }
        const DWORD error = GetLastError();
        ZeroMemory(&info_, sizeof info_);
        if (error == ERROR_INTERNAL_ERROR && attempt == 0) {
            printf("note: Wine could not start %s (error %lu); starting it again\n",
                   commandLine.c_str(), error);
            Sleep(200);
            continue;
        }
        ADD_FAILURE() << "could not start " << commandLine << " (error " << error << ")";
        return;
    }
}

Process::~Process() {
    if (info_.hProcess == nullptr) return;
    if (waitForExit(0) == STILL_ACTIVE) kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

DWORD Process::waitForExit(DWORD milliseconds) const {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HANDLE openRecordedProcess(const Record& record, DWORD access) {
    HANDLE process = OpenProcess(access | PROCESS_QUERY_INFORMATION, FALSE, record.pid);
    if (process == nullptr) return nullptr;  // ended, and its identifier not handed out again
    FILETIME created, exited, kernel, user;
    // Wine hands the identifiers of ended processes out again: one created at another time is
    // another process.
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user) ||
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32 | created.dwLowDateTime) !=
            record.created) {
        CloseHandle(process);
        return nullptr;
    }
    return process;
}

void endRecordedProcesses(const std::string& logPath) {
    for (const Record& r : readRecords(logPath)) {
        HANDLE process = openRecordedProcess(r, PROCESS_TERMINATE | SYNCHRONIZE);
        if (process == nullptr) continue;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 2000);
        CloseHandle(process);
    }
}

void Process::kill() const {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId) return TRUE;
    if (search.className != nullptr) {
        char name[256] = "";
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, search.className) != 0) return TRUE;
    }
    search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> windowsOf(DWORD processId, const char* className) {
    WindowSearch search = {processId, className, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void pumpMessages(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (milliseconds > 0) Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

HWND waitForWindow(DWORD processId, const char* className, DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        const std::vector<HWND> found = windowsOf(processId, className);
        for (HWND window : found) {
            if (IsWindowVisible(window)) return window;
        }
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return nullptr;
        pumpMessages(20);
    }
}

std::string windowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {

// The system icon whose drawing matches the screen's pixels in the box's icon control exactly.
// Icons of another process cannot be read through their handles, so the screen tells.
std::string systemIconShown(HWND box) {
    HWND control = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(child, name, sizeof name);
        if (strcmp(name, "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
            control = child;
        }
    }
    if (control == nullptr) return "none";
    RECT area;
    GetWindowRect(control, &area);
    const std::vector<COLORREF> shown = screenPixels(area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    const struct {
        LPCSTR id;
        const char* name;
    } icons[] = {{IDI_ERROR, "error"},
                 {IDI_WARNING, "warning"},
                 {IDI_INFORMATION, "information"},
                 {IDI_QUESTION, "question"}};
    for (const auto& icon : icons) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        const RECT all = {0, 0, width, height};
        FillRect(memory, &all, GetSysColorBrush(COLOR_3DFACE));
        DrawIconEx(memory, 0, 0, LoadIconA(nullptr, icon.id), width, height, 0, nullptr, DI_NORMAL);
        bool same = true;
        for (int y = 0; y < height && same; ++y) {
            for (int x = 0; x < width && same; ++x) {
                same = GetPixel(memory, x, y) == shown[static_cast<size_t>(y) * width + x];
            }
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        if (same) return icon.name;
    }
    return "unknown";
}

}  // namespace

MessageBoxSeen waitForMessageBox(DWORD processId, DWORD milliseconds) {
    MessageBoxSeen seen;
    seen.box = waitForWindow(processId, "#32770", milliseconds);
    if (seen.box == nullptr) return seen;
    pumpMessages(200);  // until it has drawn itself
    seen.caption = windowText(seen.box);
    char text[1024] = "";
    GetDlgItemTextA(seen.box, 0xFFFF, text, sizeof text);  // the message box's static text
    seen.text = text;
    seen.owner = GetWindow(seen.box, GW_OWNER);
    seen.icon = systemIconShown(seen.box);
    return seen;
}

void expectLauncherMessageBox(const MessageBoxSeen& seen) {
    EXPECT_EQ(seen.caption, "QuarVel Launcher");
    EXPECT_EQ(seen.icon, "error") << "the error icon (MB_ICONERROR)";
    EXPECT_EQ(seen.owner, nullptr) << "no owner window";
}

void pressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::vector<COLORREF> screenPixels(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    const DWORD* source = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = source[i];  // 0x00RRGGBB
        pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {

void removeRuntimeKeys() {
    const char* const roots[] = {"SOFTWARE\\JavaSoft",       "SOFTWARE\\Eclipse Adoptium",
                                 "SOFTWARE\\AdoptOpenJDK",   "SOFTWARE\\Eclipse Foundation",
                                 "SOFTWARE\\Microsoft\\JDK", "SOFTWARE\\Semeru",
                                 "SOFTWARE\\Azul Systems",   "SOFTWARE\\BellSoft",
                                 "SOFTWARE\\SapMachine",     "SOFTWARE\\IBM"};
    const struct {
        HKEY hive;
        REGSAM view;
    } places[] = {{HKEY_LOCAL_MACHINE, launcherView},
                  {HKEY_LOCAL_MACHINE, otherView},
                  {HKEY_CURRENT_USER, 0}};
    for (const auto& place : places) {
        for (const char* root : roots) {
            HKEY key;
            if (RegOpenKeyExA(place.hive, root, 0, KEY_ALL_ACCESS | place.view, &key) !=
                ERROR_SUCCESS) {
                continue;
            }
            RegDeleteTreeA(key, nullptr);
            RegCloseKey(key);
            RegDeleteKeyExA(place.hive, root, place.view, 0);
        }
    }
}

}  // namespace

CleanRuntimeKeys::CleanRuntimeKeys() {
    removeRuntimeKeys();
}
CleanRuntimeKeys::~CleanRuntimeKeys() {
    removeRuntimeKeys();
}

void setRegistryValue(const std::string& keyPath, const char* name, DWORD type, const void* data,
                      DWORD size, REGSAM view, HKEY hive) {
    HKEY key;
    if (RegCreateKeyExA(hive, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "could not create " << keyPath;
        return;
    }
    if (name != nullptr) RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void registerRuntime(const std::string& key, const std::string& subkey, const std::string& home,
                     const char* microVersion, REGSAM view, HKEY hive) {
    const std::string path = "SOFTWARE\\JavaSoft\\" + key + "\\" + subkey;
    setRegistryValue(path, "JavaHome", REG_SZ, home.c_str(), static_cast<DWORD>(home.size() + 1),
                     view, hive);
    if (microVersion != nullptr) {
        setRegistryValue(path, "MicroVersion", REG_SZ, microVersion,
                         static_cast<DWORD>(strlen(microVersion) + 1), view, hive);
    }
}

const VendorKey temurinJdk = {"Eclipse Adoptium\\JDK", "hotspot\\MSI", "Path"};
const VendorKey temurinJre = {"Eclipse Adoptium\\JRE", "hotspot\\MSI", "Path"};
const VendorKey adoptJdk = {"AdoptOpenJDK\\JDK", "hotspot\\MSI", "Path"};
const VendorKey adoptJdkOpenJ9 = {"AdoptOpenJDK\\JDK", "openj9\\MSI", "Path"};
const VendorKey adoptJreOpenJ9 = {"AdoptOpenJDK\\JRE", "openj9\\MSI", "Path"};
const VendorKey eclipseJdk = {"Eclipse Foundation\\JDK", "hotspot\\MSI", "Path"};
const VendorKey microsoftJdk = {"Microsoft\\JDK", "hotspot\\MSI", "Path"};
const VendorKey semeruJdk = {"Semeru\\JDK", "openj9\\MSI", "Path"};
const VendorKey semeruJre = {"Semeru\\JRE", "openj9\\MSI", "Path"};
const VendorKey zulu = {"Azul Systems\\Zulu", nullptr, "InstallationPath"};
const VendorKey liberica = {"BellSoft\\Liberica", nullptr, "InstallationPath"};
const VendorKey sapMachineJdk = {"SapMachine\\JDK", nullptr, "JavaHome"};
const VendorKey sapMachineJre = {"SapMachine\\JRE", nullptr, "JavaHome"};
const VendorKey ibmJava2Jre = {"IBM\\Java2 Runtime Environment", nullptr, "JavaHome"};
const VendorKey ibmJre = {"IBM\\Java Runtime Environment", nullptr, "JavaHome"};
const VendorKey ibmJdk = {"IBM\\Java Development Kit", nullptr, "JavaHome"};

void registerVendorRuntime(const VendorKey& vendor, const std::string& name,
                           const std::string& home, REGSAM view, HKEY hive) {
    std::string path = std::string("SOFTWARE\\") + vendor.key + "\\" + name;
    if (vendor.flavour != nullptr) path += std::string("\\") + vendor.flavour;
    setRegistryValue(path, vendor.value, REG_SZ, home.c_str(), static_cast<DWORD>(home.size() + 1),
                     view, hive);
}

}  // namespace testing_support
