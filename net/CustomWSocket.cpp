// TCustomWSocket: life, properties, state, error reporting and the dispatch of messages.
#include "net/CustomWSocket.h"

#include <cstdarg>

#include "net/SocketErrorText.h"
#include "net/SocketLibrary.h"
#include "net/WSocketResolve.h"
#include "platform/EventLoop.h"
#include "platform/SocketErrors.h"
#include "platform/StringUtils.h"
#include "platform/Timer.h"

namespace {
const char* const kStateNames[] = {"wsInvalidState", "wsOpened",    "wsBound",     "wsConnecting",
                                   "wsConnected",    "wsAccepting", "wsListening", "wsClosed"};
}

const char* SocketStateName(TSocketState state) { return kStateNames[state]; }

TCustomWSocket::TCustomWSocket()
    : sink_([this](unsigned msg, uintptr_t w, intptr_t l) { HandleWindowMessage(msg, w, l); }) {
  ResetDefaults();
  SocketObjectCreated();
}

TCustomWSocket::~TCustomWSocket() {
  destroying_ = true;
  try {
    CancelLookupSilently();
    if (state_ != wsClosed) Close();
  } catch (...) {
    // A destructor has nobody to report to; the handle is gone either way.
  }
  SocketObjectDestroyed();
}

// ---- Properties ---------------------------------------------------------------------------

// Addr, Port and Proto: trimmed; the text held while assigned is no change in any state;
// otherwise only while closed. Empty text clears the assigned mark; any change asks for a
// new resolution.
void TCustomWSocket::AssignTarget(const std::string& value, TargetText& target, const char* name) {
  const std::string text = platform::Trim(value);
  if (target.assigned && text == target.text) return;
  if (state_ != wsClosed) return ReportError(std::string("Cannot change ") + name + " if not closed");
  target.text = text;
  target.assigned = !text.empty();
  target.resolved = false;
}

void TCustomWSocket::SetAddr(const std::string& value) { AssignTarget(value, addr_, "Addr"); }

void TCustomWSocket::SetPort(const std::string& value) { AssignTarget(value, port_, "Port"); }

void TCustomWSocket::SetProto(const std::string& value) { AssignTarget(value, proto_, "Proto"); }

// A dotted IPv4 address, or a numeric IPv6 one; kept in its canonical text.
void TCustomWSocket::SetLocalAddr(const std::string& value) {
  if (state_ != wsClosed) return ReportError("Cannot change LocalAddr if not closed");
  const std::string text = value.empty() ? "0.0.0.0" : platform::Trim(value);
  const auto address = platform::SocketAddress::FromText(text);
  const bool valid = address && (address->IsIpv6() || (IsDottedIp(text) && address->Ipv4() != INADDR_NONE));
  if (!valid) return ReportError("SetLocalAddr(): Invalid IP address");
  localAddr_ = address->Text();
}

void TCustomWSocket::SetFallbackAddrs(std::vector<std::string> addresses) {
  if (state_ != wsClosed) return ReportError("Cannot change Addr if not closed");
  fallbackAddrs_ = std::move(addresses);
}

void TCustomWSocket::SetLocalPort(const std::string& value) {
  if (state_ != wsClosed) return ReportError("Cannot change LocalPort if not closed");
  localPortText_ = value;
  localPortResolved_ = false;
}

TSocketSendFlags TCustomWSocket::SendFlags() const {
  return sendFlags_ == 1 ? wsSendUrgent : wsSendNormal;
}

void TCustomWSocket::SetSendFlags(int value) {
  if (value != wsSendNormal && value != wsSendUrgent) return ReportError("Invalid SendFlags");
  sendFlags_ = value == wsSendUrgent ? MSG_OOB : 0;
}

// ---- State and defaults -------------------------------------------------------------------

void TCustomWSocket::ChangeState(TSocketState newState) {
  const TSocketState oldState = state_;
  state_ = newState;
  if (!destroying_) NotifyChangeState(oldState, newState);
}

void TCustomWSocket::ResetDefaults() {
  handle_ = platform::kInvalidSocket;
  addr_.resolved = false;
  addrFamily_ = AF_INET;
  addr_.assigned = false;
  protoNumber_ = 6;
  proto_.assigned = true;
  proto_.resolved = false;
  localPortResolved_ = false;
  proto_.text = "tcp";
  port_.assigned = false;
  port_.resolved = false;
  localPortText_ = "0";
  localAddr_ = "0.0.0.0";
  socketType_ = SOCK_STREAM;
  lingerOnOff_ = wsLingerOn;
  lingerTimeout_ = 0;
  allSent_ = true;
  readCount_ = 0;
  paused_ = false;
  closeReported_ = false;
  state_ = wsClosed;
  remoteAddress_ = platform::SocketAddress{};
  remotePort_ = 0;
  fallbackAddrs_.clear();
  ForgetAttempts();
}

