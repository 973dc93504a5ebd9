#include "printing/StringsPrinter.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "colouring/Fountain.h"
#include "platform/CodePage.h"
#include "printing/PaperTable.h"
#include "text/Properties.h"

namespace ze {

const char* const kPrintColumnTooNarrow =
    "列の幅が狭すぎて 1 "
    "文字も印刷できません。余白、段数、段間またはフォントのサイズを見直してください。";
const char* const kPrintNoRowFits =
    "ページに 1 行も入りません。上下の余白、行間余白またはフォントのサイズを見直してください。";
const char* const kPrintNoPagesSelected =
    "印刷するページがありません。ページ範囲と印刷するページを見直してください。";
const char* const kPrintJobFailed =
    "印刷を開始できませんでした。プリンタの設定を確かめてください。";
const char* const kPrintBusy = "ページを作成中です。";

namespace {

int Clamp(int v, int lo, int hi) {
  return std::clamp(v, lo, hi);
}

} // namespace

// ---------------------------------------------------------------- font

void TStringsPrinterFont::SetName(const std::string& v) {
  Notify(desc_.Name, v);
}
void TStringsPrinterFont::SetSize(int v) {
  Notify(desc_.Size, std::max(1, v));
}
void TStringsPrinterFont::SetStyle(TFontStyles v) {
  Notify(desc_.Style, v);
}
void TStringsPrinterFont::SetColor(TColor v) {
  Notify(desc_.Color, v);
}

void TStringsPrinterFont::CopyFrom(const TPersistent* source) {
  auto* f = dynamic_cast<const TStringsPrinterFont*>(source);
  if (!f) {
    TNotifyPersistent::CopyFrom(source);
    return;
  }
  Notify(desc_, f->desc_);
}

const TPropTable& TStringsPrinterFont::ClassProps() {
  using C = TStringsPrinterFont;
  static const TPropTable t(
      nullptr, {IntProp<C>("Color", &C::Color, &C::SetColor),
                StrProp<C>(
                    "Name", [](const C& c) { return ByteString(c.Name()); },
                    [](C& c, const ByteString& v) { c.SetName(std::string(v.view())); }),
                IntProp<C>("Size", &C::Size, &C::SetSize),
                SetProp<C>("Style", &C::Style, &C::SetStyle,
                           {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})});
  return t;
}

// ---------------------------------------------------------------- info

TStringsPrinterInfo::TStringsPrinterInfo(TStringsPrinter* printer)
    : TComponent(printer), printer_(printer) {}

std::string TStringsPrinterInfo::PrinterName() const {
  TPrinterDevice* d = printer_->Device();
  if (!d || !d->Available() || d->PrinterIndex() < 0) return "不明";
  return d->PrinterName();
}

int TStringsPrinterInfo::PaperCode() const {
  TPrinterDevice* d = printer_->Device();
  int code = d && d->Available() ? d->PaperCode() : 0;
  return code > 0 ? code : kPaperCodeA4;
}

bool TStringsPrinterInfo::Landscape() const {
  TPrinterDevice* d = printer_->Device();
  return d && d->Available() && d->Landscape();
}

int TStringsPrinterInfo::DpiX() const {
  TPrinterDevice* d = printer_->Device();
  if (d && d->Available() && d->DpiX() > 0) return d->DpiX();
  return d ? d->ScreenDpi() : 96;
}

int TStringsPrinterInfo::DpiY() const {
  TPrinterDevice* d = printer_->Device();
  if (d && d->Available() && d->DpiY() > 0) return d->DpiY();
  return d ? d->ScreenDpi() : 96;
}

int TStringsPrinterInfo::MmToPixelsX(int mm) const {
  return static_cast<int>(std::lround(mm * DpiX() / 25.4));
}

int TStringsPrinterInfo::MmToPixelsY(int mm) const {
  return static_cast<int>(std::lround(mm * DpiY() / 25.4));
}

void TStringsPrinterInfo::RefreshPapers() {
  TPrinterDevice* d = printer_->Device();
  if (!d || !d->Available()) {
    papers_.clear();
    printerIndex_ = -1;
    return;
  }
  if (d->PrinterIndex() == printerIndex_ && !papers_.empty()) return;
  papers_ = d->Papers();
  printerIndex_ = d->PrinterIndex();
}

TStringsPrinterInfo::TPaper TStringsPrinterInfo::CurrentPaper() {
  RefreshPapers();
  const int code = PaperCode();
  for (const TPaperItem& p : papers_)
    if (p.Code == code) return {p.Name, p.Width, p.Height};
  if (const TPaperTableEntry* e = PaperTableEntry(code))
    return {std::string(e->Name), e->Width, e->Height};
  // A code neither the driver nor the table knows: the printer's own page,
  // or A4 without a printer.
  TPrinterDevice* d = printer_->Device();
  if (d && d->Available() && d->PageWidth() > 0 && d->PageHeight() > 0) {
    int w = static_cast<int>(std::lround(d->PageWidth() * 25.4 / DpiX()));
    int h = static_cast<int>(std::lround(d->PageHeight() * 25.4 / DpiY()));
    if (d->Landscape()) std::swap(w, h);
    return {"不明", w, h};
  }
  const TPaperTableEntry* a4 = PaperTableEntry(kPaperCodeA4);
  return {std::string(a4->Name), a4->Width, a4->Height};
}

std::string TStringsPrinterInfo::PaperName() {
  return CurrentPaper().Name;
}
int TStringsPrinterInfo::PaperWidth() {
  return CurrentPaper().Width;
}
int TStringsPrinterInfo::PaperHeight() {
  return CurrentPaper().Height;
}

TStringsPrinterInfo::TOffsets TStringsPrinterInfo::UnprintableOffsets() {
  TOffsets o;
  TPrinterDevice* d = printer_->Device();
  if (!d || !d->Available()) return o;
  TPaper p = CurrentPaper();
  int pw = MmToPixelsX(p.Width), ph = MmToPixelsY(p.Height);
  if (Landscape()) {
    pw = MmToPixelsX(p.Height);
    ph = MmToPixelsY(p.Width);
  }
  o.Left = std::max(0, (pw - d->PageWidth()) / 2);
  o.Top = std::max(0, (ph - d->PageHeight()) / 2);
  o.Right = std::max(0, pw - d->PageWidth() - o.Left);
  o.Bottom = std::max(0, ph - d->PageHeight() - o.Top);
  return o;
}

// ---------------------------------------------------------------- printer

TStringsPrinter::TStringsPrinter(TComponent* owner)
    : TStoreComponent(owner), font_(std::make_unique<TStringsPrinterFont>()) {
  info_ = new TStringsPrinterInfo(this);
}

TStringsPrinter::~TStringsPrinter() {
  SetFountain(nullptr);
}

void TStringsPrinter::SetColumnCount(int v) {
  columnCount_ = Clamp(v, 1, 3);
}
void TStringsPrinter::SetColumnSpace(int v) {
  columnSpace_ = Clamp(v, 0, 100);
}
void TStringsPrinter::SetFirstLineNumber(int v) {
  firstLineNumber_ = Clamp(v, 1, 999999);
}
void TStringsPrinter::SetFirstPageNumber(int v) {
  firstPageNumber_ = Clamp(v, 1, 999999);
}
void TStringsPrinter::SetFooterAlign(TStringsPrinterHeaderAlign v) {
  footerAlign_ = v <= haRight ? v : haNone;
}
void TStringsPrinter::SetHeaderAlign(TStringsPrinterHeaderAlign v) {
  headerAlign_ = v <= haRight ? v : haNone;
}
void TStringsPrinter::SetLastLine(int v) {
  lastLine_ = Clamp(v, 1, 999999);
}
void TStringsPrinter::SetLastPage(int v) {
  lastPage_ = Clamp(v, 1, 999999);
}
void TStringsPrinter::SetLineRangeOption(TStringsPrinterRangeOption v) {
  lineRangeOption_ = v == roLimited ? roLimited : roWhole;
}
void TStringsPrinter::SetMarginBottom(int v) {
  marginBottom_ = Clamp(v, 0, 100);
}
void TStringsPrinter::SetMarginLeft(int v) {
  marginLeft_ = Clamp(v, 0, 100);
}
void TStringsPrinter::SetMarginRight(int v) {
  marginRight_ = Clamp(v, 0, 100);
}
void TStringsPrinter::SetMarginTop(int v) {
  marginTop_ = Clamp(v, 0, 100);
}
void TStringsPrinter::SetMarginLine(int v) {
  marginLine_ = Clamp(v, 0, 100);
}
void TStringsPrinter::SetPageOption(TStringsPrinterPageOption v) {
  pageOption_ = v <= poEven ? v : poBoth;
}
void TStringsPrinter::SetPrintMode(TStringsPrinterPrintMode v) {
  printMode_ = v <= pmColorToken ? v : pmColorToken;
}
void TStringsPrinter::SetRangeOption(TStringsPrinterRangeOption v) {
  rangeOption_ = v == roLimited ? roLimited : roWhole;
}
void TStringsPrinter::SetStartLine(int v) {
  startLine_ = Clamp(v, 1, 999999);
}
void TStringsPrinter::SetStartPage(int v) {
  startPage_ = Clamp(v, 1, 999999);
}
void TStringsPrinter::SetTabSpaceCount(int v) {
  v = Clamp(v, 2, 8);
  tabSpaceCount_ = v & ~1;
}

void TStringsPrinter::SetFountain(TFountain* v) {
  if (fountain_ == v) return;
  if (fountain_) fountain_->RemoveFreeNotification(this);
  fountain_ = v;
  if (fountain_) fountain_->FreeNotification(this);
}

void TStringsPrinter::Notification(TComponent* c, TOperation op) {
  TStoreComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == fountain_) fountain_ = nullptr;
}

