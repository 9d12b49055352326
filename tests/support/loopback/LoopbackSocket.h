#pragma once
// A blocking TCP socket on 127.0.0.1 for test code that runs outside the Qt event loop:
// the scripted server's thread, the peer harness's readiness probe, plain-socket checks.
//
// Every wait takes a limit and returns when it passes. A wait also ends early when the
// interrupt descriptor (SetInterrupt) becomes readable, which lets a server thread be stopped.
// Nothing here ever connects beyond the loopback address.
#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace testsupport {

using Millis = std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

class LoopbackSocket {
 public:
  LoopbackSocket() = default;
  explicit LoopbackSocket(int fd) : fd_(fd) {}
  ~LoopbackSocket();
  LoopbackSocket(LoopbackSocket&& other) noexcept;
  LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  // Connects to 127.0.0.1:port within `limit`; an invalid socket when refused or late. With
  // `from` (an address of 127.0.0.0/8), the connection comes from there, as from another host.
  static LoopbackSocket Connect(uint16_t port, Millis limit = Millis(2000), const char* from = nullptr);
  // Connects to `address`:port, where the address is one of 127.0.0.0/8 or "::1".
  static LoopbackSocket ConnectTo(const std::string& address, uint16_t port, Millis limit = Millis(2000));
  // Listens on 127.0.0.1:port (0: a free port the system picks).
  static LoopbackSocket Listen(uint16_t port = 0);

  bool Valid() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  uint16_t LocalPort() const;
  // True once a read met the end of the stream or an error.
  bool Closed() const { return closed_; }

  void SetInterrupt(int fd) { interruptFd_ = fd; }
  // Sees every byte read from the socket, in order, as it arrives (for transcripts).
  void SetReadObserver(std::function<void(std::string_view)> observer) { observer_ = std::move(observer); }
  // Sends each write as its own segment (no Nagle), so pauses between writes stay visible.
  void SetNoDelay();

  // Takes the next connection of a listening socket; invalid on timeout or interrupt.
  LoopbackSocket Accept(Millis limit);

  bool SendAll(std::string_view bytes);
  // Waits up to `limit` for room and sends what fits at once: the count sent, 0 when no room
  // came in time (or the wait was interrupted), -1 when the peer is gone.
  long SendSome(std::string_view bytes, Millis limit);

  // Bytes from one read (the buffered ones first); empty on timeout, interrupt or close.
  std::string ReceiveSome(Millis limit);
  // Exactly `count` bytes, or fewer when the limit passed or the peer closed.
  std::string ReceiveExactly(size_t count, Millis limit);
  // Everything until the peer closes, or what came before the limit passed.
  std::string ReceiveToEnd(Millis limit);
  // One line including its LF; empty when the limit passed or the peer closed first (a
  // partial line then stays buffered).
  std::string ReceiveLine(Millis limit);

  void Close();

 private:
  static LoopbackSocket Finish(LoopbackSocket socket, const sockaddr* address, socklen_t size, Millis limit);
  // Waits for readability of the socket; false on timeout or interrupt.
  bool WaitReadable(Clock::time_point deadline);
  // Appends one read to the buffer; false when nothing came.
  bool Fill(Clock::time_point deadline);
  std::string Take(size_t count);

  int fd_ = -1;
  int interruptFd_ = -1;
  bool closed_ = false;
  std::function<void(std::string_view)> observer_;
  std::string buffer_;  // read from the socket, not yet handed out
};

}  // namespace testsupport
