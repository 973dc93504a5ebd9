// Page layout against a printer of fixed metrics: one millimetre is ten
// pixels, a byte is 8 pixels wide and a row 16 pixels high.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "colouring/EditorFountain.h"
#include "platform/IniFile.h"
#include "printing/StringsPrinter.h"
#include "tests/printing/FakePrinter.h"
#include "tests/support/TempDir.h"
#include "text/ComponentStore.h"

namespace ze {
namespace {

using test::TFakePrinter;
using test::TTextCall;
using test::TTextSurface;

struct Layout {
  // A paper of w x h millimetres that the printer prints whole.
  Layout(int wmm, int hmm) {
    dev.pageWidth = wmm * 10;
    dev.pageHeight = hmm * 10;
    dev.papers = {{"Test", wmm, hmm, 9}};
    p = std::make_unique<TStringsPrinter>(nullptr);
    p->SetDevice(&dev);
    p->SetPrintMode(pmBW);
  }
  void Add(std::string_view s) { lines.Add(ByteString(s)); }
  // Builds and replays every page.
  std::vector<TTextSurface> Pages(bool expectOk = true) {
    TMetaFileList list;
    bool ok = p->MakePages(lines, list, "印刷中");
    EXPECT_EQ(ok, expectOk) << p->LastError();
    std::vector<TTextSurface> pages(list.size());
    for (size_t i = 0; i < list.size(); ++i)
      list[i]->Replay(pages[i]);
    return pages;
  }
  TFakePrinter dev;
  std::unique_ptr<TStringsPrinter> p;
  TStringList lines;
};

const TTextCall* Find(const TTextSurface& s, std::string_view text) {
  for (const TTextCall& t : s.Texts)
    if (t.Text == text) return &t;
  return nullptr;
}

std::vector<std::string> TextsAt(const TTextSurface& s, int x) {
  std::vector<std::string> out;
  for (const TTextCall& t : s.Texts)
    if (t.X == x) out.push_back(t.Text);
  return out;
}

// ---------------------------------------------------------------- properties

TEST(StringsPrinterProps, DefaultsAndClamps) {
  TStringsPrinter p(nullptr);
  EXPECT_EQ(p.LastLine(), 999999); // a limited line range prints to the end by default
  EXPECT_EQ(p.LastPage(), 999999);
  EXPECT_EQ(p.TabSpaceCount(), 2);
  EXPECT_TRUE(p.WordBreak());
  EXPECT_EQ(p.PrintMode(), pmColorToken);
  p.SetTabSpaceCount(5);
  EXPECT_EQ(p.TabSpaceCount(), 4);
  p.SetTabSpaceCount(9);
  EXPECT_EQ(p.TabSpaceCount(), 8);
  p.SetTabSpaceCount(0);
  EXPECT_EQ(p.TabSpaceCount(), 2);
  p.SetColumnCount(0);
  EXPECT_EQ(p.ColumnCount(), 1);
  p.SetColumnCount(7);
  EXPECT_EQ(p.ColumnCount(), 3);
  p.SetMarginLeft(-5);
  EXPECT_EQ(p.MarginLeft(), 0);
  p.SetMarginTop(150);
  EXPECT_EQ(p.MarginTop(), 100);
  p.SetStartPage(0);
  EXPECT_EQ(p.StartPage(), 1);
  p.SetFirstLineNumber(2000000);
  EXPECT_EQ(p.FirstLineNumber(), 999999);
}

TEST(StringsPrinterProps, CopyFromTakesEverySettingAndTheFountainGoesAway) {
  TStringsPrinter a(nullptr), b(nullptr);
  auto f = Create<TEditorFountain>(nullptr);
  a.SetColumnCount(3);
  a.SetHeader("%F");
  a.SetFooterAlign(haRight);
  a.SetLastLine(60);
  a.SetLineRangeOption(roLimited);
  a.Font()->SetSize(14);
  a.SetFountain(f.get());
  b.CopyFrom(&a);
  EXPECT_EQ(b.ColumnCount(), 3);
  EXPECT_EQ(b.Header(), ByteString("%F"));
  EXPECT_EQ(b.FooterAlign(), haRight);
  EXPECT_EQ(b.LastLine(), 60);
  EXPECT_EQ(b.LineRangeOption(), roLimited);
  EXPECT_EQ(b.Font()->Size(), 14);
  EXPECT_NE(b.Font(), a.Font());
  EXPECT_EQ(b.Fountain(), f.get());
  f.reset();
  EXPECT_EQ(a.Fountain(), nullptr);
  EXPECT_EQ(b.Fountain(), nullptr);
}

TEST(StringsPrinterProps, SettingsRoundTripThroughTheIniFile) {
  test::TempDir dir;
  const std::string path = dir.File("ZorvaneEditor.ini");
  {
    TStringsPrinter p(nullptr);
    p.SetColumnCount(2);
    p.SetLineRangeOption(roLimited);
    p.SetStartLine(50);
    p.SetLastLine(60);
    p.SetPageOption(poEven);
    p.SetPrintMode(pmBWFontStyle);
    p.SetHeader("%F");
    p.SetBkColor(0x123456);
    p.Font()->SetName("IPAGothic");
    p.Font()->SetStyle(FontStyles({fsItalic}));
    p.SetWordBreak(false);
    IniFile ini(path);
    SaveComponentToIni(p, ini, "StringsPrinter1", "Property");
    ini.UpdateFile();
  }
  IniFile ini(path);
  ASSERT_TRUE(ini.SectionExists("StringsPrinter1"));
  TStringsPrinter q(nullptr);
  LoadComponentFromIni(q, ini, "StringsPrinter1", "Property");
  EXPECT_EQ(q.ColumnCount(), 2);
  EXPECT_EQ(q.LineRangeOption(), roLimited);
  EXPECT_EQ(q.StartLine(), 50);
  EXPECT_EQ(q.LastLine(), 60);
  EXPECT_EQ(q.PageOption(), poEven);
  EXPECT_EQ(q.PrintMode(), pmBWFontStyle);
  EXPECT_EQ(q.Header(), ByteString("%F"));
  EXPECT_EQ(q.BkColor(), 0x123456u);
  EXPECT_EQ(q.Font()->Name(), "IPAGothic");
  EXPECT_EQ(q.Font()->Style(), FontStyles({fsItalic}));
  EXPECT_FALSE(q.WordBreak());
}

// ---------------------------------------------------------------- paper

TEST(StringsPrinterInfo, PaperFromTheDriverListThenTheTable) {
  TFakePrinter dev;
  TStringsPrinter p(nullptr);
  p.SetDevice(&dev);
  dev.paperCode = 9;
  EXPECT_EQ(p.Info()->PaperName(), "DMPAPER_A4");
  EXPECT_EQ(p.Info()->PaperWidth(), 210);
  dev.paperCode = 1;
  EXPECT_EQ(p.Info()->PaperWidth(), 216); // letter is 8.5 inches wide
  EXPECT_EQ(p.Info()->PaperHeight(), 279);
  dev.paperCode = 5;
  EXPECT_EQ(p.Info()->PaperWidth(), 216);
  EXPECT_EQ(p.Info()->PaperHeight(), 356);
  dev.paperCode = 43;
  EXPECT_EQ(p.Info()->PaperName(), "DMPAPER_JAPANESE_POSTCARD");
  EXPECT_EQ(p.Info()->PaperHeight(), 148);
  dev.paperCode = 68;
  EXPECT_EQ(p.Info()->PaperName(), "DMPAPER_A3_EXTRA_TRANSVERSE");

  TStringsPrinter q(nullptr);
  TFakePrinter dev2;
  dev2.papers = {{"葉書", 100, 148, 9}};
  q.SetDevice(&dev2);
  EXPECT_EQ(q.Info()->PaperName(), "葉書");
}

TEST(StringsPrinterInfo, CodesOutsideTheTableUseThePrinterPageOrA4) {
  TFakePrinter dev;
  dev.pageWidth = 1000; // 100 x 200 mm at 254 dpi
  dev.pageHeight = 2000;
  TStringsPrinter p(nullptr);
  p.SetDevice(&dev);
  for (int code : {70, 256, 69}) {
    dev.paperCode = code;
    EXPECT_EQ(p.Info()->PaperWidth(), 100) << code;
    EXPECT_EQ(p.Info()->PaperHeight(), 200) << code;
  }
  dev.paperCode = 0; // unreadable: A4
  EXPECT_EQ(p.Info()->PaperName(), "DMPAPER_A4");
  dev.available = false;
  EXPECT_EQ(p.Info()->PrinterName(), "不明");
  EXPECT_EQ(p.Info()->PaperWidth(), 210);
  auto o = p.Info()->UnprintableOffsets();
  EXPECT_EQ(o.Left + o.Top + o.Right + o.Bottom, 0);
}

TEST(StringsPrinterInfo, UnprintableOffsetsSplitTheDifference) {
  TFakePrinter dev; // A4 is 2100 x 2970 pixels
  dev.pageWidth = 2000;
  dev.pageHeight = 2900;
  TStringsPrinter p(nullptr);
  p.SetDevice(&dev);
  auto o = p.Info()->UnprintableOffsets();
  EXPECT_EQ(o.Left, 50);
  EXPECT_EQ(o.Right, 50);
  EXPECT_EQ(o.Top, 35);
  EXPECT_EQ(o.Bottom, 35);
  // A 10 mm margin is measured from the paper's edge.
  Layout l(210, 297);
  l.dev.pageWidth = 2000;
  l.dev.pageHeight = 2900;
  l.dev.papers.clear();
  l.p->SetMarginLeft(10);
  l.p->SetMarginTop(10);
  l.Add("x");
  auto pages = l.Pages();
  const TTextCall* t = Find(pages[0], "x");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->X, 50);
  EXPECT_EQ(t->Y, 65);
}

TEST(StringsPrinterInfo, VerticalLengthsUseTheVerticalResolution) {
  Layout l(100, 100);
  l.dev.dpiX = 254;
  l.dev.dpiY = 508; // twice as many pixels down
  l.dev.pageHeight = 2000;
  l.p->SetMarginTop(10);
  l.p->SetMarginLeft(10);
  l.p->SetMarginLine(1);
  l.Add("a");
  l.Add("b");
  auto pages = l.Pages();
  const TTextCall* a = Find(pages[0], "a");
  const TTextCall* b = Find(pages[0], "b");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->X, 100);
  EXPECT_EQ(a->Y, 200);
  EXPECT_EQ(b->Y - a->Y, 16 + 20);
}

