#pragma once
// A private directory under /tmp, removed with everything in it when the holder goes.
// Readable and searchable by all, so servers that drop privileges can reach their files.
#include <filesystem>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
