#include "support/scripted/DataPort.h"

#include <cstdio>
#include <stdexcept>

#include "support/loopback/FtpProbe.h"

namespace testsupport {

DataPort::DataPort(Mode mode) : mode_(mode) {
  if (mode_ != Mode::Passive) return;
  listener_ = LoopbackSocket::Listen();
  if (!listener_.Valid()) throw std::runtime_error("a data port cannot listen on 127.0.0.1");
  port_ = listener_.LocalPort();
}

std::string DataPort::PasvReply() const {
  return "227 Entering Passive Mode (" + LoopbackHostPort(port_) + ")\r\n";
}

std::string DataPort::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void DataPort::Record(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  received_.append(bytes);
}

LoopbackSocket DataPort::Open(std::string_view portArgument, Millis limit, int interruptFd) {
  if (mode_ == Mode::Active) return Connect(portArgument);
  listener_.SetInterrupt(interruptFd);
  LoopbackSocket data = listener_.Accept(limit);
  if (!data.Valid()) throw std::runtime_error("no data connection on port " + std::to_string(port_));
  return data;
}

LoopbackSocket DataPort::Connect(std::string_view portArgument) const {
  unsigned h1, h2, h3, h4, p1, p2;
  const std::string argument(portArgument);
  if (std::sscanf(argument.c_str(), "%u,%u,%u,%u,%u,%u", &h1, &h2, &h3, &h4, &p1, &p2) != 6 || p1 > 255 ||
      p2 > 255) {
    throw std::runtime_error("no usable PORT command before the data step (\"" + argument + "\")");
  }
  if (h1 != 127 || h2 != 0 || h3 != 0 || h4 != 1) {
    throw std::runtime_error("PORT names " + argument + ", not 127.0.0.1");
  }
  LoopbackSocket data = LoopbackSocket::Connect(static_cast<uint16_t>(p1 << 8 | p2));
  if (!data.Valid()) throw std::runtime_error("cannot connect to the client's PORT " + argument);
  return data;
}

}  // namespace testsupport
