#include "listing/RemoteListingView.h"

#include <algorithm>
#include <utility>

#include "listing/MaskMatch.h"

namespace listing {

namespace {

// Pixels around the widest caption, and kept free of a raw-line column.
constexpr int kCaptionMargin = 30;
constexpr int kRawLineInset = 14;

PaneItem ItemOf(const CachedEntry& entry, std::string caption) {
  PaneItem item;
  if (caption != entry.name) item.serverName = entry.name;
  item.caption = std::move(caption);
  item.image = entry.isDirectory ? kImageDirectory : kImageFile;
  if (!entry.isDirectory) item.subItems[kSubSize] = entry.size;
  item.subItems[kSubDate] = entry.date;
  item.subItems[kSubTime] = entry.time;
  item.subItems[kSubAttributes] = entry.attributes;
  return item;
}

}  // namespace

int FillRemoteView(const ListingCache& cache, std::string_view answer,
                   std::string_view filterMask, PaneModel& pane, const CaptionMetrics& metrics,
                   platform::CharacterSet names) {
  const bool rawLines = ListingFormatOf(answer) == ListingFormat::Text;
  const auto detached = pane.DetachChangeHandler();
  const PaneUpdate update(pane);
  pane.Clear();  // before the new items are made, so that two sets are never held at once
  std::vector<PaneItem> items;
  items.reserve(cache.Size());
  int widestCaption = 0;
  for (std::size_t i = 0; i < cache.Size(); ++i) {
    const CachedEntry entry = cache.At(i);
    std::string caption = platform::DecodeText(entry.name, names);
    if (!entry.isDirectory && !rawLines && !MatchesMask(caption, filterMask)) continue;
    if (metrics.captionWidth) widestCaption = std::max(widestCaption, metrics.captionWidth(caption));
    items.push_back(ItemOf(entry, std::move(caption)));
  }
  pane.Assign(std::move(items));
  return rawLines ? metrics.viewWidth - kRawLineInset : widestCaption + kCaptionMargin;
}

std::vector<std::string> RemotePathItems(std::string_view hostName,
                                         std::string_view remoteDirectory) {
  std::vector<std::string> items{std::string(kServerListItem), std::string(hostName)};
  std::string_view rest = remoteDirectory;
  if (rest.starts_with('/')) rest.remove_prefix(1);
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    items.emplace_back(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
  }
  return items;
}

ShownListing ShowRemoteListing(const RemoteListingRequest& request, PaneModel& pane,
                               ListingCache& cache) {
  const PaneUpdate update(pane);
  pane.Clear();
  pane.SetSorting(false);
  cache.Clear();
  const ListingReadResult read =
      TakeListingEntries(request.listingFile, request.context, request.limits, [&cache](RemoteEntry entry) {
        if (entry.name != ".") cache.Append(entry);
      });
  ShownListing shown;
  shown.listingRead = read.outcome != ListingReadOutcome::Unreadable;
  if (!shown.listingRead) cache.Clear();
  shown.logLine = ListingCutShortText(read, request.limits);
  shown.firstColumnWidth =
      FillRemoteView(cache, request.context.answer, request.filterMask, pane, request.metrics, request.names);
  shown.pathItems = RemotePathItems(request.hostName, request.remoteDirectory);
  pane.SetSorting(true);
  return shown;
}

}  // namespace listing