void TStringsPrinter::CopyFrom(const TPersistent* source) {
  auto* p = dynamic_cast<const TStringsPrinter*>(source);
  if (!p) {
    TStoreComponent::CopyFrom(source);
    return;
  }
  bkColor_ = p->bkColor_;
  columnCount_ = p->columnCount_;
  columnSpace_ = p->columnSpace_;
  fileName_ = p->fileName_;
  firstLineNumber_ = p->firstLineNumber_;
  firstPageNumber_ = p->firstPageNumber_;
  font_->CopyFrom(p->font_.get());
  footer_ = p->footer_;
  footerAlign_ = p->footerAlign_;
  SetFountain(p->fountain_);
  header_ = p->header_;
  headerAlign_ = p->headerAlign_;
  headerColor_ = p->headerColor_;
  lastLine_ = p->lastLine_;
  lastPage_ = p->lastPage_;
  lineNumber_ = p->lineNumber_;
  lineRangeOption_ = p->lineRangeOption_;
  marginBottom_ = p->marginBottom_;
  marginLeft_ = p->marginLeft_;
  marginRight_ = p->marginRight_;
  marginTop_ = p->marginTop_;
  marginLine_ = p->marginLine_;
  pageOption_ = p->pageOption_;
  printMode_ = p->printMode_;
  rangeOption_ = p->rangeOption_;
  startLine_ = p->startLine_;
  startPage_ = p->startPage_;
  tabSpaceCount_ = p->tabSpaceCount_;
  wordBreak_ = p->wordBreak_;
}

