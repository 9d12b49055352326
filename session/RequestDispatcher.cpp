// MainLogic: the completion dispatcher. Every request the engine runs ends here, and here
// every multi-step operation moves on: one small function per row of the table below, each
// starting at most one request. "Continue as after kind N" is a direct call of that row's
// function within the same completion.
//
//   kind (success)                         condition               next step
//   4 CWD, 21 MKD, 31 PWD, 33 CDUP         removing walked dirs    as after 22
//                                          21 in a tree upload     next upload (a new dir is empty)
//                                          otherwise               list the directory
//   5 connect and login                                            TYPE A; CWD start dir (or PWD)
//   7 LIST (8, 11, 12)                     tree download           download walk, next download
//                                          recursive delete        delete walk, as after 24
//                                          tree upload             keep the listing, next upload
//                                          otherwise               show the listing
//   10 RETR, 38 REST+RETR                  files queued            next download
//                                          none                    next queued dir, or back to base
//   17 STOR, 40 REST+STOR                  files or dirs queued    next upload
//                                          none                    back to base
//   22 RMD                                 walked dirs left        RMD the last walked
//                                          none                    back to base
//   24 DELE                                files queued            DELE the next
//                                          dirs queued             CWD into the next (walk)
//                                          none walked             back to base
//                                          otherwise               as after 22
//   25 RNFR+RNTO                           renames queued          the next rename
//                                          none                    list the directory
//   32 QUOTE                                                       CWD the same directory
//
//   kind (failure)
//   4 CWD                                  tree upload             MKD the directory
//                                          otherwise               end the chain; PWD
//   5 connect and login                                            nothing (a reconnection)
//   any other                                                      "Error " line; end the chain
#include "listing/ListingFile.h"
#include "session/uMain.h"

