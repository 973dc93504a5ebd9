// TEditor: construction, settings, metrics, coordinates and the change
// notification from the row store.
#include <algorithm>

#include "editor/Editor.h"

#include "text/RowEdits.h"

namespace ze {

TEditor::TEditor(TComponent* owner) : TComponent(owner) {}

void TEditor::AfterConstruction() {
  TComponent::AfterConstruction();
  InitDelimiterSet();
  list_ = CreateScreenStrings();
  list_->AddEditor(this);
  lines_ = std::make_unique<TEditorStrings>(list_.get(), this);
  screen_ = std::make_unique<TEditorScreen>(*this);
  view_ = CreateViewInfo();
  view_->SetOwner(this);
  color_ = clWhite;
  font_ = TFontDesc{};
  caret_ = CreateEditorCaret();
  marks_ = CreateEditorMarks();
  margin_ = CreateEditorMargin();
  imagebar_ = CreateEditorImagebar();
  leftbar_ = CreateEditorLeftbar();
  ruler_ = CreateEditorRuler();
  speed_ = CreateEditorSpeed();
  SettingsChangedHandlers();
  popupMenu_ = CreatePopupMenu();
}

void TEditor::SettingsChangedHandlers() {
  TNotifyEvent changed = TNotifyEvent::Of(this, &TEditor::ViewChanged);
  for (TNotifyPersistent* s : std::initializer_list<TNotifyPersistent*>{
           caret_.get(), imagebar_.get(), leftbar_.get(), marks_.get(), margin_.get(),
           ruler_.get(), view_.get()})
    s->OnChange = changed;
}

TEditor::~TEditor() {
  destroying_ = true;
  SetHost(nullptr);
  ReleaseFountain();
  if (list_) list_->RemoveEditor(this);
}

void TEditor::ReleaseFountain() {
  if (!fountain_) return;
  fountain_->NotifyEventList()->Remove(TNotifyEvent::Of(this, &TEditor::ViewChanged));
  RemoveFreeNotification(fountain_);
  fountain_ = nullptr;
}

std::unique_ptr<TEditorCaret> TEditor::CreateEditorCaret() { return std::make_unique<TEditorCaret>(); }
std::unique_ptr<TEditorMarks> TEditor::CreateEditorMarks() { return std::make_unique<TEditorMarks>(); }
std::unique_ptr<TEditorMargin> TEditor::CreateEditorMargin() { return std::make_unique<TEditorMargin>(); }
std::unique_ptr<TEditorImagebar> TEditor::CreateEditorImagebar() {
  return std::make_unique<TEditorImagebar>();
}
std::unique_ptr<TEditorLeftbar> TEditor::CreateEditorLeftbar() {
  return std::make_unique<TEditorLeftbar>();
}
std::unique_ptr<TEditorRuler> TEditor::CreateEditorRuler() { return std::make_unique<TEditorRuler>(); }
std::unique_ptr<TEditorSpeed> TEditor::CreateEditorSpeed() { return std::make_unique<TEditorSpeed>(); }
std::unique_ptr<TEditorViewInfo> TEditor::CreateViewInfo() { return Create<TEditorViewInfo>(); }
std::shared_ptr<TEditorScreenStrings> TEditor::CreateScreenStrings() {
  return std::shared_ptr<TEditorScreenStrings>(Create<TEditorScreenStrings>().release());
}
void TEditor::InitDelimiterSet() { delimiters_ = DefaultDelimiterSet(); }

// ---------------------------------------------------------------- window

void TEditor::SetHost(TWindowHost* host) {
  if (host_ == host) return;
  if (host_ && caretCreated_) {
    host_->DestroyCaret();
    caretCreated_ = false;
    caretShown_ = false;
  }
  host_ = host;
  focused_ = false;
  if (!HandleAllocated()) return;
  host_->ShowScrollBar(TScrollBar::Horizontal, scrollBars_ == ssHorizontal || scrollBars_ == ssBoth);
  host_->ShowScrollBar(TScrollBar::Vertical, scrollBars_ == ssVertical || scrollBars_ == ssBoth);
  InitMetrics();
  InitScroll();
  BuildRulerBitmap();
  host_->InvalidateAll();
}

void TEditor::Resized() {
  if (!HandleAllocated()) return;
  InitMetrics();
  InitScroll();
  BuildRulerBitmap();
  host_->InvalidateAll();
}

void TEditor::FocusIn() {
  focused_ = true;
  UpdateCaret();
}

void TEditor::FocusOut() {
  HideCaret();
  if (host_ && caretCreated_) host_->DestroyCaret();
  caretCreated_ = false;
  caretShown_ = false;
  focused_ = false;
}

int TEditor::ScreenHeight() const {
  // Before the window exists, assume a screen's worth of rows.
  return HandleAllocated() ? std::max(host_->ClientHeight(), rowHeight_) : 1024;
}

// ---------------------------------------------------------------- metrics

int TEditor::RulerHeight() const {
  if (!ruler_->Visible()) return 0;
  return ruler_->Edge() ? 11 : 10;
}

int TEditor::ImagebarWidth() const {
  if (!imagebar_->Visible()) return 0;
  return imagebar_->LeftMargin() + imagebar_->DigitWidth() + imagebar_->MarkWidth() +
         imagebar_->RightMargin();
}

int TEditor::LeftbarWidth() const {
  if (!leftbar_->Visible()) return 0;
  return leftbar_->LeftMargin() + leftbarDigits_ * colWidth_ + leftbar_->RightMargin() + 2;
}

int TEditor::TextTop() const { return margin_->Top() + RulerHeight(); }

int TEditor::TextLeft() const { return margin_->Left() + ImagebarWidth() + LeftbarWidth(); }

int TEditor::ComputeLeftbarDigits() const {
  int count = list_->Count();
  long long largest;
  if (leftbar_->ShowNumberMode() == nmRow) largest = count - 1;
  else largest = count > 0 ? LineIndex(count - 1) : -1;
  if (count > 0 && list_->RowAttribute(count - 1) != reEndOfText) ++largest;
  if (!leftbar_->ZeroBase()) ++largest;
  largest = std::max(0LL, largest);
  int len = static_cast<int>(std::to_string(largest).size());
  return std::min(8, std::max(leftbar_->Column(), len));
}

void TEditor::InitMetrics() {
  leftbarDigits_ = ComputeLeftbarDigits();
  if (!HandleAllocated()) return;
  TSurface& s = host_->MeasureSurface();
  s.SetFont(font_);
  TFontMetrics fm = s.FontMetrics();
  charHeight_ = fm.Height + fm.ExternalLeading;
  colWidth_ = std::max(1, margin_->Character() + fm.AverageWidth);
  rowHeight_ = charHeight_ + margin_->Line() + margin_->UnderlineSpace();
  bool hbar = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  bool vbar = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  int h = host_->ClientHeight() - TextTop() - 5 - (hbar ? host_->ScrollBarSize(TScrollBar::Horizontal) : 0);
  rowCount_ = std::max(1, h / rowHeight_);
  int w = host_->ClientWidth() - TextLeft() - colWidth_ / 2 -
          (vbar ? host_->ScrollBarSize(TScrollBar::Vertical) : 0);
  colCount_ = std::max(0, w / colWidth_);
  TFountain* f = ActiveFountain();
  italic_ = HasFontStyle(font_.Style, fsItalic) || (f && f->HasItalicFontStyle(f));
}

void TEditor::SetFont(const TFontDesc& f) {
  if (font_ == f) return;
  font_ = f;
  if (!HandleAllocated()) return;
  if (ScrollOffset() > 0) SetCol(0);
  InitMetrics();
  InitScroll();
  BuildRulerBitmap();
  if (focused_) UpdateCaret();
  host_->InvalidateAll();
}

void TEditor::SetColor(TColor c) {
  if (color_ == c) return;
  color_ = c;
  if (HandleAllocated()) host_->InvalidateAll();
}

void TEditor::SetScrollBars(TScrollStyle v) {
  if (scrollBars_ == v) return;
  scrollBars_ = v;
  if (!HandleAllocated()) return;
  host_->ShowScrollBar(TScrollBar::Horizontal, v == ssHorizontal || v == ssBoth);
  host_->ShowScrollBar(TScrollBar::Vertical, v == ssVertical || v == ssBoth);
  InitMetrics();
  InitScroll();
}

void TEditor::SetHitStyle(TEditorHitStyle v) {
  if (hitStyle_ == v) return;
  CleanSelection();
  hitStyle_ = v;
}

void TEditor::SetReadOnly(bool v) {
  if (dragState_ == dsDragging) return;
  // A selection can no longer be dragged: the cursor over it goes back.
  if (v && !readOnly_ && IsSelected()) SetSelectionCursorKind(0);
  readOnly_ = v;
}

void TEditor::SetOverWrite(bool v) {
  if (overWrite_ == v) return;
  overWrite_ = v;
  if (focused_) UpdateCaret();
}

// ---------------------------------------------------------------- settings

void TEditor::ViewChanged(TObject* sender) {
  if (sender == marks_.get()) margin_->SetUnderlineSpace(marks_->Underline()->Visible() ? 1 : 0);
  bool colouring = sender == view_.get() || (sender && sender == fountain_) ||
                   dynamic_cast<TFountain*>(sender) != nullptr;
  if (colouring) list_->ReparseAll();
  if (HandleAllocated()) {
    InitMetrics();
    InitScroll();
    if (sender == margin_.get() || sender == ruler_.get()) BuildRulerBitmap();
    host_->InvalidateAll();
  }
  if (sender == caret_.get()) {
    // The text is measured with its first view's caret settings, so only
    // a change there can leave the records pointing at other columns. A
    // further view of a shared text (a split page, whose settings are
    // applied after it joins) leaves the shared history alone.
    if (list_->FirstEditor() == static_cast<TEditorView*>(this)) list_->UndoObj()->Clear();
    if (focused_) UpdateCaret();
  } else if (focused_) {
    UpdateCaret();
  }
}

void TEditor::SetView(const TEditorViewInfo* v) {
  view_->CopyFrom(v);
  if (focused_) UpdateCaret();
}

TFountain* TEditor::ActiveFountain() const { return fountain_ ? fountain_ : view_->Fountain(); }

void TEditor::SetFountain(TFountain* f) {
  if (fountain_ == f) return;
  ReleaseFountain();
  fountain_ = f;
  if (f) {
    f->NotifyEventList()->Add(TNotifyEvent::Of(this, &TEditor::ViewChanged));
    FreeNotification(f);
  }
  list_->ReparseAll();
  if (HandleAllocated()) {
    InitMetrics();
    host_->InvalidateAll();
  }
}

void TEditor::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == fountain_) {
    fountain_ = nullptr;
    if (!destroying_) {
      list_->ReparseAll();
      if (HandleAllocated()) host_->InvalidateAll();
    }
  }
}

