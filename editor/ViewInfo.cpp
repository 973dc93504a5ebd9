#include "editor/ViewInfo.h"

namespace ze {

TEditorViewInfo::TEditorViewInfo() = default;

TEditorViewInfo::~TEditorViewInfo() {
  if (fountain_) fountain_->NotifyEventList()->Remove(ChangedProcEvent());
}

void TEditorViewInfo::AfterConstruction() {
  TNotifyPersistent::AfterConstruction();
  fountain_ = CreateFountain();
  // A change of the fountain's colours or brackets is a change of the view.
  fountain_->NotifyEventList()->Add(ChangedProcEvent());
}

std::unique_ptr<TEditorFountain> TEditorViewInfo::CreateFountain() {
  return Create<TEditorFountain>(nullptr);
}

void TEditorViewInfo::CopyFrom(const TPersistent* source) {
  auto* s = dynamic_cast<const TEditorViewInfo*>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  UpdateGuard<TEditorViewInfo> update(*this);
  SetBrackets(s->Brackets());
  SetColors(s->Colors());
  SetCommenter(s->Commenter());
  SetControlCode(s->ControlCode());
  SetHexPrefix(s->HexPrefix());
  SetMail(s->Mail());
  SetQuotation(s->Quotation());
  SetUrl(s->Url());
}

const TPropTable& TEditorViewInfo::ClassProps() {
  using V = TEditorViewInfo;
  static const TPropTable t(
      nullptr, {ClassProp<V>("Brackets", [](const V& v) { return static_cast<TObject*>(v.Brackets()); }),
                ClassProp<V>("Colors", [](const V& v) { return static_cast<TObject*>(v.Colors()); }),
                StrProp<V>("Commenter", &V::Commenter, &V::SetCommenter),
                BoolProp<V>("ControlCode", &V::ControlCode, &V::SetControlCode),
                StrProp<V>("HexPrefix", &V::HexPrefix, &V::SetHexPrefix),
                BoolProp<V>("Mail", &V::Mail, &V::SetMail),
                StrProp<V>("Quotation", &V::Quotation, &V::SetQuotation),
                BoolProp<V>("Url", &V::Url, &V::SetUrl)});
  return t;
}

} // namespace ze
