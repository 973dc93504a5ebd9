#pragma once
// The open documents in page order, each with its path (a full native
// path or "Untitled") and its page, and which one is active. The window's
// tabs show this list; they never hold a document the list does not.
// Empty is a real state (while the window is built or torn down): no
// active index, no active page.

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace ze {

inline constexpr const char* kUntitled = "Untitled";

template <class TPage> class TDocumentList {
public:
  struct TEntry {
    std::string Path;
    TPage* Page;
  };

  int Count() const { return static_cast<int>(entries_.size()); }
  bool Empty() const { return entries_.empty(); }
  // -1 when there is no document.
  int ActiveIndex() const { return active_; }
  TPage* Active() const { return active_ < 0 ? nullptr : entries_[active_].Page; }
  const std::string& ActivePath() const { return At(active_).Path; }

  const std::string& Path(int i) const { return At(i).Path; }
  void SetPath(int i, std::string path) { At(i).Path = std::move(path); }
  TPage* Page(int i) const { return At(i).Page; }

  // Appends a document and makes it the active one; its index.
  int Add(std::string path, TPage* page) {
    entries_.push_back({std::move(path), page});
    active_ = Count() - 1;
    return active_;
  }

  // Removes a document. When it was the active one, the one before it
  // becomes active (the first when it was the first); the active
  // document otherwise stays the same one.
  void Remove(int i) {
    At(i);
    entries_.erase(entries_.begin() + i);
    if (entries_.empty())
      active_ = -1;
    else if (i < active_ || (i == active_ && i > 0))
      --active_;
    else if (active_ >= Count())
      active_ = Count() - 1;
  }

  void SetActive(int i) {
    At(i);
    active_ = i;
  }

  int IndexOfPage(const TPage* page) const {
    for (int i = 0; i < Count(); ++i)
      if (entries_[i].Page == page) return i;
    return -1;
  }
  // Exact comparison: callers pass canonical paths for files.
  int IndexOfPath(const std::string& path) const {
    for (int i = 0; i < Count(); ++i)
      if (entries_[i].Path == path) return i;
    return -1;
  }

private:
  const TEntry& At(int i) const {
    if (i < 0 || i >= Count()) throw std::out_of_range("document index out of range");
    return entries_[static_cast<size_t>(i)];
  }
  TEntry& At(int i) { return const_cast<TEntry&>(static_cast<const TDocumentList&>(*this).At(i)); }

  std::vector<TEntry> entries_;
  int active_ = -1;
};

} // namespace ze
