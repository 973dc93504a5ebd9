// The drag-and-drop editor on a headless window. A scripted drag loop
// plays the user's part: it carries the editor's own drag over targets
// and drops it, or drops it somewhere else.
#include <functional>
#include <gtest/gtest.h>

#include "dragdrop/OleddEditor.h"
#include "tests/support/HeadlessHost.h"
#include "text/Classes.h"

namespace ze {
namespace {

// Runs the drag by calling script with the drag's data; counts the drags.
class ScriptedLoop : public TDragDropLoop {
public:
  std::function<uint32_t(IDataObject*)> script;
  int drags = 0;
  uint32_t okEffects = 0;
  std::string text; // what the drag carried as text

  HRESULT DoDragDrop(IDataObject* data, IDropSource* source, uint32_t ok,
                     uint32_t* effect) override {
    ++drags;
    okEffects = ok;
    TStgMedium m;
    if (data->GetData(&kTextFormatEtc, &m) == S_OK) text = m.HGlobal->Data();
    ReleaseStgMedium(m);
    // The source ends the drag when the button goes up.
    EXPECT_EQ(source->QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    *effect = script ? script(data) : DROPEFFECT_NONE;
    return DRAGDROP_S_DROP;
  }
};

// A data object offering text and files, or a block of raw bytes as text.
class Foreign : public TDataObject {
public:
  std::string textBlock; // the whole block, as given
  std::vector<std::string> files;
  Foreign(std::string block, std::vector<std::string> names)
      : textBlock(std::move(block)), files(std::move(names)) {
    if (!files.empty()) FormatEtcList().Add(kFilesFormatEtc);
    if (!textBlock.empty()) FormatEtcList().Add(kTextFormatEtc);
  }

protected:
  HRESULT RenderData(const TFormatEtc& f, TStgMedium& m, bool) override {
    m.HGlobal = f.CfFormat == CF_HDROP ? MakeDropFiles(files) : TGlobalMemory::From(textBlock);
    m.Tymed = TYMED_HGLOBAL;
    return S_OK;
  }
};

struct OleddEditor : ::testing::Test {
  test::THeadlessHost host{640, 480};
  std::unique_ptr<TOleddEditor> editor = Create<TOleddEditor>(nullptr);
  TOleddEditor& e = *editor;
  ScriptedLoop loop;
  long live = TRefObject::LiveObjects();

  OleddEditor() {
    TEditor::DefaultClipboard().Clear();
    host.onSetFocus = [this] {
      host.focused = true;
      e.FocusIn();
    };
    e.SetHost(&host);
    e.SetDragDropLoop(&loop);
    e.Caret()->SetSelDragMode(dmManual);
  }
  ~OleddEditor() override {
    e.SetHost(nullptr);
    EXPECT_EQ(TRefObject::LiveObjects(), live); // no drag's objects left over
  }

