#include "session/TransferRules.h"

#include <algorithm>
#include <charconv>

namespace session {

namespace {

std::string_view WithoutLeadingSlash(std::string_view path) {
  if (path.starts_with('/')) path.remove_prefix(1);
  return path;
}

std::string_view ExtensionOf(std::string_view fileName) {
  const std::string_view name = FileNamePart(fileName);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

}  // namespace

TypeSwitch ChooseTransferType(int transferMode, std::string_view asciiExtensions, std::string_view localFileName,
                              bool binaryNow) {
  if (transferMode == 0) return binaryNow ? TypeSwitch::None : TypeSwitch::Binary;
  const std::string_view extension = ExtensionOf(localFileName);
  if (extension.empty() || asciiExtensions.find(extension) == std::string_view::npos) return TypeSwitch::Binary;
  if (transferMode == 1) return binaryNow ? TypeSwitch::Ascii : TypeSwitch::None;
  return binaryNow ? TypeSwitch::None : TypeSwitch::Binary;
}

std::string QueueEntry(std::string_view path, std::string_view size) {
  std::string entry(path);
  entry += '\t';
  entry += size;
  return entry;
}

QueuedFile SplitQueueEntry(std::string_view entry) {
  const std::size_t tab = entry.find('\t');
  QueuedFile file{std::string(entry.substr(0, tab))};
  if (tab == std::string_view::npos) return file;
  const std::string_view size = entry.substr(tab + 1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), value);
  if (error == std::errc() && end == size.data() + size.size() && value >= 0) {
    file.size = value;
    file.sizeKnown = true;
  }
  return file;
}

std::string RelativeWalkPath(std::string_view walkedDirectory, std::string_view baseDirectory) {
  const std::string_view walked = WithoutLeadingSlash(walkedDirectory);
  const std::string_view base = WithoutLeadingSlash(baseDirectory);
  const std::size_t common = static_cast<std::size_t>(
      std::mismatch(walked.begin(), walked.end(), base.begin(), base.end()).first - walked.begin());
  std::string rest(walked.substr(common));
  if (!rest.empty() && !rest.ends_with('/')) rest += '/';
  return rest;
}

std::string_view FileNamePart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace session
