#include "text/ComponentStore.h"

#include <gtest/gtest.h>

#include <chrono>

#include "text/Notify.h"
#include "text/Properties.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::TempDir;

enum TAlign { haNone, haLeft, haCenter, haRight };

struct TFontLike : TNotifyPersistent {
  ByteString name = "FixedSys";
  int size = 12;
  uint8_t style = 0;
  ByteString Name() const { return name; }
  void SetName(const ByteString& v) { name = v; }
  int Size() const { return size; }
  void SetSize(int v) { size = v; }
  uint8_t Style() const { return style; }
  void SetStyle(uint8_t v) { style = v; }
  static const TPropTable& ClassProps() {
    static const TPropTable t(nullptr, {StrProp<TFontLike>("Name", &TFontLike::Name, &TFontLike::SetName),
                                        IntProp<TFontLike>("Size", &TFontLike::Size, &TFontLike::SetSize),
                                        SetProp<TFontLike>("Style", &TFontLike::Style, &TFontLike::SetStyle,
                                                           {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})});
    return t;
  }
  const TPropTable* PublishedProps() const override { return &ClassProps(); }
};

struct TPair : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  ByteString left, right;
  ByteString Left() const { return left; }
  void SetLeft(const ByteString& v) { left = v; }
  ByteString Right() const { return right; }
  void SetRight(const ByteString& v) { right = v; }
  static const TPropTable& ClassProps() {
    static const TPropTable t(nullptr, {StrProp<TPair>("LeftBracket", &TPair::Left, &TPair::SetLeft),
                                        StrProp<TPair>("RightBracket", &TPair::Right, &TPair::SetRight)});
    return t;
  }
  const TPropTable* PublishedProps() const override { return &ClassProps(); }
};

struct TSample : TStoreComponent {
  explicit TSample(TComponent* owner)
      : TStoreComponent(owner), pairs([](TCollection* c) { return new TPair(c); }) {}
  int columns = 1;
  bool lineNumber = false;
  TAlign align = haNone;
  ByteString header;
  TFontLike font;
  TCollection pairs;
  TStringList words{true, TDuplicates::dupIgnore};
  TComponent* ref = nullptr;
  int loadedCalls = 0;

  int Columns() const { return columns; }
  void SetColumns(int v) { columns = std::clamp(v, 1, 3); }
  bool LineNumber() const { return lineNumber; }
  void SetLineNumber(bool v) { lineNumber = v; }
  TAlign Align() const { return align; }
  void SetAlign(TAlign v) { align = v; }
  ByteString Header() const { return header; }
  void SetHeader(const ByteString& v) { header = v; }
  void Loaded() override {
    TStoreComponent::Loaded();
    ++loadedCalls;
  }

  static const TPropTable& ClassProps() {
    static const TPropTable t(
        nullptr,
        {IntProp<TSample>("Columns", &TSample::Columns, &TSample::SetColumns),
         ClassProp<TSample>("Font", [](const TSample& s) { return (TObject*)&s.font; }),
         StrProp<TSample>("Header", &TSample::Header, &TSample::SetHeader),
         EnumProp<TSample>("HeaderAlign", &TSample::Align, &TSample::SetAlign,
                           {"haNone", "haLeft", "haCenter", "haRight"}),
         BoolProp<TSample>("LineNumber", &TSample::LineNumber, &TSample::SetLineNumber),
         ClassProp<TSample>("Pairs", [](const TSample& s) { return (TObject*)&s.pairs; }),
         ClassProp<TSample>("Ref", [](const TSample& s) { return (TObject*)s.ref; }),
         ClassProp<TSample>("Words", [](const TSample& s) { return (TObject*)&s.words; })});
    return t;
  }
  const TPropTable* PublishedProps() const override { return &ClassProps(); }
};

void Fill(TSample& s) {
  s.columns = 3;
  s.lineNumber = true;
  s.align = haRight;
  s.header = "\x83\x79\x81\x5B\x83\x57 &p / &P"; // "ページ &p / &P"
  s.font.name = "IPAGothic";
  s.font.size = 9;
  s.font.style = 0b0101;
  auto* p = static_cast<TPair*>(s.pairs.Add());
  p->left = "{";
  p->right = "}";
  p = static_cast<TPair*>(s.pairs.Add());
  p->left = "(*";
  p->right = "*)";
  s.words.Add("begin");
  s.words.Add("\x8F\x49\x82\xED\x82\xE8"); // "終わり"
}

