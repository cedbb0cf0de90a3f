#pragma once
#include <string>
#include <string_view>

namespace server {

// 128 bits from the system's random source, base64url without padding (22
// characters): run ids, write keys, the teacher's token.
std::string RandomSecret();

// The SHA-256 of a secret, base64url: what is kept of a write key on the disk.
std::string SecretHash(std::string_view secret);

// Whether two secrets are equal, in a time that depends on their lengths
// alone, not on where they first differ.
bool SameSecret(std::string_view given, std::string_view expected);

}  // namespace server
