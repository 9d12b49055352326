// The SOCKS layer against hand-scripted SOCKS servers: the exact bytes sent, every reply code,
// replies split into single bytes, bytes that follow the final reply, fields too long for the
// protocol, the property guards and the defaults a close restores.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/WSocket.h"
#include "support/EventLoop.h"
#include "support/Thrown.h"
#include "support/scripted/ScriptedFtpServer.h"

using namespace std::chrono_literals;
using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::Script;
using testsupport::ScriptedFtpServer;

namespace {

const std::string kGreeting = "220 Hello\r\n";
const std::string kDestination = "ftp.example";  // a name the SOCKS 5 and 4A servers resolve

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

// Each byte of `bytes` as its own write.
std::vector<std::string> SingleBytes(const std::string& bytes) {
  std::vector<std::string> parts;
  for (char c : bytes) parts.emplace_back(1, c);
  return parts;
}

const std::string kOfferNone = Bytes({5, 1, 0});
const std::string kOfferLogin = Bytes({5, 2, 0, 2});  // none beside the login
const std::string kSocks5Request = Bytes({5, 1, 0, 3, 11}) + kDestination + Bytes({0, 21});
const std::string kSocks5Granted = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 21});
const std::string kCredentials = Bytes({1, 5}) + "marlo" + Bytes({6}) + "secret";
const std::string kSocks4Request = Bytes({4, 1, 0, 21, 127, 0, 0, 1}) + "marlo" + Bytes({0});
const std::string kSocks4Granted = Bytes({0, 90, 0, 21, 127, 0, 0, 1});
const std::string kLongName(300, 'n');  // beyond the classic 128-byte message
const std::string kSocks4aLongRequest = Bytes({4, 1, 0, 21, 0, 0, 0, 1}) + "marlo" + Bytes({0}) + kLongName + Bytes({0});

const auto ErrorOf = testsupport::ThrownText<ESocketException>;

// A client socket whose events are written down in order.
class SocksClient {
 public:
  SocksClient() {
    socket.SetSocksUsercode("marlo");
    socket.SetSocksPassword("secret");
    socket.OnSocksError = [this](TCustomWSocket*, int32_t e, const std::string& m) {
      events.push_back("socks error " + std::to_string(e) + " " + m);
    };
    socket.OnSocksAuthState = [this](TCustomWSocket*, TSocksAuthState s) {
      events.push_back("auth " + std::to_string(s));
    };
    socket.OnSessionConnected = [this](TCustomWSocket*, uint16_t e) {
      events.push_back("connected " + std::to_string(e));
      dataAtConnect = data;
    };
    socket.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { events.push_back("closed " + std::to_string(e)); };
    socket.OnDataAvailable = [this](TCustomWSocket* s, uint16_t) {
      char block[64];
      if (data.empty()) heldAtFirstRead = s->HoldsReceivedData();
      const int n = s->Receive(block, readSize);
      if (n <= 0) return;
      data.append(block, static_cast<size_t>(n));
      if (events.empty() || events.back().rfind("data", 0) != 0) events.push_back("data");
    };
  }

  void ConnectThrough(const ScriptedFtpServer& server, const std::string& level, const std::string& addr) {
    socket.SetSocksServer("127.0.0.1");
    socket.SetSocksPort(std::to_string(server.Port()));
    socket.SetSocksLevel(level);
    socket.SetAddr(addr);
    socket.SetPort("21");
    socket.Connect();
  }

  bool AwaitClose() { return PumpUntil([&] { return socket.State() == wsClosed; }, 5s); }
  bool AwaitData(size_t size) { return PumpUntil([&] { return data.size() >= size; }, 5s); }

  TWSocket socket;
  std::vector<std::string> events;
  std::string data;
  std::string dataAtConnect;
  bool heldAtFirstRead = false;  // the first bytes read were held by the layer
  int readSize = 64;
};

// ---- Successful exchanges ------------------------------------------------------------------

Script Socks5Until(const std::string& offer, const std::string& methodReply) {
  return Script().ReceiveBytes(offer.size()).Send(methodReply);
}
Script LoginAnswered(const std::string& reply) {
  return Socks5Until(kOfferLogin, Bytes({5, 2})).ReceiveBytes(kCredentials.size()).Send(reply);
}
Script Socks5Asked() { return Socks5Until(kOfferNone, Bytes({5, 0})).ReceiveBytes(kSocks5Request.size()); }
Script Socks5Answered(const std::string& reply) { return Socks5Asked().Send(reply); }
Script Socks4Answered(const std::string& reply) {
  return Script().ReceiveBytes(kSocks4Request.size()).Send(reply);
}

