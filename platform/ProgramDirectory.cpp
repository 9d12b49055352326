#include "platform/ProgramDirectory.h"

#include <filesystem>

namespace platform {

std::string ProgramDirectory() {
  std::error_code error;
  std::filesystem::path directory = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  if (error || directory.empty()) directory = std::filesystem::current_path(error);
  if (error || directory.empty()) return "./";
  std::string text = directory.string();
  if (!text.ends_with('/')) text += '/';
  return text;
}

std::string FileInDirectory(const std::string& directory, std::string_view name) {
  return (std::filesystem::path(directory) / name).string();
}

}  // namespace platform
