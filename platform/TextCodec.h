#pragma once
// Text held as bytes: our files and strings are UTF-8, while files made on Windows are in
// code page 1251. These helpers tell the two apart, convert between them, and count or cut
// text by characters without splitting a multi-byte UTF-8 sequence. A byte that does not
// start a valid UTF-8 sequence counts as one character, so any bytes are safe to pass.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

bool IsValidUtf8(std::string_view bytes);

std::string Cp1251ToUtf8(std::string_view bytes);

// Characters that code page 1251 cannot hold, and bytes that are not valid UTF-8, become '?'.
std::string Utf8ToCp1251(std::string_view text);

// The UTF-8 encoding of U+FEFF, which marks a file as UTF-8 when it stands at its start.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The UTF-8 text of some bytes: the bytes themselves when they are valid UTF-8, otherwise
// their conversion from code page 1251.
std::string DecodeTextBytes(std::string_view bytes);

std::size_t CountChars(std::string_view text);

// The longest prefix of `text` holding at most `maxChars` characters.
std::string_view CutToChars(std::string_view text, std::size_t maxChars);

}  // namespace platform
