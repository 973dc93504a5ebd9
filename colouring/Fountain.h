#pragma once
// Fountains: non-visual components that define how an editor colours its
// text — bracket pairs that colour a span, reserve words and their colour,
// the file extensions the definition is meant for, and the tokenizer
// class. Every change of a fountain's colours, brackets or reserve words
// is broadcast through its notification list to the editors that use it.

#include <memory>
#include <string_view>

#include "colouring/FountainParser.h"
#include "colouring/TokenCheckpoints.h"
#include "platform/Graphics.h"
#include "text/Classes.h"
#include "text/Notify.h"
#include "text/Properties.h"

namespace ze {

class TFountain;

// Background, text colour and font style of one kind of token. clNone
// means "the editor's own colour".
class TFountainColor : public TNotifyPersistent {
public:
  TColor BkColor() const noexcept { return bkColor_; }
  void SetBkColor(TColor v);
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor v);
  TFontStyles Style() const noexcept { return style_; }
  void SetStyle(TFontStyles v);

  // From another TFountainColor: all three values, one notification.
  void CopyFrom(const TPersistent* source) override;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  TColor bkColor_ = clNone;
  TColor color_ = clNone;
  TFontStyles style_ = 0;
};

// A collection item with a colour. In a notifying collection the colour's
// changes are reported through the collection.
class TFountainColorItem : public TCollectionItem {
public:
  explicit TFountainColorItem(TCollection* collection);
  ~TFountainColorItem() override;

  TFountainColor* ItemColor() const noexcept { return itemColor_.get(); }
  void SetItemColor(const TFountainColor* v) { itemColor_->CopyFrom(v); }
  void CopyFrom(const TPersistent* source) override;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  std::unique_ptr<TFountainColor> itemColor_;
};

// A bracket pair: the span from LeftBracket through RightBracket, both
// matched byte for byte, is coloured with ItemColor. An item with an empty
// LeftBracket or RightBracket never opens a span.
class TFountainBracketItem : public TFountainColorItem {
public:
  using TFountainColorItem::TFountainColorItem;

  const ByteString& LeftBracket() const noexcept { return leftBracket_; }
  void SetLeftBracket(const ByteString& v);
  const ByteString& RightBracket() const noexcept { return rightBracket_; }
  void SetRightBracket(const ByteString& v);
  // Both strings and the colour, reported as one change.
  void CopyFrom(const TPersistent* source) override;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  ByteString leftBracket_;
  ByteString rightBracket_;
};

// The ordered bracket pairs of a fountain; at a position the first item
// whose LeftBracket matches wins. The row state keeps the index of an open
// bracket in 4 bits (-2, -1 and 0..13), hence at most 14 items.
class TFountainBracketCollection : public TNotifyCollection {
public:
  static constexpr int kMaxItems = 14;

  explicit TFountainBracketCollection(TFountain* fountain);

  TFountain* Fountain() const noexcept { return fountain_; }
  TFountainBracketItem* Items(int i) const {
    return static_cast<TFountainBracketItem*>(TCollection::Items(i));
  }
  // Raises Exception once the collection holds kMaxItems items. Listeners
  // are told after the new item is complete.
  TFountainBracketItem* Add() override;
  // From another bracket collection: its items in order, one notification;
  // past kMaxItems the first 14 are kept and the error is raised.
  void CopyFrom(const TPersistent* source) override;

  // The set of first bytes of the items that can open a span (both
  // brackets non-empty), bit c of word c / 64. Kept between changes, as
  // the tokenizer asks for it at every row.
  void LeftBracketStarts(uint64_t (&set)[4]) const;
  // Changes with every change the collection reports.
  uint32_t Version() const noexcept { return version_; }

protected:
  void Update(TCollectionItem* item) override;

private:
  TFountain* fountain_;
  mutable uint64_t starts_[4] = {};
  mutable bool startsValid_ = false;
  uint32_t version_ = 0;
};

// The abstract fountain. Create it (and every descendant) with
// Create<T>(owner): construction runs virtual factories of the most derived
// class. With an owner, the owner frees it; release the unique_ptr then.
class TFountain : public TFileExtComponent {
public:
  // The tokenizer class of a fountain: makes a parser for this fountain.
  using TFountainParserClass = std::unique_ptr<TFountainParser> (*)(TFountain*);

  ~TFountain() override;
  void AfterConstruction() override;

  TFountainBracketCollection* Brackets() const noexcept { return brackets_.get(); }
  void SetBrackets(const TFountainBracketCollection* v) { brackets_->CopyFrom(v); }
  TFountainColor* Reserve() const noexcept { return reserve_.get(); }
  void SetReserve(const TFountainColor* v) { reserve_->CopyFrom(v); }
  TStringList* ReserveWordList() const noexcept { return reserveWordList_.get(); }
  // Copies the words and notifies, even when they are the same.
  void SetReserveWordList(const TStrings* v);
  // The listeners of this fountain; they are called with the fountain as
  // sender after every change.
  TNotifyEventList* NotifyEventList() const noexcept { return notifyEventList_.get(); }

  // A new parser for this fountain; the caller owns it.
  virtual std::unique_ptr<TFountainParser> CreateParser();
  // Saved tokenizer states along this fountain's long rows, shared by
  // every parser of it (painting and row states alike).
  TTokenCheckpoints& Checkpoints();
  // True when any colour reachable from instance has an italic style.
  virtual bool HasItalicFontStyle(TObject* instance);
  // Sets, on every TFountainColor reachable from colors, the background
  // (mask bit 0x01), text colour (0x02) and style (0x04) of source.
  void ApplyFountainColors(TObject* colors, const TFountainColor* source, uint8_t mask);

  static constexpr uint8_t kApplyBkColor = 0x01;
  static constexpr uint8_t kApplyColor = 0x02;
  static constexpr uint8_t kApplyStyle = 0x04;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

protected:
  explicit TFountain(TComponent* owner) : TFileExtComponent(owner) {}
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);

  // A colour whose changes go to the notification list.
  virtual std::unique_ptr<TFountainColor> CreateFountainColor();
  virtual void CreateFountainColors();
  virtual std::unique_ptr<TFountainBracketCollection> CreateBrackets();
  virtual TFountainParserClass GetParserClass() = 0;
  virtual void InitBracketItems() {}
  virtual void InitReserveWordList() {}
  virtual void ItalicWalkProc(TObject* instance, const TPropInfo& prop);
  virtual void ColorApplyWalkProc(TObject* instance, const TPropInfo& prop);

  // The change handler of the notification list, for children's OnChange.
  TNotifyEvent NotifyEvent() const { return notifyEventList_->ChangedProcEvent(); }

private:
  // Declared first so that it is freed last: nothing may notify a freed list.
  std::unique_ptr<TNotifyEventList> notifyEventList_;
  std::unique_ptr<TFountainBracketCollection> brackets_;
  std::unique_ptr<TFountainColor> reserve_;
  std::unique_ptr<TStringList> reserveWordList_;
  std::unique_ptr<TTokenCheckpoints> checkpoints_;
  // Scratch state of the walks.
  bool walkResult_ = false;
  const TFountainColor* walkColor_ = nullptr;
  uint8_t walkMask_ = 0;
};

} // namespace ze
