#pragma once
// A grid of the sixteen basic colours, four by four. The left button
// chooses the text colour (marked "FG"), the right button the background
// colour (marked "BG"); either choice can be switched off, and a colour
// that is not one of the sixteen shows no mark.

#include <QWidget>

#include "platform/Graphics.h"

namespace ze {

class TColorGrid : public QWidget {
  Q_OBJECT
public:
  explicit TColorGrid(QWidget* parent = nullptr);

  // The chosen cells, -1 for none.
  int ForegroundIndex() const { return fg_; }
  int BackgroundIndex() const { return bg_; }
  // Marks c (or nothing when it is not in the grid); no signal.
  void SetForegroundColor(TColor c);
  void SetBackgroundColor(TColor c);
  TColor ForegroundColor() const;
  TColor BackgroundColor() const;
  // Whether the button may choose; a switched-off choice shows no mark.
  void SetForegroundEnabled(bool on);
  void SetBackgroundEnabled(bool on);
  bool ForegroundEnabled() const { return fgOn_; }
  bool BackgroundEnabled() const { return bgOn_; }

  // The cell under a point, -1 outside the cells.
  int CellAt(const QPoint& p) const;
  QRect CellRect(int index) const;

  QSize sizeHint() const override;

signals:
  // The user chose a cell with the left (foreground) or right button.
  void ForegroundChosen(TColor c);
  void BackgroundChosen(TColor c);

protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

private:
  int fg_ = -1, bg_ = -1;
  bool fgOn_ = true, bgOn_ = true;
};

} // namespace ze
