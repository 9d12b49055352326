// Address, port and protocol texts, error texts and the send-queue chunk.
#include <arpa/inet.h>
#include <gtest/gtest.h>

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

TEST(WSocketResolveHost, DottedTextsAndBadInput) {
  EXPECT_EQ(WSocketResolveHost("127.0.0.1"), htonl(0x7F000001));
  EXPECT_EQ(WSocketResolveHost(" 10.0.0.1 "), htonl(0x0A000001));
  EXPECT_EQ(WSocketResolveHost("255.255.255.255"), INADDR_BROADCAST);
  EXPECT_EQ(WSocketResolveHost("localhost"), htonl(0x7F000001));
  const std::string longName(257, 'a');
  try {
    WSocketResolveHost(longName);
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_EQ(std::string(e.what()), "WSocketResolveHost: '" + longName + "' Invalid Hostname.");
  }
  try {
    WSocketResolveHost("");
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "WSocketResolveHost: '' Invalid Hostname.");
  }
}

TEST(WSocketResolvePort, DigitsServiceNamesAndBadInput) {
  EXPECT_EQ(WSocketResolvePort("21", "tcp"), 21);
  EXPECT_EQ(WSocketResolvePort("2121abc", "tcp"), 2121);
  EXPECT_EQ(WSocketResolvePort("ftp", "tcp"), 21);
  EXPECT_EQ(WSocketResolvePort(" ftp ", " tcp "), 21);
  // A leading blank makes the text a service name, and no service is called " 21".
  EXPECT_THROW(WSocketResolvePort(" 21", "tcp"), ESocketException);
  EXPECT_THROW(WSocketResolvePort("", "tcp"), ESocketException);
  try {
    WSocketResolvePort(std::string(32, '1'), "tcp");
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "WSocketResolvePort: Invalid Port.");
  }
  try {
    WSocketResolvePort("no-such-service", "tcp");
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "WSocketResolvePort: Cannot convert port 'no-such-service', Error #11004");
  }
}

TEST(WSocketResolveProto, NumbersAndNames) {
  EXPECT_EQ(WSocketResolveProto("tcp"), 6);
  EXPECT_EQ(WSocketResolveProto("17"), 17);
  EXPECT_EQ(WSocketResolveProto(" 17 "), 17);
  EXPECT_THROW(WSocketResolveProto(""), ESocketException);
  try {
    WSocketResolveProto("nope");
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "WSocketResolveProto: Cannot convert protocol 'nope', Error #11004");
  }
}

TEST(SocketErrorText, KnownAndUnknownCodes) {
  EXPECT_EQ(SocketErrorText(0), "No Error");
  EXPECT_EQ(SocketErrorText(10035), "Operation would block");
  EXPECT_EQ(SocketErrorText(10057), "Socket is not connected");
  EXPECT_EQ(SocketErrorText(10061), "Connection refused");
  EXPECT_EQ(SocketErrorText(11004), "No Data");
  EXPECT_EQ(SocketErrorText(10080), "Not a WinSock error");
  EXPECT_EQ(SocketErrorText(-1), "Not a WinSock error");
}

TEST(TBuffer, FillsDrainsAndRefills) {
  TBuffer defaulted(0);
  EXPECT_EQ(defaulted.Capacity(), 1514);

  TBuffer chunk(4);
  EXPECT_EQ(chunk.Write("abcdef", 6), 4);
  EXPECT_EQ(chunk.Write("x", 1), 0);
  int32_t len = 0;
  EXPECT_EQ(std::string(chunk.Peek(len), 4), "abcd");
  EXPECT_EQ(chunk.Remove(3), 3);
  const char* rest = chunk.Peek(len);
  EXPECT_EQ(std::string(rest, static_cast<size_t>(len)), "d");
  EXPECT_EQ(chunk.Remove(10), 1);
  EXPECT_EQ(chunk.Peek(len), nullptr);
  EXPECT_EQ(len, 0);
  // Drained completely: the chunk takes a full capacity again.
  EXPECT_EQ(chunk.Write("wxyz", 4), 4);
}

}  // namespace
