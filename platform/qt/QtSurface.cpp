#include "platform/qt/QtSurface.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <memory>
#include <tuple>

#include "platform/CodePage.h"

namespace ze {

// ---------------------------------------------------------------- code page

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// UTF-16 of every single byte, converted once. A lead byte on its own (the
// last byte of a text) is not a character.
char16_t SingleUnit(unsigned char b) {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
      if (IsLeadByte(static_cast<unsigned char>(i))) {
        t[static_cast<size_t>(i)] = kReplacement;
        continue;
      }
      const char c = static_cast<char>(i);
      std::u16string u = Cp932ToUtf16(std::string_view(&c, 1));
      t[static_cast<size_t>(i)] = u.size() == 1 ? u[0] : kReplacement;
      // A control byte is part of the text like any other (a NUL, the old
      // end-of-file mark 26): it shows as its control picture, never as
      // nothing. A tab is blank; the editor draws it as the spaces it
      // covers.
      if ((i < 0x20 && i != '\t') || i == 0x7F)
        t[static_cast<size_t>(i)] = static_cast<char16_t>(i == 0x7F ? 0x2421 : 0x2400 + i);
    }
    return t;
  }();
  return table[b];
}

// UTF-16 of a double-byte character, converted on first use. A pair that
// is not one CP932 character shows as one replacement character over its
// two columns, the way the editor treats it as one character.
char16_t DoubleUnit(unsigned char lead, unsigned char trail) {
  static std::vector<char16_t> table(65536, 0);
  char16_t& u = table[static_cast<size_t>(lead) << 8 | trail];
  if (u == 0) {
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    std::u16string s = Cp932ToUtf16(std::string_view(bytes, 2));
    u = s.size() == 1 && s[0] != 0 ? s[0] : kReplacement;
  }
  return u;
}

// Spaces and tabs show nothing (control bytes arrive as control pictures).
bool Blank(char16_t u) {
  return u <= 0x20 || u == 0x7F;
}

} // namespace

// ---------------------------------------------------------------- fonts

namespace {

// Japanese gothic fonts that are usually installed and monospaced for
// half-width and full-width characters, best first.
const char* const kJapaneseFallbacks[] = {"IPAGothic", "VL Gothic", "TakaoGothic",
                                          "Noto Sans Mono CJK JP", "IPAMincho"};

bool HalfFullMetrics(const QString& family) {
  QFont f(family);
  f.setPixelSize(16);
  QFontMetrics m(f);
  const int half = m.horizontalAdvance(QChar(u'a'));
  return half > 0 && m.horizontalAdvance(QChar(u'W')) == half &&
         m.horizontalAdvance(QChar(u'i')) == half &&
         m.horizontalAdvance(QChar(u'\u3042')) == 2 * half && // あ
         m.horizontalAdvance(QChar(u'\u6F22')) == 2 * half;   // 漢
}

} // namespace

QString ResolveFontFamily(const std::string& name) {
  static std::map<std::string, QString> cache;
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  QString family = QString::fromStdString(name);
  if (!QFontDatabase::hasFamily(family)) {
    QString found;
    for (const char* f : kJapaneseFallbacks)
      if (QFontDatabase::hasFamily(QString::fromLatin1(f)) &&
          HalfFullMetrics(QString::fromLatin1(f))) {
        found = QString::fromLatin1(f);
        break;
      }
    if (found.isEmpty())
      for (const QString& f : QFontDatabase::families(QFontDatabase::Japanese))
        if (HalfFullMetrics(f)) {
          found = f;
          break;
        }
    if (!found.isEmpty()) family = found;
  }
  cache.emplace(name, family);
  return family;
}

QFont ToQFont(const TFontDesc& font) {
  QFont f(ResolveFontFamily(font.Name));
  f.setPointSize(std::max(1, font.Size));
  f.setBold(HasFontStyle(font.Style, fsBold));
  f.setItalic(HasFontStyle(font.Style, fsItalic));
  return f;
}

// Everything drawing needs of one font in one style, kept for the life of
// the program (there are only a few).
struct TQtFont {
  int Id = 0;
  QFont Font;
  // The font's own glyphs, and those Qt takes for Japanese text in it (the
  // same font when it has Japanese glyphs, else a Japanese fallback).
  QRawFont Primary, Japanese;
  int Ascent = 0;
  int StrikeOutY = 0;
  TFontMetrics Metrics;
  bool Italic = false;
  bool StrikeOut = false;

