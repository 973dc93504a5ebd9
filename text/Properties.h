#pragma once
// Published properties: a table per class giving each property's name,
// kind, getter and setter, in declaration order with the base class's
// properties first. The property walker, the component streamer and the
// colour walks of fountains enumerate objects through these tables.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "text/Classes.h"

namespace ze {

enum class TTypeKind : uint8_t { tkInteger, tkEnumeration, tkSet, tkString, tkClass, tkMethod };

using TTypeKinds = uint32_t;
constexpr TTypeKinds KindBit(TTypeKind k) { return 1u << static_cast<unsigned>(k); }
constexpr TTypeKinds tkAny = 0x3F;
constexpr TTypeKinds tkProperties = tkAny & ~KindBit(TTypeKind::tkMethod);

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkInteger;
  // Names of the values of an enumeration (booleans: "False", "True"), or
  // of the elements of a set (bit n is element n).
  std::vector<std::string> ValueNames;
  std::function<int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, int64_t)> SetOrd;
  std::function<ByteString(const TObject&)> GetStr;
  std::function<void(TObject&, const ByteString&)> SetStr;
  // For class-typed properties: the object the property refers to.
  std::function<TObject*(const TObject&)> GetObject;
};

class TPropTable {
public:
  TPropTable(const TPropTable* parent, std::vector<TPropInfo> own);
  TPropTable(const TPropTable&) = delete;
  TPropTable& operator=(const TPropTable&) = delete;
  // Every published property of the class, base class's first.
  const std::vector<const TPropInfo*>& All() const noexcept { return all_; }
  // Case-insensitive lookup; nullptr when there is no such property.
  const TPropInfo* Find(std::string_view name) const;

private:
  std::vector<TPropInfo> own_;
  std::vector<const TPropInfo*> all_;
};

// Builders for table entries. Getters and setters are member functions
// (or anything std::invoke accepts with the object as first argument).
template <class C, class G, class S>
TPropInfo OrdProp(TTypeKind kind, std::string name, G get, S set,
                  std::vector<std::string> valueNames = {}) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = kind;
  p.ValueNames = std::move(valueNames);
  p.GetOrd = [get](const TObject& o) {
    return static_cast<int64_t>(std::invoke(get, static_cast<const C&>(o)));
  };
  p.SetOrd = [set](TObject& o, int64_t v) {
    using Arg = std::decay_t<decltype(std::invoke(std::declval<G>(), std::declval<const C&>()))>;
    std::invoke(set, static_cast<C&>(o), static_cast<Arg>(v));
  };
  return p;
}

template <class C, class G, class S> TPropInfo IntProp(std::string name, G get, S set) {
  return OrdProp<C>(TTypeKind::tkInteger, std::move(name), get, set);
}
template <class C, class G, class S> TPropInfo BoolProp(std::string name, G get, S set) {
  return OrdProp<C>(TTypeKind::tkEnumeration, std::move(name), get, set, {"False", "True"});
}
template <class C, class G, class S>
TPropInfo EnumProp(std::string name, G get, S set, std::vector<std::string> names) {
  return OrdProp<C>(TTypeKind::tkEnumeration, std::move(name), get, set, std::move(names));
}
template <class C, class G, class S>
TPropInfo SetProp(std::string name, G get, S set, std::vector<std::string> names) {
  return OrdProp<C>(TTypeKind::tkSet, std::move(name), get, set, std::move(names));
}
template <class C, class G, class S> TPropInfo StrProp(std::string name, G get, S set) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TTypeKind::tkString;
  p.GetStr = [get](const TObject& o) { return ByteString(std::invoke(get, static_cast<const C&>(o))); };
  p.SetStr = [set](TObject& o, const ByteString& v) { std::invoke(set, static_cast<C&>(o), v); };
  return p;
}
// A class-typed property: get returns the object (owned sub-object or a
// reference to a component).
template <class C, class G> TPropInfo ClassProp(std::string name, G get) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TTypeKind::tkClass;
  p.GetObject = [get](const TObject& o) -> TObject* {
    return std::invoke(get, static_cast<const C&>(o));
  };
  return p;
}

// Calls callback(instance, property) for each published property of obj
// whose kind is in kinds, in declaration order. After a class-typed
// property whose value is a persistent object, walks that object too and,
// when it is a collection, each of its items in order. Components referred
// to by a property are not entered: they are not part of the object.
void WalkProperties(TObject* obj, TTypeKinds kinds,
                    const std::function<void(TObject* instance, const TPropInfo& prop)>& callback);

} // namespace ze
