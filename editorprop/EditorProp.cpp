#include "editorprop/EditorProp.h"

#include <utility>

namespace ze {
namespace {

std::string DescribeFailures(const TPropCopyFailures& failures) {
  std::string text = "設定をコピーできませんでした:";
  for (const TPropCopyFailure& f : failures) text += "\n" + f.Property + ": " + f.Message;
  return text;
}

// Runs one property's copy; an error is recorded under the property's
// name and the next property is copied all the same.
template <class F> void CopyOne(const char* property, TPropCopyFailures& failures, F&& copy) {
  try {
    copy();
  } catch (const std::exception& e) {
    failures.push_back({property, e.what()});
  } catch (...) {
    failures.push_back({property, "不明なエラー"});
  }
}

void RaiseIfAny(TPropCopyFailures failures) {
  if (!failures.empty()) throw EEditorPropCopyError(std::move(failures));
}

} // namespace

EEditorPropCopyError::EEditorPropCopyError(TPropCopyFailures failures)
    : Exception(DescribeFailures(failures)), failures_(std::move(failures)) {}

TEditorProp::TEditorProp(TComponent* owner) : TFileExtComponent(owner) {}

TEditorProp::~TEditorProp() = default;

void TEditorProp::AfterConstruction() {
  TFileExtComponent::AfterConstruction();
  caret_ = CreateEditorCaret();
  imagebar_ = CreateImagebar();
  leftbar_ = CreateLeftbar();
  margin_ = CreateMargin();
  marks_ = CreateMarks();
  reserveWordList_ = std::make_unique<TStringList>(true, TDuplicates::dupIgnore);
  ruler_ = CreateRuler();
  view_ = CreateViewInfo();
  view_->SetOwner(this);
  speed_ = CreateSpeed();
  wrapOption_ = CreateWrapOption();
  color_ = clWindow;
  font_.Color = clWindowText;
  font_.Name = "FixedSys";
}

std::unique_ptr<TEditorCaret> TEditorProp::CreateEditorCaret() {
  return std::make_unique<TEditorCaret>();
}
std::unique_ptr<TEditorImagebar> TEditorProp::CreateImagebar() {
  return std::make_unique<TEditorImagebar>();
}
std::unique_ptr<TEditorLeftbar> TEditorProp::CreateLeftbar() {
  return std::make_unique<TEditorLeftbar>();
}
std::unique_ptr<TEditorMargin> TEditorProp::CreateMargin() {
  return std::make_unique<TEditorMargin>();
}
std::unique_ptr<TEditorMarks> TEditorProp::CreateMarks() {
  return std::make_unique<TEditorMarks>();
}
std::unique_ptr<TEditorRuler> TEditorProp::CreateRuler() {
  return std::make_unique<TEditorRuler>();
}
std::unique_ptr<TEditorSpeed> TEditorProp::CreateSpeed() {
  return std::make_unique<TEditorSpeed>();
}
std::unique_ptr<TEditorViewInfo> TEditorProp::CreateViewInfo() {
  return Create<TEditorViewInfo>();
}
std::unique_ptr<TEditorWrapOption> TEditorProp::CreateWrapOption() {
  return std::make_unique<TEditorWrapOption>();
}

// ---------------------------------------------------------------- notifying setters

void TEditorProp::SetColor(TColor v) {
  if (color_ == v) return;
  color_ = v;
  if (OnColorChange) OnColorChange(this);
}

void TEditorProp::SetHitStyle(TEditorHitStyle v) {
  if (hitStyle_ == v) return;
  hitStyle_ = v;
  if (OnHitStyleChange) OnHitStyleChange(this);
}

void TEditorProp::SetScrollBars(TScrollStyle v) {
  if (scrollBars_ == v) return;
  scrollBars_ = v;
  if (OnScrollBarsChange) OnScrollBarsChange(this);
}

void TEditorProp::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  if (OnWordWrapChange) OnWordWrapChange(this);
}

// ---------------------------------------------------------------- copies

void TEditorProp::CopyFrom(const TPersistent* source) { RaiseIfAny(TakeFrom(source)); }

void TEditorProp::CopyTo(TPersistent* dest) const { RaiseIfAny(ApplyTo(dest)); }

TPropCopyFailures TEditorProp::TakeFrom(const TPersistent* source) {
  TPropCopyFailures failures;
  if (auto* e = dynamic_cast<const TEditor*>(source)) TakeFromEditor(*e, failures);
  else if (auto* p = dynamic_cast<const TEditorProp*>(source)) TakeFromStore(*p, failures);
  else TFileExtComponent::CopyFrom(source);
  return failures;
}

TPropCopyFailures TEditorProp::ApplyTo(TPersistent* dest) const {
  TPropCopyFailures failures;
  if (auto* e = dynamic_cast<TEditor*>(dest)) ApplyToEditor(*e, failures);
  else if (auto* p = dynamic_cast<TEditorProp*>(dest)) ApplyToStore(*p, failures);
  else TFileExtComponent::CopyTo(dest);
  return failures;
}

void TEditorProp::TakeFromEditor(const TEditor& e, TPropCopyFailures& f) {
  CopyOne("Color", f, [&] { SetColor(e.Color()); });
  CopyOne("Caret", f, [&] { SetCaret(e.Caret()); });
  CopyOne("Font", f, [&] { SetFont(e.Font()); });
  CopyOne("HitStyle", f, [&] { SetHitStyle(e.HitStyle()); });
  CopyOne("Imagebar", f, [&] { SetImagebar(e.Imagebar()); });
  CopyOne("Leftbar", f, [&] { SetLeftbar(e.Leftbar()); });
  CopyOne("Margin", f, [&] { SetMargin(e.Margin()); });
  CopyOne("Marks", f, [&] { SetMarks(e.Marks()); });
  CopyOne("ReserveWordList", f, [&] { SetReserveWordList(e.ReserveWordList()); });
  CopyOne("Ruler", f, [&] { SetRuler(e.Ruler()); });
  CopyOne("ScrollBars", f, [&] { SetScrollBars(e.ScrollBars()); });
  CopyOne("Speed", f, [&] { SetSpeed(e.Speed()); });
  CopyOne("View", f, [&] { SetView(e.View()); });
  CopyOne("WordWrap", f, [&] { SetWordWrap(e.WordWrap()); });
  CopyOne("WrapOption", f, [&] { SetWrapOption(e.WrapOption()); });
}

