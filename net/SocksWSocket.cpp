// TCustomSocksWSocket: properties, the detour of Connect through the SOCKS server, the reads
// that serve the bytes the server sent behind its final reply, and the notifications.
#include "net/SocksWSocket.h"

#include <algorithm>
#include <cstring>

#include "net/WSocketResolve.h"
#include "platform/StringUtils.h"

namespace {
const std::string kDefaultLevel = "5";
}

// ---- Properties ---------------------------------------------------------------------------
// As with Addr and Port, writing the value a property already holds is no change, and is
// allowed in any state: an owner may write its settings to both of its sockets at any time.

void TCustomSocksWSocket::SetSocksServer(const std::string& value) {
  const std::string server = platform::Trim(value);
  if (server == socksServer_) return;
  if (State() != wsClosed) return ReportError("Can't change socks server if not closed");
  socksServer_ = server;
}

void TCustomSocksWSocket::SetSocksPort(const std::string& value) {
  const std::string port = platform::Trim(value);
  if (port == socksPort_) return;
  if (State() != wsClosed) return ReportError("Can't change socks port if not closed");
  socksPort_ = port;
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& value) {
  const std::string level = platform::UpperCase(value);
  if (level == socksLevel_) return;
  if (State() != wsClosed) return ReportError("Can't change socks level if not closed");
  if (level != "4" && level != "4A" && level != "5") return ReportError("Invalid socks level. Must be 4, 4A or 5.");
  socksLevel_ = level;
}

void TCustomSocksWSocket::ResetDefaults() {
  TCustomWSocket::ResetDefaults();
  ForgetNegotiation();
  socksServer_.clear();
  socksPort_.clear();
  socksLevel_ = kDefaultLevel;
}

void TCustomSocksWSocket::ForgetNegotiation() {
  socksState_ = socksIdle;
  replyCount_ = 0;
  leftoverCount_ = 0;
}

// ---- Connecting ---------------------------------------------------------------------------

void TCustomSocksWSocket::Connect() {
  // A socket in use is refused by the base; the negotiation of its connection stays as it is.
  if (Handle() != platform::kInvalidSocket && State() != wsClosed) return TCustomWSocket::Connect();
  ForgetNegotiation();
  if (!SocksServerAssigned()) return TCustomWSocket::Connect();
  if (platform::UpperCase(Proto()) != "TCP") return ReportError("tcp is the only protocol supported thru socks server");
  AimAtSocksServer();
  TCustomWSocket::Connect();
  if (State() == wsConnecting) socksState_ = socksMethodSelection;
}

// Resolved on every Connect: a mark left by an earlier attempt that failed half-way must not
// send this connection to the destination, or the destination's port.
void TCustomSocksWSocket::AimAtSocksServer() {
  const uint16_t socksPort = WSocketResolvePort(socksPort_, Proto());
  platform::SocketAddress socksAddress = WSocketResolveAddress(socksServer_);
  socksAddress.SetPort(socksPort);
  destinationPort_ = WSocketResolvePort(Port(), Proto());
  SetResolvedRemote(socksAddress);
}

void TCustomSocksWSocket::Listen() {
  if (SocksServerAssigned()) return ReportError("Listening is not supported thru socks server");
  TCustomWSocket::Listen();
}

// ---- Reading ------------------------------------------------------------------------------

int32_t TCustomSocksWSocket::GetRcvdCount() {
  return leftoverCount_ > 0 ? leftoverCount_ : TCustomWSocket::GetRcvdCount();
}

int TCustomSocksWSocket::ReceiveRaw(void* buffer, int len, int flags) {
  if (leftoverCount_ <= 0) return TCustomWSocket::ReceiveRaw(buffer, len, flags);
  const int count = std::clamp(len, 0, leftoverCount_);
  std::memcpy(buffer, reply_.data() + leftoverPosition_, static_cast<size_t>(count));
  leftoverPosition_ += count;
  leftoverCount_ -= count;
  return count;
}

// ---- Notifications ------------------------------------------------------------------------

bool TCustomSocksWSocket::NotifyDataAvailable(uint16_t error) {
  if (socksState_ == socksIdle) return TCustomWSocket::NotifyDataAvailable(error);
  if (error != 0) {
    Fail({error, "data receive error"});
    return true;
  }
  switch (socksState_) {
    case socksMethodSelection: ReceiveMethodReply(); break;
    case socksSubNegotiation: ReceiveAuthReply(); break;
    case socksConnectRequest: Level4() ? ReceiveSocks4Reply() : ReceiveSocks5Reply(); break;
    case socksIdle: break;
  }
  return true;
}

void TCustomSocksWSocket::NotifySessionConnected(uint16_t error) {
  if (socksState_ != socksMethodSelection) return TCustomWSocket::NotifySessionConnected(error);
  NotifySocksConnected(error);
  if (error != 0) {
    socksState_ = socksIdle;
    return TCustomWSocket::NotifySessionConnected(error);
  }
  if (State() != wsConnected) return;  // closed by the OnSocksConnected handler
  if (Level4())
    SendConnectRequest();
  else
    SendMethodSelection();
}

void TCustomSocksWSocket::NotifySessionClosed(uint16_t error) {
  if (socksState_ == socksIdle) return TCustomWSocket::NotifySessionClosed(error);
  if (socksState_ == socksSubNegotiation) NotifySocksAuthState(socksAuthFailed);
  // Still connected means the server hung up, not the owner: the attempt failed.
  if (State() == wsConnected) return FailOnHangUp();
  socksState_ = socksIdle;
  TCustomWSocket::NotifySessionClosed(error);
}

void TCustomSocksWSocket::NotifySocksConnected(uint16_t error) {
  if (OnSocksConnected) OnSocksConnected(this, error);
}

void TCustomSocksWSocket::NotifySocksError(int32_t error, const std::string& msg) {
  if (OnSocksError) OnSocksError(this, error, msg);
}

void TCustomSocksWSocket::NotifySocksAuthState(TSocksAuthState state) {
  if (OnSocksAuthState) OnSocksAuthState(this, state);
}
