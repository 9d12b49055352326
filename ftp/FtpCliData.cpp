// TCustomFtpCli: the data connection. The Port step, the receive steps (RETR, LIST, NLST),
// the send steps (STOR, APPE), progress and the statistics line.
//
// A transfer ends exactly once, when both its final reply and the close of its data
// connection have been seen, in whichever order they come; every failure ends it at once.
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ftp/FtpCli.h"
#include "ftp/FtpDataAddress.h"
#include "ftp/FtpMessages.h"
#include "ftp/FtpTransferSizes.h"
#include "platform/SocketErrors.h"
#include "platform/StringUtils.h"

namespace {

const char* ExceptionClassName(const std::exception& e) {
  if (dynamic_cast<const ESocketException*>(&e)) return "ESocketException";
  if (dynamic_cast<const FtpException*>(&e)) return "FtpException";
  return "Exception";
}

bool IsTransferStart(int code) { return code == 150 || code == 125; }

}  // namespace

// ---- Port step ----------------------------------------------------------------------------

void TCustomFtpCli::PrepareDataSocket() {
  dataSocket_->SetProto("tcp");
  dataSocket_->SetAddr("0.0.0.0");
  dataSocket_->SetPort("0");
  dataSocket_->OnSessionAvailable = nullptr;
  dataSocket_->OnSessionClosed = nullptr;
  dataSocket_->OnDataAvailable = nullptr;
  // The last upload's block sender must not act on the next connection (its SOCKS
  // negotiation and TLS handshake write too).
  dataSocket_->OnDataSent = nullptr;
  dataSocket_->SetSendChunkSize(kFtpSendBlockSize);
}

bool TCustomFtpCli::ControlIsIpv6() const { return platform::IsIpv6Text(controlSocket_->Addr()); }

// Active mode listens on the control connection's own local address, the one the PORT or
// EPRT line names, rather than on every interface.
std::string TCustomFtpCli::PortCommand() {
  if (passive_) return PassiveCommand(ControlIsIpv6(), features_.epsv, epsvRefused_);
  platform::SocketAddress local;
  controlSocket_->GetSockName(&local);
  dataSocket_->SetAddr(local.Text());
  dataSocket_->SetLingerOnOff(wsLingerOn);
  dataSocket_->SetLingerTimeout(10);
  dataSocket_->Listen();
  platform::SocketAddress bound;
  dataSocket_->GetSockName(&bound);
  if (bound.IsIpv6()) return EprtLine(bound);
  const uint32_t named = dnsResult_ == "127.0.0.1" ? htonl(INADDR_LOOPBACK) : local.Ipv4();
  return PortLine(named, bound.Port());
}

void TCustomFtpCli::PortAsync() {
  CheckReady();
  PrepareDataSocket();
  const std::string command = PortCommand();
  byteCount_ = 0;
  ExecAsync(ftpPortAsync, ftpStepPort, command, {200, 227, 229});
  // The reply comes from the event loop, after this.
  if (command == "EPSV") fallbackCommand_ = "PASV";
}

uint16_t TCustomFtpCli::PasvPort() const {
  const auto port = PassiveReplyPort(pasvResponse_);
  if (!port) throw FtpException("Invalid passive reply: " + pasvResponse_);
  return *port;
}

// Takes the pending caller of the listening data socket when it is the server; anybody else
// is hung up on, and the socket goes on listening for the server.
std::optional<platform::SocketHandle> TCustomFtpCli::AcceptDataCaller() {
  const platform::SocketHandle accepted = dataSocket_->Accept();
  if (accepted == platform::kInvalidSocket) return std::nullopt;
  platform::SocketAddress server;
  controlSocket_->GetPeerName(&server);
  const platform::SocketAddress& caller = dataSocket_->AcceptedPeer();
  if (IsServerAddress(caller, server)) return accepted;
  platform::CloseSocket(accepted);
  TriggerDisplay("! Data connection from " + caller.Text() + " refused");
  return std::nullopt;
}

// ---- Shared pieces ------------------------------------------------------------------------

