#include "app/CommandState.h"

namespace ze {

TCommandStates ComputeCommandStates(const TCommandSnapshot& s) {
  using C = TCommandId;
  TCommandStates st{};
  auto set = [&](C id, bool enabled, bool checked = false) {
    st[Index(id)] = {enabled && s.Available[Index(id)], checked};
  };

  const bool ed = s.HasEditor;
  const bool writable = ed && !s.ReadOnly;
  const bool lines = ed && s.HasLines;
  const bool unwrapped = ed && !s.WordWrap;
  const bool rowHasText = s.CaretRowEndCol > 0;
  const bool paste = writable && s.ClipboardHasText;

  // Always there, page or not.
  for (C id : {C::New1, C::Open1, C::Exit1, C::OptionSetting, C::ReserveWordEdit, C::BrowserOpen,
               C::About1, C::Verify_ver, C::OpenURL})
    set(id, true);

  // File
  set(C::AddRead, writable);
  set(C::Clear1, lines && writable);
  set(C::ClosePage, ed && s.PageCount > 1);
  set(C::Save1, ed && s.Modified);
  set(C::SaveAs1, lines);
  // One print command at a time; only a document with lines is printed.
  set(C::PrintPreview, lines && !s.PrintBusy);
  set(C::Print1, lines && !s.PrintBusy);
  set(C::PrintSetup1, ed && !s.PrintBusy);
  set(C::PrinterSetting, !s.PrintBusy);
  // Reading the file again needs a file; choosing how the document is
  // written needs a document that may be written.
  for (int n = 0; n < 7; ++n) {
    set(Nth(C::ReopenCp932, n), ed && s.HasFile);
    set(Nth(C::SaveEncCp932, n), writable, ed && static_cast<int>(s.Encoding) == n);
  }
  for (int n = 0; n < 3; ++n)
    set(Nth(C::LineBreakCrLf, n), writable, ed && static_cast<int>(s.LineBreak) == n);

  // Edit
  set(C::Undo1, ed && s.CanUndo);
  set(C::Redo1, ed && s.CanRedo);
  set(C::Copy1, ed && s.HasSelection);
  for (C id : {C::Cut1, C::ExchangeB, C::ExchangeS})
    set(id, writable && s.HasSelection);
  set(C::LineCopy1, unwrapped && rowHasText);
  set(C::AllCopy1, unwrapped && lines);
  set(C::SelectAll1, lines);
  set(C::BoxSel1, lines, ed && s.BoxMode);
  set(C::Paste1, paste);
  set(C::BoxPaste1, paste);
  set(C::ExChangeUpperL, unwrapped && writable && s.CaretRow > 0);
  for (C id : {C::ExChangeLowerL, C::DoubleRow, C::Delete1Line})
    set(id, unwrapped && writable && rowHasText);
  set(C::DeleteToHed, unwrapped && writable && rowHasText && s.CaretCol > 0);
  set(C::DeleteToEnd, unwrapped && writable && s.CaretCol < s.CaretRowEndCol);
  set(C::ShortDate1, writable);
  set(C::LongDate1, writable);

  // Search
  for (C id : {C::Find2, C::FindForward1, C::FindBackward1})
    set(id, lines);
  set(C::Replace1, lines && writable);

  // View
  set(C::LineNum1, ed, s.LineNumbers);
  set(C::Ruler1, ed, s.Ruler);
  set(C::LCursor1, ed, s.LineCursor);
  for (std::size_t b = 0; b < kBarCount; ++b) {
    const TBarInfo& bar = BarInfo(static_cast<TBarId>(b));
    if (bar.Closable) set(bar.ViewCommand, true, s.BarVisible[b]);
  }
  set(C::ViewStatusBar, true, s.StatusBarVisible);

  // Marks act on the active document; a mark goes only on a row with text.
  const TMarkSnapshot& m = s.Marks;
  bool anyJump = false;
  for (int n = 0; n < 5; ++n)
    set(Nth(C::BoockMark1, n), lines && rowHasText, ed && m.Bookmark[std::size_t(n)]);
  for (int n = 0; n < 10; ++n) {
    set(Nth(C::jump1, n), lines && rowHasText, ed && m.Jump[std::size_t(n)]);
    set(Nth(C::GoMark1, n), ed && m.JumpUsed[std::size_t(n)]);
    anyJump = anyJump || m.JumpUsed[std::size_t(n)];
  }
  set(C::BeforeBoockMark, ed && m.BookmarkAbove);
  set(C::NextBoockMark, ed && m.BookmarkBelow);
  set(C::DelBoockMarks, ed && m.AnyBookmark);
  set(C::DelJumpMarks, ed && anyJump);

  // Window: checked from the active page's own split state.
  set(C::Divide1, ed, ed && s.ActivePageSplit);
  return st;
}

} // namespace ze
