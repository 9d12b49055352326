#include "shell/Icons.h"

#include <QApplication>
#include <array>

#include "listing/PaneItem.h"

namespace shell {

QIcon PaneItemIcon(int image) {
  static const std::array<QIcon, 3> icons = {
      QIcon::fromTheme("folder", QIcon(":/marlo/icons/folder.svg")),
      QIcon::fromTheme("text-x-generic", QIcon(":/marlo/icons/file.svg")),
      QIcon::fromTheme("network-server", QIcon(":/marlo/icons/site.svg")),
  };
  if (image < 0 || image >= static_cast<int>(icons.size())) return icons[listing::kImageFile];
  return icons[static_cast<std::size_t>(image)];
}

QIcon ComputerIcon() { return QIcon::fromTheme("computer", QIcon(":/marlo/icons/computer.svg")); }

QIcon ProgramIcon() { return QIcon(":/marlo/marlo.svg"); }

QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(name, QApplication::style()->standardIcon(fallback));
}

}  // namespace shell
