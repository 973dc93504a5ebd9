#pragma once
// The editor's drawing surface over a QPainter.
//
// Text is CP932 bytes drawn one byte per column: each character is placed
// at x + byteIndex * advance, so a double-byte character spans exactly two
// columns whatever the font's own advances are. Glyphs come from the
// named font, or, when it is not installed ("FixedSys" on Linux), from an
// installed Japanese font whose half-width and full-width characters are
// exactly 1:2; characters the font lacks are taken from the font Qt uses
// for Japanese, so kanji always get Japanese glyph forms.
//
// Painting a screen of text is dominated by glyph drawing, so opaque text
// is composed from cached cell images (glyph, colours and cell size
// fixed), one cheap image copy per character; a glyph wider than its
// cells is cut at their edge, as with a fixed-pitch bitmap font. Text on
// a clear brush over cells this surface filled in the same paint, empty
// or showing the same characters (a coloured token over its row), is
// drawn the same way, so nothing of the earlier glyph's antialiased edge
// is left around the new one. Italic text, whose glyphs lean out of their
// cells, and text over anything else are drawn as glyph runs.

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Surface.h"

class QPainter;

namespace ze {

// 0x00BBGGRR -> QColor.
inline QColor ToQColor(TColor c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

// The family that is drawn for a font name: the name itself when it is
// installed, else the first installed Japanese font with exact 1:2
// half-width / full-width advances ("IPAGothic" first), else the name
// (Qt then substitutes as it does).
QString ResolveFontFamily(const std::string& name);

// The QFont for a font description: resolved family, size in points, bold and
// italic (underline and strike-out are drawn by the surface or the caller).
QFont ToQFont(const TFontDesc& font);

// Metrics as the editor wants them: height (ascent + descent), external
// leading (never negative) and the average character width.
TFontMetrics MeasureFont(const TFontDesc& font);

struct TQtFont; // cached per font, see QtSurface.cpp

class TQtSurface : public TSurface {
public:
  // painter may be null: the surface then only measures fonts.
  explicit TQtSurface(QPainter* painter);
  ~TQtSurface() override;

  void SetFont(const TFontDesc& font) override;
  TFontMetrics FontMetrics() override;
  void SetClipRect(const TRect& r) override;
  TRect ClipRect() const override { return clip_; }
  void FillRect(const TRect& r, TColor color) override;
  void Line(int x1, int y1, int x2, int y2, TColor color) override;
  void TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance, TColor fg,
               TColor bg, bool opaque, TFontStyles style) override;
  void DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) override;

  // Drops every cached cell image (tests and font changes of the system).
  static void ClearGlyphCache();

private:
  // One drawable character of a TextOut: its UTF-16 unit, first byte and
  // width in columns.
  struct Char {
    char16_t Unit;
    int Byte;
    int Cells;
  };
  void Chars(std::string_view sjis, int first, int last, std::vector<Char>& out) const;
  void DrawCells(int x, int y, const std::vector<Char>& chars, int advance, TColor fg, TColor bg,
                 TFontStyles style);
  void DrawRuns(int x, int y, const std::vector<Char>& chars, int advance, TColor fg,
                TFontStyles style);
  void ApplyClip(const TRect& r);
  struct Fill {
    TRect Rect;
    TColor Color;
    bool Known;
    // Opaque text: where it starts, its advance and its bytes.
    int X;
    int Advance;
    std::string Text;
  };
  // What lies under all of r when this surface drew it last with a plain
  // background: a fill, or text on it whose cells under the glyphs of
  // sjis at x hold the same characters or nothing. Null when something
  // else may be there.
  const Fill* Ground(const TRect& r, int x, int advance, std::string_view sjis) const;
  bool SameGlyphs(const Fill& f, const TRect& r, int x, int advance, std::string_view sjis) const;
  std::string Merged(const Fill& under, int x, int advance, std::string_view sjis) const;
  void NoteBackground(const TRect& r, TColor color, bool known, int x = 0, int advance = 0,
                      std::string text = {});
  const TQtFont& Font(TFontStyles style);

  QPainter* p_;
  TFontDesc font_;
  TRect clip_;
  TRect painterClip_;
  bool painterClipSet_ = false;
  bool tiles_ = true; // cell images can be used
  int scale_ = 1;     // device pixels per pixel
  std::vector<Fill> fills_;
  std::vector<Char> chars_;
};

} // namespace ze
