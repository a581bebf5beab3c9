// Texts packed one after the other, each ended by a NUL, in place of a table of their addresses:
// such a table costs four bytes a text and an entry for each in the relocations, which the loader
// applies when it moves the program.
#pragma once

#include <string.h>

inline const char* nextText(const char* text) {
    return text + strlen(text) + 1;
}

// The text at `index` (0 for the first).
const char* packedText(const char* texts, unsigned index);
