#pragma once
// The command bar under the remote pane (hidden until switched on): an editable combo of raw
// command lines, the button that picks a stored command into it, and the one that sends it.
// The shell keeps `text` up to date as the user types; the logic adds items and selects them.
#include <string>
#include <vector>

namespace session {

struct CommandBar {
  bool visible = false;
  std::vector<std::string> items;
  int selected = -1;  // index into items, or -1
  std::string text;   // the combo's edit text
};

}  // namespace session
