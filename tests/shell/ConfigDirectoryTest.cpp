#include "shell/ConfigDirectory.h"

#include <sys/stat.h>

#include <fstream>
#include <set>

#include "support/peers/TempDir.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

struct ChoiceCase {
  const char* what;
  std::optional<fs::path> named;
  std::set<std::string> besideExecutable;  // files standing beside the executable
  bool executableDirectoryWritable;
  std::string xdgConfigHome;
  fs::path expected;
};

class ConfigDirectoryChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ConfigDirectoryChoiceTest, PicksTheDirectory) {
  const ChoiceCase& c = GetParam();
  const fs::path executable = "/opt/marlo";
  const FileProbe probe{
      [&](const fs::path& path) { return path.parent_path() == executable && c.besideExecutable.count(path.filename()); },
      [&](const fs::path& directory) { return directory == executable && c.executableDirectoryWritable; },
  };
  EXPECT_EQ(ChooseConfigDirectory({c.named, executable, c.xdgConfigHome, "/home/u"}, probe), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, ConfigDirectoryChoiceTest,
    testing::Values(
        ChoiceCase{"named directory wins over a portable copy", "/tmp/cfg", {"ftplist.TXT"}, true, "/x", "/tmp/cfg"},
        ChoiceCase{"site list beside a writable executable", {}, {"ftplist.TXT"}, true, "/x", "/opt/marlo"},
        ChoiceCase{"options beside a writable executable", {}, {"options.ftp"}, true, "", "/opt/marlo"},
        ChoiceCase{"files beside a read only executable stay unused", {}, {"ftplist.TXT", "options.ftp"}, false, "",
                   "/home/u/.config/marlo"},
        ChoiceCase{"other files do not make a portable copy", {}, {"commands.txt"}, true, "", "/home/u/.config/marlo"},
        ChoiceCase{"XDG_CONFIG_HOME", {}, {}, true, "/srv/conf", "/srv/conf/marlo"},
        ChoiceCase{"relative XDG_CONFIG_HOME is ignored", {}, {}, true, "conf", "/home/u/.config/marlo"}),
    CaseName{});

mode_t ModeOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

TEST(MakeConfigDirectoryTest, CreatesMissingDirectoriesPrivateAndLeavesExistingOnes) {
  testsupport::TempDir root;
  const fs::path existing = root.Path() / "shared";
  fs::create_directory(existing);
  fs::permissions(existing, fs::perms(0755));
  std::string error;
  ASSERT_TRUE(MakeConfigDirectory(existing / "a" / "marlo", error)) << error;
  EXPECT_EQ(ModeOf(existing), 0755u);
  EXPECT_EQ(ModeOf(existing / "a"), 0700u);
  EXPECT_EQ(ModeOf(existing / "a" / "marlo"), 0700u);
  EXPECT_TRUE(MakeConfigDirectory(existing / "a" / "marlo", error)) << "an existing directory serves";

  std::ofstream(root.Path() / "file") << "x";
  EXPECT_FALSE(MakeConfigDirectory(root.Path() / "file", error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(MakeConfigDirectory(root.Path() / "file" / "below", error));
}

}  // namespace
}  // namespace shell
