// launcher.exe itself, started by the test in a prepared disc folder: its splash window, its
// messages, the runtimes it starts, the fallback page and its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "test_support.h"
#include "ui/splash_layout.h"

using namespace testing_support;

namespace {

const COLORREF penA = RGB(192, 225, 235);
const COLORREF penB = RGB(218, 236, 242);

// A disc folder holding launcher.exe, and optionally the archive and stand-in runtimes.
class LauncherTest : public ::testing::Test {
protected:
    explicit LauncherTest(const char* name = "disc") : disc(name) {}
    void SetUp() override {
        disc.placeLauncher();
        log = disc / "children.log";
        GetEnvironmentVariableA("PATH", savedPath, sizeof savedPath);
        hadJavaHome = GetEnvironmentVariableA("JAVA_HOME", savedJavaHome, sizeof savedJavaHome) > 0;
        // The launcher inherits these. Whatever this machine has must not be found: no JAVA_HOME
        // unless a test sets one, and a search path of the system folders alone.
        SetEnvironmentVariableA("JAVA_HOME", nullptr);
        char system[MAX_PATH] = "", windows[MAX_PATH] = "";
        GetSystemDirectoryA(system, sizeof system);
        GetWindowsDirectoryA(windows, sizeof windows);
        searchPath = std::string(system) + ";" + windows;
        SetEnvironmentVariableA("PATH", searchPath.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("PATH", savedPath);
        SetEnvironmentVariableA("JAVA_HOME", hadJavaHome ? savedJavaHome : nullptr);
        endRecordedProcesses(log);
    }
    void placeArchive() { disc.writeFile("quarvel.jar", "PK"); }
    std::string behaviour(const std::string& rest) { return "log=" + log + "\n" + rest; }
    void placeRuntime(const std::string& home, const std::string& what) {
        disc.placeStandIn(home + "\\bin\\java.exe", behaviour(what));
        disc.placeStandIn(home + "\\bin\\jre.exe", behaviour(what));
    }
    // Puts a program (jview.exe, java.exe) into the folder that leads the launcher's PATH.
    void putOnPath(const std::string& program, const std::string& what) {
        disc.placeStandIn("tools\\" + program, behaviour(what));
        SetEnvironmentVariableA("PATH", (disc / "tools;" + searchPath).c_str());
    }
    void putJviewOnPath(const std::string& what) { putOnPath("jview.exe", what); }
    std::string launcherCommand(const std::string& arguments = "") {
        return "\"" + disc / "launcher.exe" + "\"" + (arguments.empty() ? "" : " " + arguments);
    }
    // Started as users start it: from a shortcut or a prompt whose current folder is not the
    // disc, so that everything it finds it must find beside itself; and without a console, as
    // the shell starts a windowed program (a console program it starts would get its own).
    Process startLauncher(const std::string& arguments = "", const STARTUPINFOA* startup = nullptr,
                          BOOL inheritHandles = FALSE) {
        return Process(launcherCommand(arguments), elsewhereFolder(), startup, inheritHandles,
                       DETACHED_PROCESS);
    }
    // Programs started so far, relative to the disc folder where they lie in it.
    std::vector<std::string> programsRun() {
        std::vector<std::string> programs;
        for (const Record& r : readRecords(log)) {
            const std::string prefix = disc.path() + "\\";
            programs.push_back(r.program.compare(0, prefix.size(), prefix) == 0
                                   ? r.program.substr(prefix.size())
                                   : r.program);
        }
        return programs;
    }
    // Presses OK on the one message box of the launcher, checks that it looks as every launcher
    // message does, and returns what it showed; then the seconds until the launcher ended and its
    // exit code.
    MessageBoxSeen answerOnlyMessageBox(const Process& launcher, double* secondsToExit,
                                        DWORD* exitCode) {
        MessageBoxSeen seen = waitForMessageBox(launcher.id(), 20000);
        if (seen.box == nullptr) return seen;
        expectLauncherMessageBox(seen);
        pumpMessages(100);
        EXPECT_EQ(windowsOf(launcher.id(), "#32770").size(), 1u) << "exactly one message box";
        const long long pressed = nowMicros();
        pressButton(seen.box, IDOK);
        *exitCode = launcher.waitForExit(10000);
        *secondsToExit = (nowMicros() - pressed) / 1e6;
        return seen;
    }

    ScratchFolder disc;
    std::string log;
    std::string searchPath;
    char savedPath[8192] = "";
    char savedJavaHome[MAX_PATH] = "";
    bool hadJavaHome = false;
};

TEST_F(LauncherTest, SplashWindowOfTheRunningLauncher) {
    placeArchive();
    placeRuntime("java", "action=hang\n");  // keeps the worker watching
    Process launcher = startLauncher();
    ASSERT_TRUE(launcher.started());
    HWND splash = waitForWindow(launcher.id(), "QuarVelLauncherClass", 10000);
    ASSERT_NE(splash, nullptr);
    pumpMessages(1000);  // the first attempt's status text is drawn by now

    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const ScreenPoint expected =
        splashPosition({area.left, area.top, area.right, area.bottom}, splashMetrics(designDpi));
    RECT frame, client;
    GetWindowRect(splash, &frame);
    GetClientRect(splash, &client);
    EXPECT_EQ(frame.left, expected.x);
    EXPECT_EQ(frame.top, expected.y);
    EXPECT_EQ(frame.right - frame.left, 366);
    EXPECT_EQ(frame.bottom - frame.top, 150);
    EXPECT_EQ(client.right, 366);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_TRUE(GetWindowLongPtrA(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(windowText(splash), "");

    EXPECT_EQ(screenPixel(frame.left + 20, frame.top + 0), penA);
    EXPECT_EQ(screenPixel(frame.left + 21, frame.top + 0), penB);
    EXPECT_EQ(screenPixel(frame.left + 0, frame.top + 38), penA);
    EXPECT_EQ(screenPixel(frame.left + 0, frame.top + 39), penB);
    // The status line names the local folder being tried.
    const RECT statusStrip = {frame.left, frame.top + 114, frame.right, frame.top + 145};
    int dark = 0;
    for (COLORREF c : screenPixels(statusStrip)) {
        dark += GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
    }
    EXPECT_GT(dark, 5);
    EXPECT_EQ(programsRun(), std::vector<std::string>{"java\\bin\\java"});
    // The runtime is told the same work area, as left_top_width_height.
    const std::string workArea =
        "-Dlauncher.workarea=" + std::to_string(area.left) + "_" + std::to_string(area.top) + "_" +
        std::to_string(area.right - area.left) + "_" + std::to_string(area.bottom - area.top);
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(std::find(seen[0].args.begin(), seen[0].args.end(), workArea), seen[0].args.end())
        << workArea;
    // The test display has a task bar, so that centring on the screen would show here.
    if (GetSystemMetrics(SM_CYSCREEN) == area.bottom - area.top) {
        printf("note: the work area is the whole screen on this display\n");
    }

    // Closing the window ends the launcher at once, with exit code 0, worker or not.
    PostMessageA(splash, WM_CLOSE, 0, 0);
    EXPECT_EQ(launcher.waitForExit(5000), 0u);
}

TEST_F(LauncherTest, MissingArchiveIsReportedAndNothingStarts) {
    placeRuntime("java", "action=window\n");
    for (const bool folderOfThatName : {false, true}) {
        if (folderOfThatName) disc.makeFolder("quarvel.jar");
        Process launcher = startLauncher();
        double seconds = 0;
        DWORD exitCode = 1;
        const MessageBoxSeen box = answerOnlyMessageBox(launcher, &seconds, &exitCode);
        ASSERT_NE(box.box, nullptr);
        EXPECT_EQ(box.text, disc.path() + "\\quarvel.jar does not exist.");
        EXPECT_EQ(exitCode, 0u);
        EXPECT_GT(seconds, 0.9);
        EXPECT_LT(seconds, 3.0);
        EXPECT_TRUE(programsRun().empty());
    }
}

TEST_F(LauncherTest, MissingJavaHomeFolderIsReported) {
    placeArchive();
    placeRuntime("java", "action=window\n");
    disc.writeFile("afile", "x");
    const struct {
        const char* arguments;
        const char* shown;
    } cases[] = {
        {"-javahome C:\\nowhere\\jdk -x", "JavaHome not found\nC:\\nowhere\\jdk"},
        {"-javahome JVIEW", "JavaHome not found\nJVIEW"},
        {"-javahome afile", "JavaHome not found\nafile"},
        {"-javahome", "JavaHome not found\n"},
    };
    for (const auto& c : cases) {
        Process launcher = startLauncher(c.arguments);
        double seconds = 0;
        DWORD exitCode = 1;
        const MessageBoxSeen box = answerOnlyMessageBox(launcher, &seconds, &exitCode);
        ASSERT_NE(box.box, nullptr) << c.arguments;
        // The message box may show the line feed as a line break with or without a carriage return.
        std::string text = box.text;
        for (size_t at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
        EXPECT_EQ(text, c.shown);
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(programsRun().empty()) << "no local folder, registry or jview";
    }
}

TEST_F(LauncherTest, WorkingLocalRuntimeStartsTheApplicationAndTheLauncherEnds) {
    CleanRuntimeKeys clean;
    placeArchive();
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\ndelay=700\n");
    Process launcher = startLauncher("-demo \"two words\"");
    const DWORD exitCode = launcher.waitForExit(15000);
    const long long ended = nowMicros();
    EXPECT_EQ(exitCode, 0u);
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, disc / "java\\bin\\java");
    EXPECT_EQ(seen[0].folder, disc.path()) << "started in the launcher's folder";
    ASSERT_GE(seen[0].args.size(), 3u);
    EXPECT_EQ(seen[0].args[seen[0].args.size() - 2], "-demo");
    EXPECT_EQ(seen[0].args.back(), "two words");
    ASSERT_GT(seen[0].windowOpened, 0);
    const double afterWindow = (ended - seen[0].windowOpened) / 1e6;
    EXPECT_GT(afterWindow, 0.95);
    EXPECT_LT(afterWindow, 2.5);
    HANDLE application = openRecordedProcess(seen[0], SYNCHRONIZE);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(WaitForSingleObject(application, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(application);
}

// A launcher in a folder of the disc finds the runtime in the disc's "java" folder as "..\java",
// from its own folder, wherever it was started from, and starts it in its own folder.
TEST_F(LauncherTest, TheRuntimeInTheParentFolderIsFoundFromTheLaunchersFolder) {
    disc.makeFolder("cd");
    ASSERT_TRUE(CopyFileA(launcherPath().c_str(), (disc / "cd\\launcher.exe").c_str(), FALSE));
    disc.writeFile("cd\\quarvel.jar", "PK");
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\n");
    {
        Process launcher("\"" + disc / "cd\\launcher.exe" + "\"", elsewhereFolder(), nullptr, FALSE,
                         DETACHED_PROCESS);
        EXPECT_EQ(launcher.waitForExit(15000), 0u);
    }
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, disc / "java\\bin\\java");
    EXPECT_EQ(seen[0].commandLine.compare(0, 16, "..\\java\\bin\\java"), 0) << seen[0].commandLine;
    EXPECT_EQ(seen[0].folder, disc / "cd");
}

// Bytes of the Authenticode signature that a program file carries (its security directory).
DWORD signatureSize(const std::string& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    if (static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > bytes.size()) return 0;
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes.data() + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY].Size;
}

// launcher.exe as a vendor ships it, signed with Authenticode (here with a throwaway certificate),
// runs as the unsigned file does: its splash window, the local runtime started, the application's
// window found, exit code 0.
TEST_F(LauncherTest, TheSignedLauncherRunsAsTheUnsignedOneDoes) {
    const std::string signedLauncher = testProgramFolder() + "\\launcher-signed.exe";
    ASSERT_GT(signatureSize(signedLauncher), 0u) << signedLauncher << " carries no signature";
    EXPECT_EQ(signatureSize(launcherPath()), 0u);
    // A new file, not the placed one rewritten where it lies.
    ASSERT_TRUE(DeleteFileA((disc / "launcher.exe").c_str()));
    ASSERT_TRUE(CopyFileA(signedLauncher.c_str(), (disc / "launcher.exe").c_str(), FALSE));
    placeArchive();
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\ndelay=700\n");
    Process launcher = startLauncher();
    EXPECT_NE(waitForWindow(launcher.id(), "QuarVelLauncherClass", 10000), nullptr);
    EXPECT_EQ(launcher.waitForExit(15000), 0u);
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, disc / "java\\bin\\java");
    EXPECT_GT(seen[0].windowOpened, 0) << "the application's window opened";
}

// A launcher started with redirected, inheritable standard handles and a C runtime handle table
// (as a script or a scheduler starts it, with a log file) hands none of them to the runtime: the
// runtime's start-up information names none, and none of the launcher's handles is open in it. A
// console-mode runtime opens no console window. With the launcher's own log on, the runtime's
// standard error is the one handle it inherits, the pipe that the log reads; still none of the
// handles the launcher inherited reaches it.
TEST_F(LauncherTest, TheRuntimeGetsNoConsoleAndNoneOfTheLaunchersHandles) {
    placeArchive();
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const std::string logFile = disc / "output.txt";
    // Last, started by a shell that handed it a hot key and a monitor, which travel in the
    // handle fields: beside the log's standard handles they must be gone.
    for (const int run : {0, 1, 2}) {
        const bool logOn = run > 0, hotKey = run == 2;
        SCOPED_TRACE(logOn ? (hotKey ? "log on, a hot key" : "log on") : "log off");
        DeleteFileA(log.c_str());
        HANDLE output =
            CreateFileA(logFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        &inheritable, CREATE_ALWAYS, 0, nullptr);
        HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(output, INVALID_HANDLE_VALUE);
        ASSERT_NE(input, INVALID_HANDLE_VALUE);
        // The launcher inherits the log file's handle under the same value: the runtime checks it.
        placeRuntime("java", "action=window\ntitle=QuarVel Browser\ncheck-handle=" +
                                 std::to_string(reinterpret_cast<UINT_PTR>(output)) + " " +
                                 logFile + "\n");
        // The C runtime's table: a count, a flag byte per handle (open), then the handles.
        struct {
            int count;
            unsigned char flags[3];
            HANDLE handles[3];
        } __attribute__((packed)) table = {3, {1, 1, 1}, {input, output, output}};
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = hotKey ? STARTF_USEHOTKEY | 0x400 /* STARTF_HASSHELLDATA */
                                 : STARTF_USESTDHANDLES;
        startup.hStdInput = hotKey ? reinterpret_cast<HANDLE>(0x0746) : input;  // Ctrl+F
        startup.hStdOutput = output;
        startup.hStdError = output;
        startup.cbReserved2 = sizeof table;
        startup.lpReserved2 = reinterpret_cast<BYTE*>(&table);
        SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", logOn ? (disc / "l.log").c_str() : nullptr);
        {
            Process launcher = startLauncher("", &startup, TRUE);
            EXPECT_EQ(launcher.waitForExit(15000), 0u);
        }
        SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", nullptr);
        CloseHandle(input);
        CloseHandle(output);

        const std::vector<Record> seen = readRecords(log);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ((seen[0].startupFlags & STARTF_USESTDHANDLES) != 0, logOn);
        if (logOn) {
            EXPECT_EQ(seen[0].startupFlags & (STARTF_USEHOTKEY | 0x400), 0u);
        }
        EXPECT_EQ(seen[0].reserved2, 0u);
        ASSERT_EQ(seen[0].standardHandles.size(), 3u);
        for (UINT_PTR handle : seen[0].standardHandles) {
            EXPECT_NE(handle, reinterpret_cast<UINT_PTR>(input));
            EXPECT_NE(handle, reinterpret_cast<UINT_PTR>(output));
        }
        if (logOn) {
            const UINT_PTR none = reinterpret_cast<UINT_PTR>(INVALID_HANDLE_VALUE);
            for (int i = 0; i < 2; ++i) {
                EXPECT_TRUE(seen[0].standardHandles[i] == 0 || seen[0].standardHandles[i] == none)
                    << "no standard input or output: " << seen[0].standardHandles[i];
            }
            EXPECT_NE(seen[0].standardHandles[2], 0u) << "the log's pipe as standard error";
            EXPECT_NE(seen[0].standardHandles[2], none) << "the log's pipe as standard error";
        }
        EXPECT_EQ(seen[0].handles,
                  std::vector<std::string>{std::to_string(reinterpret_cast<UINT_PTR>(output)) +
                                           " closed"})
            << "the launcher's log file handle is not open in the runtime";
        EXPECT_FALSE(seen[0].hasConsole) << "a console-mode runtime opens no console window";
        endRecordedProcesses(log);
    }
}

// The display scaling the user chose, as the programs started while it lives read it: Wine, as
// Windows at sign-in, takes the DPI from LogPixels.
class DisplayScaling {
public:
    explicit DisplayScaling(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof saved_;
        hadValue_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&saved_), &size) == ERROR_SUCCESS;
        set(dpi);
    }
    ~DisplayScaling() {
        if (hadValue_) {
            set(saved_);
        } else {
            RegDeleteValueA(key_, "LogPixels");
        }
        RegCloseKey(key_);
    }

private:
    void set(DWORD dpi) {
        RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi);
    }
    HKEY key_ = nullptr;
    DWORD saved_ = 0;
    bool hadValue_ = false;
};

