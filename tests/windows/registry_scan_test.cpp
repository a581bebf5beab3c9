// The registry scan against real keys written in the test prefix.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "../common/runtime_rows.h"
#include "launch/registry_scan.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const std::string jre = "Java Runtime Environment";
const std::string plugin = "Java Plug-in";
const std::string jdk = "Java Development Kit";

std::vector<std::string> scan() {
    RuntimeList list;
    collectInstalledRuntimes(list);
    return runtimeRows(list);
}

TEST(RegistryScan, WorkedExampleAcrossTheThreeKeys) {
    CleanRuntimeKeys clean;
    EXPECT_TRUE(scan().empty()) << "no keys at all";
    registerRuntime(jre, "1.3.1", "C:\\JRE\\1.3.1");
    registerRuntime(jre, "1.4", "C:\\Java\\jre142", "2");
    registerRuntime(jre, "1.4.2_03", "C:\\Java\\jre142");
    registerRuntime(plugin, "1.4.2_03", "c:\\java\\JRE142\\");
    registerRuntime(jdk, "1.4", "C:\\SDK\\jdk142", "2");
    EXPECT_EQ(scan(),
              (std::vector<std::string>{"1.4.2.3 C:\\Java\\jre142\\", "1.4.2.0 C:\\SDK\\jdk142\\",
                                        "1.3.1.0 C:\\JRE\\1.3.1\\"}));
}

TEST(RegistryScan, OddEntriesAreReadWithinTheirBuffers) {
    CleanRuntimeKeys clean;
    const std::string base = "SOFTWARE\\JavaSoft\\" + jre + "\\";
    // A subkey without JavaHome adds nothing.
    setRegistryValue(base + "1.6", "Other", REG_SZ, "x", 2);
    // A name with blanks is trimmed before the subkey is opened, so here it opens its plain twin
    // (and C:\\Blank never shows); values lose their blanks too.
    registerRuntime(jre, " 1.5.0_06-b05 ", "C:\\Blank");
    registerRuntime(jre, "1.5.0_06-b05", " C:\\JRE ");
    // A MicroVersion stored as a number is read as text: no digits, so micro stays 0.
    const DWORD two = 2;
    registerRuntime(jre, "1.4", "C:\\Dword");
    setRegistryValue(base + "1.4", "MicroVersion", REG_DWORD, &two, sizeof two);
    // A JavaHome without its terminating NUL.
    setRegistryValue(base + "1.3", "JavaHome", REG_SZ, "C:\\NoNul", 8);
    // A JavaHome of 261 bytes without a NUL fills the buffer exactly; one longer does not fit.
    const std::string full(261, 'F');
    setRegistryValue(base + "1.2.1", "JavaHome", REG_BINARY, full.data(), 261);
    const std::string tooLong(300, 'L');
    setRegistryValue(base + "1.2.2", "JavaHome", REG_SZ, tooLong.c_str(), 301);
    // An all-blank home still makes an entry, with an empty folder.
    registerRuntime(jdk, "1.1.8", "   ");
    // A home whose name the code page cannot spell (Łódź under 1252) goes by its short name, or
    // where it has none, is left out: never by look-alikes (Lódz).
    ScratchFolder scratch("registry");
    const std::wstring lodz = wideText(scratch.path()) + L"\\\x0141\x00f3d\x017a";
    ASSERT_TRUE(CreateDirectoryW(lodz.c_str(), nullptr));
    wchar_t shortWide[MAX_PATH] = L"";
    char shortForm[MAX_PATH] = "";
    GetShortPathNameW(lodz.c_str(), shortWide, MAX_PATH);
    WideCharToMultiByte(CP_ACP, 0, shortWide, -1, shortForm, sizeof shortForm, nullptr, nullptr);
    for (const auto& value : {std::make_pair("1.7", lodz), std::make_pair("1.7.1", lodz + L"x")}) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (base + value.first).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | launcherView, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"JavaHome", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.second.c_str()),
                       static_cast<DWORD>((value.second.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    EXPECT_EQ(scan(),
              (std::vector<std::string>{"1.7.0.0 " + std::string(shortForm) + "\\",
                                        "1.5.0.6 C:\\JRE\\", "1.4.0.0 C:\\Dword\\",
                                        "1.3.0.0 C:\\NoNul\\", "1.2.1.0 " + full, "1.1.8.0 "}));
}

// The scan reads the view of the launcher's own build: the 32-bit view (Wow6432Node) for the
// shipped i686 launcher on a 64-bit system.
TEST(RegistryScan, ReadsOnlyItsOwnBuildsView) {
    CleanRuntimeKeys clean;
    registerRuntime(jre, "1.5.0", "C:\\Mine");
    registerRuntime(jre, "1.6.0", "C:\\Other", nullptr, otherView);
    EXPECT_EQ(scan(), std::vector<std::string>{"1.5.0.0 C:\\Mine\\"});

    const char* const redirected = "SOFTWARE\\Wow6432Node\\JavaSoft\\Java Runtime Environment\\";
    const std::string thirtyTwoBitHome = sizeof(void*) == 4 ? "1.5.0" : "1.6.0";
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (redirected + thirtyTwoBitHome).c_str(), 0,
                            KEY_READ | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS)
        << "the 32-bit view's runtime lies under Wow6432Node";
    RegCloseKey(key);
}

