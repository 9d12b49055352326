// TCustomTlsWSocket: the handshake, the encrypted reads and writes, and the end of TLS.
#include "net/TlsWSocket.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "platform/SocketErrors.h"

// Defined with the OpenSSL I/O of the connection (TlsBio.cpp).
BIO* NewSocketBio(TCustomTlsWSocket* owner);

namespace {

// A connection offers its owner decrypted bytes at most this many times per event; more
// waiting bytes are offered again from the event loop.
constexpr int kMaxDeliveries = 16;
constexpr int kDiscardChunk = 16 * 1024;

bool UnexpectedEnd() {
  const unsigned long error = ERR_peek_error();
  return ERR_GET_LIB(error) == ERR_LIB_SSL && ERR_GET_REASON(error) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
}

}  // namespace

TCustomTlsWSocket::TCustomTlsWSocket() = default;

TCustomTlsWSocket::~TCustomTlsWSocket() { EndTls(); }

void TCustomTlsWSocket::ResetDefaults() {
  EndTls();
  TCustomSocksWSocket::ResetDefaults();
}

void TCustomTlsWSocket::EndTls() {
  if (ssl_ != nullptr) SSL_free(ssl_);
  ssl_ = nullptr;
  state_ = TlsState::Off;
  context_.reset();
  outgoing_.clear();
  failure_ = 0;
  closedByPeer_ = false;
  paused_ = false;
}

// ---- The handshake ------------------------------------------------------------------------

void TCustomTlsWSocket::StartTls(std::shared_ptr<TlsContext> context, const std::string& peerName, TlsSession resume) {
  if (State() != wsConnected) return ReportError("StartTls: socket is not connected");
  if (ssl_ != nullptr) return ReportError("StartTls: TLS already started");
  tlsError_.clear();
  context_ = std::move(context);
  peerName_ = peerName;
  state_ = TlsState::Handshake;
  ssl_ = SSL_new(context_->Get());
  BIO* bio = ssl_ != nullptr ? NewSocketBio(this) : nullptr;
  if (bio == nullptr) {
    tlsError_ = TakeOpenSslError("cannot start TLS");
    Sink().Post(WM_TLS_HANDSHAKE_DONE, 0, kTlsHandshakeFailed);
    return;
  }
  SSL_set_bio(ssl_, bio, bio);
  SSL_set_connect_state(ssl_);
  // The name the certificate must carry: an address, or a host name (also sent as SNI).
  X509_VERIFY_PARAM* param = SSL_get0_param(ssl_);
  if (X509_VERIFY_PARAM_set1_ip_asc(param, peerName.c_str()) != 1) {
    ERR_clear_error();
    SSL_set_tlsext_host_name(ssl_, peerName.c_str());
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    X509_VERIFY_PARAM_set1_host(param, peerName.c_str(), 0);
  }
  if (SSL_SESSION* copy = resume ? SSL_SESSION_dup(resume.get()) : nullptr) {
    SSL_set_session(ssl_, copy);
    SSL_SESSION_free(copy);  // the connection holds its own reference
  }
  // The first round sends the client's hello, and may find the whole answer already there
  // when the process was held up meanwhile; whatever its outcome, it is reported from the loop.
  if (const int step = HandshakeStep(); step != 0)
    Sink().Post(WM_TLS_HANDSHAKE_DONE, 0, step > 0 ? 0 : kTlsHandshakeFailed);
}

int TCustomTlsWSocket::HandshakeStep() {
  if (ssl_ == nullptr) return -1;
  const int result = SSL_do_handshake(ssl_);
  const int reason = result == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
  if (reason != SSL_ERROR_NONE && reason != SSL_ERROR_WANT_READ)
    tlsError_ = TakeOpenSslError(reason == SSL_ERROR_SYSCALL ? "the server closed the connection during the TLS handshake"
                                                             : "TLS handshake failed");
  FlushCiphertext();
  if (ssl_ == nullptr) return 0;  // the connection closed on sending; its close was reported
  switch (reason) {
    case SSL_ERROR_NONE: return 1;
    case SSL_ERROR_WANT_READ: return 0;
    default: return -1;
  }
}

void TCustomTlsWSocket::ContinueHandshake() {
  const int step = HandshakeStep();
  if (step != 0) FinishHandshake(step > 0 ? 0 : kTlsHandshakeFailed);
}

// The handshake counts as ended, and decrypted bytes reach the owner, only once OnTlsDone
// told the owner: it decides about the certificate before it reads anything.
void TCustomTlsWSocket::FinishHandshake(uint16_t error) {
  if (state_ != TlsState::Handshake) return;  // reported already
  state_ = error == 0 ? TlsState::Established : TlsState::Failed;
  if (OnTlsDone) OnTlsDone(this, error);
  // Records that came with the end of the handshake are not announced by the socket again.
  if (error == 0 && TlsEstablished() && !paused_ && PlaintextWaits()) Sink().Post(WM_TLS_DELIVER, 0, 0);
}

