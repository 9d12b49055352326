#include "dialogs/OptionsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "dialogs/Controls.h"
#include "dialogs/Ftpinput.h"
#include "dialogs/QtText.h"
#include "settings/CommaText.h"

namespace dialogs {
namespace {

constexpr int kInputLength = 255;
constexpr int kProxyType = 1;
constexpr int kFirstSocksType = 2;
constexpr int kLastConnectionType = 4;
constexpr int kAsciiMode = 1;

struct PageInfo {
  const char* node;  // its text in the tree
  const char* tab;
  const char* title;
};
// In the order of the tree from the top; a node's position is its page's number.
const PageInfo kPages[] = {
    {"Соединение", "Соединение", "Соединение"},
    {"ASCII/Binary", "Ascii/Binary", "Соединение. Ascii/Binary"},
    {"Лог - протокол", "Log ", "Connection. Log"},
    {"Поддержка соединения", "Поддержка соединения", "Connection Поддержка соединения"},
    {"Proxy / Firewall / Socks", "Proxy", "Connection. Socks"},
    {"Интерфейс", "Интерфейс", "Диалоги программы"},
};
constexpr int kTopLevelPages[] = {0, 5};  // the others stand under page 0

// A page: its title in white on grey across the whole width, then `body`, which takes the
// page's free height when it holds a list.
QWidget* NewPage(int number, QLayout* body, bool bodyStretches = false) {
  auto* page = new QWidget;
  page->setObjectName(QString("TabSheetPage%1").arg(number));
  auto* title = new QLabel(QString::fromUtf8(kPages[number].title), page);
  title->setAutoFillBackground(true);
  QPalette palette = title->palette();
  palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  palette.setColor(QPalette::WindowText, Qt::white);
  title->setPalette(palette);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  title->setMargin(4);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(title);
  layout->addLayout(body, bodyStretches ? 1 : 0);
  if (!bodyStretches) layout->addStretch();
  return page;
}

QSpinBox* NewSpin(QWidget* parent, const char* name, int minimum, int maximum) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(minimum, maximum);
  spin->setMaximumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
  return spin;
}

QListWidget* NewList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  return list;
}

// Radio buttons in `box`, with ids 0, 1, ... in the order of `captions`, filling `columns`
// columns from the top.
QButtonGroup* NewRadioGroup(QWidget* box, const char* namePrefix, std::initializer_list<const char*> captions,
                            int columns = 1) {
  auto* group = new QButtonGroup(box);
  auto* layout = new QGridLayout(box);
  int id = 0;
  const int rows = (static_cast<int>(captions.size()) + columns - 1) / columns;
  for (const char* caption : captions) {
    auto* button = new QRadioButton(QString::fromUtf8(caption), box);
    button->setObjectName(QString("%1%2").arg(namePrefix).arg(id));
    group->addButton(button, id);
    layout->addWidget(button, id % rows, id / rows);
    ++id;
  }
  return group;
}

void Check(QButtonGroup* group, int id) { group->button(id)->setChecked(true); }

void FillList(QListWidget* list, const std::string& commaText) {
  for (const std::string& item : ParseCommaText(commaText)) list->addItem(ToQString(item));
}

std::string ListText(const QListWidget* list) {
  std::vector<std::string> items;
  for (int row = 0; row < list->count(); ++row) items.push_back(ToBytes(list->item(row)->text()));
  return FormatCommaText(items);
}

void DeleteSelected(QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  if (!selected.isEmpty()) delete list->takeItem(list->row(selected.front()));
}

void Mask(QLineEdit* edit, bool masked) { edit->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal); }

// A list with its buttons in a column on the right.
QHBoxLayout* ListWithButtons(QListWidget* list, std::initializer_list<QPushButton*> buttons) {
  auto* column = new QVBoxLayout;
  for (QPushButton* button : buttons) column->addWidget(button);
  column->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(list, 1);
  row->addLayout(column);
  return row;
}

}  // namespace

