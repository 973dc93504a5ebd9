#include "dragdrop/OleddEditor.h"

#include <cstring>

namespace ze {

TOleddEditor::TOleddEditor(TComponent* owner) : TEditor(owner) {
  OleStart();
}

TOleddEditor::~TOleddEditor() {
  if (dropTarget_) dropTarget_->SetHandler(nullptr);
  dropTarget_.Reset();
  ownDragData_.Reset();
  OleEnd();
}

void TOleddEditor::AfterConstruction() {
  TEditor::AfterConstruction();
  // Files are preferred: a drag that carries both is a file drop.
  dropTarget_ = new TEventsDropTarget(this);
  dropTarget_->FormatEtcList().Add(kFilesFormatEtc);
  dropTarget_->FormatEtcList().Add(kTextFormatEtc);
}

HRESULT TOleddEditor::QueryInterface(TIid iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == TIid::DropHandler)
    *out = static_cast<IDropHandler*>(this);
  else if (iid == TIid::Unknown)
    *out = static_cast<IUnknown*>(this);
  return *out ? S_OK : E_NOINTERFACE;
}

// ---------------------------------------------------------------- caret

void TOleddEditor::SaveCaret() {
  savedRow_ = Row();
  savedCol_ = Col();
}

void TOleddEditor::RestoreCaret() {
  SetRowCol(savedRow_, savedCol_);
}

void TOleddEditor::MoveCaretToPoint(TPointL client) {
  int row, col;
  PosToRowCol(client.X, client.Y, row, col, false);
  SetRowCol(row, col);
}

// ---------------------------------------------------------------- dragging out

void TOleddEditor::MouseDown(int x, int y, TShiftState shift) {
  SaveCaret();
  TEditor::MouseDown(x, y, shift);
  // Shift+click extends the selection; it never picks the text up, even
  // when the caret lands inside what it selected.
  if (!(shift & ssLeft) || (shift & ssShift)) return;
  if (Caret()->SelDragMode() != dmManual || ReadOnly() || SelectionState() != sstSelected ||
      SelectionMode() == smBox || !Caret()->SelMove() || x < TextLeft())
    return;
  if (!IsInSelection(Row(), Col())) return;
  StartDrag(x, y);
}

void TOleddEditor::StartDrag(int x, int y) {
  if (!loop_) return;
  // The drag takes over the mouse: the press ends here for the editor.
  TEditor::MouseUp(x, y, 0);
  TComPtr<IDataObject> data(new TTextDataObject(SelText().str()));
  TComPtr<IDropSource> source(new TDropSource);
  ownDragData_ = data;
  ownDragActive_ = true;
  // A loop that fails leaves no drag behind.
  struct Reset {
    TOleddEditor& e;
    ~Reset() {
      e.ownDragData_.Reset();
      e.ownDragActive_ = false;
    }
  } reset{*this};
  uint32_t effect = DROPEFFECT_NONE;
  // The effect is not used: text dragged elsewhere stays here.
  loop_->DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  ownDragData_.Reset();
  // Still set: the drop did not land here.
  if (ownDragActive_) RestoreCaret();
}

// ---------------------------------------------------------------- dropping in

void TOleddEditor::DragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  if (!IsOwn(data)) SaveCaret();
  DragOver(data, keyState, effect, pt);
}

void TOleddEditor::DragOver(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  const bool files = data && data->QueryGetData(&kFilesFormatEtc) == S_OK;
  if (!files && !TakesText()) {
    // Nothing would be inserted: say so, and leave the caret alone.
    effect = DROPEFFECT_NONE;
    return;
  }
  if (Host() && !Focused()) Host()->SetFocus();
  MoveCaretToPoint(ClientPoint(pt));
  effect = (!IsOwn(data) || (keyState & MK_CONTROL)) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void TOleddEditor::DragLeave(IDataObject*) {
  RestoreCaret();
  if (OnDragLeaveFocus)
    OnDragLeaveFocus();
  else
    FocusOut();
}

void TOleddEditor::Drop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  effect = DROPEFFECT_NONE;
  if (!data || !dropTarget_) return;
  const TFormatEtcList& formats = dropTarget_->FormatEtcList();
  for (int i = 0; i < formats.Count(); ++i) {
    const TFormatEtc f = formats.Get(i);
    TStgMedium medium;
    if (data->GetData(&f, &medium) != S_OK) continue;
    struct Release {
      TStgMedium& m;
      ~Release() { ReleaseStgMedium(m); }
    } release{medium};
    if (!medium.HGlobal) return;
    if (f.CfFormat == CF_HDROP) {
      effect = DROPEFFECT_COPY;
      if (OnDropFiles) OnDropFiles(this, medium.HGlobal.get(), keyState, ClientPoint(pt));
    } else if (f.CfFormat == CF_TEXT && TakesText()) {
      const bool own = IsOwn(data);
      const bool copy = (keyState & MK_CONTROL) != 0;
      effect = (own && !copy) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
      DropText(*medium.HGlobal, own, pt, copy);
    }
    return;
  }
}

void TOleddEditor::DropText(const TGlobalMemory& memory, bool own, TPointL point, bool copy) {
  ownDragActive_ = false;
  if (ReadOnly()) return;
  // Up to the NUL, but never past the block: a block from elsewhere need
  // not hold one.
  const std::string text(memory.Data(), strnlen(memory.Data(), memory.Size()));
  const TPointL c = ClientPoint(point);
  int row, col;
  PosToRowCol(c.X, c.Y, row, col, false);
  if (IsInSelection(row, col)) {
    CleanSelection();
    if (!own) SetSelText(text);
  } else if (!own || copy) {
    // DragOver has put the caret where the text lands.
    CleanSelection();
    SetSelText(text);
  } else {
    SetRowCol(row, col);
    MoveSelection(row, col);
  }
}

} // namespace ze