void TCustomFtpCli::CloseDataSocket() {
  if (dataSocket_->State() != wsClosed) dataSocket_->Close();
}

void TCustomFtpCli::FailStep(int code) {
  stepError_ = code;
  TriggerRequestDone(static_cast<uint16_t>(code));
}

// The server refused to start the transfer (no 150 or 125).
void TCustomFtpCli::FailTransferStart() {
  SetErrorMessage();
  judge_ = Judge::None;
  CloseDataSocket();
  FreeLocalStream();
  RemoveUnstartedDownload();
  resumeAt_ = 0;
  FailStep(statusCode_);
}

// A download that never started leaves no empty file of its own making behind (a file that
// was there before is left as it was).
void TCustomFtpCli::RemoveUnstartedDownload() {
  if (!createdLocalFile_) return;
  createdLocalFile_ = false;
  std::error_code ignored;
  std::filesystem::remove(localFileName_, ignored);
}

// The server's final reply reports a failed transfer.
void TCustomFtpCli::FailTransferEnd(const char* note) {
  SetErrorMessage();
  FreeLocalStream();
  CloseDataSocket();
  TriggerDisplay(note);
  FailStep(statusCode_);
}

void TCustomFtpCli::FailDataConnection(uint16_t error) {
  lastResponse_ = "Unable to establish data connection, error #" + std::to_string(error);
  statusCode_ = 550;
  SetErrorMessage();
  CloseDataSocket();
  RemoveUnstartedDownload();
  FailStep(550);
}

bool TCustomFtpCli::ConnectPassiveData(int failCode, void (TCustomFtpCli::*connected)(uint16_t)) {
  try {
    dataSocket_->SetPort(std::to_string(PasvPort()));
    dataSocket_->SetAddr(controlSocket_->Addr());
    dataSocket_->OnSessionConnected = [this, connected](TCustomWSocket*, uint16_t e) { (this->*connected)(e); };
    dataSocket_->SetLingerOnOff(wsLingerOff);
    dataSocket_->SetLingerTimeout(0);
    dataSocket_->Connect();
    return true;
  } catch (const std::exception& e) {
    lastResponse_ = std::to_string(failCode) + " " + ExceptionClassName(e) + ": " + e.what();
    statusCode_ = failCode;
    SetErrorMessage();
    CloseDataSocket();
    FailStep(failCode);
    return false;
  }
}

bool TCustomFtpCli::TriggerProgress() {
  bool abort = false;
  if (OnProgress) OnProgress(this, byteCount_ + resumeAt_, abort);
  if (!abort) return false;
  TriggerDisplay("! Abort requested");
  CloseDataSocket();
  return true;
}

bool TCustomFtpCli::TriggerReadyToTransmit() {
  bool cancel = false;
  if (OnReadyToTransmit) OnReadyToTransmit(this, cancel);
  return cancel;
}

void TCustomFtpCli::TransferStats() {
  stopTick_ = platform::TickCount();
  const int64_t elapsed = static_cast<uint32_t>(stopTick_ - startTick_);
  std::string line = "! " + std::to_string(byteCount_) + " bytes received/sent in " + std::to_string(elapsed / 1000) +
                     " seconds";
  // A rate needs time and bytes: an empty transfer's "(0 Bytes/sec)" would say nothing.
  if (elapsed != 0 && byteCount_ != 0) {
    const int64_t rate = byteCount_ < 32768 ? byteCount_ * 1000 / elapsed : (byteCount_ / elapsed) * 1000;
    line += " (" + std::to_string(rate) + " Bytes/sec)";
  }
  TriggerDisplay(line);
}

void TCustomFtpCli::CheckTransferDone() {
  if (!replyDone_ || !(receiveClosed_ || sendClosed_)) return;
  TransferStats();
  resumeAt_ = 0;
  if (listingCutOff_) {
    OverwriteErrorMessage("426 Listing larger than " + std::to_string(maxListingSize_) + " bytes");
    return FailStep(426);
  }
  // The server's reply may well read 226: the failure to name is the data connection's.
  if (dataCloseError_ != 0 && errorMessage_.empty())
    OverwriteErrorMessage("Data connection closed with error #" + std::to_string(dataCloseError_));
  FailStep(dataCloseError_);
}

