// Synchronous waits: the flag set by an event ends the wait, a flag already set returns at
// once without running any event, and the time limit cuts the wait short with 12001.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>

#include "net/WSocket.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(SyncWait, AFlagAlreadySetReturnsWithoutRunningEvents) {
  TWSocket socket;
  bool eventRan = false;
  QTimer::singleShot(0, [&] { eventRan = true; });
  bool done = true;
  EXPECT_EQ(socket.WaitForDone(done), 0);
  EXPECT_FALSE(eventRan);
  QTimer::singleShot(0, [&] { done = true; });  // lets the pending event run before the next test
  done = false;
  EXPECT_EQ(socket.WaitForDone(done), 0);
  EXPECT_TRUE(eventRan);
}

TEST(SyncWait, RunAndWaitClearsTheFlagAndWaitsForTheEventThatSetsIt) {
  TWSocket socket;
  bool done = true;
  const auto start = Clock::now();
  EXPECT_EQ(socket.RunAndWait([&] { QTimer::singleShot(30, [&] { done = true; }); }, done), 0);
  EXPECT_TRUE(done);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(25));
}

TEST(SyncWait, TheTimeLimitCutsTheWaitShort) {
  TWSocket socket;
  socket.SetWaitTimeLimit(60);
  bool done = true;
  const auto start = Clock::now();
  EXPECT_EQ(socket.RunAndWait(nullptr, done), 12001);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(60));
  EXPECT_LT(waited, std::chrono::milliseconds(2000));
  EXPECT_FALSE(done);
}

}  // namespace