std::unique_ptr<RowStateParser> TEditor::CreateRowParser() {
  TFountain* f = ActiveFountain();
  if (!f) return nullptr;
  return f->CreateParser();
}

TStringList* TEditor::ReserveWordList() const { return view_->Fountain()->ReserveWordList(); }

void TEditor::SetReserveWordList(const TStrings* v) {
  TStringList* mine = ReserveWordList();
  if (v && mine->Text() == v->Text()) return;
  view_->Fountain()->SetReserveWordList(v);
}

// ---------------------------------------------------------------- text

void TEditor::SetLines(const TStrings* lines) {
  lines_->CopyFrom(lines);
  list_->UpdateAllViews();
}

ByteString TEditor::RowText(int row) const {
  if (row < 0 || row >= list_->Count()) return ByteString();
  return list_->Ref(row);
}

TRowEnd TEditor::RowAttribute(int row) const {
  if (row < 0 || row >= list_->Count()) return reEndOfText;
  return list_->RowAttribute(row);
}

int TEditor::RowEndCol(int row) const {
  if (row < 0 || row >= list_->Count()) return 0;
  const ByteString& text = list_->Ref(row);
  // With word wrap on the column map stops early; the width does not.
  return list_->WordWrap() ? StrWidth(text.view()) : RowColumns(text)->Width();
}

