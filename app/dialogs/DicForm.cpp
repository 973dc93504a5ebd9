#include "app/dialogs/DicForm.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs/WebAddress.h"
#include "platform/Prompter.h"

namespace ze {

TDicForm::TDicForm(TDicSettings& settings, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), settings_(settings), prompter_(prompter) {
  setWindowTitle(QStringLiteral("  Web 辞書"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  auto* group = new QGroupBox(QStringLiteral(" [ 辞書 選択 ]"), this);
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < 5; ++i) {
    DicButtons[i] = new QPushButton(QStringLiteral("辞書 %1").arg(i + 1), group);
    DicButtons[i]->setCheckable(true);
    Dic[i] = new QLineEdit(group);
    Dic[i]->setFrame(false);
    QPalette pal = Dic[i]->palette();
    pal.setColor(QPalette::Text, Qt::blue);
    Dic[i]->setPalette(pal);
    Edit[i] = new QLineEdit(group);
    Edit[i]->setMinimumWidth(320);
    grid->addWidget(DicButtons[i], i, 0);
    grid->addWidget(Dic[i], i, 1);
    grid->addWidget(Edit[i], i, 2);
    // At most one button is down; pressing the down one raises it.
    connect(DicButtons[i], &QPushButton::toggled, this, [this, i](bool on) {
      if (!on) return;
      for (int j = 0; j < 5; ++j)
        if (j != i) DicButtons[j]->setChecked(false);
    });
  }
  OkButton = new QPushButton(QStringLiteral("O K"), this);
  CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
  OkButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(OkButton, &QPushButton::clicked, this, &TDicForm::accept);
  connect(CancelButton, &QPushButton::clicked, this, &TDicForm::reject);

  OpenAddress = [](const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
  };
  Fill();
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - QRect(QPoint(), sizeHint()).center());
}

void TDicForm::Fill() {
  for (int i = 0; i < 5; ++i) {
    Dic[i]->setText(QString::fromStdString(settings_.Names[i]));
    Edit[i]->setText(QString::fromStdString(settings_.Addresses[i]));
    DicButtons[i]->setChecked(settings_.Type == i + 1);
  }
}

int TDicForm::Pressed() const {
  for (int i = 0; i < 5; ++i)
    if (DicButtons[i]->isChecked()) return i + 1;
  return 0;
}

void TDicForm::done(int r) {
  // Names and addresses are kept however the dialog closes.
  for (int i = 0; i < 5; ++i) {
    settings_.Names[i] = Dic[i]->text().toStdString();
    settings_.Addresses[i] = Edit[i]->text().toStdString();
  }
  QDialog::done(r);
}

void TDicForm::accept() {
  int chosen = Pressed();
  if (chosen == 0) { // no dictionary chosen: nothing to open
    settings_.Type = 0;
    QDialog::accept();
    return;
  }
  std::string address = Edit[chosen - 1]->text().trimmed().toStdString();
  std::string why;
  if (!IsOpenableWebAddress(address, &why)) {
    prompter_.Message(why, TMsgKind::Warning, TMsgButtons::Ok);
    return; // stays open so that the address can be corrected
  }
  settings_.Type = chosen;
  if (OpenAddress) OpenAddress(address);
  QDialog::accept();
}

} // namespace ze
