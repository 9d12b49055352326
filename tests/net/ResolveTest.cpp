// Address, port and protocol texts, error texts and the send-queue chunk.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <functional>

#include "net/SocketErrorText.h"
#include "net/WSockbuf.h"
#include "net/WSocketResolve.h"
#include "net/WSocketTypes.h"

namespace {

struct DottedCase {
  const char* name;
  const char* text;
  bool dotted;
};

TEST(IsDottedIp, FollowsTheScanRules) {
  const DottedCase cases[] = {
      {"plain address", "10.1.2.3", true},
      {"blanks around", "  10.1.2.3  ", true},
      {"two dots", "10.1.2", false},
      {"four dots", "10.1.2.3.4", false},
      {"leading dot", ".1.2.3", false},
      {"trailing dot", "1.2.3.", false},
      {"no digit after a dot", "1..2.3", false},
      {"last part over 255", "1.2.3.256", false},
      {"inner part over 255", "1.256.3.4", false},
      {"trailing text after a blank", "1.2.3.4 x", false},
      {"empty", "", false},
      {"host name", "ftp.example", false},
      {"huge part does not overflow", "1.2.3.99999999999999999999", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDottedIp(c.text), c.dotted) << c.name;
}

struct ResolveRow {
  const char* name;
  std::function<long()> call;
  long value;          // when nothing is thrown
  std::string thrown;  // the exception's text, or empty
};

TEST(Resolution, ValuesAndExactTexts) {
  const std::string longName(257, 'a');
  const ResolveRow rows[] = {
      {"dotted host", [] { return WSocketResolveHost(" 10.0.0.1 "); }, static_cast<long>(htonl(0x0A000001)), ""},
      {"broadcast host", [] { return WSocketResolveHost("255.255.255.255"); }, static_cast<long>(INADDR_BROADCAST), ""},
      {"host by lookup", [] { return WSocketResolveHost("localhost"); }, static_cast<long>(htonl(0x7F000001)), ""},
      {"host of 257 bytes", [&] { return WSocketResolveHost(longName); }, 0,
       "WSocketResolveHost: '" + longName + "' Invalid Hostname."},
      {"empty host", [] { return WSocketResolveHost(""); }, 0, "WSocketResolveHost: '' Invalid Hostname."},
      {"dotted host with a tail", [] { return WSocketResolveHost("1.2.3.4x"); }, 0,
       "WSocketResolveHost: '1.2.3.4x' Invalid IP address."},
      {"port digits", [] { return WSocketResolvePort("2121abc", "tcp"); }, 2121, ""},
      {"port by service name", [] { return WSocketResolvePort(" ftp ", " tcp "); }, 21, ""},
      {"port with a leading blank is a service name", [] { return WSocketResolvePort(" 21", "tcp"); }, 0,
       "WSocketResolvePort: Cannot convert port '21', Error #11004"},
      {"empty port", [] { return WSocketResolvePort("", "tcp"); }, 0, "WSocketResolvePort: Invalid Port."},
      {"highest port", [] { return WSocketResolvePort("65535", "tcp"); }, 65535, ""},
      {"port beyond 16 bits", [] { return WSocketResolvePort("70000", "tcp"); }, 0, "WSocketResolvePort: Invalid Port."},
      {"port of 32 bytes", [] { return WSocketResolvePort(std::string(32, '1'), "tcp"); }, 0,
       "WSocketResolvePort: Invalid Port."},
      {"unknown service, trimmed", [] { return WSocketResolvePort(std::string("\xff\x01", 2), "tcp"); }, 0,
       "WSocketResolvePort: Cannot convert port '\xff', Error #11004"},
      {"protocol by name", [] { return WSocketResolveProto("tcp"); }, 6, ""},
      {"protocol number with blanks", [] { return WSocketResolveProto(" 17 "); }, 17, ""},
      {"empty protocol", [] { return WSocketResolveProto(""); }, 0, "WSocketResolveProto: Invalid Protocol."},
      {"protocol of 32 bytes", [] { return WSocketResolveProto(std::string(32, 'x')); }, 0,
       "WSocketResolveProto: Invalid Protocol."},
      {"blank protocol", [] { return WSocketResolveProto("  "); }, 0,
       "WSocketResolveProto: Cannot convert protocol '', Error #11004"},
  };
  for (const ResolveRow& row : rows) {
    std::string thrown;
    long value = 0;
    try {
      value = row.call();
    } catch (const ESocketException& e) {
      thrown = e.what();
    }
    EXPECT_EQ(thrown, row.thrown) << row.name;
    if (row.thrown.empty()) {
      EXPECT_EQ(value, row.value) << row.name;
    }
  }
}

TEST(SocketErrorText, SomeTextsAndTheFallback) {
  const std::pair<int, const char*> table[] = {
      {0, "No Error"},           {10035, "Operation would block"}, {10054, "Connection reset by peer"},
      {10093, "WinSock not initialized"}, {11004, "No Data"},
      {-1, "Not a WinSock error"}, {10072, "Not a WinSock error"}, {11005, "Not a WinSock error"},
      {20015, "Not a WinSock error"},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(SocketErrorText(code), text) << code;
}

TEST(TBuffer, FillsDrainsAndRefills) {
  EXPECT_EQ(TBuffer(0).Capacity(), 1514);
  TBuffer chunk(4);
  EXPECT_EQ(chunk.Write("abcdef", 6), 4);
  EXPECT_EQ(chunk.Write("x", 1), 0);
  int32_t len = 0;
  EXPECT_EQ(chunk.Remove(3), 3);
  const char* rest = chunk.Peek(len);
  EXPECT_EQ(std::string(rest, static_cast<size_t>(len)), "d");
  EXPECT_EQ(chunk.Remove(10), 1);
  EXPECT_EQ(chunk.Peek(len), nullptr);
  EXPECT_EQ(len, 0);
  EXPECT_EQ(chunk.Write("wxyz", 4), 4) << "a drained chunk takes a full capacity again";
}

}  // namespace
