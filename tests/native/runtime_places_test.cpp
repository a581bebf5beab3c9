#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "../common/runtime_rows.h"
#include "launch/release_file.h"
#include "launch/runtime_places.h"
#include "launch/trusted_owners.h"

namespace {

TEST(ReleaseFile, JavaVersionIsReadOnlyWhenWhole) {
    const struct {
        std::string text;
        const char* version;
    } cases[] = {
        {"IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"17.0.9\"\n", "17.0.9.0"},
        {"JAVA_VERSION=\"1.8.0_392\"\r\nOS_NAME=\"Windows\"\r\n", "1.8.0.392"},
        {"JAVA_VERSION=\"21\"", "21.0.0.0"},  // no line end at all
        {"\r\n\r\nJAVA_VERSION=\"11.0.21\"", "11.0.21.0"},
        {"JAVA_VERSION=17.0.9\n", "0.0.0.0"},                      // unquoted
        {"JAVA_VERSION=\"17.0.9\nJAVA_VERSION=\"1\"", "0.0.0.0"},  // unclosed: the first one counts
        {" JAVA_VERSION=\"17\"\nMY_JAVA_VERSION=\"18\"", "0.0.0.0"},  // only at a line's start
        {"JAVA_VERSION=\"" + std::string(63, '9') + "\"", "2147483647.0.0.0"},
        {"JAVA_VERSION=\"" + std::string(64, '1') + "\"", "0.0.0.0"},  // too long to be one
        {std::string(5000, 'x') + "\nJAVA_VERSION=\"19\"", "19.0.0.0"},
        {std::string("\0\xff\x01JAVA_VERSION=\"9\"\n", 20) + "JAVA_VERSION=\"10\"", "10.0.0.0"},
        {std::string("JAVA_VERSION=\"1\0.2\"", 19), "1.0.0.0"},
        {"JAVA_VERSION=\"", "0.0.0.0"},
        {"", "0.0.0.0"},
        // A pre-release ranks below its release; a build number is no update.
        {"JAVA_VERSION=\"23-ea\"", "23.0.0.0 pre-release"},
        {"JAVA_VERSION=\"21.0.1-beta+5\"", "21.0.1.0 pre-release"},
        {"JAVA_VERSION=\"21.0.1+12\"", "21.0.1.0"},
        {"JAVA_VERSION=\"1.8.0_392-b08\"", "1.8.0.392"},
        {"JAVA_VERSION=\"17-\"", "17.0.0.0 pre-release"},
        // As a vendor writes it: other keys first, and a long MODULES line.
        {"IMPLEMENTOR=\"Eclipse Adoptium\"\nIMPLEMENTOR_VERSION=\"Temurin-21.0.5+11\"\n"
         "JAVA_RUNTIME_VERSION=\"21.0.5+11-LTS\"\nLIBC=\"default\"\nMODULES=\"" +
             [] {
                 std::string modules;
                 for (int i = 0; i < 130; ++i) modules += "jdk.module" + std::to_string(i) + " ";
                 return modules;
             }() +
             "\"\nOS_ARCH=\"x86_64\"\nOS_NAME=\"Windows\"\nJAVA_VERSION=\"21.0.5\"\n"
             "JAVA_VERSION_DATE=\"2024-10-15\"\n",
         "21.0.5.0"},
    };
    for (const auto& c : cases) {
        // Copied to exactly its length, so that a reading past the end is caught.
        std::vector<char> bytes(c.text.begin(), c.text.end());
        EXPECT_EQ(describeVersion(releaseFileVersion(bytes.data(), bytes.size())), c.version)
            << c.text.substr(0, 60);
    }
    RuntimeVersion release = {23, 0, 0, 0}, early = {23, 0, 0, 0}, older = {22, 0, 2, 0};
    early.preRelease = true;
    EXPECT_GT(compareVersions(release, early), 0);
    EXPECT_GT(compareVersions(early, older), 0);
}

// A scripted file system: the variables, every folder's entries, the files and release files.
struct FakeFolders {
    struct Entry {
        std::string name, shortName;
        uint32_t attributes;
    };
    static std::map<std::string, std::string> variables;
    static std::map<std::string, std::vector<Entry>> folders;
    static std::map<std::string, std::string> files;  // path: content
    static std::vector<std::string> listed;
    // A home folder's owner, as its SID's bytes (none: it cannot be told); by default the user.
    static std::map<std::string, std::vector<uint8_t>> owners;
    static const std::vector<uint8_t> userSid;

