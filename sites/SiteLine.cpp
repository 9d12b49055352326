#include "sites/SiteLine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "platform/IniFile.h"
#include "platform/TextFile.h"

namespace {

// Exactly one of `text` and `flag` is set.
struct SiteKey {
  std::string_view key;  // with its "="
  std::string SiteRecord::*text = nullptr;
  bool SiteRecord::*flag = nullptr;
  bool unreadableFlag = false;  // the flag's value when the line's value is not a number
};

constexpr SiteKey Text(std::string_view key, std::string SiteRecord::*member) {
  return {key, member, nullptr, false};
}

constexpr SiteKey Flag(std::string_view key, bool SiteRecord::*member, bool unreadable) {
  return {key, nullptr, member, unreadable};
}

// The order in which the pairs are written.
constexpr std::array<SiteKey, 18> kSiteKeys = {
    Text("Name=", &SiteRecord::Name),
    Text("Server=", &SiteRecord::Server),
    Text("Port=", &SiteRecord::Port),
    Text("Password=", &SiteRecord::Password),
    Text("User=", &SiteRecord::User),
    Text("Account=", &SiteRecord::Account),
    Text("Description=", &SiteRecord::Description),
    Text("InitialDir=", &SiteRecord::InitialDir),
    Flag("Anonymous=", &SiteRecord::Anonymous, true),
    Flag("SavePassword=", &SiteRecord::SavePassword, true),
    Text("ModifiedDate=", &SiteRecord::ModifiedDate),
    Text("EMail=", &SiteRecord::EMail),
    Text("LocalDir=", &SiteRecord::LocalDir),
    Flag("Pasv=", &SiteRecord::Pasv, false),
    Text("Desc=", &SiteRecord::Desc),
    Text("Answer=", &SiteRecord::Answer),
    Text("AnswerName=", &SiteRecord::AnswerName),
    Flag("CheckPSW=", &SiteRecord::CheckPSW, true),
};

void StoreValue(const SiteKey& key, std::string_view value, SiteRecord& site) {
  if (key.text) {
    site.*key.text = std::string(value);
    return;
  }
  const std::optional<std::int32_t> number = platform::ParseProfileInteger(value);
  site.*key.flag = number ? *number != 0 : key.unreadableFlag;
}

// `pair` is the text between two ";"; only the first pair of each key is stored.
void ApplyPair(std::string_view pair, SiteRecord& site, std::array<bool, kSiteKeys.size()>& seen) {
  for (std::size_t i = 0; i < kSiteKeys.size(); ++i) {
    if (!pair.starts_with(kSiteKeys[i].key)) continue;
    if (!seen[i]) StoreValue(kSiteKeys[i], pair.substr(kSiteKeys[i].key.size()), site);
    seen[i] = true;
    return;
  }
}

// The value as it can stand on the site's line (see SiteLine.h).
std::string OneLineValue(const SiteKey& key, std::string_view value) {
  if (key.text != &SiteRecord::Desc) return std::string(platform::FirstLine(value));
  std::string joined;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\r' && value[i] != '\n') {
      joined += value[i];
      continue;
    }
    joined += kDescLineSeparator;
    if (value.compare(i, 2, "\r\n") == 0) ++i;
  }
  return joined;
}

}  // namespace

SiteRecord ParseSiteLine(std::string_view line, const ProgramOptions& options) {
  SiteRecord site = NewSiteRecord(options);
  std::array<bool, kSiteKeys.size()> seen{};
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t end = std::min(line.find(';', start), line.size());
    ApplyPair(line.substr(start, end - start), site, seen);
    start = end + 1;
  }
  FitSiteWidths(site);
  return site;
}

std::string FormatSiteLine(const SiteRecord& site) {
  std::string line;
  for (const SiteKey& key : kSiteKeys) {
    if (key.text && (site.*key.text).empty()) continue;
    const std::string value = key.text ? OneLineValue(key, site.*key.text) : (site.*key.flag ? "1" : "0");
    line.append(key.key).append(value).append(";");
  }
  return line;
}
