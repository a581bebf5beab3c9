#include "trusted_owners.h"

#include <string.h>

namespace {

// S-1-5-18, S-1-5-32-544 and S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464, each
// led by its length: revision 1, the count of sub-authorities, the NT authority 5 in six bytes
// (most significant first), then each sub-authority in four (least significant first).
// clang-format off
const uint8_t trustedSids[] = {
    12, 1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0,                          // SYSTEM
    16, 1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0,        // Administrators
    32, 1, 6, 0, 0, 0, 0, 0, 5, 80, 0, 0, 0, 0xB5, 0x89, 0xFB, 0x38,  // TrustedInstaller
    0x19, 0x84, 0xC2, 0xCB, 0x5C, 0x6C, 0x23, 0x6D, 0x57, 0x00, 0x77, 0x6E, 0xC0, 0x02, 0x64, 0x87,
    0};
// clang-format on

bool sameSid(const uint8_t* a, size_t aLength, const uint8_t* b, size_t bLength) {
    return aLength > 0 && aLength == bLength && memcmp(a, b, aLength) == 0;
}

}  // namespace

bool trustedOwner(const uint8_t* owner, size_t length, const uint8_t* user, size_t userLength) {
    for (const uint8_t* sid = trustedSids; sid[0] != 0; sid += 1 + sid[0]) {
        if (sameSid(owner, length, sid + 1, sid[0])) return true;
    }
    return sameSid(owner, length, user, userLength);
}
