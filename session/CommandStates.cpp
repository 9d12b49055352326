#include "session/CommandStates.h"

#include <initializer_list>

namespace session {

namespace {

std::size_t Index(Command command) { return static_cast<std::size_t>(command); }
std::size_t Index(Surface surface) { return static_cast<std::size_t>(surface); }

// The commands a session enables on their menu entries (main menu and remote pop-up menu).
constexpr Command kSessionMenuCommands[] = {
    Command::RemoteMakeDirectory, Command::RemoteChangeDirectory, Command::CompareDirectories,
    Command::RemoteRename,        Command::RemotePermissions,     Command::DownloadSelection,
    Command::UploadSelection,     Command::RemoteSort,            Command::RemoteSelect,
    Command::RemoteChangeCase,    Command::RemoteFilter,          Command::Disconnect,
    Command::StopTransfer,
};

// ... and on their buttons.
constexpr Command kSessionButtons[] = {
    Command::RemoteMakeDirectory, Command::RemoteRename,    Command::StopTransfer,
    Command::Disconnect,          Command::UploadSelection, Command::DownloadSelection,
};

}  // namespace

CommandStates::CommandStates() {
  for (auto& surfaces : enabled_) surfaces.fill(true);
}

bool CommandStates::Enabled(Command command, Surface surface) const {
  return enabled_[Index(command)][Index(surface)];
}

void CommandStates::Set(Command command, Surface surface, bool enabled) {
  enabled_[Index(command)][Index(surface)] = enabled;
}

void CommandStates::Set(Command command, bool enabled) { enabled_[Index(command)].fill(enabled); }

void EnableRemoteCommands(CommandStates& states, bool connected, bool siteSelected) {
  for (Command c : kSessionMenuCommands) {
    states.Set(c, Surface::MainMenu, connected);
    states.Set(c, Surface::RemotePopup, connected);
  }
  // The upload entry of the local pop-up menu is a twin of the main menu's.
  states.Set(Command::UploadSelection, Surface::LocalPopup, connected);
  for (Command c : kSessionButtons) states.Set(c, Surface::Control, connected);

  states.Set(Command::Connect, !connected);
  states.Set(Command::NewSite, !connected);
  states.Set(Command::Options, !connected);
  states.Set(Command::SiteProperties, Surface::Control, !connected);
  for (Surface s : {Surface::MainMenu, Surface::RemotePopup})
    states.Set(Command::SiteProperties, s, !connected && siteSelected);
}

void EnableBusyCommands(CommandStates& states, bool busy) {
  states.Set(Command::RemotePath, Surface::Control, !busy);
}

void UpdateLocalCommands(CommandStates& states, const local::LocalCommands& local) {
  for (Surface s : {Surface::Control, Surface::MainMenu, Surface::LocalPopup})
    states.Set(Command::LocalView, s, local.fileSelected);
  for (Surface s : {Surface::MainMenu, Surface::LocalPopup}) states.Set(Command::LocalRename, s, local.fileSelected);
  states.Set(Command::LocalRename, Surface::Control, local.renameButton);
  states.Set(Command::LocalRun, Surface::Control, local.fileSelected);
  states.Set(Command::LocalDelete, Surface::MainMenu, local.fileSelected);
  states.Set(Command::LocalDelete, Surface::Control, local.deleteEntries);
  states.Set(Command::LocalDelete, Surface::LocalPopup, local.deleteEntries);
  states.Set(Command::UploadSelection, Surface::MainMenu, local.uploadEntries);
  states.Set(Command::UploadSelection, Surface::LocalPopup, local.uploadEntries);
}

}  // namespace session
