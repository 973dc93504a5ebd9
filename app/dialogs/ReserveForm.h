#pragma once
// The reserved-word editor: the word file in an editor control, saved as
// a whole and handed back to the window so that the open pages colour the
// new words.

#include <QDialog>
#include <functional>
#include <string>

class QPushButton;

namespace ze {

class TEditor;
class TEditorWidget;
class TPrompter;
class TStrings;

class TReserveForm : public QDialog {
  Q_OBJECT
public:
  // applySettings gives ReserveEditor the active page's look (font and
  // colours, so reserved words show in their colour); it may be empty.
  TReserveForm(const std::string& path, TPrompter& prompter,
               const std::function<void(TEditor&)>& applySettings, QWidget* parent = nullptr);
  ~TReserveForm() override;

  TEditorWidget* ReserveEditor;
  QPushButton* SaveButton;
  QPushButton* CloseButton;

  // After a save: the new word list, for the window to hand to the editors
  // of its active page (and to every page as it is activated).
  std::function<void(const TStrings& words)> OnSaved;

  // Saves when modified; false when the file could not be written (the
  // user has been told why and the editor stays modified).
  bool Save();
  const std::string& Path() const { return path_; }

protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override; // Escape goes through the same question
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  void LoadLines();

  std::string path_;
  TPrompter& prompter_;
};

} // namespace ze
