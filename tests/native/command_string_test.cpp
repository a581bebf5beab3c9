#include <stdlib.h>

#include <vector>

#include "launch/command_pieces.h"
#include "launch/command_string.h"
#include "state_fixture.h"

namespace {

// Counts every allocation and can be told to refuse the ones after a given count.
struct MemoryProbe {
    static std::vector<size_t> sizes;
    static int allowed;  // allocations still granted; negative: unlimited
    static int released;

    static void* allocate(size_t size) {
        sizes.push_back(size);
        if (allowed == 0) return nullptr;
        if (allowed > 0) --allowed;
        return malloc(size);
    }
    static void release(void* block) {
        ++released;
        free(block);
    }
};
std::vector<size_t> MemoryProbe::sizes;
int MemoryProbe::allowed = -1;
int MemoryProbe::released = 0;

class CommandStringTest : public StateTest {
protected:
    CommandStringMemory saved;
    void SetUp() override {
        StateTest::SetUp();
        MemoryProbe::sizes.clear();
        MemoryProbe::allowed = -1;
        MemoryProbe::released = 0;
        saved = commandStringMemory;
        commandStringMemory = {MemoryProbe::allocate, MemoryProbe::release};
    }
    void TearDown() override {
        commandStringMemory = saved;
        StateTest::TearDown();
    }
};

TEST_F(CommandStringTest, GrowsToTheExactSizeAndReleasesEveryBuffer) {
    {
        CommandString s;
        s.appendText("abc");
        EXPECT_STREQ(s.textOrEmpty(), "abc");
        s.appendText(nullptr).appendText("");  // no reallocation for nothing
        s.appendText("de");
        EXPECT_STREQ(s.textOrEmpty(), "abcde");
    }
    EXPECT_EQ(MemoryProbe::sizes, (std::vector<size_t>{1, 4, 6}));
    EXPECT_EQ(MemoryProbe::released, 3);
}

TEST_F(CommandStringTest, AStringWithoutBufferStaysEmpty) {
    MemoryProbe::allowed = 0;
    CommandString s;
    EXPECT_FALSE(s.hasBuffer());
    MemoryProbe::allowed = -1;
    s.appendText("abc").appendChar('x').appendDecimal(42);
    appendFolder(s, "C:\\jdk");
    EXPECT_STREQ(s.textOrEmpty(), "");
    EXPECT_EQ(MemoryProbe::sizes.size(), 1u);  // never tried again
}

TEST_F(CommandStringTest, AFailedAppendKeepsTheEarlierText) {
    CommandString s;
    s.appendText("keep");
    MemoryProbe::allowed = 0;
    s.appendText(" lost");
    MemoryProbe::allowed = -1;
    s.appendText(" more");
    EXPECT_STREQ(s.textOrEmpty(), "keep more");
}

TEST_F(CommandStringTest, DecimalsAreSignedBaseTen) {
    const struct {
        int value;
        const char* text;
    } cases[] = {{0, "0"},
                 {7, "7"},
                 {-1280, "-1280"},
                 {1024, "1024"},
                 {2147483647, "2147483647"},
                 {-2147483647 - 1, "-2147483648"}};
    for (const auto& c : cases) {
        CommandString s;
        s.appendDecimal(c.value);
        EXPECT_STREQ(s.textOrEmpty(), c.text);
    }
}

TEST_F(CommandStringTest, FolderGetsExactlyOneClosingBackslash) {
    const struct {
        const char* folder;
        const char* appended;
    } cases[] = {{"C:\\jdk", "C:\\jdk\\"}, {"C:\\jdk\\", "C:\\jdk\\"}, {"java", "java\\"}, {"", ""},
                 {"C:/jdk/", "C:/jdk/\\"}, {"..\\java", "..\\java\\"}};
    for (const auto& c : cases) {
        CommandString s;
        appendFolder(s, c.folder);
        EXPECT_STREQ(s.textOrEmpty(), c.appended) << c.folder;
    }
}

struct PropertiesCase {
    const char* documents;  // nullptr: unset
    ScreenRect workArea;
    const char* prefix;
    const char* appended;
    int32_t systemDpi = 0;  // 0: not told
};

TEST_F(CommandStringTest, LauncherProperties) {
    const PropertiesCase cases[] = {
        {"C:\\Documents and Settings\\user\\My Documents",
         {0, 0, 1024, 738},
         "-D",
         " \"-Dlauncher.mydocs=C:\\Documents and Settings\\user\\My Documents\""
         " \"-Dlauncher.workarea=0_0_1024_738\""},
        {nullptr, {0, 0, 1024, 738}, "-D", " \"-Dlauncher.workarea=0_0_1024_738\""},
        {"", {0, 0, 0, 0}, "-D", " \"-Dlauncher.mydocs=\" \"-Dlauncher.workarea=0_0_0_0\""},
        {nullptr, {-1280, 0, 0, 1024}, "-D", " \"-Dlauncher.workarea=-1280_0_1280_1024\""},
        {"D:\\Docs",
         {10, -20, 30, 40},
         "/d:",
         " \"/d:launcher.mydocs=D:\\Docs\" \"/d:launcher.workarea=10_-20_20_60\""},
        // The drive root's backslash is doubled so that it cannot escape the closing quote.
        {"C:\\",
         {0, 0, 800, 600},
         "-D",
         " \"-Dlauncher.mydocs=C:\\\\\" \"-Dlauncher.workarea=0_0_800_600\""},
        // The work area as a program unaware of DPI sees it: each value times 96 / the system's
        // DPI, rounded to the nearest with halves away from zero (at 192: -0.5, 0.5, 1.5, 2.5).
        {nullptr, {0, 0, 1920, 1040}, "-D", " \"-Dlauncher.workarea=0_0_1920_1040\"", 96},
        {nullptr, {0, 0, 1920, 1040}, "-D", " \"-Dlauncher.workarea=0_0_1536_832\"", 120},
        {nullptr, {0, 0, 1920, 1040}, "-D", " \"-Dlauncher.workarea=0_0_1280_693\"", 144},
        {nullptr, {0, 0, 1600, 1200}, "/d:", " \"/d:launcher.workarea=0_0_800_600\"", 192},
        {nullptr, {-1, 1, 3, 5}, "-D", " \"-Dlauncher.workarea=-1_1_3_2\"", 192},
        // A monitor left of the primary one, and a task bar at the top.
        {nullptr, {-1920, -40, 0, 1040}, "-D", " \"-Dlauncher.workarea=-1280_-27_1280_720\"", 144},
        // A DPI no display has counts as 96: the work area is handed over as it is.
        {nullptr, {0, 0, 1920, 1040}, "-D", " \"-Dlauncher.workarea=0_0_1920_1040\"", 47},
        {nullptr, {0, 0, 1920, 1040}, "-D", " \"-Dlauncher.workarea=0_0_1920_1040\"", 9601},
    };
    for (const auto& c : cases) {
        launcherState.documentsDirectory = const_cast<char*>(c.documents);
        launcherState.workArea = c.workArea;
        launcherState.systemDpi = c.systemDpi;
        CommandString s;
        appendLauncherProperties(s, c.prefix);
        EXPECT_STREQ(s.textOrEmpty(), c.appended) << c.systemDpi;
    }
}

TEST_F(CommandStringTest, ArgumentsArePassedUnchangedOrNotAtAll) {
    CommandString without;
    appendClassPathAndMain(without);
    appendAppArguments(without);
    EXPECT_STREQ(without.textOrEmpty(), "quarvel.jar;. com.quarvel.browser.Browser");

    char arguments[] = "-demo \"two words\" a\\\"b";
    launcherState.appArguments = arguments;
    CommandString with;
    appendAppArguments(with);
    EXPECT_STREQ(with.textOrEmpty(), " -demo \"two words\" a\\\"b");
}

}  // namespace