// ---- Receiving: RETR, LIST, NLST ------------------------------------------------------------

void TCustomFtpCli::ExecGet() {
  StartReceive(ftpGetAsync, ftpStepGet, "RETR");
}

void TCustomFtpCli::ExecDir() {
  listedWithMlsd_ = listWithMlsd_ && features_.mlsd;
  StartReceive(ftpDirAsync, ftpStepDir, listedWithMlsd_ ? "MLSD" : "LIST");
}

void TCustomFtpCli::ExecLs() {
  StartReceive(ftpLsAsync, ftpStepLs, "NLST");
}

void TCustomFtpCli::StartReceive(TFtpRequest kind, TFtpStep step, const char* command) {
  if (!connected_) HandleError(std::string(command) + ": not connected");
  if (localFileName_.empty() && !displayFileFlag_) HandleError("LocalFileName empty");
  currentStep_ = step;
  if (!chainRunning_) requestType_ = kind;
  dataCommand_ = command;
  replyDone_ = false;
  receiveClosed_ = false;
  sendClosed_ = false;
  dataLinkUp_ = false;
  requestDoneFlag_ = false;
  byteCount_ = 0;
  dataCloseError_ = 0;
  listingCutOff_ = false;
  createdLocalFile_ = false;
  dataHeld_ = false;
  emptyPending_ = false;
  dataSocket_->OnSessionAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveSessionAvailable(); };
  if (!displayFileFlag_ && !OpenReceiveFile()) return;
  if (passive_ && !ConnectPassiveData(550, &TCustomFtpCli::ReceiveConnected)) return;
  SetState(ftpWaitingResponse);
  judge_ = Judge::ReceiveFirst;
  SendCommand(hostFileName_.empty() ? dataCommand_ : dataCommand_ + " " + hostFileName_);
}

// The local file is opened before the command goes out, so that a file that cannot be
// written fails the step at once. It is not emptied then: a server that refuses the transfer
// must leave the user's file as it was. A fresh download empties it once the server has
// agreed to send (EmptyReceiveFile); a resumed one continues at ResumeAt and never empties it.
bool TCustomFtpCli::OpenReceiveFile() {
  const bool exists = platform::GetFileSize(localFileName_) >= 0;
  emptyPending_ = resumeAt_ <= 0 && exists;
  createdLocalFile_ = !exists;
  if (!OpenLocalFile(exists || resumeAt_ > 0 ? platform::SharedFile::Mode::OpenWrite
                                             : platform::SharedFile::Mode::Create))
    return false;
  if (resumeAt_ > 0) localStream_->Seek(resumeAt_);
  return true;
}

void TCustomFtpCli::EmptyReceiveFile() {
  if (!localStream_ || !emptyPending_) return;
  emptyPending_ = false;
  OpenLocalFile(platform::SharedFile::Mode::Create);
}

bool TCustomFtpCli::OpenLocalFile(platform::SharedFile::Mode mode) {
  try {
    FreeLocalStream();
    localStream_ = std::make_unique<platform::SharedFile>(localFileName_, mode, shareMode_);
    return true;
  } catch (const std::exception&) {
    FreeLocalStream();
    lastResponse_ = "Unable to open local file " + localFileName_;
    statusCode_ = 550;
    SetErrorMessage();
    CloseDataSocket();
    FailStep(550);
    return false;
  }
}

void TCustomFtpCli::AttachReceiveHandlers() {
  dataSocket_->OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { ReceiveClosed(e); };
  dataSocket_->OnDataAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveData(); };
  dataSocket_->OnDataSent = nullptr;
}

void TCustomFtpCli::ReceiveSessionAvailable() {
  const auto accepted = AcceptDataCaller();
  if (!accepted) return;
  dataSocket_->Close();
  AttachReceiveHandlers();
  dataSocket_->Dup(*accepted);
  startTick_ = platform::TickCount();
  dataLinkUp_ = true;
  StartDataTlsWhenDue(false);
}