    static void clear() {
        variables.clear();
        folders.clear();
        files.clear();
        listed.clear();
        owners.clear();
    }
    // Adds each folder of the path to its parent's entries, unless there already.
    static void addFolders(const std::string& path, uint32_t attributes = entryIsFolder) {
        for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
            const size_t next = path.find('\\', at + 1);
            const std::string parent = path.substr(0, at);
            const std::string name = path.substr(at + 1, next - at - 1);
            std::vector<Entry>& entries = folders[parent];
            bool known = false;
            for (const Entry& e : entries) known = known || e.name == name;
            if (!known)
                entries.push_back(
                    {name, "", next == std::string::npos ? attributes : entryIsFolder});
        }
    }
    // A Java home: bin\java.exe, and a release file stating the version unless it is null.
    static void addHome(const std::string& home, const char* version) {
        addFolders(home + "\\bin");
        files[home + "\\bin\\java.exe"] = "MZ";
        if (version != nullptr) {
            files[home + "\\release"] = "JAVA_VERSION=\"" + std::string(version) + "\"\n";
        }
    }

    static bool variable(const char* name, char* buffer, unsigned capacity) {
        const auto found = variables.find(name);
        if (found == variables.end() || found->second.size() >= capacity) return false;
        strcpy(buffer, found->second.c_str());
        return true;
    }
    static void listFolder(const char* folder, FolderVisit visit, void* context) {
        const auto found = folders.find(folder);
        if (found == folders.end()) return;
        listed.push_back(folder);
        std::vector<Entry> entries = {{".", "", entryIsFolder}, {"..", "", entryIsFolder}};
        entries.insert(entries.end(), found->second.begin(), found->second.end());
        for (const Entry& e : entries) {
            if (!visit(context, e.name.c_str(), e.shortName.c_str(), e.attributes)) return;
        }
    }
    static bool isFile(const char* path) { return files.count(path) > 0; }
    static size_t owner(const char* path, uint8_t* sid) {
        const auto found = owners.find(path);
        const std::vector<uint8_t>& owner = found != owners.end() ? found->second : userSid;
        std::copy(owner.begin(), owner.end(), sid);
        return owner.size();
    }
    static size_t user(uint8_t* sid) {
        std::copy(userSid.begin(), userSid.end(), sid);
        return userSid.size();
    }
    static size_t readStart(const char* path, char* buffer, size_t capacity) {
        const auto found = files.find(path);
        if (found == files.end()) return 0;
        const size_t count = std::min(capacity, found->second.size());
        memcpy(buffer, found->second.data(), count);
        return count;
    }
};
std::map<std::string, std::string> FakeFolders::variables;
std::map<std::string, std::vector<FakeFolders::Entry>> FakeFolders::folders;
std::map<std::string, std::string> FakeFolders::files;
std::vector<std::string> FakeFolders::listed;
std::map<std::string, std::vector<uint8_t>> FakeFolders::owners;
// S-1-5-21-0-0-0-1000, and another user of the machine, S-1-5-21-0-0-0-1001.
const std::vector<uint8_t> FakeFolders::userSid = {1, 5, 0, 0, 0, 0, 0, 5, 21, 0, 0,    0, 0, 0,
                                                   0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0xE8, 3, 0, 0};
const std::vector<uint8_t> otherUser = {1, 5, 0, 0, 0, 0, 0, 5, 21, 0, 0,    0, 0, 0,
                                        0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0xE9, 3, 0, 0};

const FolderAccess fakeAccess = {FakeFolders::variable, FakeFolders::listFolder,
                                 FakeFolders::isFile,   FakeFolders::readStart,
                                 FakeFolders::owner,    FakeFolders::user};

