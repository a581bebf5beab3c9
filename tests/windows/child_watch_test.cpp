// runAndWatch against real children: the stand-in plays a runtime that exits, fails, hangs or
// opens a window with a given title.
#include <gtest/gtest.h>

#include <string.h>

#include "launch/child_process.h"
#include "launch/child_watch.h"
#include "launch/launch_log.h"
#include "startup/launcher_state.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char runtimeArguments[] = " -cp quarvel.jar;. com.quarvel.browser.Browser";

class ChildWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&launcherState, 0, sizeof launcherState);
        folderText = folder.path() + "\\";
        launcherState.exeDirectory = &folderText[0];
        launcherState.runtimeDirectory = launcherState.exeDirectory;  // a plain folder: the same
    }
    void TearDown() override { memset(&launcherState, 0, sizeof launcherState); }

    // Runs the stand-in with the given behaviour; returns the result and how long it took.
    bool run(const std::string& behaviour, double* seconds = nullptr) {
        folder.placeStandIn("rt\\bin\\java.exe", behaviour);
        std::string line = folder / "rt\\bin\\java" + runtimeArguments;
        const long long before = nowMicros();
        const bool result = runAndWatch(&line[0]);
        if (seconds != nullptr) *seconds = (nowMicros() - before) / 1e6;
        return result;
    }
    std::vector<Record> records() { return readRecords(folder / "rt\\bin\\java.log"); }

    ScratchFolder folder{"child_watch"};
    std::string folderText;
};

TEST_F(ChildWatchTest, ExitCodeDecidesWhenNoWindowOpens) {
    double seconds = 0;
    EXPECT_TRUE(run("action=exit\ncode=0\n", &seconds));
    EXPECT_LT(seconds, 2.0);
    ASSERT_EQ(records().size(), 1u);
    EXPECT_EQ(records()[0].folder + "\\", folderText) << "started in the launcher's folder";

    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    EXPECT_FALSE(run("action=exit\ncode=1\ndelay=3000\n", &seconds));
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_GT(seconds, 2.9);
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(handlesAfter, handlesBefore) << "both child handles are closed";
}

