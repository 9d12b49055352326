#include "shell/LogMemo.h"

#include <QFontDatabase>

#include "dialogs/QtText.h"

namespace shell {

LogMemo::LogMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setMaximumBlockCount(kLineLimit);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void LogMemo::AppendLine(const std::string& line) { appendPlainText(dialogs::ToQString(line)); }

}  // namespace shell
