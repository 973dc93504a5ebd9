// TEditor: painting and the screen updater.
#include <algorithm>
#include <cstring>

#include "editor/Editor.h"
#include "text/RowEdits.h"
#include "editor/Resources.h"
#include "platform/CodePage.h"
#include "text/CharHelpers.h"

namespace ze {
namespace {

TColor SystemColor(TColor c) {
  switch (c) {
  case clWindow: return clWhite;
  case clWindowText: return clBlack;
  case 0xFF00000F: return clSilver; // button face
  case 0xFF00000D: return clNavy;   // highlight
  case 0xFF00000E: return clWhite;  // highlight text
  default: return (c & 0xFF000000u) ? clBlack : c;
  }
}

// The bytes of a text drawn from x with w pixels a byte that can reach the
// pixels [left, right): a row may be millions of bytes long, and only
// what is in the window goes to the surface. The piece starts and ends on
// character boundaries, so a double-byte character cut by an edge is
// drawn whole. first receives the index of the piece's first byte.
std::string_view VisiblePiece(std::string_view t, long long x, int w, int left, int right,
                              size_t& first) {
  first = 0;
  if (t.empty() || w <= 0) return {};
  const long long n = static_cast<long long>(t.size());
  long long a = std::clamp((left - x) / w - 1, 0LL, n);
  long long b = std::clamp((right - x + w - 1) / w + 1, 0LL, n);
  if (a >= b) return {};
  if (IsTrailAt(t, static_cast<size_t>(a))) --a;
  if (b < n && IsTrailAt(t, static_cast<size_t>(b))) ++b;
  first = static_cast<size_t>(a);
  return t.substr(first, static_cast<size_t>(b - a));
}

} // namespace

TColor TEditor::ResolveColor(TColor c, TColor fallback) const {
  if (c == clNone || c == clDefault) c = fallback;
  return SystemColor(c);
}

// ---------------------------------------------------------------- invalidation

void TEditor::SetImageDigits(const TImageList* images) {
  imageDigits_ = images;
  if (imagebar_->Visible()) Refresh();
}

void TEditor::SetImageMarks(const TImageList* images) {
  imageMarks_ = images;
  if (imagebar_->Visible()) Refresh();
}

void TEditor::RepaintRow(int row) {
  if (!HandleAllocated() || row < topRow_ || row > topRow_ + rowCount_) return;
  int y = TextTop() + (row - topRow_) * rowHeight_;
  host_->Invalidate(TRect{TextLeft(), y, host_->ClientWidth(), y + rowHeight_});
}

void TEditor::RepaintRows(int a, int b) {
  if (!HandleAllocated()) return;
  int first = std::max(std::min(a, b), topRow_);
  int last = std::min(std::max(a, b), topRow_ + rowCount_);
  if (first > last) return;
  int y0 = TextTop() + (first - topRow_) * rowHeight_;
  int y1 = TextTop() + (last - topRow_ + 1) * rowHeight_;
  host_->Invalidate(TRect{0, y0, host_->ClientWidth(), y1});
  host_->UpdateNow();
}

void TEditor::Refresh() {
  if (HandleAllocated()) host_->InvalidateAll();
}

void TEditorScreen::Update() {
  TEditor& e = editor_;
  const TChangeRegion& region = e.list_->ChangeRegion();
  if (!region.Pending || !e.HandleAllocated()) return;
  TWindowHost& host = *e.host_;
  const int start = region.StartRow, oldCount = region.OldRowCount, newCount = region.NewRowCount;
  const int diff = newCount - oldCount;
  const int count = e.list_->Count();
  if (std::abs(diff) > e.rowCount_) {
    host.Invalidate(TRect{0, e.TextTop(), host.ClientWidth(), host.ClientHeight()});
    host.UpdateNow();
    return;
  }
  const int c = start + newCount + std::max(0, region.RecolouredRows - newCount);
  if (diff == 0) {
    e.RepaintRows(start, c >= count ? c + 1 : c - 1);
  } else {
    e.RepaintRows(start, c - 1);
    int y = e.TextTop() + (c - e.topRow_) * e.rowHeight_;
    int left = e.imagebar_->Visible() ? 0 : e.TextLeft();
    if (c >= e.topRow_ && c <= e.topRow_ + e.rowCount_) {
      TRect area{left, std::max(y, e.TextTop()), host.ClientWidth(), host.ClientHeight()};
      e.ScrollArea(0, diff * e.rowHeight_, area);
    } else if (c < e.topRow_) {
      host.Invalidate(TRect{0, e.TextTop(), host.ClientWidth(), host.ClientHeight()});
    }
    if (c >= count) e.RepaintRows(c, c + 1);
  }
  if (e.leftbar_->Visible() && e.leftbar_->ShowNumber()) {
    bool textBelowView = count > e.topRow_ + e.rowCount_;
    if (!(e.leftbar_->ShowNumberMode() == nmRow && (diff == 0 || textBelowView))) {
      int y = std::max(e.TextTop(), e.TextTop() + (c - e.topRow_) * e.rowHeight_);
      int x = e.ImagebarWidth();
      host.Invalidate(TRect{x, y, x + e.LeftbarWidth(), host.ClientHeight()});
    }
  }
}

// ---------------------------------------------------------------- paint

void TEditor::Paint(TSurface& surface, const TRect& clip) {
  if (!HandleAllocated()) return;
  PaintRect(surface, clip);
}

void TEditor::PaintRect(TSurface& s, const TRect& clip) {
  const int X0 = TextLeft(), Y0 = TextTop(), W = colWidth_, R = rowHeight_;
  const int width = host_->ClientWidth(), height = host_->ClientHeight();
  s.SetFont(font_);

  const bool underline = marks_->Underline()->Visible() && underlineCount_ == 0 &&
                         UnderlinePos(row_) >= 0;
  CaretBeginUpdate();
  if (clip.Left < X0 && clip.Top < Y0) PaintCorner(s);
  if (ruler_->Visible() && clip.Top < RulerHeight()) PaintRuler(s);

  int top = std::max(Y0, clip.Top);
  top -= (top - Y0) % R;
  int bottom = std::max(top, clip.Bottom);
  bottom = Y0 + ((bottom - Y0 + R - 1) / R) * R;
  const int firstRow = (top - Y0) / R + topRow_;
  const int lastRow = firstRow + (bottom - top) / R - 1;
  if (clip.Left < X0) {
    if (imagebar_->Visible()) PaintImagebar(s, firstRow, lastRow);
    if (leftbar_->Visible()) PaintLeftbar(s, firstRow, lastRow);
  }

  // The margins between the bars and the text and above the text.
  const TColor background = ResolveColor(color_, clWhite);
  const int barsRight = ImagebarWidth() + LeftbarWidth();
  if (clip.Left < X0 && barsRight < X0) {
    s.SetClipRect(TRect{barsRight, Y0, X0, height});
    s.FillRect(TRect{barsRight, Y0, X0, height}, background);
  }
  if (clip.Top < Y0 && RulerHeight() < Y0) {
    s.SetClipRect(TRect{X0, RulerHeight(), width, Y0});
    s.FillRect(TRect{X0, RulerHeight(), width, Y0}, background);
  }

  if (clip.Right > X0 && clip.Bottom > Y0) {
    const int left = std::max(X0, X0 + W * ((clip.Left - X0) / W));
    const int x0 = X0 - ScrollOffset();
    TFountain* f = ActiveFountain();
    std::unique_ptr<TFountainParser> parser = f ? f->CreateParser() : nullptr;
    const int count = list_->Count();
    for (int row = firstRow, y = top; row <= lastRow; ++row, y += R) {
      TRect rowRect{left, y, std::min(clip.Right, width), std::min(y + R, height)};
      if (rowRect.IsEmpty()) continue;
      s.SetClipRect(rowRect);
      if (row < count) {
        // Tabs are painted as the blanks they cover, so that every byte
        // of the painted text is one column.
        const ByteString text = ExpandedRow(list_->Ref(row));
        if (SelectionShown()) PaintRowWithSelection(s, rowRect, x0, parser.get(), row, text, y);
        else PaintRow(s, rowRect, x0, parser.get(), row, text, y, false);
      } else {
        s.FillRect(rowRect, background);
        if (marks_->EofMark()->Visible() && row == count &&
            (count == 0 || list_->RowAttribute(count - 1) != reEndOfText))
          DrawEofMark(s, x0, y);
      }
    }
  }
  s.SetClipRect(TRect{0, 0, width, height});
  CaretEndUpdate();
  if (underline) PaintUnderline(s, row_, ResolveColor(marks_->Underline()->Color(), font_.Color));
}

ByteString TEditor::ExpandedRow(const ByteString& raw) const {
  // A short row is looked through for tabs; a long one asks its cached
  // column map, which knows where they are.
  const bool longRow = raw.size() >= kLongRowBytes;
  if (!longRow && raw.view().find('\t') == std::string_view::npos) return raw;
  if (list_->WordWrap()) return ByteString(ExpandTabs(raw.view()));
  // Straight into the row string from the row's column map: a long row is
  // walked and copied once.
  const auto columns = RowColumns(raw);
  if (!columns->HasTabs()) return raw;
  const int tab = ColumnSettings().TabSpaceCount;
  const bool sameTabs = expandedTab_ == tab;
  if (sameTabs && expandedRaw_.data() == raw.data() && expandedRaw_.size() == raw.size())
    return expanded_;
  ByteString out = ByteString::Build(static_cast<size_t>(columns->Width()),
                                     [&](char* o) { columns->ExpandTo(o); });
  // The expansions of an edited long row share what the rows share (up to
  // the column of the first changed byte), so the checkpoints of the
  // painted row find it without comparing.
  if (sameTabs && longRow) {
    const size_t head = SharedPrefix(expandedRaw_, raw);
    if (head > 0)
      NoteRowEdit(expanded_, out, static_cast<size_t>(columns->PosToCol(static_cast<int>(head))));
  }
  expandedRaw_ = raw;
  expanded_ = out;
  expandedTab_ = tab;
  return out;
}

void TEditor::PaintRow(TSurface& s, const TRect& rect, int x0, TFountainParser* parser, int row,
                       const ByteString& text, int y, bool selected) {
  if (!HandleAllocated() || !host_->Showing()) return;
  const int X0 = TextLeft(), W = colWidth_;
  if (list_->BracketIndex(row) == -2) list_->ReparseFrom(row, false);

  const TColor editorBg = ResolveColor(color_, clWhite);
  const TColor fontFg = ResolveColor(font_.Color, clBlack);
  TColor bg = editorBg, fg = fontFg;
  const TFontStyles fontStyle = font_.Style;
  if (selected) {
    TEditorColors* colors = view_->Colors();
    TFountainColor* sel = selectionState_ == sstHitSelected ? colors->Hit() : colors->Select();
    bg = ResolveColor(sel->BkColor(), fontFg);
    fg = ResolveColor(sel->Color(), editorBg);
  }
  // Tabs are expanded, so the text is as wide as it is long.
  const int len = static_cast<int>(text.size());
  NoteLineWidth(len);

  // The base: the whole row in the default colours.
  s.FillRect(rect, bg);
  if (!italic_) TextOut(s, rect, x0, false, text.view(), y, fg, bg, fontStyle);

  if ((static_cast<long long>(len) + 5) * W >= ScrollOffset() && len > 0 && parser) {
    int rightLimit = rect.Right;
    TRowAttributeData data = list_->RowAttributeData(row);
    std::string joined;
    const char* parseText = text.c_str();
    if (list_->WordWrap() && list_->RowAttribute(row) == reWrapped && row + 1 < list_->Count()) {
      // The parser sees the cut token whole.
      joined.assign(text.view());
      joined += ExpandTabs(list_->Ref(row + 1).view());
      parseText = joined.c_str();
      rightLimit = std::min(rightLimit, x0 + len * W);
    }
    // A long row is scanned from a saved point shortly before its visible
    // part rather than from its first byte, and saves points as it goes.
    TTokenCheckpoints* points = joined.empty() && parser->Fountain() &&
                                        text.size() >= TTokenCheckpoints::kMinRowBytes
                                    ? &parser->Fountain()->Checkpoints()
                                    : nullptr;
    if (points)
      points->Start(*parser, text, data, static_cast<size_t>(std::max(ScrollOffset() / W - 1, 0)));
    else
      parser->NewData(parseText, data);
    for (TFountainTokenKind kind = parser->NextToken(); kind != ttEnd; kind = parser->NextToken()) {
      if (points) points->Note(*parser);
      const int start = parser->SourcePos();
      if (start >= len) break;
      const int x = x0 + start * W;
      if (x > rightLimit) break;
      int tokLen = std::min(parser->TokenLength(), len - start);
      if (x + tokLen * W < X0) continue;
      TFountainColor* c = parser->TokenColor();
      TColor tokBg = bg, tokFg = fg;
      TFontStyles tokStyle = fontStyle;
      if (c) {
        tokStyle = c->Style();
        if (!selected) {
          tokBg = ResolveColor(c->BkColor(), bg);
          tokFg = ResolveColor(c->Color(), fg);
        }
      }
      if (!italic_ && tokBg == bg && tokFg == fg && tokStyle == fontStyle) continue;
      std::string_view tok = text.view().substr(static_cast<size_t>(start), static_cast<size_t>(tokLen));
      TRect tokRect{std::max(x, rect.Left), rect.Top, std::min(x + tokLen * W, rect.Right), rect.Top + rowHeight_};
      if (tokBg != bg) s.FillRect(Intersect(tokRect, rect), tokBg);
      TextOut(s, rect, x, false, tok, y, tokFg, tokBg, tokStyle);
    }
  }
  if (OnDrawLine) OnDrawLine(this, text, x0, y, row, rect, selected);

  // End marks. Every row is shown whole, so the hide mark has nothing to
  // mark.
  const long long endX = x0 + static_cast<long long>(len) * W;
  if (endX < rect.Right && endX + 6 * W > rect.Left) {
    const int x = static_cast<int>(endX);
    TRowEnd end = list_->RowAttribute(row);
    if (marks_->EofMark()->Visible() && row == list_->Count() - 1 && end == reEndOfText)
      DrawEofMark(s, x, y);
    else if (marks_->RetMark()->Visible() && end == reLineBreak)
      DrawRetMark(s, x, y, selected);
    else if (marks_->WrapMark()->Visible() && end == reWrapped)
      DrawWrapMark(s, x, y, selected);
  }
}

void TEditor::PaintRowWithSelection(TSurface& s, const TRect& rowRect, int x0,
                                    TFountainParser* parser, int row, const ByteString& text,
                                    int y) {
  const TSelectionRect& sel = selRect_;
  if (row < sel.StartRow || row > sel.EndRow) {
    PaintRow(s, rowRect, x0, parser, row, text, y, false);
    return;
  }
  const int X0 = TextLeft(), W = colWidth_;
  const int right = host_->ClientWidth();
  auto piece = [&](int a, int b, bool selected, int pieceHeight) {
    TRect r = Intersect(TRect{a, rowRect.Top, b, rowRect.Top + pieceHeight}, rowRect);
    if (!r.IsEmpty()) {
      s.SetClipRect(r);
      PaintRow(s, r, x0, parser, row, text, y, selected);
    }
  };
  if (selectionMode_ == smBox) {
    // The box covers the bytes BoxEdges gives (a character cut by the
    // left edge is outside, one cut by the right edge inside), never past
    // the row's end.
    int first, last;
    BoxEdges(row, sel.StartCol, sel.EndCol, first, last);
    int a = std::max(X0, X0 + PosToCol(row, first) * W - ScrollOffset());
    int b = std::max(a, X0 + PosToCol(row, last) * W - ScrollOffset());
    int h = charHeight_ + margin_->UnderlineSpace();
    piece(rowRect.Left, a, false, rowHeight_);
    piece(a, b, true, h);
    piece(b, right, false, rowHeight_);
    return;
  }
  auto colX = [&](int c) { return std::max(X0, X0 + (c - topCol_) * W); };
  if (sel.StartRow == sel.EndRow) {
    piece(rowRect.Left, colX(sel.StartCol), false, rowHeight_);
    piece(colX(sel.StartCol), colX(sel.EndCol), true, rowHeight_);
    piece(colX(sel.EndCol), right, false, rowHeight_);
  } else if (row == sel.StartRow) {
    piece(rowRect.Left, colX(sel.StartCol), false, rowHeight_);
    piece(colX(sel.StartCol), right, true, rowHeight_);
  } else if (row == sel.EndRow) {
    piece(rowRect.Left, colX(sel.EndCol), true, rowHeight_);
    piece(colX(sel.EndCol), right, false, rowHeight_);
  } else {
    piece(rowRect.Left, right, true, rowHeight_);
  }
}

void TEditor::TextOut(TSurface& s, const TRect& rect, int x, bool opaque, std::string_view text,
                      int y, TColor fg, TColor bg, TFontStyles style) {
  size_t first = 0;
  text = VisiblePiece(text, x, colWidth_, rect.Left, rect.Right, first);
  if (text.empty()) return;
  const int phase = x & 1; // of the dotted line, fixed by where the text starts
  x += static_cast<int>(first) * colWidth_;
  if (HasFontStyle(style, fsUnderline)) {
    // A dotted line instead of the font's underline.
    style = static_cast<TFontStyles>(style & ~(1u << fsUnderline));
    int a = std::max(x, rect.Left);
    int b = std::min(x + static_cast<int>(text.size()) * colWidth_, rect.Right);
    if (b > a) {
      const TBitmap& strip = DottedLineStrip(fg, bg, b - a + 2);
      s.DrawBitmap(a, y + charHeight_ - 1, strip, (a - phase) & 1, 0, b - a, 1);
    }
  }
  s.TextOut(x, y, rect, text, colWidth_, fg, bg, opaque, style);
}

// ---------------------------------------------------------------- marks

void TEditor::DrawEofMark(TSurface& s, int x, int y) {
  if (x < TextLeft() || !host_->Showing()) return;
  TColor fg = ResolveColor(marks_->EofMark()->Color(), font_.Color);
  TColor bg = ResolveColor(color_, clWhite);
  TRect r = Intersect(TRect{x, y, x + 6 * colWidth_, y + charHeight_},
                      TRect{TextLeft(), TextTop(), host_->ClientWidth(), host_->ClientHeight()});
  r = Intersect(r, s.ClipRect());
  if (r.IsEmpty()) return;
  s.FillRect(r, bg);
  s.TextOut(x, y, r, "[EOF]", colWidth_, fg, bg, true, font_.Style);
}

namespace {
TColor MarkColor(TEditor& e, TColor own, bool selected) {
  if (!selected) return own;
  TFountainColor* sel = e.SelectionState() == sstHitSelected ? e.View()->Colors()->Hit()
                                                              : e.View()->Colors()->Select();
  return sel->Color() == clNone ? e.Color() : sel->Color();
}
} // namespace

void TEditor::DrawRetMark(TSurface& s, int x, int y, bool selected) {
  if (x < TextLeft() || !host_->Showing()) return;
  TColor c = ResolveColor(MarkColor(*this, ResolveColor(marks_->RetMark()->Color(), font_.Color), selected), clBlack);
  int d = std::max(1, charHeight_ / 8), f = std::max(d, 3), cx = x + colWidth_ / 2;
  int top = y + 2 * d, end = y + charHeight_ - 2 * d;
  s.Line(cx, top, cx, end, c);
  s.Line(cx, end, cx + f, end - f, c);
  s.Line(cx, end, cx - f, end - f, c);
}

void TEditor::DrawWrapMark(TSurface& s, int x, int y, bool selected) {
  if (x < TextLeft() || !host_->Showing()) return;
  TColor c = ResolveColor(MarkColor(*this, ResolveColor(marks_->WrapMark()->Color(), font_.Color), selected), clBlack);
  int e = std::max(2, colWidth_ * 3 / 5), cy = y + charHeight_ / 2, W = colWidth_;
  s.Line(x + W, cy - e, x + W - e, cy, c);
  s.Line(x + W - e, cy, x + W + 1, cy + e + 1, c);
}

int TEditor::UnderlinePos(int row) const {
  if (!HandleAllocated()) return -1;
  int y = TextTop() + rowHeight_ * (row - topRow_) + charHeight_;
  if (y <= TextTop() || y >= host_->ClientHeight()) return -1;
  return y;
}

void TEditor::PaintUnderline(TSurface& s, int row, TColor color) {
  int y = UnderlinePos(row);
  if (y < 0) return;
  s.Line(TextLeft(), y, host_->ClientWidth(), y, color);
}

void TEditor::DrawUnderline(int row) {
  int y = UnderlinePos(row);
  if (y >= 0) host_->Invalidate(TRect{TextLeft(), y, host_->ClientWidth(), y + 1});
}

void TEditor::EraseUnderline(int row) {
  // The next paint of that strip draws the row without the line.
  DrawUnderline(row);
}

// ---------------------------------------------------------------- bars

void TEditor::PaintCorner(TSurface& s) {
  const int X0 = TextLeft(), Y0 = TextTop();
  s.SetClipRect(TRect{0, 0, X0, Y0});
  s.FillRect(TRect{0, 0, X0, Y0}, ResolveColor(color_, clWhite));
  int barsRight = 0;
  if (leftbar_->Visible() && leftbar_->Edge()) {
    barsRight = ImagebarWidth() + LeftbarWidth();
    s.FillRect(TRect{0, 0, barsRight, Y0}, ResolveColor(leftbar_->BkColor(), color_));
    s.FillRect(TRect{barsRight - 2, 0, barsRight - 1, Y0}, clWhite);
    s.FillRect(TRect{barsRight - 1, 0, barsRight, Y0}, clGray);
  }
  if (ruler_->Visible() && ruler_->Edge()) {
    int h = RulerHeight();
    s.FillRect(TRect{barsRight, 0, X0, h}, ResolveColor(ruler_->BkColor(), color_));
    s.FillRect(TRect{barsRight, h - 2, X0, h - 1}, clWhite);
    s.FillRect(TRect{barsRight, h - 1, X0, h}, clGray);
  }
}

void TEditor::BuildRulerBitmap() {
  if (!ruler_->Visible() || !HandleAllocated()) return;
  const int W = colWidth_, g = ruler_->GaugeRange(), h = RulerHeight();
  const int segments = host_->ClientWidth() / (g * W) + 3;
  const TColor bk = ResolveColor(ruler_->BkColor(), color_), fg = ResolveColor(ruler_->Color(), clBlack);
  const TColor mark = ResolveColor(ruler_->MarkColor(), clBlack);
  auto build = [&](TBitmap& b, TColor ground, TColor ink, TColor cellGround) {
    b.Resize(g * W * segments, h, PixelOf(ground));
    for (int seg = 0; seg < segments; ++seg) {
      int base = seg * g * W;
      for (int c = 0; c < g; ++c) {
        int from = c == 0 ? 0 : (c == g / 2 ? 3 : 6);
        for (int y = from; y < h; ++y) b.At(base + c * W, y) = PixelOf(ink);
      }
    }
    int bottom = h - 1;
    for (int x = 0; x < b.Width; ++x) {
      if (ruler_->Edge()) {
        b.At(x, h - 2) = PixelOf(clWhite);
        b.At(x, bottom) = PixelOf(clGray);
      } else {
        b.At(x, bottom) = PixelOf(ink);
      }
    }
    (void)cellGround;
  };
  build(rulerBmp_, bk, fg, bk);
  build(rulerMarkBmp_, mark, bk, mark);
  // Column numbers, one per segment, for the columns from the first
  // segment boundary at or left of the scroll position.
  const int firstSeg = topCol_ / g;
  auto drawNumber = [&](TBitmap& b, int seg, int n, TColor ink) {
    std::string digits = std::to_string(n);
    int x = seg * g * W + 1;
    for (char ch : digits) {
      int d = ch - '0';
      const uint8_t* glyph = DigitGlyph(d);
      for (int yy = 0; yy < 9 && yy < h; ++yy)
        for (int xx = 0; xx < 5; ++xx)
          if ((glyph[yy] & (0x10 >> xx)) && x + xx < b.Width) b.At(x + xx, yy) = PixelOf(ink);
      x += DigitGlyphWidth(d) + 1;
    }
  };
  for (int seg = 0; seg < segments; ++seg) {
    int n = (firstSeg + seg) * g;
    if (n == 0) continue;
    drawNumber(rulerBmp_, seg, n, fg);
    drawNumber(rulerMarkBmp_, seg, n, bk);
  }
}

void TEditor::PaintRuler(TSurface& s) {
  if (rulerBmp_.Width == 0) BuildRulerBitmap();
  const int X0 = TextLeft(), W = colWidth_, g = ruler_->GaugeRange(), h = RulerHeight();
  const int width = host_->ClientWidth();
  s.SetClipRect(TRect{X0, 0, width, h});
  const int sx = W * (topCol_ % g);
  s.DrawBitmap(X0, 0, rulerBmp_, sx, 0, std::min(width - X0, rulerBmp_.Width - sx), h);
  if (col_ >= topCol_ && col_ <= topCol_ + colCount_) {
    int x = X0 + W * (col_ - topCol_) + 1;
    int cellH = h - 1 - (ruler_->Edge() ? 1 : 0);
    s.DrawBitmap(x, 0, rulerMarkBmp_, sx + W * (col_ - topCol_) + 1, 0, W - 1, cellH);
  }
}

void TEditor::MarkRulerCaret(int oldCol, int newCol) {
  if (!HandleAllocated() || !ruler_->Visible()) return;
  const int X0 = TextLeft(), W = colWidth_, h = RulerHeight();
  for (int c : {oldCol, newCol})
    if (c >= topCol_ && c <= topCol_ + colCount_)
      host_->Invalidate(TRect{X0 + W * (c - topCol_), 0, X0 + W * (c - topCol_ + 1), h});
}

void TEditor::PaintLeftbar(TSurface& s, int firstRow, int lastRow) {
  const int R = rowHeight_, Y0 = TextTop(), x = ImagebarWidth(), w = LeftbarWidth();
  const TColor bk = ResolveColor(leftbar_->BkColor(), color_);
  const TColor fg = ResolveColor(leftbar_->Color(), font_.Color);
  const int height = host_->ClientHeight();
  s.SetClipRect(TRect{x, Y0, x + w, height});
  // Edge strip.
  if (leftbar_->Edge()) {
    s.FillRect(TRect{x + w - 2, Y0, x + w - 1, height}, clWhite);
    s.FillRect(TRect{x + w - 1, Y0, x + w, height}, clGray);
  } else {
    s.FillRect(TRect{x + w - 2, Y0, x + w - 1, height}, bk);
    s.FillRect(TRect{x + w - 1, Y0, x + w, height}, fg);
  }
  const int count = list_->Count();
  const bool lastOpen = count == 0 || list_->RowAttribute(count - 1) != reEndOfText;
  int line = -1; // logical line index of firstRow, computed lazily
  for (int row = firstRow; row <= lastRow; ++row) {
    int top = Y0 + (row - topRow_) * R;
    TRect r{x, top, x + w - 2, top + R};
    s.FillRect(r, bk);
    if (!leftbar_->ShowNumber()) continue;
    long long number = -1;
    if (leftbar_->ShowNumberMode() == nmRow) {
      if (row < count || row == 0 || (row == count && lastOpen)) number = row;
    } else {
      bool starts = row == 0 || (row <= count && row > 0 && list_->RowAttribute(row - 1) == reLineBreak);
      if (row < count && starts) {
        if (line < 0) line = LineIndex(row);
        else line = LineIndex(row);
        number = line;
      } else if (row == count && lastOpen) {
        number = count == 0 ? 0 : LineIndex(count - 1) + 1;
      }
    }
    if (number < 0) continue;
    if (!leftbar_->ZeroBase()) ++number;
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < leftbarDigits_)
      digits.insert(0, static_cast<size_t>(leftbarDigits_) - digits.size(), leftbar_->ZeroLead() ? '0' : ' ');
    s.TextOut(x + leftbar_->LeftMargin(), top, r, digits, colWidth_, fg, bk, true, font_.Style);
  }
}

