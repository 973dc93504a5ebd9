// Printing from the main window offscreen: the active document to a PDF
// read back with pdftotext, page setup kept across windows, and the
// window's commands and close while a print command runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/MainWindow.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/qt/EditorWidget.h"
#include "printing/PageSetupDialog.h"
#include "printing/PrintController.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using C = TCommandId;

std::string Shell(const std::string& command) {
  std::string out;
  FILE* f = popen(command.c_str(), "r");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0)
    out.append(buf, n);
  pclose(f);
  return out;
}

int PdfPages(const std::string& path) {
  const std::string info = Shell("pdfinfo '" + path + "' 2>/dev/null");
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

std::string PdfText(const std::string& path, int page) {
  return Shell("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) +
               " '" + path + "' - 2>/dev/null");
}

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
    ++n;
  return n;
}

// The text of a document line, as the PDF shows it.
std::string LineText(int i) {
  return "行 " + std::to_string(i) + " 縦書きの見本 sample";
}

class MainWindowPrintTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }

  std::unique_ptr<TForm1> Make(const std::string& settingsDir = {}) {
    TForm1::TOptions o;
    o.ProgramPath = dir.File("ZorvaneEditor");
    o.SettingsDir = settingsDir.empty() ? dir.Path() : settingsDir;
    o.DataDir = dir.Path();
    o.OpenUrl = [](const std::string&) {};
    auto w = std::make_unique<TForm1>(prompter, o);
    w->show();
    QApplication::processEvents();
    return w;
  }

  // A Shift-JIS document of n lines, opened in the window.
  std::string OpenDocument(TForm1& w, int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
      text += Utf8ToCp932(LineText(i)) + "\r\n";
    const std::string path = dir.File("メモ.txt");
    test::WriteFile(path, text);
    EXPECT_TRUE(w.OpenByName(path));
    return path;
  }

  static bool PdfTools() { return !Shell("which pdftotext pdfinfo").empty(); }

  test::TempDir dir;
  test::ScriptedPrompter prompter;
};

TEST_F(MainWindowPrintTest, TheActiveDocumentPrintsToAPdfWithItsTextAndPageNumbers) {
  if (!PdfTools()) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  if (TQtPrinterDevice::PrintersInstalled()) GTEST_SKIP() << "a printer is installed";
  auto w = Make();
  OpenDocument(*w, 150);
  TStringsPrinter& p = w->PrintController().StringsPrinter1();
  p.SetFooter("- %p -");
  p.SetFooterAlign(haCenter);
  p.Font()->SetSize(12);

  const std::string pdf = dir.File("out.pdf");
  prompter.saveAnswers.push_back(pdf);
  ASSERT_TRUE(w->Action(C::Print1)->isEnabled());
  ASSERT_TRUE(w->Run(C::Print1));
  ASSERT_EQ(prompter.saveTitles.size(), 1u);
  ASSERT_TRUE(std::filesystem::exists(pdf)) << prompter.LastText();

  const int pages = PdfPages(pdf);
  ASSERT_GE(pages, 3);
  std::string all;
  for (int k = 1; k <= pages; ++k) {
    const std::string text = PdfText(pdf, k);
    EXPECT_EQ(Count(text, "- " + std::to_string(k) + " -"), 1u) << "page " << k;
    all += text;
  }
  // Every line once, in order, and none beyond the document.
  size_t last = 0;
  for (int i = 1; i <= 150; ++i) {
    const std::string line = LineText(i) + "\n";
    const size_t at = all.find(line);
    ASSERT_NE(at, std::string::npos) << i;
    EXPECT_EQ(Count(all, line), 1u) << i;
    EXPECT_GT(at + 1, last) << i;
    last = at + 1;
  }
  EXPECT_EQ(all.find("行 151 "), std::string::npos);
  EXPECT_NE(PdfText(pdf, 1).find(LineText(1) + "\n"), std::string::npos);
  // The last page holds the last line: no blank sheet after it.
  EXPECT_NE(PdfText(pdf, pages).find(LineText(150)), std::string::npos);

  // The same window prints only the pages page setup asks for, numbered
  // from the number chosen, into the file chosen last time.
  w->PrintController().RunPageSetup = [](TFormStringsPrinterEditor& form) {
    form.RadioGroup5->Button(1)->click();
    form.SpinEdit6->setValue(2);
    form.SpinEdit7->setValue(3);
    return true;
  };
  ASSERT_TRUE(w->Run(C::PrintSetup1));
  const std::string part = dir.File("part.pdf");
  prompter.saveAnswers.push_back(part);
  ASSERT_TRUE(w->Run(C::Print1));
  ASSERT_EQ(PdfPages(part), 2);
  EXPECT_NE(PdfText(part, 1).find("- 2 -"), std::string::npos);
  EXPECT_NE(PdfText(part, 2).find("- 3 -"), std::string::npos);
  EXPECT_EQ(PdfText(part, 1).find(LineText(1) + "\n"), std::string::npos);
}

