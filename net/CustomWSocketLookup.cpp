// TCustomWSocket: asynchronous host lookups by name and by address.
#include <arpa/inet.h>

#include "net/AddressOrder.h"
#include "net/CustomWSocket.h"
#include "net/SocketLibrary.h"
#include "net/WSocketResolve.h"
#include "platform/SocketErrors.h"

// Common start of both lookups; false when there is no name to look up.
bool TCustomWSocket::BeginLookup(const std::string& name) {
  if (name.empty()) {
    ReportError("DNS lookup: invalid host name.");
    NotifyDnsLookupDone(platform::kWsaEINVAL);
    return false;
  }
  CancelLookupSilently();
  dnsResult_.clear();
  dnsResultList_.clear();
  return true;
}

void TCustomWSocket::DnsLookup(const std::string& hostName) {
  if (!BeginLookup(hostName)) return;
  if (const auto address = SocketCall(&platform::SocketAddress::FromText, std::string_view(hostName), uint16_t{0})) {
    dnsResult_ = address->Text();
    NotifyDnsLookupDone(0);
    return;
  }
  StartLookup(hostName, false);
}

void TCustomWSocket::ReverseDnsLookup(const std::string& hostAddr) {
  if (BeginLookup(hostAddr)) StartLookup(hostAddr, true);
}

void TCustomWSocket::StartLookup(const std::string& name, bool byAddress) {
  LoadSocketLibrary();
  const auto address = byAddress ? platform::SocketAddress::FromText(name) : std::nullopt;
  lookupHandle_ = byAddress ? sink_.LookupHostByAddr(address.value_or(platform::SocketAddress{}), WM_ASYNCGETHOSTBYADDR)
                            : sink_.LookupHostByName(name, WM_ASYNCGETHOSTBYNAME);
  if (lookupHandle_ == 0)
    ReportErrorFmt("%s: can't start DNS lookup, error #%d", name.c_str(), platform::LastSocketError());
}

void TCustomWSocket::HandleLookupDone(unsigned msg, uintptr_t lookup, intptr_t lParam) {
  if (lookupHandle_ == 0 || static_cast<int>(lookup) != lookupHandle_) return;
  lookupHandle_ = 0;
  const auto error = static_cast<uint16_t>(platform::SelectError(lParam));
  platform::HostLookupReply reply = sink_.TakeLookupReply(static_cast<int>(lookup));
  if (error == 0) {
    if (msg == WM_ASYNCGETHOSTBYNAME) {
      for (const platform::SocketAddress& address : ConnectOrder(std::move(reply.addresses)))
        dnsResultList_.push_back(address.Text());
    } else {
      dnsResultList_.push_back(reply.hostName);
    }
    if (!dnsResultList_.empty()) dnsResult_ = dnsResultList_.front();
  }
  NotifyDnsLookupDone(error);
}

void TCustomWSocket::CancelDnsLookup() {
  if (lookupHandle_ == 0) return;
  const int cancelled = sink_.CancelLookup(lookupHandle_);
  lookupHandle_ = 0;
  if (cancelled < 0) return ReportSocketError("WSACancelAsyncRequest");
  if (!destroying_) NotifyDnsLookupDone(platform::kWsaEINTR);
}

void TCustomWSocket::CancelLookupSilently() {
  if (lookupHandle_ == 0) return;
  sink_.CancelLookup(lookupHandle_);
  lookupHandle_ = 0;
}
