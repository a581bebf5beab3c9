// The launch variants on the platform: real lines started through runAndWatch, read back from the
// argument vectors that the stand-in runtimes received.
#include <gtest/gtest.h>

#include <string.h>

#include "launch/launch_variants.h"
#include "launch/windows_platform.h"
#include "startup/launcher_state.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char mainClass[] = "com.quarvel.browser.Browser";

class LaunchVariantsTest : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&launcherState, 0, sizeof launcherState);
        exeFolder = disc.path() + "\\";
        launcherState.exeDirectory = &exeFolder[0];
        launcherState.workArea = {-1280, 0, 0, 1024};
        launcherState.documentsDirectory = documents;
        launcherState.appArguments = arguments;
        log = disc / "runtimes.log";
    }
    void TearDown() override { memset(&launcherState, 0, sizeof launcherState); }

    // A runtime home with the given programs, each failing or opening the application's window.
    void placeRuntime(const std::string& home, bool javaWorks, bool jreWorks) {
        const std::string works = "log=" + log + "\naction=window\ntitle=QuarVel\n";
        const std::string fails = "log=" + log + "\naction=exit\ncode=1\n";
        disc.placeStandIn(home + "\\bin\\java.exe", javaWorks ? works : fails);
        disc.placeStandIn(home + "\\bin\\jre.exe", jreWorks ? works : fails);
    }
    std::vector<Record> records() { return readRecords(log); }

    ScratchFolder disc{"My Disc"};
    std::string exeFolder;
    std::string log;
    char documents[16] = "C:\\";
    char arguments[32] = "-demo \"two words\"";
};

// The arguments after the program, as the runtime's C runtime split them.
std::vector<std::string> argumentsOf(const Record& r) {
    return std::vector<std::string>(r.args.begin() + 1, r.args.end());
}

TEST_F(LaunchVariantsTest, PreferJavaRunsItsThreeLinesInOrderWithExactArguments) {
    const std::string home = "Program Files\\JavaSoft\\JRE\\1.3";
    placeRuntime(home, false, false);
    const std::string full = disc / home;
    EXPECT_FALSE(launchPreferJava(windowsPlatform, full.c_str()));

    const std::vector<Record> seen = records();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].program, full + "\\bin\\java");
    EXPECT_EQ(seen[1].program, full + "\\bin\\jre");
    EXPECT_EQ(seen[2].program, full + "\\bin\\java");
    const std::vector<std::string> mydocs = {"-Dlauncher.mydocs=C:\\",
                                             "-Dlauncher.workarea=-1280_0_1280_1024"};
    EXPECT_EQ(argumentsOf(seen[0]),
              (std::vector<std::string>{mydocs[0], mydocs[1], "-cp", "quarvel.jar;.", mainClass,
                                        "-demo", "two words"}));
    EXPECT_EQ(argumentsOf(seen[1]),
              (std::vector<std::string>{"-mx64m", mydocs[0], mydocs[1], "-cp", "quarvel.jar;.",
                                        mainClass, "-demo", "two words"}));
    EXPECT_EQ(argumentsOf(seen[2]),
              (std::vector<std::string>{"-mx64m", mydocs[0], mydocs[1], "-classpath",
                                        full + "\\lib\\classes.zip;quarvel.jar;.", mainClass,
                                        "-demo", "two words"}));
    for (const Record& r : seen) {
        EXPECT_EQ(r.folder + "\\", exeFolder) << "children start in the launcher's folder";
        EXPECT_FALSE(r.failedMainClass);
    }
}

TEST_F(LaunchVariantsTest, JreStopsAfterASuccessfulFirstLine) {
    placeRuntime("rt", false, true);
    EXPECT_TRUE(launchWithJre(windowsPlatform, (disc / "rt").c_str()));
    const std::vector<Record> seen = records();
    endRecordedProcesses(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, disc / "rt\\bin\\jre");
}

TEST_F(LaunchVariantsTest, RelativeHomeAndTrailingBackslash) {
    placeRuntime("java", true, false);
    SetCurrentDirectoryA(
        disc.path().c_str());  // relative homes resolve against the launcher's folder
    EXPECT_TRUE(launchWithJava(windowsPlatform, "java\\"));
    const std::vector<Record> seen = records();
    endRecordedProcesses(log);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine.substr(0, 15), "java\\bin\\java \"");
}

TEST_F(LaunchVariantsTest, JviewIsFoundThroughTheProgramSearch) {
    ScratchFolder tools("jview tools");
    tools.placeStandIn("jview.exe", "log=" + log + "\naction=exit\ncode=0\n");
    char path[8192] = "";
    GetEnvironmentVariableA("PATH", path, sizeof path);
    SetEnvironmentVariableA("PATH", (tools.path() + ";" + path).c_str());
    launcherState.documentsDirectory = nullptr;
    launcherState.appArguments = nullptr;
    const bool started = launchWithJview(windowsPlatform);
    SetEnvironmentVariableA("PATH", path);
    EXPECT_TRUE(started);
    const std::vector<Record> seen = records();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, tools / "jview");
    EXPECT_EQ(argumentsOf(seen[0]),
              (std::vector<std::string>{"/d:launcher.workarea=-1280_0_1280_1024", "/cp",
                                        "quarvel.jar;.", mainClass}));
}

}  // namespace
