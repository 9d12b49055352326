#pragma once
// The help window: the program's own help text in Russian, opened at its start page. It is
// read with the keyboard as well as the mouse: the arrows and Page Up/Down scroll, Tab moves
// from link to link and Enter follows one, Alt+Left goes back, Escape closes the window.
// The window is not modal, so the user can read it while working; asking for help again
// brings the open window to the front at its start page.
#include <QDialog>

class QTextBrowser;

namespace dialogs {

class THelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent);

  // Shows the start page: what the program does and the list of sections.
  void ShowStartPage();

 private:
  QTextBrowser* text_;
};

// Opens the help window (one per program), or brings it to the front, at its start page.
THelpWindow* ShowHelp(QWidget* parent);

}  // namespace dialogs
