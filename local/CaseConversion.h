#pragma once
// The case changes of the "Изменить регистр" menus, for local and remote names alike. Only
// the Latin letters a..z and A..Z change; every other byte stays, so UTF-8 names (Cyrillic
// letters included) keep their bytes and stay valid.
#include <string>
#include <string_view>

namespace local {

// The menu entries' tags.
enum class CaseMode : int {
  Upper = 0,     // "БОЛЬШИЕ БУКВЫ"
  Lower = 1,     // "маленькие буквы"
  Sentence = 2,  // "Как в предложении": lower case, then a leading a..z upper-cased
};

// A mode outside the three leaves the name as it is.
std::string ConvertCase(std::string_view name, CaseMode mode);

}  // namespace local
