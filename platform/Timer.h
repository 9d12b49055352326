#pragma once
// A periodic timer on the program's one event loop, standing where the classic design puts
// a window timer: while enabled it calls its handler every Interval() milliseconds, from the
// loop, never inside the call that enabled it. Ticks wait behind whatever handler runs, and
// a timer never ticks again inside its own handler (a modal dialog or a pumped wait there).
//
// The granularity is one millisecond: ticks are precise timer events, not coalesced.
#include <functional>
#include <memory>

namespace platform {

class Timer {
 public:
  explicit Timer(std::function<void()> onTick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Milliseconds between ticks, at least 1. Changing it while enabled restarts the period.
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);

  bool Enabled() const;
  // Enabling starts a new period; enabling an enabled timer changes nothing.
  void SetEnabled(bool enabled);

  class Impl;

 private:
  int interval_ = 1000;
  std::unique_ptr<Impl> impl_;
};

// The length in milliseconds of the shortest period Timer delivers.
inline constexpr int kTimerGranularityMs = 1;

}  // namespace platform
