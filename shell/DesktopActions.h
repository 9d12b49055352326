#pragma once
// What the local pane asks of the desktop: showing a file as text in the program's own
// viewer, and opening a file the way the desktop does.
#include <cstdint>
#include <filesystem>
#include <string>

class QWidget;

namespace shell {

// Opens a viewer window on `file`: its text read-only, decoded as UTF-8 or, failing that,
// as code page 1251, in a fixed-pitch font. The window lives until the user closes it;
// several may be open at once. Files beyond kViewerLimit show their beginning only.
// False, with the system's message in `error`, when the file cannot be read.
inline constexpr std::uintmax_t kViewerLimit = 16 * 1024 * 1024;
bool ShowTextFile(const std::filesystem::path& file, QWidget* parent, std::string& error);

// An executable file starts as a program in `workingDirectory`; any other file opens in
// the program the desktop associates with it. False when neither could be started.
bool RunFile(const std::filesystem::path& file, const std::filesystem::path& workingDirectory);

}  // namespace shell
