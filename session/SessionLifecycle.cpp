// MainLogic: opening a session from a stored site, its start and end, reconnection,
// Disconnect, Stop, the exit button and applying the options.
#include <system_error>

#include "platform/EventLoop.h"
#include "platform/StringUtils.h"
#include "session/RemotePaths.h"
#include "session/SiteAddress.h"
#include "session/uMain.h"

namespace session {

namespace {

TFtpEncryption EngineEncryption(SiteEncryption encryption) {
  switch (encryption) {
    case SiteEncryption::ExplicitIfOffered: return ftpEncryptionExplicitIfOffered;
    case SiteEncryption::ExplicitRequired: return ftpEncryptionExplicit;
    case SiteEncryption::Implicit: return ftpEncryptionImplicit;
    case SiteEncryption::None: break;
  }
  return ftpEncryptionNone;
}

}  // namespace

// ---- Options ------------------------------------------------------------------------------

void MainLogic::ApplyOptions() {
  // The connection settings cannot change under an open connection; they are written again
  // before every connection anyway.
  if (!ftp_.Connected()) {
    WriteRelaySettings();
    const bool proxy = ftp_.ConnectionType() == ftpProxy;
    ftp_.SetPort(proxy ? options_.ProxyPort : "");
    ftp_.SetPassWord(proxy ? options_.ProxyPassword : "");
  }
  ftp_.SetBinary(options_.TransferMode == 2);
  ftp_.SetPassive(options_.PassiveTransfer);
  ftp_.SetTimeout(options_.TimeOut);
  log_.ApplyLogFile(options_.LogEnabled, options_.LogFile);
  Notify(Change::Options);

  const std::filesystem::path start(options_.StartDirectory);
  std::error_code error;
  if (!start.empty() && std::filesystem::is_directory(start, error) &&
      !std::filesystem::equivalent(start, local_.Directory(), error))
    LocalCommand([this, &start] { local_.ChangeDirectory(start); });
}

// ---- Connecting ---------------------------------------------------------------------------

void MainLogic::ConnectCommand() {
  if (ftp_.Connected() || hourglass_) return;
  connectAttempt_ = 0;
  if (!FirstSelectedRemote()) NewSite();
  if (FirstSelectedRemote()) OpenSelectedRemoteEntry();
}

// A double click on the remote pane, and the connect command: only while no request runs.
void MainLogic::OpenSelectedRemoteEntry() {
  const TFtpState state = ftp_.State();
  if (state != ftpReady && state != ftpInternalReady) {
    if (state == ftpAbort) ftp_.Abort();
    ftp_.PumpMessages();
    return;
  }
  const auto detached = remotePane_.DetachChangeHandler();
  if (showingSites_)
    ConnectToSelectedSite();
  else
    OpenRemoteDirectory();
}

void MainLogic::ConnectToSelectedSite() {
  if (!FirstSelectedRemote()) NewSite();
  const listing::PaneItem* item = FirstSelectedRemote();
  if (!item) return;
  const int index = FindSite(sites_, item->caption);
  if (index < 0) return;
  currentSite_ = ParseSiteAddress(sites_[static_cast<std::size_t>(index)]);
  // The start directory is typed text: the server gets it in the site's character set.
  const std::optional<std::string> startDir =
      currentSite_.InitialDir.empty() ? std::optional<std::string>("") : TypedServerName(currentSite_.InitialDir);
  if (!startDir) return;
  ftp_.SetHostName(currentSite_.Server);
  ftp_.SetPort(currentSite_.Port);
  if (!TakeLogin()) return;
  ftp_.SetBinary(true);
  ftp_.SetPassive(currentSite_.Pasv);
  ftp_.SetEncryption(EngineEncryption(currentSite_.Encryption));
  // A server that offers UTF-8 names is asked for them unless the site reads its names in a
  // single-byte set: a server that converts names would then send them in UTF-8.
  const platform::CharacterSet names = currentSite_.Charset;
  ftp_.SetUtf8Names(names == platform::CharacterSet::Automatic || names == platform::CharacterSet::Utf8);
  ftp_.SetListWithMlsd(currentSite_.AutoListing);
  // Without a start directory the session starts where the server puts the user (PWD).
  ftp_.SetHostDirName(startDir->empty() ? "" : WithTrailingSlash(*startDir));
  ShowSiteLocalDirectory();
  queues_.ClearTreeFlags();
  platform::ProcessMessages();
  log_.AddLog("Connecting to " + ftp_.HostName());
  states_.Set(Command::StopTransfer, Surface::Control, true);
  Notify(Change::Commands);
  connectAttempt_ = 0;
  ftp_.SetTimeout(0);
  WriteRelaySettings();
  Start(&TCustomFtpCli::ConnectAsync);
}

// The login of the site: anonymous with the e-mail address, or the user with the stored
// password or one asked for now. False when the user cancelled the question.
bool MainLogic::TakeLogin() {
  if (currentSite_.Anonymous) {
    ftp_.SetUserName("anonymous");
    ftp_.SetPassWord(currentSite_.EMail);
    return true;
  }
  ftp_.SetUserName(currentSite_.User);
  if (currentSite_.SavePassword) {
    ftp_.SetPassWord(currentSite_.Password);
    return true;
  }
  std::string password;
  if (!prompts_.PasswordQuery("Enter password", "Password:", password)) return false;
  ftp_.SetPassWord(password);
  return true;
}

// The site's local directory, made when it is missing; relative to the local pane's.
void MainLogic::ShowSiteLocalDirectory() {
  if (currentSite_.LocalDir.empty()) return;
  const std::filesystem::path directory = local_.Directory() / currentSite_.LocalDir;
  std::error_code error;
  if (!std::filesystem::is_directory(directory, error) && !std::filesystem::create_directories(directory, error))
    return;
  LocalCommand([this, &directory] { local_.ChangeDirectory(directory); });
}

// ---- The engine's session events ----------------------------------------------------------

void MainLogic::OnSessionConnected() {
  remoteBaseDir_ = WithTrailingSlash(ftp_.HostDirName());
  localWorkDir_ = local_.WorkDirectory();
  showingSites_ = false;
  EndBusy();
  {
    const auto detached = remotePane_.DetachChangeHandler();
    remotePane_.Clear();
  }
  Notify(Change::RemoteMode);
  keepAlive_.ArmAtSessionStart();
  UpdateRemoteCommands(true);
  connectAttempt_ = -1;
}

void MainLogic::OnSessionClosed() {
  if (!ReconnectionDue()) return EndSession();
  // The engine refuses a new connection from inside this event: the reconnection starts from
  // the completion of the failed connect, which follows.
  ++connectAttempt_;
  ftp_.SetTimeout(0);
  reconnectDue_ = true;
}

bool MainLogic::ReconnectionDue() const {
  return options_.RetryCount > 0 && connectAttempt_ >= 0 && options_.RetryCount >= connectAttempt_;
}

void MainLogic::StartReconnection() {
  WriteRelaySettings();
  if (!Start(&TCustomFtpCli::ConnectAsync)) return EndSession();
  log_.AddLog(platform::Format("Connecting to %s [Attempt %d]", ftp_.HostName().c_str(), connectAttempt_ + 1));
}

// No session any more: the remote pane shows the stored sites again.
void MainLogic::EndSession() {
  keepAlive_.Disable();
  keepAliveInFlight_ = false;
  deferred_ = nullptr;
  CloseProgress();
  SetHourglass(false);
  showingSites_ = true;
  Notify(Change::RemoteMode);
  Notify(Change::Encryption);
  EndBusy();
  ShowStoredSites();
  UpdateRemoteCommands(false);
  OnLocalPaneChanged();
}

// ---- Ending a session by the user's hand --------------------------------------------------

// The user ends what runs: no reconnection answers it.
void MainLogic::AbortByUser() {
  connectAttempt_ = -1;
  reconnectDue_ = false;
  ftp_.Abort();
  ftp_.PumpMessages();
}

void MainLogic::Disconnect() {
  if (!ftp_.Connected() && ftp_.State() == ftpWaitingResponse) return;
  keepAlive_.Disable();
  SetPathItems({});
  SetHourglass(true);
  ftp_.SetTimeout(1);
  AbortByUser();
  // The engine reports the end of a session only for a control connection that was up; a
  // connect still under way ends here.
  if (hourglass_) EndSession();
}

void MainLogic::StopTransfer() {
  ftp_.SetTimeout(1);
  AbortByUser();
  while (ftp_.State() != ftpReady && !platform::ApplicationTerminating()) ftp_.PumpMessages();
  EndSession();
}

void MainLogic::AbortAndExit() {
  if (ftp_.Connected() || ftp_.State() != ftpWaitingResponse) AbortByUser();
  Notify(Change::Close);
}

// ---- Opening a remote directory -----------------------------------------------------------

void MainLogic::OpenRemoteDirectory() {
  const listing::PaneItem* item = FirstSelectedRemote();
  if (!item || !item->IsDirectory()) return;
  if (item->caption == "..") return RemoteUpOneLevel();
  ftp_.SetHostDirName(WithTrailingSlash(ftp_.HostDirName()) + item->ServerName());
  RunSync(&TCustomFtpCli::CwdAsync);
}

}  // namespace session
