// TCustomWSocket: the send queue and the receive loop.
#include "net/CustomWSocket.h"
#include "net/SocketLibrary.h"
#include "platform/SocketErrors.h"

namespace {

// Errors of a send that mean the connection is gone rather than that something failed.
bool IsLostConnection(int code) {
  return code == platform::kWsaECONNRESET || code == platform::kWsaENOTSOCK || code == platform::kWsaENOTCONN ||
         code == platform::kWsaEINVAL || code == platform::kWsaECONNABORTED;
}

constexpr int kDiscardChunk = 1024;

// One readiness event serves a socket for at most this many deliveries or bytes; then the
// event loop runs the other events, and the socket's readiness brings it back. A peer that
// sends faster than its handler reads would otherwise hold the loop for as long as it sends
// (a synchronous wait could not time out, Abort could not be clicked).
constexpr int kMaxDeliveriesPerEvent = 16;
constexpr uint32_t kMaxBytesPerEvent = 4u << 20;

}  // namespace

// ---- Sending -------------------------------------------------------------------------------

int TCustomWSocket::Send(const void* data, int len) {
  if (state_ != wsConnected) {
    platform::SetLastSocketError(platform::kWsaENOTCONN);
    ReportSocketError("Send");
    return -1;
  }
  allSent_ = false;
  AppendToSendQueue(static_cast<const char*>(data), len);
  TryToSend();
  // OnDataSent always comes from the event loop, never from inside Send.
  if (SendQueueEmpty()) sink_.Post(WM_ASYNCSELECT, static_cast<uintptr_t>(handle_), platform::MakeSelectParam(platform::kFdWrite, 0));
  return len > 0 ? len : 0;
}

int TCustomWSocket::SendFile(int fileDescriptor, int len) {
  if (state_ != wsConnected || !SendQueueEmpty()) {
    platform::SetLastSocketError(state_ != wsConnected ? platform::kWsaENOTCONN : platform::kWsaEWOULDBLOCK);
    lastError_ = platform::LastSocketError();
    return -1;
  }
  const int sent = SocketCall(platform::SendFileToSocket, handle_, fileDescriptor, len);
  if (sent < 0) {
    lastError_ = platform::LastSocketError();
    return -1;
  }
  if (sent > 0 && OnSendData) OnSendData(this, sent);
  // All taken: OnDataSent comes from the loop; a short send has re-armed write readiness.
  if (sent == len) sink_.Post(WM_ASYNCSELECT, static_cast<uintptr_t>(handle_), platform::MakeSelectParam(platform::kFdWrite, 0));
  return sent;
}

int TCustomWSocket::SendStr(const std::string& str) { return Send(str.data(), static_cast<int>(str.size())); }

void TCustomWSocket::AppendToSendQueue(const char* data, int len) {
  if (len <= 0) return;
  if (sendQueue_.empty()) sendQueue_.emplace_back(chunkSize_);
  while (len > 0) {
    const int32_t stored = sendQueue_.back().Write(data, len);
    if (stored == 0) {
      sendQueue_.emplace_back(chunkSize_);
      continue;
    }
    data += stored;
    len -= stored;
  }
}

void TCustomWSocket::TryToSend() {
  while (handle_ != platform::kInvalidSocket && !sendQueue_.empty()) {
    int32_t pending = 0;
    const char* bytes = sendQueue_.front().Peek(pending);
    if (pending == 0) {
      if (sendQueue_.size() == 1) {
        allSent_ = true;
        return;
      }
      sendQueue_.pop_front();
      continue;
    }
    const int sent = SendRaw(bytes, pending);
    if (sent == 0) return;
    if (sent > 0) {
      sendQueue_.front().Remove(sent);
      if (sent < pending) return;  // the system's buffer is full; write readiness resumes
      continue;
    }
    const int code = platform::LastSocketError();
    if (IsLostConnection(code)) {
      closeReported_ = true;
      Close();
      NotifySessionClosed(static_cast<uint16_t>(code));
      return;
    }
    if (code != platform::kWsaEWOULDBLOCK) ReportSocketError("TryToSend failed");
    return;
  }
}

int TCustomWSocket::SendRaw(const void* data, int len) {
  const int sent = socketType_ == SOCK_DGRAM
                       ? SocketCall(platform::SendToSocket, handle_, data, len, sendFlags_, remoteAddress_)
                       : SocketCall(platform::SendSocket, handle_, data, len, sendFlags_);
  if (sent > 0 && OnSendData) OnSendData(this, sent);
  return sent;
}