std::vector<std::string> search() {
    RuntimeList list;
    collectFolderRuntimes(fakeAccess, list);
    return runtimeRows(list);
}

class RuntimePlacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeFolders::clear();
        FakeFolders::variables = {{"ProgramW6432", "C:\\PF"},        {"ProgramFiles", "C:\\PF86"},
                                  {"ProgramFiles(x86)", "C:\\PF86"}, {"LOCALAPPDATA", "C:\\U\\L"},
                                  {"USERPROFILE", "C:\\U"},          {"APPDATA", "C:\\U\\R"},
                                  {"ProgramData", "C:\\PD"}};
    }
};

// Every place and layout, each home found once: newest first, equal versions in the order of the
// places and then by name, those without a release file's version last.
TEST_F(RuntimePlacesTest, EveryPlaceInItsOrder) {
    using F = FakeFolders;
    F::addHome("C:\\PF\\Zulu\\zulu-17", "17.0.9");
    F::addHome("C:\\PF\\Java\\jdk-17", "17.0.9");  // same version: by name, Java before Zulu
    F::addHome("C:\\PF\\SapMachine\\JDK\\21", "21");
    F::addHome("C:\\PF86\\Java\\jre1.8.0_392", "1.8.0_392");
    F::addHome("C:\\U\\L\\Programs\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot", "21.0.1");
    F::addHome("C:\\U\\.jdks\\corretto-17.0.9", "17.0.9");
    F::addHome("C:\\U\\.jbr\\jbr-17", nullptr);
    F::addHome("C:\\U\\.gradle\\jdks\\eclipse_adoptium-21-amd64-windows.2", "21.0.1");
    F::addHome("C:\\U\\.gradle\\jdks\\adoptium-11-x64\\jdk-11.0.12+7", "11.0.12");  // before 8.9
    F::addHome("C:\\U\\scoop\\apps\\temurin17-jdk\\current", "17.0.9");
    F::addHome("C:\\PD\\scoop\\apps\\openjdk\\current", "22");
    F::variables["SCOOP_GLOBAL"] = "C:\\PD\\scoop";
    F::addHome("C:\\U\\R\\.minecraft\\runtime\\java-runtime-gamma\\windows-x64\\java-runtime-gamma",
               "17.0.8");
    F::addHome("C:\\PF86\\Minecraft Launcher\\runtime\\jre-legacy\\windows-x86\\jre-legacy",
               "1.8.0_51");
    F::addFolders("C:\\PF\\Java\\not-a-home\\bin");  // no java.exe
    EXPECT_EQ(search(),
              (std::vector<std::string>{
                  "22.0.0.0 C:\\PD\\scoop\\apps\\openjdk\\current\\",
                  "21.0.1.0 C:\\U\\L\\Programs\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot\\",
                  "21.0.1.0 C:\\U\\.gradle\\jdks\\eclipse_adoptium-21-amd64-windows.2\\",
                  "21.0.0.0 C:\\PF\\SapMachine\\JDK\\21\\", "17.0.9.0 C:\\PF\\Java\\jdk-17\\",
                  "17.0.9.0 C:\\PF\\Zulu\\zulu-17\\", "17.0.9.0 C:\\U\\.jdks\\corretto-17.0.9\\",
                  "17.0.9.0 C:\\U\\scoop\\apps\\temurin17-jdk\\current\\",
                  "17.0.8.0 C:\\U\\R\\.minecraft\\runtime\\java-runtime-gamma\\windows-x64\\"
                  "java-runtime-gamma\\",
                  "11.0.12.0 C:\\U\\.gradle\\jdks\\adoptium-11-x64\\jdk-11.0.12+7\\",
                  "1.8.0.392 C:\\PF86\\Java\\jre1.8.0_392\\",
                  "1.8.0.51 C:\\PF86\\Minecraft Launcher\\runtime\\jre-legacy\\windows-x86\\"
                  "jre-legacy\\",
                  "0.0.0.0 C:\\U\\.jbr\\jbr-17\\"}));
    // The place a node carries names it in the log.
    RuntimeList list;
    collectFolderRuntimes(fakeAccess, list);
    EXPECT_STREQ(placeName(list.head->place), "Scoop's apps");
    EXPECT_STREQ(placeName(list.head->next->place), "a vendor's folder");
}

