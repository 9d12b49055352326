#include "shell/progressfrm.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "support/EventLoop.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

using namespace std::chrono_literals;
using testsupport::PumpFor;
using testsupport::PumpUntil;

class ProgressWindowTest : public testing::Test {
 protected:
  std::int64_t now_ = 0;
  TProgress window_{nullptr, [this] { return now_; }};

  // Lets the pending redraw happen.
  bool Redrawn(int before) {
    return PumpUntil([&] { return window_.Refreshes() > before; }, 5s);
  }
};

TEST_F(ProgressWindowTest, RedrawsOnceForAFloodOfUpdates) {
  window_.Show({});
  window_.Begin("/pub/big.iso", 1000000, false);
  const int afterBegin = window_.Refreshes();
  for (int bytes = 1; bytes <= 100000; ++bytes) window_.Update(bytes);
  EXPECT_EQ(window_.Refreshes(), afterBegin);
  EXPECT_EQ(window_.TransferLbl->text(), "0");

  ASSERT_TRUE(Redrawn(afterBegin));
  EXPECT_EQ(window_.Refreshes(), afterBegin + 1);
  EXPECT_EQ(window_.TransferLbl->text(), "100000");
  EXPECT_EQ(window_.ProgressBar->value(), 10);
  PumpFor(3 * TProgress::kRefreshInterval);
  EXPECT_EQ(window_.Refreshes(), afterBegin + 1) << "no update, no redraw";
}

TEST_F(ProgressWindowTest, TimesRunFromTheFileAndFromTheBatch) {
  window_.Show({});
  window_.Begin("/pub/one", 1000, false);
  now_ = 5000;
  window_.Update(100);
  ASSERT_TRUE(Redrawn(window_.Refreshes()));
  EXPECT_EQ(window_.TimeLbl->text(), " 0:00:05");
  EXPECT_EQ(window_.TotTimeLbl->text(), " 0:00:05");

  window_.Begin("/pub/two", 1000, false);
  EXPECT_EQ(window_.windowTitle(), "Receiving two (1000 bytes)");
  now_ = 8000;
  window_.Update(50);
  ASSERT_TRUE(Redrawn(window_.Refreshes()));
  EXPECT_EQ(window_.TimeLbl->text(), " 0:00:03");
  EXPECT_EQ(window_.TotTimeLbl->text(), " 0:00:08");
  EXPECT_EQ(window_.TransferLbl->text(), "50");
  EXPECT_EQ(window_.TotTransferLbl->text(), "150");

  // A new batch starts from nothing.
  window_.Close();
  now_ = 10000;
  window_.Show({});
  window_.Begin("/pub/three", 10, true);
  now_ = 11000;
  window_.Update(7);
  ASSERT_TRUE(Redrawn(window_.Refreshes()));
  EXPECT_EQ(window_.TotTransferLbl->text(), "7");
  EXPECT_EQ(window_.TotTimeLbl->text(), " 0:00:01");
}

TEST_F(ProgressWindowTest, CancelRunsTheActionOnceAfterTheClickAndEscapeLeavesTheWindowOpen) {
  int cancels = 0;
  bool insideClick = false;
  window_.Show([&] {
    EXPECT_FALSE(insideClick) << "the action runs after the button's handler";
    ++cancels;
  });
  ASSERT_TRUE(window_.IsOpen());
  insideClick = true;
  window_.CancelBtn->click();
  window_.CancelBtn->click();
  insideClick = false;
  EXPECT_EQ(cancels, 0);
  PumpFor(50ms);
  EXPECT_EQ(cancels, 1) << "a second click before the action ran adds nothing";
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_TRUE(window_.IsOpen());

  // The action may close the window itself; the next batch may cancel again.
  window_.Close();
  window_.Show([&] { window_.Close(); });
  ASSERT_TRUE(window_.CancelBtn->isEnabled());
  window_.CancelBtn->click();
  ASSERT_TRUE(PumpUntil([&] { return !window_.IsOpen(); }, 5s));
}

}  // namespace
}  // namespace shell
