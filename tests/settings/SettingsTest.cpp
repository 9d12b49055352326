// Comma text, the options file and the custom command file.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "support/files/RandomText.h"
#include "support/files/ScratchDir.h"
#include "settings/CommaText.h"
#include "settings/commands.h"
#include "settings/options.h"

namespace {

using Items = std::vector<std::string>;

// Items, their text, and the items read back from it (the items themselves when not given).
TEST(CommaText, WritesAndReadsBack) {
  struct Row {
    const char* name;
    Items items;
    std::string text;
    std::optional<Items> readBack = std::nullopt;
  };
  const Row rows[] = {
      {"empty list", {}, ""},
      {"one empty item", {""}, "\"\""},
      {"plain items", {"txt", "htm"}, "txt,htm"},
      {"item with a blank", {"List all", "x"}, "\"List all\",x"},
      {"item with quotes and a comma", {"say \"hi\", ok"}, "\"say \"\"hi\"\", ok\""},
      {"control character", {"a\tb"}, "\"a\tb\""},
      {"trailing empty item survives", {"a", ""}, "a,\"\""},
      {"cyrillic item needs no quotes", {"\xD0\xAF"}, "\xD0\xAF"},
      {"a line break cuts its item", {"LIST\r\nDELE x", "b\nc", "d"}, "LIST,b,d", Items{"LIST", "b", "d"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatCommaText(row.items), row.text) << row.name;
    EXPECT_EQ(ParseCommaText(row.text), row.readBack.value_or(row.items)) << row.name;
  }
}

TEST(CommaText, ReadsHandWrittenText) {
  struct Row {
    const char* name;
    std::string text;
    Items items;
  };
  const Row rows[] = {
      {"blank separates unquoted items", "List all", {"List", "all"}},
      {"blanks around items and commas", "  a ,  b  ", {"a", "b"}},
      {"empty middle item", "a,,b", {"a", "", "b"}},
      {"trailing comma adds nothing", "a,", {"a"}},
      {"unterminated quote runs to the end", "\"a b", {"a b"}},
      {"text glued to a quoted item", "\"a\"b", {"a", "b"}},
      {"NUL separates like a blank", std::string("a\0b", 3), {"a", "b"}},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseCommaText(row.text), row.items) << row.name;
}

TEST(CommaText, SurvivesArbitraryBytes) {
  std::mt19937 random(9);
  for (int round = 0; round < 3000; ++round) {
    Items items = ParseCommaText(RandomText(random, 300));  // quoted items may hold line breaks
    const std::string text = FormatCommaText(items);
    for (std::string& item : items) item.resize(std::min(item.size(), item.find_first_of("\r\n")));
    ASSERT_EQ(ParseCommaText(text), items);
  }
}

ProgramOptions EveryFieldChanged() {
  ProgramOptions o;
  o.ConnectionType = 4, o.TransferMode = 2;
  o.ProxyServer = "proxy.example", o.ProxyPort = "8021", o.ProxyPassword = " pass word ";
  o.ProxyPasswordMasked = true;
  o.SocksServer = "socks", o.SocksPort = "1080", o.SocksPassword = "s;p=w", o.SocksUserCode = "uc";
  o.SocksPasswordMasked = true;
  o.PassiveTransfer = o.SyncCommands = o.LogEnabled = o.KeepAlive = true;
  o.LogFile = "/tmp/\xD0\xBB\xD0\xBE\xD0\xB3.txt";
  o.TimeOut = 30, o.RetryCount = 3, o.KeepStart = 7, o.KeepInterval = 9;
  o.AsciiExtensions = "txt,htm", o.KeepCommands = "NOOP,\"LIST -l\"";
  o.AnonymousMailEnabled = true, o.AnonymousMail = "me@example.org";
  o.FirewallHost = "fw", o.FirewallPort = "2121", o.FirewallUser = "fwu", o.FirewallPassword = "fwp";
  o.FirewallSymbol = "#", o.FirewallType = 6, o.FirewallEnabled = true;
  o.StartDirectory = "/home/u/", o.FontName = "DejaVu Sans", o.FontSize = 11, o.FontColor = -16777201;
  o.PromptDownload = o.PromptUpload = false, o.DefaultPromptAction = 2;
  return o;
}

TEST(Options, MissingFileGivesDefaultsAndCreatesNothing) {
  ScratchDir dir;
  const ProgramOptions loaded = LoadOptions(dir.Path());
  ProgramOptions expected;
  expected.StartDirectory = dir.Path();
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(LoadOptions(dir.Path(), "/home/u").StartDirectory, "/home/u");
  EXPECT_FALSE(dir.Exists(kOptionsFileName));
}

TEST(Options, EveryFieldRoundTripsInAPrivateFile) {
  ScratchDir dir;
  SaveOptions(EveryFieldChanged(), dir.Path());
  EXPECT_EQ(LoadOptions(dir.Path()), EveryFieldChanged());
  EXPECT_EQ(dir.Mode(kOptionsFileName), 0600u);
}

TEST(Options, NewFileHoldsCommonProxySocksInWriteOrder) {
  ScratchDir dir;
  SaveOptions(ProgramOptions{}, dir.Path());
  const std::string text = dir.Read(kOptionsFileName);
  EXPECT_TRUE(text.starts_with("[Common]\r\nConnectionType=0\r\nTransferMode=0\r\nPassiveTransfer=0\r\n"));
  EXPECT_NE(text.find("Anonymous=\r\nMailAno=0\r\n"), std::string::npos);
  EXPECT_NE(text.find("DefPrompt=0\r\n\r\n[Proxy]\r\nServer=\r\nPort=\r\nPsw=\r\nPswMask=0\r\n\r\n"
                      "[Socks]\r\nServer=\r\nPort=\r\nPsw=\r\nUC=\r\nPswMask=0\r\n"),
            std::string::npos);
}

TEST(Options, ReadsValuesAsTheProfileFunctionsDo) {
  ScratchDir dir;
  dir.Write(kOptionsFileName,
            "[Common]\r\nTimeOut=0x1E\r\nDurationKeep=abc\r\nKeep=2\r\nTransferMode=7\r\nFontSize= 12 \r\n");
  const ProgramOptions loaded = LoadOptions(dir.Path());
  EXPECT_EQ(loaded.TimeOut, 30);
  EXPECT_EQ(loaded.KeepInterval, 10);  // not a number: the default
  EXPECT_TRUE(loaded.KeepAlive);
  EXPECT_EQ(loaded.TransferMode, 7);
  EXPECT_EQ(loaded.FontSize, 12);
}

TEST(Options, ArbitraryFileLoadsAndSavesStably) {
  ScratchDir dir;
  std::mt19937 random(61);
  for (int round = 0; round < 200; ++round) {
    dir.Write(kOptionsFileName, "[Common]\nTimeOut=" + RandomText(random, 20) + "\n" + RandomText(random, 3000));
    const ProgramOptions loaded = LoadOptions(dir.Path());
    SaveOptions(loaded, dir.Path());
    ASSERT_EQ(LoadOptions(dir.Path()), loaded);
  }
}

// A file of fewer than two lines gives empty lists; lists of uneven length load as they are.
TEST(Commands, RoundTripThroughTheFile) {
  ScratchDir dir;
  EXPECT_TRUE(LoadCommands(dir.Path()).CommandAliases.empty());
  const CustomCommands commands{{"List all", "Quote", ""}, {"LIST -la", "SITE \"x\"", ""}};
  ASSERT_TRUE(SaveCommands(commands, dir.Path()));
  EXPECT_EQ(dir.Read(kCommandsFileName), "\"List all\",Quote,\"\"\r\n\"LIST -la\",\"SITE \"\"x\"\"\",\"\"\r\n");
  EXPECT_EQ(LoadCommands(dir.Path()).CommandLines, commands.CommandLines);
  dir.Write(kCommandsFileName, "a,b\r\n");
  EXPECT_TRUE(LoadCommands(dir.Path()).CommandAliases.empty());
  dir.Write(kCommandsFileName, "a,b,c\r\nx\r\nignored\r\n");
  const CustomCommands loaded = LoadCommands(dir.Path());
  EXPECT_EQ(loaded.CommandAliases, (Items{"a", "b", "c"}));
  EXPECT_EQ(loaded.CommandLines, (Items{"x"}));
}

}  // namespace
