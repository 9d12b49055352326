#pragma once
// The socket component's enumerations, event types, message numbers and exception.
// Enumerations keep their ordinal values: code compares them.
#include <cstdint>
#include <functional>
#include <stdexcept>

class TCustomWSocket;

enum TSocketState {
  wsInvalidState = 0,  // never entered
  wsOpened = 1,
  wsBound = 2,
  wsConnecting = 3,
  wsConnected = 4,
  wsAccepting = 5,  // never entered
  wsListening = 6,
  wsClosed = 7,
};

const char* SocketStateName(TSocketState state);

enum TSocketSendFlags { wsSendNormal = 0, wsSendUrgent = 1 };

enum TSocketLingerOnOff { wsLingerOff = 0, wsLingerOn = 1, wsLingerNoSet = 2 };

enum TWSocketOption { wsoNoReceiveLoop = 0 };

// A set of TWSocketOption.
class TWSocketOptions {
 public:
  TWSocketOptions() = default;
  TWSocketOptions(std::initializer_list<TWSocketOption> options) {
    for (auto o : options) bits_ |= Bit(o);
  }
  bool Contains(TWSocketOption o) const { return (bits_ & Bit(o)) != 0; }
  bool operator==(const TWSocketOptions&) const = default;

 private:
  static unsigned Bit(TWSocketOption o) { return 1u << static_cast<unsigned>(o); }
  unsigned bits_ = 0;
};

class ESocketException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TDataAvailable = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;
using TDataSent = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;
using TSendData = std::function<void(TCustomWSocket* Sender, int32_t BytesSent)>;
using TSessionClosed = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;
using TSessionAvailable = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;
using TSessionConnected = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;
using TDnsLookupDone = std::function<void(TCustomWSocket* Sender, uint16_t Error)>;
using TChangeState = std::function<void(TCustomWSocket* Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent = std::function<void(TCustomWSocket* Sender, const std::exception& E, bool& CanClose)>;
using TSocketNotifyEvent = std::function<void(TCustomWSocket* Sender)>;

// Private messages of a socket's message sink.
inline constexpr unsigned WM_ASYNCSELECT = 1025;          // readiness: handle, (error << 16) | event bits
inline constexpr unsigned WM_ASYNCGETHOSTBYNAME = 1026;   // lookup by name finished: lookup handle, error << 16
inline constexpr unsigned WM_ASYNCGETHOSTBYADDR = 1027;   // lookup by address finished: same layout
inline constexpr unsigned WM_CLOSE_DELAYED = 1028;        // close now
inline constexpr unsigned WM_WSOCKET_RELEASE = 1029;      // destroy the object now
inline constexpr unsigned WM_TRIGGER_EXCEPTION = 1030;    // test: throw inside the handler
inline constexpr unsigned WM_TRIGGER_DATA_AVAILABLE = 1044;  // line mode switched with data buffered
inline constexpr unsigned WM_TLS_DELIVER = 1045;             // decrypted bytes wait for the owner
inline constexpr unsigned WM_TLS_FAILED = 1046;              // a TLS connection failed: close it
inline constexpr unsigned WM_TLS_HANDSHAKE_DONE = 1047;      // report a handshake that could not start

