#pragma once
// The site manager "Свойства выбранного соединения": one stored site's login data, its
// directories, its comment, the character set of the server's names ("Кодировка имён"), its
// encryption ("Шифрование": none, explicit TLS when offered, explicit TLS required, implicit
// TLS; choosing implicit TLS moves the standard port 21 to 990, and leaving it moves 990
// back to 21), and
// how the server's listings are read: automatically (MLSD when the server offers it, else
// Unix and MS-DOS lines told apart by themselves; the choice for new sites), or in the
// format "Стандартный", "Текстовый формат", "Настройка" (custom columns) or
// "Microsoft FTP-v.4.0.".
//
// For the custom format the six one-digit column fields (Name, Size, Month, Day, Time,
// Attribute) belong to a named host type kept in "Answer.txt" in the program's directory.
// The first host type (normally "Default") is fixed: its column fields are disabled, as
// they are when no host type is selected. The code of the shown host type is kept when
// another host type is selected or one is added; the host type file is written when the
// dialog closes, also when it is cancelled.
//
// Deliberate choices:
// - After "Add" the new host type is shown as selected would show it: its standard columns,
//   editable, and edits go to it (not to the host type shown before).
// - After "delete" the first host type is shown; nothing is stored over the host type that
//   moved into the deleted one's place.
// - An automatic site is saved with the standard format's digit and the shown columns in its
//   Answer code (older copies of the program read it in that format); its host type is kept
//   as for the other formats.
// - A site line cannot hold ";" (it ends a value on reading) nor a line break inside a value
//   (what follows it would be lost), so saving is refused, with a message naming the field,
//   while a field contains one.
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "platform/TextFile.h"
#include "sites/HostTypes.h"
#include "sites/SiteRecord.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace dialogs {

class TFFtpBase : public QDialog {
  Q_OBJECT

 public:
  // Fills the dialog from `site` and the host types of "Answer.txt" in `programDirectory`.
  TFFtpBase(QWidget* parent, const SiteRecord& site, const std::string& programDirectory);

  // The site as the controls show it, as it is stored when the user saves.
  SiteRecord EditedSite() const;

  // The format digit followed by the six column fields, each "0" when empty.
  std::string BuildAnswerCode() const;

  // The host types in the order of the combo, with their codes.
  std::vector<HostType> HostTypes() const;

  // Writes the host types to "Answer.txt".
  platform::WriteResult SaveHostTypes() const;

 private:
  void BuildControls();
  QWidget* BuildServerGroup();
  QWidget* BuildLoginGroup();
  QWidget* BuildDirectoryGroup();
  QWidget* BuildFormatGroup();
  void Fill();
  void LoadHostTypesAndFormat();
  void ShowColumns(const std::string& code);
  void SetFormat(int digit);
  void ApplyAnonymousRule();
  void OnEncryptionChosen();
  void ApplyPasswordMask();
  void OnHostTypeChanged(int index);
  void SelectHostType(int index);
  void StoreShownCode();
  void AddHostType();
  void EditHostType();
  void DeleteHostType();
  void ChooseLocalDir();
  void TrySave();
  // The caption of the first field the site line cannot hold, or "" when all can be stored.
  QString FieldThatCannotBeStored() const;

  SiteRecord site_;
  std::string programDirectory_;
  std::vector<std::string> hostTypeCodes_;  // parallel to the combo's items
  int shownHostType_ = -1;  // the host type whose code the column fields show, or -1
  int format_ = 0;          // 0 standard, 1 text, 2 custom, 3 Microsoft FTP 4.0, 4 automatic

  QLineEdit* name_ = nullptr;
  QLineEdit* server_ = nullptr;
  QLineEdit* port_ = nullptr;
  QPlainTextEdit* desc_ = nullptr;
  QLineEdit* user_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLineEdit* account_ = nullptr;
  QLineEdit* email_ = nullptr;
  QCheckBox* anonymous_ = nullptr;
  QCheckBox* savePassword_ = nullptr;
  QCheckBox* passive_ = nullptr;
  QCheckBox* maskPassword_ = nullptr;
  QComboBox* charset_ = nullptr;
  QComboBox* encryption_ = nullptr;
  bool implicitShown_ = false;  // implicit TLS was the choice shown before the last change
  QLineEdit* localDir_ = nullptr;
  QLineEdit* remoteDir_ = nullptr;
  QButtonGroup* formats_ = nullptr;
  QWidget* customPanel_ = nullptr;
  QComboBox* hostTypes_ = nullptr;
  std::array<QLineEdit*, 6> columns_{};
};

// Shows the site manager on `site`. True when the user saved; `site` then holds the edits.
// The host types are written back to "Answer.txt" in `programDirectory` in either case;
// a failure to write them is shown to the user.
bool EditSite(QWidget* parent, SiteRecord& site, const std::string& programDirectory);

}  // namespace dialogs
