// Readable forms of versions and runtime lists, shared by the native and the Windows-side tests:
// "1.4.2.3" and "1.4.2.3 C:\Java\jre142\".
#pragma once

#include <string>
#include <vector>

#include "launch/runtime_list.h"

inline std::string describeVersion(const RuntimeVersion& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.micro) +
           "." + std::to_string(v.update) + (v.preRelease ? " pre-release" : "");
}

inline std::vector<std::string> runtimeRows(const RuntimeList& list) {
    std::vector<std::string> rows;
    for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next) {
        rows.push_back(describeVersion(n->version) + " " + n->homeFolder);
    }
    return rows;
}
