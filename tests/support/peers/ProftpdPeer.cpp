#include "support/peers/ProftpdPeer.h"

#include <string>

#include "support/peers/PasswordHash.h"

namespace testsupport {

ProftpdPeer::ProftpdPeer(std::string address)
    : FtpPeer(kName, FreePortRange(kPassivePortCount), std::move(address)) {}

namespace {

// mod_tls (proftpd-mod-crypto, unpacked beside the server), TLS required.
std::string TlsConfig(const FtpPeer& peer) {
  if (peer.Tls() == PeerTls::None) return {};
  return "ModulePath " + UnpackedProgram("usr/lib/proftpd") + "\n"
         "LoadModule mod_tls.c\n"
         "TLSEngine on\n"
         "TLSProtocol TLSv1.2 TLSv1.3\n"
         "TLSRSACertificateFile " + peer.Certificate().certificate.string() + "\n"
         "TLSRSACertificateKeyFile " + peer.Certificate().key.string() + "\n"
         "TLSRequired on\n"
         "TLSLog " + (peer.Dir() / "proftpd-tls.log").string() + "\n";
}

}  // namespace

std::vector<std::string> ProftpdPeer::RequiredFiles() const {
  return {UnpackedProgram("usr/sbin/proftpd"), "/usr/bin/openssl"};
}

void ProftpdPeer::WriteUserFiles(AccountIds ids) {
  const std::string owner = std::to_string(ids.uid) + ":" + std::to_string(ids.gid);
  const std::string home = ":" + Root().string() + ":/bin/sh\n";
  WriteFile("users", User() + ":" + Sha512Crypt(Password()) + ":" + owner + ":" + home +
                         "ftp:*:" + owner + ":" + home);
  WriteFile("groups", User() + "::" + std::to_string(ids.gid) + ":\n");
  std::filesystem::permissions(Dir() / "users", std::filesystem::perms(0600));
  std::filesystem::permissions(Dir() / "groups", std::filesystem::perms(0600));
}

std::string ProftpdPeer::Config() const {
  const std::string dir = Dir().string();
  return TlsConfig(*this) +
         "ServerName \"marlo test\"\n"
         "ServerType standalone\n"
         "Port " + std::to_string(Port()) + "\n"
         "DefaultAddress " + Address() + "\n"
         "SocketBindTight on\n"
         "UseIPv6 " + (OnIpv6() ? "on" : "off") + "\n"
         "User " + User() + "\n"
         "Group " + User() + "\n"
         "PidFile " + dir + "/proftpd.pid\n"
         "ScoreboardFile " + dir + "/proftpd.scoreboard\n"
         "SystemLog " + dir + "/proftpd-system.log\n"
         "TransferLog NONE\n"
         "WtmpLog off\n"
         "ControlsEngine off\n"
         "DelayEngine off\n"
         "UseReverseDNS off\n"
         "AuthOrder mod_auth_file.c\n"
         "AuthUserFile " + dir + "/users\n"
         "AuthGroupFile " + dir + "/groups\n"
         "RequireValidShell off\n"
         "DefaultRoot ~\n"
         "PassivePorts " + std::to_string(PassivePorts().first) + " " + std::to_string(PassivePorts().last) + "\n"
         "AllowOverwrite on\n"
         "AllowStoreRestart on\n"
         "Umask 022\n"
         "MaxInstances 200\n"
         "<Anonymous " + Root().string() + ">\n"
         "  User ftp\n"
         "  Group " + User() + "\n"
         "  UserAlias anonymous ftp\n"
         "  RequireValidShell off\n"
         "  AllowOverwrite on\n"
         "</Anonymous>\n";
}

void ProftpdPeer::Launch() {
  WriteUserFiles(ServeAsTestAccount());
  // -n: stay in the foreground; -c needs an absolute path.
  Spawn(Name(), {UnpackedProgram("usr/sbin/proftpd"), "-n", "-c", WriteFile("proftpd.conf", Config()).string()});
  AwaitGreeting();
}

}  // namespace testsupport