T_Options::T_Options(QWidget* parent, const ProgramOptions& options) : QDialog(parent), options_(options) {
  setWindowTitle(QStringLiteral("Program Options"));
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  pages_->setUsesScrollButtons(false);  // every tab stays readable
  pages_->addTab(BuildConnectionPage(), QString::fromUtf8(kPages[0].tab));
  pages_->addTab(BuildTransferPage(), QString::fromUtf8(kPages[1].tab));
  pages_->addTab(BuildLogPage(), QString::fromUtf8(kPages[2].tab));
  pages_->addTab(BuildKeepAlivePage(), QString::fromUtf8(kPages[3].tab));
  pages_->addTab(BuildProxyPage(), QString::fromUtf8(kPages[4].tab));
  pages_->addTab(BuildInterfacePage(), QString::fromUtf8(kPages[5].tab));
  BuildTree();

  QDialogButtonBox* buttons =
      NewOkCancel(this, QStringLiteral("&Сохранить"), "SpeedButton2", QStringLiteral("&Отмена"), "SpeedButton3");

  auto* body = new QHBoxLayout;
  body->addWidget(tree_);
  body->addWidget(pages_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(buttons);

  Fill();
  // The tree comes first from the keyboard: it picks the page that Tab then enters.
  setTabOrder(tree_, pages_);
  tree_->setCurrentItem(tree_->topLevelItem(0));
  tree_->setFocus();
}

QWidget* T_Options::BuildConnectionPage() {
  cbAno_ = NewCheck(this, "cbAno", QStringLiteral("E-mail адрес для анонимного соединения"));
  eAno_ = NewEdit(this, "eAno");
  timeOut_ = NewSpin(this, "eTimeOut", 10, 32767);
  retry_ = NewSpin(this, "eRetry", 0, 32767);
  passiveTransfer_ = NewCheck(this, "cbPassiveTransfer", QStringLiteral("Passive Transfers"));
  sync_ = NewCheck(this, "cbSync", QStringLiteral("Synchronous Command"));
  passiveTransfer_->hide();
  sync_->hide();
  connect(cbAno_, &QCheckBox::toggled, this, &T_Options::ApplyRules);

  auto* form = new QFormLayout;
  form->addRow(cbAno_);
  form->addRow(eAno_);
  form->addRow(QStringLiteral("Time Out"), timeOut_);
  form->addRow(QStringLiteral("Количество попыток повторного соединения"), retry_);
  return NewPage(0, form);
}

QWidget* T_Options::BuildTransferPage() {
  auto* modeBox = new QGroupBox(QStringLiteral("Тип передачи файлов"), this);
  modeBox->setObjectName("rgMode");
  mode_ = NewRadioGroup(modeBox, "rgMode", {"Auto-detect", "Ascii", "Binary"});
  connect(mode_, &QButtonGroup::idToggled, this, &T_Options::ApplyRules);

  extensions_ = NewList(this, "lbExt");
  QPushButton* add = NewButton(this, "SpeedButton6", QStringLiteral("Добавить"));
  QPushButton* change = NewButton(this, "SpeedButton8", QStringLiteral("Изменить"));
  QPushButton* remove = NewButton(this, "SpeedButton7", QStringLiteral("Удалить"));
  connect(add, &QPushButton::clicked, this, [this] { EditExtension(false); });
  connect(change, &QPushButton::clicked, this, [this] { EditExtension(true); });
  connect(remove, &QPushButton::clicked, this, [this] { DeleteSelected(extensions_); });

  auto* layout = new QVBoxLayout;
  layout->addWidget(modeBox);
  auto* label = new QLabel(QStringLiteral("Расширения файлов для Ascii - передачи"), this);
  label->setBuddy(extensions_);
  layout->addWidget(label);
  layout->addLayout(ListWithButtons(extensions_, {add, change, remove}), 1);
  return NewPage(1, layout, true);
}

QWidget* T_Options::BuildLogPage() {
  log_ = NewCheck(this, "cbLog", QStringLiteral("Включить ведение протокола всех команд"));
  logFile_ = NewEdit(this, "eLogFile");
  QPushButton* choose = NewButton(this, "SpeedButton11", QStringLiteral("Имя файла"));
  connect(log_, &QCheckBox::toggled, this, &T_Options::ApplyRules);
  connect(choose, &QPushButton::clicked, this, &T_Options::ChooseLogFile);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(logFile_, 1);
  fileRow->addWidget(choose);
  auto* layout = new QVBoxLayout;
  layout->addWidget(log_);
  layout->addLayout(fileRow);
  return NewPage(2, layout);
}

QWidget* T_Options::BuildKeepAlivePage() {
  keep_ = NewCheck(this, "cbKeep", QStringLiteral("Включить поддержку соединения"));
  keepStart_ = NewSpin(this, "eKeep", 1, 1000);
  keepInterval_ = NewSpin(this, "eduration", 1, 100);
  keepCommands_ = NewList(this, "lbKeep");
  QPushButton* add = NewButton(this, "SpeedButton4", QStringLiteral("Добавить"));
  QPushButton* remove = NewButton(this, "SpeedButton5", QStringLiteral("Удалить"));
  connect(keep_, &QCheckBox::toggled, this, &T_Options::ApplyRules);
  connect(add, &QPushButton::clicked, this, &T_Options::AddKeepCommand);
  connect(remove, &QPushButton::clicked, this, [this] { DeleteSelected(keepCommands_); });

  auto* form = new QFormLayout;
  form->addRow(keep_);
  form->addRow(QStringLiteral("Начинать поддержку через (секунд)"), keepStart_);
  form->addRow(QStringLiteral("Интервал между командами"), keepInterval_);
  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  auto* label = new QLabel(QStringLiteral("Команды"), this);
  label->setBuddy(keepCommands_);
  layout->addWidget(label);
  layout->addLayout(ListWithButtons(keepCommands_, {add, remove}), 1);
  return NewPage(3, layout, true);
}

QWidget* T_Options::BuildProxyPage() {
  auto* typeBox = new QGroupBox(QStringLiteral("Тип соединения"), this);
  typeBox->setObjectName("rgType");
  connectionType_ = NewRadioGroup(typeBox, "rgType", {"Direct", "Proxy", "Socks 4", "Socks 4A", "Socks 5"});
  connect(connectionType_, &QButtonGroup::idToggled, this, &T_Options::ApplyConnectionType);

  auto* panels = new QVBoxLayout;
  panels->addWidget(BuildProxyPanel());
  panels->addWidget(BuildSocksPanel());
  auto* top = new QHBoxLayout;
  top->addWidget(typeBox, 0, Qt::AlignTop);
  top->addLayout(panels, 1);
  auto* layout = new QVBoxLayout;
  layout->addLayout(top);
  layout->addWidget(BuildFirewallGroup());
  return NewPage(4, layout);
}

QWidget* T_Options::BuildProxyPanel() {
  proxyPanel_ = new QGroupBox(QStringLiteral("Proxy"), this);
  proxyPanel_->setObjectName("pnlProxy");
  proxyServer_ = NewEdit(proxyPanel_, "eProxy");
  proxyPort_ = NewEdit(proxyPanel_, "eProxyPort");
  proxyPassword_ = NewEdit(proxyPanel_, "eProxyPsw");
  proxyMask_ = NewCheck(proxyPanel_, "cbProxyPswMask", QStringLiteral("Masked Password"));
  connect(proxyMask_, &QCheckBox::toggled, this, [this](bool on) { Mask(proxyPassword_, on); });
  auto* form = new QFormLayout(proxyPanel_);
  form->addRow(QStringLiteral("Server"), proxyServer_);
  form->addRow(QStringLiteral("Port"), proxyPort_);
  form->addRow(QStringLiteral("Password"), proxyPassword_);
  form->addRow(proxyMask_);
  return proxyPanel_;
}

QWidget* T_Options::BuildSocksPanel() {
  socksPanel_ = new QGroupBox(QStringLiteral("Socks"), this);
  socksPanel_->setObjectName("pnlSocks");
  socksServer_ = NewEdit(socksPanel_, "eSocks");
  socksPort_ = NewEdit(socksPanel_, "eSocksPort");
  socksUserCode_ = NewEdit(socksPanel_, "eSocksUC");
  socksPassword_ = NewEdit(socksPanel_, "eSocksPsw");
  socksMask_ = NewCheck(socksPanel_, "cbSocksPswMask", QStringLiteral("Masked Password"));
  connect(socksMask_, &QCheckBox::toggled, this, [this](bool on) { Mask(socksPassword_, on); });
  auto* form = new QFormLayout(socksPanel_);
  form->addRow(QStringLiteral("Server"), socksServer_);
  form->addRow(QStringLiteral("Port"), socksPort_);
  form->addRow(QStringLiteral("User Code"), socksUserCode_);
  form->addRow(QStringLiteral("Password"), socksPassword_);
  form->addRow(socksMask_);
  return socksPanel_;
}

QWidget* T_Options::BuildFirewallGroup() {
  auto* box = new QWidget(this);
  firewall_ = NewCheck(box, "cbFW", QStringLiteral("Enable FireWall"));
  firewall_->setEnabled(false);
  firewallGroup_ = new QGroupBox(QStringLiteral("Type"), box);
  firewallGroup_->setObjectName("gbFW");
  auto* types = new QWidget(firewallGroup_);
  firewallType_ = NewRadioGroup(types, "rbFW",
                                {"General", "SITE site", "USER user", "USER with logon", "USER/PASS/ACCT",
                                 "OPEN site", "Custom"},
                                3);
  types->layout()->setContentsMargins(0, 0, 0, 0);
  firewallSymbol_ = NewEdit(firewallGroup_, "eFWSimbol");
  firewallSymbol_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")));
  QPushButton* settings = NewButton(firewallGroup_, "FirewallSettingsButton", QStringLiteral("Settings..."));
  settings->setEnabled(false);
  connect(firewall_, &QCheckBox::toggled, firewallGroup_, &QWidget::setEnabled);

  auto* symbolRow = new QHBoxLayout;
  symbolRow->addWidget(firewallSymbol_);
  symbolRow->addWidget(new QLabel(QStringLiteral("site"), firewallGroup_));
  symbolRow->addStretch();
  symbolRow->addWidget(settings);
  auto* groupLayout = new QVBoxLayout(firewallGroup_);
  groupLayout->addWidget(types);
  groupLayout->addLayout(symbolRow);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(firewall_);
  layout->addWidget(firewallGroup_);
  return box;
}

QWidget* T_Options::BuildInterfacePage() {
  font_ = NewButton(this, "sbFont", QStringLiteral("Шрифт"));
  QPushButton* chooseDirectory = NewButton(this, "SpeedButton10", QStringLiteral("Начальная директория"));
  startDirectory_ = NewEdit(this, "ePath");
  connect(font_, &QPushButton::clicked, this, &T_Options::ChooseFont);
  connect(chooseDirectory, &QPushButton::clicked, this, &T_Options::ChooseStartDirectory);

  auto* prompts = new QGroupBox(QStringLiteral("Диалоги подтверждения и действия по умолчанию"), this);
  prompts->setObjectName("gbPrompt");
  promptDownload_ = NewCheck(prompts, "cbDownLoad",
                             QStringLiteral("Подтверждения перезаписи при загрузке с сервера (download)"));
  promptUpload_ = NewCheck(prompts, "cbUpload", QStringLiteral("Подтверждение перезаписи пр загрузке на сервер (upload)"));
  auto* actions = new QGroupBox(QStringLiteral("Действие по умолчанию"), prompts);
  promptAction_ = NewRadioGroup(actions, "rbPrompt", {"Пропустить", "Переписать", "Докачать"}, 3);
  auto* promptLayout = new QVBoxLayout(prompts);
  promptLayout->addWidget(promptDownload_);
  promptLayout->addWidget(promptUpload_);
  promptLayout->addWidget(actions);

  auto* grid = new QGridLayout;
  grid->addWidget(font_, 0, 0);
  grid->addWidget(chooseDirectory, 1, 0);
  grid->addWidget(startDirectory_, 1, 1);
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout;
  layout->addLayout(grid);
  layout->addWidget(prompts);
  return NewPage(5, layout);
}

void T_Options::BuildTree() {
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("TreeView1");
  tree_->setHeaderHidden(true);
  QTreeWidgetItem* parent = nullptr;
  int widest = 0;
  for (int page = 0; page < pages_->count(); ++page) {
    const QStringList text(QString::fromUtf8(kPages[page].node));
    const bool topLevel = std::find(std::begin(kTopLevelPages), std::end(kTopLevelPages), page) != std::end(kTopLevelPages);
    auto* item = topLevel ? new QTreeWidgetItem(tree_, text) : new QTreeWidgetItem(parent, text);
    if (topLevel) parent = item;
    widest = std::max(widest, fontMetrics().horizontalAdvance(text.front()) + (topLevel ? 1 : 2) * tree_->indentation());
  }
  tree_->expandAll();
  tree_->setFixedWidth(widest + 2 * tree_->frameWidth() + fontMetrics().averageCharWidth() * 3);

  // A node's position counts every node above it, collapsed or not.
  const auto position = [this](const QTreeWidgetItem* target) {
    int index = 0;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it, ++index)
      if (*it == target) return index;
    return -1;
  };
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this, position](QTreeWidgetItem* item) {
    if (const int page = position(item); page >= 0) pages_->setCurrentIndex(page);
  });
  connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
    QTreeWidgetItemIterator it(tree_);
    for (int index = 0; *it && index < page; ++index) ++it;
    const QSignalBlocker quiet(tree_);
    tree_->setCurrentItem(*it);
  });
}

