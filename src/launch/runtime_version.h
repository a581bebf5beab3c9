// Versions of registered runtimes, read from registry subkey names such as 1.4.2_03, and the
// text rules applied to the values read beside them.
#pragma once

#include <stdint.h>

struct RuntimeVersion {
    int32_t major;
    int32_t minor;
    int32_t micro;
    int32_t update;
    // An early-access or other pre-release build (23-ea), as a release file may state: below the
    // release of the same numbers. Registry versions never are.
    bool preRelease = false;
};

// The standard decimal conversion (white space, an optional sign, digits up to the first other
// character; 0 without digits), except that a value beyond the signed 32-bit range stays at that
// range's end instead of overflowing, so that every build reads such a number alike.
int32_t decimalValue(const char* text);

// The first non-zero field difference of a minus b, in order of significance, then a release
// before a pre-release; only its sign counts.
int32_t compareVersions(const RuntimeVersion& a, const RuntimeVersion& b);

// Takes up to four runs of decimal digits from name; everything else only separates them. The
// text is a working copy: the character after each run taken is overwritten with NUL.
RuntimeVersion parseVersionName(char* name);

// Whether the name left micro and update unset, so that the MicroVersion value is consulted.
inline bool wantsMicroVersion(const RuntimeVersion& version) {
    return version.micro == 0 && version.update == 0;
}

// Applies a MicroVersion value such as "2" or "2_05" to micro and update. The text is
// NUL-terminated and may be cut at its underscore.
void applyMicroVersion(RuntimeVersion& version, char* microVersion);

// Removes leading and trailing spaces (only the space character) in place; null gives null.
char* trimSpaces(char* text);

// Largest home text, in characters, that still gets a closing backslash; the buffer must hold one
// more byte.
const int32_t homeTextBackslashLimit = 258;

// Trims a JavaHome value and gives it a closing backslash when it has 1 to 258 characters (UTF-16
// units, as Windows counts a path's) and its last letter is not one.
char* makeHomeText(char* value);
