#include "net/SyncWSocket.h"

#include "platform/EventLoop.h"

int32_t TCustomSyncWSocket::RunAndWait(const std::function<void()>& proc, bool& done) {
  done = false;
  if (proc) proc();
  return WaitForDone(done);
}

int32_t TCustomSyncWSocket::WaitForDone(bool& done) {
  const uint32_t stopTime = platform::TickCount() + static_cast<uint32_t>(waitTimeLimit_);
  while (!done) {
    // Compared as a signed distance, so the tick counter may wrap during the wait.
    if (waitTimeLimit_ > 0 && static_cast<int32_t>(platform::TickCount() - stopTime) > 0) return kSyncWaitCutShort;
    if (platform::ApplicationTerminating()) return kSyncWaitCutShort;
    PumpMessages();
    platform::YieldProcessor();
  }
  return 0;
}
