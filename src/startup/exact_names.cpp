#include "exact_names.h"

bool exactName(const NameConversion& convert, uint32_t codePage, const char16_t* wide, char* narrow,
               unsigned capacity) {
    // UTF-8 spells every letter, and Windows refuses the question of lost letters for it.
    if (codePage == utf8CodePage) {
        return convert.narrow(codePage, 0, wide, narrow, static_cast<int>(capacity), nullptr) != 0;
    }
    int lost = 1;
    return convert.narrow(codePage, noBestFit, wide, narrow, static_cast<int>(capacity), &lost) !=
               0 &&
           !lost;
}

namespace {

const uint32_t shortCapacity = 260;

// The short form of `wide` in `shortPath`, or false.
bool shortPathOf(const NameConversion& convert, const char16_t* wide, char16_t* shortPath) {
    const uint32_t length = convert.shortForm(wide, shortPath, shortCapacity);
    return length > 0 && length < shortCapacity;
}

}  // namespace

bool exactOrShortName(const NameConversion& convert, uint32_t codePage, const char16_t* wide,
                      char* narrow, unsigned capacity) {
    if (exactName(convert, codePage, wide, narrow, capacity)) return true;
    char16_t shortPath[shortCapacity];
    return shortPathOf(convert, wide, shortPath) &&
           exactName(convert, codePage, shortPath, narrow, capacity);
}

RuntimeForm runtimeName(const NameConversion& convert, uint32_t launcherCodePage,
                        uint32_t systemCodePage, const char16_t* wide, char* narrow,
                        unsigned capacity) {
    // The system's spelling is only tried, never kept: lines are written in the launcher's.
    if (exactName(convert, systemCodePage, wide, narrow, capacity)) return ownForm;
    char16_t shortPath[shortCapacity];
    return shortPathOf(convert, wide, shortPath) &&
                   exactName(convert, systemCodePage, shortPath, narrow, capacity) &&
                   exactName(convert, launcherCodePage, shortPath, narrow, capacity)
               ? shortForm
               : noReadableForm;
}
