#include "text/Classes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cxxabi.h>
#include <typeinfo>

#include "platform/CodePage.h"
#include "platform/FileIo.h"

namespace ze {

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* d = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && d) ? d : mangled;
  std::free(d);
  size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

// ---------------------------------------------------------------- TPersistent

void TPersistent::CopyFrom(const TPersistent* source) {
  if (!source) CopyError(nullptr);
  source->CopyTo(this);
}

void TPersistent::CopyTo(TPersistent* dest) const {
  if (!dest) throw EConvertError("Cannot assign a " + ClassName() + " to a nil");
  dest->CopyError(this);
}

void TPersistent::CopyError(const TPersistent* source) const {
  std::string from = source ? source->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Tell everyone who refers to this component, then free what it owns.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = c->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    c->Notification(this, TOperation::opRemove);
  }
  while (!components_.empty()) {
    TComponent* c = components_.back();
    RemoveComponent(c);
    delete c;
  }
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* c : components_)
    if (CompareText(c->Name(), name) == 0) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end())
    freeNotifies_.push_back(c);
  if (std::find(c->freeNotifies_.begin(), c->freeNotifies_.end(), this) == c->freeNotifies_.end())
    c->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (!c) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), c),
                      freeNotifies_.end());
  c->freeNotifies_.erase(std::remove(c->freeNotifies_.begin(), c->freeNotifies_.end(), this),
                         c->freeNotifies_.end());
}

void TComponent::InsertComponent(TComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
  Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  Notification(c, TOperation::opRemove);
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
}

// ---------------------------------------------------------------- collections

TCollectionItem::TCollectionItem(TCollection* collection) {
  if (collection) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& v = collection_->items_;
  return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0)
    collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {}

TCollection::~TCollection() {
  clearing_ = true;
  for (TCollectionItem* item : items_) {
    item->collection_ = nullptr;
    delete item;
  }
}

TCollectionItem* TCollection::Items(int i) const {
  if (i < 0 || i >= Count()) throw EListError(kListIndexError);
  return items_[static_cast<size_t>(i)];
}

TCollectionItem* TCollection::Add() {
  // The item's constructor inserts it (InsertItem).
  TCollectionItem* item = factory_(this);
  if (item->collection_ != this) InsertItem(item);
  return item;
}

void TCollection::Delete(int i) { delete Items(i); }

void TCollection::Clear() {
  if (items_.empty()) return;
  UpdateGuard<TCollection> update(*this);
  while (!items_.empty()) delete items_.back();
}

void TCollection::EndUpdate() {
  --updateCount_;
  Changed();
}

void TCollection::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TCollection*>(source);
  if (!src) return TPersistent::CopyFrom(source);
  UpdateGuard<TCollection> update(*this);
  Clear();
  for (int i = 0; i < src->Count(); ++i) Add()->CopyFrom(src->Items(i));
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  if (!clearing_) Changed();
}

// ---------------------------------------------------------------- TStrings

