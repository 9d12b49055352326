// MainLogic: starting the engine's requests. Every request starts here, so that
// - a refused start (the engine's misuse error) is logged instead of escaping;
// - the relay is written into the data socket before each data connection;
// - the failure text of each request is its own;
// - the completion of a synchronous request is taken before anything else starts.
#include "platform/EventLoop.h"
#include "session/uMain.h"

namespace session {

namespace {

// How long the posted completion of a synchronous request may take to arrive after the
// engine became ready. It comes with the next round of the event loop; the limit only
// guards against waiting forever for one that was never posted.
constexpr uint32_t kSyncCompletionWaitMs = 5000;

const char* SocksLevelOf(TFtpConnectionType type) {
  switch (type) {
    case ftpSocks4: return "4";
    case ftpSocks4A: return "4A";
    default: return "5";
  }
}

}  // namespace

bool MainLogic::Start(void (TCustomFtpCli::*request)()) {
  // Once the session has ended (Disconnect, Stop) a step still on its way starts nothing.
  if (showingSites_ && request != &TCustomFtpCli::ConnectAsync) return false;
  errorBeforeRequest_ = ftp_.ErrorMessage();
  try {
    (ftp_.*request)();
    ++requestsInFlight_;
    return true;
  } catch (const std::exception& e) {
    log_.AddLog(std::string("Error ") + e.what());
    startRefused_ = true;
    return false;
  }
}

bool MainLogic::StartDataRequest(void (TCustomFtpCli::*request)()) {
  try {
    WriteDataRelaySettings();
  } catch (const std::exception& e) {
    log_.AddLog(std::string("Error ") + e.what());
    startRefused_ = true;
    return false;
  }
  return Start(request);
}

bool MainLogic::RunSync(void (TCustomFtpCli::*request)()) {
  if (!Start(request)) return false;
  ++syncCompletionsDue_;
  const bool succeeded = ftp_.WaitUntilReady();
  AwaitSyncCompletion();
  return succeeded;
}

// The engine is ready again, but its completion is still on its way through the event loop:
// it is dispatched now (OnRequestDone counts it off), before the caller starts anything.
void MainLogic::AwaitSyncCompletion() {
  const uint32_t start = platform::TickCount();
  while (syncCompletionsDue_ > 0 && !platform::ApplicationTerminating() &&
         platform::TickCount() - start < kSyncCompletionWaitMs)
    platform::ProcessMessages();
  syncCompletionsDue_ = 0;
}

void MainLogic::SwitchToAscii() {
  if (!ftp_.Binary()) return;
  ftp_.SetBinary(false);
  RunSync(&TCustomFtpCli::TypeSetAsync);
}

void MainLogic::SwitchToBinary() {
  ftp_.SetBinary(true);
  RunSync(&TCustomFtpCli::TypeSetAsync);
}

// The engine keeps the first failure's reply in ErrorMessage until a chained request starts;
// a single command that fails after an earlier failure leaves it as it was, and then its own
// reply is the last one.
std::string MainLogic::FailureText() const {
  return ftp_.ErrorMessage() != errorBeforeRequest_ ? ftp_.ErrorMessage() : ftp_.LastResponse();
}

// Before a control connection: the connection type and its relay, from the options.
void MainLogic::WriteRelaySettings() {
  ftp_.SetConnectionType(options_.ConnectionType);
  const TFtpConnectionType type = ftp_.ConnectionType();
  ftp_.SetProxyServer(type == ftpProxy ? options_.ProxyServer : "");
  ftp_.SetProxyDialPort(options_.ProxyPort.empty() ? "ftp" : options_.ProxyPort);
  const bool socks = type >= ftpSocks4;
  ftp_.SetSocksServer(socks ? options_.SocksServer : "");
  ftp_.SetSocksPort(socks ? options_.SocksPort : "");
  ftp_.SetSocksUserCode(socks ? options_.SocksUserCode : "");
  ftp_.SetSocksPassword(socks ? options_.SocksPassword : "");
}

// Before a data connection: the data socket forgot its relay when it last closed.
void MainLogic::WriteDataRelaySettings() {
  const TFtpConnectionType type = ftp_.ConnectionType();
  if (type < ftpSocks4) return;
  TWSocket& data = ftp_.DataSocket();
  data.SetSocksLevel(SocksLevelOf(type));
  data.SetSocksServer(options_.SocksServer);
  data.SetSocksPort(options_.SocksPort);
}

std::vector<std::string> MainLogic::Secrets() const {
  return {ftp_.PassWord(), currentSite_.Password, options_.ProxyPassword, options_.SocksPassword};
}

}  // namespace session
