#include "text/Notify.h"

namespace ze {

void TNotifyPersistent::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TNotifyPersistent::EndUpdate() {
  --updateCount_;
  Changed();
}

void TNotifyPersistent::ChangedProc(TObject* sender) {
  if (sender != this) Changed();
}

void TNotifyCollection::ChangedProc(TObject* sender) {
  if (sender != this) Changed();
}

void TNotifyCollection::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

void TMethodList::Add(const TNotifyEvent& method) { TList::Add(new TNotifyEvent(method)); }

void TMethodList::Remove(const TNotifyEvent& method) {
  for (int i = Count() - 1; i >= 0; --i) {
    auto* m = static_cast<TNotifyEvent*>(Items(i));
    if (m->SameMethod(method)) {
      Delete(i);
      delete m;
      return;
    }
  }
}

void TMethodList::Clear() {
  for (int i = 0; i < Count(); ++i) delete static_cast<TNotifyEvent*>(Items(i));
  TList::Clear();
}

void TNotifyEventList::Changed() {
  if (UpdateCount() != 0) return;
  // A subscriber may unsubscribe while being told; index anew each time.
  for (int i = 0; i < list_.Count(); ++i) {
    TNotifyEvent m = list_.Method(i);
    if (m) m(owner_);
  }
}

TFileExtComponent::~TFileExtComponent() = default;

void TFileExtComponent::AfterConstruction() {
  TStoreComponent::AfterConstruction();
  fileExtList_ = CreateSortedList();
  InitFileExtList();
}

std::unique_ptr<TStringList> TFileExtComponent::CreateSortedList() const {
  return std::make_unique<TStringList>(true, TDuplicates::dupIgnore);
}

bool TFileExtComponent::HasExtension(std::string_view ext) const {
  int index = 0;
  return fileExtList_->Find(ext, index);
}

const TPropTable& TFileExtComponent::ClassProps() {
  static const TPropTable table(
      nullptr, {ClassProp<TFileExtComponent>("FileExtList", [](const TFileExtComponent& c) {
                  return static_cast<TObject*>(c.FileExtList());
                })});
  return table;
}

} // namespace ze
