// Names that the wide calls give (UTF-16) made ANSI for a code page: exactly, or not at all.
// Windows' conversion puts look-alikes in place of the letters a code page lacks (Ł becomes L) and
// counts them as lost only when asked for no best fit; and it refuses to count lost letters for
// UTF-8, which loses none. A name that has no exact form is reached through its short 8.3 form.
#pragma once

#include <stdint.h>

// Room for a path of up to 260 UTF-16 units and its NUL in any ANSI code page: UTF-8 takes up to
// three bytes a unit.
const unsigned pathBytes = 3 * 260 + 1;

const uint32_t utf8CodePage = 65001;
const uint32_t noBestFit = 0x400;  // WC_NO_BEST_FIT_CHARS

// The platform's conversions, as WideCharToMultiByte and GetShortPathNameW answer.
struct NameConversion {
    // Converts the NUL-terminated `wide` with `flags`; where `lost` is given, sets it to whether a
    // letter was lost. Bytes written, NUL included; 0 when the platform refused or it did not fit.
    int (*narrow)(uint32_t codePage, uint32_t flags, const char16_t* wide, char* narrow,
                  int capacity, int* lost);
    // The short form's length without its NUL, 0 when there is none; capacity or more: too long.
    uint32_t (*shortForm)(const char16_t* path, char16_t* shortPath, uint32_t capacity);
};

// The exact form of `wide` in the code page, in `narrow` (`capacity` bytes); false, with `narrow`
// written or not, when a letter would be lost or it does not fit.
bool exactName(const NameConversion& convert, uint32_t codePage, const char16_t* wide, char* narrow,
               unsigned capacity);

// The exact form of a path, or where it has none, of its short form; false when neither exists.
bool exactOrShortName(const NameConversion& convert, uint32_t codePage, const char16_t* wide,
                      char* narrow, unsigned capacity);

// A Java runtime reads its command line and its folder in the system's code page, not in the
// launcher's: a path is handed to it in its own form where that code page spells it, else in its
// short form; where it has neither, in its own form, which the runtime will misread.
enum RuntimeForm { ownForm, shortForm, noReadableForm };
// Which form the path `wide` is handed in; for shortForm, that form in the launcher's code page is
// in `narrow`.
RuntimeForm runtimeName(const NameConversion& convert, uint32_t launcherCodePage,
                        uint32_t systemCodePage, const char16_t* wide, char* narrow,
                        unsigned capacity);