void T_Options::Fill() {
  Check(connectionType_, options_.ConnectionType <= kLastConnectionType ? options_.ConnectionType : 0);
  Check(mode_, options_.TransferMode >= 0 && options_.TransferMode <= 2 ? options_.TransferMode : 0);
  proxyServer_->setText(ToQString(options_.ProxyServer));
  proxyPort_->setText(ToQString(options_.ProxyPort));
  proxyPassword_->setText(ToQString(options_.ProxyPassword));
  proxyMask_->setChecked(options_.ProxyPasswordMasked);
  Mask(proxyPassword_, options_.ProxyPasswordMasked);
  socksServer_->setText(ToQString(options_.SocksServer));
  socksPort_->setText(ToQString(options_.SocksPort));
  socksUserCode_->setText(ToQString(options_.SocksUserCode));
  socksPassword_->setText(ToQString(options_.SocksPassword));
  socksMask_->setChecked(options_.SocksPasswordMasked);
  Mask(socksPassword_, options_.SocksPasswordMasked);
  passiveTransfer_->setChecked(options_.PassiveTransfer);
  sync_->setChecked(options_.SyncCommands);
  log_->setChecked(options_.LogEnabled);
  logFile_->setText(ToQString(options_.LogFile));
  timeOut_->setValue(options_.TimeOut);
  retry_->setValue(options_.RetryCount);
  keep_->setChecked(options_.KeepAlive);
  keepStart_->setValue(options_.KeepStart);
  keepInterval_->setValue(options_.KeepInterval);
  FillList(keepCommands_, options_.KeepCommands);
  cbAno_->setChecked(options_.AnonymousMailEnabled);
  eAno_->setText(ToQString(options_.AnonymousMail));
  FillList(extensions_, options_.AsciiExtensions);
  Check(firewallType_, options_.FirewallType >= 1 && options_.FirewallType <= 6 ? options_.FirewallType : 0);
  firewallSymbol_->setText(ToQString(options_.FirewallSymbol));
  firewall_->setChecked(false);
  firewallGroup_->setEnabled(false);
  startDirectory_->setText(ToQString(options_.StartDirectory));
  fontName_ = options_.FontName;
  fontSize_ = options_.FontSize;
  fontColor_ = options_.FontColor;
  ShowFont();
  promptDownload_->setChecked(options_.PromptDownload);
  promptUpload_->setChecked(options_.PromptUpload);
  Check(promptAction_, options_.DefaultPromptAction == 1 || options_.DefaultPromptAction == 2
                           ? options_.DefaultPromptAction
                           : 0);
  ApplyConnectionType();
  ApplyRules();
}

