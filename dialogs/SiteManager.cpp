#include "dialogs/SiteManager.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/Controls.h"
#include "dialogs/DigitField.h"
#include "dialogs/Ftpinput.h"
#include "dialogs/QtText.h"
#include "platform/StringUtils.h"
#include "platform/TextCodec.h"

namespace dialogs {
namespace {

constexpr int kStandardFormat = 0;
constexpr int kCustomFormat = 2;
// Not a digit of the Answer code: the site's listings are read automatically.
constexpr int kAutomaticFormat = 4;
constexpr int kHostTypeNameLength = 255;

struct NamedControl {
  const char* name;
  const char* caption;
};
// In the order of their digits, then the automatic choice.
const NamedControl kFormats[] = {
    {"rbDefault", "Стандартный"},
    {"rbText", "Текстовый формат"},
    {"rbCustom", "Настройка"},
    {"rbMFTP", "Microsoft FTP-v.4.0."},
    {"rbAuto", "Автоматически (MLSD, Unix или MS-DOS)"},
};

// In the order of the code's characters 2 to 7.
const NamedControl kColumns[] = {
    {"eFName", "Name"}, {"eFSize", "Size"},  {"eFDate", "Month"},
    {"eFDate2", "Day"}, {"eFTime", "Time"}, {"eFAttr", "Attribute"},
};

std::string Text(const QLineEdit* edit) { return platform::Trim(ToBytes(edit->text())); }

// The memo's lines joined with "`"; a line break at the very end starts no further line.
struct EncryptionCaption {
  SiteEncryption encryption;
  const char* caption;
};

constexpr EncryptionCaption kEncryptionCaptions[] = {
    {SiteEncryption::None, "Нет (обычный FTP)"},
    {SiteEncryption::ExplicitIfOffered, "Явный TLS, если сервер поддерживает"},
    {SiteEncryption::ExplicitRequired, "Только явный TLS"},
    {SiteEncryption::Implicit, "Неявный TLS (порт 990)"},
};

constexpr const char* kPlainPort = "21";
constexpr const char* kImplicitTlsPort = "990";

std::string JoinLines(const QString& text) {
  QStringList lines = text.split('\n');
  if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
  return ToBytes(lines.join('`'));
}

}  // namespace

TFFtpBase::TFFtpBase(QWidget* parent, const SiteRecord& site, const std::string& programDirectory)
    : QDialog(parent),
      site_(site),
      programDirectory_(programDirectory) {
  setWindowTitle(QStringLiteral("Свойства выбранного соединения"));
  BuildControls();
  Fill();
}

void TFFtpBase::BuildControls() {
  auto* top = new QHBoxLayout;
  top->addWidget(BuildServerGroup(), 1);
  top->addWidget(BuildLoginGroup(), 1);

  QDialogButtonBox* buttons = NewOkCancel(this, QStringLiteral("Сохранить"), "SaveButton", QStringLiteral("Отмена"),
                                         "CancelButton", [this] { TrySave(); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(BuildDirectoryGroup());
  layout->addWidget(BuildFormatGroup());
  layout->addWidget(buttons);
}

QWidget* TFFtpBase::BuildServerGroup() {
  auto* group = new QGroupBox(QStringLiteral("Сервер"), this);
  name_ = NewEdit(group, "NameEdt", static_cast<int>(SiteWidth::Name));
  server_ = NewEdit(group, "ServerEdt");
  port_ = NewEdit(group, "PortEdt");
  server_->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
  port_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
  desc_ = new QPlainTextEdit(group);
  desc_->setObjectName("mDesc");
  desc_->setTabChangesFocus(true);

  auto* serverRow = new QHBoxLayout;
  serverRow->addWidget(server_, 1);
  auto* portLabel = new QLabel(QStringLiteral("Порт"), group);
  portLabel->setBuddy(port_);
  serverRow->addWidget(portLabel);
  serverRow->addWidget(port_);

  charset_ = new QComboBox(group);
  charset_->setObjectName("cbCharset");
  for (const platform::CharacterSetName& set : platform::CharacterSetNames())
    charset_->addItem(QString::fromUtf8(set.caption.data(), static_cast<qsizetype>(set.caption.size())),
                      static_cast<int>(set.set));

  encryption_ = new QComboBox(group);
  encryption_->setObjectName("cbEncryption");
  for (const EncryptionCaption& choice : kEncryptionCaptions)
    encryption_->addItem(QString::fromUtf8(choice.caption), static_cast<int>(choice.encryption));
  connect(encryption_, &QComboBox::currentIndexChanged, this, &TFFtpBase::OnEncryptionChosen);

  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Название"), name_);
  form->addRow(QStringLiteral("FTP Сервер"), serverRow);
  form->addRow(QStringLiteral("Кодировка имён"), charset_);
  form->addRow(QStringLiteral("Шифрование"), encryption_);
  auto* descLabel = new QLabel(QStringLiteral("Комментарий"), group);
  descLabel->setBuddy(desc_);
  form->addRow(descLabel);
  form->addRow(desc_);
  return group;
}

QWidget* TFFtpBase::BuildLoginGroup() {
  auto* group = new QGroupBox(QStringLiteral("Вход на сервер"), this);
  anonymous_ = NewCheck(group, "AnonymousCB", QStringLiteral("Анонимное соединение"));
  user_ = NewEdit(group, "UserEdt", static_cast<int>(SiteWidth::User));
  password_ = NewEdit(group, "PasswordEdt", static_cast<int>(SiteWidth::Password));
  account_ = NewEdit(group, "AccountEdt", static_cast<int>(SiteWidth::Account));
  email_ = NewEdit(group, "EMailEdt", static_cast<int>(SiteWidth::EMail));
  savePassword_ = NewCheck(group, "SavePasswordCB", QStringLiteral("Сохранить пароль"));
  maskPassword_ = NewCheck(group, "cbMPsw", QStringLiteral("Не показывать пароль"));
  passive_ = NewCheck(group, "cbPv", QStringLiteral("Passive Mode (пассивная передача)"));

  auto* form = new QFormLayout(group);
  form->addRow(anonymous_);
  form->addRow(QStringLiteral("User ID"), user_);
  form->addRow(QStringLiteral("Пароль"), password_);
  form->addRow(QStringLiteral("Account"), account_);
  form->addRow(QStringLiteral("E-Mail"), email_);
  form->addRow(savePassword_);
  form->addRow(maskPassword_);
  form->addRow(passive_);

  connect(anonymous_, &QCheckBox::toggled, this, &TFFtpBase::ApplyAnonymousRule);
  connect(maskPassword_, &QCheckBox::toggled, this, &TFFtpBase::ApplyPasswordMask);
  return group;
}

QWidget* TFFtpBase::BuildDirectoryGroup() {
  auto* group = new QGroupBox(QStringLiteral("Директории"), this);
  localDir_ = NewEdit(group, "LocalDir", static_cast<int>(SiteWidth::LocalDir));
  remoteDir_ = NewEdit(group, "RemoteDirEdt", static_cast<int>(SiteWidth::InitialDir));
  QPushButton* choose = NewButton(group, "ChooseLocalDirButton", QStringLiteral("Выбрать"));
  connect(choose, &QPushButton::clicked, this, &TFFtpBase::ChooseLocalDir);

  auto* localRow = new QHBoxLayout;
  localRow->addWidget(localDir_, 1);
  localRow->addWidget(choose);
  auto* form = new QFormLayout(group);
  form->setRowWrapPolicy(QFormLayout::WrapAllRows);
  form->addRow(QStringLiteral("Начальная директория на локальной машине"), localRow);
  form->addRow(QStringLiteral("Начальная директория на сервере"), remoteDir_);
  return group;
}

QWidget* TFFtpBase::BuildFormatGroup() {
  auto* group = new QGroupBox(QStringLiteral("Тип ответа"), this);
  formats_ = new QButtonGroup(group);
  auto* choices = new QVBoxLayout;
  for (int id = 0; id <= kAutomaticFormat; ++id) {
    auto* button = new QRadioButton(QString::fromUtf8(kFormats[id].caption), group);
    button->setObjectName(kFormats[id].name);
    formats_->addButton(button, id);
    choices->insertWidget(id == kAutomaticFormat ? 0 : id, button);
  }
  choices->addStretch();
  connect(formats_, &QButtonGroup::idClicked, this, &TFFtpBase::SetFormat);

  customPanel_ = new QWidget(group);
  hostTypes_ = new QComboBox(customPanel_);
  hostTypes_->setObjectName("cbName");
  hostTypes_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  hostTypes_->setMinimumContentsLength(20);
  connect(hostTypes_, &QComboBox::currentIndexChanged, this, &TFFtpBase::OnHostTypeChanged);
  QPushButton* add = NewButton(customPanel_, "AddHostTypeButton", QStringLiteral("Add"));
  QPushButton* edit = NewButton(customPanel_, "EditHostTypeButton", QStringLiteral("edit"));
  QPushButton* remove = NewButton(customPanel_, "DeleteHostTypeButton", QStringLiteral("delete"));
  connect(add, &QPushButton::clicked, this, &TFFtpBase::AddHostType);
  connect(edit, &QPushButton::clicked, this, &TFFtpBase::EditHostType);
  connect(remove, &QPushButton::clicked, this, &TFFtpBase::DeleteHostType);

  auto* hostRow = new QHBoxLayout;
  auto* hostLabel = new QLabel(QStringLiteral("Тип сервера"), customPanel_);
  hostLabel->setBuddy(hostTypes_);
  hostRow->addWidget(hostLabel);
  hostRow->addWidget(hostTypes_, 1);
  hostRow->addWidget(add);
  hostRow->addWidget(edit);
  hostRow->addWidget(remove);

  auto* columnGrid = new QGridLayout;
  const int digitWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000"));
  for (int i = 0; i < 6; ++i) {
    QLineEdit*& field = columns_[static_cast<std::size_t>(i)];
    field = NewEdit(customPanel_, kColumns[i].name, 1);
    field->setFixedWidth(digitWidth);
    field->setAlignment(Qt::AlignCenter);
    DigitField::Attach(field, QStringLiteral("0123456789"));
    auto* label = new QLabel(QString::fromUtf8(kColumns[i].caption), customPanel_);
    label->setBuddy(field);
    columnGrid->addWidget(label, 0, i, Qt::AlignHCenter);
    columnGrid->addWidget(field, 1, i, Qt::AlignHCenter);
  }
  auto* columnsLabel = new QLabel(QStringLiteral("Номера колонок листинга"), customPanel_);
  auto* panelLayout = new QVBoxLayout(customPanel_);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->addLayout(hostRow);
  panelLayout->addWidget(columnsLabel);
  panelLayout->addLayout(columnGrid);
  panelLayout->addStretch();
  // The dialog keeps its size when the panel is hidden for the other formats.
  QSizePolicy keep = customPanel_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  customPanel_->setSizePolicy(keep);

  auto* layout = new QHBoxLayout(group);
  layout->addLayout(choices);
  layout->addSpacing(fontMetrics().averageCharWidth() * 2);
  layout->addWidget(customPanel_, 1);
  return group;
}

void TFFtpBase::Fill() {
  name_->setText(ToQString(site_.Name));
  server_->setText(ToQString(site_.Server));
  port_->setText(ToQString(site_.Port));
  anonymous_->setChecked(site_.Anonymous);
  ApplyAnonymousRule();
  user_->setText(ToQString(site_.User));
  password_->setText(ToQString(site_.Password));
  account_->setText(ToQString(site_.Account));
  remoteDir_->setText(ToQString(site_.InitialDir));
  localDir_->setText(ToQString(site_.LocalDir));
  email_->setText(ToQString(site_.EMail));
  savePassword_->setChecked(site_.SavePassword);
  passive_->setChecked(site_.Pasv);
  maskPassword_->setChecked(site_.CheckPSW);
  ApplyPasswordMask();
  charset_->setCurrentIndex(charset_->findData(static_cast<int>(site_.Charset)));
  {
    const QSignalBlocker quiet(encryption_);  // the stored port stays as it is
    encryption_->setCurrentIndex(encryption_->findData(static_cast<int>(site_.Encryption)));
  }
  implicitShown_ = site_.Encryption == SiteEncryption::Implicit;
  LoadHostTypesAndFormat();
  desc_->setPlainText(ToQString(site_.Desc).replace('`', '\n'));
}

void TFFtpBase::LoadHostTypesAndFormat() {
  {
    const QSignalBlocker quiet(hostTypes_);
    hostTypes_->clear();
    hostTypeCodes_.clear();
    for (const HostType& hostType : LoadHostTypes(programDirectory_)) {
      hostTypes_->addItem(ToQString(hostType.Name));
      hostTypeCodes_.push_back(hostType.Code);
    }
    hostTypes_->setCurrentIndex(-1);
  }
  if (ToQString(site_.Answer).size() != 7) {
    site_.Answer = kDefaultAnswerCode;
    site_.AnswerName = kDefaultAnswerName;
  }
  const char digit = site_.Answer[0];
  const int answerFormat = digit >= '1' && digit <= '3' ? digit - '0' : kStandardFormat;
  SetFormat(site_.AutoListing ? kAutomaticFormat : answerFormat);
  formats_->button(format_)->setChecked(true);

  shownHostType_ = -1;
  if (format_ == kCustomFormat) {
    const int found = hostTypes_->findText(ToQString(site_.AnswerName), Qt::MatchExactly | Qt::MatchCaseSensitive);
    shownHostType_ = found >= 0 ? found : 0;
    site_.Answer = found >= 0 ? std::string(platform::CutToChars(hostTypeCodes_[static_cast<std::size_t>(found)], 7))
                              : std::string(kDefaultAnswerCode);
    const QSignalBlocker quiet(hostTypes_);
    hostTypes_->setCurrentIndex(shownHostType_);
  }
  ShowColumns(site_.Answer);
  for (QLineEdit* field : columns_) field->setEnabled(shownHostType_ > 0);
}

void TFFtpBase::ShowColumns(const std::string& code) {
  const QString text = ToQString(code);
  for (int i = 0; i < 6; ++i) columns_[static_cast<std::size_t>(i)]->setText(text.mid(i + 1, 1));
}

void TFFtpBase::SetFormat(int digit) {
  format_ = digit;
  customPanel_->setVisible(digit == kCustomFormat);
}

void TFFtpBase::ApplyAnonymousRule() {
  const bool anonymous = anonymous_->isChecked();
  email_->setEnabled(anonymous);
  user_->setEnabled(!anonymous);
  password_->setEnabled(!anonymous);
  account_->setEnabled(!anonymous);
}

void TFFtpBase::ApplyPasswordMask() {
  password_->setEchoMode(maskPassword_->isChecked() ? QLineEdit::Password : QLineEdit::Normal);
}

std::string TFFtpBase::BuildAnswerCode() const {
  // An automatic site keeps the standard format's digit, which older copies read it in.
  std::string code(1, static_cast<char>('0' + (format_ == kAutomaticFormat ? kStandardFormat : format_)));
  for (const QLineEdit* field : columns_) code += field->text().isEmpty() ? std::string("0") : ToBytes(field->text());
  return code;
}

std::vector<HostType> TFFtpBase::HostTypes() const {
  std::vector<HostType> hostTypes;
  for (int i = 0; i < hostTypes_->count(); ++i)
    hostTypes.push_back({ToBytes(hostTypes_->itemText(i)), hostTypeCodes_[static_cast<std::size_t>(i)]});
  return hostTypes;
}

platform::WriteResult TFFtpBase::SaveHostTypes() const { return ::SaveHostTypes(HostTypes(), programDirectory_); }

void TFFtpBase::StoreShownCode() {
  if (shownHostType_ >= 0 && static_cast<std::size_t>(shownHostType_) < hostTypeCodes_.size())
    hostTypeCodes_[static_cast<std::size_t>(shownHostType_)] = BuildAnswerCode();
}

void TFFtpBase::OnHostTypeChanged(int index) {
  StoreShownCode();
  shownHostType_ = index;
  if (index >= 0) ShowColumns(hostTypeCodes_[static_cast<std::size_t>(index)]);
  for (QLineEdit* field : columns_) field->setEnabled(index > 0);
}

void TFFtpBase::SelectHostType(int index) {
  {
    const QSignalBlocker quiet(hostTypes_);
    hostTypes_->setCurrentIndex(index);
  }
  OnHostTypeChanged(index);
}

void TFFtpBase::AddHostType() {
  StoreShownCode();
  std::string name;
  if (!InputDialog(this, "New Host Type", "Enter", name, false, kHostTypeNameLength)) return;
  hostTypes_->addItem(ToQString(name));
  hostTypeCodes_.push_back(kDefaultAnswerCode);
  SelectHostType(hostTypes_->count() - 1);
}

void TFFtpBase::EditHostType() {
  const int index = hostTypes_->currentIndex();
  if (index <= 0) {
    AddHostType();
    return;
  }
  std::string name = ToBytes(hostTypes_->itemText(index));
  if (InputDialog(this, "Edit Host Type", "Enter", name, false, kHostTypeNameLength))
    hostTypes_->setItemText(index, ToQString(name));
}

void TFFtpBase::DeleteHostType() {
  const int index = hostTypes_->currentIndex();
  if (index <= 0) return;
  {
    const QSignalBlocker quiet(hostTypes_);
    hostTypes_->removeItem(index);
  }
  hostTypeCodes_.erase(hostTypeCodes_.begin() + index);
  shownHostType_ = -1;
  SelectHostType(0);
}

void TFFtpBase::ChooseLocalDir() {
  const QString current = localDir_->text().trimmed();
  const QString start = !current.isEmpty() && QDir(current).exists() ? current : ToQString(programDirectory_);
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Начальная директория на локальной машине"), start);
  if (!chosen.isEmpty()) localDir_->setText(chosen);
}

QString TFFtpBase::FieldThatCannotBeStored() const {
  const std::pair<QString, QString> fields[] = {
      {QStringLiteral("Название"), name_->text()},
      {QStringLiteral("FTP Сервер"), server_->text()},
      {QStringLiteral("Порт"), port_->text()},
      {QStringLiteral("User ID"), user_->text()},
      {QStringLiteral("Пароль"), password_->text()},
      {QStringLiteral("Account"), account_->text()},
      {QStringLiteral("E-Mail"), email_->text()},
      {QStringLiteral("Начальная директория на локальной машине"), localDir_->text()},
      {QStringLiteral("Начальная директория на сервере"), remoteDir_->text()},
      {QStringLiteral("Тип сервера"), hostTypes_->currentText()},
  };
  for (const auto& [caption, text] : fields)
    if (text.contains(';') || text.trimmed().contains('\n') || text.trimmed().contains('\r')) return caption;
  // The comment's lines are joined, so only ";" stands in its way.
  if (desc_->toPlainText().contains(';')) return QStringLiteral("Комментарий");
  return {};
}

void TFFtpBase::TrySave() {
  if (Text(name_).empty() || Text(server_).empty()) {
    QMessageBox::critical(this, QStringLiteral("Attention"), QStringLiteral("Server Name must be defined"));
    return;
  }
  if (const QString field = FieldThatCannotBeStored(); !field.isEmpty()) {
    QMessageBox::critical(this, QStringLiteral("Attention"),
                          QStringLiteral("Поле «%1» не может содержать знак «;» или перевод строки: "
                                         "они разделяют поля и строки в списке серверов.")
                              .arg(field));
    return;
  }
  accept();
}

SiteRecord TFFtpBase::EditedSite() const {
  SiteRecord site = site_;
  site.Name = Text(name_);
  site.Server = Text(server_);
  site.Port = Text(port_);
  site.User = Text(user_);
  site.Password = Text(password_);
  site.Account = Text(account_);
  site.EMail = Text(email_);
  site.LocalDir = Text(localDir_);
  site.InitialDir = Text(remoteDir_);
  if (!site.InitialDir.empty() && site.InitialDir[0] != '/') site.InitialDir.insert(0, "/");
  site.Anonymous = anonymous_->isChecked();
  site.SavePassword = savePassword_->isChecked();
  site.Pasv = passive_->isChecked();
  site.CheckPSW = maskPassword_->isChecked();
  site.Desc = JoinLines(desc_->toPlainText());
  site.Answer = BuildAnswerCode();
  site.AutoListing = format_ == kAutomaticFormat;
  site.Charset = static_cast<platform::CharacterSet>(charset_->currentData().toInt());
  site.Encryption = static_cast<SiteEncryption>(encryption_->currentData().toInt());
  site.AnswerName = hostTypes_->currentIndex() >= 0 ? ToBytes(hostTypes_->currentText()) : std::string();
  FitSiteWidths(site);
  return site;
}

// Implicit TLS has a port of its own: the standard port follows the choice, a port the user
// chose stays.
void TFFtpBase::OnEncryptionChosen() {
  const bool implicit = static_cast<SiteEncryption>(encryption_->currentData().toInt()) == SiteEncryption::Implicit;
  const QString port = port_->text().trimmed();
  if (implicit && !implicitShown_ && port == kPlainPort) port_->setText(kImplicitTlsPort);
  if (!implicit && implicitShown_ && port == kImplicitTlsPort) port_->setText(kPlainPort);
  implicitShown_ = implicit;
}

bool EditSite(QWidget* parent, SiteRecord& site, const std::string& programDirectory) {
  TFFtpBase dialog(parent, site, programDirectory);
  const bool saved = dialog.exec() == QDialog::Accepted;
  if (const platform::WriteResult written = dialog.SaveHostTypes(); !written)
    QMessageBox::warning(parent, QStringLiteral("Attention"), ToQString(written.error));
  if (saved) site = dialog.EditedSite();
  return saved;
}

}  // namespace dialogs
