#pragma once
// Which commands the user can run now, per command and surface (session/Commands.h), and
// the rules that switch them. Everything starts enabled; the rules below switch only the
// commands and surfaces they name and leave the others as they are.
#include <array>

#include "local/LocalCommands.h"
#include "session/Commands.h"

namespace session {

class CommandStates {
 public:
  CommandStates();

  bool Enabled(Command command, Surface surface) const;
  void Set(Command command, Surface surface, bool enabled);
  // Every surface of the command.
  void Set(Command command, bool enabled);

  bool operator==(const CommandStates&) const = default;

 private:
  std::array<std::array<bool, kSurfaceCount>, kCommandCount> enabled_;
};

// The remote pane's commands by connection state. Without a session: connecting, the site
// commands and the options are enabled (the server properties menu entries only when a site
// is selected) and every session command is disabled. With a session, the reverse.
void EnableRemoteCommands(CommandStates& states, bool connected, bool siteSelected);

// While a remote operation chain runs, the path combo is disabled.
void EnableBusyCommands(CommandStates& states, bool busy);

// The local pane's commands as the pane computed them: viewing, running (its button),
// renaming and deleting through the main menu follow a selected file; the rename button its
// own flag; the delete button and pop-up entry, and the upload entries of the menus, theirs.
void UpdateLocalCommands(CommandStates& states, const local::LocalCommands& local);

}  // namespace session
