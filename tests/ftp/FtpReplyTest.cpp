// Reply numbers, quoted names, line assembly and the chain order, without any connection.
#include <gtest/gtest.h>

#include "ftp/FtpReply.h"
#include "ftp/FtpSteps.h"

namespace {

TEST(FtpReply, NumbersAndQuotedStrings) {
  int64_t v = 0;
  EXPECT_EQ(GetInteger("213 1048583", 0, v), 3u);
  EXPECT_EQ(v, 213);
  GetInteger("213 1048583", 3, v);
  EXPECT_EQ(v, 1048583);
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

TEST(FtpReplyAssembler, LinesTerminatorsAndOverlongLines) {
  FtpReplyAssembler a;
  std::string line;
  a.Append("220 a\n220", 9);
  EXPECT_FALSE(a.NextLine(line, false)) << "a bare LF must wait for CR LF";
  ASSERT_TRUE(a.NextLine(line, true));
  EXPECT_EQ(line, "220 a");
  a.Append(" b\r\r\n", 5);
  ASSERT_TRUE(a.NextLine(line, false));
  EXPECT_EQ(line, "220 b") << "every trailing CR goes";
  EXPECT_FALSE(a.NextLine(line, true));

  // A line that never ends is cut at the capacity, and the rest of it is dropped.
  std::string huge(FtpReplyAssembler::kCapacity, 'x');
  a.Append(huge.data(), huge.size());
  EXPECT_EQ(a.Room(), 0u);
  ASSERT_TRUE(a.NextLine(line, true));
  EXPECT_EQ(line.size(), FtpReplyAssembler::kCapacity);
  a.Append("yyyy\n226 done\n", 14);
  ASSERT_TRUE(a.NextLine(line, true));
  EXPECT_EQ(line, "226 done");
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

TEST(FtpStepSet, RunsInTheFixedOrderWhateverTheSet) {
  TFtpStepSet steps{ftpStepQuit, ftpStepGet, ftpStepRest, ftpStepPort, ftpStepTypeSet, ftpStepOpen};
  std::vector<TFtpStep> order;
  for (TFtpStep s = steps.TakeNext(); s != ftpStepNone; s = steps.TakeNext()) order.push_back(s);
  EXPECT_EQ(order, (std::vector<TFtpStep>{ftpStepOpen, ftpStepTypeSet, ftpStepPort, ftpStepRest, ftpStepGet,
                                          ftpStepQuit}));
  EXPECT_TRUE(steps.Empty());
}

}  // namespace
