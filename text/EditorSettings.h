#pragma once
// The editor's setting objects: small persistent objects that carry data
// only. The editor installs its handler as each one's OnChange and reacts
// there. Setters marked "notifies" store a differing value and call
// Changed; "plain" setters just store.

#include <cstdint>

#include "text/Notify.h"

namespace ze {

using TColor = uint32_t; // 0x00BBGGRR; see the named values in the app

enum TEditorCaretStyle { csDefault, csBrief };
enum TDragMode { dmManual, dmAutomatic };
enum TEditorShowNumberMode { nmRow, nmLine };


class TEditorCursors : public TNotifyPersistent {
public:
  int16_t DefaultCursor() const { return default_; }
  void SetDefaultCursor(int16_t v) { default_ = v; }
  int16_t DragSelCursor() const { return dragSel_; }
  void SetDragSelCursor(int16_t v) { dragSel_ = v; }
  int16_t DragSelCopyCursor() const { return dragSelCopy_; }
  void SetDragSelCopyCursor(int16_t v) { dragSelCopy_ = v; }
  int16_t InSelCursor() const { return inSel_; }
  void SetInSelCursor(int16_t v) { inSel_ = v; }
  int16_t LeftMarginCursor() const { return leftMargin_; }
  void SetLeftMarginCursor(int16_t v) { leftMargin_ = v; }
  int16_t TopMarginCursor() const { return topMargin_; }
  void SetTopMarginCursor(int16_t v) { topMargin_ = v; }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

  // Cursor slots the editor registers at start.
  static constexpr int16_t crRightArrow = 1958;
  static constexpr int16_t crDragSelCopy = 1959;

private:
  int16_t default_ = -4; // I-beam
  int16_t dragSel_ = -12;
  int16_t dragSelCopy_ = crDragSelCopy;
  int16_t inSel_ = 0;
  int16_t leftMargin_ = crRightArrow;
  int16_t topMargin_ = 0;
};

class TEditorCaret : public TNotifyPersistent {
public:
  TEditorCaret();
  bool AutoCursor() const { return autoCursor_; }
  void SetAutoCursor(bool v) { autoCursor_ = v; }
  bool AutoIndent() const { return autoIndent_; }
  void SetAutoIndent(bool v) { autoIndent_ = v; }
  bool BackSpaceUnIndent() const { return backSpaceUnIndent_; }
  void SetBackSpaceUnIndent(bool v) { backSpaceUnIndent_ = v; }
  TEditorCursors* Cursors() const { return cursors_.get(); }
  void SetCursors(const TEditorCursors* v) { cursors_->CopyFrom(v); }
  bool FreeCaret() const { return freeCaret_; }
  void SetFreeCaret(bool v) { freeCaret_ = v; }
  bool FreeRow() const { return freeRow_; }
  void SetFreeRow(bool v) { freeRow_ = v; }
  bool InTab() const { return inTab_; }
  void SetInTab(bool v) { inTab_ = v; }
  bool KeepCaret() const { return keepCaret_; }
  void SetKeepCaret(bool v) { keepCaret_ = v; }
  bool LockScroll() const { return lockScroll_; }
  void SetLockScroll(bool v) { lockScroll_ = v; }
  bool NextLine() const { return nextLine_; }
  void SetNextLine(bool v) { nextLine_ = v; }
  bool PrevSpaceIndent() const { return prevSpaceIndent_; }
  void SetPrevSpaceIndent(bool v) { prevSpaceIndent_ = v; }
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v) { rowSelect_ = v; }
  TDragMode SelDragMode() const { return selDragMode_; }
  void SetSelDragMode(TDragMode v) { selDragMode_ = v; }
  bool SelMove() const { return selMove_; }
  void SetSelMove(bool v) { selMove_ = v; }
  bool SoftTab() const { return softTab_; }
  void SetSoftTab(bool v) { softTab_ = v; }
  TEditorCaretStyle Style() const { return style_; }
  void SetStyle(TEditorCaretStyle v) { Notify(style_, v); }
  bool TabIndent() const { return tabIndent_; }
  void SetTabIndent(bool v) { tabIndent_ = v; }
  int TabSpaceCount() const { return tabSpaceCount_; }
  // Clamped to 2..8 and lowered to an even number.
  void SetTabSpaceCount(int v);

  // Reports a change only when some value differs.
  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  bool SameValues(const TEditorCaret& o) const;
  bool autoCursor_ = true;
  bool autoIndent_ = true;
  bool backSpaceUnIndent_ = true;
  std::unique_ptr<TEditorCursors> cursors_;
  bool freeCaret_ = true;
  bool freeRow_ = false;
  bool inTab_ = false;
  bool keepCaret_ = false;
  bool lockScroll_ = false;
  bool nextLine_ = false;
  bool prevSpaceIndent_ = false;
  bool rowSelect_ = true;
  TDragMode selDragMode_ = dmAutomatic;
  bool selMove_ = true;
  bool softTab_ = false;
  TEditorCaretStyle style_ = csDefault;
  bool tabIndent_ = false;
  int tabSpaceCount_ = 8;
};

