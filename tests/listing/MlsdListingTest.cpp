// Machine listings (MLSD): the facts servers may send, line by line. What the real servers
// send for a whole tree: MlsdPeersTest.
#include <gtest/gtest.h>

#include <optional>

#include "listing/ListingFile.h"
#include "support/peers/TempDir.h"
#include "support/listing/ListingTestSupport.h"
#include "support/listing/MlsdTree.h"

namespace listing {
namespace {

const ListingContext kMlsd{"0957681", {2026, 12, 6}, ListingFormat::Mlsd};

struct LineCase {
  const char* what;
  std::string line;
  std::optional<RemoteEntry> expected;  // name, size, date, time, attributes, isDirectory
};

class MlsdLineTest : public testing::TestWithParam<LineCase> {
  const MoscowTime zone_;
};

TEST_P(MlsdLineTest, GivesTheEntry) { EXPECT_EQ(ParseListingLine(GetParam().line, kMlsd), GetParam().expected); }

const LineCase kLines[] = {
    {"facts in any case and order", "Modify=20240102030405.123;UNIX.MODE=0755;Type=DIR;Size=4096; Pub",
     RemoteEntry{"Pub", "", "02.01.24", "06:04", "drwxr-xr-x", true}},
    {"set-id and sticky bits without execute bits", "type=file;unix.mode=07644;size=1; a",
     RemoteEntry{"a", "1", "", "", "-rwSr-Sr-T", false}},
    {"file type bits in the mode are left out", "type=file;unix.mode=100600; a",
     RemoteEntry{"a", "", "", "", "-rw-------", false}},
    {"a mode that is not octal leaves perm to speak", "type=file;unix.mode=0x1FF;perm=r; a",
     RemoteEntry{"a", "", "", "", "-r--------", false}},
    {"perm of a directory: list, create, enter", "type=dir;perm=lce; d", RemoteEntry{"d", "", "", "", "drwx------", true}},
    {"neither mode nor perm: no attributes", "type=file;size=7; a", RemoteEntry{"a", "7", "", "", "", false}},
    {"the name is everything after the facts", "type=file;size=1;   two  spaces ; x ",
     RemoteEntry{"  two  spaces ; x ", "1", "", "", "", false}},
    {"a link keeps an arrow in its name", "type=OS.unix=slink:/x y;unix.mode=0777; a -> b",
     RemoteEntry{"a -> b", "", "", "", "lrwxrwxrwx", true}},
    {"a line without facts", " bare name", RemoteEntry{"bare name", "", "", "", "", false}},
    {"a size that is no number is left out", "type=file;size=-5; a", RemoteEntry{"a", "", "", "", "", false}},
    {"an impossible modify time is left out", "type=file;modify=20230229120000; a",
     RemoteEntry{"a", "", "", "", "", false}},
    {"a device is no entry", "type=OS.unix=chr-1/3; null", std::nullopt},
    {"no name after the facts", "type=file;size=1; ", std::nullopt},
    {"no end of the facts", "type=file;size=1;name", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Lines, MlsdLineTest, testing::ValuesIn(kLines), CaseName());

// A LIST line under 20 characters holds no entry ("total 12"); a machine listing's does.
TEST(MlsdFileTest, ShortLinesAreEntries) {
  const testsupport::TempDir dir;
  const std::filesystem::path file = dir.Path() / "FTPDIR1.TXT";
  WriteFile(file, "type=dir; a\r\n\r\ntype=file; b");
  Names names;
  TakeListingEntries(file, kMlsd, {}, [&names](RemoteEntry e) { names.push_back(e.name); });
  EXPECT_EQ(names, (Names{"a", "b"}));
}

}  // namespace
}  // namespace listing
