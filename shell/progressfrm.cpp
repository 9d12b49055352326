#include "shell/progressfrm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/QtText.h"
#include "listing/PaneItem.h"
#include "shell/Icons.h"
#include "shell/ProgressTexts.h"

namespace shell {

// The strip between the computer and the server across which a small picture hops, one
// step per redraw: its place comes from the animation frame.
class ProgressStrip : public QWidget {
 public:
  explicit ProgressStrip(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(kLargeIconSize);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }

  void SetFrame(int frame) {
    frame_ = frame;
    update();
  }
  int Frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int span = width() - kSmallIconSize;
    const int x = span * frame_ / kLastFrame;
    // Even frames ride in the middle, the others alternate above and below it.
    const int lane = height() - kSmallIconSize;
    const int y = frame_ % 2 == 0 ? lane / 2 : (frame_ % 4 == 1 ? 0 : lane);
    PaneItemIcon(listing::kImageFile).paint(&painter, x, y, kSmallIconSize, kSmallIconSize);
  }

 private:
  int frame_ = 0;
};

namespace {

std::int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance("00000000000000"));
  return label;
}

QGroupBox* FigureGroup(const QString& title, const QString (&captions)[3], QLabel* (&values)[3], QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  auto* grid = new QGridLayout(group);
  for (int row = 0; row < 3; ++row) {
    values[row] = ValueLabel(group);
    grid->addWidget(new QLabel(captions[row], group), row, 0);
    grid->addWidget(values[row], row, 1);
  }
  grid->setColumnStretch(1, 1);
  return group;
}

QLabel* Picture(const QIcon& icon, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(icon.pixmap(kLargeIconSize, kLargeIconSize));
  return label;
}

}  // namespace

TProgress::TProgress(QWidget* parent, Clock clock)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      clock_(clock ? std::move(clock) : Clock(SteadyMilliseconds)) {
  setWindowTitle("Передача");
  setModal(false);
  setAttribute(Qt::WA_ShowWithoutActivating);

  ProgressBar = new QProgressBar(this);
  ProgressBar->setRange(0, 100);

  QLabel* file[3];
  QLabel* batch[3];
  // The third line of the file's group is the estimated time still needed.
  auto* fileGroup = FigureGroup("Этот файл", {"Передано:", "Время", "Осталось"}, file, this);
  auto* batchGroup = FigureGroup("Всего", {"Передано", "Время", "Скорость"}, batch, this);
  TransferLbl = file[0];
  TimeLbl = file[1];
  TimeLeftLbl = file[2];
  TotTransferLbl = batch[0];
  TotTimeLbl = batch[1];
  TransferRateLbl = batch[2];

  strip_ = new ProgressStrip(this);
  auto* animation = new QHBoxLayout;
  animation->addWidget(Picture(ComputerIcon(), this));
  animation->addWidget(strip_, 1);
  animation->addWidget(Picture(PaneItemIcon(listing::kImageSite), this));

  CancelBtn = new QPushButton("Отмена", this);
  CancelBtn->setAutoDefault(false);
  // The cancel action aborts the engine, which ends the session and closes this window. It
  // runs from the event loop once the click is done with, never inside the button's own
  // handler; a second click before then changes nothing.
  connect(CancelBtn, &QPushButton::clicked, this, [this] {
    CancelBtn->setEnabled(false);
    QMetaObject::invokeMethod(this, [this] {
      if (auto cancel = cancel_) cancel();
    }, Qt::QueuedConnection);
  });

  auto* groups = new QHBoxLayout;
  groups->addWidget(fileGroup);
  groups->addWidget(batchGroup);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ProgressBar);
  layout->addLayout(groups);
  layout->addLayout(animation);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  refresh_.setSingleShot(true);
  refresh_.setInterval(kRefreshInterval);
  connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
}

void TProgress::Show(std::function<void()> cancel) {
  if (IsOpen()) return;
  cancel_ = std::move(cancel);
  CancelBtn->setEnabled(true);
  batchStart_ = fileStart_ = clock_();
  bytes_ = earlierBytes_ = total_ = 0;
  strip_->SetFrame(0);
  show();
  raise();
}

bool TProgress::IsOpen() const { return isVisible(); }

void TProgress::Begin(const std::string& name, std::int64_t size, bool sending) {
  earlierBytes_ += bytes_;
  bytes_ = 0;
  total_ = size;
  sending_ = sending;
  fileStart_ = clock_();
  setWindowTitle(dialogs::ToQString(ProgressCaption(name, size, sending)));
  refresh_.stop();
  Refresh();
}

void TProgress::Update(std::int64_t bytes) {
  bytes_ = bytes;
  if (!refresh_.isActive()) refresh_.start();
}

void TProgress::Close() {
  refresh_.stop();
  cancel_ = nullptr;
  hide();
}

void TProgress::closeEvent(QCloseEvent* event) {
  if (event->spontaneous()) event->ignore();
  else QDialog::closeEvent(event);
}

void TProgress::Refresh() {
  const std::int64_t now = clock_();
  const ProgressTexts texts = ProgressTextsOf({bytes_, total_, now - fileStart_, earlierBytes_ + bytes_, now - batchStart_});
  ProgressBar->setValue(texts.bar);
  TransferLbl->setText(QString::fromStdString(texts.transferred));
  TimeLbl->setText(QString::fromStdString(texts.time));
  TimeLeftLbl->setText(QString::fromStdString(texts.timeLeft));
  TotTransferLbl->setText(QString::fromStdString(texts.totalTransferred));
  TotTimeLbl->setText(QString::fromStdString(texts.totalTime));
  TransferRateLbl->setText(QString::fromStdString(texts.rate));
  strip_->SetFrame(NextFrame(strip_->Frame(), sending_));
  ++refreshes_;
}

}  // namespace shell
