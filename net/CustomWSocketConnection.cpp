// TCustomWSocket: connecting, listening, adopting handles and closing.
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "net/CustomWSocket.h"
#include "net/SocketLibrary.h"
#include "net/WSocketResolve.h"
#include "platform/SocketErrors.h"

namespace {
constexpr unsigned kConnectMask = platform::kFdRead | platform::kFdWrite | platform::kFdAccept |
                                  platform::kFdConnect | platform::kFdClose;  // 59
constexpr unsigned kListenMask =
    platform::kFdRead | platform::kFdWrite | platform::kFdAccept | platform::kFdClose;  // 43
constexpr unsigned kDupMask =
    platform::kFdRead | platform::kFdWrite | platform::kFdConnect | platform::kFdClose;  // 51
constexpr int kListenBacklog = 5;
constexpr int kUdpProtocol = 17;
constexpr int kTcpProtocol = 6;
}  // namespace

bool TCustomWSocket::CheckAddressAndPort(const char* what) {
  const std::string prefix = what;
  if (!port_.assigned) {
    ReportError(prefix + "No Port Specified");
    return false;
  }
  if (!addr_.assigned) {
    ReportError(prefix + "No IP Address Specified");
    return false;
  }
  if (!proto_.assigned) {
    ReportError(prefix + "No Protocol Specified");
    return false;
  }
  return true;
}

void TCustomWSocket::ResolveRemote(bool withLocalPort) {
  if (!proto_.resolved) {
    protoNumber_ = WSocketResolveProto(proto_.text);
    socketType_ = protoNumber_ == kUdpProtocol ? SOCK_DGRAM : SOCK_STREAM;
    proto_.resolved = true;
  }
  if (!port_.resolved) {
    remotePort_ = WSocketResolvePort(port_.text, proto_.text);
    port_.resolved = true;
  }
  if (withLocalPort && !localPortResolved_) {
    localPortNumber_ = WSocketResolvePort(localPortText_, proto_.text);
    localPortResolved_ = true;
  }
  if (!addr_.resolved) {
    remoteAddress_ = WSocketResolveAddress(addr_.text);
    addr_.resolved = true;
  }
  remoteAddress_.SetPort(remotePort_);
  addrFamily_ = remoteAddress_.Family();
}

void TCustomWSocket::SetResolvedRemote(const platform::SocketAddress& address) {
  remoteAddress_ = address;
  remotePort_ = address.Port();
  addr_.resolved = true;
  port_.resolved = true;
  fallbackAddrs_.clear();
}

bool TCustomWSocket::SelectEvents(unsigned mask, const char* failure) {
  eventMask_ = mask;
  if (sink_.SelectSocket(handle_, WM_ASYNCSELECT, mask) == 0) return true;
  ReportSocketError(failure);
  return false;
}

void TCustomWSocket::Connect() {
  if (handle_ != platform::kInvalidSocket && state_ != wsClosed)
    return ReportError("Connect: Socket already in use");
  if (!CheckAddressAndPort("Connect: ")) return;
  ResolveRemote(true);
  DiscardSendQueue();
  OpenAndConnect();
}

// Opens the socket for remoteAddress_ and starts connecting to it.
void TCustomWSocket::OpenAndConnect() {
  handle_ = SocketCall(platform::OpenSocket, addrFamily_, socketType_, protoNumber_);
  if (handle_ == platform::kInvalidSocket) {
    lastError_ = platform::LastSocketError();
    if (state_ == wsConnecting) return FailLaterAttempt();
    return ReportSocketError("Connect (socket)");
  }
  if (state_ != wsConnecting) ChangeState(wsOpened);  // a later address of the host: still connecting
  if (socketType_ == SOCK_STREAM) {
    if (SocketCall(platform::SetSocketIntOption, handle_, SOL_SOCKET, SO_REUSEADDR, 1) < 0)
      return ReportSocketError("setsockopt(SO_REUSEADDR)");
    ApplyLinger();
    if (SocketCall(platform::SetSocketIntOption, handle_, SOL_SOCKET, SO_KEEPALIVE, 1) < 0)
      return ReportSocketError("setsockopt(SO_KEEPALIVE)");
    if (localPortNumber_ != 0 || localAddr_ != "0.0.0.0") BindLocal();
  } else {
    BindLocal();
    if (!remoteAddress_.IsIpv6() && remoteAddress_.Ipv4() == INADDR_BROADCAST &&
        SocketCall(platform::SetSocketIntOption, handle_, SOL_SOCKET, SO_BROADCAST, 1) < 0)
      return ReportSocketError("setsockopt(SO_BROADCAST)");
  }
  if (handle_ == platform::kInvalidSocket || !SelectEvents(kConnectMask, "WSAAsyncSelect")) return;
  if (socketType_ == SOCK_DGRAM) {
    ChangeState(wsConnected);
    NotifySessionConnected(0);
    return;
  }
  if (SocketCall(platform::ConnectSocket, handle_, remoteAddress_) == 0 ||
      platform::LastSocketError() == platform::kWsaEWOULDBLOCK) {
    if (state_ != wsConnecting) ChangeState(wsConnecting);
    ArmFallbackTimer();
    return;
  }
  lastError_ = platform::LastSocketError();
  if (state_ == wsConnecting) return FailLaterAttempt();
  if (ConnectFailedOver()) return;
  ReportSocketError("Connect");
}