// ---------------------------------------------------------------- rows

TEST(StringsPrinterRows, ASourceLineBrokenIntoThreeRowsIsNumberedOnce) {
  Layout l(20, 100); // 200 px: a gutter of 3 bytes and 22 bytes of text
  l.p->SetLineNumber(true);
  l.p->SetWordBreak(false);
  l.Add("first");
  l.Add(std::string(60, 'x'));
  l.Add("last");
  auto pages = l.Pages();
  ASSERT_EQ(pages.size(), 1u);
  const auto& s = pages[0];
  // Gutter: one digit plus ": " = 24 px; text starts there.
  EXPECT_EQ(TextsAt(s, 24),
            (std::vector<std::string>{"first", std::string(22, 'x'), std::string(22, 'x'),
                                      std::string(16, 'x'), "last"}));
  std::vector<std::string> numbers = TextsAt(s, 0);
  EXPECT_EQ(numbers, (std::vector<std::string>{"1: ", "2: ", "3: "}));
  const TTextCall* three = Find(s, "3: ");
  ASSERT_TRUE(three);
  EXPECT_EQ(three->Y, 4 * 16); // the row of "last"
}

TEST(StringsPrinterRows, EmptyLinesTakeARowAndAdvanceTheCounter) {
  Layout l(50, 100);
  l.p->SetLineNumber(true);
  l.p->SetFirstLineNumber(7);
  l.Add("a");
  l.Add("");
  l.Add("");
  l.Add("b");
  auto pages = l.Pages();
  const TTextCall* b = Find(pages[0], "b");
  const TTextCall* ten = Find(pages[0], "10: ");
  ASSERT_TRUE(b && ten);
  EXPECT_EQ(b->Y, 48);
  EXPECT_EQ(ten->Y, 48);
  EXPECT_TRUE(Find(pages[0], "8: "));
  EXPECT_TRUE(Find(pages[0], "9: "));
}

