// TCustomFtpCli: the single-command requests, the chained requests and the chain runner.
#include "ftp/FtpCli.h"
#include "platform/SharedFile.h"
#include "platform/StringUtils.h"

// ---- Single-command requests --------------------------------------------------------------

std::string TCustomFtpCli::UserLine() const {
  if (connectionType_ != ftpProxy) return "USER " + userName_;
  const std::string port = platform::UpperCase(port_);
  // The proxy learns the real server from the login name.
  if (port == "FTP" || port == "21") return "USER " + userName_ + "@" + hostName_;
  return "USER " + userName_ + "@" + hostName_ + ":" + port_;
}

void TCustomFtpCli::UserAsync() {
  if (userName_.empty()) HandleError("UserName emtpy");
  ExecAsync(ftpUserAsync, ftpStepUser, UserLine(), {331, 230});
}

void TCustomFtpCli::PassAsync() {
  if (passWord_.empty()) HandleError("Password emtpy");
  ExecAsync(ftpPassAsync, ftpStepPass, "PASS " + passWord_, {230});
}

void TCustomFtpCli::FeatStep() {
  featureLines_.clear();
  ExecAsync(ftpConnectAsync, ftpStepFeat, "FEAT", {211});
}

void TCustomFtpCli::OptsUtf8Step() { ExecAsync(ftpConnectAsync, ftpStepOptsUtf8, "OPTS UTF8 ON", {200, 202}); }

void TCustomFtpCli::OptsMlstStep() { ExecAsync(ftpConnectAsync, ftpStepOptsMlst, MlstOptsCommand(features_), {200}); }

void TCustomFtpCli::CwdAsync() {
  if (hostDirName_.empty()) HandleError("HostDirName emtpy");
  ExecAsync(ftpCwdAsync, ftpStepCwd, "CWD " + hostDirName_, {200, 250, 257});
}

void TCustomFtpCli::SystAsync() {
  ExecAsync(ftpSystAsync, ftpStepSyst, "SYST", {215});
}

void TCustomFtpCli::SizeAsync() {
  sizeResult_ = 0;
  ExecAsync(ftpSizeAsync, ftpStepSize, "SIZE " + hostFileName_, {213});
}

void TCustomFtpCli::MkdAsync() {
  ExecAsync(ftpMkdAsync, ftpStepMkd, "MKD " + hostFileName_, {257});
}

void TCustomFtpCli::RmdAsync() {
  ExecAsync(ftpRmdAsync, ftpStepRmd, "RMD " + hostFileName_, {250, 257});
}

void TCustomFtpCli::DeleAsync() {
  ExecAsync(ftpDeleAsync, ftpStepDele, "DELE " + hostFileName_, {250, 257});
}

void TCustomFtpCli::RenToAsync() {
  ExecAsync(ftpRenToAsync, ftpStepRenTo, "RNTO " + localFileName_, {200, 250, 257});
}

void TCustomFtpCli::RenFromAsync() {
  ExecAsync(ftpRenFromAsync, ftpStepRenFrom, "RNFR " + hostFileName_, {350});
}

void TCustomFtpCli::PwdAsync() {
  ExecAsync(ftpPwdAsync, ftpStepPwd, "PWD", {250, 257});
}

void TCustomFtpCli::QuoteAsync() {
  ExecAsync(ftpQuoteAsync, ftpStepQuote, localFileName_, {});
}

void TCustomFtpCli::CDupAsync() {
  ExecAsync(ftpCDupAsync, ftpStepCDup, "CDUP", {250});
}

void TCustomFtpCli::TypeSetAsync() {
  ExecAsync(ftpTypeSetAsync, ftpStepTypeSet, std::string("TYPE ") + typeLetter_, {200});
}

void TCustomFtpCli::TypeBinaryAsync() {
  SetBinary(true);
  TypeSetAsync();
}

void TCustomFtpCli::TypeAsciiAsync() {
  SetBinary(false);
  TypeSetAsync();
}

void TCustomFtpCli::RestAsync() {
  const bool uploading = requestType_ == ftpRestPutAsync || requestType_ == ftpRestartPutAsync;
  if (!uploading && !options_.Contains(ftpNoAutoResumeAt)) resumeAt_ = platform::GetFileSize(localFileName_);
  if (resumeAt_ < 1) {
    // Nothing to skip: the step succeeds without a command.
    requestDoneFlag_ = false;
    judge_ = Judge::Standard;
    doneAction_ = DoneAction::None;
    TriggerRequestDone(0);
    return;
  }
  ExecAsync(ftpRestAsync, ftpStepRest, "REST " + std::to_string(resumeAt_), {});
}

// ---- Chained requests ---------------------------------------------------------------------