// The wildcard LocalAddr binds to the wildcard of the remote address's family.
void TCustomWSocket::BindLocal() {
  platform::SocketAddress local = localAddr_ == "0.0.0.0" ? platform::SocketAddress::Any(addrFamily_)
                                                          : WSocketResolveAddress(localAddr_);
  local.SetPort(localPortNumber_);
  if (SocketCall(platform::BindSocket, handle_, local) < 0)
    return ReportErrorFmt("winsock.bind failed, error #%d", platform::LastSocketError());
  platform::SocketAddress bound;
  if (SocketCall(platform::GetSockName, handle_, &bound) < 0)
    return ReportErrorFmt("winsock.getsockname failed, error #%d", platform::LastSocketError());
  localPortNumber_ = bound.Port();
  localPortText_ = std::to_string(localPortNumber_);
}

void TCustomWSocket::ApplyLinger() {
  if (lingerOnOff_ == wsLingerNoSet) return;
  if (handle_ == platform::kInvalidSocket) return ReportError("Cannot set linger option at this time");
  linger option{};
  option.l_onoff = lingerOnOff_;
  option.l_linger = lingerTimeout_;
  if (SocketCall(platform::SetSocketOption, handle_, SOL_SOCKET, SO_LINGER, &option, int(sizeof option)) < 0)
    ReportSocketError("setsockopt(SO_LINGER)");
}

void TCustomWSocket::Listen() {
  const char* missing = !port_.assigned    ? "listen: port not assigned"
                        : !proto_.assigned ? "listen: protocol not assigned"
                        : !addr_.assigned  ? "listen: address not assigned"
                                          : nullptr;
  if (missing) {
    platform::SetLastSocketError(platform::kWsaEINVAL);
    return ReportSocketError(missing);
  }
  ResolveRemote(false);
  DiscardSendQueue();
  handle_ = SocketCall(platform::OpenSocket, addrFamily_, socketType_, protoNumber_);
  if (handle_ == platform::kInvalidSocket) return ReportSocketError("socket");
  if (SocketCall(platform::BindSocket, handle_, remoteAddress_) < 0) {
    ReportSocketError("Bind");
    return Close();
  }
  ChangeState(wsBound);
  if (socketType_ == SOCK_DGRAM) {
    ChangeState(wsListening);
    ChangeState(wsConnected);
    NotifySessionConnected(0);
  } else {
    if (SocketCall(platform::ListenSocket, handle_, kListenBacklog) < 0) return ReportSocketError("Listen");
    ChangeState(wsListening);
  }
  SelectEvents(kListenMask, "WSAASyncSelect");
}

platform::SocketHandle TCustomWSocket::Accept() {
  if (state_ != wsListening) {
    platform::SetLastSocketError(platform::kWsaEINVAL);
    ReportSocketError("not a listening socket");
    return platform::kInvalidSocket;
  }
  const platform::SocketHandle accepted = SocketCall(platform::AcceptSocket, handle_, &remoteAddress_);
  if (accepted == platform::kInvalidSocket) ReportSocketError("Accept");
  return accepted;
}

