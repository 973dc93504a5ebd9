// Encodings and line breaks through the main window offscreen: loads that
// do not fit, the format panel, reading again in another encoding and
// saving in a chosen format.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <filesystem>

#include "app/MainWindow.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using C = TCommandId;

constexpr int kFormatPanel = 5;
// 日本語 in the editor's own bytes (CP932), in UTF-8 and in EUC-JP.
const std::string kNihongoSjis = "\x93\xfa\x96\x7b\x8c\xea";
const std::string kNihongoUtf8 = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e";
const std::string kNihongoEuc = "\xc6\xfc\xcb\xdc\xb8\xec";

class MainWindowEncodingTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }

  std::unique_ptr<TForm1> Make(std::function<void(TForm1&)> before = {}) {
    TForm1::TOptions o;
    o.ProgramPath = dir.File("ZorvaneEditor");
    o.SettingsDir = dir.Path();
    o.DataDir = dir.Path();
    o.OpenUrl = [](const std::string&) {};
    auto w = std::make_unique<TForm1>(prompter, o);
    if (before) before(*w);
    w->show();
    QApplication::setActiveWindow(w.get());
    w->ActiveEditorWidget()->setFocus();
    QApplication::processEvents();
    return w;
  }

  std::string File(const std::string& name, const std::string& bytes) {
    test::WriteFile(dir.File(name), bytes);
    return std::filesystem::canonical(dir.File(name)).string();
  }

  static std::string Text(TForm1& w) { return w.ActiveEditor()->Lines()->Text().str(); }
  static std::string Panel(TForm1& w) { return w.StatusText(kFormatPanel).toStdString(); }

  test::TempDir dir;
  test::ScriptedPrompter prompter;
};

TEST_F(MainWindowEncodingTest, AFileWithACharacterShiftJisLacksOpensReadOnlyWithAMessage) {
  auto w = Make();
  const std::string path = File("emoji.txt", "ok\nsmile \xf0\x9f\x98\x80 here\n");
  ASSERT_TRUE(w->OpenByName(path));
  ASSERT_EQ(prompter.asked.size(), 1u);
  const std::string& m = prompter.asked[0].text;
  EXPECT_NE(m.find(path), std::string::npos) << m;
  EXPECT_NE(m.find("UTF-8"), std::string::npos) << m;
  EXPECT_NE(m.find("2 行 7 文字目"), std::string::npos) << m;
  EXPECT_NE(m.find("\xf0\x9f\x98\x80"), std::string::npos) << m;
  EXPECT_TRUE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
  // Nothing may overwrite the file from this page.
  EXPECT_FALSE(w->Action(C::SaveEncEucJp)->isEnabled());
  EXPECT_FALSE(w->Action(C::Replace1)->isEnabled());

  // Dropped and named on the command line: the same check.
  prompter.asked.clear();
  auto w2 = Make();
  w2->OpenStartFiles({path});
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_TRUE(w2->ActiveEditor()->ReadOnly());
  const std::string other = File("emoji2.txt", "\xf0\x9f\x98\x80\n");
  w2->DropFiles({other});
  ASSERT_EQ(prompter.asked.size(), 2u);
  EXPECT_NE(prompter.asked[1].text.find(other), std::string::npos);
  EXPECT_TRUE(w2->ActiveEditor()->ReadOnly());
}

TEST_F(MainWindowEncodingTest, AnLfUtf8FileIsEditedAndSavedBackAsUtf8Lf) {
  auto w = Make();
  const std::string path = File("u.txt", kNihongoUtf8 + "\nline two\n");
  ASSERT_TRUE(w->OpenByName(path));
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_FALSE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
  EXPECT_TRUE(w->Action(C::SaveEncUtf8)->isChecked());
  EXPECT_FALSE(w->Action(C::SaveEncCp932)->isChecked());
  EXPECT_TRUE(w->Action(C::LineBreakLf)->isChecked());
  w->ActiveEditor()->SetRowCol(1, 0);
  w->ActiveEditor()->SetSelText(kNihongoSjis + " ");
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(path), kNihongoUtf8 + "\n" + kNihongoUtf8 + " line two\n");
  EXPECT_FALSE(w->ActiveEditor()->Modified());
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
}

