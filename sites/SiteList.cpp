#include "sites/SiteList.h"

#include <optional>

#include "platform/ProgramDirectory.h"
#include "sites/SiteLine.h"

int FindSite(const SiteList& sites, std::string_view name) {
  for (std::size_t i = 0; i < sites.size(); ++i) {
    if (sites[i].Name == name) return static_cast<int>(i);
  }
  return -1;
}

bool LoadSiteList(SiteList& sites, const ProgramOptions& options, const std::string& directory) {
  const std::optional<std::vector<std::string>> lines =
      platform::ReadTextLines(platform::FileInDirectory(directory, kSiteListFileName));
  if (!lines) return false;
  sites.clear();
  for (const std::string& line : *lines) {
    if (!line.empty()) sites.push_back(ParseSiteLine(line, options));
  }
  return true;
}

platform::WriteResult SaveSiteList(const SiteList& sites, const std::string& directory) {
  std::vector<std::string> lines;
  lines.reserve(sites.size());
  for (const SiteRecord& site : sites) lines.push_back(FormatSiteLine(site));
  return platform::WriteTextLines(platform::FileInDirectory(directory, kSiteListFileName), lines,
                                  platform::FileAccess::OwnerOnly);
}