// The further scan: the JRE and JDK keys of the build's own view, then the three keys and the JRE
// and JDK keys of the other view, merged by the same rules; equal versions in the order found.
TEST(RegistryScan, FurtherRuntimesComeFromTheNewerKeysAndTheOtherView) {
    CleanRuntimeKeys clean;
    registerRuntime(jre, "1.4.2", "C:\\Specified");  // the specified keys of its own view: not here
    registerRuntime("JDK", "17", "C:\\OwnJdk");
    registerRuntime("JRE", "17", "C:\\OwnJre");
    registerRuntime(jdk, "17", "C:\\OtherSdk", nullptr, otherView);
    registerRuntime(plugin, "11.0.2", "C:\\OtherPlugin", nullptr, otherView);
    registerRuntime("JRE", "1.8.0_202", "C:\\OtherJre", nullptr, otherView);
    registerRuntime("JDK", "21", "c:\\ownjdk\\", nullptr, otherView);  // same home, higher version
    registerRuntime("JDK", "9", "   ", "1_2", otherView);
    RuntimeList list;
    collectFurtherRuntimes(list);
    EXPECT_EQ(runtimeRows(list),
              (std::vector<std::string>{"21.0.0.0 c:\\ownjdk\\", "17.0.0.0 C:\\OwnJre\\",
                                        "17.0.0.0 C:\\OtherSdk\\", "11.0.2.0 C:\\OtherPlugin\\",
                                        "9.0.1.2 ", "1.8.0.202 C:\\OtherJre\\"}));
}

TEST(RegistryScan, ManyRuntimesAreAllListed) {
    CleanRuntimeKeys clean;
    for (int i = 0; i < 60; ++i) {
        registerRuntime(i % 2 ? jre : jdk, "1." + std::to_string(i % 7) + "." + std::to_string(i),
                        "C:\\rt" + std::to_string(i));
    }
    const std::vector<std::string> rows = scan();
    ASSERT_EQ(rows.size(), 60u);
    EXPECT_EQ(rows.front(), "1.6.55.0 C:\\rt55\\");
    EXPECT_EQ(rows.back(), "1.0.0.0 C:\\rt0\\");
}

// A list with each node's source: "1.4.2.0 C:\jre\ JavaSoft".
std::vector<std::string> rowsWithSource(void (*collect)(RuntimeList&)) {
    RuntimeList list;
    collect(list);
    std::vector<std::string> rows;
    for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next) {
        rows.push_back(describeVersion(n->version) + " " + n->homeFolder +
                       (n->source == vendorKey ? " vendor" : " JavaSoft"));
    }
    return rows;
}

