#include "support/peers/VsftpdPeer.h"

#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

namespace {

// TLS required of logins and data, with the default session reuse requirement; transfers
// must end with the TLS close (a cut upload or download is then told from a complete one).
// The protocol log records every command, so that a test can tell what reached the server.
std::string TlsConfig(const FtpPeer& peer) {
  if (peer.Tls() == PeerTls::None) return "xferlog_enable=NO\n";
  return "xferlog_enable=YES\n"
         "xferlog_std_format=NO\n"
         "log_ftp_protocol=YES\n"
         "ssl_enable=YES\n"
         "rsa_cert_file=" + peer.Certificate().certificate.string() + "\n"
         "rsa_private_key_file=" + peer.Certificate().key.string() + "\n"
         "force_local_logins_ssl=YES\n"
         "force_local_data_ssl=YES\n"
         "strict_ssl_read_eof=YES\n"
         "strict_ssl_write_shutdown=YES\n" +
         std::string(peer.Tls() == PeerTls::Implicit ? "implicit_ssl=YES\n" : "");
}

}  // namespace

VsftpdPeer::VsftpdPeer(std::string address) : FtpPeer(kName, FreePortRange(kPassivePortCount), std::move(address)) {}

std::string VsftpdPeer::LoggedCommands() const {
  // FTP command: Client "127.0.0.1", "USER marlotest"
  constexpr std::string_view kMark = "FTP command: Client ";
  std::ifstream log(Dir() / "vsftpd-sessions.log");
  std::string commands;
  for (std::string line; std::getline(log, line);) {
    const size_t at = line.find(kMark);
    if (at == std::string::npos) continue;
    const size_t start = line.find(", \"", at) + 3;
    commands += line.substr(start, line.rfind('"') - start) + ";";
  }
  return commands;
}

void VsftpdPeer::Launch() {
  ServeAsTestAccount();
  // vsftpd wants an empty folder owned by root for its unprivileged processes.
  const auto empty = Dir() / "empty";
  std::filesystem::create_directory(empty);
  // Strict syntax: "option=value", no blanks; an unknown option is fatal.
  const std::string listen = OnIpv6() ? "listen=NO\nlisten_ipv6=YES\nlisten_address6=::1\n"
                                      : "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n";
  const std::string config =
      listen +
      "background=NO\n"
      "listen_port=" + std::to_string(Port()) + "\n"
      "pasv_min_port=" + std::to_string(PassivePorts().first) + "\n"
      "pasv_max_port=" + std::to_string(PassivePorts().last) + "\n"
      "pam_service_name=vsftpd\n"
      "local_enable=YES\n"
      "write_enable=YES\n"
      "local_umask=022\n"
      "local_root=" + Root().string() + "\n"
      "chroot_local_user=YES\n"
      "allow_writeable_chroot=YES\n"
      "anonymous_enable=YES\n"
      "anon_root=" + Root().string() + "\n"
      "secure_chroot_dir=" + empty.string() + "\n"
      "delay_failed_login=0\n"
      "seccomp_sandbox=NO\n"
      "isolate=NO\n"
      "isolate_network=NO\n"
      "vsftpd_log_file=" + (Dir() / "vsftpd-sessions.log").string() + "\n" + TlsConfig(*this);
  Spawn(Name(), {"/usr/sbin/vsftpd", WriteFile("vsftpd.conf", config).string()});
  // With implicit TLS even the greeting is encrypted: a connection is all that can be seen.
  if (Tls() == PeerTls::Implicit)
    AwaitPort(Port(), false);
  else
    AwaitGreeting();
}

}  // namespace testsupport
