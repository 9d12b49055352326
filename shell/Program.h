#pragma once
// The running program: the session's logic on the program's directory, the main window over
// the logic's panes, and the binding between them, with the dialogs answering the logic's
// questions. The window's log memo and progress window serve the logic through this object,
// which outlives neither: log lines written before the window exists are shown when it does,
// and those written after it has gone (while the logic closes) go to the standard error.
//
// Destruction runs in the reverse order of construction: the binding, the window (whose views
// watch the logic's panes), then the logic (which saves the custom commands).
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "session/LogSink.h"
#include "session/ProgressWindow.h"
#include "shell/QtPrompts.h"

namespace session {
class MainLogic;
}

namespace shell {

class MainBinding;
class MainWindow;

class Program : private session::LogSink, private session::ProgressWindow {
 public:
  // `programDirectory` holds the program's files; the local pane starts in `localDirectory`
  // (unless the options name another start directory).
  Program(const std::filesystem::path& programDirectory, const std::filesystem::path& localDirectory);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  MainWindow& Window() { return *window_; }
  session::MainLogic& Logic() { return *logic_; }

 private:
  void AppendLine(const std::string& line) override;

  void Show(std::function<void()> cancel) override;
  bool IsOpen() const override;
  void Begin(const std::string& name, std::int64_t size, bool sending) override;
  void Update(std::int64_t bytes) override;
  void Close() override;

  QtPrompts prompts_;
  std::vector<std::string> earlyLines_;
  bool closing_ = false;
  std::unique_ptr<session::MainLogic> logic_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<MainBinding> binding_;
};

}  // namespace shell
