#pragma once
// The program's one event loop, seen from code that must wait inside it.
#include <cstdint>

namespace platform {

// Runs the events that are pending now (socket readiness, posted messages, timers), nested
// inside the call, and returns.
void ProcessMessages();

// True once the application has begun to shut down (or never started its loop).
bool ApplicationTerminating();

// Milliseconds since an arbitrary fixed point (system start), wrapping at 2^32.
uint32_t TickCount();

// Gives the processor to other threads for a moment.
void YieldProcessor();

}  // namespace platform
