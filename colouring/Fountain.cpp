#include "colouring/Fountain.h"

#include <string>

namespace ze {

// ---------------------------------------------------------------- TFountainColor

void TFountainColor::SetBkColor(TColor v) {
  if (v == bkColor_) return;
  bkColor_ = v;
  Changed();
}

void TFountainColor::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}

void TFountainColor::SetStyle(TFontStyles v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TFountainColor::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TFountainColor*>(source);
  if (!src) return TNotifyPersistent::CopyFrom(source);
  bkColor_ = src->bkColor_;
  color_ = src->color_;
  style_ = src->style_;
  Changed();
}

const TPropTable& TFountainColor::ClassProps() {
  static const TPropTable table(
      nullptr,
      {IntProp<TFountainColor>("BkColor", &TFountainColor::BkColor, &TFountainColor::SetBkColor),
       IntProp<TFountainColor>("Color", &TFountainColor::Color, &TFountainColor::SetColor),
       SetProp<TFountainColor>("Style", &TFountainColor::Style, &TFountainColor::SetStyle,
                               {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})});
  return table;
}

// ---------------------------------------------------------------- TFountainColorItem

TFountainColorItem::TFountainColorItem(TCollection* collection)
    : TCollectionItem(collection), itemColor_(std::make_unique<TFountainColor>()) {
  if (auto* notifying = dynamic_cast<TNotifyCollection*>(collection))
    itemColor_->OnChange = notifying->ChangedProcEvent();
}

TFountainColorItem::~TFountainColorItem() = default;

void TFountainColorItem::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TFountainColorItem*>(source);
  if (!src) return TCollectionItem::CopyFrom(source);
  SetItemColor(src->ItemColor());
}

const TPropTable& TFountainColorItem::ClassProps() {
  static const TPropTable table(
      nullptr, {ClassProp<TFountainColorItem>("ItemColor", [](const TFountainColorItem& i) {
        return static_cast<TObject*>(i.ItemColor());
      })});
  return table;
}

// ---------------------------------------------------------------- TFountainBracketItem

void TFountainBracketItem::SetLeftBracket(const ByteString& v) {
  if (v == leftBracket_) return;
  leftBracket_ = v;
  Changed(false);
}

void TFountainBracketItem::SetRightBracket(const ByteString& v) {
  if (v == rightBracket_) return;
  rightBracket_ = v;
  Changed(false);
}

void TFountainBracketItem::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TFountainBracketItem*>(source);
  if (!src) return TFountainColorItem::CopyFrom(source);
  if (src == this) return;
  TCollection* owner = Collection();
  if (!owner) {
    leftBracket_ = src->leftBracket_;
    rightBracket_ = src->rightBracket_;
    return SetItemColor(src->ItemColor());
  }
  UpdateGuard<TCollection> guard(*owner);
  SetLeftBracket(src->leftBracket_);
  SetRightBracket(src->rightBracket_);
  SetItemColor(src->ItemColor());
}

const TPropTable& TFountainBracketItem::ClassProps() {
  static const TPropTable table(
      &TFountainColorItem::ClassProps(),
      {StrProp<TFountainBracketItem>("LeftBracket", &TFountainBracketItem::LeftBracket,
                                     &TFountainBracketItem::SetLeftBracket),
       StrProp<TFountainBracketItem>("RightBracket", &TFountainBracketItem::RightBracket,
                                     &TFountainBracketItem::SetRightBracket)});
  return table;
}

// ---------------------------------------------------------------- TFountainBracketCollection

TFountainBracketCollection::TFountainBracketCollection(TFountain* fountain)
    : TNotifyCollection([](TCollection* c) { return new TFountainBracketItem(c); }, fountain),
      fountain_(fountain) {}

TFountainBracketItem* TFountainBracketCollection::Add() {
  if (Count() >= kMaxItems)
    throw Exception("TFountainBracketCollection\r\nYou can not add item over " +
                    std::to_string(kMaxItems));
  // Inserting reports a change from inside the item's base constructor;
  // the update bracket holds it back until the item is whole.
  UpdateGuard<TCollection> guard(*this);
  return static_cast<TFountainBracketItem*>(TNotifyCollection::Add());
}

void TFountainBracketCollection::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TFountainBracketCollection*>(source);
  if (!src) return TNotifyCollection::CopyFrom(source);
  if (src == this) return; // clearing first would lose every item
  UpdateGuard<TCollection> guard(*this);
  Clear();
  for (int i = 0; i < src->Count(); ++i)
    Add()->CopyFrom(src->Items(i));
}