void T_Options::ApplyConnectionType() {
  const int type = connectionType_->checkedId();
  proxyPanel_->setEnabled(type == kProxyType);
  socksPanel_->setEnabled(type >= kFirstSocksType);
  for (QLineEdit* edit : {proxyServer_, proxyPort_, proxyPassword_}) MarkInUse(edit, type == kProxyType);
  for (QLineEdit* edit : {socksServer_, socksPort_, socksUserCode_, socksPassword_})
    MarkInUse(edit, type >= kFirstSocksType);
}

void T_Options::ApplyRules() {
  eAno_->setEnabled(cbAno_->isChecked());
  MarkInUse(eAno_, cbAno_->isChecked());
  MarkInUse(logFile_, log_->isChecked());
  MarkInUse(extensions_, mode_->checkedId() == kAsciiMode);
  for (QWidget* control : std::initializer_list<QWidget*>{keepCommands_, keepStart_, keepInterval_})
    MarkInUse(control, keep_->isChecked());
}

void T_Options::ShowFont() {
  QFont font(ToQString(fontName_));
  if (fontSize_ > 0) font.setPointSize(fontSize_);
  font_->setFont(font);
  QPalette palette = font_->palette();
  palette.setColor(QPalette::ButtonText, FromColorRef(fontColor_));
  font_->setPalette(palette);
}

