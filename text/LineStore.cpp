#include "text/LineStore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace ze {

// Rows move with memmove: a RowRecord is a ByteString (a single pointer
// to its shared block) and plain integers, so moving its bytes moves
// ownership without touching any reference count.
static_assert(std::is_standard_layout_v<ByteString>);

TLineStringList::~TLineStringList() {
  OnChange = nullptr;
  OnBeforeChange = nullptr;
  for (int i = 0; i < count_; ++i) items_[i].~RowRecord();
  std::free(items_);
  std::free(extras_);
}

TLineStringList::RowExtra& TLineStringList::Extra(int i) {
  if (!extras_) {
    void* p = std::calloc(static_cast<size_t>(std::max(capacity_, 1)), sizeof(RowExtra));
    if (!p) throw std::bad_alloc();
    extras_ = static_cast<RowExtra*>(p);
  }
  return extras_[i];
}

void TLineStringList::Destroy(int i) noexcept {
  uint32_t slot = DataStrSlot(i);
  if (slot != 0) {
    dataStrs_[slot] = ByteString();
    freeSlots_.push_back(slot);
    extras_[i].DataStrSlot = 0;
  }
  items_[i].~RowRecord();
}

ByteString TLineStringList::RowDataStr(int i) const {
  CheckIndex(i);
  return dataStrs_[DataStrSlot(i)];
}

void TLineStringList::SetRowDataStr(int i, const ByteString& v) {
  CheckIndex(i);
  if (DataStrSlot(i) == 0 && v.empty()) return;
  RowExtra& r = Extra(i);
  if (r.DataStrSlot == 0) {
    if (freeSlots_.empty()) {
      dataStrs_.emplace_back();
      r.DataStrSlot = static_cast<uint32_t>(dataStrs_.size() - 1);
    } else {
      r.DataStrSlot = freeSlots_.back();
      freeSlots_.pop_back();
    }
  } else if (v.empty()) {
    dataStrs_[r.DataStrSlot] = ByteString();
    freeSlots_.push_back(r.DataStrSlot);
    r.DataStrSlot = 0;
    return;
  }
  dataStrs_[r.DataStrSlot] = v;
}

void TLineStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
    updating_ = 1;
  } else {
    updating_ = 0;
    Changed();
  }
}

void TLineStringList::Changing() {
  if (updating_ == 0 && OnBeforeChange) OnBeforeChange(this);
}

void TLineStringList::Changed() {
  if (updating_ == 0 && OnChange) OnChange(this);
}

void TLineStringList::SetCapacity(int capacity) {
  if (capacity < count_) throw EStringListError(kListIndexError);
  if (capacity == capacity_) return;
  if (capacity == 0) {
    std::free(items_);
    std::free(extras_);
    items_ = nullptr;
    extras_ = nullptr;
    capacity_ = 0;
    return;
  }
  void* p = std::realloc(static_cast<void*>(items_), sizeof(RowRecord) * static_cast<size_t>(capacity));
  if (!p) throw std::bad_alloc();
  items_ = static_cast<RowRecord*>(p);
  if (extras_) {
    void* e = std::realloc(static_cast<void*>(extras_), sizeof(RowExtra) * static_cast<size_t>(capacity));
    if (!e) {
      // Keep the two arrays the same size: give the rows back their room.
      capacity_ = std::min(capacity_, capacity);
      throw std::bad_alloc();
    }
    extras_ = static_cast<RowExtra*>(e);
  }
  capacity_ = capacity;
}

void TLineStringList::Grow() {
  int delta = capacity_ > 64 ? capacity_ / 4 : (capacity_ > 8 ? 16 : 4);
  SetCapacity(capacity_ + delta);
}

void TLineStringList::Reserve(int needed) {
  if (needed <= capacity_) return;
  // Follow the usual growth steps, but reallocate once.
  int cap = capacity_;
  while (cap < needed) cap += cap > 64 ? cap / 4 : (cap > 8 ? 16 : 4);
  SetCapacity(cap);
}

void TLineStringList::InsertRows(int index, int n) {
  if (index < 0 || index > count_) throw EStringListError(kListIndexError);
  if (n <= 0) return;
  Changing();
  Reserve(count_ + n);
  if (index < count_)
    std::memmove(static_cast<void*>(items_ + index + n), static_cast<void*>(items_ + index),
                 sizeof(RowRecord) * static_cast<size_t>(count_ - index));
  std::memset(static_cast<void*>(items_ + index), 0, sizeof(RowRecord) * static_cast<size_t>(n));
  if (extras_) {
    if (index < count_)
      std::memmove(static_cast<void*>(extras_ + index + n), static_cast<void*>(extras_ + index),
                   sizeof(RowExtra) * static_cast<size_t>(count_ - index));
    std::memset(static_cast<void*>(extras_ + index), 0, sizeof(RowExtra) * static_cast<size_t>(n));
  }
  count_ += n;
  Changed();
}

