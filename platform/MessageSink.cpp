#include "platform/MessageSink.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QTimer>
#include <map>
#include <set>

#include "platform/HostTable.h"
#include "platform/SocketErrors.h"
#include "platform/SocketWatchRegistry.h"

namespace platform {

namespace {

const QEvent::Type kSinkEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

// Handles of lookups the host table answers, apart from Qt's own (which count up from 1).
int nextTableLookup = 1 << 30;

std::optional<SocketAddress> AddressOf(const QHostAddress& a) {
  if (a.protocol() != QAbstractSocket::IPv4Protocol && a.protocol() != QAbstractSocket::IPv6Protocol)
    return std::nullopt;
  return SocketAddress::FromText(a.toString().toStdString());
}

struct SinkEvent : QEvent {
  SinkEvent(unsigned m, uintptr_t w, intptr_t l) : QEvent(kSinkEventType), msg(m), wParam(w), lParam(l) {}
  unsigned msg;
  uintptr_t wParam;
  intptr_t lParam;
};

int LookupErrorOf(const QHostInfo& info) {
  switch (info.error()) {
    case QHostInfo::NoError: return 0;
    case QHostInfo::HostNotFound: return kWsaHOST_NOT_FOUND;
    default: return kWsaNO_RECOVERY;
  }
}

}  // namespace

// The QObject that receives this sink's posted events and lookup replies. Qt drops the
// events still queued for it when it is destroyed.
class MessageSink::Impl : public QObject {
 public:
  explicit Impl(Handler handler) : handler_(std::move(handler)) {}

  bool event(QEvent* e) override {
    if (e->type() != kSinkEventType) return QObject::event(e);
    auto* m = static_cast<SinkEvent*>(e);
    Dispatch(m->msg, m->wParam, m->lParam);
    return true;
  }

  void Dispatch(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    if (detached_) return;
    ++dispatchDepth_;
    handler_(msg, wParam, lParam);
    --dispatchDepth_;
  }

  // The owner is going away, possibly from inside one of our own deliveries (a socket that
  // releases itself): stop delivering, and free this object once no delivery runs any more.
  void Detach() {
    detached_ = true;
    QCoreApplication::removePostedEvents(this, kSinkEventType);
    for (int id : pending_) QHostInfo::abortHostLookup(id);
    pending_.clear();
    if (dispatchDepth_ > 0)
      deleteLater();
    else
      delete this;
  }

  int StartLookup(const QString& name, unsigned msg, bool byAddress) {
    if (!byAddress) {
      if (auto listed = HostTableAddresses(name.toStdString())) return AnswerFromTable(std::move(*listed), msg);
    }
    const int id = QHostInfo::lookupHost(name, this, [this, msg, byAddress](const QHostInfo& info) {
      Finish(info, msg, byAddress);
    });
    pending_.insert(id);
    return id;
  }

  void Finish(const QHostInfo& info, unsigned msg, bool byAddress) {
    const int id = info.lookupId();
    if (!pending_.erase(id)) return;  // cancelled
    int error = LookupErrorOf(info);
    HostLookupReply reply;
    if (byAddress) {
      reply.hostName = info.hostName().toStdString();
    } else {
      for (const QHostAddress& a : info.addresses())
        if (const auto address = AddressOf(a)) reply.addresses.push_back(*address);
      if (error == 0 && reply.addresses.empty()) error = kWsaNO_DATA;
    }
    Deliver(id, std::move(reply), msg, error);
  }

  // Like a lookup of the resolver, the table's answer comes from the event loop.
  int AnswerFromTable(std::vector<SocketAddress> addresses, unsigned msg) {
    const int id = nextTableLookup++;
    pending_.insert(id);
    QTimer::singleShot(0, this, [this, id, msg, addresses = std::move(addresses)]() mutable {
      if (!pending_.erase(id)) return;
      const int error = addresses.empty() ? kWsaHOST_NOT_FOUND : 0;
      Deliver(id, HostLookupReply{std::move(addresses), {}}, msg, error);
    });
    return id;
  }

  void Deliver(int id, HostLookupReply reply, unsigned msg, int error) {
    replies_[id] = std::move(reply);
    Dispatch(msg, static_cast<uintptr_t>(id), MakeSelectParam(0, error));
  }

  int Cancel(int id) {
    if (!pending_.erase(id)) {
      SetLastSocketError(kWsaEINVAL);
      return -1;
    }
    QHostInfo::abortHostLookup(id);
    return 0;
  }

  HostLookupReply Take(int id) {
    auto node = replies_.extract(id);
    return node ? std::move(node.mapped()) : HostLookupReply{};
  }

 private:
  Handler handler_;
  bool detached_ = false;
  int dispatchDepth_ = 0;
  std::set<int> pending_;
  std::map<int, HostLookupReply> replies_;
};

MessageSink::MessageSink(Handler handler) : impl_(new Impl(std::move(handler))) {}

MessageSink::~MessageSink() {
  detail::ForgetOwner(impl_);
  impl_->Detach();
}

void MessageSink::Post(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  QCoreApplication::postEvent(impl_, new SinkEvent(msg, wParam, lParam));
}

int MessageSink::SelectSocket(SocketHandle s, unsigned msg, unsigned mask) {
  Impl* impl = impl_;
  return detail::SelectSocket(
      s, impl, [impl](unsigned m, uintptr_t w, intptr_t l) { impl->Dispatch(m, w, l); }, msg, mask);
}

int MessageSink::LookupHostByName(const std::string& name, unsigned msg) {
  return impl_->StartLookup(QString::fromStdString(name), msg, false);
}

int MessageSink::LookupHostByAddr(const SocketAddress& address, unsigned msg) {
  return impl_->StartLookup(QString::fromStdString(address.Text()), msg, true);
}

int MessageSink::CancelLookup(int lookupHandle) { return impl_->Cancel(lookupHandle); }

HostLookupReply MessageSink::TakeLookupReply(int lookupHandle) { return impl_->Take(lookupHandle); }

}  // namespace platform
