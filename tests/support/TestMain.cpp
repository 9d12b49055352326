// GoogleTest entry point for every test program: the engine and the sockets deliver
// their events from a Qt event loop, so one QCoreApplication lives for the whole run.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