  enum Source : uint32_t { kNone = 0, kPrimary = 1, kJapanese = 2 };
  struct Glyph {
    Source From;
    quint32 Index;
  };
  Glyph GlyphOf(char16_t u) const {
    uint32_t& e = glyphs_[u];
    if (e == 0) e = Lookup(u);
    return Glyph{static_cast<Source>((e >> 24) & 3), e & 0xFFFFFF};
  }

private:
  static quint32 Find(const QRawFont& f, char16_t u) {
    if (!f.isValid()) return 0;
    QChar c(u);
    quint32 g = 0;
    int n = 1;
    return f.glyphIndexesForChars(&c, 1, &g, &n) && n == 1 ? g : 0;
  }
  // ASCII from the font itself first; everything else from the Japanese
  // face first, so that kanji and kana take Japanese forms.
  uint32_t Lookup(char16_t u) const {
    const bool ascii = u < 0x80;
    const QRawFont& first = ascii ? Primary : Japanese;
    const QRawFont& second = ascii ? Japanese : Primary;
    if (quint32 g = Find(first, u)) return 0x80000000u | (ascii ? kPrimary : kJapanese) << 24 | g;
    if (quint32 g = Find(second, u)) return 0x80000000u | (ascii ? kJapanese : kPrimary) << 24 | g;
    return 0x80000000u;
  }
  mutable std::vector<uint32_t> glyphs_ = std::vector<uint32_t>(65536, 0);
};

namespace {

using TFontCache = std::map<std::tuple<std::string, int, int>, std::unique_ptr<TQtFont>>;

TFontCache& Fonts() {
  static TFontCache fonts;
  return fonts;
}

void ReleaseCaches();

// Raw fonts and images belong to the application's font and image
// machinery: they go when the application goes, not at program exit.
void ReleaseWithApplication() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  qAddPostRoutine(ReleaseCaches);
}

const TQtFont& CachedFont(const std::string& name, int size, TFontStyles style) {
  ReleaseWithApplication();
  TFontCache& cache = Fonts();
  const int styleBits = style & (FontStyles({fsBold, fsItalic, fsStrikeOut}));
  auto key = std::make_tuple(name, size, styleBits);
  auto it = cache.find(key);
  if (it != cache.end()) return *it->second;
  auto f = std::make_unique<TQtFont>();
  f->Id = static_cast<int>(cache.size()) + 1;
  TFontDesc font;
  font.Name = name;
  font.Size = size;
  font.Style = static_cast<TFontStyles>(styleBits);
  f->Font = ToQFont(font);
  f->Primary = QRawFont::fromFont(f->Font);
  f->Japanese = QRawFont::fromFont(f->Font, QFontDatabase::Japanese);
  if (!f->Japanese.isValid()) f->Japanese = f->Primary;
  QFontMetrics m(f->Font);
  f->Ascent = m.ascent();
  f->StrikeOutY = m.ascent() - m.strikeOutPos();
  f->Metrics.Height = m.height();
  f->Metrics.ExternalLeading = std::max(0, m.leading());
  f->Metrics.AverageWidth = m.averageCharWidth();
  f->Italic = HasFontStyle(style, fsItalic);
  f->StrikeOut = HasFontStyle(style, fsStrikeOut);
  return *cache.emplace(key, std::move(f)).first->second;
}

// ---------------------------------------------------------------- cell images

// The cell images of one font in one pair of colours at one advance,
// found by character through a two-level table: painting looks up one
// per character, so this must cost next to nothing.
struct TTilePalette {
  int Font;
  int Advance;
  int Scale; // device pixels per pixel
  TColor Fg, Bg;
  using Page = std::array<QImage, 256>;
  // Index: the UTF-16 unit, plus 0x10000 for a character two cells wide.
  std::array<std::unique_ptr<Page>, 512> Pages;

  QImage& Slot(char16_t u, int cells) {
    const unsigned i = u | (cells == 2 ? 0x10000u : 0u);
    std::unique_ptr<Page>& page = Pages[i >> 8];
    if (!page) page = std::make_unique<Page>();
    return (*page)[i & 0xFF];
  }
};

