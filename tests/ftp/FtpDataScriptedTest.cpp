// Data connections against a scripted server: the order of the final reply and the data
// close, statistics, PORT and PASV forms, who may connect, the local file, progress abort and
// the failure paths.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <fcntl.h>
#include <fstream>
#include <optional>
#include <regex>
#include <unistd.h>

#include "support/ftp/EngineProbe.h"
#include "support/files/PatternFiles.h"
#include "support/loopback/FtpProbe.h"
#include "support/peers/TempDir.h"
#include "support/scripted/ScriptedFtpServer.h"

using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::ReadAll;
using testsupport::DataPort;
using testsupport::PumpFor;
using testsupport::Script;
using testsupport::ScriptedFtpServer;
using namespace std::chrono_literals;

namespace {

const std::string kListing =
    "drwxr-xr-x    2 1001     1001         4096 Dec 06 08:03 sub\r\n"
    "-rw-r--r--    1 1001     1001           10 Jan 01  2020 a.txt\r\n";

class FtpDataScripted : public ::testing::Test {
 protected:
  // Connects the engine to a server playing `script` after its greeting.
  void Open(Script script, bool passive = true) {
    probe.ftp.Abort();  // from the row before
    server_ = std::make_unique<ScriptedFtpServer>(Script().Send("220 Ready\r\n").Then(std::move(script)));
    probe.Target(server_->Port());
    probe.ftp.SetPassive(passive);
    ASSERT_EQ(probe.Run([&] { probe.ftp.OpenAsync(); }), (Completion{ftpOpenAsync, 0}));
  }

  Completion Run(const std::function<void()>& start) {
    const size_t before = probe.completions.size();
    const Completion done = probe.Run(start, std::chrono::seconds(10));
    PumpFor(30ms);  // a second completion would show here
    EXPECT_EQ(probe.completions.size(), before + 1) << probe.Transcript();
    return done;
  }

  Completion List(const std::string& argument = "") {
    probe.ftp.SetHostFileName(argument);
    probe.ftp.SetLocalFileName(listing_.string());
    return Run([&] { probe.ftp.DirAsync(); });
  }

  std::vector<std::string> StatisticsLines() const {
    std::vector<std::string> lines;
    for (const auto& l : probe.log)
      if (l.find(" bytes received/sent in ") != std::string::npos) lines.push_back(l);
    return lines;
  }

  ScriptedFtpServer& Server() { return *server_; }

  // What the server got, joined by "; ".
  std::string Commands() const {
    std::string joined;
    for (const auto& c : server_->Commands()) joined += (joined.empty() ? "" : "; ") + c;
    return joined;
  }

  static size_t OpenDescriptors() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
  }

  EngineProbe probe;
  DataPort data;
  testsupport::TempDir dir;
  std::filesystem::path listing_ = dir.Path() / "FTPDIR.TXT";

 private:
  std::unique_ptr<ScriptedFtpServer> server_;
};

// A listing ends once, with one statistics line, stored byte for byte, however the final
// reply, the data and the data connection's close are ordered.
TEST_F(FtpDataScripted, Listings) {
  DataPort active(DataPort::Mode::Active);
  struct Row {
    const char* name;
    Script script;
    bool passive;
    std::string argument;
    std::string sent;
    std::string commands;    // regular expression over the commands, joined by "; "
    std::string statistics;  // regular expression
  };
  const std::string sent = "! " + std::to_string(kListing.size()) + R"( bytes received/sent in 0 seconds( \(\d+ Bytes/sec\))?)";
  const Row rows[] = {
      {"226 after the data close",
       Script().Reply(data.PasvReply()).Reply("150 Here\r\n").SendData(data, kListing).Pause(100ms).Send("226 Done\r\n"),
       true, "", kListing, "PASV; LIST", sent},
      {"226 before the data close",
       Script().Reply(data.PasvReply()).Reply("150 Here\r\n226 Done\r\n").Pause(100ms).SendData(data, kListing), true,
       "", kListing, "PASV; LIST", sent},
      {"with an argument",
       Script().Reply(data.PasvReply()).Reply("150 Here\r\n").SendData(data, kListing).Send("226 Done\r\n"), true,
       "-la sub", kListing, "PASV; LIST -la sub", sent},
      {"empty: no rate", Script().Reply(data.PasvReply()).Reply("150 Here\r\n").SendData(data, "").Send("226 Done\r\n"),
       true, "", "", "PASV; LIST", "! 0 bytes received/sent in 0 seconds"},
      {"40000 bytes in 300 ms: from 32 KiB on, the division comes first",
       Script().Reply(data.PasvReply()).Reply("150 Here\r\n").SendData(data, std::string(40000, 'x')).Pause(300ms).Send(
           "226 Done\r\n"),
       true, "", std::string(40000, 'x'), "PASV; LIST", R"(! 40000 bytes received/sent in 0 seconds \(\d+000 Bytes/sec\))"},
      {"active mode to 127.0.0.1 names the loopback address",
       Script().Reply("200 PORT ok\r\n").Reply("150 Here\r\n").SendData(active, kListing).Send("226 Done\r\n"), false,
       "", kListing, R"(PORT 127,0,0,1,\d+,\d+; LIST)", sent},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Open(row.script, row.passive);
    EXPECT_EQ(List(row.argument), (Completion{ftpDirAsync, 0})) << probe.Transcript();
    EXPECT_TRUE(ReadAll(listing_) == row.sent);
    EXPECT_TRUE(std::regex_match(Commands(), std::regex(row.commands))) << Commands();
    const auto statistics = StatisticsLines();
    ASSERT_EQ(statistics.size(), 1u) << probe.Transcript();
    EXPECT_TRUE(std::regex_match(statistics[0], std::regex(row.statistics))) << statistics[0];
    probe.log.clear();
  }
}

