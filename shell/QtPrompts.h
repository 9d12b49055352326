#pragma once
// The session's questions answered by the user through the program's dialogs, each modal over
// the main window (once it is set):
//   InputDialog        the program's input dialog (dialogs/Ftpinput.h)
//   InputQuery         the standard one-line query (shell/TextQuery.h)
//   PasswordQuery      the same query, masked: it never shows what is typed
//   OverwritePrompt    shell/UReWrite.h
//   ShowChModDialog, ShowCommandDialog, EditSite, ShowOptionsDialog: the dialogs of dialogs/,
//                      the last two on the files of the program's directory
//   Confirm            a question box with Yes and No, No the default
//   ReportError        an error box captioned with the program's title
//   ViewTextFile, RunFile: shell/DesktopActions.h; what cannot be shown or started is reported
//   Beep               the desktop's beep
//   AskAboutCertificate shell/CertificateDialog.h
#include <QPointer>
#include <string>

#include "session/Prompts.h"

class QWidget;

namespace shell {

class QtPrompts : public session::Prompts {
 public:
  explicit QtPrompts(std::string programDirectory) : programDirectory_(std::move(programDirectory)) {}

  void SetParent(QWidget* parent) { parent_ = parent; }

  bool InputDialog(const std::string& title, const std::string& prompt, std::string& value, bool showMask,
                   int maxLength) override;
  bool Confirm(const std::string& title, const std::string& text) override;
  void ReportError(const std::string& text) override;
  void ViewTextFile(const std::filesystem::path& file) override;
  void RunFile(const std::filesystem::path& file, const std::filesystem::path& workingDirectory) override;

  bool InputQuery(const std::string& title, const std::string& prompt, std::string& value) override;
  bool PasswordQuery(const std::string& title, const std::string& prompt, std::string& value) override;
  session::OverwriteAction OverwritePrompt(std::string& path) override;
  bool ShowChModDialog(const std::string& permissions, int& mode) override;
  std::string ShowCommandDialog(CustomCommands& commands) override;
  bool EditSite(SiteRecord& site) override;
  bool ShowOptionsDialog(ProgramOptions& options) override;
  void Beep() override;
  session::CertificateAnswer AskAboutCertificate(const session::CertificateQuestion& question) override;

 private:
  std::string programDirectory_;
  QPointer<QWidget> parent_;
};

}  // namespace shell
