#pragma once
// What the editor control needs from the window that shows it. The Qt
// widget implements this; tests use a headless host.

#include "platform/Surface.h"

namespace ze {

enum class TScrollBar { Horizontal, Vertical };

// Cursor shapes, as the editor's cursor settings number them.
enum : int {
  crDefault = 0,
  crIBeam = -4,
  crDrag = -12,
  crRightArrow = 1958,
  crDragSelCopy = 1959,
};

class TWindowHost {
public:
  virtual ~TWindowHost() = default;

  // False until the window exists (metrics, caret and invalidation wait).
  virtual bool HasWindow() const = 0;
  virtual bool Showing() const = 0;
  virtual bool Focused() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;

  // A surface to measure fonts with outside painting.
  virtual TSurface& MeasureSurface() = 0;

  virtual void Invalidate(const TRect& r) = 0;
  virtual void InvalidateAll() = 0;
  // Paints what is invalid now instead of later.
  virtual void UpdateNow() = 0;
  // Moves the pixels in r by (dx, dy); the uncovered part is invalidated.
  virtual void ScrollContents(int dx, int dy, const TRect& r) = 0;
  virtual void SetRedraw(bool on) = 0;

  // The caret is drawn and blinked by the host.
  virtual void CreateCaret(int width, int height) = 0;
  virtual void DestroyCaret() = 0;
  virtual void SetCaretPos(int x, int y) = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;
  // Where the input method shows its composition and candidates.
  virtual void SetImePosition(int x, int y, int height) = 0;

  virtual int ScrollBarSize(TScrollBar bar) const = 0;
  virtual void ShowScrollBar(TScrollBar bar, bool show) = 0;
  virtual void SetScrollInfo(TScrollBar bar, int min, int max, int page, int pos) = 0;
  virtual int ScrollTrackPos(TScrollBar bar) const = 0;

  virtual void SetCursor(int cursor) = 0;
  virtual void SetCapture(bool on) = 0;
  virtual bool LeftButtonDown() const = 0;
  virtual bool KeyDown(int virtualKey) const = 0; // VK_SHIFT, VK_CONTROL, ...
  virtual void SetFocus() = 0;
};

} // namespace ze
