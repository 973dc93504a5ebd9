#pragma once
// The OLE drag-and-drop vocabulary, Qt-free: result codes, clipboard
// formats, format descriptions, storage media in global memory blocks,
// key-state and drop-effect bits, and the reference-counted interfaces
// (IUnknown, IDataObject, IEnumFORMATETC, IDropSource, IDropTarget) with
// the values and shapes the Windows interfaces have, so that the objects
// built on them behave as their peers expect.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace ze {

using HRESULT = int32_t;

constexpr HRESULT HResult(uint32_t v) {
  return static_cast<HRESULT>(v);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = HResult(0x80004002);
inline constexpr HRESULT E_POINTER = HResult(0x80004003);
inline constexpr HRESULT E_UNEXPECTED = HResult(0x8000FFFF);
inline constexpr HRESULT E_INVALIDARG = HResult(0x80070057);
inline constexpr HRESULT DV_E_FORMATETC = HResult(0x80040064);
inline constexpr HRESULT DV_E_TYMED = HResult(0x80040069);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HResult(0x80040003);
inline constexpr HRESULT STG_E_MEDIUMFULL = HResult(0x80030070);
inline constexpr HRESULT DATA_S_SAMEFORMATETC = HResult(0x00040130);
inline constexpr HRESULT DRAGDROP_S_DROP = HResult(0x00040100);
inline constexpr HRESULT DRAGDROP_S_CANCEL = HResult(0x00040101);
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = HResult(0x00040102);

constexpr bool Succeeded(HRESULT hr) {
  return hr >= 0;
}

// Clipboard formats.
inline constexpr uint16_t CF_TEXT = 1;
inline constexpr uint16_t CF_HDROP = 15;

// Aspects, storage media, enumeration directions.
inline constexpr uint32_t DVASPECT_CONTENT = 1;
inline constexpr uint32_t TYMED_NULL = 0;
inline constexpr uint32_t TYMED_HGLOBAL = 1;
inline constexpr uint32_t TYMED_FILE = 2;
inline constexpr uint32_t TYMED_ISTREAM = 4;
inline constexpr uint32_t TYMED_ISTORAGE = 8;
inline constexpr uint32_t DATADIR_GET = 1;
inline constexpr uint32_t DATADIR_SET = 2;

// Drop effects.
inline constexpr uint32_t DROPEFFECT_NONE = 0;
inline constexpr uint32_t DROPEFFECT_COPY = 1;
inline constexpr uint32_t DROPEFFECT_MOVE = 2;
inline constexpr uint32_t DROPEFFECT_LINK = 4;

// Key and button state of a drag.
inline constexpr uint32_t MK_LBUTTON = 0x01;
inline constexpr uint32_t MK_RBUTTON = 0x02;
inline constexpr uint32_t MK_SHIFT = 0x04;
inline constexpr uint32_t MK_CONTROL = 0x08;
inline constexpr uint32_t MK_MBUTTON = 0x10;
inline constexpr uint32_t MK_ALT = 0x20;

struct TPointL {
  int32_t X = 0, Y = 0;
  friend bool operator==(const TPointL&, const TPointL&) = default;
};

struct TDvTargetDevice; // never looked into: descriptions carry it as a pointer

// A format description: which data, for which device and aspect, in which
// storage media (a mask of TYMED_ bits).
struct TFormatEtc {
  uint16_t CfFormat = 0;
  TDvTargetDevice* Ptd = nullptr;
  uint32_t Aspect = DVASPECT_CONTENT;
  int32_t Index = -1;
  uint32_t Tymed = TYMED_HGLOBAL;
  friend bool operator==(const TFormatEtc&, const TFormatEtc&) = default;
};

// The two descriptions drag and drop uses.
inline constexpr TFormatEtc kTextFormatEtc{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
inline constexpr TFormatEtc kFilesFormatEtc{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};

// A global memory block: bytes of a fixed size. Readers must not go past
// Size(), whatever the bytes say.
class TGlobalMemory {
public:
  // A zero-filled block, or nullptr when the memory cannot be had.
  static std::shared_ptr<TGlobalMemory> Alloc(size_t size) noexcept;
  // A block holding exactly these bytes.
  static std::shared_ptr<TGlobalMemory> From(std::string_view bytes);

  size_t Size() const { return bytes_.size(); }
  char* Data() { return bytes_.data(); }
  const char* Data() const { return bytes_.data(); }
  std::string_view View() const { return {bytes_.data(), bytes_.size()}; }

private:
  std::vector<char> bytes_;
};

class IUnknown;

// A storage medium: for these objects always a global memory block.
struct TStgMedium {
  uint32_t Tymed = TYMED_NULL;
  std::shared_ptr<TGlobalMemory> HGlobal;
  IUnknown* UnkForRelease = nullptr;
};

// Frees what the medium holds and empties it.
void ReleaseStgMedium(TStgMedium& medium);

enum class TIid { Unknown, DataObject, EnumFormatEtc, DropSource, DropTarget, DropHandler };

class IUnknown {
public:
  virtual HRESULT QueryInterface(TIid iid, void** out) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

protected:
  virtual ~IUnknown() = default;
};

class IEnumFormatEtc : public virtual IUnknown {
public:
  virtual HRESULT Next(uint32_t count, TFormatEtc* out, uint32_t* fetched) = 0;
  virtual HRESULT Skip(uint32_t count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumFormatEtc** out) = 0;
};

class IDataObject : public virtual IUnknown {
public:
  virtual HRESULT GetData(const TFormatEtc* format, TStgMedium* medium) = 0;
  virtual HRESULT GetDataHere(const TFormatEtc* format, TStgMedium* medium) = 0;
  virtual HRESULT QueryGetData(const TFormatEtc* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(const TFormatEtc* in, TFormatEtc* out) = 0;
  virtual HRESULT SetData(const TFormatEtc* format, TStgMedium* medium, bool release) = 0;
  virtual HRESULT EnumFormatEtc(uint32_t direction, IEnumFormatEtc** out) = 0;
  virtual HRESULT DAdvise(const TFormatEtc* format, uint32_t advf, IUnknown* sink,
                          uint32_t* connection) = 0;
  virtual HRESULT DUnadvise(uint32_t connection) = 0;
  virtual HRESULT EnumDAdvise(IUnknown** out) = 0;
};

class IDropSource : public virtual IUnknown {
public:
  virtual HRESULT QueryContinueDrag(bool escapePressed, uint32_t keyState) = 0;
  virtual HRESULT GiveFeedback(uint32_t effect) = 0;
};

class IDropTarget : public virtual IUnknown {
public:
  virtual HRESULT DragEnter(IDataObject* data, uint32_t keyState, TPointL pt, uint32_t* effect) = 0;
  virtual HRESULT DragOver(uint32_t keyState, TPointL pt, uint32_t* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, uint32_t keyState, TPointL pt, uint32_t* effect) = 0;
};

// A counted reference to an interface: AddRef on taking, Release on
// letting go.
template <class T> class TComPtr {
public:
  TComPtr() = default;
  TComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  TComPtr(const TComPtr& o) : TComPtr(o.p_) {}
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~TComPtr() { Reset(); }
  TComPtr& operator=(TComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  // Takes over a reference already counted for the caller (an out
  // parameter).
  static TComPtr Adopt(T* p) {
    TComPtr r;
    r.p_ = p;
    return r;
  }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const TComPtr& a, const TComPtr& b) { return a.p_ == b.p_; }

private:
  T* p_ = nullptr;
};

// The base of every reference-counted object: created with no reference,
// freed when the last one goes.
class TRefObject : public virtual IUnknown {
public:
  HRESULT QueryInterface(TIid iid, void** out) override;
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override;
  uint32_t RefCount() const { return refs_; }
  // Objects alive now, of every class: tests check that none leak.
  static long LiveObjects() { return live_.load(); }

protected:
  TRefObject() { ++live_; }
  ~TRefObject() override { --live_; }
  // The interface this object offers for iid, nullptr when none.
  virtual void* Interface(TIid iid);

private:
  uint32_t refs_ = 0;
  static inline std::atomic<long> live_{0};
};

// OLE for the calling thread: only the first start and the last end act.
// True when this call was the one that acted.
bool OleStart();
bool OleEnd();
bool OleStarted();

} // namespace ze
