#include "support/peers/FtpProxyPeer.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace testsupport {

namespace {

constexpr char kUser[] = "nobody";

// The proxy drops to kUser before it (re)creates its log, so it gets a folder of its own.
std::filesystem::path LogFolder(const std::filesystem::path& dir) {
  const passwd* entry = getpwnam(kUser);
  if (entry == nullptr) throw std::runtime_error(std::string("no system account ") + kUser);
  const auto folder = dir / "logs";
  std::filesystem::create_directory(folder);
  if (chown(folder.c_str(), entry->pw_uid, entry->pw_gid) != 0) throw std::runtime_error("cannot chown " + folder.string());
  return folder;
}

}  // namespace

FtpProxyPeer::FtpProxyPeer() : PeerServer(kName) {}

std::string FtpProxyPeer::Config(const std::filesystem::path& logFolder) const {
  return "[-Global-]\n"
         "ServerType standalone\n"
         "Listen 127.0.0.1\n"
         "Port " + std::to_string(Port()) + "\n"
         "User " + std::string(kUser) + "\n"
         "Group nogroup\n"
         "AllowMagicUser yes\n"
         // The default rule refuses the ':' of "user@host:port".
         "UserNameRule ^[[:alnum:]_.@:/-]+$\n"
         "ForkLimit 100000\n"
         "MaxClients 512\n"
         "DestinationAddress 127.0.0.1\n"
         "LogDestination " + (logFolder / "ftp-proxy-events.log").string() + "\n"
         "PidFile " + (Dir() / "ftp-proxy.pid").string() + "\n";
}

void FtpProxyPeer::Launch() {
  const std::string config = WriteFile("ftp-proxy.conf", Config(LogFolder(Dir()))).string();
  // -d: standalone; -n: in the foreground.
  Spawn(kName, {"/usr/sbin/ftp-proxy", "-d", "-n", "-f", config});
  AwaitPort(Port(), true);
}

}  // namespace testsupport
