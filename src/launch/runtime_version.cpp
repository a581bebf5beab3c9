#include "runtime_version.h"

#include <string.h>

#include "../startup/letters.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

int32_t decimalValue(const char* text) {
    const char* at = text;
    while (isWhiteSpace(*at)) ++at;
    const bool negative = *at == '-';
    if (*at == '-' || *at == '+') ++at;
    // Accumulated as a magnitude; past the 32-bit range it stays at the range's end.
    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t magnitude = 0;
    for (; isDigit(*at); ++at) {
        const uint32_t digit = static_cast<uint32_t>(*at - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return negative ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
}

int32_t compareVersions(const RuntimeVersion& a, const RuntimeVersion& b) {
    const int32_t mine[4] = {a.major, a.minor, a.micro, a.update};
    const int32_t theirs[4] = {b.major, b.minor, b.micro, b.update};
    for (int i = 0; i < 4; ++i) {
        // Compare rather than subtract: a difference of two extreme values would overflow.
        if (mine[i] != theirs[i]) return mine[i] < theirs[i] ? -1 : 1;
    }
    return b.preRelease - a.preRelease;
}

RuntimeVersion parseVersionName(char* name) {
    int32_t numbers[4] = {0, 0, 0, 0};
    int taken = 0;
    char* runStart = nullptr;
    // The walk includes the terminating NUL, which ends a run standing at the very end.
    for (char* at = name; taken < 4; ++at) {
        const char c = *at;
        if (isDigit(c)) {
            if (runStart == nullptr) runStart = at;
        } else {
            if (runStart != nullptr) {
                *at = '\0';
                numbers[taken++] = decimalValue(runStart);
                runStart = nullptr;
            }
            if (c == '\0') break;
        }
    }
    return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

void applyMicroVersion(RuntimeVersion& version, char* microVersion) {
    char* underscore = strchr(microVersion, '_');
    if (underscore == nullptr) {
        version.micro = decimalValue(microVersion);
        return;
    }
    *underscore = '\0';
    version.micro = decimalValue(microVersion);
    version.update = decimalValue(underscore + 1);
}

char* trimSpaces(char* text) {
    if (text == nullptr) return nullptr;
    size_t leading = 0;
    while (text[leading] == ' ') ++leading;
    // Moved forward byte by byte, NUL included: the two ranges overlap.
    if (leading > 0) {
        for (char* to = text; (*to = to[leading]) != '\0'; ++to) {
        }
    }
    for (size_t length = strlen(text); length > 0 && text[length - 1] == ' '; --length) {
        text[length - 1] = '\0';
    }
    return text;
}

char* makeHomeText(char* value) {
    trimSpaces(value);
    const size_t length = strlen(value), characters = pathCharacters(value);
    if (characters >= 1 && characters <= static_cast<size_t>(homeTextBackslashLimit) &&
        finalBackslashes(value) == 0) {
        value[length] = '\\';
        value[length + 1] = '\0';
    }
    return value;
}
