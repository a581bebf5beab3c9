#include <string>
#include <vector>

#include "startup/command_line.h"
#include "state_fixture.h"

namespace {

struct ParseCase {
    const char* line;
    const char* javaHome;   // nullptr: unset
    const char* arguments;  // nullptr: unset
};

const ParseCase parseCases[] = {
    {"", nullptr, nullptr},
    {"    ", nullptr, nullptr},
    {"-javahome C:\\jdk -x", "C:\\jdk", "-x"},
    {"  -javahome   C:\\jdk   -x  y ", "C:\\jdk", "-x  y "},
    {"-javahome \"C:\\Program Files\\JavaSoft\\JRE\\1.3\" -x",
     "C:\\Program Files\\JavaSoft\\JRE\\1.3", "-x"},
    {"-javahome \"C:\\Program Files\\jre -x", "C:\\Program Files\\jre -x", nullptr},
    {"-javahome", "", nullptr},
    {"-javahome   ", "", nullptr},
    {"-javahome \"\" -x", "", "-x"},
    {"-javahomeC:\\jdk", "C:\\jdk", nullptr},
    {"-JAVAHOME x", nullptr, "-JAVAHOME x"},
    {"x -javahome C:\\jdk", nullptr, "x -javahome C:\\jdk"},
    {"-javahome\tC:\\jdk -x", "\tC:\\jdk", "-x"},
    {"\t-javahome C:\\jdk", nullptr, "\t-javahome C:\\jdk"},
    {"-javahom", nullptr, "-javahom"},
    {"-demo \"quoted arg\"", nullptr, "-demo \"quoted arg\""},
    {"-javahome jview", "jview", nullptr},
    {"-javahome \"C:\\a\"b c", "C:\\a", "b c"},
};

class CommandLineTest : public StateTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(CommandLineTest, SplitsOverrideAndArguments) {
    const ParseCase& c = GetParam();
    std::vector<char> buffer(c.line, c.line + strlen(c.line) + 1);
    parseCommandLine(buffer.data());
    auto inBuffer = [&](const char* p) {
        return p >= buffer.data() && p < buffer.data() + buffer.size();
    };
    if (c.javaHome == nullptr) {
        EXPECT_EQ(launcherState.javaHomeOverride, nullptr);
    } else {
        ASSERT_NE(launcherState.javaHomeOverride, nullptr);
        EXPECT_TRUE(inBuffer(launcherState.javaHomeOverride));
        EXPECT_STREQ(launcherState.javaHomeOverride, c.javaHome);
    }
    if (c.arguments == nullptr) {
        EXPECT_EQ(launcherState.appArguments, nullptr);
    } else {
        ASSERT_NE(launcherState.appArguments, nullptr);
        EXPECT_TRUE(inBuffer(launcherState.appArguments));
        EXPECT_STREQ(launcherState.appArguments, c.arguments);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLineTest, ::testing::ValuesIn(parseCases),
                         [](const ::testing::TestParamInfo<ParseCase>& info) {
                             return "Line" + std::to_string(info.index);
                         });

TEST_F(StateTest, LongCommandLineIsTakenWholeWithoutReadingPastIt) {
    std::string line = "-javahome \"" + std::string(32 * 1024, 'x');  // never closed
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    parseCommandLine(buffer.data());
    ASSERT_NE(launcherState.javaHomeOverride, nullptr);
    EXPECT_EQ(strlen(launcherState.javaHomeOverride), 32u * 1024u);
    EXPECT_EQ(launcherState.appArguments, nullptr);
}

TEST(CommandLineTail, FollowsThePlatformsRuleForTheProgramName) {
    const struct {
        const char* line;
        const char* tail;
    } cases[] = {
        {"launcher.exe", ""},
        {"launcher.exe -x", "-x"},
        {"launcher.exe \t -x y", "-x y"},
        {"\"D:\\My Disc\\launcher.exe\" -x", "-x"},
        {"\"D:\\My Disc\\launcher.exe\"-x y", "y"},  // the name goes on after its closing quote
        {"D:\\\"My Disc\"\\launcher.exe -x", "-x"},  // a quote inside the name
        {"\"D:\\unclosed -x", ""},
        {"a\"b\"c\"d e\" f", "f"},
        {"launcher.exe\r\n-x", "-x"},
        {"launcher.exe\x01\x1f-x", "-x"},
        {"launcher.exe -javahome \"C:\\a b\"", "-javahome \"C:\\a b\""},
        {"", ""},
        {"  -x", "-x"},  // an empty name: the blanks after it still go
    };
    for (const auto& c : cases) {
        std::string line = c.line;
        EXPECT_STREQ(commandLineTail(&line[0]), c.tail) << c.line;
    }
    EXPECT_EQ(commandLineTail(nullptr), nullptr);
}

}  // namespace
