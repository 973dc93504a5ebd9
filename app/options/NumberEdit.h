#pragma once
// The dialog's number fields: TRightEdit, an edit field whose text is
// right-aligned and that takes only digits, and TUpDown, the two arrow
// buttons bound to one. A field keeps the last good value: text that is
// not a number is refused, a number outside the range (or off its steps)
// is brought into it, and either way the field says so through
// HintChanged. Nothing but a good value ever leaves the field.

#include <QLineEdit>
#include <QWidget>

#include "app/options/Options.h"

class QToolButton;

namespace ze {

class TRightEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit TRightEdit(TNumberRange range, QWidget* parent = nullptr);

  int Value() const { return value_; }
  TNumberRange Range() const { return range_; }
  // Shows v brought into the range; ValueChanged only when it differs.
  void SetValue(int v);
  // Takes the text as it stands now: a number is stored (clamped), any
  // other text is replaced by the stored value. Runs when the field
  // loses the focus or Enter is pressed.
  void Finish();
  // One step up (+1) or down (-1) from the number in the field.
  void Step(int direction);

signals:
  void ValueChanged(int value);
  // A message for the user about the last text typed; empty when all is
  // well.
  void HintChanged(const QString& hint);

protected:
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

private:
  void Store(int v);
  void Typed(const QString& text);

  TNumberRange range_;
  int value_;
};

class TUpDown : public QWidget {
  Q_OBJECT
public:
  explicit TUpDown(TRightEdit* associate, QWidget* parent = nullptr);

  TRightEdit* Associate() const { return associate_; }
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

protected:
  void changeEvent(QEvent* e) override;

private:
  TRightEdit* associate_;
  QToolButton* up_;
  QToolButton* down_;
};

} // namespace ze
