// Printing on Qt: a Shift-JIS document printed to PDF and read back, the
// preview window, the progress window, the page setup dialog and the
// settings kept in the INI file.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <gtest/gtest.h>

#include "colouring/EditorFountain.h"
#include "editor/Editor.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "printing/PageSetupDialog.h"
#include "printing/PrintController.h"
#include "printing/PrintPreview.h"
#include "printing/QtPrinterDevice.h"
#include "tests/printing/FakePrinter.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "printing_qt_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: synthetic mouse events make Qt create its pointing
  // device after the application, and an application destroyed at exit
  // would then free that device after Qt's device registry is gone.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

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
  std::string info = Shell("pdfinfo '" + path + "' 2>/dev/null");
  size_t at = info.find("Pages:");
  if (at == std::string::npos) return -1;
  return std::atoi(info.c_str() + at + 6);
}

// The text of one page of a PDF, as pdftotext reads it.
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

class PrintingQt : public ::testing::Test {
protected:
  void SetUp() override { App(); }
  test::TempDir dir;
  test::ScriptedPrompter prompter;
};

// ---------------------------------------------------------------- PDF end to end

TEST_F(PrintingQt, AShiftJisDocumentPrintsToPdfWithItsTextAndPageNumbers) {
  if (Shell("which pdftotext").empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  TStringList lines;
  for (int i = 1; i <= 130; ++i)
    lines.Add(ByteString(Utf8ToCp932("行 " + std::to_string(i) + " 日本語の印刷 Printing test")));
  TQtPrinterDevice device;
  const std::string pdf = dir.File("doc.pdf");
  device.SetPdfOutput(pdf);
  device.Printer().setPageSize(QPageSize(QPageSize::A5));
  TStringsPrinter p(nullptr);
  p.SetDevice(&device);
  p.SetPrompter(&prompter);
  p.SetFileName("/home/user/メモ.txt");
  p.Font()->SetSize(12);
  p.SetHeader("%F");
  p.SetHeaderAlign(haLeft);
  p.SetFooter("- %p -");
  p.SetFooterAlign(haCenter);
  TMetaFileList built;
  ASSERT_TRUE(p.MakePages(lines, built, "x")) << p.LastError();
  const int pages = static_cast<int>(built.size());
  ASSERT_GE(pages, 3);
  ASSERT_TRUE(p.Print(lines)) << p.LastError();

  EXPECT_EQ(PdfPages(pdf), pages);
  std::string all;
  for (int k = 1; k <= pages; ++k) {
    const std::string text = PdfText(pdf, k);
    EXPECT_NE(text.find("- " + std::to_string(k) + " -"), std::string::npos) << "page " << k;
    EXPECT_NE(text.find("[ メモ ]"), std::string::npos) << "page " << k;
    all += text;
  }
  for (int i = 1; i <= 130; ++i)
    EXPECT_EQ(Count(all, "行 " + std::to_string(i) + " 日本語の印刷 Printing test"), 1u) << i;
  EXPECT_LT(all.find("行 1 "), all.find("行 130 "));
}

TEST_F(PrintingQt, OddPagesOfAPdfAreOnlyTheOddOnes) {
  if (Shell("which pdftotext").empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  TStringList lines;
  for (int i = 1; i <= 300; ++i)
    lines.Add(ByteString("line " + std::to_string(i)));
  TQtPrinterDevice device;
  const std::string pdf = dir.File("odd.pdf");
  device.SetPdfOutput(pdf);
  TStringsPrinter p(nullptr);
  p.SetDevice(&device);
  p.SetPageOption(poOdd);
  p.SetFooter("page %p");
  p.SetFooterAlign(haRight);
  TMetaFileList built;
  ASSERT_TRUE(p.MakePages(lines, built, "x"));
  const int pages = static_cast<int>(built.size());
  ASSERT_GE(pages, 3);
  ASSERT_TRUE(p.Print(lines));
  EXPECT_EQ(PdfPages(pdf), (pages + 1) / 2); // no blank sheet at the end
  EXPECT_NE(PdfText(pdf, 2).find("page 3"), std::string::npos);
}

TEST_F(PrintingQt, WithoutAPrinterTheControllerOffersAPdfFile) {
  if (TQtPrinterDevice::PrintersInstalled()) GTEST_SKIP() << "a printer is installed here";
  if (Shell("which pdftotext").empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  TPrintController c(nullptr, prompter, dir.File("ZorvaneEditor.ini"));
  TStringList lines;
  lines.Add("hello pdf");
  prompter.saveAnswers.push_back(std::nullopt); // the user cancels
  EXPECT_FALSE(c.Print(lines, nullptr, "/tmp/a.txt"));
  prompter.saveAnswers.push_back(dir.File("out.pdf"));
  EXPECT_TRUE(c.Print(lines, nullptr, "/tmp/a.txt"));
  EXPECT_NE(PdfText(dir.File("out.pdf"), 1).find("hello pdf"), std::string::npos);
}

TEST_F(PrintingQt, AnEditorsLinesAndFountainPrintAsLogicalLines) {
  auto editor = Create<TEditor>(nullptr);
  editor->SetWordWrap(true);
  editor->WrapOption()->SetWrapByte(20);
  const std::string longLine = "begin " + std::string(50, 'z') + " end";
  editor->Lines()->SetText(ByteString(longLine + "\r\nsecond"));
  editor->View()->Colors()->Reserve()->SetColor(0xFF0000);
  TStringList words;
  words.Add("begin");
  editor->SetReserveWordList(&words);
  ASSERT_EQ(editor->Lines()->GetCount(), 2);

  test::TFakePrinter dev;
  TStringsPrinter p(nullptr);
  p.SetDevice(&dev);
  p.SetFountain(editor->ActiveFountain());
  p.SetLineNumber(true);
  ASSERT_TRUE(p.Print(*editor->Lines()));
  ASSERT_EQ(dev.events.size(), 3u);
  // One logical line, one number; the screen's wrapping plays no part.
  // The reserve word is drawn on its own, in its colour.
  EXPECT_EQ(dev.events[1], "page:1: |begin| " + std::string(50, 'z') + " end|2: |second|");
  TMetaFileList pages;
  ASSERT_TRUE(p.MakePages(*editor->Lines(), pages, "x"));
  test::TTextSurface page;
  pages[0]->Replay(page);
  ASSERT_GE(page.Texts.size(), 2u);
  EXPECT_EQ(page.Texts[1].Text, "begin");
  EXPECT_EQ(page.Texts[1].Fg, 0xFF0000u);
}

// ---------------------------------------------------------------- preview

struct PreviewPages {
  explicit PreviewPages(int lineCount) {
    dev.pageWidth = 500;
    dev.pageHeight = 100;
    dev.papers = {{"Test", 50, 10, 9}};
    p.SetDevice(&dev);
    for (int i = 0; i < lineCount; ++i)
      lines.Add("row");
    EXPECT_TRUE(p.MakePages(lines, pages, "x"));
  }
  test::TFakePrinter dev;
  TStringsPrinter p{nullptr};
  TStringList lines;
  TMetaFileList pages;
};

TEST_F(PrintingQt, PreviewOfOnePageHasNoWayToMove) {
  PreviewPages pp(3);
  ASSERT_EQ(pp.pages.size(), 1u);
  TFormStringsPrinterPreview form(pp.p, pp.pages);
  EXPECT_EQ(form.Label1->text(), QString::asprintf("%3d / %3d", 1, 1));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("  1 /   1"));
  for (QToolButton* b :
       {form.SpeedButton1, form.SpeedButton2, form.SpeedButton3, form.SpeedButton4})
    EXPECT_FALSE(b->isEnabled());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("  印刷 プレビュー"));
  EXPECT_EQ(form.SpeedButton1->toolTip(), QStringLiteral("最初のページ"));
}

TEST_F(PrintingQt, PreviewNavigationAndIndicator) {
  PreviewPages pp(6 * 12 + 1); // 13 pages of six rows
  ASSERT_EQ(pp.pages.size(), 13u);
  TFormStringsPrinterPreview form(pp.p, pp.pages);
  EXPECT_EQ(form.Label1->text(), QStringLiteral("  1 /  13"));
  EXPECT_FALSE(form.SpeedButton2->isEnabled());
  EXPECT_TRUE(form.SpeedButton3->isEnabled());
  form.SpeedButton3->click();
  EXPECT_EQ(form.Page(), 1);
  EXPECT_EQ(form.Label1->text(), QStringLiteral("  2 /  13"));
  EXPECT_TRUE(form.SpeedButton1->isEnabled());
  form.SpeedButton4->click();
  EXPECT_EQ(form.Label1->text(), QStringLiteral(" 13 /  13"));
  EXPECT_FALSE(form.SpeedButton3->isEnabled());
  EXPECT_FALSE(form.SpeedButton4->isEnabled());
  EXPECT_TRUE(form.SpeedButton2->isEnabled());
  form.SpeedButton2->click();
  EXPECT_EQ(form.Page(), 11);
  form.SpeedButton1->click();
  EXPECT_EQ(form.Page(), 0);
  form.GoToPage(99);
  EXPECT_EQ(form.Page(), 12);
  form.GoToPage(-4);
  EXPECT_EQ(form.Page(), 0);
}

TEST_F(PrintingQt, PreviewZoomModes) {
  PreviewPages pp(3);
  TFormStringsPrinterPreview form(pp.p, pp.pages);
  form.resize(700, 500);
  form.show();
  QApplication::processEvents();
  // Actual size: printer pixels at 254 dpi shown at the screen's dpi.
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
  EXPECT_EQ(form.Zoom(), TFormStringsPrinterPreview::zmActual);
  EXPECT_NEAR(form.ImageSize().width(), 500 * dpi / 254, 1);
  const int bar = form.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  form.SpeedButton6->click();
  EXPECT_EQ(form.Zoom(), TFormStringsPrinterPreview::zmFitWidth);
  EXPECT_EQ(form.ImageSize().width(), form.ScrollBox1->width() - bar);
  EXPECT_NEAR(form.ImageSize().height(), form.ImageSize().width() / 5.0, 1);
  // Resizing keeps the size and only centres again.
  const QSize fitted = form.ImageSize();
  form.resize(900, 600);
  QApplication::processEvents();
  EXPECT_EQ(form.ImageSize(), fitted);
  form.SpeedButton5->click();
  EXPECT_EQ(form.Zoom(), TFormStringsPrinterPreview::zmFitHeight);
  EXPECT_EQ(form.ImageSize().height(), form.ScrollBox1->height() - bar);
  form.SpeedButton7->click();
  EXPECT_EQ(form.Zoom(), TFormStringsPrinterPreview::zmActual);
  EXPECT_NEAR(form.ImageSize().width(), 500 * dpi / 254, 1);
}

TEST_F(PrintingQt, PreviewImageInATinyWindowIsStillOnePixel) {
  PreviewPages pp(3);
  TFormStringsPrinterPreview form(pp.p, pp.pages);
  form.show();
  form.ScrollBox1->setFixedSize(5, 5);
  QApplication::processEvents();
  form.SpeedButton6->click();
  EXPECT_GE(form.ImageSize().width(), 1);
  EXPECT_GE(form.ImageSize().height(), 1);
  form.SpeedButton5->click();
  EXPECT_GE(form.ImageSize().width(), 1);
  EXPECT_GE(form.ImageSize().height(), 1);
}

TEST_F(PrintingQt, PreviewPanningIsInertWhenThePageFits) {
  PreviewPages pp(3);
  TFormStringsPrinterPreview form(pp.p, pp.pages);
  form.resize(900, 600);
  form.show();
  QApplication::processEvents();
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(form.Image1, &move);
  EXPECT_EQ(form.Image1->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(form.ScrollBox1->horizontalScrollBar()->value(), 0);
}

TEST_F(PrintingQt, PreviewPanningDragsABigPage) {
  PreviewPages pp(3);
  pp.dev.dpiX = pp.dev.dpiY = 25; // actual size is then ten times the pixels
  TMetaFileList pages;
  ASSERT_TRUE(pp.p.MakePages(pp.lines, pages, "x"));
  TFormStringsPrinterPreview form(pp.p, pages);
  form.resize(300, 200);
  form.show();
  QApplication::processEvents();
  ASSERT_GT(form.ImageSize().width(), form.ScrollBox1->viewport()->width());
  QMouseEvent hover(QEvent::MouseMove, QPointF(50, 50), QPointF(50, 50), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
  QApplication::sendEvent(form.Image1, &hover);
  EXPECT_EQ(form.Image1->cursor().shape(), Qt::OpenHandCursor);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.Image1, &press);
  QMouseEvent drag(QEvent::MouseMove, QPointF(30, 40), QPointF(30, 40), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.Image1, &drag);
  EXPECT_EQ(form.ScrollBox1->horizontalScrollBar()->value(), 20);
  EXPECT_EQ(form.ScrollBox1->verticalScrollBar()->value(), 10);
}

// ---------------------------------------------------------------- progress

TEST_F(PrintingQt, ProgressWindowShowsTheCaptionAndCanCancel) {
  TFormStringsPrinterProgress progress;
  progress.Show("プレビューを作成中");
  EXPECT_EQ(progress.Label1->text(), QStringLiteral("プレビューを作成中"));
  EXPECT_EQ(progress.ProgressBar1->value(), 0);
  progress.Update("プレビューを作成中", 200, 50);
  EXPECT_EQ(progress.ProgressBar1->value(), 25);
  progress.Update("x", 0, 0);
  EXPECT_EQ(progress.ProgressBar1->value(), 100);
  EXPECT_TRUE(progress.isModal() || progress.windowModality() == Qt::ApplicationModal);
  EXPECT_FALSE(progress.Cancelled());
  progress.CancelButton->click();
  EXPECT_TRUE(progress.Cancelled());
  TFormStringsPrinterProgress byEscape;
  byEscape.Show("x");
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&byEscape, &esc);
  EXPECT_TRUE(byEscape.Cancelled());
}

TEST_F(PrintingQt, ClosingTheProgressWindowCancelsTheBuild) {
  PreviewPages pp(1);
  for (int i = 0; i < 20000; ++i)
    pp.lines.Add("row");
  TFormStringsPrinterProgress* shown = nullptr;
  pp.p.ProgressFactory = [&]() -> std::unique_ptr<TPrintProgress> {
    auto w = std::make_unique<TFormStringsPrinterProgress>();
    shown = w.get();
    QTimer::singleShot(0, w.get(), [w = w.get()] { w->close(); });
    return w;
  };
  TMetaFileList pages;
  EXPECT_FALSE(pp.p.MakePages(pp.lines, pages, "印刷中"));
  EXPECT_TRUE(pages.empty());
  EXPECT_TRUE(shown);
}

// ---------------------------------------------------------------- page setup

struct SetupFixture {
  SetupFixture() {
    printer.SetDevice(&dev);
    lines.Add("a");
  }
  test::TFakePrinter dev;
  TStringsPrinter printer{nullptr};
  TStringList lines;
};

TEST_F(PrintingQt, PageSetupShowsTheStoredSettingsIncludingTheLineRange) {
  SetupFixture s;
  s.printer.SetMarginLeft(12);
  s.printer.SetLineRangeOption(roLimited);
  s.printer.SetStartLine(50);
  s.printer.SetLastLine(60);
  s.printer.SetFirstLineNumber(50);
  s.printer.SetTabSpaceCount(6);
  s.printer.SetHeader("stored");
  s.printer.SetFooter("stored");
  TFormStringsPrinterEditor form(s.printer, &s.lines);
  EXPECT_EQ(form.SpinEdit1->value(), 12);
  EXPECT_EQ(form.RadioGroup6->ItemIndex(), 1);
  EXPECT_EQ(form.SpinEdit9->value(), 50);
  EXPECT_EQ(form.SpinEdit10->value(), 60);
  EXPECT_TRUE(form.SpinEdit9->isEnabled());
  EXPECT_EQ(form.SpinEdit13->value(), 6);
  EXPECT_EQ(form.RadioGroup5->ItemIndex(), 0);
  EXPECT_FALSE(form.SpinEdit6->isEnabled());
  EXPECT_EQ(form.SpinEdit7->value(), 999999);
  // Opening always resets the templates.
  EXPECT_EQ(form.Copy().Header(), ByteString("%F"));
  EXPECT_EQ(form.Copy().Footer(), ByteString("- %p -"));
  EXPECT_EQ(form.Label5->text(), QStringLiteral("Fake"));
  EXPECT_EQ(form.Label12->text(), QStringLiteral("DMPAPER_A4"));
  EXPECT_EQ(form.Label6->text(), QStringLiteral("縦"));
  EXPECT_TRUE(form.Button5->isEnabled());

  TFormStringsPrinterEditor noLines(s.printer, nullptr);
  EXPECT_FALSE(noLines.Button5->isEnabled());
  EXPECT_FALSE(noLines.Label5->isEnabled());
}

TEST_F(PrintingQt, PageSetupNumberFieldsMendOutOfRangeValues) {
  SetupFixture s;
  TFormStringsPrinterEditor form(s.printer, &s.lines);
  form.RadioGroup5->Button(1)->click();
  EXPECT_EQ(form.Copy().RangeOption(), roLimited);
  EXPECT_TRUE(form.SpinEdit6->isEnabled());
  form.SpinEdit6->setValue(0);
  EXPECT_EQ(form.SpinEdit6->value(), 999999);
  EXPECT_EQ(form.Copy().StartPage(), 999999);
  form.SpinEdit6->setValue(1000000);
  EXPECT_EQ(form.SpinEdit6->value(), 1);
  form.SpinEdit6->setValue(4);
  EXPECT_EQ(form.Copy().StartPage(), 4);
  EXPECT_EQ(form.Copy().FirstPageNumber(), 4); // follows the start page while limited
  form.RadioGroup5->Button(0)->click();
  EXPECT_EQ(form.Copy().FirstPageNumber(), 1);
  form.RadioGroup6->Button(1)->click();
  form.SpinEdit9->setValue(20);
  EXPECT_EQ(form.Copy().StartLine(), 20);
  EXPECT_EQ(form.Copy().FirstLineNumber(), 20);
  form.SpinEdit10->setValue(-1);
  EXPECT_EQ(form.Copy().LastLine(), 999999);
}

TEST_F(PrintingQt, PageSetupDoubleClickResetsTheNumbers) {
  SetupFixture s;
  s.printer.SetRangeOption(roLimited);
  s.printer.SetStartPage(5);
  s.printer.SetLastPage(9);
  s.printer.SetFirstPageNumber(5);
  TFormStringsPrinterEditor form(s.printer, &s.lines);
  ASSERT_EQ(form.SpinEdit6->value(), 5);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.SpinEdit7, &dbl);
  EXPECT_EQ(form.Copy().StartPage(), 1);
  EXPECT_EQ(form.Copy().LastPage(), 999999);
  EXPECT_EQ(form.Copy().FirstPageNumber(), 1);
  EXPECT_EQ(form.Copy().StartLine(), 1);
  EXPECT_EQ(form.Copy().LastLine(), 999999);
  EXPECT_EQ(form.Copy().FirstLineNumber(), 1);
}

