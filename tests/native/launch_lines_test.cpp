#include <string>
#include <vector>

#include "argument_split.h"
#include "launch/launch_lines.h"
#include "launch/launch_variants.h"
#include "state_fixture.h"

namespace {

typedef void (*HomeLine)(CommandString&, const char*);

std::string lineFor(HomeLine build, const char* home) {
    CommandString line;
    build(line, home);
    return line.textOrEmpty();
}

class LaunchLinesTest : public StateTest {
protected:
    char documents[64] = "C:\\Documents and Settings\\user\\My Documents";
    char arguments[8] = "-demo";
    void useExampleState() {
        launcherState.documentsDirectory = documents;
        launcherState.workArea = {0, 0, 1024, 738};
        launcherState.appArguments = arguments;
    }
};

const char exampleProperties[] =
    " \"-Dlauncher.mydocs=C:\\Documents and Settings\\user\\My Documents\""
    " \"-Dlauncher.workarea=0_0_1024_738\"";

TEST_F(LaunchLinesTest, FullLinesForAHomeWithBlanksQuoteProgramAndClassPath) {
    useExampleState();
    const char* home = "C:\\Program Files\\JavaSoft\\JRE\\1.3";
    const std::string props = exampleProperties;
    EXPECT_EQ(lineFor(buildJavaLine, home),
              "\"C:\\Program Files\\JavaSoft\\JRE\\1.3\\bin\\java\"" + props +
                  " -cp quarvel.jar;. com.quarvel.browser.Browser -demo");
    EXPECT_EQ(lineFor(buildJreLine, home),
              "\"C:\\Program Files\\JavaSoft\\JRE\\1.3\\bin\\jre\" -mx64m" + props +
                  " -cp quarvel.jar;. com.quarvel.browser.Browser -demo");
    EXPECT_EQ(
        lineFor(buildJreFallbackLine, home),
        "\"C:\\Program Files\\JavaSoft\\JRE\\1.3\\bin\\java\" -mx64m" + props +
            " -classpath \"C:\\Program Files\\JavaSoft\\JRE\\1.3\\lib\\classes.zip;quarvel.jar;.\""
            " com.quarvel.browser.Browser -demo");
    CommandString searched;
    buildSearchedJavaLine(searched);
    EXPECT_EQ(searched.textOrEmpty(),
              "java" + props + " -cp quarvel.jar;. com.quarvel.browser.Browser -demo");
    CommandString jview;
    buildJviewLine(jview);
    EXPECT_STREQ(jview.textOrEmpty(),
                 "jview \"/d:launcher.mydocs=C:\\Documents and Settings\\user\\My Documents\""
                 " \"/d:launcher.workarea=0_0_1024_738\" /cp quarvel.jar;."
                 " com.quarvel.browser.Browser -demo");
}

TEST_F(LaunchLinesTest, HomesWithoutBlanksStayUnquotedAndTrailingBackslashIsNotDoubled) {
    launcherState.workArea = {0, 0, 1024, 738};
    const std::string tail =
        " \"-Dlauncher.workarea=0_0_1024_738\" -cp quarvel.jar;. "
        "com.quarvel.browser.Browser";
    EXPECT_EQ(lineFor(buildJavaLine, "java"), "java\\bin\\java" + tail);
    EXPECT_EQ(lineFor(buildJavaLine, "C:\\jdk\\"), "C:\\jdk\\bin\\java" + tail);
    EXPECT_EQ(lineFor(buildJavaLine, "C:\\jdk"), "C:\\jdk\\bin\\java" + tail);
    EXPECT_EQ(lineFor(buildJreFallbackLine, "C:\\jdk\\"),
              "C:\\jdk\\bin\\java -mx64m \"-Dlauncher.workarea=0_0_1024_738\" -classpath "
              "C:\\jdk\\lib\\classes.zip;quarvel.jar;. com.quarvel.browser.Browser");
    EXPECT_EQ(lineFor(buildJavaLine, ""), "bin\\java" + tail);
}

// What the runtime receives, split by the C runtime's rules, for awkward folders.
TEST_F(LaunchLinesTest, RuntimeReceivesExactlyTheFoldersAndTheMainClass) {
    const struct {
        const char* home;
        const char* documents;
    } cases[] = {
        {"C:\\Program Files\\Java\\jre1.4.2", "C:\\"},
        {"C:\\Program Files\\Java\\jre1.4.2\\", "C:\\My Documents"},
        {"C:\\Tab\there", "\\\\server\\share\\"},
        {"java", "D:\\a b\\"},
    };
    launcherState.workArea = {-1280, 0, 0, 1024};
    for (const auto& c : cases) {
        launcherState.documentsDirectory = const_cast<char*>(c.documents);
        std::string folder = c.home;
        if (folder.back() != '\\') folder += '\\';

        const std::vector<std::string> java = splitArguments(lineFor(buildJavaLine, c.home));
        ASSERT_EQ(java.size(), 6u) << c.home;
        EXPECT_EQ(java[0], folder + "bin\\java");
        EXPECT_EQ(java[1], std::string("-Dlauncher.mydocs=") + c.documents);
        EXPECT_EQ(java[2], "-Dlauncher.workarea=-1280_0_1280_1024");
        EXPECT_EQ(java[3], "-cp");
        EXPECT_EQ(java[4], "quarvel.jar;.");
        EXPECT_EQ(java[5], "com.quarvel.browser.Browser");

        const std::vector<std::string> jre = splitArguments(lineFor(buildJreFallbackLine, c.home));
        ASSERT_EQ(jre.size(), 7u) << c.home;
        EXPECT_EQ(jre[0], folder + "bin\\java");
        EXPECT_EQ(jre[2], std::string("-Dlauncher.mydocs=") + c.documents);
        EXPECT_EQ(jre[5], folder + "lib\\classes.zip;quarvel.jar;.");
        EXPECT_EQ(jre[6], "com.quarvel.browser.Browser");
    }
}

// A recording platform: which lines ran, which texts were posted, and scripted results.
struct Recorder {
    static std::vector<std::string> posted;
    static std::vector<std::string> ran;
    static std::vector<bool> results;  // consumed in order; false once exhausted

