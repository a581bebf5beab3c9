// What the Windows-side tests share: scratch folders with stand-in programs, the records those
// programs leave, starting and watching processes, finding their windows and message boxes,
// reading pixels back from the screen, and registry keys that a test writes and removes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "../programs/micro_clock.h"

namespace testing_support {

std::string testProgramFolder();  // where the test binaries, launcher.exe and stand_in.exe lie
std::string standInPath();
std::string launcherPath();
// An empty folder that is not a disc: the launcher is started with it as its current folder, as
// a shortcut with another "Start in" folder or a command prompt elsewhere starts it, so that it
// must find everything beside itself.
std::string elsewhereFolder();

// A fresh folder under the build tree, removed and made anew for each test.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }
    void makeFolder(const std::string& relative) const;
    void writeFile(const std::string& relative, const std::string& content) const;
    // Copies the stand-in to relative (for example "java\\bin\\java.exe") with a behaviour file.
    void placeStandIn(const std::string& relative, const std::string& behaviour) const;
    void placeLauncher() const;

private:
    std::string path_;
};

void removeTree(const std::string& path);
// The text in UTF-16, from the ANSI code page.
std::wstring wideText(const std::string& text);
std::string readFile(const std::string& path);

struct Record {
    std::string program;  // path without .exe
    DWORD pid = 0;
    unsigned long long created = 0;  // creation time: with pid, names this process alone
    std::string commandLine;
    std::string folder;
    long long started = 0;
    long long windowOpened = -1;  // before the window's creation began
    long long windowStood = -1;   // once it was made (with its title)
    std::vector<std::string> args;
    bool failedMainClass = false;
    // From its start-up information: flags, C runtime handle-table size, standard handles.
    DWORD startupFlags = 0;
    unsigned reserved2 = 0;
    std::vector<UINT_PTR> standardHandles;
    unsigned showCommand = 0;  // wShowWindow, which counts when startupFlags has the flag for it
    bool hasConsole = false;
    std::vector<std::string> handles;  // "VALUE open" or "VALUE closed", as told to check
    // The paths it was handed, as it read them: "WHAT 1 PATH" where one names something, else
    // "WHAT 0 PATH" (WHAT: folder, program, documents).
    std::vector<std::string> reached;
};
std::vector<Record> readRecords(const std::string& logPath);
// Ends every recorded program that still runs (applications left running by a successful start);
// never a later process that was handed an ended one's identifier.
void endRecordedProcesses(const std::string& logPath);
// Opens a recorded program that still runs, or returns null.
HANDLE openRecordedProcess(const Record& record, DWORD access);

// A started process and its handles. A process that cannot be started fails the test at once,
// naming the command line, so that later waits do not report it as a mere timeout.
class Process {
public:
    // With `startup` (null: all defaults), handle inheritance and creation flags as given.
    Process(const std::string& commandLine, const std::string& folder,
            const STARTUPINFOA* startup = nullptr, BOOL inheritHandles = FALSE,
            DWORD creationFlags = 0);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    // Exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD waitForExit(DWORD milliseconds) const;
    void kill() const;

private:
    PROCESS_INFORMATION info_;
};

// Top-level windows of a process, optionally only those of one class.
std::vector<HWND> windowsOf(DWORD processId, const char* className = nullptr);
// Waits up to `milliseconds` for a top-level window of the class in the process.
HWND waitForWindow(DWORD processId, const char* className, DWORD milliseconds);
std::string windowText(HWND window);

struct MessageBoxSeen {
    HWND box = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    // The system icon it shows, told by its pixels: "error", "warning", "information",
    // "question", or "none".
    std::string icon;
};
// Waits for a message box of the process and reads its caption, text, owner and icon.
MessageBoxSeen waitForMessageBox(DWORD processId, DWORD milliseconds);
// Checks what every launcher message shows besides its text: the caption "QuarVel Launcher", the
// error icon, and no owner window (it stands on its own, on the task bar).
void expectLauncherMessageBox(const MessageBoxSeen& seen);
void pressButton(HWND dialog, int id);

void pumpMessages(DWORD milliseconds);

// Colour of a screen pixel, as the screen shows it now.
COLORREF screenPixel(int x, int y);
// All pixels of a screen rectangle, row by row.
std::vector<COLORREF> screenPixels(const RECT& area);

// The registry view that this build's launcher.exe reads, and the other one. On a 64-bit Windows
// a 32-bit program sees HKLM\SOFTWARE through Wow6432Node, so a test of the i686 build must write
// its keys there.
#ifdef _WIN64
const REGSAM launcherView = KEY_WOW64_64KEY;
const REGSAM otherView = KEY_WOW64_32KEY;
#else
const REGSAM launcherView = KEY_WOW64_32KEY;
const REGSAM otherView = KEY_WOW64_64KEY;
#endif

// Makes sure no runtimes are registered in either view of HKLM or in HKCU, under the JavaSoft keys
// or the vendors' keys, before and after the test.
class CleanRuntimeKeys {
public:
    CleanRuntimeKeys();
    ~CleanRuntimeKeys();
};
// Writes <hive>\SOFTWARE\JavaSoft\<key>\<subkey> with a JavaHome (and MicroVersion when given).
void registerRuntime(const std::string& key, const std::string& subkey, const std::string& home,
                     const char* microVersion = nullptr, REGSAM view = launcherView,
                     HKEY hive = HKEY_LOCAL_MACHINE);
// A runtime as a vendor's installer registers it: HKLM\SOFTWARE\<key>\<name>, then the flavour
// subkey when there is one (hotspot\MSI), with the home in `value` (Path or InstallationPath).
struct VendorKey {
    const char* key;
    const char* flavour;  // null: the home value lies in the name's own subkey
    const char* value;
};
extern const VendorKey temurinJdk, temurinJre, adoptJdk, adoptJdkOpenJ9, adoptJreOpenJ9, eclipseJdk,
    microsoftJdk, semeruJdk, semeruJre, zulu, liberica, sapMachineJdk, sapMachineJre, ibmJava2Jre,
    ibmJre, ibmJdk;
// A runtime installed for the current user alone registers itself in HKCU, which both views share.
void registerVendorRuntime(const VendorKey& vendor, const std::string& name,
                           const std::string& home, REGSAM view = launcherView,
                           HKEY hive = HKEY_LOCAL_MACHINE);
void setRegistryValue(const std::string& keyPath, const char* name, DWORD type, const void* data,
                      DWORD size, REGSAM view = launcherView, HKEY hive = HKEY_LOCAL_MACHINE);

}  // namespace testing_support