int TCustomWSocket::SendTo(const platform::SocketAddress& dest, const void* data, int len) {
  const int sent = SocketCall(platform::SendToSocket, handle_, data, len, sendFlags_, dest);
  if (sent > 0 && OnSendData) OnSendData(this, sent);
  return sent;
}

bool TCustomWSocket::SendQueueEmpty() const { return SendQueueBytes() == 0; }

int64_t TCustomWSocket::SendQueueBytes() const {
  int64_t total = 0;
  for (const TBuffer& chunk : sendQueue_) total += chunk.Pending();
  return total;
}

void TCustomWSocket::DiscardSendQueue() {
  sendQueue_.clear();
  allSent_ = true;
}

// ReadCount is a 32-bit counter by contract; long transfers wrap it instead of overflowing.
void TCustomWSocket::AddToReadCount(int count) {
  readCount_ = static_cast<int32_t>(static_cast<uint32_t>(readCount_) + static_cast<uint32_t>(count));
}

// ---- Receiving ----------------------------------------------------------------------------

int TCustomWSocket::ReceiveRaw(void* buffer, int len, int flags) {
  return SocketCall(platform::RecvSocket, handle_, buffer, len, flags);
}

int TCustomWSocket::ReceiveFromRaw(void* buffer, int len, int flags, platform::SocketAddress* from) {
  return SocketCall(platform::RecvFromSocket, handle_, buffer, len, flags, from);
}

int TCustomWSocket::Receive(void* buffer, int len) {
  const int count = ReceiveRaw(buffer, len, 0);
  if (count < 0)
    lastError_ = platform::LastSocketError();
  else
    AddToReadCount(count);
  return count;
}

int TCustomWSocket::ReceiveToFile(int fileDescriptor, int len, bool& fileFailed) {
  const platform::SpliceOutcome moved = SocketCall(platform::SpliceToFile, handle_, fileDescriptor, len);
  fileFailed = moved.fileFailed;
  if (moved.bytes < 0)
    lastError_ = platform::LastSocketError();
  else
    AddToReadCount(moved.bytes);
  return moved.bytes;
}

int TCustomWSocket::ReceiveFrom(void* buffer, int len, platform::SocketAddress* from) {
  const int count = ReceiveFromRaw(buffer, len, 0, from);
  if (count < 0)
    lastError_ = platform::LastSocketError();
  else
    AddToReadCount(count);
  return count;
}

std::string TCustomWSocket::ReceiveStr() {
  const int32_t available = GetRcvdCount();
  if (available <= 0) return {};
  std::string text(static_cast<size_t>(available), '\0');
  const int count = Receive(text.data(), available);
  text.resize(count > 0 ? static_cast<size_t>(count) : 0);
  return text;
}

int32_t TCustomWSocket::GetRcvdCount() {
  const int count = SocketCall(platform::ReadableBytes, handle_);
  if (count < 0) ReportSocketError("ioctlSocket");
  return count;
}

void TCustomWSocket::ReceiveLoop(uint16_t error) {
  try {
    const int32_t readAtStart = readCount_;
    for (int delivery = 1;; ++delivery) {
      lastError_ = 0;
      const int32_t readBefore = readCount_;
      const bool handled = NotifyDataAvailable(error);
      if (!handled) {
        char discard[kDiscardChunk];
        if (ReceiveRaw(discard, kDiscardChunk, 0) < 0) {
          lastError_ = platform::LastSocketError();
          if (lastError_ == platform::kWsaEWOULDBLOCK) {
            lastError_ = 0;
            return;
          }
        }
      }
      if (componentOptions_.Contains(wsoNoReceiveLoop) || lastError_ != 0) return;
      // A handler that took nothing would spin here for ever; the event loop calls again.
      if (handled && readCount_ == readBefore) return;
      if (handle_ == platform::kInvalidSocket) return;
      const uint32_t served = static_cast<uint32_t>(readCount_) - static_cast<uint32_t>(readAtStart);
      if (delivery >= kMaxDeliveriesPerEvent || served >= kMaxBytesPerEvent) return;
      const int readable = SocketCall(platform::ReadableBytes, handle_);
      if (readable < 0) {
        lastError_ = platform::LastSocketError();
        return;
      }
      if (readable == 0) return;
    }
  } catch (...) {
    // An exception in a pass ends the loop quietly.
  }
}
