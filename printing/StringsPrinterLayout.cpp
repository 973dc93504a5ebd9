// Page layout of the strings printer: source lines into print rows, their
// colouring states, and the rows onto recorded pages.

#include <algorithm>
#include <chrono>

#include "colouring/Fountain.h"
#include "colouring/FountainParser.h"
#include "platform/CodePage.h"
#include "printing/StringsPrinter.h"

namespace ze {

namespace {

// Byte classes of a print row: a printable single byte, a blank or
// control byte, or a byte of a double-byte character.
enum ByteClass : uint8_t { kPrintable, kBlank, kDouble };

ByteClass ClassAt(std::string_view t, size_t i, bool lead) {
  if (lead) return kDouble;
  unsigned char b = static_cast<unsigned char>(t[i]);
  return b <= 0x20 ? kBlank : kPrintable;
}

// Tabs into spaces up to the next multiple of tab bytes; a double-byte
// character counts two, as it takes two columns.
ByteString ExpandTabs(const ByteString& s, int tab) {
  std::string_view v = s.view();
  if (v.find('\t') == std::string_view::npos) return s;
  std::string out;
  out.reserve(v.size() + 8);
  for (char c : v) {
    if (c == '\t')
      out.append(static_cast<size_t>(tab - static_cast<int>(out.size()) % tab), ' ');
    else
      out.push_back(c);
  }
  return ByteString(out);
}

TColor Resolve(TColor c, TColor fallback) {
  if (c == clNone || c == clDefault) return fallback;
  if ((c & 0xFF000000u) == 0xFF000000u) {
    // System colours: the window is white, everything else drawn as text.
    const unsigned n = c & 0xFF;
    return n == 5 || n == 15 ? clWhite : clBlack;
  }
  return c & 0x00FFFFFFu;
}

int Digits(int64_t n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

// Bit-exact reset of a build flag on every exit path.
struct BuildingGuard {
  bool& flag;
  explicit BuildingGuard(bool& f) : flag(f) { flag = true; }
  ~BuildingGuard() { flag = false; }
};

} // namespace

bool TStringsPrinter::Poll(int last, int current) {
  if (!progress_) return false;
  using Clock = std::chrono::steady_clock;
  const int64_t now = Clock::now().time_since_epoch() / std::chrono::microseconds(1);
  // Redrawn a few dozen times a second, not per row, yet often enough
  // that a cancellation is answered at once.
  if (current == 0 || now - lastPoll_ >= 25000) {
    progress_->Update(progressCaption_, last, current);
    lastPoll_ = now;
  }
  return progress_->Cancelled();
}

void TStringsPrinter::SplitLine(const ByteString& line, int source, TRowAttributeStringList& rows,
                                int capacity) {
  auto add = [&](const ByteString& s, TRowEnd end) {
    int k = rows.Add(s);
    rows.SetRowData(k, source);
    rows.SetRowAttribute(k, end);
  };
  const ByteString text = ExpandTabs(line, tabSpaceCount_);
  const std::string_view t = text.view();
  if (t.size() <= static_cast<size_t>(capacity)) {
    add(text, reLineBreak);
    return;
  }
  size_t pos = 0;
  while (t.size() - pos > static_cast<size_t>(capacity)) {
    // The longest run of whole characters that fits, remembering where
    // the last blank or double-byte character ended.
    size_t end = pos, lastBreak = pos, lastLen = 0;
    const size_t limit = pos + static_cast<size_t>(capacity);
    while (end < t.size()) {
      const size_t len = static_cast<size_t>(CharLengthAt(t, end));
      if (end + len > limit) break;
      if (ClassAt(t, end, len == 2) != kPrintable) lastBreak = end + len;
      lastLen = len;
      end += len;
    }
    if (end == pos) end = pos + static_cast<size_t>(CharLengthAt(t, pos)); // never an empty row
    // Inside a run of single-byte printable characters: break after the
    // last blank or double-byte character instead, if there is one.
    const bool inRun = lastLen == 1 && ClassAt(t, end - 1, false) == kPrintable && end < t.size() &&
                       !IsLeadByte(t[end]) && ClassAt(t, end, false) == kPrintable;
    if (wordBreak_ && inRun && lastBreak > pos) end = lastBreak;
    add(ByteString(t.substr(pos, end - pos)), reWrapped);
    pos = end;
  }
  add(ByteString(t.substr(pos)), reLineBreak);
}

void TStringsPrinter::SplitIntoRows(const TStrings& lines, TRowAttributeStringList& rows,
                                    int rowWidth, int charWidth) {
  const int capacity = std::max(1, rowWidth / std::max(1, charWidth));
  const int count = lines.GetCount();
  rows.SetCapacity(rows.GetCount() + count);
  for (int s = 0; s < count; ++s)
    SplitLine(lines.Get(s), s, rows, capacity);
}

void TStringsPrinter::ParseRowStates(TRowAttributeStringList& rows, int from,
                                     TFountainParser& parser, TRowAttributeData& d) {
  for (int k = from; k < rows.GetCount(); ++k) {
    d.RowAttribute = rows.RowAttribute(k);
    rows.SetRowAttributeData(k, d);
    parser.UpdateRowData(k, rows, d);
    d.PrevRowAttribute = rows.RowAttribute(k);
  }
}

void TStringsPrinter::ComputeRowStates(TRowAttributeStringList& rows) {
  if (!fountain_) return;
  rows.ResetColouring(0, rows.GetCount());
  std::unique_ptr<TFountainParser> parser = fountain_->CreateParser();
  TRowAttributeData d;
  d.BracketIndex = -1;
  ParseRowStates(rows, 0, *parser, d);
}

bool TStringsPrinter::MakePages(const TStrings& lines, TMetaFileList& list,
                                const std::string& caption) {
  // Events are served while pages are built; a second build started from
  // one of them would work on the same state.
  if (building_) {
    lastError_ = kPrintBusy;
    return false;
  }
  BuildingGuard guard(building_);
  lastError_.clear();
  list.clear();
  if (!BuildPages(lines, list, caption)) {
    list.clear();
    return false;
  }
  return true;
}

bool TStringsPrinter::BuildPages(const TStrings& lines, TMetaFileList& list,
                                 const std::string& caption) {
  TStringsPrinterInfo& info = *info_;
  TPrinterDevice* d = device_;
  const bool dev = d && d->Available();

  // Page and print area.
  int pageW = dev ? d->PageWidth() : 0, pageH = dev ? d->PageHeight() : 0;
  if (pageW <= 0 || pageH <= 0) {
    pageW = info.MmToPixelsX(info.PaperWidth());
    pageH = info.MmToPixelsY(info.PaperHeight());
  }
  const TStringsPrinterInfo::TOffsets off = info.UnprintableOffsets();
  const int L = std::max(0, info.MmToPixelsX(marginLeft_) - off.Left);
  const int T = std::max(0, info.MmToPixelsY(marginTop_) - off.Top);
  const int R = std::min(pageW, pageW + off.Right - info.MmToPixelsX(marginRight_));
  const int B = std::min(pageH, pageH + off.Bottom - info.MmToPixelsY(marginBottom_));

  // Metrics.
  const TFontDesc desc = font_->Desc();
  const TFontMetrics m = d ? d->MeasureFont(desc) : TFontMetrics{};
  const int H = std::max(1, m.Height + m.ExternalLeading);
  const int W = std::max(1, m.AverageWidth);

  // Bands, columns and rows.
  const int headerH = headerAlign_ != haNone && !header_.empty() ? H * 3 / 2 : 0;
  const int footerH = footerAlign_ != haNone && !footer_.empty() ? H * 3 / 2 : 0;
  const TRect headerBand{L, T, R, T + headerH};
  const TRect footerBand{L, B - footerH, R, B};
  const int rowsTop = headerBand.Bottom, rowsBottom = footerBand.Top;
  const int count = lines.GetCount();
  // Wide enough for the largest number that can be printed.
  const int gutter = lineNumber_ ? (Digits(int64_t{firstLineNumber_} - 1 + count) + 2) * W : 0;
  const int space = info.MmToPixelsX(columnSpace_);
  const int textW = (R - (L + gutter) - (space + gutter) * (columnCount_ - 1)) / columnCount_;
  const int rowWidth = textW - (HasFontStyle() ? W : 0);
  if (rowWidth < 2 * W) {
    Fail(kPrintColumnTooNarrow);
    return false;
  }
  const int pitch = H + info.MmToPixelsY(marginLine_);
  if (rowsBottom - rowsTop < pitch) {
    Fail(kPrintNoRowFits);
    return false;
  }

  // Lines are split and coloured one at a time as the pages fill: the
  // build never holds more rows than one line gives, and a cancellation
  // leaves nothing large to free.
  std::unique_ptr<TPrintProgress> progress = ProgressFactory ? ProgressFactory() : nullptr;
  struct ProgressScope {
    TStringsPrinter& p;
    ~ProgressScope() { p.progress_ = nullptr; }
  } scope{*this};
  progress_ = progress.get();
  progressCaption_ = caption;
  if (progress) progress->Show(caption);

  const bool colouring = fountain_ && (printMode_ == pmBWFontStyle || printMode_ == pmColorToken);
  std::unique_ptr<TFountainParser> parser;
  TRowAttributeData state;
  state.BracketIndex = -1;
  if (colouring) parser = fountain_->CreateParser();
  const int capacity = std::max(1, rowWidth / W);

  // Colours of the mode.
  const bool colour = printMode_ == pmThreeColor || printMode_ == pmColorToken;
  const TColor pageBg = colour ? Resolve(bkColor_, clWhite) : clWhite;
  const TColor textFg = colour ? Resolve(desc.Color, clBlack) : clBlack;
  const TColor headFg = colour ? Resolve(headerColor_, clBlack) : clBlack;
  const TFontStyles fontStyle = desc.Style;

  auto measure = [d](const TFontDesc& f) { return d ? d->MeasureFont(f) : TFontMetrics{}; };
  std::unique_ptr<TPageRecorder> canvas;
  auto drawBand = [&](const TRect& band, const ByteString& templ,
                      TStringsPrinterHeaderAlign align) {
    if (band.Height() <= 0) return;
    const ByteString text = ExpandMacros(templ);
    const int width = static_cast<int>(text.size()) * W;
    int x = band.Left;
    if (align == haCenter)
      x = band.Left + (band.Width() - width) / 2;
    else if (align == haRight)
      x = band.Right - width;
    const int y = band.Top + (band.Height() - m.Height) / 2;
    if (!text.empty())
      canvas->TextOut(x, y, band, text.view(), W, headFg, pageBg, false, fontStyle);
  };
  auto startPage = [&] {
    list.push_back(std::make_unique<TPageMetafile>(pageW, pageH, info.DpiY()));
    canvas = std::make_unique<TPageRecorder>(*list.back(), measure);
    canvas->SetFont(desc);
    canvas->FillRect(TRect{0, 0, pageW, pageH}, pageBg);
    drawBand(headerBand, header_, headerAlign_);
  };
  auto finishPage = [&] {
    drawBand(footerBand, footer_, footerAlign_);
    list.back()->Shrink();
  };

  lineCounter_ = firstLineNumber_ - 1;
  pageNumber_ = rangeOption_ == roLimited ? firstPageNumber_ - startPage_ + 1 : firstPageNumber_;
  startPage();

  int col = 0, y = rowsTop, lastNumbered = -1;
  auto columnLeft = [&](int k) { return L + k * (space + gutter + textW); };
  std::string joined;
  struct Run {
    int Start, End;
    TColor Fg, Bg;
    TFontStyles Style;
  };
  std::vector<Run> runs;
  TRowAttributeStringList rows; // the rows of one source line
  for (int source = 0; source < count; ++source) {
    if ((source & 63) == 0 && Poll(count - 1, source)) return false;
    if (lineRangeOption_ == roLimited && source > lastLine_ - 1) break;
    const bool skipped =
        lineRangeOption_ == roLimited && (source < startLine_ - 1 || source > lastLine_ - 1);
    // A skipped line is still coloured: its colouring state runs on.
    if (skipped && !parser) continue;
    rows.Clear();
    SplitLine(lines.Get(source), source, rows, capacity);
    if (parser) ParseRowStates(rows, 0, *parser, state);
    if (skipped) continue;
    const int rowCount = rows.GetCount();
    for (int i = 0; i < rowCount; ++i) {
      if (y + pitch > rowsBottom) {
        y = rowsTop;
        if (col + 1 < columnCount_) {
          ++col;
        } else {
          finishPage();
          ++pageNumber_;
          startPage();
          col = 0;
        }
      }
      const int gutterLeft = columnLeft(col);
      const int textLeft = gutterLeft + gutter;
      if (lineNumber_ && source != lastNumbered) {
        lastNumbered = source;
        ++lineCounter_;
        const std::string number = std::to_string(lineCounter_) + ": ";
        const TRect g{gutterLeft, y, textLeft, y + H};
        canvas->TextOut(textLeft - static_cast<int>(number.size()) * W, y, g, number, W, headFg,
                        pageBg, false, fontStyle);
      }
      const ByteString& text = rows.Ref(i);
      const TRect clip{textLeft, rowsTop, textLeft + textW, rowsBottom};
      const int len = static_cast<int>(text.size());
      if (len > 0 && !parser) {
        canvas->TextOut(textLeft, y, clip, text.view(), W, textFg, pageBg, false, fontStyle);
      } else if (len > 0) {
        // Runs of equal colours and style over the row, each drawn once.
        runs.clear();
        auto addRun = [&](int a, int b, TColor fg, TColor bg, TFontStyles st) {
          if (b <= a) return;
          if (!runs.empty() && runs.back().End == a && runs.back().Fg == fg &&
              runs.back().Bg == bg && runs.back().Style == st) {
            runs.back().End = b;
            return;
          }
          runs.push_back(Run{a, b, fg, bg, st});
        };
        const char* parseText = text.c_str();
        if (rows.RowAttribute(i) == reWrapped && i + 1 < rowCount) {
          // The parser sees a token cut at the row end whole.
          joined.assign(text.view());
          joined.append(rows.Ref(i + 1).view());
          parseText = joined.c_str();
        }
        parser->NewData(parseText, rows.RowAttributeData(i));
        int done = 0;
        for (TFountainTokenKind k = parser->NextToken(); k != ttEnd; k = parser->NextToken()) {
          const int start = parser->SourcePos();
          if (start >= len) break;
          const int end = std::min(len, start + parser->TokenLength());
          if (end <= done) continue;
          addRun(done, start, textFg, pageBg, fontStyle);
          TColor fg = textFg, bg = pageBg;
          TFontStyles st = fontStyle;
          if (TFountainColor* c = parser->TokenColor()) {
            st = c->Style();
            if (printMode_ == pmColorToken) {
              bg = Resolve(c->BkColor(), pageBg);
              fg = Resolve(c->Color(), textFg);
            }
          }
          addRun(std::max(done, start), end, fg, bg, st);
          done = end;
        }
        addRun(done, len, textFg, pageBg, fontStyle);
        for (const Run& r : runs)
          canvas->TextOut(textLeft + r.Start * W, y, clip,
                          text.view().substr(static_cast<size_t>(r.Start),
                                             static_cast<size_t>(r.End - r.Start)),
                          W, r.Fg, r.Bg, r.Bg != pageBg, r.Style);
      }
      y += pitch;
    }
  }
  finishPage();
  if (progress) progress->Update(caption, count - 1, std::max(0, count - 1));
  return true;
}

} // namespace ze
