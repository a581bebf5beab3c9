#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "launch/command_string.h"
#include "launch/launch_log.h"
#include "launch/runtime_list.h"
#include "launch/runtime_output.h"
#include "startup/log_name.h"

namespace {

std::string written;
uint32_t clock() {
    return 1234;
}
void capture(const char* bytes, size_t count) {
    written.append(bytes, count);
}

void openCapturedLog() {
    written.clear();
    openLaunchLog({clock, capture, [] {}, [] {}, [] {}, nullptr});
}

TEST(LaunchLog, EachEventIsOneLineInItsWords) {
    openCapturedLog();
    const char* const temurin = "Eclipse Adoptium\\JDK";
    RuntimeCandidate node = {nullptr,   {17, 0, 2, 0},     nullptr,
                             vendorKey, otherRegistryView, temurin};
    RuntimeCandidate user = {nullptr, {21, 0, 5, 11}, nullptr, vendorKey, currentUserHive, temurin};
    // Found in the IDE's downloads (the fourth place) and in Scoop's apps (the seventh).
    RuntimeCandidate ide = {nullptr, {21, 0, 1, 0, true}, nullptr, folderSearch, 3, nullptr};
    RuntimeCandidate scoop = {nullptr, {0, 0, 0, 0}, nullptr, folderSearch, 6, nullptr};
    const struct {
        std::function<void()> event;
        const char* lines;
    } cases[] = {
        {[] {
             logLauncherStart({"1.2.0.0", "0123abcd", "i686", "D:\\launcher.exe", 10, 0, 22631, 1});
         },
         "QuarVel Launcher 1.2.0.0 (i686, commit 0123abcd) at \"D:\\launcher.exe\"\n"
         "Windows 10.0 build 22631, under WoW64\n"},
        {[] {
             logLauncherStart({"1.2.0.0", "unknown", "x86_64", "C:\\l.exe", 0, 0, 0, -1});
         },
         "QuarVel Launcher 1.2.0.0 (x86_64, commit unknown) at \"C:\\l.exe\"\n"
         "Windows of unknown version, WoW64 unknown\n"},
        {[] { logCommandLine("\"D:\\launcher.exe\" -javahome C:\\jdk -x"); },
         "command line: \"\"D:\\launcher.exe\" -javahome C:\\jdk -x\"\n"},
        {[] { logParsedCommandLine("C:\\jdk", nullptr); },
         "-javahome: \"C:\\jdk\"\npassed on to the application: none\n"},
        {[] { logInstallOffer(true); },
         "setup.exe lies beside the launcher: the installation is offered\n"},
        {[] { logOfferChoice(7); }, "the user chose: install\n"},
        {[] { logOfferChoice(-1); }, "the user chose: nothing (the dialog gave -1)\n"},
        {[&] { logCandidate(fromRegistry, "C:\\jdk\\", &node); },
         "candidate \"C:\\jdk\\\" from the registry, HKLM\\SOFTWARE\\Eclipse Adoptium\\JDK, the "
         "other registry view, version 17.0.2.0\n"},
        {[&] { logCandidate(fromRegistry, "C:\\u\\", &user); },
         "candidate \"C:\\u\\\" from the current user's registry, HKCU\\SOFTWARE\\Eclipse "
         "Adoptium\\JDK, version 21.0.5.11\n"},
        {[&] { logCandidate(fromFolderSearch, "C:\\j\\", &ide); },
         "candidate \"C:\\j\\\" from a folder nothing registers, in the IDE's downloads, version "
         "21.0.1.0 (a pre-release) from its release file\n"},
        {[&] { logPassedOver(fromFolderSearch, "C:\\s\\", &scoop, alreadyTried); },
         "passed over \"C:\\s\\\" from a folder nothing registers, in Scoop's apps, no version in "
         "its release file: already tried\n"},
        {[] { logPassedOver(fromLocalFolder, "..\\java", nullptr, folderMissing); },
         "passed over \"..\\java\" from a folder beside the launcher: folder missing\n"},
        {[] { logPassedOver(fromJavaHomeVariable, nullptr, nullptr, variableUnset); },
         "passed over JAVA_HOME: not set, empty or too long\n"},
        {[] { logPassedOver(fromJavaHomeSwitch, "C:\\gone", nullptr, folderMissing); },
         "passed over \"C:\\gone\" from the -javahome value: folder missing\n"},
        {[] { logStart("java\\bin\\java -cp quarvel.jar;. Main", "D:\\"); },
         "start \"java\\bin\\java -cp quarvel.jar;. Main\" in \"D:\\\"\n"},
        {[] { logStartFailed(193, "%1 is not a valid Win32 application."); },
         "could not start: error 193, \"%1 is not a valid Win32 application.\"\n"},
        {[] { logRuntimeEnded(3221225477u, 120); },
         "the runtime ended with exit code 3221225477 after 120 ms\n"},
        {[] { logNoWindow(90000); },
         "no window before the watch ran out after 90000 ms: the runtime was ended\n"},
        {[] { logWindowSeen(0); }, "the application's window was seen after 0 ms\n"},
        {[] { logMessageBox("JavaHome not found\nC:\\x\r"); },
         "message box: \"JavaHome not found\\nC:\\x\\r\"\n"},
        {[] { logMessageBox("\ta\x1b[0m\x7f"); }, "message box: \"\ta\\x1b[0m\\x7f\"\n"},
        {[] { logPageOpened(false, 2); }, "the page could not be opened (result 2)\n"},
        {[] { logNameRefused("the variable ", "USERPROFILE", tooLong); },
         "passed over the variable USERPROFILE: the system gave no path of at most 260 "
         "characters\n"},
        {[] { logNameRefused("the documents folder", nullptr, noAnsiForm); },
         "passed over the documents folder: its name has no form in the ANSI code page, nor a "
         "short one\n"},
        {[] { logNoRuntimeForm("C:\\\xC5\x81ukasz", 1252); },
         "\"C:\\\xC5\x81ukasz\" has no form in code page 1252, nor a short one: handed to the "
         "runtime as it is\n"},
        {[] { logExit(-1); }, "exit code -1\n"},
    };
    for (const auto& c : cases) {
        written.clear();
        c.event();
        std::string expected;
        for (const char* at = c.lines; *at != '\0'; ++at) {
            if (at == c.lines || at[-1] == '\n') expected += "1234 ";
            expected += *at == '\n' ? std::string("\r\n") : std::string(1, *at);
        }
        EXPECT_EQ(written, expected);
    }
}

// Other lines stop 4 KiB before the limit, with one line saying so; the lines that end the run
// (which runtime started, the page, message boxes, the exit code) still have room after it.
TEST(LaunchLog, StopsAtItsLimitWithOneLineSayingSoAndKeepsRoomForTheEnd) {
    openCapturedLog();
    const std::string home(200, 'h');
    for (int i = 0; i < 2000; ++i) logCandidate(fromLocalFolder, home.c_str(), nullptr);
    ASSERT_LE(written.size(), launchLogLimit - 4096);
    EXPECT_GT(written.size(), launchLogLimit - 4096 - 300);  // only the last whole line left out
    const std::string cut =
        "log cut: it neared its limit of 262144 bytes; only the run's end follows\r\n";
    ASSERT_GT(written.size(), cut.size());
    EXPECT_EQ(written.substr(written.size() - cut.size()), cut);
    EXPECT_EQ(written.find("log cut"), written.size() - cut.size()) << "said once";
    const std::string before = written.substr(0, written.size() - cut.size());
    EXPECT_EQ(before.size() % (before.find("\r\n") + 2), 0u) << "every line whole";
    logCandidate(fromLocalFolder, "java", nullptr);
    logApplicationStartedWith(home.c_str());
    logExit(0);
    EXPECT_EQ(written.substr(before.size() + cut.size()),
              "1234 the application started with \"" + home + "\"\r\n1234 exit code 0\r\n");
    for (int i = 0; i < 100; ++i) logMessageBox(home.c_str());
    EXPECT_LE(written.size(), launchLogLimit) << "the end's room has its limit too";
}

// What the sink was handed to convert, and a conversion from Latin-1 to UTF-8 for launcher and
// runtime texts alike.
std::vector<std::pair<std::string, LineText>> handed;
char* latin1InUtf8(const char* line, LineText text) {
    handed.emplace_back(line, text);
    if (text == utf8Text) return nullptr;
    std::string converted;
    for (const char* at = line; *at != '\0'; ++at) {
        const unsigned char c = static_cast<unsigned char>(*at);
        if (c >= 0x80) converted += static_cast<char>(0xC0 | c >> 6);
        converted += static_cast<char>(c >= 0x80 ? 0x80 | (c & 0x3F) : c);
    }
    char* copy = static_cast<char*>(malloc(converted.size() + 1));
    memcpy(copy, converted.c_str(), converted.size() + 1);
    return copy;
}

// The log is UTF-8: a line beyond ASCII is converted from what its outside texts are written in,
// and the limit counts the bytes written, not those of the line before.
TEST(LaunchLog, LinesBeyondAsciiAreWrittenInUtf8) {
    written.clear();
    handed.clear();
    openLaunchLog({clock, capture, [] {}, [] {}, [] {}, latin1InUtf8});
    logMessageBox("Caf\xE9");
    logCommandLine("\"D:\\\xC3\xA9.exe\"");
    logExit(0);
    static RuntimeOutput output;
    output.clear();
    output.add("\xE9t\xE9\n", 4);
    logRuntimeOutput(output);
    EXPECT_EQ(written,
              "1234 message box: \"Caf\xC3\xA9\"\r\n"
              "1234 command line: \"\"D:\\\xC3\xA9.exe\"\"\r\n"
              "1234 exit code 0\r\n"
              "1234 runtime: \xC3\xA9t\xC3\xA9\r\n");
    ASSERT_EQ(handed.size(), 3u) << "a line of ASCII alone is never handed";
    EXPECT_EQ(handed[0].second, launcherText);
    EXPECT_EQ(handed[1].second, utf8Text);
    EXPECT_EQ(handed[2].second, runtimeText);

    written.clear();
    openLaunchLog({clock, capture, [] {}, [] {}, [] {}, latin1InUtf8});
    const std::string home(200, '\xE9');  // 400 bytes a line once written
    for (int i = 0; i < 1000; ++i) logCandidate(fromLocalFolder, home.c_str(), nullptr);
    EXPECT_LE(written.size(), launchLogLimit - 4096);
    EXPECT_GT(written.size(), launchLogLimit - 4096 - 500);
}

// The log's lines for a text, as the runtime's output is logged: split at each line feed (a CR
// before it going too), each led by the time and "runtime: "; of more than head + tail lines, the
// first head and the last tail, with a line between that says how many were left out.
std::string outputLines(const std::string& text, size_t head = 64, size_t tail = 64) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        if (end > at && text[end - 1] == '\r') --end;
        lines.push_back("1234 runtime: " + text.substr(at, end - at) + "\r\n");
        at = next;
    }
    std::string logged;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t leftOut = lines.size() > head + tail ? lines.size() - head - tail : 0;
        if (leftOut > 0 && i == head) {
            logged += "1234 " + std::to_string(leftOut) +
                      " lines of the runtime's output left out "
                      "here\r\n";
        }
        if (i < head || i >= head + leftOut) logged += lines[i];
    }
    return logged;
}

