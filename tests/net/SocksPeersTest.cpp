// TWSocket through real SOCKS servers to a real FTP server: after the negotiation the server's
// 220 greeting must arrive as ordinary data. dante (SOCKS 4 and 5, with and without login),
// microsocks (SOCKS 5, with and without login) and OpenSSH's dynamic forwarding (SOCKS 4A).
#include <gtest/gtest.h>

#include <string>

#include "net/WSocket.h"
#include "support/EventLoop.h"
#include "support/peers/DantePeer.h"
#include "support/peers/MicrosocksPeer.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/PyftpdlibPeer.h"
#include "support/peers/SshSocksPeer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::SocksAuth;

struct Outcome {
  int connected = -1;  // OnSessionConnected's error; -1 when it did not fire
  std::string socksError;
  std::string received;
};

struct Route {
  std::string level;
  std::string host;  // the FTP server's name as the SOCKS request carries it
  std::string user;  // a login when not empty
  std::string password;
};

template <class Relay>
class ThroughSocks : public testsupport::RelaySuite<Relay, testsupport::PyftpdlibPeer> {
 protected:


  // Connects through the relay and reads until the greeting's first line or the close.
  static Outcome Connect(const Route& route) {
    TWSocket socket;
    Outcome outcome;
    bool closed = false;
    socket.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { outcome.connected = e; };
    socket.OnSocksError = [&](TCustomWSocket*, int32_t e, const std::string& m) {
      outcome.socksError = std::to_string(e) + " " + m;
    };
    socket.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) { outcome.received += s->ReceiveStr(); };
    socket.OnSessionClosed = [&](TCustomWSocket*, uint16_t) { closed = true; };
    socket.SetSocksServer("127.0.0.1");
    socket.SetSocksPort(std::to_string(ThroughSocks::Peer().Port()));
    socket.SetSocksLevel(route.level);
    if (!route.user.empty()) {
      socket.SetSocksAuthentication(socksAuthenticateUsercode);
      socket.SetSocksUsercode(route.user);
      socket.SetSocksPassword(route.password);
    }
    socket.SetAddr(route.host);
    socket.SetPort(std::to_string(ThroughSocks::Target().Port()));
    socket.Connect();
    testsupport::PumpUntil([&] { return closed || outcome.received.find('\n') != std::string::npos; }, 10s);
    return outcome;
  }

  static void ExpectGreeting(const Route& route) {
    SCOPED_TRACE("level " + route.level + " to " + route.host);
    const Outcome outcome = Connect(route);
    EXPECT_EQ(outcome.connected, 0);
    EXPECT_EQ(outcome.socksError, "");
    EXPECT_EQ(outcome.received.substr(0, 4), "220 ");
  }

  static void ExpectLoginRefused(const Route& route) {
    const Outcome outcome = Connect(route);
    EXPECT_EQ(outcome.socksError, "20015 socks authentication failed");
    EXPECT_EQ(outcome.connected, 20015);
    EXPECT_EQ(outcome.received, "");
  }
};

using Dante = ThroughSocks<testsupport::DantePeer>;

TEST_F(Dante, Socks5AndSocks4ReachTheFtpServer) {
  ExpectGreeting({"5", "127.0.0.1", "", ""});
  ExpectGreeting({"4", "127.0.0.1", "", ""});
}

using DanteWithLogin = ThroughSocks<testsupport::DanteLoginPeer>;

TEST_F(DanteWithLogin, TheAccountGetsThroughAndAWrongPasswordIsRefused) {
  ExpectGreeting({"5", "127.0.0.1", Peer().User(), Peer().Password()});
  ExpectLoginRefused({"5", "127.0.0.1", Peer().User(), "not-" + Peer().Password()});
}

using Microsocks = ThroughSocks<testsupport::MicrosocksPeer>;

TEST_F(Microsocks, Socks5ReachesTheFtpServer) { ExpectGreeting({"5", "127.0.0.1", "", ""}); }

using MicrosocksWithLogin = ThroughSocks<testsupport::MicrosocksLoginPeer>;

TEST_F(MicrosocksWithLogin, TheAccountGetsThroughAndAWrongPasswordIsRefused) {
  ExpectGreeting({"5", "127.0.0.1", Peer().User(), Peer().Password()});
  ExpectLoginRefused({"5", "127.0.0.1", Peer().User(), "not-" + Peer().Password()});
}

using SshSocks = ThroughSocks<testsupport::SshSocksPeer>;

TEST_F(SshSocks, Socks4AByNameAndSocks4And5ReachTheFtpServer) {
  ExpectGreeting({"4A", "localhost", "", ""});
  ExpectGreeting({"4", "127.0.0.1", "", ""});
  ExpectGreeting({"5", "localhost", "", ""});
}

}  // namespace
