// TCustomFtpCli: the component, its state, commands, the control connection and its replies,
// and the end of every request.
#include "ftp/FtpCli.h"
#include "ftp/FtpMessages.h"

#include "net/SocketErrorText.h"
#include "platform/StringUtils.h"

namespace {
constexpr int kDefaultShareFlags = platform::kShareExclusive;

// The steps that ask what the server can do never fail a chain: a server that refuses one
// (an FTP proxy that lets no FEAT or OPTS through) simply lacks the feature.
bool IsNegotiation(TFtpStep step) {
  return step == ftpStepFeat || step == ftpStepOptsUtf8 || step == ftpStepOptsMlst;
}
}  // namespace

TCustomFtpCli::TCustomFtpCli()
    : controlSocket_(std::make_unique<TWSocket>()),
      dataSocket_(std::make_unique<TWSocket>()),
      sink_([this](unsigned msg, uintptr_t w, intptr_t l) { HandleMessage(msg, w, l); }) {
  controlSocket_->OnDnsLookupDone = [this](TCustomWSocket*, uint16_t e) { ControlDnsLookupDone(e); };
  controlSocket_->OnSessionConnected = [this](TCustomWSocket*, uint16_t e) { ControlSessionConnected(e); };
  controlSocket_->OnDataAvailable = [this](TCustomWSocket*, uint16_t e) { ControlDataAvailable(e); };
  controlSocket_->OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { ControlSessionClosed(e); };
  controlSocket_->OnSocksError = [this](TCustomWSocket*, int32_t, const std::string& text) { socksErrorText_ = text; };
}

TCustomFtpCli::~TCustomFtpCli() {
  // The sockets go first, while the engine their handlers point to still exists; their
  // handlers are detached so that closing them reports nothing to a vanishing engine.
  for (TWSocket* s : {controlSocket_.get(), dataSocket_.get()}) {
    s->OnDnsLookupDone = nullptr;
    s->OnSessionConnected = nullptr;
    s->OnDataAvailable = nullptr;
    s->OnSessionClosed = nullptr;
    s->OnSessionAvailable = nullptr;
    s->OnDataSent = nullptr;
    s->OnSocksError = nullptr;
    s->OnTlsDone = nullptr;
  }
  controlSocket_.reset();
  dataSocket_.reset();
}

// ---- Properties ---------------------------------------------------------------------------

TFtpShareMode TCustomFtpCli::ShareMode() const {
  switch (shareMode_) {
    case platform::kShareCompat: return ftpShareCompat;
    case platform::kShareDenyWrite: return ftpShareDenyWrite;
    case platform::kShareDenyRead: return ftpShareDenyRead;
    case platform::kShareDenyNone: return ftpShareDenyNone;
    default: return ftpShareExclusive;
  }
}

void TCustomFtpCli::SetShareMode(int mode) {
  switch (mode) {
    case ftpShareCompat: shareMode_ = platform::kShareCompat; break;
    case ftpShareDenyWrite: shareMode_ = platform::kShareDenyWrite; break;
    case ftpShareDenyRead: shareMode_ = platform::kShareDenyRead; break;
    case ftpShareDenyNone: shareMode_ = platform::kShareDenyNone; break;
    default: shareMode_ = kDefaultShareFlags; break;
  }
}

bool TCustomFtpCli::Connected() const { return controlSocket_->State() != wsClosed; }

void TCustomFtpCli::SetState(TFtpState state) {
  if (state == state_) return;
  state_ = state;
  if (OnStateChange) OnStateChange(this);
}

void TCustomFtpCli::SetErrorMessage() {
  if (errorMessage_.empty()) errorMessage_ = lastResponse_;
}

void TCustomFtpCli::OverwriteErrorMessage(const std::string& text) { errorMessage_ = text; }

// ---- Misuse -------------------------------------------------------------------------------

void TCustomFtpCli::HandleError(const std::string& msg) { throw FtpException(msg); }

bool TCustomFtpCli::CheckReady() {
  if (state_ == ftpReady || state_ == ftpInternalReady) return true;
  HandleError("FTP component not ready");
}

// A line break inside a command would end it early and send the rest as a command of its
// own: a local file named "a<LF>DELE b" would delete b on upload. Such a request is refused
// in the caller's call, before anything is sent.
void TCustomFtpCli::RefuseLineBreak(const char* what, const std::string& text) {
  if (text.find_first_of("\r\n") != std::string::npos) HandleError(std::string(what) + " holds a line break");
}

// ---- Events -------------------------------------------------------------------------------

