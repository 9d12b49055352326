#include "shell/MainBinding.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeView>

#include "dialogs/QtText.h"
#include "shell/DirectoryListBox.h"
#include "shell/MainWindow.h"
#include "shell/PaneTableModel.h"

namespace shell {

using session::Change;
using session::Command;
using session::Surface;

namespace {

// The remote pane's title while it lists the stored sites.
const char* const kSitesTitle = "Удаленные FTP серверы";
const QString kLockImage = QStringLiteral("<img src=\":/marlo/icons/lock.svg\" width=\"14\" height=\"14\">&nbsp;");
const QString kEncryptedHint = QStringLiteral("Соединение зашифровано (TLS)");

// The font the options name, over the desktop's own. The stored default names the font of
// another system ("MS Sans Serif", 8 points): it stands for the desktop's font, and black,
// the default colour, for the desktop's text colour.
void ApplyFontOptions(MainWindow& window, const ProgramOptions& options) {
  const ProgramOptions defaults;
  QFont font = QApplication::font();
  if (options.FontName != defaults.FontName || options.FontSize != defaults.FontSize) {
    font.setFamily(dialogs::ToQString(options.FontName));
    if (options.FontSize > 0) font.setPointSize(options.FontSize);
  }
  const QColor color = options.FontColor != defaults.FontColor ? dialogs::FromColorRef(options.FontColor)
                                                              : QApplication::palette().color(QPalette::WindowText);
  window.ApplyWindowFont(font, color);
}

}  // namespace

MainBinding::MainBinding(MainWindow& window, session::MainLogic& logic, Runner runner)
    : window_(window),
      logic_(logic),
      run_(runner ? std::move(runner) : Runner([&logic](Command command, int tag) { logic.Run(command, tag); })),
      map_(CommandMap(window)) {
  BindCommands();
  BindPanes();
  BindCommandLine();
  connect(&window_, &MainWindow::localDirectoryChosen, this,
          [this](const std::filesystem::path& directory) { logic_.ChangeLocalDirectory(directory); });
  logic_.SetListener(this);
  for (Change change : {Change::Commands, Change::RemoteMode, Change::PathCombo, Change::CommandBar, Change::Busy,
                        Change::Cursor, Change::Options, Change::LocalPane}) {
    Changed(change);
  }
}

MainBinding::~MainBinding() { logic_.SetListener(nullptr); }

void MainBinding::BindCommands() {
  for (const CommandEntry& entry : map_) {
    connect(entry.action, &QAction::triggered, this, [this, entry] { run_(entry.command, entry.tag); });
  }
  connect(window_.FTPPath, &QComboBox::activated, this, [this](int index) { run_(Command::RemotePath, index); });
  connect(window_.RemoteDeleteKey, &QAction::triggered, this, &MainBinding::DeleteKeyOnRemotePane);
}

// The Delete key asks before it deletes on the server (the button and the menu entries do
// not); the stored sites are asked about the same way.
void MainBinding::DeleteKeyOnRemotePane() {
  if (logic_.RemotePane().SelectedIndexes().empty()) return;
  const QString question = logic_.ShowingSites() ? "Do you wish to remove the selected sites?"
                                                 : "Do you wish to remove the selected entries from the server?";
  if (QMessageBox::question(&window_, "Attention", question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
      QMessageBox::Yes) {
    run_(Command::RemoteDelete, 0);
  }
}

void MainBinding::BindPanes() {
  connect(window_.FTPView, &PaneView::doubleClicked, this, [this] { run_(Command::RemoteOpen, 0); });
  connect(window_.lvLoc, &PaneView::doubleClicked, this, [this] { run_(Command::LocalOpen, 0); });
  connect(window_.FTPView, &PaneView::columnClicked, this, [this](int tag) { run_(Command::RemoteSort, tag); });
  connect(window_.lvLoc, &PaneView::columnClicked, this, [this](int tag) { run_(Command::LocalSort, tag); });
  connect(window_.lvLoc, &PaneView::focusChanged, this, [this](bool inside) { logic_.LocalPaneFocusChanged(inside); });

  window_.FTPView->SetDropRule([this](const PaneDrop& drop) {
    if (drop.sourcePaneTag) return logic_.RemotePaneAcceptsDrag(drop.sourcePaneTag);
    return !drop.localPaths.empty() && logic_.RemotePaneAcceptsFiles();
  });
  window_.lvLoc->SetDropRule(
      [this](const PaneDrop& drop) { return logic_.LocalPaneAcceptsDrag(drop.sourcePaneTag); });
  connect(&window_, &MainWindow::remoteDropped, this, &MainBinding::RemoteDropped);
  connect(&window_, &MainWindow::localDropped, this,
          [this](const PaneDrop& drop) { logic_.DropOnLocalPane(drop.sourcePaneTag); });

  // The width of the remote listing's first column is measured in the view's font, against
  // the view's width: both are taken again whenever they change.
  window_.FTPView->ReportView()->viewport()->installEventFilter(this);
  window_.FTPView->installEventFilter(this);
  MeasureRemoteCaptions();
  // A refill of the remote pane (a listing, a filter) may ask for another width.
  connect(window_.FTPView->Model(), &QAbstractItemModel::modelReset, this, [this] {
    if (!logic_.ShowingSites()) window_.FTPView->SetFirstColumnWidth(logic_.RemoteFirstColumnWidth());
  });
}

void MainBinding::BindCommandLine() {
  QComboBox* line = window_.cbCmd;
  connect(line->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { logic_.Bar().text = dialogs::ToBytes(text); });
  connect(line, &QComboBox::activated, this, [this, line](int index) {
    logic_.Bar().selected = index;
    logic_.Bar().text = dialogs::ToBytes(line->itemText(index));
  });
}

void MainBinding::RemoteDropped(const PaneDrop& drop) {
  if (drop.sourcePaneTag) return logic_.DropOnRemotePane(drop.sourcePaneTag);
  std::vector<std::filesystem::path> paths(drop.localPaths.begin(), drop.localPaths.end());
  logic_.DropFilesOnRemotePane(paths);
}

bool MainBinding::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) MeasureRemoteCaptions();
  return QObject::eventFilter(watched, event);
}

