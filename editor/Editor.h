#pragma once
// TEditor: the editing control. One class, its implementation split by
// concern: EditorCore.cpp (state, metrics, settings, coordinates, the
// edit-control operations), EditorCaret.cpp (caret placement and
// scrolling), EditorPaint.cpp (painting and the screen updater),
// EditorKeys.cpp (keyboard). It talks to its window only through
// TWindowHost and paints on a TSurface, so it runs headless in tests.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "colouring/EditorFountain.h"
#include "editor/ViewInfo.h"
#include "platform/Clipboard.h"
#include "platform/Keys.h"
#include "platform/Surface.h"
#include "platform/WindowHost.h"
#include "search/SearchOptions.h"
#include "text/EditorSettings.h"
#include "text/EditorStrings.h"
#include "text/ScreenStrings.h"

namespace ze {

class TEditor;

enum TEditorHitStyle { hsSelect, hsDraw, hsCaret };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditorBorderStyle { bsNone, bsSingle };
enum TSelectionMode { smNormal, smBox };
enum TSelectionState { sstNone, sstInit, sstSelected, sstHitSelected };
enum TDragState { dsNone, dsPending, dsDragging };

struct TSelectionAnchor {
  int Row = 0, Pos = 0, Col = 0;
};
struct TSelectionRect {
  int StartRow = 0, EndRow = 0, StartCol = 0, EndCol = 0;
};
struct TSelectionRange {
  int StartRow = 0, EndRow = 0, StartPos = 0, EndPos = 0;
};

using TDrawLineEvent = std::function<void(TObject* sender, const ByteString& lineStr, int x,
                                          int y, int index, const TRect& rect, bool selected)>;
using TSelectionChangeEvent = std::function<void(TObject* sender, bool selected)>;

// Turns a text change into the smallest repaint.
class TEditorScreen {
public:
  explicit TEditorScreen(TEditor& editor) : editor_(editor) {}
  void Update();

private:
  TEditor& editor_;
};

class TEditor : public TComponent, public TEditorView {
public:
  // Hides the caret (and, when asked, the caret-row underline) for the
  // length of a scope; both come back on every exit path.
  class TEditGuard {
  public:
    TEditGuard(TEditor& e, bool underline) : e_(e), underline_(underline) {
      e_.CaretBeginUpdate();
      if (underline_) e_.UnderlineBeginUpdate();
    }
    ~TEditGuard() {
      if (underline_) e_.UnderlineEndUpdate();
      e_.CaretEndUpdate();
    }
    TEditGuard(const TEditGuard&) = delete;
    TEditGuard& operator=(const TEditGuard&) = delete;

  private:
    TEditor& e_;
    bool underline_;
  };

  explicit TEditor(TComponent* owner);
  ~TEditor() override;
  void AfterConstruction() override;

  // ---- the window
  // Attaches the window (or nullptr when it goes away). With a window the
  // metrics, scroll ranges and bitmaps are computed.
  void SetHost(TWindowHost* host);
  TWindowHost* Host() const { return host_; }
  bool HandleAllocated() const { return host_ && host_->HasWindow(); }

  // ---- entry points from the window
  void Paint(TSurface& surface, const TRect& clip);
  void FocusIn();
  void FocusOut();
  void Resized();
  void VScroll(int code, int trackPos = 0);
  void HScroll(int code, int trackPos = 0);
  // Returns true when the key was handled.
  virtual bool KeyDown(int key, TShiftState shift, bool autoRepeat = false);
  virtual void KeyUp(int key, TShiftState shift);

