#include "net/TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

namespace {

// Four records of the largest size, with their headers: fewer reads of the socket.
constexpr size_t kReadBufferSize = 4 * (16 * 1024 + 512);

// Servers issue sessions after the handshake (TLS 1.3 tickets arrive with the first records).
int KeepNewSession(SSL* ssl, SSL_SESSION* session) {
  auto* context = static_cast<TlsContext*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
  if (context == nullptr || SSL_SESSION_is_resumable(session) != 1) return 0;
  context->KeepSession(TlsSession(session, SSL_SESSION_free));
  return 1;  // the session is ours now
}

}  // namespace

std::shared_ptr<TlsContext> TlsContext::Create(const std::string& extraTrustFile, std::string& error) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (context == nullptr) {
    error = TakeOpenSslError("cannot create a TLS context");
    return nullptr;
  }
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_NONE, nullptr);
  // Records are read several at a time, not header and body apart.
  SSL_CTX_set_read_ahead(context, 1);
  SSL_CTX_set_default_read_buffer_len(context, kReadBufferSize);
  SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
  SSL_CTX_sess_set_new_cb(context, KeepNewSession);
  if (SSL_CTX_set_default_verify_paths(context) != 1) ERR_clear_error();  // no system store: nothing verifies
  if (!extraTrustFile.empty() && SSL_CTX_load_verify_locations(context, extraTrustFile.c_str(), nullptr) != 1) {
    error = TakeOpenSslError("cannot read the trusted certificates of " + extraTrustFile);
    SSL_CTX_free(context);
    return nullptr;
  }
  std::shared_ptr<TlsContext> made(new TlsContext(context, extraTrustFile));
  SSL_CTX_set_app_data(context, made.get());
  return made;
}

TlsContext::~TlsContext() { SSL_CTX_free(context_); }


std::string TakeOpenSslError(const std::string& fallback) {
  unsigned long last = 0;
  while (const unsigned long code = ERR_get_error()) last = code;
  if (last == 0) return fallback;
  char text[256];
  ERR_error_string_n(last, text, sizeof text);
  return text;
}
