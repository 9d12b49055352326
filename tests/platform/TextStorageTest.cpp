// Whole-file text storage and the INI reader/writer.
#include <gtest/gtest.h>

#include <cstdint>
#include <sys/stat.h>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "support/files/RandomText.h"
#include "support/files/ScratchDir.h"

using namespace platform;

namespace {

using Lines = std::vector<std::string>;

const std::string kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
const std::string kPrivetCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string kBom = "\xEF\xBB\xBF";

// A file's bytes, the lines read from it, and the bytes of those lines written back, which
// must read as the same lines again.
TEST(TextFile, ReadsDecodesAndWritesBack) {
  struct Row {
    const char* name;
    std::string bytes;
    Lines lines;
    std::string rewritten;
  };
  const Row rows[] = {
      {"every kind of line break", "a\r\nb\nc\rd\r\n\r\n", {"a", "b", "c", "d", ""}, "a\r\nb\r\nc\r\nd\r\n\r\n"},
      {"last line without a break", "a\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"empty file", "", {}, ""},
      {"windows file in cp1251", kPrivetCp1251 + "\r\n", {kPrivetUtf8}, kPrivetUtf8 + "\r\n"},
      {"one stray byte changes only its own line", "Psw=" + kPrivetUtf8 + "\r\nLogFile=/tmp/\xE9\r\n",
       {"Psw=" + kPrivetUtf8, "LogFile=/tmp/\xD0\xB9"}, "Psw=" + kPrivetUtf8 + "\r\nLogFile=/tmp/\xD0\xB9\r\n"},
      {"a byte order mark is dropped", kBom + "a\r\n", {"a"}, "a\r\n"},
      {"a byte order mark before cp1251", kBom + kPrivetCp1251, {kPrivetUtf8}, kPrivetUtf8 + "\r\n"},
      {"only the first of two marks is dropped", kBom + kBom + "a\r\n", {kBom + "a"}, kBom + kBom + "a\r\n"},
  };
  ScratchDir dir;
  for (const Row& row : rows) {
    dir.Write("in.txt", row.bytes);
    EXPECT_EQ(ReadTextLines(dir.File("in.txt")), row.lines) << row.name;
    ASSERT_TRUE(WriteTextLines(dir.File("out.txt"), row.lines, FileAccess::Shared)) << row.name;
    EXPECT_EQ(dir.Read("out.txt"), row.rewritten) << row.name;
    EXPECT_EQ(ReadTextLines(dir.File("out.txt")), row.lines) << row.name;
  }
}

TEST(TextFile, OnlyRegularFilesWithinTheLimitAreRead) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // would block a plain open
  dir.Write("huge", "");
  std::filesystem::resize_file(dir.File("huge"), kMaxTextFileSize + 1);
  for (const char* name : {"missing", "fifo", "huge", ""}) EXPECT_FALSE(ReadTextLines(dir.File(name))) << name;
}

TEST(TextFile, SharedFilesKeepTheirMode) {
  ScratchDir dir;
  dir.Write("shared.txt", "old");
  dir.SetMode("shared.txt", 0640);
  ASSERT_TRUE(WriteTextLines(dir.File("shared.txt"), {"new"}, FileAccess::Shared));
  EXPECT_EQ(dir.Mode("shared.txt"), 0640u);
}

TEST(TextFile, RandomFilesReadAsUtf8AndSurviveASave) {
  ScratchDir dir;
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    dir.Write("in.txt", RandomText(random, 300));
    const std::optional<Lines> lines = ReadTextLines(dir.File("in.txt"));
    ASSERT_TRUE(lines);
    for (const std::string& line : *lines) ASSERT_TRUE(IsValidUtf8(line) && IsValidUtf8(CutToChars(line, 10)));
    ASSERT_TRUE(WriteTextLines(dir.File("out.txt"), *lines, FileAccess::Shared));
    ASSERT_EQ(ReadTextLines(dir.File("out.txt")), lines);
  }
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

}  // namespace
