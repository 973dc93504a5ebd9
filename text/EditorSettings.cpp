#include "text/EditorSettings.h"

#include <algorithm>

#include "text/Properties.h"

namespace ze {
namespace {

int Clamp100(int v) { return std::clamp(v, 0, 100); }

template <class T> const T* Same(const TPersistent* source) {
  return dynamic_cast<const T*>(source);
}

} // namespace

// ---------------------------------------------------------------- cursors

void TEditorCursors::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorCursors>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  default_ = s->default_;
  dragSel_ = s->dragSel_;
  dragSelCopy_ = s->dragSelCopy_;
  inSel_ = s->inSel_;
  leftMargin_ = s->leftMargin_;
  topMargin_ = s->topMargin_;
  Changed();
}

const TPropTable& TEditorCursors::ClassProps() {
  using C = TEditorCursors;
  static const TPropTable t(
      nullptr, {IntProp<C>("DefaultCursor", &C::DefaultCursor, &C::SetDefaultCursor),
                IntProp<C>("DragSelCursor", &C::DragSelCursor, &C::SetDragSelCursor),
                IntProp<C>("DragSelCopyCursor", &C::DragSelCopyCursor, &C::SetDragSelCopyCursor),
                IntProp<C>("InSelCursor", &C::InSelCursor, &C::SetInSelCursor),
                IntProp<C>("LeftMarginCursor", &C::LeftMarginCursor, &C::SetLeftMarginCursor),
                IntProp<C>("TopMarginCursor", &C::TopMarginCursor, &C::SetTopMarginCursor)});
  return t;
}

// ---------------------------------------------------------------- caret

TEditorCaret::TEditorCaret() : cursors_(std::make_unique<TEditorCursors>()) {}

void TEditorCaret::SetTabSpaceCount(int v) {
  v = std::clamp(v, 2, 8);
  Notify(tabSpaceCount_, v - v % 2);
}

bool TEditorCaret::SameValues(const TEditorCaret& o) const {
  const TEditorCursors &a = *cursors_, &b = *o.cursors_;
  return autoCursor_ == o.autoCursor_ && autoIndent_ == o.autoIndent_ &&
         backSpaceUnIndent_ == o.backSpaceUnIndent_ && freeCaret_ == o.freeCaret_ &&
         freeRow_ == o.freeRow_ && inTab_ == o.inTab_ && keepCaret_ == o.keepCaret_ &&
         lockScroll_ == o.lockScroll_ && nextLine_ == o.nextLine_ &&
         prevSpaceIndent_ == o.prevSpaceIndent_ && rowSelect_ == o.rowSelect_ &&
         selDragMode_ == o.selDragMode_ && selMove_ == o.selMove_ && softTab_ == o.softTab_ &&
         style_ == o.style_ && tabIndent_ == o.tabIndent_ && tabSpaceCount_ == o.tabSpaceCount_ &&
         a.DefaultCursor() == b.DefaultCursor() && a.DragSelCursor() == b.DragSelCursor() &&
         a.DragSelCopyCursor() == b.DragSelCopyCursor() && a.InSelCursor() == b.InSelCursor() &&
         a.LeftMarginCursor() == b.LeftMarginCursor() && a.TopMarginCursor() == b.TopMarginCursor();
}

void TEditorCaret::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorCaret>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  // A caret change empties the editor's undo lists, so copying equal
  // values must not report one.
  if (SameValues(*s)) return;
  UpdateGuard<TEditorCaret> update(*this);
  autoCursor_ = s->autoCursor_;
  autoIndent_ = s->autoIndent_;
  backSpaceUnIndent_ = s->backSpaceUnIndent_;
  cursors_->CopyFrom(s->cursors_.get());
  freeCaret_ = s->freeCaret_;
  freeRow_ = s->freeRow_;
  inTab_ = s->inTab_;
  keepCaret_ = s->keepCaret_;
  lockScroll_ = s->lockScroll_;
  nextLine_ = s->nextLine_;
  prevSpaceIndent_ = s->prevSpaceIndent_;
  rowSelect_ = s->rowSelect_;
  selDragMode_ = s->selDragMode_;
  selMove_ = s->selMove_;
  softTab_ = s->softTab_;
  style_ = s->style_;
  tabIndent_ = s->tabIndent_;
  tabSpaceCount_ = s->tabSpaceCount_;
}

