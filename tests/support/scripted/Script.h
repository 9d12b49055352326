#pragma once
// What a ScriptedFtpServer does on each control connection, step by step:
//
//   DataPort data;
//   Script script;
//   script.Send("220-Hello\r\n220 ready\r\n")          // greeting
//       .Reply("331 Password please\r\n")              // reads "USER ...", answers
//       .SendInParts({"230 Lo", "gged in\r\n"})        // a reply split over two writes
//       .Reply("250 a\r\n250 b\r\n")                   // two replies joined in one write
//       .Reply(data.PasvReply())                       // PASV
//       .Reply("150 Here it comes\r\n")                // RETR
//       .SendData(data, "file bytes")                  // takes the data connection, writes, closes
//                                                      // (SendDataAndReset: ends with a reset)
//       .Send("226 Done\r\n")
//       .Receive()                                     // reads a command, answers nothing
//       .Close();
//
// Each Send is one write. A command is one line up to LF (CR LF or bare LF), recorded
// without its terminator. After the last step the server stays silent: it keeps reading and
// recording commands, answering none, until the client closes (Close() ends it at once).
// Any wait on the client is limited (a minute), so a script that expects more than the
// client sends ends on its own and reports it in ScriptedFtpServer::Problems().
#include <chrono>
#include <string>
#include <vector>

#include "support/scripted/DataPort.h"

namespace testsupport {

// One step; which fields count depends on the kind.
struct Step {
  enum class Kind { Send, ReadCommand, ReadBytes, Pause, Close, SendData, ReceiveData, Flood };

  Kind kind = Kind::Close;
  std::vector<std::string> parts{};  // Send: one write each; Flood: the bytes repeated
  Millis duration{0};                // Send: the pause between two parts; Pause: its length
  size_t count = 0;                  // ReadBytes
  DataPort* port = nullptr;          // SendData, ReceiveData
  std::string data{};                // SendData
  bool reset = false;                // SendData: end with a reset instead of a close
};

class Script {
 public:
  Script& Send(std::string bytes);
  Script& SendInParts(std::vector<std::string> parts, Millis pause = Millis(50));
  // Reads one command line.
  Script& Receive();
  // Reads one command line, then sends `bytes` in one write.
  Script& Reply(std::string bytes);
  // Reads exactly `count` bytes, recorded only in the raw transcript (for binary exchanges
  // such as a SOCKS negotiation ahead of the FTP greeting).
  Script& ReceiveBytes(size_t count);
  Script& Pause(Millis duration);
  // Sends `bytes` over and over, as fast as the client takes them, until the client closes
  // the connection; this ends the connection's script. A flood that outlasts the limit on
  // waits is a problem (the client never gave up).
  Script& Flood(std::string bytes);
  Script& Close();
  // Opens a data connection on `port`, sends `bytes` and closes it.
  Script& SendData(DataPort& port, std::string bytes);
  // As SendData, but the connection ends with a reset (RST), as when it breaks.
  Script& SendDataAndReset(DataPort& port, std::string bytes);
  // Opens a data connection on `port` and reads it until the client closes it.
  Script& ReceiveData(DataPort& port);

  // Appends the steps of another script.
  Script& Then(Script more);

  const std::vector<Step>& Steps() const { return steps_; }

 private:
  std::vector<Step> steps_;
};

}  // namespace testsupport
