#pragma once
// The small class library the editor builds on: exceptions, method-pointer
// events, persistent objects with CopyFrom/CopyTo, components with owners,
// collections of items, abstract string lists and a pointer list.

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "text/ByteString.h"

namespace ze {

// ---------------------------------------------------------------- errors

// Index errors of lists.
class EListError : public Exception {
public:
  using Exception::Exception;
};
class EStringListError : public EListError {
public:
  using EListError::EListError;
};
// CopyFrom between classes that cannot be copied into each other.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};
// A component stream that cannot be read.
class EReadError : public Exception {
public:
  using Exception::Exception;
};

inline constexpr const char* kListIndexError = "リストのインデックスが範囲を超えています";

// Closes a BeginUpdate on every exit path.
template <class T> class UpdateGuard {
public:
  explicit UpdateGuard(T& t) : t_(t) { t_.BeginUpdate(); }
  ~UpdateGuard() { t_.EndUpdate(); }
  UpdateGuard(const UpdateGuard&) = delete;
  UpdateGuard& operator=(const UpdateGuard&) = delete;

private:
  T& t_;
};

// ---------------------------------------------------------------- objects

class TObject {
public:
  virtual ~TObject() = default;
  // Called once construction is complete; objects whose construction calls
  // virtual factories do that work here (see Create below).
  virtual void AfterConstruction() {}
  // Class name without namespace, e.g. "TStringList".
  std::string ClassName() const;
};

// Creates an object in two steps, so that AfterConstruction can call
// virtual factories of the most derived class.
template <class T, class... A> std::unique_ptr<T> Create(A&&... a) {
  std::unique_ptr<T> p(new T(std::forward<A>(a)...));
  p->AfterConstruction();
  return p;
}

// An event: a callable plus, when made from an object and a member
// function, the identity (object, method) by which it can be found again.
template <class... Args> class TEvent {
public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class F, class = std::enable_if_t<std::is_invocable_v<F&, Args...> &&
                                              !std::is_same_v<std::decay_t<F>, TEvent>>>
  TEvent(F f) : fn_(std::move(f)) {}

  template <class C, class M> static TEvent Of(C* obj, M method) {
    static_assert(sizeof(M) <= sizeof(Code));
    TEvent e;
    e.fn_ = [obj, method](Args... a) { (obj->*method)(a...); };
    e.data_ = obj;
    std::memcpy(e.code_.data(), &method, sizeof(M));
    return e;
  }

  explicit operator bool() const noexcept { return static_cast<bool>(fn_); }
  void operator()(Args... a) const { fn_(a...); }
  // Same object and same method (events made from lambdas never match).
  bool SameMethod(const TEvent& o) const noexcept {
    return data_ != nullptr && data_ == o.data_ && code_ == o.code_;
  }
  const void* Data() const noexcept { return data_; }

private:
  using Code = std::array<unsigned char, 16>;
  std::function<void(Args...)> fn_;
  const void* data_ = nullptr;
  Code code_{};
};

using TNotifyEvent = TEvent<TObject*>;

class TPropTable;

class TPersistent : public TObject {
public:
  // Copies source into this object. The default asks the source to copy
  // itself into this object, which by default is an error.
  virtual void CopyFrom(const TPersistent* source);
  // Copies this object into dest; the default raises EConvertError.
  virtual void CopyTo(TPersistent* dest) const;
  // The owner used for name paths and streaming.
  virtual TPersistent* GetOwner() const { return nullptr; }
  // The published properties in declaration order (base class first).
  virtual const TPropTable* PublishedProps() const { return nullptr; }

protected:
  [[noreturn]] void CopyError(const TPersistent* source) const;
};

// ---------------------------------------------------------------- components

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const noexcept { return owner_; }
  TPersistent* GetOwner() const override { return owner_; }
  const std::string& Name() const noexcept { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  TComponent* Components(int i) const { return components_.at(static_cast<size_t>(i)); }
  TComponent* FindComponent(std::string_view name) const;

  // Asks to be told (Notification with opRemove) when c is destroyed.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);
  virtual void Notification(TComponent* c, TOperation op) {}

  // True while properties are being read from a stream.
  bool Loading() const noexcept { return loading_; }
  void SetLoading(bool on) noexcept { loading_ = on; }
  // Called after a stream has been read into the component.
  virtual void Loaded() { loading_ = false; }

private:
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;   // owned, freed with this one
  std::vector<TComponent*> freeNotifies_; // told when this one goes away
  bool loading_ = false;
};

// ---------------------------------------------------------------- collections

class TCollection;

class TCollectionItem : public TPersistent {
public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const noexcept { return collection_; }
  TPersistent* GetOwner() const override;
  int Index() const;

protected:
  // Reports a change of this item (allItems: of the whole collection).
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
public:
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  explicit TCollection(ItemFactory factory);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int i) const;
  template <class T> T* ItemAs(int i) const { return static_cast<T*>(Items(i)); }
  virtual TCollectionItem* Add();
  void Delete(int i);
  void Clear();
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  int UpdateCount() const noexcept { return updateCount_; }
  void CopyFrom(const TPersistent* source) override;

protected:
  friend class TCollectionItem;
  // Reports a change: Update(nullptr) unless an update is open.
  void Changed();
  // Per-item update hook: item is the changed item, or nullptr for a
  // change of the whole collection.
  virtual void Update(TCollectionItem* item) {}

private:
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

