// The launch variants: each posts its status text (a home as it was given), runs its line or lines
// one after the other (a home in the form the runtime can read) and reports whether the
// application started.
#pragma once

#include "launcher_platform.h"

bool launchWithJava(const LauncherPlatform& platform, const char* home);
// Runs bin\java with lib\classes.zip only when bin\jre failed.
bool launchWithJre(const LauncherPlatform& platform, const char* home);
bool launchWithJview(const LauncherPlatform& platform);
// The java line with whatever "java" the platform's program search finds, as jview is found.
bool launchWithSearchedJava(const LauncherPlatform& platform);
bool launchPreferJava(const LauncherPlatform& platform, const char* home);
