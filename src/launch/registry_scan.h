// Reading the runtimes registered under the JavaSoft keys, and the vendors' own keys, into a
// RuntimeList.
#pragma once

#include "runtime_list.h"

// Empties the list, then scans the Runtime Environment, Plug-in and Development Kit keys in turn.
void collectInstalledRuntimes(RuntimeList& list);

// Empties the list, then scans the JRE and JDK keys and the vendors' keys (Eclipse Adoptium,
// AdoptOpenJDK, Eclipse Foundation, Microsoft, Semeru, Azul Zulu, BellSoft Liberica), then the
// three keys above, the JRE and JDK keys and the vendors' keys in the other registry view,
// merging all into one list by the same rules.
void collectFurtherRuntimes(RuntimeList& list);
