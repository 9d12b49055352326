#include "ftp/FtpReply.h"

#include <algorithm>

#include "platform/StringUtils.h"

size_t GetInteger(const std::string& text, size_t pos, int64_t& value) {
  value = 0;
  while (pos < text.size() && (text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r' || text[pos] == ' '))
    ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  constexpr int64_t kLimit = INT64_MAX / 10 - 10;
  while (pos < text.size() && platform::IsDigit(text[pos])) {
    if (value < kLimit) value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (negative) value = -value;
  return pos;
}

std::string GetQuotedString(const std::string& text, size_t pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos >= text.size() || text[pos] != '"') return {};
  std::string result;
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] != '"') {
      result += text[pos];
    } else if (pos + 1 < text.size() && text[pos + 1] == '"') {
      result += '"';
      ++pos;
    } else {
      break;
    }
  }
  return result;
}

bool IsFinalReplyLine(const std::string& line, int& code) {
  if (line.empty() || !platform::IsDigit(line[0])) return false;
  int64_t value = 0;
  const size_t after = GetInteger(line, 0, value);
  if (after < line.size() && line[after] == '-') return false;
  code = static_cast<int>(std::min<int64_t>(value, INT32_MAX));
  return true;
}

namespace {

// The first `length` bytes of `text` without the CR and LF characters that end them.
std::string WithoutLineEnd(const std::string& text, size_t length) {
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  return text.substr(0, length);
}

}  // namespace

void FtpReplyAssembler::Append(const char* data, size_t len) { held_.append(data, std::min(len, Room())); }

void FtpReplyAssembler::Clear() {
  held_.clear();
  droppingRest_ = false;
  cutAfterCR_ = false;
}

bool FtpReplyAssembler::NextLine(std::string& line, bool acceptLF) {
  for (;;) {
    // A cut between the CR and the LF of a CR LF: that LF ends the part being dropped, or
    // the dropping would run on into the next reply.
    if (cutAfterCR_ && !held_.empty()) {
      cutAfterCR_ = false;
      if (held_[0] == '\n') {
        held_.erase(0, 1);
        droppingRest_ = false;
      }
    }
    const size_t end = acceptLF ? held_.find('\n') : held_.find("\r\n");
    if (end == std::string::npos) {
      if (held_.size() < kCapacity) return false;
      // A full buffer without a terminator: cut the line here, drop the rest of it later.
      const bool deliver = !droppingRest_;
      if (deliver) line = WithoutLineEnd(held_, held_.size());
      cutAfterCR_ = held_.back() == '\r';
      held_.clear();
      droppingRest_ = true;
      if (deliver) return true;
      continue;
    }
    const bool deliver = !droppingRest_;
    droppingRest_ = false;
    if (deliver) line = WithoutLineEnd(held_, end);
    held_.erase(0, end + (acceptLF ? 1 : 2));
    if (deliver) return true;
  }
}