void TFountainBracketCollection::Update(TCollectionItem* item) {
  ++version_;
  startsValid_ = false;
  TNotifyCollection::Update(item);
}

void TFountainBracketCollection::LeftBracketStarts(uint64_t (&set)[4]) const {
  // Changes made while an update is open report nothing until it closes.
  if (!startsValid_ || UpdateCount() != 0) {
    for (uint64_t& w : starts_)
      w = 0;
    for (int i = 0; i < Count(); ++i) {
      const TFountainBracketItem* item = Items(i);
      if (item->LeftBracket().empty() || item->RightBracket().empty()) continue;
      const unsigned char c = item->LeftBracket()[0];
      starts_[c >> 6] |= uint64_t{1} << (c & 63);
    }
    startsValid_ = UpdateCount() == 0;
  }
  for (int i = 0; i < 4; ++i)
    set[i] = starts_[i];
}

// ---------------------------------------------------------------- TFountain

TFountain::~TFountain() = default;

void TFountain::AfterConstruction() {
  TFileExtComponent::AfterConstruction();
  // Descendants rely on this order: the notification list exists before
  // any colour or the brackets, and the default brackets and words are in
  // place before the colours are made.
  notifyEventList_ = std::make_unique<TNotifyEventList>(this);
  brackets_ = CreateBrackets();
  InitBracketItems();
  reserveWordList_ = CreateSortedList();
  InitReserveWordList();
  CreateFountainColors();
}

std::unique_ptr<TFountainColor> TFountain::CreateFountainColor() {
  auto color = std::make_unique<TFountainColor>();
  color->OnChange = NotifyEvent();
  return color;
}

void TFountain::CreateFountainColors() {
  reserve_ = CreateFountainColor();
}

std::unique_ptr<TFountainBracketCollection> TFountain::CreateBrackets() {
  auto brackets = std::make_unique<TFountainBracketCollection>(this);
  brackets->OnChange = NotifyEvent();
  return brackets;
}

void TFountain::SetReserveWordList(const TStrings* v) {
  reserveWordList_->CopyFrom(v);
  // The string list has no change hook of its own.
  notifyEventList_->ChangedProc(this);
}

TTokenCheckpoints& TFountain::Checkpoints() {
  if (!checkpoints_) checkpoints_ = std::make_unique<TTokenCheckpoints>();
  return *checkpoints_;
}

std::unique_ptr<TFountainParser> TFountain::CreateParser() {
  return GetParserClass()(this);
}

bool TFountain::HasItalicFontStyle(TObject* instance) {
  walkResult_ = false;
  WalkProperties(instance, tkAny,
                 [this](TObject* obj, const TPropInfo& prop) { ItalicWalkProc(obj, prop); });
  return walkResult_;
}

void TFountain::ItalicWalkProc(TObject* instance, const TPropInfo& prop) {
  if (prop.Kind != TTypeKind::tkClass) return;
  if (auto* color = dynamic_cast<TFountainColor*>(prop.GetObject(*instance)))
    if (HasFontStyle(color->Style(), fsItalic)) walkResult_ = true;
}

void TFountain::ApplyFountainColors(TObject* colors, const TFountainColor* source, uint8_t mask) {
  walkColor_ = source;
  walkMask_ = mask;
  WalkProperties(colors, tkAny,
                 [this](TObject* obj, const TPropInfo& prop) { ColorApplyWalkProc(obj, prop); });
}

void TFountain::ColorApplyWalkProc(TObject* instance, const TPropInfo& prop) {
  if (prop.Kind != TTypeKind::tkClass || !walkColor_) return;
  auto* color = dynamic_cast<TFountainColor*>(prop.GetObject(*instance));
  if (!color) return;
  if (walkMask_ & kApplyBkColor) color->SetBkColor(walkColor_->BkColor());
  if (walkMask_ & kApplyColor) color->SetColor(walkColor_->Color());
  if (walkMask_ & kApplyStyle) color->SetStyle(walkColor_->Style());
}

const TPropTable& TFountain::ClassProps() {
  static const TPropTable table(
      &TFileExtComponent::ClassProps(),
      {ClassProp<TFountain>("Brackets",
                            [](const TFountain& f) { return static_cast<TObject*>(f.Brackets()); }),
       ClassProp<TFountain>("Reserve",
                            [](const TFountain& f) { return static_cast<TObject*>(f.Reserve()); }),
       ClassProp<TFountain>("ReserveWordList", [](const TFountain& f) {
         return static_cast<TObject*>(f.ReserveWordList());
       })});
  return table;
}

} // namespace ze
