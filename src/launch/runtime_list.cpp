#include "runtime_list.h"

#include <stdlib.h>
#include <string.h>

#include "../startup/letters.h"

namespace {

RuntimeCandidate* newCandidate(const char* home, const RuntimeVersion& version,
                               RuntimeSource source, const char* registryKey, uint8_t place) {
    RuntimeCandidate* node = static_cast<RuntimeCandidate*>(malloc(sizeof(RuntimeCandidate)));
    if (node == nullptr) return nullptr;
    const size_t size = strlen(home) + 1;
    node->homeFolder = static_cast<char*>(malloc(size));
    if (node->homeFolder == nullptr) {
        free(node);
        return nullptr;
    }
    memcpy(node->homeFolder, home, size);
    node->version = version;
    node->next = nullptr;
    node->source = source;
    node->registryKey = registryKey;
    node->place = place;
    return node;
}

void releaseCandidate(RuntimeCandidate* node) {
    free(node->homeFolder);
    free(node);
}

// Whether a new node of this version goes before the listed one: before an older runtime, and
// before a runtime of equal version found in the same place of the folder search under a later
// name, so that each place's runtimes stand in the order of their names.
bool goesBefore(const RuntimeCandidate* listed, const RuntimeVersion& version, RuntimeSource source,
                uint8_t place, const char* home) {
    const int32_t order = compareVersions(listed->version, version);
    if (order != 0) return order < 0;
    return source == folderSearch && listed->source == folderSearch && listed->place == place &&
           compareIgnoringCase(listed->homeFolder, home) > 0;
}

}  // namespace

void RuntimeList::clear() {
    while (head != nullptr) {
        RuntimeCandidate* next = head->next;
        releaseCandidate(head);
        head = next;
    }
}

bool mergeRuntime(RuntimeList& list, const char* home, const RuntimeVersion& version,
                  RuntimeSource source, const char* registryKey, uint8_t place) {
    bool listed = false;
    for (RuntimeCandidate** link = &list.head; *link != nullptr; link = &(*link)->next) {
        RuntimeCandidate* node = *link;
        if (compareIgnoringCase(node->homeFolder, home) != 0) continue;
        if (compareVersions(node->version, version) >= 0) return false;
        *link = node->next;
        releaseCandidate(node);
        listed = true;
        break;
    }
    RuntimeCandidate* added = newCandidate(home, version, source, registryKey, place);
    if (added == nullptr) return false;
    RuntimeCandidate** link = &list.head;
    while (*link != nullptr && !goesBefore(*link, version, source, place, home)) {
        link = &(*link)->next;
    }
    added->next = *link;
    *link = added;
    return !listed;
}
