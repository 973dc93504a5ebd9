#include "app/options/NumberEdit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace ze {

TRightEdit::TRightEdit(TNumberRange range, QWidget* parent)
    : QLineEdit(parent), range_(range), value_(range.Min) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setMaxLength(4);
  setFixedWidth(56);
  // Keystrokes other than digits never reach the text.
  setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
  setText(QString::number(value_));
  connect(this, &QLineEdit::inputRejected, this, [this] {
    emit HintChanged(QString::fromStdString(CheckNumber("x", range_, value_).Hint));
  });
  connect(this, &QLineEdit::textEdited, this, &TRightEdit::Typed);
  connect(this, &QLineEdit::returnPressed, this, &TRightEdit::Finish);
}

void TRightEdit::Store(int v) {
  if (v == value_) return;
  value_ = v;
  emit ValueChanged(v);
}

void TRightEdit::SetValue(int v) {
  const TNumberCheck c = CheckNumber(std::to_string(std::max(v, 0)), range_, value_);
  setText(QString::number(c.Value));
  Store(c.Value);
}

void TRightEdit::Typed(const QString& text) {
  // While typing only a number inside the range is taken; "3" on the
  // way to "30" waits for Finish before it is clamped.
  const TNumberCheck c = CheckNumber(text.toStdString(), range_, value_);
  if (c.Accepted && !c.Clamped) {
    Store(c.Value);
    emit HintChanged(QString());
  } else {
    emit HintChanged(QString::fromStdString(c.Hint));
  }
}

void TRightEdit::Finish() {
  const TNumberCheck c = CheckNumber(text().toStdString(), range_, value_);
  setText(QString::number(c.Value));
  if (c.Accepted) Store(c.Value);
  if (c.Hint.empty())
    emit HintChanged(QString());
  else if (c.Accepted)
    emit HintChanged(QString::fromStdString(c.Hint));
  else
    emit HintChanged(QString::fromStdString(c.Hint) + QStringLiteral(" (") +
                     QString::number(c.Value) + QStringLiteral(" に戻しました)"));
}

void TRightEdit::Step(int direction) {
  const TNumberCheck c = CheckNumber(text().toStdString(), range_, value_);
  const int v = StepNumber(c.Value, range_, direction);
  setText(QString::number(v));
  Store(v);
  emit HintChanged(QString());
}

void TRightEdit::focusOutEvent(QFocusEvent* e) {
  Finish();
  QLineEdit::focusOutEvent(e);
}

void TRightEdit::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
    Step(e->key() == Qt::Key_Up ? 1 : -1);
    return;
  }
  QLineEdit::keyPressEvent(e);
}

TUpDown::TUpDown(TRightEdit* associate, QWidget* parent) : QWidget(parent), associate_(associate) {
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFixedSize(18, 12);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, [this] { associate_->Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { associate_->Step(-1); });
}

void TUpDown::changeEvent(QEvent* e) {
  // The field goes with its buttons (word wrap switches both).
  if (e->type() == QEvent::EnabledChange) associate_->setEnabled(isEnabled());
  QWidget::changeEvent(e);
}

} // namespace ze
