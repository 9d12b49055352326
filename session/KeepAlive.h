#pragma once
// The keep-alive timer: when the session has been idle for a while it sends the user's
// keep-alive commands to the server, one per idle period, in turn and wrapping around, so
// that servers with idle time-outs keep the connection.
//
// The timer ticks every KeepStart x TickMs milliseconds. TickMs is the timer's granularity;
// the classic design measured it for three seconds at start-up by counting the ticks of a
// 1 ms timer. Our timers deliver every millisecond (platform::kTimerGranularityMs), which is
// what that measurement gives here, so it is taken as it is and start-up never waits.
//
// Each tick counts one idle tick. Once IdleTicks / 60 reaches KeepInterval the timer switches
// itself off (the engine has been busy all that time); otherwise, once IdleTicks exceeds
// KeepStart and the owner says a command may go now, the next command is sent and the count
// starts again. Every completed request re-arms the timer (Rearm). A keep-alive command never
// breaks a user's command: the owner lets it go only while the engine is idle and no handler of
// the user's runs, and makes a user's command wait while a keep-alive command is on its way.
#include <functional>
#include <string>

#include "platform/Timer.h"
#include "settings/options.h"

namespace session {

class KeepAlive {
 public:
  // `mayRun` tells whether a command may be sent now; `send` sends one (QUOTE).
  KeepAlive(const ProgramOptions& options, std::function<bool()> mayRun,
            std::function<void(const std::string&)> send);

  // At session start: the first command again, the idle count reset, the period set; enabled
  // exactly when keep-alive is on and there are commands.
  void ArmAtSessionStart();
  // After a completed request: the idle count reset and the timer enabled.
  void Rearm();
  void Disable();

  // One tick of the timer (the timer calls it; tests may too).
  void Tick();

  bool Enabled() const { return timer_.Enabled(); }
  int IdleTicks() const { return idleTicks_; }
  int Index() const { return index_; }
  int Interval() const { return timer_.Interval(); }

 private:
  const ProgramOptions& options_;
  std::function<bool()> mayRun_;
  std::function<void(const std::string&)> send_;
  platform::Timer timer_;
  int idleTicks_ = 0;
  int index_ = 0;
};

}  // namespace session
