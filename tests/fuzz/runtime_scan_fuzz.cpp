// Random registry entries: names and MicroVersion texts are parsed within their buffers, and after
// every merge the list equals a plain model of the merge rule (keep the higher version for a
// home, compared without regard to case; the earlier entry on a tie; equal versions in the order
// found), which holds the list's three orderings.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

#include "launch/runtime_list.h"
#include "launch/runtime_version.h"

namespace {

struct ModelEntry {
    std::string home;
    RuntimeVersion version;
};

void mergeIntoModel(std::vector<ModelEntry>& model, const char* home, const RuntimeVersion& v) {
    for (auto it = model.begin(); it != model.end(); ++it) {
        if (strcasecmp(it->home.c_str(), home) != 0) continue;
        if (compareVersions(it->version, v) >= 0) return;
        model.erase(it);
        break;
    }
    // Behind every entry that is as new or newer.
    auto at = std::find_if(model.begin(), model.end(),
                           [&](const ModelEntry& e) { return compareVersions(e.version, v) < 0; });
    model.insert(at, ModelEntry{home, v});
}

void checkAgainstModel(const RuntimeList& list, const std::vector<ModelEntry>& model) {
    size_t i = 0;
    for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next, ++i) {
        if (i >= model.size() || model[i].home != n->homeFolder ||
            compareVersions(model[i].version, n->version) != 0) {
            abort();
        }
    }
    if (i != model.size()) abort();
}

// Takes the next field of at most `limit` bytes, ended by a 0xFF byte or the input's end.
void nextField(const uint8_t*& data, size_t& size, char* out, size_t limit) {
    size_t n = 0;
    while (size > 0 && *data != 0xFF && n < limit) out[n++] = static_cast<char>(*data++), --size;
    if (size > 0) ++data, --size;
    out[n] = '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RuntimeList list;
    std::vector<ModelEntry> model;
    while (size > 0) {
        // Buffers as the registry scan has them: names of 260 characters, values of 261 bytes
        // with one more for the terminating NUL.
        char name[261], micro[262], home[262];
        nextField(data, size, name, 260);
        nextField(data, size, micro, 261);
        nextField(data, size, home, 261);
        // Few distinct homes, in varying case, so that the same home comes back often.
        if (home[0] != '\0') home[0] = "aAbBcCdD"[home[0] & 7];
        trimSpaces(name);
        RuntimeVersion version = parseVersionName(name);
        if (wantsMicroVersion(version)) applyMicroVersion(version, micro);
        makeHomeText(home);
        mergeRuntime(list, home, version);
        mergeIntoModel(model, home, version);
        checkAgainstModel(list, model);
    }
    return 0;
}
