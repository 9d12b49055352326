#include "support/peers/FtpPeer.h"

#include <unistd.h>

#include <stdexcept>

namespace testsupport {

namespace {

void ChangeOwner(const std::filesystem::path& path, AccountIds ids) {
  if (lchown(path.c_str(), ids.uid, ids.gid) != 0) throw std::runtime_error("cannot chown " + path.string());
}

}  // namespace

FtpPeer::FtpPeer(std::string name, PortRange passivePorts, std::string address)
    : PeerServer(std::move(name), std::move(address)), root_(Dir() / "root"), passivePorts_(passivePorts) {
  std::filesystem::create_directory(root_);
  SetLogin(kTestUser, kTestPassword);
}

AccountIds FtpPeer::ServeAsTestAccount() {
  owner_ = EnsureTestAccount();
  ChangeOwner(root_, *owner_);
  return *owner_;
}

void FtpPeer::GiveToUser(const std::filesystem::path& path) const {
  if (!owner_) return;  // the server runs as the test program's user
  ChangeOwner(path, *owner_);
  if (!std::filesystem::is_directory(path)) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
    ChangeOwner(entry.path(), *owner_);
  }
}

}  // namespace testsupport
