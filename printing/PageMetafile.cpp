#include "printing/PageMetafile.h"

#include <algorithm>
#include <stdexcept>

namespace ze {

namespace {

enum Op : uint8_t {
  opFont = 1,     // font index
  opClip = 2,     // rect
  opFill = 3,     // rect, colour
  opLine = 4,     // x1 y1 x2 y2, colour
  opTextClip = 5, // rect: the clip of the texts that follow
  opNewAttr = 6,  // advance, fg, bg, flags (bit 0 opaque, style above): a new
                  // entry of the page's text attributes, selected
  opAttr = 7,     // index: selects an earlier entry
  opText = 8,     // x and y as steps from the last text's, length, bytes
  opBitmap = 9,   // dx dy w h, pixels
};

void PutU(std::string& out, uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<char>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<char>(v));
}

void PutS(std::string& out, int64_t v) {
  PutU(out, (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63));
}

class Reader {
public:
  explicit Reader(const std::string& s) : p_(s.data()), end_(s.data() + s.size()) {}
  bool AtEnd() const { return p_ >= end_; }
  uint8_t Byte() {
    Need(1);
    return static_cast<uint8_t>(*p_++);
  }
  uint64_t U() {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      uint8_t b = Byte();
      v |= static_cast<uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return v;
    }
    throw std::runtime_error("bad page record");
  }
  int S() {
    uint64_t u = U();
    return static_cast<int>(static_cast<int64_t>(u >> 1) ^ -static_cast<int64_t>(u & 1));
  }
  TRect Rect() {
    TRect r;
    r.Left = S();
    r.Top = S();
    r.Right = S();
    r.Bottom = S();
    return r;
  }
  std::string_view Bytes(size_t n) {
    Need(n);
    std::string_view v(p_, n);
    p_ += n;
    return v;
  }

private:
  void Need(size_t n) const {
    if (static_cast<size_t>(end_ - p_) < n) throw std::runtime_error("bad page record");
  }
  const char* p_;
  const char* end_;
};

} // namespace

void TPageMetafile::Replay(TSurface& s) const {
  Reader r(bytes_);
  TRect textClip;
  struct Attr {
    int Advance;
    TColor Fg, Bg;
    uint8_t Flags;
  };
  std::vector<Attr> attrs;
  Attr a{0, 0, 0, 0};
  int lastX = 0, lastY = 0;
  while (!r.AtEnd()) {
    switch (r.Byte()) {
    case opFont:
      s.SetFont(fonts_.at(r.U()));
      break;
    case opClip:
      s.SetClipRect(r.Rect());
      break;
    case opFill: {
      TRect rect = r.Rect();
      s.FillRect(rect, static_cast<TColor>(r.U()));
      break;
    }
    case opLine: {
      int x1 = r.S(), y1 = r.S(), x2 = r.S(), y2 = r.S();
      s.Line(x1, y1, x2, y2, static_cast<TColor>(r.U()));
      break;
    }
    case opTextClip:
      textClip = r.Rect();
      break;
    case opNewAttr:
      a.Advance = static_cast<int>(r.U());
      a.Fg = static_cast<TColor>(r.U());
      a.Bg = static_cast<TColor>(r.U());
      a.Flags = r.Byte();
      attrs.push_back(a);
      break;
    case opAttr:
      a = attrs.at(r.U());
      break;
    case opText: {
      lastX += r.S();
      lastY += r.S();
      std::string_view text = r.Bytes(r.U());
      s.TextOut(lastX, lastY, textClip, text, a.Advance, a.Fg, a.Bg, a.Flags & 1,
                static_cast<TFontStyles>(a.Flags >> 1));
      break;
    }
    case opBitmap: {
      int dx = r.S(), dy = r.S();
      TBitmap bmp;
      int w = static_cast<int>(r.U()), h = static_cast<int>(r.U());
      bmp.Resize(w, h, 0);
      for (uint32_t& px : bmp.Pixels)
        px = static_cast<uint32_t>(r.U());
      s.DrawBitmap(dx, dy, bmp, 0, 0, w, h);
      break;
    }
    default:
      throw std::runtime_error("bad page record");
    }
  }
}

