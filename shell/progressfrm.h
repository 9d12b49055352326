#pragma once
// The transfer progress window: a small dialog that stays on top while a batch of files is
// transferred. Its caption names the current file, its size and the direction; a bar shows
// the file's percentage; two groups show the bytes, times and the rate of the file and of
// the batch; a picture hops across a strip, rightwards while sending and leftwards while
// receiving; "Отмена" runs the cancel action of the batch.
//
// Times are measured by the window itself on a monotonic clock: the file's from Begin, the
// batch's from Show. The bytes of the batch are those of its finished files plus the
// current file's.
//
// Updates arrive once per block, which on a fast link is thousands of times a second; the
// texts are redrawn from the latest figures at most once per refresh interval, from a timer
// on the event loop. Begin redraws at once.
//
// "Отмена" runs the cancel action from the event loop after the click, once per batch: the
// action may close the window, which must not happen inside the button's own handler.
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "session/ProgressWindow.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace shell {

class ProgressStrip;

class TProgress : public QDialog, public session::ProgressWindow {
 public:
  // Milliseconds of a monotonic clock; tests pass their own.
  using Clock = std::function<std::int64_t()>;
  static constexpr std::chrono::milliseconds kRefreshInterval{250};

  explicit TProgress(QWidget* parent = nullptr, Clock clock = {});

  void Show(std::function<void()> cancel) override;
  bool IsOpen() const override;
  void Begin(const std::string& name, std::int64_t size, bool sending) override;
  void Update(std::int64_t bytes) override;
  void Close() override;

  // How often the texts were redrawn since the window was made.
  int Refreshes() const { return refreshes_; }

  QLabel* TransferLbl;
  QLabel* TimeLbl;
  QLabel* TimeLeftLbl;
  QLabel* TotTransferLbl;
  QLabel* TotTimeLbl;
  QLabel* TransferRateLbl;
  QProgressBar* ProgressBar;
  QPushButton* CancelBtn;

 protected:
  // The window goes away with Close: neither Escape nor the window manager's close request
  // hides it while a transfer runs. The program's own close requests (quitting) are obeyed.
  void reject() override {}
  void closeEvent(QCloseEvent* event) override;

 private:
  void Refresh();

  Clock clock_;
  QTimer refresh_;
  ProgressStrip* strip_;
  std::function<void()> cancel_;
  std::int64_t batchStart_ = 0;
  std::int64_t fileStart_ = 0;
  std::int64_t bytes_ = 0;
  std::int64_t earlierBytes_ = 0;
  std::int64_t total_ = 0;
  bool sending_ = false;
  int refreshes_ = 0;
};

}  // namespace shell