void TCustomFtpCli::TriggerDisplay(const std::string& msg) {
  if (!OnDisplay) return;
  std::string line = msg;
  OnDisplay(this, line);
}

void TCustomFtpCli::TriggerDisplayFile(const std::string& msg) {
  if (!OnDisplayFile) return;
  std::string line = msg;
  OnDisplayFile(this, line);
}

// ---- Commands -----------------------------------------------------------------------------

void TCustomFtpCli::SendCommand(const std::string& command) {
  std::string cmd = command;
  if (OnCommand) OnCommand(this, cmd);
  TriggerDisplay("> " + cmd);
  if (controlSocket_->State() == wsConnected) controlSocket_->SendStr(cmd + "\r\n");
}

void TCustomFtpCli::ExecAsync(TFtpRequest kind, TFtpStep step, const std::string& cmd,
                              std::initializer_list<int> accepted, DoneAction done) {
  if (cmd != "ABOR" && cmd != "STAT" && cmd != "QUIT") {
    CheckReady();
    if (!connected_) HandleError("FTP component not connected");
  }
  // A chain's commands are made of the fields HighLevelAsync has checked.
  if (!chainRunning_) RefuseLineBreak("The command", cmd);
  // Only a request that is accepted changes what the judge takes from the reply.
  currentStep_ = step;
  if (!chainRunning_) requestType_ = kind;
  acceptedCount_ = 0;
  for (int code : accepted) {
    if (acceptedCount_ == std::size(acceptedCodes_) - 1) break;
    acceptedCodes_[acceptedCount_++] = code;
  }
  acceptedCodes_[acceptedCount_] = 0;
  requestDoneFlag_ = false;
  quitAccepted_ = false;
  fallbackCommand_.clear();
  judge_ = Judge::Standard;
  doneAction_ = done;
  SetState(ftpWaitingResponse);
  SendCommand(cmd);
}

// ---- Reading the control connection -------------------------------------------------------

void TCustomFtpCli::ControlDataAvailable(uint16_t error) {
  char block[FtpReplyAssembler::kCapacity];
  const int n = controlSocket_->Receive(block, static_cast<int>(replyAssembler_.Room()));
  if (n == 0) {
    controlSocket_->Close();
    return;
  }
  if (n < 0) return;
  replyAssembler_.Append(block, static_cast<size_t>(n));
  std::string line;
  while (replyAssembler_.NextLine(line, options_.Contains(ftpAcceptLF))) {
    lastResponse_ = line;
    if (OnResponse) OnResponse(this);
    HandleLine(line, error);
    if (controlSocket_->State() == wsClosed) return;
  }
}

void TCustomFtpCli::HandleLine(const std::string& line, uint16_t error) {
  switch (state_) {
    case ftpWaitingBanner: HandleGreeting(line, error); break;
    case ftpWaitingResponse: {
      int code = 0;
      if (!IsFinalReplyLine(line, code)) {
        // Continuation lines are not shown; those of FEAT name the features.
        if (currentStep_ == ftpStepFeat) featureLines_.push_back(line);
        return;
      }
      statusCode_ = code;
      HandleFinalReply();
      break;
    }
    default: TriggerDisplay("< " + line); break;
  }
}

void TCustomFtpCli::HandleGreeting(const std::string& line, uint16_t error) {
  TriggerDisplay("< " + line);
  int code = 0;
  if (!IsFinalReplyLine(line, code)) return;
  statusCode_ = code;
  if (code != 220) {
    SetErrorMessage();
    stepError_ = code;
    controlSocket_->Close();
    return;
  }
  SetState(ftpConnected);
  if (OnSessionConnected) OnSessionConnected(this, error);
  if (ExplicitTls() && !encrypted_) return RequestAuthTls();
  TriggerRequestDone(0);
}

void TCustomFtpCli::HandleFinalReply() {
  switch (judge_) {
    case Judge::None: HandleError("Program error: FNext is nil");
    case Judge::Standard: StandardJudge(); break;
    case Judge::ReceiveFirst: ReceiveFirstReply(); break;
    case Judge::ReceiveFinal: ReceiveFinalReply(); break;
    case Judge::SendFirst: SendFirstReply(); break;
    case Judge::SendFinal: SendFinalReply(); break;
    case Judge::AuthTls: AuthTlsReply(); break;
    case Judge::Pbsz: PbszReply(); break;
    case Judge::Prot: ProtReply(); break;
  }
}

void TCustomFtpCli::ShowLine() { TriggerDisplay("< " + lastResponse_); }