TEST_F(MainWindowPrintTest, CancellingThePdfFileWritesNothing) {
  if (TQtPrinterDevice::PrintersInstalled()) GTEST_SKIP() << "a printer is installed";
  auto w = Make();
  OpenDocument(*w, 5);
  prompter.saveAnswers.push_back(std::nullopt);
  ASSERT_TRUE(w->Run(C::Print1));
  EXPECT_EQ(prompter.saveTitles.size(), 1u);
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
  EXPECT_FALSE(w->PrintBusy());
  EXPECT_TRUE(w->Action(C::Print1)->isEnabled());
}

TEST_F(MainWindowPrintTest, PageSetupIsStoredBesideTheProgramAndRestoredByANewWindow) {
  {
    auto w = Make();
    OpenDocument(*w, 3);
    bool ran = false;
    w->PrintController().RunPageSetup = [&](TFormStringsPrinterEditor& form) {
      ran = true;
      form.SpinEdit1->setValue(23);
      form.RadioGroup6->Button(1)->click();
      form.SpinEdit9->setValue(2);
      form.SpinEdit10->setValue(3);
      form.RadioGroup3->Button(2)->click();
      return true;
    };
    ASSERT_TRUE(w->Run(C::PrintSetup1));
    EXPECT_TRUE(ran);
  }
  const std::string ini = dir.File("ZorvaneEditor.ini");
  ASSERT_TRUE(std::filesystem::exists(ini));
  EXPECT_TRUE(IniFile(ini).SectionExists("StringsPrinter1"));

  auto again = Make();
  const TStringsPrinter& p = again->PrintController().StringsPrinter1();
  EXPECT_EQ(p.MarginLeft(), 23);
  EXPECT_EQ(p.LineRangeOption(), roLimited);
  EXPECT_EQ(p.StartLine(), 2);
  EXPECT_EQ(p.LastLine(), 3);
  EXPECT_EQ(p.FooterAlign(), haCenter);

  // The dialog starts from the editor's tab width, whatever was stored.
  again->Settings().TabCount = 4;
  int shownTab = 0;
  again->PrintController().RunPageSetup = [&](TFormStringsPrinterEditor& form) {
    shownTab = form.SpinEdit13->value();
    return true;
  };
  ASSERT_TRUE(again->Run(C::PrintSetup1));
  EXPECT_EQ(shownTab, 4);
  EXPECT_EQ(p.TabSpaceCount(), 4);

  // A dialog left with Cancel changes nothing stored.
  again->PrintController().RunPageSetup = [](TFormStringsPrinterEditor& form) {
    form.SpinEdit1->setValue(40);
    return false;
  };
  ASSERT_TRUE(again->Run(C::PrintSetup1));
  EXPECT_EQ(p.MarginLeft(), 23);
  again.reset();
  auto third = Make();
  EXPECT_EQ(third->PrintController().StringsPrinter1().MarginLeft(), 23);
}

TEST_F(MainWindowPrintTest, PageSetupMakesTheSettingsFolderWhenItIsNotThereYet) {
  const std::string folder = dir.File("config/ZorvaneEditor");
  auto w = Make(folder);
  w->PrintController().RunPageSetup = [](TFormStringsPrinterEditor& form) {
    form.SpinEdit2->setValue(12);
    return true;
  };
  ASSERT_TRUE(w->Run(C::PrintSetup1));
  EXPECT_TRUE(prompter.asked.empty()) << prompter.LastText();
  ASSERT_TRUE(std::filesystem::exists(folder + "/ZorvaneEditor.ini"));
  w.reset();
  EXPECT_EQ(Make(folder)->PrintController().StringsPrinter1().MarginRight(), 12);
}

TEST_F(MainWindowPrintTest, PreviewAndPrintNeedADocumentWithLines) {
  auto w = Make();
  w->RefreshCommands();
  // A new page has no line yet.
  EXPECT_FALSE(w->Action(C::PrintPreview)->isEnabled());
  EXPECT_FALSE(w->Action(C::Print1)->isEnabled());
  EXPECT_TRUE(w->Action(C::PrintSetup1)->isEnabled());
  EXPECT_TRUE(w->Action(C::PrinterSetting)->isEnabled());
  bool shown = false;
  w->PrintController().ShowPreview = [&](TStringsPrinter&, const TMetaFileList&) { shown = true; };
  EXPECT_FALSE(w->Run(C::PrintPreview));
  EXPECT_FALSE(shown);
  OpenDocument(*w, 2);
  EXPECT_TRUE(w->Action(C::PrintPreview)->isEnabled());
  EXPECT_TRUE(w->Run(C::PrintPreview));
  EXPECT_TRUE(shown);
}