int CompareText(std::string_view a, std::string_view b) noexcept {
  size_t n = std::min(a.size(), b.size());
  bool trail = false; // both strings are walked in step; a lead byte in
                      // either makes the next byte a trail byte of both
                      // only while the bytes are equal, so a byte-wise fold
                      // is safe until the first difference.
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (!trail) {
      x = UpperByte(x);
      y = UpperByte(y);
    }
    if (x != y) return x < y ? -1 : 1;
    trail = !trail && IsLeadByte(x);
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void TStrings::Put(int index, const ByteString& s) {
  UpdateGuard<TStrings> update(*this);
  Delete(index);
  Insert(index, s);
}

int TStrings::Add(const ByteString& s) {
  int n = GetCount();
  Insert(n, s);
  return n;
}

void TStrings::Exchange(int i, int j) {
  UpdateGuard<TStrings> update(*this);
  ByteString a = Get(i), b = Get(j);
  Put(i, b);
  Put(j, a);
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

void TStrings::AddStrings(const TStrings& other) {
  UpdateGuard<TStrings> update(*this);
  for (int i = 0, n = other.GetCount(); i < n; ++i) Add(other.Get(i));
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

ByteString TStrings::Text() const {
  size_t total = 0;
  int n = GetCount();
  for (int i = 0; i < n; ++i) total += Get(i).size() + 2;
  return ByteString::Build(total, [&](char* p) {
    for (int i = 0; i < n; ++i) {
      ByteString s = Get(i);
      std::memcpy(p, s.data(), s.size());
      p += s.size();
      *p++ = '\r';
      *p++ = '\n';
    }
  });
}

void TStrings::SetText(std::string_view text) {
  UpdateGuard<TStrings> update(*this);
  Clear();
  size_t i = 0;
  while (i < text.size()) {
    size_t start = i;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
    Add(ByteString(text.substr(start, i - start)));
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
}

void TStrings::LoadFromFile(const std::string& path) { SetText(ReadWholeFile(path)); }

void TStrings::SaveToFile(const std::string& path) const {
  ByteString t = Text();
  WriteFileAtomically(path, t.view());
}

void TStrings::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TStrings*>(source);
  if (!src) return TPersistent::CopyFrom(source);
  if (src == this) return;
  UpdateGuard<TStrings> update(*this);
  Clear();
  AddStrings(*src);
}

// ---------------------------------------------------------------- TStringList

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) throw EStringListError(kListIndexError);
}

ByteString TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)];
}

void TStringList::Insert(int index, const ByteString& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > GetCount()) throw EStringListError(kListIndexError);
  Changing();
  items_.insert(items_.begin() + index, s);
  Changed();
}

void TStringList::Put(int index, const ByteString& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  items_[static_cast<size_t>(index)] = s;
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::Add(const ByteString& s) {
  if (!sorted_) {
    Changing();
    items_.push_back(s);
    Changed();
    return GetCount() - 1;
  }
  int index = 0;
  if (Find(s, index)) {
    if (duplicates_ == TDuplicates::dupIgnore) return index;
    if (duplicates_ == TDuplicates::dupError)
      throw EStringListError("String list does not allow duplicates");
  }
  Changing();
  items_.insert(items_.begin() + index, s);
  Changed();
  return index;
}

void TStringList::Exchange(int i, int j) {
  CheckIndex(i);
  CheckIndex(j);
  Changing();
  std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
  Changed();
}

int TStringList::IndexOf(std::string_view s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
  int lo = 0, hi = GetCount() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareStrings(items_[static_cast<size_t>(mid)], s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != TDuplicates::dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::SetSorted(bool on) {
  if (sorted_ == on) return;
  if (on) Sort();
  sorted_ = on;
}

void TStringList::SetCaseSensitive(bool on) {
  if (caseSensitive_ == on) return;
  caseSensitive_ = on;
  if (sorted_) Sort();
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(items_.begin(), items_.end(), [this](const ByteString& a, const ByteString& b) {
    return CompareStrings(a, b) < 0;
  });
  Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  if (caseSensitive_) return a < b ? -1 : (a == b ? 0 : 1);
  return CompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  updating_ = updating;
  if (!updating) Changed();
}

void TStringList::Changing() {
  if (!updating_ && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (!updating_ && OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TList

void TList::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw EListError(kListIndexError);
}

void* TList::Items(int i) const {
  CheckIndex(i);
  return items_[static_cast<size_t>(i)];
}

int TList::Add(void* p) {
  items_.push_back(p);
  return Count() - 1;
}

void TList::Insert(int i, void* p) {
  if (i < 0 || i > Count()) throw EListError(kListIndexError);
  items_.insert(items_.begin() + i, p);
}

void TList::Delete(int i) {
  CheckIndex(i);
  items_.erase(items_.begin() + i);
}

int TList::IndexOf(const void* p) const {
  auto it = std::find(items_.begin(), items_.end(), p);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

} // namespace ze
