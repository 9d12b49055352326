// MainLogic: the keep-alive commands among the user's, and the user's commands that come
// while a completion is on its way.
//
// The engine reports a completion after it became ready, through the event loop, and names
// the kind of the request running when the report arrives. So nothing may start a request
// between the engine becoming ready and its completion being dispatched, or that completion
// would be taken for the new request's. A keep-alive command goes only when no completion is
// due, and neither a handler of the user's nor the dispatcher runs. A command of the user's
// that comes while a completion is due, or while a keep-alive command is on its way, waits
// for that completion and runs right after it (after a keep-alive command: in place of its
// refresh of the listing).
#include "session/uMain.h"

namespace session {

bool MainLogic::KeepAliveMayRun() const {
  return ftp_.State() == ftpReady && ftp_.Connected() && requestsInFlight_ == 0 && userDepth_ == 0 &&
         dispatchDepth_ == 0;
}

bool MainLogic::CompletionDue() const {
  return keepAliveInFlight_ || (requestsInFlight_ > 0 && ftp_.State() == ftpReady);
}

bool MainLogic::DeferUntilCompletion(std::function<void()> command) {
  if (!CompletionDue()) return false;
  if (!deferred_) deferred_ = std::move(command);
  return true;
}

void MainLogic::SendKeepAlive(const std::string& command) {
  ftp_.SetLocalFileName(command);
  keepAliveInFlight_ = Start(&TCustomFtpCli::QuoteAsync);
}

void MainLogic::AfterKeepAlive(uint16_t error) {
  keepAliveInFlight_ = false;
  if (showingSites_) return;  // the user ended the session meanwhile
  if (error != 0) {
    log_.AddLog("Error " + FailureText());
    EndChain();
  }
  if (deferred_) return RunDeferredCommand();
  if (error == 0) AfterQuote();
}

void MainLogic::RunDeferredCommand() {
  if (!deferred_) return;
  const std::function<void()> command = std::move(deferred_);
  deferred_ = nullptr;
  command();
}

}  // namespace session
