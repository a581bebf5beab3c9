// An ANSI form of a path that the wide calls gave: the narrow form of a path loses the letters that
// the ANSI code page cannot spell (a Cyrillic folder name under a Western code page comes out as
// question marks, which name nothing), and the short 8.3 form of the same path then names the
// same object in plain ANSI.
#pragma once

#include <windows.h>

// Writes the path's exact narrow form into `narrow` (`capacity` bytes, at most MAX_PATH + 1), or
// where there is none, that of its short form; false, with `narrow` left as it was, when neither
// exists or fits.
bool ansiPath(const wchar_t* wide, char* narrow, unsigned capacity = MAX_PATH);

// An environment variable's value (the name is ASCII) as such an ANSI path, in a buffer of
// `capacity` bytes (at most MAX_PATH + 1); false when it is unset, does not fit, or has no ANSI
// form.
bool readAnsiVariable(const char* name, char* buffer, unsigned capacity);