const TPropTable& TEditorCaret::ClassProps() {
  using C = TEditorCaret;
  static const TPropTable t(
      nullptr,
      {BoolProp<C>("AutoCursor", &C::AutoCursor, &C::SetAutoCursor),
       BoolProp<C>("AutoIndent", &C::AutoIndent, &C::SetAutoIndent),
       BoolProp<C>("BackSpaceUnIndent", &C::BackSpaceUnIndent, &C::SetBackSpaceUnIndent),
       ClassProp<C>("Cursors", [](const C& c) { return static_cast<TObject*>(c.Cursors()); }),
       BoolProp<C>("FreeCaret", &C::FreeCaret, &C::SetFreeCaret),
       BoolProp<C>("FreeRow", &C::FreeRow, &C::SetFreeRow),
       BoolProp<C>("InTab", &C::InTab, &C::SetInTab),
       BoolProp<C>("KeepCaret", &C::KeepCaret, &C::SetKeepCaret),
       BoolProp<C>("LockScroll", &C::LockScroll, &C::SetLockScroll),
       BoolProp<C>("NextLine", &C::NextLine, &C::SetNextLine),
       BoolProp<C>("PrevSpaceIndent", &C::PrevSpaceIndent, &C::SetPrevSpaceIndent),
       BoolProp<C>("RowSelect", &C::RowSelect, &C::SetRowSelect),
       EnumProp<C>("SelDragMode", &C::SelDragMode, &C::SetSelDragMode, {"dmManual", "dmAutomatic"}),
       BoolProp<C>("SelMove", &C::SelMove, &C::SetSelMove),
       BoolProp<C>("SoftTab", &C::SoftTab, &C::SetSoftTab),
       EnumProp<C>("Style", &C::Style, &C::SetStyle, {"csDefault", "csBrief"}),
       BoolProp<C>("TabIndent", &C::TabIndent, &C::SetTabIndent),
       IntProp<C>("TabSpaceCount", &C::TabSpaceCount, &C::SetTabSpaceCount)});
  return t;
}

// ---------------------------------------------------------------- margin

void TEditorMargin::SetCharacter(int v) { Notify(character_, Clamp100(v)); }
void TEditorMargin::SetLeft(int v) { Notify(left_, Clamp100(v)); }
void TEditorMargin::SetLine(int v) { Notify(line_, Clamp100(v)); }
void TEditorMargin::SetTop(int v) { Notify(top_, Clamp100(v)); }

void TEditorMargin::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorMargin>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  UpdateGuard<TEditorMargin> update(*this);
  character_ = s->character_;
  left_ = s->left_;
  line_ = s->line_;
  top_ = s->top_;
  underlineSpace_ = s->underlineSpace_;
}

const TPropTable& TEditorMargin::ClassProps() {
  using C = TEditorMargin;
  static const TPropTable t(nullptr, {IntProp<C>("Character", &C::Character, &C::SetCharacter),
                                      IntProp<C>("Left", &C::Left, &C::SetLeft),
                                      IntProp<C>("Line", &C::Line, &C::SetLine),
                                      IntProp<C>("Top", &C::Top, &C::SetTop)});
  return t;
}

// ---------------------------------------------------------------- marks

void TEditorMark::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorMark>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  color_ = s->color_;
  visible_ = s->visible_;
  Changed();
}

const TPropTable& TEditorMark::ClassProps() {
  using C = TEditorMark;
  static const TPropTable t(nullptr, {IntProp<C>("Color", &C::Color, &C::SetColor),
                                      BoolProp<C>("Visible", &C::Visible, &C::SetVisible)});
  return t;
}

TEditorMarks::TEditorMarks()
    : eof_(std::make_unique<TEditorMark>()), ret_(std::make_unique<TEditorMark>()),
      wrap_(std::make_unique<TEditorMark>()), hide_(std::make_unique<TEditorMark>()),
      underline_(std::make_unique<TEditorMark>()) {
  for (TEditorMark* m : {eof_.get(), ret_.get(), wrap_.get(), hide_.get(), underline_.get()})
    m->OnChange = ChangedProcEvent();
}

void TEditorMarks::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorMarks>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  UpdateGuard<TEditorMarks> update(*this);
  eof_->CopyFrom(s->eof_.get());
  ret_->CopyFrom(s->ret_.get());
  wrap_->CopyFrom(s->wrap_.get());
  hide_->CopyFrom(s->hide_.get());
  underline_->CopyFrom(s->underline_.get());
}

const TPropTable& TEditorMarks::ClassProps() {
  using C = TEditorMarks;
  auto mark = [](const char* name, TEditorMark* (C::*get)() const) {
    return ClassProp<C>(name, [get](const C& c) { return static_cast<TObject*>((c.*get)()); });
  };
  static const TPropTable t(nullptr, {mark("EofMark", &C::EofMark), mark("RetMark", &C::RetMark),
                                      mark("WrapMark", &C::WrapMark), mark("HideMark", &C::HideMark),
                                      mark("Underline", &C::Underline)});
  return t;
}

// ---------------------------------------------------------------- ruler

void TEditorRuler::SetGaugeRange(int v) {
  v = std::clamp(v, 8, 10);
  Notify(gaugeRange_, v - v % 2);
}

void TEditorRuler::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorRuler>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  bkColor_ = s->bkColor_;
  color_ = s->color_;
  edge_ = s->edge_;
  gaugeRange_ = s->gaugeRange_;
  markColor_ = s->markColor_;
  visible_ = s->visible_;
  Changed();
}