void TCustomFtpCli::ReceiveConnected(uint16_t error) {
  AttachReceiveHandlers();
  startTick_ = platform::TickCount();
  if (error != 0) return FailDataConnection(error);
  dataLinkUp_ = true;
  StartDataTlsWhenDue(false);
}

void TCustomFtpCli::ReceiveData() {
  // Data that comes before the server's 150 waits in the socket until the file is ready for it.
  if (judge_ == Judge::ReceiveFirst) {
    dataHeld_ = true;
    dataSocket_->Pause();
    return;
  }
  if (TriggerProgress()) return;
  int n = 0;
  if (localStream_ && !displayFileFlag_ && !dataSocket_->HoldsReceivedData()) {
    // Into the file inside the kernel: the bytes are not copied through the engine.
    bool fileFailed = false;
    n = dataSocket_->ReceiveToFile(localStream_->Descriptor(), kFtpReceiveBlockSize, fileFailed);
    if (n > 0) byteCount_ += n;
    if (fileFailed) return LocalWriteFailed();
  } else {
    if (!transferBuffer_) transferBuffer_ = std::make_unique_for_overwrite<char[]>(kFtpReceiveBlockSize);
    n = dataSocket_->Receive(transferBuffer_.get(), kFtpReceiveBlockSize);
    if (n > 0) {
      byteCount_ += n;
      WriteReceivedBlock(transferBuffer_.get(), n);
    }
  }
  if (CutOffLongListing()) return;
  if (n < 0 && dataSocket_->State() == wsConnected && dataSocket_->LastError() != 10035) {
    TriggerDisplay("! Data: Receive error " + std::to_string(dataSocket_->LastError()));
    dataSocket_->Shutdown(SHUT_RDWR);
  }
}

// The data connection is closed; the request fails once the server has answered, whatever
// its answer.
bool TCustomFtpCli::CutOffLongListing() {
  if (maxListingSize_ <= 0 || byteCount_ <= maxListingSize_) return false;
  if (currentStep_ != ftpStepDir && currentStep_ != ftpStepLs) return false;
  listingCutOff_ = true;
  TriggerDisplay("! Listing larger than " + std::to_string(maxListingSize_) + " bytes: the rest is not received");
  CloseDataSocket();
  return true;
}

void TCustomFtpCli::LocalWriteFailed() {
  TriggerDisplay("! Error writing local file");
  dataSocket_->Shutdown(SHUT_RDWR);
}

void TCustomFtpCli::WriteReceivedBlock(const char* data, int len) {
  if (localStream_) {
    try {
      localStream_->Write(data, len);
    } catch (const std::exception&) {
      LocalWriteFailed();
    }
  }
  if (!displayFileFlag_) return;
  // Lines for the display: a run of CR and LF ends a piece; a piece cut by the block's end
  // arrives as two pieces.
  const char* end = data + len;
  for (const char* p = data; p < end;) {
    const char* q = p;
    while (q < end && *q != '\r' && *q != '\n') ++q;
    if (q > p) TriggerDisplayFile(std::string(p, q));
    while (q < end && (*q == '\r' || *q == '\n')) ++q;
    p = q;
  }
}

void TCustomFtpCli::ReceiveClosed(uint16_t error) {
  receiveClosed_ = true;
  dataCloseError_ = error;
  // An empty transfer may close before the server's 150; the file is settled when it comes.
  if (judge_ == Judge::ReceiveFirst) return;
  FreeLocalStream();
  CheckTransferDone();
}

void TCustomFtpCli::ReceiveFirstReply() {
  ShowLine();
  if (!IsTransferStart(statusCode_)) return FailTransferStart();
  createdLocalFile_ = false;  // the transfer started: what it brings is kept
  judge_ = Judge::ReceiveFinal;
  EmptyReceiveFile();
  if (state_ != ftpWaitingResponse) return;  // the file could not be emptied
  if (receiveClosed_) FreeLocalStream();
  if (dataHeld_) {
    dataHeld_ = false;
    dataSocket_->Resume();
  }
  StartDataTlsWhenDue(false);
}