// Beyond 8 KiB: the first lines of the first 4 KiB, one line saying how much was left out, the
// last lines of the last 4 KiB.
std::string cutLines(const std::string& text) {
    return outputLines(text.substr(0, 4096), 64, 0) + "1234 " + std::to_string(text.size() - 8192) +
           " bytes of the runtime's output left out here\r\n" +
           outputLines(text.substr(text.size() - 4096), 0, 64);
}

// What a runtime wrote, fed in pieces as the watch reads them: each line logged whole and escaped;
// beyond 8 KiB the first and the last 4 KiB, with one line between them; of many lines the first
// and the last 64 (bare line ends too).
TEST(LaunchLog, TheRuntimesOutputLineByLineAndCut) {
    std::string trace;
    for (int i = 0; trace.size() < 10000; ++i) trace += "\tat Frame" + std::to_string(i) + "\r\n";
    trace.resize(10000);
    const std::string full(8192, 'x');
    const struct {
        std::string written;
        std::string logged;
    } cases[] = {
        {"Error: LinkageError occurred while loading main class com.quarvel.browser.Browser\r\n"
         "\tjava.lang.UnsupportedClassVersionError: class file version 61.0\r\n",
         "1234 runtime: Error: LinkageError occurred while loading main class "
         "com.quarvel.browser.Browser\r\n1234 runtime: \tjava.lang.UnsupportedClassVersionError: "
         "class file version 61.0\r\n"},
        {"no line end", "1234 runtime: no line end\r\n"},
        {std::string("a\rb\x1b[1m\0z\n\nlast\n", 16),
         "1234 runtime: a\\rb\\x1b[1m\\x00z\r\n1234 runtime: \r\n1234 runtime: last\r\n"},
        {full, outputLines(full)},
        {full + "y", cutLines(full + "y")},
        {trace, cutLines(trace)},
        {std::string(8192, '\n'), outputLines(std::string(8192, '\n'))},
        {std::string(128, '\n') + "x", outputLines(std::string(128, '\n') + "x")},
        {std::string(9000, '\n'), cutLines(std::string(9000, '\n'))},
        {"", ""},
    };
    static RuntimeOutput output;
    for (const auto& c : cases) {
        openCapturedLog();
        output.clear();
        // In pieces of 1, 7, 4095 bytes and the rest, so that the ring wraps within a piece.
        size_t at = 0;
        for (const size_t piece : {size_t(1), size_t(7), size_t(4095), c.written.size()}) {
            const size_t count = std::min(piece, c.written.size() - at);
            output.add(c.written.data() + at, count);
            at += count;
        }
        logRuntimeOutput(output);
        EXPECT_TRUE(written == c.logged)
            << c.written.size() << " bytes written: " << written.size() << " logged, "
            << c.logged.size() << " expected; first difference at "
            << std::mismatch(written.begin(), written.end(), c.logged.begin(), c.logged.end())
                       .first -
                   written.begin();
    }
}

