#pragma once
// The custom command list and its file "commands.txt" in the program's directory: line 1
// holds the names as comma text, line 2 the command lines, entry i of one belonging to
// entry i of the other; further lines are ignored.
//   "List all",Site
//   "LIST -la","SITE HELP"
// A file that was edited by hand may hold lists of different lengths; they load as they
// are, so a reader must check that an index exists in the list it reads.
#include <string>
#include <vector>

#include "platform/TextFile.h"

inline constexpr const char* kCommandsFileName = "commands.txt";

struct CustomCommands {
  std::vector<std::string> CommandAliases;
  std::vector<std::string> CommandLines;
};

// `directory` is the program's directory. Both lists are empty when the file is missing,
// unreadable or shorter than two lines.
CustomCommands LoadCommands(const std::string& directory);

// Refused, with the reason, when the file could not be written or exists but could not be
// read; the caller decides whether to tell anyone.
platform::WriteResult SaveCommands(const CustomCommands& commands, const std::string& directory);
