#pragma once
// The drag-and-drop objects: format description lists and their
// enumerator, data objects (the text of a drag), the drop source that
// decides when a drag ends, and the drop targets that turn the platform's
// four notifications into events or into calls of a drop handler.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/Ole.h"

namespace ze {

// Copies of format descriptions, each in a block of its own of the
// record's real size.
class TFormatEtcList {
public:
  TFormatEtcList() = default;
  TFormatEtcList(const TFormatEtcList&) = delete;
  TFormatEtcList& operator=(const TFormatEtcList&) = delete;
  ~TFormatEtcList() { Clear(); }

  void Add(const TFormatEtc& format);
  // Clears, then copies every description of other (nothing more when
  // there is no other list).
  void CopyFrom(const TFormatEtcList* other);
  TFormatEtc Get(int i) const;
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }
  // The size of the block each description is kept in.
  static constexpr size_t BlockSize() { return sizeof(TFormatEtc); }

private:
  std::vector<std::unique_ptr<TFormatEtc>> items_;
};

// A reference-counted object that owns a format list.
class TFormatEtcListObject : public TRefObject {
public:
  TFormatEtcList& FormatEtcList() { return list_; }
  const TFormatEtcList& FormatEtcList() const { return list_; }

private:
  TFormatEtcList list_;
};

class TEnumFormatEtc : public TFormatEtcListObject, public IEnumFormatEtc {
public:
  TEnumFormatEtc() = default;
  HRESULT Next(uint32_t count, TFormatEtc* out, uint32_t* fetched) override;
  HRESULT Skip(uint32_t count) override;
  HRESULT Reset() override;
  HRESULT Clone(IEnumFormatEtc** out) override;
  int Cursor() const { return cursor_; }

protected:
  void* Interface(TIid iid) override;

private:
  int cursor_ = 0;
};

class TDataObject : public TFormatEtcListObject, public IDataObject {
public:
  HRESULT GetData(const TFormatEtc* format, TStgMedium* medium) override;
  HRESULT GetDataHere(const TFormatEtc* format, TStgMedium* medium) override;
  HRESULT QueryGetData(const TFormatEtc* format) override;
  HRESULT GetCanonicalFormatEtc(const TFormatEtc* in, TFormatEtc* out) override;
  HRESULT SetData(const TFormatEtc* format, TStgMedium* medium, bool release) override;
  HRESULT EnumFormatEtc(uint32_t direction, IEnumFormatEtc** out) override;
  HRESULT DAdvise(const TFormatEtc* format, uint32_t advf, IUnknown* sink,
                  uint32_t* connection) override;
  HRESULT DUnadvise(uint32_t connection) override;
  HRESULT EnumDAdvise(IUnknown** out) override;

protected:
  void* Interface(TIid iid) override;
  // Fills medium with the data for format (which QueryGetData accepted).
  // allocate: the object provides the memory; otherwise it writes into
  // the medium the caller gave.
  virtual HRESULT RenderData(const TFormatEtc& format, TStgMedium& medium, bool allocate) = 0;

private:
  HRESULT Get(const TFormatEtc* format, TStgMedium* medium, bool allocate);
};

// The text of a drag (CP932 bytes), offered as text in global memory.
class TTextDataObject : public TDataObject {
public:
  explicit TTextDataObject(std::string text);
  const std::string& Text() const { return text_; }

protected:
  HRESULT RenderData(const TFormatEtc& format, TStgMedium& medium, bool allocate) override;

private:
  std::string text_;
};

class TDropSource : public TRefObject, public IDropSource {
public:
  HRESULT QueryContinueDrag(bool escapePressed, uint32_t keyState) override;
  HRESULT GiveFeedback(uint32_t effect) override;

protected:
  void* Interface(TIid iid) override;
};

// What a drop target reports: the data object of the drag, the key state,
// the effect (which the receiver may change) and the point.
using TDropTargetEvent =
    std::function<void(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt)>;
using TDropLeaveEvent = std::function<void(IDataObject* data)>;

class TDropTarget : public TFormatEtcListObject, public IDropTarget {
public:
  HRESULT DragEnter(IDataObject* data, uint32_t keyState, TPointL pt, uint32_t* effect) override;
  HRESULT DragOver(uint32_t keyState, TPointL pt, uint32_t* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, uint32_t keyState, TPointL pt, uint32_t* effect) override;

  // The data object of the drag in progress, nullptr between drags.
  IDataObject* DataObject() const { return data_.Get(); }

  TDropTargetEvent OnDragEnter;
  TDropTargetEvent OnDragOver;
  TDropTargetEvent OnDrop;
  TDropLeaveEvent OnDragLeave;

protected:
  void* Interface(TIid iid) override;
  virtual void DoDragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt);
  virtual void DoDragOver(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt);
  virtual void DoDrop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt);
  virtual void DoDragLeave(IDataObject* data);

private:
  TComPtr<IDataObject> data_;
};

// The drop-handler interface: receives a target's notifications.
class IDropHandler : public virtual IUnknown {
public:
  virtual void DragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) = 0;
  virtual void DragOver(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) = 0;
  virtual void Drop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) = 0;
  virtual void DragLeave(IDataObject* data) = 0;
};

class TEventsDropTarget : public TDropTarget {
public:
  TEventsDropTarget() = default;
  explicit TEventsDropTarget(IDropHandler* handler) : handler_(handler) {}
  IDropHandler* Handler() const { return handler_.Get(); }
  void SetHandler(IDropHandler* handler) { handler_ = handler; }

protected:
  void DoDragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) override;
  void DoDragOver(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) override;
  void DoDrop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) override;
  void DoDragLeave(IDataObject* data) override;

private:
  TComPtr<IDropHandler> handler_;
};

// The first description of formats that data can deliver, or -1.
int FirstAvailableFormat(IDataObject* data, const TFormatEtcList& formats);

// The platform's drag loop: runs a drag of data until it is dropped or
// cancelled, asking source whether to go on; effect gets the effect the
// drop target chose.
class TDragDropLoop {
public:
  virtual ~TDragDropLoop() = default;
  virtual HRESULT DoDragDrop(IDataObject* data, IDropSource* source, uint32_t okEffects,
                             uint32_t* effect) = 0;
};

} // namespace ze
