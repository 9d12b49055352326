#include "platform/TextCodec.h"

#include <algorithm>
#include <array>

namespace platform {
namespace {

// The code points of the bytes 0x80..0xFF of a single-byte character set; below 0x80 every
// set is ASCII.
using HighHalf = std::array<char16_t, 128>;

// Code page 1251. 0x98 has no character and maps to U+0098 so that it still survives a
// round trip.
constexpr HighHalf kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr HighHalf kKoi8R = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,  // 80
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,  // 88
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,  // 90
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,  // 98
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,  // A0
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,  // A8
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,  // B0
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,  // B8
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  // C0
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  // C8
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  // D0
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,  // D8
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,  // E0
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,  // E8
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,  // F0
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,  // F8
};

// Code page 866 (the Russian DOS code page).
constexpr HighHalf kCp866 = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

constexpr HighHalf kIso8859_5 = {
    0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087,  // 80
    0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F,  // 88
    0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097,  // 90
    0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F,  // 98
    0x00A0, 0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407,  // A0
    0x0408, 0x0409, 0x040A, 0x040B, 0x040C, 0x00AD, 0x040E, 0x040F,  // A8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // B0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // B8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // C0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // C8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // D0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x2116, 0x0451, 0x0452, 0x0453, 0x0454, 0x0455, 0x0456, 0x0457,  // F0
    0x0458, 0x0459, 0x045A, 0x045B, 0x045C, 0x00A7, 0x045E, 0x045F,  // F8
};

constexpr CharacterSetName kNames[] = {
    {CharacterSet::Automatic, "auto", "Автоматически (UTF-8 или CP1251)"},
    {CharacterSet::Utf8, "utf-8", "UTF-8"},
    {CharacterSet::Cp1251, "cp1251", "CP1251 (Windows)"},
    {CharacterSet::Koi8R, "koi8-r", "KOI8-R"},
    {CharacterSet::Cp866, "cp866", "CP866 (DOS)"},
    {CharacterSet::Iso8859_5, "iso-8859-5", "ISO-8859-5"},
};

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// The table of a single-byte set; none for Automatic and UTF-8.
const HighHalf* HighHalfOf(CharacterSet set) {
  switch (set) {
    case CharacterSet::Cp1251: return &kCp1251;
    case CharacterSet::Koi8R: return &kKoi8R;
    case CharacterSet::Cp866: return &kCp866;
    case CharacterSet::Iso8859_5: return &kIso8859_5;
    case CharacterSet::Automatic:
    case CharacterSet::Utf8: break;
  }
  return nullptr;
}

// The byte of a single-byte set for a code point; none when the set has no such character.
std::optional<char> ByteOf(const HighHalf& high, char32_t code) {
  if (code < 0x80) return static_cast<char>(code);
  for (std::size_t i = 0; i < high.size(); ++i) {
    if (high[i] == code) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

struct DecodedChar {
  char32_t code = 0;
  std::size_t length = 0;  // 0: no valid UTF-8 sequence starts here
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
DecodedChar DecodeUtf8At(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (text.size() - pos < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

// Length of the character at `pos`; an invalid byte stands alone.
std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  const std::size_t length = DecodeUtf8At(text, pos).length;
  return length == 0 ? 1 : length;
}

std::string DecodeSingleByte(std::string_view bytes, const HighHalf& high) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte < 0x80 ? byte : high[byte - 0x80]);
  }
  return out;
}

std::string DecodeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t length = DecodeUtf8At(bytes, pos).length;
    if (length == 0) {
      out += kReplacementUtf8;
      ++pos;
    } else {
      out += bytes.substr(pos, length);
      pos += length;
    }
  }
  return out;
}

EncodedText Unencodable(std::string_view character) { return {false, {}, std::string(character)}; }

// Checks the text and takes it as it is.
EncodedText EncodeUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = DecodeUtf8At(text, pos).length;
    if (length == 0) return Unencodable(kReplacementUtf8);
    pos += length;
  }
  return {true, std::string(text), {}};
}

EncodedText EncodeSingleByte(std::string_view text, const HighHalf& high) {
  EncodedText encoded{true, {}, {}};
  encoded.bytes.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar decoded = DecodeUtf8At(text, pos);
    if (decoded.length == 0) return Unencodable(kReplacementUtf8);
    const std::optional<char> byte = ByteOf(high, decoded.code);
    if (!byte) return Unencodable(text.substr(pos, decoded.length));
    encoded.bytes += *byte;
    pos += decoded.length;
  }
  return encoded;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t length = DecodeUtf8At(bytes, pos).length;
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string Cp1251ToUtf8(std::string_view bytes) { return DecodeText(bytes, CharacterSet::Cp1251); }

std::string DecodeTextBytes(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1251ToUtf8(bytes);
}

std::size_t CountChars(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) ++count;
  return count;
}

std::string_view CutToChars(std::string_view text, std::size_t maxChars) {
  std::size_t pos = 0;
  for (std::size_t count = 0; count < maxChars && pos < text.size(); ++count) {
    pos += CharLengthAt(text, pos);
  }
  return text.substr(0, pos);
}

std::span<const CharacterSetName> CharacterSetNames() { return kNames; }

const CharacterSetName& NameOf(CharacterSet set) {
  for (const CharacterSetName& name : kNames) {
    if (name.set == set) return name;
  }
  return kNames[0];
}

std::optional<CharacterSet> CharacterSetOfId(std::string_view id) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (const CharacterSetName& name : kNames) {
    if (std::ranges::equal(id, name.id, {}, lower)) return name.set;
  }
  return std::nullopt;
}

std::string DecodeText(std::string_view bytes, CharacterSet set) {
  if (const HighHalf* high = HighHalfOf(set)) return DecodeSingleByte(bytes, *high);
  return set == CharacterSet::Utf8 ? DecodeUtf8(bytes) : DecodeTextBytes(bytes);
}

EncodedText EncodeText(std::string_view utf8, CharacterSet set) {
  if (const HighHalf* high = HighHalfOf(set)) return EncodeSingleByte(utf8, *high);
  return EncodeUtf8(utf8);
}

}  // namespace platform
