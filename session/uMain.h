#pragma once
// MainLogic: the main window apart from its widgets. It owns the FTP engine Ftp1 and drives
// one session at a time with it: connecting to a stored site, the chains of requests that
// every remote operation is made of (a completed request starts the next one, see
// OnRequestDone), the transfers of files and trees, the remote file operations, the protocol
// log and the keep-alive timer. It also owns the stored sites, the options, the custom
// commands, both panes' models and the enabled state of every command.
//
// The Qt shell shows the panes' models, binds every control to a Command and runs it with
// Run, reads the state below, and hears of changes through MainLogicListener. Tests drive it
// the same way, headless, answering its questions through a scripted Prompts.
//
// Events. Everything happens on the thread of the one event loop. Run and the other entry
// points return once the command has started its first request (or asked its questions);
// what follows arrives later from the loop. The listener hears Changed(...) after the state
// it names changed; the panes notify their own listeners (listing::PaneModelListener).
//
// Choices of this program:
// - The program directory is given: ftplist.TXT, options.ftp, commands.txt and a relative
//   log file name are found there.
// - The local working directory is the local pane's directory (LocalWorkDir ends in "/"),
//   taken when a session or a batch starts; the process never changes its current directory.
// - The listing file ("FTPDIR<pid>.TXT") is written into a private directory of the process
//   (mode 0700, removed with it), never into a directory other users may share.
// - The SOCKS relay (and the FTP proxy's port) is written into the engine before every
//   connection it opens, the control connection and each data connection: a socket forgets
//   its relay when it closes, and no connection leaves without the configured relay.
// - A user's abort (Disconnect, Stop, the exit button) is never answered by a reconnection.
//   A reconnection starts from the completion of the failed connect, after the engine's
//   session-closed event has returned (the engine refuses a connect from inside it).
// - Every "Error " line shows the reply that failed its own request.
// - A completion that comes after the session ended (Disconnect, Stop) shows and starts
//   nothing: the remote pane keeps the stored sites.
// - A keep-alive command never breaks a user's command: it is sent only while the engine is
//   idle, no completion is due and no handler runs, and a command the user starts while one
//   is on its way waits for its completion (and then runs instead of the keep-alive's
//   refresh). Likewise no command starts between the engine becoming ready and its
//   completion being dispatched, which would take that completion for its own.
// - The completion of a synchronous request (TYPE, the CWD of a double click) is taken
//   before anything else starts, so it is never mistaken for the next request's.
// - A certificate that fails verification is accepted only by the user (or by the user's
//   earlier "trust always" for this site and address, kept in certificates.txt); while the
//   question is open nothing is sent, and a refusal ends the session without a reconnection.
// - A site without a start directory starts where the server puts the user (PWD); a
//   directory just entered is listed with a bare LIST, so names with blanks list everywhere.
// - Names: a listed name goes back to the server as the bytes it sent; what the user types
//   and an upload's remote names are encoded in the site's character set, and a name the set
//   cannot hold is refused and not sent; downloads are named locally in UTF-8
//   (RemoteNames.h). The remote pane and the path combo show names decoded.
// - Transfers: a server's name that could lead out of a download's target is skipped with a
//   log line; tree uploads judge each file against the listing of its own directory; resume
//   never appends to a target as long as its source (ConflictResolution.cpp); a prompt that
//   skipped every file of a directory goes on with the queued directories.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <string>
#include <system_error>
#include <vector>

#include "ftp/FtpCli.h"
#include "listing/CalendarDate.h"
#include "listing/ListingCache.h"
#include "listing/PaneModel.h"
#include "listing/RemoteListingView.h"
#include "local/LocalPane.h"
#include "platform/PrivateDirectory.h"
#include "session/CommandBar.h"
#include "session/CommandStates.h"
#include "session/Commands.h"
#include "session/KeepAlive.h"
#include "session/LogSink.h"
#include "session/OperationQueues.h"
#include "session/ProgressWindow.h"
#include "session/Prompts.h"
#include "session/ProtocolLog.h"
#include "settings/commands.h"
#include "settings/options.h"
#include "sites/SiteList.h"
#include "sites/SiteRecord.h"

