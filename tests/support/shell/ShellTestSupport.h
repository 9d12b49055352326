#pragma once
// Shared by the shell tests: the rows' names (support/CaseName.h) and drags dropped on a
// pane's view.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

#include "shell/PaneView.h"
#include "support/CaseName.h"

namespace shell {
namespace {

using testsupport::CaseName;
using testsupport::PrintTo;

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
