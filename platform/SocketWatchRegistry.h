#pragma once
// Internal link between the socket calls and the readiness watches of the message sinks:
// the calls tell the watch of a handle what the classic library re-enabled on them.
#include "platform/Sockets.h"

namespace platform::detail {

// A send was refused or partly taken: report write readiness once more when there is room.
void RearmWrite(SocketHandle s);
// A connection was taken from the backlog: report the next pending one.
void RearmAccept(SocketHandle s);
// A connect was started: its end is reported as connect readiness.
void WatchConnect(SocketHandle s);
// The handle is about to be closed: its watch must never fire again.
void ForgetSocket(SocketHandle s);

}  // namespace platform::detail

#include <functional>

namespace platform::detail {

using Dispatch = std::function<void(unsigned msg, uintptr_t wParam, intptr_t lParam)>;

// Starts, changes or (mask 0) stops the readiness watch of a handle for one owner.
int SelectSocket(SocketHandle s, const void* owner, Dispatch dispatch, unsigned msg, unsigned mask);
// The owner goes away: every watch it holds stops.
void ForgetOwner(const void* owner);

}  // namespace platform::detail
