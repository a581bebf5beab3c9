// The launch logic's platform table filled with the real Win32 operations.
#pragma once

#include "launcher_platform.h"

extern const LauncherPlatform windowsPlatform;
