// TFtpClient: the engine with synchronous waits that pump the event loop.
#include "ftp/FtpCli.h"

TFtpClient::TFtpClient() = default;

void TFtpClient::PumpMessages() { ControlSocket().PumpMessages(); }

bool TFtpClient::WaitUntilReady() {
  deadline_ = platform::TickCount() + static_cast<uint32_t>(timeout_) * 1000u;
  for (;;) {
    if (State() == ftpReady) return stepError() == 0;
    const bool expired = timeout_ > 0 && static_cast<int32_t>(platform::TickCount() - deadline_) > 0;
    if (platform::ApplicationTerminating() || expired) break;
    PumpMessages();
    platform::YieldProcessor();
  }
  Abort();
  OverwriteErrorMessage("426 Timeout");
  SetStatusCode(426);
  return false;
}

bool TFtpClient::Synchronize(void (TCustomFtpCli::*operation)()) {
  try {
    (this->*operation)();
    return WaitUntilReady();
  } catch (const std::exception&) {
    return false;
  }
}

bool TFtpClient::CwdSync() { return Synchronize(&TCustomFtpCli::CwdAsync); }

bool TFtpClient::TypeSetSync() { return Synchronize(&TCustomFtpCli::TypeSetAsync); }

bool TFtpClient::TypeBinarySync() {
  SetBinary(true);
  return TypeSetSync();
}

bool TFtpClient::TypeAsciiSync() {
  SetBinary(false);
  return TypeSetSync();
}

bool TFtpClient::TriggerProgress() {
  const bool abort = TCustomFtpCli::TriggerProgress();
  if (Timeout() >= 1) deadline_ = platform::TickCount() + static_cast<uint32_t>(Timeout()) * 1000u;
  return abort;
}
