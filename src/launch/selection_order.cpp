#include "selection_order.h"

#include <string.h>

#include "command_string.h"
#include "launch_log.h"
#include "launch_variants.h"
#include "tried_homes.h"
#include "../startup/exact_names.h"
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

// The launches that need no home, in the shape of those that do.
bool launchJview(const LauncherPlatform& platform, const char*) {
    return launchWithJview(platform);
}

bool launchSearchedJava(const LauncherPlatform& platform, const char*) {
    return launchWithSearchedJava(platform);
}

// One attempt, with the log told where the candidate came from and whether it started the
// application.
bool attempt(const LauncherPlatform& platform, HomeLaunch launch, const char* home,
             CandidateOrigin origin, const RuntimeCandidate* node = nullptr) {
    logCandidate(origin, home, node);
    const bool started = launch(platform, home);
    if (started) logApplicationStartedWith(home);
    return started;
}

// Tries one home and notes it, so that the last resort passes it over.
bool tryHome(const LauncherPlatform& platform, HomeLaunch launch, const char* home,
             TriedHomes& tried, CandidateOrigin origin, const RuntimeCandidate* node = nullptr) {
    tried.remember(home);
    return attempt(platform, launch, home, origin, node);
}

// Walks from `from`, passing over what `rule` names and ending before the first 1.x node whose
// minor is below `endMinor` (0: the walk runs to the end), and tries every other node with
// `launch` until one starts the application.
TierWalk walkTier(const LauncherPlatform& platform, const RuntimeCandidate* from, PassOver rule,
                  int32_t endMinor, HomeLaunch launch, TriedHomes& tried) {
    for (const RuntimeCandidate* node = from; node != nullptr; node = node->next) {
        if (passedOver(node, rule)) continue;
        if (endMinor > 0 && isOlderThan(node, endMinor)) return {node, false};
        if (tryHome(platform, launch, node->homeFolder, tried, fromRegistry, node)) {
            return {node, true};
        }
    }
    return {nullptr, false};
}

// Whether the last resort tries a runtime: one of 1.2 or newer, which takes the bin\java line; and
// any that a vendor registered or that lies where nothing registers it, with or without a
// version (those without one stand last in their list, as 0.0.0.0).
bool runsBinJava(const RuntimeCandidate* node) {
    const RuntimeVersion& version = node->version;
    return node->source != javaSoftKey || version.major > 1 ||
           (version.major == 1 && version.minor >= 2);
}

// Tries the runtimes of one list in its order with the bin\java line, none a second time.
bool launchFromList(const LauncherPlatform& platform, const RuntimeList& list, TriedHomes& tried,
                    CandidateOrigin origin) {
    for (const RuntimeCandidate* node = list.head; node != nullptr; node = node->next) {
        if (!runsBinJava(node)) {
            logPassedOver(origin, node->homeFolder, node, outsideTheTiers);
        } else if (tried.contains(node->homeFolder)) {
            logPassedOver(origin, node->homeFolder, node, alreadyTried);
        } else if (tryHome(platform, launchWithJava, node->homeFolder, tried, origin, node)) {
            return true;
        }
    }
    return false;
}

