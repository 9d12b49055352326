#include "platform/EventLoop.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace platform {

void ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool ApplicationTerminating() { return QCoreApplication::instance() == nullptr || QCoreApplication::closingDown(); }

uint32_t TickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void YieldProcessor() { std::this_thread::yield(); }

}  // namespace platform
