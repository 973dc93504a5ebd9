// Input into the editor widget (offscreen): typed keys and characters,
// the input method's composition and results, the system clipboard,
// the double-click and the context menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "editor/PopupMenu.h"
#include "platform/qt/EditorMenu.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/EditorWindow.h"
#include "tests/qt/QtApp.h"

namespace ze {
namespace {

using test::App;
using test::Ink;

const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA"; // 日本語 in CP932
const QString kNihongoU = QString::fromUtf8("日本語");
const std::string kKana = "\x82\xA9\x82\xC8"; // かな
const std::string kTe = "\x82\xC4";           // て

struct EditorInput : test::EditorWindowTest {
  EditorInput() : EditorWindowTest(480) {
    window->activateWindow();
    w->setFocus();
    QApplication::processEvents();
  }

  std::string Text() const { return e->Lines()->Text().str(); }

  // A key as the window system delivers it: press and release.
  bool Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {},
           quint32 scanCode = 0) {
    QKeyEvent press(QEvent::KeyPress, key, m, scanCode, 0, 0, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, m, scanCode, 0, 0, text);
    QApplication::sendEvent(w, &release);
    return press.isAccepted();
  }
  void Ime(const QString& preedit, const QString& commit = {}, int cursor = -1) {
    QList<QInputMethodEvent::Attribute> attrs;
    if (cursor >= 0) attrs << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, cursor, 1);
    QInputMethodEvent ev(preedit, attrs);
    if (!commit.isEmpty()) ev.setCommitString(commit);
    QApplication::sendEvent(w, &ev);
  }
  void Mouse(QEvent::Type type, int row, int col, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at(X(col) + 1, Y(row) + 4);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent ev(type, at, w->viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w->viewport(), &ev);
  }
};

// ---------------------------------------------------------------- typing

TEST_F(EditorInput, TypedTextArrivesAsCp932Bytes) {
  QTest::keyClicks(w, QStringLiteral("ab c"));
  EXPECT_EQ(Text(), "ab c");
  // Text of a key event that is not ASCII: each double-byte character as
  // its two bytes, a half-width katakana as one.
  Key(0, Qt::NoModifier, kNihongoU);
  Key(0, Qt::NoModifier, QString::fromUtf8("ｱ"));
  EXPECT_EQ(Text(), "ab c" + kNihongo + "\xB1");
  EXPECT_EQ(e->Col(), 11);
  // A character CP932 cannot hold is replaced visibly; what follows stays.
  Key(0, Qt::NoModifier, QString::fromUtf8("€x😀y"));
  EXPECT_EQ(Text(), "ab c" + kNihongo + "\xB1?x?y");
}

TEST_F(EditorInput, CtrlAndAltKeysTypeNoCharacters) {
  e->Lines()->SetText("abc");
  e->SetRowCol(0, 3);
  // Ctrl+H, Ctrl+I and Ctrl+M carry the codes of Backspace, Tab and
  // Enter; Ctrl+Q a control code; Alt+F the letter of a menu.
  Key(Qt::Key_H, Qt::ControlModifier, QStringLiteral("\x08"));
  Key(Qt::Key_I, Qt::ControlModifier, QStringLiteral("\x09"));
  Key(Qt::Key_M, Qt::ControlModifier, QStringLiteral("\x0D"));
  Key(Qt::Key_Q, Qt::ControlModifier, QStringLiteral("\x11"));
  EXPECT_FALSE(Key(Qt::Key_F, Qt::AltModifier, QStringLiteral("f")));
  Key(Qt::Key_Return, Qt::ControlModifier, QStringLiteral("\r"));
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(e->Col(), 3);
}

