// The version a runtime's home states in its release file (JAVA_VERSION="17.0.9"), where nothing
// registered the runtime. The file is untrusted: anyone may write below a user's profile.
#pragma once

#include <stddef.h>

#include "runtime_version.h"

// The largest start of a release file that is read: JAVA_VERSION stands in its first lines.
const size_t releaseFileLimit = 4096;

// The JAVA_VERSION value of the first `length` bytes of a release file (no NUL needed, any bytes
// allowed), read as a registry subkey's name is: "1.8.0_392" is 1.8.0.392. Its numbers end at a
// pre-release's hyphen or a build's plus sign: "23-ea" is a pre-release of 23, "21.0.1+12" is
// 21.0.1.0; a hyphen before "b" and a digit is Java 8's build ("1.8.0_392-b08"). 0.0.0.0 when no
// line starts with JAVA_VERSION= followed by a value in double quotes that closes on that line
// and has at most 63 characters.
RuntimeVersion releaseFileVersion(const char* text, size_t length);