// ---- Reading ------------------------------------------------------------------------------

bool TCustomTlsWSocket::NotifyDataAvailable(uint16_t error) {
  switch (state_) {
    case TlsState::Off: return TCustomSocksWSocket::NotifyDataAvailable(error);
    case TlsState::Handshake: ContinueHandshake(); return true;
    case TlsState::Established: return DeliverPlaintext(error);
    case TlsState::Failed: {
      char discard[kDiscardChunk];  // nothing of a failed connection reaches the owner
      TCustomSocksWSocket::ReceiveRaw(discard, sizeof discard, 0);
      return true;
    }
  }
  return true;
}

// Offers decrypted bytes while the owner takes them: the socket announces only what it still
// holds itself, not what already moved into the TLS layer.
bool TCustomTlsWSocket::DeliverPlaintext(uint16_t error) {
  for (int round = 0; round < kMaxDeliveries; ++round) {
    const uint64_t before = plaintextServed_;
    if (!TCustomSocksWSocket::NotifyDataAvailable(error)) {
      DiscardPlaintext();
      return true;
    }
    if (!TlsEstablished() || paused_ || plaintextServed_ == before || !PlaintextWaits()) return true;
  }
  if (TlsEstablished() && !paused_ && PlaintextWaits()) Sink().Post(WM_TLS_DELIVER, 0, 0);
  return true;
}

bool TCustomTlsWSocket::PlaintextWaits() const { return ssl_ != nullptr && SSL_has_pending(ssl_) == 1; }

void TCustomTlsWSocket::DiscardPlaintext() {
  char discard[kDiscardChunk];
  while (TlsEstablished() && ReceiveRaw(discard, sizeof discard, 0) > 0) {
  }
}

int TCustomTlsWSocket::ReceiveRaw(void* buffer, int len, int flags) {
  if (state_ == TlsState::Off) return TCustomSocksWSocket::ReceiveRaw(buffer, len, flags);
  if (state_ != TlsState::Established || len <= 0) {
    platform::SetLastSocketError(platform::kWsaEWOULDBLOCK);
    return -1;
  }
  auto* out = static_cast<char*>(buffer);
  size_t total = 0;
  int reason = SSL_ERROR_NONE;
  while (total < static_cast<size_t>(len)) {
    size_t count = 0;
    if (SSL_read_ex(ssl_, out + total, static_cast<size_t>(len) - total, &count) == 1) {
      total += count;
      continue;
    }
    reason = SSL_get_error(ssl_, 0);
    break;
  }
  // The server's TLS close is answered with ours: a server may wait for it before it closes.
  if (reason == SSL_ERROR_ZERO_RETURN) closedByPeer_ = true;
  if (reason == SSL_ERROR_ZERO_RETURN && (SSL_get_shutdown(ssl_) & SSL_SENT_SHUTDOWN) == 0) SSL_shutdown(ssl_);
  FlushCiphertext();  // what reading made OpenSSL send (that close, a key update)
  if (reason == SSL_ERROR_SSL && UnexpectedEnd()) {
    // The server ended the connection without its TLS close: the end of the data all the
    // same, as the transfer's own reply tells whether all of it came.
    ERR_clear_error();
    reason = SSL_ERROR_ZERO_RETURN;
  } else if (reason != SSL_ERROR_NONE && reason != SSL_ERROR_WANT_READ && reason != SSL_ERROR_ZERO_RETURN) {
    FailConnection(TakeOpenSslError("TLS receive error"));
  }
  if (total > 0) {
    plaintextServed_ += total;
    return static_cast<int>(total);
  }
  if (reason == SSL_ERROR_ZERO_RETURN) return 0;
  platform::SetLastSocketError(reason == SSL_ERROR_WANT_READ ? platform::kWsaEWOULDBLOCK : kTlsConnectionFailed);
  return -1;
}

int TCustomTlsWSocket::ReadCiphertext(char* buffer, int len) { return TCustomSocksWSocket::ReceiveRaw(buffer, len, 0); }

int32_t TCustomTlsWSocket::GetRcvdCount() {
  if (state_ == TlsState::Off) return TCustomSocksWSocket::GetRcvdCount();
  if (!TlsEstablished()) return 0;
  const int pending = SSL_pending(ssl_);
  return pending > 0 ? pending : TCustomSocksWSocket::GetRcvdCount();
}

// ---- Writing ------------------------------------------------------------------------------

