#pragma once
// The main window's logic, headless, as a test drives it: a fresh program directory and a
// local directory of its own, scripted answers to every question, the log memo and the
// progress window recorded, and waits for what the logic tells its listener.
//
//   SessionHarness h;
//   h.AddSite(h.SiteFor("box", ftp.Port(), ftp.User(), ftp.Password(), "/pub"));
//   h.Start();
//   h.ConnectTo("box");
//   ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session/uMain.h"
#include "support/peers/TempDir.h"
#include "support/scripted/Script.h"

namespace sessiontest {

// Answers given in order; a question without an answer left is cancelled and noted.
class ScriptedPrompts : public session::Prompts {
 public:
  std::deque<std::optional<std::string>> inputs;     // InputDialog and InputQuery
  std::deque<std::optional<std::string>> passwords;  // PasswordQuery
  std::deque<std::pair<session::OverwriteAction, std::string>> overwrites;  // the answer, a SaveAs path
  std::deque<std::function<bool(SiteRecord&)>> siteEdits;
  std::deque<bool> confirmations;
  std::deque<std::optional<int>> modes;  // ShowChModDialog
  std::deque<std::string> picks;         // ShowCommandDialog
  std::function<bool(ProgramOptions&)> optionsDialog;
  std::deque<session::CertificateAnswer> certificates;  // AskAboutCertificate

  std::vector<std::string> asked;  // every question, "<kind>: <texts>"
  std::vector<std::string> errors;
  std::vector<std::string> unanswered;
  int beeps = 0;

  bool InputDialog(const std::string& title, const std::string& prompt, std::string& value, bool showMask,
                   int maxLength) override;
  bool InputQuery(const std::string& title, const std::string& prompt, std::string& value) override;
  bool PasswordQuery(const std::string& title, const std::string& prompt, std::string& value) override;
  session::OverwriteAction OverwritePrompt(std::string& path) override;
  bool ShowChModDialog(const std::string& permissions, int& mode) override;
  std::string ShowCommandDialog(CustomCommands& commands) override;
  bool EditSite(SiteRecord& site) override;
  bool ShowOptionsDialog(ProgramOptions& options) override;
  bool Confirm(const std::string& title, const std::string& text) override;
  // Noted as "Certificate: <site>|<subject>|<problem>|changed" (or "|new").
  session::CertificateAnswer AskAboutCertificate(const session::CertificateQuestion& question) override;
  void ReportError(const std::string& text) override { errors.push_back(text); }
  void Beep() override { ++beeps; }
  void ViewTextFile(const std::filesystem::path& file) override { asked.push_back("View: " + file.string()); }
  void RunFile(const std::filesystem::path& file, const std::filesystem::path&) override {
    asked.push_back("Run: " + file.string());
  }

 private:
  bool TakeText(std::deque<std::optional<std::string>>& answers, const std::string& question, std::string& value);
};

class RecordingLog : public session::LogSink {
 public:
  void AppendLine(const std::string& line) override {
    lines.push_back(line);
    if (onLine) onLine(line);
  }
  std::vector<std::string> lines;
  std::function<void(const std::string&)> onLine;  // sees each line as it comes
};

class RecordingProgress : public session::ProgressWindow {
 public:
  void Show(std::function<void()> cancel) override;
  bool IsOpen() const override { return open; }
  void Begin(const std::string& name, std::int64_t size, bool sending) override;
  void Update(std::int64_t bytes) override { lastBytes = bytes; }
  void Close() override { open = false; }

  bool open = false;
  int shown = 0;
  std::vector<std::string> files;  // "<name> <size> <sent|received>"
  std::int64_t lastBytes = -1;
  std::function<void()> cancel;
};

class RecordingListener : public session::MainLogicListener {
 public:
  explicit RecordingListener(session::MainLogic*& logic) : logic_(logic) {}
  void Changed(session::Change what) override;

  int listings = 0;  // the path combo was filled: a server directory was shown
  int closeRequests = 0;

 private:
  session::MainLogic*& logic_;
};

class SessionHarness {
 public:
  SessionHarness();
  ~SessionHarness();

  const std::filesystem::path& ProgramDir() const { return programDir_.Path(); }
  const std::filesystem::path& LocalDir() const { return localDir_.Path(); }

  // Before Start: the options (StartDirectory is the harness's local directory unless set)
  // and the stored sites.
  ProgramOptions options;
  static SiteRecord SiteFor(const std::string& name, uint16_t port, const std::string& user,
                            const std::string& password, const std::string& initialDir);
  void AddSite(const SiteRecord& site) { sites_.push_back(site); }
  void Start();
  // Destroys the logic, as closing the window does.
  void Stop();

  session::MainLogic& Logic() { return *logic_; }
  TFtpClient& Engine() { return logic_->Engine(); }

  // Selects the stored site of this name alone in the remote pane and runs Connect.
  void ConnectTo(const std::string& siteName);
  // Selects the items with these captions in the remote or the local pane, and only them.
  void SelectRemote(const std::vector<std::string>& captions);
  void SelectLocal(const std::vector<std::string>& captions);
  // Selects every item of the remote pane but "..".
  void SelectAllRemote();
  // The captions of a pane's selected items, in the pane's order.
  static std::vector<std::string> Selected(listing::PaneModel& pane);

  // Waits until `count` more server directories were shown since the last wait, and no
  // request runs.
  bool WaitForListing(int count = 1);
  // Waits until the remote pane shows the stored sites and no request runs.
  bool WaitForSites();
  // Waits until no request runs.
  bool WaitIdle();

  std::vector<std::string> RemoteCaptions();
  // Log lines that contain `text`.
  int LogCount(const std::string& text) const;
  bool Logged(const std::string& text) const { return LogCount(text) > 0; }
  bool LoggedLine(const std::string& line) const;
  std::string Transcript() const;

  ScriptedPrompts prompts;
  RecordingLog memo;
  RecordingProgress progress;

 private:
  testsupport::TempDir programDir_;
  testsupport::TempDir localDir_;
  std::vector<SiteRecord> sites_;
  session::MainLogic* current_ = nullptr;
  RecordingListener listener_{current_};
  std::unique_ptr<session::MainLogic> logic_;
  int listingsSeen_ = 0;
};

// What a scripted server answers to the start of a session: the greeting, USER, PASS, FEAT
// (no features), TYPE A and the CWD of the start directory.
testsupport::Script ScriptedLogin();

}  // namespace sessiontest
