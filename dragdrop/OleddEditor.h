#pragma once
// TOleddEditor: the editor control with drag and drop. The selected text
// can be dragged out to other windows and editors (it stays here); text
// dropped from anywhere is inserted where it lands, moved instead when it
// comes from this editor without Ctrl; dropped files are reported through
// OnDropFiles. The editor is the drop handler of its own drop target,
// which the window registers (forwards its drag events to).

#include <functional>

#include "dragdrop/DragDrop.h"
#include "dragdrop/DroppedFiles.h"
#include "editor/Editor.h"

namespace ze {

using TDropFilesEvent =
    std::function<void(TObject* sender, HDROP drop, uint32_t keyState, TPointL point)>;

class TOleddEditor : public TEditor, public IDropHandler {
public:
  explicit TOleddEditor(TComponent* owner);
  ~TOleddEditor() override;
  void AfterConstruction() override;

  // Files dropped on the editor (client coordinates).
  TDropFilesEvent OnDropFiles;

  // The target the window forwards its drag events to.
  IDropTarget* DropTarget() const { return dropTarget_.Get(); }
  // The platform's drag loop for drags out of this editor; without one no
  // drag starts. Not owned.
  void SetDragDropLoop(TDragDropLoop* loop) { loop_ = loop; }
  TDragDropLoop* DragDropLoop() const { return loop_; }
  // Turns a drop target's point (screen coordinates) into client
  // coordinates; the window sets it. Unset: the point is taken as is.
  std::function<TPointL(TPointL)> ScreenToClient;
  // Asked instead of the kill-focus of a drag leaving, when set: the
  // window gives the focus back where the drag found it.
  std::function<void()> OnDragLeaveFocus;

  void SaveCaret();
  void RestoreCaret();
  void MoveCaretToPoint(TPointL client);
  // Inserts (or moves) dropped text; the memory is read no further than
  // its size.
  void DropText(const TGlobalMemory& memory, bool own, TPointL point, bool copy);

  // A drag that this editor started is running and has not landed here.
  bool OwnDragActive() const { return ownDragActive_; }
  IDataObject* OwnDragData() const { return ownDragData_.Get(); }

  // ---- mouse: a press inside the selection starts a drag
  void MouseDown(int x, int y, TShiftState shift) override;

  // ---- IUnknown: the editor belongs to its window, not to references.
  HRESULT QueryInterface(TIid iid, void** out) override;
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }

  // ---- IDropHandler
  void DragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) override;
  void DragOver(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) override;
  void Drop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) override;
  void DragLeave(IDataObject* data) override;

protected:
  // Starts the drag of the selected text and waits for its end.
  virtual void StartDrag(int x, int y);
  TPointL ClientPoint(TPointL pt) const { return ScreenToClient ? ScreenToClient(pt) : pt; }

private:
  bool IsOwn(IDataObject* data) const { return data && data == ownDragData_.Get(); }
  // Text can land here: a file drop always can, text not on a read-only
  // editor.
  bool TakesText() const { return !ReadOnly(); }

  TComPtr<TEventsDropTarget> dropTarget_;
  TDragDropLoop* loop_ = nullptr;
  TComPtr<IDataObject> ownDragData_;
  bool ownDragActive_ = false;
  int savedRow_ = 0, savedCol_ = 0;
};

} // namespace ze
