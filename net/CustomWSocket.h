#pragma once
// TCustomWSocket: the base layer of the socket component (see WSocket.h for the contract of
// the whole component). It owns a non-blocking IPv4 or IPv6 socket, a message sink on the
// event loop, the send queue, the asynchronous name lookup and the error reporting.
#include <deque>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <vector>

#include "net/WSockbuf.h"
#include "net/WSocketTypes.h"
#include "platform/MessageSink.h"
#include "platform/SocketAddress.h"
#include "platform/Sockets.h"

namespace platform {
class Timer;
}

class TCustomWSocket {
 public:
  TCustomWSocket();
  virtual ~TCustomWSocket();
  TCustomWSocket(const TCustomWSocket&) = delete;
  TCustomWSocket& operator=(const TCustomWSocket&) = delete;

  // ---- Properties ----------------------------------------------------------------------
  const std::string& Addr() const { return addr_.text; }
  void SetAddr(const std::string& value);
  // More addresses of the host Addr belongs to, in the order to try them (DnsResultList
  // after its first). See WSocket.h, "Hosts with several addresses". Every close forgets them.
  const std::vector<std::string>& FallbackAddrs() const { return fallbackAddrs_; }
  void SetFallbackAddrs(std::vector<std::string> addresses);
  const std::string& Port() const { return port_.text; }
  virtual void SetPort(const std::string& value);
  const std::string& Proto() const { return proto_.text; }
  virtual void SetProto(const std::string& value);
  const std::string& LocalAddr() const { return localAddr_; }
  void SetLocalAddr(const std::string& value);
  const std::string& LocalPort() const { return localPortText_; }
  void SetLocalPort(const std::string& value);
  std::string PeerAddr() { return GetPeerAddr(); }
  std::string PeerPort() { return GetPeerPort(); }
  const std::string& DnsResult() const { return dnsResult_; }
  const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
  TSocketState State() const { return state_; }
  int32_t ReadCount() const { return readCount_; }
  int32_t RcvdCount() { return GetRcvdCount(); }
  int32_t LastError() const { return lastError_; }
  bool MultiThreaded() const { return multiThreaded_; }
  void SetMultiThreaded(bool value) { multiThreaded_ = value; }
  TWSocketOptions ComponentOptions() const { return componentOptions_; }
  void SetComponentOptions(TWSocketOptions value) { componentOptions_ = value; }
  TSocketSendFlags SendFlags() const;
  void SetSendFlags(int value);
  TSocketLingerOnOff LingerOnOff() const { return lingerOnOff_; }
  void SetLingerOnOff(TSocketLingerOnOff value) { lingerOnOff_ = value; }
  int32_t LingerTimeout() const { return lingerTimeout_; }
  void SetLingerTimeout(int32_t value) { lingerTimeout_ = value; }
  platform::SocketHandle Handle() const { return handle_; }
  // Capacity of each new chunk of the send queue.
  int32_t SendChunkSize() const { return chunkSize_; }
  void SetSendChunkSize(int32_t value) { chunkSize_ = value > 0 ? value : TBuffer::kDefaultCapacity; }

  // ---- Events (optional; an unassigned event is skipped) ---------------------------------
  TDataAvailable OnDataAvailable;
  TDataSent OnDataSent;
  TSendData OnSendData;
  TSessionClosed OnSessionClosed;
  TSessionAvailable OnSessionAvailable;
  TSessionConnected OnSessionConnected;
  TChangeState OnChangeState;
  TDnsLookupDone OnDnsLookupDone;
  TSocketNotifyEvent OnError;
  TBgExceptionEvent OnBgException;

  // ---- Operations ----------------------------------------------------------------------
  virtual void Connect();
  virtual void Listen();
  virtual platform::SocketHandle Accept();
  virtual void Dup(platform::SocketHandle newHandle);
  virtual void Close();
  virtual void CloseDelayed();
  virtual void Release();
  virtual void Abort();
  virtual void Flush();
  virtual void WaitForClose();
  virtual void Shutdown(int how);
  virtual void Pause();
  virtual void Resume();
  virtual void PumpMessages();
  void ApplyLinger();

  virtual int Send(const void* data, int len);
  virtual int SendStr(const std::string& str);
  virtual int SendTo(const platform::SocketAddress& dest, const void* data, int len);
  virtual int Receive(void* buffer, int len);
  // As Receive, but the bytes go straight into the file `fileDescriptor` at its position,
  // without a copy through the program. fileFailed tells that the file could not take bytes
  // that were received: they are lost. Only while HoldsReceivedData() is false.
  int ReceiveToFile(int fileDescriptor, int len, bool& fileFailed);
  // Sends up to `len` bytes of the file `fileDescriptor` from its position, without a copy
  // through the program: the bytes sent, 0 at the end of the file, -1 on a failure
  // (LastError; 10035 when the system takes nothing now). OnDataSent follows from the loop
  // once the system can take more, as after Send. Only on a plain connection whose send
  // queue is empty (no TLS).
  int SendFile(int fileDescriptor, int len);
  // A layer holds received bytes that only Receive returns (SOCKS, line mode).
  virtual bool HoldsReceivedData() const { return false; }
  virtual std::string ReceiveStr();
  virtual int ReceiveFrom(void* buffer, int len, platform::SocketAddress* from);
  virtual int32_t GetRcvdCount();

  virtual void DnsLookup(const std::string& hostName);
  virtual void ReverseDnsLookup(const std::string& hostAddr);
  virtual void CancelDnsLookup();

