#pragma once
// The site manager's named host types in "Answer.txt", one per line, the name in double
// quotes and the 7-character listing format code after a comma:
//   "Default",0957681
// Lines are read as comma text (settings/CommaText.h): field 1 is the name, field 2 the
// code, further fields are ignored; a line with only a name gets the standard code, an empty
// line is skipped. A double quote inside a name is doubled on writing, so it reads back.
// The file is named without a directory: it lives in the current directory.
#include <string>
#include <vector>

inline constexpr const char* kHostTypesFileName = "Answer.txt";

struct HostType {
  std::string Name;
  std::string Code;
};

// Never empty: a missing, unreadable or empty file gives the single host type "Default"
// with the standard code.
std::vector<HostType> LoadHostTypes(const std::string& path = kHostTypesFileName);

[[nodiscard]] bool SaveHostTypes(const std::vector<HostType>& hostTypes,
                                 const std::string& path = kHostTypesFileName);
