// The drag-and-drop objects without a window: reference counts, result
// codes, format enumeration, medium requests, the drop source's decision
// and the drop targets' notifications.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "dragdrop/DragDrop.h"
#include "dragdrop/DroppedFiles.h"

namespace ze {
namespace {

TFormatEtc Format(uint16_t cf, uint32_t tymed = TYMED_HGLOBAL) {
  return TFormatEtc{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
}

// Every object made in a test is gone at its end.
struct Objects : ::testing::Test {
  long live = TRefObject::LiveObjects();
  ~Objects() override { EXPECT_EQ(TRefObject::LiveObjects(), live); }
};

// ---------------------------------------------------------------- format list

TEST_F(Objects, TheFormatListKeepsWholeRecordsOfTheirRealSize) {
  // Every field, the last ones too, comes back as it went in: a block cut
  // to the 32-bit layout would lose the index and the medium mask.
  static_assert(TFormatEtcList::BlockSize() == sizeof(TFormatEtc));
  TDvTargetDevice* device = reinterpret_cast<TDvTargetDevice*>(uintptr_t{0x1234567890});
  const TFormatEtc f{0xC123, device, 4, 0x7EADBEEF, TYMED_ISTREAM | TYMED_FILE};
  TFormatEtcList list;
  list.Add(f);
  list.Add(kTextFormatEtc);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0), f);
  EXPECT_EQ(list.Get(1), kTextFormatEtc);
  EXPECT_THROW(list.Get(2), std::out_of_range);

