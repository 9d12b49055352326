// MainLogic: the busy state, the enabling of commands, the path combo, the screen cursor and
// the progress window.
#include "session/uMain.h"

namespace session {

void MainLogic::BeginBusy() {
  busy_ = true;
  EnableBusyCommands(states_, true);
  Notify(Change::Busy);
  Notify(Change::Commands);
}

void MainLogic::EndBusy() {
  busy_ = false;
  EnableBusyCommands(states_, false);
  Notify(Change::Busy);
  Notify(Change::Commands);
}

void MainLogic::UpdateRemoteCommands(bool connected) {
  EnableRemoteCommands(states_, connected, FirstSelectedRemote() != nullptr);
  Notify(Change::Commands);
}

void MainLogic::OnRemoteSelectionChanged() { UpdateRemoteCommands(!showingSites_); }

void MainLogic::OnLocalPaneChanged() {
  UpdateLocalCommands(states_, local_.UpdateLocalCommands(!showingSites_));
  Notify(Change::Commands);
  Notify(Change::LocalPane);
}

void MainLogic::SetPathItems(std::vector<std::string> items) {
  pathServerItems_ = std::move(items);
  pathItems_.clear();
  for (const std::string& item : pathServerItems_) pathItems_.push_back(platform::DecodeText(item, Names()));
  pathIndex_ = static_cast<int>(pathItems_.size()) - 1;
  Notify(Change::PathCombo);
}

void MainLogic::SetHourglass(bool on) {
  if (hourglass_ == on) return;
  hourglass_ = on;
  Notify(Change::Cursor);
}

void MainLogic::ShowProgress() {
  if (!progress_.IsOpen()) progress_.Show([this] { ftp_.Abort(); });
}

void MainLogic::CloseProgress() {
  progress_.Close();
  SetHourglass(false);
}

const listing::PaneItem* MainLogic::FirstSelectedRemote() const {
  for (const listing::PaneItem& item : remotePane_.Items())
    if (item.selected) return &item;
  return nullptr;
}

}  // namespace session
