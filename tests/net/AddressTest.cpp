// Addresses of both families: their texts, the order a host's addresses are tried in, and a
// connect that goes on to the next address of the host when one is refused or silent.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "net/AddressOrder.h"
#include "net/WSocketResolve.h"
#include "net/WSocket.h"
#include "platform/HostTable.h"
#include "support/EventLoop.h"
#include "support/loopback/Isolation.h"
#include "support/loopback/LoopbackSocket.h"

using namespace std::chrono_literals;
using platform::SocketAddress;
using testsupport::PumpUntil;

namespace {

SocketAddress At(const std::string& text) { return SocketAddress::FromText(text).value(); }

TEST(SocketAddress, ReadsNumericTextsOfBothFamiliesOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"127.0.0.1", "127.0.0.1"}, {"::1", "::1"},       {"2001:DB8:0::1", "2001:db8::1"},
      {"fe80::1%lo", "fe80::1%lo"}, {"127.1", ""},      {"[::1]", ""},
      {"localhost", ""},           {"1.2.3.256", ""},   {"", ""},
  };
  for (const auto& [text, canonical] : cases) {
    const auto address = SocketAddress::FromText(text);
    EXPECT_EQ(address ? address->Text() : "", canonical) << text;
  }
  EXPECT_TRUE(At("127.0.0.1").SameHost(At("::ffff:127.0.0.1"))) << "an IPv4 address mapped into IPv6";
  EXPECT_FALSE(At("127.0.0.1").SameHost(At("127.0.0.2")));
  EXPECT_FALSE(At("::1").SameHost(At("::2")));
}

TEST(ConnectOrder, Ipv6FirstWhereRoutedUnroutedLast) {
  const RouteCheck routedButDocumentation = [](const SocketAddress& a) { return a.Text().rfind("2001:db8", 0) != 0; };
  struct Case {
    const char* name;
    std::vector<std::string> found;
    std::vector<std::string> tried;
  };
  const Case cases[] = {
      {"IPv6 moves ahead of IPv4", {"127.0.0.1", "::1", "127.0.0.2", "::2"}, {"::1", "::2", "127.0.0.1", "127.0.0.2"}},
      {"an IPv6 address without a route goes last", {"2001:db8::1", "127.0.0.1"}, {"127.0.0.1", "2001:db8::1"}},
      {"one address", {"127.0.0.1"}, {"127.0.0.1"}},
  };
  for (const Case& c : cases) {
    std::vector<SocketAddress> found;
    for (const std::string& text : c.found) found.push_back(At(text));
    std::vector<std::string> tried;
    for (const SocketAddress& a : ConnectOrder(found, routedButDocumentation)) tried.push_back(a.Text());
    EXPECT_EQ(tried, c.tried) << c.name;
  }
  // The system's own route check: loopback is routed, the documentation prefix is not.
  EXPECT_EQ(ConnectOrder({At("2001:db8::1"), At("127.0.0.1"), At("::1")}).front().Text(), "::1");
}

// Addresses answer at once; names answer from the event loop, every address of the host in
// the order to try them; a cancel, an empty name and an unknown one each report their code.
TEST(DnsLookup, AnswersEachKindOfNameWithItsCode) {
  const platform::ScopedHostTable hosts({{"dual.test", {"127.0.0.1", "::1"}}, {"none.test", {}}});
  TWSocket socket;
  std::vector<uint16_t> done;
  socket.OnDnsLookupDone = [&](TCustomWSocket*, uint16_t e) { done.push_back(e); };
  const auto lookup = [&](const std::string& name) {
    done.clear();
    socket.DnsLookup(name);
    return done;  // what came before the event loop ran
  };
  for (const char* address : {"10.0.0.1", "::1"}) {
    EXPECT_EQ(lookup(address), std::vector<uint16_t>{0}) << address;
    EXPECT_EQ(socket.DnsResult(), address);
    EXPECT_TRUE(socket.DnsResultList().empty());
  }
  const auto answered = [&](const std::string& name) {
    lookup(name);
    PumpUntil([&] { return !done.empty(); }, 2s);
    return done;
  };
  EXPECT_TRUE(lookup("dual.test").empty()) << "a name answers from the event loop";
  ASSERT_TRUE(PumpUntil([&] { return !done.empty(); }, 2s));
  EXPECT_EQ(socket.DnsResultList(), (std::vector<std::string>{"::1", "127.0.0.1"}));
  EXPECT_EQ(answered("none.test"), std::vector<uint16_t>{11001});
  EXPECT_EQ(answered("localhost"), std::vector<uint16_t>{0}) << "the system's resolver, on its own thread";
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
  lookup("localhost");
  socket.CancelDnsLookup();
  testsupport::PumpFor(200ms);
  EXPECT_EQ(done, std::vector<uint16_t>{10004}) << "a cancelled lookup reports 10004, and only that";
  EXPECT_THROW(lookup(""), ESocketException);
  socket.OnError = [](TCustomWSocket*) {};
  EXPECT_EQ(lookup(""), std::vector<uint16_t>{10022});
  // The blocking resolution takes the first address to try, or the first IPv4 one.
  EXPECT_EQ(WSocketResolveAddress("dual.test").Text(), "::1");
  EXPECT_EQ(platform::InetNtoa(WSocketResolveHost("dual.test")), "127.0.0.1");
  if (!testsupport::OnlyLoopbackNetwork()) GTEST_SKIP() << "looks up an unknown name only where no DNS query can leave";
  const std::vector<uint16_t> unknown = answered("no-such-host.invalid");
  ASSERT_EQ(unknown.size(), 1u);
  EXPECT_GE(unknown[0], 11001);
  EXPECT_LE(unknown[0], 11004);
}

