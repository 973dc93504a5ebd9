// Drag and drop on real Qt widgets (offscreen), through the drag events Qt
// delivers: drags inside one editor, text and files from other programs,
// the text a drag out offers, and the main window's drop target.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTabBar>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "dragdrop/qt/OleddEditorWidget.h"
#include "dragdrop/qt/WindowDropTarget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

const std::string kKan = "\x8A\xBF"; // 漢 in CP932

struct Answer {
  bool enterAccepted = false, moveAccepted = false, dropAccepted = false;
  Qt::DropAction action = Qt::IgnoreAction;
};

// Sends a drag's enter, move and drop to a widget at pos, as Qt delivers
// them to the widget under the pointer.
Answer SendDrag(QWidget* to, QPoint pos, const QMimeData* mime,
                Qt::KeyboardModifiers mods = Qt::NoModifier,
                Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
  Answer a;
  QDragEnterEvent enter(pos, actions, mime, Qt::LeftButton, mods);
  QApplication::sendEvent(to, &enter);
  a.enterAccepted = enter.isAccepted();
  QDragMoveEvent move(pos, actions, mime, Qt::LeftButton, mods);
  QApplication::sendEvent(to, &move);
  a.moveAccepted = move.isAccepted();
  QDropEvent drop(pos, actions, mime, Qt::NoButton, mods);
  QApplication::sendEvent(to, &drop);
  a.dropAccepted = drop.isAccepted();
  a.action = drop.dropAction();
  return a;
}

// The Qt drag loop with the drag played by events: the mime data the
// loop made is dragged to a point of a widget and dropped there.
class EventLoop : public TQtDragDropLoop {
public:
  using TQtDragDropLoop::TQtDragDropLoop;
  QWidget* target = nullptr;
  QPoint pos;
  Qt::KeyboardModifiers mods = Qt::NoModifier;
  QString offeredText;
  Answer answer;
  int drags = 0;

protected:
  Qt::DropAction RunDrag(QMimeData* mime, Qt::DropActions actions) override {
    ++drags;
    offeredText = mime->text();
    if (target) answer = SendDrag(target, pos, mime, mods, actions);
    delete mime;
    return answer.dropAccepted ? answer.action : Qt::IgnoreAction;
  }
};

struct DragDropWidget : ::testing::Test {
  std::unique_ptr<QWidget> window;
  TOleddEditorWidget* w = nullptr;
  QLineEdit* other = nullptr;
  TOleddEditor* e = nullptr;
  std::unique_ptr<EventLoop> loop;

  DragDropWidget() {
    test::App();
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    w = new TOleddEditorWidget;
    other = new QLineEdit;
    layout->addWidget(w);
    layout->addWidget(other);
    window->resize(640, 400);
    window->show();
    QApplication::processEvents();
    e = w->OleddEditor();
    e->Caret()->SetSelDragMode(dmManual);
    loop = std::make_unique<EventLoop>(w->viewport());
    w->SetDragDropLoop(loop.get());
  }
  ~DragDropWidget() override { w->SetDragDropLoop(nullptr); }

  QPoint Cell(int row, int col) const {
    return QPoint(e->TextLeft() + (col - e->TopCol()) * e->ColWidth() + 1,
                  e->TextTop() + (row - e->TopRow()) * e->RowHeight() + 4);
  }
  std::string All() const { return e->Lines()->Text().str(); }
  void Select(int r0, int c0, int r1, int c1) {
    e->SetRowCol(r0, c0);
    e->StartSelection();
    e->SetRowCol(r1, c1);
    e->ExtendSelection();
  }
  // Presses the left button at (row, col): inside the selection this
  // starts the drag the loop plays.
  void Press(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mousePress(w->viewport(), Qt::LeftButton, mods, Cell(row, col));
    QTest::mouseRelease(w->viewport(), Qt::LeftButton, mods, Cell(row, col));
  }
  void DragOwnTo(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    loop->target = w->viewport();
    loop->pos = Cell(row, col);
    loop->mods = mods;
  }
};

TEST_F(DragDropWidget, DraggingInsideTheEditorMovesTheText) {
  e->Lines()->SetText("alpha beta\r\ngamma\r\n");
  Select(0, 6, 0, 10); // "beta"
  DragOwnTo(1, 5);
  Press(0, 7);
  EXPECT_EQ(loop->drags, 1);
  EXPECT_EQ(loop->offeredText, "beta");
  EXPECT_TRUE(loop->answer.dropAccepted);
  EXPECT_EQ(loop->answer.action, Qt::MoveAction);
  EXPECT_EQ(All(), "alpha \r\ngammabeta\r\n");
}

TEST_F(DragDropWidget, WithCtrlTheDragCopies) {
  e->Lines()->SetText("alpha beta\r\n");
  Select(0, 0, 0, 5); // "alpha"
  DragOwnTo(0, 10, Qt::ControlModifier);
  Press(0, 1);
  EXPECT_EQ(loop->answer.action, Qt::CopyAction);
  EXPECT_EQ(All(), "alpha betaalpha\r\n");
}