const TPropTable& TStringsPrinter::ClassProps() {
  using C = TStringsPrinter;
  auto align = [](std::string name, auto get, auto set) {
    return EnumProp<C>(std::move(name), get, set, {"haNone", "haLeft", "haCenter", "haRight"});
  };
  auto range = [](std::string name, auto get, auto set) {
    return EnumProp<C>(std::move(name), get, set, {"roWhole", "roLimited"});
  };
  static const TPropTable t(
      nullptr,
      {IntProp<C>("BkColor", &C::BkColor, &C::SetBkColor),
       IntProp<C>("ColumnCount", &C::ColumnCount, &C::SetColumnCount),
       IntProp<C>("ColumnSpace", &C::ColumnSpace, &C::SetColumnSpace),
       StrProp<C>("FileName", &C::FileName, &C::SetFileName),
       IntProp<C>("FirstLineNumber", &C::FirstLineNumber, &C::SetFirstLineNumber),
       IntProp<C>("FirstPageNumber", &C::FirstPageNumber, &C::SetFirstPageNumber),
       ClassProp<C>("Font", [](const C& c) { return static_cast<TObject*>(c.Font()); }),
       StrProp<C>("Footer", &C::Footer, &C::SetFooter),
       align("FooterAlign", &C::FooterAlign, &C::SetFooterAlign),
       StrProp<C>("Header", &C::Header, &C::SetHeader),
       align("HeaderAlign", &C::HeaderAlign, &C::SetHeaderAlign),
       IntProp<C>("HeaderColor", &C::HeaderColor, &C::SetHeaderColor),
       IntProp<C>("LastLine", &C::LastLine, &C::SetLastLine),
       IntProp<C>("LastPage", &C::LastPage, &C::SetLastPage),
       BoolProp<C>("LineNumber", &C::LineNumber, &C::SetLineNumber),
       range("LineRangeOption", &C::LineRangeOption, &C::SetLineRangeOption),
       IntProp<C>("MarginBottom", &C::MarginBottom, &C::SetMarginBottom),
       IntProp<C>("MarginLeft", &C::MarginLeft, &C::SetMarginLeft),
       IntProp<C>("MarginRight", &C::MarginRight, &C::SetMarginRight),
       IntProp<C>("MarginTop", &C::MarginTop, &C::SetMarginTop),
       IntProp<C>("MarginLine", &C::MarginLine, &C::SetMarginLine),
       EnumProp<C>("PageOption", &C::PageOption, &C::SetPageOption, {"poBoth", "poOdd", "poEven"}),
       EnumProp<C>("PrintMode", &C::PrintMode, &C::SetPrintMode,
                   {"pmBW", "pmThreeColor", "pmBWFontStyle", "pmColorToken"}),
       range("RangeOption", &C::RangeOption, &C::SetRangeOption),
       IntProp<C>("StartLine", &C::StartLine, &C::SetStartLine),
       IntProp<C>("StartPage", &C::StartPage, &C::SetStartPage),
       IntProp<C>("TabSpaceCount", &C::TabSpaceCount, &C::SetTabSpaceCount),
       BoolProp<C>("WordBreak", &C::WordBreak, &C::SetWordBreak)});
  return t;
}