TEST(StringsPrinterRows, GutterFitsTheLargestNumberPrinted) {
  Layout l(50, 100);
  l.p->SetLineNumber(true);
  l.p->SetFirstLineNumber(100000);
  for (int i = 0; i < 5; ++i)
    l.Add("t");
  auto pages = l.Pages();
  const TTextCall* n = Find(pages[0], "100004: ");
  ASSERT_TRUE(n);
  // Six digits and ": " fill a gutter of 8 bytes exactly.
  EXPECT_EQ(n->X, 0);
  EXPECT_EQ(Find(pages[0], "t")->X, 64);
  EXPECT_EQ(Find(pages[0], "100000: ")->X, 0);
}

TEST(StringsPrinterRows, WordBreakKeepsWordsOfSingleBytesWhole) {
  TStringsPrinter p(nullptr);
  TStringList lines;
  lines.Add("aaaa bbbb cccc");
  lines.Add("abcdefghijkl");
  lines.Add("\x82\xa0\x82\xa0\x82\xa0\x82\xa0xyzw"); // あああああxyzw
  TRowAttributeStringList rows;
  p.SplitIntoRows(lines, rows, 6 * 8, 8);
  std::vector<std::string> got;
  for (int i = 0; i < rows.GetCount(); ++i)
    got.push_back(std::string(rows.Ref(i).view()));
  EXPECT_EQ(got, (std::vector<std::string>{"aaaa ", "bbbb ", "cccc", "abcdef", "ghijkl",
                                           "\x82\xa0\x82\xa0\x82\xa0", "\x82\xa0xyzw"}));
  EXPECT_EQ(rows.RowAttribute(0), reWrapped);
  EXPECT_EQ(rows.RowAttribute(2), reLineBreak);
  EXPECT_EQ(rows.RowData(4), 1);
  EXPECT_EQ(rows.RowData(6), 2);

  p.SetWordBreak(false);
  TRowAttributeStringList plain;
  p.SplitIntoRows(lines, plain, 6 * 8, 8);
  EXPECT_EQ(std::string(plain.Ref(0).view()), "aaaa b");
  // A double-byte character is never cut: 5 bytes hold two of them.
  TRowAttributeStringList odd;
  TStringList one;
  one.Add("\x82\xa0\x82\xa0\x82\xa0");
  p.SplitIntoRows(one, odd, 5 * 8, 8);
  ASSERT_EQ(odd.GetCount(), 2);
  EXPECT_EQ(odd.Ref(0).size(), 4u);
}

