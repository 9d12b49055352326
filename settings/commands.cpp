#include "settings/commands.h"

#include <optional>

#include "platform/ProgramDirectory.h"
#include "settings/CommaText.h"

CustomCommands LoadCommands(const std::string& directory) {
  const std::optional<std::vector<std::string>> lines =
      platform::ReadTextLines(platform::FileInDirectory(directory, kCommandsFileName));
  if (!lines || lines->size() < 2) return {};
  return {ParseCommaText((*lines)[0]), ParseCommaText((*lines)[1])};
}

platform::WriteResult SaveCommands(const CustomCommands& commands, const std::string& directory) {
  return platform::WriteTextLines(platform::FileInDirectory(directory, kCommandsFileName),
                                  {FormatCommaText(commands.CommandAliases),
                                   FormatCommaText(commands.CommandLines)},
                                  platform::FileAccess::Shared);
}