    static bool postStatus(const char* text) {
        posted.push_back(text);
        return true;
    }
    static bool runAndWatch(char* line) {
        ran.push_back(line);
        if (results.empty()) return false;
        const bool result = results.front();
        results.erase(results.begin());
        return result;
    }
    static void reset(std::vector<bool> scripted) {
        posted.clear();
        ran.clear();
        results = scripted;
    }
    // A home the system's code page cannot spell goes by its short name.
    static const char* runtimeForm(const char* home, char* buffer, unsigned capacity) {
        if (strcmp(home,
                   "C:\\\xC5\x81\xC3\xB3"
                   "d\xC5\xBA") != 0)
            return home;  // C:\Łódź
        snprintf(buffer, capacity, "C:\\LD8F~1");
        return buffer;
    }
};
std::vector<std::string> Recorder::posted;
std::vector<std::string> Recorder::ran;
std::vector<bool> Recorder::results;

const LauncherPlatform recorderPlatform = {Recorder::postStatus,
                                           Recorder::runAndWatch,
                                           nullptr,
                                           nullptr,
                                           nullptr,
                                           nullptr,
                                           nullptr,
                                           nullptr,
                                           Recorder::runtimeForm,
                                           nullptr};

std::string programOf(const std::string& line) {
    return splitArguments(line)[0];
}

TEST_F(LaunchLinesTest, VariantsRunTheirLinesInOrderUntilOneStarts) {
    const struct {
        const char* name;
        bool (*launch)(const LauncherPlatform&, const char*);
        std::vector<bool> results;
        bool expected;
        std::vector<std::string> programs;
        size_t statusCount;
    } cases[] = {
        {"java ok", launchWithJava, {true}, true, {"C:\\jdk\\bin\\java"}, 1},
        {"java fails", launchWithJava, {false}, false, {"C:\\jdk\\bin\\java"}, 1},
        {"jre first ok", launchWithJre, {true}, true, {"C:\\jdk\\bin\\jre"}, 1},
        {"jre second ok",
         launchWithJre,
         {false, true},
         true,
         {"C:\\jdk\\bin\\jre", "C:\\jdk\\bin\\java"},
         1},
        {"prefer java ok", launchPreferJava, {true}, true, {"C:\\jdk\\bin\\java"}, 1},
        {"prefer all fail",
         launchPreferJava,
         {false, false, false},
         false,
         {"C:\\jdk\\bin\\java", "C:\\jdk\\bin\\jre", "C:\\jdk\\bin\\java"},
         2},
        {"prefer jre ok",
         launchPreferJava,
         {false, true},
         true,
         {"C:\\jdk\\bin\\java", "C:\\jdk\\bin\\jre"},
         2},
    };
    for (const auto& c : cases) {
        Recorder::reset(c.results);
        EXPECT_EQ(c.launch(recorderPlatform, "C:\\jdk"), c.expected) << c.name;
        std::vector<std::string> programs;
        for (const auto& line : Recorder::ran) programs.push_back(programOf(line));
        EXPECT_EQ(programs, c.programs) << c.name;
        EXPECT_EQ(Recorder::posted, std::vector<std::string>(c.statusCount, "C:\\jdk")) << c.name;
    }
    // A home that the runtime could not read as it is: the status shows it, every line (the
    // class path's classes.zip too) has its short form.
    const char* unreadable =
        "C:\\\xC5\x81\xC3\xB3"
        "d\xC5\xBA";
    Recorder::reset({false, false, false});
    EXPECT_FALSE(launchPreferJava(recorderPlatform, unreadable));
    EXPECT_EQ(Recorder::posted, std::vector<std::string>(2, unreadable));
    ASSERT_EQ(Recorder::ran.size(), 3u);
    for (const std::string& line : Recorder::ran) {
        EXPECT_EQ(line.find("\xC5"), std::string::npos) << line;
        EXPECT_EQ(line.compare(0, 10, "C:\\LD8F~1\\"), 0) << line;
    }
    EXPECT_NE(Recorder::ran[2].find("-classpath C:\\LD8F~1\\lib\\classes.zip;"), std::string::npos);
    Recorder::reset({false});
    EXPECT_FALSE(launchWithJview(recorderPlatform));
    EXPECT_EQ(Recorder::posted, std::vector<std::string>{"jview"});
    EXPECT_EQ(programOf(Recorder::ran.at(0)), "jview");

    Recorder::reset({true});
    EXPECT_TRUE(launchWithSearchedJava(recorderPlatform));
    EXPECT_EQ(Recorder::posted, std::vector<std::string>{"java"});
    EXPECT_EQ(programOf(Recorder::ran.at(0)), "java");
}

TEST_F(LaunchLinesTest, ALineWithoutMemoryRunsAsTheEmptyText) {
    const CommandStringMemory saved = commandStringMemory;
    commandStringMemory.allocate = [](size_t) -> void* { return nullptr; };
    Recorder::reset({true});
    const bool started = launchWithJava(recorderPlatform, "C:\\jdk");
    commandStringMemory = saved;
    EXPECT_TRUE(started);  // the platform decides; the line it was handed was empty
    EXPECT_EQ(Recorder::ran, std::vector<std::string>{""});
}

}  // namespace
