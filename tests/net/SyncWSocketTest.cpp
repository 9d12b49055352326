// Synchronous waits: the flag set by an event ends the wait, a flag already set returns at
// once without running any event, and the time limit cuts the wait short with 12001.
#include <gtest/gtest.h>

#include <QTimer>

#include "net/WSocket.h"

namespace {

TEST(SyncWait, EndsWithTheFlagOrTheTimeLimit) {
  TWSocket socket;
  bool eventRan = false;
  QTimer::singleShot(0, [&] { eventRan = true; });
  bool done = true;
  EXPECT_EQ(socket.WaitForDone(done), 0);
  EXPECT_FALSE(eventRan) << "a flag already set runs no event";

  EXPECT_EQ(socket.RunAndWait([&] { QTimer::singleShot(30, [&] { done = true; }); }, done), 0);
  EXPECT_TRUE(done);
  EXPECT_TRUE(eventRan);

  socket.SetWaitTimeLimit(60);
  EXPECT_EQ(socket.RunAndWait(nullptr, done), 12001);
  EXPECT_FALSE(done);
}

}  // namespace
