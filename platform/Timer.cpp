#include "platform/Timer.h"

#include <QTimer>
#include <algorithm>

namespace platform {

class Timer::Impl {
 public:
  explicit Impl(std::function<void()> onTick) {
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [tick = std::move(onTick)] { tick(); });
  }
  QTimer timer;
};

Timer::Timer(std::function<void()> onTick) : impl_(std::make_unique<Impl>(std::move(onTick))) {
  impl_->timer.setInterval(interval_);
}

Timer::~Timer() = default;

void Timer::SetInterval(int milliseconds) {
  interval_ = std::max(milliseconds, 1);
  impl_->timer.setInterval(interval_);
}

bool Timer::Enabled() const { return impl_->timer.isActive(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  if (enabled)
    impl_->timer.start();
  else
    impl_->timer.stop();
}

}  // namespace platform