TEST_F(ChildWatchTest, AWindowTitledWithQuarVelIsTheApplication) {
    double seconds = 0;
    ASSERT_TRUE(run("action=window\ntitle=QuarVel\ndelay=500\n", &seconds));
    EXPECT_LT(seconds, 3.0);
    const std::vector<Record> seen = records();
    ASSERT_EQ(seen.size(), 1u);
    HANDLE child = openRecordedProcess(seen[0], SYNCHRONIZE);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(WaitForSingleObject(child, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "left running";
    CloseHandle(child);
    endRecordedProcesses(folder / "rt\\bin\\java.log");

    // Anywhere within the first 99 characters counts.
    ASSERT_TRUE(run("action=window\ntitle=" + std::string(92, '-') + "QuarVel\n"));
    endRecordedProcesses(folder / "rt\\bin\\java.log");
}

// Hands the watch a child that already runs its own code, or whose window already stands: the
// watch's cycle then counts from there, however long the platform takes to start a process or to
// make a window (on an emulated CPU, each may take more than the first 300 ms), so that where the
// window falls in the cycle is the test's to say.
struct RunningStart {
    static std::string record;  // the stand-in's, which it writes first thing
    static bool untilWindow;
    static long long handedOver;
    static BOOL WINAPI start(LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES process,
                             LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID block,
                             LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION child) {
        DeleteFileA(record.c_str());
        if (!CreateProcessA(program, line, process, thread, inherit, flags, block, folder, startup,
                            child)) {
            return FALSE;
        }
        for (int wait = 0; wait < 2000; ++wait) {
            const std::vector<Record> seen = readRecords(record);
            if (!seen.empty() && (!untilWindow || seen[0].windowStood > 0)) break;
            Sleep(5);
        }
        handedOver = nowMicros();
        return TRUE;
    }
};
std::string RunningStart::record;
bool RunningStart::untilWindow;
long long RunningStart::handedOver;

// Windows tells the watch of the child's window as it opens: one that opens between the first and
// the second look (400 ms into the watch) is seen within 50 ms of its creation, not at the next
// look. One that opens 100 ms into the watch is seen at the first look, not before 300 ms; a child
// whose window stands and that then ends with 1 before the first look fails.
TEST_F(ChildWatchTest, AWindowIsSeenAsItOpensButNotBeforeTheFirstLook) {
    RunningStart::record = folder / "rt\\bin\\java.log";
    processStart = RunningStart::start;
    const struct {
        const char* behaviour;
        bool untilWindow;  // the watch begins once the window stands
        bool application;
        const char* what;
    } cases[] = {{"delay=400\n", false, true, "at 400 ms"},
                 {"delay=100\n", false, true, "at 100 ms"},
                 {"lifetime=50\ncode=1\n", true, false, "of a child ending with 1 at 50 ms"}};
    for (const auto& c : cases) {
        folder.placeStandIn("rt\\bin\\java.exe",
                            std::string("action=window\ntitle=QuarVel\n") + c.behaviour);
        RunningStart::untilWindow = c.untilWindow;
        std::string line = folder / "rt\\bin\\java" + runtimeArguments;
        EXPECT_EQ(runAndWatch(&line[0]), c.application) << c.what;
        const double returned = (nowMicros() - RunningStart::handedOver) / 1000.0;
        // The runtime notes its window just after creating it: the watch may be quicker.
        std::vector<Record> seen = records();
        for (int wait = 0; wait < 100 && (seen.empty() || seen[0].windowStood < 0); ++wait) {
            Sleep(10);
            seen = records();
        }
        endRecordedProcesses(folder / "rt\\bin\\java.log");
        ASSERT_EQ(seen.size(), 1u) << c.what;
        ASSERT_GT(seen[0].windowStood, 0) << c.what;
        const double stood = (seen[0].windowStood - RunningStart::handedOver) / 1000.0;
        printf("window %s: made %.1f ms into the watch, which returned at %.1f ms\n", c.what, stood,
               returned);
        if (!c.application) {
            EXPECT_LT(returned, 300) << "the child's end ends the watch before its first look";
        } else if (stood > 300) {  // also where making the window took longer than 200 ms
            EXPECT_LE(returned - stood, 50) << c.what;
        } else {
            EXPECT_GE(returned, 300) << "never before the first look";
            EXPECT_LE(returned, 350) << "at the first look";
        }
    }
    processStart = nullptr;
}

TEST_F(ChildWatchTest, OtherTitlesAndOtherProcessesDoNotCount) {
    // Each child shows its window for two seconds, then ends with a failure of its own.
    const std::string titles[] = {"quarvel", "QUARVEL Browser", std::string(93, '-') + "QuarVel",
                                  "Quar Vel"};
    for (const std::string& title : titles) {
        EXPECT_FALSE(run("action=window\ncode=3\nlifetime=2000\ntitle=" + title + "\n")) << title;
    }

    // A matching window of this process, not the child's.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OtherQuarVelWindow";
    RegisterClassA(&windowClass);
    HWND other = CreateWindowA("OtherQuarVelWindow", "QuarVel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                               0, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(run("action=exit\ncode=1\ndelay=1500\n"));
    DestroyWindow(other);

    // One that another process opens while the child is watched.
    folder.placeStandIn("other\\other.exe",
                        "action=window\ntitle=QuarVel\ndelay=500\n"
                        "check-main=0\nlifetime=2000\n");
    Process opener("\"" + folder / "other\\other.exe" + "\"", folder.path());
    EXPECT_FALSE(run("action=exit\ncode=1\ndelay=1500\n"));
    const std::vector<Record> others = readRecords(folder / "other\\other.log");
    ASSERT_EQ(others.size(), 1u);
    EXPECT_GT(others[0].windowOpened, 0) << "the other window opened during the watch";
}

TEST_F(ChildWatchTest, AnEmptyOrMissingProgramFailsAtOnce) {
    char empty[] = "";
    const long long before = nowMicros();
    EXPECT_FALSE(runAndWatch(empty));
    std::string missing = folder / "nowhere\\bin\\java -cp x y";
    EXPECT_FALSE(runAndWatch(&missing[0]));
    EXPECT_LT(nowMicros() - before, 1000000);
}

// The application's window in a process that the child started (the runtime behind a package
// manager's shim) is seen as soon as one of the child's own would be; both keep running. A window
// there with another title does not count.
TEST_F(ChildWatchTest, AWindowInAProcessTheChildStartedIsTheApplication) {
    const std::string real = folder / "real\\bin\\java.exe";
    folder.placeStandIn("real\\bin\\java.exe", "action=window\ntitle=QuarVel\ndelay=500\n");
    double seconds = 0;
    ASSERT_TRUE(run("shim=" + real + "\n", &seconds));
    EXPECT_LT(seconds, 3.0);
    const std::vector<Record> shim = records();
    const std::vector<Record> runtime = readRecords(folder / "real\\bin\\java.log");
    ASSERT_EQ(shim.size(), 1u);
    ASSERT_EQ(runtime.size(), 1u);
    EXPECT_NE(runtime[0].commandLine.find(runtimeArguments), std::string::npos)
        << "the shim hands on its arguments";
    for (const Record& r : {shim[0], runtime[0]}) {
        HANDLE process = openRecordedProcess(r, SYNCHRONIZE);
        ASSERT_NE(process, nullptr);
        EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        CloseHandle(process);
    }
    endRecordedProcesses(folder / "real\\bin\\java.log");
    endRecordedProcesses(folder / "rt\\bin\\java.log");

    folder.placeStandIn("real\\bin\\java.exe",
                        "action=window\ntitle=quarvel\ncode=3\nlifetime=1500\n");
    EXPECT_FALSE(run("shim=" + real + "\n")) << "the shim hands on the runtime's exit code 3";
}

// With the log on, the log never changes what starts: where the system has no list of the handles
// a child inherits (its calls taken away, as before Vista), or refuses the start with the pipe and
// its list, the runtime starts as with the log off, and the log says so.
struct RefusingStart {
    static BOOL WINAPI start(LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES process,
                             LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID block,
                             LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION child) {
        if ((flags & EXTENDED_STARTUPINFO_PRESENT) != 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        return CreateProcessA(program, line, process, thread, inherit, flags, block, folder,
                              startup, child);
    }
};

TEST_F(ChildWatchTest, WithTheLogOnTheRuntimeStartsEvenWithoutItsPipe) {
    static std::string lines;
    lines.clear();
    openLaunchLog({[]() -> uint32_t { return 0; },
                   [](const char* bytes, size_t count) { lines.append(bytes, count); }, [] {},
                   [] {}, [] {}, nullptr});
    static const AttributeListCalls none = {};
    for (size_t way = 0; way < 2; ++way) {
        if (way == 0) attributeListCalls = &none;
        if (way == 1) processStart = RefusingStart::start;
        EXPECT_TRUE(run("action=exit\ncode=0\n")) << way;
        attributeListCalls = nullptr;
        processStart = nullptr;
        const std::vector<Record> seen = records();
        ASSERT_EQ(seen.size(), way + 1);
        EXPECT_EQ(seen.back().startupFlags & STARTF_USESTDHANDLES, 0u) << way;
    }
    closeLaunchLog();
    EXPECT_NE(lines.find("the runtime's error output cannot be collected here"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("refused with a pipe for its error output (error 87): started as with "
                         "the log off"),
              std::string::npos)
        << lines;
}

}  // namespace
