#pragma once
// The About box: the program's name "TOVIK FTP", the executable's name and version (the
// build's project version), the licence, and the version of Qt it runs on.
#include <QDialog>

namespace dialogs {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent);
};

// Shows the About box modally.
void ShowAbout(QWidget* parent);

}  // namespace dialogs
