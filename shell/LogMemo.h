#pragma once
// The protocol log memo at the bottom of the main window. Lines are appended as they come
// (commands sent, replies, the engine's notes, the window's own lines); the memo keeps the
// newest kLineLimit lines, since the log file (when switched on) holds the whole dialogue.
#include <QPlainTextEdit>

#include "session/LogSink.h"

namespace shell {

class LogMemo : public QPlainTextEdit, public session::LogSink {
 public:
  static constexpr int kLineLimit = 100000;

  explicit LogMemo(QWidget* parent = nullptr);

  void AppendLine(const std::string& line) override;
};

}  // namespace shell
