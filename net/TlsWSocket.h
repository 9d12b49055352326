#pragma once
// TCustomTlsWSocket: TLS over the connection, above the SOCKS layer (a relay is negotiated in
// the clear first) and below the line layer. Inert until StartTls is called on a connected
// socket; a close ends TLS, and the next connection is plain again.
//
//   socket.OnTlsDone = [](TCustomWSocket*, uint16_t error) { ... };
//   socket.StartTls(context, "ftp.example.org");          // the socket is connected
//
// StartTls starts the client handshake and returns at once; OnTlsDone(Error) fires from the
// event loop when it ended: 0, or kTlsHandshakeFailed with TlsErrorText() saying why. The
// certificate is verified against the context's trust store and `peerName` (a host name or
// an address), but a failed verification does not fail the handshake: PeerCertificate()
// tells the outcome, and the owner decides. While the handshake runs, the layer reads the
// connection itself; OnDataAvailable stays silent, and Send is refused.
//
// Once established, Send encrypts (each call queues the records of its bytes at once, so
// OnDataSent keeps its meaning: everything handed to Send went to the system), and Receive
// returns decrypted bytes. OnDataAvailable is repeated while decrypted bytes wait in the
// layer, even when the socket itself has nothing more to read, and again after Resume.
// HoldsReceivedData() is true: the bytes on the wire are not the data.
//
// A connection the server ends with its TLS close gives Receive 0, as a plain close does, and
// closes without an error even when the server then resets it (it may not wait for our TLS
// close, and its system answers that with a reset): nothing it sent was lost. A
// broken TLS record, or another failure of an established connection, makes Receive fail
// (LastError kTlsConnectionFailed) and closes the connection with that error.
//
// ShutdownTls() sends the TLS close (close_notify), which tells the server that every byte
// it was sent arrived; it goes out with the bytes queued before it (OnDataSent follows).
// Data connections resume the control connection's session: pass StartTls the session the
// context kept (TlsContext::NewestSession), or the control connection's CurrentTlsSession().
// The connection resumes a copy: OpenSSL takes a TLS 1.3 session it resumed as used up, while
// a server may well accept it again (vsftpd and proftpd insist on it for every data
// connection, and issue new tickets only where they send data).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/SocksWSocket.h"
#include "net/TlsCertificate.h"
#include "net/TlsContext.h"

// The codes of TLS failures, beside the socket (10004..11004) and SOCKS (20001..) codes.
inline constexpr uint16_t kTlsHandshakeFailed = 21001;
inline constexpr uint16_t kTlsConnectionFailed = 21002;
// The owner refused the server's certificate (the layer itself never refuses one).
inline constexpr uint16_t kTlsCertificateRejected = 21003;

using TTlsDone = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;

class TCustomTlsWSocket : public TCustomSocksWSocket {
 public:
  TCustomTlsWSocket();
  ~TCustomTlsWSocket() override;

  void StartTls(std::shared_ptr<TlsContext> context, const std::string& peerName, TlsSession resume = nullptr);
  void ShutdownTls();

  // TLS was started on this connection (and it has not closed since).
  bool TlsActive() const { return ssl_ != nullptr; }
  bool TlsEstablished() const { return state_ == TlsState::Established; }
  // "TLSv1.3", "TLS_AES_256_GCM_SHA384"; empty while not established.
  std::string TlsVersion() const;
  std::string TlsCipher() const;
  bool TlsSessionReused() const;
  // The server's certificate with the outcome of its verification; none before the handshake
  // ended, or when the server sent none.
  std::optional<TlsCertificateFacts> PeerCertificate() const;
  // The session of this connection (of TLS 1.2: resumable elsewhere as it is).
  TlsSession CurrentTlsSession() const;
  const std::string& TlsErrorText() const { return tlsError_; }

  TTlsDone OnTlsDone;

  int Send(const void* data, int len) override;
  int32_t GetRcvdCount() override;
  bool HoldsReceivedData() const override { return ssl_ != nullptr || TCustomSocksWSocket::HoldsReceivedData(); }
  void Pause() override;
  void Resume() override;

 protected:
  void ResetDefaults() override;
  int ReceiveRaw(void* buffer, int len, int flags) override;
  bool NotifyDataAvailable(uint16_t error) override;
  void NotifySessionClosed(uint16_t error) override;
  void HandleWindowMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

 private:
  friend struct TlsBio;  // the OpenSSL I/O of the connection (TlsBio.cpp)

  enum class TlsState { Off, Handshake, Established, Failed };

  // One round of the handshake: 1 when it ended well, 0 while it waits for the server, -1
  // when it failed. The state changes only when the end is reported (FinishHandshake).
  int HandshakeStep();
  void ContinueHandshake();
  void FinishHandshake(uint16_t error);
  bool DeliverPlaintext(uint16_t error);
  bool PlaintextWaits() const;
  void DiscardPlaintext();
  int ReadCiphertext(char* buffer, int len);
  void QueueCiphertext(const char* data, int len);
  void FlushCiphertext();
  int QueueRecords();
  void FailConnection(const std::string& what);
  void EndTls();

  std::shared_ptr<TlsContext> context_;
  SSL* ssl_ = nullptr;
  TlsState state_ = TlsState::Off;
  std::string peerName_;
  bool paused_ = false;
  uint16_t failure_ = 0;          // the error the connection ended with, for OnSessionClosed
  bool closedByPeer_ = false;     // the server's TLS close came: every byte it sent is here
  std::string outgoing_;          // records written by OpenSSL, not yet queued for sending
  uint64_t plaintextServed_ = 0;  // decrypted bytes handed to the owner
  std::string tlsError_;
};
