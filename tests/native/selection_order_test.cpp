#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "argument_split.h"
#include "launch/selection_order.h"
#include "launch/tried_homes.h"
#include "state_fixture.h"

namespace {

// One runtime as a registry key lists it.
struct Registered {
    std::string home;
    RuntimeVersion version;
    RuntimeSource source = javaSoftKey;
};

// A scripted machine: which folders exist, what the registry holds, which programs start the
// application; and a record of every line run and message shown.
struct Machine {
    static std::set<std::string> folders;
    static std::vector<Registered> registry;
    static std::set<std::string> working;  // program paths that start the application
    static std::vector<std::string> programsRun;
    static std::vector<std::string> errors;
    static int scans;
    // The last resort's sources.
    static const char* javaHome;  // null: unset
    static std::vector<Registered> furtherRegistry;
    static int javaHomeReads;
    static int furtherScans;
    static std::vector<Registered> unregistered;  // in folders where runtimes are put
    static int unregisteredScans;
    static std::set<std::string> oneFolder;  // texts that all name one folder on disk

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
        for (const Registered& r : registry)
            mergeRuntime(list, r.home.c_str(), r.version, r.source);
    }
    static void showError(const char* text) { errors.push_back(text); }
    // As the platform reads it: a value longer than a path may be is refused.
    static bool readJavaHome(char* buffer, unsigned capacity) {
        ++javaHomeReads;
        if (javaHome == nullptr || strlen(javaHome) > 260 || strlen(javaHome) >= capacity) {
            return false;
        }
        strcpy(buffer, javaHome);
        return true;
    }
    static void collectFurther(RuntimeList& list) {
        ++furtherScans;
        for (const Registered& r : furtherRegistry) {
            mergeRuntime(list, r.home.c_str(), r.version, r.source);
        }
    }
    static bool identify(const char* path, FolderIdentity& identity) {
        identity = {7, 0, 42};
        return oneFolder.count(path) > 0;
    }
    static void collectUnregistered(RuntimeList& list) {
        ++unregisteredScans;
        for (const Registered& r : unregistered) {
            mergeRuntime(list, r.home.c_str(), r.version, folderSearch);
        }
    }
};
std::set<std::string> Machine::folders;
std::vector<Registered> Machine::registry;
std::set<std::string> Machine::working;
std::vector<std::string> Machine::programsRun;
std::vector<std::string> Machine::errors;
int Machine::scans;
const char* Machine::javaHome;
std::vector<Registered> Machine::furtherRegistry;
int Machine::javaHomeReads;
int Machine::furtherScans;
std::vector<Registered> Machine::unregistered;
int Machine::unregisteredScans;
std::set<std::string> Machine::oneFolder;

const char* asItIs(const char* home, char*, unsigned) {
    return home;
}
const LauncherPlatform machine = {
    Machine::postStatus,     Machine::runAndWatch,         Machine::pathExists,
    Machine::collect,        Machine::showError,           Machine::readJavaHome,
    Machine::collectFurther, Machine::collectUnregistered, asItIs,
    Machine::identify};

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
        Machine::javaHome = nullptr;
        Machine::furtherRegistry.clear();
        Machine::javaHomeReads = 0;
        Machine::furtherScans = 0;
        Machine::unregistered.clear();
        Machine::unregisteredScans = 0;
        Machine::oneFolder.clear();
    }
};

const std::vector<Registered> sevenRuntimes = {
    {"R1\\", {1, 5, 0, 6}},  {"R2\\", {1, 4, 2, 3}}, {"R3\\", {1, 3, 1, 2}}, {"R4\\", {1, 2, 2, 0}},
    {"R5\\", {1, 1, 8, 10}}, {"R6\\", {1, 1, 7, 0}}, {"R7\\", {1, 0, 2, 0}},
};

