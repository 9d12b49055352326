#include <gtest/gtest.h>

#include "listing/PaneSelection.h"
#include "local/CaseConversion.h"
#include "local/CompareDirectories.h"
#include "support/local/LocalTestSupport.h"

namespace local {
namespace {

using listing::Directory;
using listing::File;

struct CaseCase {
  const char* what;
  const char* name;
  CaseMode mode;
  const char* converted;
};

class ConvertCaseTest : public testing::TestWithParam<CaseCase> {};

TEST_P(ConvertCaseTest, ChangesOnlyLatinLetters) {
  EXPECT_EQ(ConvertCase(GetParam().name, GetParam().mode), GetParam().converted);
}

const CaseCase kCaseCases[] = {
    {"upper leaves Cyrillic alone", "Отчёт.txt", CaseMode::Upper, "Отчёт.TXT"},
    {"lower leaves bytes that are not UTF-8 alone", "\xe0\xff" "AZ", CaseMode::Lower, "\xe0\xff" "az"},
    {"sentence lowers the rest", "README.TXT", CaseMode::Sentence, "Readme.txt"},
    {"sentence after a leading digit", "1st.DOC", CaseMode::Sentence, "1st.doc"},
    {"sentence of an empty name", "", CaseMode::Sentence, ""},
};
INSTANTIATE_TEST_SUITE_P(Modes, ConvertCaseTest, testing::ValuesIn(kCaseCases), listing::CaseName());

struct CompareCase {
  const char* what;
  std::vector<listing::PaneItem> local;
  std::vector<listing::PaneItem> remote;
  Names localSelected;
  Names remoteSelected;
};

class CompareDirectoriesTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareDirectoriesTest, SelectsWhatHasNoCounterpart) {
  listing::PaneModel local = listing::PaneOf(GetParam().local);
  listing::PaneModel remote = listing::PaneOf(GetParam().remote);
  listing::SelectAll(local);  // an earlier selection does not count
  CompareDirectories(local, remote);
  EXPECT_EQ(listing::Captions(local, true), GetParam().localSelected);
  EXPECT_EQ(listing::Captions(remote, true), GetParam().remoteSelected);
}

const CompareCase kCompareCases[] = {
    {"equal names and sizes match, dates do not count, directories by name",
     {Directory("d"), File("a", "10", "01.01.2020"), File("b", "10"), File("c", "10")},
     {Directory("d"), Directory(".."), File("a", "10", "02.02.22"), File("b", "11"), File("C", "10")},
     {"b", "c"}, {"..", "b", "C"}},
    {"an empty remote pane selects every local item", {Directory("d"), File("a", "1")}, {}, {"d", "a"}, {}},
};
INSTANTIATE_TEST_SUITE_P(Panes, CompareDirectoriesTest, testing::ValuesIn(kCompareCases), listing::CaseName());

}  // namespace
}  // namespace local