namespace session {

// What changed, for the shell to redraw.
enum class Change {
  Commands,    // enabled states (CommandStates)
  RemoteMode,  // ShowingSites: the remote pane shows the stored sites (list style, title
               // "Удаленные FTP серверы") or a server directory (report style)
  PathCombo,   // the remote path combo's items or selection
  CommandBar,  // the command bar: shown or hidden, its items, its selection
  Busy,        // the busy state (hourglass on the remote controls, path combo disabled)
  Cursor,      // the screen cursor (hourglass or default)
  Options,     // the options were applied (font, colours)
  LocalPane,   // the local pane's directory, items or selection (the directory list box follows)
  Close,       // the window is to close
  Encryption,  // Encrypted(): the session became encrypted, or ended
};

class MainLogicListener {
 public:
  virtual ~MainLogicListener() = default;
  virtual void Changed(Change what) = 0;
};

class MainLogic {
 public:
  // Start-up: loads the custom commands, the options and the stored sites, lists the local
  // directory `localDirectory`, applies the options. Never waits.
  MainLogic(std::string programDirectory, Prompts& prompts, ProgressWindow& progress, LogSink& memo,
            const std::filesystem::path& localDirectory);
  // Closes the log file and saves the custom commands.
  ~MainLogic();
  MainLogic(const MainLogic&) = delete;
  MainLogic& operator=(const MainLogic&) = delete;

  void SetListener(MainLogicListener* listener) { listener_ = listener; }
  // How the remote pane measures its captions, for the width of its first column.
  void SetCaptionMetrics(listing::CaptionMetrics metrics) { captionMetrics_ = std::move(metrics); }
  int RemoteFirstColumnWidth() const { return remoteFirstColumnWidth_; }

  // ---- Entry points ------------------------------------------------------------------
  // Runs a command; `tag` picks the variant (Commands.h). A command not enabled on the
  // surface it came from is the shell's to refuse; Run checks the program's own guards.
  void Run(Command command, int tag = 0);
  // A double click on the remote pane: connects to the selected site, or opens the selected
  // directory ("..": one level up). The same as Run(Command::RemoteOpen).
  void OpenRemoteEntry() { Run(Command::RemoteOpen); }
  // A double click on the local pane's item at `index`.
  void OpenLocalEntry(std::size_t index);
  // A drop on a pane, from the list view with tag `sourceTag` (none: not a list view). The
  // local pane takes the remote pane's items (a download), the remote pane the local pane's
  // (an upload), only during a session and while no operation runs.
  bool LocalPaneAcceptsDrag(std::optional<int> sourceTag) const;
  bool RemotePaneAcceptsDrag(std::optional<int> sourceTag) const;
  void DropOnLocalPane(std::optional<int> sourceTag);
  void DropOnRemotePane(std::optional<int> sourceTag);
  // Files and directories dropped on the remote pane from the desktop's file manager: an
  // upload of those local paths (directories as whole trees), on the conditions of a drop
  // from the local pane. Each goes to the shown directory under its own name.
  bool RemotePaneAcceptsFiles() const;
  void DropFilesOnRemotePane(const std::vector<std::filesystem::path>& paths);
  // The focus entered (true) or left the local pane. The upload entries of the menus follow
  // it: entering enables them when the pane has items and a server directory is shown,
  // leaving disables them; a selection change in the pane decides afresh.
  void LocalPaneFocusChanged(bool inside);
  // A click on a column header of the remote pane (ignored while it shows the sites) or the
  // local pane.
  void ClickRemoteColumn(int columnTag);
  void ClickLocalColumn(int columnTag);
  // The local pane's directory changed through its tree or drive widgets.
  void ChangeLocalDirectory(const std::filesystem::path& directory);

  // ---- State --------------------------------------------------------------------------
  TFtpClient& Engine() { return ftp_; }
  const ProgramOptions& Options() const { return options_; }
  const SiteList& Sites() const { return sites_; }
  const SiteRecord& CurrentSite() const { return currentSite_; }
  const CustomCommands& StoredCommands() const { return commands_; }
  const OperationQueues& Queues() const { return queues_; }
  const std::string& RemoteBaseDir() const { return remoteBaseDir_; }
  // The local directory of the session or the batch running: the local pane's when the
  // session or the batch started, with a trailing "/".
  const std::string& LocalWorkDir() const { return localWorkDir_; }

  listing::PaneModel& RemotePane() { return remotePane_; }
  local::LocalPane& LocalPane() { return local_; }