TEST_F(SelectionTest, RegisteredRuntimesAreTriedInTiersWithJviewBetween) {
    Machine::registry = sevenRuntimes;
    EXPECT_FALSE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun,
              (std::vector<std::string>{"R1\\bin\\java", "R2\\bin\\java", "jview", "R5\\bin\\jre",
                                        "R5\\bin\\java", "R3\\bin\\java", "R4\\bin\\java",
                                        "R6\\bin\\jre", "R6\\bin\\java", "java"}));
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
        std::vector<Registered> registry;
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
        // Then the last resort, which here has only the program search's "java".
        std::vector<std::string> expected = c.programs;
        expected.push_back("java");
        EXPECT_EQ(Machine::programsRun, expected) << c.name;
    }
}

TEST_F(SelectionTest, LocalFoldersComeBeforeTheRegistry) {
    Machine::folders = {"java", "..\\java"};
    Machine::registry = {{"R\\", {1, 4, 0, 0}}};
    EXPECT_FALSE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun,
              (std::vector<std::string>{"java\\bin\\java", "java\\bin\\jre", "java\\bin\\java",
                                        "..\\java\\bin\\java", "..\\java\\bin\\jre",
                                        "..\\java\\bin\\java", "R\\bin\\java", "jview", "java"}));

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
        EXPECT_EQ(Machine::javaHomeReads + Machine::furtherScans + Machine::unregisteredScans, 0)
            << "no last resort";
    }
}

const std::string edgeJavaHome = "C:\\" + std::string(257, 'j');
const std::string longJavaHome = edgeJavaHome + "j";