TPageRecorder::TPageRecorder(TPageMetafile& page, TMeasure measure)
    : page_(page), measure_(std::move(measure)) {}

void TPageRecorder::PutRect(const TRect& r) {
  PutS(page_.bytes_, r.Left);
  PutS(page_.bytes_, r.Top);
  PutS(page_.bytes_, r.Right);
  PutS(page_.bytes_, r.Bottom);
}

void TPageRecorder::SetFont(const TFontDesc& font) {
  font_ = font;
  size_t i = 0;
  while (i < page_.fonts_.size() && !(page_.fonts_[i] == font))
    ++i;
  if (i == page_.fonts_.size()) page_.fonts_.push_back(font);
  page_.bytes_.push_back(static_cast<char>(opFont));
  PutU(page_.bytes_, i);
}

TFontMetrics TPageRecorder::FontMetrics() {
  return measure_ ? measure_(font_) : TFontMetrics{};
}

void TPageRecorder::SetClipRect(const TRect& r) {
  clip_ = r;
  page_.bytes_.push_back(static_cast<char>(opClip));
  PutRect(r);
}

void TPageRecorder::FillRect(const TRect& r, TColor color) {
  page_.bytes_.push_back(static_cast<char>(opFill));
  PutRect(r);
  PutU(page_.bytes_, color);
}

void TPageRecorder::Line(int x1, int y1, int x2, int y2, TColor color) {
  std::string& out = page_.bytes_;
  out.push_back(static_cast<char>(opLine));
  PutS(out, x1);
  PutS(out, y1);
  PutS(out, x2);
  PutS(out, y2);
  PutU(out, color);
}

void TPageRecorder::TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance,
                            TColor fg, TColor bg, bool opaque, TFontStyles style) {
  std::string& out = page_.bytes_;
  const uint8_t flags = static_cast<uint8_t>((opaque ? 1 : 0) | (style << 1));
  if (!clipSet_ || !(clip == textClip_)) {
    clipSet_ = true;
    textClip_ = clip;
    out.push_back(static_cast<char>(opTextClip));
    PutRect(clip);
  }
  const TAttr attr{std::max(advance, 0), fg, bg, flags};
  if (attr_ < 0 || !(attrs_[static_cast<size_t>(attr_)] == attr)) {
    auto it = std::find(attrs_.begin(), attrs_.end(), attr);
    if (it == attrs_.end()) {
      attr_ = static_cast<int>(attrs_.size());
      attrs_.push_back(attr);
      out.push_back(static_cast<char>(opNewAttr));
      PutU(out, static_cast<uint64_t>(attr.Advance));
      PutU(out, fg);
      PutU(out, bg);
      out.push_back(static_cast<char>(flags));
    } else {
      attr_ = static_cast<int>(it - attrs_.begin());
      out.push_back(static_cast<char>(opAttr));
      PutU(out, static_cast<uint64_t>(attr_));
    }
  }
  out.push_back(static_cast<char>(opText));
  PutS(out, x - lastX_);
  PutS(out, y - lastY_);
  lastX_ = x;
  lastY_ = y;
  PutU(out, sjis.size());
  out.append(sjis);
}

void TPageRecorder::DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) {
  std::string& out = page_.bytes_;
  out.push_back(static_cast<char>(opBitmap));
  PutS(out, dx);
  PutS(out, dy);
  w = std::max(0, std::min(w, bmp.Width - sx));
  h = std::max(0, std::min(h, bmp.Height - sy));
  PutU(out, static_cast<uint64_t>(w));
  PutU(out, static_cast<uint64_t>(h));
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx)
      PutU(out, bmp.At(sx + xx, sy + yy));
}

} // namespace ze
