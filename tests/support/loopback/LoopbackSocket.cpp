#include "support/loopback/LoopbackSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace testsupport {

namespace {

sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int RemainingMillis(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// Polls `fd` for `events` until the deadline; false on timeout or when `interruptFd` is readable.
bool WaitFor(int fd, short events, int interruptFd, Clock::time_point deadline) {
  pollfd fds[2] = {{fd, events, 0}, {interruptFd, POLLIN, 0}};
  const nfds_t count = interruptFd >= 0 ? 2 : 1;
  for (int round = 0; round < 1000; ++round) {
    const int ready = poll(fds, count, RemainingMillis(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || (count == 2 && fds[1].revents != 0)) return false;
    return true;
  }
  return false;
}

}  // namespace

LoopbackSocket::~LoopbackSocket() { Close(); }

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept { *this = std::move(other); }

LoopbackSocket& LoopbackSocket::operator=(LoopbackSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    interruptFd_ = other.interruptFd_;
    closed_ = other.closed_;
    observer_ = std::move(other.observer_);
    buffer_ = std::move(other.buffer_);
  }
  return *this;
}

// Connects the non-blocking `socket` within `limit` and makes it blocking; invalid on failure.
LoopbackSocket LoopbackSocket::Finish(LoopbackSocket socket, const sockaddr* address, socklen_t size, Millis limit) {
  if (connect(socket.fd_, address, size) != 0) {
    if (errno != EINPROGRESS || !WaitFor(socket.fd_, POLLOUT, -1, Clock::now() + limit)) return {};
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(socket.fd_, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) return {};
  }
  fcntl(socket.fd_, F_SETFL, fcntl(socket.fd_, F_GETFL) & ~O_NONBLOCK);
  return socket;
}

LoopbackSocket LoopbackSocket::Connect(uint16_t port, Millis limit, const char* from) {
  LoopbackSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (from != nullptr) {
    sockaddr_in source = LoopbackAddress(0);
    if (inet_pton(AF_INET, from, &source.sin_addr) != 1 || (ntohl(source.sin_addr.s_addr) >> 24) != 127 ||
        bind(socket.fd_, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
      return {};
    }
  }
  const sockaddr_in address = LoopbackAddress(port);
  return Finish(std::move(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address, limit);
}

LoopbackSocket LoopbackSocket::ConnectTo(const std::string& address, uint16_t port, Millis limit) {
  sockaddr_in6 v6{};
  if (inet_pton(AF_INET6, address.c_str(), &v6.sin6_addr) != 1) {
    sockaddr_in v4 = LoopbackAddress(port);
    if (inet_pton(AF_INET, address.c_str(), &v4.sin_addr) != 1 || (ntohl(v4.sin_addr.s_addr) >> 24) != 127) return {};
    LoopbackSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    return Finish(std::move(socket), reinterpret_cast<const sockaddr*>(&v4), sizeof v4, limit);
  }
  if (!IN6_IS_ADDR_LOOPBACK(&v6.sin6_addr)) return {};
  v6.sin6_family = AF_INET6;
  v6.sin6_port = htons(port);
  LoopbackSocket socket(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  return Finish(std::move(socket), reinterpret_cast<const sockaddr*>(&v6), sizeof v6, limit);
}

LoopbackSocket LoopbackSocket::Listen(uint16_t port) {
  LoopbackSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const int on = 1;
  setsockopt(socket.fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const sockaddr_in address = LoopbackAddress(port);
  if (bind(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(socket.fd_, 16) != 0) {
    return {};
  }
  return socket;
}

uint16_t LoopbackSocket::LocalPort() const {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

void LoopbackSocket::SetNoDelay() {
  const int on = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

LoopbackSocket LoopbackSocket::Accept(Millis limit) {
  if (!WaitFor(fd_, POLLIN, interruptFd_, Clock::now() + limit)) return {};
  return LoopbackSocket(accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
}

bool LoopbackSocket::SendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

long LoopbackSocket::SendSome(std::string_view bytes, Millis limit) {
  if (!WaitFor(fd_, POLLOUT, interruptFd_, Clock::now() + limit)) return 0;
  const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  if (sent < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
  return static_cast<long>(sent);
}

bool LoopbackSocket::WaitReadable(Clock::time_point deadline) {
  return WaitFor(fd_, POLLIN, interruptFd_, deadline);
}

bool LoopbackSocket::Fill(Clock::time_point deadline) {
  if (closed_ || !WaitReadable(deadline)) return false;
  char chunk[65536];
  const ssize_t got = recv(fd_, chunk, sizeof chunk, 0);
  if (got <= 0) {
    closed_ = true;
    return false;
  }
  const std::string_view bytes(chunk, static_cast<size_t>(got));
  if (observer_) observer_(bytes);
  buffer_.append(bytes);
  return true;
}

std::string LoopbackSocket::Take(size_t count) {
  std::string taken = buffer_.substr(0, count);
  buffer_.erase(0, taken.size());
  return taken;
}

std::string LoopbackSocket::ReceiveSome(Millis limit) {
  if (buffer_.empty()) Fill(Clock::now() + limit);
  return Take(buffer_.size());
}

std::string LoopbackSocket::ReceiveExactly(size_t count, Millis limit) {
  const auto deadline = Clock::now() + limit;
  while (buffer_.size() < count && Clock::now() <= deadline && Fill(deadline)) {
  }
  return Take(count);
}

std::string LoopbackSocket::ReceiveToEnd(Millis limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() <= deadline && Fill(deadline)) {
  }
  return Take(buffer_.size());
}

std::string LoopbackSocket::ReceiveLine(Millis limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) return Take(end + 1);
    if (Clock::now() > deadline || !Fill(deadline)) return {};
  }
}

void LoopbackSocket::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace testsupport
