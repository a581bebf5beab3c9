// ANSI text walked by letters. In the code pages of Japan, China, Taiwan and Korea a letter may
// take two bytes, and its second byte may be anything from 0x40 up: the backslash (0x5C) and the
// ASCII letters among them. A loop over bytes takes the second byte of 表 (95 5C in code page 932)
// for a path's separator, or upper-cases the second byte of another letter. UTF-8 needs no such
// care: every byte of a letter beyond ASCII is 0x80 or more.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The code page the launcher's own texts are in. The shell fills it once, before any text is read;
// left zero, it is a single-byte code page.
struct TextCodePage {
    uint8_t leadBytes[12];  // pairs of first and last lead byte, ended by a zero pair (GetCPInfo)
    bool utf8;
};
extern TextCodePage textCodePage;

bool leadsTwoBytes(unsigned char c);

// The letter after the one at `at`, which is not the text's NUL.
inline const char* nextLetter(const char* at) {
    return at + (leadsTwoBytes(static_cast<unsigned char>(*at)) && at[1] != '\0' ? 2 : 1);
}

// How many backslashes end the text, each a letter of its own.
size_t finalBackslashes(const char* text);

// The last backslash that is a letter of its own, or null.
char* lastBackslash(char* text);

// The text's length in the units Windows counts a path's characters in (UTF-16).
size_t pathCharacters(const char* text);

// Orders two texts over at most `length` bytes without regard to the case of ASCII letters; the
// second byte of a two-byte letter counts as it is. Negative, 0 or positive.
int compareIgnoringCase(const char* a, const char* b, size_t length = SIZE_MAX);