// One runtime of each distribution, in both views and the current user's hive between them:
// newest first, merged with the JavaSoft JDK keys; a Path with a final backslash keeps one, one
// without gets one; a name that starts with letters is read from its first digit; a name without
// digits stands last.
TEST(RegistryScan, EveryDistributionsKeysInBothViewsAndTheUsersHive) {
    CleanRuntimeKeys clean;
    const REGSAM shared = 0;  // HKCU\SOFTWARE is the same in both views
    registerVendorRuntime(temurinJdk, "21.0.6.7", "C:\\Users\\u\\Temurin\\jdk-21", shared,
                          HKEY_CURRENT_USER);
    registerVendorRuntime(sapMachineJdk, "23", "C:\\SapMachine\\jdk-23\\");
    registerVendorRuntime(sapMachineJre, "17.0.13", "C:\\SapMachine\\jre-17", otherView);
    registerVendorRuntime(ibmJava2Jre, "1.8.0", "C:\\IBM\\jre8");
    registerVendorRuntime(ibmJre, "1.8.1", "C:\\IBM\\jre81", otherView);
    registerVendorRuntime(ibmJdk, "1.8.2", "C:\\IBM\\sdk8", shared, HKEY_CURRENT_USER);
    registerRuntime("Java Runtime Environment", "1.8.0_201", "C:\\Users\\u\\jre8", nullptr, shared,
                    HKEY_CURRENT_USER);
    registerVendorRuntime(temurinJdk, "21.0.5.11", "C:\\Temurin\\jdk-21.0.5.11-hotspot\\");
    registerVendorRuntime(temurinJre, "17.0.13.11", "C:\\Temurin\\jre-17", otherView);
    registerVendorRuntime(adoptJdk, "11.0.11.9", "C:\\Adopt\\jdk-11\\");
    registerVendorRuntime(adoptJdkOpenJ9, "11.0.11.9", "C:\\Adopt\\jdk-11-openj9\\", otherView);
    registerVendorRuntime(adoptJreOpenJ9, "11.0.10.9", "C:\\Adopt\\jre-11-openj9", otherView);
    registerVendorRuntime(eclipseJdk, "16.0.2.7", "C:\\Eclipse\\jdk-16\\");
    registerVendorRuntime(microsoftJdk, "21.0.4.7", "C:\\Microsoft\\jdk-21.0.4.7-hotspot",
                          otherView);
    registerVendorRuntime(semeruJdk, "17.0.12.7", "C:\\Semeru\\jdk-17\\");
    registerVendorRuntime(semeruJre, "11.0.24.8", "C:\\Semeru\\jre-11\\", otherView);
    registerVendorRuntime(zulu, "zulu-8", "C:\\Zulu\\zulu-8\\");
    registerVendorRuntime(liberica, "Liberica", "C:\\Liberica\\", otherView);
    registerRuntime("JDK", "17", "C:\\Oracle\\jdk-17");
    // A flavour that a key does not have, and another vendor's value name, are not read.
    setRegistryValue("SOFTWARE\\Semeru\\JDK\\18\\hotspot\\MSI", "Path", REG_SZ, "C:\\X", 5);
    setRegistryValue("SOFTWARE\\Azul Systems\\Zulu\\zulu-19", "Path", REG_SZ, "C:\\Y", 5);
    EXPECT_EQ(
        rowsWithSource(collectFurtherRuntimes),
        (std::vector<std::string>{
            "23.0.0.0 C:\\SapMachine\\jdk-23\\ vendor",
            "21.0.6.7 C:\\Users\\u\\Temurin\\jdk-21\\ vendor",
            "21.0.5.11 C:\\Temurin\\jdk-21.0.5.11-hotspot\\ vendor",
            "21.0.4.7 C:\\Microsoft\\jdk-21.0.4.7-hotspot\\ vendor",
            "17.0.13.11 C:\\Temurin\\jre-17\\ vendor", "17.0.13.0 C:\\SapMachine\\jre-17\\ vendor",
            "17.0.12.7 C:\\Semeru\\jdk-17\\ vendor", "17.0.0.0 C:\\Oracle\\jdk-17\\ JavaSoft",
            "16.0.2.7 C:\\Eclipse\\jdk-16\\ vendor", "11.0.24.8 C:\\Semeru\\jre-11\\ vendor",
            "11.0.11.9 C:\\Adopt\\jdk-11\\ vendor", "11.0.11.9 C:\\Adopt\\jdk-11-openj9\\ vendor",
            "11.0.10.9 C:\\Adopt\\jre-11-openj9\\ vendor", "8.0.0.0 C:\\Zulu\\zulu-8\\ vendor",
            "1.8.2.0 C:\\IBM\\sdk8\\ vendor", "1.8.1.0 C:\\IBM\\jre81\\ vendor",
            "1.8.0.201 C:\\Users\\u\\jre8\\ JavaSoft", "1.8.0.0 C:\\IBM\\jre8\\ vendor",
            "0.0.0.0 C:\\Liberica\\ vendor"}));
    // The classic tiers read HKLM in the launcher's own view alone.
    EXPECT_EQ(rowsWithSource(collectInstalledRuntimes), std::vector<std::string>{});
}

// Creates HKLM\<levels...> one level below the other, so that no path handed to the registry is
// longer than its ANSI calls take, and sets one text value in the last.
void setValueBelow(const std::vector<std::string>& levels, const char* name,
                   const std::string& text) {
    HKEY key = HKEY_LOCAL_MACHINE;
    for (const std::string& level : levels) {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(key, level.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | launcherView,
                                  nullptr, &created, nullptr),
                  ERROR_SUCCESS)
            << level.size() << " characters";
        if (key != HKEY_LOCAL_MACHINE) RegCloseKey(key);
        key = created;
    }
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

