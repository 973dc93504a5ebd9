#pragma once
// What page layout needs of a printer and of the progress window. The Qt
// side implements both with QPrinter and a small dialog; tests use a
// printer of fixed metrics and a scripted progress.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Surface.h"
#include "printing/PageMetafile.h"

namespace ze {

// A paper the driver offers: name, size in millimetres, paper code.
struct TPaperItem {
  std::string Name; // UTF-8
  int Width = 0;
  int Height = 0;
  uint16_t Code = 0;
};

class TPrinterDevice {
public:
  virtual ~TPrinterDevice() = default;

  // False when no printer can be asked; the queries below then give the
  // fallbacks of page layout (screen resolution, paper from the table).
  virtual bool Available() const = 0;
  // Index of the current printer in the printer list, -1 without one.
  virtual int PrinterIndex() const = 0;
  virtual std::string PrinterName() const = 0;
  // The current paper code, 0 or less when it cannot be read.
  virtual int PaperCode() const = 0;
  virtual std::vector<TPaperItem> Papers() const = 0;
  // The printable page in device pixels and the resolution.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
  virtual bool Landscape() const = 0;
  // Resolution of the screen, used when the printer fails.
  virtual int ScreenDpi() const { return 96; }

  // Metrics of a font (size in points) on this device, in device pixels.
  virtual TFontMetrics MeasureFont(const TFontDesc& font) = 0;

  // A print job. BeginDoc false: the job could not start.
  virtual bool BeginDoc(const std::string& title) = 0;
  virtual void NewPage() = 0;
  // Draws the page stretched over (0, 0, page width, page height).
  virtual void DrawPage(const TPageMetafile& page) = 0;
  // False when the job failed.
  virtual bool EndDoc() = 0;
};

// The progress window of one page build.
class TPrintProgress {
public:
  virtual ~TPrintProgress() = default;
  virtual void Show(const std::string& caption) = 0;
  // current of last, 0-based; serves pending events.
  virtual void Update(const std::string& caption, int last, int current) = 0;
  // True once the user asked to stop.
  virtual bool Cancelled() const = 0;
};

// Position of the progress bar, 0 ... 100.
inline int ProgressPercent(int last, int current) {
  if (last <= 0) return 100;
  return static_cast<int>((static_cast<int64_t>(current) * 200 + last) /
                          (2 * static_cast<int64_t>(last)));
}

} // namespace ze
