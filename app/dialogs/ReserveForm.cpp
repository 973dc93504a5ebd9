#include "app/dialogs/ReserveForm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/dialogs/ReserveWords.h"
#include "editor/Editor.h"
#include "platform/Errors.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"
#include "text/EditorStrings.h"

namespace ze {

TReserveForm::TReserveForm(const std::string& path, TPrompter& prompter,
                           const std::function<void(TEditor&)>& applySettings, QWidget* parent)
    : QDialog(parent), path_(path), prompter_(prompter) {
  setWindowTitle(QStringLiteral("[ 予約語 編集 ]"));
  ReserveEditor = new TEditorWidget(this);
  SaveButton = new QPushButton(QStringLiteral("保  存"), this);
  CloseButton = new QPushButton(QStringLiteral("閉じる"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(SaveButton);
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ReserveEditor, 1);
  layout->addLayout(buttons);
  resize(420, 480);

  TEditor& ed = *ReserveEditor->Editor();
  if (applySettings) applySettings(ed);
  ed.SetScrollBars(ssVertical);
  ed.Marks()->EofMark()->SetVisible(true);
  ed.Marks()->RetMark()->SetVisible(true);
  ed.Marks()->Underline()->SetVisible(true);
  ed.Leftbar()->SetVisible(false);
  ed.Ruler()->SetVisible(false);
  LoadLines();
  // Its own context menu, empty: the page editors' commands do not apply.
  ReserveEditor->setContextMenuPolicy(Qt::NoContextMenu);
  ReserveEditor->viewport()->installEventFilter(this);
  ReserveEditor->installEventFilter(this);

  connect(SaveButton, &QPushButton::clicked, this, [this] { Save(); });
  connect(CloseButton, &QPushButton::clicked, this, [this] { close(); });
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
}

TReserveForm::~TReserveForm() = default;

void TReserveForm::LoadLines() {
  TEditor& ed = *ReserveEditor->Editor();
  TStringList words;
  try {
    LoadReserveWordFile(path_, words);
  } catch (const std::exception& e) {
    prompter_.Error(e.what());
  }
  ed.Lines()->CopyFrom(&words);
  ed.SetRowCol(0, 0);
  ed.SetModified(false);
}

bool TReserveForm::Save() {
  TEditor& ed = *ReserveEditor->Editor();
  if (!ed.Modified()) return true;
  long long selStart = ed.SelStart();
  try {
    SaveReserveWordFile(path_, *ed.Lines());
  } catch (const std::exception& e) {
    prompter_.Error(std::string(e.what()) + "\n予約語は保存されていません。");
    return false;
  }
  ed.SetModified(false);
  TStringList words;
  try {
    LoadReserveWordFile(path_, words);
  } catch (const std::exception& e) {
    prompter_.Error(e.what());
    return false;
  }
  ed.SetReserveWordList(&words);
  ed.Lines()->CopyFrom(&words);
  ed.SetModified(false);
  ed.SetSelStart(selStart);
  ReserveEditor->setFocus();
  if (OnSaved) OnSaved(words);
  return true;
}

void TReserveForm::closeEvent(QCloseEvent* e) {
  if (!ReserveEditor->Editor()->Modified()) {
    e->accept();
    return;
  }
  std::string text = windowTitle().toStdString() + " は変更されています 保存しますか?";
  switch (prompter_.Message(text, TMsgKind::Confirmation, TMsgButtons::YesNoCancel)) {
  case TMsgResult::Yes:
    if (Save()) e->accept();
    else e->ignore(); // nothing written: stay open with the edits
    break;
  case TMsgResult::No: e->accept(); break;
  default: e->ignore(); break;
  }
}

void TReserveForm::reject() {
  if (close()) QDialog::reject();
}

bool TReserveForm::eventFilter(QObject* watched, QEvent* e) {
  // One wheel step scrolls one line, whatever the desktop's setting.
  if (e->type() == QEvent::Wheel) {
    auto* w = static_cast<QWheelEvent*>(e);
    int delta = w->angleDelta().y();
    if (delta != 0) {
      TEditor& ed = *ReserveEditor->Editor();
      ed.SetTopRow(ed.TopRow() + (delta > 0 ? -1 : 1));
    }
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

} // namespace ze
