// What the engine's scripted tests take for granted of the scripted server beyond playing
// its script: the transcripts, silence after the last step, where it closes, which closes it
// counts, the problems it reports, and that it stops at once. A plain socket plays the client.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/EventLoop.h"
#include "support/loopback/FtpProbe.h"
#include "support/scripted/ScriptedFtpServer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::DataPort;
using testsupport::FtpProbe;
using testsupport::Script;
using testsupport::ScriptedFtpServer;
using Lines = std::vector<std::string>;

TEST(ScriptedFtpServer, RecordsTheCommandsAndStaysSilentAfterTheScript) {
  ScriptedFtpServer server(Script().Send("220-Hello\r\n220 ready\r\n").Reply("331 More\r\n"));
  FtpProbe client(server.Port());
  EXPECT_EQ(client.ReadReply().text, "220-Hello\r\n220 ready\r\n");
  EXPECT_EQ(client.Command("USER me").code, 331);
  ASSERT_TRUE(client.Socket().SendAll("PASS secret\nNOOP\r\n"));  // a bare LF ends a command too
  EXPECT_TRUE(server.WaitForCommands(3));
  EXPECT_EQ(client.ReadReply(300ms).text, "");
  EXPECT_EQ(server.Commands(), (Lines{"USER me", "PASS secret", "NOOP"}));
  EXPECT_EQ(server.Received(), "USER me\r\nPASS secret\nNOOP\r\n");
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

TEST(ScriptedFtpServer, StopsInTheMiddleOfAPauseOrAFlood) {
  for (Script script : {Script().Send("220 Hi\r\n").Pause(600s), Script().Send("220 Hi\r\n").Flood("1-\r\n")}) {
    ScriptedFtpServer server(script);
    FtpProbe client(server.Port());
    ASSERT_EQ(client.ReadReply().code, 220);
  }  // a server that did not stop would hang here
}

}  // namespace
