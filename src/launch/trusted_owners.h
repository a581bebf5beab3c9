// Who may own a folder that a runtime is taken from, where other users may create folders of their
// own (ProgramData, another drive's root): the system, the Administrators group, TrustedInstaller,
// or the user running the launcher. A runtime that another user planted there would otherwise run
// with the rights of everyone whose launcher reaches it. Owners are the bytes of their security
// identifiers (SIDs), as Windows stores them.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The largest SID (SECURITY_MAX_SID_SIZE).
const size_t sidBytesLimit = 68;

// Whether `owner` (`length` bytes) is one of the trusted owners, or the user (`userLength` bytes;
// 0 when the platform could not tell it).
bool trustedOwner(const uint8_t* owner, size_t length, const uint8_t* user, size_t userLength);
