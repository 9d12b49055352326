#pragma once
// TCustomFtpCli / TFtpClient: the client side of FTP over one control connection and at most
// one data connection, driven one request at a time, never blocking.
//
// Requests
//   Every ...Async operation starts one request and returns at once. Its end is reported by
//   exactly one OnRequestDone(Sender, RqType, Error), posted to the event loop after the
//   engine has returned to ftpReady, so the handler may start the next request at once.
//   Error is 0, a reply code (the first reply outside the step's accepted codes), a socket
//   error number (name lookup or connect failures, 10004..11004, 20001..20017) or one of the
//   engine's own codes (426, 550). Single-command requests report their own kind; chained
//   requests (ConnectAsync, DirAsync, GetAsync, ...) run a fixed set of steps in one fixed
//   order (FtpSteps.h), stop at the first failure, and report the chain's kind.
//
// Misuse
//   An operation called in the wrong state throws FtpException with a fixed text
//   ("FTP component not ready", "FTP component not connected", ...), synchronously; no
//   OnRequestDone follows.
//
// Replies
//   LastResponse is the last complete reply line, StatusCode its number, ErrorMessage the
//   reply line of the first failure of the request (kept until a chain starts). Multi-line
//   replies ("123-...") are assembled; only their final line reaches the judge and the log.
//
// Features
//   With ftpUseFeatures in Options, ConnectAsync asks the server after the login what it
//   can do (FEAT; Features() keeps the answer until the next connection), then sends
//   "OPTS UTF8 ON" when the server offers UTF8 and Utf8Names is set, and "OPTS MLST ..."
//   when it can give a fact a listing is read from only when asked (FtpFeatures.h). A server
//   that refuses any of them has the features it did not refuse; the login succeeds all the
//   same. DirAsync then lists with MLSD instead of LIST when ListWithMlsd is set and the
//   server offers it; ListedWithMlsd tells which one the last listing used.
//
// Transfers
//   One data connection at a time: passive (PASV, or EPSV over IPv6 and where the server
//   offers it; a refused EPSV is followed by PASV, and the session keeps to PASV; the
//   connection goes to the control connection's peer whatever address the reply names) or
//   active (PORT, or EPRT over IPv6, listening on the control connection's local address and
//   taking the connection only from the control connection's peer; see FtpDataAddress.h). A
//   transfer
//   ends once both its final reply and the close of its data connection were seen. A
//   download empties an existing local file only once the server answered 150 or 125; a
//   resumed one (ResumeAt > 0) continues the file and never empties it.
//
// Encryption (Encryption, FtpCliTls.cpp)
//   Explicit TLS sends AUTH TLS after the greeting, implicit TLS starts TLS on the connection
//   before it; either way the Open step ends once the server's certificate is accepted:
//   verified against the system's trust store (and TlsTrustFile) for the host name dialled,
//   or, when that fails, accepted by OnVerifyCertificate (no handler: refused). Nothing is
//   sent before. A chain that logs in then protects the data connections (PBSZ 0, PROT P);
//   every data connection of an encrypted session is encrypted too, resumes the control
//   connection's TLS session and must show its certificate, and an upload ends with the TLS
//   close before the connection closes. A refusal or failure of any of this ends the
//   request and closes the connection; only "explicit if offered" goes on in the clear, and
//   only when the server refuses AUTH TLS.
//
// Log
//   OnDisplay receives "> " + every command sent (the password included), "< " + every reply
//   line shown, and the engine's own notes starting "! " (statistics, transfer errors).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpFeatures.h"
#include "ftp/FtpReply.h"
#include "ftp/FtpSteps.h"
#include "ftp/FtpTypes.h"
#include "net/WSocket.h"
#include "platform/EventLoop.h"
#include "platform/MessageSink.h"
#include "platform/SharedFile.h"

class TCustomFtpCli {
 public:
  TCustomFtpCli();
  virtual ~TCustomFtpCli();
  TCustomFtpCli(const TCustomFtpCli&) = delete;
  TCustomFtpCli& operator=(const TCustomFtpCli&) = delete;