void TCustomWSocket::Dup(platform::SocketHandle newHandle) {
  if (newHandle == 0 || newHandle == platform::kInvalidSocket) {
    platform::SetLastSocketError(platform::kWsaEINVAL);
    return ReportSocketError("Dup");
  }
  if (state_ != wsClosed) {
    if (SocketCall(platform::CloseSocket, handle_) < 0) return ReportSocketError("Dup (closesocket)");
    ChangeState(wsClosed);
  }
  handle_ = newHandle;
  ApplyLinger();
  if (SelectEvents(kDupMask, "WSAAsyncSelect")) ChangeState(wsConnected);
}

void TCustomWSocket::Close() { CloseConnection(true, 0); }

void TCustomWSocket::CloseConnection(bool shutdownFirst, uint16_t error) {
  if (handle_ == platform::kInvalidSocket) {
    if (state_ != wsClosed) {
      ChangeState(wsClosed);
      ResetDefaults();
    }
    return;
  }
  if (state_ == wsClosed) return;
  if (shutdownFirst) Shutdown(SHUT_WR);
  // Linux frees the descriptor even when close() fails, so it is never closed twice.
  const int closed = SocketCall(platform::CloseSocket, handle_);
  handle_ = platform::kInvalidSocket;
  if (closed < 0) {
    lastError_ = platform::LastSocketError();
    if (lastError_ != platform::kWsaEWOULDBLOCK) return ReportSocketError("Disconnect (closesocket)");
  }
  ChangeState(wsClosed);
  if (!destroying_ && !closeReported_) {
    closeReported_ = true;
    NotifySessionClosed(error);
  }
  try {
    ResetDefaults();
  } catch (...) {
  }
}

void TCustomWSocket::Abort() {
  CancelDnsLookup();
  DiscardSendQueue();
  if (state_ == wsConnected && protoNumber_ == kTcpProtocol) {
    lingerOnOff_ = wsLingerOff;
    ApplyLinger();
  }
  CloseConnection(false, 0);
}

void TCustomWSocket::Shutdown(int how) {
  if (handle_ != platform::kInvalidSocket) SocketCall(platform::ShutdownSocket, handle_, how);
}

void TCustomWSocket::Pause() {
  paused_ = true;
  sink_.SelectSocket(handle_, WM_ASYNCSELECT, 0);
}

void TCustomWSocket::Resume() {
  paused_ = false;
  sink_.SelectSocket(handle_, WM_ASYNCSELECT, eventMask_);
}

void TCustomWSocket::Flush() {
  while (handle_ != platform::kInvalidSocket && !SendQueueEmpty()) {
    TryToSend();
    PumpMessages();
  }
}

void TCustomWSocket::WaitForClose() {
  while (handle_ != platform::kInvalidSocket && state_ != wsClosed) {
    PumpMessages();
    const int readable = SocketCall(platform::ReadableBytes, handle_);
    if (readable < 0) break;
    if (readable > 0) NotifyDataAvailable(0);
    char probe;
    if (SocketCall(platform::RecvSocket, handle_, &probe, 0, 0) < 1) {
      lastError_ = platform::LastSocketError();
      if (lastError_ != platform::kWsaEWOULDBLOCK) break;
    }
    PumpMessages();
  }
}

std::string TCustomWSocket::GetPeerAddr() {
  if (state_ != wsConnected) return "error";
  platform::SocketAddress peer;
  if (SocketCall(platform::GetPeerName, handle_, &peer) < 0) {
    ReportSocketError("GetPeerName");
    return "error";
  }
  return peer.Text();
}

std::string TCustomWSocket::GetPeerPort() {
  if (state_ != wsConnected) return "error";
  platform::SocketAddress peer;
  if (SocketCall(platform::GetPeerName, handle_, &peer) < 0) {
    ReportSocketError("GetPeerPort");
    return "error";
  }
  return std::to_string(peer.Port());
}

int TCustomWSocket::GetPeerName(platform::SocketAddress* name) {
  if (state_ != wsConnected) return -1;
  return SocketCall(platform::GetPeerName, handle_, name);
}

int TCustomWSocket::GetSockName(platform::SocketAddress* name) {
  return SocketCall(platform::GetSockName, handle_, name);
}

std::string TCustomWSocket::GetBoundPort() {
  if (state_ != wsBound && state_ != wsConnected && state_ != wsListening) return "error";
  platform::SocketAddress local;
  if (GetSockName(&local) < 0) return "error";
  return std::to_string(local.Port());
}
