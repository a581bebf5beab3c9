// Reading the runtimes registered under the JavaSoft keys into a RuntimeList.
#pragma once

#include <windows.h>

#include "runtime_list.h"

// Empties the list, then scans the Runtime Environment, Plug-in and Development Kit keys in turn.
void collectInstalledRuntimes(RuntimeList& list);

// Empties the list, then scans the JRE and JDK keys, and the three keys above and the JRE and JDK
// keys in the other registry view, merging all into one list by the same rules.
void collectFurtherRuntimes(RuntimeList& list);

// Adds the runtimes registered below one key of HKEY_LOCAL_MACHINE, in the given registry view
// (0: the build's own).
void scanRuntimeKey(RuntimeList& list, const char* keyPath, REGSAM view);