  // ---- mouse (EditorMouse.cpp)
  // MOUSE-PUBLIC-BEGIN
  // The left button, in client pixels. MouseDown runs before the host's
  // own mouse-down event, MouseUp after its mouse-up event; MouseMove for
  // every move, with or without a button. shift carries ssShift, ssCtrl
  // and ssLeft.
  virtual void MouseDown(int x, int y, TShiftState shift);
  virtual void MouseMove(int x, int y, TShiftState shift);
  virtual void MouseUp(int x, int y, TShiftState shift);
  // While the mouse is busy (a press being tracked, a selection drag
  // pending or running) the host asks these first. True: drop the key.
  // During a drag Ctrl switches to the copy cursor and Escape cancels.
  bool FilterKeyDown(int key, TShiftState shift);
  bool FilterKeyUp(int key, TShiftState shift);
  // True while characters, double-clicks, the right and middle buttons
  // and the wheel are to be dropped.
  bool MouseBusy() const { return dragState_ != dsNone || mouseTracking_; }
  // The window lost the mouse (capture taken away, focus gone): a drag is
  // cancelled, a drag-select ends where it is.
  void MouseCaptureLost();
  // Ends a pending or running drag and removes the selection. byEscape:
  // the user pressed Escape (the cursor is reset at once).
  void CancelDrag(bool byEscape);
  // Moving the selected text is allowed: not read-only, a normal
  // selection, SelMove on.
  virtual bool CanDragSelection() const;
  // Copies or moves the selected text to (row, col) as one edit; a target
  // inside the selection only removes the selection.
  virtual void CopySelection(int row, int col);
  void MoveSelection(int row, int col);
  // 0 default, 1 left margin, 2 top margin, 3 inside the selection,
  // 4 dragging, 5 dragging a copy.
  int SelectionCursorKind() const { return cursorKind_; }
  void SetSelectionCursorKind(int kind);
  bool RowSelecting() const { return rowSelecting_; }
  // MOUSE-PUBLIC-END

  // ---- row marks and the context menu (EditorMarks.cpp)
  // MARKS-PUBLIC-BEGIN
  // Row marks 0..15 of a row; rows outside the text have none.
  TRowMarks GetRowMarks(int row) const;
  // Stores a row's marks, keeps the store's UsedRowMarks and repaints the
  // row's image bar strip.
  void SetRowMarks(int row, TRowMarks marks);
  // Marks 0..9 are unique: putting one takes it from the row that had it.
  virtual void PutRowMark(int row, int n);
  virtual void DeleteRowMark(int row, int n);
  // Caret to the first row with mark n, centred when it was out of view.
  virtual void GotoRowMark(int n);
  // The first row with mark n, -1 when none has it.
  int FindRowMark(int n) const;
  // The context menu model (editor/PopupMenu.h).
  struct TPopupMenuDeleter {
    void operator()(class TEditorPopupMenu* m) const;
  };
  TEditorPopupMenu* PopupMenu() const { return popupMenu_.get(); }
  // MARKS-PUBLIC-END

  // ---- text
  TEditorStrings* Lines() const { return lines_.get(); }
  void SetLines(const TStrings* lines);
  TEditorScreenStrings& List() const { return *list_; }
  int ListCount() const { return list_->Count(); }
  ByteString RowText(int row) const;
  TRowEnd RowAttribute(int row) const;
  int RowEndCol(int row) const;
  int LineIndex(int row) const; // logical line of a row
  long long TextLength() const;
  // The flag belongs to the text, so every view of a shared text reports
  // and clears the same one.
  bool Modified() const { return list_->Modified(); }
  void SetModified(bool v) { list_->SetModified(v); }
  bool OverWrite() const { return overWrite_; }
  void SetOverWrite(bool v);
  bool ReadOnly() const { return readOnly_; }
  // Ignored while a selection is being dragged.
  void SetReadOnly(bool v);
  void AfterLoading();
  // Shows and edits other's text (nullptr: keeps its own).
  virtual void ShareScreenStrings(TEditor* other);

  // ---- coordinates
  TColumnSettings ColumnSettings() const;
  std::string ColumnAttributes(std::string_view s) const;
  int StrWidth(std::string_view s) const;
  int IndentWidth(std::string_view s) const;
  std::string ExpandTabs(std::string_view s) const;
  int LinePos(int row, int col) const;
  // Byte position in row of column col (a trail half counts as its lead).
  int ColToPos(int row, int col) const;
  int PosToCol(int row, int pos) const;

