// MainLogic: start-up and closing, the engine's events, and the command table.
#include <exception>

#include "listing/ListingFile.h"
#include "listing/PaneSorting.h"
#include "local/CompareDirectories.h"
#include "session/uMain.h"

namespace session {

MainLogic::MainLogic(std::string programDirectory, Prompts& prompts, ProgressWindow& progress, LogSink& memo,
                     const std::filesystem::path& localDirectory)
    : programDirectory_(std::move(programDirectory)),
      prompts_(prompts),
      progress_(progress),
      // Read before the stored sites, so that a site read now gets the same defaults (the
      // anonymous e-mail address) as when the list is read again later.
      options_(LoadOptions(programDirectory_, localDirectory.string())),
      commands_(LoadCommands(programDirectory_)),
      startupDate_(listing::Today()),
      listingFileName_(listing::ListingFileNameForProcess(platform::CurrentProcessId())),
      log_(memo, programDirectory_),
      keepAlive_(options_, [this] { return KeepAliveMayRun(); }, [this](const std::string& c) { SendKeepAlive(c); }),
      local_(prompts, localDirectory) {
  localWorkDir_ = local_.WorkDirectory();
  BindEngine();
  remotePane_.SetChangeHandler([this] { OnRemoteSelectionChanged(); });
  local_.Model().SetChangeHandler([this] { OnLocalPaneChanged(); });
  ShowStoredSites();
  showingSites_ = true;
  UpdateRemoteCommands(false);
  EnableBusyCommands(states_, false);
  OnLocalPaneChanged();
  ApplyOptions();
  // The keep-alive timer's granularity is taken, not measured: see KeepAlive.h.
}

MainLogic::~MainLogic() {
  ftp_.OnDisplay = nullptr;
  ftp_.OnProgress = nullptr;
  ftp_.OnSessionConnected = nullptr;
  ftp_.OnSessionClosed = nullptr;
  ftp_.OnRequestDone = nullptr;
  ftp_.OnVerifyCertificate = nullptr;
  if (const platform::WriteResult saved = SaveCommands(commands_, programDirectory_); !saved) log_.AddLog(saved.error);
  log_.CloseFile();
}

void MainLogic::BindEngine() {
  ftp_.SetTimeout(999);
  ftp_.SetMultiThreaded(true);
  ftp_.SetShareMode(ftpShareExclusive);
  ftp_.SetOptions({ftpAcceptLF, ftpUseFeatures});
  // Four times what a listing is read to: a listing up to there shows its first part, a
  // server that sends more is cut off before it fills the disk.
  ftp_.SetMaxListingSize(static_cast<int64_t>(4 * listing::ListingLimits{}.maxBytes));
  ftp_.OnDisplay = [this](TCustomFtpCli*, std::string& line) { log_.Display(line, Secrets(), Names()); };
  ftp_.OnProgress = [this](TCustomFtpCli*, int64_t count, bool&) {
    if (progress_.IsOpen()) progress_.Update(count);
  };
  ftp_.OnSessionConnected = [this](TCustomFtpCli*, uint16_t) { OnSessionConnected(); };
  ftp_.OnSessionClosed = [this](TCustomFtpCli*, uint16_t) { OnSessionClosed(); };
  ftp_.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest kind, uint16_t error) { OnRequestDone(kind, error); };
  ftp_.OnVerifyCertificate = [this](TCustomFtpCli*, const TlsCertificateFacts& certificate, bool& trust) {
    trust = DecideCertificate(certificate);
  };
}

void MainLogic::Notify(Change what) {
  if (listener_) listener_->Changed(what);
}

// Commands that end a session or the program go at once; every other command waits for a
// completion that is on its way (see KeepAliveRequests.cpp).
static bool WaitsForCompletion(Command command) {
  switch (command) {
    case Command::Disconnect:
    case Command::StopTransfer:
    case Command::CloseWindow:
    case Command::AbortAndExit: return false;
    default: return true;
  }
}

void MainLogic::Run(Command command, int tag) {
  RunUserHandler([this, command, tag] { Dispatch(command, tag); }, WaitsForCompletion(command));
}

void MainLogic::RunUserHandler(const std::function<void()>& handler, bool waits) {
  if (waits && DeferUntilCompletion([this, handler] { RunUserHandler(handler); })) return;
  const Scope user(userDepth_);
  try {
    handler();
  } catch (const std::exception& e) {
    log_.AddLog(std::string("Error ") + e.what());
  }
}

