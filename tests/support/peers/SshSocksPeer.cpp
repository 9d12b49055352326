#include "support/peers/SshSocksPeer.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/loopback/FreePorts.h"
#include "support/peers/RunCommand.h"

namespace testsupport {

namespace {

constexpr char kSshd[] = "/usr/sbin/sshd";
constexpr char kSsh[] = "/usr/bin/ssh";
constexpr char kSshKeygen[] = "/usr/bin/ssh-keygen";
// sshd refuses to start without its privilege separation folder.
constexpr char kPrivilegeSeparationDir[] = "/run/sshd";

std::string CurrentUserName() {
  const passwd* entry = getpwuid(geteuid());
  if (entry == nullptr) throw std::runtime_error("the current user has no name");
  return entry->pw_name;
}

}  // namespace

SshSocksPeer::SshSocksPeer() : PeerServer(kName), sshdPort_(FreePort()) {}

std::vector<std::string> SshSocksPeer::RequiredFiles() const { return {kSshd, kSsh, kSshKeygen}; }

std::string SshSocksPeer::MakeKey(const std::string& name) {
  const std::string path = (Dir() / name).string();
  RunCommand({kSshKeygen, "-q", "-t", "ed25519", "-N", "", "-C", "marlo-test", "-f", path});
  return path;
}

std::string SshSocksPeer::SshdConfig() const {
  const std::string dir = Dir().string();
  return "Port " + std::to_string(sshdPort_) + "\n"
         "ListenAddress 127.0.0.1\n"
         "AddressFamily inet\n"
         "HostKey " + dir + "/host_key\n"
         "PidFile " + dir + "/sshd.pid\n"
         "AuthorizedKeysFile " + dir + "/user_key.pub\n"
         "PubkeyAuthentication yes\n"
         "PasswordAuthentication no\n"
         "KbdInteractiveAuthentication no\n"
         "PermitRootLogin prohibit-password\n"
         "UsePAM no\n"
         "StrictModes no\n"
         "AllowTcpForwarding yes\n"
         "PermitOpen 127.0.0.1:* localhost:*\n";
}

void SshSocksPeer::Launch() {
  std::filesystem::create_directories(kPrivilegeSeparationDir);
  MakeKey("host_key");
  const std::string userKey = MakeKey("user_key");
  // sshd re-executes itself, so it needs its absolute path; -D keeps it in the foreground.
  Spawn("sshd", {kSshd, "-D", "-e", "-f", WriteFile("sshd_config", SshdConfig()).string()});
  AwaitPort(sshdPort_, false);
  Spawn("ssh", {kSsh, "-F", "/dev/null", "-N", "-D", "127.0.0.1:" + std::to_string(Port()), "-p",
                std::to_string(sshdPort_), "-i", userKey, "-o", "IdentitiesOnly=yes", "-o", "BatchMode=yes",
                "-o", "StrictHostKeyChecking=no", "-o", "UserKnownHostsFile=/dev/null", "-o",
                "ExitOnForwardFailure=yes", "-o", "LogLevel=ERROR", CurrentUserName() + "@127.0.0.1"});
  AwaitPort(Port(), false);
}

}  // namespace testsupport
