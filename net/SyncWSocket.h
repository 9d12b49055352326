#pragma once
// TCustomSyncWSocket: waits inside a call until a flag, set by some event handler, becomes
// true. The wait pumps the event loop, so every event of every object (the one that sets
// the flag included) runs nested inside it.
#include <cstdint>
#include <functional>

#include "net/LineWSocket.h"

// WaitForDone's result when the wait ended without the flag: the time limit passed, or the
// application is shutting down.
inline constexpr int32_t kSyncWaitCutShort = 12001;

class TCustomSyncWSocket : public TCustomLineWSocket {
 public:
  // Milliseconds a wait may last; 0 (the default) waits without limit.
  int32_t WaitTimeLimit() const { return waitTimeLimit_; }
  void SetWaitTimeLimit(int32_t value) { waitTimeLimit_ = value; }

  // Clears done, runs proc (when given), and waits for done.
  virtual int32_t RunAndWait(const std::function<void()>& proc, bool& done);
  // 0 once done is true (at once, without pumping, when it already is), otherwise
  // kSyncWaitCutShort.
  virtual int32_t WaitForDone(bool& done);

 private:
  int32_t waitTimeLimit_ = 0;
};
