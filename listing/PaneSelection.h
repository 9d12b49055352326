#pragma once
// Selection commands of both panes. The mask commands test every item, directories
// included, with MatchesMask against the item's caption.
#include <optional>
#include <string_view>

#include "listing/PaneModel.h"

namespace listing {

void SelectAll(PaneModel& pane);
void DeselectByMask(PaneModel& pane, std::string_view mask);
void SelectByMask(PaneModel& pane, std::string_view mask);
void InvertSelection(PaneModel& pane);

// A selection menu entry's tag: its sign picks the pane (positive the local pane, negative
// the remote one), its absolute value the action.
enum class SelectionAction { SelectAll = 1, DeselectByMask = 2, SelectByMask = 3, Invert = 4 };
enum class PaneSide { Local, Remote };

struct SelectionCommand {
  PaneSide pane;
  SelectionAction action;
};

// Nothing for a tag that names no command.
std::optional<SelectionCommand> SelectionCommandOfTag(int menuTag);

}  // namespace listing
