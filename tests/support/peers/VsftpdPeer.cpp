#include "support/peers/VsftpdPeer.h"

#include <string>

namespace testsupport {

VsftpdPeer::VsftpdPeer(std::string address) : FtpPeer(kName, FreePortRange(kPassivePortCount), std::move(address)) {}

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
      "xferlog_enable=NO\n"
      "vsftpd_log_file=" + (Dir() / "vsftpd-sessions.log").string() + "\n";
  Spawn(kName, {"/usr/sbin/vsftpd", WriteFile("vsftpd.conf", config).string()});
  AwaitGreeting();
}

}  // namespace testsupport
