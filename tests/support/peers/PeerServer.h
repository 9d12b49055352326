#pragma once
// A real server the tests talk to over loopback: an FTP server, a SOCKS server or the FTP
// proxy, started by the test from Debian's packages with a configuration written into the
// peer's own temporary directory, listening on a free port of 127.0.0.1.
//
//   VsftpdPeer ftp;
//   MARLO_REQUIRE_PEER(ftp);              // skips, or fails under CI=true, when it cannot run
//   ASSERT_TRUE(ftp.Start()) << ftp.Failure();
//   FtpProbe probe(ftp.Port());
//
// Each peer class names itself in kName, letters only, as it also names typed test cases
// (a '-' in a GoogleTest filter, which CTest builds from the name, means "except").
//
// Start() returns once the peer accepts connections (and, for an FTP server, has sent its
// 220 greeting), polling every 50 ms for at most 10 s; if a process of the peer ends first,
// Start() fails and Failure() holds its logs. The destructor stops every process the peer
// started, with its descendants (see ChildProcess).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/peers/ChildProcess.h"
#include "support/peers/TempDir.h"

namespace testsupport {

class PeerServer {
 public:
  virtual ~PeerServer() { Stop(); }
  PeerServer(const PeerServer&) = delete;
  PeerServer& operator=(const PeerServer&) = delete;

  const std::string& Name() const { return name_; }
  // Why the peer cannot run on this machine (a program not installed, not root); empty if it can.
  std::string SkipReason() const;

  bool Start();
  void Stop();
  const std::string& Failure() const { return failure_; }

  uint16_t Port() const { return port_; }
  // The loopback address it listens on: "127.0.0.1", or "::1" for a peer on IPv6.
  const std::string& Address() const { return address_; }
  // The login the peer asks for; both empty when it takes none.
  const std::string& User() const { return user_; }
  const std::string& Password() const { return password_; }
  // The peer's private directory: configurations, keys and logs (*.log, also in Dir()/logs).
  const std::filesystem::path& Dir() const { return dir_.Path(); }

 protected:
  explicit PeerServer(std::string name, std::string address = "127.0.0.1");

  // Absolute paths of the programs (and modules) the peer runs.
  virtual std::vector<std::string> RequiredFiles() const = 0;
  virtual bool NeedsRoot() const { return true; }
  // Writes the configuration, starts the processes with Spawn() and waits for them with
  // AwaitPort(). Throws std::exception on any failure.
  virtual void Launch() = 0;

  void SetLogin(std::string user, std::string password);
  std::filesystem::path WriteFile(const std::string& name, const std::string& content) const;
  // Starts a process of the peer with its output in Dir()/<logName>.log.
  void Spawn(const std::string& logName, const std::vector<std::string>& argv);
  // Waits until Address():port accepts a connection; with `greets`, until it also sends 220.
  void AwaitPort(uint16_t port, bool greets);

 private:
  void ThrowIfAProcessEnded();
  std::string Logs() const;

  std::string name_;
  std::string address_;
  TempDir dir_;
  uint16_t port_;
  std::string user_;
  std::string password_;
  std::vector<ChildProcess> processes_;
  std::string failure_;
};

// Where tools/unpacked-peers.sh put the servers apt cannot install beside vsftpd
// ($MARLO_PEERS_ROOT, by default /opt/marlo-peers), followed by `relative`.
std::string UnpackedProgram(const std::string& relative);

}  // namespace testsupport
