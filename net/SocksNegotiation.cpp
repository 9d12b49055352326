// TCustomSocksWSocket: the SOCKS exchange itself, one handler per reply.
#include "net/SocksWSocket.h"
#include "net/WSocketResolve.h"

namespace {

constexpr uint8_t kSocks5Version = 5;
constexpr uint8_t kSocks4ReplyVersion = 0;
constexpr uint8_t kAuthVersion = 1;
constexpr uint8_t kAddressIPv4 = 1;
constexpr uint8_t kAddressDomain = 3;
constexpr uint8_t kAddressIPv6 = 4;
constexpr int kSocks5ReplyHead = 5;  // enough to know the length of the whole reply

const SocksFailure kVersionError{kSocksVersionError, "socks version error"};
const SocksFailure kAuthFailure{kSocksAuthenticationFailed, "socks authentication failed"};

// The length of a SOCKS 5 connect reply from its first five bytes.
int Socks5ReplyLength(const uint8_t* reply) {
  switch (reply[3]) {
    case kAddressIPv4: return 10;
    case kAddressDomain: return 7 + reply[4];
    case kAddressIPv6: return 22;
    default: return kSocks5ReplyHead;
  }
}

}  // namespace

// ---- Requests -----------------------------------------------------------------------------

// With a login, "none" is offered beside it: a server that needs no login would otherwise
// have no method to choose, and refuse.
void TCustomSocksWSocket::SendMethodSelection() {
  loginOffered_ = socksAuthentication_ == socksAuthenticateUsercode;
  SendRequest(Socks5MethodSelection(loginOffered_));
}

void TCustomSocksWSocket::SendCredentials() {
  socksState_ = socksSubNegotiation;
  NotifySocksAuthState(socksAuthStarting);
  SendRequest(Socks5Credentials(socksUsercode_, socksPassword_));
}

void TCustomSocksWSocket::SendConnectRequest() {
  socksState_ = socksConnectRequest;
  if (socksLevel_ == "4A")
    SendRequest(Socks4AConnectRequest(destinationPort_, socksUsercode_, Addr()));
  else if (Level4())
    SendSocks4Request();
  else
    SendRequest(Socks5ConnectRequest(Addr(), destinationPort_));
}

void TCustomSocksWSocket::SendSocks4Request() {
  uint32_t address = 0;
  try {
    address = WSocketResolveHost(Addr());
  } catch (const ESocketException& e) {
    NotifySocksError(kSocksHostResolutionFailed, std::string("ESocketException ") + e.what());
    socksState_ = socksIdle;
    return CloseConnection(true, kSocksHostResolutionFailed);
  }
  SendRequest(Socks4ConnectRequest(destinationPort_, address, socksUsercode_));
}

void TCustomSocksWSocket::SendRequest(const std::optional<std::string>& request) {
  if (State() != wsConnected) return;  // an event handler closed the socket meanwhile
  if (!request) return Fail({kSocksRequestTooLong, "socks request too long"});
  Send(request->data(), static_cast<int>(request->size()));
}

// ---- Replies ------------------------------------------------------------------------------

// Appends what the server sent to the reply buffer, up to `limit` bytes held; false when the
// read failed (nothing to judge yet).
bool TCustomSocksWSocket::ReadReply(int limit) {
  const int count = TCustomWSocket::ReceiveRaw(reply_.data() + replyCount_, limit - replyCount_, 0);
  if (count < 0) return false;
  replyCount_ += count;
  return true;
}

void TCustomSocksWSocket::ReceiveMethodReply() {
  if (!ReadReply(kReplyCapacity)) return;
  if (Level4()) return Fail({kSocksProtocolError, "TWSocket logic error"});
  if (replyCount_ < 2) return;
  replyCount_ = 0;
  if (reply_[0] != kSocks5Version) return Fail(kVersionError);
  switch (reply_[1]) {
    case kSocks5NoAuthentication:
      if (loginOffered_) NotifySocksAuthState(socksAuthNotNeeded);
      return SendConnectRequest();
    case kSocks5UserPassword: return SendCredentials();
    default: return Fail({kSocksAuthMethodError, "authentification method not acceptable"});
  }
}

