#include "text/Properties.h"

namespace ze {

TPropTable::TPropTable(const TPropTable* parent, std::vector<TPropInfo> own)
    : own_(std::move(own)) {
  if (parent) all_ = parent->All();
  for (const TPropInfo& p : own_) all_.push_back(&p);
}

const TPropInfo* TPropTable::Find(std::string_view name) const {
  for (const TPropInfo* p : all_)
    if (CompareText(p->Name, name) == 0) return p;
  return nullptr;
}

void WalkProperties(TObject* obj, TTypeKinds kinds,
                    const std::function<void(TObject*, const TPropInfo&)>& callback) {
  auto* persistent = dynamic_cast<TPersistent*>(obj);
  if (!persistent || !persistent->PublishedProps()) return;
  for (const TPropInfo* p : persistent->PublishedProps()->All()) {
    if (!(kinds & KindBit(p->Kind))) continue;
    callback(obj, *p);
    if (p->Kind != TTypeKind::tkClass) continue;
    TObject* value = p->GetObject(*obj);
    if (!dynamic_cast<TPersistent*>(value) || dynamic_cast<TComponent*>(value)) continue;
    WalkProperties(value, kinds, callback);
    if (auto* coll = dynamic_cast<TCollection*>(value))
      for (int i = 0; i < coll->Count(); ++i) WalkProperties(coll->Items(i), kinds, callback);
  }
}

} // namespace ze
