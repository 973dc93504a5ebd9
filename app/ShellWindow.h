#pragma once
// The ZorvaneEditor shell: one editor in a window, with the menus a user
// needs to edit one file (open, save, quit; the editor's own editing
// operations; word wrap and box selection). The full main window with its
// pages, toolbars and settings takes this place later.

#include <QMainWindow>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QMenu;

namespace ze {

class TEditor;
class TEditorMenuItem;
class TEditorWidget;

class TShellWindow : public QMainWindow {
public:
  explicit TShellWindow(QWidget* parent = nullptr);

  TEditorWidget* View() const { return view_; }
  TEditor* Editor() const { return editor_; }
  // The document's path as native bytes; empty while it has none.
  const std::string& Path() const { return path_; }

  // Shows the file (a path as native bytes). A file that does not exist
  // gives an empty text that saving creates; a file that cannot be read
  // leaves the text as it was. Both are reported in a message box.
  bool Load(const std::string& path);
  bool Save();
  bool SaveAs();
  // Asks whether to save a modified text: false when the user cancels
  // or saving fails.
  bool MaySave();

protected:
  void closeEvent(QCloseEvent* e) override;

private:
  void BuildMenus();
  QAction* AddEditAction(QMenu* menu, TEditorMenuItem& item);
  bool SaveTo(const std::string& path);
  void Open();
  void UpdateTitle();
  QString Caption() const;

  TEditorWidget* view_;
  TEditor* editor_;
  std::string path_;
  QAction* wordWrap_ = nullptr;
  QAction* boxMode_ = nullptr;
  // The 編集 menu's actions and the context-menu items they run.
  std::vector<std::pair<QAction*, TEditorMenuItem*>> editActions_;
};

} // namespace ze