// At 150 % and 200 % the offer and the splash window are laid out for the display, not stretched:
// compared with the same run at 96 DPI, the offer grows with its font and keeps every control
// inside it, and the splash window takes the scaled size, place, grid and status strip.
TEST_F(LauncherTest, OfferAndSplashAreLaidOutForTheDisplayScaling) {
    placeArchive();
    placeRuntime("java", "action=hang\n");  // keeps the splash window up
    disc.writeFile("setup.exe", "offered only");
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    LONG designOfferWidth = 0;
    for (const int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        DisplayScaling scaling(dpi);
        Process launcher = startLauncher();
        const HWND offer = waitForWindow(launcher.id(), "#32770", 10000);
        ASSERT_NE(offer, nullptr);
        pumpMessages(300);
        RECT client;
        GetClientRect(offer, &client);
        if (dpi == 96) designOfferWidth = client.right;
        const double grown = static_cast<double>(client.right) / designOfferWidth;
        EXPECT_NEAR(grown, dpi / 96.0, 0.15 * dpi / 96.0) << client.right;
        int controls = 0;
        for (HWND c = GetWindow(offer, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, offer, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right &&
                        r.bottom <= client.bottom)
                << windowText(c) << ": " << r.left << "," << r.top << " " << r.right << ","
                << r.bottom << " in " << client.right << "x" << client.bottom;
            ++controls;
        }
        EXPECT_EQ(controls, 4);
        printf("at %d DPI: offer client %ldx%ld\n", dpi, client.right, client.bottom);
        pressButton(offer, 6);

        const HWND splash = waitForWindow(launcher.id(), "QuarVelLauncherClass", 10000);
        ASSERT_NE(splash, nullptr);
        pumpMessages(1000);  // the first attempt's status text is drawn by now
        const SplashMetrics m = splashMetrics(dpi);
        const ScreenPoint expected =
            splashPosition({area.left, area.top, area.right, area.bottom}, m);
        RECT frame;
        GetWindowRect(splash, &frame);
        EXPECT_EQ(std::vector<LONG>(
                      {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top}),
                  std::vector<LONG>({expected.x, expected.y, m.width, m.height}));
        // Row 0 lies above every horizontal pair: it shows each vertical pair, each line as
        // wide as a scaled pixel, one pitch apart.
        const int first = gridOffset(m.width, m);
        for (int x = first; x < first + 3 * m.gridPitch; x += m.gridPitch) {
            for (int i = 0; i < m.lineWidth; ++i) {
                EXPECT_EQ(screenPixel(frame.left + x + i, frame.top), penA) << x + i;
                EXPECT_EQ(screenPixel(frame.left + x + m.lineWidth + i, frame.top), penB)
                    << x + m.lineWidth + i;
            }
            EXPECT_NE(screenPixel(frame.left + x + 2 * m.lineWidth, frame.top), penB);
        }
        // Both halves of the logo, in an area that grows with the square of the scaling; the
        // status text only inside the strip, above its margin.
        const std::vector<COLORREF> pixels = screenPixels(frame);
        int orange = 0, green = 0, darkOutside = 0, darkInside = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const COLORREF c = pixels[i];
            const int y = static_cast<int>(i / m.width);
            orange += c == RGB(225, 94, 55);
            green += c == RGB(0, 135, 14);
            if (GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96) {
                const bool inStrip = y >= m.height - m.stripHeight && y < m.height - m.textMargin;
                (inStrip ? darkInside : darkOutside) += 1;
            }
        }
        const double area96 = (dpi / 96.0) * (dpi / 96.0);
        EXPECT_GT(orange, 1000 * area96);
        EXPECT_GT(green, 1000 * area96);
        EXPECT_GT(darkInside, 8 * dpi / 96);
        EXPECT_EQ(darkOutside, 0);
        printf("at %d DPI: splash %ldx%ld at %ld,%ld; %d orange, %d green, %d status pixels\n", dpi,
               frame.right - frame.left, frame.bottom - frame.top, frame.left, frame.top, orange,
               green, darkInside);
        // The runtime works in the units of a program unaware of DPI: it is handed the work area
        // that such a program is told, 96 / dpi of the one the splash window stands in.
        const std::vector<Record> seen = readRecords(log);
        ASSERT_EQ(seen.size(), 1u);
        const LONG left = MulDiv(area.left, 96, dpi), top = MulDiv(area.top, 96, dpi);
        const std::string unaware = "-Dlauncher.workarea=" + std::to_string(left) + "_" +
                                    std::to_string(top) + "_" +
                                    std::to_string(MulDiv(area.right, 96, dpi) - left) + "_" +
                                    std::to_string(MulDiv(area.bottom, 96, dpi) - top);
        EXPECT_NE(std::find(seen[0].args.begin(), seen[0].args.end(), unaware), seen[0].args.end())
            << unaware << " in " << seen[0].commandLine;
        PostMessageA(splash, WM_CLOSE, 0, 0);
        EXPECT_EQ(launcher.waitForExit(5000), 0u);
        endRecordedProcesses(log);
        DeleteFileA(log.c_str());
    }
}