// Registry data is untrusted: every value the scan reads may have the wrong type, lack its NUL,
// be longer than the buffers, be empty or be missing, and key names may be 255 characters long.
// Such an entry is left out, or read within the buffers into a home that merely fails to start;
// the valid entries beside it are found as before. Each kind of key in turn.
TEST(RegistryScan, HostileValuesAreLeftOutOrReadWithinTheirBuffers) {
    const DWORD number = 0x00313233;  // the bytes "321" and a NUL
    const std::string unterminated(261, 'B');
    const std::string tooLong(300, 'L');
    const char multi[] = "C:\\First\0C:\\Second\0";
    const struct {
        DWORD type;
        const void* data;
        DWORD size;
        const char* home;  // what it reads as; null: the entry is left out
    } values[] = {
        {REG_DWORD, &number, sizeof number, "321\\"},
        {REG_BINARY, unterminated.data(), 261, unterminated.c_str()},  // fills the buffer
        {REG_BINARY, "C:\\NoNul", 8, "C:\\NoNul\\"},
        {REG_SZ, tooLong.c_str(), 301, nullptr},
        {REG_MULTI_SZ, multi, sizeof multi, "C:\\First\\"},
        {REG_SZ, "", 0, ""},
        {REG_NONE, nullptr, 0, nullptr},  // no value at all
    };
    const int count = sizeof values / sizeof values[0];
    const struct {
        const char* key;      // under SOFTWARE; the number n completes the subkey's name
        const char* name;     // the subkey's name before n
        const char* flavour;  // below the subkey, or empty
        const char* value;
        bool vendor;
        const char* version;  // n's version is this, n, then the tail
        const char* tail;
    } kinds[] = {
        {"JavaSoft\\Java Runtime Environment", "1.", "", "JavaHome", false, "1.", ".0.0 "},
        {"JavaSoft\\JDK", "9.", "", "JavaHome", false, "9.", ".0.0 "},
        {"Eclipse Adoptium\\JDK", "21.0.", "hotspot\\MSI", "Path", true, "21.0.", ".0 "},
        {"Azul Systems\\Zulu", "zulu-17.", "", "InstallationPath", true, "17.", ".0.0 "},
    };
    for (const auto& kind : kinds) {
        CleanRuntimeKeys clean;
        const std::string key = std::string("SOFTWARE\\") + kind.key + "\\";
        const std::string below = kind.flavour[0] != '\0' ? std::string("\\") + kind.flavour : "";
        const std::string tail = kind.tail;
        const std::string tag = kind.vendor ? " vendor" : " JavaSoft";
        // A valid entry, and one under a name of 255 characters, the longest a key may have.
        setValueBelow({key + kind.name + "9" + below}, kind.value, "C:\\Valid");
        std::string longName = kind.name + std::string("8");
        longName.resize(255, 'x');
        std::vector<std::string> levels = {key.substr(0, key.size() - 1), longName};
        if (kind.flavour[0] != '\0') levels.push_back(kind.flavour);
        setValueBelow(levels, kind.value, "C:\\LongName");
        std::vector<std::string> expected = {
            kind.version + std::string("9") + tail + "C:\\Valid\\" + tag,
            kind.version + std::string("8") + tail + "C:\\LongName\\" + tag};
        for (int n = count; n >= 1; --n) {
            const auto& v = values[n - 1];
            const std::string path = key + kind.name + std::to_string(n) + below;
            if (v.data != nullptr) {
                setRegistryValue(path, kind.value, v.type, v.data, v.size);
            } else {
                setRegistryValue(path, "Other", REG_SZ, "x", 2);
            }
            if (v.home == nullptr || (kind.vendor && v.home[0] == '\0')) continue;
            expected.push_back(kind.version + std::to_string(n) + tail + v.home + tag);
        }
        const bool specifiedKey = strcmp(kind.key, "JavaSoft\\Java Runtime Environment") == 0;
        EXPECT_EQ(rowsWithSource(specifiedKey ? collectInstalledRuntimes : collectFurtherRuntimes),
                  expected)
            << kind.key;
    }

    // MicroVersion of every sort beside a valid home: read as text, within its buffer.
    CleanRuntimeKeys clean;
    std::vector<std::string> expected;
    for (int n = count; n >= 1; --n) {
        const auto& v = values[n - 1];
        const std::string name = "5." + std::to_string(n);
        const std::string home = "C:\\Micro" + std::to_string(n);
        registerRuntime("Java Runtime Environment", name, home);
        if (v.data != nullptr) {
            setRegistryValue("SOFTWARE\\JavaSoft\\Java Runtime Environment\\" + name,
                             "MicroVersion", v.type, v.data, v.size);
        }
        expected.push_back(name + (v.type == REG_DWORD ? ".321.0 " : ".0.0 ") + home +
                           "\\ JavaSoft");
    }
    EXPECT_EQ(rowsWithSource(collectInstalledRuntimes), expected);
}

}  // namespace
