#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "listing/ComparePaneItems.h"
#include "listing/PaneSorting.h"
#include "tests/listing/TestSupport.h"

namespace listing {
namespace {

TEST(PaneSortingTest, DirectoriesComeFirstAndNamesIgnoreCase) {
  PaneModel pane = PaneOf({File("b"), Directory("Zed"), File("C"), Directory("alpha"), File("a")});
  ResortPane(pane);
  EXPECT_EQ(Captions(pane), (Names{"alpha", "Zed", "a", "b", "C"}));
}

TEST(PaneSortingTest, SecondClickReversesEachGroupButKeepsDirectoriesFirst) {
  PaneModel pane = PaneOf({File("b"), Directory("x"), File("a"), Directory("y")});
  ClickColumn(pane, kColumnName);
  EXPECT_EQ(Captions(pane), (Names{"x", "y", "a", "b"}));
  ClickColumn(pane, kColumnName);
  EXPECT_EQ(pane.SortKey(), -kColumnName);
  EXPECT_EQ(Captions(pane), (Names{"y", "x", "b", "a"}));
}

TEST(PaneSortingTest, SizeClickPutsTheLargestFirstThenTheSmallest) {
  PaneModel pane = PaneOf({File("small", "9"), File("huge", "5368709120"), File("bigger", "4294967297"),
                           File("none", ""), File("leading digits", "12kB")});
  ClickColumn(pane, kColumnSize);
  EXPECT_EQ(Captions(pane), (Names{"huge", "bigger", "leading digits", "small", "none"}));
  ClickColumn(pane, kColumnSize);
  EXPECT_EQ(Captions(pane), (Names{"none", "small", "leading digits", "bigger", "huge"}));
}

TEST(PaneSortingTest, DatesSortYearFirstAsText) {
  PaneModel remote = PaneOf({File("dec99", "", "31.12.99"), File("jan00", "", "01.01.00"),
                             File("jun99", "", "15.06.99")});
  ClickColumn(remote, kColumnDate);
  EXPECT_EQ(Captions(remote), (Names{"jan00", "jun99", "dec99"}));
  PaneModel local = PaneOf({File("1999", "", "05/03/1999"), File("1998", "", "04/04/1998")});
  ClickColumn(local, kColumnDate);
  EXPECT_EQ(Captions(local), (Names{"1998", "1999"}));
}

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
  std::vector<PaneItem> expected = items;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const PaneItem& a, const PaneItem& b) { return ComparePaneItems(a, b, 0) < 0; });
  PaneModel pane;
  pane.Assign(std::move(items));
  ResortPane(pane);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(pane.Item(i).caption + "/" + pane.Item(i).subItems[kSubSize],
              expected[i].caption + "/" + expected[i].subItems[kSubSize]) << i;
  }
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
