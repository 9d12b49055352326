#pragma once
// The FTP engine's enumerations, events and exception. Enumerations keep their numbers:
// the main window compares them and prints the request names in its log.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "net/TlsCertificate.h"

class TCustomFtpCli;

class FtpException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TFtpState : uint8_t {
  ftpNotConnected = 0,     // the control connection closed after having been established
  ftpReady = 1,            // idle; a request may start
  ftpInternalReady = 2,    // between the steps of a chained request
  ftpDnsLookup = 3,        // resolving the server (or proxy) name
  ftpConnected = 4,        // the 220 greeting was received
  ftpAbort = 5,            // Abort is running
  ftpWaitingBanner = 7,    // TCP connect started, waiting for the greeting
  ftpWaitingResponse = 8,  // a command was sent, its final reply is awaited
};

const char* FtpStateName(TFtpState state);

enum TFtpRequest : uint8_t {
  ftpNone = 0,
  ftpOpenAsync = 1,
  ftpUserAsync = 2,
  ftpPassAsync = 3,
  ftpCwdAsync = 4,
  ftpConnectAsync = 5,
  ftpReceiveAsync = 6,
  ftpDirAsync = 7,
  ftpLsAsync = 8,
  ftpPortAsync = 9,
  ftpGetAsync = 10,
  ftpDirectoryAsync = 11,
  ftpListAsync = 12,
  ftpSystemAsync = 13,
  ftpSystAsync = 14,
  ftpQuitAsync = 15,
  ftpSizeAsync = 16,
  ftpPutAsync = 17,
  ftpAppendAsync = 18,
  ftpFileSizeAsync = 19,
  ftpRqAbort = 20,
  ftpMkdAsync = 21,
  ftpRmdAsync = 22,
  ftpRenameAsync = 23,
  ftpDeleAsync = 24,
  ftpRenAsync = 25,
  ftpRenToAsync = 26,
  ftpRenFromAsync = 27,
  ftpDeleteAsync = 28,
  ftpMkdirAsync = 29,
  ftpRmdirAsync = 30,
  ftpPwdAsync = 31,
  ftpQuoteAsync = 32,
  ftpCDupAsync = 33,
  ftpDoQuoteAsync = 34,
  ftpTransmitAsync = 35,
  ftpTypeSetAsync = 36,
  ftpRestAsync = 37,
  ftpRestGetAsync = 38,
  ftpRestartGetAsync = 39,
  ftpRestPutAsync = 40,
  ftpRestartPutAsync = 41,
};

// "OpenAsync", "GetAsync", ...; "none" for 0.
const char* FtpRequestName(TFtpRequest request);

enum TFtpShareMode { ftpShareCompat, ftpShareExclusive, ftpShareDenyWrite, ftpShareDenyRead, ftpShareDenyNone };

enum TFtpConnectionType : uint8_t { ftpDirect = 0, ftpProxy = 1, ftpSocks4 = 2, ftpSocks4A = 3, ftpSocks5 = 4 };

// ftpUseFeatures: after the login, ask the server what it can do (FEAT) and use it: names in
// UTF-8, machine listings (MLSD), extended passive mode over IPv4. Without it only IPv6
// needs the extended commands.
enum TFtpOption { ftpAcceptLF = 0, ftpNoAutoResumeAt = 1, ftpUseFeatures = 2 };

// How the session is encrypted: not at all; by AUTH TLS after the greeting when the server
// agrees, in the clear otherwise; by AUTH TLS or not at all; TLS from the first byte.
enum TFtpEncryption : uint8_t {
  ftpEncryptionNone = 0,
  ftpEncryptionExplicitIfOffered = 1,
  ftpEncryptionExplicit = 2,
  ftpEncryptionImplicit = 3,
};

// A set of TFtpOption.
class TFtpOptions {
 public:
  TFtpOptions() = default;
  TFtpOptions(std::initializer_list<TFtpOption> options) {
    for (auto o : options) bits_ |= Bit(o);
  }
  bool Contains(TFtpOption o) const { return (bits_ & Bit(o)) != 0; }
  bool operator==(const TFtpOptions&) const = default;

 private:
  static unsigned Bit(TFtpOption o) { return 1u << static_cast<unsigned>(o); }
  unsigned bits_ = 0;
};

using TFtpDisplay = std::function<void(TCustomFtpCli* Sender, std::string& Msg)>;
using TFtpCommand = std::function<void(TCustomFtpCli* Sender, std::string& Cmd)>;
using TFtpNotifyEvent = std::function<void(TCustomFtpCli* Sender)>;
// Count is the position in the file (bytes of this transfer plus the resume offset).
using TFtpProgress = std::function<void(TCustomFtpCli* Sender, int64_t Count, bool& Abort)>;
using TFtpSessionEvent = std::function<void(TCustomFtpCli* Sender, uint16_t Error)>;
using TFtpRequestDone = std::function<void(TCustomFtpCli* Sender, TFtpRequest RqType, uint16_t Error)>;
using TFtpReadyToTransmit = std::function<void(TCustomFtpCli* Sender, bool& bCancel)>;
// The server's certificate failed verification (Facts.problem says why): the handler decides
// whether the session goes on (Trust true) or ends. Nothing is sent while it decides.
using TFtpVerifyCertificate = std::function<void(TCustomFtpCli* Sender, const TlsCertificateFacts& Facts, bool& Trust)>;
using TFtpBgException = std::function<void(TCustomFtpCli* Sender, const std::exception& E, bool& CanClose)>;
