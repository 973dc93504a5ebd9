#include "app/ShellWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>
#include <exception>
#include <sys/stat.h>

#include "editor/PopupMenu.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

namespace {

const QString kAppName = QStringLiteral("ZorvaneEditor");

QString FromNative(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToNative(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Colours and colouring rules for program text until the settings files
// of the full application provide them.
void ApplyProgramColouring(TEditor& e) {
  static const char* const words[] = {
      "and", "array", "as", "begin", "case", "class", "const", "constructor", "destructor",
      "div", "do", "downto", "else", "end", "except", "finally", "for", "function", "if",
      "implementation", "in", "inherited", "interface", "is", "mod", "nil", "not", "of", "or",
      "procedure", "program", "property", "record", "repeat", "shl", "shr", "string", "then",
      "to", "try", "type", "unit", "until", "uses", "var", "while", "with", "xor"};
  TEditorFountain* f = e.View()->Fountain();
  TEditorColors* c = f->Colors();
  c->Comment()->SetColor(0x008000); // green
  c->Str()->SetColor(0x800000);     // navy
  c->Int()->SetColor(0x0000C0);     // red
  c->Url()->SetColor(0xC00000);     // blue, underlined
  c->Url()->SetStyle(FontStyles({fsUnderline}));
  c->Mail()->SetColor(0xC00000);
  c->Mail()->SetStyle(FontStyles({fsUnderline}));
  c->Reserve()->SetColor(0x800000);
  c->Reserve()->SetStyle(FontStyles({fsBold}));
  c->DBCS()->SetColor(0x404040);
  auto* braces = f->Brackets()->Add();
  braces->SetLeftBracket("{");
  braces->SetRightBracket("}");
  braces->ItemColor()->SetColor(0x008000);
  f->SetCommenter("//");
  f->SetQuotation("'");
  f->SetUrl(true);
  f->SetMail(true);
  TStringList list;
  for (const char* w : words) list.Add(w);
  e.SetReserveWordList(&list);
  e.Marks()->RetMark()->SetVisible(true);
  e.Marks()->RetMark()->SetColor(0x808080);
  e.Marks()->EofMark()->SetVisible(true);
  e.Marks()->EofMark()->SetColor(0x808080);
}

} // namespace

TShellWindow::TShellWindow(QWidget* parent) : QMainWindow(parent) {
  view_ = new TEditorWidget(this);
  setCentralWidget(view_);
  editor_ = view_->Editor();
  TFontSpec font = editor_->Font();
  font.Size = 12;
  editor_->SetFont(font);
  editor_->SetScrollBars(ssBoth);
  ApplyProgramColouring(*editor_);
  BuildMenus();
  editor_->OnChange = [this](TObject*) { UpdateTitle(); };
  editor_->OnSelectionModeChange = [this](TObject*) {
    boxMode_->setChecked(editor_->SelectionMode() == smBox);
  };
  UpdateTitle();
  resize(960, 720);
}

// ---------------------------------------------------------------- menus

QAction* TShellWindow::AddEditAction(QMenu* menu, TEditorMenuItem& item) {
  // The editor's own item runs (with its enabling rules); while the editor
  // has the focus it takes these keys itself, before this shortcut.
  QAction* a = menu->addAction(QString::fromUtf8(item.Caption));
  a->setShortcut(QKeySequence(QString::fromUtf8(item.ShortCutText()), QKeySequence::PortableText));
  TEditorPopupMenu* model = editor_->PopupMenu();
  connect(a, &QAction::triggered, this, [model, &item] {
    model->Update();
    item.Click();
  });
  editActions_.emplace_back(a, &item);
  return a;
}

void TShellWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  QAction* open = file->addAction(QStringLiteral("開く(&O)..."), this, [this] { Open(); });
  open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O"), QKeySequence::PortableText));
  QAction* save = file->addAction(QStringLiteral("上書き保存(&S)"), this, [this] { Save(); });
  save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S"), QKeySequence::PortableText));
  file->addAction(QStringLiteral("名前を付けて保存(&A)..."), this, [this] { SaveAs(); });
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("終了(&X)"), this, [this] { close(); });
  quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q"), QKeySequence::PortableText));