// The show command of a shortcut ("Minimized", say) reaches the splash window and, with the rest
// of the launcher's start-up settings, the runtime.
TEST_F(LauncherTest, TheShowCommandReachesTheSplashWindowAndTheRuntime) {
    placeArchive();
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\ndelay=1500\n");
    const struct {
        const char* name;
        bool given;
        WORD show;
        bool visible, minimized;
    } cases[] = {
        {"none given", false, 0, true, false},
        {"minimized", true, SW_SHOWMINNOACTIVE, true, true},
        {"hidden", true, SW_HIDE, false, false},
    };
    for (const auto& c : cases) {
        DeleteFileA(log.c_str());
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        if (c.given) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = c.show;
        }
        Process launcher = startLauncher("", &startup);
        // Found whether shown or not: waitForWindow wants a visible one.
        HWND splash = nullptr;
        for (int i = 0; i < 500 && splash == nullptr; ++i) {
            const std::vector<HWND> found = windowsOf(launcher.id(), "QuarVelLauncherClass");
            if (!found.empty()) splash = found[0];
            pumpMessages(20);
        }
        ASSERT_NE(splash, nullptr) << c.name;
        pumpMessages(300);
        EXPECT_EQ(IsWindowVisible(splash) != FALSE, c.visible) << c.name;
        EXPECT_EQ(IsIconic(splash) != FALSE, c.minimized) << c.name;
        EXPECT_EQ(launcher.waitForExit(15000), 0u) << c.name;
        const std::vector<Record> seen = readRecords(log);
        ASSERT_EQ(seen.size(), 1u) << c.name;
        EXPECT_EQ((seen[0].startupFlags & STARTF_USESHOWWINDOW) != 0, c.given) << c.name;
        if (c.given) {
            EXPECT_EQ(seen[0].showCommand, c.show) << c.name;
        }
        endRecordedProcesses(log);
    }
}

// A DLL planted beside launcher.exe under the name of one that it loads after its start (the
// theme library, loaded with the first window), with the native copy preferred as Windows does,
// is never loaded by it; the same DLL is loaded by a program that searches its folder.
TEST_F(LauncherTest, ADllPlantedBesideTheLauncherIsNotLoaded) {
    placeArchive();
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\n");
    ASSERT_TRUE(CopyFileA((testProgramFolder() + "\\planted_dll.dll").c_str(),
                          (disc / "uxtheme.dll").c_str(), FALSE));
    disc.placeStandIn("control.exe", behaviour("check-main=0\nload=uxtheme.dll\n"));
    // Wine takes a program's DLL load order from this key when it starts.
    HKEY overrides;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    const char nativeFirst[] = "native,builtin";
    RegSetValueExA(overrides, "uxtheme", 0, REG_SZ, reinterpret_cast<const BYTE*>(nativeFirst),
                   sizeof nativeFirst);
    {
        Process control("\"" + disc / "control.exe" + "\"", disc.path());
        EXPECT_EQ(control.waitForExit(15000), 0u);
        Process launcher = startLauncher();
        EXPECT_EQ(launcher.waitForExit(15000), 0u);
    }
    RegDeleteValueA(overrides, "uxtheme");
    RegCloseKey(overrides);
    const std::string loads = readFile(disc / "planted.log");
    EXPECT_NE(loads.find("control.exe"), std::string::npos)
        << "the planted DLL must be loadable at all, or this test proves nothing";
    EXPECT_EQ(loads.find("launcher.exe"), std::string::npos) << loads;
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"control", "java\\bin\\java"}));
}

