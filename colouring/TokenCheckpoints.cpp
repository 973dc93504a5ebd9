#include "colouring/TokenCheckpoints.h"

#include <algorithm>
#include <cstring>

#include "colouring/ScanTables.h"

namespace ze {

namespace {

bool SameStart(const TRowAttributeData& a, const TRowAttributeData& b) {
  return a.RowAttribute == b.RowAttribute && a.PrevRowAttribute == b.PrevRowAttribute &&
         a.BracketIndex == b.BracketIndex && a.ElementState == b.ElementState &&
         a.RemainBytes == b.RemainBytes && a.ExtraState == b.ExtraState &&
         a.CarriedToken == b.CarriedToken && a.CarriedFlag == b.CarriedFlag &&
         a.DataStr == b.DataStr;
}

// The length of the common prefix of a and b; whole blocks are compared
// with memcmp first, as a long row usually differs only near an edit.
size_t CommonPrefix(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  constexpr size_t kBlock = 4096;
  size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0)
    i += kBlock;
  while (i < n && a[i] == b[i])
    ++i;
  return i;
}

} // namespace

TTokenCheckpoints::TTokenCheckpoints(size_t minRowBytes, size_t spacing, int slots)
    : minRowBytes_(minRowBytes), spacing_(std::max<size_t>(spacing, 1)),
      maxSlots_(std::max(slots, 1)) {}

void TTokenCheckpoints::Configure(size_t minRowBytes, size_t spacing) {
  slots_.clear();
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
    size_t same = CommonPrefix(s.Text, text.view());
    if (same == s.Text.size() && same == text.size()) same = static_cast<size_t>(-1);
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
    best->Text.clear();
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
  // Only the changed end is copied.
  if (bestSame < text.size() || best->Text.size() != text.size()) {
    best->Text.resize(std::min(bestSame, best->Text.size()));
    best->Text.append(text.view().substr(best->Text.size()));
  }
  best->Used = ++clock_;
  return *best;
}

bool TTokenCheckpoints::Extend(Slot& slot, TFountainParser& parser,
                               const TFountainParser::TResumeInfo& info, const char* text,
                               size_t length, size_t pos) {
  auto& pts = slot.Points;
  size_t from = pts.empty() ? 0 : pts.back().State.Pos;
  if (from + spacing_ > pos) return false;
  if (!pts.empty()) parser.ResumeAt(pts.back().State);
  size_t mark = from + spacing_;
  size_t horizon = pts.empty() ? 0 : pts.back().Horizon;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  while (parser.NextToken() != ttEnd) {
    const size_t end = static_cast<size_t>(parser.SourcePos()) + parser.TokenLength();
    if (end > pos) break;
    if (end < mark || !parser.CanSavePoint()) continue;
    horizon = std::max(horizon, end + info.Lookahead);
    if (info.Mail && end > 0 && end < length && scan::Is(bytes[end - 1], scan::kMail) &&
        scan::Is(bytes[end], scan::kMail)) {
      // A mail test of a token before here read the whole run of mail
      // characters that goes on past this point, up to the byte ending it.
      size_t e = end;
      while (scan::Is(bytes[e], scan::kMail))
        ++e;
      horizon = std::max(horizon, e + 1);
    }
    pts.push_back(Point{parser.SavePoint(), horizon});
    mark = end + spacing_;
    if (mark > pos) break;
  }
  return true;
}

size_t TTokenCheckpoints::Start(TFountainParser& parser, const ByteString& row,
                                const TRowAttributeData& data, size_t pos) {
  const char* text = row.data();
  const size_t length = row.size();
  TFountainParser::TResumeInfo info;
  if (length < minRowBytes_ || pos < spacing_ || !parser.ResumeInfo(info)) {
    parser.NewData(text, length, data);
    return 0;
  }
  Slot& slot = SlotFor(row, data, info.Key);
  // Extend starts the row; a point restores every state NewData sets
  // apart from a carried token, which is done with before any point.
  parser.NewData(text, length, data);
  const bool moved = Extend(slot, parser, info, text, length, pos);
  const auto& pts = slot.Points;
  auto after = std::upper_bound(pts.begin(), pts.end(), pos,
                                [](size_t p, const Point& pt) { return p < pt.State.Pos; });
  if (after == pts.begin()) {
    if (moved) parser.NewData(text, length, data);
    return 0;
  }
  parser.ResumeAt(std::prev(after)->State);
  return std::prev(after)->State.Pos;
}

} // namespace ze