// A few screens of distinct characters in a few colours fit easily; a
// cache that grows past this is simply started anew.
constexpr size_t kMaxTiles = 30000;

struct TTileCache {
  std::vector<std::unique_ptr<TTilePalette>> Palettes;
  TTilePalette* Last = nullptr;
  size_t Count = 0;

  TTilePalette& Palette(int font, int advance, int scale, TColor fg, TColor bg) {
    auto same = [&](const TTilePalette* p) {
      return p->Font == font && p->Advance == advance && p->Scale == scale && p->Fg == fg &&
             p->Bg == bg;
    };
    if (Last && same(Last)) return *Last;
    for (auto& p : Palettes)
      if (same(p.get())) return *(Last = p.get());
    Palettes.push_back(
        std::make_unique<TTilePalette>(TTilePalette{font, advance, scale, fg, bg, {}}));
    return *(Last = Palettes.back().get());
  }
  void Clear() {
    Palettes.clear();
    Last = nullptr;
    Count = 0;
  }
};

TTileCache& Tiles() {
  static TTileCache tiles;
  return tiles;
}

void ReleaseCaches() {
  Tiles().Clear();
  Fonts().clear();
}

bool IsControlPicture(char16_t u) {
  return u >= 0x2400 && u <= 0x2421;
}

// A control picture is drawn squeezed into its one cell: fonts make them
// as wide as a full-width character or wider.
void DrawControlPicture(QPainter& p, const TQtFont& font, char16_t u, QPointF at, int cellWidth) {
  const QString text(QChar(static_cast<ushort>(u)));
  const qreal advance = QFontMetricsF(font.Font).horizontalAdvance(text);
  p.save();
  p.translate(at);
  if (advance > cellWidth && advance > 0) p.scale(cellWidth / advance, 1.0);
  p.setFont(font.Font);
  p.drawText(QPointF(0, 0), text);
  p.restore();
}

void DrawGlyph(QPainter& p, const TQtFont& font, char16_t u, QPointF at, int cellWidth) {
  if (IsControlPicture(u)) {
    DrawControlPicture(p, font, u, at, cellWidth);
    return;
  }
  TQtFont::Glyph g = font.GlyphOf(u);
  if (g.From == TQtFont::kNone) {
    // Neither face has it: let Qt find a font that has.
    p.setFont(font.Font);
    p.drawText(at, QString(QChar(u)));
    return;
  }
  QGlyphRun run;
  run.setRawFont(g.From == TQtFont::kPrimary ? font.Primary : font.Japanese);
  run.setGlyphIndexes({g.Index});
  run.setPositions({QPointF(0, 0)});
  p.drawGlyphRun(at, run);
}

const QImage& Tile(TTilePalette& palette, const TQtFont& font, char16_t u, int cells) {
  QImage& img = palette.Slot(u, cells);
  if (!img.isNull()) return img;
  TTileCache& cache = Tiles();
  if (++cache.Count > kMaxTiles) {
    // Start anew, keeping this palette's slot valid: drop the others.
    for (auto& p : cache.Palettes)
      if (p.get() != &palette) p.reset();
    std::erase_if(cache.Palettes, [](const auto& p) { return !p; });
    palette.Pages = {};
    cache.Last = &palette;
    cache.Count = 0;
    return Tile(palette, font, u, cells);
  }
  // Made in device pixels, so that a high-density screen gets sharp
  // glyphs copied one to one.
  img = QImage(cells * palette.Advance * palette.Scale, font.Metrics.Height * palette.Scale,
               QImage::Format_RGB32);
  img.setDevicePixelRatio(palette.Scale);
  img.fill(ToQColor(palette.Bg));
  QPainter tp(&img);
  tp.setPen(ToQColor(palette.Fg));
  DrawGlyph(tp, font, u, QPointF(0, font.Ascent), cells * palette.Advance);
  return img;
}

} // namespace

TFontMetrics MeasureFont(const TFontDesc& font) {
  return CachedFont(font.Name, font.Size, font.Style).Metrics;
}

// ---------------------------------------------------------------- surface