// Replaces a folder's value under User Shell Folders for the test's time.
class ShellFolderValue {
public:
    ShellFolderValue(const wchar_t* name, const std::wstring& value) : name_(name) {
        RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        DWORD size = sizeof saved_;
        had_ = RegQueryValueExW(key_, name_, nullptr, &type_, reinterpret_cast<BYTE*>(saved_),
                                &size) == ERROR_SUCCESS;
        savedSize_ = size;
        RegSetValueExW(key_, name_, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    ~ShellFolderValue() {
        if (had_) {
            RegSetValueExW(key_, name_, 0, type_, reinterpret_cast<const BYTE*>(saved_),
                           savedSize_);
        } else {
            RegDeleteValueW(key_, name_);
        }
        RegCloseKey(key_);
    }

private:
    static constexpr const wchar_t* keyPath =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const wchar_t* name_;
    HKEY key_ = nullptr;
    bool had_ = false;
    DWORD type_ = REG_EXPAND_SZ;
    wchar_t saved_[MAX_PATH] = L"";
    DWORD savedSize_ = 0;
};

// The documents folder as the shell gives it, on any code page: a plain folder (also one that the
// user's settings name with a final backslash) goes to the runtime exactly, without a final
// backslash; a drive root keeps its backslash.
TEST_F(LauncherTest, TheDocumentsFolderReachesTheRuntimeWithoutAFinalBackslash) {
    placeArchive();
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\n");
    disc.makeFolder("My Documents");
    const std::string documents = disc / "My Documents";
    const struct {
        std::string setting;
        std::string passed;
    } cases[] = {
        {documents, documents},
        {documents + "\\", documents},
        {"C:\\", "C:\\"},
    };
    for (const auto& c : cases) {
        DeleteFileA(log.c_str());
        {
            ShellFolderValue personal(L"Personal", wideText(c.setting));
            Process launcher = startLauncher();
            EXPECT_EQ(launcher.waitForExit(15000), 0u) << c.setting;
        }
        const std::vector<Record> seen = readRecords(log);
        ASSERT_EQ(seen.size(), 1u) << c.setting;
        const std::vector<std::string>& args = seen[0].args;
        EXPECT_NE(std::find(args.begin(), args.end(), "-Dlauncher.mydocs=" + c.passed), args.end())
            << c.setting << ": " << seen[0].commandLine;
        endRecordedProcesses(log);
    }
}

// The log goes where the user named it: a relative name into the folder the launcher was started
// in (not the launcher's own, which it makes its current one); a name in the double quotes that cmd
// keeps in the value; and a folder whose name the ANSI code page cannot spell.
TEST_F(LauncherTest, TheLogIsWrittenWhereTheUserNamedIt) {
    placeArchive();
    placeRuntime("java", "action=window\ntitle=QuarVel Browser\n");
    disc.makeFolder("My Logs");
    const std::wstring cyrillic = wideText(disc.path()) + L"\\\x041b\x043e\x0433\x0438";
    ASSERT_TRUE(CreateDirectoryW(cyrillic.c_str(), nullptr));
    const std::wstring started = wideText(elsewhereFolder());
    const struct {
        std::wstring named;
        std::wstring written;
    } cases[] = {
        {L"quarvel-relative.log", started + L"\\quarvel-relative.log"},
        {L"\"" + wideText(disc / "My Logs\\q.log") + L"\"", wideText(disc / "My Logs\\q.log")},
        {cyrillic + L"\\q.log", cyrillic + L"\\q.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.named.begin(), c.named.end()));
        DeleteFileW(c.written.c_str());
        SetEnvironmentVariableW(L"QUARVEL_LAUNCHER_LOG", c.named.c_str());
        Process launcher = startLauncher();
        SetEnvironmentVariableW(L"QUARVEL_LAUNCHER_LOG", nullptr);
        EXPECT_EQ(launcher.waitForExit(15000), 0u);
        HANDLE file = CreateFileW(c.written.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "no log at the named place";
            continue;
        }
        char text[4096] = "";
        DWORD read = 0;
        ReadFile(file, text, sizeof text - 1, &read, nullptr);
        CloseHandle(file);
        DeleteFileW(c.written.c_str());
        EXPECT_NE(strstr(text, "the application started with \"java\""), nullptr) << text;
        EXPECT_NE(strstr(text, "exit code 0"), nullptr) << text;
        endRecordedProcesses(log);
    }
    EXPECT_EQ(GetFileAttributesA((disc / "quarvel-relative.log").c_str()), INVALID_FILE_ATTRIBUTES)
        << "not beside the launcher";

    // A name that is a second name of another file, or a device, is refused: nothing it leads to
    // is touched, and the launcher says so on its standard error. The runtime starts all the same.
    disc.writeFile("victim.txt", "keep me");
    ASSERT_TRUE(
        CreateHardLinkA((disc / "linked.log").c_str(), (disc / "victim.txt").c_str(), nullptr));
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    for (const std::string& named : {disc / "linked.log", std::string("NUL")}) {
        SCOPED_TRACE(named);
        DeleteFileA(log.c_str());
        HANDLE error = CreateFileA((disc / "error.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   &inheritable, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = error;
        SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", named.c_str());
        {
            Process launcher = startLauncher("", &startup, TRUE);
            EXPECT_EQ(launcher.waitForExit(15000), 0u);
        }
        SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", nullptr);
        CloseHandle(error);
        EXPECT_EQ(readFile(disc / "victim.txt"), "keep me");
        EXPECT_NE(readFile(disc / "error.txt").find("QUARVEL_LAUNCHER_LOG is a link, a device"),
                  std::string::npos);
        EXPECT_EQ(programsRun(), std::vector<std::string>{"java\\bin\\java"});
        endRecordedProcesses(log);
    }
}

// Seven registered runtimes, every one failing: all tiers in order, then the fallback page.
class FallbackTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        HKEY key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".html", 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DWORD size = sizeof savedHtml;
            RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(savedHtml),
                             &size);
            RegCloseKey(key);
        }
    }
    void TearDown() override {
        setClassValue(".html", savedHtml);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "QuarVelTestPage");
        LauncherTest::TearDown();
    }
    void setClassValue(const std::string& key, const std::string& value) {
        HKEY opened;
        RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &opened, nullptr);
        RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(opened);
    }
    // .html opens with a recording stand-in.
    void registerPageViewer() {
        disc.placeStandIn("viewer\\viewer.exe", behaviour("check-main=0\n"));
        setClassValue(".html", "QuarVelTestPage");
        setClassValue("QuarVelTestPage\\shell\\open\\command",
                      "\"" + disc / "viewer\\viewer.exe" + "\" \"%1\"");
    }

    CleanRuntimeKeys clean;
    char savedHtml[256] = "";
};

// The lines of a launcher log without their times, or none when there is no such file.
std::vector<std::string> logEvents(const std::string& path) {
    std::vector<std::string> events;
    const std::string text = readFile(path);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        const size_t words = line.find(' ');
        events.push_back(words == std::string::npos ? line : line.substr(words + 1));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return events;
}

