// Reading the runtimes registered under the JavaSoft keys into a RuntimeList.
#pragma once

#include "runtime_list.h"

// Empties the list, then scans the Runtime Environment, Plug-in and Development Kit keys in turn.
void collectInstalledRuntimes(RuntimeList& list);

void scanRuntimeKey(RuntimeList& list, const char* keyPath);
