// Addresses of both families: their texts, the order a host's addresses are tried in, and a
// connect that goes on to the next address of the host when one is refused or silent.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "net/AddressOrder.h"
#include "net/WSocketResolve.h"
#include "net/WSocket.h"
#include "platform/HostTable.h"
#include "support/EventLoop.h"

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

TEST(DnsLookup, GivesEveryAddressOfAHostInTheOrderToTryThem) {
  const platform::ScopedHostTable hosts({{"dual.test", {"127.0.0.1", "::1"}}, {"none.test", {}}});
  TWSocket socket;
  int done = 0;
  uint16_t error = 0;
  socket.OnDnsLookupDone = [&](TCustomWSocket*, uint16_t e) { ++done, error = e; };
  socket.DnsLookup("dual.test");
  EXPECT_EQ(done, 0) << "a lookup answers from the event loop";
  ASSERT_TRUE(PumpUntil([&] { return done == 1; }, 2s));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(socket.DnsResultList(), (std::vector<std::string>{"::1", "127.0.0.1"}));
  socket.DnsLookup("none.test");
  ASSERT_TRUE(PumpUntil([&] { return done == 2; }, 2s));
  EXPECT_EQ(error, 11001);
  socket.DnsLookup("::1");
  EXPECT_EQ(done, 3) << "an address needs no lookup";
  EXPECT_EQ(socket.DnsResult(), "::1");
  // The blocking resolution takes the first address to try, or the first IPv4 one.
  EXPECT_EQ(WSocketResolveAddress("dual.test").Text(), "::1");
  EXPECT_EQ(platform::InetNtoa(WSocketResolveHost("dual.test")), "127.0.0.1");
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

uint16_t PortOf(int fd) {
  SocketAddress bound;
  socklen_t length = SocketAddress::kCapacity;
  ::getsockname(fd, bound.Raw(), &length);
  return bound.Port();
}

struct FallbackCase {
  const char* name;
  std::string first;                 // nothing listens there, or a full backlog never answers
  bool silent;
  std::vector<std::string> further;  // the last of them listens
};

TEST(HostWithSeveralAddresses, GoesOnToTheNextWhenOneIsRefusedOrSilent) {
  const FallbackCase cases[] = {
      {"IPv6 refused, IPv4 answers", "::1", false, {"127.0.0.1"}},
      {"two refused, the third answers", "::1", false, {"127.0.0.3", "127.0.0.1"}},
      {"silent first address", "127.0.0.2", true, {"127.0.0.1"}},
  };
  for (const FallbackCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int answering = ListenOn("127.0.0.1", 0, 5);
    ASSERT_GE(answering, 0);
    const uint16_t port = PortOf(answering);
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
    std::vector<uint16_t> connects;
    socket.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { connects.push_back(e); };
    socket.SetAddr(c.first);
    socket.SetFallbackAddrs(c.further);
    socket.SetPort(std::to_string(port));
    const auto start = std::chrono::steady_clock::now();
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !connects.empty(); }, 5s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "no waiting for the system's time-out";
    EXPECT_EQ(connects, std::vector<uint16_t>{0});
    EXPECT_EQ(socket.State(), wsConnected);
    EXPECT_EQ(socket.Addr(), "127.0.0.1");
    EXPECT_EQ(socket.GetPeerAddr(), "127.0.0.1");
    for (const int fd : {answering, silent, filler})
      if (fd >= 0) ::close(fd);
  }
}

TEST(HostWithSeveralAddresses, EveryAddressRefusedIsOneFailure) {
  const int probe = ListenOn("127.0.0.1", 0, 1);
  const uint16_t port = PortOf(probe);
  ::close(probe);  // now nothing listens on the port
  TWSocket socket;
  std::vector<std::string> events;
  socket.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { events.push_back("connected " + std::to_string(e)); };
  socket.OnSessionClosed = [&](TCustomWSocket*, uint16_t e) { events.push_back("closed " + std::to_string(e)); };
  socket.SetAddr("::1");
  socket.SetFallbackAddrs({"127.0.0.1", "127.0.0.2"});
  socket.SetPort(std::to_string(port));
  socket.Connect();
  ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }, 5s));
  testsupport::PumpFor(50ms);
  EXPECT_EQ(events, (std::vector<std::string>{"connected 10061", "closed 0"}));
  EXPECT_TRUE(socket.FallbackAddrs().empty()) << "a close forgets them";
}

}  // namespace