// With the log on, off, or named where no file can be made, the same runtimes are tried in the
// same order and the run ends alike; only the named file differs.
TEST_F(FallbackTest, AllTiersInOrderThenThePageOpensThroughTheShell) {
    placeArchive();
    const struct {
        const char* key;
        const char* subkey;
        const char* home;
    } runtimes[] = {
        {"Java Runtime Environment", "1.5.0_06", "R1"}, {"Java Plug-in", "1.4.2_03", "R2"},
        {"Java Development Kit", "1.3.1_02", "R3"},     {"Java Runtime Environment", "1.2.2", "R4"},
        {"Java Runtime Environment", "1.1.8_10", "R5"}, {"Java Development Kit", "1.1.7", "R6"},
        {"Java Runtime Environment", "1.0.2", "R7"},
    };
    for (const auto& r : runtimes) {
        placeRuntime(r.home, "action=exit\ncode=1\n");
        registerRuntime(r.key, r.subkey, disc / r.home);
    }
    putJviewOnPath("action=exit\ncode=1\n");
    disc.writeFile("java\\bin\\java.exe", "not a program");  // a local runtime that cannot start
    disc.writeFile("start\\launcher.html", "<html></html>");
    registerPageViewer();
    disc.makeFolder("a folder");

    const std::string written = disc / "launcher.log";
    disc.writeFile("launcher.log", "an earlier run's log\r\n");
    for (const std::string& named :
         {std::string(), written, disc / "a folder", disc / "no folder\\launcher.log"}) {
        SCOPED_TRACE(named);
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", named.empty() ? nullptr : named.c_str());
        Process launcher = startLauncher();
        SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", nullptr);
        EXPECT_EQ(launcher.waitForExit(60000), 0u);
        EXPECT_TRUE(windowsOf(launcher.id(), "#32770").empty());
        EXPECT_EQ(programsRun(),
                  (std::vector<std::string>{"R1\\bin\\java", "R2\\bin\\java", "tools\\jview",
                                            "R5\\bin\\jre", "R5\\bin\\java", "R3\\bin\\java",
                                            "R4\\bin\\java", "R6\\bin\\jre", "R6\\bin\\java",
                                            "viewer\\viewer"}))
            << "the last resort's java is not on the search path, so the page follows";
        const std::vector<Record> seen = readRecords(log);
        ASSERT_FALSE(seen.empty());
        const std::string& page = seen.back().args.back();
        EXPECT_NE(page.find("start\\launcher.html"), std::string::npos) << page;
        const DWORD attributes = GetFileAttributesA(named.c_str());
        if (named != written && !named.empty()) {
            EXPECT_TRUE(attributes == INVALID_FILE_ATTRIBUTES ||
                        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
        endRecordedProcesses(log);
    }

    // The log names each attempt in order, with where it came from, its line and its result.
    const std::string d = disc.path() + "\\";
    const auto tried = [&](const char* home, const char* key, const char* version) {
        return "candidate \"" + d + home + "\\\" from the registry, HKLM\\SOFTWARE\\JavaSoft\\" +
               key + ", the launcher's own view, version " + version;
    };
    const std::string ended = "the runtime ended with exit code 1 after ";
    // Each entry: the pieces of one line, the lines in this order.
    const std::vector<std::vector<std::string>> expected = {
        {"QuarVel Launcher ", "at \"" + d + "launcher.exe\""},
        {"Windows "},
        {"command line: \"\"" + d + "launcher.exe\"\""},
        {"-javahome: none"},
        {"no setup.exe beside the launcher"},
        {"candidate \"java\" from a folder beside the launcher"},
        {"start \"java\\bin\\java \"-Dlauncher.mydocs=", "in \"" + d + "\""},
        {"could not start: error 193, \""},
        {"start \"java\\bin\\jre -mx64m "},
        {"could not start: error 2, \""},
        {"passed over \"..\\java\" from a folder beside the launcher: folder missing"},
        {tried("R1", "Java Runtime Environment", "1.5.0.6")},
        {"start \"" + d + "R1\\bin\\java "},
        {"started, process "},
        {ended},
        {tried("R2", "Java Plug-in", "1.4.2.3")},
        {ended},
        {"candidate \"jview\" from the program search"},
        {"start \"jview \"/d:launcher.mydocs="},
        {ended},
        {tried("R5", "Java Runtime Environment", "1.1.8.10")},
        {"start \"" + d + "R5\\bin\\jre "},
        {ended},
        {"start \"" + d + "R5\\bin\\java "},
        {ended},
        {tried("R3", "Java Development Kit", "1.3.1.2")},
        {ended},
        {tried("R4", "Java Runtime Environment", "1.2.2.0")},
        {ended},
        {tried("R6", "Java Development Kit", "1.1.7.0")},
        {ended},
        {ended},
        {"passed over \"" + d + "R7\\\" from the registry", "version outside the tiers"},
        {"passed over JAVA_HOME: not set"},
        {"candidate \"java\" from the program search"},
        {"could not start: error 2, "},
        {"no runtime started the application: opening \"start\\launcher.html\""},
        {"the page was opened (result "},
        {"exit code 0"}};
    const std::vector<std::string> events = logEvents(written);
    size_t at = 0;
    for (const std::vector<std::string>& pieces : expected) {
        const auto matches = [&](const std::string& event) {
            for (const std::string& piece : pieces) {
                if (event.find(piece) == std::string::npos) return false;
            }
            return true;
        };
        while (at < events.size() && !matches(events[at])) ++at;
        ASSERT_LT(at, events.size()) << "no line with " << pieces[0] << " in order";
        ++at;
    }
    EXPECT_EQ(events.back(), "exit code 0");
    EXPECT_EQ(readFile(written).find("an earlier run"), std::string::npos);
}

TEST_F(FallbackTest, APageThatCannotBeOpenedIsReported) {
    placeArchive();  // no runtime anywhere, no page
    Process launcher = startLauncher();
    double seconds = 0;
    DWORD exitCode = 1;
    const MessageBoxSeen box = answerOnlyMessageBox(launcher, &seconds, &exitCode);
    ASSERT_NE(box.box, nullptr);
    std::string text = box.text;
    for (size_t at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
    EXPECT_EQ(text, "File open error\n" + disc.path() +
                        "\\start\\launcher.html\nPlease try to open this file manually.");
    EXPECT_EQ(exitCode, 0u);
    EXPECT_GT(seconds, 0.9);
}

// Runtimes of today's Windows, found after every runtime of the JavaSoft keys failed: JAVA_HOME,
// the JRE and JDK keys and the other registry view, then a java on the search path.
class LastResortTest : public FallbackTest {
protected:
    void SetUp() override {
        FallbackTest::SetUp();
        placeArchive();
        disc.writeFile("start\\launcher.html", "<html></html>");
        registerPageViewer();
    }
    void runLauncher() {
        Process launcher = startLauncher();
        EXPECT_EQ(launcher.waitForExit(60000), 0u);
        EXPECT_TRUE(windowsOf(launcher.id(), "#32770").empty()) << "no message";
    }
    const std::string failing = "action=exit\ncode=1\n";
    const std::string working = "action=window\ntitle=QuarVel Browser\n";
};

TEST_F(LastResortTest, ARuntimeOnlyInTheOtherViewStartsAfterTheTiers) {
    placeRuntime("R1", failing);
    registerRuntime("Java Runtime Environment", "1.4.2", disc / "R1");
    placeRuntime("W", working);
    registerRuntime("Java Runtime Environment", "1.8.0_202", disc / "W", nullptr, otherView);
    putJviewOnPath(failing);
    runLauncher();
    EXPECT_EQ(programsRun(),
              (std::vector<std::string>{"R1\\bin\\java", "tools\\jview", "W\\bin\\java"}));
}

TEST_F(LastResortTest, AllSourcesInOrderThenThePage) {
    for (const char* home : {"H", "A", "B", "C", "D", "E"}) placeRuntime(home, failing);
    SetEnvironmentVariableA("JAVA_HOME", (disc / "H").c_str());
    registerRuntime("JRE", "11", disc / "A");
    registerRuntime("JDK", "17", disc / "B");
    registerRuntime("Java Development Kit", "1.8.0_202", disc / "C", nullptr, otherView);
    registerRuntime("JDK", "21", disc / "D", nullptr, otherView);
    registerRuntime("JRE", "1.1.8", disc / "E", nullptr, otherView);  // too old for bin\java
    putJviewOnPath(failing);
    putOnPath("java.exe", failing);
    runLauncher();
    EXPECT_EQ(programsRun(), (std::vector<std::string>{
                                 "tools\\jview", "H\\bin\\java", "D\\bin\\java", "B\\bin\\java",
                                 "A\\bin\\java", "C\\bin\\java", "tools\\java", "viewer\\viewer"}));
}

TEST_F(LastResortTest, JavaOnTheSearchPathStartsTheApplication) {
    putOnPath("java.exe", working);
    runLauncher();
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"tools\\java"}));
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine.compare(0, 6, "java \""), 0) << seen[0].commandLine;
    EXPECT_EQ(seen[0].folder, disc.path()) << "started in the launcher's folder";
}

TEST_F(LastResortTest, NothingNewIsTriedWhenARegisteredRuntimeStarts) {
    placeRuntime("R1", working);
    registerRuntime("Java Runtime Environment", "1.4.2", disc / "R1");
    placeRuntime("H", working);
    SetEnvironmentVariableA("JAVA_HOME", (disc / "H").c_str());
    placeRuntime("B", working);
    registerRuntime("JDK", "17", disc / "B");
    registerRuntime("JDK", "17", disc / "B", nullptr, otherView);
    putOnPath("java.exe", working);
    runLauncher();
    EXPECT_EQ(programsRun(), std::vector<std::string>{"R1\\bin\\java"});
}

TEST_F(LastResortTest, OneHomeInBothViewsIsTriedOnceThenThePage) {
    placeRuntime("X", failing);
    registerRuntime("Java Runtime Environment", "1.4.2", disc / "X");
    std::string otherSpelling = disc / "X\\";
    for (char& c : otherSpelling) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    registerRuntime("JRE", "17", otherSpelling, nullptr, otherView);
    registerRuntime("Java Runtime Environment", "1.4.2", otherSpelling, nullptr, otherView);
    runLauncher();
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"X\\bin\\java", "viewer\\viewer"}));
}

