#include "support/scripted/Script.h"

namespace testsupport {

Script& Script::Send(std::string bytes) { return SendInParts({std::move(bytes)}, Millis(0)); }

Script& Script::SendInParts(std::vector<std::string> parts, Millis pause) {
  steps_.push_back({.kind = Step::Kind::Send, .parts = std::move(parts), .duration = pause});
  return *this;
}

Script& Script::Receive() {
  steps_.push_back({.kind = Step::Kind::ReadCommand});
  return *this;
}

Script& Script::Reply(std::string bytes) { return Receive().Send(std::move(bytes)); }

Script& Script::ReceiveBytes(size_t count) {
  steps_.push_back({.kind = Step::Kind::ReadBytes, .count = count});
  return *this;
}

Script& Script::Pause(Millis duration) {
  steps_.push_back({.kind = Step::Kind::Pause, .duration = duration});
  return *this;
}

Script& Script::Flood(std::string bytes) {
  steps_.push_back({.kind = Step::Kind::Flood, .parts = {std::move(bytes)}});
  return *this;
}

Script& Script::Close() {
  steps_.push_back({.kind = Step::Kind::Close});
  return *this;
}

Script& Script::SendData(DataPort& port, std::string bytes) {
  steps_.push_back({.kind = Step::Kind::SendData, .port = &port, .data = std::move(bytes)});
  return *this;
}

Script& Script::SendDataAndReset(DataPort& port, std::string bytes) {
  SendData(port, std::move(bytes));
  steps_.back().reset = true;
  return *this;
}

Script& Script::ReceiveData(DataPort& port) {
  steps_.push_back({.kind = Step::Kind::ReceiveData, .port = &port});
  return *this;
}

Script& Script::Then(Script more) {
  steps_.insert(steps_.end(), more.steps_.begin(), more.steps_.end());
  return *this;
}

}  // namespace testsupport