void ExpectSame(const TSample& a, const TSample& b) {
  EXPECT_EQ(a.columns, b.columns);
  EXPECT_EQ(a.lineNumber, b.lineNumber);
  EXPECT_EQ(a.align, b.align);
  EXPECT_EQ(a.header, b.header);
  EXPECT_EQ(a.font.name, b.font.name);
  EXPECT_EQ(a.font.size, b.font.size);
  EXPECT_EQ(a.font.style, b.font.style);
  ASSERT_EQ(a.pairs.Count(), b.pairs.Count());
  for (int i = 0; i < a.pairs.Count(); ++i) {
    EXPECT_EQ(a.pairs.ItemAs<TPair>(i)->left, b.pairs.ItemAs<TPair>(i)->left);
    EXPECT_EQ(a.pairs.ItemAs<TPair>(i)->right, b.pairs.ItemAs<TPair>(i)->right);
  }
  EXPECT_EQ(a.words.Text(), b.words.Text());
}

TEST(PropertyWalker, VisitsInDeclarationOrderAndEntersSubObjectsAndItems) {
  TSample s(nullptr);
  Fill(s);
  TComponent other(nullptr);
  s.ref = &other;
  std::vector<std::string> seen;
  WalkProperties(&s, tkAny, [&](TObject* inst, const TPropInfo& p) { seen.push_back(p.Name); });
  EXPECT_EQ(seen, (std::vector<std::string>{"Columns", "Font", "Name", "Size", "Style", "Header",
                                            "HeaderAlign", "LineNumber", "Pairs", "LeftBracket",
                                            "RightBracket", "LeftBracket", "RightBracket", "Ref",
                                            "Words"}));
  seen.clear();
  WalkProperties(&s, KindBit(TTypeKind::tkString),
                 [&](TObject*, const TPropInfo& p) { seen.push_back(p.Name); });
  EXPECT_EQ(seen, (std::vector<std::string>{"Header"})); // no class kinds: nothing entered
}

TEST(PropertyWalker, CallbackCanWriteThroughTheTable) {
  TSample s(nullptr);
  Fill(s);
  WalkProperties(&s, tkAny, [](TObject* inst, const TPropInfo& p) {
    if (p.Name == "Size") p.SetOrd(*inst, 20);
  });
  EXPECT_EQ(s.font.size, 20);
}

TEST(ComponentStream, RoundTripsEveryPublishedProperty) {
  TSample a(nullptr), b(nullptr);
  Fill(a);
  b.pairs.Add(); // replaced, not appended to
  b.words.Add("stale");
  ReadComponentBytes(b, WriteComponentBytes(a));
  ExpectSame(a, b);
  EXPECT_EQ(b.loadedCalls, 1);
  EXPECT_FALSE(b.Loading());
}

TEST(ComponentStream, GarbageIsAReadErrorNotACrash) {
  TSample a(nullptr), b(nullptr);
  Fill(a);
  std::string bytes = WriteComponentBytes(a);
  EXPECT_THROW(ReadComponentBytes(b, "nonsense"), EReadError);
  EXPECT_THROW(ReadComponentBytes(b, bytes.substr(0, bytes.size() / 2)), EReadError);
  EXPECT_FALSE(b.Loading());
}

// A collection that holds at most two items, as the fountain's bracket
// pairs hold at most fourteen.
struct TTwoPairs : TCollection {
  TTwoPairs() : TCollection([](TCollection* c) { return new TPair(c); }) {}
  TCollectionItem* Add() override {
    if (Count() >= 2) throw Exception("You can not add item over 2");
    return TCollection::Add();
  }
};

struct TLimited : TStoreComponent {
  explicit TLimited(TComponent* owner) : TStoreComponent(owner) {}
  ByteString header = "kept";
  TTwoPairs pairs;
  ByteString Header() const { return header; }
  void SetHeader(const ByteString& v) { header = v; }
  static const TPropTable& ClassProps() {
    static const TPropTable t(
        nullptr, {StrProp<TLimited>("Header", &TLimited::Header, &TLimited::SetHeader),
                  ClassProp<TLimited>("Pairs", [](const TLimited& s) { return (TObject*)&s.pairs; })});
    return t;
  }
  const TPropTable* PublishedProps() const override { return &ClassProps(); }
};

TEST(ComponentStream, AReadThatFailsHalfWayChangesNothing) {
  TSample a(nullptr), b(nullptr), original(nullptr);
  Fill(a);
  a.words.Add("more");
  b.columns = 2;
  b.header = "mine";
  b.pairs.Add();
  static_cast<TPair*>(b.pairs.Items(0))->left = "<";
  b.words.Add("only");
  ReadComponentBytes(original, WriteComponentBytes(b));
  std::string bytes = WriteComponentBytes(a);
  // Cut inside the word list, after every other property has been read.
  for (size_t cut : {bytes.size() - 12, bytes.size() - 5, bytes.size() - 1}) {
    EXPECT_THROW(ReadComponentBytes(b, bytes.substr(0, cut)), EReadError) << cut;
    ExpectSame(original, b);
    EXPECT_FALSE(b.Loading());
  }
}