// The last resort, beyond the JavaSoft keys that the tiers read: JAVA_HOME, the runtimes of the
// newer keys, of the vendors' keys, of the other registry view and of the current user's hive, a
// "java" that the program search finds, and last the runtimes that nothing registers, read only
// now. Only runtimes that take the bin\java line are tried, and no home twice in one selection.
bool launchFromFurtherSources(const LauncherPlatform& platform, TriedHomes& tried) {
    char javaHome[pathBytes];
    if (!platform.readJavaHome(javaHome, sizeof javaHome) || javaHome[0] == '\0') {
        logPassedOver(fromJavaHomeVariable, nullptr, nullptr, variableUnset);
    } else {
        if (tried.contains(javaHome)) {
            logPassedOver(fromJavaHomeVariable, javaHome, nullptr, alreadyTried);
        } else if (!platform.pathExists(javaHome, 1)) {
            logPassedOver(fromJavaHomeVariable, javaHome, nullptr, folderMissing);
        } else if (tryHome(platform, launchWithJava, javaHome, tried, fromJavaHomeVariable)) {
            return true;
        }
    }
    // Both lists stay until the end: the tried homes point into them.
    RuntimeList further;
    platform.collectFurtherRuntimes(further);
    if (launchFromList(platform, further, tried, fromRegistry)) return true;
    if (attempt(platform, launchSearchedJava, "java", fromProgramSearch)) return true;
    RuntimeList unregistered;
    platform.collectUnregisteredRuntimes(unregistered);
    return launchFromList(platform, unregistered, tried, fromFolderSearch);
}

// The five tiers of the registered runtimes, with jview between the first and the rest.
bool launchFromTiers(const LauncherPlatform& platform, const RuntimeList& list, TriedHomes& tried) {
    if (list.head == nullptr) return attempt(platform, launchJview, "jview", fromProgramSearch);
    if (list.head->version.major < 1) return false;

    // 1.4 and newer; jview; 1.1.8 with jre; 1.3 and 1.2; the other 1.1 runtimes with jre.
    const TierWalk newest = walkTier(platform, list.head, passNothing, 4, launchWithJava, tried);
    if (newest.started) return true;
    const RuntimeCandidate* s = newest.stoppedAt;
    if (attempt(platform, launchJview, "jview", fromProgramSearch)) return true;
    if (walkTier(platform, s, passAllBut118, 0, launchWithJre, tried).started) return true;
    const TierWalk older = walkTier(platform, s, pass118, 2, launchWithJava, tried);
    if (older.started) return true;
    return walkTier(platform, older.stoppedAt, pass118, 1, launchWithJre, tried).started;
}

bool launchLocalFolder(const LauncherPlatform& platform, const char* folder, TriedHomes& tried) {
    if (!platform.pathExists(folder, 1)) {
        logPassedOver(fromLocalFolder, folder, nullptr, folderMissing);
        return false;
    }
    return tryHome(platform, launchPreferJava, folder, tried, fromLocalFolder);
}

bool launchOverride(const LauncherPlatform& platform, const char* home) {
    if (strcmp(home, "jview") == 0) return attempt(platform, launchJview, home, fromJavaHomeSwitch);
    if (platform.pathExists(home, 1)) {
        return attempt(platform, launchPreferJava, home, fromJavaHomeSwitch);
    }
    logPassedOver(fromJavaHomeSwitch, home, nullptr, folderMissing);
    CommandString message;
    message.appendText("JavaHome not found\n").appendText(home);
    platform.showError(message.textOrEmpty());
    return true;
}

// The registered runtimes that no tier reached: too old for every tier, or standing behind a
// runtime older than 1.1.
void logUntried(const RuntimeList& list, const TriedHomes& tried) {
    if (!launchLogOn()) return;
    for (const RuntimeCandidate* node = list.head; node != nullptr; node = node->next) {
        if (!tried.contains(node->homeFolder)) {
            logPassedOver(fromRegistry, node->homeFolder, node, outsideTheTiers);
        }
    }
}

}  // namespace

bool chooseAndLaunch(const LauncherPlatform& platform) {
    if (launcherState.javaHomeOverride != nullptr) {
        return launchOverride(platform, launcherState.javaHomeOverride);
    }
    TriedHomes tried(platform.identifyFolder);
    if (launchLocalFolder(platform, "java", tried)) return true;
    if (launchLocalFolder(platform, "..\\java", tried)) return true;
    // The list stays until the last resort is done: the tried homes point into it.
    RuntimeList list;
    platform.collectInstalledRuntimes(list);
    if (launchFromTiers(platform, list, tried)) return true;
    logUntried(list, tried);
    return launchFromFurtherSources(platform, tried);
}