TEST_F(MainWindowEncodingTest, ReopenInAnotherEncodingAsksFirstWhenModified) {
  auto w = Make();
  const std::string path = File("e.txt", kNihongoEuc + "\r\n");
  ASSERT_TRUE(w->OpenByName(path));
  ASSERT_TRUE(w->Action(C::ReopenEucJp)->isEnabled());
  // Read as UTF-8 the bytes do not fit: read-only, reported.
  prompter.autoOk = true;
  ASSERT_TRUE(w->Run(C::ReopenUtf8));
  EXPECT_TRUE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(Panel(*w), "UTF-8  CR+LF");
  ASSERT_FALSE(prompter.asked.empty());
  EXPECT_NE(prompter.LastText().find("読み取り専用"), std::string::npos);

  // Back in EUC-JP the page may be written again.
  ASSERT_TRUE(w->Run(C::ReopenEucJp));
  EXPECT_FALSE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(Text(*w), kNihongoSjis + "\r\n");
  EXPECT_EQ(Panel(*w), "EUC-JP  CR+LF");

  // Modified: "No" keeps the edit, "Yes" reads the file again.
  w->ActiveEditor()->SetSelText("x");
  ASSERT_TRUE(w->ActiveEditor()->Modified());
  prompter.asked.clear();
  prompter.answers.push_back(TMsgResult::No);
  w->Run(C::ReopenCp932);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].buttons, TMsgButtons::YesNo);
  EXPECT_NE(prompter.asked[0].text.find("Shift-JIS"), std::string::npos);
  EXPECT_EQ(Text(*w), "x" + kNihongoSjis + "\r\n");
  EXPECT_EQ(Panel(*w), "EUC-JP  CR+LF");
  prompter.answers.push_back(TMsgResult::Yes);
  w->Run(C::ReopenEucJp);
  EXPECT_EQ(Text(*w), kNihongoSjis + "\r\n");
  EXPECT_FALSE(w->ActiveEditor()->Modified());
}

TEST_F(MainWindowEncodingTest, SavingInAnEncodingThatCannotHoldACharacterIsRefused) {
  auto w = Make();
  // ① exists in Shift-JIS (CP932) but not in EUC-JP.
  w->ActiveEditor()->SetSelText("ab\r\n\x87\x40");
  ASSERT_TRUE(w->Run(C::SaveEncEucJp));
  EXPECT_TRUE(w->Action(C::SaveEncEucJp)->isChecked());
  EXPECT_EQ(Panel(*w), "EUC-JP  CR+LF");
  const std::string target = dir.File("out.txt");
  prompter.saveAnswers.push_back(target);
  w->Run(C::SaveAs1);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Error);
  EXPECT_NE(prompter.asked[0].text.find("2 行目"), std::string::npos) << prompter.asked[0].text;
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(w->Documents().ActivePath(), "Untitled");

  // In UTF-8 it is written, with the line break chosen.
  ASSERT_TRUE(w->Run(C::SaveEncUtf8));
  ASSERT_TRUE(w->Run(C::LineBreakLf));
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
  prompter.saveAnswers.push_back(target);
  ASSERT_TRUE(w->Run(C::SaveAs1));
  EXPECT_EQ(test::ReadFile(target), "ab\n\xe2\x91\xa0");
  EXPECT_FALSE(w->ActiveEditor()->Modified());
}

TEST_F(MainWindowEncodingTest, ChoosingAFormatOffersSaveAndIsWrittenBySave) {
  auto w = Make();
  const std::string path = File("m.txt", "a\nb\r\nc\n");
  ASSERT_TRUE(w->OpenByName(path));
  EXPECT_EQ(Panel(*w), "Shift-JIS  LF (混在)");
  EXPECT_FALSE(w->Action(C::Save1)->isEnabled());
  // The chosen break is no longer mixed; the file no longer holds what
  // saving writes, so Save is offered.
  ASSERT_TRUE(w->Run(C::LineBreakCrLf));
  EXPECT_EQ(Panel(*w), "Shift-JIS  CR+LF");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(path), "a\r\nb\r\nc\r\n");
  // Choosing what the document has already changes nothing.
  ASSERT_TRUE(w->Run(C::LineBreakCrLf));
  EXPECT_FALSE(w->ActiveEditor()->Modified());
}

TEST_F(MainWindowEncodingTest, NewDocumentsTakeTheFormatOfTheSettings) {
  auto w = Make([](TForm1& f) {
    f.Settings().NewEncoding = TEncoding::Utf8;
    f.Settings().NewLineBreak = TLineBreak::Lf;
  });
  ASSERT_TRUE(w->Run(C::New1));
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
  w->ActiveEditor()->SetSelText(kNihongoSjis + "\r\nx");
  const std::string target = dir.File("n.txt");
  prompter.saveAnswers.push_back(target);
  ASSERT_TRUE(w->Run(C::SaveAs1));
  EXPECT_EQ(test::ReadFile(target), kNihongoUtf8 + "\nx");
  // ASCII files read as that default too.
  const std::string ascii = File("a.txt", "plain\n");
  ASSERT_TRUE(w->OpenByName(ascii));
  EXPECT_EQ(Panel(*w), "UTF-8  LF");

  // With UTF-16 as the default an ASCII file still reads as it is.
  w->Settings().NewEncoding = TEncoding::Utf16Le;
  ASSERT_TRUE(w->Run(C::New1));
  EXPECT_EQ(Panel(*w), "UTF-16LE  LF");
  const std::string ascii2 = File("b.txt", "plain\r\n");
  ASSERT_TRUE(w->OpenByName(ascii2));
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_FALSE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(Text(*w), "plain\r\n");
}

