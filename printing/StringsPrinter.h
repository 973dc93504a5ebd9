#pragma once
// The strings printer: lays a list of text lines out on printer pages
// (margins, columns, line numbers, header and footer, colouring) and
// records every page, so that the preview and the printer replay the same
// drawing. Page layout is plain code; the printer and the progress window
// come in through TPrinterDevice and TPrintProgress.
//
// Text is measured in cells: a byte is one average character width wide,
// a double-byte character two, exactly as the editor draws it.

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Prompter.h"
#include "printing/PageMetafile.h"
#include "printing/PrintDevice.h"
#include "text/LineStore.h"
#include "text/Notify.h"

namespace ze {

class TFountain;
class TFountainParser;

enum TStringsPrinterHeaderAlign : uint8_t { haNone, haLeft, haCenter, haRight };
enum TStringsPrinterRangeOption : uint8_t { roWhole, roLimited };
enum TStringsPrinterPageOption : uint8_t { poBoth, poOdd, poEven };
enum TStringsPrinterPrintMode : uint8_t { pmBW, pmThreeColor, pmBWFontStyle, pmColorToken };

// The printing font: name, size in points, style and colour.
class TStringsPrinterFont : public TNotifyPersistent {
public:
  const std::string& Name() const noexcept { return desc_.Name; }
  void SetName(const std::string& v);
  int Size() const noexcept { return desc_.Size; }
  void SetSize(int v);
  TFontStyles Style() const noexcept { return desc_.Style; }
  void SetStyle(TFontStyles v);
  TColor Color() const noexcept { return desc_.Color; }
  void SetColor(TColor v);

  const TFontDesc& Desc() const noexcept { return desc_; }
  void CopyFrom(const TPersistent* source) override;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  TFontDesc desc_{"ＭＳ ゴシック", 10, 0, clBlack};
};

class TStringsPrinter;

// Questions about the current printer and paper.
class TStringsPrinterInfo : public TComponent {
public:
  explicit TStringsPrinterInfo(TStringsPrinter* printer);

  std::string PrinterName() const;
  // Name and size (mm) of the current paper.
  std::string PaperName();
  int PaperWidth();
  int PaperHeight();
  int PaperCode() const;
  bool Landscape() const;
  // Margins the printer cannot print on, in printer pixels.
  struct TOffsets {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
  };
  TOffsets UnprintableOffsets();
  // Millimetres to printer pixels, to the nearest pixel.
  int MmToPixelsX(int mm) const;
  int MmToPixelsY(int mm) const;
  int DpiX() const;
  int DpiY() const;

private:
  struct TPaper {
    std::string Name;
    int Width = 0, Height = 0;
  };
  TPaper CurrentPaper();
  void RefreshPapers();
  TStringsPrinter* printer_;
  int printerIndex_ = -1;
  std::vector<TPaperItem> papers_;
};

class TStringsPrinter : public TStoreComponent {
public:
  explicit TStringsPrinter(TComponent* owner);
  ~TStringsPrinter() override;

  // ---- published properties
  TColor BkColor() const noexcept { return bkColor_; }
  void SetBkColor(TColor v) { bkColor_ = v; }
  int ColumnCount() const noexcept { return columnCount_; }
  void SetColumnCount(int v);
  int ColumnSpace() const noexcept { return columnSpace_; }
  void SetColumnSpace(int v);
  const ByteString& FileName() const noexcept { return fileName_; }
  void SetFileName(const ByteString& v) { fileName_ = v; }
  int FirstLineNumber() const noexcept { return firstLineNumber_; }
  void SetFirstLineNumber(int v);
  int FirstPageNumber() const noexcept { return firstPageNumber_; }
  void SetFirstPageNumber(int v);
  TStringsPrinterFont* Font() const noexcept { return font_.get(); }
  void SetFont(const TStringsPrinterFont* v) { font_->CopyFrom(v); }
  const ByteString& Footer() const noexcept { return footer_; }
  void SetFooter(const ByteString& v) { footer_ = v; }
  TStringsPrinterHeaderAlign FooterAlign() const noexcept { return footerAlign_; }
  void SetFooterAlign(TStringsPrinterHeaderAlign v);
  TFountain* Fountain() const noexcept { return fountain_; }
  void SetFountain(TFountain* v);
  const ByteString& Header() const noexcept { return header_; }
  void SetHeader(const ByteString& v) { header_ = v; }
  TStringsPrinterHeaderAlign HeaderAlign() const noexcept { return headerAlign_; }
  void SetHeaderAlign(TStringsPrinterHeaderAlign v);
  TColor HeaderColor() const noexcept { return headerColor_; }
  void SetHeaderColor(TColor v) { headerColor_ = v; }
  int LastLine() const noexcept { return lastLine_; }
  void SetLastLine(int v);
  int LastPage() const noexcept { return lastPage_; }
  void SetLastPage(int v);
  bool LineNumber() const noexcept { return lineNumber_; }
  void SetLineNumber(bool v) { lineNumber_ = v; }
  TStringsPrinterRangeOption LineRangeOption() const noexcept { return lineRangeOption_; }
  void SetLineRangeOption(TStringsPrinterRangeOption v);
  int MarginBottom() const noexcept { return marginBottom_; }
  void SetMarginBottom(int v);
  int MarginLeft() const noexcept { return marginLeft_; }
  void SetMarginLeft(int v);
  int MarginRight() const noexcept { return marginRight_; }
  void SetMarginRight(int v);
  int MarginTop() const noexcept { return marginTop_; }
  void SetMarginTop(int v);
  int MarginLine() const noexcept { return marginLine_; }
  void SetMarginLine(int v);
  TStringsPrinterPageOption PageOption() const noexcept { return pageOption_; }
  void SetPageOption(TStringsPrinterPageOption v);
  TStringsPrinterPrintMode PrintMode() const noexcept { return printMode_; }
  void SetPrintMode(TStringsPrinterPrintMode v);
  TStringsPrinterRangeOption RangeOption() const noexcept { return rangeOption_; }
  void SetRangeOption(TStringsPrinterRangeOption v);
  int StartLine() const noexcept { return startLine_; }
  void SetStartLine(int v);
  int StartPage() const noexcept { return startPage_; }
  void SetStartPage(int v);
  int TabSpaceCount() const noexcept { return tabSpaceCount_; }
  void SetTabSpaceCount(int v);
  bool WordBreak() const noexcept { return wordBreak_; }
  void SetWordBreak(bool v) { wordBreak_ = v; }

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }
  // From another strings printer: every property above.
  void CopyFrom(const TPersistent* source) override;
  void Notification(TComponent* c, TOperation op) override;

