#pragma once
// The row store: a list of byte strings, one per screen row, each with a
// second string, an integer and two words of bits that the colouring,
// word wrap, row marks and box selection keep per row.

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "text/ByteString.h"
#include "text/Classes.h"

namespace ze {

enum TRowEnd : uint8_t { reLineBreak = 0, reWrapped = 1, reEndOfText = 2, reUnknown = 3 };

// Row marks 0-15 as a set: bit n is mark n.
using TRowMarks = uint16_t;

// One row's colouring state as it travels between the store and the
// tokenizer.
struct TRowAttributeData {
  uint8_t RowAttribute = reLineBreak;
  uint8_t PrevRowAttribute = reLineBreak;
  int32_t BracketIndex = -2;
  int32_t ElementState = 0;
  int32_t RemainBytes = 0;
  int32_t ExtraState = 0;
  uint8_t CarriedToken = 0;
  uint8_t CarriedFlag = 0;
  ByteString DataStr;
};

class TLineStringList : public TStrings {
public:
  TLineStringList() = default;
  ~TLineStringList() override;
  TLineStringList(const TLineStringList&) = delete;
  TLineStringList& operator=(const TLineStringList&) = delete;

  ByteString Get(int index) const override {
    CheckIndex(index);
    return texts_[index];
  }
  // The row text without touching its reference count; valid until the
  // row changes.
  const ByteString& Ref(int index) const {
    CheckIndex(index);
    return texts_[index];
  }
  int GetCount() const override { return count_; }
  void Put(int index, const ByteString& s) override;
  void Insert(int index, const ByteString& s) override;
  void Delete(int index) override;
  void Exchange(int i, int j) override;
  void Clear() override;
  int GetCapacity() const override { return capacity_; }
  void SetCapacity(int capacity) override;

  int32_t RowData(int i) const {
    CheckIndex(i);
    return extras_ ? extras_[i].Data : 0;
  }
  void SetRowData(int i, int32_t v) {
    CheckIndex(i);
    if (extras_ || v != 0) Extra(i).Data = v;
  }
  ByteString RowDataStr(int i) const;
  void SetRowDataStr(int i, const ByteString& v);
  uint32_t RowBits(int i) const {
    CheckIndex(i);
    return bits_[i];
  }
  void SetRowBits(int i, uint32_t v) {
    CheckIndex(i);
    bits_[i] = v;
  }
  uint32_t RowBits2(int i) const {
    CheckIndex(i);
    return bits2_ ? bits2_[i] : 0;
  }
  void SetRowBits2(int i, uint32_t v) {
    CheckIndex(i);
    if (bits2_ || v != 0) Bits2()[i] = v;
  }

  TNotifyEvent OnChange;
  TNotifyEvent OnBeforeChange;

  // Block operations for the row store: n zeroed rows inserted at index,
  // n rows removed at index, each with one move of the rows after them and
  // one notification; and an exchange of whole contents with another list.
  void InsertRows(int index, int n);
  void DeleteRowRange(int index, int n);
  void SwapRows(TLineStringList& other) noexcept;
  // Writes a row's text without notifying (loading, bulk rewrites).
  void SetTextSilently(int index, const ByteString& s) {
    CheckIndex(index);
    texts_[index] = s;
  }
  // Loading: adds a fresh row with text s at the end without notifying;
  // the arrays grow in the usual steps.
  void AppendSilently(ByteString&& s) {
    if (count_ == capacity_) Reserve(count_ + 1);
    new (texts_ + count_) ByteString(std::move(s));
    bits_[count_] = 0;
    if (bits2_) bits2_[count_] = 0;
    if (extras_) extras_[count_] = RowExtra{};
    ++count_;
  }
  // Memory one row takes besides its text.
  static constexpr size_t RowBytes() { return sizeof(ByteString) + sizeof(uint32_t); }

protected:
  void SetUpdateState(bool updating) override;
  void Changing();
  void Changed();
  void CheckIndex(int index) const {
    if (index < 0 || index >= count_) throw EStringListError(kListIndexError);
  }