// Every distribution's runtime, in both views between them, each failing: all are tried, newest
// first, each with bin\java below its home (never a doubled backslash, whether its Path ends
// with one or not), after JAVA_HOME and before the program search's java; then the page.
TEST_F(LastResortTest, EveryDistributionIsTriedNewestFirst) {
    const struct {
        const VendorKey* vendor;
        const char* name;
        const char* home;
        bool finalBackslash;
        REGSAM view;
    } runtimes[] = {
        {&temurinJdk, "21.0.5.11", "Temurin", true, launcherView},
        {&temurinJre, "17.0.13.11", "TemurinJre", false, otherView},
        {&adoptJdk, "11.0.11.9", "Adopt", true, launcherView},
        {&adoptJreOpenJ9, "11.0.10.9", "AdoptJ9", false, otherView},
        {&eclipseJdk, "16.0.2.7", "Eclipse", true, otherView},
        {&microsoftJdk, "21.0.4.7", "Microsoft", false, launcherView},
        {&semeruJdk, "17.0.12.7", "Semeru", true, launcherView},
        {&semeruJre, "11.0.24.8", "SemeruJre", false, otherView},
        {&zulu, "zulu-8", "Zulu", true, otherView},
        {&liberica, "Liberica", "Liberica", false, launcherView},
    };
    for (const auto& r : runtimes) {
        placeRuntime(r.home, failing);
        registerVendorRuntime(*r.vendor, r.name, disc / r.home + (r.finalBackslash ? "\\" : ""),
                              r.view);
    }
    putJviewOnPath(failing);
    runLauncher();
    EXPECT_EQ(programsRun(), (std::vector<std::string>{
                                 "tools\\jview", "Temurin\\bin\\java", "Microsoft\\bin\\java",
                                 "TemurinJre\\bin\\java", "Semeru\\bin\\java", "Eclipse\\bin\\java",
                                 "SemeruJre\\bin\\java", "Adopt\\bin\\java", "AdoptJ9\\bin\\java",
                                 "Zulu\\bin\\java", "Liberica\\bin\\java", "viewer\\viewer"}));
    for (const Record& r : readRecords(log)) {
        EXPECT_EQ(r.commandLine.find("\\\\"), std::string::npos) << r.commandLine;
    }
}

// Several vendors' runtimes that all work: only the newest is started. And a classic runtime of
// the JavaSoft keys that works is started alone, the vendors' runtimes untouched.
TEST_F(LastResortTest, TheNewestVendorRuntimeOrAClassicOneStartsAlone) {
    placeRuntime("Temurin", working);
    placeRuntime("Zulu", working);
    placeRuntime("Microsoft", working);
    registerVendorRuntime(zulu, "zulu-21", disc / "Zulu");
    registerVendorRuntime(temurinJdk, "21.0.5.11", disc / "Temurin\\", otherView);
    registerVendorRuntime(microsoftJdk, "17.0.13.11", disc / "Microsoft");
    runLauncher();
    EXPECT_EQ(programsRun(), std::vector<std::string>{"Temurin\\bin\\java"});

    endRecordedProcesses(log);
    DeleteFileA(log.c_str());
    placeRuntime("R1", working);
    registerRuntime("Java Runtime Environment", "1.4.2", disc / "R1");
    runLauncher();
    EXPECT_EQ(programsRun(), std::vector<std::string>{"R1\\bin\\java"});
}

// With the log on, what each runtime wrote to its error output follows the line of its result,
// in its own words: two runtimes that refuse the application, and a third that writes 200 KiB of
// it before it opens the application's window (the first and the last 4 KiB of it, and a line
// saying how much lies between them), which is still seen at once.
TEST_F(LastResortTest, TheLogHoldsWhatEachRuntimeSaid) {
    const std::string tooOld =
        "Error: LinkageError occurred while loading main class com.quarvel.browser.Browser\\r\\n"
        "\\tjava.lang.UnsupportedClassVersionError: com/quarvel/browser/Browser has been compiled "
        "by a more recent version of the Java Runtime (class file version 61.0), this version of "
        "the Java Runtime only recognizes class file versions up to 52.0\\r\\n";
    placeRuntime("H", failing + "stderr=" + tooOld);
    SetEnvironmentVariableA("JAVA_HOME", (disc / "H").c_str());
    placeRuntime("A", failing +
                          "stderr=Error occurred during initialization of VM\\r\\n"
                          "Could not reserve enough space for object heap\\r\\n");
    registerRuntime("JDK", "17", disc / "A");
    placeRuntime("W", working + "stderr-bytes=204800\n");
    registerRuntime("JDK", "11", disc / "W");
    const std::string named = disc / "launcher.log";
    SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", named.c_str());
    Process launcher = startLauncher();
    EXPECT_EQ(launcher.waitForExit(30000), 0u);
    SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", nullptr);
    EXPECT_EQ(programsRun(),
              (std::vector<std::string>{"H\\bin\\java", "A\\bin\\java", "W\\bin\\java"}));

    const std::vector<std::string> events = logEvents(named);
    // The first event from `from` on that starts with `text`.
    const auto find = [&](std::vector<std::string>::const_iterator from, const std::string& text) {
        return std::find_if(from, events.end(), [&](const std::string& e) {
            return e.compare(0, text.size(), text) == 0;
        });
    };
    // The events after the first `result` that follows the start of `program`.
    const auto after = [&](const std::string& program, const std::string& result) {
        const auto at = find(find(events.begin(), "start \"" + disc / program), result);
        return at == events.end() ? at : at + 1;
    };
    const std::string ended = "the runtime ended with exit code 1 after ";
    const std::string window = "the application's window was seen after ";
    auto said = after("H\\bin\\java", ended);
    ASSERT_GE(events.end() - said, 2);
    EXPECT_EQ(said[0],
              "runtime: Error: LinkageError occurred while loading main class "
              "com.quarvel.browser.Browser");
    EXPECT_EQ(said[1].rfind("runtime: \tjava.lang.UnsupportedClassVersionError: com/quarvel/", 0),
              0u)
        << said[1];
    said = after("A\\bin\\java", ended);
    ASSERT_GE(events.end() - said, 2);
    EXPECT_EQ(said[0], "runtime: Error occurred during initialization of VM");
    EXPECT_EQ(said[1], "runtime: Could not reserve enough space for object heap");
    said = after("W\\bin\\java", window);
    const auto gap = std::find_if(said, events.end(), [](const std::string& e) {
        return e.find(" bytes of the runtime's output left out here") != std::string::npos;
    });
    ASSERT_NE(gap, events.end());
    EXPECT_EQ(*gap, std::to_string(204800 - 8192) + " bytes of the runtime's output left out here");
    // Of each 4 KiB kept (about 90 lines of a stack trace), 64 lines: the first part's first, the
    // last part's last, with the lines left out of each said beside the gap.
    const auto runtimeLine = [](const std::string& e) { return e.compare(0, 9, "runtime: ") == 0; };
    const auto startedWith = find(gap, "the application started with");
    ASSERT_EQ(gap - said, 65);
    ASSERT_EQ(startedWith - gap, 66);
    EXPECT_TRUE(std::all_of(said, gap - 1, runtimeLine));
    EXPECT_TRUE(std::all_of(gap + 2, startedWith, runtimeLine));
    for (const auto& leftOut : {gap[-1], gap[1]}) {
        EXPECT_NE(leftOut.find(" lines of the runtime's output left out here"), std::string::npos)
            << leftOut;
    }
    EXPECT_EQ(said->compare(0, 32, "runtime: \tat com.quarvel.browser"), 0) << *said;
    // Seen within a watch cycle of opening the window, though the runtime wrote 200 KiB first.
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 3u);
    const auto seenLine = find(events.begin(), window);
    ASSERT_NE(seenLine, events.end());
    EXPECT_LT(std::stoi(seenLine->substr(window.size())), 5000) << *seenLine;
}