namespace session {

namespace {
// Completion codes from here up are the socket layer's (10004..11004) and SOCKS's (20001..).
constexpr uint16_t kFirstSocketError = 10000;
}  // namespace

void MainLogic::OnRequestDone(TFtpRequest kind, uint16_t error) {
  const Scope dispatching(dispatchDepth_);
  keepAlive_.Disable();
  if (syncCompletionsDue_ > 0) --syncCompletionsDue_;
  if (requestsInFlight_ > 0) --requestsInFlight_;
  const bool refusedOutside = startRefused_;
  startRefused_ = false;
  try {
    if (keepAliveInFlight_ && kind == ftpQuoteAsync)
      AfterKeepAlive(error);
    else if (error != 0)
      OnRequestFailed(kind, error);
    else if (!showingSites_)  // a late completion after the session ended starts nothing
      OnRequestSucceeded(kind);
  } catch (const std::exception& e) {
    log_.AddLog(std::string("Error ") + e.what());
    startRefused_ = true;
  }
  // A step that failed or could not start its request leaves nothing running: the chain is
  // over.
  if (startRefused_) {
    EndChain();
    CloseProgress();
    EndBusy();
  }
  startRefused_ = refusedOutside;
  RunDeferredCommand();
  if (!showingSites_) keepAlive_.Rearm();
}

void MainLogic::OnRequestFailed(TFtpRequest kind, uint16_t error) {
  switch (kind) {
    case ftpCwdAsync: return showingSites_ ? EndChain() : AfterFailedDirectoryChange();
    case ftpConnectAsync: return AfterFailedConnect(error);
    default:
      log_.AddLog("Error " + FailureText());
      return EndChain();
  }
}

void MainLogic::OnRequestSucceeded(TFtpRequest kind) {
  switch (kind) {
    case ftpCwdAsync:
    case ftpMkdAsync:
    case ftpPwdAsync:
    case ftpCDupAsync: return AfterDirectoryChange(kind);
    case ftpConnectAsync: return AfterLogin();
    case ftpDirAsync:
    case ftpLsAsync:
    case ftpDirectoryAsync:
    case ftpListAsync: return AfterListing();
    case ftpGetAsync:
    case ftpRestGetAsync: return AfterDownload();
    case ftpPutAsync:
    case ftpRestPutAsync: return AfterUpload();
    case ftpRmdAsync: return AfterRemoveDirectory();
    case ftpDeleAsync: return AfterDelete();
    case ftpRenAsync: return AfterRename();
    case ftpQuoteAsync: return AfterQuote();
    default: return;  // TYPE and the others continue nothing
  }
}

// ---- Failures -------------------------------------------------------------------------------

void MainLogic::AfterFailedDirectoryChange() {
  SwitchToAscii();
  if (queues_.UploadTreeActive) {
    ftp_.SetHostFileName(ftp_.HostDirName());
    Start(&TCustomFtpCli::MkdAsync);
    return;
  }
  EndChain();
  ftp_.SetHostFileName("");
  ftp_.SetHostDirName("");
  Start(&TCustomFtpCli::PwdAsync);
}

// A failed login shows the server's reply in the engine's own lines. A connection that
// failed before any reply (a socket or SOCKS error: refused, unreachable, refused by the
// relay) says so here.
void MainLogic::AfterFailedConnect(uint16_t error) {
  if (reconnectDue_) {
    reconnectDue_ = false;
    return StartReconnection();
  }
  if (error >= kFirstSocketError) log_.AddLog("Error " + FailureText());
}

// ---- Directory changes, login, listings -----------------------------------------------------

void MainLogic::AfterDirectoryChange(TFtpRequest kind) {
  if (queues_.RemoveDirsActive) return AfterRemoveDirectory();
  // A directory an upload walk has just made is empty: nothing to list before its files go.
  if (kind == ftpMkdAsync && queues_.UploadTreeActive) {
    uploadTargetListing_.emplace();
    return StartNextUpload();
  }
  // After the fallback to PWD the directory is the one the server reports.
  if (kind == ftpPwdAsync && !ftp_.DirResult().empty()) ftp_.SetHostDirName(ftp_.DirResult());
  ListDirectory();
}

void MainLogic::AfterLogin() {
  Notify(Change::Encryption);
  SwitchToAscii();
  Start(ftp_.HostDirName().empty() ? &TCustomFtpCli::PwdAsync : &TCustomFtpCli::CwdAsync);
}

void MainLogic::AfterListing() {
  if (queues_.DownloadTreeActive) {
    if (DownloadWalk()) StartNextDownload();
  } else if (queues_.DeleteTreeActive) {
    DeleteWalk();
    AfterDelete();
  } else if (queues_.UploadTreeActive) {
    TakeUploadListing();
    StartNextUpload();
  } else {
    ShowRemoteListing();
  }
}

// ---- Recursive delete -------------------------------------------------------------------------

void MainLogic::AfterRemoveDirectory() {
  SwitchToAscii();
  queues_.RemoveDirsActive = !queues_.DirTargetQueue.empty();
  if (!queues_.RemoveDirsActive) return ReturnToBase();
  ftp_.SetHostFileName(queues_.DirTargetQueue.back());
  queues_.DirTargetQueue.pop_back();
  Start(&TCustomFtpCli::RmdAsync);
}

void MainLogic::AfterDelete() {
  SwitchToAscii();
  if (!queues_.FileQueue.empty()) {
    ftp_.SetHostFileName(TakeFront(queues_.FileQueue));
    Start(&TCustomFtpCli::DeleAsync);
    return;
  }
  queues_.DeleteTreeActive = !queues_.DirQueue.empty();
  if (queues_.DeleteTreeActive) {
    ftp_.SetHostDirName(queues_.DirQueue.front());
    queues_.DirTargetQueue.push_back(TakeFront(queues_.DirQueue));
    ftp_.SetLocalFileName(ListingFile().string());
    Start(&TCustomFtpCli::CwdAsync);
  } else if (queues_.DirTargetQueue.empty()) {
    ReturnToBase();
  } else {
    queues_.RemoveDirsActive = true;
    AfterRemoveDirectory();
  }
}

// ---- Renames, raw commands ------------------------------------------------------------------

void MainLogic::AfterRename() {
  if (queues_.FileQueue.empty()) return ListDirectory();
  ftp_.SetHostFileName(TakeFront(queues_.FileQueue));
  ftp_.SetLocalFileName(TakeFront(queues_.FileTargetQueue));
  Start(&TCustomFtpCli::RenAsync);
}

// The same directory is entered again, and so listed anew.
void MainLogic::AfterQuote() { Start(&TCustomFtpCli::CwdAsync); }

// ---- Shared steps ---------------------------------------------------------------------------

// Lists the directory just entered. The request names no directory ("LIST"): the server
// lists the one it is in, which is the one entered, whatever blanks its name holds and
// whether it was given as a relative path.
void MainLogic::ListDirectory() {
  ftp_.SetHostFileName("");
  ftp_.SetLocalFileName(ListingFile().string());
  SwitchToAscii();
  StartDataRequest(&TCustomFtpCli::DirAsync);
}

// Back to the directory the chain started from; its completion lists it.
void MainLogic::ReturnToBase() {
  ftp_.SetHostDirName(remoteBaseDir_);
  ftp_.SetLocalFileName(ListingFile().string());
  Start(&TCustomFtpCli::CwdAsync);
}

void MainLogic::EndChain() { queues_.EndChain(); }

void MainLogic::ShowRemoteListing() {
  CloseProgress();
  listing::RemoteListingRequest request;
  request.listingFile = ListingFile();
  request.context = WalkContext();
  request.names = Names();
  request.filterMask = remoteFilterMask_;
  request.hostName = ftp_.HostName();
  request.remoteDirectory = ftp_.HostDirName();
  request.metrics = captionMetrics_;
  listing::ShownListing shown = listing::ShowRemoteListing(request, remotePane_, cache_);
  if (!shown.listingRead) log_.AddLog("Error Unable to read the listing file " + request.listingFile.string());
  if (!shown.logLine.empty()) log_.AddLog(shown.logLine);
  remoteFirstColumnWidth_ = shown.firstColumnWidth;
  SetPathItems(std::move(shown.pathItems));
  EndBusy();
}

}  // namespace session
