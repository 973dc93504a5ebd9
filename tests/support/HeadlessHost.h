#pragma once
// A window host without a window, for editor tests: a client area of a
// size the test chooses, a focus flag, and a record of everything the
// editor asks of its window (invalidation, scrolling, caret, scroll bars,
// cursor), both as state ("is the caret shown now?") and as an ordered
// log of calls ("was the caret hidden before the scroll?").
//
// The caret behaves as the Qt host's does: created hidden, one shown flag
// (not a counter), positions and shows ignored while no caret exists.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/WindowHost.h"
#include "tests/support/RecordingSurface.h"

namespace ze::test {

struct TScrollCall {
  int Dx = 0, Dy = 0;
  TRect Rect;
};

struct TCaretState {
  bool Exists = false;
  bool Visible = false;
  int Width = 0, Height = 0;
  int X = 0, Y = 0;
  int Creates = 0, Destroys = 0, Shows = 0, Hides = 0, Moves = 0;
};

struct TScrollBarState {
  bool Visible = false;
  int Min = 0, Max = 0, Page = 0, Pos = 0;
  int Sets = 0;     // SetScrollInfo calls
  int TrackPos = 0; // what ScrollTrackPos answers; set by the test
};

struct TImePosition {
  int X = 0, Y = 0, Height = 0;
  int Sets = 0;
};

class THeadlessHost : public TWindowHost {
public:
  explicit THeadlessHost(int width = 640, int height = 480);

  // ---- TWindowHost
  bool HasWindow() const override { return hasWindow; }
  bool Showing() const override { return showing; }
  bool Focused() const override { return focused; }
  int ClientWidth() const override { return width; }
  int ClientHeight() const override { return height; }
  TSurface& MeasureSurface() override { return measure; }
  void Invalidate(const TRect& r) override;
  void InvalidateAll() override;
  void UpdateNow() override;
  void ScrollContents(int dx, int dy, const TRect& r) override;
  void SetRedraw(bool on) override;
  void CreateCaret(int w, int h) override;
  void DestroyCaret() override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret() override;
  void HideCaret() override;
  void SetImePosition(int x, int y, int h) override;
  int ScrollBarSize(TScrollBar bar) const override { return scrollBarSize; }
  void ShowScrollBar(TScrollBar bar, bool show) override;
  void SetScrollInfo(TScrollBar bar, int min, int max, int page, int pos) override;
  int ScrollTrackPos(TScrollBar bar) const override { return Bar(bar).TrackPos; }
  void SetCursor(int c) override;
  void SetCapture(bool on) override;
  bool LeftButtonDown() const override { return leftButton; }
  bool KeyDown(int vk) const override { return keysDown.count(vk) != 0; }
  void SetFocus() override;

  // ---- helpers
  TRect ClientRect() const { return TRect{0, 0, width, height}; }
  TScrollBarState& Bar(TScrollBar bar) { return bar == TScrollBar::Vertical ? vbar : hbar; }
  const TScrollBarState& Bar(TScrollBar bar) const {
    return bar == TScrollBar::Vertical ? vbar : hbar;
  }
  // Bounding box of everything invalidated or uncovered by a scroll since
  // the last ClearDirty (or UpdateNow); empty when nothing is.
  TRect DirtyBounds() const;
  bool IsDirty(int x, int y) const;
  void ClearDirty();
  // Forgets the records (log, invalidations, scrolls, counters) but keeps
  // the state (caret, scroll bars, cursor, focus).
  void ClearRecords();
  // Number of log entries that start with prefix.
  int Count(const std::string& prefix) const;
  // Index of the first log entry at or after from that starts with
  // prefix, -1 when there is none.
  int Find(const std::string& prefix, int from = 0) const;

  // ---- what the test sets
  bool hasWindow = true;
  bool showing = true;
  bool focused = false;
  int width, height;
  int scrollBarSize = 17;
  bool leftButton = false;
  std::set<int> keysDown;
  // SetFocus calls this (typically: focused = true; editor.FocusIn()).
  std::function<void()> onSetFocus;
  // UpdateNow calls this with the dirty bounds when something is dirty,
  // so a test can paint synchronously as a window would.
  std::function<void(const TRect&)> onUpdateNow;
  // When set, ScrollContents moves this raster's pixels like a window.
  TRecordingSurface* screen = nullptr;
  TRecordingSurface measure;

  // ---- what the editor did
  std::vector<std::string> log;
  std::vector<TRect> invalidated; // Invalidate, and the client rect for InvalidateAll
  int invalidateAllCount = 0;
  int updateNowCount = 0;
  std::vector<TScrollCall> scrolls;
  std::vector<TRect> exposed; // parts uncovered by ScrollContents
  bool redraw = true;
  TCaretState caret;
  TImePosition ime;
  TScrollBarState hbar, vbar;
  int cursor = crDefault;
  int cursorSets = 0;
  bool capture = false;
  int setFocusCount = 0;

private:
  void Log(std::string s) { log.push_back(std::move(s)); }
  std::vector<TRect> dirty_;
};

// The part of r that a scroll by (dx, dy) inside r leaves uncovered: up to
// two rectangles (all of r when the move is at least as large as r).
std::vector<TRect> UncoveredByScroll(int dx, int dy, const TRect& r);

std::string ToString(const TRect& r);

} // namespace ze::test
