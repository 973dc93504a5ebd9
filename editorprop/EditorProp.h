#pragma once
// TEditorProp: one complete set of editor settings, copied from an editor
// (CopyFrom) and onto an editor (CopyTo), and to and from another store.
// The main window keeps one as the template for every new editor and as
// the carrier of the last-used settings between editors.
//
// Copies go property by property: a property whose copy raises is
// skipped, every other property is still copied, and the failures are
// raised together afterwards as one EEditorPropCopyError (CopyFrom,
// CopyTo) or returned (TakeFrom, ApplyTo) for callers that must not see
// an exception, such as a page-change handler.

#include <memory>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/ViewInfo.h"
#include "platform/Graphics.h"
#include "platform/Surface.h"
#include "text/EditorSettings.h"
#include "text/Notify.h"
#include "text/WrapOption.h"

namespace ze {

// One property that could not be copied: its name and the error's text.
struct TPropCopyFailure {
  std::string Property;
  std::string Message;
};
using TPropCopyFailures = std::vector<TPropCopyFailure>;

// Raised after a copy in which some properties failed; the others were
// copied. what() lists every failed property with its message.
class EEditorPropCopyError : public Exception {
public:
  explicit EEditorPropCopyError(TPropCopyFailures failures);
  const TPropCopyFailures& Failures() const noexcept { return failures_; }

private:
  TPropCopyFailures failures_;
};

class TEditorProp : public TFileExtComponent {
public:
  // Create with Create<TEditorProp>(owner): the setting objects come from
  // the virtual factories, which run in AfterConstruction.
  explicit TEditorProp(TComponent* owner);
  ~TEditorProp() override;
  void AfterConstruction() override;

  // ---- published properties, in this order
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor v);
  TEditorCaret* Caret() const noexcept { return caret_.get(); }
  void SetCaret(const TEditorCaret* v) { caret_->CopyFrom(v); }
  const TFontDesc& Font() const noexcept { return font_; }
  void SetFont(const TFontDesc& v) { font_ = v; }
  TEditorHitStyle HitStyle() const noexcept { return hitStyle_; }
  void SetHitStyle(TEditorHitStyle v);
  TEditorImagebar* Imagebar() const noexcept { return imagebar_.get(); }
  void SetImagebar(const TEditorImagebar* v) { imagebar_->CopyFrom(v); }
  TEditorLeftbar* Leftbar() const noexcept { return leftbar_.get(); }
  void SetLeftbar(const TEditorLeftbar* v) { leftbar_->CopyFrom(v); }
  TEditorMargin* Margin() const noexcept { return margin_.get(); }
  void SetMargin(const TEditorMargin* v) { margin_->CopyFrom(v); }
  TEditorMarks* Marks() const noexcept { return marks_.get(); }
  void SetMarks(const TEditorMarks* v) { marks_->CopyFrom(v); }
  // Sorted, duplicates ignored.
  TStringList* ReserveWordList() const noexcept { return reserveWordList_.get(); }
  void SetReserveWordList(const TStrings* v) { reserveWordList_->CopyFrom(v); }
  TEditorRuler* Ruler() const noexcept { return ruler_.get(); }
  void SetRuler(const TEditorRuler* v) { ruler_->CopyFrom(v); }
  TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  TEditorSpeed* Speed() const noexcept { return speed_.get(); }
  void SetSpeed(const TEditorSpeed* v) { speed_->CopyFrom(v); }
  TEditorViewInfo* View() const noexcept { return view_.get(); }
  void SetView(const TEditorViewInfo* v) { view_->CopyFrom(v); }
  bool WordWrap() const noexcept { return wordWrap_; }
  void SetWordWrap(bool v);
  TEditorWrapOption* WrapOption() const noexcept { return wrapOption_.get(); }
  void SetWrapOption(const TEditorWrapOption* v) { wrapOption_->CopyFrom(v); }

  // Called after the value has changed; setting the same value calls
  // nothing.
  TNotifyEvent OnColorChange;
  TNotifyEvent OnHitStyleChange;
  TNotifyEvent OnScrollBarsChange;
  TNotifyEvent OnWordWrapChange;

  // From a TEditor or another TEditorProp; anything else goes to the
  // base copy (which raises EConvertError unless the source can copy
  // itself here). Raises EEditorPropCopyError after the copy when some
  // properties failed.
  void CopyFrom(const TPersistent* source) override;
  // Onto a TEditor or another TEditorProp, likewise.
  void CopyTo(TPersistent* dest) const override;

  // The same copies without raising for a failed property: every
  // property that could be copied is, and the failures are returned.
  // A source or target of another class still raises EConvertError.
  TPropCopyFailures TakeFrom(const TPersistent* source);
  TPropCopyFailures ApplyTo(TPersistent* dest) const;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

protected:
  // Factories, so that a derived store can supply derived setting classes.
  virtual std::unique_ptr<TEditorCaret> CreateEditorCaret();
  virtual std::unique_ptr<TEditorImagebar> CreateImagebar();
  virtual std::unique_ptr<TEditorLeftbar> CreateLeftbar();
  virtual std::unique_ptr<TEditorMargin> CreateMargin();
  virtual std::unique_ptr<TEditorMarks> CreateMarks();
  virtual std::unique_ptr<TEditorRuler> CreateRuler();
  virtual std::unique_ptr<TEditorSpeed> CreateSpeed();
  virtual std::unique_ptr<TEditorViewInfo> CreateViewInfo();
  virtual std::unique_ptr<TEditorWrapOption> CreateWrapOption();

private:
  void TakeFromEditor(const TEditor& e, TPropCopyFailures& failures);
  void TakeFromStore(const TEditorProp& p, TPropCopyFailures& failures);
  void ApplyToEditor(TEditor& e, TPropCopyFailures& failures) const;
  void ApplyToStore(TEditorProp& p, TPropCopyFailures& failures) const;

  TColor color_ = clWindow;
  std::unique_ptr<TEditorCaret> caret_;
  TFontDesc font_;
  TEditorHitStyle hitStyle_ = hsSelect;
  std::unique_ptr<TEditorImagebar> imagebar_;
  std::unique_ptr<TEditorLeftbar> leftbar_;
  std::unique_ptr<TEditorMargin> margin_;
  std::unique_ptr<TEditorMarks> marks_;
  std::unique_ptr<TStringList> reserveWordList_;
  std::unique_ptr<TEditorRuler> ruler_;
  TScrollStyle scrollBars_ = ssBoth;
  std::unique_ptr<TEditorSpeed> speed_;
  std::unique_ptr<TEditorViewInfo> view_;
  bool wordWrap_ = false;
  std::unique_ptr<TEditorWrapOption> wrapOption_;
};

} // namespace ze
