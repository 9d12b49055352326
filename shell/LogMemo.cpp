#include "shell/LogMemo.h"

#include <QFontDatabase>

#include "shell/DisplayText.h"

namespace shell {

LogMemo::LogMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setMaximumBlockCount(kLineLimit);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void LogMemo::AppendLine(const std::string& line) { appendPlainText(DisplayText(line)); }

}  // namespace shell
