// Text codecs, whole-file text storage and the INI reader/writer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdint>

#include "platform/IniFile.h"
#include "platform/ProgramDirectory.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/RandomText.h"
#include "platform/ScratchDir.h"

using namespace platform;

namespace {

const std::string kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
const std::string kPrivetCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";

TEST(TextCodec, RecognisesValidUtf8) {
  struct Row {
    const char* name;
    std::string bytes;
    bool valid;
  };
  const Row rows[] = {
      {"ascii with NUL", std::string("a\0b", 3), true},
      {"cyrillic", kPrivetUtf8, true},
      {"four-byte emoji", "\xF0\x9F\x98\x80", true},
      {"cp1251 cyrillic", kPrivetCp1251, false},
      {"overlong slash", "\xC0\xAF", false},
      {"surrogate half", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"cut sequence at end", "ab\xD0", false},
      {"lone continuation byte", "\x80", false},
  };
  for (const Row& row : rows) EXPECT_EQ(IsValidUtf8(row.bytes), row.valid) << row.name;
}

TEST(TextCodec, Cp1251RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
  EXPECT_EQ(Cp1251ToUtf8(kPrivetCp1251), kPrivetUtf8);
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD" "a\xFF"), "?a?");  // a CJK character, an invalid byte
}

TEST(TextCodec, DecodesFilesOfEitherEncoding) {
  EXPECT_EQ(DecodeTextBytes(kPrivetUtf8), kPrivetUtf8);
  EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF" "Name=a"), "Name=a");
  EXPECT_EQ(DecodeTextBytes(kPrivetCp1251), kPrivetUtf8);
}

TEST(TextCodec, CountsAndCutsWholeCharacters) {
  EXPECT_EQ(CountChars(kPrivetUtf8), 6u);
  EXPECT_EQ(CutToChars(kPrivetUtf8, 3), "\xD0\x9F\xD1\x80\xD0\xB8");
  EXPECT_EQ(CutToChars(kPrivetUtf8, 99), kPrivetUtf8);
  EXPECT_EQ(CountChars("a\xFF\xD0"), 3u);  // stray bytes count one each
  EXPECT_EQ(CutToChars("a\xD0", 1), "a");
}

TEST(TextFile, SplitsAtEveryKindOfLineBreakAndWritesCrLf) {
  ScratchDir dir;
  dir.Write("in.txt", "a\r\nb\nc\rd\r\n\r\n");
  EXPECT_EQ(ReadTextLines(dir.File("in.txt")), (std::vector<std::string>{"a", "b", "c", "d", ""}));
  ASSERT_TRUE(WriteTextLines(dir.File("out.txt"), {"x", "", "y"}, FileAccess::Shared));
  EXPECT_EQ(dir.Read("out.txt"), "x\r\n\r\ny\r\n");
  EXPECT_FALSE(ReadTextLines(dir.File("missing.txt")));
  EXPECT_FALSE(ReadTextLines(dir.Path()));
}

TEST(TextFile, OwnerOnlyFilesAreMode0600AndSharedFilesKeepTheirMode) {
  ScratchDir dir;
  dir.Write("shared.txt", "old");
  dir.SetMode("shared.txt", 0644);
  ASSERT_TRUE(WriteTextLines(dir.File("shared.txt"), {"new"}, FileAccess::Shared));
  EXPECT_EQ(dir.Mode("shared.txt"), 0644u);
  dir.Write("private.txt", "old");
  dir.SetMode("private.txt", 0644);
  ASSERT_TRUE(WriteTextLines(dir.File("private.txt"), {"new"}, FileAccess::OwnerOnly));
  EXPECT_EQ(dir.Mode("private.txt"), 0600u);
  EXPECT_EQ(dir.EntryCount(), 2u);  // no temporary file left behind
}

TEST(TextFile, ReadOnlyFileIsRefusedAndKept) {
  ScratchDir dir;
  dir.Write("ro.txt", "keep\r\n");
  dir.SetMode("ro.txt", 0444);
  EXPECT_FALSE(WriteTextLines(dir.File("ro.txt"), {"new"}, FileAccess::OwnerOnly));
  EXPECT_EQ(dir.Read("ro.txt"), "keep\r\n");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ProgramDirectory, IsTheExecutablesDirectory) {
  EXPECT_EQ(ProgramDirectory(), QCoreApplication::applicationDirPath().toStdString() + "/");
  EXPECT_EQ(FileInDirectory("/opt/app/", "options.ftp"), "/opt/app/options.ftp");
  EXPECT_EQ(FileInDirectory("/opt/app", "options.ftp"), "/opt/app/options.ftp");
}

TEST(IniFile, ParsesIntegers) {
  struct Row {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Row rows[] = {
      {"15", 15},           {" 42 ", 42},          {"-7", -7},
      {"0x1E", 30},         {"0X1e", 30},          {"0xFFFFFFFF", -1},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt}, {"0x100000000", std::nullopt},
      {"abc", std::nullopt}, {"12abc", std::nullopt}, {"", std::nullopt},
      {"0x", std::nullopt},  {"--1", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseProfileInteger(row.text), row.value) << row.text;
}

TEST(IniFile, RewritesKeysInPlaceAndKeepsEveryOtherLine) {
  ScratchDir dir;
  dir.Write("a.ini", "; my notes\r\n[common]\r\ntimeout=5\r\nMine=x\r\n\r\n[Other]\r\nk=v\r\n");
  IniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadInteger("Common", "TimeOut", 15), 5);
  ini.WriteInteger("Common", "TimeOut", 30);
  ini.WriteString("Common", "New", " spaced value ");
  ini.WriteString("Fresh", "Key", "line1\r\nline2");
  ASSERT_TRUE(ini.Save(FileAccess::Shared));
  EXPECT_EQ(dir.Read("a.ini"),
            "; my notes\r\n[common]\r\nTimeOut=30\r\nMine=x\r\nNew= spaced value \r\n\r\n"
            "[Other]\r\nk=v\r\n\r\n[Fresh]\r\nKey=line1\r\n");
  const IniFile reread(dir.File("a.ini"));
  EXPECT_EQ(reread.ReadString("Common", "New", ""), " spaced value ");
  EXPECT_EQ(reread.ReadString("Other", "Missing", "dflt"), "dflt");
  EXPECT_TRUE(reread.ReadBool("Common", "TimeOut", false));
}

TEST(IniFile, ReadsAtMost2047Characters) {
  ScratchDir dir;
  std::string longValue;
  for (int i = 0; i < 2100; ++i) longValue += "\xD0\xAF";  // Я
  dir.Write("a.ini", "[S]\nK=" + longValue + "\n");
  const std::string value = IniFile(dir.File("a.ini")).ReadString("S", "K", "");
  EXPECT_EQ(CountChars(value), kMaxIniValueChars);
  EXPECT_TRUE(IsValidUtf8(value));
}

TEST(IniFile, UnreadableFileIsNeverOverwritten) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.File("dir.ini"));  // exists, but cannot be read as a file
  IniFile ini(dir.File("dir.ini"));
  ini.WriteString("S", "K", "v");
  EXPECT_FALSE(ini.Save(FileAccess::Shared));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("dir.ini")));
}

TEST(TextCodec, SurvivesArbitraryBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    const std::string bytes = RandomText(random, 200);
    const std::string text = DecodeTextBytes(bytes);
    ASSERT_TRUE(IsValidUtf8(text));
    ASSERT_LE(CutToChars(text, 10).size(), text.size());
    ASSERT_TRUE(IsValidUtf8(CutToChars(text, 10)));
  }
}

}  // namespace