TEST(StringsPrinterRows, TabsExpandToTheTabWidth) {
  TStringsPrinter p(nullptr);
  TStringList lines;
  lines.Add("a\tb\x82\xa0\tc");
  TRowAttributeStringList rows;
  p.SetTabSpaceCount(5); // stored as 4
  p.SplitIntoRows(lines, rows, 800, 8);
  EXPECT_EQ(std::string(rows.Ref(0).view()), "a   b\x82\xa0 c");
  p.SetTabSpaceCount(9); // stored as 8
  TRowAttributeStringList wide;
  p.SplitIntoRows(lines, wide, 800, 8);
  EXPECT_EQ(std::string(wide.Ref(0).view()), "a       b\x82\xa0     c");
}

// ---------------------------------------------------------------- columns

TEST(StringsPrinterColumns, EachColumnHasItsOwnGutter) {
  Layout l(50, 10); // 500 x 100 px: six rows a column
  l.p->SetColumnCount(2);
  l.p->SetColumnSpace(2); // 20 px
  l.p->SetLineNumber(true);
  for (int i = 1; i <= 9; ++i)
    l.Add("L" + std::to_string(i));
  auto pages = l.Pages();
  ASSERT_EQ(pages.size(), 1u);
  // Gutter 3 bytes (24 px); text width (500 - 24 - 44) / 2 = 216.
  const TTextCall* l1 = Find(pages[0], "L1");
  const TTextCall* l7 = Find(pages[0], "L7");
  const TTextCall* n7 = Find(pages[0], "7: ");
  ASSERT_TRUE(l1 && l7 && n7);
  EXPECT_EQ(l1->X, 24);
  EXPECT_EQ(l1->Clip.Right, 24 + 216);
  EXPECT_EQ(l7->X, 24 + 216 + 20 + 24);
  EXPECT_EQ(l7->Y, 0);
  EXPECT_EQ(n7->X + 24, l7->X);
  EXPECT_EQ(Find(pages[0], "L6")->Y, 80);
}

TEST(StringsPrinterColumns, RowsContinueOnANewPage) {
  Layout l(50, 10);
  for (int i = 1; i <= 14; ++i)
    l.Add("R" + std::to_string(i));
  auto pages = l.Pages();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_TRUE(Find(pages[1], "R7"));
  EXPECT_EQ(Find(pages[1], "R7")->Y, 0);
  EXPECT_TRUE(Find(pages[2], "R14"));
}

// ---------------------------------------------------------------- header and footer

