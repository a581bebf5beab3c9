#include "runtime_output.h"

#include <string.h>

void RuntimeOutput::add(const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i, ++total) {
        // Past the first part the last part is a ring: it holds the latest 4 KiB.
        const size_t at =
            total < runtimeOutputPart
                ? total
                : runtimeOutputPart + ((total - runtimeOutputPart) % runtimeOutputPart);
        kept[at] = bytes[i];
    }
}

namespace {

void reverse(char* from, char* to) {
    while (from < --to) {
        const char c = *from;
        *from++ = *to;
        *to = c;
    }
}

}  // namespace

void RuntimeOutput::arrange() {
    if (total <= sizeof kept) return;
    // The oldest byte of the ring stands where the next one would have gone. The ring is turned in
    // place, by three reversals: a copy of it would take a page of the stack.
    const size_t oldest = (total - runtimeOutputPart) % runtimeOutputPart;
    char* const ring = kept + runtimeOutputPart;
    reverse(ring, ring + oldest);
    reverse(ring + oldest, ring + runtimeOutputPart);
    reverse(ring, ring + runtimeOutputPart);
}
