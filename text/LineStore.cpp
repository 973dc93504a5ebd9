#include "text/LineStore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace ze {

// Rows move with memmove: a ByteString is a single word, so moving its
// bytes moves ownership without touching any reference count.
static_assert(std::is_standard_layout_v<ByteString>);

namespace {

// Grows or shrinks one parallel array to capacity entries.
template <class T> T* Resize(T* p, int capacity) {
  void* q = std::realloc(static_cast<void*>(p), sizeof(T) * static_cast<size_t>(capacity));
  if (!q) throw std::bad_alloc();
  return static_cast<T*>(q);
}

template <class T> void Move(T* a, int to, int from, int n) {
  if (a && n > 0)
    std::memmove(static_cast<void*>(a + to), static_cast<void*>(a + from),
                 sizeof(T) * static_cast<size_t>(n));
}

template <class T> void Zero(T* a, int index, int n) {
  if (a && n > 0) std::memset(static_cast<void*>(a + index), 0, sizeof(T) * static_cast<size_t>(n));
}

} // namespace

TLineStringList::~TLineStringList() {
  OnChange = nullptr;
  OnBeforeChange = nullptr;
  for (int i = 0; i < count_; ++i) texts_[i].~ByteString();
  std::free(texts_);
  std::free(bits_);
  std::free(bits2_);
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

uint32_t* TLineStringList::Bits2() {
  if (!bits2_) {
    void* p = std::calloc(static_cast<size_t>(std::max(capacity_, 1)), sizeof(uint32_t));
    if (!p) throw std::bad_alloc();
    bits2_ = static_cast<uint32_t*>(p);
  }
  return bits2_;
}

void TLineStringList::Destroy(int i) noexcept {
  uint32_t slot = DataStrSlot(i);
  if (slot != 0) {
    dataStrs_[slot] = ByteString();
    freeSlots_.push_back(slot);
    extras_[i].DataStrSlot = 0;
  }
  texts_[i].~ByteString();
}

void TLineStringList::MoveRows(int to, int from, int n) noexcept {
  Move(texts_, to, from, n);
  Move(bits_, to, from, n);
  Move(bits2_, to, from, n);
  Move(extras_, to, from, n);
}

void TLineStringList::ZeroRows(int index, int n) noexcept {
  Zero(texts_, index, n);
  Zero(bits_, index, n);
  Zero(bits2_, index, n);
  Zero(extras_, index, n);
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
    std::free(texts_);
    std::free(bits_);
    std::free(bits2_);
    std::free(extras_);
    texts_ = nullptr;
    bits_ = nullptr;
    bits2_ = nullptr;
    extras_ = nullptr;
    capacity_ = 0;
    return;
  }
  // The arrays keep at least count_ rows whatever fails, and capacity_ is
  // the smallest room they all have.
  const int shrunk = std::min(capacity_, capacity);
  try {
    texts_ = Resize(texts_, capacity);
    bits_ = Resize(bits_, capacity);
    if (bits2_) bits2_ = Resize(bits2_, capacity);
    if (extras_) extras_ = Resize(extras_, capacity);
  } catch (...) {
    capacity_ = shrunk;
    throw;
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
  MoveRows(index + n, index, count_ - index);
  ZeroRows(index, n);
  count_ += n;
  Changed();
}

void TLineStringList::DeleteRowRange(int index, int n) {
  if (n <= 0) return;
  CheckIndex(index);
  if (n > count_ - index) throw EStringListError(kListIndexError);
  Changing();
  for (int i = index; i < index + n; ++i) Destroy(i);
  MoveRows(index, index + n, count_ - index - n);
  count_ -= n;
  Changed();
}

void TLineStringList::SwapRows(TLineStringList& other) noexcept {
  std::swap(texts_, other.texts_);
  std::swap(bits_, other.bits_);
  std::swap(bits2_, other.bits2_);
  std::swap(extras_, other.extras_);
  std::swap(count_, other.count_);
  std::swap(capacity_, other.capacity_);
  std::swap(dataStrs_, other.dataStrs_);
  std::swap(freeSlots_, other.freeSlots_);
}

void TLineStringList::Put(int index, const ByteString& s) {
  CheckIndex(index);
  Changing();
  texts_[index] = s;
  Changed();
}

void TLineStringList::Insert(int index, const ByteString& s) {
  if (index < 0 || index > count_) throw EStringListError(kListIndexError);
  Changing();
  if (count_ == capacity_) Grow();
  MoveRows(index + 1, index, count_ - index);
  ZeroRows(index, 1);
  new (texts_ + index) ByteString(s);
  ++count_;
  Changed();
}

void TLineStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  Destroy(index);
  --count_;
  MoveRows(index, index + 1, count_ - index);
  Changed();
}

void TLineStringList::Exchange(int i, int j) {
  CheckIndex(i);
  CheckIndex(j);
  Changing();
  std::swap(texts_[i], texts_[j]);
  std::swap(bits_[i], bits_[j]);
  if (bits2_) std::swap(bits2_[i], bits2_[j]);
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
  const uint32_t bits = RowBits(i), bits2 = RowBits2(i);
  TRowAttributeData d;
  d.RowAttribute = static_cast<uint8_t>(Field(bits, 0, 2));
  d.PrevRowAttribute = static_cast<uint8_t>(Field(bits, 2, 2));
  d.BracketIndex = static_cast<int>(Field(bits, 4, 4)) - 2;
  d.ElementState = static_cast<int>(Field(bits, 8, 8));
  d.RemainBytes = static_cast<int>(Field(bits, 16, 8));
  d.ExtraState = static_cast<int>(Field(bits, 24, 8));
  d.CarriedToken = static_cast<uint8_t>(Field(bits2, 0, 8));
  d.CarriedFlag = static_cast<uint8_t>(Field(bits2, 8, 8));
  if (DataStrSlot(i) != 0) d.DataStr = RowDataStr(i);
  return d;
}

void TRowAttributeStringList::ResetColouring(int from, int to) {
  // Straight over the records: this can cover millions of rows.
  to = std::min(to, GetCount());
  uint32_t* bits = BitsArray();
  uint32_t* bits2 = Bits2Array();
  for (int k = std::max(from, 0); k < to; ++k) {
    bits[k] &= 0x3u;                  // keep the row end; BracketIndex field 0 reads -2
    if (bits2) bits2[k] &= 0xFFFF0000u; // keep the marks
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
