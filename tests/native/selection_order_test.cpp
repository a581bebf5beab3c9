#include <set>
#include <string>
#include <vector>

#include "argument_split.h"
#include "launch/selection_order.h"
#include "state_fixture.h"

namespace {

// A scripted machine: which folders exist, what the registry holds, which programs start the
// application; and a record of every line run and message shown.
struct Machine {
    static std::set<std::string> folders;
    static std::vector<std::pair<std::string, RuntimeVersion>> registry;
    static std::set<std::string> working;  // program paths that start the application
    static std::vector<std::string> programsRun;
    static std::vector<std::string> errors;
    static int scans;

    static bool postStatus(const char*) { return true; }
    static bool runAndWatch(char* line) {
        const std::string program = splitArguments(line)[0];
        programsRun.push_back(program);
        return working.count(program) > 0;
    }
    static bool pathExists(const char* path, int expectFolder) {
        return expectFolder == 1 && folders.count(path) > 0;
    }
    static void collect(RuntimeList& list) {
        ++scans;
        for (const auto& entry : registry) mergeRuntime(list, entry.first.c_str(), entry.second);
    }
    static void showError(const char* text) { errors.push_back(text); }
};
std::set<std::string> Machine::folders;
std::vector<std::pair<std::string, RuntimeVersion>> Machine::registry;
std::set<std::string> Machine::working;
std::vector<std::string> Machine::programsRun;
std::vector<std::string> Machine::errors;
int Machine::scans;

const LauncherPlatform machine = {Machine::postStatus, Machine::runAndWatch, Machine::pathExists,
                                  Machine::collect, Machine::showError};

class SelectionTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        Machine::folders.clear();
        Machine::registry.clear();
        Machine::working.clear();
        Machine::programsRun.clear();
        Machine::errors.clear();
        Machine::scans = 0;
    }
};

const std::vector<std::pair<std::string, RuntimeVersion>> sevenRuntimes = {
    {"R1\\", {1, 5, 0, 6}},  {"R2\\", {1, 4, 2, 3}}, {"R3\\", {1, 3, 1, 2}}, {"R4\\", {1, 2, 2, 0}},
    {"R5\\", {1, 1, 8, 10}}, {"R6\\", {1, 1, 7, 0}}, {"R7\\", {1, 0, 2, 0}},
};

TEST_F(SelectionTest, RegisteredRuntimesAreTriedInTiersWithJviewBetween) {
    Machine::registry = sevenRuntimes;
    EXPECT_FALSE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun,
              (std::vector<std::string>{"R1\\bin\\java", "R2\\bin\\java", "jview", "R5\\bin\\jre",
                                        "R5\\bin\\java", "R3\\bin\\java", "R4\\bin\\java",
                                        "R6\\bin\\jre", "R6\\bin\\java"}));
    EXPECT_TRUE(Machine::errors.empty());
}

TEST_F(SelectionTest, TheFirstSuccessEndsTheSelection) {
    Machine::registry = sevenRuntimes;
    Machine::working = {"R5\\bin\\java"};
    EXPECT_TRUE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun.back(), "R5\\bin\\java");
    EXPECT_EQ(Machine::programsRun.size(), 5u);
}

