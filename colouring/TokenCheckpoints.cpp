#include "colouring/TokenCheckpoints.h"

#include <algorithm>

#include "colouring/ScanTables.h"
#include "text/RowEdits.h"

namespace ze {

namespace {

bool SameStart(const TRowAttributeData& a, const TRowAttributeData& b) {
  return a.RowAttribute == b.RowAttribute && a.PrevRowAttribute == b.PrevRowAttribute &&
         a.BracketIndex == b.BracketIndex && a.ElementState == b.ElementState &&
         a.RemainBytes == b.RemainBytes && a.ExtraState == b.ExtraState &&
         a.CarriedToken == b.CarriedToken && a.CarriedFlag == b.CarriedFlag &&
         a.DataStr == b.DataStr;
}

} // namespace

TTokenCheckpoints::TTokenCheckpoints(size_t minRowBytes, size_t spacing, int slots)
    : minRowBytes_(minRowBytes), spacing_(std::max<size_t>(spacing, 1)),
      maxSlots_(std::max(slots, 1)) {}

void TTokenCheckpoints::Clear() {
  active_ = nullptr;
  activeParser_ = nullptr;
  slots_.clear();
}

void TTokenCheckpoints::Configure(size_t minRowBytes, size_t spacing) {
  Clear();
  minRowBytes_ = minRowBytes;
  spacing_ = std::max<size_t>(spacing, 1);
}

size_t TTokenCheckpoints::PointCount() const {
  size_t n = 0;
  for (const Slot& s : slots_)
    n += s.Points.size();
  return n;
}

TTokenCheckpoints::Slot& TTokenCheckpoints::SlotFor(const ByteString& text,
                                                    const TRowAttributeData& data,
                                                    const ByteString& key) {
  Slot* best = nullptr;
  size_t bestSame = 0;
  for (Slot& s : slots_) {
    if (s.Key != key || !SameStart(s.StartState, data)) continue;
    // The first byte that differs; the terminating NUL counts as a byte,
    // so an unchanged row differs nowhere.
    size_t same = SharedPrefix(s.Row, text);
    if (same == s.Row.size() && same == text.size()) same = static_cast<size_t>(-1);
    if (!best || same > bestSame) {
      best = &s;
      bestSame = same;
    }
  }
  // A slot that shares too little with the row keeps its points for the
  // row it was made for; this row gets a slot of its own.
  if (!best || (bestSame < spacing_ && bestSame < text.size())) {
    if (static_cast<int>(slots_.size()) < maxSlots_) {
      best = &slots_.emplace_back();
    } else {
      best = &*std::min_element(slots_.begin(), slots_.end(),
                                [](const Slot& a, const Slot& b) { return a.Used < b.Used; });
    }
    best->Row = ByteString();
    best->Points.clear();
    best->StartState = data;
    best->Key = key;
    bestSame = 0;
  }
  // Points whose tokens may have read a changed byte go, with every point
  // after them.
  auto& pts = best->Points;
  auto firstStale = std::find_if(pts.begin(), pts.end(),
                                 [&](const Point& p) { return p.Horizon > bestSame; });
  pts.erase(firstStale, pts.end());
  best->Row = text; // shared, not copied
  best->Used = ++clock_;
  return *best;
}

void TTokenCheckpoints::TakePoint(const TFountainParser& parser) {
  const size_t end = static_cast<size_t>(parser.SourcePos()) + parser.TokenLength();
  if (end < mark_ || !parser.CanSavePoint()) return;
  auto& pts = active_->Points;
  size_t horizon = std::max(pts.empty() ? 0 : pts.back().Horizon, end + lookahead_);
  const std::string_view bytes = active_->Row.view();
  auto isMail = [&](size_t i) {
    return scan::Is(static_cast<unsigned char>(bytes[i]), scan::kMail);
  };
  if (mail_ && end > 0 && end < bytes.size() && isMail(end - 1) && isMail(end)) {
    // A mail test of a token before here read the whole run of mail
    // characters that goes on past this point, up to the byte ending it.
    size_t e = end;
    while (e < bytes.size() && isMail(e))
      ++e;
    horizon = std::max(horizon, e + 1);
  }
  pts.push_back(Point{parser.SavePoint(), horizon});
  mark_ = end + spacing_;
}

size_t TTokenCheckpoints::Start(TFountainParser& parser, const ByteString& row,
                                const TRowAttributeData& data, size_t pos) {
  active_ = nullptr;
  activeParser_ = nullptr;
  parser.NewData(row.data(), row.size(), data);
  TFountainParser::TResumeInfo info;
  // Near a row's start no point would be of use: the bytes are not
  // compared either.
  if (row.size() < minRowBytes_ || pos < spacing_ || !parser.ResumeInfo(info)) return 0;
  Slot& slot = SlotFor(row, data, info.Key);
  active_ = &slot;
  activeParser_ = &parser;
  lookahead_ = info.Lookahead;
  mail_ = info.Mail;
  const auto& pts = slot.Points;
  mark_ = (pts.empty() ? 0 : pts.back().State.Pos) + spacing_;
  // A point restores every state NewData sets apart from a carried token,
  // which is done with before any point is taken.
  auto after = std::upper_bound(pts.begin(), pts.end(), pos,
                                [](size_t p, const Point& pt) { return p < pt.State.Pos; });
  if (after == pts.begin()) return 0;
  parser.ResumeAt(std::prev(after)->State);
  return std::prev(after)->State.Pos;
}

} // namespace ze
