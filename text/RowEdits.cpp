#include "text/RowEdits.h"

#include <algorithm>
#include <array>

namespace ze {

namespace {

struct RowEdit {
  ByteString Before, After;
  size_t Head = 0;
};

// A few of the newest edits: enough for an edit and the expanded row
// painted from it, or a handful of edits between two paints. Older ones
// fall back to a comparison.
constexpr size_t kKept = 4;

struct RowEdits {
  std::array<RowEdit, kKept> items;
  size_t next = 0;
};

RowEdits& Edits() {
  thread_local RowEdits edits;
  return edits;
}

bool Same(const ByteString& a, const ByteString& b) {
  return a.data() == b.data() && a.size() == b.size();
}

} // namespace

void NoteRowEdit(const ByteString& before, const ByteString& after, size_t head) {
  if (before.empty() || after.empty() || Same(before, after)) return;
  RowEdits& e = Edits();
  e.items[e.next] = RowEdit{before, after, std::min({head, before.size(), after.size()})};
  e.next = (e.next + 1) % kKept;
}

size_t SharedPrefix(const ByteString& old, const ByteString& now) {
  if (Same(old, now)) return now.size();
  if (!old.empty() && !now.empty()) {
    // Walk back from now through the edits that led to it.
    const RowEdits& e = Edits();
    const ByteString* at = &now;
    size_t head = now.size();
    for (size_t step = 0; step < kKept; ++step) {
      const RowEdit* found = nullptr;
      for (const RowEdit& r : e.items)
        if (!r.After.empty() && Same(r.After, *at)) found = &r;
      if (!found) break;
      head = std::min(head, found->Head);
      if (Same(found->Before, old)) return head;
      at = &found->Before;
    }
  }
  return CommonPrefixLength(old.view(), now.view());
}

void ForgetRowEdits() {
  RowEdits& e = Edits();
  for (RowEdit& r : e.items) r = RowEdit{};
}

} // namespace ze