// ---- Errors ------------------------------------------------------------------------------

void TCustomWSocket::ReportError(const std::string& msg) {
  if (OnError) {
    NotifyError();
    return;
  }
  throw ESocketException(msg);
}

void TCustomWSocket::ReportErrorFmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  ReportError(text);
}

void TCustomWSocket::ReportSocketError(const std::string& functionName) {
  const int code = platform::LastSocketError();
  const std::string text =
      "Error " + std::to_string(code) + " in function " + functionName + "\r\n" + SocketErrorText(code);
  if (code == platform::kWsaECONNRESET || code == platform::kWsaENOTCONN) {
    if (handle_ != platform::kInvalidSocket) SocketCall(platform::CloseSocket, handle_);
    handle_ = platform::kInvalidSocket;
    ChangeState(wsClosed);
  }
  lastError_ = code;
  ReportError(text);
}

void TCustomWSocket::HandleBgException(const std::exception& e) {
  try {
    bool canClose = true;
    if (OnBgException) OnBgException(this, e, canClose);
    if (canClose) Abort();
  } catch (...) {
    // Nothing may escape to the event loop.
  }
}

// ---- Notifications -----------------------------------------------------------------------

bool TCustomWSocket::NotifyDataAvailable(uint16_t error) {
  if (!OnDataAvailable) return false;
  OnDataAvailable(this, error);
  return true;
}

void TCustomWSocket::NotifySessionAvailable(uint16_t error) {
  if (OnSessionAvailable) OnSessionAvailable(this, error);
}

void TCustomWSocket::NotifySessionConnected(uint16_t error) {
  if (OnSessionConnected) OnSessionConnected(this, error);
}

void TCustomWSocket::NotifySessionClosed(uint16_t error) {
  if (OnSessionClosed) OnSessionClosed(this, error);
}

void TCustomWSocket::NotifyDataSent(uint16_t error) {
  if (OnDataSent) OnDataSent(this, error);
}

void TCustomWSocket::NotifyChangeState(TSocketState oldState, TSocketState newState) {
  if (OnChangeState) OnChangeState(this, oldState, newState);
}

void TCustomWSocket::NotifyDnsLookupDone(uint16_t error) {
  if (OnDnsLookupDone) OnDnsLookupDone(this, error);
}

void TCustomWSocket::NotifyError() {
  if (OnError) OnError(this);
}

// ---- Messages ----------------------------------------------------------------------------

void TCustomWSocket::HandleWindowMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  try {
    switch (msg) {
      case WM_ASYNCSELECT: HandleSelect(wParam, lParam); break;
      case WM_ASYNCGETHOSTBYNAME:
      case WM_ASYNCGETHOSTBYADDR: HandleLookupDone(msg, wParam, lParam); break;
      case WM_CLOSE_DELAYED: Close(); break;
      case WM_WSOCKET_RELEASE: DestroyNow(); return;
      case WM_TRIGGER_EXCEPTION: throw ESocketException("Test exception in WSocket");
      default: break;
    }
  } catch (const std::exception& e) {
    HandleBgException(e);
  }
}

void TCustomWSocket::HandleSelect(uintptr_t handle, intptr_t lParam) {
  const unsigned events = platform::SelectEvent(lParam);
  const auto error = static_cast<uint16_t>(platform::SelectError(lParam));
  if (static_cast<platform::SocketHandle>(handle) != handle_) {
    if (events & platform::kFdConnect) HandleEarlierAttempt(static_cast<platform::SocketHandle>(handle), error);
    return;
  }
  if (paused_) return;
  if (events & platform::kFdConnect) {
    if (AttemptEnded(error)) return;  // another address of the host is being tried
    ChangeState(wsConnected);
    NotifySessionConnected(error);
    if (error != 0 && state_ != wsClosed) Close();
  }
  if (events & platform::kFdRead) ReceiveLoop(error);
  if (events & platform::kFdWrite) {
    TryToSend();
    if (SendQueueEmpty()) NotifyDataSent(error);
  }
  if (events & platform::kFdAccept) NotifySessionAvailable(error);
  if ((events & platform::kFdClose) && state_ != wsConnecting) {
    ReceiveLoop(0);
    // A handler that closed the socket on reading the end has had its close reported.
    if (handle_ != static_cast<platform::SocketHandle>(handle)) return;
    if (!closeReported_) {
      closeReported_ = true;
      NotifySessionClosed(error);
    }
    if (state_ != wsClosed) Close();
  }
}

void TCustomWSocket::Release() { sink_.Post(WM_WSOCKET_RELEASE, 0, 0); }

void TCustomWSocket::CloseDelayed() { sink_.Post(WM_CLOSE_DELAYED, 0, 0); }

void TCustomWSocket::DestroyNow() { delete this; }

void TCustomWSocket::PumpMessages() {
  // One thread, one loop: the object's own pump and the application's are the same loop.
  platform::ProcessMessages();
}
