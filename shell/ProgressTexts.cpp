#include "shell/ProgressTexts.h"

#include <algorithm>
#include <cstdio>

namespace shell {

namespace {

std::string Clock(std::int64_t seconds) {
  char text[48];
  std::snprintf(text, sizeof text, "%2lld:%2.2lld:%2.2lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds % 3600 / 60), static_cast<long long>(seconds % 60));
  return text;
}

// The estimate scales the elapsed time by size over bytes. A count beyond the size (a
// growing file, a wrong size) would give a negative estimate: there is nothing left then.
std::int64_t SecondsLeft(std::int64_t size, std::int64_t bytes, std::int64_t elapsed) {
  if (bytes <= 0) return 0;
  const __int128 needed = static_cast<__int128>(size) * elapsed / bytes;
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(needed) - elapsed);
}

std::string Rate(std::int64_t bytes, std::int64_t seconds) {
  if (seconds <= 0 || bytes <= 0) return "???";
  const std::int64_t tenthsOfKilobytes = bytes * 10 / 1024 / seconds;
  if (tenthsOfKilobytes >= 10) {
    return std::to_string(tenthsOfKilobytes / 10) + "." + std::to_string(tenthsOfKilobytes % 10) + " K/sec";
  }
  const std::int64_t perSecond = bytes / seconds;
  return perSecond > 0 ? std::to_string(perSecond) + " bytes/sec" : "???";
}

}  // namespace

ProgressTexts ProgressTextsOf(const ProgressFigures& f) {
  ProgressTexts texts;
  if (f.fileSize > 0) {
    const __int128 percent = static_cast<__int128>(std::max<std::int64_t>(f.fileBytes, 0)) * 100 / f.fileSize;
    texts.bar = static_cast<int>(std::min<__int128>(percent, 100));
  }
  const std::int64_t fileSeconds = f.fileMs / 1000;
  const std::int64_t batchSeconds = f.batchMs / 1000;
  texts.transferred = std::to_string(f.fileBytes);
  texts.time = Clock(fileSeconds);
  texts.timeLeft = Clock(SecondsLeft(f.fileSize, f.fileBytes, fileSeconds));
  texts.totalTransferred = std::to_string(f.batchBytes);
  texts.totalTime = Clock(batchSeconds);
  texts.rate = Rate(f.batchBytes, batchSeconds);
  return texts;
}

std::string ProgressCaption(std::string_view path, std::int64_t size, bool sending) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return (sending ? "Sending   " : "Receiving ") + std::string(name) + " (" + std::to_string(size) + " bytes)";
}

int NextFrame(int frame, bool sending) {
  if (sending) return frame >= kLastFrame ? 0 : frame + 1;
  return frame <= 0 ? kLastFrame : frame - 1;
}

}  // namespace shell