TEST_F(PrintingQt, PageSetupBlackAndWhiteModesResetTheColours) {
  SetupFixture s;
  s.printer.SetPrintMode(pmColorToken);
  s.printer.Font()->SetColor(0x0000FF);
  s.printer.SetBkColor(0x00FFFF);
  s.printer.SetHeaderColor(0xFF0000);
  TFormStringsPrinterEditor form(s.printer, &s.lines);
  EXPECT_TRUE(form.ComboBox3->isEnabled());
  form.ComboBox6->setCurrentIndex(pmBW);
  EXPECT_FALSE(form.ComboBox3->isEnabled());
  form.ComboBox6->setCurrentIndex(pmColorToken);
  EXPECT_TRUE(form.ComboBox3->isEnabled());
  EXPECT_EQ(form.Copy().PrintMode(), pmColorToken);
  EXPECT_EQ(form.Copy().Font()->Color(), clBlack);
  EXPECT_EQ(form.Copy().BkColor(), clWhite);
  EXPECT_EQ(form.Copy().HeaderColor(), clBlack);
  EXPECT_EQ(form.ComboBox4->currentText(), QStringLiteral("clWhite"));
}

TEST_F(PrintingQt, PageSetupCancelLeavesThePrinterAndOkTakesTheCopy) {
  SetupFixture s;
  s.printer.SetMarginTop(5);
  int printed = 0;
  bool cancelled = !TFormStringsPrinterEditor::PageSetup(
      &s.printer, &s.lines, nullptr, [&](TFormStringsPrinterEditor& form) {
        form.OnPrint = [&](TStringsPrinter&, const TStrings&) { ++printed; };
        QTimer::singleShot(0, &form, [&form] {
          form.SpinEdit3->setValue(30);
          form.Button5->click();
          form.Button2->click();
        });
      });
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(printed, 1);
  EXPECT_EQ(s.printer.MarginTop(), 5);
  bool ok = TFormStringsPrinterEditor::PageSetup(&s.printer, &s.lines, nullptr,
                                                 [&](TFormStringsPrinterEditor& form) {
                                                   QTimer::singleShot(0, &form, [&form] {
                                                     form.SpinEdit3->setValue(30);
                                                     form.CheckBox1->setChecked(true);
                                                     form.Button1->click();
                                                   });
                                                 });
  EXPECT_TRUE(ok);
  EXPECT_EQ(s.printer.MarginTop(), 30);
  EXPECT_TRUE(s.printer.LineNumber());
  EXPECT_EQ(s.printer.Footer(), ByteString("- %p -"));
  EXPECT_FALSE(TFormStringsPrinterEditor::PageSetup(nullptr, &s.lines, nullptr));
}

