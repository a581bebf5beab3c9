#include "launch_variants.h"

#include "command_string.h"
#include "launch_lines.h"

bool launchWithJava(const LauncherPlatform& platform, const char* home) {
    platform.postStatus(home);
    CommandString line;
    buildJavaLine(line, home);
    return platform.runAndWatch(line.textOrEmpty());
}

bool launchWithJre(const LauncherPlatform& platform, const char* home) {
    platform.postStatus(home);
    {
        CommandString first;
        buildJreLine(first, home);
        if (platform.runAndWatch(first.textOrEmpty())) return true;
    }
    CommandString second;
    buildJreFallbackLine(second, home);
    return platform.runAndWatch(second.textOrEmpty());
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
