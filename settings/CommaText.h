#pragma once
// Comma text: a list of strings on one line, as kept in options.ftp (file extensions,
// keep-alive commands), commands.txt and Answer.txt.
//   List,"List all","say ""hi""",""
//
// Writing: items are joined by commas; an item holding a character of code 32 or below, a
// double quote or a comma is enclosed in double quotes with inner quotes doubled. An empty
// item is written as "" wherever it stands, so that a trailing empty item is not lost on
// reading; an empty list is an empty text. The text is one line of a file: an item is cut
// at its first line break, which no quoting could carry.
// Reading: blanks and control characters separate items just as commas do; a quoted item
// runs to its closing quote (a doubled quote is one quote) or to the end of the text.
#include <string>
#include <string_view>
#include <vector>

std::string FormatCommaText(const std::vector<std::string>& items);

// The item in double quotes, inner quotes doubled, whether it needs them or not.
std::string QuoteCommaItem(std::string_view item);

std::vector<std::string> ParseCommaText(std::string_view text);