TEST_F(MainWindowPrintTest, EveryPrintCommandIsDisabledWhileOneRuns) {
  auto w = Make();
  const std::string path = OpenDocument(*w, 40);
  size_t pages = 0;
  bool checked = false;
  w->PrintController().ShowPreview = [&](TStringsPrinter& p, const TMetaFileList& built) {
    checked = true;
    pages = built.size();
    EXPECT_TRUE(w->PrintBusy());
    // The header and footer name the document being previewed.
    EXPECT_EQ(std::string(p.FileName().view()), path);
    EXPECT_EQ(p.Fountain(), w->ActiveEditor()->ActiveFountain());
    for (C id : {C::PrintPreview, C::Print1, C::PrintSetup1, C::PrinterSetting}) {
      EXPECT_FALSE(w->Action(id)->isEnabled()) << Index(id);
      EXPECT_FALSE(w->Run(id)) << Index(id);
    }
    // Editing commands are not the printer's to refuse.
    EXPECT_TRUE(w->Action(C::SelectAll1)->isEnabled());
  };
  ASSERT_TRUE(w->Run(C::PrintPreview));
  EXPECT_TRUE(checked);
  EXPECT_GE(pages, 1u);
  EXPECT_FALSE(w->PrintBusy());
  for (C id : {C::PrintPreview, C::Print1, C::PrintSetup1, C::PrinterSetting})
    EXPECT_TRUE(w->Action(id)->isEnabled()) << Index(id);

  // The printer setting works on the printer the pages are printed on.
  QPrinter* chosen = nullptr;
  w->PrintController().RunPrinterDialog = [&](QPrinter& printer) {
    chosen = &printer;
    EXPECT_FALSE(w->Run(C::Print1));
    return true;
  };
  ASSERT_TRUE(w->Run(C::PrinterSetting));
  EXPECT_EQ(chosen, &w->PrintController().Device().Printer());
  EXPECT_FALSE(w->PrintBusy());
}

TEST_F(MainWindowPrintTest, ClosingThePrintedPageWaitsUntilThePreviewEnds) {
  auto w = Make();
  OpenDocument(*w, 30);
  w->CreatePage("Untitled");
  w->SetActivePage(0);
  ASSERT_EQ(w->PageCount(), 2);
  TEditor* printed = w->ActiveEditor();
  w->PrintController().ShowPreview = [&](TStringsPrinter&, const TMetaFileList&) {
    w->CloseActivePage();
    // Still there: the pages shown were built from its lines.
    EXPECT_EQ(w->PageCount(), 2);
    EXPECT_EQ(w->ActiveEditor(), printed);
    EXPECT_EQ(printed->Lines()->Count(), 30);
  };
  ASSERT_TRUE(w->Run(C::PrintPreview));
  EXPECT_EQ(w->PageCount(), 2);
  QApplication::processEvents();
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(w->Documents().ActivePath(), "Untitled");
}

TEST_F(MainWindowPrintTest, ClosingTheWindowDuringTheBuildCancelsItThenCloses) {
  auto w = Make();
  OpenDocument(*w, 3000);
  bool previewed = false;
  w->PrintController().ShowPreview = [&](TStringsPrinter&, const TMetaFileList&) {
    previewed = true;
  };
  // The build serves events as it goes: the close arrives in the middle.
  bool closeSeen = false;
  QTimer::singleShot(0, w.get(), [&] {
    closeSeen = w->PrintBusy();
    w->close();
    EXPECT_TRUE(w->isVisible());
  });
  ASSERT_TRUE(w->Run(C::PrintPreview));
  EXPECT_TRUE(closeSeen);
  EXPECT_FALSE(previewed);
  EXPECT_TRUE(w->isVisible());
  QApplication::processEvents();
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(w->PrintBusy());
}

TEST_F(MainWindowPrintTest, ClosingTheWindowClosesTheShownPreviewFirst) {
  auto w = Make();
  OpenDocument(*w, 10);
  // The real preview window; the close request comes while it is shown.
  bool previewSeen = false;
  QTimer::singleShot(50, w.get(), [&] {
    previewSeen = QApplication::activeModalWidget() != nullptr;
    w->close();
  });
  // Should the preview not close, the test fails instead of hanging.
  QTimer::singleShot(5000, w.get(), [] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      ADD_FAILURE() << "the preview stayed open";
      static_cast<QDialog*>(modal)->reject();
    }
  });
  ASSERT_TRUE(w->Run(C::PrintPreview));
  EXPECT_TRUE(previewSeen);
  QApplication::processEvents();
  EXPECT_FALSE(w->isVisible());
}

} // namespace
} // namespace ze
