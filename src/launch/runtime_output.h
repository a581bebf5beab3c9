// What a runtime wrote to its error output during one start, as the log keeps it: all of it up to
// 8 KiB; beyond that its first 4 KiB and its last 4 KiB, and how many bytes lay between them.
#pragma once

#include <stddef.h>
#include <stdint.h>

const size_t runtimeOutputPart = 4096;  // the first and the last part kept

// Zero-initialised it holds nothing; so does it after clear().
struct RuntimeOutput {
    char kept[2 * runtimeOutputPart];  // the first part, then the last one (a ring until arranged)
    uint32_t total;                    // bytes written in all (up to 4 GiB)

    void clear() { total = 0; }
    void add(const char* bytes, size_t count);
    // Puts the last part in order behind the first, once, when the writing is over: kept then
    // holds the first min(total, 8 KiB) bytes in order, or when more were written, the first
    // 4 KiB and then the last 4 KiB.
    void arrange();
    uint32_t leftOut() const { return total > sizeof kept ? total - sizeof kept : 0; }
};