TEST_F(EditorInput, BackspaceEnterAndTabKeysEdit) {
  w->SetCaretBlinkTime(0);
  Key(0, Qt::NoModifier, QString::fromUtf8("a漢"));
  QTest::keyClick(w, Qt::Key_Backspace); // the whole double-byte character
  EXPECT_EQ(Text(), "a");
  QTest::keyClick(w, Qt::Key_Return);
  QTest::keyClick(w, Qt::Key_Tab);
  QTest::keyClicks(w, QStringLiteral("b"));
  EXPECT_EQ(Text(), "a\r\n\tb");
  // Tab stays in the text: the focus does not move on to the line edit.
  EXPECT_TRUE(w->hasFocus());
  // Shift+Enter opens a line above the current one, indented like it.
  QTest::keyClick(w, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "a\r\n        \r\n\tb");
  EXPECT_EQ(e->Row(), 1);
  EXPECT_EQ(e->Col(), 8);
  // Escape is not the editor's: a dialog gets it.
  EXPECT_FALSE(Key(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1B")));
  EXPECT_EQ(Text(), "a\r\n        \r\n\tb");
}

TEST_F(EditorInput, ShiftCtrlDigitSetsTheMarkWhateverSymbolTheLayoutGives) {
  e->Lines()->SetText("zero\r\none\r\ntwo\r\n");
  e->SetRowCol(2, 0);
  // Qt reports Shift+3 as '#' (US) and gives the key's code 12.
  EXPECT_TRUE(Key(Qt::Key_NumberSign, Qt::ShiftModifier | Qt::ControlModifier, QString(), 12));
  EXPECT_EQ(e->GetRowMarks(2), 1u << 3);
  EXPECT_EQ(Text(), "zero\r\none\r\ntwo\r\n"); // no '#' typed
  e->SetRowCol(0, 0);
  EXPECT_TRUE(Key(Qt::Key_3, Qt::ControlModifier, QStringLiteral("3")));
  EXPECT_EQ(e->Row(), 2);
  // The same key again removes the mark; a digit as Qt::Key_3 counts too.
  EXPECT_TRUE(Key(Qt::Key_3, Qt::ShiftModifier | Qt::ControlModifier));
  EXPECT_EQ(e->GetRowMarks(2), 0u);
}

TEST_F(EditorInput, TheEditorsShortcutsWinOverTheWindowsWhileItHasTheFocus) {
  auto* undo = new QAction(window.get());
  undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
  auto* save = new QAction(window.get());
  save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  window->addAction(undo);
  window->addAction(save);
  int undos = 0, saves = 0;
  QObject::connect(undo, &QAction::triggered, [&] { ++undos; });
  QObject::connect(save, &QAction::triggered, [&] { ++saves; });
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  w->setFocus();

  QTest::keyClicks(w, QStringLiteral("xy"));
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "x");
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(undos, 0);
  // Nothing left to undo: still the editor's key, and nothing happens.
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(undos, 0);
  // A key the editor does not use is the window's.
  QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(Text(), "");
}

// ---------------------------------------------------------------- input method

TEST_F(EditorInput, ACompositionIsShownAtTheCaretAndOnlyItsCommitIsInserted) {
  e->Lines()->SetText("ab\r\n");
  e->SetRowCol(0, 1);
  const QImage before = w->viewport()->grab().toImage();
  Ime(QString::fromUtf8("にほんご"), {}, 2);
  EXPECT_EQ(Text(), "ab\r\n"); // not in the text
  EXPECT_EQ(w->PreeditText(), QString::fromUtf8("にほんご"));
  const QRect shown = w->PreeditRect();
  EXPECT_EQ(shown.topLeft(), QPoint(X(1), Y(0)));
  EXPECT_EQ(shown.width(), 9 * e->ColWidth()); // four full-width characters and the cursor
  // Drawn there, underlined, over the text.
  const QImage img = w->viewport()->grab().toImage();
  EXPECT_GT(Ink(img, QRect(X(3), Y(0), 2 * e->ColWidth(), e->CharHeight() - 1), Qt::white), 0);
  EXPECT_EQ(Ink(before, QRect(X(3), Y(0), 2 * e->ColWidth(), e->CharHeight()), Qt::white), 0);
  EXPECT_EQ(Ink(img, QRect(X(1), Y(0) + e->CharHeight() - 1, 8 * e->ColWidth(), 1), Qt::white),
            8 * e->ColWidth());
  // The candidate window goes to the composition's cursor.
  const QRect ime = w->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(ime.topLeft(), w->viewport()->pos() + QPoint(X(5), Y(0)));

  Ime(QString(), kNihongoU);
  EXPECT_EQ(Text(), "a" + kNihongo + "b\r\n");
  EXPECT_TRUE(w->PreeditText().isEmpty());
  EXPECT_TRUE(w->PreeditRect().isEmpty());
  EXPECT_EQ(e->Col(), 7);
  // The result is not echoed as characters: the next key is typed.
  QTest::keyClicks(w, QStringLiteral("c"));
  EXPECT_EQ(Text(), "a" + kNihongo + "cb\r\n");
  // Nothing of the composition is left on the screen.
  const QImage after = w->viewport()->grab().toImage();
  EXPECT_EQ(Ink(after, QRect(X(9), Y(0), 10 * e->ColWidth(), e->CharHeight()), Qt::white), 0);
}

TEST_F(EditorInput, ACompositionPushesTheRestOfItsRowRightWhileComposing) {
  e->Lines()->SetText("abcdef\r\n");
  e->SetRowCol(0, 1);
  const int W = e->ColWidth(), H = e->CharHeight();
  const QImage before = w->viewport()->grab().toImage();
  Ime(QString::fromUtf8("にほ"), {}, 2); // four columns
  const QImage img = w->viewport()->grab().toImage();
  // "bcdef" now stands four columns further right, pixel for pixel (but
  // for the composition's cursor, two pixels at its end).
  EXPECT_TRUE(img.copy(X(5) + 2, Y(0), 5 * W - 2, H) == before.copy(X(1) + 2, Y(0), 5 * W - 2, H));
  EXPECT_GT(Ink(before, QRect(X(1), Y(0), 5 * W, H), Qt::white), 0);
  // And the composition fills the columns in between, not over the text.
  EXPECT_GT(Ink(img, QRect(X(1), Y(0), 4 * W, H - 1), Qt::white), 0);
  Ime(QString());
  const QImage after = w->viewport()->grab().toImage();
  EXPECT_TRUE(after.copy(X(1), Y(0), 5 * W, H) == before.copy(X(1), Y(0), 5 * W, H));
}

TEST_F(EditorInput, ALongCompositionAndItsCandidateWindowStayInView) {
  e->SetScrollBars(ssBoth);
  e->Lines()->SetText(std::string(300, 'x') + "\r\n");
  const int near = e->ColCount() - 5;
  e->SetRowCol(0, near);
  ASSERT_EQ(e->TopCol(), 0);
  const QString text = QString::fromUtf8("にほんごのぶんしょうをかきます"); // 30 columns
  for (int n = 1; n <= text.size(); ++n) {
    Ime(text.left(n), {}, n);
    const int cursorCol = near + 2 * n;
    EXPECT_GE(cursorCol, e->TopCol()) << n;
    EXPECT_LT(cursorCol, e->TopCol() + e->ColCount()) << n;
    const QRect ime = w->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QRect view(w->viewport()->pos(), w->viewport()->size());
    EXPECT_TRUE(view.contains(ime.topLeft())) << n;
    EXPECT_EQ(ime.left(), w->viewport()->pos().x() + X(cursorCol)) << n;
  }
  Ime(QString(), text);
  EXPECT_EQ(e->Col(), near + 30);
  EXPECT_LT(e->Col(), e->TopCol() + e->ColCount());
}

TEST_F(EditorInput, ACompositionLeftByAClickOrTheFocusIsKept) {
  e->Lines()->SetText("abc\r\nxyz\r\n");
  e->SetRowCol(0, 1);
  Ime(QString::fromUtf8("かな"));
  // No input method commits it here (offscreen): the text shown goes in
  // where it was shown, then the click moves the caret.
  Mouse(QEvent::MouseButtonPress, 1, 2);
  Mouse(QEvent::MouseButtonRelease, 1, 2);
  EXPECT_EQ(Text(), "a" + kKana + "bc\r\nxyz\r\n");
  EXPECT_TRUE(w->PreeditText().isEmpty());
  EXPECT_EQ(e->Row(), 1);
  EXPECT_EQ(e->Col(), 2);

  Ime(QString::fromUtf8("て"));
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(Text(), "a" + kKana + "bc\r\nxy" + kTe + "z\r\n");
  EXPECT_TRUE(w->PreeditText().isEmpty());
  EXPECT_TRUE(other->text().isEmpty());
}

TEST_F(EditorInput, AReadOnlyEditorTakesNoComposition) {
  e->Lines()->SetText("abc");
  e->SetReadOnly(true);
  EXPECT_FALSE(w->inputMethodQuery(Qt::ImEnabled).toBool());
  Ime(QString::fromUtf8("か"));
  EXPECT_TRUE(w->PreeditText().isEmpty());
  Ime(QString(), kNihongoU);
  EXPECT_EQ(Text(), "abc");
}

// ---------------------------------------------------------------- clipboard

TEST_F(EditorInput, ABoxCopiedPastesAsABoxThroughTheSystemClipboard) {
  e->Lines()->SetText("abc\r\ndef\r\nghi\r\n");
  Key(Qt::Key_K, Qt::ControlModifier); // box selection mode
  ASSERT_EQ(e->SelectionMode(), smBox);
  Key(Qt::Key_Right);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_C, Qt::ControlModifier);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->hasFormat(QString::fromLatin1(kBoxMimeType)));
  EXPECT_TRUE(data->text().startsWith(QStringLiteral("b\ne")));

  Key(Qt::Key_K, Qt::ControlModifier);
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_End);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abcb\r\ndefe\r\nghi\r\n");

  // The same text without the mark pastes as lines.
  QGuiApplication::clipboard()->setText(QStringLiteral("b\ne"));
  e->Lines()->SetText("abc\r\ndef\r\n");
  e->SetRowCol(0, 3);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abcb\r\ne\r\ndef\r\n");
}