TEST_F(FtpDataScripted, PassiveReplyWithoutAPortFailsTheStep) {
  const std::string replies[] = {"227 Entering Passive Mode", "227 Entering Passive Mode (127,0,0,1,256,1)",
                                 "227 Entering Passive Mode (127,0,0,1,99999999999999999999,7)"};
  Open(Script().Reply(replies[0] + "\r\n").Reply(replies[1] + "\r\n").Reply(replies[2] + "\r\n"));
  for (const std::string& reply : replies) {
    SCOPED_TRACE(reply);
    const size_t descriptors = OpenDescriptors();
    EXPECT_EQ(List(), (Completion{ftpDirAsync, 550}));
    EXPECT_EQ(OpenDescriptors(), descriptors) << "the local file was left open";
    EXPECT_EQ(probe.ftp.LastResponse(), "550 FtpException: Invalid passive reply: " + reply);
    EXPECT_EQ(probe.ftp.State(), ftpReady);
  }
}

// In active mode a third host that calls before the server is hung up on; the transfer
// takes place with the server.
TEST_F(FtpDataScripted, ActiveModeTakesTheDataConnectionOnlyFromTheServer) {
  DataPort active(DataPort::Mode::Active);
  const std::string upload = "uploaded bytes";
  const auto file = dir.Path() / "up.bin";
  std::ofstream(file, std::ios::binary) << upload;
  Open(Script()
           .Reply("200 PORT ok\r\n").Receive().Pause(300ms)
           .Send("150 Here\r\n").SendData(active, kListing).Send("226 Done\r\n")
           .Reply("200 PORT ok\r\n").Receive().Pause(300ms)
           .Send("150 Go on\r\n").ReceiveData(active).Send("226 Stored\r\n"),
       /*passive=*/false);
  struct Row {
    const char* name;
    std::function<void()> start;
  };
  const Row rows[] = {
      {"download", [&] { probe.ftp.SetLocalFileName(listing_.string()); probe.ftp.DirAsync(); }},
      {"upload", [&] { probe.ftp.SetHostFileName("up.bin"); probe.ftp.SetLocalFileName(file.string()); probe.ftp.PutAsync(); }},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    const size_t before = probe.completions.size();
    rows[i].start();
    ASSERT_TRUE(Server().WaitForCommands(2 * i + 2));
    unsigned h1, h2, h3, h4, p1, p2;
    ASSERT_EQ(std::sscanf(Server().Commands()[2 * i].c_str(), "PORT %u,%u,%u,%u,%u,%u", &h1, &h2, &h3, &h4, &p1, &p2), 6);
    testsupport::LoopbackSocket intruder =
        testsupport::LoopbackSocket::Connect(static_cast<uint16_t>(p1 << 8 | p2), 2s, "127.0.0.2");
    ASSERT_TRUE(intruder.Valid());
    intruder.SendAll("injected\r\n");
    ASSERT_TRUE(probe.WaitDone(before + 1));
    EXPECT_EQ(probe.completions.back().error, 0) << probe.Transcript();
    EXPECT_EQ(intruder.ReceiveSome(1s), "") << "the intruder got data";
    EXPECT_TRUE(intruder.Closed());
    EXPECT_NE(std::find(probe.log.begin(), probe.log.end(), "! Data connection from 127.0.0.2 refused"),
              probe.log.end());
  }
  EXPECT_EQ(ReadAll(listing_), kListing);
  EXPECT_EQ(active.Received(), upload);
  EXPECT_TRUE(Server().Problems().empty());
}