  // ---- the platform
  // The printer; without one the printer is absent (layout falls back to
  // the screen's resolution and the paper table, printing fails).
  void SetDevice(TPrinterDevice* device) { device_ = device; }
  TPrinterDevice* Device() const noexcept { return device_; }
  TStringsPrinterInfo* Info() const noexcept { return info_; }
  // Makes the progress window of a build; none when not set.
  std::function<std::unique_ptr<TPrintProgress>()> ProgressFactory;
  // Shows built pages in the preview window.
  std::function<void(TStringsPrinter&, const TMetaFileList&)> OnPreview;
  // Where refusals and failures are told; they are also kept in LastError.
  void SetPrompter(TPrompter* p) { prompter_ = p; }
  const std::string& LastError() const noexcept { return lastError_; }
  // The clock of the date and time macros.
  std::function<std::tm()> Now;

  // ---- operations
  virtual bool HasFontStyle();
  virtual void ComputeRowStates(TRowAttributeStringList& rows);
  // Source lines into print rows no wider than rowWidth pixels, a byte
  // being charWidth pixels.
  virtual void SplitIntoRows(const TStrings& lines, TRowAttributeStringList& rows, int rowWidth,
                             int charWidth);
  // Builds the pages into list (cleared first). False when cancelled or
  // refused (the reason told), or when a build is already running.
  virtual bool MakePages(const TStrings& lines, TMetaFileList& list, const std::string& caption);
  virtual ByteString ExpandMacros(const ByteString& templ);
  virtual bool Preview(const TStrings& lines);
  virtual bool Print(const TStrings& lines);

  // Pages of a build that Print sends, as 0-based indexes.
  std::vector<int> SelectedPages(int builtCount) const;
  // The number printed on built page index.
  int PageNumberOf(int index) const;
  bool Building() const noexcept { return building_; }
  // The page number while pages are built (the "%p" macro).
  int CurrentPageNumber() const noexcept { return pageNumber_; }

private:
  struct TLayout;
  void Fail(const std::string& message);
  // Updates the progress window of the running build now and then; true
  // once the user cancelled.
  bool Poll(int last, int current);
  // One source line into rows of at most capacity bytes.
  void SplitLine(const ByteString& line, int source, TRowAttributeStringList& rows, int capacity);
  // Colouring states of rows from..., d carrying the state from row to row.
  void ParseRowStates(TRowAttributeStringList& rows, int from, TFountainParser& parser,
                      TRowAttributeData& d);
  bool BuildPages(const TStrings& lines, TMetaFileList& list, const std::string& caption);

  TColor bkColor_ = clWhite;
  int columnCount_ = 1;
  int columnSpace_ = 4;
  ByteString fileName_;
  int firstLineNumber_ = 1;
  int firstPageNumber_ = 1;
  std::unique_ptr<TStringsPrinterFont> font_;
  ByteString footer_;
  TStringsPrinterHeaderAlign footerAlign_ = haNone;
  TFountain* fountain_ = nullptr;
  ByteString header_;
  TStringsPrinterHeaderAlign headerAlign_ = haNone;
  TColor headerColor_ = clBlack;
  int lastLine_ = 999999;
  int lastPage_ = 999999;
  bool lineNumber_ = false;
  TStringsPrinterRangeOption lineRangeOption_ = roWhole;
  int marginBottom_ = 0, marginLeft_ = 0, marginRight_ = 0, marginTop_ = 0, marginLine_ = 0;
  TStringsPrinterPageOption pageOption_ = poBoth;
  TStringsPrinterPrintMode printMode_ = pmColorToken;
  TStringsPrinterRangeOption rangeOption_ = roWhole;
  int startLine_ = 1;
  int startPage_ = 1;
  int tabSpaceCount_ = 2;
  bool wordBreak_ = true;

  TStringsPrinterInfo* info_ = nullptr; // owned as a component
  TPrinterDevice* device_ = nullptr;
  TPrompter* prompter_ = nullptr;
  std::string lastError_;
  int pageNumber_ = 0;
  int lineCounter_ = 0;
  bool building_ = false;
  TPrintProgress* progress_ = nullptr;
  std::string progressCaption_;
  int64_t lastPoll_ = 0;
};

// Messages of refusals and failures.
extern const char* const kPrintColumnTooNarrow;
extern const char* const kPrintNoRowFits;
extern const char* const kPrintNoPagesSelected;
extern const char* const kPrintJobFailed;
extern const char* const kPrintBusy;

} // namespace ze
