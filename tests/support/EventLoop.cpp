#include "support/EventLoop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  // A ticking timer bounds each blocking wait, so the deadline is checked at least every 10 ms.
  QTimer tick;
  tick.start(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void PumpFor(std::chrono::milliseconds period) {
  PumpUntil([] { return false; }, period);
}

}  // namespace testsupport