  TEditorPopupMenu* model = editor_->PopupMenu();
  if (model) {
    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    AddEditAction(edit, model->UndoItem());
    AddEditAction(edit, model->RedoItem());
    edit->addSeparator();
    AddEditAction(edit, model->CutItem());
    AddEditAction(edit, model->CopyItem());
    AddEditAction(edit, model->PasteItem());
    AddEditAction(edit, model->BoxPasteItem());
    AddEditAction(edit, model->DeleteItem());
    edit->addSeparator();
    AddEditAction(edit, model->SelectAllItem());
    connect(edit, &QMenu::aboutToShow, this, [this, model] {
      model->Update();
      for (auto& [action, item] : editActions_)
        action->setEnabled(item->Enabled);
    });
  }

  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  wordWrap_ = view->addAction(QStringLiteral("折り返し(&W)"));
  wordWrap_->setCheckable(true);
  wordWrap_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+W"), QKeySequence::PortableText));
  connect(wordWrap_, &QAction::toggled, this, [this](bool on) { editor_->SetWordWrap(on); });
  boxMode_ = view->addAction(QStringLiteral("Box選択モード(&K)"));
  boxMode_->setCheckable(true);
  if (model)
    boxMode_->setShortcut(QKeySequence(QString::fromUtf8(model->BoxModeItem().ShortCutText()),
                                       QKeySequence::PortableText));
  connect(boxMode_, &QAction::triggered, this, [this](bool on) {
    editor_->SetSelectionMode(on ? smBox : smNormal);
    // Refused while a selection is dragged: the check shows the mode.
    boxMode_->setChecked(editor_->SelectionMode() == smBox);
  });
  connect(view, &QMenu::aboutToShow, this, [this] {
    wordWrap_->setChecked(editor_->WordWrap());
    boxMode_->setChecked(editor_->SelectionMode() == smBox);
  });
}

// ---------------------------------------------------------------- title

QString TShellWindow::Caption() const {
  return path_.empty() ? QStringLiteral("Untitled") : FromNative(path_);
}

void TShellWindow::UpdateTitle() {
  const QString name =
      path_.empty() ? QStringLiteral("Untitled") : QFileInfo(FromNative(path_)).fileName();
  setWindowTitle(name + (editor_->Modified() ? QStringLiteral(" 変更") : QString()) +
                 QStringLiteral(" - ") + kAppName);
}

// ---------------------------------------------------------------- files

bool TShellWindow::Load(const std::string& path) {
  if (!Exists(path)) {
    // As with a new file: the text is empty and saving creates the file.
    editor_->Lines()->Clear();
    editor_->SetModified(false);
    path_ = path;
    UpdateTitle();
    QMessageBox::information(this, kAppName,
                             FromNative(path) + QStringLiteral(" が存在しません！"));
    return false;
  }
  // A file that cannot be read must not cost the text shown so far.
  const ByteString before = editor_->Lines()->Text();
  const bool modified = editor_->Modified();
  try {
    editor_->Lines()->LoadFromFile(path);
  } catch (const std::exception& e) {
    editor_->Lines()->SetText(before.view());
    editor_->SetModified(modified);
    UpdateTitle();
    QMessageBox::critical(this, kAppName, QString::fromUtf8(e.what()));
    return false;
  }
  editor_->SetModified(false);
  editor_->SetTopRow(0);
  editor_->SetRowCol(0, 0);
  path_ = path;
  UpdateTitle();
  return true;
}

void TShellWindow::Open() {
  if (!MaySave()) return;
  const QString dir = path_.empty() ? QString() : QFileInfo(FromNative(path_)).absolutePath();
  const QString name = QFileDialog::getOpenFileName(this, QStringLiteral("開く"), dir);
  if (!name.isEmpty()) Load(ToNative(name));
}

bool TShellWindow::SaveTo(const std::string& path) {
  try {
    editor_->Lines()->SaveToFile(path);
  } catch (const std::exception& e) {
    QMessageBox::critical(this, kAppName,
                          QStringLiteral("保存できませんでした。\n") + QString::fromUtf8(e.what()));
    return false;
  }
  path_ = path;
  editor_->SetModified(false);
  UpdateTitle();
  return true;
}

bool TShellWindow::Save() {
  return path_.empty() ? SaveAs() : SaveTo(path_);
}

bool TShellWindow::SaveAs() {
  const QString name =
      QFileDialog::getSaveFileName(this, QStringLiteral("名前を付けて保存"), FromNative(path_));
  return !name.isEmpty() && SaveTo(ToNative(name));
}

bool TShellWindow::MaySave() {
  if (!editor_->Modified()) return true;
  const auto answer = QMessageBox::question(
      this, kAppName,
      QStringLiteral("\n") + Caption() + QStringLiteral(" は\n変更されています 保存しますか?"),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return Save();
  return answer == QMessageBox::No;
}

void TShellWindow::closeEvent(QCloseEvent* e) {
  if (MaySave())
    e->accept();
  else
    e->ignore();
}

} // namespace ze
