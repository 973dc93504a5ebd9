#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/DicForm.h"
#include "app/dialogs/ReserveForm.h"
#include "editor/Editor.h"
#include "platform/qt/EditorWidget.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"
#include "text/EditorStrings.h"

namespace ze {
namespace {

using test::ReadFile;
using test::ScriptedPrompter;
using test::TempDir;
using test::WriteFile;

// Kept alive to the end of the process: destroying it while editor widgets
// created by the tests are still registered with it crashes at exit.
QApplication& App() {
  static int argc = 1;
  static char name[] = "dialogs_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

TDicSettings Sample() {
  TDicSettings s;
  for (int i = 0; i < 5; ++i) {
    s.Names[size_t(i)] = "辞書" + std::to_string(i + 1);
    s.Addresses[size_t(i)] = "https://dic" + std::to_string(i + 1) + ".example.org/?q=";
  }
  s.Type = 2;
  return s;
}

TEST(DicForm, ShowsTheSettingsWithTheChosenButtonDown) {
  App();
  TDicSettings s = Sample();
  ScriptedPrompter prompter;
  TDicForm form(s, prompter);
  EXPECT_EQ(form.Pressed(), 2);
  EXPECT_EQ(form.Dic[4]->text(), QString::fromUtf8("辞書5"));
  EXPECT_EQ(form.Edit[0]->text(), QStringLiteral("https://dic1.example.org/?q="));
  // At most one button is down.
  form.DicButtons[3]->click();
  EXPECT_EQ(form.Pressed(), 4);
  EXPECT_FALSE(form.DicButtons[1]->isChecked());
  form.DicButtons[3]->click();
  EXPECT_EQ(form.Pressed(), 0);

  s.Type = 9; // out of range: no button
  form.Fill();
  EXPECT_EQ(form.Pressed(), 0);
}

TEST(DicForm, CancelKeepsEditedNamesAndAddressesButNotTheChoice) {
  App();
  TDicSettings s = Sample();
  ScriptedPrompter prompter;
  TDicForm form(s, prompter);
  std::vector<std::string> opened;
  form.OpenAddress = [&](const std::string& a) { opened.push_back(a); };
  form.Dic[0]->setText(QString::fromUtf8("英和"));
  form.Edit[0]->setText(QStringLiteral("https://ejje.example.com/"));
  form.DicButtons[0]->click();
  form.CancelButton->click();
  EXPECT_EQ(s.Names[0], "英和");
  EXPECT_EQ(s.Addresses[0], "https://ejje.example.com/");
  EXPECT_EQ(s.Type, 2);
  EXPECT_TRUE(opened.empty());
  // The next opening shows the edits.
  TDicForm again(s, prompter);
  EXPECT_EQ(again.Dic[0]->text(), QString::fromUtf8("英和"));
}

TEST(DicForm, OkOpensOnlyWebAddresses) {
  App();
  TDicSettings s = Sample();
  ScriptedPrompter prompter;
  std::vector<std::string> opened;
  {
    TDicForm form(s, prompter);
    form.OpenAddress = [&](const std::string& a) { opened.push_back(a); };
    form.DicButtons[2]->click();
    form.OkButton->click();
    EXPECT_EQ(s.Type, 3);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://dic3.example.org/?q=");
    EXPECT_TRUE(prompter.asked.empty());
  }
  for (const char* bad : {"file:///etc/passwd", "javascript:alert(1)", "", "/usr/bin/xterm"}) {
    TDicForm form(s, prompter);
    form.OpenAddress = [&](const std::string& a) { opened.push_back(a); };
    form.show();
    form.Edit[2]->setText(QString::fromUtf8(bad));
    size_t before = prompter.asked.size();
    form.OkButton->click();
    EXPECT_EQ(opened.size(), 1u) << bad;
    EXPECT_EQ(prompter.asked.size(), before + 1) << bad;
    EXPECT_TRUE(form.isVisible()) << "stays open to correct the address: " << bad;
    form.CancelButton->click();
  }
  {
    // No dictionary chosen: nothing is opened and nothing asked.
    s.Type = 0;
    TDicForm form(s, prompter);
    form.OpenAddress = [&](const std::string& a) { opened.push_back(a); };
    size_t before = prompter.asked.size();
    form.OkButton->click();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(prompter.asked.size(), before);
  }
}

struct ReserveFormTest : ::testing::Test {
  ReserveFormTest() { App(); }
  TempDir dir;
  std::string path = dir.File("予約語.txt");
  ScriptedPrompter prompter;
};

TEST_F(ReserveFormTest, ShowsTheFileUnmodifiedAndSavingUnmodifiedDoesNothing) {
  WriteFile(path, "begin\r\nend\r\n");
  TReserveForm form(path, prompter, nullptr);
  TEditor& ed = *form.ReserveEditor->Editor();
  EXPECT_EQ(std::string(ed.Lines()->Text().view()), "begin\r\nend\r\n");
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.Leftbar()->Visible());
  EXPECT_FALSE(ed.Ruler()->Visible());
  EXPECT_EQ(ed.ScrollBars(), ssVertical);
  int saved = 0;
  form.OnSaved = [&](const TStrings&) { ++saved; };
  WriteFile(path, "changed elsewhere\r\n");
  EXPECT_TRUE(form.Save());
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadFile(path), "changed elsewhere\r\n");
}

TEST_F(ReserveFormTest, SaveWritesTheFileAndHandsOverTheNewWords) {
  TReserveForm form(path, prompter, nullptr); // no file yet: empty list
  TEditor& ed = *form.ReserveEditor->Editor();
  EXPECT_EQ(ed.Lines()->Count(), 0);
  ed.Lines()->Add("while");
  ed.Lines()->Add("do");
  ASSERT_TRUE(ed.Modified());
  std::vector<std::string> handed;
  form.OnSaved = [&](const TStrings& words) {
    for (int i = 0; i < words.Count(); ++i) handed.push_back(words[i].str());
  };
  EXPECT_TRUE(form.Save());
  EXPECT_EQ(ReadFile(path), "while\r\ndo\r\n");
  EXPECT_EQ(handed, (std::vector<std::string>{"while", "do"}));
  EXPECT_FALSE(ed.Modified());
  // The form's own editor colours the words at once.
  EXPECT_NE(ed.ReserveWordList()->IndexOf("while"), -1);
}

TEST_F(ReserveFormTest, FailedSaveSaysWhyAndStaysModified) {
  // A folder where the file should be: the write cannot replace it.
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  TReserveForm form(path, prompter, nullptr); // says it cannot read it
  prompter.asked.clear();
  TEditor& ed = *form.ReserveEditor->Editor();
  ed.Lines()->Add("if");
  int saved = 0;
  form.OnSaved = [&](const TStrings&) { ++saved; };
  EXPECT_FALSE(form.Save());
  EXPECT_TRUE(ed.Modified());
  EXPECT_EQ(saved, 0);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_NE(prompter.LastText().find("予約語.txt"), std::string::npos);
}

TEST_F(ReserveFormTest, ClosingModifiedAsks) {
  TReserveForm form(path, prompter, nullptr);
  form.show();
  TEditor& ed = *form.ReserveEditor->Editor();
  ed.Lines()->Add("repeat");

  prompter.answers.push_back(TMsgResult::Cancel);
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(prompter.LastText(), "[ 予約語 編集 ] は変更されています 保存しますか?");
  EXPECT_EQ(prompter.asked.back().buttons, TMsgButtons::YesNoCancel);

  prompter.answers.push_back(TMsgResult::Yes);
  EXPECT_TRUE(form.close());
  EXPECT_EQ(ReadFile(path), "repeat\r\n");

  TReserveForm other(path, prompter, nullptr);
  other.show();
  other.ReserveEditor->Editor()->Lines()->Add("until");
  prompter.answers.push_back(TMsgResult::No);
  EXPECT_TRUE(other.close());
  EXPECT_EQ(ReadFile(path), "repeat\r\n");
}

} // namespace
} // namespace ze
