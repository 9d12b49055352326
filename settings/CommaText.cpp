#include "settings/CommaText.h"

#include "platform/TextFile.h"

namespace {

constexpr char kQuote = '"';

// Code 32 and below, NUL included, separates unquoted items.
bool IsSeparatorBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(std::string_view item) {
  if (item.empty()) return true;
  for (const char c : item) {
    if (IsSeparatorBlank(c) || c == kQuote || c == ',') return true;
  }
  return false;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsSeparatorBlank(text[pos])) ++pos;
}

// `pos` stands on the opening quote; leaves it after the closing one.
std::string ReadQuotedItem(std::string_view text, std::size_t& pos) {
  std::string item;
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] != kQuote) {
      item += text[pos];
    } else if (pos + 1 < text.size() && text[pos + 1] == kQuote) {
      item += kQuote;
      ++pos;
    } else {
      ++pos;
      break;
    }
  }
  return item;
}

std::string ReadPlainItem(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && !IsSeparatorBlank(text[pos]) && text[pos] != ',') ++pos;
  return std::string(text.substr(start, pos - start));
}

}  // namespace

std::string FormatCommaText(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ',';
    const std::string_view item = platform::FirstLine(items[i]);
    text += NeedsQuotes(item) ? QuoteCommaItem(item) : item;
  }
  return text;
}

std::string QuoteCommaItem(std::string_view item) {
  std::string out(1, kQuote);
  for (const char c : platform::FirstLine(item)) {
    if (c == kQuote) out += kQuote;
    out += c;
  }
  out += kQuote;
  return out;
}

std::vector<std::string> ParseCommaText(std::string_view text) {
  std::vector<std::string> items;
  std::size_t pos = 0;
  SkipBlanks(text, pos);
  while (pos < text.size()) {
    items.push_back(text[pos] == kQuote ? ReadQuotedItem(text, pos) : ReadPlainItem(text, pos));
    SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      SkipBlanks(text, pos);
    }
  }
  return items;
}