TEST(StringsPrinterBands, HeaderFileNameAndCentredFooterPageNumber) {
  Layout l(50, 20); // 500 x 200
  l.p->SetFileName("/home/user/docs/メモ.txt");
  l.p->SetHeader("%F");
  l.p->SetHeaderAlign(haLeft);
  l.p->SetFooter("- %p -");
  l.p->SetFooterAlign(haCenter);
  for (int i = 0; i < 20; ++i)
    l.Add("row");
  auto pages = l.Pages();
  // Bands of 24 px: (200 - 48) / 16 = 9 rows a page.
  ASSERT_EQ(pages.size(), 3u);
  const std::string header = "[ \x83\x81\x83\x82 ]";
  const TTextCall* h = Find(pages[0], header);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->X, 0);
  EXPECT_EQ(h->Y, 4);
  const TTextCall* f = Find(pages[1], "- 2 -");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->X, (500 - 5 * 8) / 2);
  EXPECT_EQ(f->Y, 176 + 4);
  EXPECT_TRUE(Find(pages[2], "- 3 -"));
  EXPECT_EQ(TextsAt(pages[0], 0).size(), 10u); // header and nine rows
  EXPECT_EQ(Find(pages[0], "row")->Y, 24);
}

TEST(StringsPrinterBands, HiddenOrEmptyBandsTakeNoSpace) {
  Layout l(50, 20);
  l.p->SetHeader("%F");
  l.p->SetHeaderAlign(haNone);
  l.p->SetFooter("");
  l.p->SetFooterAlign(haRight);
  l.Add("row");
  auto pages = l.Pages();
  EXPECT_EQ(pages[0].Texts.size(), 1u);
  EXPECT_EQ(pages[0].Texts[0].Y, 0);
}

TEST(StringsPrinterMacros, Expansion) {
  TStringsPrinter p(nullptr);
  p.SetFileName("/tmp/a.b/report.final.txt");
  p.Now = [] {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    return t;
  };
  EXPECT_EQ(p.ExpandMacros("%F"), ByteString("[ report.final ]"));
  EXPECT_EQ(p.ExpandMacros("%f"), ByteString("/tmp/a.b/report.final.txt"));
  EXPECT_EQ(p.ExpandMacros("%y/%m/%d %t"), ByteString("2026/12/8 09:05:07"));
  EXPECT_EQ(p.ExpandMacros("100%% %q"), ByteString("100% q"));
  EXPECT_EQ(p.ExpandMacros("end %"), ByteString("end "));
  // A trail byte with the value of '%' is part of its character.
  EXPECT_EQ(p.ExpandMacros("\x81\x25p"), ByteString("\x81\x25p"));
}

// ---------------------------------------------------------------- page selection

TEST(StringsPrinterPages, LimitedRangeNumbersFromTheStartPage) {
  Layout l(50, 10);
  l.p->SetRangeOption(roLimited);
  l.p->SetStartPage(3);
  l.p->SetLastPage(4);
  l.p->SetFirstPageNumber(1);
  l.p->SetFooter("- %p -");
  l.p->SetFooterAlign(haCenter);
  for (int i = 0; i < 30; ++i)
    l.Add("r");
  auto pages = l.Pages(); // 4 rows a page with the footer band
  ASSERT_EQ(pages.size(), 8u);
  EXPECT_TRUE(Find(pages[2], "- 1 -"));
  EXPECT_TRUE(Find(pages[3], "- 2 -"));
  EXPECT_EQ(l.p->SelectedPages(8), (std::vector<int>{2, 3}));
  ASSERT_TRUE(l.p->Print(l.lines));
  EXPECT_EQ(l.dev.events.front(), "begin");
  EXPECT_EQ(std::count(l.dev.events.begin(), l.dev.events.end(), "newpage"), 1);
  EXPECT_NE(l.dev.events[1].find("- 1 -"), std::string::npos);
  EXPECT_NE(l.dev.events[3].find("- 2 -"), std::string::npos);
  EXPECT_EQ(l.dev.events.back(), "end");
}

TEST(StringsPrinterPages, OddPagesOnlyWithoutATrailingBlankSheet) {
  Layout l(50, 10);
  l.p->SetPageOption(poOdd);
  l.p->SetFooter("%p");
  l.p->SetFooterAlign(haLeft);
  for (int i = 0; i < 16; ++i)
    l.Add("r"); // four pages
  ASSERT_TRUE(l.p->Print(l.lines));
  std::vector<std::string> e = l.dev.events;
  ASSERT_EQ(e.size(), 5u); // begin, page 1, newpage, page 3, end
  EXPECT_NE(e[1].find("|1|"), std::string::npos);
  EXPECT_EQ(e[2], "newpage");
  EXPECT_NE(e[3].find("|3|"), std::string::npos);
  EXPECT_EQ(e[4], "end");
  l.p->SetPageOption(poEven);
  EXPECT_EQ(l.p->SelectedPages(4), (std::vector<int>{1, 3}));
}