bool TCustomFtpCli::CodeIsAccepted() const {
  if (acceptedCodes_[0] == 0) return statusCode_ < 500;
  for (size_t i = 0; i < acceptedCount_; ++i)
    if (acceptedCodes_[i] == statusCode_) return true;
  return false;
}

void TCustomFtpCli::StandardJudge() {
  ShowLine();
  if (CodeIsAccepted() || IsNegotiation(currentStep_)) {
    stepError_ = 0;
  } else {
    if (FallBack()) return;
    stepError_ = statusCode_;
    SetErrorMessage();
  }
  if (currentStep_ == ftpStepFeat && !CodeIsAccepted()) featureLines_.clear();
  if (passive_ && (statusCode_ == 227 || statusCode_ == 229)) pasvResponse_ = lastResponse_;
  if (stepError_ == 0) TakeReplyResults();
  if (doneAction_ == DoneAction::CloseControl) {
    doneAction_ = DoneAction::None;
    if (stepError_ == 0) {
      quitAccepted_ = true;
      controlSocket_->Close();
      return;
    }
  }
  TriggerRequestDone(static_cast<uint16_t>(stepError_));
}

// A refused command that has a fallback (EPSV: PASV) sends it instead, and the session keeps
// to the fallback from then on.
bool TCustomFtpCli::FallBack() {
  if (fallbackCommand_.empty()) return false;
  epsvRefused_ = true;
  const std::string command = std::move(fallbackCommand_);
  fallbackCommand_.clear();
  SendCommand(command);
  return true;
}

void TCustomFtpCli::TakeReplyResults() {
  switch (currentStep_) {
    case ftpStepFeat: features_ = ParseFeatures(featureLines_); break;
    case ftpStepSize: {
      int64_t code = 0;
      const size_t after = GetInteger(lastResponse_, 0, code);
      GetInteger(lastResponse_, after, sizeResult_);
      break;
    }
    case ftpStepCwd:
    case ftpStepMkd:
    case ftpStepPwd:
    case ftpStepCDup: {
      int64_t code = 0;
      dirResult_ = GetQuotedString(lastResponse_, GetInteger(lastResponse_, 0, code));
      break;
    }
    default: break;
  }
}

// ---- Ending a request ---------------------------------------------------------------------

void TCustomFtpCli::TriggerRequestDone(uint16_t error) {
  if (requestDoneFlag_) return;
  requestDoneFlag_ = true;
  if (error == 0 && chainContinuation_) {
    if (state_ != ftpAbort) SetState(ftpInternalReady);
    NextExecAsync();
    return;
  }
  SetState(ftpReady);
  if (dataSocket_->State() != wsClosed) dataSocket_->Close();
  FreeLocalStream();  // whichever way the request ended, its local file is closed
  if (chainRunning_ && savedCode_ >= 0) {
    lastResponse_ = savedResponse_;
    statusCode_ = savedCode_;
  }
  chainRunning_ = false;
  // A chain that stopped at a failure must not be resumed by the next request's success.
  chainContinuation_ = false;
  remainingSteps_.Clear();
  sink_.Post(WM_FTP_REQUEST_DONE, 0, error);
}

void TCustomFtpCli::HandleMessage(unsigned msg, uintptr_t, intptr_t lParam) {
  try {
    if (msg == WM_FTP_REQUEST_DONE) {
      if (OnRequestDone) OnRequestDone(this, requestType_, static_cast<uint16_t>(lParam & 0xFFFF));
    } else if (msg == WM_FTP_SENDDATA) {
      startTick_ = platform::TickCount();
      SendNextBlock(0);
    } else if (msg == WM_FTP_TLS_VERIFY) {
      DecideCertificate(lParam);
    }
  } catch (const std::exception& e) {
    bool canClose = true;
    if (OnBgException) OnBgException(this, e, canClose);
  }
}

// ---- Opening and closing the control connection -------------------------------------------

void TCustomFtpCli::OpenAsync() {
  CheckReady();
  if (connected_) HandleError("FTP component already connected");
  if (!chainRunning_) requestType_ = ftpOpenAsync;
  requestDoneFlag_ = false;
  replyAssembler_.Clear();
  stepError_ = 0;
  dnsResult_.clear();
  features_ = {};
  epsvRefused_ = false;
  socksErrorText_.clear();
  ForgetTls();
  SetState(ftpDnsLookup);
  controlSocket_->DnsLookup(connectionType_ == ftpProxy ? proxyServer_ : hostName_);
}

