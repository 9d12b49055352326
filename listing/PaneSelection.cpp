#include "listing/PaneSelection.h"

#include "listing/MaskMatch.h"

namespace listing {

void SelectAll(PaneModel& pane) {
  pane.ChangeSelection([](const PaneItem&) { return true; });
}

void DeselectByMask(PaneModel& pane, std::string_view mask) {
  pane.ChangeSelection(
      [mask](const PaneItem& item) { return item.selected && !MatchesMask(item.caption, mask); });
}

void SelectByMask(PaneModel& pane, std::string_view mask) {
  pane.ChangeSelection(
      [mask](const PaneItem& item) { return item.selected || MatchesMask(item.caption, mask); });
}

void InvertSelection(PaneModel& pane) {
  pane.ChangeSelection([](const PaneItem& item) { return !item.selected; });
}

std::optional<SelectionCommand> SelectionCommandOfTag(int menuTag) {
  const long long action = menuTag > 0 ? menuTag : -static_cast<long long>(menuTag);
  if (action < 1 || action > 4) return std::nullopt;
  return SelectionCommand{menuTag > 0 ? PaneSide::Local : PaneSide::Remote,
                          static_cast<SelectionAction>(action)};
}

}  // namespace listing