void TCustomSocksWSocket::ReceiveAuthReply() {
  if (!ReadReply(kReplyCapacity)) return;
  if (replyCount_ >= 1 && reply_[0] != kAuthVersion) return Fail(kVersionError);
  if (replyCount_ < 2) return;
  if (replyCount_ > 2) return Fail({kSocksProtocolError, "too much data availaible"});
  // A refused login is told by OnSocksError alone; socksAuthFailed belongs to a server that
  // hangs up while the login runs.
  if (reply_[1] != 0) return Fail(kAuthFailure);
  replyCount_ = 0;
  NotifySocksAuthState(socksAuthSucceeded);
  SendConnectRequest();
}

void TCustomSocksWSocket::ReceiveSocks4Reply() {
  if (!ReadReply(kSocks4ReplyLength) || replyCount_ < kSocks4ReplyLength) return;
  if (reply_[0] != kSocks4ReplyVersion) return Fail(kVersionError);
  if (const auto failure = Socks4ReplyFailure(reply_[1])) return Fail(*failure);
  Succeed(kSocks4ReplyLength);
}

void TCustomSocksWSocket::ReceiveSocks5Reply() {
  if (!ReadReply(kReplyCapacity)) return;
  if (replyCount_ >= 1 && reply_[0] != kSocks5Version) return Fail(kVersionError);
  if (replyCount_ >= 2 && reply_[1] != 0) return Fail(Socks5ReplyFailure(reply_[1]));
  if (replyCount_ < kSocks5ReplyHead) return;
  const int length = Socks5ReplyLength(reply_.data());
  if (replyCount_ < length) return;
  if (reply_[3] != kAddressIPv4 && reply_[3] != kAddressDomain && reply_[3] != kAddressIPv6)
    return Fail({kSocksAddressTypeError, "address type not supported"});
  Succeed(length);
}

// ---- Outcomes -----------------------------------------------------------------------------

void TCustomSocksWSocket::Succeed(int replyLength) {
  leftoverPosition_ = replyLength;
  leftoverCount_ = replyCount_ - replyLength;
  replyCount_ = 0;
  socksState_ = socksIdle;
  TCustomWSocket::NotifySessionConnected(0);
  DeliverLeftover();
}

// Announces data at least once, and again while bytes of the reply buffer remain and the
// owner keeps reading them: no socket readiness will ever announce these bytes.
void TCustomSocksWSocket::DeliverLeftover() {
  for (;;) {
    if (State() != wsConnected) return;
    const int before = leftoverCount_;
    if (!NotifyDataAvailable(0)) leftoverCount_ = 0;  // nobody reads: dropped like unread socket data
    if (leftoverCount_ == 0 || leftoverCount_ == before) return;
  }
}

void TCustomSocksWSocket::Fail(const SocksFailure& failure) {
  ReportFailure(failure);
  CloseConnection(true, static_cast<uint16_t>(failure.code));
}

// The server closed before its final reply. The owner hears of it as of any other refusal
// (an owner waiting for OnSessionConnected would otherwise never learn the attempt failed);
// the socket itself closes after this, as for every peer close.
void TCustomSocksWSocket::FailOnHangUp() {
  const SocksFailure failure =
      socksState_ == socksSubNegotiation ? kAuthFailure : SocksFailure{kSocksRejectedOrFailed, "request rejected or failed"};
  ReportFailure(failure);
  TCustomWSocket::NotifySessionClosed(static_cast<uint16_t>(failure.code));
}

void TCustomSocksWSocket::ReportFailure(const SocksFailure& failure) {
  NotifySocksError(failure.code, failure.text);
  socksState_ = socksIdle;
  TCustomWSocket::NotifySessionConnected(static_cast<uint16_t>(failure.code));
}
