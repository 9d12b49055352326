#pragma once
// The rules of the permissions dialog, apart from its widgets. The nine boxes are the
// permission bits in the order of a listing's permission text: owner read, write, execute,
// then group, then public. The mode is shown as three octal digits ("755").
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dialogs {

using PermissionBoxes = std::array<bool, 9>;

// The mode of a permission text such as "-rwxr-xr-x" (case does not matter; character 1 is
// the entry type and is skipped; a missing character counts as absent): "755". Empty when
// no bit is set, so "----------" and a one-character text give "".
std::string ModeTextFromPermissions(std::string_view permissions);

// The boxes that a mode text stands for. An empty text clears every box; a text that is not
// one to three octal digits changes nothing (nullopt). A shorter text is a smaller number:
// "7" is public read, write and execute.
std::optional<PermissionBoxes> BoxesFromModeText(std::string_view text);

// Always three digits, "000" included.
std::string ModeTextFromBoxes(const PermissionBoxes& boxes);

// The mode the dialog returns: the text read as a decimal number (so "755" gives 755, which
// the caller prints back as three octal digits); nullopt when it is not one to three octal
// digits.
std::optional<int> ModeFromText(std::string_view text);

// Whether a typed character may enter the mode text; any other printable character erases
// the one before the caret instead.
inline bool IsModeDigit(char c) { return c >= '0' && c <= '7'; }

}  // namespace dialogs
