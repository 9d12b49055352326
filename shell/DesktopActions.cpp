#include "shell/DesktopActions.h"

#include <unistd.h>

#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProcess>
#include <QUrl>
#include <cerrno>
#include <fstream>
#include <system_error>

#include "dialogs/QtText.h"

namespace shell {

namespace fs = std::filesystem;

namespace {

QString QtPath(const fs::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.native())); }

}  // namespace

bool ShowTextFile(const fs::path& file, QWidget* parent, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  if (!in || fs::is_directory(file)) {
    error = std::error_code(fs::is_directory(file) ? EISDIR : errno, std::generic_category()).message();
    return false;
  }
  std::string bytes(kViewerLimit, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));

  auto* viewer = new QPlainTextEdit(parent);
  viewer->setWindowFlag(Qt::Window);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  viewer->setWindowTitle(dialogs::ToQString(file.filename().native()));
  viewer->setReadOnly(true);
  viewer->setLineWrapMode(QPlainTextEdit::NoWrap);
  viewer->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  viewer->setPlainText(dialogs::ToQString(bytes));
  viewer->resize(800, 600);
  viewer->show();
  return true;
}

bool RunFile(const fs::path& file, const fs::path& workingDirectory) {
  std::error_code status;
  if (fs::is_regular_file(file, status) && access(file.c_str(), X_OK) == 0) {
    return QProcess::startDetached(QtPath(file), {}, QtPath(workingDirectory));
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QtPath(file)));
}

}  // namespace shell
