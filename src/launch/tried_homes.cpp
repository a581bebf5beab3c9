#include "tried_homes.h"

#include <stdlib.h>
#include <string.h>

namespace {

char upperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t lengthWithoutFinalBackslash(const char* text) {
    const size_t length = strlen(text);
    return length > 0 && text[length - 1] == '\\' ? length - 1 : length;
}

}  // namespace

bool sameHome(const char* a, const char* b) {
    const size_t length = lengthWithoutFinalBackslash(a);
    if (lengthWithoutFinalBackslash(b) != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (upperCase(a[i]) != upperCase(b[i])) return false;
    }
    return true;
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