int TCustomTlsWSocket::Send(const void* data, int len) {
  if (state_ == TlsState::Off) return TCustomSocksWSocket::Send(data, len);
  if (!TlsEstablished()) {
    ReportError("Send: TLS handshake not finished");
    return -1;
  }
  size_t written = 0;
  if (len > 0 && SSL_write_ex(ssl_, data, static_cast<size_t>(len), &written) != 1) {
    FailConnection(TakeOpenSslError("TLS send error"));
    return -1;
  }
  return QueueRecords() < 0 ? -1 : len;
}

// What the system did not take of the records goes into the send queue, even nothing: the
// queue then reports OnDataSent once all is sent.
int TCustomTlsWSocket::QueueRecords() {
  const std::string records = std::move(outgoing_);
  outgoing_.clear();
  return TCustomSocksWSocket::Send(records.data(), static_cast<int>(records.size()));
}

// Records go straight to the system while nothing waits before them, as the socket's own
// sends would; only what the system does not take now is kept, for the send queue.
void TCustomTlsWSocket::QueueCiphertext(const char* data, int len) {
  if (outgoing_.empty() && SendQueueBytes() == 0 && State() == wsConnected) {
    const int sent = SendRaw(data, len);
    if (sent > 0) {
      data += sent;
      len -= sent;
    }
  }
  outgoing_.append(data, static_cast<size_t>(len));
}

void TCustomTlsWSocket::FlushCiphertext() {
  if (outgoing_.empty()) return;
  const std::string records = std::move(outgoing_);
  outgoing_.clear();
  if (State() == wsConnected) TCustomSocksWSocket::Send(records.data(), static_cast<int>(records.size()));
}

void TCustomTlsWSocket::ShutdownTls() {
  if (!TlsEstablished()) return;
  SSL_shutdown(ssl_);
  ERR_clear_error();
  QueueRecords();
}

// ---- Failures and the end -----------------------------------------------------------------

// The connection cannot go on; it closes from the loop with the failure as its error.
void TCustomTlsWSocket::FailConnection(const std::string& what) {
  tlsError_ = what;
  state_ = TlsState::Failed;
  failure_ = kTlsConnectionFailed;
  Sink().Post(WM_TLS_FAILED, 0, 0);
}

void TCustomTlsWSocket::NotifySessionClosed(uint16_t error) {
  if (closedByPeer_ && failure_ == 0 && (error == platform::kWsaECONNRESET || error == platform::kWsaECONNABORTED))
    error = 0;
  TCustomSocksWSocket::NotifySessionClosed(error == 0 && failure_ != 0 ? failure_ : error);
}

void TCustomTlsWSocket::Pause() {
  paused_ = true;
  TCustomSocksWSocket::Pause();
}

void TCustomTlsWSocket::Resume() {
  paused_ = false;
  TCustomSocksWSocket::Resume();
  if (TlsEstablished() && PlaintextWaits()) Sink().Post(WM_TLS_DELIVER, 0, 0);
}

void TCustomTlsWSocket::HandleWindowMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  try {
    switch (msg) {
      case WM_TLS_DELIVER:
        if (TlsEstablished() && !paused_ && PlaintextWaits()) DeliverPlaintext(0);
        return;
      case WM_TLS_FAILED:
        if (failure_ != 0 && State() != wsClosed) CloseConnection(true, failure_);
        return;
      case WM_TLS_HANDSHAKE_DONE: FinishHandshake(static_cast<uint16_t>(lParam)); return;
      default: break;
    }
  } catch (const std::exception& e) {
    return HandleBgException(e);
  }
  TCustomSocksWSocket::HandleWindowMessage(msg, wParam, lParam);
}

// ---- What the connection is ---------------------------------------------------------------

std::string TCustomTlsWSocket::TlsVersion() const { return TlsEstablished() ? SSL_get_version(ssl_) : ""; }

std::string TCustomTlsWSocket::TlsCipher() const { return TlsEstablished() ? SSL_get_cipher_name(ssl_) : ""; }

bool TCustomTlsWSocket::TlsSessionReused() const { return TlsEstablished() && SSL_session_reused(ssl_) == 1; }

std::optional<TlsCertificateFacts> TCustomTlsWSocket::PeerCertificate() const {
  if (!TlsEstablished()) return std::nullopt;
  X509* certificate = SSL_get0_peer_certificate(ssl_);
  if (certificate == nullptr) return std::nullopt;
  TlsCertificateFacts facts = DescribeCertificate(certificate);
  facts.hostName = peerName_;
  const long result = SSL_get_verify_result(ssl_);
  facts.verified = result == X509_V_OK;
  if (!facts.verified) facts.problem = X509_verify_cert_error_string(result);
  return facts;
}

TlsSession TCustomTlsWSocket::CurrentTlsSession() const {
  if (!TlsEstablished()) return nullptr;
  SSL_SESSION* session = SSL_get1_session(ssl_);
  return session != nullptr ? TlsSession(session, SSL_SESSION_free) : nullptr;
}
