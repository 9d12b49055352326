#include "support/loopback/FtpProbe.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace testsupport {

namespace {

constexpr int kMaxReplyLines = 1000;

bool StartsWithCode(std::string_view line) {
  return line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
         std::isdigit(static_cast<unsigned char>(line[1])) &&
         std::isdigit(static_cast<unsigned char>(line[2]));
}

// "123 text" ends a reply; "123-text" opens a multi-line one that ends at "123 ".
bool EndsReply(std::string_view line, std::string_view code) {
  return line.size() >= 4 && line.substr(0, 3) == code && line[3] == ' ';
}

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)"; 0 when there is none.
uint16_t PassivePort(const std::string& reply) {
  unsigned h1, h2, h3, h4, p1, p2;
  const size_t open = reply.find('(');
  if (open == std::string::npos ||
      std::sscanf(reply.c_str() + open, "(%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1, &p2) != 6 || p1 > 255 ||
      p2 > 255) {
    return 0;
  }
  return static_cast<uint16_t>(p1 << 8 | p2);
}

}  // namespace

FtpProbe::FtpProbe(uint16_t port, Millis connectLimit)
    : socket_(LoopbackSocket::Connect(port, connectLimit)) {}

FtpProbe::FtpProbe(const std::string& address, uint16_t port, Millis connectLimit)
    : socket_(LoopbackSocket::ConnectTo(address, port, connectLimit)) {}

FtpReply FtpProbe::ReadReply(Millis limit) {
  const auto deadline = Clock::now() + limit;
  FtpReply reply;
  std::string code;
  for (int lines = 0; lines < kMaxReplyLines && Connected(); ++lines) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    const std::string line = socket_.ReceiveLine(std::max(left, Millis(0)));
    if (line.empty()) break;
    reply.text += line;
    if (code.empty() && StartsWithCode(line)) code = line.substr(0, 3);
    if (!code.empty() && EndsReply(line, code)) {
      reply.code = std::stoi(code);
      break;
    }
  }
  return reply;
}

FtpReply FtpProbe::Command(std::string_view line, Millis limit) {
  if (!socket_.SendAll(std::string(line) + "\r\n")) return {};
  return ReadReply(limit);
}

LoopbackSocket FtpProbe::OpenPassive() {
  const FtpReply reply = Command("PASV");
  const uint16_t port = reply.code == 227 ? PassivePort(reply.text) : 0;
  return port != 0 ? LoopbackSocket::Connect(port) : LoopbackSocket();
}

std::string LoopbackHostPort(uint16_t port) {
  return "127,0,0,1," + std::to_string(port >> 8) + "," + std::to_string(port & 0xFF);
}

}  // namespace testsupport
