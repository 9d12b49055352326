#pragma once
// TCustomSocksWSocket: reaches the destination Addr:Port through a SOCKS 4, 4A or 5 server.
//
// Inert while SocksServer is empty. With a server assigned, Connect dials SocksServer:
// SocksPort instead, runs the SOCKS exchange over the new connection (State is wsConnected
// throughout) and only then fires OnSessionConnected(0); from there on the connection
// carries plain data. Bytes the server sent right behind its final reply are read before any
// newer socket data, and are announced through OnDataAvailable right after
// OnSessionConnected(0).
//
// A failed negotiation fires OnSocksError(Code, Text), OnSessionConnected(Code), closes,
// then OnSessionClosed(Code); Code is one of 20001..20017 (SocksMessages.h). A server that
// hangs up before its final reply counts as such a failure too (20015 while logging in,
// otherwise 20016). When SOCKS 4 cannot resolve Addr, the socket closes with 20017 and
// OnSessionConnected does not fire.
//
// Every close clears SocksServer and SocksPort and sets SocksLevel back to "5": set them
// again before each Connect through SOCKS (writing the value a property holds is allowed in
// any state). SocksUsercode, SocksPassword and SocksAuthentication survive closes. With
// socksAuthenticateUsercode, SOCKS 5 offers "no authentication" beside user name/password
// and logs in only when the server asks for it. The SOCKS 5 request names the destination by
// its Addr text; SOCKS 4 resolves Addr here, SOCKS 4A lets the server resolve it. Requests
// are built at their exact size; a SOCKS 5 name, user name or password over 255 bytes fails
// with 20014 "socks request too long". No listening and no other protocol than TCP through
// a SOCKS server.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "net/CustomWSocket.h"
#include "net/SocksMessages.h"

enum TSocksState : uint8_t {
  socksIdle = 0,
  socksMethodSelection = 1,
  socksSubNegotiation = 2,
  socksConnectRequest = 3,
};

enum TSocksAuthentication : uint8_t { socksNoAuthentication = 0, socksAuthenticateUsercode = 1 };

enum TSocksAuthState : uint8_t {
  socksAuthStarting = 0,
  socksAuthSucceeded = 1,
  socksAuthFailed = 2,
  socksAuthNotNeeded = 3,
};

using TSocksErrorEvent = std::function<void(TCustomWSocket* Sender, int32_t Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TCustomWSocket* Sender, TSocksAuthState AuthState)>;

class TCustomSocksWSocket : public TCustomWSocket {
 public:
  // ---- Properties (the server, port and level may change only while wsClosed) -------------
  const std::string& SocksServer() const { return socksServer_; }
  virtual void SetSocksServer(const std::string& value);
  const std::string& SocksPort() const { return socksPort_; }
  virtual void SetSocksPort(const std::string& value);
  // "4", "4A" or "5"; "4a" is stored as "4A".
  const std::string& SocksLevel() const { return socksLevel_; }
  void SetSocksLevel(const std::string& value);
  // The SOCKS 4 user ID, or the SOCKS 5 user name.
  const std::string& SocksUsercode() const { return socksUsercode_; }
  void SetSocksUsercode(const std::string& value) { socksUsercode_ = value; }
  const std::string& SocksPassword() const { return socksPassword_; }
  void SetSocksPassword(const std::string& value) { socksPassword_ = value; }
  TSocksAuthentication SocksAuthentication() const { return socksAuthentication_; }
  void SetSocksAuthentication(TSocksAuthentication value) { socksAuthentication_ = value; }
  TSocksState SocksState() const { return socksState_; }

  // ---- Events ------------------------------------------------------------------------------
  TSocksErrorEvent OnSocksError;
  // The TCP connection to the SOCKS server was made (Error 0) or failed.
  TSessionConnected OnSocksConnected;
  TSocksAuthStateEvent OnSocksAuthState;

  void Connect() override;
  void Listen() override;
  int32_t GetRcvdCount() override;
  bool HoldsReceivedData() const override { return leftoverCount_ > 0 || TCustomWSocket::HoldsReceivedData(); }

 protected:
  void ResetDefaults() override;
  int ReceiveRaw(void* buffer, int len, int flags) override;
  bool NotifyDataAvailable(uint16_t error) override;
  void NotifySessionConnected(uint16_t error) override;
  void NotifySessionClosed(uint16_t error) override;
  virtual void NotifySocksConnected(uint16_t error);
  virtual void NotifySocksError(int32_t error, const std::string& msg);

 private:
  // The longest SOCKS 5 reply: 4 bytes, a name of up to 255 bytes with its length, a port.
  static constexpr int kReplyCapacity = 262;
  static constexpr int kSocks4ReplyLength = 8;

  bool Level4() const { return socksLevel_[0] == '4'; }
  bool SocksServerAssigned() const { return !socksServer_.empty(); }
  void NotifySocksAuthState(TSocksAuthState state);
  void ForgetNegotiation();
  void AimAtSocksServer();

  // Negotiation (SocksNegotiation.cpp).
  void SendMethodSelection();
  void SendCredentials();
  void SendConnectRequest();
  void SendSocks4Request();
  void SendRequest(const std::optional<std::string>& request);
  bool ReadReply(int limit);
  void ReceiveMethodReply();
  void ReceiveAuthReply();
  void ReceiveSocks4Reply();
  void ReceiveSocks5Reply();
  void Succeed(int replyLength);
  void DeliverLeftover();
  void Fail(const SocksFailure& failure);
  void FailOnHangUp();
  void ReportFailure(const SocksFailure& failure);

  TSocksState socksState_ = socksIdle;
  std::string socksServer_;
  std::string socksLevel_ = "5";
  std::string socksPort_;
  std::string socksUsercode_;
  std::string socksPassword_;
  TSocksAuthentication socksAuthentication_ = socksNoAuthentication;
  bool loginOffered_ = false;
  uint16_t destinationPort_ = 0;
  std::array<uint8_t, kReplyCapacity> reply_{};
  int replyCount_ = 0;
  int leftoverCount_ = 0;
  int leftoverPosition_ = 0;
};
