// Site records, their lines in ftplist.TXT, the site list file and the host types file; and
// how every stored file of the program is saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>

#include "support/files/RandomText.h"
#include "support/files/ScratchDir.h"
#include "platform/TextCodec.h"
#include "settings/commands.h"
#include "sites/TrustedCertificates.h"
#include "sites/ftpbase.h"

namespace {

const ProgramOptions kOptions;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(SiteLine, NewSiteWithOnlyNameAndServer) {
  SiteRecord site = NewSiteRecord(kOptions);
  site.Name = "Work";
  site.Server = "ftp.example.org";
  site.AnswerName = "";  // the site manager selects no host type for the standard format
  const std::string line = FormatSiteLine(site);
  EXPECT_EQ(line,
            "Name=Work;Server=ftp.example.org;Port=21;User=anonymous;Anonymous=0;SavePassword=1;"
            "Pasv=0;Answer=0957681;CheckPSW=1;Listing=auto;Encryption=tls;");
  const SiteRecord read = ParseSiteLine(line, kOptions);
  EXPECT_EQ(read.AnswerName, "Default");
  EXPECT_TRUE(read.AutoListing);
  EXPECT_EQ(read.Encryption, SiteEncryption::ExplicitIfOffered);
}

TEST(SiteLine, ReadsTheLaterChoices) {
  struct Row {
    const char* name;
    std::string line;
    bool autoListing;
    platform::CharacterSet charset;
    SiteEncryption encryption = SiteEncryption::None;
  };
  using platform::CharacterSet;
  const Row rows[] = {
      {"an older line keeps its Answer format, the automatic set, plain FTP", "Name=a;Answer=2957681;CheckPSW=1;",
       false, CharacterSet::Automatic},
      {"automatic listings", "Name=a;CheckPSW=1;Listing=auto;", true, CharacterSet::Automatic},
      {"a listing choice we do not know keeps the Answer format", "Listing=mlsd;", false, CharacterSet::Automatic},
      {"a set by its id, in any case", "Charset=KOI8-R;", false, CharacterSet::Koi8R},
      {"a set we do not know is the automatic one", "Listing=auto;Charset=koi8-u;", true, CharacterSet::Automatic},
      {"explicit TLS if offered", "Name=a;Encryption=tls;", false, CharacterSet::Automatic,
       SiteEncryption::ExplicitIfOffered},
      {"explicit TLS required", "Encryption=tls-required;", false, CharacterSet::Automatic,
       SiteEncryption::ExplicitRequired},
      {"implicit TLS", "Charset=KOI8-R;Encryption=implicit;", false, CharacterSet::Koi8R, SiteEncryption::Implicit},
      {"an encryption we do not know never falls back to plain FTP", "Encryption=ssl3;", false,
       CharacterSet::Automatic, SiteEncryption::ExplicitRequired},
  };
  for (const Row& row : rows) {
    const SiteRecord site = ParseSiteLine(row.line, kOptions);
    EXPECT_EQ(site.AutoListing, row.autoListing) << row.name;
    EXPECT_EQ(site.Charset, row.charset) << row.name;
    EXPECT_EQ(site.Encryption, row.encryption) << row.name;
  }
}

// Older copies of the program take each of their keys from its first occurrence anywhere in
// the line, up to the next ";". The later pairs must not change what they read.
TEST(SiteLine, OlderCopiesReadTheEarlierPairsAsBefore) {
  const auto olderValue = [](const std::string& line, const std::string& key) -> std::optional<std::string> {
    const std::size_t at = line.find(key + "=");
    if (at == std::string::npos) return std::nullopt;
    const std::size_t start = at + key.size() + 1;
    return line.substr(start, line.find(';', start) - start);
  };
  SiteRecord classic = NewSiteRecord(kOptions);
  classic.Name = "";  // without its own pair, a name is looked for in the whole line
  classic.Answer = "2957681";
  classic.AutoListing = false;
  classic.Encryption = SiteEncryption::None;
  SiteRecord later = classic;
  later.AutoListing = true;
  const std::string classicLine = FormatSiteLine(classic);
  const SiteEncryption encryptions[] = {SiteEncryption::ExplicitIfOffered, SiteEncryption::ExplicitRequired,
                                       SiteEncryption::Implicit};
  for (const platform::CharacterSetName& set : platform::CharacterSetNames()) {
    later.Charset = set.set;
    later.Encryption = encryptions[static_cast<std::size_t>(set.set) % std::size(encryptions)];
    const std::string line = FormatSiteLine(later);
    ASSERT_TRUE(line.starts_with(classicLine)) << line;
    for (const char* key : {"Name", "Server", "Port", "Password", "User", "Account", "Description", "InitialDir",
                            "Anonymous", "SavePassword", "ModifiedDate", "EMail", "LocalDir", "Pasv", "Desc", "Answer",
                            "AnswerName", "CheckPSW"}) {
      EXPECT_EQ(olderValue(line, key), olderValue(classicLine, key)) << key << " in " << line;
    }
  }
}

// One field of the record read from a line.
template <typename Value>
struct FieldRow {
  const char* name;
  std::string line;
  Value SiteRecord::*field;
  Value expected;
};

template <typename Value>
void ExpectFields(const std::vector<FieldRow<Value>>& rows) {
  for (const auto& row : rows) EXPECT_EQ(ParseSiteLine(row.line, kOptions).*row.field, row.expected) << row.name;
}

TEST(SiteLine, ReadsTextFieldsAndFlags) {
  ExpectFields<std::string>({
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
  });
  ExpectFields<bool>({
      {"missing Anonymous keeps 0", "Name=a;", &SiteRecord::Anonymous, false},
      {"unreadable Anonymous is 1", "Anonymous=x;", &SiteRecord::Anonymous, true},
      {"unreadable SavePassword is 1", "SavePassword=;", &SiteRecord::SavePassword, true},
      {"unreadable Pasv is 0", "Pasv=yes;", &SiteRecord::Pasv, false},
      {"unreadable CheckPSW is 1", "CheckPSW=?;", &SiteRecord::CheckPSW, true},
      {"CheckPSW 0", "CheckPSW=0;", &SiteRecord::CheckPSW, false},
      {"any other number is set", "Pasv=256;", &SiteRecord::Pasv, true},
  });
}

TEST(SiteRecord, NewSiteTakesTheAnonymousAddressOnlyWhenSwitchedOn) {
  ProgramOptions options;
  options.AnonymousMail = "me@example.org";
  EXPECT_EQ(NewSiteRecord(options).EMail, "");
  options.AnonymousMailEnabled = true;
  EXPECT_EQ(NewSiteRecord(options).EMail, "me@example.org");
}

SiteRecord EveryFieldSet() {
  SiteRecord s;
  s.Name = "Мой сервер", s.Server = "192.0.2.1", s.Password = "p w=1", s.User = "u", s.Account = "acct";
  s.Description = "descr", s.LocalDir = "/home/u/dl", s.InitialDir = "/pub", s.ModifiedDate = "01.02.2003";
  s.EMail = "me@example.org", s.Anonymous = true, s.SavePassword = false, s.Port = "2121", s.Pasv = true;
  s.Desc = "line 1`line 2", s.Answer = "2123456", s.AnswerName = "Unix", s.CheckPSW = false;
  s.AutoListing = true, s.Charset = platform::CharacterSet::Koi8R, s.Encryption = SiteEncryption::Implicit;
  return s;
}

TEST(SiteList, EveryFieldOfEverySiteRoundTripsInOrderInAPrivateFile) {
  ScratchDir dir;
  SiteList sites{EveryFieldSet(), NewSiteRecord(kOptions), EveryFieldSet()};
  sites[1].Name = "b";
  sites[2].Name = "a";
  dir.Write(kSiteListFileName, "");
  dir.SetMode(kSiteListFileName, 0644);  // made by hand; passwords make it private
  ASSERT_TRUE(SaveSiteList(sites, dir.Path()));
  EXPECT_EQ(dir.Mode(kSiteListFileName), 0600u);
  SiteList loaded{NewSiteRecord(kOptions)};
  ASSERT_TRUE(LoadSiteList(loaded, kOptions, dir.Path()));
  EXPECT_EQ(loaded, sites);
}

// A missing file leaves the list as it was; empty lines are no sites, a line without Name is
// one; a line break in a value never starts another site's line.
TEST(SiteList, OneLinePerSite) {
  ScratchDir dir;
  SiteList sites{NewSiteRecord(kOptions)};
  EXPECT_FALSE(LoadSiteList(sites, kOptions, dir.Path()));
  EXPECT_EQ(sites.size(), 1u);
  dir.Write(kSiteListFileName, "Name=a;\r\n\r\nServer=h;\r\n\r\n");
  ASSERT_TRUE(LoadSiteList(sites, kOptions, dir.Path()));
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_EQ(sites[1].Name, "");
  sites = {NewSiteRecord(kOptions)};
  sites[0].Name = "A", sites[0].Server = "h\r\nName=B;", sites[0].Desc = "one\r\ntwo\nthree";
  ASSERT_TRUE(SaveSiteList(sites, dir.Path()));
  ASSERT_TRUE(LoadSiteList(sites, kOptions, dir.Path()));
  ASSERT_EQ(sites.size(), 1u);
  EXPECT_EQ(sites[0].Server, "h");
  EXPECT_EQ(sites[0].Desc, "one`two`three");
}

TEST(SiteList, FindSiteGivesTheFirstExactName) {
  SiteList sites(3, NewSiteRecord(kOptions));
  sites[0].Name = "Home", sites[1].Name = "Work", sites[2].Name = "Work";
  EXPECT_EQ(FindSite(sites, "Work"), 1);
  EXPECT_EQ(FindSite(sites, "work"), -1);
}

TEST(HostTypes, ReadAsCommaTextLinesAndWrittenBack) {
  ScratchDir dir;
  EXPECT_EQ(LoadHostTypes(dir.Path()), (std::vector<HostType>{{"Default", "0957681"}}));
  dir.Write(kHostTypesFileName, "\"Unix host\",2123456,extra\r\n\r\nOnlyName\r\nVMS 3111111\r\n");
  EXPECT_EQ(LoadHostTypes(dir.Path()),
            (std::vector<HostType>{{"Unix host", "2123456"}, {"OnlyName", "0957681"}, {"VMS", "3111111"}}));
  std::vector<HostType> types{
      {"Default", "0957681"}, {"My \"odd\" host", "2111111"}, {"Odd code", "1 2,\"3"}, {"Cut\r\nname", "x\ny"}};
  ASSERT_TRUE(SaveHostTypes(types, dir.Path()));
  EXPECT_EQ(dir.Read(kHostTypesFileName), "\"Default\",0957681\r\n\"My \"\"odd\"\" host\",2111111\r\n"
                                          "\"Odd code\",\"1 2,\"\"3\"\r\n\"Cut\",x\r\n");
  types[3] = {"Cut", "x"};
  EXPECT_EQ(LoadHostTypes(dir.Path()), types);
}

TEST(SiteFiles, SurviveArbitraryBytes) {
  ScratchDir dir;
  std::mt19937 random(51);
  for (int round = 0; round < 300; ++round) {
    dir.Write(kSiteListFileName, RandomText(random, 4000));
    SiteList sites;
    LoadSiteList(sites, kOptions, dir.Path());
    for (const SiteRecord& site : sites) {
      ASSERT_LE(platform::CountChars(site.Name), SiteWidth::Name);
      ASSERT_LE(platform::CountChars(site.Answer), SiteWidth::Answer);
    }
  }
}

TEST(SiteFiles, EndlessLineIsReadInOnePass) {
  const std::string line = Repeat("Name=;=;;Password", 500000);  // 8.5 MB
  EXPECT_EQ(ParseSiteLine(line, kOptions).Name, "");
}

TEST(TrustedCertificates, OneCertificatePerSiteAndAddressInAPrivateFile) {
  ScratchDir dir;
  TrustedCertificates trusted;
  TrustCertificate(trusted, {"Мой, \"сервер\"", "ftp.example.org", "21", "AA:01"});
  TrustCertificate(trusted, {"other", "ftp.example.org", "21", "BB:02"});
  TrustCertificate(trusted, {"Мой, \"сервер\"", "ftp.example.org", "990", "CC:03"});
  TrustCertificate(trusted, {"Мой, \"сервер\"", "ftp.example.org", "21", "DD:04"});  // renewed
  ASSERT_TRUE(SaveTrustedCertificates(trusted, dir.Path()));
  EXPECT_EQ(dir.Mode(kTrustedCertificatesFileName), 0600u);
  const TrustedCertificates loaded = LoadTrustedCertificates(dir.Path());
  EXPECT_EQ(loaded, trusted);

  struct Row {
    const char* name;
    std::string site, host, port;
    std::optional<std::string> fingerprint;
  };
  const Row rows[] = {
      {"the renewed certificate replaced the first", "Мой, \"сервер\"", "ftp.example.org", "21", "DD:04"},
      {"another port is another address", "Мой, \"сервер\"", "ftp.example.org", "990", "CC:03"},
      {"another site trusts its own", "other", "ftp.example.org", "21", "BB:02"},
      {"another host is trusted by nobody", "other", "ftp.example.net", "21", std::nullopt},
      {"names are compared exactly", "Other", "ftp.example.org", "21", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(FindTrustedCertificate(loaded, row.site, row.host, row.port), row.fingerprint) << row.name;
  EXPECT_TRUE(LoadTrustedCertificates(dir.File("missing")).empty());
}

namespace fs = std::filesystem;

// Every file the program saves, each saved by its own function: "" or the text of the refusal.
const std::pair<std::string, std::string (*)(const std::string&)> kStoredFiles[] = {
    {kSiteListFileName, [](const std::string& d) { return SaveSiteList({NewSiteRecord(kOptions)}, d).error; }},
    {kCommandsFileName, [](const std::string& d) { return SaveCommands({{"a"}, {"b"}}, d).error; }},
    {kHostTypesFileName, [](const std::string& d) { return SaveHostTypes({{"Unix", "2123456"}}, d).error; }},
    {kTrustedCertificatesFileName,
     [](const std::string& d) { return SaveTrustedCertificates({{"a", "h", "21", "AB:CD"}}, d).error; }},
    {kOptionsFileName, [](const std::string& d) -> std::string {
       try {
         SaveOptions(kOptions, d);
       } catch (const OptionsWriteException& error) {
         return error.what();
       }
       return "";
     }},
};

TEST(StoredFiles, SavingThroughSymbolicLinksUpdatesTheirTarget) {
  for (const auto& [name, save] : kStoredFiles) {
    ScratchDir dir;  // app/name -> ../links/name -> <dir>/store/name
    for (const char* folder : {"app", "links", "store"}) fs::create_directory(dir.File(folder));
    dir.Write("store/" + name, "");
    fs::create_symlink("../links/" + name, dir.File("app/" + name));
    fs::create_symlink(dir.File("store/" + name), dir.File("links/" + name));
    EXPECT_EQ(save(dir.File("app")), "") << name;
    EXPECT_TRUE(fs::is_symlink(dir.File("app/" + name)) && fs::is_symlink(dir.File("links/" + name))) << name;
    EXPECT_GT(fs::file_size(dir.File("store/" + name)), 0u) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("store")), {}), 1) << name;  // no temporary file
  }
}