void T_Options::EditExtension(bool change) {
  QListWidgetItem* selected = extensions_->selectedItems().isEmpty() ? nullptr : extensions_->selectedItems().front();
  const bool changing = change && selected;
  std::string value = changing ? ToBytes(selected->text()) : std::string();
  if (!InputDialog(this, changing ? "Edit extention" : "Add extention", "Enter", value, false, kInputLength)) return;
  if (changing) {
    selected->setText(ToQString(value));
  } else {
    extensions_->addItem(ToQString(value));
  }
}

void T_Options::AddKeepCommand() {
  std::string command;
  if (InputDialog(this, "Add Command", "Enter command", command, false, kInputLength))
    keepCommands_->addItem(ToQString(command));
}

void T_Options::ChooseLogFile() {
  QFileDialog picker(this, QString(), logFile_->text());
  picker.setFileMode(QFileDialog::AnyFile);
  picker.setAcceptMode(QFileDialog::AcceptOpen);
  picker.setNameFilters({QStringLiteral("Log Files (*.log)"), QStringLiteral("Text Files (*.txt)"),
                         QStringLiteral("All Files (*)")});
  if (picker.exec() == QDialog::Accepted && !picker.selectedFiles().isEmpty())
    logFile_->setText(picker.selectedFiles().front());
}