  ItemFactory factory_;
  std::vector<TCollectionItem*> items_; // owned
  int updateCount_ = 0;
  bool clearing_ = false;
};

// ---------------------------------------------------------------- string lists

// Compares two Shift-JIS strings ignoring the case of single-byte ASCII
// letters; the bytes of double-byte characters compare as they are.
int CompareText(std::string_view a, std::string_view b) noexcept;

class TStrings : public TPersistent {
public:
  virtual ByteString Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Insert(int index, const ByteString& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Put(int index, const ByteString& s);
  virtual int Add(const ByteString& s);
  virtual void Exchange(int i, int j);
  virtual int IndexOf(std::string_view s) const;
  virtual int GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(int) {}

  int Count() const { return GetCount(); }
  ByteString operator[](int index) const { return Get(index); }
  void AddStrings(const TStrings& other);

  // Update brackets: SetUpdateState(true) when the count goes 0 -> 1,
  // SetUpdateState(false) when it returns to 0.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const noexcept { return updateCount_; }

  // Every line followed by CR LF.
  virtual ByteString Text() const;
  // Replaces the lines with those of text (CR LF, LF or CR end a line).
  virtual void SetText(std::string_view text);
  virtual void LoadFromFile(const std::string& path);
  virtual void SaveToFile(const std::string& path) const;

  void CopyFrom(const TPersistent* source) override;

protected:
  virtual void SetUpdateState(bool updating) {}
  virtual int CompareStrings(std::string_view a, std::string_view b) const {
    return CompareText(a, b);
  }

private:
  int updateCount_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// A string list held in a vector; optionally sorted.
class TStringList : public TStrings {
public:
  TStringList() = default;
  TStringList(bool sorted, TDuplicates dups) : sorted_(sorted), duplicates_(dups) {}

  ByteString Get(int index) const override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  void Insert(int index, const ByteString& s) override;
  void Put(int index, const ByteString& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const ByteString& s) override;
  void Exchange(int i, int j) override;
  int IndexOf(std::string_view s) const override;

  // Binary search of a sorted list: true when found; index is where s is
  // or would be inserted.
  bool Find(std::string_view s, int& index) const;
  bool Sorted() const noexcept { return sorted_; }
  void SetSorted(bool on);
  TDuplicates Duplicates() const noexcept { return duplicates_; }
  void SetDuplicates(TDuplicates d) noexcept { duplicates_ = d; }
  bool CaseSensitive() const noexcept { return caseSensitive_; }
  void SetCaseSensitive(bool on);
  void Sort();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;
  void Changing();
  void Changed();

private:
  void CheckIndex(int index) const;
  std::vector<ByteString> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
  bool updating_ = false;
};

// ---------------------------------------------------------------- pointer list

class TList {
public:
  virtual ~TList() = default;
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  void* Items(int i) const;
  int Add(void* p);
  void Insert(int i, void* p);
  void Delete(int i);
  int IndexOf(const void* p) const;
  virtual void Clear() { items_.clear(); }

private:
  void CheckIndex(int i) const;
  std::vector<void*> items_;
};

} // namespace ze
