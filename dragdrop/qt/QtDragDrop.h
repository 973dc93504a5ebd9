#pragma once
// The bridge between the drag-and-drop objects and Qt's drag and drop:
// QMimeData seen as a data object (text converted to CP932 with visible
// replacements, text/uri-list as a file drop), a data object offered to
// other programs as QMimeData (UTF-8 text, file URLs), Qt's drag events
// forwarded to a drop target, and the drag loop run with QDrag.

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>
#include <string_view>

#include "dragdrop/DragDrop.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDragLeaveEvent;
class QDropEvent;

namespace ze {

// Key and button state as drop targets and sources read it.
uint32_t KeyStateFromQt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
uint32_t EffectsFromQt(Qt::DropActions actions);
Qt::DropAction DropActionFromEffect(uint32_t effect);

// Text between the desktop and the document: line ends become CR LF and
// characters CP932 cannot hold a visible '?'; and back, CR LF becomes LF.
std::string DesktopTextToCp932(const QString& text);
QString Cp932ToDesktopText(std::string_view cp932);

// QMimeData offered to a drop target. Files are offered when the data
// names a local file (or names addresses and carries no text, so that the
// addresses are reported); text when it carries text. Data is read when
// asked for, while the drag lasts.
class TMimeDataObject : public TDataObject {
public:
  explicit TMimeDataObject(const QMimeData* mime);

protected:
  HRESULT RenderData(const TFormatEtc& format, TStgMedium& medium, bool allocate) override;

private:
  QPointer<const QMimeData> mime_;
};

// The QMimeData of a drag out of this program: the data object's text as
// UTF-8 and its files as file URLs, and the object itself, so that a drop
// inside this program sees the very data object the drag started with.
class TDataObjectMime : public QMimeData {
  Q_OBJECT
public:
  explicit TDataObjectMime(IDataObject* data);
  ~TDataObjectMime() override;
  IDataObject* DataObject() const { return data_.Get(); }

private:
  TComPtr<IDataObject> data_;
};

// The data object for a drag's QMimeData: the drag's own object when the
// drag started here, otherwise a view of the QMimeData.
TComPtr<IDataObject> DataObjectFromMime(const QMimeData* mime);

// Forwards a widget's drag events to a drop target, with the point in
// screen coordinates and the effect turned into the event's action.
class TQtDropForwarder {
public:
  TQtDropForwarder(QWidget* widget, IDropTarget* target) : widget_(widget), target_(target) {}
  IDropTarget* Target() const { return target_.Get(); }

  void DragEnter(QDragEnterEvent* e);
  void DragMove(QDragMoveEvent* e);
  void DragLeave();
  void Drop(QDropEvent* e);
  // The effect of the last notification.
  uint32_t LastEffect() const { return lastEffect_; }

private:
  TPointL ScreenPoint(const QPointF& local) const;
  void Answer(QDropEvent* e, uint32_t effect);

  QWidget* widget_;
  TComPtr<IDropTarget> target_;
  TComPtr<IDataObject> data_; // the drag's data from enter to leave or drop
  uint32_t lastEffect_ = DROPEFFECT_NONE;
};

// The drag loop on Qt: a QDrag of the data object from a widget. Escape
// or the right button pressed during the drag cancels it, as the drop
// source decides.
class TQtDragDropLoop : public QObject, public TDragDropLoop {
  Q_OBJECT
public:
  explicit TQtDragDropLoop(QWidget* source) : source_(source) {}
  HRESULT DoDragDrop(IDataObject* data, IDropSource* source, uint32_t okEffects,
                     uint32_t* effect) override;

protected:
  // Runs the drag of mime (owned by the drag from here on); the action
  // the target took. Tests replace it with events of their own.
  virtual Qt::DropAction RunDrag(QMimeData* mime, Qt::DropActions actions);
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPointer<QWidget> source_;
  IDropSource* dropSource_ = nullptr;
};

} // namespace ze
