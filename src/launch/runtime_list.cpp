#include "runtime_list.h"

#include <stdlib.h>
#include <string.h>

namespace {

RuntimeCandidate* newCandidate(const char* home, const RuntimeVersion& version,
                               RuntimeSource source, const char* registryKey, bool otherView) {
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
    node->otherView = otherView;
    return node;
}

void releaseCandidate(RuntimeCandidate* node) {
    free(node->homeFolder);
    free(node);
}

char upperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameFolder(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (upperCase(*a) != upperCase(*b)) return false;
        if (*a == '\0') return true;
    }
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
                  RuntimeSource source, const char* registryKey, bool otherView) {
    for (RuntimeCandidate** link = &list.head; *link != nullptr; link = &(*link)->next) {
        RuntimeCandidate* node = *link;
        if (!sameFolder(node->homeFolder, home)) continue;
        if (compareVersions(node->version, version) >= 0) return true;
        *link = node->next;
        releaseCandidate(node);
        break;
    }
    RuntimeCandidate* added = newCandidate(home, version, source, registryKey, otherView);
    if (added == nullptr) return false;
    RuntimeCandidate** link = &list.head;
    while (*link != nullptr && compareVersions((*link)->version, version) >= 0)
        link = &(*link)->next;
    added->next = *link;
    *link = added;
    return true;
}
