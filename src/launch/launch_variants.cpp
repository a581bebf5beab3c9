#include "launch_variants.h"

#include "../startup/exact_names.h"
#include "command_string.h"
#include "launch_lines.h"

namespace {

typedef void (*HomeLine)(CommandString& line, const char* home);

// Builds one line for the home, in the form the runtime can read, and runs it.
bool runHomeLine(const LauncherPlatform& platform, HomeLine build, const char* home) {
    char buffer[pathBytes];
    CommandString line;
    build(line, platform.runtimeForm(home, buffer, sizeof buffer));
    return platform.runAndWatch(line.textOrEmpty());
}

}  // namespace

// The status line shows a home as it was given.
bool launchWithJava(const LauncherPlatform& platform, const char* home) {
    platform.postStatus(home);
    return runHomeLine(platform, buildJavaLine, home);
}

bool launchWithJre(const LauncherPlatform& platform, const char* home) {
    platform.postStatus(home);
    return runHomeLine(platform, buildJreLine, home) ||
           runHomeLine(platform, buildJreFallbackLine, home);
}

bool launchWithJview(const LauncherPlatform& platform) {
    platform.postStatus("jview");
    CommandString line;
    buildJviewLine(line);
    return platform.runAndWatch(line.textOrEmpty());
}

bool launchWithSearchedJava(const LauncherPlatform& platform) {
    platform.postStatus("java");
    CommandString line;
    buildSearchedJavaLine(line);
    return platform.runAndWatch(line.textOrEmpty());
}

bool launchPreferJava(const LauncherPlatform& platform, const char* home) {
    return launchWithJava(platform, home) || launchWithJre(platform, home);
}
