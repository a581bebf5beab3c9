// Reading the runtimes registered under the JavaSoft keys, and the vendors' own keys, into a
// RuntimeList. The classic tiers read HKEY_LOCAL_MACHINE in the launcher's own view alone; what
// lies beyond them is read in both views of it and in the current user's hive, where a runtime
// installed "for me only" registers itself.
#pragma once

#include "runtime_list.h"

// Empties the list, then scans the Runtime Environment, Plug-in and Development Kit keys in turn.
void collectInstalledRuntimes(RuntimeList& list);

// Empties the list, then scans the JRE and JDK keys and the vendors' keys (Eclipse Adoptium,
// AdoptOpenJDK, Eclipse Foundation, Microsoft, Semeru, Azul Zulu, BellSoft Liberica, SapMachine,
// IBM), then the three keys above, the JRE and JDK keys and the vendors' keys in the other
// registry view, then all of them in HKEY_CURRENT_USER\SOFTWARE, merging all into one list by the
// same rules.
void collectFurtherRuntimes(RuntimeList& list);
