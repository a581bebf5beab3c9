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

// Which nodes a tier passes over without trying or testing them further.
enum PassOver { passNothing, passAllBut118, pass118 };

bool passedOver(const RuntimeCandidate* node, PassOver rule) {
    return (rule == passAllBut118 && !is118(node)) || (rule == pass118 && is118(node));
}

struct TierWalk {
    const RuntimeCandidate* stoppedAt;  // the node that ended the walk, or null at the list's end
    bool started;
};

// Walks from `from`, passing over what `rule` names and ending before the first 1.x node whose
// minor is below `endMinor` (0: the walk runs to the end), and tries every other node with
// `launch` until one starts the application.
TierWalk walkTier(const LauncherPlatform& platform, const RuntimeCandidate* from, PassOver rule,
                  int32_t endMinor, HomeLaunch launch) {
    for (const RuntimeCandidate* node = from; node != nullptr; node = node->next) {
        if (passedOver(node, rule)) continue;
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

    // 1.4 and newer; jview; 1.1.8 with jre; 1.3 and 1.2; the other 1.1 runtimes with jre.
    const TierWalk newest = walkTier(platform, list.head, passNothing, 4, launchWithJava);
    if (newest.started) return true;
    const RuntimeCandidate* s = newest.stoppedAt;
    if (launchWithJview(platform)) return true;
    if (walkTier(platform, s, passAllBut118, 0, launchWithJre).started) return true;
    const TierWalk older = walkTier(platform, s, pass118, 2, launchWithJava);
    if (older.started) return true;
    return walkTier(platform, older.stoppedAt, pass118, 1, launchWithJre).started;
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