const TPropTable& TEditorRuler::ClassProps() {
  using C = TEditorRuler;
  static const TPropTable t(nullptr, {IntProp<C>("BkColor", &C::BkColor, &C::SetBkColor),
                                      IntProp<C>("Color", &C::Color, &C::SetColor),
                                      BoolProp<C>("Edge", &C::Edge, &C::SetEdge),
                                      IntProp<C>("GaugeRange", &C::GaugeRange, &C::SetGaugeRange),
                                      IntProp<C>("MarkColor", &C::MarkColor, &C::SetMarkColor),
                                      BoolProp<C>("Visible", &C::Visible, &C::SetVisible)});
  return t;
}

// ---------------------------------------------------------------- left bar

void TEditorLeftbar::SetColumn(int v) { Notify(column_, std::clamp(v, 1, 8)); }
void TEditorLeftbar::SetLeftMargin(int v) { Notify(leftMargin_, Clamp100(v)); }
void TEditorLeftbar::SetRightMargin(int v) { Notify(rightMargin_, Clamp100(v)); }

void TEditorLeftbar::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorLeftbar>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  bkColor_ = s->bkColor_;
  color_ = s->color_;
  column_ = s->column_;
  edge_ = s->edge_;
  leftMargin_ = s->leftMargin_;
  rightMargin_ = s->rightMargin_;
  showNumber_ = s->showNumber_;
  showNumberMode_ = s->showNumberMode_;
  visible_ = s->visible_;
  zeroBase_ = s->zeroBase_;
  zeroLead_ = s->zeroLead_;
  Changed();
}

const TPropTable& TEditorLeftbar::ClassProps() {
  using C = TEditorLeftbar;
  static const TPropTable t(
      nullptr, {IntProp<C>("BkColor", &C::BkColor, &C::SetBkColor),
                IntProp<C>("Color", &C::Color, &C::SetColor),
                IntProp<C>("Column", &C::Column, &C::SetColumn),
                BoolProp<C>("Edge", &C::Edge, &C::SetEdge),
                IntProp<C>("LeftMargin", &C::LeftMargin, &C::SetLeftMargin),
                IntProp<C>("RightMargin", &C::RightMargin, &C::SetRightMargin),
                BoolProp<C>("ShowNumber", &C::ShowNumber, &C::SetShowNumber),
                EnumProp<C>("ShowNumberMode", &C::ShowNumberMode, &C::SetShowNumberMode,
                            {"nmRow", "nmLine"}),
                BoolProp<C>("Visible", &C::Visible, &C::SetVisible),
                BoolProp<C>("ZeroBase", &C::ZeroBase, &C::SetZeroBase),
                BoolProp<C>("ZeroLead", &C::ZeroLead, &C::SetZeroLead)});
  return t;
}

// ---------------------------------------------------------------- image bar

void TEditorImagebar::SetDigitWidth(int v) { Notify(digitWidth_, Clamp100(v)); }
void TEditorImagebar::SetLeftMargin(int v) { Notify(leftMargin_, Clamp100(v)); }
void TEditorImagebar::SetMarkWidth(int v) { Notify(markWidth_, Clamp100(v)); }
void TEditorImagebar::SetRightMargin(int v) { Notify(rightMargin_, Clamp100(v)); }

void TEditorImagebar::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorImagebar>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  digitWidth_ = s->digitWidth_;
  leftMargin_ = s->leftMargin_;
  markWidth_ = s->markWidth_;
  rightMargin_ = s->rightMargin_;
  visible_ = s->visible_;
  Changed();
}

const TPropTable& TEditorImagebar::ClassProps() {
  using C = TEditorImagebar;
  static const TPropTable t(nullptr,
                            {IntProp<C>("DigitWidth", &C::DigitWidth, &C::SetDigitWidth),
                             IntProp<C>("LeftMargin", &C::LeftMargin, &C::SetLeftMargin),
                             IntProp<C>("MarkWidth", &C::MarkWidth, &C::SetMarkWidth),
                             IntProp<C>("RightMargin", &C::RightMargin, &C::SetRightMargin),
                             BoolProp<C>("Visible", &C::Visible, &C::SetVisible)});
  return t;
}

// ---------------------------------------------------------------- speed

void TEditorSpeed::CopyFrom(const TPersistent* source) {
  auto* s = Same<TEditorSpeed>(source);
  if (!s) return TPersistent::CopyFrom(source);
  caretVerticalAc_ = s->caretVerticalAc_;
  initBracketsFull_ = s->initBracketsFull_;
  pageVerticalRange_ = s->pageVerticalRange_;
  pageVerticalRangeAc_ = s->pageVerticalRangeAc_;
}

const TPropTable& TEditorSpeed::ClassProps() {
  using C = TEditorSpeed;
  static const TPropTable t(
      nullptr, {IntProp<C>("CaretVerticalAc", &C::CaretVerticalAc, &C::SetCaretVerticalAc),
                BoolProp<C>("InitBracketsFull", &C::InitBracketsFull, &C::SetInitBracketsFull),
                IntProp<C>("PageVerticalRange", &C::PageVerticalRange, &C::SetPageVerticalRange),
                IntProp<C>("PageVerticalRangeAc", &C::PageVerticalRangeAc,
                           &C::SetPageVerticalRangeAc)});
  return t;
}

} // namespace ze
