// Encodings at the file edge: detection, exact decode and encode, the
// characters that share a CP932 code, and line-break styles.
#include <gtest/gtest.h>

#include "platform/Encoding.h"

namespace ze {
namespace {

// Japanese sample texts in each encoding (あいう漢字〜 where it applies).
const std::string kUtf8 = "abc \xE3\x81\x82\xE3\x81\x84\xE6\xBC\xA2\xE5\xAD\x97\r\n";
const std::string kSjis = "abc \x82\xA0\x82\xA2\x8A\xBF\x8E\x9A\r\n";
const std::string kEuc = "abc \xA4\xA2\xA4\xA4\xB4\xC1\xBB\xFA\r\n";

TEST(Encoding, DetectsByBomEscapesAndScore) {
  EXPECT_EQ(DetectEncoding("\xEF\xBB\xBFx").Encoding, TEncoding::Utf8Bom);
  EXPECT_EQ(DetectEncoding(std::string("\xFF\xFEx\0", 4)).Encoding, TEncoding::Utf16Le);
  EXPECT_EQ(DetectEncoding(std::string("\xFE\xFF\0x", 4)).Encoding, TEncoding::Utf16Be);
  EXPECT_EQ(DetectEncoding("a\x1B$B$\"\x1B(Bb").Encoding, TEncoding::Iso2022Jp);
  EXPECT_EQ(DetectEncoding(kUtf8).Encoding, TEncoding::Utf8);
  EXPECT_EQ(DetectEncoding(kSjis).Encoding, TEncoding::Cp932);
  EXPECT_EQ(DetectEncoding(kEuc).Encoding, TEncoding::EucJp);
  TDetection ascii = DetectEncoding("plain text\n", TEncoding::Utf8);
  EXPECT_TRUE(ascii.Ascii);
  EXPECT_EQ(ascii.Encoding, TEncoding::Utf8);
  EXPECT_EQ(DetectEncoding("", TEncoding::EucJp).Encoding, TEncoding::EucJp);
  // Bytes that are none of them stay CP932, as they are.
  EXPECT_EQ(DetectEncoding("\xFF\xFD\x80\xA0").Encoding, TEncoding::Cp932);
}

TEST(Encoding, AnOddUtf16FileIsReportedNotMisread) {
  TDetection d = DetectEncoding(std::string("\xFF\xFEx\0y", 5));
  EXPECT_EQ(d.Encoding, TEncoding::Utf16Le);
  EXPECT_FALSE(d.Note.empty());
  TDecoded odd = DecodeToCp932(std::string("\xFF\xFEx\0y", 5), TEncoding::Utf16Le);
  EXPECT_FALSE(odd.Exact);
  EXPECT_NE(odd.Message.find("奇数"), std::string::npos);
}

TEST(Encoding, ScoresPreferKanaAndCommonKanji) {
  TEncodingScores euc = ScoreEncodings(kEuc);
  EXPECT_GT(euc.EucJp, euc.Cp932);
  EXPECT_LT(euc.Utf8, 0);
  TEncodingScores sjis = ScoreEncodings(kSjis);
  EXPECT_LT(sjis.EucJp, 0);
  EXPECT_GT(sjis.Cp932, 0);
  // A character cut by the end does not make a prefix invalid.
  EXPECT_GE(ScoreEncodings(kUtf8.substr(0, 6)).Utf8, 0);
  EXPECT_GE(ScoreEncodings(kEuc.substr(0, 5)).EucJp, 0);
}

TEST(Encoding, DecodesAndEncodesBackExactly) {
  for (TEncoding e : {TEncoding::Utf8, TEncoding::EucJp}) {
    const std::string& src = e == TEncoding::Utf8 ? kUtf8 : kEuc;
    TDecoded d = DecodeToCp932(src, e);
    EXPECT_TRUE(d.Exact) << d.Message;
    EXPECT_EQ(d.Text, kSjis);
    TEncoded back = EncodeFromCp932(d.Text, e, d.Variants);
    EXPECT_TRUE(back.Ok);
    EXPECT_EQ(back.Bytes, src);
  }
  TDecoded same = DecodeToCp932(std::string("\x80\xFF\0\x1A", 4), TEncoding::Cp932);
  EXPECT_EQ(same.Text, std::string("\x80\xFF\0\x1A", 4));
  TEncoded bom = EncodeFromCp932("a", TEncoding::Utf8Bom);
  EXPECT_EQ(bom.Bytes, "\xEF\xBB\xBF" "a");
  EXPECT_EQ(DecodeToCp932(bom.Bytes, TEncoding::Utf8Bom).Text, "a");
  EXPECT_EQ(DecodeToCp932("\xEF\xBB\xBF", TEncoding::Utf8Bom).Text, "");
  TEncoded be = EncodeFromCp932("\x82\xA0", TEncoding::Utf16Be);
  EXPECT_EQ(be.Bytes, std::string("\xFE\xFF\x30\x42", 4));
  TEncoded iso = EncodeFromCp932("a\x82\xA0\n", TEncoding::Iso2022Jp);
  EXPECT_EQ(iso.Bytes, "a\x1B$B$\"\x1B(B\n");
  TDecoded isoBack = DecodeToCp932(iso.Bytes, TEncoding::Iso2022Jp);
  EXPECT_TRUE(isoBack.Exact) << isoBack.Message;
  EXPECT_EQ(isoBack.Text, "a\x82\xA0\n");
}

TEST(Encoding, RemembersWhichTwinTheFileUsed) {
  const std::string waveDash = "\xE3\x80\x9C";  // U+301C
  const std::string fullTilde = "\xEF\xBD\x9E"; // U+FF5E
  TDecoded d = DecodeToCp932("x" + waveDash + "\n", TEncoding::Utf8);
  ASSERT_TRUE(d.Exact);
  EXPECT_EQ(d.Text, "x\x81\x60\n");
  ASSERT_EQ(d.Variants.count(0x8160), 1u);
  EXPECT_EQ(d.Variants.at(0x8160), U'\x301C');
  EXPECT_EQ(EncodeFromCp932(d.Text + "\x81\x60", TEncoding::Utf8, d.Variants).Bytes,
            "x" + waveDash + "\n" + waveDash);
  TDecoded plain = DecodeToCp932(fullTilde, TEncoding::Utf8);
  EXPECT_TRUE(plain.Variants.empty());
  EXPECT_EQ(EncodeFromCp932(plain.Text, TEncoding::Utf8).Bytes, fullTilde);

  // Both twins in one file cannot be held apart.
  TDecoded both = DecodeToCp932("a\n" + fullTilde + waveDash, TEncoding::Utf8);
  EXPECT_FALSE(both.Exact);
  EXPECT_EQ(both.Line, 2u);
  EXPECT_EQ(both.Column, 2u);
  EXPECT_NE(both.Message.find("U+301C"), std::string::npos);

  // A yen sign shares 0x5C with the backslash.
  TDecoded yen = DecodeToCp932("C:\\\xC2\xA5", TEncoding::Utf8);
  EXPECT_FALSE(yen.Exact);
  EXPECT_EQ(yen.Column, 4u);
  EXPECT_NE(yen.Message.find("U+00A5"), std::string::npos);
  TDecoded yenAlone = DecodeToCp932("\xC2\xA5" "100", TEncoding::Utf8);
  EXPECT_TRUE(yenAlone.Exact);
  EXPECT_EQ(EncodeFromCp932(yenAlone.Text, TEncoding::Utf8, yenAlone.Variants).Bytes,
            "\xC2\xA5" "100");

  // EUC-JP holds only the wave dash: a tilde typed into the document is
  // written as its twin rather than refused.
  TEncoded euc = EncodeFromCp932("\x81\x60", TEncoding::EucJp);
  EXPECT_TRUE(euc.Ok) << euc.Message;
  EXPECT_EQ(DecodeToCp932(euc.Bytes, TEncoding::EucJp).Text, "\x81\x60");
}

TEST(Encoding, CharactersOutsideCp932AreNamedNotDropped) {
  // Line 2, column 3: an emoji.
  TDecoded d = DecodeToCp932("ab\ncd\xF0\x9F\x98\x80" "e", TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_EQ(d.Line, 2u);
  EXPECT_EQ(d.Column, 3u);
  EXPECT_NE(d.Message.find("U+1F600"), std::string::npos);
  EXPECT_EQ(d.Text, "ab\ncd?e");

  TDecoded bad = DecodeToCp932("ok\n\xC3(", TEncoding::Utf8);
  EXPECT_FALSE(bad.Exact);
  EXPECT_EQ(bad.Line, 2u);
  TDecoded cut = DecodeToCp932("\xE3\x81", TEncoding::Utf8);
  EXPECT_FALSE(cut.Exact);
  TDecoded overlong = DecodeToCp932("\xC0\xAF", TEncoding::Utf8);
  EXPECT_FALSE(overlong.Exact);
  TDecoded surrogate = DecodeToCp932("\xED\xA0\x80", TEncoding::Utf8);
  EXPECT_FALSE(surrogate.Exact);
}

TEST(Encoding, SavingRefusesWhatTheEncodingCannotHold) {
  // NEC special character ① (0x8740) has no place in EUC-JP or ISO-2022-JP.
  for (TEncoding e : {TEncoding::EucJp, TEncoding::Iso2022Jp}) {
    TEncoded r = EncodeFromCp932("ok\r\nx\x87\x40", e);
    EXPECT_FALSE(r.Ok) << EncodingName(e);
    EXPECT_TRUE(r.Bytes.empty());
    EXPECT_EQ(r.Line, 2u);
    EXPECT_EQ(r.Column, 2u);
    EXPECT_NE(r.Message.find("2 行"), std::string::npos);
  }
  EXPECT_TRUE(EncodeFromCp932("\x87\x40", TEncoding::Utf8).Ok);
  // A byte that is no CP932 character cannot be written in Unicode.
  TEncoded stray = EncodeFromCp932("a\x80", TEncoding::Utf8);
  EXPECT_FALSE(stray.Ok);
  EXPECT_FALSE(EncodeFromCp932("a\x82", TEncoding::Utf16Le).Ok); // a lone lead byte
}

TEST(Encoding, IsoFormsThatCannotBeWrittenBackAreReported) {
  // A designation that changes nothing is read but never written.
  TDecoded d = DecodeToCp932("a\x1B(Bb", TEncoding::Iso2022Jp);
  EXPECT_EQ(d.Text, "ab");
  EXPECT_FALSE(d.Exact);
}

TEST(Encoding, EmptyFilesAndAMarkAlone) {
  TDetection empty = DetectEncoding("", TEncoding::Utf8);
  EXPECT_TRUE(empty.Ascii);
  EXPECT_EQ(empty.Encoding, TEncoding::Utf8);
  for (auto [bytes, e] : {std::pair{std::string("\xFF\xFE"), TEncoding::Utf16Le},
                          std::pair{std::string("\xFE\xFF"), TEncoding::Utf16Be},
                          std::pair{std::string("\xEF\xBB\xBF"), TEncoding::Utf8Bom}}) {
    EXPECT_EQ(DetectEncoding(bytes).Encoding, e);
    TDecoded d = DecodeToCp932(bytes, e);
    EXPECT_TRUE(d.Exact);
    EXPECT_EQ(d.Text, "");
    EXPECT_EQ(EncodeFromCp932(d.Text, e).Bytes, bytes);
  }
  // A UTF-16 text keeps NUL characters and surrogate pairs apart from
  // what CP932 can hold.
  TDecoded nul = DecodeToCp932(std::string("\xFF\xFE" "a\0\0\0b\0", 8), TEncoding::Utf16Le);
  EXPECT_TRUE(nul.Exact);
  EXPECT_EQ(nul.Text, std::string("a\0b", 3));
  TDecoded pair = DecodeToCp932(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), TEncoding::Utf16Le);
  EXPECT_FALSE(pair.Exact);
  EXPECT_NE(pair.Message.find("U+1F600"), std::string::npos);
  TDecoded lone = DecodeToCp932(std::string("\xFF\xFE\x00\xD8x\0", 6), TEncoding::Utf16Le);
  EXPECT_FALSE(lone.Exact);
}

TEST(Encoding, LineBreakStyles) {
  TLineBreaks lf = DetectLineBreaks("a\nb\nc\r\n");
  EXPECT_EQ(lf.Style, TLineBreak::Lf);
  EXPECT_TRUE(lf.Mixed);
  EXPECT_EQ(lf.Lf, 2u);
  EXPECT_EQ(lf.CrLf, 1u);
  TLineBreaks cr = DetectLineBreaks("a\rb\r");
  EXPECT_EQ(cr.Style, TLineBreak::Cr);
  EXPECT_FALSE(cr.Mixed);
  EXPECT_EQ(DetectLineBreaks("a\r\nb\nc").Style, TLineBreak::CrLf); // a tie
  EXPECT_EQ(DetectLineBreaks("none", TLineBreak::Lf).Style, TLineBreak::Lf);
  EXPECT_EQ(DetectLineBreaks("\r").Cr, 1u);
}

} // namespace
} // namespace ze
