#include "support/session/SessionHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sites/SiteList.h"
#include "support/EventLoop.h"

namespace sessiontest {

using namespace std::chrono_literals;

// ---- ScriptedPrompts --------------------------------------------------------------------------

bool ScriptedPrompts::TakeText(std::deque<std::optional<std::string>>& answers, const std::string& question,
                               std::string& value) {
  asked.push_back(question);
  if (answers.empty()) {
    unanswered.push_back(question);
    return false;
  }
  const std::optional<std::string> answer = answers.front();
  answers.pop_front();
  if (!answer) return false;
  value = *answer;
  return true;
}

bool ScriptedPrompts::InputDialog(const std::string& title, const std::string& prompt, std::string& value,
                                  bool showMask, int maxLength) {
  const bool ok = TakeText(inputs, "InputDialog: " + title + "|" + prompt + "|" + value + (showMask ? "|mask" : ""), value);
  if (ok && static_cast<int>(value.size()) > maxLength) value.resize(static_cast<std::size_t>(maxLength));
  return ok;
}

bool ScriptedPrompts::InputQuery(const std::string& title, const std::string& prompt, std::string& value) {
  return TakeText(inputs, "InputQuery: " + title + "|" + prompt + "|" + value, value);
}

bool ScriptedPrompts::PasswordQuery(const std::string& title, const std::string& prompt, std::string& value) {
  return TakeText(passwords, "PasswordQuery: " + title + "|" + prompt, value);
}

session::CertificateAnswer ScriptedPrompts::AskAboutCertificate(const session::CertificateQuestion& question) {
  const std::string text = "Certificate: " + question.site + "|" + question.certificate.subject + "|" +
                           question.certificate.problem + (question.changed ? "|changed" : "|new");
  asked.push_back(text);
  if (certificates.empty()) {
    unanswered.push_back(text);
    return session::CertificateAnswer::Cancel;
  }
  const session::CertificateAnswer answer = certificates.front();
  certificates.pop_front();
  return answer;
}

session::OverwriteAction ScriptedPrompts::OverwritePrompt(std::string& path) {
  asked.push_back("OverwritePrompt: " + path);
  if (overwrites.empty()) {
    unanswered.push_back("OverwritePrompt: " + path);
    return session::OverwriteAction::Cancel;
  }
  const auto [action, newPath] = overwrites.front();
  overwrites.pop_front();
  if (action == session::OverwriteAction::SaveAs) path = newPath;
  return action;
}

bool ScriptedPrompts::ShowChModDialog(const std::string& permissions, int& mode) {
  asked.push_back("ChMod: " + permissions);
  if (modes.empty() || !modes.front()) {
    if (modes.empty()) unanswered.push_back("ChMod: " + permissions);
    else modes.pop_front();
    return false;
  }
  mode = *modes.front();
  modes.pop_front();
  return true;
}

std::string ScriptedPrompts::ShowCommandDialog(CustomCommands&) {
  asked.push_back("CommandDialog");
  if (picks.empty()) return {};
  std::string pick = picks.front();
  picks.pop_front();
  return pick;
}

bool ScriptedPrompts::EditSite(SiteRecord& site) {
  asked.push_back("EditSite: " + site.Name);
  if (siteEdits.empty()) {
    unanswered.push_back("EditSite: " + site.Name);
    return false;
  }
  const auto edit = siteEdits.front();
  siteEdits.pop_front();
  return edit(site);
}

bool ScriptedPrompts::ShowOptionsDialog(ProgramOptions& options) {
  asked.push_back("OptionsDialog");
  return optionsDialog && optionsDialog(options);
}

bool ScriptedPrompts::Confirm(const std::string& title, const std::string& text) {
  asked.push_back("Confirm: " + title + "|" + text);
  if (confirmations.empty()) {
    unanswered.push_back("Confirm: " + text);
    return false;
  }
  const bool yes = confirmations.front();
  confirmations.pop_front();
  return yes;
}

// ---- RecordingProgress, RecordingListener -----------------------------------------------------

void RecordingProgress::Show(std::function<void()> onCancel) {
  if (open) return;
  open = true;
  ++shown;
  cancel = std::move(onCancel);
}

void RecordingProgress::Begin(const std::string& name, std::int64_t size, bool sending) {
  files.push_back(name + " " + std::to_string(size) + (sending ? " sent" : " received"));
}

void RecordingListener::Changed(session::Change what) {
  if (what == session::Change::Close) ++closeRequests;
  if (what == session::Change::PathCombo && logic_ && !logic_->PathItems().empty()) ++listings;
}

// ---- SessionHarness -------------------------------------------------------------------------

SessionHarness::SessionHarness() { options.StartDirectory = localDir_.Path().string(); }

SessionHarness::~SessionHarness() {
  // The listener goes with the harness; the logic must not call it while it is destroyed.
  if (logic_) logic_->SetListener(nullptr);
}

SiteRecord SessionHarness::SiteFor(const std::string& name, uint16_t port, const std::string& user,
                                   const std::string& password, const std::string& initialDir) {
  SiteRecord site = NewSiteRecord(ProgramOptions{});
  site.Name = name;
  site.Server = "127.0.0.1";
  site.Port = std::to_string(port);
  site.User = user;
  site.Password = password;
  site.InitialDir = initialDir;
  site.Pasv = true;
  site.Encryption = SiteEncryption::None;  // the servers of most tests speak no TLS
  return site;
}

void SessionHarness::Start() {
  SaveOptions(options, ProgramDir().string());
  if (!sites_.empty()) {
    EXPECT_TRUE(SaveSiteList(sites_, ProgramDir().string()));
  }
  logic_ = std::make_unique<session::MainLogic>(ProgramDir().string(), prompts, progress, memo, LocalDir());
  current_ = logic_.get();
  logic_->SetListener(&listener_);
}

void SessionHarness::Stop() {
  current_ = nullptr;
  logic_.reset();
}

void SessionHarness::SelectRemote(const std::vector<std::string>& captions) {
  listing::PaneModel& pane = logic_->RemotePane();
  pane.ChangeSelection([&](const listing::PaneItem& item) {
    return std::find(captions.begin(), captions.end(), item.caption) != captions.end();
  });
}

void SessionHarness::SelectLocal(const std::vector<std::string>& captions) {
  logic_->LocalPane().Model().ChangeSelection([&](const listing::PaneItem& item) {
    return std::find(captions.begin(), captions.end(), item.caption) != captions.end();
  });
}

void SessionHarness::SelectAllRemote() {
  logic_->RemotePane().ChangeSelection([](const listing::PaneItem& item) { return item.caption != ".."; });
}

std::vector<std::string> SessionHarness::Selected(listing::PaneModel& pane) {
  std::vector<std::string> captions;
  for (const listing::PaneItem& item : pane.Items())
    if (item.selected) captions.push_back(item.caption);
  return captions;
}

void SessionHarness::ConnectTo(const std::string& siteName) {
  SelectRemote({siteName});
  logic_->Run(session::Command::Connect);
}

bool SessionHarness::WaitIdle() {
  return testsupport::PumpUntil([&] { return !logic_->RequestRunning(); }, 20s);
}

bool SessionHarness::WaitForListing(int count) {
  const int wanted = listingsSeen_ + count;
  const bool shown = testsupport::PumpUntil(
      [&] { return listener_.listings >= wanted && !logic_->Busy() && !logic_->RequestRunning(); }, 20s);
  listingsSeen_ = listener_.listings;
  return shown;
}

bool SessionHarness::WaitForSites() {
  return testsupport::PumpUntil([&] { return logic_->ShowingSites() && !logic_->RequestRunning(); }, 20s);
}

std::vector<std::string> SessionHarness::RemoteCaptions() {
  std::vector<std::string> captions;
  for (const listing::PaneItem& item : logic_->RemotePane().Items()) captions.push_back(item.caption);
  return captions;
}

int SessionHarness::LogCount(const std::string& text) const {
  return static_cast<int>(std::count_if(memo.lines.begin(), memo.lines.end(),
                                        [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

bool SessionHarness::LoggedLine(const std::string& line) const {
  return std::find(memo.lines.begin(), memo.lines.end(), line) != memo.lines.end();
}

std::string SessionHarness::Transcript() const {
  std::string all;
  for (const std::string& line : memo.lines) all += line + "\n";
  for (const std::string& q : prompts.unanswered) all += "[unanswered] " + q + "\n";
  return all;
}

testsupport::Script ScriptedLogin() {
  return testsupport::Script()
      .Send("220 Ready\r\n")
      .Reply("331 Password\r\n")
      .Reply("230 Logged in\r\n")
      .Reply("211 End\r\n")
      .Reply("200 Type A\r\n")
      .Reply("250 CWD ok\r\n");
}

}  // namespace sessiontest