TEST_F(SelectionTest, ListsWithVersionlessNodes) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, RuntimeVersion>> registry;
        std::vector<std::string> programs;
    } cases[] = {
        {"empty list: jview alone", {}, {"jview"}},
        {"first major 0: nothing at all", {{"X\\", {0, 0, 0, 0}}, {"Y\\", {0, 0, 0, 0}}}, {}},
        {"only 1.0: jview alone", {{"A\\", {1, 0, 2, 0}}}, {"jview"}},
        {"1.4.2, 0.0.0: both in tier 1",
         {{"A\\", {1, 4, 2, 0}}, {"Z\\", {0, 0, 0, 0}}},
         {"A\\bin\\java", "Z\\bin\\java", "jview"}},
        {"1.3.1, 0.0.0: second in tier 4",
         {{"A\\", {1, 3, 1, 0}}, {"Z\\", {0, 0, 0, 0}}},
         {"jview", "A\\bin\\java", "Z\\bin\\java"}},
        {"1.3.1, 1.1.7, 0.0.0: third in tier 5",
         {{"A\\", {1, 3, 1, 0}}, {"B\\", {1, 1, 7, 0}}, {"Z\\", {0, 0, 0, 0}}},
         {"jview", "A\\bin\\java", "B\\bin\\jre", "B\\bin\\java", "Z\\bin\\jre", "Z\\bin\\java"}},
        {"1.3.1, 1.0.2, 0.0.0: third never",
         {{"A\\", {1, 3, 1, 0}}, {"B\\", {1, 0, 2, 0}}, {"Z\\", {0, 0, 0, 0}}},
         {"jview", "A\\bin\\java"}},
        {"2.0 is tried by tier 1 like any newer runtime",
         {{"N\\", {2, 0, 0, 0}}, {"A\\", {1, 3, 0, 0}}},
         {"N\\bin\\java", "jview", "A\\bin\\java"}},
        {"1.1.8 before 1.3 and 1.2, with jre",
         {{"A\\", {1, 3, 0, 0}}, {"B\\", {1, 2, 0, 0}}, {"C\\", {1, 1, 8, 0}}},
         {"jview", "C\\bin\\jre", "C\\bin\\java", "A\\bin\\java", "B\\bin\\java"}},
    };
    for (const auto& c : cases) {
        Machine::registry = c.registry;
        Machine::programsRun.clear();
        EXPECT_FALSE(chooseAndLaunch(machine)) << c.name;
        EXPECT_EQ(Machine::programsRun, c.programs) << c.name;
    }
}

TEST_F(SelectionTest, LocalFoldersComeBeforeTheRegistry) {
    Machine::folders = {"java", "..\\java"};
    Machine::registry = {{"R\\", {1, 4, 0, 0}}};
    EXPECT_FALSE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun,
              (std::vector<std::string>{"java\\bin\\java", "java\\bin\\jre", "java\\bin\\java",
                                        "..\\java\\bin\\java", "..\\java\\bin\\jre",
                                        "..\\java\\bin\\java", "R\\bin\\java", "jview"}));

    Machine::programsRun.clear();
    Machine::folders = {"java"};
    Machine::working = {"java\\bin\\java"};
    EXPECT_TRUE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun, std::vector<std::string>{"java\\bin\\java"});
    EXPECT_EQ(Machine::scans, 1);  // only the first run reached the registry
}

TEST_F(SelectionTest, OverrideReplacesEveryOtherCandidate) {
    const struct {
        const char* value;
        bool folderExists;
        bool expected;
        std::vector<std::string> programs;
        std::vector<std::string> errors;
    } cases[] = {
        {"jview", false, false, {"jview"}, {}},
        {"JVIEW", false, true, {}, {"JavaHome not found\nJVIEW"}},
        {"C:\\jdk", false, true, {}, {"JavaHome not found\nC:\\jdk"}},
        {"", false, true, {}, {"JavaHome not found\n"}},
        {"C:\\jdk",
         true,
         false,
         {"C:\\jdk\\bin\\java", "C:\\jdk\\bin\\jre", "C:\\jdk\\bin\\java"},
         {}},
    };
    for (const auto& c : cases) {
        SetUp();
        Machine::folders = {"java", "..\\java"};
        Machine::registry = sevenRuntimes;
        if (c.folderExists) Machine::folders.insert(c.value);
        std::string value = c.value;
        launcherState.javaHomeOverride = &value[0];
        EXPECT_EQ(chooseAndLaunch(machine), c.expected) << c.value;
        EXPECT_EQ(Machine::programsRun, c.programs) << c.value;
        EXPECT_EQ(Machine::errors, c.errors) << c.value;
        EXPECT_EQ(Machine::scans, 0);
    }
}

}  // namespace
