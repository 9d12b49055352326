#include "support/scripted/ScriptedFtpServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "support/EventLoop.h"

namespace testsupport {

namespace {

using namespace std::chrono_literals;

constexpr Millis kClientLimit = 60s;  // the longest wait on a client
constexpr Millis kFloodLimit = 20s;   // the longest flood
constexpr int kMaxAccepts = 64;  // waits for a connection, fruitless ones included
constexpr int kMaxSilentCommands = 100000;

std::string WithoutTerminator(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

// The argument of a "PORT h1,h2,h3,h4,p1,p2" command (any letter case), or empty.
std::string PortArgument(const std::string& command) {
  if (command.size() < 5 || command[4] != ' ') return {};
  std::string verb = command.substr(0, 4);
  std::transform(verb.begin(), verb.end(), verb.begin(), [](unsigned char c) { return std::toupper(c); });
  return verb == "PORT" ? command.substr(5) : std::string();
}

}  // namespace

struct ScriptedFtpServer::Connection {
  LoopbackSocket control;
  std::string portArgument;  // of the latest PORT command on this connection
};

ScriptedFtpServer::ScriptedFtpServer(Script script)
    : script_(std::move(script)), listener_(LoopbackSocket::Listen()) {
  if (!listener_.Valid() || pipe2(stopPipe_, O_CLOEXEC) != 0) {
    throw std::runtime_error("the scripted server cannot listen on 127.0.0.1");
  }
  port_ = listener_.LocalPort();
  listener_.SetInterrupt(stopPipe_[0]);
  thread_ = std::thread([this] { Serve(); });
}

ScriptedFtpServer::~ScriptedFtpServer() {
  stopping_ = true;
  (void)!write(stopPipe_[1], "x", 1);
  thread_.join();
  close(stopPipe_[0]);
  close(stopPipe_[1]);
}

std::vector<std::string> ScriptedFtpServer::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::string ScriptedFtpServer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

int ScriptedFtpServer::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

int ScriptedFtpServer::ClosedByClient() const {
  std::lock_guard lock(mutex_);
  return closedByClient_;
}

std::vector<std::string> ScriptedFtpServer::Problems() const {
  std::lock_guard lock(mutex_);
  return problems_;
}

bool ScriptedFtpServer::WaitForCommands(size_t count, Millis limit) const {
  return PumpUntil([&] { return Commands().size() >= count; }, limit);
}

void ScriptedFtpServer::NoteProblem(const std::string& problem) {
  std::lock_guard lock(mutex_);
  problems_.push_back(problem);
}

void ScriptedFtpServer::Serve() {
  for (int round = 0; round < kMaxAccepts && !stopping_; ++round) {
    Connection connection{listener_.Accept(kClientLimit), {}};
    if (!connection.control.Valid()) continue;  // no client yet, or stopping
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    connection.control.SetInterrupt(stopPipe_[0]);
    connection.control.SetNoDelay();
    connection.control.SetReadObserver([this](std::string_view bytes) {
      std::lock_guard lock(mutex_);
      received_.append(bytes);
    });
    Play(connection);
  }
}

void ScriptedFtpServer::Play(Connection& connection) {
  try {
    for (const Step& step : script_.Steps()) {
      if (Run(connection, step) == Flow::End) return;
    }
    ListenSilently(connection);
  } catch (const std::exception& problem) {
    NoteProblem(problem.what());
  }
}

ScriptedFtpServer::Flow ScriptedFtpServer::NothingCame(Connection& connection, const std::string& awaited) {
  if (connection.control.Closed()) {
    std::lock_guard lock(mutex_);
    ++closedByClient_;
  } else if (!stopping_) {
    NoteProblem("no " + awaited + " from the client within the limit");
  }
  return Flow::End;
}

ScriptedFtpServer::Flow ScriptedFtpServer::Run(Connection& connection, const Step& step) {
  switch (step.kind) {
    case Step::Kind::Send:
      return Send(connection, step);
    case Step::Kind::ReadCommand:
      return ReadCommand(connection);
    case Step::Kind::ReadBytes:
      return ReadBytes(connection, step.count);
    case Step::Kind::Pause:
      return Sleep(step.duration) ? Flow::Next : Flow::End;
    case Step::Kind::Close:
      return Flow::End;
    case Step::Kind::SendData:
      SendData(connection, step);
      return Flow::Next;
    case Step::Kind::ReceiveData:
      ReceiveData(connection, *step.port);
      return Flow::Next;
    case Step::Kind::Flood:
      return Flood(connection, step.parts.front());
  }
  return Flow::End;
}

ScriptedFtpServer::Flow ScriptedFtpServer::Send(Connection& connection, const Step& step) {
  for (size_t i = 0; i < step.parts.size(); ++i) {
    if (i > 0 && !Sleep(step.duration)) return Flow::End;
    if (!connection.control.SendAll(step.parts[i])) {
      std::lock_guard lock(mutex_);
      ++closedByClient_;
      return Flow::End;
    }
  }
  return Flow::Next;
}

ScriptedFtpServer::Flow ScriptedFtpServer::ReadCommand(Connection& connection) {
  const std::string line = connection.control.ReceiveLine(kClientLimit);
  if (line.empty()) return NothingCame(connection, "command");
  std::string command = WithoutTerminator(line);
  if (const std::string argument = PortArgument(command); !argument.empty()) connection.portArgument = argument;
  std::lock_guard lock(mutex_);
  commands_.push_back(std::move(command));
  return Flow::Next;
}

ScriptedFtpServer::Flow ScriptedFtpServer::ReadBytes(Connection& connection, size_t count) {
  const std::string bytes = connection.control.ReceiveExactly(count, kClientLimit);
  if (bytes.size() < count) return NothingCame(connection, std::to_string(count) + " bytes");
  return Flow::Next;
}

void ScriptedFtpServer::SendData(Connection& connection, const Step& step) {
  LoopbackSocket data = step.port->Open(connection.portArgument, kClientLimit, stopPipe_[0]);
  if (!data.SendAll(step.data)) NoteProblem("the client closed the data connection before all was sent");
  if (step.reset) {
    const linger abortive{1, 0};  // closing now sends a reset
    setsockopt(data.Fd(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  }
}

void ScriptedFtpServer::ReceiveData(Connection& connection, DataPort& port) {
  LoopbackSocket data = port.Open(connection.portArgument, kClientLimit, stopPipe_[0]);
  data.SetInterrupt(stopPipe_[0]);
  data.SetReadObserver([&port](std::string_view bytes) { port.Record(bytes); });
  const auto deadline = Clock::now() + kClientLimit;
  while (!data.Closed() && !stopping_ && Clock::now() < deadline) data.ReceiveSome(1s);
  if (!data.Closed() && !stopping_) NoteProblem("the client kept the data connection open");
}

ScriptedFtpServer::Flow ScriptedFtpServer::Flood(Connection& connection, const std::string& bytes) {
  std::string block;
  while (block.size() < (64u << 10)) block += bytes;
  std::string_view rest = block;  // the stream stays whole across partial sends
  const auto deadline = Clock::now() + kFloodLimit;
  while (!stopping_ && Clock::now() < deadline) {
    const long sent = connection.control.SendSome(rest, 100ms);
    if (sent < 0) {
      std::lock_guard lock(mutex_);
      ++closedByClient_;
      return Flow::End;
    }
    rest.remove_prefix(static_cast<size_t>(sent));
    if (rest.empty()) rest = block;
  }
  if (!stopping_) NoteProblem("the client took the flood to its end without closing");
  return Flow::End;
}

void ScriptedFtpServer::ListenSilently(Connection& connection) {
  for (int count = 0; count < kMaxSilentCommands; ++count) {
    if (ReadCommand(connection) == Flow::End) return;
  }
}

bool ScriptedFtpServer::Sleep(Millis duration) const {
  pollfd stop{stopPipe_[0], POLLIN, 0};
  return poll(&stop, 1, static_cast<int>(duration.count())) == 0;
}

}  // namespace testsupport
