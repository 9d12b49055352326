#include "session/KeepAlive.h"

#include <vector>

#include "settings/CommaText.h"

namespace session {

namespace {
constexpr double kTicksPerIntervalUnit = 60.0;
}

KeepAlive::KeepAlive(const ProgramOptions& options, std::function<bool()> mayRun,
                     std::function<void(const std::string&)> send)
    : options_(options), mayRun_(std::move(mayRun)), send_(std::move(send)), timer_([this] { Tick(); }) {}

void KeepAlive::ArmAtSessionStart() {
  index_ = 0;
  idleTicks_ = 0;
  timer_.SetInterval(options_.KeepStart * platform::kTimerGranularityMs);
  timer_.SetEnabled(options_.KeepAlive && !options_.KeepCommands.empty());
}

void KeepAlive::Rearm() {
  idleTicks_ = 0;
  timer_.SetEnabled(true);
}

void KeepAlive::Disable() { timer_.SetEnabled(false); }

void KeepAlive::Tick() {
  ++idleTicks_;
  if (idleTicks_ / kTicksPerIntervalUnit >= options_.KeepInterval) return Disable();
  if (idleTicks_ <= options_.KeepStart || !mayRun_()) return;
  Disable();
  idleTicks_ = 0;
  const std::vector<std::string> commands = ParseCommaText(options_.KeepCommands);
  if (commands.empty()) return;
  if (index_ >= static_cast<int>(commands.size())) index_ = 0;
  const std::string command = commands[static_cast<std::size_t>(index_)];
  timer_.SetEnabled(true);
  ++index_;
  send_(command);
}

}  // namespace session
