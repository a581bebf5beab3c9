#include "release_file.h"

#include <string.h>

namespace {

const char versionKey[] = "JAVA_VERSION=\"";
const size_t versionKeyLength = sizeof versionKey - 1;

bool endsLine(char c) {
    return c == '\n' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

RuntimeVersion releaseFileVersion(const char* text, size_t length) {
    const char* const end = text + length;
    for (const char* line = text; line < end;) {
        if (static_cast<size_t>(end - line) > versionKeyLength &&
            memcmp(line, versionKey, versionKeyLength) == 0) {
            char value[64];
            size_t n = 0, numbers = 0;  // the numbers end at the first hyphen or plus sign
            for (const char* at = line + versionKeyLength; at < end && !endsLine(*at); ++at) {
                if (*at == '"') {
                    value[n] = '\0';
                    const bool hyphen = numbers < n && value[numbers] == '-';
                    const bool build =
                        hyphen && value[numbers + 1] == 'b' && isDigit(value[numbers + 2]);
                    value[numbers] = '\0';
                    RuntimeVersion version = parseVersionName(value);
                    version.preRelease = hyphen && !build;
                    return version;
                }
                if (n == sizeof value - 1) break;
                if (numbers == n && *at != '-' && *at != '+') ++numbers;
                value[n++] = *at;
            }
            break;  // unclosed or too long: the version stays unread
        }
        while (line < end && !endsLine(*line)) ++line;
        while (line < end && endsLine(*line)) ++line;
    }
    return {0, 0, 0, 0};
}
