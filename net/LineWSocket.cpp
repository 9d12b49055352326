// TCustomLineWSocket: the line buffer, the cutting and offering of lines, and line editing.
#include "net/LineWSocket.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char kBackspace = 8;
constexpr char kTab = 9;
constexpr size_t kTabWidth = 8;
}  // namespace

void TCustomLineWSocket::SetLineMode(bool value) {
  if (value == lineMode_) return;
  lineMode_ = value;
  // Bytes buffered under the old mode are delivered under the new one, from the loop.
  if (Buffered() > 0) Sink().Post(WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

void TCustomLineWSocket::HandleWindowMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  if (msg != WM_TRIGGER_DATA_AVAILABLE) return TCustomTlsWSocket::HandleWindowMessage(msg, wParam, lParam);
  try {
    // Only what is buffered: newer socket data comes with its own readiness.
    if (LineModeActive())
      DeliverLines(0, 0);
    else
      OfferBufferedBytes();
  } catch (const std::exception& e) {
    HandleBgException(e);
  }
}

// ---- Reads served from the line buffer ----------------------------------------------------

int32_t TCustomLineWSocket::GetRcvdCount() {
  if (LineModeActive()) return static_cast<int32_t>(pendingLength_);
  if (Buffered() > 0) return static_cast<int32_t>(Buffered());
  return TCustomTlsWSocket::GetRcvdCount();
}

int TCustomLineWSocket::ReceiveRaw(void* buffer, int len, int flags) {
  const size_t available = LineModeActive() ? pendingLength_ : Buffered();
  if (available == 0) return TCustomTlsWSocket::ReceiveRaw(buffer, len, flags);
  return static_cast<int>(TakeFromBuffer(buffer, std::min(static_cast<size_t>(std::max(len, 0)), available)));
}

size_t TCustomLineWSocket::TakeFromBuffer(void* destination, size_t count) {
  if (destination != nullptr) std::memcpy(destination, lineBuffer_.data() + head_, count);
  head_ += count;
  pendingLength_ -= std::min(pendingLength_, count);
  if (head_ == lineBuffer_.size()) {
    lineBuffer_.clear();
    head_ = 0;
  }
  return count;
}

// ---- Reception in line mode ---------------------------------------------------------------

bool TCustomLineWSocket::NotifyDataAvailable(uint16_t error) {
  if (!LineModeActive() || SocksState() != socksIdle || (TlsActive() && !TlsEstablished())) return TCustomTlsWSocket::NotifyDataAvailable(error);
  const int32_t fresh = ReadIntoBuffer();
  if (fresh < 0) return true;
  // A terminator may have begun in the bytes already held.
  const size_t old = lineBuffer_.size() - static_cast<size_t>(fresh);
  DeliverLines(old > lineEnd_.size() ? old - lineEnd_.size() : 0, error);
  return true;
}

// Appends what is readable to the buffer, edited or echoed; returns how many bytes at the end
// of the buffer are new or changed, or -1 when nothing was read.
int32_t TCustomLineWSocket::ReadIntoBuffer() {
  const int32_t readable = TCustomTlsWSocket::GetRcvdCount();
  if (readable < 1) return -1;
  lineBuffer_.erase(0, head_);
  head_ = 0;
  const size_t old = lineBuffer_.size();
  lineBuffer_.resize(old + static_cast<size_t>(readable));
  // The layer below: this layer's own reads would serve a pending line instead.
  const int count = TCustomTlsWSocket::ReceiveRaw(lineBuffer_.data() + old, readable, 0);
  lineBuffer_.resize(old + static_cast<size_t>(std::max(count, 0)));
  if (count < 1) return -1;
  int32_t fresh = count;
  if (lineEdit_)
    EditLine(fresh);
  else if (lineEcho_)
    Echo(lineBuffer_.substr(old));
  return fresh;
}

void TCustomLineWSocket::EditLine(int32_t& len) {
  const size_t start = lineBuffer_.size() - static_cast<size_t>(len);
  // A line already offered to the owner is not edited any more.
  const size_t floor = head_ + pendingLength_;
  const std::string fresh = lineBuffer_.substr(start);
  lineBuffer_.resize(start);
  size_t low = start;
  std::string echo;
  for (const char c : fresh) {
    if (c == kBackspace) {
      if (lineBuffer_.size() <= floor) continue;
      lineBuffer_.pop_back();
      low = std::min(low, lineBuffer_.size());
      echo += "\b \b";
    } else if (c == kTab) {
      do {
        lineBuffer_ += ' ';
        echo += ' ';
      } while ((lineBuffer_.size() - head_) % kTabWidth != 0);
    } else {
      lineBuffer_ += c;
      echo += c;
    }
  }
  if (lineEcho_) Echo(echo);
  len = static_cast<int32_t>(lineBuffer_.size() - low);
}

void TCustomLineWSocket::Echo(const std::string& bytes) {
  if (!bytes.empty()) Send(bytes.data(), static_cast<int>(bytes.size()));
}

// ---- Offering to the owner ----------------------------------------------------------------

// Offers each complete line, the terminator search starting `searchFrom` bytes into the buffer.
void TCustomLineWSocket::DeliverLines(size_t searchFrom, uint16_t error) {
  while (LineModeActive()) {
    if (pendingLength_ == 0) {
      const size_t at = lineBuffer_.find(lineEnd_, head_ + searchFrom);
      if (at == std::string::npos) return;
      pendingLength_ = at - head_ + lineEnd_.size();
    }
    if (!OfferPendingLine(error)) return;
    searchFrom = 0;
  }
}

// Offers the pending line until it is read, dropped (no handler) or line mode ends; false
// when a handler left it untouched, which would otherwise repeat for ever.
bool TCustomLineWSocket::OfferPendingLine(uint16_t error) {
  while (LineModeActive() && pendingLength_ > 0) {
    const size_t before = pendingLength_;
    if (!TCustomTlsWSocket::NotifyDataAvailable(error))
      TakeFromBuffer(nullptr, pendingLength_);
    else if (pendingLength_ == before)
      return false;
  }
  return true;
}

// With line mode off: offers the buffered bytes as plain data until they are read.
void TCustomLineWSocket::OfferBufferedBytes() {
  while (!LineModeActive() && Buffered() > 0) {
    const size_t before = Buffered();
    if (!TCustomTlsWSocket::NotifyDataAvailable(0))
      TakeFromBuffer(nullptr, before);
    else if (Buffered() == before)
      return;
  }
}

// ---- Close --------------------------------------------------------------------------------

void TCustomLineWSocket::NotifySessionClosed(uint16_t error) {
  DeliverBufferedBytes();
  lineBuffer_.clear();
  head_ = 0;
  pendingLength_ = 0;
  TCustomTlsWSocket::NotifySessionClosed(error);
}

// Hands what is buffered to the owner before the close is reported: complete lines, then the
// rest as a last line without terminator; with line mode off, as plain data.
void TCustomLineWSocket::DeliverBufferedBytes() {
  if (LineModeActive()) {
    DeliverLines(0, 0);
    if (LineModeActive() && Buffered() > 0) {
      pendingLength_ = Buffered();
      OfferPendingLine(0);
    }
  }
  if (!LineModeActive()) OfferBufferedBytes();
}