// One row per command of the window's command map.
void MainLogic::Dispatch(Command command, int tag) {
  switch (command) {
    case Command::Connect: return ConnectCommand();
    case Command::Disconnect: return Disconnect();
    case Command::StopTransfer: return StopTransfer();
    case Command::Options: return EditOptions();
    case Command::CloseWindow: return Notify(Change::Close);
    case Command::AbortAndExit: return AbortAndExit();
    case Command::NewSite: return NewSite();
    case Command::SiteProperties: return EditSelectedSite();
    case Command::RemoteDelete: return showingSites_ ? DeleteSelectedSites() : DeleteRemoteSelection();
    case Command::ToggleCommandBar: return ToggleCommandBar();
    case Command::PickStoredCommand: return PickStoredCommand();
    case Command::SendCommandLine: return SendCommandLine();
    case Command::RemoteUpOneLevel: return RemoteUpOneLevel();
    case Command::RemoteSort: return ClickRemoteColumn(tag);
    case Command::LocalSort: return ClickLocalColumn(tag);
    case Command::LocalMakeDirectory: return LocalCommand([this] { local_.CreateDirectory(); });
    case Command::LocalRename: return LocalCommand([this] { local_.Rename(); });
    case Command::LocalDelete: return LocalCommand([this] { local_.Delete(); });
    case Command::LocalView: return local_.ViewAsText();
    case Command::LocalRun: return local_.Run();
    case Command::LocalUpOneLevel: return LocalCommand([this] { local_.UpOneLevel(); });
    case Command::LocalFilter: return LocalCommand([this] { local_.Filter(); });
    // The window's own: views, fonts, a second copy of the program, help and the about box.
    case Command::SpawnSession:
    case Command::RemoteViewStyle:
    case Command::LocalViewStyle:
    case Command::PaneFont:
    case Command::About:
    case Command::Help:
    case Command::WebPage: return;
    case Command::RemoteMakeDirectory: return RemoteMakeDirectory();
    case Command::RemoteRename: return RemoteRename();
    case Command::RemoteChangeDirectory: return RemoteChangeDirectory();
    case Command::RemotePermissions: return RemotePermissions();
    case Command::RemotePath: return RemotePathChosen(tag);
    case Command::RemoteOpen: return OpenSelectedRemoteEntry();
    case Command::RemoteRefresh: return RefreshRemotePane();
    case Command::LocalOpen: return OpenFirstSelectedLocal();
    case Command::LocalRefresh: return LocalCommand([this] { local_.ListLocalDirectory(); });
    case Command::UploadSelection: return StartUploadBatch();
    case Command::DownloadSelection: return StartDownloadBatch();
    case Command::CompareDirectories: return local::CompareDirectories(local_.Model(), remotePane_);
    case Command::RemoteChangeCase: return ChangeRemoteCase(tag);
    case Command::LocalChangeCase:
      return LocalCommand([this, tag] { local_.ChangeLocalCase(static_cast<local::CaseMode>(tag)); });
    case Command::RemoteSelect: return SelectInPane(remotePane_, tag);
    case Command::LocalSelect: return LocalCommand([this, tag] { SelectInPane(local_.Model(), tag); });
    case Command::RemoteFilter: return RemoteFilter();
  }
}

void MainLogic::EditOptions() {
  prompts_.ShowOptionsDialog(options_);
  ApplyOptions();
}

void MainLogic::OpenLocalEntry(std::size_t index) {
  LocalCommand([this, index] { local_.Open(index); });
}

void MainLogic::OpenFirstSelectedLocal() {
  const std::vector<std::size_t> selected = local_.Model().SelectedIndexes();
  if (!selected.empty()) OpenLocalEntry(selected.front());
}

void MainLogic::LocalPaneFocusChanged(bool inside) {
  const bool enabled = inside && !showingSites_ && !local_.Model().Empty();
  for (Surface surface : {Surface::MainMenu, Surface::LocalPopup}) states_.Set(Command::UploadSelection, surface, enabled);
  Notify(Change::Commands);
}

void MainLogic::ChangeLocalDirectory(const std::filesystem::path& directory) {
  LocalCommand([this, &directory] { local_.ChangeDirectory(directory); });
}

void MainLogic::LocalCommand(const std::function<void()>& command) {
  command();
  OnLocalPaneChanged();
}

void MainLogic::ClickRemoteColumn(int columnTag) {
  if (!showingSites_) listing::ClickColumn(remotePane_, columnTag);
}

void MainLogic::ClickLocalColumn(int columnTag) { listing::ClickColumn(local_.Model(), columnTag); }

}  // namespace session