TEST_F(EditorInput, TextFromAnotherProgramLosesNothingAfterAnUnmappableCharacter) {
  QGuiApplication::clipboard()->setText(QString::fromUtf8("a€b\nx😀y\n漢"));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "a?b\r\nx?y\r\n\x8A\xBF");
  // A box mark that does not belong to the text on the clipboard (another
  // program replaced the text) is not taken for a box.
  auto* d = new QMimeData;
  d->setText(QStringLiteral("p\nq"));
  d->setData(QString::fromLatin1(kBoxMimeType), QByteArray("old"));
  QGuiApplication::clipboard()->setMimeData(d);
  e->Lines()->SetText("12\r\n34\r\n");
  e->SetRowCol(0, 1);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "1p\r\nq2\r\n34\r\n");
}

// ---------------------------------------------------------------- mouse and menu

TEST_F(EditorInput, ADoubleClickSelectsTheWord) {
  e->Lines()->SetText("hello world again\r\n");
  Mouse(QEvent::MouseButtonPress, 0, 8);
  Mouse(QEvent::MouseButtonRelease, 0, 8);
  Mouse(QEvent::MouseButtonDblClick, 0, 8);
  Mouse(QEvent::MouseButtonRelease, 0, 8);
  EXPECT_EQ(e->SelText().str(), "world");
}

