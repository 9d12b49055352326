#pragma once
// One parsed line of a server's directory listing. Texts are bytes as the server sent them,
// cut from the line; nothing is converted or re-encoded.
#include <string>

namespace listing {

struct RemoteEntry {
  std::string name;        // a symbolic link's name without its " -> target"
  std::string size;        // size column; empty for MsFtp4 directories and links to directories
  std::string date;        // "dd.mm.yy" in the Standard format, "error" for an unreadable
                           // Standard line, the raw column text in the others
  std::string time;        // as the server wrote it; empty when the line gives a year
  std::string attributes;  // permission string such as "drwxr-xr-x"; empty in Text and MsFtp4
  bool isDirectory = false;

  bool operator==(const RemoteEntry&) const = default;
};

}  // namespace listing
