// Readiness of socket handles on the Qt event loop, with the rhythm of the classic
// asynchronous select (see MessageSink.h). One watch per handle, kept in a registry so that
// the socket calls can re-arm what a send or an accept re-enables.
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <sys/socket.h>
#include <unordered_map>

#include "platform/MessageSink.h"
#include "platform/SocketErrors.h"
#include "platform/SocketWatchRegistry.h"

namespace platform::detail {

namespace {

constexpr int kAcceptReminderMs = 10;

class SocketWatch : public std::enable_shared_from_this<SocketWatch> {
 public:
  SocketWatch(SocketHandle s, const void* owner) : handle_(s), owner_(owner) {}
  ~SocketWatch() {
    for (QSocketNotifier* n : {readNotifier_, writeNotifier_}) {
      if (!n) continue;
      n->setEnabled(false);
      QObject::disconnect(n, nullptr, nullptr, nullptr);
      n->deleteLater();  // it may be the notifier whose signal is running right now
    }
  }

  const void* Owner() const { return owner_; }

  void Select(Dispatch dispatch, unsigned msg, unsigned mask);
  void ArmWrite() { Enable(writeNotifier_, (mask_ & kFdWrite) != 0); }
  void ArmConnect() {
    connecting_ = true;
    Enable(writeNotifier_, true);
  }
  void ArmAccept() {
    acceptTaken_ = true;
    if (listening_) Enable(readNotifier_, (mask_ & kFdAccept) != 0);
  }

 private:
  static void Enable(QSocketNotifier* n, bool on) {
    if (n) n->setEnabled(on);
  }
  void CreateNotifiers();
  void OnReadable();
  void OnWritable();
  void FinishConnect();
  void RemindOfPendingAccept();
  // Delivers one event; false when the watch was stopped by the handler.
  bool Deliver(unsigned event, int error);
  bool IsConnected() const;

  SocketHandle handle_;
  const void* owner_;
  Dispatch dispatch_;
  unsigned msg_ = 0;
  unsigned mask_ = 0;
  bool listening_ = false;
  bool connecting_ = false;
  bool acceptTaken_ = false;
  QSocketNotifier* readNotifier_ = nullptr;
  QSocketNotifier* writeNotifier_ = nullptr;
};

std::unordered_map<SocketHandle, std::shared_ptr<SocketWatch>>& Registry() {
  static std::unordered_map<SocketHandle, std::shared_ptr<SocketWatch>> watches;
  return watches;
}

std::shared_ptr<SocketWatch> Find(SocketHandle s) {
  auto it = Registry().find(s);
  return it == Registry().end() ? nullptr : it->second;
}

void SocketWatch::CreateNotifiers() {
  if (readNotifier_) return;
  readNotifier_ = new QSocketNotifier(handle_, QSocketNotifier::Read);
  writeNotifier_ = new QSocketNotifier(handle_, QSocketNotifier::Write);
  writeNotifier_->setEnabled(false);
  QObject::connect(readNotifier_, &QSocketNotifier::activated, [this] { OnReadable(); });
  QObject::connect(writeNotifier_, &QSocketNotifier::activated, [this] { OnWritable(); });
}

bool SocketWatch::IsConnected() const {
  sockaddr_storage peer{};
  socklen_t len = sizeof peer;
  return ::getpeername(handle_, reinterpret_cast<sockaddr*>(&peer), &len) == 0;
}

void SocketWatch::Select(Dispatch dispatch, unsigned msg, unsigned mask) {
  dispatch_ = std::move(dispatch);
  msg_ = msg;
  mask_ = mask;
  int accepting = 0;
  socklen_t len = sizeof accepting;
  listening_ = ::getsockopt(handle_, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &len) == 0 && accepting;
  CreateNotifiers();
  readNotifier_->setEnabled((mask & (kFdRead | kFdClose | kFdAccept)) != 0);
  // A connected socket selected for writing is told at once that it may write.
  writeNotifier_->setEnabled(connecting_ || ((mask & kFdWrite) && !listening_ && IsConnected()));
}

bool SocketWatch::Deliver(unsigned event, int error) {
  if (Find(handle_).get() != this) return false;
  if (mask_ & event) dispatch_(msg_, static_cast<uintptr_t>(handle_), MakeSelectParam(event, error));
  return Find(handle_).get() == this;
}

void SocketWatch::OnWritable() {
  auto keep = shared_from_this();
  writeNotifier_->setEnabled(false);
  if (connecting_) {
    FinishConnect();
    return;
  }
  Deliver(kFdWrite, 0);
}

void SocketWatch::FinishConnect() {
  connecting_ = false;
  int soError = 0;
  socklen_t len = sizeof soError;
  ::getsockopt(handle_, SOL_SOCKET, SO_ERROR, &soError, &len);
  const int error = SocketErrorFromErrno(soError);
  if (!Deliver(kFdConnect, error) || error != 0) return;
  Deliver(kFdWrite, 0);
}

// A connection that nobody took stays pending; its owner may only now be ready for it
// (a server that connects before being asked to). Report it again a little later rather
// than in a busy loop.
void SocketWatch::RemindOfPendingAccept() {
  std::weak_ptr<SocketWatch> weak = weak_from_this();
  QTimer::singleShot(kAcceptReminderMs, [weak] {
    if (auto watch = weak.lock(); watch && Find(watch->handle_) == watch) watch->ArmAccept();
  });
}

void SocketWatch::OnReadable() {
  auto keep = shared_from_this();
  if (connecting_) return;  // the write side reports how the connect ended
  if (listening_) {
    readNotifier_->setEnabled(false);  // until the pending connection is accepted
    acceptTaken_ = false;
    if (Deliver(kFdAccept, 0) && !acceptTaken_) RemindOfPendingAccept();
    return;
  }
  char probe;
  const ssize_t r = ::recv(handle_, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
  if (r > 0) {
    if (!(mask_ & kFdRead)) readNotifier_->setEnabled(false);
    Deliver(kFdRead, 0);
    return;
  }
  if (r < 0 && (errno == EAGAIN || errno == EINTR)) return;
  readNotifier_->setEnabled(false);
  Deliver(kFdClose, r == 0 ? 0 : SocketErrorFromErrno(errno));
}

}  // namespace

int SelectSocket(SocketHandle s, const void* owner, Dispatch dispatch, unsigned msg, unsigned mask) {
  if (s < 0) {
    SetLastSocketError(kWsaENOTSOCK);
    return -1;
  }
  auto watch = Find(s);
  if (mask == 0) {
    Registry().erase(s);
    return 0;
  }
  if (!watch || watch->Owner() != owner) {
    watch = std::make_shared<SocketWatch>(s, owner);
    Registry()[s] = watch;
  }
  watch->Select(std::move(dispatch), msg, mask);
  return 0;
}

void ForgetOwner(const void* owner) {
  std::erase_if(Registry(), [owner](const auto& entry) { return entry.second->Owner() == owner; });
}

void RearmWrite(SocketHandle s) {
  if (auto w = Find(s)) w->ArmWrite();
}

void RearmAccept(SocketHandle s) {
  if (auto w = Find(s)) w->ArmAccept();
}

void WatchConnect(SocketHandle s) {
  if (auto w = Find(s)) w->ArmConnect();
}

void ForgetSocket(SocketHandle s) { Registry().erase(s); }

}  // namespace platform::detail
