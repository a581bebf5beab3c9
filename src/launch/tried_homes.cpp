#include "tried_homes.h"

#include <stdlib.h>
#include <string.h>

#include "../startup/letters.h"

namespace {

size_t lengthWithoutFinalBackslash(const char* text) {
    return strlen(text) - (finalBackslashes(text) > 0 ? 1 : 0);
}

}  // namespace

bool sameHome(const char* a, const char* b) {
    const size_t length = lengthWithoutFinalBackslash(a);
    return lengthWithoutFinalBackslash(b) == length && compareIgnoringCase(a, b, length) == 0;
}

TriedHomes::~TriedHomes() {
    free(tried_);
}

void TriedHomes::remember(const char* home) {
    if (count_ == capacity_) {
        const size_t grown = capacity_ == 0 ? 8 : capacity_ * 2;
        void* larger = realloc(tried_, grown * sizeof *tried_);
        if (larger == nullptr) return;
        tried_ = static_cast<Tried*>(larger);
        capacity_ = grown;
    }
    Tried& t = tried_[count_++];
    t.home = home;
    t.identified = identify(home, t.identity);
}

bool TriedHomes::contains(const char* home) const {
    FolderIdentity identity;
    const bool identified = identify(home, identity);
    for (size_t i = 0; i < count_; ++i) {
        const Tried& t = tried_[i];
        if (sameHome(t.home, home) ||
            (identified && t.identified && memcmp(&t.identity, &identity, sizeof identity) == 0)) {
            return true;
        }
    }
    return false;
}
