#pragma once
// The program's pictures: the icon theme of the desktop where it has a fitting icon, and
// pictures bundled with the program where it has none, so the program looks right anywhere.
#include <QIcon>
#include <QStyle>

namespace shell {

// The image of a pane item by its index (listing::PaneImage): a directory, a file or a
// stored site. Each icon serves both the small (16 px) and the large (32 px) views.
QIcon PaneItemIcon(int image);

// The local computer, as the progress window shows it beside the server.
QIcon ComputerIcon();

// The program's own icon (windows, the desktop's menu).
QIcon ProgramIcon();

// A themed icon by its freedesktop name, or the style's standard picture.
QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback);

inline constexpr int kSmallIconSize = 16;
inline constexpr int kLargeIconSize = 32;

}  // namespace shell