// Where a variable is unset its default stands in; a place whose variable and default are both
// unset, or whose folder is missing, is not read; a 32-bit system has ProgramFiles alone.
TEST_F(RuntimePlacesTest, VariablesAndTheirDefaults) {
    using F = FakeFolders;
    F::variables = {{"ProgramFiles", "C:\\PF"},
                    {"USERPROFILE", "C:\\U"},
                    {"GRADLE_USER_HOME", "D:\\G"},
                    {"SCOOP", "D:\\S"},
                    {"SCOOP_GLOBAL", "D:\\SG"}};
    F::addHome("C:\\PF\\Java\\jdk-21", "21");
    F::addHome("D:\\G\\jdks\\a", "17");
    F::addHome("C:\\U\\.gradle\\jdks\\b", "17");  // the default, not read while the variable is set
    F::addHome("D:\\S\\apps\\c\\current", "11");
    F::addHome("D:\\SG\\apps\\d\\current", "11");
    EXPECT_EQ(search(),
              (std::vector<std::string>{
                  "21.0.0.0 C:\\PF\\Java\\jdk-21\\", "17.0.0.0 D:\\G\\jdks\\a\\",
                  "11.0.0.0 D:\\S\\apps\\c\\current\\", "11.0.0.0 D:\\SG\\apps\\d\\current\\"}));
    for (const std::string& folder : F::listed) {
        EXPECT_EQ(folder.find("C:\\U\\.gradle"), std::string::npos) << folder;
    }
}

// Names the code page cannot spell go by their short names, or not at all; links and files are
// not followed; a Gradle entry with two folders is no home; bounds of 256 entries a folder and
// 128 homes in all.
TEST_F(RuntimePlacesTest, UntrustedNamesAndBounds) {
    using F = FakeFolders;
    F::addHome("C:\\U\\.jdks\\JDK~1", "17");
    F::folders["C:\\U\\.jdks"][0] = {"", "JDK~1", entryIsFolder};  // unspellable: its short name
    F::addHome("C:\\U\\.jdks\\x", "11");
    F::folders["C:\\U\\.jdks"][1] = {"", "", entryIsFolder};  // no short name: left out
    F::addHome("C:\\U\\.jdks\\linked", "21");
    F::folders["C:\\U\\.jdks"][2].attributes = entryIsFolder | entryIsLink;
    F::addHome("C:\\U\\.gradle\\jdks\\two\\one", "17");
    F::addHome("C:\\U\\.gradle\\jdks\\two\\other", "17");
    F::folders["C:\\U\\.gradle\\jdks"].push_back({"file", "", 0x20});
    EXPECT_EQ(search(), std::vector<std::string>{"17.0.0.0 C:\\U\\.jdks\\JDK~1\\"});

    // Of 300 entries only the first 256 are read, "." and ".." among them: of the homes at 250 to
    // 259, the first four.
    F::clear();
    SetUp();
    for (int i = 0; i < 300; ++i) F::addFolders("C:\\PF\\Java\\" + std::to_string(1000 + i));
    for (int i = 250; i < 260; ++i) F::addHome("C:\\PF\\Java\\" + std::to_string(1000 + i), "1");
    EXPECT_EQ(search(), (std::vector<std::string>{
                            "1.0.0.0 C:\\PF\\Java\\1250\\", "1.0.0.0 C:\\PF\\Java\\1251\\",
                            "1.0.0.0 C:\\PF\\Java\\1252\\", "1.0.0.0 C:\\PF\\Java\\1253\\"}));
    // 200 homes in one place: its share of 32 is taken, no other folder of it is read, and the
    // next place is: a newer runtime in the IDE's downloads is not hidden. Where two places are
    // one folder (ProgramFiles(x86) named like ProgramW6432), the homes listed already take none
    // of the second's share: it adds the next 32.
    F::clear();
    SetUp();
    for (int i = 0; i < 200; ++i) F::addHome("C:\\PF\\Java\\" + std::to_string(1000 + i), "8");
    F::addHome("C:\\PF\\Zulu\\newer", "11");
    F::addHome("C:\\U\\.jdks\\jdk-21", "21");
    std::vector<std::string> found = search();
    ASSERT_EQ(found.size(), homesPerPlace + 1);
    EXPECT_EQ(found[0], "21.0.0.0 C:\\U\\.jdks\\jdk-21\\");
    EXPECT_EQ(found[homesPerPlace], "8.0.0.0 C:\\PF\\Java\\1031\\");
    EXPECT_EQ(F::listed, (std::vector<std::string>{"C:\\PF\\Java", "C:\\U\\.jdks"}));
    F::variables["ProgramFiles(x86)"] = "C:\\PF";
    found = search();
    ASSERT_EQ(found.size(), 2 * homesPerPlace + 1);
    EXPECT_EQ(found.back(), "8.0.0.0 C:\\PF\\Java\\1063\\");
}

