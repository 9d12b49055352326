#pragma once
// A directory only this user can enter (mode 0700), made under the system's temporary
// directory for the life of the holder and removed with everything in it when the holder
// goes. For files the program writes for itself, such as a listing on its way from the
// server to the remote pane.
#include <filesystem>

namespace platform {

class PrivateDirectory {
 public:
  // Throws std::filesystem::filesystem_error when no directory can be made.
  PrivateDirectory();
  ~PrivateDirectory();
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The running program's process id: it tells running copies of the program apart.
long CurrentProcessId();

}  // namespace platform
