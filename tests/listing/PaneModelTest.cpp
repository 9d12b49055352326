#include <gtest/gtest.h>

#include <climits>

#include "listing/PaneSelection.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

struct CountingListener : PaneModelListener {
  void PaneItemsReset() override { ++resets; }
  void PaneSelectionChanged() override { ++selectionChanges; }
  int resets = 0;
  int selectionChanges = 0;
  int changes = 0;  // counted by the change handler
};

TEST(PaneModelTest, UpdateFoldsChangesIntoOneResetAndOneSort) {
  PaneModel pane;
  CountingListener listener;
  pane.SetListener(&listener);
  pane.SetChangeHandler([&] { ++listener.changes; });
  {
    const PaneUpdate update(pane);
    pane.SetSorting(true);
    for (const char* name : {"c", "a", "b"}) pane.Add(File(name));
    EXPECT_EQ(Captions(pane), (Names{"c", "a", "b"}));
    EXPECT_EQ(listener.resets, 0);
  }
  EXPECT_EQ(Captions(pane), (Names{"a", "b", "c"}));
  EXPECT_EQ(listener.resets, 1);
  EXPECT_EQ(listener.changes, 1);
  pane.Add(Directory("dir"));  // outside an update: straight to its place
  EXPECT_EQ(Captions(pane), (Names{"dir", "a", "b", "c"}));
}

TEST(PaneModelTest, DetachedChangeHandlerHearsNothing) {
  PaneModel pane;
  CountingListener listener;
  pane.SetListener(&listener);
  pane.SetChangeHandler([&] { ++listener.changes; });
  {
    const auto detached = pane.DetachChangeHandler();
    pane.Add(File("a"));
    pane.SetSelected(0, true);
  }
  EXPECT_EQ(listener.changes, 0);
  EXPECT_EQ(listener.resets, 1);
  EXPECT_EQ(listener.selectionChanges, 1);
  pane.SetSelected(0, false);
  EXPECT_EQ(listener.changes, 1);
}

TEST(PaneModelTest, SelectionCommandsTestDirectoriesToo) {
  PaneModel pane = PaneOf({File("a.txt"), File("b.txt"), File("c.log"), Directory("docs.txt")});
  SelectAll(pane);
  DeselectByMask(pane, "*.txt");
  EXPECT_EQ(Captions(pane, true), (Names{"c.log"}));
  InvertSelection(pane);
  EXPECT_EQ(Captions(pane, true), (Names{"a.txt", "b.txt", "docs.txt"}));
  SelectByMask(pane, "c.*");
  EXPECT_EQ(Captions(pane, true), (Names{"a.txt", "b.txt", "c.log", "docs.txt"}));
}

TEST(PaneModelTest, SelectionMenuTagPicksPaneBySignAndActionByValue) {
  EXPECT_EQ(SelectionCommandOfTag(-4)->pane, PaneSide::Remote);
  EXPECT_EQ(SelectionCommandOfTag(-4)->action, SelectionAction::Invert);
  EXPECT_FALSE(SelectionCommandOfTag(0) || SelectionCommandOfTag(5) || SelectionCommandOfTag(INT_MIN));
}

}  // namespace
}  // namespace listing
