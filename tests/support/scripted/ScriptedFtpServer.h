#pragma once
// An FTP server for protocol tests that plays a Script (see Script.h) on every connection.
//
//   ScriptedFtpServer server(Script().Send("220 Hi\r\n").Reply("331 Go on\r\n"));
//   client.Connect("127.0.0.1", server.Port());           // the engine under test
//   ASSERT_TRUE(server.WaitForCommands(1));
//   EXPECT_EQ(server.Commands(), std::vector<std::string>{"USER me"});
//
// It listens on a free port of 127.0.0.1 and serves from its own thread with blocking
// sockets, so it never needs the Qt event loop, which the test's thread runs for the client.
// Connections are served one after another, each playing the whole script; the transcripts
// accumulate over all of them. Every accessor may be called from any thread at any time.
// The destructor stops the thread at once, whatever step it is in.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback/LoopbackSocket.h"
#include "support/scripted/Script.h"

namespace testsupport {

class ScriptedFtpServer {
 public:
  explicit ScriptedFtpServer(Script script);
  ~ScriptedFtpServer();
  ScriptedFtpServer(const ScriptedFtpServer&) = delete;
  ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

  uint16_t Port() const { return port_; }

  // The command lines clients sent, without their CR LF or LF, in order.
  std::vector<std::string> Commands() const;
  // Every byte clients sent on control connections, exactly as it came.
  std::string Received() const;
  int Connections() const;
  // Connections the client closed (rather than the script or the server's end).
  int ClosedByClient() const;
  // What went wrong on the server's side: a wait on the client that ran out, a data
  // connection that could not be opened. Empty when the script ran as written.
  std::vector<std::string> Problems() const;

  // Pumps the Qt event loop until `count` commands arrived or `limit` passed.
  bool WaitForCommands(size_t count, Millis limit = Millis(5000)) const;

 private:
  enum class Flow { Next, End };
  struct Connection;

  void Serve();
  void Play(Connection& connection);
  Flow Run(Connection& connection, const Step& step);
  Flow Send(Connection& connection, const Step& step);
  Flow ReadCommand(Connection& connection);
  Flow ReadBytes(Connection& connection, size_t count);
  void SendData(Connection& connection, const Step& step);
  void ReceiveData(Connection& connection, DataPort& port);
  Flow Flood(Connection& connection, const std::string& bytes);
  // The silent end of a script: records commands until the client closes.
  void ListenSilently(Connection& connection);
  // The end of a wait that brought nothing: the client closed, the server stops, or the
  // client was too slow (a problem).
  Flow NothingCame(Connection& connection, const std::string& awaited);
  // Sleeps, unless the server stops first; false then.
  bool Sleep(Millis duration) const;
  void NoteProblem(const std::string& problem);

  Script script_;
  LoopbackSocket listener_;
  uint16_t port_ = 0;
  int stopPipe_[2] = {-1, -1};
  std::atomic<bool> stopping_{false};

  mutable std::mutex mutex_;
  std::vector<std::string> commands_;
  std::string received_;
  int connections_ = 0;
  int closedByClient_ = 0;
  std::vector<std::string> problems_;

  std::thread thread_;
};

}  // namespace testsupport
