#include "dragdrop/qt/QtDragDrop.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>
#include <cstring>

#include "dragdrop/DroppedFiles.h"
#include "platform/CodePage.h"

namespace ze {

uint32_t KeyStateFromQt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  uint32_t k = 0;
  if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) k |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) k |= MK_CONTROL;
  if (modifiers & Qt::AltModifier) k |= MK_ALT;
  return k;
}

uint32_t EffectsFromQt(Qt::DropActions actions) {
  uint32_t e = DROPEFFECT_NONE;
  if (actions & Qt::CopyAction) e |= DROPEFFECT_COPY;
  if (actions & Qt::MoveAction) e |= DROPEFFECT_MOVE;
  if (actions & Qt::LinkAction) e |= DROPEFFECT_LINK;
  return e;
}

Qt::DropAction DropActionFromEffect(uint32_t effect) {
  if (effect & DROPEFFECT_MOVE) return Qt::MoveAction;
  if (effect & DROPEFFECT_COPY) return Qt::CopyAction;
  if (effect & DROPEFFECT_LINK) return Qt::LinkAction;
  return Qt::IgnoreAction;
}

std::string DesktopTextToCp932(const QString& text) {
  const std::string bytes = Utf16ToCp932(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 32);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

QString Cp932ToDesktopText(std::string_view cp932) {
  const std::u16string u = Cp932ToUtf16(cp932);
  QString s = QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

// ---------------------------------------------------------------- incoming

namespace {

bool NamesLocalFile(const QMimeData& mime) {
  for (const QUrl& u : mime.urls())
    if (u.isLocalFile()) return true;
  return false;
}

std::string NameOf(const QUrl& url) {
  if (url.isLocalFile()) return QFile::encodeName(url.toLocalFile()).toStdString();
  return url.toString().toStdString();
}

} // namespace

TMimeDataObject::TMimeDataObject(const QMimeData* mime) : mime_(mime) {
  if (!mime) return;
  // A link dragged from a browser carries its address as text too: it is
  // text unless a local file is among the names.
  if (mime->hasUrls() && (NamesLocalFile(*mime) || !mime->hasText()))
    FormatEtcList().Add(kFilesFormatEtc);
  if (mime->hasText()) FormatEtcList().Add(kTextFormatEtc);
}

HRESULT TMimeDataObject::RenderData(const TFormatEtc& format, TStgMedium& medium, bool allocate) {
  if (!allocate) return E_NOTIMPL;
  if (!mime_) return E_UNEXPECTED; // the drag is over
  if (format.CfFormat == CF_HDROP) {
    std::vector<std::string> names;
    for (const QUrl& u : mime_->urls())
      names.push_back(NameOf(u));
    medium.HGlobal = MakeDropFiles(names);
  } else {
    const std::string text = DesktopTextToCp932(mime_->text());
    medium.HGlobal = TGlobalMemory::Alloc(text.size() + 1);
    if (!medium.HGlobal) return STG_E_MEDIUMFULL;
    std::copy(text.begin(), text.end(), medium.HGlobal->Data());
  }
  medium.Tymed = TYMED_HGLOBAL;
  medium.UnkForRelease = nullptr;
  return S_OK;
}

// ---------------------------------------------------------------- outgoing

TDataObjectMime::TDataObjectMime(IDataObject* data) : data_(data) {
  if (!data) return;
  TStgMedium m;
  if (data->GetData(&kTextFormatEtc, &m) == S_OK && m.HGlobal) {
    const TGlobalMemory& g = *m.HGlobal;
    setText(Cp932ToDesktopText(std::string_view(g.Data(), strnlen(g.Data(), g.Size()))));
  }
  ReleaseStgMedium(m);
  if (data->GetData(&kFilesFormatEtc, &m) == S_OK && m.HGlobal) {
    QList<QUrl> urls;
    for (const std::string& n : ListDroppedFiles(m.HGlobal.get()))
      urls.append(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(n))));
    setUrls(urls);
  }
  ReleaseStgMedium(m);
}

TDataObjectMime::~TDataObjectMime() = default;

TComPtr<IDataObject> DataObjectFromMime(const QMimeData* mime) {
  if (!mime) return {};
  if (auto* own = qobject_cast<const TDataObjectMime*>(mime); own && own->DataObject())
    return own->DataObject();
  return new TMimeDataObject(mime);
}