void TCustomFtpCli::ConnectAsync() {
  HighLevelAsync(ftpConnectAsync,
                 {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepFeat, ftpStepOptsUtf8, ftpStepOptsMlst});
}

void TCustomFtpCli::ReceiveAsync() {
  HighLevelAsync(ftpReceiveAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepTypeSet, ftpStepPort,
                                   ftpStepGet, ftpStepQuit});
}

void TCustomFtpCli::DirAsync() { HighLevelAsync(ftpDirAsync, {ftpStepPort, ftpStepDir}); }

void TCustomFtpCli::LsAsync() { HighLevelAsync(ftpLsAsync, {ftpStepPort, ftpStepLs}); }

void TCustomFtpCli::GetAsync() { HighLevelAsync(ftpGetAsync, {ftpStepPort, ftpStepGet}); }

void TCustomFtpCli::DirectoryAsync() {
  HighLevelAsync(ftpDirectoryAsync,
                 {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepPort, ftpStepDir, ftpStepQuit});
}

void TCustomFtpCli::ListAsync() {
  HighLevelAsync(ftpListAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepPort, ftpStepLs, ftpStepQuit});
}

void TCustomFtpCli::SystemAsync() {
  HighLevelAsync(ftpSystemAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepSyst, ftpStepQuit});
}

void TCustomFtpCli::FileSizeAsync() {
  // Reported with the kind of the single SIZE request.
  HighLevelAsync(ftpSizeAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepSize, ftpStepQuit});
}

void TCustomFtpCli::PutAsync() { HighLevelAsync(ftpPutAsync, {ftpStepPort, ftpStepPut}); }

void TCustomFtpCli::AppendAsync() { HighLevelAsync(ftpAppendAsync, {ftpStepPort, ftpStepAppend}); }

void TCustomFtpCli::RenameAsync() {
  HighLevelAsync(ftpRenameAsync,
                 {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepRenFrom, ftpStepRenTo, ftpStepQuit});
}

void TCustomFtpCli::RenAsync() { HighLevelAsync(ftpRenAsync, {ftpStepRenFrom, ftpStepRenTo}); }

void TCustomFtpCli::DeleteAsync() {
  HighLevelAsync(ftpDeleteAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepDele, ftpStepQuit});
}

void TCustomFtpCli::MkdirAsync() {
  HighLevelAsync(ftpMkdirAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepMkd, ftpStepQuit});
}

void TCustomFtpCli::RmdirAsync() {
  HighLevelAsync(ftpRmdirAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepRmd, ftpStepQuit});
}

void TCustomFtpCli::DoQuoteAsync() {
  HighLevelAsync(ftpDoQuoteAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepQuote, ftpStepQuit});
}

void TCustomFtpCli::TransmitAsync() {
  HighLevelAsync(ftpTransmitAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepTypeSet, ftpStepPort,
                                    ftpStepPut, ftpStepQuit});
}

void TCustomFtpCli::AppendFileAsync() {
  HighLevelAsync(ftpTransmitAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepTypeSet, ftpStepPort,
                                    ftpStepAppend, ftpStepQuit});
}

void TCustomFtpCli::RestGetAsync() { HighLevelAsync(ftpRestGetAsync, {ftpStepPort, ftpStepRest, ftpStepGet}); }

void TCustomFtpCli::RestartGetAsync() {
  HighLevelAsync(ftpRestartGetAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepTypeSet, ftpStepPort,
                                      ftpStepRest, ftpStepGet, ftpStepQuit});
}

void TCustomFtpCli::RestPutAsync() { HighLevelAsync(ftpRestPutAsync, {ftpStepPort, ftpStepRest, ftpStepPut}); }

void TCustomFtpCli::RestartPutAsync() {
  HighLevelAsync(ftpRestartPutAsync, {ftpStepOpen, ftpStepUser, ftpStepPass, ftpStepCwd, ftpStepTypeSet, ftpStepPort,
                                      ftpStepRest, ftpStepPut, ftpStepQuit});
}

// ---- The chain runner ---------------------------------------------------------------------

void TCustomFtpCli::HighLevelAsync(TFtpRequest kind, TFtpStepSet steps) {
  if (connected_ && steps.Contains(ftpStepOpen)) HandleError("FTP component already connected");
  CheckReady();
  RefuseLineBreak("HostName", hostName_);
  RefuseLineBreak("UserName", userName_);
  RefuseLineBreak("PassWord", passWord_);
  RefuseLineBreak("HostDirName", hostDirName_);
  RefuseLineBreak("HostFileName", hostFileName_);
  if (steps.Contains(ftpStepQuote)) RefuseLineBreak("The command", localFileName_);
  // A chain that logs in also protects the data connections of an encrypted session.
  if (steps.Contains(ftpStepPass)) steps.Add(ftpStepProt);
  savedResponse_ = lastResponse_;
  savedCode_ = -1;
  requestType_ = kind;
  stepError_ = 0;
  remainingSteps_ = steps;
  currentStep_ = ftpStepNone;
  requestError_ = 0;
  chainRunning_ = true;
  lastResponse_.clear();
  errorMessage_.clear();
  // The first step runs inside the caller's call, so its misuse errors reach the caller.
  startingChain_ = true;
  try {
    NextExecAsync();
  } catch (...) {
    startingChain_ = false;
    throw;
  }
  startingChain_ = false;
}