// Outside the user's profile and the Program Files folders other users may make folders: a home
// there is taken only from a trusted owner, or the user; the machine-wide Scoop folder is searched
// only where SCOOP_GLOBAL names it.
TEST_F(RuntimePlacesTest, HomesWhereOthersMayWriteNeedATrustedOwner) {
    using F = FakeFolders;
    const std::vector<uint8_t> system = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
    const std::vector<uint8_t> administrators = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 32, 2, 0, 0};
    const std::vector<uint8_t> trustedInstaller = {1,    6,    0,    0,    0,    0,    0,    5,
                                                   80,   0,    0,    0,    0xB5, 0x89, 0xFB, 0x38,
                                                   0x19, 0x84, 0xC2, 0xCB, 0x5C, 0x6C, 0x23, 0x6D,
                                                   0x57, 0x00, 0x77, 0x6E, 0xC0, 0x02, 0x64, 0x87};
    const struct {
        const char* home;
        std::vector<uint8_t> owner;
        bool taken;
    } homes[] = {
        {"D:\\Global\\apps\\a\\current", system, true},
        {"D:\\Global\\apps\\b\\current", otherUser, false},
        {"D:\\Global\\apps\\c\\current", {}, false},      // an owner that cannot be told
        {"D:\\Global\\apps\\k\\current", system, false},  // its program is another user's
        {"D:\\Gradle\\jdks\\d", administrators, true},
        {"D:\\Gradle\\jdks\\e", trustedInstaller, true},
        {"D:\\Gradle\\jdks\\f", F::userSid, true},
        {"C:\\Ux\\scoop\\apps\\g\\current", otherUser, false},   // not in the profile C:\U
        {"C:\\U\\.jdks\\h", otherUser, true},                    // in the profile
        {"C:\\PF86\\Java\\i", otherUser, true},                  // in a Program Files folder
        {"C:\\PD\\scoop\\apps\\j\\current", F::userSid, false},  // not searched at all
    };
    F::variables["SCOOP_GLOBAL"] = "D:\\Global";
    F::variables["GRADLE_USER_HOME"] = "D:\\Gradle";
    F::variables["SCOOP"] = "C:\\Ux\\scoop";
    std::vector<std::string> expected;
    int version = 99;
    for (const auto& h : homes) {
        F::addHome(h.home, std::to_string(version).c_str());
        F::owners[h.home] = h.owner;
        if (strstr(h.home, "\\k\\") != nullptr)
            F::owners[h.home + std::string("\\bin\\java.exe")] = otherUser;
        if (h.taken) expected.push_back(std::to_string(version) + ".0.0.0 " + h.home + "\\");
        --version;
    }
    EXPECT_EQ(search(), expected);
    std::vector<uint8_t> cut = trustedInstaller;
    cut.resize(28);
    EXPECT_FALSE(trustedOwner(cut.data(), cut.size(), nullptr, 0)) << "a SID cut short";
}

}  // namespace
