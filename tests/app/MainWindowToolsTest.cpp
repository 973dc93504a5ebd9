// The Tools menu through the main window: the settings dialog applied to
// both views of a split page, Cancel leaving everything, reserved words
// coloured at once on the active page and after activation on another,
// and the dictionary settings kept across a restart.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest/QTest>
#include <filesystem>

#include "app/MainWindow.h"
#include "app/MainWindowTools.h"
#include "app/dialogs/DicForm.h"
#include "app/dialogs/ReserveForm.h"
#include "app/options/ColorGrid.h"
#include "app/options/NumberEdit.h"
#include "app/options/OptionForm.h"
#include "editorprop/EditorProp.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"
#include "text/EditorStrings.h"

namespace ze {
namespace {

using C = TCommandId;
constexpr TColor kYellow = 0x00FFFF;

class MainWindowTools : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }

  // programDir: where the program and its shipped files are; settingsDir:
  // where the user's settings go (both the temporary folder by default).
  std::unique_ptr<TForm1> Make(const std::string& programDir = {},
                               const std::string& settingsDir = {}) {
    TForm1::TOptions o;
    o.ProgramPath = (programDir.empty() ? dir.Path() : programDir) + "/ZorvaneEditor";
    o.SettingsDir = settingsDir.empty() ? dir.Path() : settingsDir;
    o.DataDir = dir.Path();
    o.OpenUrl = [](const std::string&) {};
    auto w = std::make_unique<TForm1>(prompter, o);
    TToolDialogHooks hooks;
    hooks.Exec = [this](QDialog& d) {
      answer(d);
      ++shown;
      return d.result();
    };
    hooks.OpenAddress = [this](const std::string& a) { opened.push_back(a); };
    InstallToolHandlers(*w, prompter, hooks);
    w->show();
    QApplication::processEvents();
    return w;
  }

  static void ClickGrid(TOptionForm& f, TColor c, Qt::MouseButton button) {
    QTest::mouseClick(f.ColorGrid1, button, {}, f.ColorGrid1->CellRect(GridIndexOf(c)).center());
  }

  test::TempDir dir;
  test::ScriptedPrompter prompter;
  std::function<void(QDialog&)> answer = [](QDialog& d) { d.reject(); };
  int shown = 0;
  std::vector<std::string> opened;
};

TEST_F(MainWindowTools, SettingsOkReachesBothViewsOfTheSplitPageAndOtherPagesOnActivation) {
  auto w = Make();
  w->CreatePage("Untitled");
  w->SetActivePage(0);
  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_TRUE(w->IsSplit());
  const int top = w->Settings().TopSpace;
  answer = [](QDialog& d) {
    auto& f = dynamic_cast<TOptionForm&>(d);
    f.ListBox1->setCurrentRow(oiBackground);
    ClickGrid(f, kYellow, Qt::LeftButton);
    f.TopMarginUpDown->UpButton()->click();
    f.OK->click();
  };
  ASSERT_TRUE(w->Run(C::OptionSetting));
  EXPECT_EQ(shown, 1);
  TPageWidget* page = w->ActivePage();
  for (TEditorWidget* v : {page->Editor(), page->SecondEditor()}) {
    EXPECT_EQ(v->Editor()->Color(), kYellow);
    EXPECT_EQ(v->Editor()->Margin()->Top(), top + 1);
  }
  EXPECT_EQ(w->Settings().Background, kYellow);
  EXPECT_EQ(w->Settings().TopSpace, top + 1);
  EXPECT_EQ(w->EditorProp1().Color(), kYellow);

  TEditor* other = w->Documents().Page(1)->Editor()->Editor();
  EXPECT_NE(other->Color(), kYellow);
  w->SetActivePage(1);
  EXPECT_EQ(other->Color(), kYellow);
  EXPECT_EQ(other->Margin()->Top(), top + 1);
}

TEST_F(MainWindowTools, SettingsOkSurvivesARestart) {
  int top = 0;
  {
    auto w = Make();
    top = w->Settings().TopSpace;
    answer = [](QDialog& d) {
      auto& f = dynamic_cast<TOptionForm&>(d);
      f.TopMarginUpDown->UpButton()->click();
      f.ListBox1->setCurrentRow(oiBackground);
      ClickGrid(f, kYellow, Qt::LeftButton);
      f.OK->click();
    };
    ASSERT_TRUE(w->Run(C::OptionSetting));
    w->close();
  }
  auto again = Make();
  EXPECT_EQ(again->Settings().TopSpace, top + 1);
  EXPECT_EQ(again->Settings().Background, kYellow);
  EXPECT_EQ(again->ActiveEditor()->Color(), kYellow);
}