// ---------------------------------------------------------------- drop events

TPointL TQtDropForwarder::ScreenPoint(const QPointF& local) const {
  const QPoint g = widget_->mapToGlobal(local.toPoint());
  return {g.x(), g.y()};
}

void TQtDropForwarder::Answer(QDropEvent* e, uint32_t effect) {
  lastEffect_ = effect;
  // An action the drag does not allow is answered with one it does.
  const uint32_t allowed = EffectsFromQt(e->possibleActions());
  if ((effect & allowed) == 0 && (effect & (DROPEFFECT_MOVE | DROPEFFECT_COPY)))
    effect = allowed & (DROPEFFECT_COPY | DROPEFFECT_MOVE);
  const Qt::DropAction action = DropActionFromEffect(effect & allowed);
  if (action == Qt::IgnoreAction) {
    e->setDropAction(Qt::IgnoreAction);
    e->ignore();
    return;
  }
  e->setDropAction(action);
  e->accept();
}

void TQtDropForwarder::DragEnter(QDragEnterEvent* e) {
  data_ = DataObjectFromMime(e->mimeData());
  uint32_t effect = EffectsFromQt(e->possibleActions());
  target_->DragEnter(data_.Get(), KeyStateFromQt(e->buttons(), e->modifiers()),
                     ScreenPoint(e->position()), &effect);
  Answer(e, effect);
  // Moves come only after an accepted enter, and a target may say "no
  // effect" here and "copy" further on (over a tab, then over an editor):
  // the enter is taken, with no action where none is possible.
  e->accept();
}

void TQtDropForwarder::DragMove(QDragMoveEvent* e) {
  uint32_t effect = EffectsFromQt(e->possibleActions());
  target_->DragOver(KeyStateFromQt(e->buttons(), e->modifiers()), ScreenPoint(e->position()),
                    &effect);
  Answer(e, effect);
}

void TQtDropForwarder::DragLeave() {
  target_->DragLeave();
  data_.Reset();
}

void TQtDropForwarder::Drop(QDropEvent* e) {
  TComPtr<IDataObject> data = data_ ? data_ : DataObjectFromMime(e->mimeData());
  data_.Reset();
  uint32_t effect = EffectsFromQt(e->possibleActions());
  target_->Drop(data.Get(), KeyStateFromQt(e->buttons(), e->modifiers()),
                ScreenPoint(e->position()), &effect);
  Answer(e, effect);
}

// ---------------------------------------------------------------- the drag loop

HRESULT TQtDragDropLoop::DoDragDrop(IDataObject* data, IDropSource* source, uint32_t okEffects,
                                    uint32_t* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  if (!data || !source) return E_INVALIDARG;
  Qt::DropActions actions;
  if (okEffects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
  if (okEffects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
  if (okEffects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
  dropSource_ = source;
  qApp->installEventFilter(this);
  Qt::DropAction done = Qt::IgnoreAction;
  try {
    done = RunDrag(new TDataObjectMime(data), actions);
  } catch (...) {
    qApp->removeEventFilter(this);
    dropSource_ = nullptr;
    throw;
  }
  qApp->removeEventFilter(this);
  dropSource_ = nullptr;
  if (effect) *effect = EffectsFromQt(done);
  return done == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}

Qt::DropAction TQtDragDropLoop::RunDrag(QMimeData* mime, Qt::DropActions actions) {
  if (!source_) {
    delete mime;
    return Qt::IgnoreAction;
  }
  auto* drag = new QDrag(source_);
  drag->setMimeData(mime);
  return drag->exec(actions, Qt::CopyAction);
}

bool TQtDragDropLoop::eventFilter(QObject* watched, QEvent* event) {
  if (!dropSource_) return false;
  bool escape = false;
  uint32_t keys = 0;
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    escape = k->key() == Qt::Key_Escape;
    keys = KeyStateFromQt(QGuiApplication::mouseButtons(), k->modifiers());
  } else if (event->type() == QEvent::MouseButtonPress) {
    auto* m = static_cast<QMouseEvent*>(event);
    keys = KeyStateFromQt(m->buttons(), m->modifiers());
  } else {
    return false;
  }
  if (dropSource_->QueryContinueDrag(escape, keys) == DRAGDROP_S_CANCEL) {
    QDrag::cancel();
    return true;
  }
  return false;
}

} // namespace ze