int TEditor::LineIndex(int row) const {
  if (!list_->WordWrap()) return row;
  int n = 0;
  int end = std::min(row, list_->Count());
  for (int r = 0; r < end; ++r) n += list_->RowAttribute(r) == reLineBreak;
  return n;
}

long long TEditor::TextLength() const {
  long long n = 0;
  for (int r = 0; r < list_->Count(); ++r)
    n += static_cast<long long>(list_->Ref(r).size()) + (list_->RowAttribute(r) == reLineBreak ? 2 : 0);
  return n;
}

void TEditor::AfterLoading() {
  if (list_->WordWrap()) list_->WrapAll();
  list_->ReparseAll();
  SetModified(false);
}

void TEditor::ShareScreenStrings(TEditor* other) {
  if (!other || other->list_ == list_) return;
  CleanSelection();
  list_->RemoveEditor(this);
  list_ = other->list_;
  list_->AddEditor(this);
  lines_->SetStore(list_.get());
  row_ = col_ = topRow_ = topCol_ = 0;
  if (HandleAllocated()) {
    InitMetrics();
    InitScroll();
    host_->InvalidateAll();
  }
}

void TEditor::Undo() {
  CleanSelection();
  list_->Undo();
}

void TEditor::Redo() {
  CleanSelection();
  list_->Redo();
}

// ---------------------------------------------------------------- coordinates

