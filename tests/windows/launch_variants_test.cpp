// The launch variants on the platform: real lines started through runAndWatch, read back from the
// argument vectors that the stand-in runtimes received.
#include <gtest/gtest.h>

#include <string.h>

#include "launch/java_home_variable.h"
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
        launcherState.runtimeDirectory = launcherState.exeDirectory;  // a plain folder: the same
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

// JAVA_HOME at the edge of the buffer the selection reads it into: the longest value that fits is
// read whole, one character more is not read at all (never cut short, never run past the end).
TEST(JavaHomeVariable, TheLongestValueThatFitsIsReadAndOneMoreIsNot) {
    char saved[1024] = "";
    const bool had = GetEnvironmentVariableA("JAVA_HOME", saved, sizeof saved) > 0;
    const unsigned capacity = 261;  // as the selection passes it
    for (const size_t length : {0u, 1u, 259u, 260u, 261u, 600u}) {
        const std::string value = "C:\\" + std::string(length > 3 ? length - 3 : 0, 'j');
        const std::string set = length == 0 ? "" : value.substr(0, length);
        SetEnvironmentVariableA("JAVA_HOME", length == 0 ? nullptr : set.c_str());
        char buffer[capacity + 16];
        memset(buffer, '#', sizeof buffer);
        const bool read = readJavaHomeVariable(buffer, capacity);
        EXPECT_EQ(read, length >= 1 && length <= 260) << length;
        if (read) {
            EXPECT_EQ(std::string(buffer), set) << length;
        }
        for (size_t i = capacity; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '#') << length;
    }
    SetEnvironmentVariableA("JAVA_HOME", had ? saved : nullptr);
}

}  // namespace
