#pragma once
// The notifying bases of every settings object, the multicast change event
// of fountains, and the component bases whose settings are stored.

#include <memory>
#include <string_view>

#include "text/Classes.h"
#include "text/Properties.h"

namespace ze {

class TNotifyPersistent : public TPersistent {
public:
  TNotifyEvent OnChange;

  // Calls OnChange(this) unless an update is open.
  virtual void Changed();
  virtual void BeginUpdate() { ++updateCount_; }
  // Closes one update level and calls Changed, which is silent while an
  // outer level is still open.
  virtual void EndUpdate();
  // Owners install this as their children's OnChange, so that a change of
  // a child is reported as a change of the owner.
  virtual void ChangedProc(TObject* sender);
  TNotifyEvent ChangedProcEvent() { return TNotifyEvent::Of(this, &TNotifyPersistent::ChangedProc); }

  int UpdateCount() const noexcept { return updateCount_; }

protected:
  // The setter pattern of every settings object: store a differing value
  // and report the change; the same value does nothing.
  template <class T> void Notify(T& field, const T& v) {
    if (field == v) return;
    field = v;
    Changed();
  }

private:
  int updateCount_ = 0;
};

class TNotifyCollection : public TCollection {
public:
  TNotifyCollection(ItemFactory factory, TPersistent* owner)
      : TCollection(std::move(factory)), owner_(owner) {}
  TNotifyEvent OnChange;
  TPersistent* GetOwner() const override { return owner_; }
  // Reports a collection change unless sender is the collection itself.
  virtual void ChangedProc(TObject* sender);
  TNotifyEvent ChangedProcEvent() { return TNotifyEvent::Of(this, &TNotifyCollection::ChangedProc); }

protected:
  void Update(TCollectionItem* item) override;

private:
  TPersistent* owner_;
};

// A list of method pointers, each in its own heap block.
class TMethodList : public TList {
public:
  TMethodList() = default;
  ~TMethodList() override { Clear(); }
  TMethodList(const TMethodList&) = delete;
  TMethodList& operator=(const TMethodList&) = delete;

  void Add(const TNotifyEvent& method);
  // Removes the last entry with the same object and method.
  void Remove(const TNotifyEvent& method);
  void Clear() override;
  const TNotifyEvent& Method(int i) const { return *static_cast<TNotifyEvent*>(Items(i)); }
};

// A multicast change event: Changed calls every subscriber in order with
// the owner as sender.
class TNotifyEventList : public TNotifyPersistent {
public:
  explicit TNotifyEventList(TObject* owner) : owner_(owner) {}
  void Add(const TNotifyEvent& method) { list_.Add(method); }
  void Remove(const TNotifyEvent& method) { list_.Remove(method); }
  int Count() const { return list_.Count(); }
  void Changed() override;
  TObject* Owner() const noexcept { return owner_; }

private:
  TMethodList list_;
  TObject* owner_;
};

// Base of the components whose settings are stored and restored.
class TStoreComponent : public TComponent {
public:
  using TComponent::TComponent;
};

// A component with a sorted list of file extensions. Create it with
// Create<T>(owner): the list comes from a virtual factory and its defaults
// from a virtual hook, both run in AfterConstruction.
class TFileExtComponent : public TStoreComponent {
public:
  using TStoreComponent::TStoreComponent;
  ~TFileExtComponent() override;
  void AfterConstruction() override;

  TStringList* FileExtList() const noexcept { return fileExtList_.get(); }
  void SetFileExtList(const TStrings* list) { fileExtList_->CopyFrom(list); }
  bool HasExtension(std::string_view ext) const;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

protected:
  // A new sorted list that ignores duplicates.
  virtual std::unique_ptr<TStringList> CreateSortedList() const;
  // Fills the default extensions; none here.
  virtual void InitFileExtList() {}

private:
  std::unique_ptr<TStringList> fileExtList_;
};

} // namespace ze
