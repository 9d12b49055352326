#pragma once
// Shared by the shell tests: table rows (structs with a `what` text) name their tests and
// print as that text; drags dropped on a pane's view.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

#include <cctype>
#include <ostream>
#include <string>

#include "shell/PaneView.h"

namespace shell {
namespace {

template <typename Case>
  requires requires(const Case& c) { c.what; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    std::string name = info.param.what;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
};

// Drags `data` over the view and drops it; true when the view took the drop.
inline bool DragAndDrop(PaneView& view, QMimeData& data) {
  QWidget* target = view.ShownView()->viewport();
  QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

}  // namespace
}  // namespace shell
