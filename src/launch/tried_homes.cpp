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
    free(homes_);
}

void TriedHomes::remember(const char* home) {
    if (count_ == capacity_) {
        const size_t grown = capacity_ == 0 ? 8 : capacity_ * 2;
        void* larger = realloc(homes_, grown * sizeof *homes_);
        if (larger == nullptr) return;
        homes_ = static_cast<const char**>(larger);
        capacity_ = grown;
    }
    homes_[count_++] = home;
}

bool TriedHomes::contains(const char* home) const {
    for (size_t i = 0; i < count_; ++i) {
        if (sameHome(homes_[i], home)) return true;
    }
    return false;
}