namespace {
constexpr TRect kNoClip{INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4};
constexpr uint32_t kTransparentPixel = 0xFF000000u;
QRect ToQRect(const TRect& r) {
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}
} // namespace

TQtSurface::TQtSurface(QPainter* painter) : p_(painter), clip_(kNoClip) {
  if (p_) {
    const QPaintDevice* d = p_->device();
    // Cell images fit the device's pixels only at a whole-number ratio
    // and without a transformation of the painter's own.
    const qreal ratio = d ? d->devicePixelRatioF() : 1.0;
    scale_ = static_cast<int>(ratio);
    tiles_ =
        scale_ >= 1 && scale_ == ratio && p_->worldTransform().type() <= QTransform::TxTranslate;
  }
}

TQtSurface::~TQtSurface() = default;

void TQtSurface::ClearGlyphCache() {
  Tiles().Clear();
}

void TQtSurface::SetFont(const TFontDesc& font) {
  font_ = font;
}

TFontMetrics TQtSurface::FontMetrics() {
  return MeasureFont(font_);
}

const TQtFont& TQtSurface::Font(TFontStyles style) {
  return CachedFont(font_.Name, font_.Size, style);
}

void TQtSurface::SetClipRect(const TRect& r) {
  clip_ = r;
}

void TQtSurface::ApplyClip(const TRect& r) {
  if (painterClipSet_ && r == painterClip_) return;
  p_->setClipRect(ToQRect(r));
  painterClip_ = r;
  painterClipSet_ = true;
}

void TQtSurface::NoteBackground(const TRect& r, TColor color, bool known, int x, int advance,
                                std::string text) {
  if (r.IsEmpty()) return;
  if (fills_.size() >= 4096) fills_.erase(fills_.begin(), fills_.begin() + 2048);
  fills_.push_back(Fill{r, color, known, x, advance, std::move(text)});
}

const TQtSurface::Fill* TQtSurface::Ground(const TRect& r, int x, int advance,
                                           std::string_view sjis) const {
  // The most recent drawing that touched r decides; only a few steps back
  // are worth looking (the editor fills a row just before its tokens).
  int steps = 0;
  for (auto it = fills_.rbegin(); it != fills_.rend() && steps < 64; ++it, ++steps) {
    const TRect in = Intersect(it->Rect, r);
    if (in.IsEmpty()) continue;
    if (!it->Known || in != r) return nullptr;
    if (!it->Text.empty() && !SameGlyphs(*it, r, x, advance, sjis)) return nullptr;
    return &*it;
  }
  return nullptr;
}

std::string TQtSurface::Merged(const Fill& under, int x, int advance, std::string_view sjis) const {
  // What the cells show after sjis went over them: its characters where
  // it has some, what was there before elsewhere.
  std::string shown(sjis.size(), ' ');
  if (!under.Text.empty()) {
    const int shift = (x - under.X) / advance;
    for (size_t i = 0; i < shown.size(); ++i) {
      const long k = static_cast<long>(i) + shift;
      if (k >= 0 && k < static_cast<long>(under.Text.size()))
        shown[i] = under.Text[static_cast<size_t>(k)];
    }
  }
  for (const Char& c : chars_)
    if (!Blank(c.Unit))
      shown.replace(static_cast<size_t>(c.Byte), static_cast<size_t>(c.Cells),
                    sjis.substr(static_cast<size_t>(c.Byte), static_cast<size_t>(c.Cells)));
  return shown;
}

bool TQtSurface::SameGlyphs(const Fill& f, const TRect& r, int x, int advance,
                            std::string_view sjis) const {
  if (advance != f.Advance || (x - f.X) % advance != 0) return false;
  const int shift = (x - f.X) / advance;
  for (const Char& c : chars_) {
    const int cx = x + c.Byte * advance;
    if (Blank(c.Unit) || cx >= r.Right || cx + c.Cells * advance <= r.Left) continue;
    const int k = c.Byte + shift;
    if (k < 0 || k + c.Cells > static_cast<int>(f.Text.size())) return false;
    const std::string_view mine =
        sjis.substr(static_cast<size_t>(c.Byte), static_cast<size_t>(c.Cells));
    const std::string_view there =
        std::string_view(f.Text).substr(static_cast<size_t>(k), mine.size());
    if (mine == there) continue;
    // A cell that shows nothing (a space or a tab is never a trail byte).
    if (std::all_of(there.begin(), there.end(), [](char b) { return b == ' ' || b == '\t'; }))
      continue;
    return false;
  }
  return true;
}

