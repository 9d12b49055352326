#pragma once
// The stored sites in the order of "ftplist.TXT" in the program's directory, one line per
// site (sites/SiteLine.h). The file holds passwords, so it is written with mode 0600, and
// saving replaces it as a whole or leaves it as it was (platform/TextFile.h).
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFile.h"
#include "settings/options.h"
#include "sites/SiteRecord.h"

inline constexpr const char* kSiteListFileName = "ftplist.TXT";

using SiteList = std::vector<SiteRecord>;

// Index of the first site with exactly this Name, or -1; a later namesake is never found.
int FindSite(const SiteList& sites, std::string_view name);

// `directory` is the program's directory. Replaces `sites` with the file's sites and returns
// true; returns false and leaves `sites` as it was when the file is missing or unreadable.
// Empty lines are skipped; any other line yields a site, with an empty name when it holds
// no Name pair.
bool LoadSiteList(SiteList& sites, const ProgramOptions& options, const std::string& directory);

// Refused, with the reason, when the file could not be written or exists but could not be
// read: a list that never held the file's sites must not replace them.
platform::WriteResult SaveSiteList(const SiteList& sites, const std::string& directory);
