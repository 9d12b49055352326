// Address, port and protocol texts, error texts and the send-queue chunk.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <functional>

#include "net/SocketErrorText.h"
#include "net/WSockbuf.h"
#include "net/WSocketResolve.h"
#include "net/WSocketTypes.h"
#include "support/Thrown.h"

namespace {

const auto Thrown = testsupport::ThrownText<ESocketException>;

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
  EXPECT_EQ(Thrown([&] { WSocketResolveHost(longName); }), "WSocketResolveHost: '" + longName + "' Invalid Hostname.");
  EXPECT_EQ(Thrown([&] { WSocketResolveHost(""); }), "WSocketResolveHost: '' Invalid Hostname.");
}

TEST(WSocketResolvePort, DigitsServiceNamesAndBadInput) {
  EXPECT_EQ(WSocketResolvePort("21", "tcp"), 21);
  EXPECT_EQ(WSocketResolvePort("2121abc", "tcp"), 2121);
  EXPECT_EQ(WSocketResolvePort("ftp", "tcp"), 21);
  EXPECT_EQ(WSocketResolvePort(" ftp ", " tcp "), 21);
  // A leading blank makes the text a service name, and no service is called " 21".
  EXPECT_THROW(WSocketResolvePort(" 21", "tcp"), ESocketException);
  EXPECT_THROW(WSocketResolvePort("", "tcp"), ESocketException);
  EXPECT_EQ(Thrown([&] { WSocketResolvePort(std::string(32, '1'), "tcp"); }), "WSocketResolvePort: Invalid Port.");
  EXPECT_EQ(Thrown([&] { WSocketResolvePort("no-such-service", "tcp"); }), "WSocketResolvePort: Cannot convert port 'no-such-service', Error #11004");
}

TEST(WSocketResolveProto, NumbersAndNames) {
  EXPECT_EQ(WSocketResolveProto("tcp"), 6);
  EXPECT_EQ(WSocketResolveProto("17"), 17);
  EXPECT_EQ(WSocketResolveProto(" 17 "), 17);
  EXPECT_THROW(WSocketResolveProto(""), ESocketException);
  EXPECT_EQ(Thrown([&] { WSocketResolveProto("nope"); }), "WSocketResolveProto: Cannot convert protocol 'nope', Error #11004");
}

TEST(SocketErrorText, EveryListedCodeAndTheRest) {
  const std::pair<int, const char*> table[] = {
      {0, "No Error"},
      {10004, "Interrupted system call"},
      {10009, "Bad file number"},
      {10013, "Permission denied"},
      {10014, "Bad address"},
      {10022, "Invalid argument"},
      {10024, "Too many open files"},
      {10035, "Operation would block"},
      {10036, "Operation now in progress"},
      {10037, "Operation already in progress"},
      {10038, "Socket operation on non-socket"},
      {10039, "Destination address required"},
      {10040, "Message too long"},
      {10041, "Protocol wrong type for socket"},
      {10042, "Protocol not available"},
      {10043, "Protocol not supported"},
      {10044, "Socket type not supported"},
      {10045, "Operation not supported on socket"},
      {10046, "Protocol family not supported"},
      {10047, "Address family not supported by protocol family"},
      {10048, "Address already in use"},
      {10049, "Address not available"},
      {10050, "Network is down"},
      {10051, "Network is unreachable"},
      {10052, "Network dropped connection on reset"},
      {10053, "Connection aborted"},
      {10054, "Connection reset by peer"},
      {10055, "No buffer space available"},
      {10056, "Socket is already connected"},
      {10057, "Socket is not connected"},
      {10058, "Can't send after socket shutdown"},
      {10059, "Too many references: can't splice"},
      {10060, "Connection timed out"},
      {10061, "Connection refused"},
      {10062, "Too many levels of symbolic links"},
      {10063, "File name too long"},
      {10064, "Host is down"},
      {10065, "No route to host"},
      {10066, "Directory not empty"},
      {10067, "Too many processes"},
      {10068, "Too many users"},
      {10069, "Disc quota exceeded"},
      {10070, "Stale NFS file handle"},
      {10071, "Too many levels of remote in path"},
      {10091, "Network sub-system is unusable"},
      {10092, "WinSock DLL cannot support this application"},
      {10093, "WinSock not initialized"},
      {11001, "Host not found"},
      {11002, "Non-authoritative host not found"},
      {11003, "Non-recoverable error"},
      {11004, "No Data"},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(SocketErrorText(code), text) << code;
  for (int code : {-1, 1, 10000, 10072, 10080, 10090, 11000, 11005, 20015})
    EXPECT_EQ(SocketErrorText(code), "Not a WinSock error") << code;
}

TEST(Resolution, GarbageTextsGiveTheExactTexts) {
  EXPECT_EQ(Thrown([] { WSocketResolveHost("1.2.3.4x"); }), "WSocketResolveHost: '1.2.3.4x' Invalid IP address.");
  EXPECT_EQ(Thrown([] { WSocketResolvePort("", "tcp"); }), "WSocketResolvePort: Invalid Port.");
  EXPECT_EQ(Thrown([] { WSocketResolvePort(std::string("\xff\x01", 2), "tcp"); }),
            std::string("WSocketResolvePort: Cannot convert port '\xff', Error #11004"));
  EXPECT_EQ(Thrown([] { WSocketResolveProto(std::string(31, 'x') + "y"); }), "WSocketResolveProto: Invalid Protocol.");
  EXPECT_EQ(Thrown([] { WSocketResolveProto("  "); }), "WSocketResolveProto: Cannot convert protocol '', Error #11004");
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