void TQtSurface::FillRect(const TRect& r, TColor color) {
  if (!p_) return;
  const TRect v = Intersect(r, clip_);
  if (v.IsEmpty()) return;
  ApplyClip(clip_);
  p_->fillRect(ToQRect(v), ToQColor(color));
  NoteBackground(v, color, true);
}

void TQtSurface::Line(int x1, int y1, int x2, int y2, TColor color) {
  if (!p_ || (x1 == x2 && y1 == y2)) return;
  ApplyClip(clip_);
  // A flat cap leaves the end point out, as a pen moved to it does.
  QPen pen(ToQColor(color), 1);
  pen.setCapStyle(Qt::FlatCap);
  p_->setPen(pen);
  p_->drawLine(x1, y1, x2, y2);
  NoteBackground(Intersect(TRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1,
                                 std::max(y1, y2) + 1},
                           clip_),
                 0, false);
}

void TQtSurface::DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) {
  if (!p_) return;
  const TRect src = Intersect(TRect{sx, sy, sx + w, sy + h}, TRect{0, 0, bmp.Width, bmp.Height});
  if (src.IsEmpty()) return;
  const TRect dst{dx + src.Left - sx, dy + src.Top - sy, dx + src.Right - sx, dy + src.Bottom - sy};
  const TRect v = Intersect(dst, clip_);
  if (v.IsEmpty()) return;
  // Bitmap pixels are 0x00RRGGBB, or 0xFF000000 where the bitmap is
  // transparent; the image wants the alpha byte the other way round.
  bool transparent = false;
  QImage img(v.Width(), v.Height(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < v.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < v.Width(); ++x) {
      const uint32_t px = bmp.At(v.Left - dst.Left + src.Left + x, v.Top - dst.Top + src.Top + y);
      transparent |= px == kTransparentPixel;
      line[x] = px == kTransparentPixel ? 0u : 0xFF000000u | px;
    }
  }
  // Opaque images copy faster.
  if (!transparent) img.reinterpretAsFormat(QImage::Format_RGB32);
  ApplyClip(clip_);
  p_->drawImage(QPoint(v.Left, v.Top), img);
  NoteBackground(v, 0, false);
}

void TQtSurface::Chars(std::string_view sjis, int first, int last, std::vector<Char>& out) const {
  out.clear();
  const int n = static_cast<int>(sjis.size());
  int i = 0;
  while (i < n && i < last) {
    const auto b = static_cast<unsigned char>(sjis[static_cast<size_t>(i)]);
    const int len = CharLengthAt(sjis, static_cast<size_t>(i));
    if (i + len > first) {
      const char16_t u =
          len == 2 ? DoubleUnit(b, static_cast<unsigned char>(sjis[static_cast<size_t>(i + 1)]))
                   : SingleUnit(b);
      out.push_back(Char{u, i, len});
    }
    i += len;
  }
}

void TQtSurface::DrawCells(int x, int y, const std::vector<Char>& chars, int advance, TColor fg,
                           TColor bg, TFontStyles style) {
  const TQtFont& font = Font(style);
  TTilePalette& palette = Tiles().Palette(font.Id, advance, scale_, fg, bg);
  const int h = font.Metrics.Height;
  const TRect area = clip_;
  for (const Char& c : chars) {
    if (Blank(c.Unit)) continue;
    const int cx = x + c.Byte * advance;
    const TRect cell = Intersect(TRect{cx, y, cx + c.Cells * advance, y + h}, area);
    if (cell.IsEmpty()) continue;
    const QImage& tile = Tile(palette, font, c.Unit, c.Cells);
    if (scale_ == 1)
      p_->drawImage(QPoint(cell.Left, cell.Top), tile,
                    QRect(cell.Left - cx, cell.Top - y, cell.Width(), cell.Height()));
    else
      p_->drawImage(QRectF(cell.Left, cell.Top, cell.Width(), cell.Height()), tile,
                    QRectF((cell.Left - cx) * scale_, (cell.Top - y) * scale_,
                           cell.Width() * scale_, cell.Height() * scale_));
  }
}