TColumnSettings TEditor::ColumnSettings() const {
  TColumnSettings cs;
  cs.TabSpaceCount = caret_->TabSpaceCount();
  cs.WordWrap = list_->WordWrap();
  cs.WrapByte = list_->WrapOption()->WrapByte();
  cs.DelimiterSet = delimiters_;
  return cs;
}

std::string TEditor::ColumnAttributes(std::string_view s) const {
  return ze::ColumnAttributes(s, ColumnSettings());
}
int TEditor::StrWidth(std::string_view s) const { return ze::StrWidth(s, ColumnSettings()); }
int TEditor::IndentWidth(std::string_view s) const { return ze::IndentWidth(s, ColumnSettings()); }
std::string TEditor::ExpandTabs(std::string_view s) const {
  return ze::ExpandTabs(s, ColumnSettings());
}

std::shared_ptr<const TColumnMap> TEditor::RowColumns(const ByteString& text) const {
  const TColumnSettings cs = ColumnSettings();
  const bool sameSettings = columns_ && columnsSettings_.TabSpaceCount == cs.TabSpaceCount &&
                            columnsSettings_.WordWrap == cs.WordWrap &&
                            columnsSettings_.WrapByte == cs.WrapByte &&
                            columnsSettings_.DelimiterSet == cs.DelimiterSet;
  if (sameSettings && columnsText_.data() == text.data() && columnsText_.size() == text.size())
    return columns_;
  // A long row just edited is walked from the edit on, not from its start.
  const size_t head = sameSettings && !cs.WordWrap && text.size() >= kLongRowBytes
                          ? SharedPrefix(columnsText_, text)
                          : 0;
  auto map = head > 0 ? std::make_shared<const TColumnMap>(text.view(), *columns_, head)
                      : std::make_shared<const TColumnMap>(text.view(), cs);
  columnsText_ = text; // keeps the bytes the map refers to alive
  columnsSettings_ = cs;
  columns_ = std::move(map);
  return columns_;
}

int TEditor::ColToPos(int row, int col) const {
  const ByteString text = RowText(row);
  return RowColumns(text)->ColToPos(col);
}

int TEditor::PosToCol(int row, int pos) const {
  const ByteString text = RowText(row);
  return RowColumns(text)->PosToCol(pos);
}

int TEditor::LinePos(int row, int col) const {
  if (row < 0 || row > list_->Count() || col < 0) return -1;
  const ByteString text = RowText(row);
  const auto columns = RowColumns(text);
  if (columns->Code(col) == caTrail) --col;
  while (col > 0 && columns->Code(col) == caTabFill) --col;
  int pos = std::min(columns->ColToPos(col), static_cast<int>(text.size()));
  for (int r = row - 1; r >= 0 && list_->RowAttribute(r) == reWrapped; --r)
    pos += static_cast<int>(list_->Ref(r).size());
  return pos;
}

// ---------------------------------------------------------------- changes

void TEditor::StoreChanged() {
  if (destroying_) return;
  int digits = ComputeLeftbarDigits();
  if (screen_) screen_->Update();
  if (leftbar_->Visible() && leftbar_->ShowNumber() && digits != leftbarDigits_) {
    leftbarDigits_ = digits;
    if (HandleAllocated()) {
      InitMetrics();
      host_->InvalidateAll();
    }
  }
  InitScroll();
  if (list_->ChangeRegion().Pending) {
    SetModified(true);
    DoChange();
  }
}

void TEditor::UpdateView() {
  if (!HandleAllocated()) return;
  InitMetrics();
  InitScroll();
  host_->InvalidateAll();
  if (focused_) UpdateCaret();
}

void TEditor::BeginBulkUpdate() {
  CaretBeginUpdate();
  UnderlineBeginUpdate();
  bulkUpdating_ = true;
  if (HandleAllocated() && host_->Showing()) host_->SetRedraw(false);
}

void TEditor::EndBulkUpdate() {
  UnderlineEndUpdate();
  CaretEndUpdate();
  bulkUpdating_ = false;
  if (HandleAllocated() && host_->Showing()) host_->SetRedraw(true);
  if (focused_) UpdateCaret();
}

void TEditor::DoCaretMoved() {
  if (OnCaretMoved) OnCaretMoved(this);
}
void TEditor::DoChange() {
  if (OnChange) OnChange(this);
}
void TEditor::DoTopRowChange() {
  if (OnTopRowChange) OnTopRowChange(this);
}
void TEditor::DoTopColChange() {
  if (OnTopColChange) OnTopColChange(this);
}

} // namespace ze
