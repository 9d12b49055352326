#pragma once
// A TLS server for one connection, on its own thread, with blocking calls: `behave` gets the
// accepted socket and an OpenSSL server object bound to it, carrying the test CA's "good"
// certificate for 127.0.0.1. The behaviour decides whether and how the handshake is done, so
// a test can also play a server that never speaks TLS. The destructor waits for the thread.
#include <openssl/ssl.h>

#include <csignal>
#include <functional>
#include <thread>

#include "support/loopback/LoopbackSocket.h"
#include "support/peers/TestCertificates.h"

namespace testsupport {

class TlsThreadServer {
 public:
  using Behaviour = std::function<void(LoopbackSocket&, SSL*)>;

  explicit TlsThreadServer(Behaviour behave) : listener_(LoopbackSocket::Listen()), behave_(std::move(behave)) {
    std::signal(SIGPIPE, SIG_IGN);  // OpenSSL writes its alerts with plain write()
    const auto& certificate = TestCertificates::Shared().Get(CertificateKind::Good);
    context_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_chain_file(context_, certificate.certificate.c_str());
    SSL_CTX_use_PrivateKey_file(context_, certificate.key.c_str(), SSL_FILETYPE_PEM);
    thread_ = std::thread([this] { Serve(); });
  }
  ~TlsThreadServer() {
    thread_.join();
    SSL_CTX_free(context_);
  }
  TlsThreadServer(const TlsThreadServer&) = delete;
  TlsThreadServer& operator=(const TlsThreadServer&) = delete;

  uint16_t Port() const { return listener_.LocalPort(); }

 private:
  void Serve() {
    LoopbackSocket connection = listener_.Accept(Millis(5000));
    if (!connection.Valid()) return;
    SSL* ssl = SSL_new(context_);
    SSL_set_fd(ssl, connection.Fd());
    behave_(connection, ssl);
    SSL_free(ssl);
  }

  LoopbackSocket listener_;
  Behaviour behave_;
  SSL_CTX* context_ = nullptr;
  std::thread thread_;
};

}  // namespace testsupport
