#pragma once
// The site manager's named host types in "Answer.txt", one per line, the name in double
// quotes and the 7-character listing format code after a comma:
//   "Default",0957681
// Lines are read as comma text (settings/CommaText.h): field 1 is the name, field 2 the
// code, further fields are ignored; a line with only a name gets the standard code, an empty
// line is skipped. The name is always quoted, the code when it needs to be (a blank, a quote
// or a comma in it), so both read back; a line break in either cuts it there. The file lives
// in the program's directory, beside ftplist.TXT.
#include <string>
#include <vector>

#include "platform/TextFile.h"

inline constexpr const char* kHostTypesFileName = "Answer.txt";

struct HostType {
  std::string Name;
  std::string Code;

  bool operator==(const HostType&) const = default;
};

// `directory` is the program's directory. Never empty: a missing, unreadable or empty file
// gives the single host type "Default" with the standard code.
std::vector<HostType> LoadHostTypes(const std::string& directory);

platform::WriteResult SaveHostTypes(const std::vector<HostType>& hostTypes, const std::string& directory);