// The greeting's first bytes come in the same segment as the final reply, the rest later.
struct ExchangeRow {
  const char* name;
  std::string level;
  TSocksAuthentication authentication;
  std::string addr;
  Script script;                        // the SOCKS server up to its final reply
  std::string finalReply;
  std::string clientBytes;              // everything the client must send, in order
  std::vector<std::string> authEvents;  // before "connected 0"
  int readSize = 64;
};

std::vector<ExchangeRow> ExchangeRows() {
  const auto none = socksNoAuthentication;
  const auto login = socksAuthenticateUsercode;
  const std::string v6 = std::string(15, '\0') + Bytes({1, 0, 21});  // ::1, port 21
  return {
      {"socks 5 without login", "5", none, kDestination, Socks5Asked(), kSocks5Granted, kOfferNone + kSocks5Request,
       {}},
      {"socks 5 with login", "5", login, kDestination, LoginAnswered(Bytes({1, 0})).ReceiveBytes(kSocks5Request.size()),
       kSocks5Granted, kOfferLogin + kCredentials + kSocks5Request, {"auth 0", "auth 1"}},
      {"socks 5 login offered, server needs none", "5", login, kDestination,
       Socks5Until(kOfferLogin, Bytes({5, 0})).ReceiveBytes(kSocks5Request.size()), kSocks5Granted,
       kOfferLogin + kSocks5Request, {"auth 3"}},
      {"socks 5 replies in single bytes", "5", login, kDestination,
       Script()
           .ReceiveBytes(4)
           .SendInParts(SingleBytes(Bytes({5, 2})), 20ms)
           .ReceiveBytes(kCredentials.size())
           .SendInParts(SingleBytes(Bytes({1, 0})), 20ms)
           .ReceiveBytes(kSocks5Request.size())
           .SendInParts(SingleBytes(kSocks5Granted.substr(0, 9)), 20ms),
       kSocks5Granted.substr(9), kOfferLogin + kCredentials + kSocks5Request, {"auth 0", "auth 1"}},
      {"socks 5 domain reply, read one byte at a time", "5", none, kDestination, Socks5Asked(),
       Bytes({5, 0, 0, 3, 9}) + "localhost" + Bytes({0, 21}), kOfferNone + kSocks5Request, {}, 1},
      {"socks 5 to an IPv6 address, which goes as 16 bytes; an IPv6 reply", "5", none, "::1",
       Script().ReceiveBytes(3).Send(Bytes({5, 0})).ReceiveBytes(22), Bytes({5, 0, 0, 4}) + v6,
       kOfferNone + Bytes({5, 1, 0, 4}) + v6, {}},
      {"socks 4, address resolved here", "4", none, "127.0.0.1", Script().ReceiveBytes(kSocks4Request.size()), kSocks4Granted, kSocks4Request, {}},
      {"socks 4a given as 4a, a name of 300 bytes resolved by the server and sent whole", "4a", none, kLongName,
       Script().ReceiveBytes(kSocks4aLongRequest.size()), kSocks4Granted, kSocks4aLongRequest, {}},
  };
}

TEST(SocksExchange, SendsTheExactBytesAndConnectsWithTheBytesBehindTheFinalReplyFirst) {
  for (ExchangeRow& row : ExchangeRows()) {
    SCOPED_TRACE(row.name);
    ScriptedFtpServer server(row.script.Send(row.finalReply + "220 Hel").Pause(300ms).Send("lo\r\n"));
    SocksClient client;
    client.readSize = row.readSize;
    client.socket.SetSocksAuthentication(row.authentication);
    client.ConnectThrough(server, row.level, row.addr);
    // Before the rest is sent, the early bytes must all be read, without any new readiness.
    ASSERT_TRUE(client.AwaitData(7));
    EXPECT_EQ(client.data, "220 Hel");
    if (row.level == "5") {  // read with the reply, not left in the socket as a fixed-size one may leave them
      EXPECT_TRUE(client.heldAtFirstRead) << "only Receive may read them";
    }
    EXPECT_EQ(client.dataAtConnect, "");
    ASSERT_TRUE(client.AwaitData(kGreeting.size()));
    EXPECT_EQ(client.data, kGreeting);
    EXPECT_EQ(server.Received(), row.clientBytes);
    std::vector<std::string> expected = row.authEvents;
    expected.insert(expected.end(), {"connected 0", "data"});
    EXPECT_EQ(client.events, expected);
    EXPECT_TRUE(server.Problems().empty());
  }
}

// ---- Failures ------------------------------------------------------------------------------

// What the owner hears of a refusal: OnSocksError, OnSessionConnected(code), then the close
// with the same code.
std::vector<std::string> Refused(int code, const std::string& text, std::vector<std::string> before = {}) {
  const std::string c = std::to_string(code);
  before.insert(before.end(), {"socks error " + c + " " + text, "connected " + c, "closed " + c});
  return before;
}

