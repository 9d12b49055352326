#pragma once
// The options dialog "Program Options": a tree of six pages on the left ("Соединение" with
// "ASCII/Binary", "Лог - протокол", "Поддержка соединения" and "Proxy / Firewall / Socks"
// under it, then "Интерфейс"), the pages on the right, "&Сохранить" and "&Отмена" below.
// A tree node's position from the top of the whole tree, 0 to 5, is the number of the page
// it shows; choosing a page's tab selects its node.
//
// Every control mirrors one ProgramOptions field. Edits and lists that a switch leaves
// unused are shown silver instead of white; the proxy and SOCKS panels are enabled only
// for their connection types; the firewall switch is always off and disabled, so its group
// stays disabled and a save always stores FirewallEnabled false. The firewall host, port,
// user and password have no control and pass through unchanged. A password is masked while
// its "Masked Password" box is checked. KeepAlive is saved true only with at least one
// keep-alive command. The numbers are bounded by their spin boxes: time-out 10 to 32767,
// retries 0 to 32767, keep-alive start 1 to 1000, interval 1 to 100.
//
// Values outside their choices are shown as the first choice and saved as it: a transfer
// mode outside 0 to 2 and a connection type above 4 as 0, a firewall type outside 1 to 6
// as 0 ("General"), a default prompt action other than 1 or 2 as 0 ("Пропустить").
#include <QDialog>
#include <cstdint>
#include <string>

#include "settings/options.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace dialogs {

class T_Options : public QDialog {
  Q_OBJECT

 public:
  T_Options(QWidget* parent, const ProgramOptions& options);

  // `options` as the dialog would save them: the controls' values over the fields that
  // have no control.
  ProgramOptions ReadBack() const;

 private:
  QWidget* BuildConnectionPage();
  QWidget* BuildTransferPage();
  QWidget* BuildLogPage();
  QWidget* BuildKeepAlivePage();
  QWidget* BuildProxyPage();
  QWidget* BuildInterfacePage();
  QWidget* BuildProxyPanel();
  QWidget* BuildSocksPanel();
  QWidget* BuildFirewallGroup();
  void BuildTree();
  void Fill();
  void ApplyConnectionType();
  void ApplyRules();
  void ShowFont();
  void EditExtension(bool change);
  void AddKeepCommand();
  void ChooseLogFile();
  void ChooseFont();
  void ChooseStartDirectory();

  ProgramOptions options_;
  std::string fontName_;
  std::int32_t fontSize_ = 0;
  std::int32_t fontColor_ = 0;

  QTreeWidget* tree_ = nullptr;
  QTabWidget* pages_ = nullptr;
  // Connection
  QCheckBox* cbAno_ = nullptr;
  QLineEdit* eAno_ = nullptr;
  QSpinBox* timeOut_ = nullptr;
  QSpinBox* retry_ = nullptr;
  QCheckBox* passiveTransfer_ = nullptr;
  QCheckBox* sync_ = nullptr;
  // ASCII/Binary
  QButtonGroup* mode_ = nullptr;
  QListWidget* extensions_ = nullptr;
  // Log
  QCheckBox* log_ = nullptr;
  QLineEdit* logFile_ = nullptr;
  // Keep-alive
  QCheckBox* keep_ = nullptr;
  QSpinBox* keepStart_ = nullptr;
  QSpinBox* keepInterval_ = nullptr;
  QListWidget* keepCommands_ = nullptr;
  // Proxy / Firewall / Socks
  QButtonGroup* connectionType_ = nullptr;
  QGroupBox* proxyPanel_ = nullptr;
  QLineEdit* proxyServer_ = nullptr;
  QLineEdit* proxyPort_ = nullptr;
  QLineEdit* proxyPassword_ = nullptr;
  QCheckBox* proxyMask_ = nullptr;
  QGroupBox* socksPanel_ = nullptr;
  QLineEdit* socksServer_ = nullptr;
  QLineEdit* socksPort_ = nullptr;
  QLineEdit* socksUserCode_ = nullptr;
  QLineEdit* socksPassword_ = nullptr;
  QCheckBox* socksMask_ = nullptr;
  QCheckBox* firewall_ = nullptr;
  QGroupBox* firewallGroup_ = nullptr;
  QButtonGroup* firewallType_ = nullptr;
  QLineEdit* firewallSymbol_ = nullptr;
  // Interface
  QPushButton* font_ = nullptr;
  QLineEdit* startDirectory_ = nullptr;
  QCheckBox* promptDownload_ = nullptr;
  QCheckBox* promptUpload_ = nullptr;
  QButtonGroup* promptAction_ = nullptr;
};

// Shows the options dialog on `options`. A transfer mode outside 0 to 2 is set to 0 in
// `options` first, whichever way the dialog ends. True when the user saved: `options` then
// holds the dialog's values and they were written to "options.ftp" in `programDirectory`;
// a failure to write is shown to the user ("Unable to write to ...") and the new values are
// kept all the same. Cancelled, nothing else changes.
bool ShowOptionsDialog(QWidget* parent, ProgramOptions& options, const std::string& programDirectory);

}  // namespace dialogs
