// TCustomWSocket: connecting to a host with several addresses. Addr is tried first, then
// the fallback addresses in their order: at once when an attempt fails, and when an attempt
// has not ended after kFallbackDelayMs, beside it (the slower attempt goes on). The first
// attempt to succeed is the connection, and Addr names its address; the others are closed
// without a word. Only the end of the last attempt reaches the owner, so a host is refused
// only once every address has failed, with the error of the last one.
#include "net/CustomWSocket.h"
#include "net/SocketLibrary.h"
#include "net/WSocketResolve.h"
#include "platform/SocketErrors.h"
#include "platform/Timer.h"

namespace {
constexpr int kFallbackDelayMs = 300;
}  // namespace

// The attempt in handle_ has failed (its socket stays for the caller to close). True when
// another address goes on; false when it was the last chance.
bool TCustomWSocket::ConnectFailedOver() {
  if (fallbackAddrs_.empty() && earlierAttempts_.empty()) return false;
  if (handle_ != platform::kInvalidSocket) SocketCall(platform::CloseSocket, handle_);
  handle_ = platform::kInvalidSocket;
  if (!fallbackAddrs_.empty())
    StartNextAttempt();
  else
    AdoptEarlierAttempt(earlierAttempts_.size() - 1);
  return true;
}

// The attempt in handle_ ended. True when the owner is not to hear of it: it failed and
// another address goes on.
bool TCustomWSocket::AttemptEnded(uint16_t error) {
  if (error == 0) {
    ForgetAttempts();
    fallbackAddrs_.clear();
    return false;
  }
  return ConnectFailedOver();
}

// An earlier attempt ended: a failure closes it; a success makes it the connection.
bool TCustomWSocket::HandleEarlierAttempt(platform::SocketHandle handle, uint16_t error) {
  std::size_t index = 0;
  while (index < earlierAttempts_.size() && earlierAttempts_[index].handle != handle) ++index;
  if (index == earlierAttempts_.size()) return false;
  if (error != 0) {
    SocketCall(platform::CloseSocket, handle);
    earlierAttempts_.erase(earlierAttempts_.begin() + static_cast<long>(index));
    return true;
  }
  if (handle_ != platform::kInvalidSocket) SocketCall(platform::CloseSocket, handle_);
  AdoptEarlierAttempt(index);
  ForgetAttempts();
  fallbackAddrs_.clear();
  ChangeState(wsConnected);
  NotifySessionConnected(0);
  return true;
}

void TCustomWSocket::StartNextAttempt() {
  addr_.text = fallbackAddrs_.front();
  addr_.resolved = false;
  fallbackAddrs_.erase(fallbackAddrs_.begin());
  ResolveRemote(true);
  OpenAndConnect();
}

void TCustomWSocket::AdoptEarlierAttempt(std::size_t index) {
  const Attempt attempt = earlierAttempts_[index];
  earlierAttempts_.erase(earlierAttempts_.begin() + static_cast<long>(index));
  handle_ = attempt.handle;
  addr_.text = attempt.addr;
  addr_.resolved = true;
  remoteAddress_ = attempt.address;
}

void TCustomWSocket::ArmFallbackTimer() {
  if (fallbackAddrs_.empty()) return;
  if (!fallbackTimer_) {
    fallbackTimer_ = std::make_unique<platform::Timer>([this] {
      try {
        FallbackDelayPassed();
      } catch (const std::exception& e) {
        HandleBgException(e);
      }
    });
    fallbackTimer_->SetInterval(kFallbackDelayMs);
  }
  fallbackTimer_->SetEnabled(false);
  fallbackTimer_->SetEnabled(true);
}

// The attempt in handle_ is slow: it goes on beside one to the next address.
void TCustomWSocket::FallbackDelayPassed() {
  fallbackTimer_->SetEnabled(false);
  if (state_ != wsConnecting || fallbackAddrs_.empty() || handle_ == platform::kInvalidSocket) return;
  earlierAttempts_.push_back({handle_, addr_.text, remoteAddress_});
  handle_ = platform::kInvalidSocket;
  StartNextAttempt();
}

void TCustomWSocket::ForgetAttempts() {
  for (const Attempt& attempt : earlierAttempts_) SocketCall(platform::CloseSocket, attempt.handle);
  earlierAttempts_.clear();
  if (fallbackTimer_) fallbackTimer_->SetEnabled(false);
}

// A later address could not even be tried (no route, say). It ends as an attempt does, from
// the event loop: the owner, who started the connect long ago, hears of it only as the end
// of the last attempt.
void TCustomWSocket::FailLaterAttempt() {
  if (ConnectFailedOver()) return;
  sink_.Post(WM_ASYNCSELECT, static_cast<uintptr_t>(handle_), platform::MakeSelectParam(platform::kFdConnect, lastError_));
}