TEST(StringsPrinterPages, NothingToSendOrAFailedJobIsToldAndFalse) {
  Layout l(50, 10);
  l.Add("one page");
  l.p->SetPageOption(poEven);
  EXPECT_FALSE(l.p->Print(l.lines));
  EXPECT_EQ(l.p->LastError(), kPrintNoPagesSelected);
  EXPECT_TRUE(l.dev.events.empty());
  l.p->SetPageOption(poBoth);
  l.dev.beginOk = false;
  EXPECT_FALSE(l.p->Print(l.lines));
  EXPECT_EQ(l.p->LastError(), kPrintJobFailed);
  l.dev.beginOk = true;
  l.dev.endOk = false;
  EXPECT_FALSE(l.p->Print(l.lines));
  l.dev.endOk = true;
  EXPECT_TRUE(l.p->Print(l.lines));
}

TEST(StringsPrinterPages, LineRangeLimitsTheRowsAndNumbersFromTheFirstLineNumber) {
  Layout l(50, 100);
  l.p->SetLineRangeOption(roLimited);
  l.p->SetStartLine(3);
  l.p->SetLineNumber(true);
  l.p->SetFirstLineNumber(3);
  for (int i = 1; i <= 6; ++i)
    l.Add("line" + std::to_string(i));
  auto pages = l.Pages();
  EXPECT_FALSE(Find(pages[0], "line2"));
  const TTextCall* first = Find(pages[0], "line3");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Y, 0);
  EXPECT_TRUE(Find(pages[0], "line6")); // LastLine's default reaches the end
  EXPECT_TRUE(Find(pages[0], "3: "));
  EXPECT_TRUE(Find(pages[0], "6: "));
  l.p->SetLastLine(4);
  pages = l.Pages();
  EXPECT_FALSE(Find(pages[0], "line5"));
}

// ---------------------------------------------------------------- refusals

TEST(StringsPrinterRefusals, ColumnsWithoutRoomAreRefusedWithAMessage) {
  Layout postcard(100, 148);
  postcard.p->SetMarginLeft(50);
  postcard.p->SetMarginRight(50);
  postcard.Add("text");
  EXPECT_TRUE(postcard.Pages(false).empty());
  EXPECT_EQ(postcard.p->LastError(), kPrintColumnTooNarrow);

  Layout narrow(3, 100); // 30 px: not two bytes after the line number gutter
  narrow.p->SetLineNumber(true);
  narrow.Add("text");
  narrow.Pages(false);
  EXPECT_EQ(narrow.p->LastError(), kPrintColumnTooNarrow);

  Layout low(100, 100);
  low.p->SetMarginTop(50);
  low.p->SetMarginBottom(49); // 10 px left for a row of 16
  low.Add("text");
  low.Pages(false);
  EXPECT_EQ(low.p->LastError(), kPrintNoRowFits);

  Layout spaced(100, 100);
  spaced.p->SetMarginLine(100); // a row pitch taller than the page
  spaced.Add("text");
  spaced.Pages(false);
  EXPECT_EQ(spaced.p->LastError(), kPrintNoRowFits);
}

class ScriptedProgress : public TPrintProgress {
public:
  explicit ScriptedProgress(std::function<void(int)> onUpdate) : onUpdate_(std::move(onUpdate)) {}
  void Show(const std::string& caption) override {
    shown = caption;
    if (onShow) onShow(caption);
  }
  void Update(const std::string&, int last, int current) override {
    ++updates;
    if (onUpdate_) onUpdate_(current);
  }
  bool Cancelled() const override { return cancel; }
  std::string shown;
  std::function<void(const std::string&)> onShow;
  int updates = 0;
  bool cancel = false;

private:
  std::function<void(int)> onUpdate_;
};

TEST(StringsPrinterBuild, CancellationStopsTheBuildAndKeepsNoPage) {
  Layout l(50, 10);
  for (int i = 0; i < 1000; ++i)
    l.Add("r");
  std::string shown;
  int made = 0;
  l.p->ProgressFactory = [&] {
    ++made;
    auto pr = std::make_unique<ScriptedProgress>(nullptr);
    pr->cancel = true;
    pr->onShow = [&](const std::string& c) { shown = c; };
    return pr;
  };
  TMetaFileList list;
  EXPECT_FALSE(l.p->MakePages(l.lines, list, "印刷中"));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(made, 1);
  EXPECT_EQ(shown, "印刷中");
  EXPECT_FALSE(l.p->Print(l.lines));
  EXPECT_TRUE(l.dev.events.empty());
}

