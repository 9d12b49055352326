#include "sites/HostTypes.h"

#include <optional>

#include "platform/TextFile.h"
#include "settings/CommaText.h"
#include "sites/SiteRecord.h"

std::vector<HostType> LoadHostTypes(const std::string& path) {
  std::vector<HostType> hostTypes;
  const std::optional<std::vector<std::string>> lines = platform::ReadTextLines(path);
  for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
    const std::vector<std::string> fields = ParseCommaText(line);
    if (fields.empty()) continue;
    hostTypes.push_back({fields[0], fields.size() > 1 ? fields[1] : kDefaultAnswerCode});
  }
  if (hostTypes.empty()) hostTypes.push_back({kDefaultAnswerName, kDefaultAnswerCode});
  return hostTypes;
}

bool SaveHostTypes(const std::vector<HostType>& hostTypes, const std::string& path) {
  std::vector<std::string> lines;
  lines.reserve(hostTypes.size());
  for (const HostType& hostType : hostTypes) lines.push_back(QuoteCommaItem(hostType.Name) + "," + hostType.Code);
  return platform::WriteTextLines(path, lines, platform::FileAccess::Shared);
}
