// The control channel and the requests against a scripted server: exact replies, split and
// joined packets, odd codes, silence, and the exact commands the engine sent.
#include <gtest/gtest.h>

#include <thread>

#include "support/ftp/EngineProbe.h"
#include "support/Thrown.h"
#include "support/scripted/ScriptedFtpServer.h"

using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::Script;
using testsupport::ScriptedFtpServer;
using namespace std::chrono_literals;

namespace {

const auto FtpExceptionText = testsupport::ThrownText<FtpException>;

// One request against a scripted reply: its completion, what is kept and what is logged.
struct RequestRow {
  const char* name;
  Script script;  // the whole dialogue, greeting included
  std::function<void(TFtpClient&)> start;  // after OpenAsync; none: OpenAsync is the request
  Completion done;
  std::string errorMessage;
  bool connected;                    // afterwards
  std::vector<std::string> events;   // session events and completions, from the request on
  std::vector<std::string> replies;  // every reply line logged, from the greeting on
};

TEST(FtpControl, OneRequest) {
  const auto cwd = [](TFtpClient& f) { f.SetHostDirName("/pub"); f.CwdAsync(); };
  const auto quote = [](TFtpClient& f) { f.SetLocalFileName("SITE CHMOD 644 a.txt"); f.QuoteAsync(); };
  const RequestRow rows[] = {
      {"a two-line greeting ends Open once", Script().Send("220-Welcome\r\n220 Ready\r\n"), nullptr,
       {ftpOpenAsync, 0}, "", true, {"done OpenAsync 0 ftpReady"}, {"< 220-Welcome", "< 220 Ready"}},
      {"a greeting other than 220 closes with its code", Script().Send("421 Too many users\r\n"), nullptr,
       {ftpOpenAsync, 421}, "421 Too many users", false, {"closed 0", "done OpenAsync 421 ftpReady"}, {"< 421 Too many users"}},
      {"a multi-line reply shows only its last line",
       Script().Send("220 Ready\r\n").Reply("250-First\r\n   indented\r\n250 Done\r\n"), cwd, {ftpCwdAsync, 0}, "",
       true, {"done CwdAsync 0 ftpReady"}, {"< 220 Ready", "< 250 Done"}},
      {"QUIT answered 221 closes first, then completes", Script().Send("220 Ready\r\n").Reply("221 Bye\r\n"),
       [](TFtpClient& f) { f.QuitAsync(); }, {ftpQuitAsync, 0}, "", false,
       {"closed 0", "done QuitAsync 0 ftpReady"}, {"< 220 Ready", "< 221 Bye"}},
      {"QUIT refused keeps the connection", Script().Send("220 Ready\r\n").Reply("500 No\r\n"),
       [](TFtpClient& f) { f.QuitAsync(); }, {ftpQuitAsync, 500}, "500 No", true, {"done QuitAsync 500 ftpReady"},
       {"< 220 Ready", "< 500 No"}},
      {"a server dropping the connection fails the waiting request",
       Script().Send("220 Ready\r\n").Receive().Close(), [](TFtpClient& f) { f.PwdAsync(); }, {ftpPwdAsync, 421},
       "421 Connection closed by the server", false, {"closed 0", "done PwdAsync 421 ftpReady"}, {"< 220 Ready"}},
      {"without accept-LF a bare LF waits for CR LF",
       Script().Send("220 Ready\r\n").Reply("257 \"/a\n").Pause(200ms).Send("b\" ok\r\n"),
       [](TFtpClient& f) { f.SetOptions({}); f.PwdAsync(); }, {ftpPwdAsync, 0}, "", true, {"done PwdAsync 0 ftpReady"},
       {"< 220 Ready", "< 257 \"/a\nb\" ok"}},
      {"an empty accepted list makes 499 a success", Script().Send("220 Ready\r\n").Reply("499 Odd but fine\r\n"),
       quote, {ftpQuoteAsync, 0}, "", true, {"done QuoteAsync 0 ftpReady"}, {"< 220 Ready", "< 499 Odd but fine"}},
      {"an empty accepted list makes 500 a failure", Script().Send("220 Ready\r\n").Reply("500 Unknown\r\n"), quote,
       {ftpQuoteAsync, 500}, "500 Unknown", true, {"done QuoteAsync 500 ftpReady"}, {"< 220 Ready", "< 500 Unknown"}},
  };
  for (const RequestRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedFtpServer server(row.script);
    EngineProbe probe;
    if (row.start) {
      ASSERT_TRUE(probe.Open(server.Port()));
      probe.events.clear();
      EXPECT_EQ(probe.Run([&] { row.start(probe.ftp); }), row.done);
    } else {
      probe.Target(server.Port());
      EXPECT_EQ(probe.Run([&] { probe.ftp.OpenAsync(); }), row.done);
    }
    PumpFor(30ms);
    EXPECT_EQ(probe.events, row.events);
    EXPECT_EQ(probe.ftp.ErrorMessage(), row.errorMessage);
    EXPECT_EQ(probe.ftp.Connected(), row.connected);
    EXPECT_EQ(probe.Replies(), row.replies);
    EXPECT_EQ(probe.ftp.State(), ftpReady);
  }
}

TEST(FtpControl, RepliesSplitAcrossReadsAndJoinedInOne) {
  ScriptedFtpServer server(Script()
                               .SendInParts({"22", "0 Re", "ady\r", "\n"})
                               .Reply("331 Password\r\n230 Logged in\r\n")  // two replies at once
                               .Receive());
  EngineProbe probe;
  probe.Target(server.Port());
  probe.ftp.ConnectAsync();
  ASSERT_TRUE(probe.WaitDone());
  // USER got 331 and PASS took the 230 that had already arrived with it.
  EXPECT_EQ(probe.completions, (std::vector<Completion>{{ftpConnectAsync, 0}}));
  EXPECT_EQ(probe.Replies(), (std::vector<std::string>{"< 220 Ready", "< 331 Password", "< 230 Logged in"}));
  ASSERT_TRUE(server.WaitForCommands(2));
  EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER user", "PASS secret"}));
  EXPECT_EQ(probe.log[1], "> USER user");
  EXPECT_EQ(probe.log[3], "> PASS secret") << "the password is echoed like any command";
}

TEST(FtpControl, ServerClosingAnIdleConnection) {
  ScriptedFtpServer server(Script().Send("220 Ready\r\n").Pause(200ms).Send("421 Timeout\r\n").Close());
  EngineProbe probe;
  ASSERT_TRUE(probe.Open(server.Port()));
  ASSERT_TRUE(PumpUntil([&] { return !probe.ftp.Connected(); }));
  PumpFor(50ms);
  EXPECT_EQ(probe.completions.size(), 1u) << "the last request was already reported";
  EXPECT_EQ(probe.ftp.State(), ftpInternalReady);
  EXPECT_EQ(probe.log.back(), "< 421 Timeout");
  EXPECT_EQ(probe.events.back(), "closed 0");
}

TEST(FtpControl, RequestWhileBusyIsRefusedAndTheRunningOneGoesOn) {
  ScriptedFtpServer server(Script().Send("220 Ready\r\n").Receive().Pause(200ms).Send("257 \"/x\"\r\n"));
  EngineProbe probe;
  ASSERT_TRUE(probe.Open(server.Port()));
  probe.ftp.PwdAsync();
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.SystAsync(); }), "FTP component not ready");
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.ConnectAsync(); }), "FTP component already connected");
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.DirAsync(); }), "FTP component not ready");
  ASSERT_TRUE(probe.WaitDone(2));
  EXPECT_EQ(probe.completions.back(), (Completion{ftpPwdAsync, 0}));
  EXPECT_EQ(probe.ftp.DirResult(), "/x");
  EXPECT_EQ(server.Commands(), std::vector<std::string>{"PWD"});
}

