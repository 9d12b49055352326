// Site records, their lines in ftplist.TXT, the site list file and the host types file.
#include <gtest/gtest.h>

#include "platform/RandomText.h"
#include "platform/ScratchDir.h"
#include "platform/TextCodec.h"
#include "sites/ftpbase.h"

namespace {

const ProgramOptions kOptions;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(SiteLine, LinesOfTheProgramRoundTripByteForByte) {
  const char* const lines[] = {
      "Name=Mirror;Server=192.0.2.10;Port=21;User=anonymous;Anonymous=1;SavePassword=1;Pasv=0;"
      "Answer=0957681;AnswerName=Default;CheckPSW=1;",
      "Name=Notes;Port=21;User=anonymous;Anonymous=0;SavePassword=1;Pasv=0;Desc=a`b;"
      "Answer=0957681;AnswerName=Default;CheckPSW=1;",
  };
  for (const char* line : lines) EXPECT_EQ(FormatSiteLine(ParseSiteLine(line, kOptions)), line);
  EXPECT_EQ(ParseSiteLine(lines[0], kOptions).Password, "");
  EXPECT_EQ(ParseSiteLine(lines[1], kOptions).Desc, "a`b");
}

TEST(SiteLine, NewSiteWithOnlyNameAndServer) {
  SiteRecord site = NewSiteRecord(kOptions);
  site.Name = "Work";
  site.Server = "ftp.example.org";
  site.AnswerName = "";  // the site manager selects no host type for the standard format
  const std::string line = FormatSiteLine(site);
  EXPECT_EQ(line,
            "Name=Work;Server=ftp.example.org;Port=21;User=anonymous;Anonymous=0;SavePassword=1;"
            "Pasv=0;Answer=0957681;CheckPSW=1;");
  EXPECT_EQ(ParseSiteLine(line, kOptions).AnswerName, "Default");
}

TEST(SiteLine, ReadsTextFields) {
  struct Row {
    const char* name;
    std::string line;
    std::string SiteRecord::*field;
    std::string expected;
  };
  const Row rows[] = {
      {"Password= is not found inside SavePassword=", "Name=a;SavePassword=1;", &SiteRecord::Password, ""},
      {"Name= is not found inside AnswerName=", "Server=h;AnswerName=Unix;", &SiteRecord::Name, ""},
      {"a key inside a value is no key", "Desc=Name=x;", &SiteRecord::Name, ""},
      {"a value may hold =", "Desc=Name=x;", &SiteRecord::Desc, "Name=x"},
      {"missing User is anonymous", "Name=a;", &SiteRecord::User, "anonymous"},
      {"a ; ends the password", "Password=ab;cd;", &SiteRecord::Password, "ab"},
      {"the first pair of a key counts", "Name=one;Name=two;", &SiteRecord::Name, "one"},
      {"the last pair may lack its ;", "Name=a;Server=h", &SiteRecord::Server, "h"},
      {"an empty Port pair empties the port", "Port=;", &SiteRecord::Port, ""},
      {"Answer is cut to 7", "Answer=12345678;", &SiteRecord::Answer, "1234567"},
      {"Name is cut to 50 characters", "Name=" + Repeat("Я", 60), &SiteRecord::Name, Repeat("Я", 50)},
      {"Server is not cut", "Server=" + Repeat("s", 400), &SiteRecord::Server, Repeat("s", 400)},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseSiteLine(row.line, kOptions).*row.field, row.expected) << row.name;
}

TEST(SiteLine, ReadsFlags) {
  struct Row {
    const char* name;
    std::string line;
    bool SiteRecord::*field;
    bool expected;
  };
  const Row rows[] = {
      {"missing Anonymous keeps 0", "Name=a;", &SiteRecord::Anonymous, false},
      {"unreadable Anonymous is 1", "Anonymous=x;", &SiteRecord::Anonymous, true},
      {"unreadable SavePassword is 1", "SavePassword=;", &SiteRecord::SavePassword, true},
      {"unreadable Pasv is 0", "Pasv=yes;", &SiteRecord::Pasv, false},
      {"unreadable CheckPSW is 1", "CheckPSW=?;", &SiteRecord::CheckPSW, true},
      {"CheckPSW 0", "CheckPSW=0;", &SiteRecord::CheckPSW, false},
      {"any other number is set", "Pasv=256;", &SiteRecord::Pasv, true},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseSiteLine(row.line, kOptions).*row.field, row.expected) << row.name;
}

SiteRecord EveryFieldSet() {
  SiteRecord s;
  s.Name = "Мой сервер", s.Server = "192.0.2.1", s.Password = "p w=1", s.User = "u", s.Account = "acct";
  s.Description = "descr", s.LocalDir = "/home/u/dl", s.InitialDir = "/pub", s.ModifiedDate = "01.02.2003";
  s.EMail = "me@example.org", s.Anonymous = true, s.SavePassword = false, s.Port = "2121", s.Pasv = true;
  s.Desc = "line 1`line 2", s.Answer = "2123456", s.AnswerName = "Unix", s.CheckPSW = false;
  return s;
}

TEST(SiteLine, EveryFieldRoundTrips) {
  EXPECT_EQ(ParseSiteLine(FormatSiteLine(EveryFieldSet()), kOptions), EveryFieldSet());
}

TEST(SiteRecord, NewSiteTakesTheAnonymousAddressOnlyWhenSwitchedOn) {
  ProgramOptions options;
  options.AnonymousMail = "me@example.org";
  EXPECT_EQ(NewSiteRecord(options).EMail, "");
  options.AnonymousMailEnabled = true;
  EXPECT_EQ(NewSiteRecord(options).EMail, "me@example.org");
}

TEST(SiteList, SavesAndLoadsInOrderInAPrivateFile) {
  ScratchDir dir;
  SiteList sites{EveryFieldSet(), NewSiteRecord(kOptions), EveryFieldSet()};
  sites[1].Name = "b";
  sites[2].Name = "a";
  ASSERT_TRUE(SaveSiteList(sites, dir.Path()));
  EXPECT_EQ(dir.Mode(kSiteListFileName), 0600u);
  SiteList loaded{NewSiteRecord(kOptions)};
  ASSERT_TRUE(LoadSiteList(loaded, kOptions, dir.Path()));
  EXPECT_EQ(loaded, sites);
}

TEST(SiteList, MissingFileLeavesTheListAndEmptyLinesAreSkipped) {
  ScratchDir dir;
  SiteList sites{NewSiteRecord(kOptions)};
  EXPECT_FALSE(LoadSiteList(sites, kOptions, dir.Path()));
  EXPECT_EQ(sites.size(), 1u);
  dir.Write(kSiteListFileName, "Name=a;\r\n\r\nServer=h;\r\n\r\n");
  ASSERT_TRUE(LoadSiteList(sites, kOptions, dir.Path()));
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_EQ(sites[1].Name, "");  // a line without Name is still a site
}

TEST(SiteList, WindowsFileWithCyrillicNamesLoads) {
  ScratchDir dir;
  dir.Write(kSiteListFileName, "Name=\xCC\xEE\xE9 \xF1\xE5\xF0\xE2\xE5\xF0;Desc=\xE0`\xE1;\r\n");
  SiteList sites;
  ASSERT_TRUE(LoadSiteList(sites, kOptions, dir.Path()));
  ASSERT_EQ(sites.size(), 1u);
  EXPECT_EQ(sites[0].Name, "Мой сервер");
  EXPECT_EQ(sites[0].Desc, "а`б");
}

TEST(SiteList, FindSiteGivesTheFirstExactName) {
  SiteList sites(3, NewSiteRecord(kOptions));
  sites[0].Name = "Home", sites[1].Name = "Work", sites[2].Name = "Work";
  EXPECT_EQ(FindSite(sites, "Work"), 1);
  EXPECT_EQ(FindSite(sites, "work"), -1);
}

TEST(HostTypes, ReadsCommaTextLines) {
  ScratchDir dir;
  EXPECT_EQ(LoadHostTypes(dir.File("Answer.txt")).front().Name, "Default");
  dir.Write("Answer.txt", "\"Unix host\",2123456,extra\r\n\r\nOnlyName\r\nVMS 3111111\r\n");
  const std::vector<HostType> types = LoadHostTypes(dir.File("Answer.txt"));
  ASSERT_EQ(types.size(), 3u);
  EXPECT_EQ(types[0].Name, "Unix host");
  EXPECT_EQ(types[0].Code, "2123456");
  EXPECT_EQ(types[1].Code, "0957681");
  EXPECT_EQ(types[2].Name, "VMS");
  EXPECT_EQ(types[2].Code, "3111111");
}

TEST(HostTypes, WritesQuotedNamesThatReadBack) {
  ScratchDir dir;
  const std::vector<HostType> types{{"Default", "0957681"}, {"My \"odd\" host", "2111111"}};
  ASSERT_TRUE(SaveHostTypes(types, dir.File("Answer.txt")));
  EXPECT_EQ(dir.Read("Answer.txt"), "\"Default\",0957681\r\n\"My \"\"odd\"\" host\",2111111\r\n");
  const std::vector<HostType> loaded = LoadHostTypes(dir.File("Answer.txt"));
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[1].Name, "My \"odd\" host");
}

TEST(SiteFiles, SurviveArbitraryBytes) {
  ScratchDir dir;
  std::mt19937 random(51);
  for (int round = 0; round < 300; ++round) {
    dir.Write(kSiteListFileName, RandomText(random, 4000));
    dir.Write("Answer.txt", RandomText(random, 500));
    SiteList sites;
    LoadSiteList(sites, kOptions, dir.Path());
    for (const SiteRecord& site : sites) {
      ASSERT_LE(platform::CountChars(site.Name), SiteWidth::Name);
      ASSERT_LE(platform::CountChars(site.Answer), SiteWidth::Answer);
    }
    ASSERT_FALSE(LoadHostTypes(dir.File("Answer.txt")).empty());
  }
}

TEST(SiteFiles, EndlessLineIsReadInOnePass) {
  const std::string line = Repeat("Name=;=;;Password", 500000);  // 8.5 MB
  EXPECT_EQ(ParseSiteLine(line, kOptions).Name, "");
}

}  // namespace
