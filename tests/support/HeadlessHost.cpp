#include "tests/support/HeadlessHost.h"

#include <algorithm>
#include <cstdlib>

namespace ze::test {

std::string ToString(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
         "," + std::to_string(r.Bottom);
}

std::vector<TRect> UncoveredByScroll(int dx, int dy, const TRect& r) {
  if (r.IsEmpty() || (dx == 0 && dy == 0)) return {};
  if (std::abs(dx) >= r.Width() || std::abs(dy) >= r.Height()) return {r};
  std::vector<TRect> out;
  // A band across the full width for the vertical part...
  if (dy > 0) out.push_back(TRect{r.Left, r.Top, r.Right, r.Top + dy});
  if (dy < 0) out.push_back(TRect{r.Left, r.Bottom + dy, r.Right, r.Bottom});
  // ...and the rest of the height for the horizontal part.
  const int top = dy > 0 ? r.Top + dy : r.Top;
  const int bottom = dy < 0 ? r.Bottom + dy : r.Bottom;
  if (dx > 0) out.push_back(TRect{r.Left, top, r.Left + dx, bottom});
  if (dx < 0) out.push_back(TRect{r.Right + dx, top, r.Right, bottom});
  return out;
}

THeadlessHost::THeadlessHost(int w, int h) : width(w), height(h) {}

void THeadlessHost::Invalidate(const TRect& r) {
  Log("Invalidate " + ToString(r));
  invalidated.push_back(r);
  dirty_.push_back(r);
}

void THeadlessHost::InvalidateAll() {
  Log("InvalidateAll");
  ++invalidateAllCount;
  invalidated.push_back(ClientRect());
  dirty_.push_back(ClientRect());
}

void THeadlessHost::UpdateNow() {
  Log("UpdateNow");
  ++updateNowCount;
  const TRect d = DirtyBounds();
  ClearDirty();
  if (onUpdateNow && !d.IsEmpty()) onUpdateNow(d);
}

void THeadlessHost::ScrollContents(int dx, int dy, const TRect& r) {
  Log("ScrollContents " + std::to_string(dx) + "," + std::to_string(dy) + " " + ToString(r));
  scrolls.push_back(TScrollCall{dx, dy, r});
  const TRect area = Intersect(r, ClientRect());
  // Pending invalid areas inside r move with the pixels, as in a window.
  // The old place stays dirty too: a little more repaint, never less.
  const size_t pending = dirty_.size();
  for (size_t i = 0; i < pending; ++i) {
    const TRect in = Intersect(dirty_[i], area);
    if (in.IsEmpty()) continue;
    const TRect moved =
        Intersect(TRect{in.Left + dx, in.Top + dy, in.Right + dx, in.Bottom + dy}, area);
    if (!moved.IsEmpty()) dirty_.push_back(moved);
  }
  if (screen) screen->ScrollPixels(dx, dy, area);
  for (const TRect& u : UncoveredByScroll(dx, dy, area)) {
    exposed.push_back(u);
    dirty_.push_back(u);
  }
}

void THeadlessHost::SetRedraw(bool on) {
  Log(std::string("SetRedraw ") + (on ? "1" : "0"));
  redraw = on;
}

void THeadlessHost::CreateCaret(int w, int h) {
  Log("CreateCaret " + std::to_string(w) + "x" + std::to_string(h));
  ++caret.Creates;
  caret.Exists = true;
  caret.Visible = false;
  caret.Width = w;
  caret.Height = h;
}

void THeadlessHost::DestroyCaret() {
  Log("DestroyCaret");
  ++caret.Destroys;
  caret.Exists = false;
  caret.Visible = false;
}

void THeadlessHost::SetCaretPos(int x, int y) {
  Log("SetCaretPos " + std::to_string(x) + "," + std::to_string(y));
  if (!caret.Exists) return;
  ++caret.Moves;
  caret.X = x;
  caret.Y = y;
}

void THeadlessHost::ShowCaret() {
  Log("ShowCaret");
  if (!caret.Exists) return;
  ++caret.Shows;
  caret.Visible = true;
}

void THeadlessHost::HideCaret() {
  Log("HideCaret");
  if (!caret.Exists) return;
  ++caret.Hides;
  caret.Visible = false;
}

void THeadlessHost::SetImePosition(int x, int y, int h) {
  Log("SetImePosition " + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(h));
  ime = TImePosition{x, y, h, ime.Sets + 1};
}

void THeadlessHost::ShowScrollBar(TScrollBar bar, bool show) {
  Log(std::string("ShowScrollBar ") + (bar == TScrollBar::Vertical ? "V " : "H ") +
      (show ? "1" : "0"));
  Bar(bar).Visible = show;
}

void THeadlessHost::SetScrollInfo(TScrollBar bar, int min, int max, int page, int pos) {
  Log(std::string("SetScrollInfo ") + (bar == TScrollBar::Vertical ? "V " : "H ") +
      std::to_string(min) + ".." + std::to_string(max) + " page " + std::to_string(page) + " pos " +
      std::to_string(pos));
  TScrollBarState& b = Bar(bar);
  b.Min = min;
  b.Max = max;
  b.Page = page;
  b.Pos = pos;
  ++b.Sets;
}

void THeadlessHost::SetCursor(int c) {
  Log("SetCursor " + std::to_string(c));
  cursor = c;
  ++cursorSets;
}

void THeadlessHost::SetCapture(bool on) {
  Log(std::string("SetCapture ") + (on ? "1" : "0"));
  capture = on;
}

void THeadlessHost::SetFocus() {
  Log("SetFocus");
  ++setFocusCount;
  if (onSetFocus) onSetFocus();
}

TRect THeadlessHost::DirtyBounds() const {
  TRect b;
  for (const TRect& d : dirty_) {
    const TRect r = Intersect(d, ClientRect());
    if (r.IsEmpty()) continue;
    if (b.IsEmpty()) {
      b = r;
      continue;
    }
    b = TRect{std::min(b.Left, r.Left), std::min(b.Top, r.Top), std::max(b.Right, r.Right),
              std::max(b.Bottom, r.Bottom)};
  }
  return b;
}

bool THeadlessHost::IsDirty(int x, int y) const {
  return std::any_of(dirty_.begin(), dirty_.end(),
                     [&](const TRect& d) { return d.Contains(x, y); });
}

void THeadlessHost::ClearDirty() {
  dirty_.clear();
}

void THeadlessHost::ClearRecords() {
  log.clear();
  invalidated.clear();
  invalidateAllCount = 0;
  updateNowCount = 0;
  scrolls.clear();
  exposed.clear();
  caret.Creates = caret.Destroys = caret.Shows = caret.Hides = caret.Moves = 0;
  ime.Sets = 0;
  hbar.Sets = vbar.Sets = 0;
  cursorSets = 0;
  setFocusCount = 0;
  ClearDirty();
}

int THeadlessHost::Count(const std::string& prefix) const {
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& s) {
    return s.compare(0, prefix.size(), prefix) == 0;
  }));
}

int THeadlessHost::Find(const std::string& prefix, int from) const {
  for (size_t i = static_cast<size_t>(std::max(0, from)); i < log.size(); ++i)
    if (log[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
  return -1;
}

} // namespace ze::test