  TFormatEtcList copy;
  copy.Add(kFilesFormatEtc);
  copy.CopyFrom(&list); // replaces what it had
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Get(0), f);
  copy.CopyFrom(nullptr);
  EXPECT_EQ(copy.Count(), 0);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

// ---------------------------------------------------------------- enumerator

TEST_F(Objects, TheEnumeratorHandsOutDescriptionsFromItsCursor) {
  TComPtr<TEnumFormatEtc> e(new TEnumFormatEtc);
  e->FormatEtcList().Add(kFilesFormatEtc);
  e->FormatEtcList().Add(kTextFormatEtc);
  e->FormatEtcList().Add(Format(7));

  TFormatEtc out[4];
  uint32_t fetched = 99;
  EXPECT_EQ(e->Next(2, out, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(out[0], kFilesFormatEtc);
  EXPECT_EQ(out[1], kTextFormatEtc);
  EXPECT_EQ(e->Next(2, out, &fetched), S_FALSE); // only one left
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(out[0].CfFormat, 7);
  EXPECT_EQ(e->Next(1, out, nullptr), S_FALSE);

  EXPECT_EQ(e->Reset(), S_OK);
  EXPECT_EQ(e->Skip(2), S_OK);
  EXPECT_EQ(e->Cursor(), 2);
  EXPECT_EQ(e->Skip(5), S_FALSE); // past the end: the cursor stays at the end
  EXPECT_EQ(e->Cursor(), 3);
  EXPECT_EQ(e->Next(1, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(e->Skip(0), S_OK);
}

TEST_F(Objects, ACloneHasItsOwnCopiesAndStartsAtTheBeginning) {
  TComPtr<TEnumFormatEtc> e(new TEnumFormatEtc);
  e->FormatEtcList().Add(kTextFormatEtc);
  e->FormatEtcList().Add(kFilesFormatEtc);
  e->Skip(1);
  IEnumFormatEtc* raw = nullptr;
  ASSERT_EQ(e->Clone(&raw), S_OK);
  TComPtr<IEnumFormatEtc> clone = TComPtr<IEnumFormatEtc>::Adopt(raw);
  EXPECT_EQ(raw->AddRef(), 2u); // the caller's reference, and this one
  EXPECT_EQ(raw->Release(), 1u);
  e->FormatEtcList().Clear(); // the clone does not share the list
  TFormatEtc out[2];
  uint32_t fetched = 0;
  EXPECT_EQ(clone->Next(2, out, &fetched), S_OK);
  EXPECT_EQ(out[0], kTextFormatEtc);
  EXPECT_EQ(out[1], kFilesFormatEtc);
}

// ---------------------------------------------------------------- data objects

TEST_F(Objects, TextIsOfferedOnlyInGlobalMemoryAndForTheContent) {
  TComPtr<TTextDataObject> d(new TTextDataObject("abc"));
  TFormatEtc f = kTextFormatEtc;
  EXPECT_EQ(d->QueryGetData(&f), S_OK);
  f.Tymed = TYMED_ISTREAM;
  EXPECT_EQ(d->QueryGetData(&f), DV_E_FORMATETC);
  f.Tymed = TYMED_ISTREAM | TYMED_HGLOBAL | TYMED_FILE;
  EXPECT_EQ(d->QueryGetData(&f), S_OK);
  f = kTextFormatEtc;
  f.Aspect = 4; // a thumbnail
  EXPECT_EQ(d->QueryGetData(&f), DV_E_FORMATETC);
  EXPECT_EQ(d->QueryGetData(&kFilesFormatEtc), DV_E_FORMATETC);
}

TEST_F(Objects, GetDataRendersTheTextWithItsNulInGlobalMemory) {
  const std::string text = "a\x8A\xBF\r\nb"; // 漢 between
  TComPtr<TTextDataObject> d(new TTextDataObject(text));
  TStgMedium m;
  // A request for global memory or a stream is answered in global memory.
  TFormatEtc f = Format(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM);
  ASSERT_EQ(d->GetData(&f, &m), S_OK);
  EXPECT_EQ(m.Tymed, TYMED_HGLOBAL);
  ASSERT_TRUE(m.HGlobal);
  EXPECT_EQ(m.HGlobal->Size(), text.size() + 1);
  EXPECT_EQ(m.HGlobal->View(), text + std::string(1, '\0'));
  EXPECT_EQ(m.UnkForRelease, nullptr);
  ReleaseStgMedium(m);
  EXPECT_FALSE(m.HGlobal);
  EXPECT_EQ(m.Tymed, TYMED_NULL);

  // A format it does not hold clears the medium and fails.
  m.Tymed = TYMED_FILE;
  EXPECT_EQ(d->GetData(&kFilesFormatEtc, &m), DV_E_FORMATETC);
  EXPECT_EQ(m.Tymed, TYMED_NULL);
  // Writing into the caller's memory is not offered.
  EXPECT_EQ(d->GetDataHere(&kTextFormatEtc, &m), E_NOTIMPL);
}

TEST_F(Objects, TheDataObjectsFixedAnswers) {
  TComPtr<TTextDataObject> d(new TTextDataObject("x"));
  TDvTargetDevice* device = reinterpret_cast<TDvTargetDevice*>(uintptr_t{8});
  TFormatEtc in{CF_TEXT, device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, out{};
  EXPECT_EQ(d->GetCanonicalFormatEtc(&in, &out), DATA_S_SAMEFORMATETC);
  EXPECT_EQ(out.Ptd, nullptr);
  EXPECT_EQ(out.CfFormat, CF_TEXT);
  TStgMedium m;
  EXPECT_EQ(d->SetData(&in, &m, false), E_NOTIMPL);
  uint32_t connection = 5;
  EXPECT_EQ(d->DAdvise(&in, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(d->DUnadvise(1), OLE_E_ADVISENOTSUPPORTED);
  IUnknown* advise = d.Get();
  EXPECT_EQ(d->EnumDAdvise(&advise), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(advise, nullptr);

  IEnumFormatEtc* e = reinterpret_cast<IEnumFormatEtc*>(d.Get());
  EXPECT_EQ(d->EnumFormatEtc(DATADIR_SET, &e), E_NOTIMPL);
  EXPECT_EQ(e, nullptr);
  ASSERT_EQ(d->EnumFormatEtc(DATADIR_GET, &e), S_OK);
  TComPtr<IEnumFormatEtc> owned = TComPtr<IEnumFormatEtc>::Adopt(e);
  TFormatEtc f[2];
  uint32_t fetched = 0;
  EXPECT_EQ(e->Next(2, f, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(f[0], kTextFormatEtc);
}

// A data object whose rendering throws.
class Throwing : public TDataObject {
public:
  Throwing() { FormatEtcList().Add(kTextFormatEtc); }

protected:
  HRESULT RenderData(const TFormatEtc&, TStgMedium&, bool) override {
    throw std::runtime_error("boom");
  }
};

TEST_F(Objects, AnExceptionInsideRenderingBecomesUnexpected) {
  TComPtr<Throwing> d(new Throwing);
  TStgMedium m;
  EXPECT_EQ(d->GetData(&kTextFormatEtc, &m), E_UNEXPECTED);
  EXPECT_FALSE(m.HGlobal);
}

TEST_F(Objects, ObjectsLiveAsLongAsTheirLastReference) {
  const long before = TRefObject::LiveObjects();
  auto* d = new TTextDataObject("x");
  EXPECT_EQ(d->RefCount(), 0u);
  EXPECT_EQ(d->AddRef(), 1u);
  void* asData = nullptr;
  ASSERT_EQ(d->QueryInterface(TIid::DataObject, &asData), S_OK);
  EXPECT_EQ(static_cast<IDataObject*>(asData), static_cast<IDataObject*>(d));
  EXPECT_EQ(d->RefCount(), 2u);
  void* none = d;
  EXPECT_EQ(d->QueryInterface(TIid::DropTarget, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(d->Release(), 1u);
  EXPECT_EQ(TRefObject::LiveObjects(), before + 1);
  EXPECT_EQ(d->Release(), 0u);
  EXPECT_EQ(TRefObject::LiveObjects(), before);
}

TEST(OleModule, OnlyTheFirstStartAndTheLastEndAct) {
  while (OleStarted())
    OleEnd(); // whatever other tests left
  EXPECT_TRUE(OleStart());
  EXPECT_FALSE(OleStart());
  EXPECT_FALSE(OleEnd());
  EXPECT_TRUE(OleStarted());
  EXPECT_TRUE(OleEnd());
  EXPECT_FALSE(OleStarted());
  EXPECT_FALSE(OleEnd()); // an end too many does nothing
}

// ---------------------------------------------------------------- drop source

TEST_F(Objects, TheDropSourceCancelsDropsOrGoesOn) {
  TComPtr<TDropSource> s(new TDropSource);
  EXPECT_EQ(s->QueryContinueDrag(false, MK_LBUTTON), S_OK);
  EXPECT_EQ(s->QueryContinueDrag(false, MK_LBUTTON | MK_CONTROL), S_OK);
  EXPECT_EQ(s->QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(s->QueryContinueDrag(false, MK_CONTROL), DRAGDROP_S_DROP);
  EXPECT_EQ(s->QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(s->QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(s->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);
}

// ---------------------------------------------------------------- drop targets

struct Call {
  std::string what;
  IDataObject* data;
  uint32_t keyState;
  TPointL pt;
};

// A handler that records its calls and can set the effect; it counts its
// references like any object.
class Handler : public TRefObject, public IDropHandler {
public:
  std::vector<Call> calls;
  uint32_t setEffect = 0xFFFF; // leave as given

  void DragEnter(IDataObject* d, uint32_t k, uint32_t& e, TPointL pt) override {
    Note("enter", d, k, e, pt);
  }
  void DragOver(IDataObject* d, uint32_t k, uint32_t& e, TPointL pt) override {
    Note("over", d, k, e, pt);
  }
  void Drop(IDataObject* d, uint32_t k, uint32_t& e, TPointL pt) override {
    Note("drop", d, k, e, pt);
  }
  void DragLeave(IDataObject* d) override { calls.push_back({"leave", d, 0, {}}); }

private:
  void Note(const char* what, IDataObject* d, uint32_t k, uint32_t& e, TPointL pt) {
    calls.push_back({what, d, k, pt});
    if (setEffect != 0xFFFF) e = setEffect;
  }
};

TComPtr<TEventsDropTarget> FilesThenText(IDropHandler* h) {
  TComPtr<TEventsDropTarget> t(new TEventsDropTarget(h));
  t->FormatEtcList().Add(kFilesFormatEtc);
  t->FormatEtcList().Add(kTextFormatEtc);
  return t;
}

TEST_F(Objects, ATargetHoldsTheDragsDataFromEnterToDrop) {
  TComPtr<Handler> h(new Handler);
  TComPtr<TEventsDropTarget> t = FilesThenText(h.Get());
  TComPtr<TTextDataObject> d(new TTextDataObject("x"));
  EXPECT_EQ(d->RefCount(), 1u);
  uint32_t effect = DROPEFFECT_MOVE;
  EXPECT_EQ(t->DragEnter(d.Get(), MK_LBUTTON, {3, 4}, &effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(t->DataObject(), d.Get());
  EXPECT_EQ(d->RefCount(), 2u);
  effect = 0;
  EXPECT_EQ(t->DragOver(MK_LBUTTON | MK_CONTROL, {5, 6}, &effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  // The drop goes to the data object remembered at the enter.
  TComPtr<TTextDataObject> other(new TTextDataObject("y"));
  EXPECT_EQ(t->Drop(other.Get(), 0, {7, 8}, &effect), S_OK);
  EXPECT_EQ(t->DataObject(), nullptr);
  EXPECT_EQ(d->RefCount(), 1u);
  ASSERT_EQ(h->calls.size(), 3u);
  EXPECT_EQ(h->calls[0].what, "enter");
  EXPECT_EQ(h->calls[0].pt, (TPointL{3, 4}));
  EXPECT_EQ(h->calls[1].what, "over");
  EXPECT_EQ(h->calls[1].keyState, MK_LBUTTON | MK_CONTROL);
  EXPECT_EQ(h->calls[2].what, "drop");
  EXPECT_EQ(h->calls[2].data, static_cast<IDataObject*>(d.Get()));
  EXPECT_EQ(h->calls[2].pt, (TPointL{7, 8}));
}

TEST_F(Objects, TheHandlerMayChangeTheEffectAndLeaveForgetsTheData) {
  TComPtr<Handler> h(new Handler);
  TComPtr<TEventsDropTarget> t = FilesThenText(h.Get());
  TComPtr<TTextDataObject> d(new TTextDataObject("x"));
  h->setEffect = DROPEFFECT_MOVE;
  uint32_t effect = 0;
  t->DragEnter(d.Get(), 0, {}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_EQ(t->DragLeave(), S_OK);
  EXPECT_EQ(t->DataObject(), nullptr);
  EXPECT_EQ(d->RefCount(), 1u);
  ASSERT_EQ(h->calls.size(), 2u);
  EXPECT_EQ(h->calls[1].what, "leave");
  EXPECT_EQ(h->calls[1].data, static_cast<IDataObject*>(d.Get()));
  // A second leave has nothing to report.
  t->DragLeave();
  EXPECT_EQ(h->calls.size(), 2u);
}

TEST_F(Objects, ADragWithNoAcceptedFormatGetsNoEffectAndNoCalls) {
  TComPtr<Handler> h(new Handler);
  TComPtr<TEventsDropTarget> t(new TEventsDropTarget(h.Get()));
  t->FormatEtcList().Add(kFilesFormatEtc); // files only
  TComPtr<TTextDataObject> d(new TTextDataObject("x"));
  uint32_t effect = DROPEFFECT_COPY;
  t->DragEnter(d.Get(), 0, {}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  effect = DROPEFFECT_COPY;
  t->DragOver(0, {}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  effect = DROPEFFECT_COPY;
  t->Drop(d.Get(), 0, {}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  t->DragLeave();
  EXPECT_TRUE(h->calls.empty());
  EXPECT_EQ(d->RefCount(), 1u);
}

TEST_F(Objects, ADataObjectOfferingBothIsRememberedForTheFirstAcceptedFormat) {
  // Both formats: the target takes it (for files, its first choice).
  class Both : public TTextDataObject {
  public:
    Both() : TTextDataObject("t") { FormatEtcList().Add(kFilesFormatEtc); }
  };
  TComPtr<Both> d(new Both);
  TFormatEtcList prefs;
  prefs.Add(kFilesFormatEtc);
  prefs.Add(kTextFormatEtc);
  EXPECT_EQ(FirstAvailableFormat(d.Get(), prefs), 0);
  TComPtr<TTextDataObject> text(new TTextDataObject("t"));
  EXPECT_EQ(FirstAvailableFormat(text.Get(), prefs), 1);
  EXPECT_EQ(FirstAvailableFormat(nullptr, prefs), -1);
}

TEST_F(Objects, PlainTargetsFireTheirEventsWithThePointByValue) {
  TComPtr<TDropTarget> t(new TDropTarget);
  t->FormatEtcList().Add(kTextFormatEtc);
  std::vector<std::string> seen;
  t->OnDragEnter = [&](IDataObject*, uint32_t, uint32_t& e, TPointL pt) {
    seen.push_back("enter " + std::to_string(pt.X));
    e = DROPEFFECT_NONE;
  };
  t->OnDrop = [&](IDataObject*, uint32_t, uint32_t&, TPointL pt) {
    seen.push_back("drop " + std::to_string(pt.Y));
  };
  // No OnDragOver: the effect stays copy.
  TComPtr<TTextDataObject> d(new TTextDataObject("x"));
  uint32_t effect = 0;
  t->DragEnter(d.Get(), 0, {11, 12}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  t->DragOver(0, {11, 12}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  t->Drop(d.Get(), 0, {11, 12}, &effect);
  EXPECT_EQ(seen, (std::vector<std::string>{"enter 11", "drop 12"}));
}

TEST_F(Objects, DestroyingAnEventsTargetReleasesItsHandler) {
  TComPtr<Handler> h(new Handler);
  {
    TComPtr<TEventsDropTarget> t(new TEventsDropTarget(h.Get()));
    EXPECT_EQ(h->RefCount(), 2u);
    TComPtr<TEventsDropTarget> t2(new TEventsDropTarget);
    t2->SetHandler(h.Get());
    EXPECT_EQ(h->RefCount(), 3u);
    t2->SetHandler(nullptr);
    EXPECT_EQ(h->RefCount(), 2u);
  }
  EXPECT_EQ(h->RefCount(), 1u);
}

// ---------------------------------------------------------------- dropped files

TEST(DroppedFiles, TheBlockListsEveryNameInOrder) {
  auto block = MakeDropFiles({"/tmp/a.txt", "/home/u/メモ.txt", "/x"});
  EXPECT_EQ(DragQueryFileCount(block.get()), 3);
  EXPECT_EQ(DragQueryFile(block.get(), 1), "/home/u/メモ.txt");
  EXPECT_EQ(DragQueryFile(block.get(), 3), "");
  EXPECT_EQ(DragQueryFile(block.get(), -1), "");
  EXPECT_EQ(ListDroppedFiles(block.get()),
            (std::vector<std::string>{"/tmp/a.txt", "/home/u/メモ.txt", "/x"}));
  EXPECT_EQ(DragQueryFileCount(nullptr), 0);
  EXPECT_EQ(DragQueryFileCount(MakeDropFiles({}).get()), 0);
}

TEST(DroppedFiles, ABlockWithoutItsClosingNulsIsReadToItsEndOnly) {
  // The last name runs to the end of the block, not into what follows it
  // in memory.
  const std::string bytes = std::string("/a\0/bc", 6);
  auto block = TGlobalMemory::From(bytes);
  EXPECT_EQ(ListDroppedFiles(block.get()), (std::vector<std::string>{"/a", "/bc"}));
}

TEST_F(Objects, AFilesDataObjectRendersItsBlock) {
  TComPtr<TFilesDataObject> d(new TFilesDataObject({"/p/q", "/r"}));
  EXPECT_EQ(d->QueryGetData(&kTextFormatEtc), DV_E_FORMATETC);
  TStgMedium m;
  ASSERT_EQ(d->GetData(&kFilesFormatEtc, &m), S_OK);
  EXPECT_EQ(ListDroppedFiles(m.HGlobal.get()), (std::vector<std::string>{"/p/q", "/r"}));
  ReleaseStgMedium(m);
}

} // namespace
} // namespace ze
