// The installation offer of launcher.exe: its template in the file, its live windows, and what
// each way out of it does.
#include <gtest/gtest.h>

#include <string.h>

#include <thread>

#include "launch/child_process.h"
#include "startup/launcher_state.h"
#include "test_support.h"
#include "ui/install_offer.h"

using namespace testing_support;

namespace {

class InstallOfferTest : public ::testing::Test {
protected:
    void SetUp() override {
        disc.placeLauncher();
        disc.writeFile("quarvel.jar", "PK");
        log = disc / "children.log";
        disc.placeStandIn("java\\bin\\java.exe", "log=" + log + "\naction=window\n");
    }
    void TearDown() override { endRecordedProcesses(log); }
    void placeSetupProgram() { disc.placeStandIn("setup.exe", "log=" + log + "\ncheck-main=0\n"); }
    // From another current folder, as a shortcut may start it: setup.exe is found beside it.
    Process startLauncher() {
        return Process("\"" + disc / "launcher.exe" + "\"", elsewhereFolder());
    }
    HWND waitForOffer(const Process& launcher) {
        HWND dialog = waitForWindow(launcher.id(), "#32770", 10000);
        if (dialog != nullptr) pumpMessages(200);
        return dialog;
    }
    // Waits for the launcher to end, noting whether a splash window ever showed meanwhile.
    DWORD waitForExit(const Process& launcher, bool* splashSeen) {
        *splashSeen = false;
        for (int i = 0; i < 500; ++i) {
            if (!windowsOf(launcher.id(), "QuarVelLauncherClass").empty()) *splashSeen = true;
            const DWORD code = launcher.waitForExit(20);
            if (code != STILL_ACTIVE) return code;
        }
        return STILL_ACTIVE;
    }

    ScratchFolder disc{"Offer Disc"};
    std::string log;
};

// The template as the file holds it: classic DLGTEMPLATE, then the four items in tab order.
TEST(InstallOfferTemplate, DialogResourceIsExactlyAsDesigned) {
    HMODULE module = LoadLibraryExA(launcherPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1000), MAKEINTRESOURCEA(5));  // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const WORD* at = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(at, nullptr);
    const DLGTEMPLATE* dialog = reinterpret_cast<const DLGTEMPLATE*>(at);
    ASSERT_NE(at[1], 0xFFFF) << "classic template, not the extended one";
    EXPECT_EQ(dialog->style, 0x90C808C0u);
    EXPECT_EQ(dialog->dwExtendedStyle, 0u);
    EXPECT_EQ(dialog->cdit, 4);
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, 202);
    EXPECT_EQ(dialog->cy, 90);
    at = reinterpret_cast<const WORD*>(dialog + 1);
    auto readText = [&at]() {
        std::string text;
        for (; *at != 0; ++at) text += static_cast<char>(*at);
        ++at;
        return text;
    };
    EXPECT_EQ(*at++, 0) << "no menu";
    EXPECT_EQ(*at++, 0) << "the standard dialog class";
    EXPECT_EQ(readText(), "QuarVel Launcher");
    EXPECT_EQ(*at++, 8) << "point size";
    EXPECT_EQ(readText(), "MS Sans Serif");

    const struct {
        WORD id;
        WORD classAtom;
        DWORD style;
        short x, y, cx, cy;
        const char* text;
    } items[] = {
        {0xFFFF, 0x0082, 0x50000003, 10, 10, 32, 32, "MAINICON"},
        {6, 0x0080, 0x50010001, 42, 10, 150, 20, "Run the program directly from CD"},
        {7, 0x0080, 0x50010000, 42, 35, 150, 20, "Install the program on your hard drive"},
        {2, 0x0080, 0x50010000, 42, 60, 150, 20, "Cancel"},
    };
    for (const auto& expected : items) {
        at = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(at) + 3) & ~UINT_PTR(3));
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        EXPECT_EQ(item->style, expected.style) << expected.text;
        EXPECT_EQ(item->dwExtendedStyle, 0u);
        EXPECT_EQ(item->x, expected.x);
        EXPECT_EQ(item->y, expected.y);
        EXPECT_EQ(item->cx, expected.cx);
        EXPECT_EQ(item->cy, expected.cy);
        EXPECT_EQ(item->id, expected.id);
        at = reinterpret_cast<const WORD*>(item + 1);
        EXPECT_EQ(*at++, 0xFFFF);
        EXPECT_EQ(*at++, expected.classAtom);
        EXPECT_EQ(readText(), expected.text);
        EXPECT_EQ(*at++, 0) << "no creation data";
    }
    FreeLibrary(module);
}