  // ---- caret and scrolling
  int Row() const override { return row_; }
  int Col() const override { return col_; }
  void SetRow(int r) override;
  void SetCol(int c) override;
  void SetRowCol(int r, int c);
  int TopRow() const override { return topRow_; }
  void SetTopRow(int r) override;
  int TopCol() const { return topCol_; }
  void SetTopCol(int c);
  void SetCaretByOffset(int firstRow, long long offset) override;
  long long CharOffset(int firstRow, int row, int col) const;
  void PosToRowCol(int x, int y, int& row, int& col, bool nearest) const;
  virtual void ScrollCaret();
  void CaretBeginUpdate() override;
  void CaretEndUpdate() override;
  void UnderlineBeginUpdate();
  void UnderlineEndUpdate();
  void UpdateCaret();
  int RowCount() const { return rowCount_; }
  int ColCount() const { return colCount_; }
  int ColWidth() const { return colWidth_; }
  int CharHeight() const { return charHeight_; }
  int RowHeight() const override { return rowHeight_; }
  int TextTop() const;
  int TextLeft() const;
  int MaxTopRow() const { return maxTopRow_; }
  // The horizontal extent in columns: the widest row seen so far (painted,
  // or visited by the caret), never less than kMinLineWidth. The text is
  // never measured whole for it, so opening a long file costs nothing.
  static constexpr int kMinLineWidth = 1000;
  int MaxLineWidth() const { return maxLineWidth_; }
  // Widens the extent to a row of w columns (and the scroll bar with it).
  void NoteLineWidth(int w);
  // The column map of a row's text. The map of the last text asked for is
  // kept (with a reference to that text), so the many lookups of one key
  // press on a long row share one walk over it.
  std::shared_ptr<const TColumnMap> RowColumns(const ByteString& text) const;
  int ScrollOffset() const { return topCol_ * colWidth_; }
  bool CaretShown() const { return caretShown_; }