TEST_F(DragDropWidget, DroppingOntoTheSelectionChangesNothing) {
  e->Lines()->SetText("alpha beta\r\n");
  Select(0, 0, 0, 5);
  DragOwnTo(0, 2);
  Press(0, 1);
  EXPECT_EQ(loop->drags, 1);
  EXPECT_EQ(All(), "alpha beta\r\n");
  EXPECT_EQ(e->SelectionState(), sstNone);
}

TEST_F(DragDropWidget, ADragOutOffersUtf8TextAndTheDataObjectItself) {
  TComPtr<TTextDataObject> d(new TTextDataObject(kKan + "x\r\ny"));
  TDataObjectMime mime(d.Get());
  EXPECT_EQ(mime.text(), QString::fromUtf8("漢x\ny"));
  EXPECT_TRUE(mime.hasFormat("text/plain"));
  // Dropped back into this program, the drag is recognised as the same.
  EXPECT_EQ(DataObjectFromMime(&mime).Get(), static_cast<IDataObject*>(d.Get()));
  // Text dragged out stays: nothing is dropped anywhere here.
  e->Lines()->SetText("keep\r\n");
  Select(0, 0, 0, 4);
  loop->target = nullptr;
  Press(0, 1);
  EXPECT_EQ(loop->drags, 1);
  EXPECT_EQ(All(), "keep\r\n");
}

TEST_F(DragDropWidget, Utf8TextFromAnotherProgramArrivesAsShiftJis) {
  e->Lines()->SetText("[]\r\n");
  QMimeData mime;
  // A snowman and an e-acute have no CP932 form: they show as '?'.
  mime.setText(QString::fromUtf8("漢字☃é\nnext"));
  const Answer a = SendDrag(w->viewport(), Cell(0, 1), &mime);
  EXPECT_TRUE(a.enterAccepted);
  EXPECT_TRUE(a.dropAccepted);
  EXPECT_EQ(a.action, Qt::CopyAction);
  EXPECT_EQ(All(), "[" + kKan + "\x8E\x9A??\r\nnext]\r\n");
}

TEST_F(DragDropWidget, AReadOnlyEditorRefusesTextWithNoEffect) {
  e->Lines()->SetText("abc\r\n");
  e->SetReadOnly(true);
  QMimeData mime;
  mime.setText("zz");
  const Answer a = SendDrag(w->viewport(), Cell(0, 1), &mime);
  EXPECT_FALSE(a.moveAccepted);
  EXPECT_FALSE(a.dropAccepted);
  EXPECT_EQ(a.action, Qt::IgnoreAction);
  EXPECT_EQ(All(), "abc\r\n");
}

TEST_F(DragDropWidget, FilesArePreferredOverTextAndReportedTwoAtATime) {
  test::TempDir dir;
  const std::string a = dir.File("a.txt"), b = dir.File("b メモ.txt");
  test::WriteFile(a, "A");
  test::WriteFile(b, "B");
  e->Lines()->SetText("abc\r\n");
  std::vector<std::string> got;
  int calls = 0;
  e->OnDropFiles = [&](TObject*, HDROP drop, uint32_t, TPointL pt) {
    ++calls;
    got = ListDroppedFiles(drop);
    EXPECT_EQ(pt, (TPointL{Cell(0, 2).x(), Cell(0, 2).y()})); // client coordinates
  };
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)),
                QUrl::fromLocalFile(QString::fromUtf8(b.c_str()))});
  mime.setText("the names as text");
  const Answer r = SendDrag(w->viewport(), Cell(0, 2), &mime);
  EXPECT_TRUE(r.dropAccepted);
  EXPECT_EQ(r.action, Qt::CopyAction);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(got, (std::vector<std::string>{a, b}));
  EXPECT_EQ(All(), "abc\r\n");
}

TEST_F(DragDropWidget, ABrowserLinkWithTextIsDroppedAsText) {
  e->Lines()->SetText("\r\n");
  int calls = 0;
  e->OnDropFiles = [&](TObject*, HDROP, uint32_t, TPointL) { ++calls; };
  QMimeData mime;
  mime.setUrls({QUrl("https://example.com/a")});
  mime.setText("https://example.com/a");
  SendDrag(w->viewport(), Cell(0, 0), &mime);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(All(), "https://example.com/a\r\n");
}