// Every failure ends the request once, with its code and a text that names it, and leaves
// no descriptor open where no data connection was made.
TEST_F(FtpDataScripted, Failures) {
  uint16_t closedPort = 0;
  {
    DataPort gone;
    closedPort = gone.Port();
  }
  const auto locked = dir.Path() / "locked.bin";
  testsupport::WritePattern(locked, 100);
  const int holder = ::open(locked.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  const std::string impossible = (dir.Path() / "no-such-dir" / "file").string();
  const auto get = [&](const std::string& local) {
    return [&, local](TFtpClient& f) {
      f.SetHostFileName("file");
      f.SetLocalFileName(local);
      f.GetAsync();
    };
  };
  const auto put = [&](const std::string& local) {
    return [&, local](TFtpClient& f) {
      f.SetHostFileName("up.bin");
      f.SetLocalFileName(local);
      f.PutAsync();
    };
  };
  struct Row {
    const char* name;
    Script script;
    std::function<void(TFtpClient&)> start;
    Completion done;
    std::string errorMessage;
    std::string logLine;   // a line the log must hold, when not empty
    std::string commands;  // what the server got, joined by "; "
    bool countDescriptors;
  };
  const Row rows[] = {
      {"final reply 451", Script().Reply(data.PasvReply()).Reply("150 Here\r\n").SendData(data, kListing).Send("451 Local error\r\n"),
       get(listing_.string()), {ftpGetAsync, 451}, "451 Local error", "! RETR/LIST/NLST Failed", "PASV; RETR file", false},
      {"data connection reset, final reply 226",
       Script().Reply(data.PasvReply()).Reply("150 Here\r\n").Pause(200ms).SendDataAndReset(data, kListing).Pause(100ms).Send(
           "226 Done\r\n"),
       get(listing_.string()), {ftpGetAsync, 10054}, "Data connection closed with error #10054", "< 226 Done",
       "PASV; RETR file", false},
      {"passive connect refused",
       Script().Reply("227 Entering Passive Mode (" + testsupport::LoopbackHostPort(closedPort) + ")\r\n"),
       get(listing_.string()), {ftpGetAsync, 550}, "Unable to establish data connection, error #10061", "", "PASV; RETR file",
       true},
      {"download into an impossible path", Script().Reply(data.PasvReply()), get(impossible), {ftpGetAsync, 550},
       "Unable to open local file " + impossible, "", "PASV", true},
      {"upload of a locked file", Script().Reply(data.PasvReply()), put(locked.string()), {ftpPutAsync, 426},
       "426 Unable to open local file " + locked.string(), "! 426 Unable to open local file " + locked.string(), "PASV",
       true},
      {"upload cancelled by the application", Script().Reply(data.PasvReply()),
       [&](TFtpClient& f) {
         f.OnReadyToTransmit = [](TCustomFtpCli*, bool& cancel) { cancel = true; };
         put(locked.string())(f);
       },
       {ftpPutAsync, 426}, "426 Transmit cancelled by application", "! 426 Transmit cancelled by application", "PASV",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Open(row.script);
    const size_t descriptors = OpenDescriptors();
    EXPECT_EQ(Run([&] { row.start(probe.ftp); }), row.done) << probe.Transcript();
    EXPECT_EQ(probe.ftp.ErrorMessage(), row.errorMessage);
    if (!row.logLine.empty()) {
      EXPECT_NE(std::find(probe.log.begin(), probe.log.end(), row.logLine), probe.log.end()) << probe.Transcript();
    }
    ASSERT_TRUE(Server().WaitForCommands(1));
    PumpFor(50ms);
    EXPECT_EQ(Commands(), row.commands);
    EXPECT_EQ(probe.ftp.DataSocket().State(), wsClosed);
    if (row.countDescriptors) {
      EXPECT_EQ(OpenDescriptors(), descriptors);
    }
  }
  ::close(holder);
}

TEST_F(FtpDataScripted, ProgressAbortEndsWithTheServersReply) {
  Open(Script()
           .Reply(data.PasvReply())
           .Reply("150 Here\r\n")
           .SendData(data, std::string(4 << 20, 'x'))
           .Send("426 Transfer aborted\r\n"));
  probe.ftp.OnProgress = [](TCustomFtpCli*, int64_t count, bool& abort) { abort = count > 0; };
  probe.ftp.SetHostFileName("big");
  probe.ftp.SetLocalFileName((dir.Path() / "big").string());
  EXPECT_EQ(Run([&] { probe.ftp.GetAsync(); }), (Completion{ftpGetAsync, 426})) << probe.Transcript();
  EXPECT_NE(std::find(probe.log.begin(), probe.log.end(), "! Abort requested"), probe.log.end());
}

// The user's file is emptied only once the server agreed to send, whatever order the 150, the
// data and the data connection's close come in.
TEST_F(FtpDataScripted, ADownloadReplacesTheLocalFileOnlyWhenTheServerSends) {
  struct Row {
    const char* name;
    Script script;  // after PASV
    Completion done;
    std::optional<std::string> file;  // nullopt: no file is left
    bool existed = true;              // the local file was there before
  };
  const Row rows[] = {
      {"sent: the whole file is replaced", Script().Reply("150 Here\r\n").SendData(data, "new").Send("226 Done\r\n"),
       {ftpGetAsync, 0}, "new"},
      {"data before the 150 is kept",
       Script().Receive().SendData(data, "early").Pause(200ms).Send("150 Here\r\n226 Done\r\n"), {ftpGetAsync, 0},
       "early"},
      {"empty, closed before the 150", Script().Receive().SendData(data, "").Pause(200ms).Send("150 Here\r\n226 Done\r\n"),
       {ftpGetAsync, 0}, ""},
      {"refused: no empty file is made", Script().Reply("550 No such file\r\n"), {ftpGetAsync, 550}, std::nullopt,
       false},
      // Last: the data connection it opened stays in the data port's backlog.
      {"refused: the old file stays", Script().Reply("550 No such file\r\n"), {ftpGetAsync, 550}, "old contents, long"},
  };
  Script script;
  for (const Row& row : rows) script.Reply(data.PasvReply()).Then(row.script);
  Open(std::move(script));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto local = dir.Path() / "precious.txt";
    std::filesystem::remove(local);
    if (row.existed) std::ofstream(local, std::ios::binary) << "old contents, long";
    probe.ftp.SetHostFileName("precious.txt");
    probe.ftp.SetLocalFileName(local.string());
    EXPECT_EQ(Run([&] { probe.ftp.GetAsync(); }), row.done) << probe.Transcript();
    EXPECT_EQ(std::filesystem::exists(local) ? std::optional(ReadAll(local)) : std::nullopt, row.file);
  }
  EXPECT_EQ(probe.ftp.ErrorMessage(), "550 No such file");
  EXPECT_TRUE(Server().Problems().empty());
}

TEST_F(FtpDataScripted, ResumeBeyondFourGigabytes) {
  // A sparse local file of 5 GiB: the offset, the REST line and the progress need 64 bits.
  const int64_t size = int64_t{5} << 30;
  const auto local = dir.Path() / "huge.iso";
  std::filesystem::resize_file((std::ofstream(local), local), static_cast<uintmax_t>(size));
  Open(Script()
           .Reply(data.PasvReply())
           .Reply("350 Restarting at 5368709120\r\n")
           .Reply("150 Here\r\n")
           .SendData(data, "tail")
           .Send("226 Done\r\n"));
  int64_t firstProgress = -1;
  probe.ftp.OnProgress = [&](TCustomFtpCli*, int64_t count, bool&) {
    if (firstProgress < 0) firstProgress = count;
  };
  probe.ftp.SetHostFileName("huge.iso");
  probe.ftp.SetLocalFileName(local.string());
  EXPECT_EQ(Run([&] { probe.ftp.RestGetAsync(); }), (Completion{ftpRestGetAsync, 0})) << probe.Transcript();
  EXPECT_EQ(Server().Commands()[1], "REST 5368709120");
  EXPECT_GE(firstProgress, size);
  EXPECT_EQ(std::filesystem::file_size(local), static_cast<uintmax_t>(size + 4));
  std::ifstream in(local, std::ios::binary);
  in.seekg(size);
  std::string tail(4, '\0');
  in.read(tail.data(), 4);
  EXPECT_EQ(tail, "tail");
}

}  // namespace
