#pragma once
// A window that only answers questions, so that the time a benchmark
// measures is the editor's (model, recolouring, the repaint region) and
// not a recording host's.

#include "editor/Editor.h"
#include "tests/support/RecordingSurface.h"

namespace ze::bench {

class NullHost : public ze::TWindowHost {
public:
  bool HasWindow() const override { return true; }
  bool Showing() const override { return true; }
  bool Focused() const override { return true; }
  int ClientWidth() const override { return 1280; }
  int ClientHeight() const override { return 960; }
  ze::TSurface& MeasureSurface() override { return measure_; }
  void Invalidate(const ze::TRect&) override {}
  void InvalidateAll() override {}
  void UpdateNow() override {}
  void ScrollContents(int, int, const ze::TRect&) override {}
  void SetRedraw(bool) override {}
  void CreateCaret(int, int) override {}
  void DestroyCaret() override {}
  void SetCaretPos(int, int) override {}
  void ShowCaret() override {}
  void HideCaret() override {}
  void SetImePosition(int, int, int) override {}
  int ScrollBarSize(ze::TScrollBar) const override { return 17; }
  void ShowScrollBar(ze::TScrollBar, bool) override {}
  void SetScrollInfo(ze::TScrollBar, int, int, int, int) override {}
  int ScrollTrackPos(ze::TScrollBar) const override { return 0; }
  void SetCursor(int) override {}
  void SetCapture(bool) override {}
  bool LeftButtonDown() const override { return false; }
  bool KeyDown(int) const override { return false; }
  void SetFocus() override {}

private:
  ze::test::TRecordingSurface measure_{1, 1};
};

} // namespace ze::bench
