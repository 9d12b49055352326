#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "listing/ComparePaneItems.h"
#include "listing/PaneSorting.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

struct SortCase {
  const char* what;
  std::vector<PaneItem> items;
  std::vector<int> clicks;  // column clicks; none: a resort by the default key
  Names expected;
};

class PaneSortingTest : public testing::TestWithParam<SortCase> {};

TEST_P(PaneSortingTest, OrdersTheItems) {
  PaneModel pane = PaneOf(GetParam().items);
  if (GetParam().clicks.empty()) ResortPane(pane);
  for (const int column : GetParam().clicks) ClickColumn(pane, column);
  EXPECT_EQ(Captions(pane), GetParam().expected);
}

const std::vector<PaneItem> kSized = {File("small", "9"), File("huge", "5368709120"), File("bigger", "4294967297"),
                                      File("none", ""), File("leading digits", "12kB")};

const SortCase kSortCases[] = {
    {"directories first, names ignore case", {File("b"), Directory("Zed"), File("C"), Directory("alpha"), File("a")},
     {}, {"alpha", "Zed", "a", "b", "C"}},
    {"second click reverses each group, directories stay first", {File("b"), Directory("x"), File("a"), Directory("y")},
     {kColumnName, kColumnName}, {"y", "x", "b", "a"}},
    {"size click puts the largest first", kSized, {kColumnSize}, {"huge", "bigger", "leading digits", "small", "none"}},
    {"second size click puts the smallest first", kSized, {kColumnSize, kColumnSize},
     {"none", "small", "leading digits", "bigger", "huge"}},
    {"remote dates sort year first as text",
     {File("dec99", "", "31.12.99"), File("jan00", "", "01.01.00"), File("jun99", "", "15.06.99")}, {kColumnDate},
     {"jan00", "jun99", "dec99"}},
    {"local dates sort year first", {File("1999", "", "05/03/1999"), File("1998", "", "04/04/1998")}, {kColumnDate},
     {"1998", "1999"}},
};
INSTANTIATE_TEST_SUITE_P(Orders, PaneSortingTest, testing::ValuesIn(kSortCases), CaseName());

TEST(PaneSortingTest, ResortKeepsTextsAndImagesAndLosesTheSelection) {
  PaneModel pane;
  pane.Add({"site", kImageSite, {"", "", "", ""}, true});
  pane.Add({"dir", kImageDirectory, {"4096", "01.02.03", "10:00", "drwx"}, true});
  pane.Add({"file", kImageFile, {"12", "02.03.04", "11:00", "-rw-"}, false});
  ResortPane(pane);
  EXPECT_EQ(Captions(pane), (Names{"dir", "file", "site"}));
  EXPECT_EQ(pane.Item(0).subItems, (std::array<std::string, 4>{"", "01.02.03", "10:00", "drwx"}));
  EXPECT_EQ(pane.Item(1).subItems, (std::array<std::string, 4>{"12", "02.03.04", "11:00", "-rw-"}));
  EXPECT_EQ(pane.Item(2).image, kImageSite);
  EXPECT_TRUE(pane.SelectedIndexes().empty());
}

// Names repeat, so the sizes (the original positions) also show that the sort is stable.
TEST(PaneSortingTest, LongPaneEndsInTheOrderOfAStableSort) {
  std::mt19937 random(3);
  std::vector<PaneItem> items;
  for (int i = 0; i < 3000; ++i) {
    items.push_back(random() % 5 ? File("f" + std::to_string(random() % 400), std::to_string(i))
                                 : Directory("d" + std::to_string(random() % 60)));
  }
  PaneModel pane = PaneOf(items);
  ResortPane(pane);
  std::stable_sort(items.begin(), items.end(), [](auto& a, auto& b) { return ComparePaneItems(a, b, 0) < 0; });
  EXPECT_TRUE(std::equal(items.begin(), items.end(), pane.Items().begin(), pane.Items().end(), [](auto& a, auto& b) {
    return a.caption == b.caption && a.subItems == b.subItems;
  }));
}

TEST(PaneSortingTest, EmptyPaneIsNotTouched) {
  PaneModel pane;
  int changes = 0;
  pane.SetChangeHandler([&] { ++changes; });
  ResortPane(pane);
  EXPECT_FALSE(pane.Sorting());
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace listing