void TEditor::PaintImagebar(TSurface& s, int firstRow, int lastRow) {
  const int R = rowHeight_, Y0 = TextTop(), w = ImagebarWidth();
  TColor bk = (leftbar_->Visible() && leftbar_->BkColor() != clNone) ? ResolveColor(leftbar_->BkColor(), color_)
                                                                     : ResolveColor(color_, clWhite);
  s.SetClipRect(TRect{0, Y0, w, host_->ClientHeight()});
  for (int row = firstRow; row <= lastRow; ++row) {
    int top = Y0 + (row - topRow_) * R;
    s.FillRect(TRect{0, top, w, top + R}, bk);
    if (row >= list_->Count()) continue;
    TRowMarks marks = list_->RowMarks(row);
    if (!marks) continue;
    for (int m = 0; m <= 9; ++m)
      if (marks & (1u << m)) {
        const TBitmap& img = imageDigits_ && m < static_cast<int>(imageDigits_->size())
                                 ? (*imageDigits_)[static_cast<size_t>(m)]
                                 : DigitImage(m);
        s.DrawBitmap(imagebar_->LeftMargin(), top + 2, img, 0, 0, img.Width, img.Height);
        break;
      }
    for (int m = 10; m <= 15; ++m)
      if (marks & (1u << m)) {
        const int n = m - 10;
        const TBitmap& img = imageMarks_ && n < static_cast<int>(imageMarks_->size())
                                 ? (*imageMarks_)[static_cast<size_t>(n)]
                                 : MarkImage(std::min(n, kMarkImageCount - 1));
        s.DrawBitmap(imagebar_->LeftMargin() + imagebar_->DigitWidth(), top + 2, img, 0, 0,
                     img.Width, img.Height);
        break;
      }
  }
}

} // namespace ze
