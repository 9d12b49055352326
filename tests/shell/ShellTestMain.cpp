// GoogleTest entry point for the widget tests: widgets need a QApplication (the shared
// entry point makes only a QCoreApplication). They run on the offscreen platform unless the
// environment names another (test discovery runs the program without CTest's environment).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
