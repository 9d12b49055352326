#include "support/peers/TestAccount.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <mutex>
#include <stdexcept>
#include <string>

#include "support/peers/RunCommand.h"

namespace testsupport {

namespace {

constexpr char kLockPath[] = "/tmp/marlo-test-account.lock";

// Serialises account changes between test programs running side by side.
class AccountLock {
 public:
  AccountLock() : fd_(open(kLockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ < 0 || flock(fd_, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + std::string(kLockPath));
  }
  ~AccountLock() { close(fd_); }
  AccountLock(const AccountLock&) = delete;
  AccountLock& operator=(const AccountLock&) = delete;

 private:
  int fd_;
};

AccountIds CreateAccount() {
  AccountLock lock;
  if (getpwnam(kTestUser) == nullptr) {
    // A shell listed in /etc/shells: PAM's ftp rules refuse others.
    RunCommand({"/usr/sbin/useradd", "--create-home", "--shell", "/bin/bash", kTestUser});
  }
  RunCommand({"/usr/sbin/chpasswd"}, std::string(kTestUser) + ":" + kTestPassword + "\n");
  const passwd* entry = getpwnam(kTestUser);
  if (entry == nullptr) throw std::runtime_error(std::string("no account ") + kTestUser + " after useradd");
  return {entry->pw_uid, entry->pw_gid};
}

}  // namespace

AccountIds EnsureTestAccount() {
  static std::once_flag once;
  static AccountIds ids;
  std::call_once(once, [] { ids = CreateAccount(); });
  return ids;
}

}  // namespace testsupport
