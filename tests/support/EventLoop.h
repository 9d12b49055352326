#pragma once
// Bounded waits for tests: every wait pumps the Qt event loop and gives up after its limit.
#include <chrono>
#include <functional>

namespace testsupport {

using namespace std::chrono_literals;

// Pumps the event loop until `done` returns true or `limit` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s);

// Pumps the event loop for `period`, for checks that something does NOT happen.
void PumpFor(std::chrono::milliseconds period);

}  // namespace testsupport
