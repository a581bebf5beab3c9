#include "release_file.h"

#include <string.h>

namespace {

const char versionKey[] = "JAVA_VERSION=\"";
const size_t versionKeyLength = sizeof versionKey - 1;

bool endsLine(char c) {
    return c == '\n' || c == '\r';
}

}  // namespace

RuntimeVersion releaseFileVersion(const char* text, size_t length) {
    const char* const end = text + length;
    for (const char* line = text; line < end;) {
        if (static_cast<size_t>(end - line) > versionKeyLength &&
            memcmp(line, versionKey, versionKeyLength) == 0) {
            char value[64];
            size_t n = 0;
            for (const char* at = line + versionKeyLength; at < end && !endsLine(*at); ++at) {
                if (*at == '"') {
                    value[n] = '\0';
                    return parseVersionName(value);
                }
                if (n == sizeof value - 1) break;
                value[n++] = *at;
            }
            break;  // unclosed or too long: the version stays unread
        }
        while (line < end && !endsLine(*line)) ++line;
        while (line < end && endsLine(*line)) ++line;
    }
    return {0, 0, 0, 0};
}
