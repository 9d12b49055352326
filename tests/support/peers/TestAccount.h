#pragma once
// The user the FTP and SOCKS peers log in. vsftpd checks it through PAM and dante against
// the system passwords, so it exists as a system account; the other peers keep their own
// user lists with the same name and password, owned by the same ids.
#include <sys/types.h>

namespace testsupport {

inline constexpr char kTestUser[] = "marlotest";
inline constexpr char kTestPassword[] = "Marlo-test-7";

struct AccountIds {
  uid_t uid = 0;
  gid_t gid = 0;
};

// Creates the system account when missing (needs root) and sets its password, once per
// process; safe while other test programs do the same. Throws when it cannot.
AccountIds EnsureTestAccount();

}  // namespace testsupport
