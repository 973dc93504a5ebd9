// TForm1: the Edit and Search commands on the active editor (clipboard,
// box mode, line commands, letter case, dates, find and replace) and the
// double-click selection. The commands themselves are in app/commands/;
// this file attaches them to the window's command table.
#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <functional>

#include "app/MainWindow.h"
#include "app/commands/EditCommands.h"
#include "app/commands/LineCommands.h"
#include "app/commands/SearchCommands.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"
#include "platform/qt/QtKeys.h"
#include "search/SearchDialogs.h"

namespace ze {

namespace {

using C = TCommandId;

// Puts an editor's hit style back when a command ends, however it ends.
class TKeepHitStyle {
public:
  explicit TKeepHitStyle(TEditor& e) : e_(e), style_(e.HitStyle()) {}
  ~TKeepHitStyle() {
    if (e_.HitStyle() != style_) e_.SetHitStyle(style_);
  }
  TKeepHitStyle(const TKeepHitStyle&) = delete;
  TKeepHitStyle& operator=(const TKeepHitStyle&) = delete;

private:
  TEditor& e_;
  TEditorHitStyle style_;
};

// A question box that takes its place once its final size is known: a
// message box settles its size only as it shows.
class TPlacedQuestion : public QMessageBox {
public:
  using QMessageBox::QMessageBox;
  std::function<void(QMessageBox&)> Place;

protected:
  void showEvent(QShowEvent* e) override {
    QMessageBox::showEvent(e);
    if (Place) Place(*this);
  }
};

// The user's short date format in the pattern letters ShortDateText knows
// (Qt's letters are the same ones).
std::string ShortDatePattern() {
  return QLocale::system().dateFormat(QLocale::ShortFormat).toStdString();
}

} // namespace

TDocumentViews TForm1::Views() {
  TEditorWidget* other = OtherEditorWidget();
  return TDocumentViews(ActiveEditor(), other ? other->Editor() : nullptr,
                        [this](TEditor& active, TEditor& second) {
                          TakeProp(active);
                          ApplyProp(second);
                        });
}

void TForm1::InstallEditHandlers() {
  auto on = [this](C id, std::function<void()> fn) { handlers_[Index(id)] = std::move(fn); };
  // The line commands leave the keyboard with the editor, also when they
  // were chosen from a menu or a toolbar.
  auto focused = [this](std::function<void(TEditor*)> fn) {
    return [this, fn] {
      fn(ActiveEditor());
      if (TEditorWidget* w = ActiveEditorWidget()) w->setFocus();
    };
  };

  on(C::Undo1, [this] { EditUndo(ActiveEditor()); });
  on(C::Redo1, [this] { EditRedo(ActiveEditor()); });
  on(C::Cut1, [this] { EditCut(Views()); });
  on(C::Copy1, [this] { EditCopy(ActiveEditor()); });
  on(C::Paste1, [this] { EditPaste(ActiveEditor()); });
  on(C::BoxPaste1, [this] { EditBoxPaste(ActiveEditor()); });
  on(C::SelectAll1, [this] { EditSelectAll(ActiveEditor()); });
  on(C::BoxSel1, [this] { EditToggleBoxMode(ActiveEditor()); });
  on(C::LineCopy1, [this] { EditCopyLine(ActiveEditor()); });
  on(C::AllCopy1, [this] { EditCopyAll(ActiveEditor()); });

  on(C::ExChangeUpperL, focused(LineUp));
  on(C::ExChangeLowerL, focused(LineDown));
  on(C::DoubleRow, focused(DuplicateLine));
  on(C::DeleteToHed, focused([this](TEditor*) { DeleteToLineHead(Views()); }));
  on(C::DeleteToEnd, focused([this](TEditor*) { DeleteToLineEnd(Views()); }));
  on(C::Delete1Line, [this] { DeleteLine(Views()); });

  on(C::ExchangeB, [this] { EditUpperCase(ActiveEditor()); });
  on(C::ExchangeS, [this] { EditLowerCase(ActiveEditor()); });
  on(C::ShortDate1, [this] {
    InsertShortDate(ActiveEditor(), options_.Clock ? options_.Clock : TClock(Today),
                    ShortDatePattern());
  });
  on(C::LongDate1,
     [this] { InsertLongDate(ActiveEditor(), options_.Clock ? options_.Clock : TClock(Today)); });

  on(C::Find2, [this] {
    const TSearchDialogFn dialog =
        options_.SearchDialog ? options_.SearchDialog
                              : TSearchDialogFn([this](ByteString& text, TSearchOptions& o) {
                                  return ze::SearchDialog(text, o, this);
                                });
    FindCommand(ActiveEditor(), search_, prompter_, dialog);
  });
  on(C::FindForward1, [this] { FindForward(ActiveEditor(), search_, prompter_); });
  on(C::FindBackward1, [this] { FindBackward(ActiveEditor(), search_, prompter_); });
  on(C::Replace1, [this] { ReplaceCommandRun(); });
}

void TForm1::ReplaceCommandRun() {
  TEditor* e = ActiveEditor();
  if (!e) return;
  const TReplaceDialogFn dialog =
      options_.ReplaceDialog
          ? options_.ReplaceDialog
          : TReplaceDialogFn([this](ByteString& text, ByteString& with, TSearchOptions& o) {
              return ze::ReplaceDialog(text, with, o, this);
            });
  TConfirmFn confirm;
  if (options_.PlaceReplaceQuestion)
    confirm = [this](const std::string& text, const TConfirmAnchor& where) {
      return AskReplacePlaced(text, where);
    };
  // A caret-style hit would hide what each question is about.
  TKeepHitStyle keep(*e);
  if (e->HitStyle() == hsCaret) e->SetHitStyle(hsDraw);
  ReplaceCommand(e, search_, prompter_, dialog, confirm);
}

TMsgResult TForm1::AskReplacePlaced(const std::string& text, const TConfirmAnchor& where) {
  TPlacedQuestion box(
      QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromStdString(text),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll, this);
  box.button(QMessageBox::YesToAll)->setText(QStringLiteral("すべて"));
  TEditorWidget* w = ActiveEditorWidget();
  box.Place = [w, where](QMessageBox& b) {
    if (!w) return;
    const QPoint caret = w->viewport()->mapToGlobal(QPoint(where.CaretX, where.CaretY));
    QScreen* screen = w->screen() ? w->screen() : QApplication::primaryScreen();
    const QRect g = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize size = b.frameGeometry().size();
    const TPoint p =
        PlaceConfirmBox(caret.x(), caret.y(), where.RowHeight, size.width(), size.height(),
                        TRect{g.left(), g.top(), g.right() + 1, g.bottom() + 1});
    b.move(p.X, p.Y);
  };
  switch (box.exec()) {
  case QMessageBox::Yes:
    return TMsgResult::Yes;
  case QMessageBox::No:
    return TMsgResult::No;
  case QMessageBox::YesToAll:
    return TMsgResult::All;
  default:
    return TMsgResult::Cancel;
  }
}

bool TForm1::EditorDoubleClick(TEditorWidget* w, QMouseEvent* e) {
  // A composition still open is left to the widget, which commits it first.
  if (e->button() != Qt::LeftButton || w->Editor()->MouseBusy() || !w->PreeditText().isEmpty())
    return false;
  const QPoint at = e->position().toPoint();
  DoubleClickSelect(w->Editor(), at.x(), at.y(), ShiftStateFromQt(e->modifiers()));
  return true;
}

} // namespace ze