  // A row costs 12 bytes plus its text: a big file has millions of rows.
  // Its text and its first word of bits sit in two arrays. The second word
  // (carried tokens and row marks), the integer and the second string are
  // almost never set, so they live in parallel arrays that exist only once
  // one of them is; the second string itself is a slot number into a side
  // table of such strings (0: empty).
  struct RowExtra {
    uint32_t DataStrSlot = 0;
    int32_t Data = 0;
  };
  // Row i's slot in the side table (0: none).
  uint32_t DataStrSlot(int i) const { return extras_ ? extras_[i].DataStrSlot : 0; }
  // The arrays themselves, for loops over many rows; no index checks. The
  // second words are null until one is set.
  uint32_t* BitsArray() { return bits_; }
  uint32_t* Bits2Array() { return bits2_; }

private:
  void Grow();
  void Reserve(int needed);
  // Row i's extra data, and the second words; each parallel array is made
  // on first use.
  RowExtra& Extra(int i);
  uint32_t* Bits2();
  // Releases what row i owns besides its place in the arrays.
  void Destroy(int i) noexcept;
  // Moves n rows from index from to index to in every array (their bytes:
  // a ByteString is a single word, so this moves ownership as it is).
  void MoveRows(int to, int from, int n) noexcept;
  // Zeroes n rows at index in every array: empty texts, no bits.
  void ZeroRows(int index, int n) noexcept;

  std::vector<ByteString> dataStrs_{ByteString()}; // slot 0 is never used
  std::vector<uint32_t> freeSlots_;
  ByteString* texts_ = nullptr;
  uint32_t* bits_ = nullptr;
  uint32_t* bits2_ = nullptr;  // capacity_ entries when not null
  RowExtra* extras_ = nullptr; // capacity_ entries when not null
  int count_ = 0;
  int capacity_ = 0;
  int updating_ = 0;
};

class TRowAttributeStringList : public TLineStringList {
public:
  TRowEnd RowAttribute(int i) const { return static_cast<TRowEnd>(Field(RowBits(i), 0, 2)); }
  void SetRowAttribute(int i, TRowEnd v) { SetBits(i, 0, 2, v); }
  TRowEnd PrevRowAttribute(int i) const { return static_cast<TRowEnd>(Field(RowBits(i), 2, 2)); }
  void SetPrevRowAttribute(int i, TRowEnd v) { SetBits(i, 2, 2, v); }
  // Stored as value + 2, so a fresh row (all bits zero) reads -2.
  int BracketIndex(int i) const { return static_cast<int>(Field(RowBits(i), 4, 4)) - 2; }
  void SetBracketIndex(int i, int v) { SetBits(i, 4, 4, static_cast<uint32_t>(v + 2)); }
  int ElementState(int i) const { return static_cast<int>(Field(RowBits(i), 8, 8)); }
  void SetElementState(int i, int v) { SetBits(i, 8, 8, static_cast<uint32_t>(v)); }
  int RemainBytes(int i) const { return static_cast<int>(Field(RowBits(i), 16, 8)); }
  void SetRemainBytes(int i, int v) { SetBits(i, 16, 8, static_cast<uint32_t>(v)); }
  int ExtraState(int i) const { return static_cast<int>(Field(RowBits(i), 24, 8)); }
  void SetExtraState(int i, int v) { SetBits(i, 24, 8, static_cast<uint32_t>(v)); }
  uint8_t CarriedToken(int i) const { return static_cast<uint8_t>(Field(RowBits2(i), 0, 8)); }
  void SetCarriedToken(int i, uint8_t v) { SetBits2(i, 0, 8, v); }
  uint8_t CarriedFlag(int i) const { return static_cast<uint8_t>(Field(RowBits2(i), 8, 8)); }
  void SetCarriedFlag(int i, uint8_t v) { SetBits2(i, 8, 8, v); }
  TRowMarks RowMarks(int i) const { return static_cast<TRowMarks>(Field(RowBits2(i), 16, 16)); }
  void SetRowMarks(int i, TRowMarks v) { SetBits2(i, 16, 16, v); }

  // Marks rows [from, to) as not yet coloured: BracketIndex -2, the other
  // colouring fields zero, no second string. Row ends and marks stay.
  void ResetColouring(int from, int to);

  // The whole colouring state of row i, and storing one back.
  TRowAttributeData RowAttributeData(int i) const;
  void SetRowAttributeData(int i, const TRowAttributeData& d);

private:
  static uint32_t Field(uint32_t word, int shift, int width) {
    return (word >> shift) & ((1u << width) - 1u);
  }
  // Only the field's own bits change; a value too wide is truncated.
  static uint32_t PutField(uint32_t word, int shift, int width, uint32_t v) {
    uint32_t mask = ((1u << width) - 1u) << shift;
    return (word & ~mask) | ((v << shift) & mask);
  }
  void SetBits(int i, int shift, int width, uint32_t v) {
    SetRowBits(i, PutField(RowBits(i), shift, width, v));
  }
  void SetBits2(int i, int shift, int width, uint32_t v) {
    SetRowBits2(i, PutField(RowBits2(i), shift, width, v));
  }
};

// The class of temporary row lists and the base of the screen-row list.
class TEditorStringList : public TRowAttributeStringList {};

} // namespace ze
