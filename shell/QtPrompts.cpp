#include "shell/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include "dialogs/Ftpinput.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/QtText.h"
#include "dialogs/SiteManager.h"
#include "dialogs/UChMod.h"
#include "dialogs/custom.h"
#include "shell/CertificateDialog.h"
#include "shell/DesktopActions.h"
#include "shell/TextQuery.h"
#include "shell/UReWrite.h"

namespace shell {

using dialogs::ToQString;

bool QtPrompts::InputDialog(const std::string& title, const std::string& prompt, std::string& value, bool showMask,
                            int maxLength) {
  return dialogs::InputDialog(parent_, title, prompt, value, showMask, maxLength);
}

bool QtPrompts::Confirm(const std::string& title, const std::string& text) {
  return QMessageBox::question(parent_, ToQString(title), ToQString(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void QtPrompts::ReportError(const std::string& text) {
  QMessageBox::critical(parent_, QApplication::applicationDisplayName(), ToQString(text));
}

void QtPrompts::ViewTextFile(const std::filesystem::path& file) {
  std::string error;
  if (!ShowTextFile(file, parent_, error)) ReportError(file.string() + ": " + error);
}

void QtPrompts::RunFile(const std::filesystem::path& file, const std::filesystem::path& workingDirectory) {
  if (!shell::RunFile(file, workingDirectory)) ReportError("Unable to open " + file.string());
}

bool QtPrompts::InputQuery(const std::string& title, const std::string& prompt, std::string& value) {
  return TextQuery(parent_, title, prompt, value);
}

bool QtPrompts::PasswordQuery(const std::string& title, const std::string& prompt, std::string& value) {
  return TextQuery(parent_, title, prompt, value, true);
}

session::OverwriteAction QtPrompts::OverwritePrompt(std::string& path) { return shell::OverwritePrompt(path, parent_); }

bool QtPrompts::ShowChModDialog(const std::string& permissions, int& mode) {
  return dialogs::ShowChModDialog(parent_, permissions, mode);
}

std::string QtPrompts::ShowCommandDialog(CustomCommands& commands) {
  return dialogs::ShowCommandDialog(parent_, commands);
}

bool QtPrompts::EditSite(SiteRecord& site) { return dialogs::EditSite(parent_, site, programDirectory_); }

bool QtPrompts::ShowOptionsDialog(ProgramOptions& options) {
  return dialogs::ShowOptionsDialog(parent_, options, programDirectory_);
}

void QtPrompts::Beep() { QApplication::beep(); }

session::CertificateAnswer QtPrompts::AskAboutCertificate(const session::CertificateQuestion& question) {
  return shell::AskAboutCertificate(parent_, question);
}

}  // namespace shell