void TEditorProp::TakeFromStore(const TEditorProp& p, TPropCopyFailures& f) {
  if (&p == this) return;
  p.ApplyToStore(*this, f);
}

void TEditorProp::ApplyToEditor(TEditor& e, TPropCopyFailures& f) const {
  CopyOne("Color", f, [&] { e.SetColor(color_); });
  CopyOne("Caret", f, [&] { e.SetCaret(caret_.get()); });
  CopyOne("Font", f, [&] { e.SetFont(font_); });
  CopyOne("HitStyle", f, [&] { e.SetHitStyle(hitStyle_); });
  CopyOne("Imagebar", f, [&] { e.SetImagebar(imagebar_.get()); });
  CopyOne("Leftbar", f, [&] { e.SetLeftbar(leftbar_.get()); });
  CopyOne("Margin", f, [&] { e.SetMargin(margin_.get()); });
  CopyOne("Marks", f, [&] { e.SetMarks(marks_.get()); });
  CopyOne("ReserveWordList", f, [&] { e.SetReserveWordList(reserveWordList_.get()); });
  CopyOne("Ruler", f, [&] { e.SetRuler(ruler_.get()); });
  CopyOne("ScrollBars", f, [&] { e.SetScrollBars(scrollBars_); });
  CopyOne("Speed", f, [&] { e.SetSpeed(speed_.get()); });
  CopyOne("View", f, [&] { e.SetView(view_.get()); });
  // The editor must never rewrap its text with the old wrap options: the
  // options go first when wrapping is switched on, last when it is
  // switched off.
  if (wordWrap_) {
    CopyOne("WrapOption", f, [&] { e.SetWrapOption(wrapOption_.get()); });
    CopyOne("WordWrap", f, [&] { e.SetWordWrap(true); });
  } else {
    CopyOne("WordWrap", f, [&] { e.SetWordWrap(false); });
    CopyOne("WrapOption", f, [&] { e.SetWrapOption(wrapOption_.get()); });
  }
}

void TEditorProp::ApplyToStore(TEditorProp& p, TPropCopyFailures& f) const {
  if (&p == this) return;
  CopyOne("Color", f, [&] { p.SetColor(color_); });
  CopyOne("Caret", f, [&] { p.SetCaret(caret_.get()); });
  CopyOne("Font", f, [&] { p.SetFont(font_); });
  CopyOne("HitStyle", f, [&] { p.SetHitStyle(hitStyle_); });
  CopyOne("Imagebar", f, [&] { p.SetImagebar(imagebar_.get()); });
  CopyOne("Leftbar", f, [&] { p.SetLeftbar(leftbar_.get()); });
  CopyOne("Margin", f, [&] { p.SetMargin(margin_.get()); });
  CopyOne("Marks", f, [&] { p.SetMarks(marks_.get()); });
  CopyOne("ReserveWordList", f, [&] { p.SetReserveWordList(reserveWordList_.get()); });
  CopyOne("Ruler", f, [&] { p.SetRuler(ruler_.get()); });
  CopyOne("ScrollBars", f, [&] { p.SetScrollBars(scrollBars_); });
  CopyOne("Speed", f, [&] { p.SetSpeed(speed_.get()); });
  CopyOne("View", f, [&] { p.SetView(view_.get()); });
  CopyOne("WordWrap", f, [&] { p.SetWordWrap(wordWrap_); });
  CopyOne("WrapOption", f, [&] { p.SetWrapOption(wrapOption_.get()); });
  CopyOne("FileExtList", f, [&] { p.SetFileExtList(FileExtList()); });
}

// ---------------------------------------------------------------- published

const TPropTable& TEditorProp::ClassProps() {
  using P = TEditorProp;
  auto obj = [](auto get) {
    return [get](const P& p) { return static_cast<TObject*>(std::invoke(get, p)); };
  };
  static const TPropTable t(
      &TFileExtComponent::ClassProps(),
      {IntProp<P>("Color", &P::Color, &P::SetColor),
       ClassProp<P>("Caret", obj(&P::Caret)),
       EnumProp<P>("HitStyle", &P::HitStyle, &P::SetHitStyle, {"hsSelect", "hsDraw", "hsCaret"}),
       ClassProp<P>("Imagebar", obj(&P::Imagebar)),
       ClassProp<P>("Leftbar", obj(&P::Leftbar)),
       ClassProp<P>("Margin", obj(&P::Margin)),
       ClassProp<P>("Marks", obj(&P::Marks)),
       ClassProp<P>("ReserveWordList", obj(&P::ReserveWordList)),
       ClassProp<P>("Ruler", obj(&P::Ruler)),
       EnumProp<P>("ScrollBars", &P::ScrollBars, &P::SetScrollBars,
                   {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}),
       ClassProp<P>("Speed", obj(&P::Speed)),
       ClassProp<P>("View", obj(&P::View)),
       BoolProp<P>("WordWrap", &P::WordWrap, &P::SetWordWrap),
       ClassProp<P>("WrapOption", obj(&P::WrapOption))});
  return t;
}

} // namespace ze
