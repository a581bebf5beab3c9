// Random registry entries: names and MicroVersion texts are parsed within their buffers, and
// merging them keeps the list's three orderings after every insertion.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include "launch/runtime_list.h"
#include "launch/runtime_version.h"

namespace {

void checkInvariants(const RuntimeList& list) {
    for (const RuntimeCandidate* a = list.head; a != nullptr; a = a->next) {
        if (a->next != nullptr && compareVersions(a->version, a->next->version) < 0) abort();
        for (const RuntimeCandidate* b = a->next; b != nullptr; b = b->next) {
            if (strcasecmp(a->homeFolder, b->homeFolder) == 0) abort();
        }
    }
}

// Takes the next field of at most `limit` bytes, ended by a 0xFF byte or the input's end.
size_t nextField(const uint8_t*& data, size_t& size, char* out, size_t limit) {
    size_t n = 0;
    while (size > 0 && *data != 0xFF && n < limit) out[n++] = static_cast<char>(*data++), --size;
    if (size > 0) ++data, --size;
    out[n] = '\0';
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RuntimeList list;
    size_t order = 0;
    while (size > 0) {
        char name[261], micro[262], home[262];
        nextField(data, size, name, 260);
        nextField(data, size, micro, 261);
        nextField(data, size, home, 261);
        // Few distinct homes, in varying case, so that duplicates are common.
        if (home[0] != '\0')
            home[0] = static_cast<char>('a' + (home[0] & 3) + ((order & 1) ? 0 : 'A' - 'a'));
        ++order;
        trimSpaces(name);
        RuntimeVersion version = parseVersionName(name);
        if (wantsMicroVersion(version)) applyMicroVersion(version, micro);
        mergeRuntime(list, makeHomeText(home), version);
        checkInvariants(list);
    }
    // Order among equal versions: the list must hold every distinct home at most once, which the
    // check above covers; stability is covered by the table tests.
    return 0;
}
