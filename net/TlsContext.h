#pragma once
// The TLS settings one FTP engine shares between its control and its data connections: an
// OpenSSL client context that speaks TLS 1.2 or newer, trusts the system's certificate store
// (and, when given, the certificates of one more PEM file), and keeps the sessions the server
// issues on any of the engine's connections (a TLS 1.2 session, TLS 1.3 tickets), so that
// data connections can resume the control connection's session. Servers may accept a TLS 1.3
// ticket only once: each data connection takes the newest ticket not yet used.
//
// Verification never stops a handshake: its outcome is read afterwards (see TlsWSocket.h), so
// that the user can be asked about a certificate that failed it.
#include <deque>
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

  // The sessions of one server: forgotten when a new control connection starts TLS.
  void KeepSession(TlsSession session);
  TlsSession TakeSession();
  void ForgetSessions() { sessions_.clear(); }

 private:
  TlsContext(SSL_CTX* context, std::string extraTrustFile)
      : context_(context), extraTrustFile_(std::move(extraTrustFile)) {}

  // Enough for the tickets of a connection or two; older ones are dropped.
  static constexpr size_t kKeptSessions = 8;

  SSL_CTX* context_;
  std::string extraTrustFile_;
  std::deque<TlsSession> sessions_;  // newest first
};

// The text of the most recent OpenSSL error of this thread (the queue is emptied), or
// `fallback` when there is none.
std::string TakeOpenSslError(const std::string& fallback);