void TCustomFtpCli::ReceiveFinalReply() {
  ShowLine();
  if (statusCode_ == 125 || statusCode_ == 226 || statusCode_ == 250) {
    replyDone_ = true;
    CheckTransferDone();
    return;
  }
  FailTransferEnd("! RETR/LIST/NLST Failed");
}

// ---- Sending: STOR, APPE --------------------------------------------------------------------

void TCustomFtpCli::ExecPut() {
  StartSend(ftpStepPut);
}

void TCustomFtpCli::ExecAppend() {
  StartSend(ftpStepAppend);
}

void TCustomFtpCli::StartSend(TFtpStep step) {
  if (!connected_) HandleError("STOR/APPE: not connected");
  if (localFileName_.empty()) HandleError("LocalFileName empty");
  currentStep_ = step;
  createdLocalFile_ = false;
  appendFlag_ = step == ftpStepAppend;
  if (!chainRunning_) requestType_ = appendFlag_ ? ftpAppendAsync : ftpPutAsync;
  replyDone_ = false;
  sendClosed_ = false;
  receiveClosed_ = false;
  dataConnected_ = false;
  dataLinkUp_ = false;
  readyToSend_ = false;
  requestDoneFlag_ = false;
  startTick_ = 0;
  byteCount_ = 0;
  dataCloseError_ = 0;
  if (TriggerReadyToTransmit()) {
    OverwriteErrorMessage("426 Transmit cancelled by application");
    statusCode_ = 426;
    TriggerDisplay("! " + errorMessage_);
    FailStep(426);
    return;
  }
  dataSocket_->OnSessionAvailable = [this](TCustomWSocket*, uint16_t) { SendSessionAvailable(); };
  if (!OpenSendFile()) return;
  if (passive_) {
    ConnectPassiveData(426, &TCustomFtpCli::SendConnected);
    return;  // the command goes out once the data connection is up
  }
  SendDataCommand();
}

bool TCustomFtpCli::OpenSendFile() {
  try {
    FreeLocalStream();
    localStream_ = std::make_unique<platform::SharedFile>(localFileName_, platform::SharedFile::Mode::OpenRead, shareMode_);
    endOfFile_ = false;
    if (resumeAt_ > 0) localStream_->Seek(resumeAt_);
    return true;
  } catch (const std::exception&) {
    FreeLocalStream();
    OverwriteErrorMessage("426 Unable to open local file " + localFileName_);
    statusCode_ = 426;
    TriggerDisplay("! " + errorMessage_);
    CloseDataSocket();
    FailStep(426);
    return false;
  }
}

void TCustomFtpCli::SendDataCommand() {
  SetState(ftpWaitingResponse);
  judge_ = Judge::SendFirst;
  SendCommand((appendFlag_ ? "APPE " : "STOR ") + hostFileName_);
}

void TCustomFtpCli::DiscardDataInput() {
  char discard[2048];
  dataSocket_->Receive(discard, sizeof discard);
}

void TCustomFtpCli::SendSessionAvailable() {
  const auto accepted = AcceptDataCaller();
  if (!accepted) return;
  dataSocket_->Close();
  dataSocket_->OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { SendClosed(e); };
  dataSocket_->OnDataAvailable = [this](TCustomWSocket*, uint16_t) { DiscardDataInput(); };
  dataSocket_->OnDataSent = [this](TCustomWSocket*, uint16_t e) { SendNextBlock(e); };
  dataSocket_->Dup(*accepted);
  dataSocket_->SetLingerOnOff(wsLingerOff);
  dataSocket_->SetLingerTimeout(10);
  dataSocket_->ApplyLinger();
  dataLinkUp_ = true;
  if (dataProtected_) return StartDataTlsWhenDue(true);
  dataConnected_ = true;
  ContinueSend();
}

void TCustomFtpCli::SendConnected(uint16_t error) {
  dataSocket_->OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { SendClosed(e); };
  dataSocket_->OnDataAvailable = nullptr;
  dataSocket_->OnDataSent = nullptr;
  startTick_ = platform::TickCount();
  if (error != 0) {
    dataConnected_ = true;
    FailDataConnection(error);
    return;
  }
  dataLinkUp_ = true;
  dataConnected_ = !dataProtected_;  // an encrypted one is connected once TLS is up
  SendDataCommand();
}