  const CommandStates& States() const { return states_; }
  bool Enabled(Command command, Surface surface) const { return states_.Enabled(command, surface); }
  bool ShowingSites() const { return showingSites_; }
  // The session's control connection is encrypted (TLS) and its certificate accepted; data
  // connections are encrypted too (a session that cannot encrypt them does not start).
  bool Encrypted() const { return ftp_.Encrypted(); }
  bool Busy() const { return busy_; }
  bool HourglassCursor() const { return hourglass_; }
  // A request was started and its completion has not been dispatched yet.
  bool RequestRunning() const { return requestsInFlight_ > 0; }
  const std::vector<std::string>& PathItems() const { return pathItems_; }
  int PathIndex() const { return pathIndex_; }
  CommandBar& Bar() { return bar_; }
  const KeepAlive& KeepAliveTimer() const { return keepAlive_; }
  const ProtocolLog& Log() const { return log_; }
  // The file a listing is written into on its way to the remote pane.
  std::filesystem::path ListingFile() const { return privateDir_.Path() / listingFileName_; }

 private:
  // Marks the time a handler of the user's runs, and the time a completion is dispatched:
  // no keep-alive command goes then.
  class Scope {
   public:
    explicit Scope(int& depth) : depth_(depth) { ++depth_; }
    ~Scope() { --depth_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    int& depth_;
  };

  // Start-up and closing (MainLogic.cpp)
  void BindEngine();
  void Notify(Change what);
  // Runs a handler of the user's: after a completion that is on its way when `waits` (see
  // KeepAliveRequests.cpp), marked as the user's, with an exception logged.
  void RunUserHandler(const std::function<void()>& handler, bool waits = true);
  void Dispatch(Command command, int tag);
  void OpenFirstSelectedLocal();
  void EditOptions();
  // Copies the options into the engine, the log and the local pane.
  void ApplyOptions();
  // Runs a command of the local pane, then follows its selection and directory.
  void LocalCommand(const std::function<void()>& command);

  // Requests (EngineRequests.cpp)
  bool Start(void (TCustomFtpCli::*request)());
  bool StartDataRequest(void (TCustomFtpCli::*request)());
  bool RunSync(void (TCustomFtpCli::*request)());
  void AwaitSyncCompletion();
  void SwitchToAscii();
  void SwitchToBinary();
  // The transfer type of the file in LocalFileName (TransferRules.h).
  void SetTransferType();
  std::string FailureText() const;
  void WriteRelaySettings();
  void WriteDataRelaySettings();
  std::vector<std::string> Secrets() const;

  // Certificates (CertificateDecision.cpp)
  bool DecideCertificate(const TlsCertificateFacts& certificate);

  // Session lifecycle (SessionLifecycle.cpp)
  void ConnectCommand();
  void ConnectToSelectedSite();
  bool TakeLogin();
  void ShowSiteLocalDirectory();
  void OnSessionConnected();
  void OnSessionClosed();
  bool ReconnectionDue() const;
  void StartReconnection();
  void EndSession();
  void Disconnect();
  void StopTransfer();
  void AbortAndExit();
  void AbortByUser();
  void OpenSelectedRemoteEntry();
  void OpenRemoteDirectory();

  // Completion dispatcher (RequestDispatcher.cpp), one function per row of its table
  void OnRequestDone(TFtpRequest kind, uint16_t error);
  void OnRequestFailed(TFtpRequest kind, uint16_t error);
  void OnRequestSucceeded(TFtpRequest kind);
  void AfterFailedDirectoryChange();
  void AfterFailedConnect(uint16_t error);
  void AfterDirectoryChange(TFtpRequest kind);
  void AfterLogin();
  void AfterListing();
  void AfterDownload();
  void AfterUpload();
  void AfterRemoveDirectory();
  void AfterDelete();
  void AfterRename();
  void AfterQuote();
  void AfterKeepAlive(uint16_t error);
  void ListDirectory();
  void ReturnToBase();
  void EndChain();
  void ShowRemoteListing();

  // Busy state, enabling, panes (PaneState.cpp)
  void BeginBusy();
  void EndBusy();
  void UpdateRemoteCommands(bool connected);
  void OnRemoteSelectionChanged();
  void OnLocalPaneChanged();
  void SetPathItems(std::vector<std::string> items);
  void SetHourglass(bool on);
  void ShowProgress();
  void CloseProgress();