TEST(StringsPrinterBuild, ASecondBuildStartedWhileBuildingIsRefused) {
  Layout l(50, 10);
  for (int i = 0; i < 300; ++i)
    l.Add("r");
  bool nestedResult = true;
  bool buildingSeen = false;
  l.p->ProgressFactory = [&] {
    return std::make_unique<ScriptedProgress>([&](int) {
      if (buildingSeen) return;
      buildingSeen = l.p->Building();
      TMetaFileList other;
      nestedResult = l.p->Preview(l.lines);
    });
  };
  TMetaFileList list;
  EXPECT_TRUE(l.p->MakePages(l.lines, list, "x"));
  EXPECT_TRUE(buildingSeen);
  EXPECT_FALSE(nestedResult);
  EXPECT_EQ(list.size(), 50u);
  EXPECT_FALSE(l.p->Building());
}

TEST(StringsPrinterBuild, PreviewHandsTheBuiltPagesOver) {
  Layout l(50, 10);
  for (int i = 0; i < 13; ++i)
    l.Add("r");
  size_t shown = 0;
  l.p->OnPreview = [&](TStringsPrinter&, const TMetaFileList& pages) { shown = pages.size(); };
  EXPECT_TRUE(l.p->Preview(l.lines));
  EXPECT_EQ(shown, 3u);
}

// ---------------------------------------------------------------- colours

struct ColourCase {
  TStringsPrinterPrintMode Mode;
  TColor PageBg, PlainFg, ReserveFg, HeaderFg;
  bool ReserveBold;
};

TEST(StringsPrinterColours, EachModeTakesItsColours) {
  auto f = Create<TEditorFountain>(nullptr);
  f->ReserveWordList()->Add("begin");
  f->Reserve()->SetColor(0x0000FF);
  f->Reserve()->SetStyle(FontStyles({fsBold}));
  const TColor bk = 0xEEEEEE, fontColor = 0x336699, head = 0x00AA00;
  for (const ColourCase& c : {ColourCase{pmBW, clWhite, clBlack, clBlack, clBlack, false},
                              ColourCase{pmThreeColor, bk, fontColor, fontColor, head, false},
                              ColourCase{pmBWFontStyle, clWhite, clBlack, clBlack, clBlack, true},
                              ColourCase{pmColorToken, bk, fontColor, 0x0000FF, head, true}}) {
    Layout l(50, 20);
    l.p->SetFountain(f.get());
    l.p->SetPrintMode(c.Mode);
    l.p->SetBkColor(bk);
    l.p->Font()->SetColor(fontColor);
    l.p->SetHeaderColor(head);
    l.p->SetHeader("H");
    l.p->SetHeaderAlign(haLeft);
    l.Add("x begin y");
    auto pages = l.Pages();
    const auto& s = pages[0];
    ASSERT_FALSE(s.Fills.empty());
    EXPECT_EQ(s.Fills[0].Color, c.PageBg) << c.Mode;
    EXPECT_EQ(s.Fills[0].Rect, (TRect{0, 0, 500, 200}));
    const TTextCall* h = Find(s, "H");
    ASSERT_TRUE(h);
    EXPECT_EQ(h->Fg, c.HeaderFg) << c.Mode;
    const TTextCall* word = Find(s, "begin");
    if (c.Mode == pmBW || c.Mode == pmThreeColor) {
      // No colouring: the row is one text.
      EXPECT_FALSE(word) << c.Mode;
      const TTextCall* row = Find(s, "x begin y");
      ASSERT_TRUE(row) << c.Mode;
      EXPECT_EQ(row->Fg, c.PlainFg);
      continue;
    }
    ASSERT_TRUE(word) << c.Mode;
    EXPECT_EQ(word->Fg, c.ReserveFg) << c.Mode;
    EXPECT_EQ(HasFontStyle(word->Style, fsBold), c.ReserveBold);
    EXPECT_EQ(word->X, 2 * 8);
    const TTextCall* before = Find(s, "x ");
    ASSERT_TRUE(before) << c.Mode;
    EXPECT_EQ(before->Fg, c.PlainFg);
  }
}