  // ---- Properties ----------------------------------------------------------------------
  const std::string& HostName() const { return hostName_; }
  void SetHostName(const std::string& v) { hostName_ = v; }
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& v) { port_ = v; }
  const std::string& UserName() const { return userName_; }
  void SetUserName(const std::string& v) { userName_ = v; }
  const std::string& PassWord() const { return passWord_; }
  void SetPassWord(const std::string& v) { passWord_ = v; }
  const std::string& HostDirName() const { return hostDirName_; }
  void SetHostDirName(const std::string& v) { hostDirName_ = v; }
  const std::string& HostFileName() const { return hostFileName_; }
  void SetHostFileName(const std::string& v) { hostFileName_ = v; }
  const std::string& LocalFileName() const { return localFileName_; }
  void SetLocalFileName(const std::string& v) { localFileName_ = v; }
  bool DisplayFileFlag() const { return displayFileFlag_; }
  void SetDisplayFileFlag(bool v) { displayFileFlag_ = v; }
  bool Binary() const { return typeLetter_ == 'I'; }
  void SetBinary(bool v) { typeLetter_ = v ? 'I' : 'A'; }
  const std::string& ErrorMessage() const { return errorMessage_; }
  TFtpShareMode ShareMode() const;
  void SetShareMode(int mode);
  TFtpOptions Options() const { return options_; }
  void SetOptions(TFtpOptions v) { options_ = v; }
  TFtpConnectionType ConnectionType() const;
  void SetConnectionType(int type);
  const std::string& ProxyServer() const { return proxyServer_; }
  void SetProxyServer(const std::string& v) { proxyServer_ = v; }
  // Port dialled on an FTP proxy; empty means the server's Port.
  const std::string& ProxyDialPort() const { return proxyDialPort_; }
  void SetProxyDialPort(const std::string& v) { proxyDialPort_ = v; }
  // SOCKS relay of both connections (see FtpCliConnection.cpp).
  const std::string& SocksServer() const;
  void SetSocksServer(const std::string& value);
  const std::string& SocksPort() const;
  void SetSocksPort(const std::string& value);
  const std::string& SocksUserCode() const;
  void SetSocksUserCode(const std::string& value);
  const std::string& SocksPassword() const;
  void SetSocksPassword(const std::string& value);
  bool Passive() const { return passive_; }
  // With any connection type but ftpDirect, passive mode is forced.
  void SetPassive(bool value);
  // What the server said it can do at the last login (all false without ftpUseFeatures).
  const FtpFeatures& Features() const { return features_; }
  // Whether to ask for names in UTF-8 where the server offers it (default true); a caller
  // that reads the server's names in another character set clears it.
  bool Utf8Names() const { return utf8Names_; }
  void SetUtf8Names(bool v) { utf8Names_ = v; }
  // Whether DirAsync lists with MLSD where the server offers it (default false).
  bool ListWithMlsd() const { return listWithMlsd_; }
  void SetListWithMlsd(bool v) { listWithMlsd_ = v; }
  bool ListedWithMlsd() const { return listedWithMlsd_; }
  // The most bytes a listing (LIST, NLST, MLSD) may bring; a server that sends more is cut
  // off and the request fails, so that it cannot fill the disk. 0, the default, is no limit.
  int64_t MaxListingSize() const { return maxListingSize_; }
  void SetMaxListingSize(int64_t v) { maxListingSize_ = v; }

  // Refused while connected, as the connection type is.
  TFtpEncryption Encryption() const { return static_cast<TFtpEncryption>(encryption_); }
  void SetEncryption(int value);
  // Certificates trusted beside the system's store (a PEM file); empty: the store alone.
  const std::string& TlsTrustFile() const { return tlsTrustFile_; }
  void SetTlsTrustFile(const std::string& path) { tlsTrustFile_ = path; }
  // The control connection is encrypted and its certificate was accepted.
  bool Encrypted() const { return encrypted_; }
  // PROT P was accepted: data connections are encrypted.
  bool DataProtected() const { return dataProtected_; }

  const std::string& LastResponse() const { return lastResponse_; }
  int StatusCode() const { return statusCode_; }
  TFtpState State() const { return state_; }
  TFtpRequest RequestType() const { return requestType_; }
  const std::string& DnsResult() const { return dnsResult_; }
  const std::string& DirResult() const { return dirResult_; }
  int64_t SizeResult() const { return sizeResult_; }
  int64_t ResumeAt() const { return resumeAt_; }
  void SetResumeAt(int64_t v) { resumeAt_ = v; }
  int64_t ByteCount() const { return byteCount_; }
  const std::string& PasvResponse() const { return pasvResponse_; }
  // The TCP session of the control connection is up.
  bool Connected() const;

  TWSocket& ControlSocket() { return *controlSocket_; }
  TWSocket& DataSocket() { return *dataSocket_; }

  // ---- Events --------------------------------------------------------------------------
  TFtpDisplay OnDisplay;
  TFtpDisplay OnDisplayFile;
  TFtpCommand OnCommand;
  TFtpNotifyEvent OnResponse;
  TFtpProgress OnProgress;
  TFtpSessionEvent OnSessionConnected;
  TFtpSessionEvent OnSessionClosed;
  TFtpRequestDone OnRequestDone;
  TFtpNotifyEvent OnStateChange;
  TFtpReadyToTransmit OnReadyToTransmit;
  TFtpBgException OnBgException;
  TFtpVerifyCertificate OnVerifyCertificate;

  // ---- Single-command requests ---------------------------------------------------------
  virtual void OpenAsync();
  virtual void UserAsync();
  virtual void PassAsync();
  virtual void CwdAsync();
  virtual void PortAsync();
  virtual void SystAsync();
  virtual void QuitAsync();
  virtual void SizeAsync();
  virtual void MkdAsync();
  virtual void RmdAsync();
  virtual void DeleAsync();
  virtual void RenToAsync();
  virtual void RenFromAsync();
  virtual void PwdAsync();
  virtual void QuoteAsync();
  virtual void CDupAsync();
  virtual void TypeSetAsync();
  virtual void TypeBinaryAsync();
  virtual void TypeAsciiAsync();
  virtual void RestAsync();
  virtual void ExecGet();
  virtual void ExecDir();
  virtual void ExecLs();
  virtual void ExecPut();
  virtual void ExecAppend();

  // ---- Chained requests ----------------------------------------------------------------
  virtual void ConnectAsync();
  virtual void ReceiveAsync();
  virtual void DirAsync();
  virtual void LsAsync();
  virtual void GetAsync();
  virtual void DirectoryAsync();
  virtual void ListAsync();
  virtual void SystemAsync();
  virtual void FileSizeAsync();
  virtual void PutAsync();
  virtual void AppendAsync();
  virtual void RenameAsync();
  virtual void RenAsync();
  virtual void DeleteAsync();
  virtual void MkdirAsync();
  virtual void RmdirAsync();
  virtual void DoQuoteAsync();
  virtual void TransmitAsync();
  virtual void AppendFileAsync();
  virtual void RestGetAsync();
  virtual void RestartGetAsync();
  virtual void RestPutAsync();
  virtual void RestartPutAsync();

  // Closes both connections at once; a running request ends (a chain with 426).
  virtual void Abort();

 protected:
  // What judges the next final reply.
  enum class Judge { None, Standard, ReceiveFirst, ReceiveFinal, SendFirst, SendFinal, AuthTls, Pbsz, Prot };
  // What runs after a successful standard judgement instead of completing the request.
  enum class DoneAction { None, CloseControl };

  virtual void SendCommand(const std::string& cmd);
  virtual void TriggerDisplay(const std::string& msg);
  virtual void TriggerDisplayFile(const std::string& msg);
  virtual bool TriggerReadyToTransmit();
  // Reports the position of the transfer; true when the handler asked to abort it.
  virtual bool TriggerProgress();
  virtual void TransferStats();

  void ExecAsync(TFtpRequest kind, TFtpStep step, const std::string& cmd, std::initializer_list<int> accepted,
                 DoneAction done = DoneAction::None);
  void HighLevelAsync(TFtpRequest kind, TFtpStepSet steps);
  void NextExecAsync();
  void TriggerRequestDone(uint16_t error);
  bool CheckReady();
  void RefuseLineBreak(const char* what, const std::string& text);
  [[noreturn]] void HandleError(const std::string& msg);
  void SetState(TFtpState state);
  int stepError() const { return stepError_; }
  void SetStatusCode(int code) { statusCode_ = code; }
  void SetErrorMessage();
  void OverwriteErrorMessage(const std::string& text);
  void FreeLocalStream();

 private:
  void HandleMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);
  void ForBothSockets(const std::function<void(TWSocket&)>& apply);
  // Control connection
  void ControlDnsLookupDone(uint16_t error);
  void ControlSessionConnected(uint16_t error);
  void ControlDataAvailable(uint16_t error);
  void ControlSessionClosed(uint16_t error);
  int ClosedRequestError(uint16_t closeError);
  std::string ConnectErrorText(uint16_t error) const;
  void FailConnection(uint16_t error, const std::string& text);
  void HandleLine(const std::string& line, uint16_t error);
  void HandleGreeting(const std::string& line, uint16_t error);
  void HandleFinalReply();
  void StandardJudge();
  void TakeReplyResults();
  bool CodeIsAccepted() const;
  bool StepWanted(TFtpStep step) const;
  bool FallBack();
  std::string UserLine() const;
  bool ControlIsIpv6() const;
  // Chains
  void RunStep(TFtpStep step);
  // The steps after the login of ConnectAsync; they run only inside it.
  void FeatStep();
  void OptsUtf8Step();
  void OptsMlstStep();
  void RunStepFromEvent(TFtpStep step);
  // Data connection
  void PrepareDataSocket();
  std::string PortCommand();
  uint16_t PasvPort() const;
  std::optional<platform::SocketHandle> AcceptDataCaller();
  void StartReceive(TFtpRequest kind, TFtpStep step, const char* command);
  bool OpenReceiveFile();
  void EmptyReceiveFile();
  bool OpenLocalFile(platform::SharedFile::Mode mode);
  bool ConnectPassiveData(int failCode, void (TCustomFtpCli::*connected)(uint16_t));
  void FailStep(int code);
  void FailTransferStart();
  void FailTransferEnd(const char* note);
  void FailDataConnection(uint16_t error);
  void ReceiveSessionAvailable();
  void ReceiveConnected(uint16_t error);
  void AttachReceiveHandlers();
  void ReceiveData();
  void WriteReceivedBlock(const char* data, int len);
  void LocalWriteFailed();
  bool CutOffLongListing();
  void RemoveUnstartedDownload();
  bool SendBlockFromFile();
  void ReceiveClosed(uint16_t error);
  void ReceiveFirstReply();
  void ReceiveFinalReply();
  void CheckTransferDone();
  void StartSend(TFtpStep step);
  bool OpenSendFile();
  void SendSessionAvailable();
  void SendConnected(uint16_t error);
  void SendDataCommand();
  void SendFirstReply();
  void SendFinalReply();
  void SendClosed(uint16_t error);
  void SendNextBlock(uint16_t error);
  void DiscardDataInput();
  void CloseDataSocket();
  void EndUpload();
  void AwaitServerClose();
  void ShowLine();
  // Encryption (FtpCliTls.cpp)
  bool ExplicitTls() const;
  bool ImplicitTls() const;
  std::string DialPort() const;
  std::string TlsPeerName() const;
  bool PrepareTlsContext();
  void RequestAuthTls();
  void AuthTlsReply();
  void StartControlTls();
  void ControlTlsDone(uint16_t error);
  void DecideCertificate(intptr_t check);
  void FailTls(uint16_t error, const std::string& text);
  void RefuseTlsReply(const std::string& note);
  void RefuseTls(uint16_t error, const std::string& note);
  void ProtAsync();
  void PbszReply();
  void ProtReply();
  void ForgetTls();
  void StartDataTlsWhenDue(bool sending);
  void StartDataTls(bool sending);
  void DataTlsDone(uint16_t error, bool sending);
  void ContinueSend();

  std::unique_ptr<TWSocket> controlSocket_;
  std::unique_ptr<TWSocket> dataSocket_;
  platform::MessageSink sink_;

  std::string hostName_;
  std::string port_ = "ftp";
  std::string userName_;
  std::string passWord_;
  std::string hostDirName_;
  std::string hostFileName_;
  std::string localFileName_;
  bool displayFileFlag_ = false;
  char typeLetter_ = 'I';
  std::string errorMessage_;
  int shareMode_ = 16;
  TFtpOptions options_{ftpAcceptLF};
  int connectionType_ = ftpDirect;
  std::string proxyServer_;
  std::string proxyDialPort_ = "ftp";
  bool passive_ = false;

  TFtpState state_ = ftpReady;
  std::string lastResponse_;
  int statusCode_ = 0;
  int stepError_ = 0;
  int requestError_ = 0;
  TFtpRequest requestType_ = ftpNone;
  TFtpStep currentStep_ = ftpStepNone;  // the step running, or the last one run
  TFtpStep stepBefore_ = ftpStepNone;
  bool chainRunning_ = false;
  TFtpStepSet remainingSteps_;
  bool requestDoneFlag_ = false;
  std::string savedResponse_;
  int savedCode_ = -1;
  FtpReplyAssembler replyAssembler_;
  int acceptedCodes_[16] = {};
  size_t acceptedCount_ = 0;
  Judge judge_ = Judge::None;
  DoneAction doneAction_ = DoneAction::None;
  bool chainContinuation_ = false;
  std::string dnsResult_;
  std::string socksErrorText_;  // what the SOCKS relay said when it refused the connection
  std::string dirResult_;
  int64_t sizeResult_ = 0;
  int64_t resumeAt_ = 0;
  int64_t byteCount_ = 0;
  int64_t maxListingSize_ = 0;
  bool listingCutOff_ = false;
  std::string pasvResponse_;
  std::string dataCommand_;
  std::unique_ptr<platform::SharedFile> localStream_;
  bool connected_ = false;
  bool startingChain_ = false;
  bool quitAccepted_ = false;  // the 221 to QUIT arrived: the close that follows succeeds
  std::string fallbackCommand_;  // sent instead when the server refuses the command (EPSV)

  // Features
  FtpFeatures features_;
  std::vector<std::string> featureLines_;  // of the FEAT reply coming in
  bool utf8Names_ = true;
  bool listWithMlsd_ = false;
  bool listedWithMlsd_ = false;
  bool epsvRefused_ = false;

  // Transfer state
  bool appendFlag_ = false;
  bool replyDone_ = false;
  bool receiveClosed_ = false;
  bool sendClosed_ = false;
  bool endOfFile_ = false;
  bool readyToSend_ = false;
  bool dataConnected_ = false;
  bool dataLinkUp_ = false;    // the data connection's TCP (or relayed) connection is up
  bool dataHeld_ = false;      // received data waits in the paused data socket for the 150
  bool emptyPending_ = false;  // the existing local file is emptied when the server starts sending
  bool createdLocalFile_ = false;  // the download made its local file: one never started takes it away
  uint32_t startTick_ = 0;
  uint32_t stopTick_ = 0;
  int dataCloseError_ = 0;
  std::unique_ptr<char[]> transferBuffer_;

  // Encryption
  int encryption_ = ftpEncryptionNone;
  std::string tlsTrustFile_;
  std::shared_ptr<TlsContext> tlsContext_;
  bool encrypted_ = false;
  bool dataProtected_ = false;
  std::string acceptedFingerprint_;  // the control connection's certificate, as accepted
  intptr_t tlsCheck_ = 0;            // names the certificate decision that is due
};

class TFtpClient : public TCustomFtpCli {
 public:
  TFtpClient();

  // Seconds allowed to a synchronous wait; 0 or less: no limit.
  int Timeout() const { return timeout_; }
  void SetTimeout(int seconds) { timeout_ = seconds; }
  bool MultiThreaded() const { return multiThreaded_; }
  void SetMultiThreaded(bool v) { multiThreaded_ = v; }

  // Pumps the event loop until the engine is ready again (true when the request succeeded)
  // or Timeout runs out (then Abort, "426 Timeout", false).
  virtual bool WaitUntilReady();
  // Runs an asynchronous operation and waits for it; an exception on the way gives false.
  virtual bool Synchronize(void (TCustomFtpCli::*operation)());
  bool CwdSync();
  bool TypeSetSync();
  bool TypeBinarySync();
  bool TypeAsciiSync();
  // Processes the pending events once, as one round of a synchronous wait does.
  void PumpMessages();

 protected:
  bool TriggerProgress() override;

 private:
  int timeout_ = 15;
  bool multiThreaded_ = false;
  uint32_t deadline_ = 0;
};