void TStringsPrinter::Fail(const std::string& message) {
  lastError_ = message;
  if (prompter_) prompter_->Message(message, TMsgKind::Warning, TMsgButtons::Ok);
}

bool TStringsPrinter::HasFontStyle() {
  const TFontStyles s = font_->Style();
  if (ze::HasFontStyle(s, fsBold) || ze::HasFontStyle(s, fsItalic)) return true;
  return fountain_ && fountain_->HasItalicFontStyle(fountain_);
}

// ---------------------------------------------------------------- macros

namespace {

std::string BaseNameWithoutExt(std::string_view path) {
  size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

} // namespace

ByteString TStringsPrinter::ExpandMacros(const ByteString& templ) {
  std::string_view t = templ.view();
  std::string out;
  std::tm now{};
  bool haveNow = false;
  auto clock = [&]() -> const std::tm& {
    if (!haveNow) {
      if (Now) {
        now = Now();
      } else {
        std::time_t tt = std::time(nullptr);
        localtime_r(&tt, &now);
      }
      haveNow = true;
    }
    return now;
  };
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (IsLeadByte(c) && i + 1 < t.size()) {
      // A trail byte may look like '%': copy the character whole.
      out.append(t.substr(i, 2));
      ++i;
      continue;
    }
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i + 1 >= t.size()) break; // a lone '%' at the end expands to nothing
    const char m = t[++i];
    switch (m) {
    case 'F':
      out += "[ " + Utf8ToCp932(BaseNameWithoutExt(fileName_.view())) + " ]";
      break;
    case 'f':
      out += Utf8ToCp932(fileName_.view());
      break;
    case 'p':
      out += std::to_string(pageNumber_);
      break;
    case 'd':
      out += std::to_string(clock().tm_mday);
      break;
    case 'm':
      out += std::to_string(clock().tm_mon + 1);
      break;
    case 'y':
      out += std::to_string(clock().tm_year + 1900);
      break;
    case 't': {
      char buf[16];
      std::strftime(buf, sizeof buf, "%H:%M:%S", &clock());
      out += buf;
      break;
    }
    default:
      if (IsLeadByte(m) && i + 1 < t.size()) {
        out.append(t.substr(i, 2));
        ++i;
      } else {
        out.push_back(m);
      }
    }
  }
  return ByteString(out);
}

// ---------------------------------------------------------------- print, preview

int TStringsPrinter::PageNumberOf(int index) const {
  return rangeOption_ == roLimited ? index + firstPageNumber_ - startPage_ + 1
                                   : index + firstPageNumber_;
}

std::vector<int> TStringsPrinter::SelectedPages(int builtCount) const {
  std::vector<int> pages;
  for (int i = 0; i < builtCount; ++i) {
    const int number = PageNumberOf(i);
    if (rangeOption_ == roLimited && (i + 1 < startPage_ || i + 1 > lastPage_)) continue;
    if (number <= 0) continue;
    if (pageOption_ == poOdd && number % 2 == 0) continue;
    if (pageOption_ == poEven && number % 2 != 0) continue;
    pages.push_back(i);
  }
  return pages;
}

bool TStringsPrinter::Preview(const TStrings& lines) {
  TMetaFileList pages;
  if (!MakePages(lines, pages, "プレビューを作成中")) return false;
  if (OnPreview) OnPreview(*this, pages);
  return true;
}

bool TStringsPrinter::Print(const TStrings& lines) {
  TMetaFileList pages;
  if (!MakePages(lines, pages, "印刷中")) return false;
  const std::vector<int> selected = SelectedPages(static_cast<int>(pages.size()));
  if (selected.empty()) {
    Fail(kPrintNoPagesSelected);
    return false;
  }
  if (!device_ || !device_->Available() || !device_->BeginDoc(std::string(fileName_.view()))) {
    Fail(kPrintJobFailed);
    return false;
  }
  // New pages only between the pages sent: no blank sheet at the end.
  for (size_t k = 0; k < selected.size(); ++k) {
    if (k > 0) device_->NewPage();
    device_->DrawPage(*pages[static_cast<size_t>(selected[k])]);
  }
  if (!device_->EndDoc()) {
    Fail(kPrintJobFailed);
    return false;
  }
  return true;
}

} // namespace ze
