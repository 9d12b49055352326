#pragma once
// Text held as bytes: our files and strings are UTF-8, while files made on Windows are in
// code page 1251. These helpers tell the two apart, convert between them, and count or cut
// text by characters without splitting a multi-byte UTF-8 sequence. A byte that does not
// start a valid UTF-8 sequence counts as one character, so any bytes are safe to pass.
//
// A server's names may be in one of several character sets, chosen per site. DecodeText
// turns such bytes into UTF-8 for display and never fails; EncodeText turns UTF-8 into the
// set's bytes for the server and fails, naming the character, rather than put something
// else in its place. Every byte of the single-byte sets stands for one character, so
// encoding what was decoded gives the very bytes back.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

bool IsValidUtf8(std::string_view bytes);

std::string Cp1251ToUtf8(std::string_view bytes);

// The UTF-8 encoding of U+FEFF, which marks a file as UTF-8 when it stands at its start.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The UTF-8 text of some bytes: the bytes themselves when they are valid UTF-8, otherwise
// their conversion from code page 1251.
std::string DecodeTextBytes(std::string_view bytes);

std::size_t CountChars(std::string_view text);

// The longest prefix of `text` holding at most `maxChars` characters.
std::string_view CutToChars(std::string_view text, std::size_t maxChars);

// Automatic is the program's rule for bytes of unknown origin (DecodeTextBytes), and sends
// text as UTF-8.
enum class CharacterSet { Automatic, Utf8, Cp1251, Koi8R, Cp866, Iso8859_5 };

struct CharacterSetName {
  CharacterSet set;
  std::string_view id;       // as stored: "auto", "utf-8", "cp1251", "koi8-r", "cp866", "iso-8859-5"
  std::string_view caption;  // as offered to the user
};

// Every set, Automatic first, in the order they are offered.
std::span<const CharacterSetName> CharacterSetNames();

const CharacterSetName& NameOf(CharacterSet set);

// The set a stored id names (ASCII case ignored); nothing for an id we do not know.
std::optional<CharacterSet> CharacterSetOfId(std::string_view id);

// UTF-8 text for display. In UTF-8, each byte that starts no valid sequence shows as U+FFFD.
std::string DecodeText(std::string_view bytes, CharacterSet set);

struct EncodedText {
  bool ok = false;
  std::string bytes;        // the text in the set; empty when not ok
  std::string unencodable;  // when not ok: the first character the set cannot hold, in UTF-8
                            // (U+FFFD for a byte of the input that is not valid UTF-8)
};

// The server's bytes for UTF-8 text; Automatic and UTF-8 take valid UTF-8 as it is.
EncodedText EncodeText(std::string_view utf8, CharacterSet set);

}  // namespace platform