TEST(InstallOfferTemplate, MainIconIsTheOnlyIconGroupWithTwo256ColourImages) {
    HMODULE module = LoadLibraryExA(launcherPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    std::vector<std::string> groups;
    EnumResourceNamesA(
        module, MAKEINTRESOURCEA(14),  // RT_GROUP_ICON
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR list) CALLBACK -> BOOL {
            reinterpret_cast<std::vector<std::string>*>(list)->push_back(
                IS_INTRESOURCE(name) ? "#" : name);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, std::vector<std::string>{"MAINICON"});
    HRSRC found = FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14));
    ASSERT_NE(found, nullptr);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    ASSERT_EQ(count, 2);
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + 14 * i;  // GRPICONDIRENTRY
        const int size = entry[0];
        EXPECT_TRUE(size == 16 || size == 32);
        EXPECT_EQ(entry[1], size);
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 8) << "bits per pixel";
    }
    FreeLibrary(module);
}

TEST_F(InstallOfferTest, OfferComesFirstAndItsWindowsMatchTheTemplate) {
    placeSetupProgram();
    Process launcher = startLauncher();
    HWND dialog = waitForOffer(launcher);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(windowsOf(launcher.id(), "QuarVelLauncherClass").empty()) << "no splash yet";
    EXPECT_EQ(windowText(dialog), "QuarVel Launcher");
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE));
    EXPECT_EQ(style & 0x90C808C0u, 0x90C808C0u) << std::hex << style;

    const struct {
        int id;
        const char* className;
        DWORD style;
        const char* text;
    } controls[] = {
        {6, "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, "Run the program directly from CD"},
        {7, "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, "Install the program on your hard drive"},
        {2, "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, "Cancel"},
    };
    for (const auto& c : controls) {
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr) << c.text;
        char name[32] = "";
        GetClassNameA(control, name, sizeof name);
        EXPECT_STREQ(name, c.className);
        EXPECT_EQ(windowText(control), c.text);
        const DWORD live = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
        EXPECT_EQ(live & c.style, c.style) << c.text;
    }
    EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(dialog, 6), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    HWND icon = GetDlgItem(dialog, 0xFFFF);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0) << "the icon control shows MAINICON";

    pressButton(dialog, 6);  // run from the disc: the splash and the launch follow
    EXPECT_NE(waitForWindow(launcher.id(), "QuarVelLauncherClass", 10000), nullptr);
    EXPECT_EQ(launcher.waitForExit(20000), 0u);
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, disc / "java\\bin\\java");
}

TEST_F(InstallOfferTest, InstallStartsSetupInTheLauncherFolderAndEnds) {
    placeSetupProgram();
    Process launcher = startLauncher();
    HWND dialog = waitForOffer(launcher);
    ASSERT_NE(dialog, nullptr);
    pressButton(dialog, 7);
    bool splashSeen = true;
    EXPECT_EQ(waitForExit(launcher, &splashSeen), 0u);
    EXPECT_FALSE(splashSeen);
    for (int i = 0; i < 100 && readRecords(log).empty(); ++i) Sleep(50);
    const std::vector<Record> seen = readRecords(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, disc / "setup");
    EXPECT_EQ(seen[0].folder, disc.path());
    // The folder holds a blank: the line is quoted, or E:\Offer.exe would be tried first.
    EXPECT_EQ(seen[0].commandLine, "\"" + disc / "setup.exe" + "\"");
}

TEST_F(InstallOfferTest, EveryOtherWayOutEndsWithoutStartingAnything) {
    placeSetupProgram();
    const char* ways[] = {"Cancel", "Escape", "close box"};
    for (const char* way : ways) {
        Process launcher = startLauncher();
        HWND dialog = waitForOffer(launcher);
        ASSERT_NE(dialog, nullptr) << way;
        if (way == ways[0]) pressButton(dialog, 2);
        if (way == ways[1]) {
            HWND focus = GetDlgItem(dialog, 6);
            PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        }
        if (way == ways[2]) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        bool splashSeen = true;
        EXPECT_EQ(waitForExit(launcher, &splashSeen), 0u) << way;
        EXPECT_FALSE(splashSeen) << way;
        EXPECT_TRUE(readRecords(log).empty()) << way;
    }
}

