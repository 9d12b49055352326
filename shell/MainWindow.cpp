#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/AboutBox.h"
#include "dialogs/HelpWindow.h"
#include "listing/DragAcceptance.h"
#include "listing/PaneSelection.h"
#include "shell/DirectoryListBox.h"
#include "shell/Icons.h"
#include "shell/LogMemo.h"
#include "shell/PaneTableModel.h"
#include "shell/progressfrm.h"

namespace shell {

namespace {

// The captions of the entry families, by tag.
const QString kCaseCaptions[] = {"БОЛЬШИЕ БУКВЫ", "маленькие буквы", "Как в предложении"};
const QString kSortCaptions[] = {"По имени", "По размеру", "По дате"};
const QString kMainSelectCaptions[] = {"Выделить все", "Не выделять", "Выделить по маске", "Инвертировать выделение"};
const QString kPopupSelectCaptions[] = {"Все", "Не выбирать", "По маске", "Инвертировать выделение"};
const QString kViewCaptions[] = {"Крупные значки", "Мелкие значки", "Список", "Таблица"};

QAction* Entry(QObject* owner, const char* name, const QString& caption) {
  auto* action = new QAction(caption, owner);
  action->setObjectName(name);
  return action;
}

// A family of entries sharing a handler; entry i gets the tag sign × (firstTag + i).
template <std::size_t N>
std::array<QAction*, N> Family(QObject* owner, const char* name, const QString (&captions)[N], int firstTag,
                               int sign = 1) {
  std::array<QAction*, N> family{};
  for (std::size_t i = 0; i < N; ++i) {
    const int tag = sign * (firstTag + static_cast<int>(i));
    family[i] = Entry(owner, (QString(name) + "_" + QString::number(tag)).toUtf8().constData(), captions[i]);
    family[i]->setData(tag);
  }
  return family;
}

template <std::size_t N>
QMenu* SubMenu(QMenu* menu, const QString& title, const std::array<QAction*, N>& family) {
  QMenu* sub = menu->addMenu(title);
  for (QAction* action : family) sub->addAction(action);
  return sub;
}

QAction* Tagged(QAction* action, int tag) {
  action->setData(tag);
  return action;
}

QToolButton* ButtonOf(QAction* action, QWidget* parent, Qt::ToolButtonStyle style = Qt::ToolButtonTextBesideIcon) {
  auto* button = new QToolButton(parent);
  button->setDefaultAction(action);
  button->setObjectName(action->objectName());
  button->setToolButtonStyle(style);
  button->setAutoRaise(true);
  return button;
}

QIcon RenameIcon() { return QIcon::fromTheme("edit-rename", QIcon(":/marlo/icons/rename.svg")); }

QToolButton* ArrowButton(QAction* action, QWidget* parent) {
  QToolButton* button = ButtonOf(action, parent, Qt::ToolButtonIconOnly);
  button->setIconSize({24, 24});
  return button;
}

QLabel* PaneTitle(const QString& text, QWidget* parent) {
  auto* title = new QLabel(text, parent);
  title->setFrameShape(QFrame::StyledPanel);
  title->setMargin(3);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  return title;
}

// A tool bar's button for the action, named as the action is.
void AddButton(QToolBar* bar, QAction* action) {
  bar->addAction(action);
  bar->widgetForAction(action)->setObjectName(action->objectName());
}

// A pane's row of buttons: a tool bar, which folds the buttons that find no room into its
// overflow menu, so that a narrow pane clips no caption.
QToolBar* ButtonRow(std::initializer_list<QAction*> actions, QWidget* parent) {
  auto* row = new QToolBar(parent);
  row->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  row->setIconSize({kSmallIconSize, kSmallIconSize});
  for (QAction* action : actions) AddButton(row, action);
  return row;
}

// The actions of one pane that its keys run.
struct PaneKeys {
  QAction* open;
  QAction* up;
  QAction* rename;
  QAction* remove;
  QAction* selectAll;
  QAction* refresh;
};

// Puts the pane's keys on its actions; they act while the pane (either view) has the focus.
void BindPaneKeys(PaneView* view, const PaneKeys& keys) {
  const std::pair<QAction*, QList<QKeySequence>> bindings[] = {
      {keys.open, {Qt::Key_Return, Qt::Key_Enter}}, {keys.up, {Qt::Key_Backspace}},
      {keys.rename, {Qt::Key_F2}},                  {keys.remove, {QKeySequence::Delete}},
      {keys.selectAll, {QKeySequence::SelectAll}},  {keys.refresh, {QKeySequence::Refresh}},
  };
  for (const auto& [action, sequences] : bindings) {
    action->setShortcuts(sequences);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view->addAction(action);
  }
}

}  // namespace

MainWindow::MainWindow(listing::PaneModel& remotePane, listing::PaneModel& localPane,
                       std::filesystem::path configDirectory, QWidget* parent)
    : QMainWindow(parent), configDirectory_(std::move(configDirectory)) {
  setWindowTitle("TOVIK FTP");
  setWindowIcon(ProgramIcon());
  Progress = new TProgress(this);

  BuildToolBar();
  QWidget* local = BuildLocalPane(localPane);
  QWidget* remote = BuildRemotePane(remotePane);
  panes_ = new QSplitter(Qt::Horizontal);
  panes_->addWidget(local);
  panes_->addWidget(remote);
  panes_->setChildrenCollapsible(false);
  panes_->setStretchFactor(0, 1);
  panes_->setStretchFactor(1, 1);

  Log = new LogMemo;
  auto* rows = new QSplitter(Qt::Vertical);
  rows->addWidget(panes_);
  rows->addWidget(Log);
  rows->setChildrenCollapsible(false);
  rows->setStretchFactor(0, 1);
  rows->setStretchFactor(1, 0);
  Log->setMinimumHeight(Log->fontMetrics().lineSpacing() * 3);
  rows->setSizes({600, Log->fontMetrics().lineSpacing() * 8});
  setCentralWidget(rows);

  BuildMainMenu();
  lvLoc->SetContextMenu(BuildLocalPopup());
  FTPView->SetContextMenu(BuildRemotePopup());
  BindWindowCommands();

  connect(FTPView, &PaneView::dropped, this, &MainWindow::remoteDropped);
  connect(lvLoc, &PaneView::dropped, this, &MainWindow::localDropped);

  // Without a session the remote pane lists the sites, in the list style; both arrows
  // wait for a session, and Disconnect and Stop for something to end.
  FTPView->SetStyle(ViewStyle::List);
  for (QAction* action : {Buttons.SpeedButton1, Buttons.SpeedButton2, Buttons.sbDisConnect, Buttons.sbStop,
                          MainMenu.Disconnect1, MainMenu.StopTransfer1}) {
    action->setEnabled(false);
  }
  resize(1100, 720);
}

MainWindow::~MainWindow() { SetScreenBusy(false); }

void MainWindow::BuildToolBar() {
  Buttons.sbConnect = Entry(this, "sbConnect", "&Соединиться");
  Buttons.sbConnect->setIcon(ThemedIcon("network-server", QStyle::SP_DriveNetIcon));
  Buttons.sbDisConnect = Entry(this, "sbDisConnect", "&Отключить");
  Buttons.sbDisConnect->setIcon(ThemedIcon("network-offline", QStyle::SP_DialogCloseButton));
  Buttons.sbStop = Entry(this, "sbStop", "&Остановить передачу");
  Buttons.sbStop->setIcon(ThemedIcon("process-stop", QStyle::SP_BrowserStop));
  Buttons.ExplorerButton1 = Entry(this, "ExplorerButton1", "  Выход");
  Buttons.ExplorerButton1->setIcon(ThemedIcon("application-exit", QStyle::SP_DialogCancelButton));

  QToolBar* bar = addToolBar("Панель инструментов");
  bar->setObjectName("ToolBar");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->toggleViewAction()->setVisible(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  for (QAction* action : {Buttons.sbConnect, Buttons.sbDisConnect, Buttons.sbStop}) AddButton(bar, action);
  auto* title = new QLabel("TOVIK FTP", bar);
  QFont titleFont = title->font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  title->setFont(titleFont);
  title->setAlignment(Qt::AlignCenter);
  title->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(title);
  AddButton(bar, Buttons.ExplorerButton1);
}

QWidget* MainWindow::BuildLocalPane(listing::PaneModel& pane) {
  auto* box = new QWidget;
  Buttons.sbMkd1 = Entry(this, "sbMkd1", "Новая директория");
  Buttons.sbMkd1->setIcon(ThemedIcon("folder-new", QStyle::SP_FileDialogNewFolder));
  Buttons.sbRen1 = Entry(this, "sbRen1", "Переименовать");
  Buttons.sbRen1->setIcon(RenameIcon());
  Buttons.sbDel1 = Entry(this, "sbDel1", "Удалить");
  Buttons.sbDel1->setIcon(ThemedIcon("edit-delete", QStyle::SP_TrashIcon));
  Buttons.sbView = Entry(this, "sbView", "Просмотр");
  Buttons.sbView->setIcon(ThemedIcon("document-open", QStyle::SP_FileDialogContentsView));
  Buttons.sbRun = Entry(this, "sbRun", "Запустить");
  Buttons.sbRun->setIcon(ThemedIcon("system-run", QStyle::SP_MediaPlay));
  Buttons.SpeedButton4 = Entry(this, "SpeedButton4", "На уровень вверх");
  Buttons.SpeedButton4->setIcon(ThemedIcon("go-up", QStyle::SP_FileDialogToParent));
  Buttons.SpeedButton1 = Entry(this, "SpeedButton1", "Передать на сервер");
  Buttons.SpeedButton1->setIcon(ThemedIcon("go-next", QStyle::SP_ArrowRight));
  Buttons.SpeedButton1->setToolTip("Upload files to FTP - server");
  Buttons.SpeedButton2 = Entry(this, "SpeedButton2", "Принять с сервера");
  Buttons.SpeedButton2->setIcon(ThemedIcon("go-previous", QStyle::SP_ArrowLeft));
  Buttons.SpeedButton2->setToolTip("Download files from FTP - server");

  DriveComboBox1 = new QComboBox(box);
  DriveComboBox1->setObjectName("DriveComboBox1");
  DriveComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  DriveComboBox1->addItem(ThemedIcon("drive-harddisk", QStyle::SP_DriveHDIcon), "/", QString("/"));
  DriveComboBox1->addItem(ThemedIcon("user-home", QStyle::SP_DirHomeIcon), QDir::homePath(), QDir::homePath());
  auto* places = new QHBoxLayout;
  places->addWidget(DriveComboBox1, 1);
  localUpButton_ = ButtonOf(Buttons.SpeedButton4, box, Qt::ToolButtonIconOnly);
  places->addWidget(localUpButton_);

  dlbx = new DirectoryListBox(box);
  dlbx->setObjectName("dlbx");
  lvLoc = new PaneView(pane, listing::kLocalPaneTag, PaneTableModel::kLocalColumns, box);
  lvLoc->setObjectName("lvLoc");
  auto* lists = new QSplitter(Qt::Vertical, box);
  lists->addWidget(dlbx);
  lists->addWidget(lvLoc);
  lists->setChildrenCollapsible(false);
  lists->setStretchFactor(0, 1);
  lists->setStretchFactor(1, 3);

  auto* column = new QVBoxLayout;
  column->addWidget(PaneTitle("Локальный Компьютер", box));
  column->addWidget(ButtonRow({Buttons.sbMkd1, Buttons.sbRen1, Buttons.sbDel1, Buttons.sbView, Buttons.sbRun}, box));
  column->addLayout(places);
  column->addWidget(lists, 1);

  // The arrow strip at the pane's edge, next to the remote pane.
  auto* arrows = new QVBoxLayout;
  arrows->addStretch(1);
  arrows->addWidget(ArrowButton(Buttons.SpeedButton1, box));
  arrows->addWidget(ArrowButton(Buttons.SpeedButton2, box));
  arrows->addStretch(1);

  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(4, 4, 0, 4);
  layout->addLayout(column, 1);
  layout->addLayout(arrows);
  return box;
}

QWidget* MainWindow::BuildRemotePane(listing::PaneModel& pane) {
  auto* box = new QWidget;
  Buttons.sbNewServer = Entry(this, "sbNewServer", "Новый Сервер");
  Buttons.sbNewServer->setIcon(ThemedIcon("document-new", QStyle::SP_FileIcon));
  Buttons.sbProperties = Entry(this, "sbProperties", "Свойства");
  Buttons.sbProperties->setIcon(ThemedIcon("document-properties", QStyle::SP_FileDialogDetailedView));
  Buttons.sbMkd2 = Entry(this, "sbMkd2", "Новая директория");
  Buttons.sbMkd2->setIcon(ThemedIcon("folder-new", QStyle::SP_FileDialogNewFolder));
  Buttons.sbRen2 = Entry(this, "sbRen2", "Переименовать");
  Buttons.sbRen2->setIcon(RenameIcon());
  Buttons.sbDel2 = Entry(this, "sbDel2", "Удалить");
  Buttons.sbDel2->setIcon(ThemedIcon("edit-delete", QStyle::SP_TrashIcon));
  Buttons.FTPOneLevelUp = Entry(this, "FTPOneLevelUp", "На уровень вверх");
  Buttons.FTPOneLevelUp->setIcon(ThemedIcon("go-up", QStyle::SP_FileDialogToParent));
  Buttons.SpeedButton6 = Entry(this, "SpeedButton6", "Команды");
  Buttons.SpeedButton5 = Entry(this, "SpeedButton5", "Выполнить");

  RemoteTitle = PaneTitle("Удаленные FTP - серверы", box);
  RemoteTitle->setObjectName("RemoteTitle");

  FTPPath = new QComboBox(box);
  FTPPath->setObjectName("FTPPath");
  FTPPath->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* path = new QHBoxLayout;
  path->addWidget(FTPPath, 1);
  remoteUpButton_ = ButtonOf(Buttons.FTPOneLevelUp, box, Qt::ToolButtonIconOnly);
  path->addWidget(remoteUpButton_);

  FTPView = new PaneView(pane, listing::kRemotePaneTag, PaneTableModel::kRemoteColumns, box);
  FTPView->setObjectName("FTPView");

  CommandBar = new QWidget(box);
  CommandBar->setObjectName("CommandBar");
  cbCmd = new QComboBox(CommandBar);
  cbCmd->setObjectName("cbCmd");
  cbCmd->setEditable(true);
  cbCmd->setInsertPolicy(QComboBox::NoInsert);
  cbCmd->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // Enter in the command line sends it, as the "Выполнить" button does.
  connect(cbCmd->lineEdit(), &QLineEdit::returnPressed, Buttons.SpeedButton5, &QAction::trigger);
  auto* commands = new QHBoxLayout(CommandBar);
  commands->setContentsMargins(0, 0, 0, 0);
  commands->addWidget(ButtonOf(Buttons.SpeedButton6, CommandBar, Qt::ToolButtonTextOnly));
  commands->addWidget(cbCmd, 1);
  commands->addWidget(ButtonOf(Buttons.SpeedButton5, CommandBar, Qt::ToolButtonTextOnly));
  CommandBar->hide();

  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 4, 4, 4);
  layout->addWidget(RemoteTitle);
  layout->addWidget(ButtonRow({Buttons.sbNewServer, Buttons.sbProperties, Buttons.sbMkd2, Buttons.sbRen2, Buttons.sbDel2}, box));
  layout->addLayout(path);
  layout->addWidget(FTPView, 1);
  layout->addWidget(CommandBar);
  return box;
}

void MainWindow::BuildMainMenu() {
  MainMenuEntries& m = MainMenu;
  QMenu* file = menuBar()->addMenu("&Файл");
  file->addAction(m.Connect1 = Entry(this, "Connect1", "Подключиться к FTP - серверу"));
  file->addAction(m.Disconnect1 = Entry(this, "Disconnect1", "Отключиться"));
  file->addAction(m.StopTransfer1 = Entry(this, "StopTransfer1", "Остановить передачу"));
  file->addSeparator();
  file->addAction(m.Spawnnewsession1 = Entry(this, "Spawnnewsession1", "Запустить программу в новом окне"));
  file->addAction(m.FtpOptions1 = Entry(this, "FtpOptions1", "Общие настройки"));
  file->addSeparator();
  file->addAction(m.Exit1 = Entry(this, "Exit1", "&Выход"));
  m.Exit1->setShortcut(QKeySequence::Quit);

  QMenu* server = menuBar()->addMenu("&Сервер");
  server->addAction(m.NewServer1 = Entry(this, "NewServer1", "Новый сервер"));
  server->addAction(m.ServerProperties1 = Entry(this, "ServerProperties1", "Свойства сервера"));
  server->addSeparator();
  server->addAction(m.DownloadSelectedFiles1 =
                        Entry(this, "DownloadSelectedFiles1", "Загрузить выделенные  файлы на локальный компьютер"));
  server->addAction(m.Makedirectory2 = Entry(this, "Makedirectory2", "Создать директорию"));
  server->addAction(m.RenameFile3 = Entry(this, "RenameFile3", "Переименовать"));
  server->addAction(m.DeleteServerFile1 = Entry(this, "DeleteServerFile1", "Удалить"));
  server->addAction(m.ChandDirect1 = Entry(this, "ChandDirect1", "Изменить директорию"));
  server->addAction(m.FileAttributes2 = Entry(this, "FileAttributes2", "Атрибуты файла на сервере"));
  server->addAction(m.CustomCommand1 = Entry(this, "CustomCommand1", "Командная строка"));
  m.CustomCommand1->setCheckable(true);
  server->addSeparator();
  server->addAction(m.CompareDirectories1 = Entry(this, "CompareDirectories1", "Сравнить директории"));
  SubMenu(server, "Изменить регистр", m.ChangeCase3 = Family(this, "ChangeCase3", kCaseCaptions, 0));
  SubMenu(server, "Сортировка", m.Sorting3 = Family(this, "Sorting3", kSortCaptions, 1));
  SubMenu(server, "Выделение", m.Select2 = Family(this, "Select2", kMainSelectCaptions, 1, -1));
  server->addAction(m.Filter4 = Entry(this, "Filter4", "Фильтр"));
  SubMenu(server, "Вид", m.View3 = Family(this, "View3", kViewCaptions, 0));
  server->addAction(m.Font4 = Tagged(Entry(this, "Font4", "Шрифт..."), 1));

  QMenu* local = menuBar()->addMenu("&Локальный компьютер");
  local->addAction(m.UploadSelectedFiles1 = Entry(this, "UploadSelectedFiles1", "Загрузить выбранные файлы на FTP сервер"));
  local->addAction(m.MakeDirectory1 = Entry(this, "MakeDirectory1", "Создать директорию"));
  local->addAction(m.RenameFile2 = Entry(this, "RenameFile2", "Переименовать"));
  local->addAction(m.DeleteFile1 = Entry(this, "DeleteFile1", "Удалить"));
  local->addAction(m.Viewfile2 = Entry(this, "Viewfile2", "посмотреть в виде текста"));
  local->addAction(m.RunFile1 = Entry(this, "RunFile1", "Запустить"));
  local->addSeparator();
  SubMenu(local, "Изменить регистр", m.ChangeCase1 = Family(this, "ChangeCase1", kCaseCaptions, 0));
  SubMenu(local, "Сортировка", m.Sorting4 = Family(this, "Sorting4", kSortCaptions, 1));
  SubMenu(local, "Выделение", m.SelectAll2 = Family(this, "SelectAll2", kMainSelectCaptions, 1));
  local->addAction(m.Filter1 = Entry(this, "Filter1", "Фильтр"));
  SubMenu(local, "Вид", m.View4 = Family(this, "View4", kViewCaptions, 0));
  local->addAction(m.Font3 = Tagged(Entry(this, "Font3", "Шрифт..."), 0));

  QMenu* help = menuBar()->addMenu("&Помощь");
  help->addAction(m.Help1 = Entry(this, "Help1", "Помощь"));
  m.Help1->setShortcut(QKeySequence::HelpContents);
  help->addAction(m.About2 = Entry(this, "About2", "О программе"));
}

QMenu* MainWindow::BuildRemotePopup() {
  RemotePopupEntries& p = RemotePopup;
  auto* menu = new QMenu(this);
  menu->setObjectName("RemotePopup");
  menu->addAction(p.Open = Entry(this, "RemoteOpen", "Открыть"));
  menu->addAction(p.Refresh = Entry(this, "RemoteRefresh", "Обновить"));
  menu->addSeparator();
  menu->addAction(p.DownloadSelectedFiles2 = Entry(this, "DownloadSelectedFiles2", "Загрузить выбранные файлы"));
  menu->addSeparator();
  menu->addAction(p.New1 = Entry(this, "New1", "Новый сервер"));
  menu->addAction(p.Properties1 = Entry(this, "Properties1", "Свойства сервера"));
  menu->addSeparator();
  menu->addAction(p.MakeDirectory3 = Entry(this, "MakeDirectory3", "Создать директорию"));
  menu->addAction(p.RenameFile4 = Entry(this, "RenameFile4", "Переименовать"));
  menu->addAction(p.Delete1 = Entry(this, "Delete1", "Удалить"));
  menu->addAction(p.ChangeDirectory1 = Entry(this, "ChangeDirectory1", "Изменить директорию"));
  menu->addAction(p.FileAttributes1 = Entry(this, "FileAttributes1", "Атрибуты файла на сервере"));
  menu->addAction(p.CustomCommand2 = Entry(this, "CustomCommand2", "Командная строка"));
  p.CustomCommand2->setCheckable(true);
  menu->addSeparator();
  menu->addAction(p.CompareDirectories2 = Entry(this, "CompareDirectories2", "Сравнить директории"));
  SubMenu(menu, "Изменить регистр", p.ChangeCase4 = Family(this, "ChangeCase4", kCaseCaptions, 0));
  SubMenu(menu, "Сортировка", p.Sorting2 = Family(this, "Sorting2", kSortCaptions, 1));
  SubMenu(menu, "Выделение", p.Select3 = Family(this, "Select3", kPopupSelectCaptions, 1, -1));
  menu->addAction(p.Filter3 = Entry(this, "Filter3", "Фильтр"));
  SubMenu(menu, "Вид", p.View1 = Family(this, "View1", kViewCaptions, 0));
  menu->addAction(p.Font1 = Tagged(Entry(this, "Font1", "Шрифт..."), 1));

  RemoteDeleteKey = new QAction(this);
  BindPaneKeys(FTPView, {p.Open, Buttons.FTPOneLevelUp, p.RenameFile4, RemoteDeleteKey, p.Select3[0], p.Refresh});
  return menu;
}

QMenu* MainWindow::BuildLocalPopup() {
  LocalPopupEntries& p = LocalPopup;
  auto* menu = new QMenu(this);
  menu->setObjectName("LocalPopup");
  menu->addAction(p.Open = Entry(this, "LocalOpen", "Открыть"));
  menu->addAction(p.Refresh = Entry(this, "LocalRefresh", "Обновить"));
  menu->addSeparator();
  menu->addAction(p.UploadSelectedFiles2 = Entry(this, "UploadSelectedFiles2", "Загрузить выбранные файлы"));
  menu->addSeparator();
  menu->addAction(p.MenuItem4 = Entry(this, "MenuItem4", "Новая директория"));
  menu->addAction(p.MenuItem7 = Entry(this, "MenuItem7", "Переименовать"));
  menu->addAction(p.MenuItem8 = Entry(this, "MenuItem8", "Удалить"));
  menu->addAction(p.ViewFile3 = Entry(this, "ViewFile3", "Просмотр в виде текста"));
  menu->addAction(p.RunApplication1 = Entry(this, "RunApplication1", "Запустить"));
  menu->addSeparator();
  SubMenu(menu, "Изменить регистр", p.ChangeCase2 = Family(this, "ChangeCase2", kCaseCaptions, 0));
  SubMenu(menu, "Сортировка", p.Sorting1 = Family(this, "Sorting1", kSortCaptions, 1));
  SubMenu(menu, "Выделение", p.Select1 = Family(this, "Select1", kPopupSelectCaptions, 1));
  menu->addAction(p.Filter2 = Entry(this, "Filter2", "Фильтр"));
  SubMenu(menu, "Вид", p.MenuItem10 = Family(this, "MenuItem10", kViewCaptions, 0));
  menu->addAction(p.Font2 = Tagged(Entry(this, "Font2", "Шрифт..."), 0));

  BindPaneKeys(lvLoc, {p.Open, Buttons.SpeedButton4, p.MenuItem7, p.MenuItem8, p.Select1[0], p.Refresh});
  return menu;
}

void MainWindow::BindWindowCommands() {
  const auto styles = [](PaneView* view, const std::array<QAction*, 4>& family) {
    for (QAction* action : family) {
      connect(action, &QAction::triggered, view,
              [view, action] { view->SetStyle(static_cast<ViewStyle>(action->data().toInt())); });
    }
  };
  styles(FTPView, MainMenu.View3);
  styles(FTPView, RemotePopup.View1);
  styles(lvLoc, MainMenu.View4);
  styles(lvLoc, LocalPopup.MenuItem10);

  for (QAction* font : {MainMenu.Font4, RemotePopup.Font1, MainMenu.Font3, LocalPopup.Font2}) {
    connect(font, &QAction::triggered, this, [this, font] { ChooseFont(font->data().toInt() == 1 ? FTPView : lvLoc); });
  }
  connect(dlbx, &DirectoryListBox::directoryChosen, this, &MainWindow::localDirectoryChosen);
  connect(DriveComboBox1, &QComboBox::activated, this, [this](int index) {
    emit localDirectoryChosen(QFile::encodeName(DriveComboBox1->itemData(index).toString()).toStdString());
  });
  connect(MainMenu.Spawnnewsession1, &QAction::triggered, this, &MainWindow::StartSecondCopy);
  connect(MainMenu.Help1, &QAction::triggered, this, [this] { dialogs::ShowHelp(this); });
  connect(MainMenu.About2, &QAction::triggered, this, [this] { dialogs::ShowAbout(this); });
}

void MainWindow::ShowLocalDirectory(const std::filesystem::path& directory) {
  dlbx->SetDirectory(directory);
  // The places box names the home directory while the pane is inside it, else the root.
  const QString shown = QString::fromStdString(dlbx->Directory().string());
  const QString home = QDir::homePath();
  const bool inHome = shown == home || shown.startsWith(home + "/");
  DriveComboBox1->setCurrentIndex(inHome ? 1 : 0);
}

void MainWindow::SetRemoteBusy(bool busy) {
  for (QWidget* widget : {static_cast<QWidget*>(FTPView), static_cast<QWidget*>(FTPPath), remoteUpButton_, localUpButton_}) {
    if (busy) widget->setCursor(Qt::WaitCursor);
    else widget->unsetCursor();
  }
  FTPPath->setEnabled(!busy);
}

void MainWindow::SetScreenBusy(bool busy) {
  if (busy == screenBusy_) return;
  screenBusy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void MainWindow::ApplyWindowFont(const QFont& font, const QColor& color) {
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Text, color);
  setPalette(palette);
}

bool MainWindow::focusNextPrevChild(bool next) {
  // Tab (and Shift+Tab) goes between the two panes while one of them has the focus.
  QWidget* focused = QApplication::focusWidget();
  if (focused != nullptr && (FTPView->isAncestorOf(focused) || lvLoc->isAncestorOf(focused))) {
    PaneView* other = FTPView->isAncestorOf(focused) ? lvLoc : FTPView;
    other->ShownView()->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
  return QMainWindow::focusNextPrevChild(next);
}

void MainWindow::ChooseFont(PaneView* view) {
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, view->font(), this);
  if (chosen) view->setFont(font);
}

void MainWindow::ShowCommandBar(bool shown) {
  MainMenu.CustomCommand1->setChecked(shown);
  RemotePopup.CustomCommand2->setChecked(shown);
  CommandBar->setVisible(shown);
  if (shown) cbCmd->setFocus();
}

void MainWindow::StartSecondCopy() {
  QProcess::startDetached(QApplication::applicationFilePath(),
                          {"--config-dir", QString::fromStdString(configDirectory_.string())});
}

}  // namespace shell
