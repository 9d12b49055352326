#include "listing/ListingFile.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/TextCodec.h"

namespace listing {

namespace {

constexpr std::size_t kMinEntryLineLength = 20;
constexpr std::size_t kMaxUtf8Length = 4;

// Characters as shown: code points of valid UTF-8, bytes of anything else (code page text).
std::size_t CharacterCount(std::string_view text) {
  return platform::IsValidUtf8(text) ? platform::CountChars(text) : text.size();
}

// A machine listing has no lines like "total 12", and its short lines ("type=dir; a") are
// entries too.
bool IsEntryLine(std::string_view line, ListingFormat format) {
  if (format == ListingFormat::Mlsd) return !line.empty();
  if (line.size() < kMinEntryLineLength) return false;
  if (line.size() >= kMinEntryLineLength * kMaxUtf8Length) return true;
  return CharacterCount(line) >= kMinEntryLineLength;
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The line without its CR, cut to kMaxListingLine bytes. The cut backs off over the
// continuation bytes of a character it would split.
std::string_view BoundedLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (line.size() <= kMaxListingLine) return line;
  std::size_t cut = kMaxListingLine;
  while (cut > kMaxListingLine - (kMaxUtf8Length - 1) && IsUtf8Continuation(line[cut])) --cut;
  return line.substr(0, cut);
}

// Cuts the bytes read into lines. A line that lies within one block is handed on as a view
// into it; only a line spanning blocks is gathered, and of that no more than the line bound
// (plus the byte that may be its CR) is kept.
class LineAssembler {
 public:
  explicit LineAssembler(std::function<bool(std::string_view)> onLine) : onLine_(std::move(onLine)) {}

  // False once the receiver of the lines asked to stop.
  bool Feed(std::string_view bytes) {
    for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
      if (!Deliver(bytes.substr(0, end))) return false;
      bytes.remove_prefix(end + 1);
    }
    Gather(bytes);
    return true;
  }

  // The last line, which no LF ended.
  bool Finish() { return partial_.empty() || Deliver({}); }

 private:
  bool Deliver(std::string_view tail) {
    if (partial_.empty()) return onLine_(BoundedLine(tail));
    Gather(tail);
    const bool more = onLine_(BoundedLine(partial_));
    partial_.clear();
    return more;
  }

  void Gather(std::string_view bytes) {
    const std::size_t room = kMaxListingLine + 1 - std::min(partial_.size(), kMaxListingLine + 1);
    partial_.append(bytes.substr(0, room));
  }

  std::function<bool(std::string_view)> onLine_;
  std::string partial_;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string ListingFileNameForProcess(long processId) {
  return "FTPDIR" + std::to_string(processId) + ".TXT";
}

ListingReadResult TakeListingEntries(const std::filesystem::path& file, const ListingContext& context,
                                     const ListingLimits& limits,
                                     const std::function<void(RemoteEntry)>& onEntry) {
  ListingReadResult result;
  const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) return {ListingReadOutcome::Unreadable};
  const ListingFormat format = ListingFormatOf(context);
  LineAssembler lines([&](std::string_view line) {
    if (!IsEntryLine(line, format)) return true;
    std::optional<RemoteEntry> entry = ParseListingLine(line, context);
    if (!entry) return true;
    if (result.entries == limits.maxEntries) return false;
    ++result.entries;
    onEntry(std::move(*entry));
    return true;
  });

  std::vector<char> block(kListingReadBlock);
  std::uint64_t left = limits.maxBytes;
  bool stopped = false;
  while (!stopped && left > 0) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), left));
    const std::size_t got = std::fread(block.data(), 1, wanted, in.get());
    left -= got;
    stopped = !lines.Feed({block.data(), got});
    if (got < wanted) break;
  }
  if (std::ferror(in.get())) return {ListingReadOutcome::Unreadable, result.entries};
  // At the byte limit, one more byte tells a listing that ends there from a longer one.
  stopped = stopped || (left == 0 && std::fgetc(in.get()) != EOF) || !lines.Finish();
  if (stopped) result.outcome = ListingReadOutcome::CutShort;

  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return result;
}

std::string ListingCutShortText(const ListingReadResult& result, const ListingLimits& limits) {
  if (result.outcome != ListingReadOutcome::CutShort) return {};
  return "Listing too large (over " + std::to_string(limits.maxEntries) + " entries or " +
         std::to_string(limits.maxBytes) + " bytes): only its first " +
         std::to_string(result.entries) + " entries were read";
}

}  // namespace listing
