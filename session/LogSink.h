#pragma once
// Where the protocol log's lines are shown: the log memo at the bottom of the main window.
#include <string>

namespace session {

class LogSink {
 public:
  virtual ~LogSink() = default;
  // Appends one line (UTF-8, or the raw bytes a server sent; no line end).
  virtual void AppendLine(const std::string& line) = 0;
};

}  // namespace session