void TCustomFtpCli::SendFirstReply() {
  ShowLine();
  if (IsTransferStart(statusCode_)) {
    readyToSend_ = true;
    judge_ = Judge::SendFinal;
    if (passive_) dataSocket_->OnDataSent = [this](TCustomWSocket*, uint16_t e) { SendNextBlock(e); };
    if (dataConnected_)
      ContinueSend();
    else
      StartDataTlsWhenDue(true);
    return;
  }
  FailTransferStart();
}

void TCustomFtpCli::SendFinalReply() {
  ShowLine();
  if (statusCode_ == 226 || statusCode_ == 250) {
    replyDone_ = true;
    // The server has the whole file: a data connection it left open is closed now.
    if (endOfFile_ && dataSocket_->State() != wsClosed) return CloseDataSocket();
    CheckTransferDone();
    return;
  }
  FailTransferEnd("! STOR Failed");
}

void TCustomFtpCli::SendClosed(uint16_t error) {
  FreeLocalStream();
  sendClosed_ = true;
  dataCloseError_ = error;
  CheckTransferDone();
}

// The data connection of an upload is ready (connected, and encrypted when it must be): the
// file goes once the server has also agreed to take it.
void TCustomFtpCli::ContinueSend() {
  if (!readyToSend_) return;
  if (passive_)
    SendNextBlock(0);
  else if (startTick_ == 0)
    sink_.Post(WM_FTP_SENDDATA, 0, 0);
}

// The whole file was sent. An encrypted connection first gets the TLS close, so that the
// server can tell a complete file from a cut one (SendNextBlock goes on once it is sent).
void TCustomFtpCli::EndUpload() {
  endOfFile_ = true;
  if (dataSocket_->TlsEstablished())
    dataSocket_->ShutdownTls();
  else
    CloseDataSocket();
}

// After the TLS close of an upload: our side is done; the server's close answers it, and
// what the server still sends on the way (its own TLS close, a session ticket the next data
// connection may need) is read until then.
void TCustomFtpCli::AwaitServerClose() {
  if (dataSocket_->State() != wsConnected) return;
  dataSocket_->OnDataSent = nullptr;
  dataSocket_->Shutdown(SHUT_WR);
}

// On a plain connection a block goes from the file to the socket inside the kernel. False
// when it cannot (a file that cannot be sent so, a failure): the ordinary way then sends the
// block and names what failed.
bool TCustomFtpCli::SendBlockFromFile() {
  const int n = dataSocket_->SendFile(localStream_->Descriptor(), kFtpSendBlockSize);
  if (n > 0) {
    byteCount_ += n;
    return true;
  }
  if (n == 0) {
    EndUpload();
    return true;
  }
  return dataSocket_->LastError() == platform::kWsaEWOULDBLOCK;  // write readiness brings the next block
}

// One block of the file per data-sent report: the engine never holds more than one block.
void TCustomFtpCli::SendNextBlock(uint16_t error) {
  if (!localStream_ || TriggerProgress() || !localStream_) return;
  if (error != 0) {
    TriggerDisplay("! Error #" + std::to_string(error) + " sending data");
    CloseDataSocket();
    return;
  }
  if (endOfFile_) return AwaitServerClose();  // what follows the TLS close of an upload
  if (!readyToSend_ || !dataConnected_) return;
  if (!dataSocket_->TlsActive() && SendBlockFromFile()) return;
  if (!transferBuffer_) transferBuffer_ = std::make_unique_for_overwrite<char[]>(kFtpReceiveBlockSize);
  int n = 0;
  try {
    n = localStream_->Read(transferBuffer_.get(), kFtpSendBlockSize);
  } catch (const std::exception&) {
    TriggerDisplay("! Error reading file");
    CloseDataSocket();
    return;
  }
  if (n < 1) return EndUpload();
  byteCount_ += n;
  dataSocket_->Send(transferBuffer_.get(), n);
}
