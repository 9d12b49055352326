// The OpenSSL I/O of a TLS connection: records go through the layers below (the SOCKS
// layer's bytes first, then the socket) and out through the socket's send queue, so the
// connection is driven by the same readiness events as a plain one.
#include <openssl/bio.h>

#include "net/TlsWSocket.h"
#include "platform/SocketErrors.h"

struct TlsBio {
  static TCustomTlsWSocket* Owner(BIO* bio) { return static_cast<TCustomTlsWSocket*>(BIO_get_data(bio)); }

  static int Read(BIO* bio, char* buffer, int len) {
    BIO_clear_retry_flags(bio);
    const int count = Owner(bio)->ReadCiphertext(buffer, len);
    if (count < 0 && platform::LastSocketError() == platform::kWsaEWOULDBLOCK) BIO_set_retry_read(bio);
    return count;
  }

  static int Write(BIO* bio, const char* data, int len) {
    BIO_clear_retry_flags(bio);
    Owner(bio)->QueueCiphertext(data, len);
    return len;
  }

  static long Control(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

  static const BIO_METHOD* Method() {
    static BIO_METHOD* const method = [] {
      BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "marlo socket");
      BIO_meth_set_read(m, Read);
      BIO_meth_set_write(m, Write);
      BIO_meth_set_ctrl(m, Control);
      return m;
    }();
    return method;
  }
};

BIO* NewSocketBio(TCustomTlsWSocket* owner) {
  BIO* bio = BIO_new(TlsBio::Method());
  if (bio == nullptr) return nullptr;
  BIO_set_data(bio, owner);
  BIO_set_init(bio, 1);
  return bio;
}