TEST(StringsPrinterColours, AColouredSpanCarriesOverLinesAndWrappedRows) {
  auto f = Create<TEditorFountain>(nullptr);
  auto* braces = f->Brackets()->Add();
  braces->SetLeftBracket("{");
  braces->SetRightBracket("}");
  braces->ItemColor()->SetColor(0x008000);
  Layout l(5, 100); // 50 px: six bytes a row
  l.p->SetFountain(f.get());
  l.p->SetPrintMode(pmColorToken);
  l.p->SetWordBreak(false);
  l.Add("a {bcdefgh");
  l.Add("ij} k");
  auto pages = l.Pages();
  // "a {bcd" / "efgh" / "ij} k": the span runs over the row and line ends.
  const TTextCall* efgh = Find(pages[0], "efgh");
  const TTextCall* ij = Find(pages[0], "ij}");
  const TTextCall* k = Find(pages[0], " k");
  ASSERT_TRUE(efgh && ij && k);
  EXPECT_EQ(efgh->Fg, 0x008000u);
  EXPECT_EQ(ij->Fg, 0x008000u);
  EXPECT_EQ(k->Fg, clBlack);

  TRowAttributeStringList rows;
  l.p->SplitIntoRows(l.lines, rows, 48, 8);
  l.p->ComputeRowStates(rows);
  ASSERT_EQ(rows.GetCount(), 3);
  EXPECT_EQ(rows.BracketIndex(0), -1);
  EXPECT_EQ(rows.BracketIndex(1), 0);
  EXPECT_EQ(rows.BracketIndex(2), 0);
}

TEST(StringsPrinterColours, BoldFontLeavesACharacterOfRoom) {
  Layout l(10, 100); // 100 px: 12 bytes, 11 in bold
  l.Add(std::string(12, 'a'));
  auto pages = l.Pages();
  EXPECT_TRUE(Find(pages[0], std::string(12, 'a')));
  l.p->Font()->SetStyle(FontStyles({fsBold}));
  pages = l.Pages();
  EXPECT_TRUE(Find(pages[0], std::string(11, 'a')));
}

// ---------------------------------------------------------------- recording

TEST(PageMetafile, ReplayGivesTheCallsBack) {
  TPageMetafile page(300, 400, 600);
  TPageRecorder r(page, [](const TFontDesc&) { return TFontMetrics{20, 2, 10}; });
  TFontDesc font{"IPAGothic", 11, FontStyles({fsItalic}), clBlack};
  r.SetFont(font);
  EXPECT_EQ(r.FontMetrics().Height, 20);
  r.FillRect(TRect{-5, 0, 300, 400}, 0xABCDEF);
  r.TextOut(-3, 7, TRect{0, 0, 100, 50}, "\x82\xa0z", 10, 0x123456, 0x654321, true, 3);
  r.TextOut(40, 7, TRect{0, 0, 100, 50}, "next", 10, 0x123456, 0x654321, true, 3);
  TBitmap bmp;
  bmp.Resize(2, 1, 0x010203);
  r.DrawBitmap(1, 2, bmp, 0, 0, 2, 1);
  TTextSurface s;
  page.Replay(s);
  EXPECT_EQ(s.Font, font);
  ASSERT_EQ(s.Fills.size(), 1u);
  EXPECT_EQ(s.Fills[0].Rect, (TRect{-5, 0, 300, 400}));
  EXPECT_EQ(s.Fills[0].Color, 0xABCDEFu);
  ASSERT_EQ(s.Texts.size(), 2u);
  EXPECT_EQ(s.Texts[0].X, -3);
  EXPECT_EQ(s.Texts[0].Text, "\x82\xa0z");
  EXPECT_EQ(s.Texts[0].Clip, (TRect{0, 0, 100, 50}));
  EXPECT_EQ(s.Texts[0].Fg, 0x123456u);
  EXPECT_EQ(s.Texts[0].Bg, 0x654321u);
  EXPECT_TRUE(s.Texts[0].Opaque);
  EXPECT_EQ(s.Texts[0].Style, 3);
  EXPECT_EQ(s.Texts[1].Text, "next");
  EXPECT_EQ(page.Dpi(), 600);
}

TEST(PageMetafile, ARowCostsAFewBytesBesideItsText) {
  Layout l(210, 297);
  const std::string row(60, 'k');
  for (int i = 0; i < 185; ++i)
    l.Add(row);
  TMetaFileList list;
  ASSERT_TRUE(l.p->MakePages(l.lines, list, "x"));
  ASSERT_EQ(list.size(), 1u);
  const size_t text = 185 * row.size();
  EXPECT_LT(list[0]->ByteSize(), text + 185 * 10 + 200);
}

} // namespace
} // namespace ze