  // Transfers (DownloadBatch.cpp, UploadBatch.cpp, ConflictResolution.cpp, TransferBatch.cpp)
  enum class ResumeCase { Fits, Complete, TargetLonger };
  bool BeginBatch();
  void StartDownloadBatch();
  void StartNextDownload();
  bool DownloadWalk();
  bool MakeLocalDirectory(const std::string& path);
  void StartUploadBatch();
  void StartUploadOf(const std::vector<std::filesystem::path>& paths);
  // Queues one local file or directory of a batch, to go to the shown directory as `name`.
  void QueueUpload(const std::string& localPath, const std::string& name, bool directory, const std::string& size);
  void StartNextUpload();
  void WalkLocalDirectory();
  void TakeUploadListing();
  void ResolveConflicts(bool download);
  void AskAboutConflicts(bool download);
  void ApplyDefaultAction(bool download);
  bool TargetExists(bool download) const;
  ResumeCase ResumeFits(bool download) const;
  void SkipFile();
  void SkipCompleteFile();
  std::optional<std::string_view> RemoteTargetSize(std::string_view target) const;
  bool RemoteFileListed(std::string_view target) const;
  std::int64_t RemoteFileSize(std::string_view target) const;
  void EndCancelledBatch();
  void AbandonBatch(const std::string& path, std::error_code error);
  void LogUnsafeName(const std::string& name);
  // The site's bytes for a name the user typed; nothing, after telling the user why, when
  // the site's character set cannot hold it.
  std::optional<std::string> TypedServerName(const std::string& typed);
  // The same for an upload's remote name, from a local name; a refusal is logged.
  std::optional<std::string> UploadServerName(const std::string& localName);
  platform::CharacterSet Names() const { return currentSite_.Charset; }
  // How the listing just fetched is read.
  listing::ListingContext WalkContext() const;

  // Remote operations (RemoteOperations.cpp)
  void DeleteRemoteSelection();
  void DeleteWalk();
  void RemoteMakeDirectory();
  void RemoteRename();
  void RemoteChangeDirectory();
  void RemotePathChosen(int index);
  void RemotePermissions();
  void ChangeRemoteCase(int mode);
  void SelectInPane(listing::PaneModel& pane, int tag);
  void RemoteFilter();
  void RemoteUpOneLevel();
  void RefreshRemotePane();
  void ToggleCommandBar();
  void PickStoredCommand();
  void SendCommandLine();

  // Keep-alive (KeepAliveRequests.cpp)
  bool KeepAliveMayRun() const;
  bool CompletionDue() const;
  // Keeps the command for later and returns true while a completion is due.
  bool DeferUntilCompletion(std::function<void()> command);
  void SendKeepAlive(const std::string& command);
  void RunDeferredCommand();

  // Site commands (SiteCommands.cpp)
  void ShowStoredSites();
  void NewSite();
  void EditSelectedSite();
  void DeleteSelectedSites();
  void SaveSites();
  const listing::PaneItem* FirstSelectedRemote() const;

  std::string programDirectory_;
  Prompts& prompts_;
  ProgressWindow& progress_;
  MainLogicListener* listener_ = nullptr;

  ProgramOptions options_;
  CustomCommands commands_;
  SiteList sites_;
  SiteRecord currentSite_;
  listing::CalendarDate startupDate_;

  platform::PrivateDirectory privateDir_;
  std::string listingFileName_;
  ProtocolLog log_;
  TFtpClient ftp_;
  KeepAlive keepAlive_;

  OperationQueues queues_;
  std::string remoteBaseDir_;
  std::string localWorkDir_;
  // Transfer batches
  bool overwriteAll_ = false;       // "All" was answered: no more checks in this batch
  bool resumeTransfer_ = false;     // the next transfer resumes
  bool transferCancelled_ = false;  // the batch was cancelled in the prompt
  // The file entries of the remote directory an upload walk entered and listed; none while
  // the batch's own selection is sent (its directory is the one on show).
  std::optional<std::vector<listing::RemoteEntry>> uploadTargetListing_;
  int connectAttempt_ = 0;
  bool reconnectDue_ = false;
  bool showingSites_ = true;
  bool busy_ = false;
  bool hourglass_ = false;

  listing::PaneModel remotePane_;
  listing::ListingCache cache_;
  std::string remoteFilterMask_{"*.*"};
  listing::CaptionMetrics captionMetrics_;
  int remoteFirstColumnWidth_ = 0;
  std::vector<std::string> pathItems_;        // as shown
  std::vector<std::string> pathServerItems_;  // the same, as the server's bytes
  int pathIndex_ = -1;
  local::LocalPane local_;
  CommandBar bar_;
  CommandStates states_;

  // Bookkeeping of the requests in flight.
  std::string errorBeforeRequest_;  // the engine's ErrorMessage when the request started
  int requestsInFlight_ = 0;
  int syncCompletionsDue_ = 0;
  int userDepth_ = 0;
  int dispatchDepth_ = 0;
  bool keepAliveInFlight_ = false;
  std::function<void()> deferred_;  // a user's command waiting for a completion
  bool startRefused_ = false;
};

}  // namespace session