void TLineStringList::DeleteRowRange(int index, int n) {
  if (n <= 0) return;
  CheckIndex(index);
  if (n > count_ - index) throw EStringListError(kListIndexError);
  Changing();
  for (int i = index; i < index + n; ++i) Destroy(i);
  if (index + n < count_) {
    std::memmove(static_cast<void*>(items_ + index), static_cast<void*>(items_ + index + n),
                 sizeof(RowRecord) * static_cast<size_t>(count_ - index - n));
    if (extras_)
      std::memmove(static_cast<void*>(extras_ + index), static_cast<void*>(extras_ + index + n),
                   sizeof(RowExtra) * static_cast<size_t>(count_ - index - n));
  }
  count_ -= n;
  Changed();
}

void TLineStringList::SwapRows(TLineStringList& other) noexcept {
  std::swap(items_, other.items_);
  std::swap(extras_, other.extras_);
  std::swap(count_, other.count_);
  std::swap(capacity_, other.capacity_);
  std::swap(dataStrs_, other.dataStrs_);
  std::swap(freeSlots_, other.freeSlots_);
}

void TLineStringList::Put(int index, const ByteString& s) {
  CheckIndex(index);
  Changing();
  items_[index].Text = s;
  Changed();
}

void TLineStringList::Insert(int index, const ByteString& s) {
  if (index < 0 || index > count_) throw EStringListError(kListIndexError);
  Changing();
  if (count_ == capacity_) Grow();
  if (index < count_)
    std::memmove(static_cast<void*>(items_ + index + 1), static_cast<void*>(items_ + index),
                 sizeof(RowRecord) * static_cast<size_t>(count_ - index));
  if (extras_ && index < count_)
    std::memmove(static_cast<void*>(extras_ + index + 1), static_cast<void*>(extras_ + index),
                 sizeof(RowExtra) * static_cast<size_t>(count_ - index));
  new (items_ + index) RowRecord{s, 0, 0};
  if (extras_) extras_[index] = RowExtra{};
  ++count_;
  Changed();
}

void TLineStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  Destroy(index);
  --count_;
  if (index < count_) {
    std::memmove(static_cast<void*>(items_ + index), static_cast<void*>(items_ + index + 1),
                 sizeof(RowRecord) * static_cast<size_t>(count_ - index));
    if (extras_)
      std::memmove(static_cast<void*>(extras_ + index), static_cast<void*>(extras_ + index + 1),
                   sizeof(RowExtra) * static_cast<size_t>(count_ - index));
  }
  Changed();
}

void TLineStringList::Exchange(int i, int j) {
  CheckIndex(i);
  CheckIndex(j);
  Changing();
  alignas(RowRecord) unsigned char tmp[sizeof(RowRecord)];
  std::memcpy(tmp, static_cast<void*>(items_ + i), sizeof(RowRecord));
  std::memcpy(static_cast<void*>(items_ + i), static_cast<void*>(items_ + j), sizeof(RowRecord));
  std::memcpy(static_cast<void*>(items_ + j), tmp, sizeof(RowRecord));
  if (extras_) std::swap(extras_[i], extras_[j]);
  Changed();
}

void TLineStringList::Clear() {
  if (count_ == 0) return;
  Changing();
  for (int i = 0; i < count_; ++i) Destroy(i);
  count_ = 0;
  SetCapacity(0);
  Changed();
}

TRowAttributeData TRowAttributeStringList::RowAttributeData(int i) const {
  // One index check and one read of each word: this runs for every row
  // that is coloured or painted.
  const RowRecord& r = Row(i);
  TRowAttributeData d;
  d.RowAttribute = static_cast<uint8_t>(Field(r.Bits, 0, 2));
  d.PrevRowAttribute = static_cast<uint8_t>(Field(r.Bits, 2, 2));
  d.BracketIndex = static_cast<int>(Field(r.Bits, 4, 4)) - 2;
  d.ElementState = static_cast<int>(Field(r.Bits, 8, 8));
  d.RemainBytes = static_cast<int>(Field(r.Bits, 16, 8));
  d.ExtraState = static_cast<int>(Field(r.Bits, 24, 8));
  d.CarriedToken = static_cast<uint8_t>(Field(r.Bits2, 0, 8));
  d.CarriedFlag = static_cast<uint8_t>(Field(r.Bits2, 8, 8));
  if (DataStrSlot(i) != 0) d.DataStr = RowDataStr(i);
  return d;
}

void TRowAttributeStringList::ResetColouring(int from, int to) {
  // Straight over the records: this can cover millions of rows.
  to = std::min(to, GetCount());
  for (int k = std::max(from, 0); k < to; ++k) {
    RowRecord& r = Records()[k];
    r.Bits &= 0x3u;          // keep the row end; BracketIndex field 0 reads -2
    r.Bits2 &= 0xFFFF0000u;  // keep the marks
    if (DataStrSlot(k) != 0) SetRowDataStr(k, ByteString());
  }
}

void TRowAttributeStringList::SetRowAttributeData(int i, const TRowAttributeData& d) {
  SetRowAttribute(i, static_cast<TRowEnd>(d.RowAttribute & 3));
  SetPrevRowAttribute(i, static_cast<TRowEnd>(d.PrevRowAttribute & 3));
  SetBracketIndex(i, d.BracketIndex);
  SetElementState(i, d.ElementState);
  SetRemainBytes(i, d.RemainBytes);
  SetExtraState(i, d.ExtraState);
  SetCarriedToken(i, d.CarriedToken);
  SetCarriedFlag(i, d.CarriedFlag);
  SetRowDataStr(i, d.DataStr);
}

} // namespace ze