void T_Options::ChooseFont() {
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, font_->font(), this);
  if (!chosen) return;
  fontName_ = ToBytes(font.family());
  fontSize_ = font.pointSize() > 0 ? font.pointSize() : static_cast<std::int32_t>(font.pointSizeF() + 0.5);
  ShowFont();
}

void T_Options::ChooseStartDirectory() {
  const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Choice Directory"), QStringLiteral("/"));
  if (!chosen.isEmpty()) startDirectory_->setText(chosen);
}

ProgramOptions T_Options::ReadBack() const {
  ProgramOptions options = options_;
  options.ConnectionType = static_cast<std::uint8_t>(connectionType_->checkedId());
  options.TransferMode = mode_->checkedId();
  options.ProxyServer = ToBytes(proxyServer_->text());
  options.ProxyPort = ToBytes(proxyPort_->text());
  options.ProxyPassword = ToBytes(proxyPassword_->text());
  options.ProxyPasswordMasked = proxyMask_->isChecked();
  options.SocksServer = ToBytes(socksServer_->text());
  options.SocksPort = ToBytes(socksPort_->text());
  options.SocksPassword = ToBytes(socksPassword_->text());
  options.SocksUserCode = ToBytes(socksUserCode_->text());
  options.SocksPasswordMasked = socksMask_->isChecked();
  options.PassiveTransfer = passiveTransfer_->isChecked();
  options.SyncCommands = sync_->isChecked();
  options.LogEnabled = log_->isChecked();
  options.LogFile = ToBytes(logFile_->text());
  options.TimeOut = timeOut_->value();
  options.RetryCount = retry_->value();
  options.AsciiExtensions = ListText(extensions_);
  options.KeepAlive = keep_->isChecked() && keepCommands_->count() > 0;
  options.KeepStart = keepStart_->value();
  options.KeepInterval = keepInterval_->value();
  options.KeepCommands = ListText(keepCommands_);
  options.AnonymousMailEnabled = cbAno_->isChecked();
  options.AnonymousMail = ToBytes(eAno_->text());
  options.FirewallSymbol = ToBytes(firewallSymbol_->text());
  options.FirewallType = firewallType_->checkedId();
  options.FirewallEnabled = firewall_->isChecked();
  options.StartDirectory = ToBytes(startDirectory_->text());
  options.FontName = fontName_;
  options.FontSize = fontSize_;
  options.FontColor = fontColor_;
  options.PromptDownload = promptDownload_->isChecked();
  options.PromptUpload = promptUpload_->isChecked();
  options.DefaultPromptAction = promptAction_->checkedId();
  return options;
}

bool ShowOptionsDialog(QWidget* parent, ProgramOptions& options, const std::string& programDirectory) {
  if (options.TransferMode < 0 || options.TransferMode > 2) options.TransferMode = 0;
  T_Options dialog(parent, options);
  if (dialog.exec() != QDialog::Accepted) return false;
  options = dialog.ReadBack();
  try {
    SaveOptions(options, programDirectory);
  } catch (const OptionsWriteException& error) {
    QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(), QString::fromUtf8(error.what()));
  }
  return true;
}

}  // namespace dialogs