TEST(FtpControl, MisuseWithoutAConnection) {
  EngineProbe probe;
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.PwdAsync(); }), "FTP component not connected");
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.CwdAsync(); }), "HostDirName emtpy");
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.UserAsync(); }), "UserName emtpy");
  EXPECT_EQ(FtpExceptionText([&] { probe.ftp.PassAsync(); }), "Password emtpy");
  PumpFor(20ms);
  EXPECT_TRUE(probe.completions.empty());
}

TEST(FtpControl, WaitUntilReadyTimesOutAgainstASilentServer) {
  ScriptedFtpServer server(Script().Send("220 Ready\r\n"));
  EngineProbe probe;
  probe.Target(server.Port());
  probe.ftp.SetTimeout(1);
  probe.ftp.OpenAsync();
  ASSERT_TRUE(probe.ftp.WaitUntilReady());
  probe.ftp.SetHostDirName("/slow");
  EXPECT_FALSE(probe.ftp.CwdSync());
  EXPECT_EQ(probe.ftp.StatusCode(), 426);
  EXPECT_EQ(probe.ftp.ErrorMessage(), "426 Timeout");
  EXPECT_EQ(probe.ftp.State(), ftpReady);
  // The abandoned CWD is not completed as a success.
  ASSERT_TRUE(probe.WaitDone(2));
  EXPECT_EQ(probe.completions.back(), (Completion{ftpCwdAsync, 426}));
}