struct FailureRow {
  const char* name;
  std::string level;
  TSocksAuthentication authentication;
  Script script;
  std::vector<std::string> events;
  std::string addr = "";  // by the level when empty
  std::string user = "marlo";
  std::optional<std::string> received = std::nullopt;  // all the server may get, where that matters
};

std::vector<FailureRow> FailureRows() {
  const auto none = socksNoAuthentication;
  const auto login = socksAuthenticateUsercode;
  const std::string long256(256, 'n');
  const std::string unresolvable(300, 'a');  // refused by the resolver without any lookup
  return {
      {"method reply of version 4", "5", none, Socks5Until(kOfferNone, Bytes({4, 0})), Refused(20002, "socks version error")},
      {"no acceptable method", "5", none, Socks5Until(kOfferNone, Bytes({5, 255})),
       Refused(20003, "authentification method not acceptable")},
      {"login refused, without socksAuthFailed", "5", login, LoginAnswered(Bytes({1, 1})),
       Refused(20015, "socks authentication failed", {"auth 0"})},
      {"login reply of version 5", "5", login, LoginAnswered(Bytes({5, 0})), Refused(20002, "socks version error", {"auth 0"})},
      {"login reply too long", "5", login, LoginAnswered(Bytes({1, 0, 0})),
       Refused(20001, "too much data availaible", {"auth 0"})},
      {"connect reply of version 4", "5", none, Socks5Answered(Bytes({4, 0})), Refused(20002, "socks version error")},
      {"connect reply of an unknown address type", "5", none, Socks5Answered(Bytes({5, 0, 0, 5, 0})),
       Refused(20011, "address type not supported")},
      {"connect reply 1", "5", none, Socks5Answered(Bytes({5, 1})), Refused(20004, "general SOCKS server failure")},
      {"connect reply 9", "5", none, Socks5Answered(Bytes({5, 9})), Refused(20012, "unassigned error #9")},
      {"socks 4 reply of version 4", "4", none, Socks4Answered(Bytes({4, 90, 0, 0, 0, 0, 0, 0})),
       Refused(20002, "socks version error")},
      {"socks 4 reply 91", "4", none, Socks4Answered(Bytes({0, 91, 0, 0, 0, 0, 0, 0})),
       Refused(20016, "request rejected or failed")},
      {"socks 4 reply 94", "4", none, Socks4Answered(Bytes({0, 94, 0, 0, 0, 0, 0, 0})), Refused(20012, "unassigned error #94")},
      {"server hangs up before choosing a method", "5", none, Script().ReceiveBytes(3).Close(),
       Refused(20016, "request rejected or failed")},
      {"server hangs up during the login", "5", login,
       Socks5Until(kOfferLogin, Bytes({5, 2})).ReceiveBytes(kCredentials.size()).Close(),
       Refused(20015, "socks authentication failed", {"auth 0", "auth 2"})},
      {"socks 5 name longer than its length byte, unsent", "5", none, Socks5Until(kOfferNone, Bytes({5, 0})),
       Refused(20014, "socks request too long"), long256, "marlo", kOfferNone},
      {"socks 5 user name longer than its length byte, unsent", "5", login, Socks5Until(kOfferLogin, Bytes({5, 2})),
       Refused(20014, "socks request too long", {"auth 0"}), kDestination, long256, kOfferLogin},
      {"socks 4 destination that cannot be resolved: no connection at all", "4", none, Script(),
       {"socks error 20017 ESocketException WSocketResolveHost: '" + unresolvable + "' Invalid Hostname.", "closed 20017"},
       unresolvable, "marlo", ""},
  };
}

TEST(SocksFailure, EachRefusalIsReportedThenClosed) {
  for (const FailureRow& row : FailureRows()) {
    SCOPED_TRACE(row.name);
    ScriptedFtpServer server(row.script);
    SocksClient client;
    client.socket.SetSocksAuthentication(row.authentication);
    client.socket.SetSocksUsercode(row.user);
    const std::string byLevel = row.level == "4" ? "127.0.0.1" : kDestination;
    client.ConnectThrough(server, row.level, row.addr.empty() ? byLevel : row.addr);
    ASSERT_TRUE(client.AwaitClose());
    PumpFor(20ms);
    EXPECT_EQ(client.events, row.events);
    EXPECT_EQ(client.socket.SocksState(), socksIdle);
    if (row.received) {
      EXPECT_EQ(server.Received(), *row.received);
    }
  }
}

// ---- Properties and refusals ----------------------------------------------------------------

