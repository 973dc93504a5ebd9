#include "dragdrop/DragDrop.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ze {

// ---------------------------------------------------------------- basics

std::shared_ptr<TGlobalMemory> TGlobalMemory::Alloc(size_t size) noexcept {
  try {
    auto m = std::make_shared<TGlobalMemory>();
    m->bytes_.assign(size, '\0');
    return m;
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
}

std::shared_ptr<TGlobalMemory> TGlobalMemory::From(std::string_view bytes) {
  auto m = std::make_shared<TGlobalMemory>();
  m->bytes_.assign(bytes.begin(), bytes.end());
  return m;
}

void ReleaseStgMedium(TStgMedium& medium) {
  medium.HGlobal.reset();
  if (IUnknown* u = std::exchange(medium.UnkForRelease, nullptr)) u->Release();
  medium.Tymed = TYMED_NULL;
}

HRESULT TRefObject::QueryInterface(TIid iid, void** out) {
  if (!out) return E_POINTER;
  *out = Interface(iid);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

uint32_t TRefObject::Release() {
  const uint32_t n = --refs_;
  if (n == 0) delete this;
  return n;
}

void* TRefObject::Interface(TIid iid) {
  return iid == TIid::Unknown ? static_cast<IUnknown*>(this) : nullptr;
}

namespace {
int oleStarts = 0;
}

bool OleStart() {
  return ++oleStarts == 1;
}
bool OleEnd() {
  if (oleStarts == 0) return false;
  return --oleStarts == 0;
}
bool OleStarted() {
  return oleStarts > 0;
}

// ---------------------------------------------------------------- format list

void TFormatEtcList::Add(const TFormatEtc& format) {
  items_.push_back(std::make_unique<TFormatEtc>(format));
}

void TFormatEtcList::CopyFrom(const TFormatEtcList* other) {
  if (other == this) return;
  Clear();
  if (!other) return;
  for (const auto& f : other->items_)
    Add(*f);
}

TFormatEtc TFormatEtcList::Get(int i) const {
  return *items_.at(static_cast<size_t>(i));
}

// ---------------------------------------------------------------- enumerator

void* TEnumFormatEtc::Interface(TIid iid) {
  if (iid == TIid::EnumFormatEtc) return static_cast<IEnumFormatEtc*>(this);
  return TFormatEtcListObject::Interface(iid);
}

HRESULT TEnumFormatEtc::Next(uint32_t count, TFormatEtc* out, uint32_t* fetched) {
  if (!out && count > 0) return E_POINTER;
  uint32_t n = 0;
  while (n < count && cursor_ < FormatEtcList().Count())
    out[n++] = FormatEtcList().Get(cursor_++);
  if (fetched) *fetched = n;
  return n == count ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(uint32_t count) {
  const int remaining = FormatEtcList().Count() - cursor_;
  if (static_cast<int64_t>(count) > remaining) {
    cursor_ = FormatEtcList().Count();
    return S_FALSE;
  }
  cursor_ += static_cast<int>(count);
  return S_OK;
}

HRESULT TEnumFormatEtc::Reset() {
  cursor_ = 0;
  return S_OK;
}

HRESULT TEnumFormatEtc::Clone(IEnumFormatEtc** out) {
  if (!out) return E_POINTER;
  auto* e = new TEnumFormatEtc;
  e->FormatEtcList().CopyFrom(&FormatEtcList());
  e->AddRef();
  *out = e;
  return S_OK;
}

// ---------------------------------------------------------------- data object

void* TDataObject::Interface(TIid iid) {
  if (iid == TIid::DataObject) return static_cast<IDataObject*>(this);
  return TFormatEtcListObject::Interface(iid);
}

HRESULT TDataObject::Get(const TFormatEtc* format, TStgMedium* medium, bool allocate) {
  if (!format || !medium) return E_POINTER;
  // A medium given to be written into keeps what the caller put there.
  if (allocate) *medium = TStgMedium{};
  if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
  try {
    return RenderData(*format, *medium, allocate);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TDataObject::GetData(const TFormatEtc* format, TStgMedium* medium) {
  return Get(format, medium, true);
}

HRESULT TDataObject::GetDataHere(const TFormatEtc* format, TStgMedium* medium) {
  return Get(format, medium, false);
}

HRESULT TDataObject::QueryGetData(const TFormatEtc* format) {
  if (!format) return E_POINTER;
  const TFormatEtcList& list = FormatEtcList();
  for (int i = 0; i < list.Count(); ++i) {
    const TFormatEtc f = list.Get(i);
    if (f.CfFormat == format->CfFormat && f.Aspect == format->Aspect && (f.Tymed & format->Tymed))
      return S_OK;
  }
  return DV_E_FORMATETC;
}

HRESULT TDataObject::GetCanonicalFormatEtc(const TFormatEtc* in, TFormatEtc* out) {
  if (!in || !out) return E_POINTER;
  *out = *in;
  out->Ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT TDataObject::SetData(const TFormatEtc*, TStgMedium*, bool) {
  return E_NOTIMPL;
}

HRESULT TDataObject::EnumFormatEtc(uint32_t direction, IEnumFormatEtc** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  auto* e = new TEnumFormatEtc;
  e->FormatEtcList().CopyFrom(&FormatEtcList());
  e->AddRef();
  *out = e;
  return S_OK;
}

HRESULT TDataObject::DAdvise(const TFormatEtc*, uint32_t, IUnknown*, uint32_t*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDataObject::DUnadvise(uint32_t) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDataObject::EnumDAdvise(IUnknown** out) {
  if (out) *out = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

TTextDataObject::TTextDataObject(std::string text) : text_(std::move(text)) {
  FormatEtcList().Add(kTextFormatEtc);
}

HRESULT TTextDataObject::RenderData(const TFormatEtc&, TStgMedium& medium, bool allocate) {
  if (!allocate) return E_NOTIMPL;
  std::shared_ptr<TGlobalMemory> m = TGlobalMemory::Alloc(text_.size() + 1);
  if (!m) return STG_E_MEDIUMFULL;
  std::memcpy(m->Data(), text_.data(), text_.size()); // the NUL is there already
  medium.HGlobal = std::move(m);
  // What was rendered is global memory, whatever else the request allowed.
  medium.Tymed = TYMED_HGLOBAL;
  medium.UnkForRelease = nullptr;
  return S_OK;
}

// ---------------------------------------------------------------- drop source

void* TDropSource::Interface(TIid iid) {
  if (iid == TIid::DropSource) return static_cast<IDropSource*>(this);
  return TRefObject::Interface(iid);
}

HRESULT TDropSource::QueryContinueDrag(bool escapePressed, uint32_t keyState) {
  if (escapePressed || (keyState & MK_RBUTTON)) return DRAGDROP_S_CANCEL;
  if (keyState & MK_LBUTTON) return S_OK;
  return DRAGDROP_S_DROP;
}

HRESULT TDropSource::GiveFeedback(uint32_t) {
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---------------------------------------------------------------- drop targets

int FirstAvailableFormat(IDataObject* data, const TFormatEtcList& formats) {
  if (!data) return -1;
  for (int i = 0; i < formats.Count(); ++i) {
    const TFormatEtc f = formats.Get(i);
    if (data->QueryGetData(&f) == S_OK) return i;
  }
  return -1;
}

void* TDropTarget::Interface(TIid iid) {
  if (iid == TIid::DropTarget) return static_cast<IDropTarget*>(this);
  return TFormatEtcListObject::Interface(iid);
}

HRESULT TDropTarget::DragEnter(IDataObject* data, uint32_t keyState, TPointL pt, uint32_t* effect) {
  data_.Reset();
  if (FirstAvailableFormat(data, FormatEtcList()) >= 0) data_ = data;
  uint32_t e = DROPEFFECT_NONE;
  if (data_) {
    e = DROPEFFECT_COPY;
    DoDragEnter(data_.Get(), keyState, e, pt);
  }
  if (effect) *effect = e;
  return S_OK;
}

HRESULT TDropTarget::DragOver(uint32_t keyState, TPointL pt, uint32_t* effect) {
  uint32_t e = DROPEFFECT_NONE;
  if (data_) {
    e = DROPEFFECT_COPY;
    DoDragOver(data_.Get(), keyState, e, pt);
  }
  if (effect) *effect = e;
  return S_OK;
}

HRESULT TDropTarget::DragLeave() {
  // Kept alive for the handler, forgotten whatever it does.
  TComPtr<IDataObject> data = std::move(data_);
  data_.Reset();
  if (data) DoDragLeave(data.Get());
  return S_OK;
}

HRESULT TDropTarget::Drop(IDataObject*, uint32_t keyState, TPointL pt, uint32_t* effect) {
  TComPtr<IDataObject> data = std::move(data_);
  data_.Reset();
  uint32_t e = DROPEFFECT_NONE;
  if (data) {
    e = DROPEFFECT_COPY;
    DoDrop(data.Get(), keyState, e, pt);
  }
  if (effect) *effect = e;
  return S_OK;
}

void TDropTarget::DoDragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  if (OnDragEnter) OnDragEnter(data, keyState, effect, pt);
}
void TDropTarget::DoDragOver(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  if (OnDragOver) OnDragOver(data, keyState, effect, pt);
}
void TDropTarget::DoDrop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  if (OnDrop) OnDrop(data, keyState, effect, pt);
}
void TDropTarget::DoDragLeave(IDataObject* data) {
  if (OnDragLeave) OnDragLeave(data);
}

void TEventsDropTarget::DoDragEnter(IDataObject* data, uint32_t keyState, uint32_t& effect,
                                    TPointL pt) {
  if (handler_) handler_->DragEnter(data, keyState, effect, pt);
}
void TEventsDropTarget::DoDragOver(IDataObject* data, uint32_t keyState, uint32_t& effect,
                                   TPointL pt) {
  if (handler_) handler_->DragOver(data, keyState, effect, pt);
}
void TEventsDropTarget::DoDrop(IDataObject* data, uint32_t keyState, uint32_t& effect, TPointL pt) {
  if (handler_) handler_->Drop(data, keyState, effect, pt);
}
void TEventsDropTarget::DoDragLeave(IDataObject* data) {
  if (handler_) handler_->DragLeave(data);
}

} // namespace ze
