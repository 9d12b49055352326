#pragma once
// A temporary directory for tests of the program's files, with byte-exact file access.
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

class ScratchDir {
 public:
  // Ends with "/", as the program's directory does.
  std::string Path() const { return dir_.path().toStdString() + "/"; }
  std::string File(const std::string& name) const { return Path() + name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

  // Permission bits, e.g. 0600.
  unsigned Mode(const std::string& name) const {
    struct stat info {};
    ::stat(File(name).c_str(), &info);
    return info.st_mode & 07777;
  }

  void SetMode(const std::string& name, unsigned mode) const { ::chmod(File(name).c_str(), mode); }

  // Names in the directory, to see that no temporary file was left behind.
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(Path()),
                                                  std::filesystem::directory_iterator()));
  }

 private:
  QTemporaryDir dir_;
};
