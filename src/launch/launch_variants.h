// The launch variants: each posts its status text, runs its line or lines one after the other
// and reports whether the application started.
#pragma once

#include "launcher_platform.h"

bool launchWithJava(const LauncherPlatform& platform, const char* home);
bool launchWithJre(const LauncherPlatform& platform, const char* home);  // second line only on failure
bool launchWithJview(const LauncherPlatform& platform);
bool launchPreferJava(const LauncherPlatform& platform, const char* home);