TEST_F(MainWindowEncodingTest, ThePanelFollowsTheActivePage) {
  auto w = Make();
  EXPECT_EQ(Panel(*w), "Shift-JIS  CR+LF");
  const std::string path = File("u.txt", kNihongoUtf8 + "\n");
  ASSERT_TRUE(w->OpenByName(path));
  const std::string euc = File("e.txt", kNihongoEuc + kNihongoEuc + "\r");
  ASSERT_TRUE(w->OpenByName(euc));
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(Panel(*w), "EUC-JP  CR");
  w->SetActivePage(0);
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
}

TEST_F(MainWindowEncodingTest, BothEditorsOfASplitPageSaveInTheFilesFormat) {
  auto w = Make();
  const std::string path = File("s.txt", kNihongoUtf8 + "\n");
  ASSERT_TRUE(w->OpenByName(path));
  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_TRUE(w->IsSplit());
  TEditorWidget* lower = w->Documents().Active()->SecondEditor();
  ASSERT_NE(lower, nullptr);
  lower->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(w->ActiveEditorWidget(), lower);
  EXPECT_EQ(Panel(*w), "UTF-8  LF");
  lower->Editor()->SetSelText("x");
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(path), "x" + kNihongoUtf8 + "\n");

  // A choice made in one editor holds for the other.
  ASSERT_TRUE(w->Run(C::LineBreakCrLf));
  w->Documents().Active()->Editor()->setFocus();
  QApplication::processEvents();
  ASSERT_NE(w->ActiveEditorWidget(), lower);
  w->PageControl1Change();
  EXPECT_EQ(Panel(*w), "UTF-8  CR+LF");
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(path), "x" + kNihongoUtf8 + "\r\n");

  // A page that only reads stays so in both halves.
  const std::string emoji = File("x.txt", "\xf0\x9f\x98\x80\n");
  ASSERT_TRUE(w->OpenByName(emoji));
  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_NE(w->Documents().Active()->SecondEditor(), nullptr);
  EXPECT_TRUE(w->Documents().Active()->SecondEditor()->Editor()->ReadOnly());
}

TEST_F(MainWindowEncodingTest, AnInsertedFileIsReadInItsOwnEncoding) {
  auto w = Make();
  w->ActiveEditor()->SetSelText("[]");
  w->ActiveEditor()->SetRowCol(0, 1);
  const std::string utf8 = File("in.txt", kNihongoUtf8);
  prompter.openAnswers.push_back({utf8});
  ASSERT_TRUE(w->Run(C::AddRead));
  EXPECT_EQ(Text(*w), "[" + kNihongoSjis + "\r\n]");

  // (the inserted text ends its line, as inserting always does)
  // Text the document cannot hold is not inserted, and the user hears why.
  const std::string emoji = File("e.txt", "a\xf0\x9f\x98\x80");
  prompter.openAnswers.push_back({emoji});
  ASSERT_TRUE(w->Run(C::AddRead));
  EXPECT_EQ(Text(*w), "[" + kNihongoSjis + "\r\n]");
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_NE(prompter.asked[0].text.find(emoji), std::string::npos);
  EXPECT_NE(prompter.asked[0].text.find("挿入しませんでした"), std::string::npos);

  // 〜 (WAVE DASH) inserted into a UTF-8 document is written back as 〜.
  const std::string wave = "\xe3\x80\x9c";
  const std::string doc = File("d.txt", "x\n");
  ASSERT_TRUE(w->OpenByName(doc));
  ASSERT_EQ(Panel(*w), "Shift-JIS  LF");
  ASSERT_TRUE(w->Run(C::SaveEncUtf8));
  const std::string waveFile = File("w.txt", "\xe6\x97\xa5" + wave);
  prompter.openAnswers.push_back({waveFile});
  ASSERT_TRUE(w->Run(C::AddRead));
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(doc), "\xe6\x97\xa5" + wave + "\nx\n");
}

TEST_F(MainWindowEncodingTest, AMixedFileIsNoLongerMixedOnceSaved) {
  auto w = Make();
  const std::string path = File("mixed.txt", "a\nb\r\nc\n");
  ASSERT_TRUE(w->OpenByName(path));
  EXPECT_EQ(Panel(*w), "Shift-JIS  LF (混在)");
  w->ActiveEditor()->SetSelText("z");
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(path), "za\nb\nc\n");
  EXPECT_EQ(Panel(*w), "Shift-JIS  LF");
}

} // namespace
} // namespace ze
