#include "launch_variants.h"

#include "../startup/exact_names.h"
#include "command_string.h"
#include "launch_lines.h"

namespace {

// The home as the runtime is handed it; the status line shows it as it is.
class RuntimeHome {
public:
    RuntimeHome(const LauncherPlatform& platform, const char* home)
        : text_(platform.runtimeForm(home, buffer_, sizeof buffer_)) {}
    RuntimeHome(const RuntimeHome&) = delete;
    RuntimeHome& operator=(const RuntimeHome&) = delete;
    operator const char*() const { return text_; }

private:
    char buffer_[pathBytes];
    const char* text_;
};

}  // namespace

bool launchWithJava(const LauncherPlatform& platform, const char* home) {
    platform.postStatus(home);
    const RuntimeHome runtimeHome(platform, home);
    CommandString line;
    buildJavaLine(line, runtimeHome);
    return platform.runAndWatch(line.textOrEmpty());
}

bool launchWithJre(const LauncherPlatform& platform, const char* home) {
    platform.postStatus(home);
    const RuntimeHome runtimeHome(platform, home);
    {
        CommandString first;
        buildJreLine(first, runtimeHome);
        if (platform.runAndWatch(first.textOrEmpty())) return true;
    }
    CommandString second;
    buildJreFallbackLine(second, runtimeHome);
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