TEST(ComponentStream, AValueTheObjectRejectsIsAReadErrorAndChangesNothing) {
  TLimited full(nullptr), small(nullptr);
  static_cast<TPair*>(small.pairs.Add())->left = "{";
  small.header = "small";
  full.header = "full";
  std::string bytes = WriteComponentBytes(full);
  // Three pairs, one more than the collection takes, from a component
  // whose Header and Pairs are of the same kinds.
  TSample s(nullptr);
  for (int i = 0; i < 3; ++i) static_cast<TPair*>(s.pairs.Add())->left = "(";
  s.header = "three";
  std::string three = WriteComponentBytes(s);
  try {
    ReadComponentBytes(small, three);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("over 2"), std::string::npos) << e.what();
  }
  EXPECT_EQ(small.header, "small");
  ASSERT_EQ(small.pairs.Count(), 1);
  EXPECT_EQ(small.pairs.ItemAs<TPair>(0)->left, "{");
  ReadComponentBytes(small, bytes);
  EXPECT_EQ(small.header, "full");
  EXPECT_EQ(small.pairs.Count(), 0);
}

TEST(ComponentIni, UsesTheHexLineFraming) {
  TempDir dir;
  IniFile ini(dir.File("p.ini"));
  TSample a(nullptr);
  Fill(a);
  SaveComponentToIni(a, ini, "Printer", "SP");
  std::string bytes = WriteComponentBytes(a);
  int lines = static_cast<int>((bytes.size() + 31) / 32);
  EXPECT_EQ(ini.ReadInteger("Printer", "SP_c", 0), lines);
  std::string first = ini.ReadString("Printer", "SP_d0", "");
  EXPECT_EQ(first.size(), 64u);
  EXPECT_EQ(first.substr(0, 8), "5A454331"); // "ZEC1" in upper-case hex
  std::string last = ini.ReadString("Printer", "SP_d" + std::to_string(lines - 1), "");
  EXPECT_EQ(last.size(), 2 * (bytes.size() - 32 * (lines - 1)));
  EXPECT_FALSE(ini.ValueExists("Printer", "SP_d" + std::to_string(lines)));
}

TEST(ComponentIni, RoundTripsThroughAFileAndDropsStaleLines) {
  TempDir dir;
  std::string f = dir.File("p.ini");
  TSample big(nullptr), small(nullptr), back(nullptr);
  Fill(big);
  for (int i = 0; i < 50; ++i) big.words.Add("word" + std::to_string(i));
  Fill(small);
  {
    IniFile ini(f);
    SaveComponentToIni(big, ini, "P", "X");
    int bigLines = ini.ReadInteger("P", "X_c", 0);
    SaveComponentToIni(small, ini, "P", "X");
    int smallLines = ini.ReadInteger("P", "X_c", 0);
    ASSERT_LT(smallLines, bigLines);
    for (int n = smallLines; n < bigLines; ++n)
      EXPECT_FALSE(ini.ValueExists("P", "X_d" + std::to_string(n)));
    ini.UpdateFile();
  }
  IniFile ini(f);
  LoadComponentFromIni(back, ini, "P", "X");
  ExpectSame(small, back);
}

TEST(ComponentIni, MissingOrEmptyCountLeavesTheComponentAlone) {
  TempDir dir;
  IniFile ini(dir.File("none.ini"));
  TSample s(nullptr);
  s.columns = 2;
  LoadComponentFromIni(s, ini, "P", "X");
  EXPECT_EQ(s.columns, 2);
  EXPECT_EQ(s.loadedCalls, 0);
  ini.WriteString("P", "X_c", "-3");
  LoadComponentFromIni(s, ini, "P", "X");
  EXPECT_EQ(s.loadedCalls, 0);
}

TEST(ComponentIni, AHugeLineCountReadsOnlyTheLinesPresent) {
  TempDir dir;
  IniFile ini(dir.File("p.ini"));
  TSample a(nullptr), b(nullptr);
  Fill(a);
  SaveComponentToIni(a, ini, "P", "X");
  ini.WriteString("P", "X_c", "2147483647");
  ini.WriteString("P", "X_dx", "FFFF");   // not a line key
  ini.WriteString("P", "X_d099", "FFFF"); // nor is this
  auto start = std::chrono::steady_clock::now();
  LoadComponentFromIni(b, ini, "P", "X");
  ExpectSame(a, b);
  // Guards against a loop over the count, which would take many minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  // A count below the lines present still reads only the first lines.
  ini.WriteString("P", "X_c", "1");
  TSample c(nullptr);
  EXPECT_THROW(LoadComponentFromIni(c, ini, "P", "X"), EReadError);
}

TEST(ComponentIni, NonHexPairsDecodeAsZeroBytes) {
  TempDir dir;
  IniFile ini(dir.File("bad.ini"));
  TSample s(nullptr);
  ini.WriteString("P", "X_c", "1");
  ini.WriteString("P", "X_d0", "5A45433100000000ZZ");
  // "ZEC1" + empty object, then a zero byte the reader never needs.
  LoadComponentFromIni(s, ini, "P", "X");
  EXPECT_EQ(s.loadedCalls, 1);
}

} // namespace
} // namespace ze
