// The order in which the launcher tries runtimes: the -javahome override alone, else the local
// java folders, else the registered runtimes in five tiers with jview between the first and the
// rest, and when all of those failed a last resort for today's runtimes (JAVA_HOME, the JRE and
// JDK keys, the vendors' keys, the other registry view and the current user's hive, then "java"
// through the program search, then the runtimes that nothing registers), which tries no home a
// second time. The first attempt that starts the application ends the selection.
#pragma once

#include "launcher_platform.h"
#include "runtime_list.h"

// True when the application started, or when a missing -javahome folder has been reported (so no
// fallback page follows); false when every attempt made failed.
bool chooseAndLaunch(const LauncherPlatform& platform);
