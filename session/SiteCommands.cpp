// MainLogic: the stored sites in the remote pane while no session is open, and the site
// commands: new site, site properties, delete the selected sites. Each saves ftplist.TXT.
#include "session/uMain.h"

namespace session {

namespace {

listing::PaneItem SiteItem(const SiteRecord& site, bool selected = false) {
  listing::PaneItem item;
  item.caption = site.Name;
  item.image = listing::kImageSite;
  item.selected = selected;
  return item;
}

}  // namespace

// Reads ftplist.TXT again into the site list and the pane. Without the file the list stays
// as it was and the pane is empty.
void MainLogic::ShowStoredSites() {
  {
    const listing::PaneUpdate update(remotePane_);
    const auto detached = remotePane_.DetachChangeHandler();
    remotePane_.Clear();
    remotePane_.SetSorting(false);
    cache_.Clear();
    if (LoadSiteList(sites_, options_, programDirectory_))
      for (const SiteRecord& site : sites_) remotePane_.Add(SiteItem(site));
    remotePane_.SetSorting(true);
  }
  Notify(Change::RemoteMode);
}

void MainLogic::NewSite() {
  if (!showingSites_) return;
  SiteRecord site = NewSiteRecord(options_);
  if (!prompts_.EditSite(site)) return;
  sites_.push_back(site);
  remotePane_.ChangeSelection([](const listing::PaneItem&) { return false; });
  remotePane_.Add(SiteItem(site, true));
  SaveSites();
}

void MainLogic::EditSelectedSite() {
  if (!showingSites_) return prompts_.Beep();
  const listing::PaneItem* item = FirstSelectedRemote();
  const int index = item ? FindSite(sites_, item->caption) : -1;
  SiteRecord site = index >= 0 ? sites_[static_cast<std::size_t>(index)] : SiteRecord{};
  if (!prompts_.EditSite(site)) return;
  if (index < 0) {
    sites_.push_back(site);
    remotePane_.Add(SiteItem(site));
  } else {
    sites_[static_cast<std::size_t>(index)] = site;
    std::vector<listing::PaneItem> items = remotePane_.TakeItems();
    for (listing::PaneItem& shown : items) {
      if (!shown.selected) continue;
      shown.caption = site.Name;
      break;
    }
    remotePane_.Assign(std::move(items));
  }
  SaveSites();
}

void MainLogic::DeleteSelectedSites() {
  if (!FirstSelectedRemote()) return;
  for (const listing::PaneItem& item : remotePane_.Items()) {
    if (!item.selected) continue;
    const int index = FindSite(sites_, item.caption);
    if (index >= 0) sites_.erase(sites_.begin() + index);
  }
  std::vector<listing::PaneItem> items;
  for (const SiteRecord& site : sites_) items.push_back(SiteItem(site));
  remotePane_.Assign(std::move(items));
  SaveSites();
}

void MainLogic::SaveSites() {
  if (const platform::WriteResult saved = SaveSiteList(sites_, programDirectory_); !saved)
    prompts_.ReportError(saved.error);
}

}  // namespace session
