// Each SOCKS peer and the FTP proxy relay a client to a real FTP server: after the
// negotiation through them, the server's 220 greeting arrives. Logins the relays ask for are
// checked both ways. The negotiations are written out by hand here, byte by byte.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/loopback/FtpProbe.h"
#include "support/peers/DantePeer.h"
#include "support/peers/FtpProxyPeer.h"
#include "support/peers/MicrosocksPeer.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/SshSocksPeer.h"
#include "support/peers/VsftpdPeer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::FtpProbe;
using testsupport::LoopbackSocket;
using testsupport::SocksAuth;

std::string PortBytes(uint16_t port) { return {static_cast<char>(port >> 8), static_cast<char>(port & 0xFF)}; }

// SOCKS 5 CONNECT to 127.0.0.1:port, with the user name/password method when `user` is given.
// Empty when connected, otherwise what went wrong.
std::string Socks5Connect(LoopbackSocket& socket, uint16_t port, const std::string& user = {},
                          const std::string& password = {}) {
  const char method = user.empty() ? '\x00' : '\x02';
  socket.SendAll(std::string{'\x05', '\x01', method});
  if (socket.ReceiveExactly(2, 5s) != std::string{'\x05', method}) return "method refused";
  if (!user.empty()) {
    socket.SendAll(std::string{'\x01', static_cast<char>(user.size())} + user +
                   static_cast<char>(password.size()) + password);
    if (socket.ReceiveExactly(2, 5s) != std::string("\x01\x00", 2)) return "login refused";
  }
  socket.SendAll(std::string("\x05\x01\x00\x01\x7f\x00\x00\x01", 8) + PortBytes(port));
  const std::string reply = socket.ReceiveExactly(10, 5s);
  return reply.size() == 10 && reply[1] == '\x00' ? "" : "connect refused";
}

// SOCKS 4 CONNECT to 127.0.0.1:port, or SOCKS 4A to host:port when `host` is given (the
// relay resolves the name). Empty when connected, otherwise what went wrong.
std::string Socks4Connect(LoopbackSocket& socket, uint16_t port, const std::string& host = {}) {
  const std::string address = host.empty() ? std::string("\x7f\x00\x00\x01", 4) : std::string("\x00\x00\x00\x01", 4);
  std::string request = std::string{'\x04', '\x01'} + PortBytes(port) + address + "marlo" + '\0';
  if (!host.empty()) request += host + '\0';
  socket.SendAll(request);
  const std::string reply = socket.ReceiveExactly(8, 5s);
  return reply.size() == 8 && reply[1] == '\x5a' ? "" : "request refused";
}

template <class Relay>
class RelayTest : public testsupport::RelaySuite<Relay, testsupport::VsftpdPeer> {
 protected:

  using testsupport::RelaySuite<Relay, testsupport::VsftpdPeer>::Peer;
  static uint16_t TargetPort() { return RelayTest::Target().Port(); }
  static LoopbackSocket ToRelay() { return LoopbackSocket::Connect(Peer().Port()); }

  static int GreetingThrough(LoopbackSocket socket) { return FtpProbe(std::move(socket)).ReadReply().code; }
};

using Dante = RelayTest<testsupport::DantePeer>;

TEST_F(Dante, RelaysSocks5AndSocks4) {
  LoopbackSocket socks5 = ToRelay();
  ASSERT_EQ(Socks5Connect(socks5, TargetPort()), "");
  EXPECT_EQ(GreetingThrough(std::move(socks5)), 220);

  LoopbackSocket socks4 = ToRelay();
  ASSERT_EQ(Socks4Connect(socks4, TargetPort()), "");
  EXPECT_EQ(GreetingThrough(std::move(socks4)), 220);
}

using DanteWithLogin = RelayTest<testsupport::DanteLoginPeer>;

TEST_F(DanteWithLogin, RelaysTheTestAccountAndRefusesAWrongPassword) {
  LoopbackSocket good = ToRelay();
  ASSERT_EQ(Socks5Connect(good, TargetPort(), Peer().User(), Peer().Password()), "");
  EXPECT_EQ(GreetingThrough(std::move(good)), 220);

  LoopbackSocket bad = ToRelay();
  EXPECT_EQ(Socks5Connect(bad, TargetPort(), Peer().User(), "not-" + Peer().Password()), "login refused");
}

using Microsocks = RelayTest<testsupport::MicrosocksPeer>;

TEST_F(Microsocks, RelaysSocks5) {
  LoopbackSocket socks5 = ToRelay();
  ASSERT_EQ(Socks5Connect(socks5, TargetPort()), "");
  EXPECT_EQ(GreetingThrough(std::move(socks5)), 220);
}

using MicrosocksWithLogin = RelayTest<testsupport::MicrosocksLoginPeer>;

TEST_F(MicrosocksWithLogin, RelaysTheTestAccountAndRefusesAWrongPassword) {
  LoopbackSocket good = ToRelay();
  ASSERT_EQ(Socks5Connect(good, TargetPort(), Peer().User(), Peer().Password()), "");
  EXPECT_EQ(GreetingThrough(std::move(good)), 220);

  LoopbackSocket bad = ToRelay();
  EXPECT_EQ(Socks5Connect(bad, TargetPort(), Peer().User(), "not-" + Peer().Password()), "login refused");
}

using SshSocks = RelayTest<testsupport::SshSocksPeer>;

TEST_F(SshSocks, RelaysSocks4AByNameAndSocks4AndSocks5ByAddress) {
  LoopbackSocket socks4a = ToRelay();
  ASSERT_EQ(Socks4Connect(socks4a, TargetPort(), "localhost"), "");
  EXPECT_EQ(GreetingThrough(std::move(socks4a)), 220);

  LoopbackSocket socks4 = ToRelay();
  ASSERT_EQ(Socks4Connect(socks4, TargetPort()), "");
  EXPECT_EQ(GreetingThrough(std::move(socks4)), 220);

  LoopbackSocket socks5 = ToRelay();
  ASSERT_EQ(Socks5Connect(socks5, TargetPort()), "");
  EXPECT_EQ(GreetingThrough(std::move(socks5)), 220);
}

using FtpProxy = RelayTest<testsupport::FtpProxyPeer>;

TEST_F(FtpProxy, LogsInToTheServerNamedInTheUserLine) {
  FtpProbe probe(Peer().Port());
  EXPECT_EQ(probe.ReadReply().code, 220);  // the proxy's own greeting
  const auto& ftp = testsupport::RelayTarget<testsupport::VsftpdPeer>::Shared().ftp;
  EXPECT_EQ(probe.Command("USER " + ftp.User() + "@127.0.0.1:" + std::to_string(TargetPort())).code, 331);
  EXPECT_EQ(probe.Command("PASS " + ftp.Password()).code, 230);
  EXPECT_EQ(probe.Command("PWD").code, 257);
}

}  // namespace
