#pragma once
// The TLS settings one FTP engine shares between its control and its data connections: an
// OpenSSL client context that speaks TLS 1.2 or newer, trusts the system's certificate store
// (and, when given, the certificates of one more PEM file), and keeps the newest session the
// server issued on any of the engine's connections (a TLS 1.2 session, a TLS 1.3 ticket), so
// that data connections can resume the control connection's session.
//
// Verification never stops a handshake: its outcome is read afterwards (see TlsWSocket.h), so
// that the user can be asked about a certificate that failed it.
#include <memory>
#include <string>

// OpenSSL's own declarations of its types, so that users of this header need not include it.
typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_session_st SSL_SESSION;

// A session a server issued, for resuming it on another connection.
using TlsSession = std::shared_ptr<SSL_SESSION>;

class TlsContext {
 public:
  // A context, or nullptr with `error` saying why (an unreadable trust file, ...).
  static std::shared_ptr<TlsContext> Create(const std::string& extraTrustFile, std::string& error);
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  SSL_CTX* Get() const { return context_; }
  const std::string& ExtraTrustFile() const { return extraTrustFile_; }

  // The session of one server: forgotten when a new control connection starts TLS.
  void KeepSession(TlsSession session) { newestSession_ = std::move(session); }
  const TlsSession& NewestSession() const { return newestSession_; }
  void ForgetSessions() { newestSession_.reset(); }

 private:
  TlsContext(SSL_CTX* context, std::string extraTrustFile)
      : context_(context), extraTrustFile_(std::move(extraTrustFile)) {}

  SSL_CTX* context_;
  std::string extraTrustFile_;
  TlsSession newestSession_;
};

// The text of the most recent OpenSSL error of this thread (the queue is emptied), or
// `fallback` when there is none.
std::string TakeOpenSslError(const std::string& fallback);
