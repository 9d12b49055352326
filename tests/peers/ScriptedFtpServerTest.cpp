// The scripted server does what its script says, byte for byte and write for write, and
// records what the client sent; a plain blocking socket plays the client.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/EventLoop.h"
#include "support/loopback/FtpProbe.h"
#include "support/scripted/ScriptedFtpServer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Clock;
using testsupport::DataPort;
using testsupport::FtpProbe;
using testsupport::LoopbackSocket;
using testsupport::Script;
using testsupport::ScriptedFtpServer;
using Lines = std::vector<std::string>;

TEST(ScriptedFtpServer, AnswersEachCommandInTurnAndRecordsTheLines) {
  ScriptedFtpServer server(Script().Send("220-Hello\r\n220 ready\r\n").Reply("331 More\r\n").Reply("230 In\r\n"));
  FtpProbe client(server.Port());
  EXPECT_EQ(client.ReadReply().text, "220-Hello\r\n220 ready\r\n");
  EXPECT_EQ(client.Command("USER me").code, 331);
  ASSERT_TRUE(client.Socket().SendAll("PASS secret\n"));  // a bare LF ends a command too
  EXPECT_EQ(client.ReadReply().code, 230);

  EXPECT_EQ(server.Commands(), (Lines{"USER me", "PASS secret"}));
  EXPECT_EQ(server.Received(), "USER me\r\nPASS secret\n");
  EXPECT_TRUE(server.Problems().empty());
}

TEST(ScriptedFtpServer, SendsThePartsOfASplitReplyAsSeparateWrites) {
  ScriptedFtpServer server(Script().SendInParts({"220 Hel", "lo\r\n"}, 200ms));
  LoopbackSocket client = LoopbackSocket::Connect(server.Port());
  EXPECT_EQ(client.ReceiveSome(2s), "220 Hel");
  const auto firstPart = Clock::now();
  EXPECT_EQ(client.ReceiveSome(2s), "lo\r\n");
  EXPECT_GE(Clock::now() - firstPart, 150ms);
}

TEST(ScriptedFtpServer, SendsTwoJoinedRepliesInOneWrite) {
  ScriptedFtpServer server(Script().Send("220 Hi\r\n").Reply("250 a\r\n250 b\r\n"));
  FtpProbe client(server.Port());
  ASSERT_EQ(client.ReadReply().code, 220);
  ASSERT_TRUE(client.Socket().SendAll("CWD x\r\n"));
  EXPECT_EQ(client.Socket().ReceiveSome(2s), "250 a\r\n250 b\r\n");
}

TEST(ScriptedFtpServer, StaysSilentAfterTheLastStepButKeepsRecording) {
  ScriptedFtpServer server(Script().Send("220 Hi\r\n"));
  FtpProbe client(server.Port());
  ASSERT_EQ(client.ReadReply().code, 220);
  ASSERT_TRUE(client.Socket().SendAll("NOOP\r\nSYST\r\n"));

  EXPECT_TRUE(server.WaitForCommands(2));
  EXPECT_EQ(server.Commands(), (Lines{"NOOP", "SYST"}));
  EXPECT_EQ(client.ReadReply(300ms).text, "");
  EXPECT_TRUE(server.Problems().empty());
}

TEST(ScriptedFtpServer, ClosesWhereTheScriptSaysAndCountsOnlyClientCloses) {
  ScriptedFtpServer server(Script().Send("220 Hi\r\n").Reply("221 Bye\r\n").Close());
  {
    FtpProbe client(server.Port());
    ASSERT_EQ(client.ReadReply().code, 220);
    EXPECT_EQ(client.Command("QUIT").code, 221);
    EXPECT_EQ(client.Socket().ReceiveSome(2s), "");
    EXPECT_TRUE(client.Socket().Closed());
  }
  {
    FtpProbe client(server.Port());  // each connection plays the script from its start
    ASSERT_EQ(client.ReadReply().code, 220);
  }  // closes while the server waits for QUIT
  EXPECT_TRUE(testsupport::PumpUntil([&] { return server.ClosedByClient() == 1; }, 2s));
  EXPECT_EQ(server.Connections(), 2);
  EXPECT_TRUE(server.Problems().empty());
}

