#pragma once
// Password hashes for the user lists of pure-ftpd and proftpd.
#include <string>

namespace testsupport {

// A crypt(3) SHA-512 hash ("$6$salt$..."), cheap to check, unlike pure-pw's default argon2
// which costs seconds per login.
std::string Sha512Crypt(const std::string& password);

}  // namespace testsupport