// The last resort, after every tier failed: JAVA_HOME, the further registered runtimes newest
// first from version 1.2 on, then "java" through the program search, then the runtimes that
// nothing registers, read only now; no home twice.
TEST_F(SelectionTest, LastResortOrderAndEachHomeOnce) {
    typedef std::vector<Registered> Runtimes;
    const struct {
        const char* name;
        std::set<std::string> folders;
        Runtimes registry;
        const char* javaHome;
        Runtimes further;
        std::vector<std::string> programs;
        Runtimes unregistered = {};  // their programs follow "java"
        std::set<std::string> oneFolder = {};
    } cases[] = {
        {"one home in five forms is tried once: a doubled backslash, forward slashes, a short "
         "name, a junction's target",
         {"D:\\S\\\\apps\\jdk\\current\\"},
         {{"D:\\S\\apps\\jdk\\current\\", {1, 4, 2, 0}}},
         "D:\\S\\\\apps\\jdk\\current\\",
         {{"d:/s/apps/jdk/current/", {17, 0, 0, 0}}},
         {"D:\\S\\apps\\jdk\\current\\bin\\java", "jview", "java"},
         {{"D:\\S\\APPS\\JDK~1\\CURRENT\\", {21, 0, 1, 0}},
          {"D:\\S\\apps\\jdk\\21.0.1\\", {21, 0, 1, 0}}},
         {"D:\\S\\apps\\jdk\\current\\", "D:\\S\\\\apps\\jdk\\current\\", "d:/s/apps/jdk/current/",
          "D:\\S\\APPS\\JDK~1\\CURRENT\\", "D:\\S\\apps\\jdk\\21.0.1\\"}},
        {"all three sources, in order",
         {"C:\\jh"},
         {},
         "C:\\jh",
         {{"J8\\", {1, 8, 0, 202}}, {"J17\\", {17, 0, 0, 0}}, {"J11\\", {11, 0, 2, 0}}},
         {"jview", "C:\\jh\\bin\\java", "J17\\bin\\java", "J11\\bin\\java", "J8\\bin\\java",
          "java"}},
        {"JAVA_HOME empty, or not a folder, is passed over",
         {},
         {},
         "C:\\nowhere",
         {},
         {"jview", "java"}},
        {"JAVA_HOME empty", {}, {}, "", {}, {"jview", "java"}},
        {"the 1.2 floor, and majors below 1",
         {},
         {},
         nullptr,
         {{"A\\", {1, 2, 0, 0}},
          {"B\\", {1, 1, 8, 0}},
          {"C\\", {1, 0, 2, 0}},
          {"D\\", {0, 9, 0, 0}},
          {"E\\", {2, 0, 0, 0}}},
         {"jview", "E\\bin\\java", "A\\bin\\java", "java"}},
        {"homes the tiers tried, in any case and with or without the backslash",
         {"c:\\r1"},
         {{"C:\\R1\\", {1, 4, 2, 0}}, {"C:\\R7\\", {1, 0, 2, 0}}},
         "c:\\r1",
         {{"c:\\r1", {17, 0, 0, 0}}, {"C:\\R7", {11, 0, 0, 0}}},
         // R7 (1.0) was never tried by the tiers, so the last resort tries it.
         {"C:\\R1\\bin\\java", "jview", "C:\\R7\\bin\\java", "java"}},
        {"a local folder counts as tried",
         {"java"},
         {},
         "java",
         {{"JAVA\\", {17, 0, 0, 0}}},
         {"java\\bin\\java", "java\\bin\\jre", "java\\bin\\java", "jview", "java"}},
        {"JAVA_HOME counts as tried for the further runtimes",
         {"D:\\jdk17\\"},
         {},
         "D:\\jdk17\\",
         {{"d:\\JDK17", {17, 0, 0, 0}}},
         {"jview", "D:\\jdk17\\bin\\java", "java"}},
        {"JAVA_HOME of 260 characters, the most that its buffer holds, is tried",
         {edgeJavaHome},
         {},
         edgeJavaHome.c_str(),
         {},
         {"jview", edgeJavaHome + "\\bin\\java", "java"}},
        {"JAVA_HOME of 261 characters is not read",
         {longJavaHome},
         {},
         longJavaHome.c_str(),
         {},
         {"jview", "java"}},
        {"after a first node with major 0",
         {},
         {{"X\\", {0, 0, 0, 0}}},
         nullptr,
         {{"X\\", {17, 0, 0, 0}}},
         {"X\\bin\\java", "java"}},
        {"unregistered runtimes last, newest first, those without a version too, none tried twice",
         {"C:\\jh"},
         {{"C:\\R1\\", {1, 4, 2, 0}}},
         "C:\\jh",
         {{"C:\\T\\", {17, 0, 0, 0}}},
         {"C:\\R1\\bin\\java", "jview", "C:\\jh\\bin\\java", "C:\\T\\bin\\java", "java",
          "C:\\F21\\bin\\java", "C:\\F11\\bin\\java", "C:\\None\\bin\\java"},
         {{"C:\\None\\", {0, 0, 0, 0}},
          {"C:\\F11\\", {11, 0, 0, 0}},
          {"c:\\r1", {21, 0, 0, 0}},
          {"C:\\JH\\", {21, 0, 0, 0}},
          {"c:\\t\\", {17, 0, 0, 0}},
          {"C:\\F21\\", {21, 0, 0, 0}}}},
    };
    for (const auto& c : cases) {
        SetUp();
        Machine::folders = c.folders;
        Machine::registry = c.registry;
        Machine::javaHome = c.javaHome;
        Machine::furtherRegistry = c.further;
        Machine::unregistered = c.unregistered;
        Machine::oneFolder = c.oneFolder;
        EXPECT_FALSE(chooseAndLaunch(machine)) << c.name;
        EXPECT_EQ(Machine::programsRun, c.programs) << c.name;
        EXPECT_EQ(Machine::furtherScans, 1) << c.name;
        EXPECT_EQ(Machine::unregisteredScans, 1) << c.name;
    }
}