class TEditorMargin : public TNotifyPersistent {
public:
  int Character() const { return character_; }
  void SetCharacter(int v);
  int Left() const { return left_; }
  void SetLeft(int v);
  int Line() const { return line_; }
  void SetLine(int v);
  int Top() const { return top_; }
  void SetTop(int v);
  // 1 while the caret-row underline is shown, else 0; adds to the row
  // height. Not published.
  int UnderlineSpace() const { return underlineSpace_; }
  void SetUnderlineSpace(int v) { underlineSpace_ = v; }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  int character_ = 0;
  int left_ = 19;
  int line_ = 0;
  int top_ = 2;
  int underlineSpace_ = 0;
};

class TEditorMark : public TNotifyPersistent {
public:
  TColor Color() const { return color_; }
  void SetColor(TColor v) { Notify(color_, v); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Notify(visible_, v); }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  TColor color_ = 0x808080;
  bool visible_ = false;
};

class TEditorMarks : public TNotifyPersistent {
public:
  TEditorMarks();
  TEditorMark* EofMark() const { return eof_.get(); }
  void SetEofMark(const TEditorMark* v) { eof_->CopyFrom(v); }
  TEditorMark* RetMark() const { return ret_.get(); }
  void SetRetMark(const TEditorMark* v) { ret_->CopyFrom(v); }
  TEditorMark* WrapMark() const { return wrap_.get(); }
  void SetWrapMark(const TEditorMark* v) { wrap_->CopyFrom(v); }
  TEditorMark* HideMark() const { return hide_.get(); }
  void SetHideMark(const TEditorMark* v) { hide_->CopyFrom(v); }
  TEditorMark* Underline() const { return underline_.get(); }
  void SetUnderline(const TEditorMark* v) { underline_->CopyFrom(v); }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  std::unique_ptr<TEditorMark> eof_, ret_, wrap_, hide_, underline_;
};

class TEditorRuler : public TNotifyPersistent {
public:
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor v) { Notify(bkColor_, v); }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { Notify(color_, v); }
  bool Edge() const { return edge_; }
  void SetEdge(bool v) { Notify(edge_, v); }
  int GaugeRange() const { return gaugeRange_; }
  // Clamped to 8..10 and lowered to an even number.
  void SetGaugeRange(int v);
  TColor MarkColor() const { return markColor_; }
  void SetMarkColor(TColor v) { Notify(markColor_, v); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Notify(visible_, v); }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  TColor bkColor_ = 0xC0C0C0;
  TColor color_ = 0x000000;
  bool edge_ = true;
  int gaugeRange_ = 10;
  TColor markColor_ = 0x000000;
  bool visible_ = false;
};

class TEditorLeftbar : public TNotifyPersistent {
public:
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor v) { Notify(bkColor_, v); }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { Notify(color_, v); }
  int Column() const { return column_; }
  void SetColumn(int v);
  bool Edge() const { return edge_; }
  void SetEdge(bool v) { Notify(edge_, v); }
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int v);
  int RightMargin() const { return rightMargin_; }
  void SetRightMargin(int v);
  bool ShowNumber() const { return showNumber_; }
  void SetShowNumber(bool v) { Notify(showNumber_, v); }
  TEditorShowNumberMode ShowNumberMode() const { return showNumberMode_; }
  void SetShowNumberMode(TEditorShowNumberMode v) { Notify(showNumberMode_, v); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Notify(visible_, v); }
  bool ZeroBase() const { return zeroBase_; }
  void SetZeroBase(bool v) { Notify(zeroBase_, v); }
  bool ZeroLead() const { return zeroLead_; }
  void SetZeroLead(bool v) { Notify(zeroLead_, v); }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  TColor bkColor_ = 0xC0C0C0;
  TColor color_ = 0x000000;
  int column_ = 4;
  bool edge_ = true;
  int leftMargin_ = 8;
  int rightMargin_ = 4;
  bool showNumber_ = true;
  TEditorShowNumberMode showNumberMode_ = nmRow;
  bool visible_ = false;
  bool zeroBase_ = false;
  bool zeroLead_ = false;
};

class TEditorImagebar : public TNotifyPersistent {
public:
  int DigitWidth() const { return digitWidth_; }
  void SetDigitWidth(int v);
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int v);
  int MarkWidth() const { return markWidth_; }
  void SetMarkWidth(int v);
  int RightMargin() const { return rightMargin_; }
  void SetRightMargin(int v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Notify(visible_, v); }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  int digitWidth_ = 8;
  int leftMargin_ = 2;
  int markWidth_ = 0;
  int rightMargin_ = 2;
  bool visible_ = true;
};

// Tuning of scrolling and colouring; no notification.
class TEditorSpeed : public TPersistent {
public:
  int CaretVerticalAc() const { return caretVerticalAc_; }
  void SetCaretVerticalAc(int v) { caretVerticalAc_ = SpeedRange(v); }
  bool InitBracketsFull() const { return initBracketsFull_; }
  void SetInitBracketsFull(bool v) { initBracketsFull_ = v; }
  int PageVerticalRange() const { return pageVerticalRange_; }
  void SetPageVerticalRange(int v) { pageVerticalRange_ = SpeedRange(v); }
  int PageVerticalRangeAc() const { return pageVerticalRangeAc_; }
  void SetPageVerticalRangeAc(int v) { pageVerticalRangeAc_ = SpeedRange(v); }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  // The speed range type holds 1..4.
  static int SpeedRange(int v) { return v < 1 ? 1 : (v > 4 ? 4 : v); }
  int caretVerticalAc_ = 2;
  bool initBracketsFull_ = false;
  int pageVerticalRange_ = 2;
  int pageVerticalRangeAc_ = 2;
};

} // namespace ze
