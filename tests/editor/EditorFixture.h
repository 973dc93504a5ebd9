#pragma once
// An editor on a headless window with fixed metrics: column width 8,
// character height 16, no leading. With the default settings the image
// bar is shown (12 pixels), so the text starts at x = 19 + 12 = 31 and
// y = 2.

#include <gtest/gtest.h>

#include "editor/Editor.h"
#include "tests/support/HeadlessHost.h"
#include "tests/support/RecordingSurface.h"

namespace ze::test {

struct EditorFixture : ::testing::Test {
  THeadlessHost host{640, 480};
  TRecordingSurface screen{640, 480};
  std::unique_ptr<TEditor> editor = Create<TEditor>(nullptr);
  TEditor& e = *editor;

  EditorFixture() {
    TEditor::DefaultClipboard().Clear(); // one clipboard per process
    host.screen = &screen;
    e.SetHost(&host);
  }
  ~EditorFixture() override { e.SetHost(nullptr); }

  void Focus() {
    host.focused = true;
    e.FocusIn();
  }
  void SetText(const std::string& text) { e.Lines()->SetText(text); }
  void PaintAll() {
    screen.ClearCalls();
    e.Paint(screen, host.ClientRect());
  }
  int X(int col) const { return e.TextLeft() + (col - e.TopCol()) * e.ColWidth(); }
  int Y(int row) const { return e.TextTop() + (row - e.TopRow()) * e.RowHeight(); }
  // The text painted on a screen row, n columns from column 0.
  std::string Shown(int row, int n) { return screen.TextAt(X(0), Y(row), n, e.ColWidth()); }
};

} // namespace ze::test
