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

void RuntimeOutput::arrange() {
    if (total <= sizeof kept) return;
    // The oldest byte of the ring stands where the next one would have gone.
    const size_t oldest = (total - runtimeOutputPart) % runtimeOutputPart;
    char* const ring = kept + runtimeOutputPart;
    char ordered[runtimeOutputPart];
    memcpy(ordered, ring + oldest, runtimeOutputPart - oldest);
    memcpy(ordered + runtimeOutputPart - oldest, ring, oldest);
    memcpy(ring, ordered, runtimeOutputPart);
}