// The vendors' runtimes join the last resort's list: newest first with the JavaSoft ones, those
// without a version last in the order found, every one of them tried whatever its version, and no
// home a second time, whichever key named it first.
TEST_F(SelectionTest, VendorRuntimesInTheLastResort) {
    const RuntimeVersion none = {0, 0, 0, 0};
    Machine::folders = {"C:\\jh"};
    Machine::javaHome = "C:\\jh";
    Machine::registry = {{"C:\\Java\\jre142\\", {1, 4, 2, 0}}};
    Machine::furtherRegistry = {
        {"C:\\JDK\\17\\", {17, 0, 0, 0}},  // JavaSoft JDK key
        {"C:\\Temurin\\jdk-21.0.5.11-hotspot\\", {21, 0, 5, 11}, vendorKey},
        {"C:\\Liberica\\", none, vendorKey},                     // no version in its name
        {"C:\\Zulu\\zulu-17\\", {17, 0, 0, 0}, vendorKey},       // equal to JDK 17: behind
        {"c:\\java\\JRE142", {21, 0, 5, 11}, vendorKey},         // the tiers tried it
        {"C:\\JH\\", {11, 0, 0, 0}, vendorKey},                  // JAVA_HOME tried it
        {"C:\\Corretto\\", none, vendorKey},                     // versionless, found later
        {"C:\\Old\\", {1, 1, 8, 0}, vendorKey},                  // a vendor's: tried
        {"C:\\NoDigits\\", none},                                // a JavaSoft one: too old
        {"c:\\temurin\\JDK-21.0.5.11-HOTSPOT", {21, 0, 5, 11}},  // the same home again
    };
    EXPECT_FALSE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun,
              (std::vector<std::string>{"C:\\Java\\jre142\\bin\\java", "jview", "C:\\jh\\bin\\java",
                                        "C:\\Temurin\\jdk-21.0.5.11-hotspot\\bin\\java",
                                        "C:\\JDK\\17\\bin\\java", "C:\\Zulu\\zulu-17\\bin\\java",
                                        "C:\\Old\\bin\\java", "C:\\Liberica\\bin\\java",
                                        "C:\\Corretto\\bin\\java", "java"}));
}

TEST_F(SelectionTest, LastResortStopsAtTheFirstStartAndIsNeverReachedAfterASpecifiedOne) {
    Machine::folders = {"C:\\jh"};
    Machine::javaHome = "C:\\jh";
    Machine::furtherRegistry = {{"J17\\", {17, 0, 0, 0}}, {"J11\\", {11, 0, 0, 0}}};

    Machine::working = {"J17\\bin\\java"};
    EXPECT_TRUE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun,
              (std::vector<std::string>{"jview", "C:\\jh\\bin\\java", "J17\\bin\\java"}));

    Machine::programsRun.clear();
    Machine::working = {"java"};
    EXPECT_TRUE(chooseAndLaunch(machine));
    EXPECT_EQ(Machine::programsRun.back(), "java");
    EXPECT_EQ(Machine::unregisteredScans, 0) << "read only when everything else failed";

    // A specified candidate that starts leaves JAVA_HOME unread and no further key opened.
    for (const char* starts : {"java\\bin\\java", "R5\\bin\\java", "jview"}) {
        SetUp();
        Machine::folders = {"java", "C:\\jh"};
        Machine::registry = sevenRuntimes;
        Machine::javaHome = "C:\\jh";
        Machine::furtherRegistry = {{"J17\\", {17, 0, 0, 0}}};
        Machine::working = {starts};
        EXPECT_TRUE(chooseAndLaunch(machine)) << starts;
        EXPECT_EQ(Machine::programsRun.back(), starts);
        EXPECT_EQ(Machine::javaHomeReads + Machine::furtherScans + Machine::unregisteredScans, 0)
            << starts;
    }
}

TEST(TriedHomes, SameHomeIgnoresCaseAndOneFinalBackslash) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\jdk", "c:\\JDK\\", true},
        {"C:\\jdk\\", "C:\\jdk\\", true},
        {"", "\\", true},
        {"C:\\jdk", "C:\\jdk1", false},
        {"C:\\jdk\\\\", "C:\\jdk", false},
        {"java", "..\\java", false},
        {"C:\\j\xc4", "C:\\j\xe4", false},  // only ASCII letters fold
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameHome(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(sameHome(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
    TriedHomes tried;
    std::vector<std::string> homes;
    for (int i = 0; i < 100; ++i) homes.push_back("C:\\rt" + std::to_string(i));
    for (const std::string& home : homes) tried.remember(home.c_str());
    EXPECT_TRUE(tried.contains("c:\\RT0\\"));
    EXPECT_TRUE(tried.contains("C:\\rt99"));
    EXPECT_FALSE(tried.contains("C:\\rt100"));
}

}  // namespace