  // ---- properties
  const TFontDesc& Font() const { return font_; }
  void SetFont(const TFontDesc& f);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TEditorCaret* Caret() const { return caret_.get(); }
  void SetCaret(const TEditorCaret* v) { caret_->CopyFrom(v); }
  TEditorMarks* Marks() const { return marks_.get(); }
  void SetMarks(const TEditorMarks* v) { marks_->CopyFrom(v); }
  TEditorMargin* Margin() const { return margin_.get(); }
  void SetMargin(const TEditorMargin* v) { margin_->CopyFrom(v); }
  TEditorImagebar* Imagebar() const { return imagebar_.get(); }
  void SetImagebar(const TEditorImagebar* v) { imagebar_->CopyFrom(v); }
  TEditorLeftbar* Leftbar() const { return leftbar_.get(); }
  void SetLeftbar(const TEditorLeftbar* v) { leftbar_->CopyFrom(v); }
  TEditorRuler* Ruler() const { return ruler_.get(); }
  void SetRuler(const TEditorRuler* v) { ruler_->CopyFrom(v); }
  TEditorSpeed* Speed() const { return speed_.get(); }
  void SetSpeed(const TEditorSpeed* v) { speed_->CopyFrom(v); }
  TEditorViewInfo* View() const { return view_.get(); }
  void SetView(const TEditorViewInfo* v);
  TFountain* Fountain() const { return fountain_; }
  void SetFountain(TFountain* f);
  // The fountain colouring goes through: Fountain, else the view's.
  virtual TFountain* ActiveFountain() const;
  TEditorHitStyle HitStyle() const { return hitStyle_; }
  void SetHitStyle(TEditorHitStyle v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  TEditorBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TEditorBorderStyle v) { borderStyle_ = v; }
  bool WordWrap() const { return list_->WordWrap(); }
  void SetWordWrap(bool v) { list_->SetWordWrap(v); }
  TEditorWrapOption* WrapOption() const { return list_->WrapOption(); }
  void SetWrapOption(const TEditorWrapOption* v) { list_->WrapOption()->CopyFrom(v); }
  int UndoListMax() const { return list_->UndoObj()->UndoListMax(); }
  void SetUndoListMax(int v) { list_->UndoObj()->SetUndoListMax(v); }
  TStringList* ReserveWordList() const;
  void SetReserveWordList(const TStrings* v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  const TDelimiterSet& DelimiterSet() const override { return delimiters_; }
  TDelimiterSet& DelimiterSetRef() { return delimiters_; }
  bool ItalicInUse() const { return italic_; }

  // ---- undo
  virtual bool CanUndo() const { return list_->UndoObj()->CanUndo(); }
  virtual bool CanRedo() const { return list_->UndoObj()->CanRedo(); }
  virtual void Undo();
  virtual void Redo();

  // ---- selection (EditorSelection.cpp)
  TSelectionMode SelectionMode() const { return selectionMode_; }
  void SetSelectionMode(TSelectionMode m);
  TSelectionState SelectionState() const { return selectionState_; }
  void SetSelectionState(TSelectionState s) { selectionState_ = s; }
  const TSelectionRect& SelectionRect() const { return selRect_; }
  const TSelectionRange& SelectionRange() const { return selRange_; }
  const TSelectionAnchor& SelectionAnchor() const { return selAnchor_; }
  TSelectionRect& SelectionRectRef() { return selRect_; }
  TSelectionRange& SelectionRangeRef() { return selRange_; }
  void SetSelectionModeDirect(TSelectionMode m) { selectionMode_ = m; }
  bool SelectionShown() const;
  bool IsSelected() const { return selectionState_ == sstSelected; }
  bool HasSelection() const {
    return selectionState_ == sstSelected || selectionState_ == sstHitSelected;
  }
  void StartSelection();
  void ExtendSelection();
  void UpdateSelection();
  void CleanSelection();
  void DeleteSelection();
  bool IsInSelection(int row, int col) const;
  long long SelStart() const;
  void SetSelStart(long long n);
  long long SelLength() const;
  void SetSelLength(long long n);
  long long HitSelLength() const { return hitSelLength_; }
  void SetHitSelLength(long long n);
  ByteString SelText() const;
  void SetSelText(std::string_view s);
  void SelectAll();
  // Bytes [first, last) of a row that a box from column s to column e
  // (exclusive) covers.
  void BoxEdges(int row, int s, int e, int& first, int& last) const;
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void SetSelTextBox(std::string_view s);
  bool GetTokenAt(int x, int y, bool withFountain, ByteString& text, TFountainTokenKind& kind);
  bool SelectTokenAt(int x, int y, bool withFountain);
  TClipboard& Clipboard() const { return *clipboard_; }
  void SetClipboard(TClipboard* c) { clipboard_ = c ? c : &DefaultClipboard(); }
  static TClipboard& DefaultClipboard();

  // ---- standard edit-control operations (EditorMessages.cpp)
  enum : int { DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_HASSETSEL = 0x8 };
  int GetDlgCode() const;
  // The text into buffer, at most size - 1 bytes and a NUL; the length.
  int WmGetText(char* buffer, int size) const;
  long long WmGetTextLength() const { return TextLength(); }
  void WmSetText(std::string_view text); // ignored when ReadOnly
  bool EmCanUndo() const;
  bool EmUndo();
  void EmEmptyUndoBuffer();
  int EmGetFirstVisibleLine() const { return topRow_; }
  int EmGetLineCount() const { return list_->Count(); }
  // At most size bytes of row's text (no NUL); 0 past the rows.
  int EmGetLine(int row, char* buffer, int size) const;
  bool EmGetModify() const { return Modified(); }
  void EmSetModify(bool v);
  void EmSetReadOnly(bool v) { SetReadOnly(v); }
  // Start and end of the selection as character offsets, also packed
  // into the result (low word start, high word end).
  uint32_t EmGetSel(long long* start, long long* end) const;
  // (0, -1) selects all; start -1 clears the selection.
  void EmSetSel(long long start, long long end);
  void EmReplaceSel(std::string_view text);
  int EmLineFromChar(long long offset) const;
  long long EmLineIndex(int row) const;
  int EmLineLength(long long offset) const;
  // Low word the character offset, high word the row; all ones outside.
  uint32_t EmCharFromPos(int x, int y) const;
  // Low word x, high word y of the character at the offset.
  uint32_t EmPosFromChar(long long offset) const;
  void EmScrollCaret() { ScrollCaretIntoView(); }
  void WmCut();   // empties the clipboard when nothing can be cut
  void WmCopy();  // empties the clipboard when nothing is selected
  void WmPaste();
  void WmClear();
  int RowOfOffset(long long offset) const;

  // ---- search (EditorSearch.cpp)
  // Finds pattern (CP932) from the selection or the caret; on a hit the
  // caret stands at its start and the hit is marked through HitSelLength.
  virtual bool SearchText(std::string_view pattern, TSearchOptions options);
  // The scroll-caret message: a caret outside the window is brought to
  // the upper third.
  void ScrollCaretIntoView();

  // ---- editing (EditorEdit.cpp, EditorKeys.cpp)
  void PutString(std::string_view s);
  // A typed byte (character message); a lead byte waits for its trail.
  void KeyPress(unsigned char c, TShiftState shift = 0);
  // Text committed by the input method, as CP932 bytes.
  void ImeResult(std::string_view s);
  // The same, when the system then also delivers the result as character
  // messages: those bytes are dropped.
  void ImeResultWithEcho(std::string_view s);
  // The next word start in a direction; false when the caret cannot move.
  bool WordMove(int direction, int& row, int& col);
  TDragState DragState() const { return dragState_; }
  void DeleteRow(int r);
  // The byte position of the caret: its column less the tab columns
  // before it (past the row end every column counts).
  int CaretPos() const { return ColToPos(row_, col_); }

  // ---- painting
  // Image lists of the host for the image bar (row marks 0-9 and 10-15);
  // an image the list lacks comes from the editor's own. Not owned.
  using TImageList = std::vector<TBitmap>;
  const TImageList* ImageDigits() const { return imageDigits_; }
  void SetImageDigits(const TImageList* images);
  const TImageList* ImageMarks() const { return imageMarks_; }
  void SetImageMarks(const TImageList* images);
  void RepaintRow(int row);
  void RepaintRows(int a, int b);
  void Refresh();
  int LeftbarWidth() const;
  int ImagebarWidth() const;
  int RulerHeight() const;
  int LeftbarDigits() const { return leftbarDigits_; }
  int UnderlinePos(int row) const; // y of the caret-row underline, or -1
  TEditorScreen& Screen() { return *screen_; }
  const TBitmap& RulerBitmap() const { return rulerBmp_; }

  // ---- events
  TNotifyEvent OnCaretMoved;
  TNotifyEvent OnChange;
  TDrawLineEvent OnDrawLine;
  TSelectionChangeEvent OnSelectionChange;
  TNotifyEvent OnSelectionModeChange;
  TNotifyEvent OnTopColChange;
  TNotifyEvent OnTopRowChange;

  // ---- TEditorView (what the row store needs)
  int TabSpaceCount() const override { return caret_->TabSpaceCount(); }
  std::unique_ptr<RowStateParser> CreateRowParser() override;
  int ScreenHeight() const override;
  bool InitBracketsFull() const override { return speed_->InitBracketsFull(); }
  bool Loading() const override { return TComponent::Loading(); }
  bool Destroying() const override { return destroying_; }
  bool Focused() const override { return focused_; }
  void CancelSelection() override { CleanSelection(); }
  void StoreChanged() override;
  void InvalidateRow(int row) override { RepaintRow(row); }
  void UpdateView() override;
  void BeginBulkUpdate() override;
  void EndBulkUpdate() override;

protected:
  // Factories, so that a derived editor can supply derived settings.
  virtual std::unique_ptr<TEditorCaret> CreateEditorCaret();
  virtual std::unique_ptr<TEditorMarks> CreateEditorMarks();
  virtual std::unique_ptr<TEditorMargin> CreateEditorMargin();
  virtual std::unique_ptr<TEditorImagebar> CreateEditorImagebar();
  virtual std::unique_ptr<TEditorLeftbar> CreateEditorLeftbar();
  virtual std::unique_ptr<TEditorRuler> CreateEditorRuler();
  virtual std::unique_ptr<TEditorSpeed> CreateEditorSpeed();
  virtual std::unique_ptr<TEditorViewInfo> CreateViewInfo();
  virtual std::shared_ptr<TEditorScreenStrings> CreateScreenStrings();
  virtual void InitDelimiterSet();
  void Notification(TComponent* c, TOperation op) override;

  // The settings-changed handler of every setting object and fountain.
  virtual void ViewChanged(TObject* sender);
  virtual void DoCaretMoved();
  virtual void DoChange();
  virtual void DoTopRowChange();
  virtual void DoTopColChange();

  // Caret internals.
  void AdjustCol(bool vertical, int direction);
  void RememberCol(int k, bool vertical);
  void CreateCaretShape();
  void PositionCaret();
  void ShowCaret();
  void HideCaret();
  void ScrollArea(int dx, int dy, const TRect& r);
  void InitScroll();
  void UpdateImeWindow();

  // Selection and editing internals.
  struct TRemainingRow {
    std::string Text;
    TRowEnd End;
    int InsertPos; // 0-based byte position where new text goes
  };
  std::vector<TRemainingRow> RemainingText() const;
  static std::string JoinRows(const std::vector<TRemainingRow>& rows);
  // One edit: rows r..last become text; the caret goes to offset counted
  // from row f. Brackets close on every exit path. keptHead and keptTail:
  // bytes of the rows that text is known to keep at its start and end.
  void EditRows(int r, int last, std::string_view text, int f, long long offset,
                bool rowsMayChange, size_t keptHead = 0, size_t keptTail = 0);
  int EditFirstRow(int r) const { return std::max(list_->FirstRowOfLine(r), r - 1); }
  void SetSelectionRows(int anchorRow, int row);
  void DeleteKey();
  void Backspace();
  void Unindent();
  void TabKey();
  void EnterKey(bool withShift);
  void TypeBytes(std::string_view bytes);

  // Painting internals.
  void InitMetrics();
  // A row with its tabs replaced by the blanks they cover.
  ByteString ExpandedRow(const ByteString& raw) const;
  void PaintRect(TSurface& s, const TRect& clip);
  void PaintRowWithSelection(TSurface& s, const TRect& rowRect, int x0, TFountainParser* parser,
                             int row, const ByteString& text, int y);
  void PaintRow(TSurface& s, const TRect& rect, int x0, TFountainParser* parser, int row,
                const ByteString& text, int y, bool selected);
  void TextOut(TSurface& s, const TRect& rect, int x, bool opaque, std::string_view text, int y,
               TColor fg, TColor bg, TFontStyles style);
  void DrawEofMark(TSurface& s, int x, int y);
  void DrawRetMark(TSurface& s, int x, int y, bool selected);
  void DrawWrapMark(TSurface& s, int x, int y, bool selected);
  void DrawUnderline(int row);
  void EraseUnderline(int row);
  void PaintUnderline(TSurface& s, int row, TColor color);
  void PaintRuler(TSurface& s);
  void PaintLeftbar(TSurface& s, int firstRow, int lastRow);
  void PaintImagebar(TSurface& s, int firstRow, int lastRow);
  void PaintCorner(TSurface& s);
  void BuildRulerBitmap();
  void MarkRulerCaret(int oldCol, int newCol);
  int ComputeLeftbarDigits() const;
  TColor ResolveColor(TColor c, TColor fallback) const;

  // MOUSE-PROTECTED-BEGIN
  // Row selection from the left margin.
  void StartRowSelection(int row);
  void ExtendRowSelection(int row);
  int ClampSelectRow(int row) const;
  // The pointer row while selecting: one above the top row when the
  // pointer is above the text, so that holding it there scrolls.
  int DragRow(int y, int row) const;
  bool FarFromMouseDown(int x, int y) const;
  void ChooseCursor(int x, int y);
  // MOUSE-PROTECTED-END
  // MARKS-PROTECTED-BEGIN
  virtual std::unique_ptr<TEditorPopupMenu, TPopupMenuDeleter> CreatePopupMenu();
  void RepaintImagebarRow(int row);
  // MARKS-PROTECTED-END

private:
  friend class TEditorScreen;
  void SettingsChangedHandlers();
  void ReleaseFountain();

  TWindowHost* host_ = nullptr;
  std::shared_ptr<TEditorScreenStrings> list_;
  std::unique_ptr<TEditorStrings> lines_;
  std::unique_ptr<TEditorScreen> screen_;
  std::unique_ptr<TEditorViewInfo> view_;
  std::unique_ptr<TEditorCaret> caret_;
  std::unique_ptr<TEditorMarks> marks_;
  std::unique_ptr<TEditorMargin> margin_;
  std::unique_ptr<TEditorImagebar> imagebar_;
  std::unique_ptr<TEditorLeftbar> leftbar_;
  std::unique_ptr<TEditorRuler> ruler_;
  std::unique_ptr<TEditorSpeed> speed_;
  TFountain* fountain_ = nullptr;

  TFontDesc font_;
  TColor color_ = clWhite;
  TEditorHitStyle hitStyle_ = hsSelect;
  TScrollStyle scrollBars_ = ssNone;
  TEditorBorderStyle borderStyle_ = bsSingle;
  bool wantReturns_ = true;
  bool wantTabs_ = true;
  bool readOnly_ = false;
  bool overWrite_ = false;
  bool destroying_ = false;
  bool focused_ = false;
  TDelimiterSet delimiters_;

  // caret and view
  int row_ = 0, col_ = 0, topRow_ = 0, topCol_ = 0;
  int rowCount_ = 1, colCount_ = 1;
  int colWidth_ = 8, charHeight_ = 16, rowHeight_ = 16;
  int maxTopRow_ = 0;
  int maxLineWidth_ = kMinLineWidth;
  // Rows at least this long have their column maps and expansions
  // updated from the edit that made them rather than rebuilt.
  static constexpr size_t kLongRowBytes = 64 * 1024;
  // The row last expanded for painting, and its expansion.
  mutable ByteString expandedRaw_, expanded_;
  mutable int expandedTab_ = 0;
  mutable ByteString columnsText_;
  mutable TColumnSettings columnsSettings_;
  mutable std::shared_ptr<const TColumnMap> columns_;
  bool italic_ = false;
  int rememberedCol_ = 0;
  bool remembered_ = false;
  bool suppressCaret_ = false;
  int caretHideCount_ = 0;
  bool caretShown_ = false;
  bool caretCreated_ = false;
  int underlineCount_ = 0;
  bool keyRepeat_ = false;
  bool imeDeferred_ = false;
  bool rowSelecting_ = false;
  bool bulkUpdating_ = false;

  // selection
  TSelectionMode selectionMode_ = smNormal;
  TSelectionState selectionState_ = sstNone;
  TSelectionAnchor selAnchor_;
  TSelectionRect selRect_;
  TSelectionRange selRange_;
  TSelectionRect prevSelRect_;
  long long hitSelLength_ = 0;
  bool selectionUnderline_ = false; // the underline bracket a selection holds
  TClipboard* clipboard_ = &DefaultClipboard();
  bool settingHit_ = false;
  int tokenStart_ = 0, tokenFirstRow_ = 0;
  TDragState dragState_ = dsNone;
  // MOUSE-STATE-BEGIN
  int mouseDownX_ = 0, mouseDownY_ = 0;
  // The left button was pressed in the text and selects as it moves; a
  // press that starts a selection drag, and the button-up, end it.
  bool mouseTracking_ = false;
  int rowSelStart_ = 0, rowSelEnd_ = 0; // clicked row, pointer row
  int cursorKind_ = 0;
  // MOUSE-STATE-END
  // MARKS-STATE-BEGIN
  std::unique_ptr<TEditorPopupMenu, TPopupMenuDeleter> popupMenu_;
  // MARKS-STATE-END
  int imeSwallow_ = 0;
  unsigned char pendingLead_ = 0;

  // painting
  int leftbarDigits_ = 4;
  TBitmap rulerBmp_, rulerMarkBmp_;
  const TImageList* imageDigits_ = nullptr;
  const TImageList* imageMarks_ = nullptr;
};

} // namespace ze
