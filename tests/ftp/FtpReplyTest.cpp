// Reply numbers, quoted names, line assembly, the addresses of the data connection and the
// chain order, without any connection.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "ftp/FtpDataAddress.h"
#include "ftp/FtpReply.h"
#include "ftp/FtpSteps.h"

namespace {

TEST(FtpReply, NumbersAndQuotedStrings) {
  int64_t v = 0;
  EXPECT_EQ(GetInteger("213 1048583", 0, v), 3u);
  EXPECT_EQ(v, 213);
  GetInteger("213 8589934592", 3, v);
  EXPECT_EQ(v, 8589934592) << "sizes beyond 32 bits";
  GetInteger(" \t-12x", 0, v);
  EXPECT_EQ(v, -12);

  EXPECT_EQ(GetQuotedString("257 \"/home/a\" created", 3), "/home/a");
  EXPECT_EQ(GetQuotedString("257 \"/say \"\"hi\"\"\" ok", 3), "/say \"hi\"");
  EXPECT_EQ(GetQuotedString("257 /no/quotes", 3), "");
  EXPECT_EQ(GetQuotedString("257 \"unterminated", 3), "unterminated");

  int code = 0;
  EXPECT_TRUE(IsFinalReplyLine("250 ok", code));
  EXPECT_EQ(code, 250);
  EXPECT_FALSE(IsFinalReplyLine("250-first", code));
  EXPECT_FALSE(IsFinalReplyLine(" 250 indented", code));
  EXPECT_FALSE(IsFinalReplyLine("", code));
  EXPECT_TRUE(IsFinalReplyLine("99999999999999999999", code));
}

struct AssemblyRow {
  const char* name;
  bool acceptLF;
  std::vector<std::string> appends;
  std::vector<std::string> lines;
};

TEST(FtpReplyAssembler, CutsLines) {
  const std::string full(FtpReplyAssembler::kCapacity, 'x');
  // A reply line whose CR is the buffer's last byte: the cut falls inside its CR LF.
  const std::string crLast = "250 " + std::string(FtpReplyAssembler::kCapacity - 5, 'y');
  const AssemblyRow rows[] = {
      {"without acceptLF a bare LF waits for CR LF", false, {"220 a\n220 b\r\n"}, {"220 a\n220 b"}},
      {"with acceptLF a bare LF ends the line", true, {"220 a\n220"}, {"220 a"}},
      {"every trailing CR goes", false, {"220 b\r\r\n"}, {"220 b"}},
      {"a line over two appends", true, {"22", "0 x\n"}, {"220 x"}},
      {"a line over the capacity is cut there and its rest dropped", true, {full, "yyyy\n226 done\n"},
       {full, "226 done"}},
      {"a cut after the CR of CR LF, without acceptLF", false, {crLast + "\r", "\n226 Done\r\n"}, {crLast, "226 Done"}},
      {"a cut after the CR of CR LF, with acceptLF", true, {crLast + "\r", "\n226 Done\r\n"}, {crLast, "226 Done"}},
  };
  for (const AssemblyRow& row : rows) {
    SCOPED_TRACE(row.name);
    FtpReplyAssembler a;
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& bytes : row.appends) {
      ASSERT_LE(bytes.size(), a.Room());
      a.Append(bytes.data(), bytes.size());
      while (a.NextLine(line, row.acceptLF)) lines.push_back(line);
    }
    EXPECT_EQ(lines, row.lines);
  }
}

TEST(FtpReplyAssembler, ArbitraryBytesNeverStall) {
  FtpReplyAssembler a;
  std::string line;
  uint32_t seed = 7;
  for (int round = 0; round < 2000; ++round) {
    char block[512];
    for (char& c : block) {
      seed = seed * 1103515245 + 12345;
      c = static_cast<char>(seed >> 16);
    }
    a.Append(block, std::min(sizeof block, a.Room()));
    while (a.NextLine(line, round % 2 == 0)) {
    }
    ASSERT_GT(a.Room(), 0u);
  }
}

struct PasvRow {
  const char* reply;
  std::optional<uint16_t> port;
};

// 227 and 229 replies alike, each read by its code.
TEST(FtpDataAddress, PassiveReplyPort) {
  const PasvRow rows[] = {
      {"229 Entering Extended Passive Mode (|||6446|)", 6446},
      {"229 ok (!!!21!)", 21},
      {"229 no port (||||)", std::nullopt},
      {"229 port 0 (|||0|)", std::nullopt},
      {"229 too large (|||65536|)", std::nullopt},
      {"229 mixed delimiters (||!6446|)", std::nullopt},
      {"229 digits as delimiter (111644619)", std::nullopt},
      {"229 unterminated (|||6446", std::nullopt},
      {"227 Entering Passive Mode (127,0,0,1,4,1)", 1025},
      {"227 =(10,9,8,7, 255, 255) ok", 65535},
      {"227 Entering Passive Mode", std::nullopt},
      {"227 (1,2,3,4,5)", std::nullopt},
      {"227 (1,2,3,4,256,7)", std::nullopt},
      {"227 (1,2,3,4,7,256)", std::nullopt},
      {"227 (1,2,3,4,99999999999999999999,7)", std::nullopt},
      {"227 (1,2,3,4,-1,7)", std::nullopt},
      {"227 (1,2,3,4,4x,1)", std::nullopt},
  };
  for (const PasvRow& row : rows) EXPECT_EQ(PassiveReplyPort(row.reply), row.port) << row.reply;
}

TEST(FtpDataAddress, PortAndEprtLinesNameAddressAndPort) {
  EXPECT_EQ(PortLine(htonl(0x7F000001), 1025), "PORT 127,0,0,1,4,1");
  EXPECT_EQ(PortLine(htonl(0xC0A80A02), 65535), "PORT 192,168,10,2,255,255");
  EXPECT_EQ(EprtLine(platform::SocketAddress::FromText("::1", 6446).value()), "EPRT |2|::1|6446|");
  EXPECT_EQ(EprtLine(platform::SocketAddress::FromText("127.0.0.1", 21).value()), "EPRT |1|127.0.0.1|21|");
  EXPECT_EQ(EprtLine(platform::SocketAddress::FromText("fe80::1%lo", 21).value()), "EPRT |2|fe80::1|21|")
      << "the zone means nothing to the server";
}

TEST(FtpStepSet, RunsInTheFixedOrderWhateverTheSet) {
  TFtpStepSet steps{ftpStepQuit, ftpStepGet, ftpStepRest, ftpStepPort, ftpStepTypeSet, ftpStepOpen};
  std::vector<TFtpStep> order;
  for (TFtpStep s = steps.TakeNext(); s != ftpStepNone; s = steps.TakeNext()) order.push_back(s);
  EXPECT_EQ(order, (std::vector<TFtpStep>{ftpStepOpen, ftpStepTypeSet, ftpStepPort, ftpStepRest, ftpStepGet,
                                          ftpStepQuit}));
  EXPECT_TRUE(steps.Empty());
}

}  // namespace