TEST_F(DragDropWidget, ADragThatLeavesPutsTheCaretBack) {
  e->Lines()->SetText("one\r\ntwo\r\nthree\r\n");
  e->SetRowCol(2, 3);
  QMimeData mime;
  mime.setText("x");
  QDragEnterEvent enter(Cell(0, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w->viewport(), &enter);
  EXPECT_EQ(e->Row(), 0);
  QDragLeaveEvent leave;
  QApplication::sendEvent(w->viewport(), &leave);
  EXPECT_EQ(e->Row(), 2);
  EXPECT_EQ(e->Col(), 3);
  EXPECT_EQ(All(), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(DragDropWidget, ADragPassingOverGivesTheFocusBackWhereItFoundIt) {
  window->activateWindow();
  other->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(other->hasFocus());
  e->Lines()->SetText("abc\r\n");
  QMimeData mime;
  mime.setText("x");
  QDragEnterEvent enter(Cell(0, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w->viewport(), &enter);
  QApplication::processEvents();
  EXPECT_TRUE(w->hasFocus()); // the caret shows where the text would land
  EXPECT_TRUE(e->Focused());
  QDragLeaveEvent leave;
  QApplication::sendEvent(w->viewport(), &leave);
  QApplication::processEvents();
  EXPECT_TRUE(other->hasFocus());
  EXPECT_FALSE(e->Focused());

  // An editor that had the focus keeps it.
  w->setFocus();
  QApplication::processEvents();
  QApplication::sendEvent(w->viewport(), &enter);
  QApplication::sendEvent(w->viewport(), &leave);
  QApplication::processEvents();
  EXPECT_TRUE(w->hasFocus());
  EXPECT_TRUE(e->Focused());
}

TEST_F(DragDropWidget, FilesDraggedOutAreOfferedAsFileAddresses) {
  TComPtr<TFilesDataObject> d(new TFilesDataObject({"/tmp/a b.txt", "/tmp/メモ.txt"}));
  TDataObjectMime mime(d.Get());
  EXPECT_FALSE(mime.hasFormat("text/plain")); // no text of its own
  ASSERT_EQ(mime.urls().size(), 2);
  EXPECT_EQ(mime.urls()[0], QUrl::fromLocalFile("/tmp/a b.txt"));
  EXPECT_EQ(mime.urls()[1].toLocalFile(), QString::fromUtf8("/tmp/メモ.txt"));
}

// ---------------------------------------------------------------- the main window

struct WindowDrop : ::testing::Test {
  std::unique_ptr<QWidget> window;
  QTabBar* tabs = nullptr;
  test::ScriptedPrompter prompter;
  TWindowDropTarget* target = nullptr;
  std::vector<std::vector<std::string>> opened;

  WindowDrop() {
    test::App();
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    tabs = new QTabBar;
    tabs->addTab("one");
    tabs->addTab("two");
    tabs->addTab("three");
    layout->addWidget(tabs);
    layout->addStretch();
    window->resize(500, 300);
    window->show();
    QApplication::processEvents();
    target = new TWindowDropTarget(window.get(), prompter);
    target->SetTabBar(tabs);
    target->OpenFiles = [this](const std::vector<std::string>& p) { opened.push_back(p); };
  }
  QPoint OnTab(int i) const { return tabs->mapTo(window.get(), tabs->tabRect(i).center()); }
};

TEST_F(WindowDrop, DraggingTextOverAnotherTabActivatesItButDropsNothing) {
  QMimeData mime;
  mime.setText("t");
  std::vector<int> switched;
  target->SwitchTab = [&](int i) {
    switched.push_back(i);
    tabs->setCurrentIndex(i);
  };
  const Answer a = SendDrag(window.get(), OnTab(2), &mime);
  EXPECT_EQ(switched, std::vector<int>{2}); // once: the move finds it active
  EXPECT_EQ(tabs->currentIndex(), 2);
  EXPECT_TRUE(a.enterAccepted); // kept, so that the moves come
  EXPECT_FALSE(a.dropAccepted);
  EXPECT_TRUE(opened.empty());
}

TEST_F(WindowDrop, DroppedFilesAreCheckedThenOpenedInOrder) {
  test::TempDir dir;
  const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  test::WriteFile(a, "A");
  test::WriteFile(b, "B");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(b)),
                QUrl::fromLocalFile(QString::fromStdString(dir.Path())),
                QUrl("https://example.com/x"), QUrl::fromLocalFile(QString::fromStdString(a))});
  tabs->setCurrentIndex(0);
  const Answer r = SendDrag(window.get(), OnTab(1), &mime);
  EXPECT_EQ(tabs->currentIndex(), 1); // files switch tabs too
  EXPECT_TRUE(r.dropAccepted);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (std::vector<std::string>{b, a}));
  ASSERT_EQ(prompter.asked.size(), 2u);
  EXPECT_EQ(prompter.asked[0].text, FolderMessage(dir.Path()));
  EXPECT_EQ(prompter.asked[1].text, NotAFileMessage("https://example.com/x"));
}

TEST_F(WindowDrop, FilesDroppedOnAnEditorGoTheSameWay) {
  test::TempDir dir;
  const std::string a = dir.File("a.txt");
  test::WriteFile(a, "A");
  target->Check().MaxBytes = 0; // everything is too big
  auto block = MakeDropFiles({a});
  target->OpenDropped(block.get());
  EXPECT_TRUE(opened.empty());
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Error);
}

} // namespace
} // namespace ze
