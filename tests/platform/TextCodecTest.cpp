// UTF-8 recognition and the character sets of server names: what a set's bytes show as,
// what text becomes on the way to the server, and what a set refuses.
#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"

using namespace platform;

namespace {

TEST(TextCodec, RecognisesValidUtf8) {
  struct Row {
    const char* name;
    std::string bytes;
    bool valid;
  };
  const Row rows[] = {
      {"ascii with NUL", std::string("a\0b", 3), true},
      {"cyrillic", "Привет", true},
      {"four-byte emoji", "\xF0\x9F\x98\x80", true},
      {"cp1251 cyrillic", "\xCF\xF0\xE8\xE2\xE5\xF2", false},
      {"overlong slash", "\xC0\xAF", false},
      {"surrogate half", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"cut sequence at end", "ab\xD0", false},
      {"lone continuation byte", "\x80", false},
  };
  for (const Row& row : rows) EXPECT_EQ(IsValidUtf8(row.bytes), row.valid) << row.name;
}

// What a set's bytes show as (decoding never fails); where the set holds the text, the text
// also goes back to the server as those bytes.
TEST(TextCodec, EachSetShowsItsBytesAndCarriesItsText) {
  struct Row {
    const char* name;
    CharacterSet set;
    std::string bytes;
    std::string text;
    bool carried;
  };
  const Row rows[] = {
      {"cp1251", CharacterSet::Cp1251, "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8", "Привет Ёё", true},
      {"koi8-r", CharacterSet::Koi8R, "\xF0\xD2\xC9\xD7\xC5\xD4 \xB3\xA3", "Привет Ёё", true},
      {"cp866", CharacterSet::Cp866, "\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1", "Привет Ёё", true},
      {"iso-8859-5", CharacterSet::Iso8859_5, "\xBF\xE0\xD8\xD2\xD5\xE2 \xA1\xF1", "Привет Ёё", true},
      {"utf-8 holds every character", CharacterSet::Utf8, "Привет 😀", "Привет 😀", true},
      {"automatic sends utf-8", CharacterSet::Automatic, "Отчёт 😀.txt", "Отчёт 😀.txt", true},
      {"automatic shows what is not utf-8 as cp1251", CharacterSet::Automatic, "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет",
       false},
      {"utf-8 marks each invalid byte", CharacterSet::Utf8, "a\xFF\xD0" "b", "a\xEF\xBF\xBD\xEF\xBF\xBD" "b", false},
      {"utf-8 bytes read as koi8-r are another text, not an error", CharacterSet::Koi8R, "\xD0\x9F", "п÷", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DecodeText(row.bytes, row.set), row.text) << row.name;
    if (!row.carried) continue;
    const EncodedText encoded = EncodeText(row.text, row.set);
    EXPECT_TRUE(encoded.ok) << row.name;
    EXPECT_EQ(encoded.bytes, row.bytes) << row.name;
  }
}

TEST(TextCodec, EncodingRefusesWhatTheSetCannotHold) {
  struct Row {
    const char* name;
    CharacterSet set;
    std::string text;
    std::string unencodable;
  };
  const Row rows[] = {
      {"koi8-r has no Ukrainian Ґ", CharacterSet::Koi8R, "Ґанок.txt", "Ґ"},
      {"cp866 has no euro sign", CharacterSet::Cp866, "цена €.txt", "€"},
      {"iso-8859-5 has no euro sign", CharacterSet::Iso8859_5, "€", "€"},
      {"cp1251 has no emoji, the first one is named", CharacterSet::Cp1251, "a😀b😁", "😀"},
      {"invalid input bytes in a single-byte set", CharacterSet::Cp1251, "a\xFF", "\xEF\xBF\xBD"},
      {"invalid input bytes in utf-8", CharacterSet::Utf8, "a\xC0\xAF", "\xEF\xBF\xBD"},
      {"invalid input bytes in automatic", CharacterSet::Automatic, "\xD0", "\xEF\xBF\xBD"},
  };
  for (const Row& row : rows) {
    const EncodedText encoded = EncodeText(row.text, row.set);
    EXPECT_FALSE(encoded.ok) << row.name;
    EXPECT_EQ(encoded.bytes, "") << row.name;
    EXPECT_EQ(encoded.unencodable, row.unencodable) << row.name;
  }
}

// A name is shown decoded but goes back to the server as its own bytes; a name typed from
// what is shown must still give those bytes.
TEST(TextCodec, EveryByteOfASingleByteSetSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const CharacterSet set : {CharacterSet::Cp1251, CharacterSet::Koi8R, CharacterSet::Cp866, CharacterSet::Iso8859_5}) {
    const std::string text = DecodeText(all, set);
    EXPECT_TRUE(IsValidUtf8(text)) << NameOf(set).id;
    EXPECT_EQ(CountChars(text), 256u) << NameOf(set).id;
    EXPECT_EQ(EncodeText(text, set).bytes, all) << NameOf(set).id;
  }
}

TEST(TextCodec, StoredIdsNameTheirSets) {
  for (const CharacterSetName& name : CharacterSetNames()) EXPECT_EQ(CharacterSetOfId(name.id), name.set) << name.id;
  EXPECT_EQ(CharacterSetOfId("KOI8-R"), CharacterSet::Koi8R);
  EXPECT_EQ(CharacterSetOfId("koi8-u"), std::nullopt);
  EXPECT_EQ(CharacterSetOfId(""), std::nullopt);
  EXPECT_EQ(CharacterSetNames().front().set, CharacterSet::Automatic);
}

}  // namespace