TEST_F(InstallOfferTest, OnlyAFileNamedSetupBringsTheOffer) {
    disc.makeFolder("setup.exe");
    Process launcher = startLauncher();
    EXPECT_NE(waitForWindow(launcher.id(), "QuarVelLauncherClass", 10000), nullptr);
    EXPECT_TRUE(windowsOf(launcher.id(), "#32770").empty());
    EXPECT_EQ(launcher.waitForExit(20000), 0u);
}

TEST_F(InstallOfferTest, SetupThatIsNotAProgramIsReported) {
    disc.writeFile("setup.exe", "this is not a program");
    Process launcher = startLauncher();
    HWND dialog = waitForOffer(launcher);
    ASSERT_NE(dialog, nullptr);
    pressButton(dialog, 7);
    Sleep(300);
    const MessageBoxSeen box = waitForMessageBox(launcher.id(), 10000);
    ASSERT_NE(box.box, nullptr);
    EXPECT_NE(box.box, dialog);
    expectLauncherMessageBox(box);
    EXPECT_EQ(box.text, "Error starting setup");
    pressButton(box.box, IDOK);
    bool splashSeen = true;
    EXPECT_EQ(waitForExit(launcher, &splashSeen), 0u);
    EXPECT_FALSE(splashSeen);
}

// A process start that fails as Windows fails an installer that needs elevation, or otherwise.
struct FailingStart {
    static DWORD error;
    static int calls;
    static BOOL WINAPI start(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                             DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
        ++calls;
        SetLastError(error);
        return FALSE;
    }
};
DWORD FailingStart::error;
int FailingStart::calls;

// startSetup in this process, with the failure of its process start injected.
TEST_F(InstallOfferTest, AnInstallerThatNeedsElevationIsStartedThroughTheShell) {
    const struct {
        const char* name;
        DWORD error;
        bool setupIsAProgram;
        bool started;  // through the shell
    } cases[] = {
        {"elevation required", 740, true, true},
        {"elevation required, and the shell fails too", 740, false, false},
        {"any other failure: no second try", ERROR_ACCESS_DENIED, true, false},
    };
    std::string folder = disc.path() + "\\";
    memset(&launcherState, 0, sizeof launcherState);
    launcherState.exeDirectory = &folder[0];
    const ProcessStart saved = processStart;
    processStart = FailingStart::start;
    for (const auto& c : cases) {
        DeleteFileA(log.c_str());
        if (c.setupIsAProgram) {
            placeSetupProgram();
        } else {
            disc.writeFile("setup.exe", "not a program");
        }
        FailingStart::error = c.error;
        FailingStart::calls = 0;
        std::thread starter(startSetup);
        const MessageBoxSeen box =
            waitForMessageBox(GetCurrentProcessId(), c.started ? 2000 : 10000);
        if (box.box != nullptr) pressButton(box.box, IDOK);
        starter.join();
        EXPECT_EQ(FailingStart::calls, 1) << c.name;
        EXPECT_EQ(box.box == nullptr, c.started) << c.name;
        if (box.box != nullptr) {
            EXPECT_EQ(box.text, "Error starting setup") << c.name;
            expectLauncherMessageBox(box);
        }
        std::vector<Record> seen = readRecords(log);
        for (int i = 0; i < 200 && c.started && seen.empty(); ++i) {
            Sleep(20);
            seen = readRecords(log);
        }
        ASSERT_EQ(seen.size(), c.started ? 1u : 0u) << c.name;
        if (c.started) {
            EXPECT_EQ(seen[0].program, disc / "setup");
            EXPECT_EQ(seen[0].folder, disc.path()) << "in the launcher's folder";
            EXPECT_EQ(seen[0].args.size(), 1u) << "no parameters";
        }
        endRecordedProcesses(log);
    }
    processStart = saved;
    memset(&launcherState, 0, sizeof launcherState);
}

}  // namespace