int allocations;

// Off, the log neither writes nor allocates: the launcher without it pays nothing for it.
TEST(LaunchLog, OffItWritesAndAllocatesNothing) {
    openCapturedLog();
    closeLaunchLog();
    allocations = 0;
    const CommandStringMemory saved = commandStringMemory;
    commandStringMemory = {[](size_t size) {
                               ++allocations;
                               return malloc(size);
                           },
                           free};
    logCommandLine("\"D:\\launcher.exe\"");
    logCandidate(fromLocalFolder, "java", nullptr);
    logStart("java\\bin\\java", "D:\\");
    logRuntimeEnded(1, 39);
    logMessageBox("a\nb");
    logExit(-1);
    commandStringMemory = saved;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(written, "");
}

// The name as cmd keeps it: quotes anywhere in the value are dropped, narrow or wide.
TEST(LaunchLog, TheFileNameIsTakenWithoutItsQuotes) {
    const struct {
        const char* typed;
        const char* name;
    } cases[] = {
        {"\"C:\\My Logs\\q.log\"", "C:\\My Logs\\q.log"},
        {"C:\\\"My Logs\"\\q.log", "C:\\My Logs\\q.log"},
        {"\"q.log", "q.log"},  // a quote never closed
        {"q.log", "q.log"},
        {"\"\"", ""},
    };
    for (const auto& c : cases) {
        std::string narrow = c.typed;
        dropQuotes(&narrow[0]);
        EXPECT_STREQ(narrow.c_str(), c.name) << c.typed;
        std::wstring wide(c.typed, c.typed + strlen(c.typed));
        dropQuotes(&wide[0]);
        EXPECT_EQ(wide.c_str(), std::wstring(c.name, c.name + strlen(c.name))) << c.typed;
    }
}

}  // namespace
