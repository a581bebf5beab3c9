// The registered runtimes of one selection: a singly linked list, highest version first, equal
// versions in the order found, and one node per home folder (compared without regard to case).
#pragma once

#include "runtime_version.h"

// Who registered a runtime. The JavaSoft keys hold runtimes of every age; a vendor's own keys
// (Temurin, Zulu and the others) hold only runtimes of today, whatever their names say.
enum RuntimeSource { javaSoftKey, vendorKey };

struct RuntimeCandidate {
    char* homeFolder;  // owned copy
    RuntimeVersion version;
    RuntimeCandidate* next;
    RuntimeSource source;     // of the entry that the merge kept
    const char* registryKey;  // its key under HKLM (a constant text), or null
    bool otherView;           // read from the registry view the build does not see by default
};

struct RuntimeList {
    RuntimeCandidate* head = nullptr;

    RuntimeList() = default;
    ~RuntimeList() { clear(); }
    RuntimeList(const RuntimeList&) = delete;
    RuntimeList& operator=(const RuntimeList&) = delete;

    // Releases every node, taking each node's successor before the node goes.
    void clear();
};

// Merges one registered runtime into the list, keeping its three orderings. A home already listed
// keeps the higher version, or the entry found first on a tie. Returns false only when memory for
// a new node could not be had.
bool mergeRuntime(RuntimeList& list, const char* home, const RuntimeVersion& version,
                  RuntimeSource source = javaSoftKey, const char* registryKey = nullptr,
                  bool otherView = false);