void TCustomFtpCli::NextExecAsync() {
  if (state_ == ftpAbort) {
    remainingSteps_.Clear();
    requestError_ = 426;
    OverwriteErrorMessage("426 Operation aborted.");
  }
  chainContinuation_ = true;
  TakeReplyResults();
  for (;;) {
    const TFtpStep step = remainingSteps_.TakeNext();
    if (step == ftpStepNone) break;
    stepBefore_ = currentStep_;
    currentStep_ = step;
    // Logged in by USER alone (230): there is no password to send.
    if (step == ftpStepPass && stepBefore_ == ftpStepUser && statusCode_ != 331) continue;
    if (step == ftpStepCwd && hostDirName_.empty()) continue;
    if (!StepWanted(step)) continue;
    if (step == ftpStepGet && !(stepBefore_ == ftpStepRest && resumeAt_ >= 0 && statusCode_ == 350)) resumeAt_ = 0;
    if (step == ftpStepQuit) {
      savedResponse_ = lastResponse_;
      savedCode_ = statusCode_;
    }
    if (startingChain_)
      RunStep(step);
    else
      RunStepFromEvent(step);
    return;
  }
  remainingSteps_.Clear();
  chainContinuation_ = false;
  requestDoneFlag_ = false;
  TriggerRequestDone(static_cast<uint16_t>(requestError_));
}

// A later step runs inside the socket event that advanced the chain. A misuse error there
// (an empty user name, say) has no caller to reach: it fails the request instead of
// escaping into the socket, which would drop the connection and report success.
void TCustomFtpCli::RunStepFromEvent(TFtpStep step) {
  try {
    RunStep(step);
  } catch (const FtpException& e) {
    lastResponse_ = std::string("500 ") + e.what();
    statusCode_ = 500;
    stepError_ = 500;
    SetErrorMessage();
    requestDoneFlag_ = false;
    chainContinuation_ = false;
    TriggerRequestDone(500);
  }
}

void TCustomFtpCli::RunStep(TFtpStep step) {
  switch (step) {
    case ftpStepOpen: OpenAsync(); break;
    case ftpStepUser: UserAsync(); break;
    case ftpStepPass: PassAsync(); break;
    case ftpStepCwd: CwdAsync(); break;
    case ftpStepCDup: CDupAsync(); break;
    case ftpStepTypeSet: TypeSetAsync(); break;
    case ftpStepPort: PortAsync(); break;
    case ftpStepRest: RestAsync(); break;
    case ftpStepGet: ExecGet(); break;
    case ftpStepPut: ExecPut(); break;
    case ftpStepAppend: ExecAppend(); break;
    case ftpStepDir: ExecDir(); break;
    case ftpStepLs: ExecLs(); break;
    case ftpStepSyst: SystAsync(); break;
    case ftpStepMkd: MkdAsync(); break;
    case ftpStepRmd: RmdAsync(); break;
    case ftpStepRenFrom: RenFromAsync(); break;
    case ftpStepRenTo: RenToAsync(); break;
    case ftpStepSize: SizeAsync(); break;
    case ftpStepDele: DeleAsync(); break;
    case ftpStepPwd: PwdAsync(); break;
    case ftpStepQuote: QuoteAsync(); break;
    case ftpStepQuit: QuitAsync(); break;
    case ftpStepProt: ProtAsync(); break;
    case ftpStepFeat: FeatStep(); break;
    case ftpStepOptsUtf8: OptsUtf8Step(); break;
    case ftpStepOptsMlst: OptsMlstStep(); break;
    case ftpStepNone: break;
  }
}

// The steps after the login ask only what is of use.
bool TCustomFtpCli::StepWanted(TFtpStep step) const {
  switch (step) {
    case ftpStepFeat: return options_.Contains(ftpUseFeatures);
    case ftpStepOptsUtf8: return features_.utf8 && utf8Names_;
    case ftpStepOptsMlst: return features_.mlsd && listWithMlsd_ && !MlstOptsCommand(features_).empty();
    case ftpStepProt: return encrypted_;
    default: return true;
  }
}
