#include "sites/HostTypes.h"

#include <optional>

#include "platform/ProgramDirectory.h"
#include "settings/CommaText.h"
#include "sites/SiteRecord.h"

std::vector<HostType> LoadHostTypes(const std::string& directory) {
  std::vector<HostType> hostTypes;
  const std::optional<std::vector<std::string>> lines =
      platform::ReadTextLines(platform::FileInDirectory(directory, kHostTypesFileName));
  for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
    const std::vector<std::string> fields = ParseCommaText(line);
    if (fields.empty()) continue;
    hostTypes.push_back({fields[0], fields.size() > 1 ? fields[1] : kDefaultAnswerCode});
  }
  if (hostTypes.empty()) hostTypes.push_back({kDefaultAnswerName, kDefaultAnswerCode});
  return hostTypes;
}

platform::WriteResult SaveHostTypes(const std::vector<HostType>& hostTypes, const std::string& directory) {
  std::vector<std::string> lines;
  lines.reserve(hostTypes.size());
  for (const HostType& hostType : hostTypes) {
    lines.push_back(QuoteCommaItem(hostType.Name) + "," + FormatCommaText({hostType.Code}));
  }
  return platform::WriteTextLines(platform::FileInDirectory(directory, kHostTypesFileName), lines,
                                  platform::FileAccess::Shared);
}
