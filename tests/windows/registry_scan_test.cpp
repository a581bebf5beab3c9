// The registry scan against real keys written in the test prefix.
#include <gtest/gtest.h>

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
    CleanJavaSoftKeys clean;
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
    CleanJavaSoftKeys clean;
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

    EXPECT_EQ(scan(),
              (std::vector<std::string>{"1.5.0.6 C:\\JRE\\", "1.4.0.0 C:\\Dword\\",
                                        "1.3.0.0 C:\\NoNul\\", "1.2.1.0 " + full, "1.1.8.0 "}));
}

// The scan reads the view of the launcher's own build: the 32-bit view (Wow6432Node) for the
// shipped i686 launcher on a 64-bit system.
TEST(RegistryScan, ReadsOnlyItsOwnBuildsView) {
    CleanJavaSoftKeys clean;
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
    CleanJavaSoftKeys clean;
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
    CleanJavaSoftKeys clean;
    for (int i = 0; i < 60; ++i) {
        registerRuntime(i % 2 ? jre : jdk, "1." + std::to_string(i % 7) + "." + std::to_string(i),
                        "C:\\rt" + std::to_string(i));
    }
    const std::vector<std::string> rows = scan();
    ASSERT_EQ(rows.size(), 60u);
    EXPECT_EQ(rows.front(), "1.6.55.0 C:\\rt55\\");
    EXPECT_EQ(rows.back(), "1.0.0.0 C:\\rt0\\");
}

}  // namespace