TEST(StoredFiles, AnExistingFileThatCannotBeReadOrWrittenIsKept) {
  const std::string unreadable = "The file exists but could not be read, so it is kept as it is";
  const std::pair<std::string, void (*)(const std::string&)> damages[] = {
      {"The file is read-only", [](const std::string& p) {
         std::ofstream(p) << "keep";
         fs::permissions(p, fs::perms::owner_read);
       }},
      {unreadable, [](const std::string& p) {
         std::ofstream{p};
         fs::resize_file(p, platform::kMaxTextFileSize + 1);
       }},
      {unreadable, [](const std::string& p) { fs::create_directory(p); }},
      {unreadable, [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }},
  };
  for (const auto& [reason, damage] : damages) {
    for (const auto& [name, save] : kStoredFiles) {
      ScratchDir dir;
      const std::string path = dir.File(name);
      damage(path);
      const auto typeAndSize = [&] {
        const fs::file_status status = fs::status(path);
        return std::pair(status.type(), fs::is_regular_file(status) ? fs::file_size(path) : 0);
      };
      const auto before = typeAndSize();
      const std::string why = name == kOptionsFileName ? "" : ": " + reason;  // the options keep their own text
      EXPECT_EQ(save(dir.Path()), "Unable to write to " + path + why) << name;
      EXPECT_EQ(typeAndSize(), before) << path;
      EXPECT_EQ(dir.EntryCount(), 1u) << path;
    }
  }
}

}  // namespace