  std::string All() const { return e.Lines()->Text().str(); }
  // A point inside the cell of (row, col).
  TPointL At(int row, int col) const {
    return {e.TextLeft() + (col - e.TopCol()) * e.ColWidth() + 1,
            e.TextTop() + (row - e.TopRow()) * e.RowHeight() + 4};
  }
  void Select(int r0, int c0, int r1, int c1) {
    e.SetRowCol(r0, c0);
    e.StartSelection();
    e.SetRowCol(r1, c1);
    e.ExtendSelection();
  }
  void Press(int row, int col, TShiftState shift = 0) {
    const TPointL p = At(row, col);
    host.leftButton = true;
    e.MouseDown(p.X, p.Y, shift | ssLeft);
    host.leftButton = false;
  }
  // The drop target as the window forwards to it: enter and move over
  // (row, col), then drop there.
  uint32_t DragTo(IDataObject* data, int row, int col, uint32_t keyState = 0) {
    IDropTarget* t = e.DropTarget();
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    t->DragEnter(data, keyState | MK_LBUTTON, At(row, col), &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    t->DragOver(keyState | MK_LBUTTON, At(row, col), &effect);
    const uint32_t over = effect;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    t->Drop(data, keyState, At(row, col), &effect);
    EXPECT_EQ(effect, over); // the drop reports what the move promised
    return effect;
  }
};

// ---------------------------------------------------------------- within one editor

TEST_F(OleddEditor, DraggingTheSelectionWithinTheEditorMovesIt) {
  e.Lines()->SetText("hello world\r\nsecond\r\n");
  Select(0, 0, 0, 5); // "hello"
  loop.script = [&](IDataObject* d) { return DragTo(d, 1, 6); };
  Press(0, 2);
  EXPECT_EQ(loop.drags, 1);
  EXPECT_EQ(loop.text, "hello");
  EXPECT_EQ(loop.okEffects, DROPEFFECT_COPY | DROPEFFECT_MOVE);
  EXPECT_EQ(All(), " world\r\nsecondhello\r\n");
  EXPECT_FALSE(e.OwnDragActive());
  EXPECT_EQ(e.OwnDragData(), nullptr);
  EXPECT_FALSE(e.MouseBusy()); // the press ended for the editor
}

TEST_F(OleddEditor, WithCtrlTheDropCopiesTheSelection) {
  e.Lines()->SetText("abc def\r\n");
  Select(0, 4, 0, 7); // "def"
  uint32_t effect = 0;
  loop.script = [&](IDataObject* d) { return effect = DragTo(d, 0, 0, MK_CONTROL); };
  Press(0, 5);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(All(), "defabc def\r\n");
  EXPECT_EQ(e.SelectionState(), sstNone);
}

TEST_F(OleddEditor, WithoutCtrlTheOwnDragIsAMove) {
  e.Lines()->SetText("abc def\r\n");
  Select(0, 4, 0, 7);
  uint32_t effect = 0;
  loop.script = [&](IDataObject* d) { return effect = DragTo(d, 0, 0); };
  Press(0, 5);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_EQ(All(), "defabc \r\n");
}

TEST_F(OleddEditor, DroppingTheSelectionOntoItselfOnlyRemovesTheHighlight) {
  e.Lines()->SetText("abc def\r\n");
  Select(0, 4, 0, 7);
  loop.script = [&](IDataObject* d) { return DragTo(d, 0, 5); };
  Press(0, 4);
  EXPECT_EQ(All(), "abc def\r\n");
  EXPECT_EQ(e.SelectionState(), sstNone);
  EXPECT_FALSE(e.Modified());
}

// ---------------------------------------------------------------- out to others

TEST_F(OleddEditor, TextDraggedOutStaysAndTheCaretGoesBack) {
  e.Lines()->SetText("one two\r\nthree\r\n");
  Select(0, 0, 0, 3);
  const int row = e.Row(), col = e.Col(); // (0, 3), before the press
  loop.script = [&](IDataObject* d) {
    // Over this editor first, then out, then dropped in another program.
    uint32_t effect = DROPEFFECT_COPY;
    e.DropTarget()->DragEnter(d, MK_LBUTTON, At(1, 2), &effect);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(e.Row(), 1);
    e.DropTarget()->DragLeave();
    return DROPEFFECT_MOVE; // the other program asked for a move
  };
  Press(0, 1);
  EXPECT_EQ(loop.drags, 1);
  EXPECT_EQ(All(), "one two\r\nthree\r\n");
  EXPECT_EQ(e.Row(), row);
  EXPECT_EQ(e.Col(), col);
  EXPECT_FALSE(e.OwnDragActive());
}

TEST_F(OleddEditor, TextDraggedToAnotherEditorIsCopiedThereAndStaysHere) {
  auto other = Create<TOleddEditor>(nullptr);
  test::THeadlessHost otherHost{640, 480};
  other->SetHost(&otherHost);
  other->Lines()->SetText("xyz\r\n");
  e.Lines()->SetText("move me\r\n");
  Select(0, 0, 0, 4);
  uint32_t effect = 0;
  loop.script = [&](IDataObject* d) {
    IDropTarget* t = other->DropTarget();
    t->DragEnter(d, MK_LBUTTON, At(0, 1), &effect);
    t->Drop(d, 0, At(0, 1), &effect);
    return effect;
  };
  Press(0, 1);
  EXPECT_EQ(effect, DROPEFFECT_COPY); // not this editor's own drag there
  EXPECT_EQ(other->Lines()->Text().str(), "xmoveyz\r\n");
  EXPECT_EQ(All(), "move me\r\n");
  other->SetHost(nullptr);
}

// ---------------------------------------------------------------- when no drag starts

TEST_F(OleddEditor, NoDragStartsInAutomaticModeOrOutsideTheSelection) {
  e.Lines()->SetText("abc def\r\n");
  e.Caret()->SetSelDragMode(dmAutomatic);
  Select(0, 4, 0, 7);
  Press(0, 5);
  EXPECT_EQ(loop.drags, 0);
  EXPECT_EQ(e.DragState(), dsPending); // the editor's own drag instead
  e.MouseUp(At(0, 5).X, At(0, 5).Y, 0);

  e.Caret()->SetSelDragMode(dmManual);
  Select(0, 4, 0, 7);
  Press(0, 1); // outside
  EXPECT_EQ(loop.drags, 0);
  e.MouseUp(At(0, 1).X, At(0, 1).Y, 0);

  Select(0, 4, 0, 7);
  e.SetReadOnly(true);
  Press(0, 5);
  EXPECT_EQ(loop.drags, 0);
  e.MouseUp(At(0, 5).X, At(0, 5).Y, 0);
  e.SetReadOnly(false);

  e.Caret()->SetSelMove(false);
  Select(0, 4, 0, 7);
  Press(0, 5);
  EXPECT_EQ(loop.drags, 0);
  e.MouseUp(At(0, 5).X, At(0, 5).Y, 0);
  e.Caret()->SetSelMove(true);

  // A box selection is not dragged.
  e.SetSelectionMode(smBox);
  Select(0, 4, 0, 7);
  Press(0, 5);
  EXPECT_EQ(loop.drags, 0);
  e.MouseUp(At(0, 5).X, At(0, 5).Y, 0);
  e.SetSelectionMode(smNormal);

  Select(0, 4, 0, 7);
  Press(0, 5);
  EXPECT_EQ(loop.drags, 1); // and with everything in place it does
}

TEST_F(OleddEditor, AShiftClickBeforeTheAnchorExtendsInsteadOfDragging) {
  e.Lines()->SetText("abcdefgh\r\n");
  Select(0, 6, 0, 4); // caret at 4, anchor at 6
  EXPECT_EQ(e.SelText(), "ef");
  Press(0, 2, ssShift);
  EXPECT_EQ(loop.drags, 0);
  EXPECT_EQ(e.SelText(), "cdef");
  e.MouseUp(At(0, 2).X, At(0, 2).Y, 0);
}

// ---------------------------------------------------------------- dropped in from elsewhere

TEST_F(OleddEditor, ForeignTextIsInsertedWhereItIsDropped) {
  e.Lines()->SetText("abc\r\ndef\r\n");
  TComPtr<Foreign> d(new Foreign(std::string("XY\0junk", 7), {}));
  EXPECT_EQ(DragTo(d.Get(), 1, 1), DROPEFFECT_COPY);
  EXPECT_EQ(All(), "abc\r\ndXYef\r\n");
  EXPECT_TRUE(host.focused); // the drag gave the editor the focus
}

TEST_F(OleddEditor, ForeignTextDroppedOnTheSelectionReplacesNothingButLandsAtTheCaret) {
  e.Lines()->SetText("abcdef\r\n");
  Select(0, 1, 0, 4);
  TComPtr<Foreign> d(new Foreign("Z", {}));
  DragTo(d.Get(), 0, 2);
  EXPECT_EQ(All(), "abZcdef\r\n");
}

TEST_F(OleddEditor, TextWithoutANulIsReadNoFurtherThanItsBlock) {
  e.Lines()->SetText("\r\n");
  // The block ends right after the text: reading to a NUL would run past
  // it (the sanitizer build reports that).
  auto block = TGlobalMemory::From("abc");
  e.DropText(*block, false, At(0, 0), false);
  EXPECT_EQ(All(), "abc\r\n");
  // A NUL inside ends the text there.
  e.DropText(*TGlobalMemory::From(std::string("12\0"
                                              "34",
                                              5)),
             false, At(0, 0), false);
  EXPECT_EQ(All(), "abc12\r\n"); // at the caret, after the first text
}

TEST_F(OleddEditor, DraggingOverAndLeavingRestoresTheCaret) {
  e.Lines()->SetText("first\r\nsecond\r\nthird\r\n");
  e.SetRowCol(2, 4);
  TComPtr<Foreign> d(new Foreign("q", {}));
  uint32_t effect = 0;
  e.DropTarget()->DragEnter(d.Get(), MK_LBUTTON, At(0, 1), &effect);
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 1);
  e.DropTarget()->DragOver(MK_LBUTTON, At(1, 3), &effect);
  EXPECT_EQ(e.Row(), 1);
  e.DropTarget()->DragLeave();
  EXPECT_EQ(e.Row(), 2);
  EXPECT_EQ(e.Col(), 4);
  EXPECT_EQ(All(), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(OleddEditor, AReadOnlyEditorTakesNoTextAndSaysSo) {
  e.Lines()->SetText("abc\r\n");
  e.SetRowCol(0, 3);
  e.SetReadOnly(true);
  TComPtr<Foreign> d(new Foreign("XY", {}));
  uint32_t effect = DROPEFFECT_COPY;
  e.DropTarget()->DragEnter(d.Get(), MK_LBUTTON, At(0, 1), &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(e.Col(), 3); // nothing would land: the caret stays
  effect = DROPEFFECT_COPY;
  e.DropTarget()->Drop(d.Get(), 0, At(0, 1), &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(All(), "abc\r\n");
  EXPECT_FALSE(e.Modified());
}

TEST_F(OleddEditor, FilesArePreferredOverTextAndReportedNotInserted) {
  e.Lines()->SetText("abc\r\n");
  std::vector<std::string> got;
  uint32_t keys = 0;
  TPointL where{};
  int calls = 0;
  e.OnDropFiles = [&](TObject* sender, HDROP drop, uint32_t keyState, TPointL pt) {
    EXPECT_EQ(sender, &e);
    ++calls;
    got = ListDroppedFiles(drop);
    keys = keyState;
    where = pt;
  };
  TComPtr<Foreign> d(new Foreign("text too", {"/tmp/one.txt", "/tmp/two.txt"}));
  EXPECT_EQ(DragTo(d.Get(), 0, 2, MK_SHIFT), DROPEFFECT_COPY);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(got, (std::vector<std::string>{"/tmp/one.txt", "/tmp/two.txt"}));
  EXPECT_EQ(keys, MK_SHIFT);
  EXPECT_EQ(where, At(0, 2));
  EXPECT_EQ(All(), "abc\r\n");

  // Files still open from a read-only editor: nothing of its text changes.
  e.SetReadOnly(true);
  EXPECT_EQ(DragTo(d.Get(), 0, 1), DROPEFFECT_COPY);
  EXPECT_EQ(calls, 2);
}

TEST_F(OleddEditor, TheWindowsConversionOfPointsIsUsed) {
  e.Lines()->SetText("abcdef\r\n");
  // The target hears screen points; the window is 100 pixels in.
  e.ScreenToClient = [](TPointL p) { return TPointL{p.X - 100, p.Y - 50}; };
  auto screen = [&](int row, int col) {
    TPointL p = At(row, col);
    return TPointL{p.X + 100, p.Y + 50};
  };
  TComPtr<Foreign> d(new Foreign("Q", {}));
  uint32_t effect = 0;
  e.DropTarget()->DragEnter(d.Get(), MK_LBUTTON, screen(0, 4), &effect);
  EXPECT_EQ(e.Col(), 4);
  e.DropTarget()->Drop(d.Get(), 0, screen(0, 4), &effect);
  EXPECT_EQ(All(), "abcdQef\r\n");
}

TEST_F(OleddEditor, TheEditorIsTheHandlerOfItsTargetWhichAcceptsFilesThenText) {
  auto* t = static_cast<TEventsDropTarget*>(e.DropTarget());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Handler(), static_cast<IDropHandler*>(&e));
  ASSERT_EQ(t->FormatEtcList().Count(), 2);
  EXPECT_EQ(t->FormatEtcList().Get(0), kFilesFormatEtc);
  EXPECT_EQ(t->FormatEtcList().Get(1), kTextFormatEtc);
  void* h = nullptr;
  EXPECT_EQ(e.QueryInterface(TIid::DropHandler, &h), S_OK);
  EXPECT_EQ(h, static_cast<void*>(static_cast<IDropHandler*>(&e)));
}

} // namespace
} // namespace ze