TEST(SocksProperties, LevelIsCheckedAndKeptInUpperCase) {
  TWSocket socket;
  EXPECT_EQ(socket.SocksLevel(), "5");
  for (const auto& [given, stored] : std::vector<std::pair<std::string, std::string>>{
           {"4a", "4A"}, {"4", "4"}, {"4A", "4A"}, {"5", "5"}}) {
    socket.SetSocksLevel(given);
    EXPECT_EQ(socket.SocksLevel(), stored) << given;
  }
  for (const std::string bad : {"6", "4b", "", " 5"}) {
    EXPECT_EQ(ErrorOf([&] { socket.SetSocksLevel(bad); }), "Invalid socks level. Must be 4, 4A or 5.") << bad;
    EXPECT_EQ(socket.SocksLevel(), "5");
  }
}

// While the exchange runs (the server waits before choosing a method), nothing about the
// connection may change and a second connect is refused; the exchange goes on undisturbed.
TEST(SocksProperties, ServerPortLevelAndConnectAreRefusedDuringTheExchange) {
  ScriptedFtpServer server(Script().ReceiveBytes(3).Pause(300ms).Send(Bytes({5, 0})).ReceiveBytes(kSocks5Request.size())
                               .Send(kSocks5Granted + kGreeting));
  SocksClient client;
  client.socket.SetSocksServer("  127.0.0.1 ");
  EXPECT_EQ(client.socket.SocksServer(), "127.0.0.1");
  client.ConnectThrough(server, "5", kDestination);
  ASSERT_TRUE(PumpUntil([&] { return client.socket.State() == wsConnected; }));
  EXPECT_EQ(ErrorOf([&] { client.socket.SetSocksServer("127.0.0.2"); }), "Can't change socks server if not closed");
  EXPECT_EQ(ErrorOf([&] { client.socket.SetSocksPort("1080"); }), "Can't change socks port if not closed");
  EXPECT_EQ(ErrorOf([&] { client.socket.SetSocksLevel("4"); }), "Can't change socks level if not closed");
  EXPECT_EQ(ErrorOf([&] { client.socket.Connect(); }), "Connect: Socket already in use");
  EXPECT_EQ(client.socket.SocksServer(), "127.0.0.1");
  // Writing the values held is no change.
  EXPECT_EQ(ErrorOf([&] {
              client.socket.SetSocksServer("127.0.0.1 ");
              client.socket.SetSocksPort(std::to_string(server.Port()));
              client.socket.SetSocksLevel("5");
            }),
            "no exception");
  ASSERT_TRUE(client.AwaitData(kGreeting.size()));
  EXPECT_EQ(client.events, (std::vector<std::string>{"connected 0", "data"}));
}

TEST(SocksProperties, RefusesWhatCannotGoThroughASocksServer) {
  ScriptedFtpServer server{Script()};
  TWSocket socket;
  socket.SetSocksServer("127.0.0.1");
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.Port()));
  EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "WSocketResolvePort: Invalid Port.");
  socket.SetSocksPort("1080");
  EXPECT_EQ(ErrorOf([&] { socket.Listen(); }), "Listening is not supported thru socks server");
  socket.SetProto("udp");
  EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "tcp is the only protocol supported thru socks server");
  EXPECT_EQ(socket.State(), wsClosed);
  PumpFor(50ms);
  EXPECT_EQ(server.Connections(), 0);
}

// The settings serve one connection: after the close the same socket connects directly.
TEST(SocksProperties, EveryCloseRestoresTheDefaultsAndKeepsTheLogin) {
  ScriptedFtpServer socks(Socks4Answered(kSocks4Granted));
  SocksClient client;
  client.socket.SetSocksAuthentication(socksAuthenticateUsercode);
  client.ConnectThrough(socks, "4", "127.0.0.1");
  ASSERT_TRUE(PumpUntil([&] { return !client.events.empty(); }));
  ASSERT_EQ(client.events.front(), "connected 0");
  client.socket.Close();
  EXPECT_EQ(client.socket.SocksServer(), "");
  EXPECT_EQ(client.socket.SocksPort(), "");
  EXPECT_EQ(client.socket.SocksLevel(), "5");
  EXPECT_EQ(client.socket.SocksUsercode(), "marlo");
  EXPECT_EQ(client.socket.SocksPassword(), "secret");
  EXPECT_EQ(client.socket.SocksAuthentication(), socksAuthenticateUsercode);

  ScriptedFtpServer direct(Script().Send(kGreeting));
  client.socket.SetAddr("127.0.0.1");
  client.socket.SetPort(std::to_string(direct.Port()));
  client.socket.Connect();
  ASSERT_TRUE(client.AwaitData(kGreeting.size()));
  EXPECT_EQ(client.data, kGreeting);
  EXPECT_EQ(direct.Received(), "");
}

}  // namespace
