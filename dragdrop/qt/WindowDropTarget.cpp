#include "dragdrop/qt/WindowDropTarget.h"

#include <QDragEnterEvent>
#include <QDropEvent>

#include "platform/Prompter.h"

namespace ze {

TWindowDropTarget::TWindowDropTarget(QWidget* window, TPrompter& prompter)
    : QObject(window), window_(window), prompter_(prompter) {
  target_ = new TDropTarget;
  target_->FormatEtcList().Add(kFilesFormatEtc);
  target_->FormatEtcList().Add(kTextFormatEtc);
  target_->OnDragEnter = [this](IDataObject* d, uint32_t, uint32_t& effect, TPointL pt) {
    Over(d, effect, pt);
  };
  target_->OnDragOver = target_->OnDragEnter;
  target_->OnDrop = [this](IDataObject* d, uint32_t, uint32_t& effect, TPointL) {
    Dropped(d, effect);
  };
  forwarder_ = std::make_unique<TQtDropForwarder>(window, target_.Get());
  window->setAcceptDrops(true);
  window->installEventFilter(this);
}

// Qt forgets a filter that goes away; the window, when it is the one
// going, is already half torn down and is left alone.
TWindowDropTarget::~TWindowDropTarget() = default;

void TWindowDropTarget::Over(IDataObject* data, uint32_t& effect, TPointL pt) {
  const bool files = data && data->QueryGetData(&kFilesFormatEtc) == S_OK;
  // Text cannot be dropped on the window itself, only carried over it.
  effect = files ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  if (!tabs_) return;
  const int index = tabs_->tabAt(tabs_->mapFromGlobal(QPoint(pt.X, pt.Y)));
  if (index < 0 || index == tabs_->currentIndex()) return;
  if (SwitchTab)
    SwitchTab(index);
  else
    tabs_->setCurrentIndex(index);
}

void TWindowDropTarget::Dropped(IDataObject* data, uint32_t& effect) {
  effect = DROPEFFECT_NONE;
  TStgMedium m;
  if (!data || data->GetData(&kFilesFormatEtc, &m) != S_OK) return;
  effect = DROPEFFECT_COPY;
  const std::shared_ptr<TGlobalMemory> block = m.HGlobal;
  ReleaseStgMedium(m);
  OpenDropped(block.get());
}

void TWindowDropTarget::OpenDropped(HDROP drop) {
  const std::vector<std::string> ok = check_.Filter(ListDroppedFiles(drop), prompter_);
  if (!ok.empty() && OpenFiles) OpenFiles(ok);
}

bool TWindowDropTarget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  switch (event->type()) {
  case QEvent::DragEnter:
    forwarder_->DragEnter(static_cast<QDragEnterEvent*>(event));
    return true;
  case QEvent::DragMove:
    forwarder_->DragMove(static_cast<QDragMoveEvent*>(event));
    return true;
  case QEvent::DragLeave:
    forwarder_->DragLeave();
    return true;
  case QEvent::Drop:
    forwarder_->Drop(static_cast<QDropEvent*>(event));
    return true;
  default:
    return false;
  }
}

} // namespace ze