TEST_F(MainWindowTools, SettingsCancelLeavesSettingsAndEditorsAsTheyWere) {
  auto w = Make();
  const TSettings before = w->Settings();
  const TColor colour = w->ActiveEditor()->View()->Colors()->Str()->Color();
  answer = [](QDialog& d) {
    auto& f = dynamic_cast<TOptionForm&>(d);
    f.ListBox1->setCurrentRow(oiStr);
    f.FB_CheckBox->click(); // use the default colour ...
    f.TopMarginUpDown->UpButton()->click();
    f.CancelButton->click(); // ... and cancel
  };
  ASSERT_TRUE(w->Run(C::OptionSetting));
  EXPECT_EQ(w->Settings(), before);
  EXPECT_EQ(w->ActiveEditor()->View()->Colors()->Str()->Color(), colour);
}

TEST_F(MainWindowTools, SavedReservedWordColoursAtOnceHereAndOnActivationThere) {
  auto w = Make();
  w->CreatePage("Untitled");
  w->SetActivePage(0);
  TEditor* here = w->ActiveEditor();
  TEditor* there = w->Documents().Page(1)->Editor()->Editor();
  ASSERT_EQ(there->ReserveWordList()->IndexOf("zorvane"), -1);
  answer = [](QDialog& d) {
    auto& f = dynamic_cast<TReserveForm&>(d);
    f.ReserveEditor->Editor()->Lines()->Add("zorvane");
    ASSERT_TRUE(f.Save());
    f.CloseButton->click();
  };
  ASSERT_TRUE(w->Run(C::ReserveWordEdit));
  EXPECT_NE(here->ReserveWordList()->IndexOf("zorvane"), -1);
  EXPECT_EQ(there->ReserveWordList()->IndexOf("zorvane"), -1);
  w->SetActivePage(1);
  EXPECT_NE(there->ReserveWordList()->IndexOf("zorvane"), -1);
  // The file the next start reads.
  const std::string file = test::ReadFile(w->SettingsLocation().Files.ReserveWords);
  EXPECT_NE(file.find("zorvane\r\n"), std::string::npos);
}

TEST_F(MainWindowTools, TheShippedWordsAreCopiedForTheUserBeforeEditing) {
  const std::string program = dir.File("bin"), user = dir.File("cfg");
  std::filesystem::create_directories(program);
  test::WriteFile(program + "/予約語.txt", "shipped\r\n");
  auto w = Make(program, user);
  ASSERT_EQ(w->SettingsLocation().Files.ReserveWords, user + "/予約語.txt");
  EXPECT_NE(w->ActiveEditor()->ReserveWordList()->IndexOf("shipped"), -1);
  std::string shownWords;
  answer = [&](QDialog& d) {
    auto& f = dynamic_cast<TReserveForm&>(d);
    shownWords = f.ReserveEditor->Editor()->Lines()->Text().str();
    f.CloseButton->click();
  };
  ASSERT_TRUE(w->Run(C::ReserveWordEdit));
  EXPECT_EQ(shownWords, "shipped\r\n");
  EXPECT_EQ(test::ReadFile(user + "/予約語.txt"), "shipped\r\n");
  EXPECT_EQ(test::ReadFile(program + "/予約語.txt"), "shipped\r\n");
}

TEST_F(MainWindowTools, DictionaryEditsSurviveCancelAndARestart) {
  {
    auto w = Make();
    answer = [](QDialog& d) {
      auto& f = dynamic_cast<TDicForm&>(d);
      f.Dic[0]->setText(QString::fromUtf8("英和"));
      f.Edit[0]->setText(QStringLiteral("https://ejje.example.com/"));
      f.CancelButton->click();
    };
    ASSERT_TRUE(w->Run(C::BrowserOpen));
    EXPECT_EQ(w->Settings().DicName[0], "英和");
    answer = [](QDialog& d) {
      auto& f = dynamic_cast<TDicForm&>(d);
      f.DicButtons[1]->click(); // another one down first: the buttons are exclusive
      f.DicButtons[0]->click();
      ASSERT_EQ(f.Pressed(), 1);
      f.OkButton->click();
    };
    ASSERT_TRUE(w->Run(C::BrowserOpen));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://ejje.example.com/");
    EXPECT_EQ(w->Settings().DicType, 1);
    w->close();
  }
  auto again = Make();
  EXPECT_EQ(again->Settings().DicName[0], "英和");
  EXPECT_EQ(again->Settings().DicAddress[0], "https://ejje.example.com/");
  EXPECT_EQ(again->Settings().DicType, 1);
}

} // namespace
} // namespace ze