// ---- Connecting to a host with several addresses ---------------------------------------------

// A raw listening socket on `address`:port with room for `backlog` waiting connections.
int ListenOn(const std::string& address, uint16_t port, int backlog) {
  const SocketAddress at = SocketAddress::FromText(address, port).value();
  const int fd = ::socket(at.Family(), SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(fd, at.Raw(), at.Length()) != 0 || ::listen(fd, backlog) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

struct FallbackCase {
  const char* name;
  std::string first;                 // nothing listens there, or a full backlog never answers
  bool silent;
  std::vector<std::string> further;  // the last of them listens, unless `events` says otherwise
  std::vector<std::string> events = {"connected 0"};
};

TEST(HostWithSeveralAddresses, GoesOnToTheNextWhenOneIsRefusedOrSilent) {
  const FallbackCase cases[] = {
      {"IPv6 refused, IPv4 answers", "::1", false, {"127.0.0.1"}},
      {"two refused, the third answers", "::1", false, {"127.0.0.3", "127.0.0.1"}},
      {"silent first address", "127.0.0.2", true, {"127.0.0.1"}},
      {"every address refused is one failure", "::1", false, {"127.0.0.3", "127.0.0.2"},
       {"connected 10061", "closed 0"}},
  };
  for (const FallbackCase& c : cases) {
    SCOPED_TRACE(c.name);
    const testsupport::LoopbackSocket answering = testsupport::LoopbackSocket::Listen();
    ASSERT_TRUE(answering.Valid());
    const uint16_t port = answering.LocalPort();
    int silent = -1;
    int filler = -1;
    if (c.silent) {
      // One connection waits unaccepted in a backlog of none: the next is never answered.
      silent = ListenOn(c.first, port, 0);
      ASSERT_GE(silent, 0);
      filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      const SocketAddress target = SocketAddress::FromText(c.first, port).value();
      ASSERT_EQ(::connect(filler, target.Raw(), target.Length()), 0);
    }
    TWSocket socket;
    std::vector<std::string> events;
    socket.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { events.push_back("connected " + std::to_string(e)); };
    socket.OnSessionClosed = [&](TCustomWSocket*, uint16_t e) { events.push_back("closed " + std::to_string(e)); };
    socket.SetAddr(c.first);
    socket.SetFallbackAddrs(c.further);
    socket.SetPort(std::to_string(port));
    socket.Connect();
    // A wait for the system's time-out would take minutes.
    ASSERT_TRUE(PumpUntil([&] { return events.size() == c.events.size(); }, 3s));
    testsupport::PumpFor(50ms);
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(socket.State(), c.events.size() == 1 ? wsConnected : wsClosed);
    if (c.events.size() == 1) {
      EXPECT_EQ(socket.Addr(), "127.0.0.1");
      EXPECT_EQ(socket.GetPeerAddr(), "127.0.0.1");
    } else {
      EXPECT_TRUE(socket.FallbackAddrs().empty()) << "a close forgets them";
    }
    for (const int fd : {silent, filler})
      if (fd >= 0) ::close(fd);
  }
}

}  // namespace
