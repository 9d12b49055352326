#include "shell/ProgressTexts.h"

#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

struct TextsCase {
  const char* what;
  ProgressFigures figures;
  int bar;
  const char* transferred;
  const char* time;
  const char* timeLeft;
  const char* totalTransferred;
  const char* totalTime;
  const char* rate;
};

class ProgressTextsTest : public testing::TestWithParam<TextsCase> {};

TEST_P(ProgressTextsTest, ShowsTheFiguresOfTheFileAndTheBatch) {
  const TextsCase& c = GetParam();
  const ProgressTexts texts = ProgressTextsOf(c.figures);
  EXPECT_EQ(texts.bar, c.bar);
  EXPECT_EQ(texts.transferred, c.transferred);
  EXPECT_EQ(texts.time, c.time);
  EXPECT_EQ(texts.timeLeft, c.timeLeft);
  EXPECT_EQ(texts.totalTransferred, c.totalTransferred);
  EXPECT_EQ(texts.totalTime, c.totalTime);
  EXPECT_EQ(texts.rate, c.rate);
}

// Figures: file bytes, file size, file ms, batch bytes, batch ms.
INSTANTIATE_TEST_SUITE_P(
    Figures, ProgressTextsTest,
    testing::Values(
        TextsCase{"nothing moved yet", {0, 1000, 0, 0, 0}, 0, "0", " 0:00:00", " 0:00:00", "0", " 0:00:00", "???"},
        TextsCase{"file of size 0 keeps the bar at 0", {500, 0, 2000, 500, 2000}, 0, "500", " 0:00:02", " 0:00:00",
                  "500", " 0:00:02", "250 bytes/sec"},
        TextsCase{"half a file after ten seconds", {500000, 1000000, 10000, 500000, 10000}, 50, "500000", " 0:00:10",
                  " 0:00:10", "500000", " 0:00:10", "48.8 K/sec"},
        TextsCase{"one and a half kilobytes a second", {3072, 6144, 2000, 3072, 2000}, 50, "3072", " 0:00:02",
                  " 0:00:02", "3072", " 0:00:02", "1.5 K/sec"},
        TextsCase{"below a kilobyte a second shows bytes", {1000, 4000, 2000, 1000, 2000}, 25, "1000", " 0:00:02",
                  " 0:00:06", "1000", " 0:00:02", "500 bytes/sec"},
        TextsCase{"below a tenth of a kilobyte is still a rate", {50, 100, 1000, 50, 1000}, 50, "50", " 0:00:01",
                  " 0:00:01", "50", " 0:00:01", "50 bytes/sec"},
        TextsCase{"no rate within the first second", {1000000, 2000000, 999, 1000000, 999}, 50, "1000000",
                  " 0:00:00", " 0:00:00", "1000000", " 0:00:00", "???"},
        TextsCase{"files over 2 GiB", {3000000000, 6000000000, 3600000, 5000000000, 7200000}, 50, "3000000000",
                  " 1:00:00", " 1:00:00", "5000000000", " 2:00:00", "678.1 K/sec"},
        TextsCase{"the batch counts its earlier files and time", {100, 400, 1000, 10100, 61000}, 25, "100",
                  " 0:00:01", " 0:00:03", "10100", " 0:01:01", "165 bytes/sec"},
        TextsCase{"more bytes than the size fills the bar and leaves no time", {1500, 1000, 3000, 1500, 3000}, 100,
                  "1500", " 0:00:03", " 0:00:00", "1500", " 0:00:03", "500 bytes/sec"}),
    CaseName{});

TEST(ProgressCaptionTest, NamesTheLastPathPartTheSizeAndTheDirection) {
  EXPECT_EQ(ProgressCaption("/pub/debian.iso", 42, false), "Receiving debian.iso (42 bytes)");
  EXPECT_EQ(ProgressCaption("/home/u/a b.txt", 5000000000, true), "Sending   a b.txt (5000000000 bytes)");
  EXPECT_EQ(ProgressCaption("plain", 0, false), "Receiving plain (0 bytes)");
}

TEST(ProgressFrameTest, HopsRightWhileSendingAndLeftWhileReceivingWrappingAtTheEnds) {
  EXPECT_EQ(NextFrame(0, true), 1);
  EXPECT_EQ(NextFrame(kLastFrame, true), 0);
  EXPECT_EQ(NextFrame(5, false), 4);
  EXPECT_EQ(NextFrame(0, false), kLastFrame);
}

}  // namespace
}  // namespace shell