// ---------------------------------------------------------------- settings

TEST_F(PrintingQt, PageSetupStoresTheSettingsAndTheNextStartRestoresThem) {
  const std::string ini = dir.File("ZorvaneEditor.ini");
  TStringList lines;
  lines.Add("x");
  {
    TPrintController c(nullptr, prompter, ini);
    c.RunPageSetup = [](TFormStringsPrinterEditor& form) {
      form.SpinEdit1->setValue(17);
      form.RadioGroup6->Button(1)->click();
      form.SpinEdit9->setValue(50);
      form.SpinEdit10->setValue(60);
      form.ComboBox2->setCurrentText(QStringLiteral("14"));
      form.RadioGroup3->Button(2)->click();
      return true;
    };
    EXPECT_TRUE(c.PageSetup(&lines, nullptr, "/tmp/x.txt"));
  }
  IniFile file(ini);
  EXPECT_TRUE(file.SectionExists("StringsPrinter1"));
  TPrintController again(nullptr, prompter, ini);
  TStringsPrinter& p = again.StringsPrinter1();
  EXPECT_EQ(p.MarginLeft(), 17);
  EXPECT_EQ(p.LineRangeOption(), roLimited);
  EXPECT_EQ(p.StartLine(), 50);
  EXPECT_EQ(p.LastLine(), 60);
  EXPECT_EQ(p.FirstLineNumber(), 50);
  EXPECT_EQ(p.Font()->Size(), 14);
  EXPECT_EQ(p.FooterAlign(), haCenter);
  EXPECT_EQ(p.Footer(), ByteString("- %p -"));
  // A cancelled dialog stores nothing new.
  again.RunPageSetup = [](TFormStringsPrinterEditor& form) {
    form.SpinEdit1->setValue(3);
    return false;
  };
  EXPECT_FALSE(again.PageSetup(&lines, nullptr, ""));
  TPrintController third(nullptr, prompter, ini);
  EXPECT_EQ(third.StringsPrinter1().MarginLeft(), 17);
}

TEST_F(PrintingQt, ControllerPreviewShowsTheBuiltPagesAndRefusesNesting) {
  TPrintController c(nullptr, prompter, "");
  TStringList lines;
  for (int i = 0; i < 10; ++i)
    lines.Add("row");
  auto fountain = Create<TEditorFountain>(nullptr);
  size_t shown = 0;
  bool nested = true;
  c.ShowPreview = [&](TStringsPrinter& p, const TMetaFileList& pages) {
    shown = pages.size();
    EXPECT_EQ(p.Fountain(), fountain.get());
    EXPECT_TRUE(c.Busy());
    nested = c.PrintPreview(lines, fountain.get(), "");
  };
  EXPECT_TRUE(c.PrintPreview(lines, fountain.get(), "/tmp/doc.txt"));
  EXPECT_GE(shown, 1u);
  EXPECT_FALSE(nested);
  EXPECT_FALSE(c.Busy());
}

} // namespace
} // namespace ze