TEST(FtpControl, AbortOfASingleRequestReportsItAborted) {
  ScriptedFtpServer server(Script().Send("220 Ready\r\n"));
  EngineProbe probe;
  ASSERT_TRUE(probe.Open(server.Port()));
  probe.ftp.SetHostDirName("/pub");
  probe.ftp.CwdAsync();
  ASSERT_TRUE(server.WaitForCommands(1));
  probe.ftp.Abort();
  ASSERT_TRUE(probe.WaitDone(2));
  EXPECT_EQ(probe.completions.back(), (Completion{ftpCwdAsync, 426}));
  EXPECT_EQ(probe.ftp.ErrorMessage(), "426 Operation aborted.");
}

TEST(FtpControl, HostileRepliesNeitherStallNorCrash) {
  // NUL bytes inside a line, lines without a code, a reply line far longer than the buffer,
  // then a multi-line reply that never ends.
  const std::string longLine = "250 " + std::string(10000, 'x') + "\r\n";
  ScriptedFtpServer server(Script()
                               .Send("220 Ready\r\n")
                               .Reply(std::string("257 \"/a\0b\" made\r\n", 17))
                               .Reply("no code here\r\n  nor here\r\n213 42\r\n")
                               .Reply(longLine)
                               .Reply("200-start\r\n")
                               .Send(std::string(64 * 1024, '-') + "\r\n")
                               .Send("200-still going\r\n200-and going\r\n"));
  EngineProbe probe;
  ASSERT_TRUE(probe.Open(server.Port()));
  EXPECT_EQ(probe.Run([&] { probe.ftp.PwdAsync(); }), (Completion{ftpPwdAsync, 0}));
  EXPECT_EQ(probe.ftp.DirResult(), std::string("/a\0b", 4));
  probe.ftp.SetHostFileName("f");
  EXPECT_EQ(probe.Run([&] { probe.ftp.SizeAsync(); }), (Completion{ftpSizeAsync, 0}));
  EXPECT_EQ(probe.ftp.SizeResult(), 42);
  probe.ftp.SetHostDirName("/long");
  EXPECT_EQ(probe.Run([&] { probe.ftp.CwdAsync(); }), (Completion{ftpCwdAsync, 0}))
      << "an over-long final line still ends its request";
  probe.ftp.SetTimeout(1);
  EXPECT_FALSE(probe.ftp.TypeSetSync()) << "an endless reply is given up by the wait";
  EXPECT_EQ(probe.ftp.State(), ftpReady);
}

