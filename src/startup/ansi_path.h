// The launcher's ANSI texts for names that the wide calls give, and the forms of paths it hands a
// runtime. The manifest makes UTF-8 the launcher's ANSI code page where Windows takes it (Windows
// 10 1903 and later), so that its texts spell every name; elsewhere its code page is the system's,
// and a name that code page cannot spell is used through its short 8.3 form. A runtime reads in the
// system's code page whatever the launcher's is.
#pragma once

#include <windows.h>

#include "exact_names.h"

// Reads both code pages, and the lead bytes of the launcher's; first thing at the entry.
void readCodePages();
// The code page the system's programs, Java runtimes among them, read and write ANSI text in.
UINT systemCodePage();

// The exact form of `wide` in the launcher's code page; false when it has none or does not fit.
bool exactAnsi(const wchar_t* wide, char* narrow, unsigned capacity);
// The exact form of a path, or of its short form; false when neither exists or fits.
bool ansiPath(const wchar_t* wide, char* narrow, unsigned capacity = pathBytes);
// The form of a path of the launcher's to hand a runtime: `path` itself where the system's code
// page spells it, else its short form, written into `buffer`. A path that has neither is handed as
// it is, and the log says so.
const char* runtimePath(const char* path, char* buffer, unsigned capacity);

// An ASCII name (of a variable or a registry value) in UTF-16.
void widenAscii(const char* name, wchar_t* wide, unsigned capacity);

// An environment variable's value as an ANSI path, in a buffer of `capacity` bytes; false when it
// is unset or empty. One that is longer than a path may be, or that has no ANSI form, is refused,
// and the log says why.
bool readAnsiVariable(const char* name, char* buffer, unsigned capacity);
