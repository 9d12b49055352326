#include "dialogs/HelpWindow.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "dialogs/Controls.h"

// The help text is a resource of this static library, which a program must register.
static void RegisterHelpText() { Q_INIT_RESOURCE(dialogs); }

namespace dialogs {
namespace {

const QUrl kStartPage(QStringLiteral("qrc:/marlo/help/help.html"));

}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent), text_(new QTextBrowser(this)) {
  RegisterHelpText();
  setWindowTitle(QStringLiteral("TOVIK FTP — Помощь"));
  text_->setObjectName("HelpText");
  text_->setOpenLinks(true);
  text_->setOpenExternalLinks(false);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* contents = NewButton(this, "ContentsButton", QStringLiteral("&Содержание"));
  QPushButton* back = NewButton(this, "BackButton", QStringLiteral("&Назад"));
  buttons->addButton(contents, QDialogButtonBox::ActionRole);
  buttons->addButton(back, QDialogButtonBox::ActionRole);
  // Enter follows the focused link; no button takes it.
  buttons->addButton(NewButton(this, "CloseButton", QStringLiteral("Закрыть")), QDialogButtonBox::RejectRole);
  back->setEnabled(false);
  connect(contents, &QPushButton::clicked, this, &THelpWindow::ShowStartPage);
  connect(back, &QPushButton::clicked, text_, &QTextBrowser::backward);
  connect(text_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* backKey = new QShortcut(QKeySequence::Back, this);
  connect(backKey, &QShortcut::activated, text_, &QTextBrowser::backward);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addWidget(buttons);
  const QFontMetrics metrics = fontMetrics();
  resize(metrics.averageCharWidth() * 100, metrics.height() * 36);

  text_->setSource(kStartPage);
  text_->setFocus();
}

void THelpWindow::ShowStartPage() {
  text_->setSource(kStartPage);
  text_->scrollToAnchor(QStringLiteral("start"));
  text_->setFocus();
}

THelpWindow* ShowHelp(QWidget* parent) {
  static QPointer<THelpWindow> window;
  if (!window) {
    window = new THelpWindow(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
  } else {
    window->ShowStartPage();
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace dialogs