void TQtSurface::DrawRuns(int x, int y, const std::vector<Char>& chars, int advance, TColor fg,
                          TFontStyles style) {
  const TQtFont& font = Font(style);
  QVector<quint32> glyphs[2];
  QVector<QPointF> positions[2];
  p_->setPen(ToQColor(fg));
  for (const Char& c : chars) {
    if (Blank(c.Unit)) continue;
    const QPointF at(x + c.Byte * advance, y + font.Ascent);
    TQtFont::Glyph g = font.GlyphOf(c.Unit);
    if (g.From == TQtFont::kNone || IsControlPicture(c.Unit)) {
      DrawGlyph(*p_, font, c.Unit, at, c.Cells * advance);
      continue;
    }
    const int k = g.From == TQtFont::kPrimary ? 0 : 1;
    glyphs[k].push_back(g.Index);
    positions[k].push_back(at);
  }
  for (int k = 0; k < 2; ++k) {
    if (glyphs[k].isEmpty()) continue;
    QGlyphRun run;
    run.setRawFont(k == 0 ? font.Primary : font.Japanese);
    run.setGlyphIndexes(glyphs[k]);
    run.setPositions(positions[k]);
    p_->drawGlyphRun(QPointF(0, 0), run);
  }
}

void TQtSurface::TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance,
                         TColor fg, TColor bg, bool opaque, TFontStyles style) {
  if (!p_ || sjis.empty() || advance <= 0) return;
  const TRect area = Intersect(clip, clip_);
  if (area.IsEmpty()) return;
  const TQtFont& font = Font(style);
  const int n = static_cast<int>(sjis.size());
  const TRect cells = Intersect(TRect{x, y, x + n * advance, y + font.Metrics.Height}, area);
  if (cells.IsEmpty()) return;

  // Only the characters whose cells meet the clip (one more on each side
  // for glyphs that lean out of their cells).
  const int first = std::max(0, (cells.Left - x) / advance - 1);
  const int last = std::min(n, (cells.Right - x + advance - 1) / advance + 1);
  Chars(sjis, first, last, chars_);

  const TRect savedClip = clip_;
  clip_ = area;
  const Fill* under = tiles_ && !font.Italic && !opaque ? Ground(cells, x, advance, sjis) : nullptr;
  if (tiles_ && !font.Italic && (opaque || under)) {
    const TColor ground = opaque ? bg : under->Color;
    ApplyClip(savedClip); // the cells are cut to area by hand
    if (opaque) {
      // Blank cells are filled here, the others come with their image.
      int run = -1, end = -1;
      auto flush = [&] {
        if (run < 0) return;
        const TRect r = Intersect(
            TRect{x + run * advance, y, x + end * advance, y + font.Metrics.Height}, area);
        if (!r.IsEmpty()) p_->fillRect(ToQRect(r), ToQColor(bg));
        run = -1;
      };
      for (const Char& c : chars_) {
        if (!Blank(c.Unit)) {
          flush();
          continue;
        }
        if (run < 0) run = c.Byte;
        end = c.Byte + c.Cells;
      }
      flush();
    }
    DrawCells(x, y, chars_, advance, fg, ground, style);
    NoteBackground(cells, ground, true, x, advance,
                   opaque ? std::string(sjis) : Merged(*under, x, advance, sjis));
  } else {
    ApplyClip(area);
    if (opaque) p_->fillRect(ToQRect(cells), ToQColor(bg));
    DrawRuns(x, y, chars_, advance, fg, style);
    // Leaning glyphs may have reached the neighbouring cells.
    NoteBackground(
        Intersect(TRect{cells.Left - advance, y, cells.Right + advance, y + font.Metrics.Height},
                  area),
        0, false);
  }
  if (font.StrikeOut) {
    const int sy = y + font.StrikeOutY;
    if (sy >= area.Top && sy < area.Bottom) {
      p_->fillRect(QRect(cells.Left, sy, cells.Width(), 1), ToQColor(fg));
      NoteBackground(TRect{cells.Left, sy, cells.Right, sy + 1}, 0, false);
    }
  }
  clip_ = savedClip;
}

} // namespace ze