void MainBinding::MeasureRemoteCaptions() { logic_.SetCaptionMetrics(window_.FTPView->CaptionMetrics()); }

void MainBinding::Changed(Change what) {
  switch (what) {
    case Change::Commands: return ShowCommandStates();
    case Change::RemoteMode: return ShowRemoteMode();
    case Change::PathCombo: return ShowPathItems();
    case Change::CommandBar: return ShowCommandBar();
    case Change::Busy: return window_.SetRemoteBusy(logic_.Busy());
    case Change::Cursor: return window_.SetScreenBusy(logic_.HourglassCursor());
    case Change::Options: return ApplyFontOptions(window_, logic_.Options());
    case Change::LocalPane: return ShowLocalDirectory();
    case Change::Encryption: return ShowRemoteMode();
    case Change::Close:
      QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
      return;
  }
}

void MainBinding::ShowCommandStates() {
  for (const CommandEntry& entry : map_) entry.action->setEnabled(logic_.Enabled(entry.command, entry.surface));
  window_.FTPPath->setEnabled(logic_.Enabled(Command::RemotePath, Surface::Control));
}

void MainBinding::ShowRemoteMode() {
  const bool sites = logic_.ShowingSites();
  window_.FTPView->SetStyle(sites ? ViewStyle::List : ViewStyle::Report);
  MeasureRemoteCaptions();
  // During a session the title names the server, behind a lock while the session is encrypted.
  const QString host = dialogs::ToQString(logic_.Engine().HostName());
  const bool locked = !sites && logic_.Encrypted();
  window_.RemoteTitle->setTextFormat(locked ? Qt::RichText : Qt::PlainText);
  window_.RemoteTitle->setText(sites ? kSitesTitle : locked ? kLockImage + host.toHtmlEscaped() : host);
  window_.RemoteTitle->setToolTip(locked ? kEncryptedHint : QString());
}

void MainBinding::ShowPathItems() {
  QComboBox* path = window_.FTPPath;
  const QSignalBlocker quiet(path);
  path->clear();
  for (const std::string& item : logic_.PathItems()) path->addItem(dialogs::ToQString(item));
  path->setCurrentIndex(logic_.PathIndex());
  if (!logic_.ShowingSites()) window_.FTPView->SetFirstColumnWidth(logic_.RemoteFirstColumnWidth());
}

void MainBinding::ShowCommandBar() {
  const session::CommandBar& bar = logic_.Bar();
  QComboBox* line = window_.cbCmd;
  {
    const QSignalBlocker quiet(line);
    line->clear();
    for (const std::string& item : bar.items) line->addItem(dialogs::ToQString(item));
    line->setCurrentIndex(bar.selected);
    line->setEditText(dialogs::ToQString(bar.text));
  }
  window_.ShowCommandBar(bar.visible);
}

void MainBinding::ShowLocalDirectory() {
  const std::filesystem::path& directory = logic_.LocalPane().Directory();
  if (window_.dlbx->Directory() != directory) window_.ShowLocalDirectory(directory);
}

}  // namespace shell