TEST(ScriptedFtpServer, ReadsBinaryBytesAheadOfTheCommands) {
  ScriptedFtpServer server(Script().ReceiveBytes(3).Send(std::string("\x05\x00", 2)).Send("220 Hi\r\n").Receive());
  LoopbackSocket client = LoopbackSocket::Connect(server.Port());
  ASSERT_TRUE(client.SendAll(std::string("\x05\x01\x00", 3)));
  EXPECT_EQ(client.ReceiveExactly(2, 2s), std::string("\x05\x00", 2));
  FtpProbe ftp(std::move(client));
  EXPECT_EQ(ftp.ReadReply().code, 220);
  ASSERT_TRUE(ftp.Socket().SendAll("USER a\r\n"));

  EXPECT_TRUE(server.WaitForCommands(1));
  EXPECT_EQ(server.Commands(), Lines{"USER a"});
  EXPECT_EQ(server.Received(), std::string("\x05\x01\x00USER a\r\n", 11));
}

TEST(ScriptedFtpServer, ServesAndTakesPassiveDataConnections) {
  DataPort download;
  DataPort upload;
  ScriptedFtpServer server(Script()
                               .Send("220 Hi\r\n")
                               .Reply(download.PasvReply())
                               .Reply("150 Here\r\n")
                               .SendData(download, "file bytes")
                               .Send("226 Sent\r\n")
                               .Reply(upload.PasvReply())
                               .Reply("150 Go on\r\n")
                               .ReceiveData(upload)
                               .Send("226 Stored\r\n"));
  FtpProbe client(server.Port());
  ASSERT_EQ(client.ReadReply().code, 220);

  LoopbackSocket in = client.OpenPassive();
  ASSERT_TRUE(in.Valid());
  EXPECT_EQ(client.Command("RETR f").code, 150);
  EXPECT_EQ(in.ReceiveToEnd(2s), "file bytes");
  EXPECT_EQ(client.ReadReply().code, 226);

  LoopbackSocket out = client.OpenPassive();
  ASSERT_TRUE(out.Valid());
  EXPECT_EQ(client.Command("STOR g").code, 150);
  ASSERT_TRUE(out.SendAll("uploaded"));
  out.Close();
  EXPECT_EQ(client.ReadReply().code, 226);
  EXPECT_EQ(upload.Received(), "uploaded");
  EXPECT_TRUE(server.Problems().empty());
}

TEST(ScriptedFtpServer, ConnectsToTheAddressOfTheLatestPortCommand) {
  DataPort active(DataPort::Mode::Active);
  ScriptedFtpServer server(
      Script().Send("220 Hi\r\n").Reply("200 OK\r\n").Reply("150 Here\r\n").SendData(active, "listing").Send("226 Done\r\n"));
  LoopbackSocket listener = LoopbackSocket::Listen();
  const uint16_t port = listener.LocalPort();
  FtpProbe client(server.Port());
  ASSERT_EQ(client.ReadReply().code, 220);
  EXPECT_EQ(client.Command("PORT " + testsupport::LoopbackHostPort(port)).code, 200);
  EXPECT_EQ(client.Command("LIST").code, 150);
  LoopbackSocket data = listener.Accept(2s);
  EXPECT_EQ(data.ReceiveToEnd(2s), "listing");
  EXPECT_EQ(client.ReadReply().code, 226);
}

TEST(ScriptedFtpServer, ReportsADataStepItCannotPlay) {
  DataPort active(DataPort::Mode::Active);
  ScriptedFtpServer server(Script().Send("220 Hi\r\n").Reply("200 OK\r\n").SendData(active, "x"));
  FtpProbe client(server.Port());
  ASSERT_EQ(client.ReadReply().code, 220);
  EXPECT_EQ(client.Command("PORT 10,0,0,1,4,1").code, 200);  // never dialled: not loopback

  EXPECT_TRUE(testsupport::PumpUntil([&] { return !server.Problems().empty(); }, 2s));
  EXPECT_EQ(server.Problems(), Lines{"PORT names 10,0,0,1,4,1, not 127.0.0.1"});
  EXPECT_EQ(client.Socket().ReceiveSome(2s), "");  // the connection ends with the problem
}

TEST(ScriptedFtpServer, StopsAtOnceInTheMiddleOfAPause) {
  const auto start = Clock::now();
  {
    ScriptedFtpServer server(Script().Send("220 Hi\r\n").Pause(30s).Send("200 Late\r\n"));
    FtpProbe client(server.Port());
    ASSERT_EQ(client.ReadReply().code, 220);
  }
  EXPECT_LT(Clock::now() - start, 2s);
}

}  // namespace
