// The encoding and line-break commands: which choice each stands for, the
// texts shown about a document's format, and when the commands are offered.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/CommandState.h"
#include "app/EncodingChoices.h"

namespace ze {
namespace {

using C = TCommandId;

TEST(EncodingChoices, EveryEncodingHasItsOwnReopenAndSaveCommand) {
  std::vector<TCommandId> seen;
  for (int n = 0; n < kEncodingCount; ++n) {
    const auto e = static_cast<TEncoding>(n);
    TEncoding back = TEncoding::Cp932;
    ASSERT_TRUE(ReopenChoice(ReopenCommand(e), back));
    EXPECT_EQ(back, e);
    back = TEncoding::Cp932;
    ASSERT_TRUE(SaveEncodingChoice(SaveEncodingCommand(e), back));
    EXPECT_EQ(back, e);
    // A reopen command is not a save choice and the other way round.
    EXPECT_FALSE(SaveEncodingChoice(ReopenCommand(e), back));
    EXPECT_FALSE(ReopenChoice(SaveEncodingCommand(e), back));
    seen.push_back(ReopenCommand(e));
    seen.push_back(SaveEncodingCommand(e));
  }
  for (int n = 0; n < kLineBreakCount; ++n) {
    const auto b = static_cast<TLineBreak>(n);
    TLineBreak back = TLineBreak::CrLf;
    ASSERT_TRUE(LineBreakChoice(LineBreakCommand(b), back));
    EXPECT_EQ(back, b);
    seen.push_back(LineBreakCommand(b));
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
  // The commands around the runs are none of them.
  TEncoding e;
  TLineBreak b;
  EXPECT_FALSE(ReopenChoice(C::SaveAs1, e));
  EXPECT_FALSE(SaveEncodingChoice(C::LineBreakCrLf, e));
  EXPECT_FALSE(LineBreakChoice(C::SaveEncUtf16Be, b));
  EXPECT_FALSE(LineBreakChoice(C::PrintPreview, b));
}

TEST(EncodingChoices, CaptionsNameTheEncodingsAndTheMenusHoldThem) {
  EXPECT_EQ(CommandInfo(ReopenCommand(TEncoding::EucJp)).Caption, "EUC-JP");
  EXPECT_EQ(CommandInfo(SaveEncodingCommand(TEncoding::Utf8Bom)).Caption, "UTF-8 (BOM)");
  EXPECT_EQ(CommandInfo(LineBreakCommand(TLineBreak::Lf)).Caption, "LF (Linux/UNIX)");
  EXPECT_TRUE(CommandInfo(SaveEncodingCommand(TEncoding::Cp932)).Checkable);
  EXPECT_TRUE(CommandInfo(LineBreakCommand(TLineBreak::Cr)).Checkable);
  EXPECT_FALSE(CommandInfo(ReopenCommand(TEncoding::Cp932)).Checkable);
  TCommandId id;
  ASSERT_TRUE(CommandByName("ReopenIso2022Jp", id));
  EXPECT_EQ(id, ReopenCommand(TEncoding::Iso2022Jp));

  // The File menu: each run inside its own submenu, nothing left open.
  const TMenuInfo& file = MainMenus().front();
  std::vector<std::string_view> open;
  int reopen = 0, saveEnc = 0, breaks = 0, depth = 0;
  for (const TMenuLine& l : file.Lines) {
    if (l.Kind == TMenuLine::SubmenuBegin) open.push_back(l.Caption), ++depth;
    if (l.Kind == TMenuLine::SubmenuEnd) --depth;
    if (l.Kind != TMenuLine::Command || depth != 1) continue;
    TEncoding e;
    TLineBreak b;
    if (ReopenChoice(l.Id, e) && open.back() == " 文字コードを指定して開き直す") ++reopen;
    if (SaveEncodingChoice(l.Id, e) && open.back() == "   保存する文字コード") ++saveEnc;
    if (LineBreakChoice(l.Id, b) && open.back() == "   改行コード") ++breaks;
  }
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(reopen, kEncodingCount);
  EXPECT_EQ(saveEnc, kEncodingCount);
  EXPECT_EQ(breaks, kLineBreakCount);
}

TEST(EncodingChoices, FormatTextsAndMessages) {
  EXPECT_EQ(FileFormatText(TEncoding::Utf8, TLineBreak::Lf, false), "UTF-8  LF");
  EXPECT_EQ(FileFormatText(TEncoding::Cp932, TLineBreak::CrLf, false), "Shift-JIS  CR+LF");
  EXPECT_EQ(FileFormatText(TEncoding::EucJp, TLineBreak::Lf, true), "EUC-JP  LF (混在)");

  const std::string m = NotExactMessage("/tmp/a.txt", "2 行 3 文字目の「😀」", TEncoding::Utf8);
  EXPECT_NE(m.find("/tmp/a.txt"), std::string::npos);
  EXPECT_NE(m.find("2 行 3 文字目の「😀」"), std::string::npos);
  EXPECT_NE(m.find("UTF-8"), std::string::npos);
  EXPECT_NE(m.find("読み取り専用"), std::string::npos);
  const std::string q = ReopenQuestion("/tmp/a.txt", TEncoding::EucJp);
  EXPECT_NE(q.find("/tmp/a.txt"), std::string::npos);
  EXPECT_NE(q.find("EUC-JP"), std::string::npos);
}

TEST(EncodingChoices, AsciiFilesAreNeverReadAsUtf16) {
  // Bytes without a byte order mark read as UTF-16 would be garbage.
  EXPECT_EQ(AsciiReadingOf(TEncoding::Utf16Le), TEncoding::Cp932);
  EXPECT_EQ(AsciiReadingOf(TEncoding::Utf16Be), TEncoding::Cp932);
  for (TEncoding e : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp,
                      TEncoding::Iso2022Jp})
    EXPECT_EQ(AsciiReadingOf(e), e);
}

TCommandSnapshot Editing() {
  TCommandSnapshot s;
  s.Available.set();
  s.HasEditor = true;
  s.HasLines = true;
  s.PageCount = 1;
  return s;
}

TEST(EncodingChoices, StateRules) {
  TCommandSnapshot s = Editing();
  s.HasFile = true;
  s.Encoding = TEncoding::EucJp;
  s.LineBreak = TLineBreak::Lf;
  TCommandStates st = ComputeCommandStates(s);
  for (int n = 0; n < kEncodingCount; ++n) {
    const auto e = static_cast<TEncoding>(n);
    EXPECT_TRUE(st[Index(ReopenCommand(e))].Enabled);
    EXPECT_TRUE(st[Index(SaveEncodingCommand(e))].Enabled);
    EXPECT_EQ(st[Index(SaveEncodingCommand(e))].Checked, e == TEncoding::EucJp);
  }
  for (int n = 0; n < kLineBreakCount; ++n) {
    const auto b = static_cast<TLineBreak>(n);
    EXPECT_TRUE(st[Index(LineBreakCommand(b))].Enabled);
    EXPECT_EQ(st[Index(LineBreakCommand(b))].Checked, b == TLineBreak::Lf);
  }

  // Untitled: nothing to read again, yet its saving format may be chosen.
  s.HasFile = false;
  st = ComputeCommandStates(s);
  EXPECT_FALSE(st[Index(C::ReopenUtf8)].Enabled);
  EXPECT_TRUE(st[Index(C::SaveEncUtf8)].Enabled);

  // Read-only (a file that did not fit): it may be read again in another
  // encoding, but not given a saving format.
  s.HasFile = true;
  s.ReadOnly = true;
  st = ComputeCommandStates(s);
  EXPECT_TRUE(st[Index(C::ReopenUtf8)].Enabled);
  EXPECT_FALSE(st[Index(C::SaveEncUtf8)].Enabled);
  EXPECT_FALSE(st[Index(C::LineBreakLf)].Enabled);

  // No handler attached: disabled whatever the situation.
  s.ReadOnly = false;
  s.Available.reset(Index(C::ReopenUtf8));
  s.Available.reset(Index(C::LineBreakCr));
  st = ComputeCommandStates(s);
  EXPECT_FALSE(st[Index(C::ReopenUtf8)].Enabled);
  EXPECT_FALSE(st[Index(C::LineBreakCr)].Enabled);

  // No editor: none of them.
  TCommandSnapshot none;
  none.Available.set();
  st = ComputeCommandStates(none);
  EXPECT_FALSE(st[Index(C::ReopenCp932)].Enabled);
  EXPECT_FALSE(st[Index(C::SaveEncCp932)].Checked);
  EXPECT_FALSE(st[Index(C::LineBreakCrLf)].Checked);
}

} // namespace
} // namespace ze
