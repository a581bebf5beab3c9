#include "letters.h"

// Zero, so that it takes no room in the file: a single-byte code page until the shell says more.
TextCodePage textCodePage;

namespace {

unsigned char upperCase(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

bool leadsTwoBytes(unsigned char c) {
    const uint8_t* range = textCodePage.leadBytes;
    for (; range < textCodePage.leadBytes + sizeof textCodePage.leadBytes && range[0] != 0;
         range += 2) {
        if (c >= range[0] && c <= range[1]) return true;
    }
    return false;
}

size_t finalBackslashes(const char* text) {
    size_t run = 0;
    for (const char* at = text; *at != '\0'; at = nextLetter(at)) run = *at == '\\' ? run + 1 : 0;
    return run;
}

char* lastBackslash(char* text) {
    char* last = nullptr;
    for (char* at = text; *at != '\0'; at = const_cast<char*>(nextLetter(at))) {
        if (*at == '\\') last = at;
    }
    return last;
}

size_t pathCharacters(const char* text) {
    size_t units = 0;
    for (const char* at = text; *at != '\0'; at = nextLetter(at)) {
        const unsigned char c = static_cast<unsigned char>(*at);
        // In UTF-8 a letter's later bytes add nothing, and a letter of four bytes takes two units.
        units += !textCodePage.utf8 ? 1 : (c & 0xC0) == 0x80 ? 0 : c >= 0xF0 ? 2 : 1;
    }
    return units;
}

int compareIgnoringCase(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        const int difference = upperCase(x) - upperCase(y);
        if (difference != 0 || x == 0) return difference;
        // The same lead byte in both: the second bytes count as they are.
        if (leadsTwoBytes(x) && ++i < length) {
            const int second = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
            if (second != 0 || a[i] == '\0') return second;
        }
    }
    return 0;
}