// A server that sends faster than the engine reads must not hold the event loop: the wait
// gives up at its time-out while the flood still runs, and Abort ends it.
TEST(FtpControl, AReplyFloodLeavesTheLoopFree) {
  ScriptedFtpServer server(Script().Send("220 Ready\r\n").Receive().Flood("1-\r\n"));
  EngineProbe probe;
  ASSERT_TRUE(probe.Open(server.Port()));
  // A handler that takes its time for each line: the server stays ahead of the reads.
  probe.ftp.OnResponse = [](TCustomFtpCli*) { std::this_thread::sleep_for(20us); };
  probe.ftp.SetTimeout(1);
  probe.ftp.SetHostDirName("/flooded");
  EXPECT_FALSE(probe.ftp.CwdSync());
  EXPECT_EQ(probe.ftp.ErrorMessage(), "426 Timeout");
  EXPECT_TRUE(PumpUntil([&] { return server.ClosedByClient() == 1; }));
  EXPECT_TRUE(server.Problems().empty());
}

// Chains against scripted replies: which steps run, how the chain ends and what it reports.
struct ChainRow {
  const char* name;
  Script script;
  std::function<void(TFtpClient&)> start;
  Completion done;
  std::string errorMessage;
  std::string lastResponse;  // restored to the reply before QUIT
  bool connected;
  std::vector<std::string> commands;
};

TEST(FtpChain, StepsAndEnds) {
  const auto del = [](TFtpClient& f) { f.SetHostFileName("old.txt"); f.DeleteAsync(); };
  // Through an FTP proxy at the scripted server, to a server on `port`.
  const auto viaProxy = [](const char* port) {
    return [port](TFtpClient& f) {
      f.SetConnectionType(ftpProxy);
      f.SetProxyServer("127.0.0.1");
      f.SetProxyDialPort(f.Port());
      f.SetHostName("files.example");
      f.SetPort(port);
      f.ConnectAsync();
    };
  };
  const Script proxyLogin = Script().Send("220 Proxy\r\n").Reply("230 In\r\n");
  const ChainRow rows[] = {
      {"USER answered 230: no PASS", Script().Send("220 Ready\r\n").Reply("230 Anonymous in\r\n"),
       [](TFtpClient& f) { f.ConnectAsync(); }, {ftpConnectAsync, 0}, "", "230 Anonymous in", true, {"USER user"}},
      {"no directory: no CWD; the reply before QUIT is kept",
       Script().Send("220 Ready\r\n").Reply("331 Password\r\n").Reply("230 In\r\n").Reply("250 Deleted\r\n").Reply(
           "221 Bye\r\n").Close(),
       del, {ftpDeleteAsync, 0}, "", "250 Deleted", false, {"USER user", "PASS secret", "DELE old.txt", "QUIT"}},
      {"the chained size reports the kind of Size",
       Script().Send("220 Ready\r\n").Reply("230 In\r\n").Reply("250 Here\r\n").Reply("213 8589934592\r\n").Reply(
           "221 Bye\r\n").Close(),
       [](TFtpClient& f) { f.SetHostDirName("/data"); f.SetHostFileName("big.iso"); f.FileSizeAsync(); },
       {ftpSizeAsync, 0}, "", "213 8589934592", false, {"USER user", "CWD /data", "SIZE big.iso", "QUIT"}},
      {"an empty user name in a later step fails the request", Script().Send("220 Ready\r\n"),
       [](TFtpClient& f) { f.SetUserName(""); f.ConnectAsync(); }, {ftpConnectAsync, 500}, "500 UserName emtpy",
       "500 UserName emtpy", true, {}},
      {"a proxy login names the server", proxyLogin, viaProxy("21"), {ftpConnectAsync, 0}, "", "230 In", true,
       {"USER user@files.example"}},
      {"a proxy login names the server, port FTP", proxyLogin, viaProxy("FTP"), {ftpConnectAsync, 0}, "", "230 In",
       true, {"USER user@files.example"}},
      {"a proxy login names the server and its own port", proxyLogin, viaProxy("2121"), {ftpConnectAsync, 0}, "",
       "230 In", true, {"USER user@files.example:2121"}},
  };
  for (const ChainRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedFtpServer server(row.script);
    EngineProbe probe;
    probe.Target(server.Port());
    EXPECT_EQ(probe.Run([&] { row.start(probe.ftp); }), row.done) << probe.Transcript();
    PumpFor(30ms);
    EXPECT_EQ(probe.completions.size(), 1u);
    EXPECT_EQ(probe.ftp.ErrorMessage(), row.errorMessage);
    EXPECT_EQ(probe.ftp.LastResponse(), row.lastResponse);
    EXPECT_EQ(probe.ftp.Connected(), row.connected);
    EXPECT_EQ(server.Commands(), row.commands);
  }
}

