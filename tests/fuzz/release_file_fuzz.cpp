// Random release files, of any bytes and at most the 4 KiB the search reads: the version read
// equals that of a plain model (the first line that starts with JAVA_VERSION=" decides: its
// value up to a closing quote on the same line, if it has at most 63 characters; its numbers up
// to the first hyphen or plus sign, a pre-release where a hyphen comes first and not before "b"
// and a digit), and nothing is read outside the bytes given.
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "launch/release_file.h"

namespace {

RuntimeVersion model(const std::string& text) {
    const std::string key = "JAVA_VERSION=\"";
    for (size_t start = 0; start < text.size(); ++start) {
        if (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') continue;
        if (text.compare(start, key.size(), key) != 0 || start + key.size() == text.size()) {
            continue;
        }
        const size_t from = start + key.size();
        size_t end = from;
        while (end < text.size() && text[end] != '"' && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        if (end == text.size() || text[end] != '"' || end - from > 63) return {0, 0, 0, 0};
        std::string value = text.substr(from, end - from);
        const size_t cut = value.find_first_of("-+");
        const bool hyphen = cut != std::string::npos && value[cut] == '-';
        const bool build = hyphen && cut + 2 < value.size() && value[cut + 1] == 'b' &&
                           value[cut + 2] >= '0' && value[cut + 2] <= '9';
        std::string numbers = value.substr(0, cut);
        RuntimeVersion version = parseVersionName(&numbers[0]);
        version.preRelease = hyphen && !build;
        return version;
    }
    return {0, 0, 0, 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > releaseFileLimit) size = releaseFileLimit;
    // A copy of exactly its size, so that AddressSanitizer sees any reading beyond it.
    const std::vector<char> bytes(data, data + size);
    const RuntimeVersion read = releaseFileVersion(bytes.data(), bytes.size());
    const RuntimeVersion expected = model(std::string(bytes.begin(), bytes.end()));
    if (compareVersions(read, expected) != 0 || read.preRelease != expected.preRelease) abort();
    return 0;
}
