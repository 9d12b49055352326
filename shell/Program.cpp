#include "shell/Program.h"

#include <iostream>

#include "session/uMain.h"
#include "shell/LogMemo.h"
#include "shell/MainBinding.h"
#include "shell/MainWindow.h"
#include "shell/progressfrm.h"

namespace shell {

Program::Program(const std::filesystem::path& programDirectory, const std::filesystem::path& localDirectory)
    : prompts_(programDirectory.string()) {
  session::LogSink& log = *this;
  session::ProgressWindow& progress = *this;
  logic_ = std::make_unique<session::MainLogic>(programDirectory.string(), prompts_, progress, log, localDirectory);
  window_ = std::make_unique<MainWindow>(logic_->RemotePane(), logic_->LocalPane().Model(), programDirectory);
  prompts_.SetParent(window_.get());
  for (const std::string& line : earlyLines_) window_->Log->AppendLine(line);
  earlyLines_.clear();
  binding_ = std::make_unique<MainBinding>(*window_, *logic_);
}

Program::~Program() {
  closing_ = true;
  binding_.reset();
  window_.reset();
  logic_.reset();
}

void Program::AppendLine(const std::string& line) {
  if (window_) window_->Log->AppendLine(line);
  else if (closing_) std::cerr << line << '\n';
  else earlyLines_.push_back(line);
}

void Program::Show(std::function<void()> cancel) {
  if (window_) window_->Progress->Show(std::move(cancel));
}

bool Program::IsOpen() const { return window_ && window_->Progress->IsOpen(); }

void Program::Begin(const std::string& name, std::int64_t size, bool sending) {
  if (window_) window_->Progress->Begin(name, size, sending);
}

void Program::Update(std::int64_t bytes) {
  if (window_) window_->Progress->Update(bytes);
}

void Program::Close() {
  if (window_) window_->Progress->Close();
}

}  // namespace shell