  virtual std::string GetPeerAddr();
  virtual std::string GetPeerPort();
  virtual int GetPeerName(platform::SocketAddress* name);
  virtual int GetSockName(platform::SocketAddress* name);
  virtual std::string GetBoundPort();

  // Bytes still waiting in the send queue.
  int64_t SendQueueBytes() const;
  // The address of the caller the last Accept took.
  const platform::SocketAddress& AcceptedPeer() const { return remoteAddress_; }

 protected:
  virtual void HandleWindowMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);
  virtual void ResetDefaults();
  virtual void CloseConnection(bool shutdownFirst, uint16_t error);
  virtual void BindLocal();
  virtual int SendRaw(const void* data, int len);
  virtual int ReceiveRaw(void* buffer, int len, int flags);
  virtual int ReceiveFromRaw(void* buffer, int len, int flags, platform::SocketAddress* from);
  void ReportErrorFmt(const char* format, ...) __attribute__((format(printf, 2, 3)));
  virtual void ReportError(const std::string& msg);
  void ReportSocketError(const std::string& functionName);
  virtual void HandleBgException(const std::exception& e);

  virtual bool NotifyDataAvailable(uint16_t error);
  virtual void NotifySessionAvailable(uint16_t error);
  virtual void NotifySessionConnected(uint16_t error);
  virtual void NotifySessionClosed(uint16_t error);
  virtual void NotifyDataSent(uint16_t error);
  virtual void NotifyChangeState(TSocketState oldState, TSocketState newState);
  virtual void NotifyDnsLookupDone(uint16_t error);
  virtual void NotifyError();

  void ChangeState(TSocketState newState);
  void ReceiveLoop(uint16_t error);
  void TryToSend();
  bool SendQueueEmpty() const;
  void DiscardSendQueue();
  platform::MessageSink& Sink() { return sink_; }
  bool CloseReported() const { return closeReported_; }
  void SetCloseReported() { closeReported_ = true; }
  bool Destroying() const { return destroying_; }
  // Aims the next Connect at another end than Addr:Port (a SOCKS server, which reaches the
  // host itself: the fallback addresses are dropped); both count as resolved.
  void SetResolvedRemote(const platform::SocketAddress& address);

  // The numeric remote address: target of Connect, bind address of Listen, last accepted peer.
  platform::SocketAddress remoteAddress_;

 private:
  // A remote address, port or protocol as set, whether it was set, and whether it is resolved.
  struct TargetText {
    std::string text;
    bool assigned = false;
    bool resolved = false;
  };
  // A connection attempt to one address of the host that has not ended yet.
  struct Attempt {
    platform::SocketHandle handle;
    std::string addr;
    platform::SocketAddress address;
  };
  void HandleSelect(uintptr_t handle, intptr_t lParam);
  // Connecting to hosts with several addresses (CustomWSocketFallback.cpp).
  void OpenAndConnect();
  bool ConnectFailedOver();
  bool AttemptEnded(uint16_t error);
  bool HandleEarlierAttempt(platform::SocketHandle handle, uint16_t error);
  void StartNextAttempt();
  void AdoptEarlierAttempt(std::size_t index);
  void ArmFallbackTimer();
  void FallbackDelayPassed();
  void ForgetAttempts();
  void FailLaterAttempt();
  void HandleLookupDone(unsigned msg, uintptr_t lookup, intptr_t lParam);
  void ResolveRemote(bool withLocalPort);
  void AssignTarget(const std::string& value, TargetText& target, const char* name);
  bool CheckAddressAndPort(const char* what);
  bool SelectEvents(unsigned mask, const char* failure);
  void AppendToSendQueue(const char* data, int len);
  void AddToReadCount(int count);
  bool BeginLookup(const std::string& name);
  void StartLookup(const std::string& name, bool byAddress);
  void CancelLookupSilently();
  void DestroyNow();

  platform::MessageSink sink_;
  TargetText addr_;
  std::vector<std::string> fallbackAddrs_;
  std::vector<Attempt> earlierAttempts_;  // still connecting, older than the one in handle_
  std::unique_ptr<platform::Timer> fallbackTimer_;
  uint16_t remotePort_ = 0;
  TargetText port_;
  TargetText proto_{"tcp", true, false};
  std::string dnsResult_;
  std::vector<std::string> dnsResultList_;
  std::deque<TBuffer> sendQueue_;
  int32_t chunkSize_ = TBuffer::kDefaultCapacity;
  int sendFlags_ = 0;
  int32_t lastError_ = 0;
  int lookupHandle_ = 0;
  unsigned eventMask_ = 0;
  platform::SocketHandle handle_ = platform::kInvalidSocket;
  int addrFamily_ = AF_INET;
  int protoNumber_ = 6;
  bool localPortResolved_ = false;
  std::string localPortText_ = "0";
  uint16_t localPortNumber_ = 0;
  std::string localAddr_ = "0.0.0.0";
  int socketType_ = SOCK_STREAM;
  TSocketLingerOnOff lingerOnOff_ = wsLingerOn;
  int32_t lingerTimeout_ = 0;
  bool allSent_ = true;
  int32_t readCount_ = 0;
  bool paused_ = false;
  bool closeReported_ = false;
  bool multiThreaded_ = false;
  TWSocketOptions componentOptions_;
  TSocketState state_ = wsClosed;
  bool destroying_ = false;
};
