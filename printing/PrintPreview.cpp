#include "printing/PrintPreview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "printing/QtPrinterDevice.h"

namespace ze {

// ---------------------------------------------------------------- progress

TFormStringsPrinterProgress::TFormStringsPrinterProgress(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral(" ZorvaneEditor Preview"));
  setWindowModality(Qt::ApplicationModal);
  QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
  f.setPixelSize(12);
  setFont(f);
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  CancelButton = new QPushButton(QStringLiteral("中止"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  connect(CancelButton, &QPushButton::clicked, this, [this] { cancelled_ = true; });
  auto* row = new QHBoxLayout;
  row->addWidget(ProgressBar1, 1);
  row->addWidget(CancelButton);
  layout->addWidget(Label1);
  layout->addLayout(row);
  setFixedSize(370, 48 + CancelButton->sizeHint().height());
}

void TFormStringsPrinterProgress::Show(const std::string& caption) {
  Label1->setText(QString::fromStdString(caption));
  ProgressBar1->setValue(0);
  show();
  QApplication::processEvents();
}

void TFormStringsPrinterProgress::Update(const std::string& caption, int last, int current) {
  Label1->setText(QString::fromStdString(caption));
  ProgressBar1->setValue(ProgressPercent(last, current));
  Label1->repaint();
  ProgressBar1->repaint();
  QApplication::processEvents();
}

void TFormStringsPrinterProgress::reject() {
  cancelled_ = true;
}

void TFormStringsPrinterProgress::closeEvent(QCloseEvent* e) {
  cancelled_ = true;
  e->ignore(); // the builder frees the window when it stops
}

// ---------------------------------------------------------------- preview

namespace {

QToolButton* Button(QWidget* parent, QLayout* layout, const char* name, const QString& caption,
                    const QString& hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(caption);
  b->setToolTip(hint);
  layout->addWidget(b);
  return b;
}

} // namespace

TFormStringsPrinterPreview::TFormStringsPrinterPreview(TStringsPrinter& printer,
                                                       const TMetaFileList& pages, QWidget* parent)
    : QDialog(parent), printer_(printer), pages_(pages) {
  setWindowTitle(QStringLiteral("  印刷 プレビュー"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* panel = new QWidget(this);
  auto* tools = new QHBoxLayout(panel);
  SpeedButton1 =
      Button(panel, tools, "SpeedButton1", QStringLiteral("|<"), QStringLiteral("最初のページ"));
  SpeedButton2 =
      Button(panel, tools, "SpeedButton2", QStringLiteral("<"), QStringLiteral("前ページ"));
  SpeedButton3 =
      Button(panel, tools, "SpeedButton3", QStringLiteral(">"), QStringLiteral("次ページ"));
  SpeedButton4 =
      Button(panel, tools, "SpeedButton4", QStringLiteral(">|"), QStringLiteral("最後のページ"));
  SpeedButton5 = Button(panel, tools, "SpeedButton5", QStringLiteral("縦幅に合せる"), {});
  SpeedButton6 = Button(panel, tools, "SpeedButton6", QStringLiteral("横幅に合せる"), {});
  SpeedButton7 = Button(panel, tools, "SpeedButton7", QStringLiteral("100% "), {});
  Label1 = new QLabel(panel);
  Label1->setObjectName(QStringLiteral("Label1"));
  tools->addWidget(Label1);
  tools->addStretch(1);
  SpeedButton8 = Button(panel, tools, "SpeedButton8", QStringLiteral("閉じる"), {});
  layout->addWidget(panel);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setAlignment(Qt::AlignCenter); // centring, also after resizing
  ScrollBox1->setBackgroundRole(QPalette::Dark);
  Image1 = new QLabel;
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setMouseTracking(true);
  Image1->installEventFilter(this);
  ScrollBox1->setWidget(Image1);
  ScrollBox1->viewport()->installEventFilter(this);
  layout->addWidget(ScrollBox1, 1);
  StatusBar1 = new QStatusBar(this);
  layout->addWidget(StatusBar1);

  vScrollWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  hScrollHeight_ = vScrollWidth_;

  connect(SpeedButton1, &QToolButton::clicked, this, [this] { GoToPage(0); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { GoToPage(page_ - 1); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { GoToPage(page_ + 1); });
  connect(SpeedButton4, &QToolButton::clicked, this,
          [this] { GoToPage(static_cast<int>(pages_.size()) - 1); });
  connect(SpeedButton5, &QToolButton::clicked, this, [this] { SetZoom(zmFitHeight); });
  connect(SpeedButton6, &QToolButton::clicked, this, [this] { SetZoom(zmFitWidth); });
  connect(SpeedButton7, &QToolButton::clicked, this, [this] { SetZoom(zmActual); });
  connect(SpeedButton8, &QToolButton::clicked, this, &QDialog::close);

  GoToPage(0);
  // Wide enough for the page at actual size, five sixths of the screen high.
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  resize(std::min(avail.width(), ImageSize().width() + vScrollWidth_ + 16), avail.height() / 6 * 5);
}

void TFormStringsPrinterPreview::Execute(TStringsPrinter& printer, const TMetaFileList& pages,
                                         QWidget* parent) {
  TFormStringsPrinterPreview form(printer, pages, parent);
  form.exec();
}

QSize TFormStringsPrinterPreview::ImageSize() const {
  return Image1->size();
}

void TFormStringsPrinterPreview::GoToPage(int n) {
  const int count = static_cast<int>(pages_.size());
  n = std::clamp(n, 0, std::max(0, count - 1));
  page_ = n;
  Label1->setText(QString::asprintf("%3d / %3d", count ? n + 1 : 0, count));
  SpeedButton1->setEnabled(n > 0);
  SpeedButton2->setEnabled(n > 0);
  SpeedButton3->setEnabled(n < count - 1);
  SpeedButton4->setEnabled(n < count - 1);
  DrawPage();
}

void TFormStringsPrinterPreview::SetZoom(TZoom mode) {
  zoom_ = mode;
  DrawPage();
}

void TFormStringsPrinterPreview::DrawPage() {
  if (pages_.empty()) {
    Image1->clear();
    return;
  }
  const TPageMetafile& page = *pages_[static_cast<size_t>(page_)];
  const TStringsPrinterInfo::TOffsets off = printer_.Info()->UnprintableOffsets();
  const double fw = page.Width() + off.Left + off.Right;
  const double fh = page.Height() + off.Top + off.Bottom;
  QScreen* screen = QGuiApplication::primaryScreen();
  const double sx = screen ? screen->logicalDotsPerInchX() : 96;
  const double sy = screen ? screen->logicalDotsPerInchY() : 96;
  double iw = 1, ih = 1;
  switch (zoom_) {
  case zmActual:
    iw = fw * sx / printer_.Info()->DpiX();
    ih = fh * sy / printer_.Info()->DpiY();
    break;
  case zmFitWidth:
    iw = ScrollBox1->width() - vScrollWidth_;
    ih = fh * iw / fw;
    break;
  case zmFitHeight:
    ih = ScrollBox1->height() - hScrollHeight_;
    iw = fw * ih / fh;
    break;
  }
  // A tiny window must still give an image.
  const int w = std::max(1, static_cast<int>(std::lround(iw)));
  const int h = std::max(1, static_cast<int>(std::lround(ih)));
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawPageInto(
        p, page,
        QRectF(off.Left * w / fw, off.Top * h / fh, page.Width() * w / fw, page.Height() * h / fh));
  }
  Image1->setPixmap(QPixmap::fromImage(img));
  Image1->resize(w, h);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
}

bool TFormStringsPrinterPreview::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ScrollBox1->viewport() && e->type() == QEvent::Wheel) {
    auto* w = static_cast<QWheelEvent*>(e);
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    v->setValue(v->value() - w->angleDelta().y());
    return true;
  }
  if (watched != Image1) return QDialog::eventFilter(watched, e);
  if (e->type() == QEvent::MouseButtonPress) {
    mouseDown_ = static_cast<QMouseEvent*>(e)->position().toPoint();
    return true;
  }
  if (e->type() == QEvent::MouseMove) {
    auto* m = static_cast<QMouseEvent*>(e);
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const bool fits = ScrollBox1->viewport()->width() >= Image1->width() &&
                      ScrollBox1->viewport()->height() >= Image1->height();
    if (fits) {
      Image1->setCursor(Qt::ArrowCursor);
    } else if (m->buttons() & Qt::LeftButton) {
      const QPoint d = mouseDown_ - m->position().toPoint();
      h->setValue(h->value() + d.x());
      v->setValue(v->value() + d.y());
    } else {
      Image1->setCursor(Qt::OpenHandCursor);
    }
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

} // namespace ze
