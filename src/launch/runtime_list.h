// The runtimes of one selection: a singly linked list, highest version first, equal versions in
// the order found (a folder's runtimes of one place by name), and one node per home folder
// (compared without regard to case).
#pragma once

#include "runtime_version.h"

// Who registered a runtime, or that nothing did. The JavaSoft keys hold runtimes of every age; a
// vendor's own keys (Temurin, Zulu and the others) hold only runtimes of today, whatever their
// names say, and so do the folders where runtimes are put without a registration.
enum RuntimeSource : uint8_t { javaSoftKey, vendorKey, folderSearch };

// Where a registry entry was read: HKLM in the launcher's own view or in the other one, or the
// current user's HKCU\SOFTWARE, which both views share.
enum RegistryHive : uint8_t { ownRegistryView, otherRegistryView, currentUserHive };

struct RuntimeCandidate {
    char* homeFolder;  // owned copy
    RuntimeVersion version;
    RuntimeCandidate* next;
    RuntimeSource source;  // of the entry that the merge kept
    uint8_t place;         // a registry entry's RegistryHive; a folder's place in the search
    const char*
        registryKey;  // a registry entry's key below its hive's SOFTWARE (a constant), or null
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

// Merges one runtime into the list, keeping its three orderings. A home already listed keeps the
// higher version, or the entry found first on a tie. True when the home was not listed before
// and now is; false for a home listed already, or when memory for a node could not be had.
bool mergeRuntime(RuntimeList& list, const char* home, const RuntimeVersion& version,
                  RuntimeSource source = javaSoftKey, const char* registryKey = nullptr,
                  uint8_t place = ownRegistryView);