TEST(FtpChain, StopsAtTheFirstFailureWithItsCode) {
  ScriptedFtpServer server(Script()
                               .Send("220 Ready\r\n")
                               .Reply("331 Password\r\n")
                               .Reply("530 Login incorrect\r\n")
                               .Reply("200 NOOP ok\r\n"));
  EngineProbe probe;
  probe.Target(server.Port());
  probe.ftp.SetHostFileName("precious.txt");
  probe.ftp.DeleteAsync();
  ASSERT_TRUE(probe.WaitDone());
  EXPECT_EQ(probe.completions, (std::vector<Completion>{{ftpDeleteAsync, 530}}));
  EXPECT_EQ(probe.ftp.ErrorMessage(), "530 Login incorrect");
  EXPECT_TRUE(probe.ftp.Connected()) << "a failed login leaves the connection open";
  // The chain is over: the next request's success must not resume its DELE and QUIT.
  probe.ftp.SetLocalFileName("NOOP");
  probe.ftp.QuoteAsync();
  ASSERT_TRUE(probe.WaitDone(2));
  PumpFor(50ms);
  EXPECT_EQ(probe.completions.back(), (Completion{ftpQuoteAsync, 0}));
  EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER user", "PASS secret", "NOOP"}));
}

TEST(FtpChain, AbortEndsTheChainWith426) {
  ScriptedFtpServer server(Script().Send("220 Ready\r\n").Reply("331 Password\r\n").Receive());
  EngineProbe probe;
  probe.Target(server.Port());
  probe.ftp.ConnectAsync();
  ASSERT_TRUE(server.WaitForCommands(2));
  probe.ftp.Abort();
  EXPECT_EQ(probe.ftp.State(), ftpReady);
  ASSERT_TRUE(probe.WaitDone());
  PumpFor(50ms);
  EXPECT_EQ(probe.completions, (std::vector<Completion>{{ftpConnectAsync, 426}}));
  EXPECT_EQ(probe.ftp.ErrorMessage(), "426 Operation aborted.");
  EXPECT_FALSE(probe.ftp.Connected());
}

TEST(FtpConnect, RefusedConnectionReportsTheSocketError) {
  uint16_t closedPort = 0;
  {
    ScriptedFtpServer gone(Script{});
    closedPort = gone.Port();
  }
  EngineProbe probe;
  probe.Target(closedPort);
  probe.ftp.ConnectAsync();
  ASSERT_TRUE(probe.WaitDone());
  EXPECT_EQ(probe.completions, (std::vector<Completion>{{ftpConnectAsync, 10061}}));
  EXPECT_EQ(probe.ftp.LastResponse(), "500 Connection refused (Winsock error #10061)");
  EXPECT_EQ(probe.ftp.StatusCode(), 500);
  EXPECT_EQ(probe.ftp.State(), ftpReady);
}

}  // namespace