// A runtime installed "for me only" registers itself in the current user's hive: it is started,
// and the log names where it was registered.
// The runtimes that nothing registers, in the folders where they are put: tried last, after every
// registered runtime (an older one, and one registered for the current user alone, included) and
// the program search's java, newest first by their release files, a home already tried not again,
// then the page; the log says where each was found.
TEST_F(LastResortTest, UnregisteredRuntimesAreWalkedNewestFirstAfterTheRegisteredOnes) {
    const std::string places = disc / "places";
    const struct {
        const char* variable;
        const char* folder;
    } variables[] = {{"ProgramW6432", "PF"},         {"ProgramFiles(x86)", "PF86"},
                     {"LOCALAPPDATA", "Local"},      {"USERPROFILE", "User"},
                     {"APPDATA", "Roaming"},         {"ProgramData", "Data"},
                     {"GRADLE_USER_HOME", nullptr},  {"SCOOP", nullptr},
                     {"SCOOP_GLOBAL", "Data\\scoop"}};
    std::vector<std::pair<std::string, std::string>> saved;
    for (const auto& v : variables) {
        char value[MAX_PATH] = "";
        GetEnvironmentVariableA(v.variable, value, sizeof value);
        saved.emplace_back(v.variable, value);
        SetEnvironmentVariableA(v.variable,
                                v.folder != nullptr ? (places + "\\" + v.folder).c_str() : nullptr);
    }
    const struct {
        const char* home;
        const char* version;  // in its release file; null: none
    } homes[] = {
        {"PF\\Java\\jdk-17", "17.0.9"},
        {"PF\\Zulu\\zulu-17", "17.0.9"},
        {"PF86\\Java\\jre1.8.0_392", "1.8.0_392"},
        {"Local\\Programs\\Eclipse Adoptium\\jdk-21", "21.0.1"},
        {"User\\.jdks\\corretto-11", nullptr},
        {"User\\.gradle\\jdks\\temurin-22", "22"},
        {"User\\scoop\\apps\\zulu\\current", "23"},
        {"Roaming\\.minecraft\\runtime\\java-runtime-delta\\windows-x64\\java-runtime-delta",
         "21.0.3"},
        {"Data\\scoop\\apps\\registered\\current", "24"},
    };
    for (const auto& h : homes) {
        placeRuntime("places\\" + std::string(h.home), failing);
        if (h.version != nullptr) {
            disc.writeFile(
                "places\\" + std::string(h.home) + "\\release",
                "IMPLEMENTOR=\"Test\"\r\nJAVA_VERSION=\"" + std::string(h.version) + "\"\r\n");
        }
    }
    placeRuntime("R", failing);
    registerRuntime("JDK", "11", disc / "R");
    registerRuntime("JDK", "24", disc / "places\\Data\\scoop\\apps\\registered\\current");
    placeRuntime("U", failing);
    registerVendorRuntime(temurinJdk, "21.0.5.11", disc / "U\\", 0, HKEY_CURRENT_USER);
    putOnPath("java.exe", failing);
    const std::string named = disc / "launcher.log";
    SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", named.c_str());
    runLauncher();
    SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", nullptr);
    for (const auto& v : saved) {
        SetEnvironmentVariableA(v.first.c_str(), v.second.empty() ? nullptr : v.second.c_str());
    }
    const std::string p = "places\\";
    EXPECT_EQ(programsRun(),
              (std::vector<std::string>{
                  p + "Data\\scoop\\apps\\registered\\current\\bin\\java", "U\\bin\\java",
                  "R\\bin\\java", "tools\\java", p + "User\\scoop\\apps\\zulu\\current\\bin\\java",
                  p + "User\\.gradle\\jdks\\temurin-22\\bin\\java",
                  p + "Roaming\\.minecraft\\runtime\\java-runtime-delta\\windows-x64\\"
                      "java-runtime-delta\\bin\\java",
                  p + "Local\\Programs\\Eclipse Adoptium\\jdk-21\\bin\\java",
                  p + "PF\\Java\\jdk-17\\bin\\java", p + "PF\\Zulu\\zulu-17\\bin\\java",
                  p + "PF86\\Java\\jre1.8.0_392\\bin\\java",
                  p + "User\\.jdks\\corretto-11\\bin\\java", "viewer\\viewer"}));
    const std::string text = readFile(named);
    for (const std::string& said : std::vector<std::string>{
             "\"" + disc / "U\\" +
                 "\" from the current user's registry, HKCU\\SOFTWARE\\Eclipse Adoptium\\JDK, "
                 "version 21.0.5.11",
             "from a folder nothing registers, in Gradle's toolchains, version 22.0.0.0 from its "
             "release file",
             "from a folder nothing registers, in the IDE's downloads, no version in its release "
             "file",
             "from a folder nothing registers, in Scoop's apps, version 24.0.0.0 from its release "
             "file: already tried"}) {
        EXPECT_NE(text.find(said), std::string::npos) << said << "\n" << text;
    }
}

// UTF-8 text of this source in UTF-16, and an ANSI text of this process's in UTF-8, to print.
std::wstring fromUtf8(const char* text) {
    std::wstring wide(strlen(text) + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], static_cast<int>(wide.size())) -
                1);
    return wide;
}
std::string printable(const std::string& ansi) {
    const std::wstring wide = wideText(ansi);
    std::string utf8(wide.size() * 3 + 1, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0],
                                    static_cast<int>(utf8.size()), nullptr, nullptr) -
                1);
    return utf8;
}

void makeWideFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

void writeWideFile(const std::wstring& path, const std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

// Sets (or with null, unsets) an environment variable for its scope, and puts back what it was.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        had_ = GetEnvironmentVariableW(name, saved_, MAX_PATH) > 0;
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, had_ ? saved_ : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    bool had_ = false;
    wchar_t saved_[MAX_PATH] = L"";
};

// Names of every language, in the system's code page of the run (the suite runs once more with
// LC_ALL=ja_JP.UTF-8, for code page 932): a launcher renamed, its folder, a JAVA_HOME without a
// final backslash, a documents folder and a user's profile whose names end in a letter whose second
// byte is a backslash, or that the code page cannot spell. Both the shipped launcher (UTF-8 by its
// manifest) and its twin without that (the system's code page, as before Windows 10 1903) start
// the runtime, which reads its command line and folder through the ANSI calls in its own code page
// and finds every path it was handed: exactly, or by its short name, never as look-alikes.
TEST_F(LastResortTest, EveryNameReachesTheRuntimeWhateverItsLetters) {
    char expected[8] = "";
    if (GetEnvironmentVariableA("QUARVEL_TEST_CODE_PAGE", expected, sizeof expected) > 0) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(atoi(expected)))
            << "this run's locale is missing (localedef)";
    }
    enum Runtime { besideIt, javaHome, inTheProfile };
    const struct {
        UINT codePage;
        const char* disc;  // below the scratch folder; the names in UTF-8
        const char* launcher;
        Runtime runtime;
        const char* where;      // JAVA_HOME's folder, or the user's profile
        const char* documents;  // null: the prefix's own
    } cases[] = {
        {932, "app", "\xE8\xA1\xA8\xE7\xA4\xBA.exe", besideIt, nullptr, nullptr},  // 表示.exe
        {932, "app\xE8\xA1\xA8", "launcher.exe", besideIt, nullptr, nullptr},
        {932, "app", "launcher.exe", javaHome, "jdk\xE8\xA1\xA8", nullptr},
        {932, "app", "launcher.exe", besideIt, nullptr, "docs\xE8\xA1\xA8"},
        // Łódź, and a documents folder in Cyrillic
        {1252,
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "launcher.exe", besideIt, nullptr, "\xD0\x94\xD0\xBE\xD0\xBA"},
        // Łukasz
        {1252, "app", "launcher.exe", inTheProfile, "\xC5\x81ukasz", "\xC5\x81ukasz\\Documents"},
    };
    const std::string working = behaviour("action=window\ntitle=QuarVel Browser\n");
    int ran = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP()) continue;
        for (const char* file : {"launcher.exe", "launcher-legacy.exe"}) {
            SCOPED_TRACE(std::string(file) + " as " + c.disc + "\\" + c.launcher + ", " +
                         (c.where != nullptr ? c.where : "") + ", " +
                         (c.documents != nullptr ? c.documents : ""));
            ++ran;
            DeleteFileA(log.c_str());
            ScratchFolder scratch("letters");
            const std::wstring root = wideText(scratch.path());
            const std::wstring folder = root + L"\\" + fromUtf8(c.disc);
            makeWideFolders(folder);
            ASSERT_TRUE(CopyFileW(wideText(testProgramFolder() + "\\" + file).c_str(),
                                  (folder + L"\\" + fromUtf8(c.launcher)).c_str(), FALSE));
            writeWideFile(folder + L"\\quarvel.jar", "PK");
            const std::wstring where = c.where != nullptr ? root + L"\\" + fromUtf8(c.where) : L"";
            const std::wstring home = c.runtime == besideIt   ? folder + L"\\java"
                                      : c.runtime == javaHome ? where
                                                              : where + L"\\.jdks\\jdk-21";
            makeWideFolders(home + L"\\bin");
            ASSERT_TRUE(CopyFileW(wideText(standInPath()).c_str(),
                                  (home + L"\\bin\\java.exe").c_str(), FALSE));
            writeWideFile(home + L"\\bin\\java.behaviour", working);
            writeWideFile(home + L"\\release", "JAVA_VERSION=\"21.0.2\"\n");
            std::unique_ptr<ScopedVariable> variable;
            if (c.runtime != besideIt) {
                variable.reset(new ScopedVariable(
                    c.runtime == javaHome ? L"JAVA_HOME" : L"USERPROFILE", where.c_str()));
            }
            const std::wstring documents =
                c.documents != nullptr ? root + L"\\" + fromUtf8(c.documents) : L"";
            std::unique_ptr<ShellFolderValue> personal;
            if (c.documents != nullptr) {
                makeWideFolders(documents);
                personal.reset(new ShellFolderValue(L"Personal", documents));
            }

            STARTUPINFOW startup;
            ZeroMemory(&startup, sizeof startup);
            startup.cb = sizeof startup;
            PROCESS_INFORMATION launcher;
            std::wstring line = L"\"" + folder + L"\\" + fromUtf8(c.launcher) + L"\"";
            ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                       nullptr, wideText(elsewhereFolder()).c_str(), &startup,
                                       &launcher));
            if (WaitForSingleObject(launcher.hProcess, 30000) != WAIT_OBJECT_0) {
                const MessageBoxSeen box = waitForMessageBox(launcher.dwProcessId, 100);
                ADD_FAILURE() << "the launcher did not end"
                              << (box.box != nullptr ? ": it said " + box.text : "");
                TerminateProcess(launcher.hProcess, 1);
            }
            CloseHandle(launcher.hThread);
            CloseHandle(launcher.hProcess);

            const std::vector<Record> seen = readRecords(log);
            ASSERT_EQ(seen.size(), 1u) << "the runtime ran once";
            const Record& runtime = seen[0];
            printf("%s, code page %u, %s: %s\n    in %s\n", file, GetACP(),
                   printable(runtime.program).c_str(), printable(runtime.commandLine).c_str(),
                   printable(runtime.folder).c_str());
            std::string reachedDocuments;
            for (const std::string& r : runtime.reached) {
                EXPECT_NE(r.find(" 1 "), std::string::npos) << printable(r);
                if (r.compare(0, 12, "documents 1 ") == 0) reachedDocuments = r.substr(12);
            }
            EXPECT_EQ(runtime.reached.size(), 3u) << "its folder, its program and the documents";
            EXPECT_NE(GetFileAttributesA((runtime.folder + "\\quarvel.jar").c_str()),
                      INVALID_FILE_ATTRIBUTES)
                << "the runtime's folder is the launcher's";
            if (c.documents != nullptr) {
                wchar_t named[MAX_PATH] = L"";
                GetLongPathNameW(wideText(reachedDocuments).c_str(), named, MAX_PATH);
                EXPECT_TRUE(named == documents)
                    << "launcher.mydocs " << printable(reachedDocuments);
            }
            endRecordedProcesses(log);
        }
    }
    EXPECT_GT(ran, 0) << "no case for code page " << GetACP();
}