// Captions, enabled and checked states of a QMenu's entries, one line
// each ("-" for a separator, "[x]" checked, "(off)" disabled).
std::vector<std::string> Entries(const QMenu& menu) {
  std::vector<std::string> out;
  for (QAction* a : menu.actions()) {
    if (a->isSeparator()) {
      out.push_back("-");
      continue;
    }
    std::string s = a->text().toStdString();
    if (a->isChecked()) s += " [x]";
    if (!a->isEnabled()) s += " (off)";
    EXPECT_TRUE(a->shortcut().isEmpty()) << s; // shown, never a Qt shortcut
    out.push_back(s);
  }
  return out;
}

TEST_F(EditorInput, TheContextMenuShowsTheModelOfAReadOnlyEditor) {
  e->Lines()->SetText("one\r\ntwo\r\n");
  e->PutRowMark(1, 3);
  e->SelectAll();
  QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
  e->SetReadOnly(true);
  const std::unique_ptr<QMenu> menu = w->CreateContextMenu();
  ASSERT_TRUE(menu);
  const std::vector<std::string> expected = {
      "マーク設定",
      "マークジャンプ",
      "-",
      "元に戻す(&U)\tCtrl+Z (off)",
      "やり直し(&R)\tCtrl+A (off)",
      "-",
      "切り取り(&T)\tCtrl+X (off)",
      "コピー(&C)\tCtrl+C",
      "貼り付け(&P)\tCtrl+V (off)",
      "Box貼り付け(&B)\tCtrl+B (off)",
      "削除(&D) (off)",
      "-",
      "すべて選択(&A)",
      "-",
      "Box選択モード(&K)\tCtrl+K",
  };
  EXPECT_EQ(Entries(*menu), expected);
  QMenu* marks = menu->actions().at(0)->menu();
  ASSERT_TRUE(marks);
  const std::vector<std::string> digits = Entries(*marks);
  ASSERT_EQ(digits.size(), 10u);
  EXPECT_EQ(digits[0], "0\tShift+Ctrl+0");
  EXPECT_EQ(digits[3], "3\tShift+Ctrl+3 [x]");
  QMenu* jumps = menu->actions().at(1)->menu();
  ASSERT_TRUE(jumps);
  EXPECT_EQ(Entries(*jumps)[3], "3\tCtrl+3 [x]");
  // An action runs its item: Copy puts the selection on the clipboard.
  QAction* copy = menu->actions().at(7);
  ASSERT_EQ(MenuItemOf(copy), &e->PopupMenu()->CopyItem());
  MenuItemOf(copy)->Click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("one\ntwo\n"));
}

TEST_F(EditorInput, ARightClickPopsTheMenuAndRunsTheChosenItem) {
  e->Lines()->SetText("one\r\ntwo\r\n");
  bool shown = false;
  // The menu runs its own loop: choose from inside it, as a user would,
  // once it is up (a menu that never comes up is closed, so the test ends).
  std::function<void(int)> choose = [&](int tries) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu && tries > 0) {
      QTimer::singleShot(10, [&, tries] { choose(tries - 1); });
      return;
    }
    if (menu) {
      shown = true;
      for (QAction* a : menu->actions())
        if (a->text() == QString::fromUtf8("すべて選択(&A)"))
          QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
    }
    for (QWidget* top : QApplication::topLevelWidgets())
      if (qobject_cast<QMenu*>(top) && top->isVisible()) top->close();
  };
  QTimer::singleShot(0, [&] { choose(200); });
  const QPoint at(X(1), Y(0));
  QContextMenuEvent ev(QContextMenuEvent::Mouse, at, w->viewport()->mapToGlobal(at));
  QApplication::sendEvent(w->viewport(), &ev);
  EXPECT_TRUE(shown);
  EXPECT_EQ(e->SelText().str(), "one\r\ntwo\r\n");
}

} // namespace
} // namespace ze
