#pragma once
// The transfer progress window as the session logic drives it. A transfer batch opens it
// with its first file and closes it when the batch ends; the window measures the elapsed
// time of the current file (from Begin) and of the batch (from Show) itself.
#include <cstdint>
#include <functional>
#include <string>

namespace session {

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  // Opens the window unless it is open; opening starts a new batch (no earlier bytes, no
  // earlier time). `cancel` runs when the user presses the window's cancel button; the
  // window stays open until Close.
  virtual void Show(std::function<void()> cancel) = 0;
  virtual bool IsOpen() const = 0;

  // A file of the batch starts: its name (a path; the window shows its last part), its size
  // in bytes, and whether it is sent (upload) or received (download).
  virtual void Begin(const std::string& name, std::int64_t size, bool sending) = 0;

  // The bytes of the current file moved so far.
  virtual void Update(std::int64_t bytes) = 0;

  // Closes the window if it is open.
  virtual void Close() = 0;
};

}  // namespace session
