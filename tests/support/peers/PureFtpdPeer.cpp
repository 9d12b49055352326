#include "support/peers/PureFtpdPeer.h"

#include <pwd.h>

#include <stdexcept>
#include <string>

#include "support/peers/PasswordHash.h"
#include "support/peers/RunCommand.h"

namespace testsupport {

namespace {

std::string AnonymousHome() {
  const passwd* ftp = getpwnam("ftp");
  if (ftp == nullptr) throw std::runtime_error("no system account \"ftp\" for anonymous logins");
  return ftp->pw_dir;
}

}  // namespace

PureFtpdPeer::PureFtpdPeer(std::string address) : FtpPeer(kName, {}, std::move(address)) {}

std::vector<std::string> PureFtpdPeer::RequiredFiles() const {
  return {UnpackedProgram("usr/sbin/pure-ftpd"), UnpackedProgram("usr/bin/pure-pw"), "/usr/bin/unshare",
          "/usr/bin/openssl"};
}

// The user list: "name:hash:uid:gid:gecos:home/./:" and twelve empty limits; "/./" chroots.
std::string PureFtpdPeer::UserDatabase(AccountIds ids) {
  const std::string line = User() + ":" + Sha512Crypt(Password()) + ":" + std::to_string(ids.uid) + ":" +
                           std::to_string(ids.gid) + "::" + Root().string() + "/./::::::::::::\n";
  const auto list = WriteFile("pureftpd.passwd", line);
  const std::string database = (Dir() / "pureftpd.pdb").string();
  RunCommand({UnpackedProgram("usr/bin/pure-pw"), "mkdb", database, "-f", list.string()});
  return database;
}

void PureFtpdPeer::Launch() {
  const std::string database = UserDatabase(ServeAsTestAccount());
  // -H: no reverse lookups; -M: anonymous may create folders; -L: deep and long listings;
  // -P: the address of passive replies (IPv4 only).
  std::vector<std::string> argv = {"/usr/bin/unshare", "--mount", "--propagation", "private", "/bin/sh", "-c",
                                   "mount --bind \"$1\" \"$2\" && shift 2 && exec \"$@\"", "sh", Root().string(),
                                   AnonymousHome(), UnpackedProgram("usr/sbin/pure-ftpd"), "-S",
                                   Address() + "," + std::to_string(Port())};
  if (!OnIpv6()) argv.insert(argv.end(), {"-P", "127.0.0.1"});
  argv.insert(argv.end(), {"-l", "puredb:" + database, "-H", "-M", "-L", "2000000:8", "-f", "none"});
  if (Tls() != PeerTls::None) {
    // -Y 3: TLS required on the control and the data connections.
    const std::string files = Certificate().certificate.string() + "," + Certificate().key.string();
    argv.insert(argv.end(), {"-Y", "3", "-2", files});
  }
  Spawn(Name(), argv);
  AwaitGreeting();
}

}  // namespace testsupport
