#include "selection_order.h"

#include <string.h>

#include "command_string.h"
#include "launch_variants.h"
#include "../startup/launcher_state.h"

namespace {

// Only a major version of exactly 1 ends a walk; any other major is tried where a walk reaches it.
bool isOlderThan(const RuntimeCandidate* node, int32_t minor) {
    return node->version.major == 1 && node->version.minor < minor;
}

bool is118(const RuntimeCandidate* node) {
    return node->version.major == 1 && node->version.minor == 1 && node->version.micro == 8;
}

typedef bool (*HomeLaunch)(const LauncherPlatform&, const char*);

struct TierWalk {
    const RuntimeCandidate* stoppedAt;  // the node that ended the walk, or null at the list's end
    bool started;
};

// Walks from `from`, passing over the nodes `skip` rejects and ending before the first node older
// than `endMinor` (0 never ends), and tries the rest with `launch`.
TierWalk walkTier(const LauncherPlatform& platform, const RuntimeCandidate* from, bool skip118,
                  bool onlyWith118, int32_t endMinor, HomeLaunch launch) {
    for (const RuntimeCandidate* node = from; node != nullptr; node = node->next) {
        if (onlyWith118 && !is118(node)) continue;
        if (skip118 && is118(node)) continue;
        if (endMinor > 0 && isOlderThan(node, endMinor)) return {node, false};
        if (launch(platform, node->homeFolder)) return {node, true};
    }
    return {nullptr, false};
}

bool launchOverride(const LauncherPlatform& platform, const char* home) {
    if (strcmp(home, "jview") == 0) return launchWithJview(platform);
    if (platform.pathExists(home, 1)) return launchPreferJava(platform, home);
    CommandString message;
    message.appendText("JavaHome not found\n").appendText(home);
    platform.showError(message.textOrEmpty());
    return true;
}

}  // namespace

bool launchFromRuntimeList(const LauncherPlatform& platform, const RuntimeList& list) {
    if (list.head == nullptr) return launchWithJview(platform);
    if (list.head->version.major < 1) return false;

    const TierWalk newest = walkTier(platform, list.head, false, false, 4, launchWithJava);
    if (newest.started) return true;
    const RuntimeCandidate* s = newest.stoppedAt;
    if (launchWithJview(platform)) return true;
    if (walkTier(platform, s, false, true, 0, launchWithJre).started) return true;
    const TierWalk older = walkTier(platform, s, true, false, 2, launchWithJava);
    if (older.started) return true;
    return walkTier(platform, older.stoppedAt, true, false, 1, launchWithJre).started;
}

bool chooseAndLaunch(const LauncherPlatform& platform) {
    if (launcherState.javaHomeOverride != nullptr) {
        return launchOverride(platform, launcherState.javaHomeOverride);
    }
    if (platform.pathExists("java", 1) && launchPreferJava(platform, "java")) return true;
    if (platform.pathExists("..\\java", 1) && launchPreferJava(platform, "..\\java")) return true;
    RuntimeList list;
    platform.collectInstalledRuntimes(list);
    return launchFromRuntimeList(platform, list);
}
