#pragma once
// Showing a server's directory in the remote pane, apart from the widgets.
//
// ShowRemoteListing runs when a browsing LIST has completed: it reads and deletes the
// listing file (TakeListingEntries), rebuilds the ListingCache from it, fills the pane and
// gives the items of the remote path combo. Closing the progress window before it, and
// leaving the busy state after it, are the caller's. The old listing is dropped before the
// new one is read, so two are never held at once. The pane is filled inside one update with
// sorting off and the change handler detached, and sorted once at the end.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/ListingCache.h"
#include "listing/ListingFile.h"
#include "listing/ListingParser.h"
#include "listing/PaneModel.h"
#include "platform/TextCodec.h"

namespace listing {

inline constexpr std::string_view kServerListItem = "SERVER LIST ...";

// How wide the first column is to be: the widest caption plus a margin, or, when the view
// shows raw lines (Text format), almost the whole view.
struct CaptionMetrics {
  std::function<int(std::string_view)> captionWidth;  // in the view's font; none: 0
  int viewWidth = 0;
};

// Refills the pane from the cache: files whose name does not match `filterMask` are left
// out, except in the Text format; directories always show, without a size. Also used when
// the filter changes (the caller then resorts). Returns the first column's width.
// Captions are the names decoded from the server's character set `names` (the mask is
// matched against them); an item whose caption differs from the server's bytes keeps those
// in serverName.
int FillRemoteView(const ListingCache& cache, std::string_view answer,
                   std::string_view filterMask, PaneModel& pane, const CaptionMetrics& metrics,
                   platform::CharacterSet names = platform::CharacterSet::Automatic);

// "SERVER LIST ...", the host, then each component of the directory after its leading "/";
// "/a//b" gives an empty component between "a" and "b". The last item is the one to select.
std::vector<std::string> RemotePathItems(std::string_view hostName,
                                         std::string_view remoteDirectory);

struct RemoteListingRequest {
  std::filesystem::path listingFile;  // the local working directory + the listing file name
  ListingContext context;
  std::string filterMask{"*.*"};
  std::string hostName;
  std::string remoteDirectory;
  CaptionMetrics metrics;
  ListingLimits limits{};  // "{}" lets callers leave it out without a warning
  platform::CharacterSet names = platform::CharacterSet::Automatic;  // of the server's names
};

struct ShownListing {
  // False when the listing file could not be read; the pane and cache are then empty, so
  // what is shown never belongs to another directory, and the caller reports the failure.
  bool listingRead = false;
  // For the log when the limits cut the listing short (what was read is shown); else empty.
  std::string logLine;
  std::vector<std::string> pathItems;
  int firstColumnWidth = 0;
};

// The cache then holds every entry of the listing but ".", in the file's order (".." stays).
ShownListing ShowRemoteListing(const RemoteListingRequest& request, PaneModel& pane,
                               ListingCache& cache);

}  // namespace listing