void TCustomFtpCli::FailConnection(uint16_t error, const std::string& text) {
  lastResponse_ = "500 " + text + " (Winsock error #" + std::to_string(error) + ")";
  statusCode_ = 500;
  stepError_ = 500;
  SetErrorMessage();
}

// A refusal of the SOCKS relay is told in its own words; socket errors by their text.
std::string TCustomFtpCli::ConnectErrorText(uint16_t error) const {
  const bool socksFailure = error >= 20001 && error <= 20017 && !socksErrorText_.empty();
  return socksFailure ? socksErrorText_ : SocketErrorText(error);
}

void TCustomFtpCli::ControlDnsLookupDone(uint16_t error) {
  if (error != 0) {
    FailConnection(error, SocketErrorText(error));
    TriggerRequestDone(error);
    return;
  }
  dnsResult_ = controlSocket_->DnsResult();
  const bool viaProxyPort = connectionType_ == ftpProxy && !proxyDialPort_.empty();
  try {
    controlSocket_->SetAddr(dnsResult_);
    // The host's other addresses are tried when the first does not answer.
    const std::vector<std::string>& found = controlSocket_->DnsResultList();
    controlSocket_->SetFallbackAddrs(found.size() > 1 ? std::vector<std::string>(found.begin() + 1, found.end())
                                                      : std::vector<std::string>{});
    controlSocket_->SetProto("tcp");
    controlSocket_->SetPort(viaProxyPort ? proxyDialPort_ : DialPort());
    SetState(ftpWaitingBanner);
    controlSocket_->Connect();
  } catch (const ESocketException& e) {
    // A port text that names no service: the request fails instead of hanging.
    lastResponse_ = std::string("500 ") + e.what();
    statusCode_ = 500;
    stepError_ = 500;
    SetErrorMessage();
    chainContinuation_ = false;
    if (controlSocket_->State() != wsClosed) controlSocket_->Close();
    TriggerRequestDone(500);
  }
}

void TCustomFtpCli::ControlSessionConnected(uint16_t error) {
  if (error != 0) {
    FailConnection(error, ConnectErrorText(error));
    chainContinuation_ = false;
    TriggerRequestDone(error);
    controlSocket_->Close();
    SetState(ftpReady);
    return;
  }
  connected_ = true;
  dnsResult_ = controlSocket_->Addr();  // the address that answered, of the host's several
  if (ImplicitTls()) StartControlTls();
}

void TCustomFtpCli::ControlSessionClosed(uint16_t error) {
  ForgetTls();
  if (connected_) {
    connected_ = false;
    if (state_ != ftpAbort) SetState(ftpNotConnected);
    if (OnSessionClosed) OnSessionClosed(this, error);
  }
  if (state_ != ftpAbort) SetState(ftpInternalReady);
  TriggerRequestDone(static_cast<uint16_t>(ClosedRequestError(error)));
}

// A request still waiting for its reply when the control connection goes did not succeed:
// it ends with an error, never with 0. QUIT's accepted 221 is the one close that succeeds.
int TCustomFtpCli::ClosedRequestError(uint16_t closeError) {
  if (stepError_ != 0 || requestDoneFlag_ || quitAccepted_) return stepError_;
  if (!socksErrorText_.empty()) {
    // The relay gave up before the connection was made (SOCKS 4 could not resolve the host).
    FailConnection(closeError, ConnectErrorText(closeError));
    return closeError;
  }
  if (state_ == ftpAbort) {
    OverwriteErrorMessage("426 Operation aborted.");
    stepError_ = 426;
  } else {
    lastResponse_ = "421 Connection closed by the server";
    statusCode_ = 421;
    SetErrorMessage();
    stepError_ = 421;
  }
  return stepError_;
}

void TCustomFtpCli::QuitAsync() {
  FreeLocalStream();
  ExecAsync(ftpQuitAsync, ftpStepQuit, "QUIT", {221}, DoneAction::CloseControl);
}

void TCustomFtpCli::Abort() {
  const bool lookingUp = state_ == ftpDnsLookup;
  SetState(ftpAbort);
  FreeLocalStream();
  if (lookingUp) controlSocket_->CancelDnsLookup();
  if (controlSocket_->State() != wsClosed) controlSocket_->Close();
  if (dataSocket_->State() != wsClosed) dataSocket_->Close();
  FreeLocalStream();
  connected_ = false;
  ForgetTls();
  SetState(ftpReady);
}

void TCustomFtpCli::FreeLocalStream() { localStream_.reset(); }