// Safe where others may write: JAVA_HOME names a registered home in another form (a doubled
// backslash), and that runtime is tried once; a subkey name too long for the buffer (450 bytes in
// UTF-8) hides no runtime registered after it; a runtime planted in the machine-wide Scoop folder
// (%ProgramData%\scoop) is not started unless SCOOP_GLOBAL names that folder. (Wine makes every
// file its user's: that another user's folder is passed over, the native tests show.)
TEST_F(LastResortTest, EachRuntimeOnceAndNoneFromAFolderNobodyNamed) {
    placeRuntime("X", failing);
    placeRuntime("Y", failing);
    registerRuntime("JDK", "17", disc / "X");
    HKEY key;
    std::wstring longName = L"1";
    longName.append(150, L'\x8868');
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\JavaSoft\\JDK\\" + longName).c_str(),
                              0, nullptr, 0, KEY_ALL_ACCESS | launcherView, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"C:\\none"), 16);
    RegCloseKey(key);
    registerRuntime("JDK", "2", disc / "Y");
    const std::string planted = "Data\\scoop\\apps\\planted\\current";
    placeRuntime(planted, working);
    disc.writeFile(planted + "\\release", "JAVA_VERSION=\"99\"\n");
    const ScopedVariable javaHome(L"JAVA_HOME", wideText(disc.path() + "\\\\X").c_str());
    const ScopedVariable programData(L"ProgramData", wideText(disc / "Data").c_str());
    const std::wstring global = wideText(disc / "Data\\scoop");
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "SCOOP_GLOBAL names the folder" : "no SCOOP_GLOBAL");
        DeleteFileA(log.c_str());
        const ScopedVariable scoopGlobal(L"SCOOP_GLOBAL", named ? global.c_str() : nullptr);
        runLauncher();
        EXPECT_EQ(programsRun(),
                  (std::vector<std::string>{"X\\bin\\java", "Y\\bin\\java",
                                            named ? planted + "\\bin\\java" : "viewer\\viewer"}));
        endRecordedProcesses(log);
    }
}

// A runtime reached through a package manager's shim (a java.exe that starts the real one and
// waits for it), on the search path or registered by a vendor: the application's window opens in
// the launcher's grandchild, is seen within the first cycles, and nothing else is started; the
// shim and the application both keep running after the launcher has ended.
TEST_F(LastResortTest, AShimsRuntimeOpensTheApplicationInTheGrandchild) {
    placeRuntime("real", working + "delay=500\n");
    const std::string shim = behaviour("shim=" + disc / "real\\bin\\java.exe" + "\n");
    for (const bool onPath : {true, false}) {
        const char* name = onPath ? "on the search path" : "registered";
        if (onPath) {
            putOnPath("java.exe", shim);
        } else {
            SetEnvironmentVariableA("PATH", searchPath.c_str());
            disc.placeStandIn("scoop\\bin\\java.exe", shim);
            registerVendorRuntime(microsoftJdk, "21.0.4.7", disc / "scoop\\");
        }
        DeleteFileA(log.c_str());
        Process launcher = startLauncher();
        EXPECT_EQ(launcher.waitForExit(15000), 0u) << name;
        const long long ended = nowMicros();
        const std::vector<Record> seen = readRecords(log);
        ASSERT_EQ(seen.size(), 2u) << name;
        EXPECT_EQ(programsRun(),
                  (std::vector<std::string>{onPath ? "tools\\java" : "scoop\\bin\\java",
                                            "real\\bin\\java"}))
            << name;
        ASSERT_GT(seen[1].windowOpened, 0) << name;
        // Seen at the next cycle, then the launcher's one second.
        const double afterWindow = (ended - seen[1].windowOpened) / 1e6;
        EXPECT_LT(afterWindow, 2.5) << name;
        for (const Record& r : seen) {
            HANDLE process = openRecordedProcess(r, SYNCHRONIZE);
            ASSERT_NE(process, nullptr) << name << ": " << r.program;
            EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT))
                << name << ": " << r.program << " keeps running";
            CloseHandle(process);
        }
        endRecordedProcesses(log);
    }
}

// The runtime behind a shim is a console program and gets a console window, titled with the
// title of the launcher's start-up information, which a shortcut named QuarVel sets. That
// console is not the application's window: a runtime that fails behind it is a failed start.
TEST_F(LastResortTest, AConsoleOfTheRuntimeBehindAShimIsNotTheApplication) {
    placeRuntime("real", "action=exit\ncode=3\ndelay=1500\n");
    putOnPath("java.exe", behaviour("shim=" + disc / "real\\bin\\java.exe" + "\n"));
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    char title[] = "QuarVel";
    startup.lpTitle = title;
    Process launcher = startLauncher("", &startup);
    EXPECT_EQ(launcher.waitForExit(30000), 0u);
    EXPECT_EQ(programsRun(),
              (std::vector<std::string>{"tools\\java", "real\\bin\\java", "viewer\\viewer"}));
    const std::vector<Record> seen = readRecords(log);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(seen[1].hasConsole) << "the runtime had a console, or this test proves nothing";
}

// A shim whose runtime never opens the application's window: when the watch runs out (the one
// test of the full 90 seconds), the shim is ended with exit code 1 and so is the runtime it
// started, so that nothing is left running unseen; then the page opens.
TEST_F(LastResortTest, AShimWhoseRuntimeShowsNoWindowIsEndedWithItAfterTheWatch) {
    placeRuntime("real", "action=hang\n");
    putOnPath("java.exe", behaviour("shim=" + disc / "real\\bin\\java.exe" + "\n"));
    Process launcher = startLauncher();
    // Both are held open as soon as they have started, to read their ends afterwards.
    std::vector<Record> seen;
    for (int i = 0; i < 500 && seen.size() < 2; ++i) {
        Sleep(20);
        seen = readRecords(log);
    }
    ASSERT_EQ(seen.size(), 2u);
    HANDLE shim = openRecordedProcess(seen[0], SYNCHRONIZE);
    HANDLE runtime = openRecordedProcess(seen[1], SYNCHRONIZE);
    ASSERT_NE(shim, nullptr);
    ASSERT_NE(runtime, nullptr);
    EXPECT_EQ(launcher.waitForExit(150000), 0u);
    EXPECT_TRUE(windowsOf(launcher.id(), "#32770").empty()) << "no message";
    for (HANDLE process : {shim, runtime}) {
        EXPECT_EQ(WaitForSingleObject(process, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        EXPECT_EQ(code, 1u) << "ended by the launcher";
        CloseHandle(process);
    }
    seen = readRecords(log);
    ASSERT_EQ(programsRun(),
              (std::vector<std::string>{"tools\\java", "real\\bin\\java", "viewer\\viewer"}));
    const double watched = (seen[2].started - seen[0].started) / 1e6;
    EXPECT_GT(watched, 89.0);
    EXPECT_LT(watched, 100.0);
}

}  // namespace
