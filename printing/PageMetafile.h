#pragma once
// A printed page as recorded drawing: the calls made on a drawing surface,
// packed into a byte stream, and replayed later onto the printer, the
// preview or a test surface. Coordinates are printer pixels.
//
// The stream is compact because a document of a hundred megabytes makes
// tens of thousands of pages: numbers are variable-length, and the clip
// and colours of text are stored as state that text calls refer to, so
// that a printed row costs a few bytes beside its text; text positions
// are steps from the previous text's.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace ze {

class TPageMetafile {
public:
  // dpi: the printer resolution the page was laid out for, so that a
  // replay knows how many pixels a point of font size is.
  TPageMetafile(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}

  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  int Dpi() const noexcept { return dpi_; }

  // Draws the recorded calls onto s in the order they were made.
  void Replay(TSurface& s) const;
  // Bytes the page takes in memory.
  size_t ByteSize() const noexcept {
    return bytes_.capacity() + fonts_.capacity() * sizeof(TFontDesc);
  }
  // Drops spare capacity once the page is complete.
  void Shrink() { bytes_.shrink_to_fit(); }

private:
  friend class TPageRecorder;
  int width_, height_, dpi_;
  std::string bytes_;
  std::vector<TFontDesc> fonts_;
};

// The surface that records onto a page. Font metrics come from the
// measure function (the printer's own), since nothing is drawn yet.
class TPageRecorder : public TSurface {
public:
  using TMeasure = std::function<TFontMetrics(const TFontDesc&)>;
  TPageRecorder(TPageMetafile& page, TMeasure measure);

  void SetFont(const TFontDesc& font) override;
  TFontMetrics FontMetrics() override;
  void SetClipRect(const TRect& r) override;
  TRect ClipRect() const override { return clip_; }
  void FillRect(const TRect& r, TColor color) override;
  void Line(int x1, int y1, int x2, int y2, TColor color) override;
  void TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance, TColor fg,
               TColor bg, bool opaque, TFontStyles style) override;
  void DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) override;

private:
  void PutRect(const TRect& r);
  TPageMetafile& page_;
  TMeasure measure_;
  TFontDesc font_;
  TRect clip_;
  // Text state last written to the stream: the clip, the page's table of
  // text attributes and the one selected, and where the last text went.
  struct TAttr {
    int Advance;
    TColor Fg, Bg;
    uint8_t Flags;
    friend bool operator==(const TAttr&, const TAttr&) = default;
  };
  bool clipSet_ = false;
  TRect textClip_;
  std::vector<TAttr> attrs_;
  int attr_ = -1;
  int lastX_ = 0, lastY_ = 0;
};

// The pages of one build, in order.
using TMetaFileList = std::vector<std::unique_ptr<TPageMetafile>>;

} // namespace ze
