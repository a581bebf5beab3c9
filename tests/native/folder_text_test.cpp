#include <gtest/gtest.h>

#include <string>

#include "startup/folder_text.h"

namespace {

TEST(FolderText, ModulePathKeepsItsFolderWithTheBackslash) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"D:\\launcher.exe", "D:\\"},
        {"C:\\Programs\\QuarVel\\launcher.exe", "C:\\Programs\\QuarVel\\"},
        {"\\\\server\\share\\disc\\launcher.exe", "\\\\server\\share\\disc\\"},
        {"launcher.exe", "launcher.exe"},  // no backslash: left as it is
        {"C:/a/b.exe", "C:/a/b.exe"},      // only the backslash separates
    };
    for (const auto& c : cases) {
        std::string text = c.path;
        trimToFolder(&text[0]);
        EXPECT_STREQ(text.c_str(), c.folder) << c.path;
    }
}

TEST(FolderText, DocumentsFolderLosesItsBackslashUnlessADriveRoot) {
    const struct {
        const char* folder;
        const char* trimmed;
    } cases[] = {
        {"C:\\", "C:\\"},
        {"C:\\Documents and Settings\\user\\My Documents\\",
         "C:\\Documents and Settings\\user\\My Documents"},
        {"C:\\Users\\me\\Documents", "C:\\Users\\me\\Documents"},
        {"C:\\a\\", "C:\\a"},
        {"\\\\", "\\\\"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.folder;
        trimDocumentsFolder(&text[0]);
        EXPECT_STREQ(text.c_str(), c.trimmed) << c.folder;
    }
}

}  // namespace
